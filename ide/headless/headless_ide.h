// The headless IDE: a main window carrying PB_ID with editors (class "Scintilla") as its
// children, driven through os/sim. It styles its editors from the container with the IDE's lexer,
// highlights the selected word with indicator 2, pastes with SCI_PASTE, re-indents on Ctrl+I and
// runs an idle loop that delivers queued input before it paints, as a Windows message loop does.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ide/headless/editor.h"
#include "os/os.h"

namespace headless {

// A key press of the IDE's keyboard, and scenario key names parsed into one.
using ide::KeyChord;
using ide::ParseKeyChord;

class Ide {
 public:
  // Creates the main window and the first editor, "main". The simulated world must be fresh.
  Ide();
  ~Ide();
  Ide(const Ide&) = delete;
  Ide& operator=(const Ide&) = delete;

  os::Window MainWindow() const { return mainWindow_; }

  // Editors by name; Switch creates an editor on first use and gives it the focus.
  Editor& Current() { return *current_; }
  Editor* Find(const std::string& name);
  Editor& Switch(const std::string& name);
  // Closes an editor (its window is destroyed); the first editor of the others becomes current
  // when it was. The last editor stays open.
  void Close(const std::string& name);
  // The current editor receives the keyboard focus (again, when it has it: SCN_FOCUSOUT first).
  void Focus();

  // Input. A key press goes to the IDE's accelerators first (Ctrl+I, and Ctrl+V and Shift+Insert
  // that paste), then to the editor.
  void PressKey(const KeyChord& chord);
  void TypeCharacter(std::string_view utf8);
  void Paste(const std::string& text);
  void IgnoreKey(const KeyChord& chord) { ignoredKeys_.insert(chord); }

  // The re-indent command on the current editor's selected lines.
  void Reindent();

  // Delivers queued input, then paints every editor, until nothing is left to do; then the
  // caret of the current editor blinks when nothing was painted for a blink period.
  void Idle();

  // Handlers of the main window (its window procedure calls them).
  os::LResult OnNotify(const void* notification);

 private:
  void DeliverKeyEvent(std::uint8_t virtualKey, bool released);
  void StyleEditor(Editor& editor, std::int64_t endPosition);
  void HighlightWord(Editor& editor, int updated);

  os::Window mainWindow_ = nullptr;
  std::map<std::string, std::unique_ptr<Editor>> editors_;
  Editor* current_ = nullptr;
  int nextControlId_ = 1;
  std::set<KeyChord> ignoredKeys_;
  std::int64_t nextCaretBlink_ = 0;  // clock
  std::map<Editor*, std::vector<std::pair<std::size_t, std::size_t>>> highlights_;
};

}  // namespace headless
