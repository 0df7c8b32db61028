// Control surface of the simulated window system that backs os/os.h in native builds.
//
// One simulated GUI thread, windows with class names, parents, texts, properties and window
// procedures; SendMessage runs the target's procedure and then every WH_CALLWNDPROCRET hook
// installed for the thread (most recent first, chained by CallNextHookEx), re-entrantly, as
// Windows does (WH_CALLWNDPROC hooks run before the procedure with an os::CallWndRecord; mouse
// hooks install but never run: there is no mouse). Synthesised keys (os::KeybdEvent) wait in an
// input queue that the simulated IDE drains only after the current message has been handled.
// Time, local time, key state and the environment belong to the simulation, so tests set them.
// Files (os::ReadWholeFile, ReplaceFile, ListFiles, ExecutablePath) are the real ones: POSIX
// natively, except for what a test puts on them (below), Win32 in the Windows build.
// Everything runs on the caller's thread; nothing is locked.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "os/os.h"

namespace os::sim {

using WindowProc = LResult (*)(Window window, std::uint32_t message, WParam wParam, LParam lParam);
// A window procedure that is handed the window's data with every message: what GetWindowData
// answers as the procedure is called, without the lookup of the window that GetWindowData makes
// (a procedure that begins with that lookup pays for it at every message).
using DataWindowProc = LResult (*)(void* data, Window window, std::uint32_t message, WParam wParam,
                                   LParam lParam);

struct WindowSpec {
  std::string className;
  Window parent = nullptr;  // nullptr: a top-level window
  std::string text;
  WindowProc procedure = nullptr;          // nullptr: every message returns 0
  DataWindowProc dataProcedure = nullptr;  // when set, called instead of `procedure`
  void* data = nullptr;                    // owner's data, read back with GetWindowData
  bool visible = true;
  // The thread and process the window belongs to; 0: the GUI thread and the sim's process.
  // Hooks run only for messages to windows of the thread they were installed for, so a window
  // of another thread (a tool window of another process, say) is invisible to them.
  std::uint32_t threadId = 0;
  std::uint32_t processId = 0;
};

// A fresh world: no windows, hooks, libraries, processes, environment or send observer; clock 0;
// local time 2024-01-01 00:00:00.000 (a Monday); keys up; queue empty. Window handles start
// again from the same values, so runs are reproducible.
void Reset();

Window CreateWindow(const WindowSpec& params);
// Sends WM_DESTROY (hooks see it), then destroys the children and the window.
void DestroyWindow(Window window);
void* GetWindowData(Window window);
void SetWindowData(Window window, void* data);
void SetWindowText(Window window, const std::string& text);
Window GetParent(Window window);  // nullptr for a top-level or unknown window
bool IsMinimized(Window window);  // after os::CloseWindow, until a restore
std::uint32_t GuiThreadId();
std::uint32_t ProcessId();
// Number of SendMessage calls in progress (0 when the simulated IDE is idle).
int MessageDepth();
// Installed and not yet removed hooks of a kind (any thread).
int HookCount(int kind);

// Time.
void SetClock(std::int64_t milliseconds);
void AdvanceClock(std::int64_t milliseconds);
void SetLocalTime(const LocalTime& time);  // GetLocalTime returns this, advanced with the clock

// Keyboard: the state GetAsyncKeyState reports, and the queue KeybdEvent fills.
void SetKeyDown(int virtualKey, bool down);
struct KeyEvent {
  std::uint8_t virtualKey;
  std::uint32_t flags;  // os::kKEYEVENTF_KEYUP for a release
};
// Takes the oldest queued key event (and applies it to the key state); false when empty.
bool TakeKeyEvent(KeyEvent* event);
bool HasQueuedInput();

// Libraries for os::LoadLibrary natively: a path maps to a table of exports. Paths match without
// regard to case, "\\" and "/" alike; a bare file name is also looked for beside
// os::ExecutablePath(), as the Windows library search does first.
void RegisterLibrary(const std::string& path, const std::map<std::string, void*>& exports);
// Current reference count of a registered library (0 when not loaded or unknown).
int LibraryLoadCount(const std::string& path);

// Other processes, for os::GetProcessExitCode: kSTILL_ACTIVE for a running one, another code
// for one that has ended but can still be queried. An unknown or forgotten id cannot be opened.
// The sim's own process is always running.
void RegisterProcess(std::uint32_t processId, std::uint32_t exitCode);
void ForgetProcess(std::uint32_t processId);

// The files' controls, native builds only (with the POSIX files).
// Overrides os::ExecutablePath() (empty: the real path of the running program again).
void SetExecutablePath(const std::string& path);

// Every read and replace of the file fails with `reason` from now on, as when another program
// holds it open without sharing (POSIX files know no such lock, and tests may run as root). An
// empty reason releases the file.
void FailFileAccess(const std::string& path, const std::string& reason);

// Observes every SendMessage (before the target runs); for traces and `expect-sent`.
using SendObserver = std::function<void(Window, std::uint32_t, WParam, LParam)>;
void SetSendObserver(SendObserver observer);

}  // namespace os::sim
