#include <gtest/gtest.h>

#include <map>
#include <string>

#include "os/os.h"
#include "os/sim/sim.h"

namespace {

class SimSystem : public ::testing::Test {
 protected:
  void SetUp() override { os::sim::Reset(); }
  void TearDown() override { os::sim::Reset(); }
};

TEST_F(SimSystem, KeyStateHasTheHighBitWhenDown) {
  EXPECT_EQ(os::GetAsyncKeyState(os::kVK_CONTROL), 0);
  os::sim::SetKeyDown(os::kVK_CONTROL, true);
  EXPECT_EQ(static_cast<std::uint16_t>(os::GetAsyncKeyState(os::kVK_CONTROL)), 0x8000);
  EXPECT_LT(os::GetAsyncKeyState(os::kVK_CONTROL), 0);  // callers may test the sign
  os::sim::SetKeyDown(os::kVK_CONTROL, false);
  EXPECT_EQ(os::GetAsyncKeyState(os::kVK_CONTROL), 0);
  // Either Ctrl key makes the generic one down.
  os::sim::SetKeyDown(0xA3, true);  // VK_RCONTROL
  EXPECT_NE(os::GetAsyncKeyState(os::kVK_CONTROL), 0);
  EXPECT_EQ(os::GetAsyncKeyState(0x10), 0);  // VK_SHIFT
  EXPECT_EQ(os::GetAsyncKeyState(-1), 0);
  EXPECT_EQ(os::GetAsyncKeyState(256), 0);
  os::sim::Reset();
  EXPECT_EQ(os::GetAsyncKeyState(os::kVK_CONTROL), 0);
}

TEST_F(SimSystem, KeyEventsKeepTheirOrderAcrossInterleavedTakes) {
  os::KeybdEvent('A', 0, 0);
  os::KeybdEvent('B', 0, 0);
  os::sim::KeyEvent event{};
  ASSERT_TRUE(os::sim::TakeKeyEvent(&event));
  EXPECT_EQ(event.virtualKey, 'A');
  os::KeybdEvent('C', 0, os::kKEYEVENTF_KEYUP);
  ASSERT_TRUE(os::sim::TakeKeyEvent(&event));
  EXPECT_EQ(event.virtualKey, 'B');
  EXPECT_NE(os::GetAsyncKeyState('B'), 0);
  ASSERT_TRUE(os::sim::TakeKeyEvent(&event));
  EXPECT_EQ(event.virtualKey, 'C');
  EXPECT_EQ(event.flags, os::kKEYEVENTF_KEYUP);
  EXPECT_FALSE(os::sim::TakeKeyEvent(&event));
}

// Names that Win32 refuses are refused; Reset forgets the environment.
TEST_F(SimSystem, EnvironmentRefusesBadNamesAndIsReset) {
  EXPECT_FALSE(os::SetEnvironmentVariable("", "x"));
  EXPECT_FALSE(os::SetEnvironmentVariable("A=B", "x"));
  EXPECT_TRUE(os::SetEnvironmentVariable("CURRENT_DATE", "2024-01-01"));
  os::sim::Reset();
  EXPECT_FALSE(os::GetEnvironmentVariable("CURRENT_DATE", nullptr));
}

TEST_F(SimSystem, ClockIsSetAndAdvancedByTests) {
  EXPECT_EQ(os::MillisecondClock(), 0);
  os::sim::AdvanceClock(250);
  EXPECT_EQ(os::MillisecondClock(), 250);
  os::sim::SetClock(1'000'000'000'000LL);
  os::sim::AdvanceClock(5);
  EXPECT_EQ(os::MillisecondClock(), 1'000'000'000'005LL);
}

struct TimeCase {
  os::LocalTime set;
  std::int64_t advance;
  os::LocalTime expected;  // day of week: 0 Sunday
};

bool SameTime(const os::LocalTime& a, const os::LocalTime& b) {
  return a.year == b.year && a.month == b.month && a.dayOfWeek == b.dayOfWeek && a.day == b.day &&
         a.hour == b.hour && a.minute == b.minute && a.second == b.second &&
         a.milliseconds == b.milliseconds;
}

std::string Show(const os::LocalTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d (%d) %02d:%02d:%02d.%03d", t.year, t.month,
                t.day, t.dayOfWeek, t.hour, t.minute, t.second, t.milliseconds);
  return text;
}

TEST_F(SimSystem, LocalTimeAdvancesWithTheClock) {
  const TimeCase cases[] = {
      {{2024, 1, 0, 1, 0, 0, 0, 0}, 0, {2024, 1, 1, 1, 0, 0, 0, 0}},
      {{2024, 1, 0, 1, 0, 0, 0, 0}, 1234, {2024, 1, 1, 1, 0, 0, 1, 234}},
      {{2023, 12, 0, 31, 23, 59, 59, 999}, 1, {2024, 1, 1, 1, 0, 0, 0, 0}},
      {{2024, 2, 0, 28, 12, 0, 0, 0}, 86400000, {2024, 2, 4, 29, 12, 0, 0, 0}},
      {{2023, 2, 0, 28, 12, 0, 0, 0}, 86400000, {2023, 3, 3, 1, 12, 0, 0, 0}},
      {{2000, 2, 0, 28, 0, 0, 0, 0}, 86400000, {2000, 2, 2, 29, 0, 0, 0, 0}},
      {{2100, 2, 0, 28, 0, 0, 0, 0}, 86400000, {2100, 3, 1, 1, 0, 0, 0, 0}},
      {{2026, 12, 0, 7, 10, 47, 0, 0}, -60000, {2026, 12, 1, 7, 10, 46, 0, 0}},
      {{2024, 1, 0, 1, 0, 0, 0, 0}, -1, {2023, 12, 0, 31, 23, 59, 59, 999}},
      {{2024, 13, 0, 1, 0, 0, 0, 0}, 0, {2025, 1, 3, 1, 0, 0, 0, 0}},  // carried over
  };
  for (const TimeCase& c : cases) {
    os::sim::Reset();
    os::sim::SetClock(777);
    os::sim::SetLocalTime(c.set);
    os::sim::AdvanceClock(c.advance);
    const os::LocalTime now = os::GetLocalTime();
    EXPECT_TRUE(SameTime(now, c.expected)) << Show(c.set) << " + " << c.advance << " gave "
                                           << Show(now) << ", expected " << Show(c.expected);
  }
}

TEST_F(SimSystem, DefaultLocalTime) {
  EXPECT_TRUE(SameTime(os::GetLocalTime(), {2024, 1, 1, 1, 0, 0, 0, 0}));
}

TEST_F(SimSystem, ProcessQueries) {
  std::uint32_t code = 0;
  EXPECT_EQ(os::GetCurrentProcessId(), os::sim::ProcessId());
  EXPECT_TRUE(os::GetProcessExitCode(os::GetCurrentProcessId(), &code));
  EXPECT_EQ(code, os::kSTILL_ACTIVE);
  code = 5;
  EXPECT_FALSE(os::GetProcessExitCode(4444, &code));
  EXPECT_EQ(code, 5u);
  os::sim::RegisterProcess(4444, os::kSTILL_ACTIVE);
  EXPECT_TRUE(os::GetProcessExitCode(4444, &code));
  EXPECT_EQ(code, os::kSTILL_ACTIVE);
  os::sim::RegisterProcess(4444, 0);  // ended, still queryable
  EXPECT_TRUE(os::GetProcessExitCode(4444, &code));
  EXPECT_EQ(code, 0u);
  os::sim::ForgetProcess(4444);
  EXPECT_FALSE(os::GetProcessExitCode(4444, &code));
}

int ExportOne() { return 1; }
int ExportTwo() { return 2; }

TEST_F(SimSystem, LibrariesLoadFromRegisteredTables) {
  os::sim::RegisterLibrary("C:\\Tools\\Zentrel.dll",
                           {{"OnHookCallbackComplete", reinterpret_cast<void*>(&ExportOne)},
                            {"RetrievePluginDebug", reinterpret_cast<void*>(&ExportTwo)}});
  EXPECT_EQ(os::LoadLibrary("C:\\Tools\\Missing.dll"), nullptr);
  const os::Module module = os::LoadLibrary("c:/tools/ZENTREL.DLL");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(os::LoadLibrary("C:\\Tools\\Zentrel.dll"), module);  // same module, counted
  EXPECT_EQ(os::sim::LibraryLoadCount("C:\\Tools\\Zentrel.dll"), 2);
  EXPECT_EQ(os::GetProcAddress(module, "OnHookCallbackComplete"),
            reinterpret_cast<void*>(&ExportOne));
  EXPECT_EQ(os::GetProcAddress(module, "onhookcallbackcomplete"), nullptr);  // exact case
  EXPECT_EQ(os::GetProcAddress(module, "OnHookMouse"), nullptr);
  EXPECT_EQ(os::GetProcAddress(module, nullptr), nullptr);
  EXPECT_EQ(os::GetProcAddress(nullptr, "RetrievePluginDebug"), nullptr);
  EXPECT_TRUE(os::FreeLibrary(module));
  EXPECT_NE(os::GetProcAddress(module, "RetrievePluginDebug"), nullptr);
  EXPECT_TRUE(os::FreeLibrary(module));
  EXPECT_EQ(os::GetProcAddress(module, "RetrievePluginDebug"), nullptr);  // unloaded
  EXPECT_FALSE(os::FreeLibrary(module));
  EXPECT_FALSE(os::FreeLibrary(nullptr));
}

TEST_F(SimSystem, BareLibraryNamesAreFoundBesideTheProgram) {
  os::sim::SetExecutablePath("C:\\Tools\\toolhost.exe");
  EXPECT_EQ(os::ExecutablePath(), "C:\\Tools\\toolhost.exe");
  os::sim::RegisterLibrary("C:\\Tools\\A.dll", {});
  os::sim::RegisterLibrary("D:\\Else\\B.dll", {});
  EXPECT_NE(os::LoadLibrary("a.dll"), nullptr);
  EXPECT_EQ(os::LoadLibrary("B.dll"), nullptr);
  EXPECT_EQ(os::LoadLibrary(""), nullptr);
  os::sim::SetExecutablePath("");
  EXPECT_NE(os::ExecutablePath(), "C:\\Tools\\toolhost.exe");
}

}  // namespace
