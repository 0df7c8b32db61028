// The stand-in IDE's main window: menus, the editor tabs, the status bar and the commands.
#pragma once

#include <windows.h>

#include "ide/win32/command_line.h"

namespace standin {

constexpr wchar_t kMainWindowClass[] = L"StandinIDE";

// Creates and shows the main window with the files of `commandLine` opened (or one new text),
// then starts the tool host and the programs it names. Returns the window, or null after having
// told the user why it could not be created.
HWND CreateMainWindow(const CommandLine& commandLine, int show);

// The keyboard shortcuts that the IDE handles itself before the editor sees the key.
HACCEL CreateShortcuts();

}  // namespace standin
