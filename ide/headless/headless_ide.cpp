#include "ide/headless/headless_ide.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "ide/lexer.h"
#include "ide/reindent.h"
#include "ide/word_highlight.h"
#include "iface/scintilla.h"
#include "os/sim/sim.h"

namespace headless {
namespace {

constexpr int kHighlightColour = ide::Rgb(255, 200, 0);
constexpr std::int64_t kCaretPeriodMs = 500;  // the control's default blink period

// Virtual keys the IDE's keyboard produces.
constexpr int kVkBack = 0x08, kVkTab = 0x09, kVkReturn = 0x0D, kVkShift = 0x10, kVkAlt = 0x12,
              kVkSpace = 0x20, kVkEnd = 0x23, kVkHome = 0x24, kVkLeft = 0x25, kVkUp = 0x26,
              kVkRight = 0x27, kVkDown = 0x28, kVkDelete = 0x2E, kVkLeftWin = 0x5B,
              kVkRightWin = 0x5C;

bool IsDown(int virtualKey) { return os::GetAsyncKeyState(virtualKey) < 0; }

// The IDE is the window's data.
os::LResult MainWindowProc(void* ide, os::Window, std::uint32_t message, os::WParam,
                           os::LParam lParam) {
  if (ide && message == os::kWM_NOTIFY && lParam != 0)
    return static_cast<Ide*>(ide)->OnNotify(reinterpret_cast<const void*>(lParam));
  return 0;
}

os::LResult Send(Editor& editor, std::uint32_t message, os::WParam wParam = 0,
                 os::LParam lParam = 0) {
  return os::SendMessage(editor.Window(), message, wParam, lParam);
}

}  // namespace

Ide::Ide() {
  os::sim::WindowSpec params;
  params.className = "VorpexIdeMain";
  params.text = "Vorpex IDE";
  params.dataProcedure = &MainWindowProc;
  params.data = this;
  mainWindow_ = os::sim::CreateWindow(params);
  os::SetProp(mainWindow_, "PB_ID", 1);
  Switch("main");
  nextCaretBlink_ = os::MillisecondClock() + kCaretPeriodMs;
}

Ide::~Ide() {
  editors_.clear();
  if (os::IsWindow(mainWindow_)) os::sim::DestroyWindow(mainWindow_);
}

Editor* Ide::Find(const std::string& name) {
  const auto found = editors_.find(name);
  return found == editors_.end() ? nullptr : found->second.get();
}

Editor& Ide::Switch(const std::string& name) {
  Editor* editor = Find(name);
  if (!editor) {
    const int id = nextControlId_++;
    auto created = std::make_unique<Editor>(mainWindow_, id);
    os::SetProp(created->Window(), "PB_ID", 100 + id);
    // The IDE's editors: UTF-8, CR LF line ends, indentation with blanks two columns a level,
    // styled from the container, the word highlighting drawn as a box under the text.
    created->Message(sci::SCI_SETEOLMODE, sci::SC_EOL_CRLF, 0);
    created->Message(sci::SCI_SETUSETABS, 0, 0);
    created->Message(sci::SCI_SETTABWIDTH, ide::kIndentWidth, 0);
    created->Message(sci::SCI_SETINDENT, ide::kIndentWidth, 0);
    for (const ide::StyleLook& look : ide::kStyleLooks) {
      created->Message(sci::SCI_STYLESETFORE, static_cast<os::WParam>(look.style), look.colour);
      created->Message(sci::SCI_STYLESETBOLD, static_cast<os::WParam>(look.style),
                       look.bold ? 1 : 0);
    }
    created->Message(sci::SCI_STYLESETBACK, ide::kLineNumberStyle, ide::kLineNumberBack);
    created->Message(sci::SCI_INDICSETSTYLE, ide::kWordHighlightIndicator, sci::INDIC_ROUNDBOX);
    created->Message(sci::SCI_INDICSETFORE, ide::kWordHighlightIndicator, kHighlightColour);
    created->Message(sci::SCI_INDICSETALPHA, ide::kWordHighlightIndicator, 90);
    created->Message(sci::SCI_INDICSETUNDER, ide::kWordHighlightIndicator, 1);
    editor = created.get();
    editors_[name] = std::move(created);
  }
  const bool first = current_ == nullptr;
  current_ = editor;
  if (!first) Focus();
  return *editor;
}

void Ide::Close(const std::string& name) {
  const auto found = editors_.find(name);
  if (found == editors_.end() || editors_.size() == 1) return;
  std::unique_ptr<Editor> closing = std::move(found->second);
  editors_.erase(found);
  highlights_.erase(closing.get());
  if (current_ == closing.get()) {
    current_ = editors_.begin()->second.get();
    Focus();
  }
  closing.reset();
}

void Ide::Focus() {
  for (auto& [name, editor] : editors_) {
    if (editor.get() != current_) editor->SetFocus(false);
  }
  // Receiving the focus is an event: an editor that has it loses it first (the user clicked
  // elsewhere and back), so that every focus is reported.
  current_->SetFocus(false);
  current_->SetFocus(true);
}

void Ide::PressKey(const KeyChord& chord) {
  if (ignoredKeys_.count(chord)) return;
  // The IDE's accelerators take a chord only with exactly their modifiers: Ctrl+Shift+I is not
  // the re-indent.
  if (chord.key == 'I' && chord.modifiers == kModCtrl) {
    Reindent();  // an accelerator: no tab character reaches the editor
    return;
  }
  if ((chord.key == 'V' && chord.modifiers == kModCtrl) ||
      (chord.key == ide::kKeyInsert && chord.modifiers == kModShift)) {
    Send(*current_, sci::SCI_PASTE);
    return;
  }
  // A Ctrl+letter that neither the IDE nor the control's key map takes arrives as its control
  // character (Ctrl+Shift+I as a tab), and the control inserts it.
  const bool letter = chord.key >= 'A' && chord.key <= 'Z';
  if (!current_->KeyDown(chord.key, chord.modifiers) && letter &&
      (chord.modifiers & (kModCtrl | kModAlt)) == kModCtrl) {
    const char control = static_cast<char>(chord.key - 'A' + 1);
    TypeCharacter(std::string_view(&control, 1));
  }
}

void Ide::TypeCharacter(std::string_view utf8) { current_->TypeCharacter(utf8); }

void Ide::Paste(const std::string& text) {
  SetClipboardText(text);
  Send(*current_, sci::SCI_PASTE);
}

void Ide::Reindent() {
  Editor& editor = *current_;
  const ide::ReindentEdit edit =
      ide::PlanReindent(editor.Text(), static_cast<std::size_t>(editor.Anchor()),
                        static_cast<std::size_t>(editor.Caret()));
  // One edit of the text, made even when nothing changes, so that a content update follows.
  Send(editor, sci::SCI_SETTARGETSTART, edit.start);
  Send(editor, sci::SCI_SETTARGETEND, edit.end);
  Send(editor, sci::SCI_REPLACETARGET, edit.text.size(),
       reinterpret_cast<os::LParam>(edit.text.data()));
  // The content update is painted on its own; the selection follows in a later update.
  editor.Paint();
  Send(editor, sci::SCI_SETSEL, edit.anchor, static_cast<os::LParam>(edit.caret));
}

void Ide::DeliverKeyEvent(std::uint8_t virtualKey, bool released) {
  if (released || (virtualKey >= kVkShift && virtualKey <= kVkAlt) ||
      (virtualKey >= 0xA0 && virtualKey <= 0xA5) || virtualKey == kVkLeftWin ||
      virtualKey == kVkRightWin)
    return;
  const bool ctrl = IsDown(os::kVK_CONTROL);
  const bool shift = IsDown(kVkShift);
  const bool alt = IsDown(kVkAlt);
  KeyChord chord;
  chord.modifiers = (ctrl ? kModCtrl : 0) | (shift ? kModShift : 0) | (alt ? kModAlt : 0);
  chord.key = ide::KeyOfVirtualKey(virtualKey);
  const bool letter = virtualKey >= 'A' && virtualKey <= 'Z';
  const bool digit = virtualKey >= '0' && virtualKey <= '9';
  if (chord.key == 0 && !ctrl && !alt && (letter || digit || virtualKey == kVkSpace)) {
    char typed = static_cast<char>(virtualKey);
    if (letter && !shift) typed = static_cast<char>(std::tolower(typed));
    TypeCharacter(std::string_view(&typed, 1));
    return;
  }
  if (chord.key == 0 && letter) chord.key = virtualKey;
  if (chord.key != 0) PressKey(chord);
}

void Ide::Idle() {
  // Bounded: a plugin that keeps queuing input must not hang the run.
  for (int round = 0; round < 10000; ++round) {
    bool busy = false;
    os::sim::KeyEvent event{};
    while (os::sim::TakeKeyEvent(&event)) {
      DeliverKeyEvent(event.virtualKey, (event.flags & os::kKEYEVENTF_KEYUP) != 0);
      busy = true;
    }
    for (auto& [name, editor] : editors_) {
      if (editor->NeedsPaint()) {
        editor->Paint();
        busy = true;
      }
    }
    // A caret shown anew after a paint blinks a period later; while it blinks the control paints
    // (and reports) every period, even when nothing else happens.
    const std::int64_t now = os::MillisecondClock();
    if (busy) {
      nextCaretBlink_ = now + kCaretPeriodMs;
    } else if (now >= nextCaretBlink_) {
      nextCaretBlink_ = now + kCaretPeriodMs;
      current_->BlinkCaret();
      busy = true;
    }
    if (!busy && !os::sim::HasQueuedInput()) return;
  }
}

void Ide::StyleEditor(Editor& editor, std::int64_t endPosition) {
  const os::LResult endStyled = Send(editor, sci::SCI_GETENDSTYLED);
  const os::LResult start = Send(editor, sci::SCI_POSITIONFROMLINE,
                                 static_cast<os::WParam>(Send(editor, sci::SCI_LINEFROMPOSITION,
                                                              static_cast<os::WParam>(endStyled))));
  const os::LResult lastLine =
      Send(editor, sci::SCI_LINEFROMPOSITION, static_cast<os::WParam>(endPosition));
  os::LResult end = Send(editor, sci::SCI_POSITIONFROMLINE, static_cast<os::WParam>(lastLine + 1));
  if (end < 0 || end > editor.Length()) end = static_cast<os::LResult>(editor.Length());
  if (end <= start) return;
  const std::vector<unsigned char> styles = ide::StyleText(editor.TextRange(start, end));
  Send(editor, sci::SCI_STARTSTYLING, static_cast<os::WParam>(start), 0);
  Send(editor, sci::SCI_SETSTYLINGEX, styles.size(), reinterpret_cast<os::LParam>(styles.data()));
}

void Ide::HighlightWord(Editor& editor, int updated) {
  if (!(updated & (sci::SC_UPDATE_SELECTION | sci::SC_UPDATE_CONTENT))) return;
  const std::string text = editor.Text();
  std::vector<std::pair<std::size_t, std::size_t>> wanted;
  for (const ide::TextRange& range :
       ide::WordOccurrences(text, static_cast<std::size_t>(editor.Anchor()),
                            static_cast<std::size_t>(editor.Caret())))
    wanted.emplace_back(range.start, range.end);
  auto& shown = highlights_[&editor];
  // Edits move the marks with the text; only a changed set of marks is drawn again.
  if (wanted == shown && !(updated & sci::SC_UPDATE_CONTENT)) return;
  if (wanted.empty() && shown.empty()) return;
  const os::LResult current = Send(editor, sci::SCI_GETINDICATORCURRENT);
  Send(editor, sci::SCI_SETINDICATORCURRENT, ide::kWordHighlightIndicator);
  Send(editor, sci::SCI_INDICATORCLEARRANGE, 0, static_cast<os::LParam>(text.size()));
  for (const auto& [start, end] : wanted)
    Send(editor, sci::SCI_INDICATORFILLRANGE, start, static_cast<os::LParam>(end - start));
  Send(editor, sci::SCI_SETINDICATORCURRENT, static_cast<os::WParam>(current));
  shown = wanted;
}

os::LResult Ide::OnNotify(const void* record) {
  const auto* scn = static_cast<const sci::Notification*>(record);
  // Most notifications (every change of the text) concern the IDE not at all.
  if (scn->nmhdr.code != sci::SCN_STYLENEEDED && scn->nmhdr.code != sci::SCN_UPDATEUI) return 0;
  Editor* editor = EditorFromWindow(scn->nmhdr.hwndFrom);
  if (!editor) return 0;
  switch (scn->nmhdr.code) {
    case sci::SCN_STYLENEEDED:
      StyleEditor(*editor, scn->position);
      break;
    case sci::SCN_UPDATEUI:
      HighlightWord(*editor, scn->updated);
      break;
    default:
      break;
  }
  return 0;
}

}  // namespace headless
