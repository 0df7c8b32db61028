// A headless Scintilla editor: one simulated window of class "Scintilla" over Scintilla's own
// document core. It answers the editor messages with the control's semantics and reports its
// notifications to the parent window as WM_NOTIFY with the IDE's notification record, through
// os::SendMessage, so that the hooks of os/sim see them exactly as on Windows.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "ide/keys.h"
#include "os/os.h"

namespace headless {

// Keys of the control's key map (Scintilla's SCK_* codes) and modifiers (SCMOD_*).
using ide::kKeyBack;
using ide::kKeyDelete;
using ide::kKeyDown;
using ide::kKeyEnd;
using ide::kKeyHome;
using ide::kKeyLeft;
using ide::kKeyReturn;
using ide::kKeyRight;
using ide::kKeyTab;
using ide::kKeyUp;
using ide::kModAlt;
using ide::kModCtrl;
using ide::kModShift;

// The system clipboard of the simulated desktop (SCI_PASTE reads it).
void SetClipboardText(const std::string& text);
const std::string& ClipboardText();

// Called with every message an editor does not know (it answers 0); for traces.
using UnknownMessageReporter = std::function<void(os::Window, std::uint32_t)>;
void SetUnknownMessageReporter(UnknownMessageReporter reporter);

struct EditorState;

class Editor {
 public:
  // Creates the editor's window as a child of `parent`, with control id `controlId`.
  Editor(os::Window parent, int controlId);
  ~Editor();
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

  os::Window Window() const;
  int ControlId() const;

  // The control's message dispatch: one case a message; unknown messages answer 0.
  os::LResult Message(std::uint32_t message, os::WParam wParam, os::LParam lParam);

  // Keyboard input as the control receives it: a typed character (UTF-8, one character) and a
  // key of the key map with modifiers. KeyDown returns false when the key map has no command.
  void TypeCharacter(std::string_view utf8);
  bool KeyDown(int key, int modifiers);

  // Focus changes (SCN_FOCUSIN / SCN_FOCUSOUT when the state changes).
  void SetFocus(bool focused);
  bool HasFocus() const;

  // Painting: asks the container for styles (SCN_STYLENEEDED), then reports SCN_UPDATEUI with
  // what changed since the last update. Returns true when it reported an update.
  bool NeedsPaint() const;
  bool Paint();
  // The caret's blink: the control paints the caret alone and reports SCN_PAINTED, as after
  // every paint.
  void BlinkCaret();

  // Direct reads for the IDE around the editor (no message, no hook sees them).
  std::string Text() const;
  std::string TextRange(std::int64_t start, std::int64_t end) const;
  std::int64_t Length() const;
  std::int64_t Caret() const;
  std::int64_t Anchor() const;
  // Undo groups opened with SCI_BEGINUNDOACTION and not yet ended (negative after an end too many).
  int UndoGroupDepth() const;

 private:
  std::unique_ptr<EditorState> state_;
};

// The editor behind a window created by an Editor (nullptr for any other window).
Editor* EditorFromWindow(os::Window window);

}  // namespace headless
