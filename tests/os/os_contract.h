// What os/os.h promises on both sides of the boundary: os_contract_test.cpp is compiled natively
// against the simulation (os/sim) and in the Windows build against the real functions (os/win32),
// so that the simulation cannot drift from Win32. Each side supplies this small world: windows
// made and destroyed the way that side makes them, and a folder for files.
#pragma once

#include <cstdint>
#include <string>

#include "os/os.h"

namespace os_contract {

// A window procedure of the contract's windows. It hears WM_DESTROY, WM_SIZE, WM_SHOWWINDOW,
// WM_NOTIFY and messages from WM_USER up; on Win32 the rest go to DefWindowProcW.
using Procedure = os::LResult (*)(os::Window window, std::uint32_t message, os::WParam wParam,
                                  os::LParam lParam);

constexpr std::uint32_t kWM_USER = 0x400;

struct WindowSpec {
  std::string className;
  os::Window parent = nullptr;  // nullptr: a top-level window
  std::string text;
  Procedure procedure = nullptr;  // nullptr: every message is answered with 0
  bool visible = true;
};

// Called before and after each test: no windows or hooks of an earlier test are left.
void Reset();
// A window of the calling thread (the GUI thread of the simulation).
os::Window MakeWindow(const WindowSpec& request);
void DestroyWindow(os::Window window);
bool IsMinimized(os::Window window);
std::uint32_t CurrentThreadId();

// A new empty folder, and the path of `name` in it; RemoveFolder deletes it with its files.
std::string MakeFolder();
std::string PathIn(const std::string& folder, const std::string& name);
void RemoveFolder(const std::string& folder);

}  // namespace os_contract
