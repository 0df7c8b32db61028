// toolhost.exe: the tray program that the IDE starts as its tool.
#include <windows.h>
#include <commctrl.h>

#include "host/tool_host.h"
#include "host/win32/win32_host_gui.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  int exitCode = 0;
  {
    Win32HostGui gui(instance);
    ToolHost host(gui);
    RegisterHostRuntimeNames(host.names);
    exitCode = RunTool(host, "Vorpex", 200, kToolWindowDescription);
  }
  ExitProcess(UINT(exitCode));
}
