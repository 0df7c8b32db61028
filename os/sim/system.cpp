// Simulated keyboard, environment, time, processes and libraries, and the world itself.
#include <utility>

#include "core/ascii.h"
#include "os/sim/world.h"

namespace os::sim::detail {
namespace {

constexpr std::uint32_t kProcessId = 0x1A40;
constexpr std::uintptr_t kFirstModuleHandle = 0x10000000;
constexpr std::uintptr_t kModuleHandleStep = 0x100000;
constexpr std::int64_t kMillisecondsPerDay = 86400000;

// Days since 1970-01-01 of a civil date (proleptic Gregorian), and back.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(std::int64_t days, int* year, int* month, int* day) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  *day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  *month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  *year = static_cast<int>(yearOfEra + era * 400 + (*month <= 2));
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Out-of-range fields carry over (month 13 is January of the next year, minute 60 the next
// hour), so a test may set any moment by arithmetic.
std::int64_t ToMilliseconds(const LocalTime& t) {
  const std::int64_t monthIndex = static_cast<std::int64_t>(t.month) - 1;
  const std::int64_t year = t.year + FloorDiv(monthIndex, 12);
  const int month = static_cast<int>(monthIndex - FloorDiv(monthIndex, 12) * 12) + 1;
  const std::int64_t days = DaysFromCivil(year, month, 1) + t.day - 1;
  return days * kMillisecondsPerDay + t.hour * 3600000LL + t.minute * 60000LL + t.second * 1000LL +
         t.milliseconds;
}

LocalTime FromMilliseconds(std::int64_t ms) {
  LocalTime t{};
  const std::int64_t days = FloorDiv(ms, kMillisecondsPerDay);
  std::int64_t rest = ms - days * kMillisecondsPerDay;
  CivilFromDays(days, &t.year, &t.month, &t.day);
  t.dayOfWeek = static_cast<int>((days % 7 + 7 + 4) % 7);  // 1970-01-01 was a Thursday (4)
  t.hour = static_cast<int>(rest / 3600000);
  rest %= 3600000;
  t.minute = static_cast<int>(rest / 60000);
  rest %= 60000;
  t.second = static_cast<int>(rest / 1000);
  t.milliseconds = static_cast<int>(rest % 1000);
  return t;
}

LibraryRecord* LibraryOfModule(Module module) {
  const auto value = reinterpret_cast<std::uintptr_t>(module);
  if (value < kFirstModuleHandle || (value - kFirstModuleHandle) % kModuleHandleStep != 0) {
    return nullptr;
  }
  const std::size_t index = (value - kFirstModuleHandle) / kModuleHandleStep;
  auto& libraries = TheWorld().libraries;
  return index < libraries.size() ? &libraries[index] : nullptr;
}

LibraryRecord* LibraryOfPath(const std::string& path) {
  const std::string wanted = NormalisePath(path);
  for (LibraryRecord& library : TheWorld().libraries) {
    if (core::EqualsIgnoreCase(library.path, wanted)) return &library;
  }
  return nullptr;
}

}  // namespace

World& MakeWorld() {
  static World world = [] {
    World fresh;
    fresh.localTime = DefaultLocalTime();
    return fresh;
  }();
  g_world = &world;
  return world;
}

LocalTime DefaultLocalTime() {
  return FromMilliseconds(ToMilliseconds({2024, 1, 1, 1, 0, 0, 0, 0}));
}

std::string NormalisePath(const std::string& path) {
  std::string out = path;
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  return out;
}

}  // namespace os::sim::detail

namespace os::sim {

using namespace detail;

void Reset() {
  World& world = TheWorld();
  world = World{};
  world.localTime = DefaultLocalTime();
}

std::uint32_t ProcessId() { return kProcessId; }

void SetClock(std::int64_t milliseconds) { TheWorld().clock = milliseconds; }
void AdvanceClock(std::int64_t milliseconds) { TheWorld().clock += milliseconds; }

void SetLocalTime(const LocalTime& time) {
  World& world = TheWorld();
  world.localTime = FromMilliseconds(ToMilliseconds(time));  // normalised, day of week derived
  world.clockAtLocalTime = world.clock;
}

namespace {

// A keyboard has no generic Shift, Ctrl or Alt key: Windows records a generic one as the left
// key, and reports the generic key down while either side is.
int PhysicalKey(int virtualKey) {
  return virtualKey >= kVK_SHIFT && virtualKey <= kVK_MENU ? 0xA0 + 2 * (virtualKey - kVK_SHIFT)
                                                           : virtualKey;
}

}  // namespace

void SetKeyDown(int virtualKey, bool down) {
  if (virtualKey >= 0 && virtualKey < 256) TheWorld().keys[PhysicalKey(virtualKey)] = down;
}

bool TakeKeyEvent(KeyEvent* event) {
  World& world = TheWorld();
  if (world.input.empty()) return false;
  const KeyEvent taken = world.input.front();
  world.input.pop_front();
  world.keys[PhysicalKey(taken.virtualKey)] = (taken.flags & kKEYEVENTF_KEYUP) == 0;
  if (event) *event = taken;
  return true;
}

bool HasQueuedInput() { return !TheWorld().input.empty(); }

void RegisterLibrary(const std::string& path, const std::map<std::string, void*>& exports) {
  if (LibraryRecord* existing = LibraryOfPath(path)) {
    existing->exports = exports;
    return;
  }
  LibraryRecord record;
  record.path = NormalisePath(path);
  record.exports = exports;
  TheWorld().libraries.push_back(std::move(record));
}

int LibraryLoadCount(const std::string& path) {
  const LibraryRecord* library = LibraryOfPath(path);
  return library ? library->loadCount : 0;
}

void RegisterProcess(std::uint32_t processId, std::uint32_t exitCode) {
  TheWorld().processes[processId] = exitCode;
}

void ForgetProcess(std::uint32_t processId) { TheWorld().processes.erase(processId); }

}  // namespace os::sim

namespace os {

using namespace sim::detail;

std::int16_t GetAsyncKeyState(int virtualKey) {
  if (virtualKey < 0 || virtualKey >= 256) return 0;
  const auto& keys = TheWorld().keys;
  bool down = keys[virtualKey];
  // The generic Shift, Ctrl and Alt keys are down when either side is.
  if (virtualKey >= 0x10 && virtualKey <= 0x12) {
    const int left = 0xA0 + 2 * (virtualKey - 0x10);
    down = down || keys[left] || keys[left + 1];
  }
  return down ? static_cast<std::int16_t>(0x8000) : 0;
}

void KeybdEvent(std::uint8_t virtualKey, std::uint8_t /*scanCode*/, std::uint32_t flags) {
  TheWorld().input.push_back({virtualKey, flags});
}

bool GetEnvironmentVariable(const std::string& name, std::string* value) {
  const auto& environment = TheWorld().environment;
  const auto found = environment.find(name);
  if (found == environment.end()) return false;
  if (value) *value = found->second;
  return true;
}

bool SetEnvironmentVariable(const std::string& name, const std::string& value) {
  // Windows refuses an empty name and an "=" after the first character.
  if (name.empty() || name.find('=', 1) != std::string::npos) return false;
  auto& environment = TheWorld().environment;
  const auto found = environment.find(name);
  if (found != environment.end()) {
    found->second = value;
  } else {
    environment.emplace(name, value);
  }
  return true;
}

LocalTime GetLocalTime() {
  const World& world = TheWorld();
  return FromMilliseconds(ToMilliseconds(world.localTime) + (world.clock - world.clockAtLocalTime));
}

std::int64_t MillisecondClock() { return TheWorld().clock; }

std::uint32_t GetCurrentProcessId() { return sim::ProcessId(); }

bool GetProcessExitCode(std::uint32_t processId, std::uint32_t* exitCode) {
  std::uint32_t code;
  if (processId == sim::ProcessId()) {
    code = kSTILL_ACTIVE;
  } else {
    const auto& processes = TheWorld().processes;
    const auto found = processes.find(processId);
    if (found == processes.end()) return false;
    code = found->second;
  }
  if (exitCode) *exitCode = code;
  return true;
}

Module LoadLibrary(const std::string& path) {
  LibraryRecord* library = LibraryOfPath(path);
  const std::string normalised = NormalisePath(path);
  if (library == nullptr && !normalised.empty() && normalised.find('/') == std::string::npos) {
    // A bare name: the program's own folder first, as the Windows library search.
    const std::string program = NormalisePath(ExecutablePath());
    const std::size_t slash = program.rfind('/');
    if (slash != std::string::npos)
      library = LibraryOfPath(program.substr(0, slash + 1) + normalised);
  }
  if (library == nullptr) return nullptr;
  ++library->loadCount;
  const std::size_t index = static_cast<std::size_t>(library - TheWorld().libraries.data());
  return reinterpret_cast<Module>(kFirstModuleHandle + index * kModuleHandleStep);
}

void* GetProcAddress(Module module, const char* name) {
  const LibraryRecord* library = LibraryOfModule(module);
  // A "name" below 0x10000 is an ordinal; the simulated libraries have none.
  if (library == nullptr || library->loadCount == 0 ||
      reinterpret_cast<std::uintptr_t>(name) < 0x10000) {
    return nullptr;
  }
  const auto found = library->exports.find(name);
  return found == library->exports.end() ? nullptr : found->second;
}

bool FreeLibrary(Module module) {
  LibraryRecord* library = LibraryOfModule(module);
  if (library == nullptr || library->loadCount == 0) return false;
  --library->loadCount;
  return true;
}

}  // namespace os
