// The OS boundary on real Win32 (under Wine in the cross build): the same behaviour the
// simulation promises, checked against the system itself.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "os/os.h"

namespace {

constexpr UINT kQuery = WM_USER + 5;   // answered with 1000 + wParam
constexpr UINT kNested = WM_USER + 6;  // sends kQuery to the window itself

std::vector<std::string> g_stateLog;

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kQuery) return 1000 + static_cast<LRESULT>(wParam);
  if (message == WM_SIZE) g_stateLog.push_back("size " + std::to_string(wParam));
  if (message == WM_SHOWWINDOW) g_stateLog.push_back("show " + std::to_string(wParam));
  if (message == WM_DESTROY) {
    wchar_t text[32] = L"";
    GetWindowTextW(window, text, 32);
    g_stateLog.push_back("destroy " + std::string(text, text + wcslen(text)));
  }
  if (message == kNested) return os::SendMessage(window, kQuery, 1, 0) + 1;
  return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t kClassName[] = L"VorpexOsTestWindow";

class Win32Os : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
  }
  void SetUp() override {
    main_ = CreateWindowExW(0, kClassName, L"Main \u00E9", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(main_, nullptr);
    child_ = CreateWindowExW(0, kClassName, L"child", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, main_,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    grandchild_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, child_, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    sibling_ = CreateWindowExW(0, kClassName, L"", WS_CHILD, 0, 0, 10, 10, main_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(grandchild_, nullptr);
    ASSERT_NE(sibling_, nullptr);
  }
  void TearDown() override {
    if (IsWindow(main_)) DestroyWindow(main_);
  }

  HWND main_ = nullptr, child_ = nullptr, grandchild_ = nullptr, sibling_ = nullptr;
};

TEST_F(Win32Os, PropertiesWithRealAtoms) {
  EXPECT_EQ(os::GetProp(main_, "1F4.Plugin.Tool"), 0);
  ASSERT_TRUE(os::SetProp(main_, "1F4.Plugin.Tool", -1));
  ASSERT_TRUE(os::SetProp(main_, "PB_ID", 0x1234567));
  EXPECT_EQ(os::GetProp(main_, "1f4.plugin.tool"), -1);
  EXPECT_EQ(os::GetProp(main_, "pb_id"), 0x1234567);
  // A property set by atom, as other programs may do.
  const ATOM atom = GlobalAddAtomW(L"Vorpex.ByAtom");
  ASSERT_NE(atom, 0);
  ASSERT_TRUE(SetPropW(main_, MAKEINTATOM(atom), reinterpret_cast<HANDLE>(77)));
  EXPECT_EQ(os::GetProp(main_, "Vorpex.ByAtom"), 77);

  std::vector<os::PropertyEntry> entries = os::EnumProps(main_);
  const auto find = [&](const std::string& name) -> const os::PropertyEntry* {
    for (const os::PropertyEntry& entry : entries) {
      if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, entry.name.c_str(), -1, name.c_str(),
                         -1) == CSTR_EQUAL) {
        return &entry;
      }
    }
    return nullptr;
  };
  ASSERT_NE(find("1F4.Plugin.Tool"), nullptr);
  EXPECT_EQ(find("1F4.Plugin.Tool")->value, -1);
  ASSERT_NE(find("PB_ID"), nullptr);
  EXPECT_EQ(find("PB_ID")->value, 0x1234567);
  ASSERT_NE(find("Vorpex.ByAtom"), nullptr);
  EXPECT_EQ(find("Vorpex.ByAtom")->value, 77);

  EXPECT_EQ(os::RemoveProp(main_, "PB_id"), 0x1234567);
  EXPECT_EQ(os::GetProp(main_, "PB_ID"), 0);
  RemovePropW(main_, MAKEINTATOM(atom));
  GlobalDeleteAtom(atom);
  entries = os::EnumProps(main_);
  EXPECT_EQ(find("PB_ID"), nullptr);
}

TEST_F(Win32Os, WindowTreeAndTexts) {
  EXPECT_EQ(os::GetClassName(child_, 1000), "VorpexOsTestWindow");
  EXPECT_EQ(os::GetClassName(child_, 7), "Vorpex");
  EXPECT_EQ(os::GetClassName(grandchild_, 1000), "Static");
  EXPECT_EQ(os::GetWindowText(main_, 100), "Main \xC3\xA9");
  EXPECT_EQ(os::GetRootAncestor(grandchild_), main_);
  EXPECT_EQ(os::GetRootAncestor(main_), main_);
  // Depth first, siblings in creation order: the order the simulation promises.
  EXPECT_EQ(os::EnumChildWindows(main_), (std::vector<os::Window>{child_, grandchild_, sibling_}));
  EXPECT_EQ(os::EnumChildWindows(child_), (std::vector<os::Window>{grandchild_}));
  EXPECT_TRUE(os::IsWindow(main_));
  EXPECT_FALSE(os::IsWindowVisible(main_));
  EXPECT_FALSE(os::IsWindowVisible(child_));  // its parent is hidden
  std::uint32_t process = 0;
  EXPECT_EQ(os::GetWindowThreadProcessId(child_, &process), GetCurrentThreadId());
  EXPECT_EQ(process, os::GetCurrentProcessId());

  os::ShowWindow(main_, os::kSW_SHOW);
  EXPECT_TRUE(os::IsWindowVisible(child_));
  EXPECT_TRUE(os::CloseWindow(main_));
  EXPECT_TRUE(IsIconic(main_));
  os::ShowWindow(main_, os::kSW_RESTORE);
  EXPECT_FALSE(IsIconic(main_));

  SetWindowTextW(main_, L"main");
  SetWindowTextW(sibling_, L"sibling");
  g_stateLog.clear();
  DestroyWindow(main_);
  // The parent hears WM_DESTROY first, then its children: the order the sim keeps.
  EXPECT_EQ(g_stateLog,
            (std::vector<std::string>{"destroy main", "destroy child", "destroy sibling"}));
  EXPECT_FALSE(os::IsWindow(child_));
  EXPECT_EQ(os::SendMessage(child_, kQuery, 1, 0), 0);
  EXPECT_EQ(os::GetClassName(child_, 100), "");
}

std::vector<std::string> g_log;

// The messages the simulation also sends when the plugin minimises and restores the hidden
// tool window.
TEST_F(Win32Os, ShowStateChangesAreReportedToTheWindow) {
  g_stateLog.clear();
  EXPECT_TRUE(os::CloseWindow(main_));
  EXPECT_TRUE(IsWindowVisible(main_));
  EXPECT_TRUE(IsIconic(main_));
  os::ShowWindow(main_, os::kSW_RESTORE);
  os::ShowWindow(main_, os::kSW_RESTORE);
  os::ShowWindow(main_, os::kSW_HIDE);
  os::ShowWindow(main_, os::kSW_SHOW);
  EXPECT_FALSE(os::CloseWindow(child_));
  // Win32 may repeat a message; the changes and their order are what the sim reproduces.
  g_stateLog.erase(std::unique(g_stateLog.begin(), g_stateLog.end()), g_stateLog.end());
  EXPECT_EQ(g_stateLog, (std::vector<std::string>{"size 1", "size 0", "show 0", "show 1"}));
}

os::LResult VORPEX_STDCALL HookA(int code, os::WParam wParam, os::LParam lParam) {
  const auto* record = reinterpret_cast<const os::CallWndRetRecord*>(lParam);
  if (record->message == kQuery || record->message == kNested) {
    g_log.push_back("A " + std::to_string(record->message - WM_USER) + " " +
                    std::to_string(record->wParam) + " -> " + std::to_string(record->lResult));
  }
  return os::CallNextHookEx(nullptr, code, wParam, lParam);
}

os::LResult VORPEX_STDCALL HookB(int code, os::WParam wParam, os::LParam lParam) {
  const auto* record = reinterpret_cast<const os::CallWndRetRecord*>(lParam);
  if (record->message == kQuery || record->message == kNested) {
    g_log.push_back("B " + std::to_string(record->message - WM_USER));
  }
  return os::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(Win32Os, HooksOnTheOwnThreadSeeSentMessagesInChainOrder) {
  g_log.clear();
  const os::Hook a =
      os::SetWindowsHookEx(os::kWH_CALLWNDPROCRET, HookA, nullptr, GetCurrentThreadId());
  const os::Hook b =
      os::SetWindowsHookEx(os::kWH_CALLWNDPROCRET, HookB, nullptr, GetCurrentThreadId());
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(os::SendMessage(child_, kQuery, 5, 0), 1005);
  // Re-entrant: the nested message reaches both hooks before the outer one.
  EXPECT_EQ(os::SendMessage(child_, kNested, 0, 0), 1002);
  EXPECT_TRUE(os::UnhookWindowsHookEx(b));
  EXPECT_TRUE(os::UnhookWindowsHookEx(a));
  EXPECT_EQ(os::SendMessage(child_, kQuery, 5, 0), 1005);
  const std::vector<std::string> expected = {"B 5",           "A 5 5 -> 1005", "B 5",
                                             "A 5 1 -> 1001", "B 6",           "A 6 0 -> 1002"};
  EXPECT_EQ(g_log, expected);
}

// As the host does: a hook installed for another thread's id runs for that thread's windows
// only, on that thread; the sim's hooks keep to their thread in the same way.
struct OtherThread {
  HWND window = nullptr;
  HANDLE ready = nullptr;
  DWORD id = 0;
};

std::vector<std::pair<UINT, DWORD>> g_seenOnThread;  // message, thread that ran the hook

os::LResult VORPEX_STDCALL ThreadHook(int code, os::WParam wParam, os::LParam lParam) {
  const auto* record = reinterpret_cast<const os::CallWndRetRecord*>(lParam);
  if (record->message == kQuery) g_seenOnThread.push_back({record->message, GetCurrentThreadId()});
  return os::CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD WINAPI RunOtherThread(void* parameter) {
  auto* other = static_cast<OtherThread*>(parameter);
  other->window = CreateWindowExW(0, kClassName, L"other", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetEvent(other->ready);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  DestroyWindow(other->window);
  return 0;
}

TEST_F(Win32Os, HookForAnotherThreadSeesOnlyThatThreadsWindows) {
  OtherThread other;
  other.ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, RunOtherThread, &other, 0, &other.id);
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(WaitForSingleObject(other.ready, 10000), WAIT_OBJECT_0);
  ASSERT_NE(other.window, nullptr);
  std::uint32_t process = 0;
  const std::uint32_t threadId = os::GetWindowThreadProcessId(other.window, &process);
  EXPECT_EQ(threadId, other.id);

  g_seenOnThread.clear();
  const os::Hook hook = os::SetWindowsHookEx(os::kWH_CALLWNDPROCRET, ThreadHook, nullptr, threadId);
  ASSERT_NE(hook, nullptr);
  EXPECT_EQ(os::SendMessage(child_, kQuery, 1, 0), 1001);        // this thread: not seen
  EXPECT_EQ(os::SendMessage(other.window, kQuery, 2, 0), 1002);  // the other thread: seen
  // A send to another thread may return before its hook has run; the next one cannot overtake.
  os::SendMessage(other.window, WM_NULL, 0, 0);
  EXPECT_TRUE(os::UnhookWindowsHookEx(hook));
  ASSERT_EQ(g_seenOnThread.size(), 1u);
  EXPECT_EQ(g_seenOnThread[0].second, other.id);

  PostThreadMessageW(other.id, WM_QUIT, 0, 0);
  WaitForSingleObject(thread, 10000);
  CloseHandle(thread);
  CloseHandle(other.ready);
}

TEST(Win32OsSystem, Environment) {
  std::string value = "kept";
  EXPECT_FALSE(os::GetEnvironmentVariable("VORPEX_TEST_UNSET_VARIABLE", &value));
  EXPECT_EQ(value, "kept");
  ASSERT_TRUE(os::SetEnvironmentVariable("VORPEX_TEST_VARIABLE", "2024-01-31 \xE2\x82\xAC"));
  EXPECT_TRUE(os::GetEnvironmentVariable("vorpex_test_variable", &value));
  EXPECT_EQ(value, "2024-01-31 \xE2\x82\xAC");
  ASSERT_TRUE(os::SetEnvironmentVariable("VORPEX_TEST_EMPTY", ""));
  value = "kept";
  EXPECT_TRUE(os::GetEnvironmentVariable("VORPEX_TEST_EMPTY", &value));
  EXPECT_EQ(value, "");
  const std::string longValue(5000, 'x');
  ASSERT_TRUE(os::SetEnvironmentVariable("VORPEX_TEST_VARIABLE", longValue));
  EXPECT_TRUE(os::GetEnvironmentVariable("VORPEX_TEST_VARIABLE", &value));
  EXPECT_EQ(value, longValue);
}

TEST(Win32OsSystem, TimeProcessesAndLibraries) {
  const std::int64_t before = os::MillisecondClock();
  Sleep(20);
  const std::int64_t after = os::MillisecondClock();
  EXPECT_GE(after - before, 15);
  EXPECT_LT(after - before, 5000);
  const os::LocalTime now = os::GetLocalTime();
  EXPECT_GE(now.year, 2020);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12);
  EXPECT_TRUE(now.dayOfWeek >= 0 && now.dayOfWeek <= 6);

  std::uint32_t code = 0;
  EXPECT_TRUE(os::GetProcessExitCode(os::GetCurrentProcessId(), &code));
  EXPECT_EQ(code, os::kSTILL_ACTIVE);
  EXPECT_FALSE(os::GetProcessExitCode(0xFFFFFFF0u, &code));

  const os::Module kernel = os::LoadLibrary("kernel32.dll");
  ASSERT_NE(kernel, nullptr);
  EXPECT_NE(os::GetProcAddress(kernel, "GetTickCount"), nullptr);
  EXPECT_EQ(os::GetProcAddress(kernel, "NoSuchExportAnywhere"), nullptr);
  EXPECT_TRUE(os::FreeLibrary(kernel));
  EXPECT_EQ(os::LoadLibrary("C:\\no\\such\\library.dll"), nullptr);

  const std::string program = os::ExecutablePath();
  ASSERT_GT(program.size(), 4u);
  EXPECT_EQ(program.substr(program.size() - 4), ".exe");
}

TEST(Win32OsSystem, Files) {
  wchar_t base[MAX_PATH];
  ASSERT_GT(GetTempPathW(MAX_PATH, base), 0u);
  const std::wstring folderWide =
      std::wstring(base) + L"vorpex-os-test-" + std::to_wstring(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryW(folderWide.c_str(), nullptr));
  char folderUtf8[MAX_PATH * 3];
  WideCharToMultiByte(CP_UTF8, 0, folderWide.c_str(), -1, folderUtf8, sizeof folderUtf8, nullptr,
                      nullptr);
  const std::string folder = folderUtf8;
  const std::string ini = folder + "\\toolhost.ini";

  std::vector<std::string> names{"stale"};
  EXPECT_TRUE(os::ListFiles(folder, "*.dll", &names));
  EXPECT_TRUE(names.empty());
  EXPECT_FALSE(os::ListFiles(folder + "\\missing", "*.dll", &names));

  ASSERT_TRUE(os::ReplaceFile(ini, "first, the longer content"));
  ASSERT_TRUE(os::ReplaceFile(ini, "second"));
  std::string read;
  ASSERT_TRUE(os::ReadWholeFile(ini, &read));
  EXPECT_EQ(read, "second");
  ASSERT_TRUE(os::ReplaceFile(folder + "\\Zentrel.DLL", "MZ"));
  ASSERT_TRUE(os::ReplaceFile(folder + "\\other.txt", ""));
  EXPECT_TRUE(os::ListFiles(folder, "*.dll", &names));
  EXPECT_EQ(names, std::vector<std::string>{"Zentrel.DLL"});
  EXPECT_TRUE(os::ListFiles(folder, "*", &names));
  EXPECT_EQ(names.size(), 3u);  // no temporary file left, no "." or ".."
  os::FileError error;
  EXPECT_FALSE(os::ReadWholeFile(folder + "\\missing.ini", &read, &error));
  EXPECT_TRUE(error.notFound);
  EXPECT_FALSE(os::ReplaceFile(folder, "x"));  // a folder is not replaced
  // Held open by another program without sharing: there, but neither readable nor replaceable.
  HANDLE held = CreateFileW((folderWide + L"\\toolhost.ini").c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(os::ReadWholeFile(ini, &read, &error));
  EXPECT_FALSE(error.notFound);
  EXPECT_FALSE(error.reason.empty());
  error = {};
  EXPECT_FALSE(os::ReplaceFile(ini, "third", &error));
  EXPECT_FALSE(error.reason.empty());
  CloseHandle(held);
  EXPECT_TRUE(os::ReadWholeFile(ini, &read));
  EXPECT_EQ(read, "second");

  for (const std::string& name : names)
    DeleteFileW((folderWide + L"\\" + std::wstring(name.begin(), name.end())).c_str());
  RemoveDirectoryW(folderWide.c_str());
}

}  // namespace
