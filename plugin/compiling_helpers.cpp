// Compiling helpers: date and time environment variables in the IDE process, inherited by the
// compiler and every tool the IDE starts afterwards.

#include <cstdio>
#include <string>

#include "os/os.h"
#include "plugin/helpers.h"
#include "plugin/plugin_frame.h"

namespace {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

std::string Decimal(std::int64_t value) { return std::to_string(value); }

std::string TwoDigits(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", ((value % 100) + 100) % 100);
  return text;
}

using ValueOf = std::string (*)(const os::LocalTime&);

struct DateVariable {
  const char* name;
  ValueOf value;
};

// In the order they are set.
const DateVariable kDateVariables[] = {
    {"CURRENT_DATE",
     [](const os::LocalTime& t) {
       // The local time counted as if it were UTC: no time-zone shift.
       const std::int64_t days = DaysFromCivil(t.year, t.month, t.day);
       return Decimal(days * 86400 + t.hour * 3600 + t.minute * 60 + t.second);
     }},
    {"CURRENT_YEAR", [](const os::LocalTime& t) { return Decimal(t.year); }},
    {"CURRENT_MONTH", [](const os::LocalTime& t) { return Decimal(t.month); }},
    {"CURRENT_DAY", [](const os::LocalTime& t) { return Decimal(t.day); }},
    {"CURRENT_HOUR", [](const os::LocalTime& t) { return Decimal(t.hour); }},
    {"CURRENT_MINUTE", [](const os::LocalTime& t) { return Decimal(t.minute); }},
    {"CURRENT_SECOND", [](const os::LocalTime& t) { return Decimal(t.second); }},
    {"CURRENT_YY", [](const os::LocalTime& t) { return TwoDigits(t.year); }},
    {"CURRENT_MM", [](const os::LocalTime& t) { return TwoDigits(t.month); }},
    {"CURRENT_DD", [](const os::LocalTime& t) { return TwoDigits(t.day); }},
};

}  // namespace

void SetDateEnvironment(const HookContext& context) {
  if (GetPluginSetting(context, "CompilingHelpers", "CustomEnvVars") == 0) return;
  for (const DateVariable& variable : kDateVariables) {
    std::string current;
    const bool isSet = os::GetEnvironmentVariable(variable.name, &current);
    if (isSet && !current.empty()) continue;  // the user's own value wins
    os::SetEnvironmentVariable(variable.name, variable.value(os::GetLocalTime()));
  }
}
