// What dialog-preview borrows from the host: its window text, its runtime names and its splice
// of a plugin fragment. A copy kept here until the host's own is available to tools.
#pragma once

#include <string>

#include "host/dialog/runtime_names.h"

namespace preview {

extern const char16_t kHostWindowText[];

// The host's names; its procedures do nothing here except OnChangeToolListIcon(), which calls
// `onListChange`.
void RegisterHostNames(dialog::RuntimeNameTable& names, int (*onListChange)());

// Every "<container " (any case) of the fragment gains library and IDE numbers; the fragment
// then goes before each "</multibox>" of the window text.
std::u16string SpliceFragment(const std::u16string& window, const std::u16string& fragment);

}  // namespace preview
