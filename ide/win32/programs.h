// Programs the stand-in IDE starts: the tool host (as an external tool, told the IDE main window
// through PB_TOOL_MainWindow) and any other program. Both inherit the IDE process's environment,
// so that they see what the plugin defines in it.
#pragma once

#include <windows.h>

#include <string>

namespace standin {

// The default tool folder: "tool" beside the IDE's own folder (the staged layout ide\ + tool\).
std::wstring DefaultToolFolder();

// Starts toolhost.exe from `toolFolder` with PB_TOOL_MainWindow set to `mainWindow` in decimal.
bool StartToolHost(HWND mainWindow, const std::wstring& toolFolder, std::wstring* error);

// Starts `commandLine` (program and arguments, as typed) with the IDE's environment.
bool RunProgram(const std::wstring& commandLine, std::wstring* error);

// Asks for a command line in a small modal window; false when cancelled.
bool AskCommandLine(HWND owner, std::wstring* commandLine);

}  // namespace standin
