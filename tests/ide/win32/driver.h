// Driving standin-ide.exe from a separate process, as a person would: start it, find its
// windows, type with real input (SendInput), and read its editors with integer-only editor
// messages (the only ones that work across processes).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace standin_test {

struct IdeProcess {
  PROCESS_INFORMATION process{};
  HWND main = nullptr;
  DWORD thread = 0;
};

// A Linux path as Wine sees it (Z:\...); other paths unchanged.
std::wstring WindowsPath(const std::string& path);

// Starts the IDE with `arguments` and waits until its main window is visible; the IDE inherits
// this process's environment. False (with the process ended) when no window appears in time.
bool StartIde(const std::wstring& program, const std::wstring& arguments, IdeProcess* ide);
void StopIde(IdeProcess* ide);

// Waits until `condition` holds, up to `milliseconds`; returns its last value.
bool WaitFor(const std::function<bool()>& condition, int milliseconds = 5000);

// The visible editor (class "Scintilla") of the main window.
HWND ActiveEditor(HWND main);

// Real input to the foreground window. Text is typed as Unicode characters, '\n' as Enter.
bool BringToFront(HWND window);
void TypeText(const std::wstring& text);
// A key with modifiers held, e.g. Chord({VK_CONTROL}, 'I').
void Chord(std::initializer_list<WORD> modifiers, WORD key);
void ClickAt(POINT screen);
void DoubleClickAt(POINT screen);
// Puts the text on the clipboard (CF_UNICODETEXT), for a paste; false when it could not.
bool SetClipboardText(const std::wstring& text);

// Reads through integer-only editor messages.
std::string EditorText(HWND editor);
int StyleAt(HWND editor, int position);

}  // namespace standin_test
