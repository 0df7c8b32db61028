// Driving toolhost.exe from outside, under Wine or Windows: the calling program plays the IDE (a
// top-level window with PB_ID on a thread of its own, pumping messages), stages toolhost.exe with
// chosen plugin libraries in a folder of their own, starts it with PB_TOOL_MainWindow, and
// watches the shared window properties, the tool window, the preferences file and message boxes.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace host_harness {

constexpr UINT kHookProbe = WM_USER + 77;  // the test plugins' hooks mark the window on this one

inline std::wstring ExecutableFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text = path;
  return text.substr(0, text.find_last_of(L"\\/"));
}

// The build folder: this program lives one level below it.
inline std::wstring BuildFolder() {
  std::wstring folder = ExecutableFolder();
  return folder.substr(0, folder.find_last_of(L"\\/"));
}

inline std::wstring ToolHostPath() { return BuildFolder() + L"\\stage\\tool\\toolhost.exe"; }
inline std::wstring PluginPath(const std::wstring& name) {
  return BuildFolder() + L"\\test-plugins\\" + name;
}

inline std::string Narrow(const std::wstring& text) {
  int size =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(std::size_t(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), out.data(), size, nullptr,
                      nullptr);
  return out;
}

inline std::wstring Hex(INT_PTR value) {
  wchar_t buffer[32];
  swprintf(buffer, 32, L"%llX", static_cast<unsigned long long>(value));
  return buffer;
}

inline bool WaitFor(const std::function<bool()>& condition, int milliseconds = 10000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    Sleep(20);
  }
  return condition();
}

inline std::wstring WindowText(HWND window) {
  wchar_t buffer[4096] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                      2000, nullptr);
  return buffer;
}

inline std::wstring ClassOf(HWND window) {
  wchar_t buffer[256] = {};
  GetClassNameW(window, buffer, 256);
  return buffer;
}

inline std::string ReadBytes(const std::wstring& path) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
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
    EnumPropsExW(
        window_,
        [](HWND, LPWSTR name, HANDLE, ULONG_PTR data) WINAPI -> BOOL {
          auto* found = reinterpret_cast<std::vector<std::wstring>*>(data);
          wchar_t atomName[256] = {};
          if (IS_INTRESOURCE(name)) {
            GlobalGetAtomNameW(ATOM(reinterpret_cast<ULONG_PTR>(name)), atomName, 256);
            found->push_back(atomName);
          } else {
            found->push_back(name);
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&names));
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
    window_ = CreateWindowExW(0, L"VorpexTestIde", L"Test IDE", WS_OVERLAPPEDWINDOW, 10, 10, 400,
                              300, nullptr, nullptr, windowClass.hInstance, nullptr);
    SetPropW(window_, L"PB_ID", reinterpret_cast<HANDLE>(1));
    HWND child = CreateWindowExW(0, L"STATIC", L"two\r\nlines", WS_CHILD | WS_VISIBLE, 0, 0, 100,
                                 40, window_, nullptr, windowClass.hInstance, nullptr);
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
inline std::wstring Stage(const std::wstring& name, const std::vector<std::wstring>& plugins) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  std::wstring root = std::wstring(temp) + L"vorpex-host-e2e";
  CreateDirectoryW(root.c_str(), nullptr);
  std::wstring folder = root + L"\\" + name + L"-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  CopyFileW(ToolHostPath().c_str(), (folder + L"\\toolhost.exe").c_str(), FALSE);
  for (const std::wstring& plugin : plugins)
    CopyFileW(PluginPath(plugin).c_str(), (folder + L"\\" + plugin).c_str(), FALSE);
  DeleteFileW((folder + L"\\toolhost.ini").c_str());
  return folder;
}

struct Host {
  PROCESS_INFORMATION process = {};
  std::wstring folder;

  ~Host() {
    if (process.hProcess) {
      if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(process.hProcess, 99);
      CloseHandle(process.hProcess);
      CloseHandle(process.hThread);
    }
  }
  DWORD id() const { return process.dwProcessId; }
  // Exit code after the process ended within the time limit; 0x7FFFFFFF when it did not end.
  DWORD WaitExit(int milliseconds = 15000) const {
    if (WaitForSingleObject(process.hProcess, DWORD(milliseconds)) != WAIT_OBJECT_0)
      return 0x7FFFFFFF;
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
  }
  std::string Preferences() const { return ReadBytes(folder + L"\\toolhost.ini"); }
};

inline bool StartHost(Host& host, const std::wstring& folder, const std::wstring* handleText) {
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
  const bool started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                      nullptr, folder.c_str(), &startup, &host.process) != FALSE;
  SetEnvironmentVariableW(L"PB_TOOL_MainWindow", nullptr);
  return started;
}

inline bool StartHostFor(Host& host, const std::wstring& folder, const TestIde& ide) {
  std::wstring text = std::to_wstring(reinterpret_cast<INT_PTR>(ide.window()));
  return StartHost(host, folder, &text);
}

// Up and running: the IDE is claimed, the tool window published, and the host waits in its
// event loop (the hooks are installed just before it).
inline bool WaitReady(const TestIde& ide, const Host& host) {
  return WaitFor([&] {
           return ide.Prop(L".Plugin.ProcessId") == INT_PTR(host.id()) &&
                  ide.Prop(L".Plugin.Tool") != 0;
         }) &&
         WaitForInputIdle(host.process.hProcess, 10000) == 0;
}

inline HWND ToolWindow(const TestIde& ide) {
  return reinterpret_cast<HWND>(ide.Prop(L".Plugin.Tool"));
}

// The first top-level window of the process for which `matches` holds.
inline HWND FindTopLevelWindow(DWORD processId, bool (*matches)(HWND window)) {
  struct Search {
    DWORD processId;
    bool (*matches)(HWND);
    HWND found;
  } search = {processId, matches, nullptr};
  EnumWindows(
      [](HWND window, LPARAM data) WINAPI -> BOOL {
        auto* search = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == search->processId && search->matches(window)) {
          search->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline HWND FindMessageBox(DWORD processId) {
  return FindTopLevelWindow(processId, [](HWND window) {
    return ClassOf(window) == L"#32770" && IsWindowVisible(window) != FALSE;
  });
}

// The IDE main window: the top-level window of the process that carries PB_ID and has no owner.
inline HWND FindIdeWindow(DWORD processId) {
  return FindTopLevelWindow(processId, [](HWND window) {
    return GetPropW(window, L"PB_ID") != nullptr && GetWindow(window, GW_OWNER) == nullptr;
  });
}

// The message of a message box: its static text control (id 0xFFFF).
inline std::wstring MessageOf(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  return text ? WindowText(text) : std::wstring();
}

inline std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> found;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM data) WINAPI -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

inline HWND FindChild(HWND window, const std::wstring& className, const std::wstring& text) {
  for (HWND child : Descendants(window))
    if (_wcsicmp(ClassOf(child).c_str(), className.c_str()) == 0 &&
        (text.empty() || WindowText(child) == text))
      return child;
  return nullptr;
}

// The screen as a 24-bit BMP file in VORPEX_SCREENSHOTS, or else in the build folder's
// screenshots folder.
inline void Screenshot(const std::wstring& name) {
  wchar_t folder[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"VORPEX_SCREENSHOTS", folder, MAX_PATH)) {
    lstrcpynW(folder, (BuildFolder() + L"\\screenshots").c_str(), MAX_PATH);
    CreateDirectoryW(folder, nullptr);
  }
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

}  // namespace host_harness
