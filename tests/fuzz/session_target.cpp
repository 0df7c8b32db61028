// The sessions target: an editing session on the headless IDE with Zentrel's hook installed, the
// settings a first-run host publishes, and option changes between the keys.
//
// Input: the main editor's line end mode and text, then one action after another (typing,
// Enter, Ctrl+Enter, pastes, Ctrl+I, undo and redo, caret and selection moves, a second editor
// opened, switched to and closed, option changes, time passing).
// Invariants: after every action no undo group is left open and the plugin's state names no
// closed window; at the end, undoing everything gives every editor its starting text back.

#include <map>
#include <memory>
#include <set>

#include "core/property_names.h"
#include "ide/headless/headless_ide.h"
#include "iface/scintilla.h"
#include "os/sim/sim.h"
#include "plugin/exports.h"
#include "plugin/plugin_frame.h"
#include "targets.h"

namespace fuzz {
namespace {

constexpr std::int64_t kStartClock = 1000000;
constexpr int kMostActions = 400;

const char* const kTypedCharacters[] = {
    "\"", "'", "~", "+", "0", "1", "5", "9",  ".", ";", "a", "b", "x", "I", "f", " ",        " ",
    "(",  ")", ":", "=", ",", "<", ">", "\\", "$", "#", "!", "*", "-", "[", "]", "\xC3\xA9", "\t"};

const char* const kTypedWords[] = {"If a = 1",
                                   "EndIf",
                                   "x$ = \"",
                                   "; note",
                                   "For i = 1 To 10",
                                   "Next",
                                   "Procedure Foo(",
                                   "EndProcedure",
                                   "Select x",
                                   "Case 1",
                                   "\"a , b\"",
                                   "~\"esc \\\"",
                                   "'c'",
                                   "1.5",
                                   ".5",
                                   "a  +  b",
                                   "Label:",
                                   "!  mov eax , 1",
                                   "While x",
                                   "Wend",
                                   "Repeat",
                                   "Until a",
                                   "Else",
                                   "Mod :: Proc( 1 )",
                                   "a == b",
                                   "~ \"x",
                                   ";--",
                                   "  ",
                                   "Structure P",
                                   "With *p",
                                   "Module M"};

struct EditorRecord {
  std::string startText;
  os::Window window = nullptr;
};

class Session {
 public:
  Session() {
    os::sim::Reset();
    os::sim::SetClock(kStartClock);
    ResetPluginState();
    ide_ = std::make_unique<headless::Ide>();
    os::SetWindowsHookEx(os::kWH_CALLWNDPROCRET, &zentrel::OnHookCallbackComplete, nullptr,
                         os::sim::GuiThreadId());
    const os::Window main = ide_->MainWindow();
    for (const DefaultSetting& setting : CatalogueSettings())
      os::SetProp(main,
                  core::SettingPropertyName(core::HandleValue(main), setting.group, setting.key),
                  static_cast<std::intptr_t>(setting.value));
    Stamp();
    editors_["main"].window = ide_->Current().Window();
    ide_->Idle();
  }
  ~Session() {
    ide_.reset();
    os::sim::Reset();
    ResetPluginState();
  }

  std::uint64_t keys = 0;
  std::string failure;
  std::string log;  // the actions so far, for the failure report

  void SetStart(bool lineFeeds, const std::string& text) {
    headless::Editor& editor = ide_->Current();
    editor.Message(sci::SCI_SETEOLMODE, lineFeeds ? sci::SC_EOL_LF : sci::SC_EOL_CRLF, 0);
    editor.Message(sci::SCI_SETTEXT, 0, reinterpret_cast<os::LParam>(""));
    editor.Message(sci::SCI_ADDTEXT, text.size(), reinterpret_cast<os::LParam>(text.data()));
    editor.Message(sci::SCI_EMPTYUNDOBUFFER, 0, 0);
    editor.Message(sci::SCI_GOTOPOS, 0, 0);
    editors_["main"].startText = editor.Text();
    ide_->Focus();
    ide_->Idle();
  }

  void Act(ByteReader& in) {
    const std::uint8_t op = in.Byte();
    switch (op % 16) {
      case 0:
      case 1: {
        const char* typed = kTypedCharacters[in.Byte() % std::size(kTypedCharacters)];
        Note(std::string("type ") + typed);
        TypeText(typed);
        break;
      }
      case 2: {
        const char* word = kTypedWords[in.Byte() % std::size(kTypedWords)];
        Note(std::string("type ") + word);
        TypeText(word);
        break;
      }
      case 3:
        Note("key Enter");
        Press({ide::kKeyReturn, 0});
        break;
      case 4:
        Note("key Ctrl+Enter");
        Press({ide::kKeyReturn, ide::kModCtrl});
        break;
      case 5:
      case 6: {
        const std::uint8_t how = in.Byte();
        std::string text = in.Bytes(in.Byte());
        if (how & 1) text = in.Bytes(in.Word() % 4096) + text;  // a longer block now and then
        headless::SetClipboardText(text);
        const bool control = op % 16 == 5;
        Note(std::string(control ? "key Ctrl+V" : "key Shift+Insert") + " of " +
             std::to_string(text.size()) + " bytes");
        Press(control ? ide::KeyChord{'V', ide::kModCtrl}
                      : ide::KeyChord{ide::kKeyInsert, ide::kModShift});
        break;
      }
      case 7:
        Note("key Ctrl+I");
        Press({'I', ide::kModCtrl});
        break;
      case 8:
        Note("key Ctrl+Z");
        Press({'Z', ide::kModCtrl});
        break;
      case 9:
        Note("key Ctrl+Y");
        Press({'Y', ide::kModCtrl});
        break;
      case 10: {
        static const int kMoves[] = {ide::kKeyLeft, ide::kKeyRight, ide::kKeyUp,
                                     ide::kKeyDown, ide::kKeyHome,  ide::kKeyEnd};
        const std::uint8_t which = in.Byte();
        const int modifiers = which & 0x80 ? ide::kModShift : 0;
        Note("move " + std::to_string(which % 6) + (modifiers ? " with Shift" : ""));
        Press({kMoves[which % 6], modifiers});
        break;
      }
      case 11: {
        headless::Editor& editor = ide_->Current();
        const std::int64_t caret = Snap(in.Word());
        const std::uint8_t how = in.Byte();
        const std::int64_t anchor = how & 1 ? Snap(in.Word()) : caret;
        Note("select " + std::to_string(anchor) + " " + std::to_string(caret));
        editor.Message(sci::SCI_SETSEL, static_cast<os::WParam>(anchor), caret);
        ide_->Idle();
        break;
      }
      case 12: {
        const bool back = in.Byte() & 1;
        Note(back ? "key Backspace" : "key Delete");
        Press({back ? ide::kKeyBack : ide::kKeyDelete, 0});
        break;
      }
      case 13: {
        const std::uint8_t how = in.Byte();
        const std::string name =
            ide_->Find("other") && &ide_->Current() == ide_->Find("other") ? "main" : "other";
        Note("editor " + name);
        const bool created = ide_->Find(name) == nullptr;
        headless::Editor& editor = ide_->Switch(name);
        if (created) {
          editor.Message(sci::SCI_SETEOLMODE, how & 1 ? sci::SC_EOL_LF : sci::SC_EOL_CRLF, 0);
          editors_[name] = EditorRecord{"", editor.Window()};
        }
        ide_->Idle();
        break;
      }
      case 14: {
        const auto& settings = CatalogueSettings();
        if (settings.empty()) break;
        const DefaultSetting& setting = settings[in.Byte() % settings.size()];
        const std::uint8_t pick = in.Byte();
        const std::int64_t value = pick < 100    ? 0
                                   : pick < 180  ? 1
                                   : pick < 230  ? 2
                                   : pick < 250  ? setting.value
                                   : pick == 250 ? -1
                                   : pick == 251 ? 1000000
                                                 : pick;
        Note("set " + setting.group + "." + setting.key + " " + std::to_string(value));
        const os::Window main = ide_->MainWindow();
        os::SetProp(main,
                    core::SettingPropertyName(core::HandleValue(main), setting.group, setting.key),
                    static_cast<std::intptr_t>(value));
        Stamp();
        break;
      }
      default: {
        const std::uint8_t how = in.Byte();
        if ((how & 3) == 0 && ide_->Find("other") != nullptr) {
          Note("close other");
          closed_.insert(ide_->Find("other")->Window());
          editors_.erase("other");
          ide_->Close("other");
        } else {
          Note("wait " + std::to_string(how * 10));
          os::sim::AdvanceClock(how * 10);
        }
        ide_->Idle();
        break;
      }
    }
    Check();
  }

  // Undoes everything in every editor with Ctrl+Z and compares with the starting texts.
  void UndoEverything() {
    for (auto& [name, record] : editors_) {
      if (!failure.empty()) return;
      if (&ide_->Current() != ide_->Find(name)) ide_->Switch(name);
      ide_->Idle();
      headless::Editor& editor = ide_->Current();
      int presses = 0;
      while (editor.Message(sci::SCI_CANUNDO, 0, 0) != 0 && presses < 4 * kMostActions + 100) {
        Press({'Z', ide::kModCtrl});
        ++presses;
      }
      ide_->Idle();
      if (editor.Message(sci::SCI_CANUNDO, 0, 0) != 0)
        failure = "editor " + name + ": still something to undo after " + std::to_string(presses) +
                  " times Ctrl+Z";
      else if (editor.Text() != record.startText)
        failure = "editor " + name + ": undoing everything gave [" + editor.Text().substr(0, 300) +
                  "] instead of [" + record.startText.substr(0, 300) + "]";
      Check();
    }
  }

 private:
  void Note(const std::string& action) {
    if (log.size() < 20000) log += "  " + action + "\n";
  }

  void Stamp() {
    const os::Window main = ide_->MainWindow();
    const std::string name = core::UpdateDatePropertyName(core::HandleValue(main));
    const std::int64_t published = os::GetProp(main, name);
    lastStamp_ = std::max<std::int64_t>({os::MillisecondClock(), lastStamp_ + 1, published + 1});
    os::SetProp(main, name, static_cast<std::intptr_t>(lastStamp_));
  }

  // A position of the current editor on a character's start, never inside a line end.
  std::int64_t Snap(std::uint16_t wanted) {
    headless::Editor& editor = ide_->Current();
    const std::string text = editor.Text();
    std::size_t position = wanted % (text.size() + 1);
    while (position > 0 && position < text.size() &&
           ((static_cast<unsigned char>(text[position]) & 0xC0) == 0x80 ||
            (text[position] == '\n' && text[position - 1] == '\r')))
      --position;
    return static_cast<std::int64_t>(position);
  }

  static void SetModifierKeys(int modifiers, bool down) {
    if (modifiers & ide::kModCtrl) os::sim::SetKeyDown(os::kVK_CONTROL, down);
    if (modifiers & ide::kModShift) os::sim::SetKeyDown(os::kVK_SHIFT, down);
    if (modifiers & ide::kModAlt) os::sim::SetKeyDown(os::kVK_MENU, down);
  }

  void Press(const ide::KeyChord& chord) {
    os::sim::AdvanceClock(60);
    SetModifierKeys(chord.modifiers, true);
    ide_->PressKey(chord);
    ide_->Idle();
    SetModifierKeys(chord.modifiers, false);
    ide_->Idle();
    ++keys;
  }

  void TypeText(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
      std::size_t length = 1;
      while (i + length < text.size() &&
             (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
        ++length;
      const std::string character = text.substr(i, length);
      i += length;
      if (character == "\t") {
        Press({ide::kKeyTab, 0});
      } else {
        os::sim::AdvanceClock(60);
        ide_->TypeCharacter(character);
        ide_->Idle();
        ++keys;
      }
    }
  }

  void Check() {
    if (!failure.empty()) return;
    for (const auto& [name, record] : editors_) {
      headless::Editor* editor = ide_->Find(name);
      if (editor != nullptr && editor->UndoGroupDepth() != 0) {
        failure = "editor " + name + ": " + std::to_string(editor->UndoGroupDepth()) +
                  " undo group(s) left open";
        return;
      }
    }
    for (os::Window window : PluginEditorReferences()) {
      if (window != nullptr && !os::IsWindow(window)) {
        failure = "the plugin's state still names a closed editor";
        return;
      }
    }
  }

  std::unique_ptr<headless::Ide> ide_;
  std::map<std::string, EditorRecord> editors_;
  std::set<os::Window> closed_;
  std::int64_t lastStamp_ = 0;
};

}  // namespace

Outcome RunSession(const std::uint8_t* data, std::size_t size) {
  ByteReader in(data, size);
  Session session;
  const std::uint8_t header = in.Byte();
  session.SetStart(header & 1, in.Bytes(in.Word() % 8192));
  for (int action = 0; action < kMostActions && !in.AtEnd() && session.failure.empty(); ++action)
    session.Act(in);
  if (session.failure.empty()) session.UndoEverything();
  Outcome outcome;
  outcome.units = session.keys;
  if (!session.failure.empty()) outcome.failure = session.failure + "\n after:\n" + session.log;
  return outcome;
}

std::string GenerateSessionInput(Random& random) {
  std::string input;
  input += static_cast<char>(Pick(random, 2));
  AppendText(input, Chance(random, 200) ? std::string() : Block(random, 12, false).substr(0, 4000));
  const int actions = 10 + static_cast<int>(Pick(random, 150));
  for (int i = 0; i < actions; ++i) {
    const std::size_t op = Pick(random, 100);
    // Typing is most of a session; the rest is spread over the other actions.
    std::uint8_t code;
    if (op < 30)
      code = 0;
    else if (op < 45)
      code = 2;
    else if (op < 53)
      code = 3;
    else if (op < 56)
      code = 4;
    else if (op < 60)
      code = 5;
    else if (op < 63)
      code = 6;
    else if (op < 66)
      code = 7;
    else if (op < 72)
      code = 8;
    else if (op < 75)
      code = 9;
    else if (op < 83)
      code = 10;
    else if (op < 86)
      code = 11;
    else if (op < 89)
      code = 12;
    else if (op < 92)
      code = 13;
    else if (op < 97)
      code = 14;
    else
      code = 15;
    input += static_cast<char>(code + 16 * Pick(random, 16));
    switch (code) {
      case 5:
      case 6: {
        // The block: its last 255 bytes at most, then the rest before them when it is longer.
        const std::string block = Chance(random, 150) ? std::string() : Block(random, 6, false);
        const std::size_t tailSize = block.size() < 255 ? block.size() : 255;
        const std::string head = block.substr(0, block.size() - tailSize).substr(0, 4095);
        input += static_cast<char>(head.empty() ? 0 : 1);
        input += static_cast<char>(tailSize);
        input += block.substr(block.size() - tailSize);
        if (!head.empty()) AppendText(input, head);
        break;
      }
      case 3:
      case 4:
      case 7:
      case 8:
      case 9:
        break;
      case 11: {
        AppendWord(input, Pick(random, 65536));
        const bool selection = Chance(random, 500);
        input += static_cast<char>(selection ? 1 : 0);
        if (selection) AppendWord(input, Pick(random, 65536));
        break;
      }
      case 14:
        input += static_cast<char>(Pick(random, 256));
        input += static_cast<char>(Pick(random, 256));
        break;
      default:
        input += static_cast<char>(Pick(random, 256));
        break;
    }
  }
  return input;
}

}  // namespace fuzz
