// The scenario key names as the keyboard's virtual keys, for real input.
#pragma once

#include "ide/keys.h"

namespace live {

// The virtual key of a parsed chord's key (0 for none).
unsigned VirtualKeyOf(const ide::KeyChord& chord);

// Keys that Windows reports with the extended flag (arrows, Home, End, Delete).
bool IsExtendedKey(unsigned virtualKey);

}  // namespace live
