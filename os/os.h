// The OS boundary: every Windows function that the host and the plugin call.
//
// os/win32/ implements each with one Win32 call (plus the UTF-8 <-> UTF-16 conversion of its
// texts); os/sim/ simulates them for native builds. Nothing above this layer includes
// <windows.h>. Texts are UTF-8 here; handles are opaque pointers with the Win32 meaning.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#if defined(_WIN32) && !defined(_WIN64)
#define VORPEX_STDCALL __stdcall
#else
#define VORPEX_STDCALL
#endif

// <windows.h> maps several of these names to their wide forms with macros; in a file that also
// includes it, the boundary's own names must stay as they are (Win32 code there calls the W
// forms by name: SendMessageW, GetPropW, LoadLibraryW...).
#ifdef _WIN32
#undef EnumProps
#undef GetClassName
#undef GetEnvironmentVariable
#undef GetProp
#undef GetWindowText
#undef LoadLibrary
#undef RemoveProp
#undef ReplaceFile
#undef SendMessage
#undef SetEnvironmentVariable
#undef SetProp
#undef SetWindowsHookEx
#endif

namespace os {

using Window = void*;  // HWND
using Module = void*;  // HMODULE
using Hook = void*;    // HHOOK
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;
using HookProc = LResult(VORPEX_STDCALL*)(int code, WParam wParam, LParam lParam);

// Portable twins of Win32 records; os/win32 checks at compile time that the layouts match.
struct CallWndRetRecord {  // CWPRETSTRUCT
  LResult lResult;
  LParam lParam;
  WParam wParam;
  std::uint32_t message;
  Window hwnd;
};

struct CallWndRecord {  // CWPSTRUCT, passed to WH_CALLWNDPROC hooks before the procedure runs
  LParam lParam;
  WParam wParam;
  std::uint32_t message;
  Window hwnd;
};

struct NotifyHeader {  // NMHDR
  Window hwndFrom;
  std::uintptr_t idFrom;
  std::uint32_t code;
};

struct LocalTime {  // SYSTEMTIME
  int year, month, dayOfWeek, day, hour, minute, second, milliseconds;
};

struct PropertyEntry {
  std::string name;
  std::intptr_t value;
};

// Message and constant numbers the portable code uses (the Win32 values).
constexpr std::uint32_t kWM_DESTROY = 2;
constexpr std::uint32_t kWM_SIZE = 5;           // wParam kSIZE_RESTORED or kSIZE_MINIMIZED
constexpr std::uint32_t kWM_SHOWWINDOW = 0x18;  // wParam 1 shown, 0 hidden
constexpr std::uintptr_t kSIZE_RESTORED = 0;
constexpr std::uintptr_t kSIZE_MINIMIZED = 1;
constexpr std::uint32_t kWM_NOTIFY = 78;
constexpr int kHC_ACTION = 0;
constexpr int kWH_CALLWNDPROC = 4;
constexpr int kWH_MOUSE = 7;
constexpr int kWH_CALLWNDPROCRET = 12;
constexpr int kVK_SHIFT = 0x10;
constexpr int kVK_CONTROL = 0x11;
constexpr int kVK_MENU = 0x12;  // Alt
constexpr int kVK_I = 0x49;
constexpr int kVK_LWIN = 0x5B;
constexpr int kVK_RWIN = 0x5C;
constexpr int kVK_LSHIFT = 0xA0;
constexpr int kVK_RSHIFT = 0xA1;
constexpr int kVK_LMENU = 0xA4;
constexpr int kVK_RMENU = 0xA5;
constexpr std::uint32_t kKEYEVENTF_EXTENDEDKEY = 1;
constexpr std::uint32_t kKEYEVENTF_KEYUP = 2;
constexpr int kSW_HIDE = 0;
constexpr int kSW_SHOW = 5;
constexpr int kSW_MINIMIZE = 6;
constexpr int kSW_RESTORE = 9;
constexpr std::uint32_t kSTILL_ACTIVE = 259;

// Window properties (names compared without regard to case, as atoms are).
std::intptr_t GetProp(Window window, const std::string& name);
bool SetProp(Window window, const std::string& name, std::intptr_t value);
std::intptr_t RemoveProp(Window window, const std::string& name);
// EnumPropsExW; each name is the atom's name (GlobalGetAtomNameW) or the string passed.
std::vector<PropertyEntry> EnumProps(Window window);

// Windows and messages.
LResult SendMessage(Window window, std::uint32_t message, WParam wParam, LParam lParam);
Window GetRootAncestor(Window window);  // GetAncestor(GA_ROOT)
// Texts cut to a buffer of maxChars characters including its terminating zero, as Win32 does.
std::string GetClassName(Window window, int maxChars);
bool IsWindow(Window window);
bool IsWindowVisible(Window window);
std::vector<Window> EnumChildWindows(Window window);  // all descendants, depth first
std::string GetWindowText(Window window, int maxChars);
bool CloseWindow(Window window);  // minimises a top-level window (fails for a child), as Win32
bool ShowWindow(Window window, int command);  // as Win32: whether it was visible before
std::uint32_t GetWindowThreadProcessId(Window window, std::uint32_t* processId);

// Hooks.
Hook SetWindowsHookEx(int kind, HookProc procedure, Module module, std::uint32_t threadId);
bool UnhookWindowsHookEx(Hook hook);
LResult CallNextHookEx(Hook hook, int code, WParam wParam, LParam lParam);

// Keyboard.
std::int16_t GetAsyncKeyState(int virtualKey);
void KeybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags);

// Process environment, time.
bool GetEnvironmentVariable(const std::string& name, std::string* value);  // false when unset
bool SetEnvironmentVariable(const std::string& name, const std::string& value);
LocalTime GetLocalTime();
std::int64_t MillisecondClock();  // performance counter in ms, or GetTickCount without one

// Processes and libraries.
std::uint32_t GetCurrentProcessId();
// OpenProcess + GetExitCodeProcess; false when the process cannot be opened or queried.
bool GetProcessExitCode(std::uint32_t processId, std::uint32_t* exitCode);
Module LoadLibrary(const std::string& path);
void* GetProcAddress(Module module, const char* name);
bool FreeLibrary(Module module);

// Files.
std::string ExecutablePath();  // full path of the running program
// FindFirstFileW/FindNextFileW over folder\pattern ("*" and "?", without regard to case); false
// when the listing cannot be started. A folder without a match gives true and no names; "." and
// ".." are never listed.
bool ListFiles(const std::string& folder, const std::string& pattern,
               std::vector<std::string>* names);
// Why a file could not be read or written.
struct FileError {
  bool notFound = false;  // the file or its folder does not exist
  std::string reason;     // the system's message for the error
};
bool ReadWholeFile(const std::string& path, std::string* bytes, FileError* error = nullptr);
// Replaces the file atomically: a temporary file beside it, then a rename over it. When no
// temporary file can be created but the file itself is writable, rewrites it in place.
bool ReplaceFile(const std::string& path, const std::string& bytes, FileError* error = nullptr);
// Replaces a regular file through a new file at `temporaryPath` beside it, or leaves it as it
// was. The new file is created exclusively (never through an existing name or a symbolic link)
// with the file's owner and permissions from the start, written, flushed to disk and renamed
// over the file; then the folder is flushed. A file with other hard links is refused (a rename
// would split it from them), and so is one whose owner cannot be kept. kNameTaken: something
// exists at `temporaryPath`, try another name. kFailed comes with the reason.
enum class ReplaceOutcome { kReplaced, kNameTaken, kFailed };
ReplaceOutcome ReplaceFileThrough(const std::string& path, const std::string& temporaryPath,
                                  const std::string& bytes, std::string* reason);

}  // namespace os
