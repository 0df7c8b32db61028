// Control surface of the simulated window system that backs os/os.h in native builds.
//
// One simulated GUI thread, windows with class names, parents, texts, properties and window
// procedures; SendMessage runs the target's procedure and then every WH_CALLWNDPROCRET hook
// installed for the thread (most recent first, chained by CallNextHookEx), re-entrantly, as
// Windows does. Synthesised keys (os::KeybdEvent) wait in an input queue that the simulated IDE
// drains only after the current message has been handled. Time, local time, key state and the
// environment belong to the simulation, so tests set them.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "os/os.h"

namespace os::sim {

using WindowProc = LResult (*)(Window window, std::uint32_t message, WParam wParam, LParam lParam);

struct WindowSpec {
  std::string className;
  Window parent = nullptr;  // nullptr: a top-level window
  std::string text;
  WindowProc procedure = nullptr;  // nullptr: every message returns 0
  void* data = nullptr;            // owner's data, read back with GetWindowData
  bool visible = true;
};

// A fresh world: no windows, hooks, libraries, environment; clock 0; keys up; queue empty.
void Reset();

Window CreateWindow(const WindowSpec& spec);
// Sends WM_DESTROY (hooks see it), then destroys the children and the window.
void DestroyWindow(Window window);
void* GetWindowData(Window window);
void SetWindowText(Window window, const std::string& text);
std::uint32_t GuiThreadId();
std::uint32_t ProcessId();

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

// Libraries for os::LoadLibrary natively: a path maps to a table of exports.
void RegisterLibrary(const std::string& path, const std::map<std::string, void*>& exports);

// Observes every SendMessage (before the target runs); for traces and `expect-sent`.
using SendObserver = std::function<void(Window, std::uint32_t, WParam, LParam)>;
void SetSendObserver(SendObserver observer);

}  // namespace os::sim
