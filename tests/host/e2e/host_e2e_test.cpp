// toolhost.exe end to end, under Wine or Windows: this program plays the IDE (a top-level window
// with PB_ID on a thread of its own, pumping messages), stages toolhost.exe with chosen plugin
// libraries in a folder of their own, starts it with PB_TOOL_MainWindow, and watches the shared
// window properties, the tool window, the preferences file and the message boxes.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr UINT kHookProbe = WM_USER + 77;  // the test plugins' hooks mark the window on this one

std::wstring ExecutableFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text = path;
  return text.substr(0, text.find_last_of(L"\\/"));
}

// The build folder: this program lives one level below it.
std::wstring BuildFolder() {
  std::wstring folder = ExecutableFolder();
  return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::wstring ToolHostPath() { return BuildFolder() + L"\\stage\\tool\\toolhost.exe"; }
std::wstring PluginPath(const std::wstring& name) { return BuildFolder() + L"\\test-plugins\\" + name; }

std::string Narrow(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(std::size_t(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::wstring Hex(INT_PTR value) {
  wchar_t buffer[32];
  swprintf(buffer, 32, L"%llX", static_cast<unsigned long long>(value));
  return buffer;
}

bool WaitFor(const std::function<bool()>& condition, int milliseconds = 10000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    Sleep(20);
  }
  return condition();
}

std::wstring WindowText(HWND window) {
  wchar_t buffer[4096] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, nullptr);
  return buffer;
}

std::wstring ClassOf(HWND window) {
  wchar_t buffer[256] = {};
  GetClassNameW(window, buffer, 256);
  return buffer;
}

std::string ReadBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// The IDE: a top-level window and one child, on a thread that pumps messages.
class TestIde {
 public:
  TestIde() {
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this] { Run(); });
    WaitForSingleObject(ready_, 10000);
  }
  ~TestIde() { Destroy(); }

  void Destroy() {
    if (thread_.joinable()) {
      PostMessageW(window_, WM_CLOSE, 0, 0);
      thread_.join();
    }
    if (ready_) CloseHandle(ready_), ready_ = nullptr;
  }

  HWND window() const { return window_; }
  std::wstring Prefix() const { return Hex(reinterpret_cast<INT_PTR>(window_)); }
  INT_PTR Prop(const std::wstring& suffix) const {
    return reinterpret_cast<INT_PTR>(GetPropW(window_, (Prefix() + suffix).c_str()));
  }
  void SetShared(const std::wstring& suffix, INT_PTR value) const {
    SetPropW(window_, (Prefix() + suffix).c_str(), reinterpret_cast<HANDLE>(value));
  }
  // Every property whose name starts with the prefix.
  std::vector<std::wstring> SharedProperties() const {
    std::vector<std::wstring> names;
    EnumPropsExW(window_, [](HWND, LPWSTR name, HANDLE, ULONG_PTR data) -> BOOL {
      auto* found = reinterpret_cast<std::vector<std::wstring>*>(data);
      wchar_t atomName[256] = {};
      if (IS_INTRESOURCE(name)) {
        GlobalGetAtomNameW(ATOM(reinterpret_cast<ULONG_PTR>(name)), atomName, 256);
        found->push_back(atomName);
      } else {
        found->push_back(name);
      }
      return TRUE;
    }, reinterpret_cast<LPARAM>(&names));
    std::vector<std::wstring> shared;
    for (const std::wstring& name : names)
      if (name.rfind(Prefix() + L".", 0) == 0) shared.push_back(name);
    return shared;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
  }
  void Run() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VorpexTestIde";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, L"VorpexTestIde", L"Test IDE", WS_OVERLAPPEDWINDOW, 10, 10, 400, 300, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
    SetPropW(window_, L"PB_ID", reinterpret_cast<HANDLE>(1));
    HWND child = CreateWindowExW(0, L"STATIC", L"two\r\nlines", WS_CHILD | WS_VISIBLE, 0, 0, 100, 40, window_,
                                 nullptr, windowClass.hInstance, nullptr);
    SetPropW(child, L"PB_ID", reinterpret_cast<HANDLE>(2));
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    SetEvent(ready_);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    window_gone_ = true;
  }

  HANDLE ready_ = nullptr;
  std::thread thread_;
  HWND window_ = nullptr;
  bool window_gone_ = false;
};

// A folder holding toolhost.exe and the named plugin libraries, nothing else.
std::wstring Stage(const std::wstring& name, const std::vector<std::wstring>& plugins) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  std::wstring root = std::wstring(temp) + L"vorpex-host-e2e";
  CreateDirectoryW(root.c_str(), nullptr);
  std::wstring folder = root + L"\\" + name + L"-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  CopyFileW(ToolHostPath().c_str(), (folder + L"\\toolhost.exe").c_str(), FALSE);
  for (const std::wstring& plugin : plugins) CopyFileW(PluginPath(plugin).c_str(), (folder + L"\\" + plugin).c_str(), FALSE);
  DeleteFileW((folder + L"\\toolhost.ini").c_str());
  return folder;
}

struct Host {
  PROCESS_INFORMATION process = {};
  std::wstring folder;

  ~Host() {
    if (process.hProcess) {
      if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 99);
      CloseHandle(process.hProcess);
      CloseHandle(process.hThread);
    }
  }
  DWORD id() const { return process.dwProcessId; }
  // Exit code after the process ended within the time limit; 0x7FFFFFFF when it did not end.
  DWORD WaitExit(int milliseconds = 15000) const {
    if (WaitForSingleObject(process.hProcess, DWORD(milliseconds)) != WAIT_OBJECT_0) return 0x7FFFFFFF;
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
  }
  std::string Preferences() const { return ReadBytes(folder + L"\\toolhost.ini"); }
};

bool StartHost(Host& host, const std::wstring& folder, const std::wstring* handleText) {
  host.folder = folder;
  if (handleText) {
    SetEnvironmentVariableW(L"PB_TOOL_MainWindow", handleText->c_str());
  } else {
    SetEnvironmentVariableW(L"PB_TOOL_MainWindow", nullptr);
  }
  std::wstring exe = folder + L"\\toolhost.exe";
  std::wstring commandLine = L"\"" + exe + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  const bool started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      folder.c_str(), &startup, &host.process) != FALSE;
  SetEnvironmentVariableW(L"PB_TOOL_MainWindow", nullptr);
  return started;
}

bool StartHostFor(Host& host, const std::wstring& folder, const TestIde& ide) {
  std::wstring text = std::to_wstring(reinterpret_cast<INT_PTR>(ide.window()));
  return StartHost(host, folder, &text);
}

// Up and running: the IDE is claimed, the tool window published, and the host waits in its
// event loop (the hooks are installed just before it).
bool WaitReady(const TestIde& ide, const Host& host) {
  return WaitFor([&] {
    return ide.Prop(L".Plugin.ProcessId") == INT_PTR(host.id()) && ide.Prop(L".Plugin.Tool") != 0;
  }) && WaitForInputIdle(host.process.hProcess, 10000) == 0;
}

HWND ToolWindow(const TestIde& ide) { return reinterpret_cast<HWND>(ide.Prop(L".Plugin.Tool")); }

struct FoundBox {
  DWORD processId;
  HWND box;
};

HWND FindMessageBox(DWORD processId) {
  FoundBox found = {processId, nullptr};
  EnumWindows([](HWND window, LPARAM data) -> BOOL {
    auto* search = reinterpret_cast<FoundBox*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && ClassOf(window) == L"#32770" && IsWindowVisible(window)) {
      search->box = window;
      return FALSE;
    }
    return TRUE;
  }, reinterpret_cast<LPARAM>(&found));
  return found.box;
}

// The message of a message box: its static text control (id 0xFFFF).
std::wstring MessageOf(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  return text ? WindowText(text) : std::wstring();
}

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> found;
  EnumChildWindows(window, [](HWND child, LPARAM data) -> BOOL {
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND FindChild(HWND window, const std::wstring& className, const std::wstring& text) {
  for (HWND child : Descendants(window))
    if (_wcsicmp(ClassOf(child).c_str(), className.c_str()) == 0 && (text.empty() || WindowText(child) == text)) return child;
  return nullptr;
}

// The screen as a 24-bit BMP file in VORPEX_SCREENSHOTS (when set).
void Screenshot(const std::wstring& name) {
  wchar_t folder[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"VORPEX_SCREENSHOTS", folder, MAX_PATH)) return;
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const int stride = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER header = {};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  header.bfSize = header.bfOffBits + DWORD(stride * height);
  std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
  bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  bytes.append(static_cast<const char*>(bits), std::size_t(stride) * height);
  WriteBytes(std::wstring(folder) + L"\\" + name + L".bmp", bytes);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

const char kFullPreferences[] =
    "\xEF\xBB\xBF\r\n"
    "[InstalledPlugins]\r\nAlpha = 1\r\nBeta = 1\r\n"
    "\r\n[Alpha]\r\nToggle = 1\r\nWidth = 12\r\nMode = 2\r\nShade = 65535\r\nBox = 7\r\n"
    "\r\n[Beta]\r\nOther = 0\r\n";

class HostEndToEnd : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(GetFileAttributesW(ToolHostPath().c_str()), INVALID_FILE_ATTRIBUTES); }
  void Exit(const Host& host) {
    SendMessageTimeoutW(ToolWindow(ide), WM_COMMAND, 16, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    EXPECT_EQ(host.WaitExit(), 0u);
  }
  TestIde ide;
};

TEST_F(HostEndToEnd, StartUpPublishesHooksRunInTheIdeAndExitCleansUp) {
  std::wstring folder = Stage(L"full", {L"settings_plugin.dll", L"hook_plugin.dll", L"empty_plugin.dll"});
  WriteBytes(folder + L"\\notalibrary.dll", "not a library");
  CreateDirectoryW((folder + L"\\folder.dll").c_str(), nullptr);
  Host host;
  ASSERT_TRUE(StartHostFor(host, folder, ide));
  ASSERT_TRUE(WaitReady(ide, host));
  EXPECT_TRUE(IsWindow(ToolWindow(ide)));
  EXPECT_FALSE(IsWindowVisible(ToolWindow(ide)));
  EXPECT_EQ(GetWindow(ToolWindow(ide), GW_OWNER), ide.window());
  EXPECT_EQ(WindowText(ToolWindow(ide)), L"Vorpex");
  EXPECT_EQ(ide.Prop(L".Settings.Alpha.Toggle.Value"), 1);
  EXPECT_EQ(ide.Prop(L".Settings.Alpha.Width.Value"), 12);
  EXPECT_EQ(ide.Prop(L".Settings.Alpha.Mode.Value"), 2);
  EXPECT_EQ(ide.Prop(L".Settings.Alpha.Shade.Value"), 65535);
  EXPECT_EQ(ide.Prop(L".Settings.Alpha.Box.Value"), 7);
  EXPECT_NE(ide.Prop(L".Plugin.UpdateDate"), 0);

  // Both hooks run inside this (the IDE's) process, on the IDE's thread.
  SendMessageW(ide.window(), kHookProbe, 0, 0);
  EXPECT_TRUE(WaitFor([&] {
    SendMessageW(ide.window(), kHookProbe, 0, 0);
    return reinterpret_cast<INT_PTR>(GetPropW(ide.window(), L"VorpexTest.HookProcess")) == INT_PTR(GetCurrentProcessId()) &&
           reinterpret_cast<INT_PTR>(GetPropW(ide.window(), L"VorpexTest.SettingsHookProcess")) == INT_PTR(GetCurrentProcessId());
  }));

  Exit(host);
  EXPECT_EQ(host.Preferences(), kFullPreferences);
  EXPECT_TRUE(ide.SharedProperties().empty());
  // The hooks are gone: the probe is no longer counted.
  SetPropW(ide.window(), L"VorpexTest.HookCalls", nullptr);
  SendMessageW(ide.window(), kHookProbe, 0, 0);
  Sleep(300);
  SendMessageW(ide.window(), kHookProbe, 0, 0);
  EXPECT_EQ(GetPropW(ide.window(), L"VorpexTest.HookCalls"), nullptr);
}

TEST_F(HostEndToEnd, SecondHostForTheSameIdeExitsSilently) {
  std::wstring folder = Stage(L"second", {L"hook_plugin.dll"});
  Host first, second;
  ASSERT_TRUE(StartHostFor(first, folder, ide));
  ASSERT_TRUE(WaitReady(ide, first));
  const INT_PTR tool = ide.Prop(L".Plugin.Tool");
  ASSERT_TRUE(StartHostFor(second, folder, ide));
  EXPECT_EQ(second.WaitExit(), 0u);
  EXPECT_EQ(ide.Prop(L".Plugin.ProcessId"), INT_PTR(first.id()));
  EXPECT_EQ(ide.Prop(L".Plugin.Tool"), tool);
  Exit(first);
}

TEST_F(HostEndToEnd, StaleProcessIdIsTakenOver) {
  std::wstring folder = Stage(L"stale", {});
  ide.SetShared(L".Plugin.ProcessId", 0x7FFFFFF0);  // no such process
  Host host;
  ASSERT_TRUE(StartHostFor(host, folder, ide));
  EXPECT_TRUE(WaitReady(ide, host));
  Exit(host);
  EXPECT_EQ(host.Preferences(), "\xEF\xBB\xBF\r\n");  // no plugin, no container
}

TEST_F(HostEndToEnd, IdeClosingMarkAndRestoreEndTheHost) {
  std::wstring folder = Stage(L"closing", {L"settings_plugin.dll"});
  Host host;
  ASSERT_TRUE(StartHostFor(host, folder, ide));
  ASSERT_TRUE(WaitReady(ide, host));
  HWND tool = ToolWindow(ide);
  ide.SetShared(L".Plugin.Tool", -1);
  CloseWindow(tool);  // as the plugin does from inside the IDE
  ShowWindow(tool, SW_RESTORE);
  EXPECT_EQ(host.WaitExit(), 0u);
  EXPECT_TRUE(ide.SharedProperties().empty());
  EXPECT_EQ(host.Preferences(), kFullPreferences);
}

TEST_F(HostEndToEnd, VanishedIdeEndsTheHost) {
  std::wstring folder = Stage(L"vanished", {L"settings_plugin.dll"});
  Host host;
  ASSERT_TRUE(StartHostFor(host, folder, ide));
  ASSERT_TRUE(WaitReady(ide, host));
  ide.Destroy();
  EXPECT_EQ(host.WaitExit(), 0u);
  EXPECT_EQ(host.Preferences(), kFullPreferences);
}

struct FailureCase {
  const wchar_t* label;
  std::vector<std::wstring> plugins;
  const wchar_t* handle;  // null: the IDE's own handle
  std::wstring messageStart;
};

TEST_F(HostEndToEnd, StartUpFailuresShowTheirMessageBox) {
  const std::wstring goneWindow = L"12345678";
  const FailureCase cases[] = {
      {L"letters", {}, L"abc", L"Missing *Ide handle!"},
      {L"zero", {}, L"0", L"Missing *Ide handle!"},
      {L"no window", {}, goneWindow.c_str(), L"Missing *Ide handle!"},
      {L"broken fragment", {L"broken_plugin.dll"}, nullptr, L"XML error: "},
      {L"rejected fragment", {L"rejected_plugin.dll"}, nullptr, L"Dialog error: 'onchange' is not supported for the following gadget: checkbox"},
  };
  int n = 0;
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(Narrow(c.label));
    ide.SetShared(L".Plugin.ProcessId", 0);
    std::wstring folder = Stage(L"failure" + std::to_wstring(n++), c.plugins);
    Host host;
    std::wstring handle = c.handle ? c.handle : std::to_wstring(reinterpret_cast<INT_PTR>(ide.window()));
    ASSERT_TRUE(StartHost(host, folder, &handle));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindMessageBox(host.id())) != nullptr; }));
    EXPECT_EQ(WindowText(box), L"Vorpex");
    const std::wstring message = MessageOf(box);
    EXPECT_EQ(message.substr(0, c.messageStart.size()), c.messageStart) << Narrow(message);
    if (c.messageStart == L"XML error: ") {
      EXPECT_NE(message.find(L" (Line: "), std::wstring::npos) << Narrow(message);
    }
    Screenshot(std::wstring(L"failure-") + std::to_wstring(n));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(host.WaitExit(), 1u);
    EXPECT_EQ(host.Preferences(), "");
  }
}

// The settings window: every control shows its stored value and every change is published.
TEST_F(HostEndToEnd, SettingsWindowShowsAndPublishesEveryControlKind) {
  std::wstring folder = Stage(L"settings", {L"settings_plugin.dll"});
  Host host;
  ASSERT_TRUE(StartHostFor(host, folder, ide));
  ASSERT_TRUE(WaitReady(ide, host));
  HWND tool = ToolWindow(ide);
  SendMessageW(tool, WM_COMMAND, 17, 0);  // "Preferences..."
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(tool) != FALSE; }));

  HWND toggle = FindChild(tool, L"Button", L"Toggle");
  HWND on = FindChild(tool, L"Button", L"On");
  HWND autoMode = FindChild(tool, L"Button", L"Auto");
  HWND combo = FindChild(tool, L"ComboBox", L"");
  HWND list = FindChild(tool, L"SysListView32", L"");
  HWND colour = FindChild(tool, L"Edit", L"00FFFF");
  HWND width = FindChild(tool, L"Edit", L"12");
  ASSERT_TRUE(toggle && on && autoMode && combo && list && colour && width);
  EXPECT_EQ(SendMessageW(toggle, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(autoMode, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
  Screenshot(L"settings-tab");

  auto changed = [&](INT_PTR before) { return WaitFor([&] { return ide.Prop(L".Plugin.UpdateDate") != before; }, 3000); };
  INT_PTR date = ide.Prop(L".Plugin.UpdateDate");
  SendMessageW(toggle, BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return ide.Prop(L".Settings.Alpha.Toggle.Value") == 0; }));
  EXPECT_TRUE(changed(date));

  SendMessageW(on, BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return ide.Prop(L".Settings.Alpha.Mode.Value") == 1; }));

  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  EXPECT_TRUE(WaitFor([&] { return ide.Prop(L".Settings.Alpha.Box.Value") == 8; }));

  SendMessageW(width, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"30"));
  EXPECT_TRUE(WaitFor([&] { return ide.Prop(L".Settings.Alpha.Width.Value") == 30; }));

  date = ide.Prop(L".Plugin.UpdateDate");
  SendMessageW(colour, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"FF"));
  EXPECT_TRUE(WaitFor([&] { return ide.Prop(L".Settings.Alpha.Shade.Value") == 255; }));
  EXPECT_TRUE(changed(date));

  // Unticking the row (space on the focused row) zeroes the group and disables its controls.
  PostMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
  PostMessageW(list, WM_KEYUP, VK_SPACE, 0);
  EXPECT_TRUE(WaitFor([&] { return ide.Prop(L".Settings.Alpha.Width.Value") == 0 && !IsWindowEnabled(toggle); }));
  EXPECT_EQ(ide.Prop(L".Settings.Alpha.Box.Value"), 0);
  PostMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
  PostMessageW(list, WM_KEYUP, VK_SPACE, 0);
  EXPECT_TRUE(WaitFor([&] { return ide.Prop(L".Settings.Alpha.Width.Value") == 30 && IsWindowEnabled(toggle); }));
  EXPECT_EQ(ide.Prop(L".Settings.Alpha.Shade.Value"), 255);

  // The close box hides the window; the host keeps running.
  SendMessageW(tool, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(tool); }));
  EXPECT_EQ(WaitForSingleObject(host.process.hProcess, 300), DWORD(WAIT_TIMEOUT));
  SendMessageW(tool, WM_COMMAND, 17, 0);
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(tool) != FALSE; }));

  Exit(host);
  const std::string preferences = host.Preferences();
  EXPECT_NE(preferences.find("Toggle = 0\r\nWidth = 30\r\nMode = 1\r\nShade = 255\r\nBox = 8\r\n"), std::string::npos) << preferences;
}

TEST_F(HostEndToEnd, LogViewShowsThePluginTextAndTheIdeWindowTree) {
  std::wstring folder = Stage(L"logs", {L"settings_plugin.dll"});
  Host host;
  ASSERT_TRUE(StartHostFor(host, folder, ide));
  ASSERT_TRUE(WaitReady(ide, host));
  HWND tool = ToolWindow(ide);
  SendMessageW(tool, WM_COMMAND, 17, 0);
  HWND tabs = FindChild(tool, L"SysTabControl32", L"");
  ASSERT_TRUE(tabs);
  // To the "Logs" page the way a user's keyboard goes (the tab control then notifies its parent).
  PostMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
  PostMessageW(tabs, WM_KEYUP, VK_RIGHT, 0);

  HWND logs = nullptr;
  for (HWND child : Descendants(tool))
    if (ClassOf(child).find(L"RichEdit") != std::wstring::npos || ClassOf(child) == L"Edit") logs = child;
  ASSERT_TRUE(logs);
  const std::wstring prefix = std::to_wstring(reinterpret_cast<INT_PTR>(ide.window()));

  HWND properties = FindChild(tool, L"Button", L"Properties ");
  ASSERT_TRUE(properties);
  SendMessageW(properties, BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return WindowText(logs).find(L"mode=Props\tide=" + prefix) != std::wstring::npos; }, 3000))
      << Narrow(WindowText(logs));

  SendMessageW(FindChild(tool, L"Button", L"Styles"), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return WindowText(logs).find(L"mode=Styles") != std::wstring::npos; }, 3000));

  SendMessageW(FindChild(tool, L"Button", L"Controls "), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] {
    const std::wstring text = WindowText(logs);
    return text.find(L"Static = ") != std::wstring::npos && text.find(L"\tPB_ID = 2") != std::wstring::npos &&
           text.find(L"\tTitle = two..lines") != std::wstring::npos;
  }, 3000)) << Narrow(WindowText(logs));
  Sleep(400);
  Screenshot(L"logs-tab-controls");

  // "None" keeps what is shown.
  const std::wstring shown = WindowText(logs);
  SendMessageW(FindChild(tool, L"Button", L"None "), BM_CLICK, 0, 0);
  Sleep(600);
  EXPECT_EQ(WindowText(logs), shown);
  Exit(host);
}

TEST_F(HostEndToEnd, LogViewKeepsItsTextWhenThePluginReturnsNothing) {
  std::wstring folder = Stage(L"silent", {L"settings_plugin.dll"});
  SetEnvironmentVariableW(L"VORPEX_TEST_SILENT_DEBUG", L"1");
  Host host;
  const bool started = StartHostFor(host, folder, ide);
  SetEnvironmentVariableW(L"VORPEX_TEST_SILENT_DEBUG", nullptr);
  ASSERT_TRUE(started);
  ASSERT_TRUE(WaitReady(ide, host));
  HWND tool = ToolWindow(ide);
  SendMessageW(tool, WM_COMMAND, 17, 0);
  HWND logs = nullptr;
  for (HWND child : Descendants(tool))
    if (ClassOf(child).find(L"RichEdit") != std::wstring::npos) logs = child;
  ASSERT_TRUE(logs);
  SendMessageW(FindChild(tool, L"Button", L"Controls "), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return WindowText(logs).find(L"Title = two..lines") != std::wstring::npos; }, 3000));
  const std::wstring shown = WindowText(logs);
  SendMessageW(FindChild(tool, L"Button", L"Properties "), BM_CLICK, 0, 0);
  Sleep(600);
  EXPECT_EQ(WindowText(logs), shown);
  Exit(host);
}

}  // namespace
