// The library's three exports as portable functions. The Windows library entry exports them
// under these names (undecorated); native tools and tests call them directly. None of them lets
// an exception out: the hook runs inside the user's IDE.
#pragma once

#include <cstdint>

#include "os/os.h"

namespace zentrel {

// The WH_CALLWNDPROCRET hook procedure: dispatches, then always passes the call on.
os::LResult VORPEX_STDCALL OnHookCallbackComplete(int code, os::WParam wParam,
                                                  os::LParam lParam) noexcept;

// The settings fragment (NUL-terminated UTF-16 in a buffer the plugin owns).
const char16_t* RetrievePluginXMLDialog() noexcept;

// The debug text of `mode` for the IDE window `ideWindow` (buffer reused on the next call).
const char16_t* RetrievePluginDebug(std::intptr_t ideWindow, const char16_t* mode) noexcept;

}  // namespace zentrel
