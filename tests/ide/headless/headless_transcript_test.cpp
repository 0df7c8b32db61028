// Transcripts of the headless editor's answers and notifications for fixed edits, searches and
// keystrokes: its message semantics in one table. The comparison with the real control is the
// stand-in's probe set (tests/ide), run natively in standin_probes_headless_test.cpp.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ide/headless/editor.h"
#include "iface/scintilla.h"
#include "os/sim/sim.h"

namespace {

// A notification as the editor's parent received it.
struct Notified {
  std::uint32_t code;
  int position;
  int modificationType;
  int length;
  int linesAdded;
  int ch;
  int updated;
};

// The editor under test. Messages go through os::SendMessage to Window(); the input methods
// deliver keyboard input as the control receives it; Paint lets the control paint (its styling
// and SCN_UPDATEUI); the parent records every notification into Notifications().
class ProbeEditor {
 public:
  virtual ~ProbeEditor() = default;
  virtual os::Window Window() = 0;
  virtual void TypeCharacter(char ch) = 0;
  virtual void PressEnter() = 0;
  virtual void PressBackspace() = 0;
  virtual void Paint() = 0;
  virtual void SetClipboard(const std::string& text) = 0;
  virtual std::vector<Notified>& Notifications() = 0;
};

struct Probe {
  const char* name;
  void (*run)(ProbeEditor& editor, std::string& transcript);
  const char* expected;
};

constexpr std::uint32_t kRegex = sci::SCFIND_REGEXP | sci::SCFIND_POSIX;

os::LResult Send(ProbeEditor& e, std::uint32_t message, os::WParam wParam = 0,
                 os::LParam lParam = 0) {
  return os::SendMessage(e.Window(), message, wParam, lParam);
}

void Add(std::string& t, const std::string& line) { t += line + "\n"; }

std::string Hex(int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%x", value);
  return buffer;
}

std::string Text(ProbeEditor& e) {
  const os::LResult length = Send(e, sci::SCI_GETLENGTH);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  Send(e, sci::SCI_GETTEXT, static_cast<os::WParam>(length),
       reinterpret_cast<os::LParam>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  std::string shown;
  for (char c : text) {
    if (c == '\r')
      shown += "\\r";
    else if (c == '\n')
      shown += "\\n";
    else
      shown += c;
  }
  return shown;
}

void State(ProbeEditor& e, std::string& t) {
  Add(t, "text=" + Text(e) + " caret=" + std::to_string(Send(e, sci::SCI_GETCURRENTPOS)) +
             " anchor=" + std::to_string(Send(e, sci::SCI_GETANCHOR)));
}

void Target(ProbeEditor& e, std::string& t) {
  Add(t, "target=" + std::to_string(Send(e, sci::SCI_GETTARGETSTART)) + ".." +
             std::to_string(Send(e, sci::SCI_GETTARGETEND)));
}

// The notifications the plugin relies on, since the last call: text modifications, characters
// and the content and selection bits of updates.
void Notifications(ProbeEditor& e, std::string& t) {
  for (const Notified& n : e.Notifications()) {
    if (n.code == sci::SCN_MODIFIED &&
        (n.modificationType & (0x1 | 0x2 | 0x400 | 0x800 | 0x100000))) {
      Add(t, "MODIFIED " + Hex(n.modificationType) + " pos=" + std::to_string(n.position) +
                 " len=" + std::to_string(n.length) + " lines=" + std::to_string(n.linesAdded));
    } else if (n.code == sci::SCN_CHARADDED) {
      Add(t, "CHARADDED " + std::to_string(n.ch));
    } else if (n.code == sci::SCN_UPDATEUI && (n.updated & 3)) {
      Add(t, "UPDATEUI " + std::to_string(n.updated & 3));
    }
  }
  e.Notifications().clear();
}

// A fresh text with empty undo history, painted, its notifications forgotten.
void Start(ProbeEditor& e, const char* text, int eolMode, std::int64_t caret) {
  Send(e, sci::SCI_SETEOLMODE, static_cast<os::WParam>(eolMode));
  Send(e, sci::SCI_SETTEXT, 0, reinterpret_cast<os::LParam>(text));
  Send(e, sci::SCI_EMPTYUNDOBUFFER);
  Send(e, sci::SCI_GOTOPOS, static_cast<os::WParam>(caret));
  e.Paint();
  e.Notifications().clear();
}

std::int64_t Find(ProbeEditor& e, const char* pattern, int start, int end, std::string& t) {
  sci::TextToFind find{{start, end}, pattern, {-1, -1}};
  const os::LResult found = Send(e, sci::SCI_FINDTEXT, kRegex, reinterpret_cast<os::LParam>(&find));
  std::string line = std::string("find ") + pattern + " " + std::to_string(start) + ".." +
                     std::to_string(end) + " -> " + std::to_string(found);
  if (found >= 0)
    line += " match=" + std::to_string(find.chrgText.cpMin) + ".." +
            std::to_string(find.chrgText.cpMax);
  Add(t, line);
  return found;
}

void Tag(ProbeEditor& e, int group, std::string& t) {
  const os::LResult length = Send(e, sci::SCI_GETTAG, static_cast<os::WParam>(group), 0);
  std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
  Send(e, sci::SCI_GETTAG, static_cast<os::WParam>(group),
       reinterpret_cast<os::LParam>(buffer.data()));
  Add(t, "tag" + std::to_string(group) + " len=" + std::to_string(length) + " \"" + buffer.c_str() +
             "\"");
}

void Replace(ProbeEditor& e, int start, int end, const char* text, bool pattern) {
  Send(e, sci::SCI_SETTARGETSTART, static_cast<os::WParam>(start));
  Send(e, sci::SCI_SETTARGETEND, static_cast<os::WParam>(end));
  Send(e, pattern ? sci::SCI_REPLACETARGETRE : sci::SCI_REPLACETARGET, static_cast<os::WParam>(-1),
       reinterpret_cast<os::LParam>(text));
}

void ProbeSearches(ProbeEditor& e, std::string& t) {
  Start(e, "x$ = \"Ab\" + c\nIf a  ; note\nline3", sci::SC_EOL_LF, 0);
  Send(e, sci::SCI_SETTARGETSTART, 1);
  Send(e, sci::SCI_SETTARGETEND, 2);
  Find(e, "(\"[^\"]*\")( *)(\\+)", 0, 13, t);
  Find(e, "ab", 0, 13, t);
  Find(e, "^if", 14, 26, t);
  Find(e, "^a", 17, 26, t);
  Find(e, "note$", 14, 26, t);
  Find(e, "no$", 14, 24, t);
  Find(e, "[ \t]*;", 18, 26, t);
  Find(e, "\\d", 27, 32, t);
  Find(e, "[<>=][<>=]?", 0, 13, t);
  Find(e, "x*", 13, 13, t);
  Find(e, "(zz)", 0, 32, t);
  Target(e, t);
}

void ProbeTags(ProbeEditor& e, std::string& t) {
  Start(e, "x$ = \"Ab\" + c", sci::SC_EOL_LF, 0);
  Find(e, "(\"[^\"]*\")( *)(\\+)", 0, 13, t);
  Tag(e, 1, t);
  Tag(e, 2, t);
  Tag(e, 3, t);
  Tag(e, 4, t);
  Tag(e, 0, t);
  Find(e, "(q)", 0, 13, t);
  Tag(e, 1, t);
}

void ProbeReplacements(ProbeEditor& e, std::string& t) {
  Start(e, "a=1 b", sci::SC_EOL_LF, 5);
  Find(e, "(a)(=)(1)", 0, 5, t);
  Replace(e, 0, 3, "\\1 \\2 \\3", true);
  State(e, t);
  Target(e, t);
  Replace(e, 6, 7, "", false);
  State(e, t);
  Replace(e, 0, 0, "[", false);
  State(e, t);
  Target(e, t);
  Notifications(e, t);
}

void ProbeCaretOverEdits(ProbeEditor& e, std::string& t) {
  Start(e, "0123456789", sci::SC_EOL_LF, 5);
  Replace(e, 5, 5, "ab", false);  // at the caret
  State(e, t);
  Replace(e, 2, 2, "c", false);  // before it
  State(e, t);
  Send(e, sci::SCI_SETSEL, 3, 6);
  Replace(e, 3, 3, "d", false);  // at the selection's start
  State(e, t);
  Replace(e, 7, 7, "e", false);  // at its end
  State(e, t);
  Replace(e, 2, 9, "", false);  // around it
  State(e, t);
  Send(e, sci::SCI_GOTOPOS, 1);
  Send(e, sci::SCI_ADDTEXT, 2, reinterpret_cast<os::LParam>("xyz"));
  State(e, t);
}

void ProbeTyping(ProbeEditor& e, std::string& t) {
  Start(e, "ab", sci::SC_EOL_CRLF, 1);
  e.TypeCharacter('x');
  State(e, t);
  Notifications(e, t);
  e.Paint();
  Notifications(e, t);
  e.PressBackspace();
  State(e, t);
  Notifications(e, t);
  e.Paint();
  Notifications(e, t);
}

void ProbeEnter(ProbeEditor& e, std::string& t, int eolMode) {
  Start(e, "ab", eolMode, 1);
  e.PressEnter();
  State(e, t);
  Add(t, "eolmode=" + std::to_string(Send(e, sci::SCI_GETEOLMODE)));
  Notifications(e, t);
  e.Paint();
  Notifications(e, t);
}

void ProbeEnterLf(ProbeEditor& e, std::string& t) { ProbeEnter(e, t, sci::SC_EOL_LF); }
void ProbeEnterCrLf(ProbeEditor& e, std::string& t) { ProbeEnter(e, t, sci::SC_EOL_CRLF); }

void ProbePaste(ProbeEditor& e, std::string& t) {
  Start(e, "ab", sci::SC_EOL_CRLF, 1);
  e.SetClipboard("x\ny\n");
  Send(e, sci::SCI_PASTE);
  State(e, t);
  Notifications(e, t);
  e.Paint();
  Notifications(e, t);
  Send(e, sci::SCI_SETSEL, 0, 2);
  e.SetClipboard("Q");
  Send(e, sci::SCI_PASTE);
  State(e, t);
  Send(e, sci::SCI_UNDO);
  State(e, t);
}

void ProbeUndo(ProbeEditor& e, std::string& t) {
  Start(e, "", sci::SC_EOL_CRLF, 0);
  Add(t, "canundo=" + std::to_string(Send(e, sci::SCI_CANUNDO)));
  Send(e, sci::SCI_BEGINUNDOACTION);
  e.TypeCharacter('a');
  Replace(e, 1, 1, "bc", false);
  Send(e, sci::SCI_ENDUNDOACTION);
  e.TypeCharacter('d');
  State(e, t);
  e.Notifications().clear();
  Send(e, sci::SCI_UNDO);
  State(e, t);
  Notifications(e, t);
  Send(e, sci::SCI_UNDO);
  State(e, t);
  Notifications(e, t);
  Send(e, sci::SCI_REDO);
  State(e, t);
  Notifications(e, t);
}

void ProbePositions(ProbeEditor& e, std::string& t) {
  Start(e, "  ab\r\n\xC3\xA9z", sci::SC_EOL_CRLF, 0);
  const std::uint32_t reads[][2] = {
      {sci::SCI_GETLINEENDPOSITION, 0}, {sci::SCI_GETLINEENDPOSITION, 1},
      {sci::SCI_POSITIONFROMLINE, 1},   {sci::SCI_POSITIONFROMLINE, 2},
      {sci::SCI_POSITIONFROMLINE, 3},   {sci::SCI_LINEFROMPOSITION, 5},
      {sci::SCI_LINEFROMPOSITION, 6},   {sci::SCI_GETLINEINDENTPOSITION, 0},
      {sci::SCI_GETCHARAT, 2},          {sci::SCI_GETCHARAT, 6},
      {sci::SCI_GETCHARAT, 99},         {sci::SCI_GETLINECOUNT, 0},
      {sci::SCI_GETLENGTH, 0},          {sci::SCI_GETEOLMODE, 0}};
  for (const auto& read : reads) {
    Add(t, std::to_string(read[0]) + "(" + std::to_string(read[1]) +
               ")=" + std::to_string(Send(e, read[0], read[1])));
  }
}

void ProbeSelectionUpdates(ProbeEditor& e, std::string& t) {
  Start(e, "abc def", sci::SC_EOL_LF, 0);
  Send(e, sci::SCI_GOTOPOS, 2);
  e.Paint();
  Notifications(e, t);
  Send(e, sci::SCI_GOTOPOS, 2);
  e.Paint();
  Notifications(e, t);
  Send(e, sci::SCI_SETSEL, 2, 2);
  e.Paint();
  Notifications(e, t);
  Replace(e, 7, 7, "!", false);
  e.Paint();
  Notifications(e, t);
}

const std::vector<Probe> kProbes = {
    {"searches", &ProbeSearches,
     "find (\"[^\"]*\")( *)(\\+) 0..13 -> 5 match=5..11\n"
     "find ab 0..13 -> 6 match=6..8\n"
     "find ^if 14..26 -> 14 match=14..16\n"
     "find ^a 17..26 -> -1\n"
     "find note$ 14..26 -> 22 match=22..26\n"
     "find no$ 14..24 -> -1\n"
     "find [ \t]*; 18..26 -> 18 match=18..21\n"
     "find \\d 27..32 -> 31 match=31..32\n"
     "find [<>=][<>=]? 0..13 -> 3 match=3..4\n"
     "find x* 13..13 -> -1\n"
     "find (zz) 0..32 -> -1\n"
     "target=1..2\n"},
    {"tags", &ProbeTags,
     "find (\"[^\"]*\")( *)(\\+) 0..13 -> 5 match=5..11\n"
     "tag1 len=4 \"\"Ab\"\"\n"
     "tag2 len=1 \" \"\n"
     "tag3 len=1 \"+\"\n"
     "tag4 len=0 \"\"\n"
     "tag0 len=0 \"\"\n"
     "find (q) 0..13 -> -1\n"
     "tag1 len=0 \"\"\n"},
    {"replacements", &ProbeReplacements,
     "find (a)(=)(1) 0..5 -> 0 match=0..3\n"
     "text=a = 1 b caret=7 anchor=7\n"
     "target=0..5\n"
     "text=a = 1  caret=6 anchor=6\n"
     "text=[a = 1  caret=7 anchor=7\n"
     "target=0..1\n"
     "MODIFIED 0x810 pos=0 len=3 lines=0\n"
     "MODIFIED 0x2012 pos=0 len=3 lines=0\n"
     "MODIFIED 0x100000 pos=0 len=5 lines=0\n"
     "MODIFIED 0x410 pos=0 len=5 lines=0\n"
     "MODIFIED 0x11 pos=0 len=5 lines=0\n"
     "MODIFIED 0x810 pos=6 len=1 lines=0\n"
     "MODIFIED 0x2012 pos=6 len=1 lines=0\n"
     "MODIFIED 0x100000 pos=0 len=1 lines=0\n"
     "MODIFIED 0x410 pos=0 len=1 lines=0\n"
     "MODIFIED 0x2011 pos=0 len=1 lines=0\n"},
    {"caret over edits", &ProbeCaretOverEdits,
     "text=01234ab56789 caret=5 anchor=5\n"
     "text=01c234ab56789 caret=6 anchor=6\n"
     "text=01cd234ab56789 caret=7 anchor=4\n"
     "text=01cd234eab56789 caret=7 anchor=4\n"
     "text=01b56789 caret=2 anchor=2\n"
     "text=0xy1b56789 caret=3 anchor=3\n"},
    {"typing", &ProbeTyping,
     "text=axb caret=2 anchor=2\n"
     "MODIFIED 0x100000 pos=1 len=1 lines=0\n"
     "MODIFIED 0x410 pos=1 len=1 lines=0\n"
     "MODIFIED 0x2011 pos=1 len=1 lines=0\n"
     "CHARADDED 120\n"
     "UPDATEUI 1\n"
     "text=ab caret=1 anchor=1\n"
     "MODIFIED 0x810 pos=1 len=1 lines=0\n"
     "MODIFIED 0x2012 pos=1 len=1 lines=0\n"
     "UPDATEUI 3\n"},
    {"enter lf", &ProbeEnterLf,
     "text=a\\nb caret=2 anchor=2\n"
     "eolmode=2\n"
     "MODIFIED 0x100000 pos=1 len=1 lines=0\n"
     "MODIFIED 0x410 pos=1 len=1 lines=0\n"
     "MODIFIED 0x2011 pos=1 len=1 lines=1\n"
     "CHARADDED 10\n"
     "UPDATEUI 3\n"},
    {"enter crlf", &ProbeEnterCrLf,
     "text=a\\r\\nb caret=3 anchor=3\n"
     "eolmode=0\n"
     "MODIFIED 0x100000 pos=1 len=2 lines=0\n"
     "MODIFIED 0x410 pos=1 len=2 lines=0\n"
     "MODIFIED 0x2011 pos=1 len=2 lines=1\n"
     "CHARADDED 13\n"
     "CHARADDED 10\n"
     "UPDATEUI 3\n"},
    {"paste", &ProbePaste,
     "text=ax\\r\\ny\\r\\nb caret=7 anchor=7\n"
     "MODIFIED 0x100000 pos=1 len=6 lines=0\n"
     "MODIFIED 0x410 pos=1 len=6 lines=0\n"
     "MODIFIED 0x2011 pos=1 len=6 lines=2\n"
     "UPDATEUI 3\n"
     "text=Q\\r\\ny\\r\\nb caret=1 anchor=1\n"
     "text=ax\\r\\ny\\r\\nb caret=2 anchor=2\n"},
    {"undo", &ProbeUndo,
     "canundo=0\n"
     "text=adbc caret=2 anchor=2\n"  // the group's insertion at the caret stayed behind it
     "text=abc caret=1 anchor=1\n"
     "MODIFIED 0x820 pos=1 len=1 lines=0\n"
     "MODIFIED 0x122 pos=1 len=1 lines=0\n"
     "text= caret=0 anchor=0\n"
     "MODIFIED 0x820 pos=1 len=2 lines=0\n"
     "MODIFIED 0xa2 pos=1 len=2 lines=0\n"
     "MODIFIED 0x820 pos=0 len=1 lines=0\n"
     "MODIFIED 0x1a2 pos=0 len=1 lines=0\n"
     "text=abc caret=3 anchor=3\n"
     "MODIFIED 0x440 pos=0 len=1 lines=0\n"
     "MODIFIED 0xc1 pos=0 len=1 lines=0\n"
     "MODIFIED 0x440 pos=1 len=2 lines=0\n"
     "MODIFIED 0x1c1 pos=1 len=2 lines=0\n"},
    {"positions", &ProbePositions,
     "2136(0)=4\n"
     "2136(1)=9\n"
     "2167(1)=6\n"
     "2167(2)=9\n"
     "2167(3)=-1\n"
     "2166(5)=0\n"
     "2166(6)=1\n"
     "2128(0)=2\n"
     "2007(2)=97\n"
     "2007(6)=-61\n"
     "2007(99)=0\n"
     "2154(0)=2\n"
     "2006(0)=9\n"
     "2030(0)=0\n"},
    {"selection updates", &ProbeSelectionUpdates,
     "UPDATEUI 2\n"  // a caret move
     "UPDATEUI 2\n"  // SCI_SETSEL always reports, even to the same place
     "MODIFIED 0x100000 pos=7 len=1 lines=0\n"
     "MODIFIED 0x410 pos=7 len=1 lines=0\n"
     "MODIFIED 0x2011 pos=7 len=1 lines=0\n"
     "UPDATEUI 1\n"},
};

std::vector<Notified>* g_notifications = nullptr;

os::LResult RecordingParent(os::Window, std::uint32_t message, os::WParam, os::LParam lParam) {
  if (message == os::kWM_NOTIFY && g_notifications) {
    const auto& scn = *reinterpret_cast<const sci::Notification*>(lParam);
    g_notifications->push_back({scn.nmhdr.code, scn.position, scn.modificationType, scn.length,
                                scn.linesAdded, scn.ch, scn.updated});
  }
  return 0;
}

class HeadlessProbeEditor : public ProbeEditor {
 public:
  HeadlessProbeEditor() {
    os::sim::Reset();
    g_notifications = &notifications_;
    os::sim::WindowSpec params;
    params.className = "ProbeParent";
    params.procedure = &RecordingParent;
    editor_ = std::make_unique<headless::Editor>(os::sim::CreateWindow(params), 1);
  }
  ~HeadlessProbeEditor() override {
    editor_.reset();
    g_notifications = nullptr;
    os::sim::Reset();
  }
  os::Window Window() override { return editor_->Window(); }
  void TypeCharacter(char ch) override { editor_->TypeCharacter(std::string(1, ch)); }
  void PressEnter() override { editor_->KeyDown(headless::kKeyReturn, 0); }
  void PressBackspace() override { editor_->KeyDown(headless::kKeyBack, 0); }
  void Paint() override { editor_->Paint(); }
  void SetClipboard(const std::string& text) override { headless::SetClipboardText(text); }
  std::vector<Notified>& Notifications() override { return notifications_; }

 private:
  std::vector<Notified> notifications_;
  std::unique_ptr<headless::Editor> editor_;
};

class EditorProbeTest : public testing::TestWithParam<Probe> {};

TEST_P(EditorProbeTest, HeadlessGivesTheControlsTranscript) {
  HeadlessProbeEditor editor;
  std::string transcript;
  GetParam().run(editor, transcript);
  EXPECT_EQ(transcript, GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Probes, EditorProbeTest, testing::ValuesIn(kProbes),
                         [](const testing::TestParamInfo<Probe>& info) {
                           std::string name = info.param.name;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
