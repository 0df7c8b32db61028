#include "ide/keys.h"

#include <array>
#include <cctype>

namespace ide {
namespace {

struct NamedKey {
  std::string_view name;
  int key;
  unsigned virtualKey;
};

constexpr std::array<NamedKey, 11> kNamedKeys = {{{"Enter", kKeyReturn, 0x0D},
                                                  {"Tab", kKeyTab, 0x09},
                                                  {"Backspace", kKeyBack, 0x08},
                                                  {"Delete", kKeyDelete, 0x2E},
                                                  {"Left", kKeyLeft, 0x25},
                                                  {"Right", kKeyRight, 0x27},
                                                  {"Up", kKeyUp, 0x26},
                                                  {"Down", kKeyDown, 0x28},
                                                  {"Home", kKeyHome, 0x24},
                                                  {"End", kKeyEnd, 0x23},
                                                  {"Insert", kKeyInsert, 0x2D}}};

}  // namespace

bool ParseKeyChord(std::string_view name, KeyChord* chord) {
  KeyChord parsed;
  constexpr std::string_view kCtrl = "Ctrl+";
  constexpr std::string_view kShift = "Shift+";
  if (name.substr(0, kCtrl.size()) == kCtrl) {
    parsed.modifiers = kModCtrl;
    name.remove_prefix(kCtrl.size());
  } else if (name.substr(0, kShift.size()) == kShift) {
    parsed.modifiers = kModShift;
    name.remove_prefix(kShift.size());
  }
  bool known = false;
  for (const NamedKey& named : kNamedKeys) {
    if (named.name == name) {
      parsed.key = named.key;
      known = true;
    }
  }
  if (!known && name.size() == 1 && std::isalpha(static_cast<unsigned char>(name[0])) &&
      parsed.modifiers == kModCtrl) {
    parsed.key = std::toupper(static_cast<unsigned char>(name[0]));
    known = true;
  }
  if (!known) return false;
  *chord = parsed;
  return true;
}

unsigned VirtualKeyOf(int key) {
  for (const NamedKey& named : kNamedKeys)
    if (named.key == key) return named.virtualKey;
  if (key >= 'A' && key <= 'Z') return static_cast<unsigned>(key);
  return 0;
}

int KeyOfVirtualKey(int virtualKey) {
  for (const NamedKey& named : kNamedKeys)
    if (static_cast<int>(named.virtualKey) == virtualKey) return named.key;
  return 0;
}

}  // namespace ide
