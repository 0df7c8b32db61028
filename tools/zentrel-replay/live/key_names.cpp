// Key names of scenario files. In the Windows build the scenario parser's key check comes from
// here (the headless IDE, which has its own, is not built for Windows); the names and codes are
// the headless keyboard's, so a file parses the same in both builds.
#include "key_names.h"

#include <array>
#include <cctype>

namespace {

struct NamedKey {
  std::string_view name;
  int key;              // the headless keyboard's code
  unsigned virtualKey;  // the real keyboard's
};

constexpr std::array<NamedKey, 10> kNamedKeys = {{{"Enter", headless::kKeyReturn, 0x0D},
                                                  {"Tab", headless::kKeyTab, 0x09},
                                                  {"Backspace", headless::kKeyBack, 0x08},
                                                  {"Delete", headless::kKeyDelete, 0x2E},
                                                  {"Left", headless::kKeyLeft, 0x25},
                                                  {"Right", headless::kKeyRight, 0x27},
                                                  {"Up", headless::kKeyUp, 0x26},
                                                  {"Down", headless::kKeyDown, 0x28},
                                                  {"Home", headless::kKeyHome, 0x24},
                                                  {"End", headless::kKeyEnd, 0x23}}};

}  // namespace

namespace headless {

bool ParseKeyChord(std::string_view name, KeyChord* chord) {
  KeyChord parsed;
  constexpr std::string_view kCtrl = "Ctrl+";
  if (name.substr(0, kCtrl.size()) == kCtrl) {
    parsed.modifiers = kModCtrl;
    name.remove_prefix(kCtrl.size());
  }
  bool known = false;
  for (const NamedKey& named : kNamedKeys) {
    if (named.name == name) {
      parsed.key = named.key;
      known = true;
    }
  }
  // A letter only with Ctrl: typed letters are `type`.
  if (!known && name.size() == 1 && std::isalpha(static_cast<unsigned char>(name[0])) &&
      parsed.modifiers == kModCtrl) {
    parsed.key = std::toupper(static_cast<unsigned char>(name[0]));
    known = true;
  }
  if (!known) return false;
  *chord = parsed;
  return true;
}

}  // namespace headless

namespace live {

unsigned VirtualKeyOf(const headless::KeyChord& chord) {
  for (const NamedKey& named : kNamedKeys)
    if (named.key == chord.key) return named.virtualKey;
  if (chord.key >= 'A' && chord.key <= 'Z') return static_cast<unsigned>(chord.key);
  return 0;
}

bool IsExtendedKey(unsigned virtualKey) {
  return (virtualKey >= 0x21 && virtualKey <= 0x28) || virtualKey == 0x2D || virtualKey == 0x2E;
}

}  // namespace live
