// The OS boundary on Windows: one Win32 call each, with the UTF-8 <-> UTF-16 conversion of texts.
// The file functions are in files.cpp, a library of their own.
#include <windows.h>

#include <cstddef>
#include <cwchar>
#include <type_traits>

#include "core/utf.h"
#include "os/os.h"
#include "os/win32/wide_text.h"

// The portable twins must be the Win32 records byte for byte: hooks and notifications pass
// pointers to the real ones.
static_assert(sizeof(os::CallWndRetRecord) == sizeof(CWPRETSTRUCT));
static_assert(offsetof(os::CallWndRetRecord, lResult) == offsetof(CWPRETSTRUCT, lResult));
static_assert(offsetof(os::CallWndRetRecord, lParam) == offsetof(CWPRETSTRUCT, lParam));
static_assert(offsetof(os::CallWndRetRecord, wParam) == offsetof(CWPRETSTRUCT, wParam));
static_assert(offsetof(os::CallWndRetRecord, message) == offsetof(CWPRETSTRUCT, message));
static_assert(offsetof(os::CallWndRetRecord, hwnd) == offsetof(CWPRETSTRUCT, hwnd));
static_assert(sizeof(os::CallWndRecord) == sizeof(CWPSTRUCT));
static_assert(offsetof(os::CallWndRecord, lParam) == offsetof(CWPSTRUCT, lParam));
static_assert(offsetof(os::CallWndRecord, wParam) == offsetof(CWPSTRUCT, wParam));
static_assert(offsetof(os::CallWndRecord, message) == offsetof(CWPSTRUCT, message));
static_assert(offsetof(os::CallWndRecord, hwnd) == offsetof(CWPSTRUCT, hwnd));
static_assert(sizeof(os::NotifyHeader) == sizeof(NMHDR));
// The records' sizes on each word size: 64-bit fields on x64, 32-bit on x86.
constexpr bool kWin64 = sizeof(void*) == 8;
static_assert(sizeof(CWPRETSTRUCT) == (kWin64 ? 40 : 20) &&
              offsetof(CWPRETSTRUCT, hwnd) == (kWin64 ? 32 : 16));
static_assert(sizeof(CWPSTRUCT) == (kWin64 ? 32 : 16) &&
              offsetof(CWPSTRUCT, hwnd) == (kWin64 ? 24 : 12));
static_assert(sizeof(NMHDR) == (kWin64 ? 24 : 12) && offsetof(NMHDR, code) == (kWin64 ? 16 : 8));
static_assert(offsetof(os::NotifyHeader, hwndFrom) == offsetof(NMHDR, hwndFrom));
static_assert(offsetof(os::NotifyHeader, idFrom) == offsetof(NMHDR, idFrom));
static_assert(offsetof(os::NotifyHeader, code) == offsetof(NMHDR, code));
// Same size and signedness; on 32-bit x86 the types differ by name only (int against long).
static_assert(sizeof(os::LResult) == sizeof(LRESULT) && sizeof(os::WParam) == sizeof(WPARAM) &&
              sizeof(os::LParam) == sizeof(LPARAM));
static_assert(std::is_signed_v<os::LResult> == std::is_signed_v<LRESULT> &&
              std::is_signed_v<os::WParam> == std::is_signed_v<WPARAM> &&
              std::is_signed_v<os::LParam> == std::is_signed_v<LPARAM>);
#ifdef _WIN64
static_assert(std::is_same_v<os::HookProc, HOOKPROC>);
#endif
static_assert(os::kWM_DESTROY == WM_DESTROY && os::kWM_NOTIFY == WM_NOTIFY &&
              os::kWM_SIZE == WM_SIZE && os::kWM_SHOWWINDOW == WM_SHOWWINDOW);
static_assert(os::kSIZE_RESTORED == SIZE_RESTORED && os::kSIZE_MINIMIZED == SIZE_MINIMIZED);
static_assert(os::kHC_ACTION == HC_ACTION && os::kWH_CALLWNDPROC == WH_CALLWNDPROC &&
              os::kWH_MOUSE == WH_MOUSE && os::kWH_CALLWNDPROCRET == WH_CALLWNDPROCRET);
static_assert(os::kVK_CONTROL == VK_CONTROL && os::kKEYEVENTF_KEYUP == KEYEVENTF_KEYUP);
static_assert(os::kSW_HIDE == SW_HIDE && os::kSW_SHOW == SW_SHOW &&
              os::kSW_MINIMIZE == SW_MINIMIZE && os::kSW_RESTORE == SW_RESTORE);
static_assert(os::kSTILL_ACTIVE == STILL_ACTIVE);

namespace {

using os::Narrow;
using os::Wide;

HWND Handle(os::Window window) { return static_cast<HWND>(window); }

// Texts read into a buffer of `maxChars` characters (with its terminating zero), as the callers
// of GetClassNameW and GetWindowTextW expect.
template <typename Read>
std::string ReadText(int maxChars, Read read) {
  if (maxChars <= 0) return {};
  std::wstring buffer(static_cast<std::size_t>(maxChars), L'\0');
  const int length = read(buffer.data(), maxChars);
  if (length <= 0) return {};
  return Narrow(std::wstring_view(buffer.data(), static_cast<std::size_t>(length)));
}

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<os::Window>*>(list)->push_back(child);
  return TRUE;
}

BOOL CALLBACK CollectProperty(HWND, LPWSTR name, HANDLE value, ULONG_PTR list) {
  os::PropertyEntry entry;
  entry.value = reinterpret_cast<std::intptr_t>(value);
  if (IS_INTRESOURCE(name)) {
    // Window properties are global atoms; the local table's GetAtomNameW does not know them.
    wchar_t atomName[256];
    const UINT length =
        GlobalGetAtomNameW(static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name)), atomName, 256);
    entry.name = Narrow(std::wstring_view(atomName, length));
  } else {
    entry.name = Narrow(std::wstring_view(name, wcslen(name)));
  }
  reinterpret_cast<std::vector<os::PropertyEntry>*>(list)->push_back(std::move(entry));
  return TRUE;
}

}  // namespace

namespace os {

std::intptr_t GetProp(Window window, const std::string& name) {
  return reinterpret_cast<std::intptr_t>(GetPropW(Handle(window), Wide(name).c_str()));
}

bool SetProp(Window window, const std::string& name, std::intptr_t value) {
  return SetPropW(Handle(window), Wide(name).c_str(), reinterpret_cast<HANDLE>(value)) != FALSE;
}

std::intptr_t RemoveProp(Window window, const std::string& name) {
  return reinterpret_cast<std::intptr_t>(RemovePropW(Handle(window), Wide(name).c_str()));
}

std::vector<PropertyEntry> EnumProps(Window window) {
  std::vector<PropertyEntry> entries;
  EnumPropsExW(Handle(window), CollectProperty, reinterpret_cast<LPARAM>(&entries));
  return entries;
}

LResult SendMessage(Window window, std::uint32_t message, WParam wParam, LParam lParam) {
  return SendMessageW(Handle(window), message, wParam, lParam);
}

Window GetRootAncestor(Window window) { return GetAncestor(Handle(window), GA_ROOT); }

std::string GetClassName(Window window, int maxChars) {
  return ReadText(maxChars, [&](wchar_t* buffer, int size) {
    return GetClassNameW(Handle(window), buffer, size);
  });
}

bool IsWindow(Window window) { return ::IsWindow(Handle(window)) != FALSE; }

bool IsWindowVisible(Window window) { return ::IsWindowVisible(Handle(window)) != FALSE; }

std::vector<Window> EnumChildWindows(Window window) {
  std::vector<Window> children;
  ::EnumChildWindows(Handle(window), CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

std::string GetWindowText(Window window, int maxChars) {
  return ReadText(maxChars, [&](wchar_t* buffer, int size) {
    return GetWindowTextW(Handle(window), buffer, size);
  });
}

bool CloseWindow(Window window) { return ::CloseWindow(Handle(window)) != FALSE; }

bool ShowWindow(Window window, int command) {
  return ::ShowWindow(Handle(window), command) != FALSE;
}

std::uint32_t GetWindowThreadProcessId(Window window, std::uint32_t* processId) {
  DWORD process = 0;
  const DWORD thread = ::GetWindowThreadProcessId(Handle(window), &process);
  if (processId) *processId = process;
  return thread;
}

Hook SetWindowsHookEx(int kind, HookProc procedure, Module module, std::uint32_t threadId) {
  return SetWindowsHookExW(kind, reinterpret_cast<HOOKPROC>(procedure),
                           static_cast<HINSTANCE>(module), threadId);
}

bool UnhookWindowsHookEx(Hook hook) {
  return ::UnhookWindowsHookEx(static_cast<HHOOK>(hook)) != FALSE;
}

LResult CallNextHookEx(Hook hook, int code, WParam wParam, LParam lParam) {
  return ::CallNextHookEx(static_cast<HHOOK>(hook), code, wParam, lParam);
}

std::int16_t GetAsyncKeyState(int virtualKey) { return ::GetAsyncKeyState(virtualKey); }

void KeybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) {
  keybd_event(virtualKey, scanCode, flags, 0);
}

bool GetEnvironmentVariable(const std::string& name, std::string* value) {
  const std::wstring wideName = Wide(name);
  // The size first, then the value; it may grow in between, so ask again until it fits.
  DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
  while (size != 0) {
    std::wstring buffer(size, L'\0');
    SetLastError(ERROR_SUCCESS);  // an empty value also returns 0
    const DWORD length = GetEnvironmentVariableW(wideName.c_str(), buffer.data(), size);
    if (length < size) {
      if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
      buffer.resize(length);
      if (value) *value = Narrow(buffer);
      return true;
    }
    size = length;
  }
  return false;
}

bool SetEnvironmentVariable(const std::string& name, const std::string& value) {
  return SetEnvironmentVariableW(Wide(name).c_str(), Wide(value).c_str()) != FALSE;
}

LocalTime GetLocalTime() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return {now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
          now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
}

std::int64_t MillisecondClock() {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER value;
    return QueryPerformanceFrequency(&value) ? value.QuadPart : 0;
  }();
  LARGE_INTEGER counter;
  if (frequency > 0 && QueryPerformanceCounter(&counter)) {
    // Split so that the multiplication cannot overflow on a long-running machine.
    const LONGLONG whole = counter.QuadPart / frequency;
    const LONGLONG rest = counter.QuadPart % frequency;
    return whole * 1000 + rest * 1000 / frequency;
  }
  return static_cast<std::int64_t>(GetTickCount64());
}

std::uint32_t GetCurrentProcessId() { return ::GetCurrentProcessId(); }

bool GetProcessExitCode(std::uint32_t processId, std::uint32_t* exitCode) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) return false;
  DWORD code = 0;
  const bool ok = GetExitCodeProcess(process, &code) != FALSE;
  CloseHandle(process);
  if (ok && exitCode) *exitCode = code;
  return ok;
}

Module LoadLibrary(const std::string& path) { return LoadLibraryW(Wide(path).c_str()); }

void* GetProcAddress(Module module, const char* name) {
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name));
}

bool FreeLibrary(Module module) { return ::FreeLibrary(static_cast<HMODULE>(module)) != FALSE; }

}  // namespace os
