// The IDE's keyboard as scenario files name it: the editor's key codes (Scintilla's SCK_* and
// upper-case letters), modifiers (SCMOD_*), the named keys and their Windows virtual keys. One
// table for the headless IDE and for real input under Wine.
#pragma once

#include <string_view>

namespace ide {

constexpr int kKeyDown = 300;
constexpr int kKeyUp = 301;
constexpr int kKeyLeft = 302;
constexpr int kKeyRight = 303;
constexpr int kKeyHome = 304;
constexpr int kKeyEnd = 305;
constexpr int kKeyDelete = 308;
constexpr int kKeyInsert = 309;
constexpr int kKeyBack = 8;
constexpr int kKeyTab = 9;
constexpr int kKeyReturn = 13;
constexpr int kModShift = 1;
constexpr int kModCtrl = 2;
constexpr int kModAlt = 4;

// A key press: a key code and the modifiers.
struct KeyChord {
  int key = 0;
  int modifiers = 0;
  bool operator<(const KeyChord& other) const {
    return key != other.key ? key < other.key : modifiers < other.modifiers;
  }
};

// Parses "Enter", "Ctrl+I", "Shift+Insert", "Backspace"...; a letter only with Ctrl (typed
// letters are text). False for an unknown name.
bool ParseKeyChord(std::string_view name, KeyChord* chord);

// The Windows virtual key of a key code (0 for none), and the key code of a virtual key (0 for
// a key without a named code).
unsigned VirtualKeyOf(int key);
int KeyOfVirtualKey(int virtualKey);

}  // namespace ide
