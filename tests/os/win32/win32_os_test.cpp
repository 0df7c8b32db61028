// The OS boundary on real Win32 (under Wine in the cross build): what only the real system has
// (atoms, other threads, the real clock and libraries, files held open by another program). What
// the simulation shares is in tests/os/os_contract_test.cpp.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "os/os.h"

namespace {

constexpr UINT kQuery = WM_USER + 5;  // answered with 1000 + wParam

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kQuery) return 1000 + static_cast<LRESULT>(wParam);
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
    main_ = CreateWindowExW(0, kClassName, L"main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(main_, nullptr);
    child_ = CreateWindowExW(0, kClassName, L"child", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, main_,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(child_, nullptr);
  }
  void TearDown() override {
    if (IsWindow(main_)) DestroyWindow(main_);
  }

  HWND main_ = nullptr, child_ = nullptr;
};

// Another program may set a property by atom; it is read and listed by the atom's name.
TEST_F(Win32Os, PropertiesSetByAtomAreFoundByName) {
  const ATOM atom = GlobalAddAtomW(L"Vorpex.ByAtom");
  ASSERT_NE(atom, 0);
  ASSERT_TRUE(SetPropW(main_, MAKEINTATOM(atom), reinterpret_cast<HANDLE>(77)));
  EXPECT_EQ(os::GetProp(main_, "vorpex.byatom"), 77);
  const std::vector<os::PropertyEntry> entries = os::EnumProps(main_);
  const auto found =
      std::find_if(entries.begin(), entries.end(), [](const os::PropertyEntry& entry) {
        return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, entry.name.c_str(), -1,
                              "Vorpex.ByAtom", -1) == CSTR_EQUAL;
      });
  ASSERT_NE(found, entries.end());
  EXPECT_EQ(found->value, 77);
  EXPECT_EQ(os::RemoveProp(main_, "Vorpex.ByAtom"), 77);
  EXPECT_EQ(GetPropW(main_, MAKEINTATOM(atom)), nullptr);
  GlobalDeleteAtom(atom);
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

// Held open by another program without sharing: there, but neither readable nor replaceable.
TEST(Win32OsSystem, FilesHeldOpenByAnotherProgram) {
  wchar_t base[MAX_PATH];
  ASSERT_GT(GetTempPathW(MAX_PATH, base), 0u);
  const std::wstring folderWide =
      std::wstring(base) + L"vorpex-os-test-" + std::to_wstring(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryW(folderWide.c_str(), nullptr));
  char folderUtf8[MAX_PATH * 3];
  WideCharToMultiByte(CP_UTF8, 0, folderWide.c_str(), -1, folderUtf8, sizeof folderUtf8, nullptr,
                      nullptr);
  const std::string ini = std::string(folderUtf8) + "\\toolhost.ini";
  ASSERT_TRUE(os::ReplaceFile(ini, "second"));

  HANDLE held = CreateFileW((folderWide + L"\\toolhost.ini").c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::string read;
  os::FileError error;
  EXPECT_FALSE(os::ReadWholeFile(ini, &read, &error));
  EXPECT_FALSE(error.notFound);
  EXPECT_FALSE(error.reason.empty());
  error = {};
  EXPECT_FALSE(os::ReplaceFile(ini, "third", &error));
  EXPECT_FALSE(error.reason.empty());
  CloseHandle(held);
  EXPECT_TRUE(os::ReadWholeFile(ini, &read));
  EXPECT_EQ(read, "second");

  std::vector<std::string> names;
  EXPECT_TRUE(os::ListFiles(folderUtf8, "*", &names));
  EXPECT_EQ(names, std::vector<std::string>{"toolhost.ini"});  // no temporary file left
  DeleteFileW((folderWide + L"\\toolhost.ini").c_str());
  RemoveDirectoryW(folderWide.c_str());
}

}  // namespace
