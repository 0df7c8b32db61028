// standin-ide.exe: a small Win32 IDE for the BASIC dialect, standing in for the IDE that the tool
// host and the plugin serve. See command_line.h for its options.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <string>
#include <vector>

#include "ide/win32/command_line.h"
#include "ide/win32/main_window.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> arguments;
  for (int i = 1; argv && i < count; ++i) arguments.emplace_back(argv[i]);
  LocalFree(argv);

  const wchar_t* usage =
      L"Usage: standin-ide.exe [--tool-folder DIR] [--start-tool] [--run COMMANDLINE]... "
      L"[--open FILE]... [FILE]...";
  standin::CommandLine commandLine;
  std::wstring error;
  if (!standin::ParseCommandLine(arguments, &commandLine, &error)) {
    const std::wstring text = error + L"\n\n" + usage;
    MessageBoxW(nullptr, text.c_str(), L"Stand-in IDE", MB_OK | MB_ICONERROR);
    return 2;
  }
  if (commandLine.help) {
    MessageBoxW(nullptr, usage, L"Stand-in IDE", MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  HWND main = standin::CreateMainWindow(commandLine, show);
  if (!main) return 1;
  HACCEL shortcuts = standin::CreateShortcuts();
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // The IDE's own shortcuts take the key before the editor: Ctrl+I then never becomes a tab.
    if ((message.hwnd == main || IsChild(main, message.hwnd)) &&
        TranslateAcceleratorW(main, shortcuts, &message))
      continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  DestroyAcceleratorTable(shortcuts);
  return static_cast<int>(message.wParam);
}
