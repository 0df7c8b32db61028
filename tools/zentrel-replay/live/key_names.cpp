// Scenario keys as the real keyboard's virtual keys; names and codes are the IDE keyboard's
// (ide/keys.h), so a file parses the same in both builds.
#include "key_names.h"

namespace live {

unsigned VirtualKeyOf(const ide::KeyChord& chord) { return ide::VirtualKeyOf(chord.key); }

bool IsExtendedKey(unsigned virtualKey) {
  return (virtualKey >= 0x21 && virtualKey <= 0x28) || virtualKey == 0x2D || virtualKey == 0x2E;
}

}  // namespace live
