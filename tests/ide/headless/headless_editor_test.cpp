// The headless editor's message semantics and notifications, as the real control gives them.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ide/headless/editor.h"
#include "ide/lexer.h"
#include "iface/ide.h"
#include "iface/scintilla.h"
#include "os/sim/sim.h"

namespace {

using headless::Editor;

constexpr std::uint32_t kRegex = sci::SCFIND_REGEXP | sci::SCFIND_POSIX;

// A notification as the parent saw it.
struct Seen {
  std::uint32_t code;
  int position;
  int modificationType;
  int length;
  int linesAdded;
  int ch;
  int updated;
  std::string text;
};

// The parent window: records every notification and may react to it.
struct Parent {
  std::vector<Seen> seen;
  std::function<void(const sci::Notification&)> react;
  bool styles = false;  // answers SCN_STYLENEEDED with the IDE's lexer
  Editor* editor = nullptr;
};
Parent* g_parent = nullptr;

os::LResult ParentProc(os::Window, std::uint32_t message, os::WParam, os::LParam lParam) {
  if (message != os::kWM_NOTIFY || !g_parent) return 0;
  const auto& scn = *reinterpret_cast<const sci::Notification*>(lParam);
  Seen seen{scn.nmhdr.code, scn.position, scn.modificationType, scn.length,
            scn.linesAdded, scn.ch,       scn.updated,          ""};
  if (scn.nmhdr.code == sci::SCN_MODIFIED && scn.text) seen.text.assign(scn.text, scn.length);
  g_parent->seen.push_back(seen);
  if (scn.nmhdr.code == sci::SCN_STYLENEEDED && g_parent->styles) {
    Editor& editor = *g_parent->editor;
    const std::int64_t endStyled = editor.Message(sci::SCI_GETENDSTYLED, 0, 0);
    const std::int64_t start = editor.Message(
        sci::SCI_POSITIONFROMLINE, editor.Message(sci::SCI_LINEFROMPOSITION, endStyled, 0), 0);
    const std::string text = editor.TextRange(start, editor.Length());
    std::vector<unsigned char> styles = ide::StyleText(text);
    styles.push_back(0);
    editor.Message(sci::SCI_STARTSTYLING, start, 0);
    editor.Message(sci::SCI_SETSTYLINGEX, text.size(), reinterpret_cast<os::LParam>(styles.data()));
  }
  if (g_parent->react) g_parent->react(scn);
  return 0;
}

class HeadlessEditorTest : public testing::Test {
 protected:
  void SetUp() override {
    os::sim::Reset();
    g_parent = &parent;
    os::sim::WindowSpec params;
    params.className = "Parent";
    params.procedure = &ParentProc;
    parentWindow = os::sim::CreateWindow(params);
    editor = std::make_unique<Editor>(parentWindow, 7);
    parent.editor = editor.get();
  }
  void TearDown() override {
    editor.reset();
    g_parent = nullptr;
    os::sim::Reset();
  }

  os::LResult Send(std::uint32_t message, os::WParam wParam = 0, os::LParam lParam = 0) {
    return os::SendMessage(editor->Window(), message, wParam, lParam);
  }
  void SetText(const std::string& text, int eolMode = sci::SC_EOL_CRLF) {
    Send(sci::SCI_SETEOLMODE, eolMode);
    Send(sci::SCI_SETTEXT, 0, reinterpret_cast<os::LParam>(text.c_str()));
    Send(sci::SCI_EMPTYUNDOBUFFER);
    editor->Paint();
    parent.seen.clear();
  }
  std::vector<std::uint32_t> Codes() const {
    std::vector<std::uint32_t> codes;
    for (const Seen& seen : parent.seen) codes.push_back(seen.code);
    return codes;
  }
  std::vector<int> ModificationFlags() const {
    std::vector<int> flags;
    for (const Seen& seen : parent.seen) {
      if (seen.code == sci::SCN_MODIFIED) flags.push_back(seen.modificationType);
    }
    return flags;
  }
  std::vector<int> CharsAdded() const {
    std::vector<int> chars;
    for (const Seen& seen : parent.seen) {
      if (seen.code == sci::SCN_CHARADDED) chars.push_back(seen.ch);
    }
    return chars;
  }
  std::int64_t Find(const char* pattern, int start, int end, std::uint32_t flags = kRegex,
                    sci::TextToFind* out = nullptr) {
    sci::TextToFind find{{start, end}, pattern, {-1, -1}};
    const std::int64_t found = Send(sci::SCI_FINDTEXT, flags, reinterpret_cast<os::LParam>(&find));
    if (out) *out = find;
    return found;
  }
  std::string Tag(int group) {
    const os::LResult length = Send(sci::SCI_GETTAG, group, 0);
    std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
    Send(sci::SCI_GETTAG, group, reinterpret_cast<os::LParam>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(length));
    return buffer;
  }
  void ReplaceTarget(int start, int end, const char* text, bool pattern = false) {
    Send(sci::SCI_SETTARGETSTART, start);
    Send(sci::SCI_SETTARGETEND, end);
    Send(pattern ? sci::SCI_REPLACETARGETRE : sci::SCI_REPLACETARGET, static_cast<os::WParam>(-1),
         reinterpret_cast<os::LParam>(text));
  }

  Parent parent;
  os::Window parentWindow = nullptr;
  std::unique_ptr<Editor> editor;
};

// Searches through Document::FindText with Scintilla's own engine, case-insensitive.
struct FindCase {
  const char* text;
  const char* pattern;
  int start, end;
  std::int64_t found;
  int matchEnd;
};

class HeadlessFindTest : public HeadlessEditorTest, public testing::WithParamInterface<FindCase> {};

TEST_P(HeadlessFindTest, FindsWithTheControlsEngine) {
  const FindCase& c = GetParam();
  SetText(c.text, sci::SC_EOL_LF);
  sci::TextToFind result{};
  EXPECT_EQ(Find(c.pattern, c.start, c.end, kRegex, &result), c.found) << c.pattern;
  if (c.found >= 0) {
    EXPECT_EQ(result.chrgText.cpMin, c.found);
    EXPECT_EQ(result.chrgText.cpMax, c.matchEnd);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, HeadlessFindTest,
    testing::Values(FindCase{"x = aab", "(a+)b", 0, 7, 4, 7},
                    FindCase{"x = AAB", "a+b", 0, 7, 4, 7},  // no case
                    FindCase{"abc\ndef", "^def", 4, 7, 4, 7},
                    FindCase{"abc\ndef", "^ef", 5, 7, -1, 0},  // ^ only at a line start
                    FindCase{"abc\ndef", "c$", 0, 3, 2, 3},
                    FindCase{"abc\ndef", "b$", 0, 2, -1, 0},  // $ only at a line end
                    FindCase{"a  ;b", "[ \t]*;", 0, 5, 1, 4}, FindCase{"x1 = 2", "\\d", 0, 6, 1, 2},
                    FindCase{"abc", "z", 0, 3, -1, 0},
                    FindCase{"abc\ndef", "c*", 3, 3, -1, 0},  // an empty range
                    // A range end or a match end inside a character or between CR and LF is
                    // moved past it.
                    FindCase{"\xC3\xA9 b", ".", 1, 4, 2, 3},
                    FindCase{"a\xC3\xA9", "a.", 0, 2, 0, 3}, FindCase{"a\r\nb", "a$", 0, 2, 0, 1}));

TEST_F(HeadlessEditorTest, FindTextDoesNotMoveTheTarget) {
  SetText("hello world");
  Send(sci::SCI_SETTARGETSTART, 1);
  Send(sci::SCI_SETTARGETEND, 2);
  EXPECT_EQ(Find("wor", 0, 11), 6);
  EXPECT_EQ(Send(sci::SCI_GETTARGETSTART), 1);
  EXPECT_EQ(Send(sci::SCI_GETTARGETEND), 2);
}

TEST_F(HeadlessEditorTest, TagsComeFromTheLastRegexSearch) {
  SetText("x$ = \"ab\" + cd");
  ASSERT_EQ(Find("(\"[^\"]*\")( *)(\\+)", 0, 14), 5);
  EXPECT_EQ(Send(sci::SCI_GETTAG, 1, 0), 4);  // the length with a null buffer
  EXPECT_EQ(Tag(1), "\"ab\"");
  EXPECT_EQ(Tag(2), " ");
  EXPECT_EQ(Tag(3), "+");
  EXPECT_EQ(Tag(4), "");
  EXPECT_EQ(Send(sci::SCI_GETTAG, 0, 0), 0);
  EXPECT_EQ(Send(sci::SCI_GETTAG, 10, 0), 0);
  // The control's engine clears its groups when a search starts, also one that fails.
  EXPECT_EQ(Find("(zz)", 0, 14), -1);
  EXPECT_EQ(Tag(1), "");
}

// The control has one engine: its groups are those of the last search that ran it, whatever the
// pattern, also where a later search never reached the engine (`$` short of a line's end).
TEST_F(HeadlessEditorTest, TagsOfOneEngineForEveryPattern) {
  SetText("ab cd", sci::SC_EOL_LF);
  ASSERT_EQ(Find("(a)(b)", 0, 5), 0);
  ASSERT_EQ(Find("(c)(d)", 0, 5), 3);
  ASSERT_EQ(Find("(a)(b)", 0, 5), 0);
  EXPECT_EQ(Tag(2), "b");
  EXPECT_EQ(Find("([a-z]+)$", 0, 2), -1);
  EXPECT_EQ(Tag(2), "b");
  ReplaceTarget(3, 5, "\\2\\1", true);
  EXPECT_EQ(editor->Text(), "ab ba");
}

TEST_F(HeadlessEditorTest, ReplaceTargetByTemplateUsesTheGroups) {
  SetText("a=1");
  ASSERT_EQ(Find("(a)(=)(1)", 0, 3), 0);
  ReplaceTarget(0, 3, "\\1 \\2 \\3", true);
  EXPECT_EQ(editor->Text(), "a = 1");
  EXPECT_EQ(Send(sci::SCI_GETTARGETSTART), 0);
  EXPECT_EQ(Send(sci::SCI_GETTARGETEND), 5);
}

TEST_F(HeadlessEditorTest, ReplaceTargetWithEmptyTextDeletes) {
  SetText("abcdef");
  ReplaceTarget(1, 3, "");
  EXPECT_EQ(editor->Text(), "adef");
}

// Where the caret ends after an edit of the target.
struct CaretCase {
  const char* name;
  int caret, anchor;
  int start, end;
  const char* text;
  int caretAfter, anchorAfter;
};

class HeadlessCaretTest : public HeadlessEditorTest,
                          public testing::WithParamInterface<CaretCase> {};

TEST_P(HeadlessCaretTest, MovesLikeTheControl) {
  const CaretCase& c = GetParam();
  SetText("0123456789");
  Send(sci::SCI_SETSEL, c.anchor, c.caret);
  ReplaceTarget(c.start, c.end, c.text);
  EXPECT_EQ(Send(sci::SCI_GETCURRENTPOS), c.caretAfter) << c.name;
  EXPECT_EQ(Send(sci::SCI_GETANCHOR), c.anchorAfter) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Edits, HeadlessCaretTest,
    testing::Values(CaretCase{"insert at caret stays in front", 5, 5, 5, 5, "xy", 5, 5},
                    CaretCase{"insert before caret moves it", 5, 5, 2, 2, "xy", 7, 7},
                    CaretCase{"insert after caret", 5, 5, 7, 7, "xy", 5, 5},
                    CaretCase{"delete before caret", 5, 5, 1, 3, "", 3, 3},
                    CaretCase{"delete around caret", 5, 5, 4, 8, "", 4, 4},
                    CaretCase{"insert at selection start", 6, 3, 3, 3, "xy", 8, 5},
                    CaretCase{"insert at selection end", 6, 3, 6, 6, "xy", 6, 3},
                    CaretCase{"replace over caret", 5, 5, 3, 6, "abcd", 3, 3}));

TEST_F(HeadlessEditorTest, AddTextMovesTheCaret) {
  SetText("ab");
  Send(sci::SCI_GOTOPOS, 1);
  Send(sci::SCI_ADDTEXT, 2, reinterpret_cast<os::LParam>("xyz"));
  EXPECT_EQ(editor->Text(), "axyb");
  EXPECT_EQ(Send(sci::SCI_GETCURRENTPOS), 3);
}

TEST_F(HeadlessEditorTest, TypingACharacterReportsInsertThenCharAdded) {
  SetText("ab");
  Send(sci::SCI_GOTOPOS, 1);
  editor->Paint();
  parent.seen.clear();
  editor->TypeCharacter("x");
  EXPECT_EQ(ModificationFlags(), (std::vector<int>{0x100000, 0x410, 0x2011}));
  ASSERT_EQ(parent.seen.size(), 4u);
  EXPECT_EQ(parent.seen[2].position, 1);
  EXPECT_EQ(parent.seen[2].length, 1);
  EXPECT_EQ(parent.seen[2].text, "x");
  EXPECT_EQ(parent.seen[3].code, sci::SCN_CHARADDED);
  EXPECT_EQ(parent.seen[3].ch, 'x');
  EXPECT_EQ(editor->Text(), "axb");
  EXPECT_EQ(editor->Caret(), 2);
}

TEST_F(HeadlessEditorTest, TypedUtf8CharacterReportsItsCodePoint) {
  SetText("");
  editor->TypeCharacter("\xC3\xA9");
  EXPECT_EQ(CharsAdded(), (std::vector<int>{0xE9}));
  EXPECT_EQ(editor->Caret(), 2);
}

struct EnterCase {
  int eolMode;
  const char* inserted;
  std::vector<int> chars;
};

class HeadlessEnterTest : public HeadlessEditorTest,
                          public testing::WithParamInterface<EnterCase> {};

TEST_P(HeadlessEnterTest, InsertsTheLineEndThenOneCharAddedPerCharacter) {
  const EnterCase& c = GetParam();
  SetText("ab", c.eolMode);
  Send(sci::SCI_GOTOPOS, 1);
  parent.seen.clear();
  ASSERT_TRUE(editor->KeyDown(headless::kKeyReturn, 0));
  EXPECT_EQ(editor->Text(), std::string("a") + c.inserted + "b");
  EXPECT_EQ(ModificationFlags(), (std::vector<int>{0x100000, 0x410, 0x2011}));
  EXPECT_EQ(parent.seen[2].linesAdded, 1);
  EXPECT_EQ(parent.seen[2].text, c.inserted);
  EXPECT_EQ(CharsAdded(), c.chars);
  EXPECT_EQ(editor->Caret(), 1 + static_cast<int>(std::strlen(c.inserted)));
  // The modifications all come before the first character notification.
  EXPECT_EQ(parent.seen[3].code, sci::SCN_CHARADDED);
  // Enter also invalidates the selection: the update reports content and selection.
  parent.seen.clear();
  editor->Paint();
  ASSERT_FALSE(parent.seen.empty());
  EXPECT_EQ(parent.seen.back().code, sci::SCN_UPDATEUI);
  EXPECT_EQ(parent.seen.back().updated, 3);
}

INSTANTIATE_TEST_SUITE_P(LineEnds, HeadlessEnterTest,
                         testing::Values(EnterCase{sci::SC_EOL_LF, "\n", {10}},
                                         EnterCase{sci::SC_EOL_CRLF, "\r\n", {13, 10}},
                                         EnterCase{sci::SC_EOL_CR, "\r", {13}}));

TEST_F(HeadlessEditorTest, EolModeIsReadable) {
  SetText("", sci::SC_EOL_LF);
  EXPECT_EQ(Send(sci::SCI_GETEOLMODE), sci::SC_EOL_LF);
  Send(sci::SCI_SETEOLMODE, sci::SC_EOL_CRLF);
  EXPECT_EQ(Send(sci::SCI_GETEOLMODE), sci::SC_EOL_CRLF);
}

TEST_F(HeadlessEditorTest, CtrlEnterDoesNothingUntilBound) {
  SetText("ab", sci::SC_EOL_LF);
  Send(sci::SCI_GOTOPOS, 1);
  EXPECT_FALSE(editor->KeyDown(headless::kKeyReturn, headless::kModCtrl));
  EXPECT_EQ(editor->Text(), "ab");
  Send(sci::SCI_ASSIGNCMDKEY, 0x2000D, sci::SCI_NEWLINE);
  EXPECT_TRUE(editor->KeyDown(headless::kKeyReturn, headless::kModCtrl));
  EXPECT_EQ(editor->Text(), "a\nb");
  EXPECT_EQ(CharsAdded(), (std::vector<int>{10}));
}

TEST_F(HeadlessEditorTest, PasteConvertsLineEndsAndPutsTheCaretAfter) {
  SetText("ab");
  Send(sci::SCI_GOTOPOS, 1);
  editor->Paint();
  parent.seen.clear();
  headless::SetClipboardText("x\ny\n");
  Send(sci::SCI_PASTE);
  EXPECT_EQ(editor->Text(), "ax\r\ny\r\nb");
  EXPECT_EQ(editor->Caret(), 7);
  ASSERT_EQ(ModificationFlags().size(), 3u);
  EXPECT_EQ(parent.seen[2].linesAdded, 2);
  EXPECT_TRUE(CharsAdded().empty());
  parent.seen.clear();
  editor->Paint();
  EXPECT_EQ(parent.seen.back().updated, 3);
}

TEST_F(HeadlessEditorTest, PasteReplacesTheSelectionInOneUndoStep) {
  SetText("abcd");
  Send(sci::SCI_SETSEL, 1, 3);
  headless::SetClipboardText("XY");
  Send(sci::SCI_PASTE);
  EXPECT_EQ(editor->Text(), "aXYd");
  Send(sci::SCI_UNDO);
  EXPECT_EQ(editor->Text(), "abcd");
}

TEST_F(HeadlessEditorTest, UndoReportsUndoFlagsAndGroupsAreOneStep) {
  SetText("");
  Send(sci::SCI_BEGINUNDOACTION);
  editor->TypeCharacter("a");
  ReplaceTarget(1, 1, "bc");
  Send(sci::SCI_ENDUNDOACTION);
  EXPECT_EQ(editor->Text(), "abc");
  parent.seen.clear();
  Send(sci::SCI_UNDO);
  EXPECT_EQ(editor->Text(), "");
  for (int flags : ModificationFlags()) {
    EXPECT_EQ(flags & sci::SC_PERFORMED_USER, 0);
    if (flags & sci::SC_MOD_DELETETEXT) {
      EXPECT_NE(flags & sci::SC_PERFORMED_UNDO, 0);
    }
  }
  parent.seen.clear();
  Send(sci::SCI_REDO);
  EXPECT_EQ(editor->Text(), "abc");
  bool sawRedo = false;
  for (int flags : ModificationFlags()) sawRedo = sawRedo || (flags & sci::SC_PERFORMED_REDO);
  EXPECT_TRUE(sawRedo);
}

TEST_F(HeadlessEditorTest, EmptyUndoBufferForgetsHistory) {
  SetText("abc");
  EXPECT_EQ(Send(2174 /* SCI_CANUNDO */), 0);
  Send(sci::SCI_UNDO);
  EXPECT_EQ(editor->Text(), "abc");
}

TEST_F(HeadlessEditorTest, ChangeDuringModificationNotificationIsIgnored) {
  SetText("ab");
  bool tried = false;
  parent.react = [&](const sci::Notification& scn) {
    if (scn.nmhdr.code == sci::SCN_MODIFIED && (scn.modificationType & sci::SC_MOD_INSERTTEXT) &&
        !tried) {
      tried = true;
      ReplaceTarget(0, 0, "zz");
    }
  };
  Send(sci::SCI_GOTOPOS, 2);
  editor->TypeCharacter("c");
  EXPECT_TRUE(tried);
  EXPECT_EQ(editor->Text(), "abc");
}

TEST_F(HeadlessEditorTest, ChangesMadeWhileUpdateIsHandledAreNotReportedLater) {
  SetText("abc");
  parent.react = [&](const sci::Notification& scn) {
    if (scn.nmhdr.code == sci::SCN_UPDATEUI) Send(sci::SCI_GOTOPOS, 1);
  };
  editor->TypeCharacter("x");
  EXPECT_TRUE(editor->Paint());
  EXPECT_EQ(editor->Caret(), 1);
  parent.react = nullptr;
  parent.seen.clear();
  EXPECT_FALSE(editor->NeedsPaint());
  EXPECT_FALSE(editor->Paint());
  EXPECT_TRUE(parent.seen.empty());
}

TEST_F(HeadlessEditorTest, UpdateFlagsSaySelectionOrContent) {
  parent.styles = true;
  SetText("abc");
  Send(sci::SCI_GOTOPOS, 2);
  parent.seen.clear();
  editor->Paint();
  ASSERT_EQ(parent.seen.size(), 1u);
  EXPECT_EQ(parent.seen[0].updated, sci::SC_UPDATE_SELECTION);
  editor->TypeCharacter("x");  // typing alone moves no selection in the control's sense
  parent.seen.clear();
  editor->Paint();
  EXPECT_EQ(parent.seen.back().updated, sci::SC_UPDATE_CONTENT);
  Send(sci::SCI_GOTOPOS, 3);  // unchanged: nothing to report
  EXPECT_FALSE(editor->NeedsPaint());
}

TEST_F(HeadlessEditorTest, StylesComeFromTheContainerAtPaint) {
  parent.styles = true;
  SetText("If a ; c");
  EXPECT_EQ(Send(sci::SCI_GETSTYLEAT, 0), sci::STYLE_KEYWORD);
  EXPECT_EQ(Send(sci::SCI_GETSTYLEAT, 5), sci::STYLE_COMMENT);
  Send(sci::SCI_GOTOPOS, 8);
  int styleWhileAdded = -1;
  parent.react = [&](const sci::Notification& scn) {
    if (scn.nmhdr.code == sci::SCN_CHARADDED)
      styleWhileAdded = static_cast<int>(Send(sci::SCI_GETSTYLEAT, 8));
  };
  editor->TypeCharacter("x");
  EXPECT_EQ(styleWhileAdded, 0);  // not yet styled
  // Styling happens before the update is reported.
  parent.seen.clear();
  editor->Paint();
  ASSERT_GE(parent.seen.size(), 2u);
  EXPECT_EQ(parent.seen.front().code, sci::SCN_STYLENEEDED);
  EXPECT_EQ(parent.seen.back().code, sci::SCN_UPDATEUI);
  EXPECT_EQ(Send(sci::SCI_GETSTYLEAT, 8), sci::STYLE_COMMENT);
}

TEST_F(HeadlessEditorTest, BackspaceAndDeleteTakeALineEndWhole) {
  SetText("a\r\nb");
  Send(sci::SCI_GOTOPOS, 3);
  editor->KeyDown(headless::kKeyBack, 0);
  EXPECT_EQ(editor->Text(), "ab");
  EXPECT_EQ(editor->Caret(), 1);
  SetText("a\r\nb");
  Send(sci::SCI_GOTOPOS, 1);
  editor->KeyDown(headless::kKeyDelete, 0);
  EXPECT_EQ(editor->Text(), "ab");
  EXPECT_EQ(editor->Caret(), 1);
}

TEST_F(HeadlessEditorTest, ArrowsHomeAndEnd) {
  SetText("  abc\r\nx\r\nlonger");
  Send(sci::SCI_GOTOPOS, 4);
  editor->KeyDown(headless::kKeyDown, 0);
  EXPECT_EQ(editor->Caret(), 8);  // the short line's end
  editor->KeyDown(headless::kKeyDown, 0);
  EXPECT_EQ(editor->Caret(), 14);  // the column is kept
  editor->KeyDown(headless::kKeyUp, 0);
  editor->KeyDown(headless::kKeyUp, 0);
  EXPECT_EQ(editor->Caret(), 4);
  editor->KeyDown(headless::kKeyHome, 0);
  EXPECT_EQ(editor->Caret(), 2);
  editor->KeyDown(headless::kKeyHome, 0);
  EXPECT_EQ(editor->Caret(), 0);
  editor->KeyDown(headless::kKeyEnd, 0);
  EXPECT_EQ(editor->Caret(), 5);
  editor->KeyDown(headless::kKeyRight, 0);
  EXPECT_EQ(editor->Caret(), 7);  // over CR LF at once
  editor->KeyDown(headless::kKeyLeft, 0);
  EXPECT_EQ(editor->Caret(), 5);
}

TEST_F(HeadlessEditorTest, VerticalMovesKeepTheColumnOverTabsAndWideCharacters) {
  Send(2036 /* SCI_SETTABWIDTH */, 4);
  SetText("abcdef\r\n\tx\r\n\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9z");
  Send(sci::SCI_GOTOPOS, 5);  // column 5
  editor->KeyDown(headless::kKeyDown, 0);
  EXPECT_EQ(editor->Caret(), 10);  // after the tab (column 4) and x (column 5)
  editor->KeyDown(headless::kKeyDown, 0);
  EXPECT_EQ(editor->Caret(), 21);  // four two-byte characters and z: column 5
  editor->KeyDown(headless::kKeyUp, 0);
  editor->KeyDown(headless::kKeyUp, 0);
  EXPECT_EQ(editor->Caret(), 5);
}

TEST_F(HeadlessEditorTest, LinePositionsLikeTheControl) {
  SetText("  ab\r\ncd");
  EXPECT_EQ(Send(sci::SCI_GETLINEENDPOSITION, 0), 4);
  EXPECT_EQ(Send(sci::SCI_POSITIONFROMLINE, 1), 6);
  EXPECT_EQ(Send(sci::SCI_POSITIONFROMLINE, 5), -1);
  EXPECT_EQ(Send(sci::SCI_LINEFROMPOSITION, 7), 1);
  EXPECT_EQ(Send(sci::SCI_GETLINEINDENTPOSITION, 0), 2);
  EXPECT_EQ(Send(sci::SCI_GETCHARAT, 2), 'a');
  EXPECT_EQ(Send(sci::SCI_GETCHARAT, 99), 0);
  EXPECT_EQ(Send(sci::SCI_GETLINECOUNT), 2);
}

// A line's bounds, looked up before an edit (also by the parent while the edit is reported),
// are those of the text as it is after it: lines that an edit moves, splits or joins, a lone CR
// that an inserted LF joins to the line end before it.
TEST_F(HeadlessEditorTest, LinePositionsFollowEveryEdit) {
  const struct {
    const char* text;
    int start, end;  // the target replaced
    const char* replacement;
    int line;  // its start, its end, the line of its start, and a search for the whole line
    int lineStart, lineEnd;
  } cases[] = {
      {"ab\r\ncd\r\nef", 4, 4, "xx", 1, 4, 8}, {"ab\r\ncd\r\nef", 1, 1, "xx", 1, 6, 8},
      {"ab\r\ncd", 5, 5, "\r\n", 2, 7, 8},     {"ab\r\ncd", 2, 4, "", 0, 0, 4},
      {"ab\rcd", 3, 3, "\n", 1, 4, 6},         {"ab\ncd", 2, 3, "", 0, 0, 4},
  };
  for (const auto& c : cases) {
    SetText(c.text);
    auto lookUp = [&] {
      Send(sci::SCI_LINEFROMPOSITION, c.start);
      Send(sci::SCI_GETLINEENDPOSITION, c.line);
      Find("^.*$", c.start, c.start);
    };
    lookUp();
    // The parent looks before the change, and reads the bounds when the change is reported.
    std::int64_t reportedStart = -1, reportedEnd = -1;
    parent.react = [&](const sci::Notification& scn) {
      if (scn.nmhdr.code != sci::SCN_MODIFIED) return;
      if (scn.modificationType & (sci::SC_MOD_INSERTTEXT | sci::SC_MOD_DELETETEXT)) {
        reportedStart = Send(sci::SCI_POSITIONFROMLINE, c.line);
        reportedEnd = Send(sci::SCI_GETLINEENDPOSITION, c.line);
      } else {
        lookUp();
      }
    };
    ReplaceTarget(c.start, c.end, c.replacement);
    parent.react = nullptr;
    EXPECT_EQ(reportedStart, c.lineStart) << c.text;
    EXPECT_EQ(reportedEnd, c.lineEnd) << c.text;
    EXPECT_EQ(Send(sci::SCI_POSITIONFROMLINE, c.line), c.lineStart) << c.text;
    EXPECT_EQ(Send(sci::SCI_GETLINEENDPOSITION, c.line), c.lineEnd) << c.text;
    EXPECT_EQ(Send(sci::SCI_LINEFROMPOSITION, c.lineStart), c.line) << c.text;
    sci::TextToFind found{};
    EXPECT_EQ(Find("^.*$", c.lineStart, c.lineEnd, kRegex, &found), c.lineStart) << c.text;
    EXPECT_EQ(found.chrgText.cpMax, c.lineEnd) << c.text;
  }
}

TEST_F(HeadlessEditorTest, HighBytesReadAsNegativeCharacters) {
  SetText("\xC3\xA9");
  EXPECT_EQ(Send(sci::SCI_GETCHARAT, 0), -61);
}

TEST_F(HeadlessEditorTest, CaretAndIndicatorPropertiesAreStored) {
  struct Property {
    std::uint32_t set, get;
    os::WParam wParam;
    os::LParam value;
  };
  const Property properties[] = {
      {sci::SCI_SETCARETWIDTH, sci::SCI_GETCARETWIDTH, 3, 3},
      {sci::SCI_INDICSETSTYLE, sci::SCI_INDICGETSTYLE, 2, 7},
      {sci::SCI_INDICSETFORE, sci::SCI_INDICGETFORE, 2, 0x123456},
      {sci::SCI_INDICSETALPHA, sci::SCI_INDICGETALPHA, 2, 170},
      {sci::SCI_INDICSETOUTLINEALPHA, sci::SCI_INDICGETOUTLINEALPHA, 2, 90},
  };
  for (const Property& p : properties) {
    if (p.set == sci::SCI_SETCARETWIDTH) {
      Send(p.set, static_cast<os::WParam>(p.value));
      EXPECT_EQ(Send(p.get), p.value);
    } else {
      Send(p.set, p.wParam, p.value);
      EXPECT_EQ(Send(p.get, p.wParam), p.value) << p.get;
    }
  }
  EXPECT_EQ(Send(sci::SCI_INDICGETFORE, 1), 0xFF0000);  // the control's defaults
  Send(sci::SCI_SETCARETLINEVISIBLEALWAYS, 1);
  EXPECT_EQ(Send(sci::SCI_GETCARETLINEVISIBLEALWAYS), 1);
  EXPECT_EQ(Send(sci::SCI_INDICGETSTYLE, 0), 1);
}

TEST_F(HeadlessEditorTest, IndicatorRangesAreKeptInTheDocument) {
  SetText("abcdef");
  Send(sci::SCI_SETINDICATORCURRENT, 2);
  Send(sci::SCI_INDICATORFILLRANGE, 1, 2);
  EXPECT_EQ(Send(sci::SCI_INDICATORVALUEAT, 2, 1), 1);
  EXPECT_EQ(Send(sci::SCI_INDICATORVALUEAT, 2, 3), 0);
  EXPECT_EQ(Send(sci::SCI_INDICATORALLONFOR, 2), 1 << 2);
}

TEST_F(HeadlessEditorTest, UnknownMessagesAnswerZeroAndAreReported) {
  std::vector<std::uint32_t> unknown;
  headless::SetUnknownMessageReporter(
      [&](os::Window, std::uint32_t message) { unknown.push_back(message); });
  EXPECT_EQ(Send(2999, 1, 2), 0);
  headless::SetUnknownMessageReporter(nullptr);
  EXPECT_EQ(unknown, (std::vector<std::uint32_t>{2999}));
}

TEST_F(HeadlessEditorTest, FocusIsReportedOncePerChange) {
  editor->SetFocus(true);
  editor->SetFocus(true);
  editor->SetFocus(false);
  EXPECT_EQ(Codes(), (std::vector<std::uint32_t>{sci::SCN_FOCUSIN, 2029}));
}

TEST_F(HeadlessEditorTest, NotificationsNameTheEditor) {
  const os::Window window = editor->Window();
  std::vector<os::Window> from;
  parent.react = [&](const sci::Notification& scn) { from.push_back(scn.nmhdr.hwndFrom); };
  editor->TypeCharacter("a");
  ASSERT_FALSE(from.empty());
  for (os::Window w : from) EXPECT_EQ(w, window);
  EXPECT_EQ(os::GetClassName(window, 1000), "Scintilla");
}

}  // namespace
