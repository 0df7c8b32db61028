// HookContext: built afresh for every call of the hook procedure and passed to every helper.
#pragma once

#include <cstdint>

#include "iface/scintilla.h"
#include "os/os.h"

struct HookContext {
  std::int64_t hookCode = 0;
  std::int64_t wParam = 0;
  const os::CallWndRetRecord* message = nullptr;
  const sci::Notification* notification = nullptr;  // lParam of a WM_NOTIFY, else null
  os::Window editor = nullptr;                      // the notifying editor, else the active editor
  os::Window ideWindow = nullptr;
  os::Window toolWindow = nullptr;
};
