// The simulated window system beyond what it shares with Win32 (tests/os/os_contract_test.cpp):
// its control surface, reproducible handles, and where it is stricter than Win32.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "os/os.h"
#include "os/sim/sim.h"

namespace {

using os::Window;

class SimWindows : public ::testing::Test {
 protected:
  void SetUp() override { os::sim::Reset(); }
  void TearDown() override { os::sim::Reset(); }

  static Window Make(const std::string& className, Window parent = nullptr,
                     os::sim::WindowProc procedure = nullptr, bool visible = true) {
    os::sim::WindowSpec params;
    params.className = className;
    params.parent = parent;
    params.procedure = procedure;
    params.visible = visible;
    return os::sim::CreateWindow(params);
  }
};

TEST_F(SimWindows, ParentsAndTopLevelWindows) {
  const Window main = Make("IdeMain");
  const Window panel = Make("Panel", main);
  const Window editor = Make("Scintilla", panel);
  const Window tool = Make("ToolWindow");
  EXPECT_EQ(os::sim::GetParent(editor), panel);
  EXPECT_EQ(os::sim::GetParent(main), nullptr);
  EXPECT_EQ(os::sim::GetParent(nullptr), nullptr);
  // Without a window: the top-level windows, in creation order.
  EXPECT_EQ(os::EnumChildWindows(nullptr), (std::vector<Window>{main, tool}));
}

TEST_F(SimWindows, HandlesAreReproducibleAfterReset) {
  const Window first = Make("A");
  os::sim::Reset();
  EXPECT_FALSE(os::IsWindow(first));
  EXPECT_EQ(Make("B"), first);
}

TEST_F(SimWindows, InvalidHandles) {
  const Window bogus = reinterpret_cast<Window>(0x1234);
  EXPECT_FALSE(os::IsWindow(bogus));
  EXPECT_EQ(os::GetRootAncestor(bogus), nullptr);
  EXPECT_EQ(os::GetClassName(bogus, 100), "");
  EXPECT_EQ(os::SendMessage(bogus, 1234, 1, 2), 0);
  EXPECT_FALSE(os::SetProp(bogus, "PB_ID", 1));
  EXPECT_EQ(os::GetProp(bogus, "PB_ID"), 0);
  // Win32 does not agree on these for a null window; the simulation refuses them.
  EXPECT_FALSE(os::CloseWindow(nullptr));
  EXPECT_FALSE(os::ShowWindow(nullptr, os::kSW_RESTORE));
  os::sim::WindowSpec orphan;
  orphan.parent = bogus;
  EXPECT_EQ(os::sim::CreateWindow(orphan), nullptr);
}

// Stricter than Win32, which may cut a surrogate pair in two.
TEST_F(SimWindows, TextsCutToTheBufferKeepSurrogatePairs) {
  os::sim::WindowSpec params;
  params.className = "Scintilla";
  params.text = "Caf\xC3\xA9 \xF0\x9F\x98\x80!";  // "Café 😀!": 8 UTF-16 units
  const Window w = os::sim::CreateWindow(params);
  struct Case {
    int maxChars;
    const char* className;
    const char* text;
  };
  const Case cases[] = {
      {9, "Scintill", "Caf\xC3\xA9 \xF0\x9F\x98\x80!"},
      {8, "Scintil", "Caf\xC3\xA9 \xF0\x9F\x98\x80"},
      {7, "Scinti", "Caf\xC3\xA9 "},  // the pair is not split
      {-5, "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(os::GetClassName(w, c.maxChars), c.className) << c.maxChars;
    EXPECT_EQ(os::GetWindowText(w, c.maxChars), c.text) << c.maxChars;
  }
  os::sim::SetWindowText(w, "new");
  EXPECT_EQ(os::GetWindowText(w, 100), "new");
}

TEST_F(SimWindows, ThreadAndProcessOfAWindow) {
  const Window ide = Make("Ide");
  os::sim::WindowSpec params;
  params.threadId = 77;
  params.processId = 88;
  const Window foreign = os::sim::CreateWindow(params);
  std::uint32_t process = 1;
  EXPECT_EQ(os::GetWindowThreadProcessId(ide, &process), os::sim::GuiThreadId());
  EXPECT_EQ(process, os::sim::ProcessId());
  EXPECT_EQ(os::GetWindowThreadProcessId(foreign, &process), 77u);
  EXPECT_EQ(process, 88u);
  EXPECT_EQ(os::GetWindowThreadProcessId(ide, nullptr), os::sim::GuiThreadId());
}

TEST_F(SimWindows, WindowData) {
  int owner = 0;
  os::sim::WindowSpec params;
  params.data = &owner;
  const Window w = os::sim::CreateWindow(params);
  EXPECT_EQ(os::sim::GetWindowData(w), &owner);
  os::sim::SetWindowData(w, nullptr);
  EXPECT_EQ(os::sim::GetWindowData(w), nullptr);
}

TEST_F(SimWindows, MessageDepthCountsTheSendsInProgress) {
  static int depth = -1;
  const Window w = Make("W", nullptr, [](Window, std::uint32_t, os::WParam, os::LParam) {
    depth = os::sim::MessageDepth();
    return os::LResult{0};
  });
  os::SendMessage(w, 100, 0, 0);
  EXPECT_EQ(depth, 1);
  EXPECT_EQ(os::sim::MessageDepth(), 0);
}

// A data procedure is handed what GetWindowData answers as it is called: after SetWindowData,
// and after a hook that runs before the procedure changed it, as on a send that nothing watches.
TEST_F(SimWindows, DataProcedureIsHandedTheWindowsDataAsItIsCalled) {
  static int first = 0, second = 0, third = 0;
  static void* handed = nullptr;
  os::sim::WindowSpec params;
  params.data = &first;
  params.dataProcedure = [](void* data, Window window, std::uint32_t message, os::WParam wParam,
                            os::LParam lParam) -> os::LResult {
    handed = data;
    return os::IsWindow(window) ? static_cast<os::LResult>(message + wParam + lParam) : -1;
  };
  static Window w = nullptr;
  w = os::sim::CreateWindow(params);

  EXPECT_EQ(os::SendMessage(w, 100, 20, 3), 123);
  EXPECT_EQ(handed, &first);
  os::sim::SetWindowData(w, &second);
  os::SendMessage(w, 100, 0, 0);
  EXPECT_EQ(handed, &second);
  os::SetWindowsHookEx(
      os::kWH_CALLWNDPROC,
      [](int code, os::WParam wParam, os::LParam lParam) -> os::LResult {
        os::sim::SetWindowData(w, &third);
        return os::CallNextHookEx(nullptr, code, wParam, lParam);
      },
      nullptr, os::sim::GuiThreadId());
  EXPECT_EQ(os::SendMessage(w, 100, 20, 3), 123);
  EXPECT_EQ(handed, &third);
}

// Properties.

TEST_F(SimWindows, PropertyEnumerationKeepsInsertionOrder) {
  const Window w = Make("Main");
  os::SetProp(w, "1F4.Plugin.Tool", 5);
  os::SetProp(w, "PB_ID", 1);
  os::SetProp(w, "1F4.Settings.A.B.Value", -3);
  os::SetProp(w, "1f4.plugin.tool", 6);  // an update keeps the place and the name as first set
  os::SetProp(w, "Gone", 2);
  os::RemoveProp(w, "gone");
  os::SetProp(w, "aaa", 4);
  os::SetProp(w, "GONE", 8);  // re-added: at the end
  const std::vector<os::PropertyEntry> entries = os::EnumProps(w);
  const std::vector<std::pair<std::string, std::intptr_t>> expected = {
      {"1F4.Plugin.Tool", 6},
      {"PB_ID", 1},
      {"1F4.Settings.A.B.Value", -3},
      {"aaa", 4},
      {"GONE", 8}};
  ASSERT_EQ(entries.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(entries[i].name, expected[i].first) << i;
    EXPECT_EQ(entries[i].value, expected[i].second) << i;
  }
}

TEST_F(SimWindows, ManyPropertiesSurviveGrowthAndRemoval) {
  const Window w = Make("Main");
  const auto name = [](int i) { return "1F4.Settings.Group" + std::to_string(i) + ".Key.Value"; };
  for (int i = 0; i < 1000; ++i) ASSERT_TRUE(os::SetProp(w, name(i), i * 3));
  for (int i = 0; i < 1000; i += 2) EXPECT_EQ(os::RemoveProp(w, name(i)), i * 3);
  for (int i = 0; i < 1000; ++i) {
    std::string upper = name(i);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(os::GetProp(w, upper), i % 2 ? i * 3 : 0) << i;
  }
  const std::vector<os::PropertyEntry> entries = os::EnumProps(w);
  ASSERT_EQ(entries.size(), 500u);
  for (std::size_t k = 0; k < entries.size(); ++k) {
    EXPECT_EQ(entries[k].name, name(static_cast<int>(2 * k + 1)));
  }
}

TEST_F(SimWindows, PropertyNamesMustBeValidAtoms) {
  const Window w = Make("Main");
  EXPECT_FALSE(os::SetProp(w, "", 1));
  EXPECT_TRUE(os::SetProp(w, std::string(255, 'a'), 1));
  EXPECT_FALSE(os::SetProp(w, std::string(256, 'b'), 1));
  EXPECT_EQ(os::GetProp(w, std::string(256, 'b')), 0);
  EXPECT_EQ(os::EnumProps(w).size(), 1u);
}

// Destruction.

std::vector<std::pair<Window, std::uint32_t>> g_destroyLog;
os::LResult LoggingProc(Window w, std::uint32_t message, os::WParam, os::LParam) {
  if (message == os::kWM_DESTROY) {
    g_destroyLog.push_back({w, message});
    // The window still exists while it hears WM_DESTROY.
    EXPECT_TRUE(os::IsWindow(w));
  }
  return 42;
}

TEST_F(SimWindows, DestroyedHandlesAreNeverReused) {
  g_destroyLog.clear();
  const Window main = Make("Main", nullptr, LoggingProc);
  const Window child = Make("Child", main, LoggingProc);
  const Window sibling = Make("Sibling", nullptr, LoggingProc);
  os::sim::DestroyWindow(main);
  EXPECT_EQ(g_destroyLog.size(), 2u);
  EXPECT_EQ(os::EnumChildWindows(nullptr), (std::vector<Window>{sibling}));
  // Destroying twice, or an unknown handle, does nothing.
  g_destroyLog.clear();
  os::sim::DestroyWindow(main);
  os::sim::DestroyWindow(nullptr);
  EXPECT_TRUE(g_destroyLog.empty());
  // A new window never gets a destroyed window's handle.
  const Window fresh = Make("Fresh");
  EXPECT_NE(fresh, main);
  EXPECT_NE(fresh, child);
}

}  // namespace
