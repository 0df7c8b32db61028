// The behaviour of os/os.h that the host and the plugin rely on, checked with the same code on
// the simulation (natively) and on real Win32 (under Wine): what the simulation must not lose.
// What only one side has is tested beside it, in sim/ and win32/.
#include "tests/os/os_contract.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "os/os.h"

namespace {

using os::Window;
using os_contract::kWM_USER;

constexpr std::uint32_t kQuery = kWM_USER + 5;   // answered with 1000 + wParam
constexpr std::uint32_t kNested = kWM_USER + 6;  // sends kQuery to the window itself first

std::vector<std::string> g_log;

os::LResult LoggingProc(Window window, std::uint32_t message, os::WParam wParam, os::LParam) {
  if (message == kQuery) return 1000 + static_cast<os::LResult>(wParam);
  if (message == kNested) return os::SendMessage(window, kQuery, 1, 0) + 1;
  if (message == os::kWM_SIZE) g_log.push_back("size " + std::to_string(wParam));
  if (message == os::kWM_SHOWWINDOW) g_log.push_back("show " + std::to_string(wParam));
  if (message == os::kWM_DESTROY) {
    // The window still exists while it hears WM_DESTROY.
    g_log.push_back("destroy " + os::GetWindowText(window, 100) +
                    (os::IsWindow(window) ? "" : " (gone)"));
  }
  return 0;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

class OsContract : public ::testing::Test {
 protected:
  void SetUp() override {
    os_contract::Reset();
    g_log.clear();
  }
  void TearDown() override { os_contract::Reset(); }

  static Window Make(const std::string& className, Window parent, const std::string& text = "",
                     bool visible = true, os_contract::Procedure procedure = LoggingProc) {
    os_contract::WindowSpec request;
    request.className = className;
    request.parent = parent;
    request.text = text;
    request.visible = visible;
    request.procedure = procedure;
    const Window window = os_contract::MakeWindow(request);
    EXPECT_NE(window, nullptr) << className;
    return window;
  }
};

TEST_F(OsContract, PropertiesIgnoreCaseAndBelongToTheirWindow) {
  const Window main = Make("VorpexContractMain", nullptr);
  const Window other = Make("VorpexContractMain", nullptr);
  EXPECT_EQ(os::GetProp(main, "1F4.Plugin.Tool"), 0);
  ASSERT_TRUE(os::SetProp(main, "1F4.Plugin.Tool", -1));
  ASSERT_TRUE(os::SetProp(main, "PB_ID", 0x1234567));
  EXPECT_EQ(os::GetProp(main, "1f4.plugin.tool"), -1);
  EXPECT_TRUE(os::SetProp(main, "pb_id", 0x7654321));  // the same property
  EXPECT_EQ(os::GetProp(main, "PB_ID"), 0x7654321);
  EXPECT_EQ(os::GetProp(other, "PB_ID"), 0);

  const auto count = [&](const std::string& name, std::intptr_t value) {
    int found = 0;
    for (const os::PropertyEntry& entry : os::EnumProps(main)) {
      if (SameIgnoringCase(entry.name, name) && entry.value == value) ++found;
    }
    return found;
  };
  EXPECT_EQ(count("1F4.Plugin.Tool", -1), 1);
  EXPECT_EQ(count("PB_ID", 0x7654321), 1);

  EXPECT_EQ(os::RemoveProp(main, "Pb_Id"), 0x7654321);
  EXPECT_EQ(os::GetProp(main, "PB_ID"), 0);
  EXPECT_EQ(os::RemoveProp(main, "PB_ID"), 0);
  EXPECT_EQ(count("PB_ID", 0x7654321), 0);
  EXPECT_EQ(count("1F4.Plugin.Tool", -1), 1);
}

TEST_F(OsContract, WindowTreeTextsAndVisibility) {
  const Window main = Make("VorpexContractMain", nullptr, "Main \xC3\xA9", false);
  const Window child = Make("VorpexContractChild", main, "child");
  const Window grandchild = Make("VorpexContractChild", child);
  const Window sibling = Make("VorpexContractChild", main);
  // Texts cut to a buffer of maxChars characters including the terminating zero.
  struct Case {
    int maxChars;
    const char* className;
    const char* text;
  };
  const Case cases[] = {
      {100, "VorpexContractMain", "Main \xC3\xA9"},
      {7, "Vorpex", "Main \xC3\xA9"},
      {6, "Vorpe", "Main "},
      {1, "", ""},
      {0, "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(os::GetClassName(main, c.maxChars), c.className) << c.maxChars;
    EXPECT_EQ(os::GetWindowText(main, c.maxChars), c.text) << c.maxChars;
  }

  EXPECT_EQ(os::GetRootAncestor(grandchild), main);
  EXPECT_EQ(os::GetRootAncestor(main), main);
  // All descendants, depth first, siblings in creation order.
  EXPECT_EQ(os::EnumChildWindows(main), (std::vector<Window>{child, grandchild, sibling}));
  EXPECT_EQ(os::EnumChildWindows(child), (std::vector<Window>{grandchild}));
  EXPECT_TRUE(os::EnumChildWindows(grandchild).empty());

  EXPECT_TRUE(os::IsWindow(grandchild));
  EXPECT_FALSE(os::IsWindowVisible(main));
  EXPECT_FALSE(os::IsWindowVisible(child));          // its parent hides it
  EXPECT_FALSE(os::ShowWindow(main, os::kSW_SHOW));  // it was hidden
  EXPECT_TRUE(os::IsWindowVisible(child));

  std::uint32_t process = 1;
  EXPECT_EQ(os::GetWindowThreadProcessId(grandchild, &process), os_contract::CurrentThreadId());
  EXPECT_EQ(process, os::GetCurrentProcessId());
  EXPECT_EQ(os::GetWindowThreadProcessId(nullptr, &process), 0u);
  EXPECT_EQ(process, 0u);

  // Destroying a child leaves its parent and siblings.
  os_contract::DestroyWindow(sibling);
  EXPECT_EQ(os::EnumChildWindows(main), (std::vector<Window>{child, grandchild}));
}

// What the host's tool window hears when the plugin minimises and restores it (hidden at first,
// as the tool window is).
TEST_F(OsContract, ShowStateChangesAreReportedToTheWindow) {
  const Window tool = Make("VorpexContractMain", nullptr, "tool", false);
  const Window child = Make("VorpexContractChild", tool, "", true, nullptr);
  g_log.clear();
  EXPECT_TRUE(os::CloseWindow(tool));
  EXPECT_TRUE(os::IsWindowVisible(tool));  // a minimised window is visible
  EXPECT_TRUE(os_contract::IsMinimized(tool));
  EXPECT_TRUE(os::ShowWindow(tool, os::kSW_RESTORE));  // it was visible
  EXPECT_FALSE(os_contract::IsMinimized(tool));
  os::ShowWindow(tool, os::kSW_RESTORE);  // no change
  EXPECT_TRUE(os::ShowWindow(tool, os::kSW_HIDE));
  EXPECT_FALSE(os::IsWindowVisible(tool));
  EXPECT_FALSE(os::ShowWindow(tool, os::kSW_SHOW));
  EXPECT_FALSE(os::CloseWindow(child));  // a child window is not minimised
  // Win32 may repeat a message; the changes and their order are what counts.
  g_log.erase(std::unique(g_log.begin(), g_log.end()), g_log.end());
  EXPECT_EQ(g_log, (std::vector<std::string>{"size 1", "size 0", "show 0", "show 1"}));
}

TEST_F(OsContract, DestroyTellsParentThenChildrenAndInvalidatesAll) {
  const Window main = Make("VorpexContractMain", nullptr, "main");
  const Window child = Make("VorpexContractChild", main, "child");
  const Window grandchild = Make("VorpexContractChild", child, "grandchild");
  const Window other = Make("VorpexContractMain", nullptr, "other");
  ASSERT_TRUE(os::SetProp(child, "PB_ID", 3));
  g_log.clear();
  os_contract::DestroyWindow(main);
  EXPECT_EQ(g_log,
            (std::vector<std::string>{"destroy main", "destroy child", "destroy grandchild"}));
  for (Window window : {main, child, grandchild}) {
    EXPECT_FALSE(os::IsWindow(window));
    EXPECT_EQ(os::SendMessage(window, kQuery, 1, 0), 0);
    EXPECT_EQ(os::GetClassName(window, 100), "");
    EXPECT_FALSE(os::IsWindowVisible(window));
    EXPECT_EQ(os::GetRootAncestor(window), nullptr);
  }
  EXPECT_EQ(os::GetProp(child, "PB_ID"), 0);
  EXPECT_FALSE(os::SetProp(child, "PB_ID", 1));
  EXPECT_TRUE(os::EnumProps(child).empty());
  EXPECT_EQ(os::SendMessage(other, kQuery, 1, 0), 1001);
  // Nor has a null window anything.
  EXPECT_FALSE(os::IsWindow(nullptr));
  EXPECT_FALSE(os::SetProp(nullptr, "PB_ID", 1));
  EXPECT_EQ(os::GetProp(nullptr, "PB_ID"), 0);
  EXPECT_EQ(os::SendMessage(nullptr, kQuery, 1, 0), 0);
}

// Hooks: each logs the contract's messages it sees, as "A 5 1 -> 1001" (message - WM_USER,
// wParam, result), and passes them on, except Swallow.
void LogRecord(const char* hook, os::LParam lParam, bool details) {
  const auto* record = reinterpret_cast<const os::CallWndRetRecord*>(lParam);
  if (record->message != kQuery && record->message != kNested) return;
  std::string line = std::string(hook) + " " + std::to_string(record->message - kWM_USER);
  if (details) {
    line += " " + std::to_string(record->wParam) + " -> " + std::to_string(record->lResult);
  }
  g_log.push_back(line);
}

os::LResult VORPEX_STDCALL HookA(int code, os::WParam wParam, os::LParam lParam) {
  LogRecord("A", lParam, true);
  return os::CallNextHookEx(nullptr, code, wParam, lParam);
}

os::LResult VORPEX_STDCALL HookB(int code, os::WParam wParam, os::LParam lParam) {
  LogRecord("B", lParam, false);
  return os::CallNextHookEx(nullptr, code, wParam, lParam);
}

os::LResult VORPEX_STDCALL Swallow(int, os::WParam, os::LParam lParam) {
  LogRecord("swallow", lParam, false);
  return 0;  // does not pass the message on
}

int g_hookCode;
os::WParam g_hookWParam;
os::CallWndRetRecord g_record;

os::LResult VORPEX_STDCALL Recording(int code, os::WParam wParam, os::LParam lParam) {
  const auto* record = reinterpret_cast<const os::CallWndRetRecord*>(lParam);
  if (record->message == kQuery) {
    g_hookCode = code;
    g_hookWParam = wParam;
    g_record = *record;
  }
  return os::CallNextHookEx(nullptr, code, wParam, lParam);
}

os::Hook Install(os::HookProc procedure) {
  return os::SetWindowsHookEx(os::kWH_CALLWNDPROCRET, procedure, nullptr,
                              os_contract::CurrentThreadId());
}

TEST_F(OsContract, HookRecordCarriesTheMessageAndItsResult) {
  const Window window = Make("VorpexContractMain", nullptr);
  g_record = {};
  const os::Hook hook = Install(Recording);
  ASSERT_NE(hook, nullptr);
  EXPECT_EQ(os::SendMessage(window, kQuery, 5, 99), 1005);
  EXPECT_TRUE(os::UnhookWindowsHookEx(hook));
  EXPECT_EQ(g_hookCode, os::kHC_ACTION);
  EXPECT_NE(g_hookWParam, 0u);  // sent by this thread
  EXPECT_EQ(g_record.lResult, 1005);
  EXPECT_EQ(g_record.message, kQuery);
  EXPECT_EQ(g_record.wParam, 5u);
  EXPECT_EQ(g_record.lParam, 99);
  EXPECT_EQ(g_record.hwnd, window);
}

TEST_F(OsContract, HooksRunMostRecentFirstAndSeeNestedMessagesFirst) {
  const Window window = Make("VorpexContractMain", nullptr);
  g_log.clear();  // what Win32 tells a new window
  const os::Hook a = Install(HookA);
  const os::Hook b = Install(HookB);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(os::SendMessage(window, kQuery, 5, 0), 1005);
  // Re-entrant: the nested message reaches both hooks before the outer one.
  EXPECT_EQ(os::SendMessage(window, kNested, 0, 0), 1002);
  EXPECT_TRUE(os::UnhookWindowsHookEx(b));
  EXPECT_FALSE(os::UnhookWindowsHookEx(b));
  EXPECT_EQ(os::SendMessage(window, kQuery, 7, 0), 1007);
  const os::Hook swallow = Install(Swallow);
  ASSERT_NE(swallow, nullptr);
  EXPECT_EQ(os::SendMessage(window, kQuery, 8, 0), 1008);  // A does not see it
  EXPECT_TRUE(os::UnhookWindowsHookEx(swallow));
  EXPECT_TRUE(os::UnhookWindowsHookEx(a));
  EXPECT_EQ(os::SendMessage(window, kQuery, 9, 0), 1009);
  EXPECT_EQ(g_log, (std::vector<std::string>{"B 5", "A 5 5 -> 1005", "B 5", "A 5 1 -> 1001", "B 6",
                                             "A 6 0 -> 1002", "A 5 7 -> 1007", "swallow 5"}));
}

TEST_F(OsContract, EnvironmentNamesIgnoreCase) {
  std::string value = "kept";
  EXPECT_FALSE(os::GetEnvironmentVariable("VORPEX_CONTRACT_UNSET", &value));
  EXPECT_EQ(value, "kept");
  ASSERT_TRUE(os::SetEnvironmentVariable("VORPEX_CONTRACT_DATE", "2024-01-31 \xE2\x82\xAC"));
  EXPECT_TRUE(os::GetEnvironmentVariable("vorpex_contract_date", &value));
  EXPECT_EQ(value, "2024-01-31 \xE2\x82\xAC");
  ASSERT_TRUE(os::SetEnvironmentVariable("vorpex_contract_DATE", "2024-02-01"));
  EXPECT_TRUE(os::GetEnvironmentVariable("VORPEX_CONTRACT_DATE", &value));
  EXPECT_EQ(value, "2024-02-01");
  ASSERT_TRUE(os::SetEnvironmentVariable("VORPEX_CONTRACT_EMPTY", ""));
  EXPECT_TRUE(os::GetEnvironmentVariable("VORPEX_CONTRACT_EMPTY", &value));  // set, but empty
  EXPECT_EQ(value, "");
  const std::string longValue(5000, 'x');
  ASSERT_TRUE(os::SetEnvironmentVariable("VORPEX_CONTRACT_LONG", longValue));
  EXPECT_TRUE(os::GetEnvironmentVariable("VORPEX_CONTRACT_LONG", &value));
  EXPECT_EQ(value, longValue);

  std::uint32_t code = 0;
  EXPECT_TRUE(os::GetProcessExitCode(os::GetCurrentProcessId(), &code));
  EXPECT_EQ(code, os::kSTILL_ACTIVE);
}

TEST_F(OsContract, FilesAreReadAndReplacedWhole) {
  const std::string folder = os_contract::MakeFolder();
  ASSERT_FALSE(folder.empty());
  const auto path = [&](const std::string& name) { return os_contract::PathIn(folder, name); };
  const auto list = [&](const std::string& pattern) {
    std::vector<std::string> names{"stale"};
    EXPECT_TRUE(os::ListFiles(folder, pattern, &names)) << pattern;
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
      return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                          [](char x, char y) {
                                            return std::tolower(static_cast<unsigned char>(x)) <
                                                   std::tolower(static_cast<unsigned char>(y));
                                          });
    });
    return names;
  };

  EXPECT_TRUE(list("*.dll").empty());  // nothing found is still a listing
  std::vector<std::string> names{"kept"};
  EXPECT_FALSE(os::ListFiles(path("missing"), "*.dll", &names));
  EXPECT_EQ(names, std::vector<std::string>{"kept"});

  static const char kContent[] = "\xEF\xBB\xBF[Group]\r\nKey = 1\n\0tail";
  const std::string bytes(kContent, sizeof kContent - 1);
  ASSERT_TRUE(os::ReplaceFile(path("toolhost.ini"), "first, the longer content"));
  ASSERT_TRUE(os::ReplaceFile(path("toolhost.ini"), bytes));
  std::string read;
  ASSERT_TRUE(os::ReadWholeFile(path("toolhost.ini"), &read));
  EXPECT_EQ(read, bytes);
  ASSERT_TRUE(os::ReplaceFile(path("Zentrel.DLL"), "MZ"));
  ASSERT_TRUE(os::ReplaceFile(path("a.dll"), ""));
  ASSERT_TRUE(os::ReplaceFile(path("notes.txt"), ""));
  ASSERT_TRUE(os::ReadWholeFile(path("a.dll"), &read));
  EXPECT_EQ(read, "");
  EXPECT_EQ(list("*.dll"), (std::vector<std::string>{"a.dll", "Zentrel.DLL"}));
  // No temporary file left behind, no "." or "..".
  EXPECT_EQ(list("*"),
            (std::vector<std::string>{"a.dll", "notes.txt", "toolhost.ini", "Zentrel.DLL"}));

  os::FileError error;
  read = "kept";
  EXPECT_FALSE(os::ReadWholeFile(path("missing.ini"), &read, &error));
  EXPECT_TRUE(error.notFound);
  EXPECT_EQ(read, "kept");
  EXPECT_FALSE(os::ReplaceFile(folder, "x"));  // a folder is not replaced
  os_contract::RemoveFolder(folder);
}

}  // namespace
