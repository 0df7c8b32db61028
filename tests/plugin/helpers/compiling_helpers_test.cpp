// The date environment on a fixed simulated clock.

#include <gtest/gtest.h>

#include <string>

#include "core/property_names.h"
#include "os/os.h"
#include "os/sim/sim.h"
#include "plugin/helpers.h"

namespace {

class DateEnvironmentTest : public testing::Test {
 protected:
  void SetUp() override {
    os::sim::Reset();
    os::sim::WindowSpec ide;
    ide.className = "WindowClass_0";
    ideWindow_ = os::sim::CreateWindow(ide);
    os::SetProp(ideWindow_, "PB_ID", 1);
    context_.ideWindow = ideWindow_;
    SetOption(1);
    os::sim::SetLocalTime({2014, 12, 5, 5, 9, 7, 3, 0});
  }

  void SetOption(std::intptr_t value) {
    os::SetProp(ideWindow_,
                core::SettingPropertyName(core::HandleValue(ideWindow_), "CompilingHelpers",
                                          "CustomEnvVars"),
                value);
  }

  static std::string Env(const char* name) {
    std::string value;
    return os::GetEnvironmentVariable(name, &value) ? value : "<unset>";
  }

  os::Window ideWindow_ = nullptr;
  HookContext context_;
};

TEST_F(DateEnvironmentTest, DefinesTheTenVariablesFromLocalTime) {
  SetDateEnvironment(context_);
  const struct {
    const char* name;
    const char* value;
  } expected[] = {
      // 2014-12-05 09:07:03 counted as if it were UTC.
      {"CURRENT_DATE", "1417770423"}, {"CURRENT_YEAR", "2014"}, {"CURRENT_MONTH", "12"},
      {"CURRENT_DAY", "5"},           {"CURRENT_HOUR", "9"},    {"CURRENT_MINUTE", "7"},
      {"CURRENT_SECOND", "3"},        {"CURRENT_YY", "14"},     {"CURRENT_MM", "12"},
      {"CURRENT_DD", "05"},
  };
  for (const auto& variable : expected)
    EXPECT_EQ(Env(variable.name), variable.value) << variable.name;
}

TEST_F(DateEnvironmentTest, KeepsANonEmptyValueAndReplacesAnEmptyOne) {
  os::SetEnvironmentVariable("CURRENT_YEAR", "1999");
  os::SetEnvironmentVariable("CURRENT_MONTH", "");
  SetDateEnvironment(context_);
  EXPECT_EQ(Env("CURRENT_YEAR"), "1999");
  EXPECT_EQ(Env("CURRENT_MONTH"), "12");
}

TEST_F(DateEnvironmentTest, ASecondFocusAMinuteLaterChangesNothing) {
  SetDateEnvironment(context_);
  os::sim::AdvanceClock(60 * 1000);
  SetDateEnvironment(context_);
  EXPECT_EQ(Env("CURRENT_MINUTE"), "7");
  EXPECT_EQ(Env("CURRENT_DATE"), "1417770423");
}

TEST_F(DateEnvironmentTest, NothingWithoutTheOption) {
  SetOption(0);
  SetDateEnvironment(context_);
  EXPECT_EQ(Env("CURRENT_DATE"), "<unset>");
  EXPECT_EQ(Env("CURRENT_DD"), "<unset>");
}

TEST_F(DateEnvironmentTest, EarlyDatesAndCenturyDigits) {
  os::sim::SetLocalTime({2000, 1, 6, 1, 0, 0, 0, 0});
  SetDateEnvironment(context_);
  EXPECT_EQ(Env("CURRENT_DATE"), "946684800");
  EXPECT_EQ(Env("CURRENT_YY"), "00");
  EXPECT_EQ(Env("CURRENT_MM"), "01");
  EXPECT_EQ(Env("CURRENT_DD"), "01");
}

}  // namespace
