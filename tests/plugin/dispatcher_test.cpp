// The hook dispatcher: which helpers run on which notification, the deferred caret shift and
// anchor, the re-indent sequence, paste handling, undo grouping and the line-end rule.

#include "plugin/dispatcher.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "os/sim/sim.h"
#include "plugin/editor_access.h"
#include "plugin/exports.h"
#include "plugin/plugin_frame.h"
#include "tests/plugin/fake_editor.h"

namespace {

// What the dispatcher called, in order.
struct Call {
  std::string what;
  int ch;
  std::int64_t a, b;
};
std::vector<Call> g_calls;
// Optional action of a recording helper (for edits of the plugin's own).
void (*g_onLineBreak)(const HookContext&, const CharacterEvent&) = nullptr;
void (*g_onQuote)(const HookContext&, const CharacterEvent&) = nullptr;

void RecordSchedule(const HookContext&, std::int64_t first, std::int64_t last, bool defer) {
  g_calls.push_back({defer ? "schedule-defer" : "schedule", 0, first, last});
}
void RecordFlush(const HookContext&) { g_calls.push_back({"flush", 0, -1, -1}); }
void RecordDigit(const HookContext&, const CharacterEvent& e) {
  g_calls.push_back({"digit", e.ch, e.line, e.pos});
}
void RecordQuote(const HookContext& c, const CharacterEvent& e) {
  g_calls.push_back({"quote", e.ch, e.line, e.pos});
  if (g_onQuote) g_onQuote(c, e);
}
void RecordPlus(const HookContext&, const CharacterEvent& e) {
  g_calls.push_back({"plus", e.ch, e.line, e.pos});
}
void RecordStringBreak(const HookContext& c, const CharacterEvent& e) {
  g_calls.push_back({"string-break", e.ch, e.line, e.pos});
  if (g_onLineBreak) g_onLineBreak(c, e);
}
void RecordCommentBreak(const HookContext&, const CharacterEvent& e) {
  g_calls.push_back({"comment-break", e.ch, e.line, e.pos});
}
void RecordCodeBreak(const HookContext&, const CharacterEvent& e) {
  g_calls.push_back({"code-break", e.ch, e.line, e.pos});
}
void RecordFormFeed(const HookContext&, const CharacterEvent& e) {
  g_calls.push_back({"form-feed", e.ch, e.line, e.pos});
}
void RecordOptionChanges(const HookContext&) { g_calls.push_back({"options", 0, 0, 0}); }
void RecordFocusOut(const HookContext&) { g_calls.push_back({"focus-out", 0, 0, 0}); }
void RecordFocus(const HookContext&) { g_calls.push_back({"focus", 0, 0, 0}); }
void RecordHighlight(const HookContext&) { g_calls.push_back({"highlight", 0, 0, 0}); }

int CountCalls(const std::string& what) {
  int n = 0;
  for (const Call& c : g_calls) n += c.what == what ? 1 : 0;
  return n;
}

class DispatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ide = &StartFakeIde();
    editor = ide->editors[0];
    g_calls.clear();
    g_onLineBreak = nullptr;
    g_onQuote = nullptr;
    DispatchedHelperTable() = DispatchedHelpers{
        RecordFocus,    RecordHighlight,     RecordSchedule,    RecordFlush,        RecordDigit,
        RecordQuote,    RecordPlus,          RecordStringBreak, RecordCommentBreak, RecordCodeBreak,
        RecordFormFeed, RecordOptionChanges, RecordFocusOut};
    os::sim::SetClock(1000);
    NotifyUpdateUi(*editor, 0);  // the IDE and the editor are known
    g_calls.clear();
  }
  void TearDown() override { StopFakeIde(); }

  HookContext Context() {
    HookContext context;
    context.ideWindow = ide->main;
    context.editor = editor->window;
    return context;
  }

  FakeIde* ide = nullptr;
  FakeEditor* editor = nullptr;
};

// Which helper a typed character starts.
TEST_F(DispatcherTest, CharacterHandlingStartsOneHelperGroup) {
  struct Case {
    const char* typed;
    std::vector<std::string> helpers;
  };
  const Case cases[] = {
      {"7", {"digit"}},      {"\"", {"quote"}}, {"+", {"plus"}},
      {"\f", {"form-feed"}}, {"a", {}},         {";", {}},
  };
  for (const Case& c : cases) {
    SetText(*editor, "x", 1);
    g_calls.clear();
    TypeText(*editor, c.typed);
    std::vector<std::string> helpers;
    for (const Call& call : g_calls) {
      if (call.what != "schedule-defer" && call.what != "flush" && call.what != "highlight" &&
          call.what != "options") {
        helpers.push_back(call.what);
      }
    }
    EXPECT_EQ(helpers, c.helpers) << c.typed;
    EXPECT_EQ(CountCalls("schedule-defer"), 1) << c.typed;
  }
}

TEST_F(DispatcherTest, CharacterOutsideAsciiRegistersNoLine) {
  SetText(*editor, "x", 1);
  InsertByUser(*editor, 1, "\xC3\xA9");
  NotifyCharAdded(*editor, 0xE9);
  EXPECT_EQ(CountCalls("schedule-defer"), 0);
  NotifyCharAdded(*editor, 127);
  NotifyCharAdded(*editor, 9);
  EXPECT_EQ(CountCalls("schedule-defer"), 2);
}

TEST_F(DispatcherTest, HelpersGetTheLineOfTheInsertionMeasuredOnce) {
  SetText(*editor, "ab\r\ncd", 6);
  TypeText(*editor, "5");
  ASSERT_EQ(CountCalls("digit"), 1);
  for (const Call& c : g_calls) {
    if (c.what == "digit") {
      EXPECT_EQ(c.a, 1);  // line
      EXPECT_EQ(c.b, 6);  // insertion position
    }
  }
}

// Enter reports 13 and 10 in CR LF mode: the line-break helpers run once, on the last
// character of the line end, in every mode; each character still registers its line.
TEST_F(DispatcherTest, LineBreakHelpersRunOncePerLineBreakInEveryMode) {
  struct Case {
    int mode;
    int expectedCh;
    int registrations;
  };
  for (const Case& c :
       {Case{sci::SC_EOL_CRLF, 10, 2}, Case{sci::SC_EOL_LF, 10, 1}, Case{sci::SC_EOL_CR, 13, 1}}) {
    SetText(*editor, "abc", 3);
    editor->eolMode = c.mode;
    g_calls.clear();
    PressEnter(*editor);
    EXPECT_EQ(CountCalls("string-break"), 1) << c.mode;
    EXPECT_EQ(CountCalls("comment-break"), 1) << c.mode;
    EXPECT_EQ(CountCalls("schedule-defer"), c.registrations) << c.mode;
    for (const Call& call : g_calls) {
      if (call.what == "string-break") {
        EXPECT_EQ(call.ch, c.expectedCh) << c.mode;
        EXPECT_EQ(call.a, 0) << "the old line";
      }
    }
    // String helpers first, then comment helpers.
    std::vector<std::string> order;
    for (const Call& call : g_calls) {
      if (call.what.find("break") != std::string::npos) order.push_back(call.what);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"string-break", "comment-break", "code-break"}));
  }
}

TEST_F(DispatcherTest, DisplayUpdateStepsRunInOrder) {
  g_calls.clear();
  NotifyUpdateUi(*editor, sci::SC_UPDATE_SELECTION);
  ASSERT_EQ(g_calls.size(), 3u);
  EXPECT_EQ(g_calls[0].what, "options");
  EXPECT_EQ(g_calls[1].what, "highlight");
  EXPECT_EQ(g_calls[2].what, "flush");
}

TEST_F(DispatcherTest, FocusAppliesTheEditorSettings) {
  Focus(*editor);
  EXPECT_EQ(CountCalls("focus"), 1);
}

// Ctrl+D types the form feed the plugin replaces only while the editor has the focus: a host
// that ends (its tray menu takes the focus first) leaves the key as the editor had it.
TEST_F(DispatcherTest, CtrlDIsBoundToTheFormFeedWhileTheEditorHasTheFocus) {
  DispatchedHelperTable() = ShippedHelpers();
  PublishSetting(*ide, "CodeHelpers", "UseCtrlD", 1);
  const auto ctrlDCommands = [&] {
    std::vector<std::intptr_t> commands;
    for (const FakeEditor::Received& r : editor->received) {
      if (r.message == sci::SCI_ASSIGNCMDKEY && r.wParam == ('D' | (2u << 16)))
        commands.push_back(r.lParam);
    }
    return commands;
  };
  const auto loseFocus = [&] {
    sci::Notification n{};
    n.nmhdr.hwndFrom = editor->window;
    n.nmhdr.code = sci::SCN_FOCUSOUT;
    os::SendMessage(ide->main, os::kWM_NOTIFY, 0, reinterpret_cast<os::LParam>(&n));
  };
  using Commands = std::vector<std::intptr_t>;
  Focus(*editor);
  EXPECT_EQ(ctrlDCommands(), Commands{sci::SCI_FORMFEED});
  loseFocus();
  EXPECT_EQ(ctrlDCommands(), (Commands{sci::SCI_FORMFEED, sci::SCI_SELECTIONDUPLICATE}));
  loseFocus();
  EXPECT_EQ(ctrlDCommands().size(), 2u) << "given back once";
  Focus(*editor);
  EXPECT_EQ(ctrlDCommands().back(), sci::SCI_FORMFEED);
}

TEST_F(DispatcherTest, KeyStateIsReadOnContentUpdatesOnly) {
  os::sim::SetKeyDown(os::kVK_CONTROL, true);
  NotifyUpdateUi(*editor, sci::SC_UPDATE_SELECTION);
  EXPECT_EQ(ReadKeyState(0), 0);
  NotifyUpdateUi(*editor, sci::SC_UPDATE_CONTENT);
  EXPECT_NE(ReadKeyState(0), 0);
  os::sim::SetKeyDown(os::kVK_CONTROL, false);
  EXPECT_NE(ReadKeyState(0), 0) << "0 returns the stored state";
  EXPECT_EQ(ReadKeyState(os::kVK_CONTROL), 0);
}

TEST_F(DispatcherTest, TypingIntervalPerCharacter) {
  os::sim::SetClock(5000);
  EXPECT_EQ(TypingInterval('"'), 5000);
  os::sim::SetClock(5300);
  EXPECT_EQ(TypingInterval('+'), 5300);
  EXPECT_EQ(TypingGap('+', '"'), 300);
  os::sim::SetClock(5400);
  EXPECT_EQ(TypingInterval('"'), 400);
  EXPECT_EQ(TypingGap('+', '"'), -100);
}

TEST_F(DispatcherTest, PendingQuoteIsTakenOnceAndClearedByTyping) {
  MarkPendingQuote(10);
  EXPECT_FALSE(TakePendingQuote(10)) << "must be the next position";
  MarkPendingQuote(10);
  EXPECT_TRUE(TakePendingQuote(11));
  EXPECT_FALSE(TakePendingQuote(11)) << "taken";
  MarkPendingQuote(10);
  TypingInterval('a');
  EXPECT_TRUE(TakePendingQuote(11)) << "another character leaves it";
  MarkPendingQuote(10);
  TypingInterval('"');
  EXPECT_FALSE(TakePendingQuote(11)) << "a quote clears it";
}

TEST_F(DispatcherTest, CaretShiftIsAppliedOnceAtTheNextUpdate) {
  SetText(*editor, "abcdef", 1);
  DeferCaretShift(Context(), 3);
  EXPECT_EQ(editor->caret, 1);
  NotifyUpdateUi(*editor, sci::SC_UPDATE_SELECTION);
  EXPECT_EQ(editor->caret, 4);
  NotifyUpdateUi(*editor, sci::SC_UPDATE_SELECTION);
  EXPECT_EQ(editor->caret, 4);
}

TEST_F(DispatcherTest, AnchorKeepsTheDistanceFromTheFirstNonBlank) {
  SetText(*editor, "x\r\nab cd", 8);
  AnchorCaretToIndent(Context(), 1, 8, true);  // 5 after the indent position 3
  SetText(*editor, "x\r\n    ab cd", 0);
  ApplyCaretAnchor(Context());
  EXPECT_EQ(editor->caret, 12);
  editor->caret = 0;
  ApplyCaretAnchor(Context());
  EXPECT_EQ(editor->caret, 0) << "one shot";
  AnchorCaretToIndent(Context(), 1, 2, false);
  ApplyCaretAnchor(Context());
  EXPECT_EQ(editor->caret, 9) << "absolute offset";
}

TEST_F(DispatcherTest, ReindentSequenceRunsOverSeveralUpdates) {
  SetText(*editor, "If a\r\nb\r\nEndIf", 0);
  HookContext context = Context();
  AnchorCaretToIndent(context, 1, LineStart(*editor, 1) + 1, true);
  ReindentSequence(context, 0, 2);
  EXPECT_EQ(ReindentSequenceState(), 1);
  ReindentSequence(context, 1, 1);  // ignored while one runs
  const std::size_t mark = editor->received.size();

  NotifyUpdateUi(*editor, sci::SC_UPDATE_SELECTION);
  EXPECT_EQ(ReindentSequenceState(), 2);
  EXPECT_EQ(editor->undoDepth, 1);
  EXPECT_TRUE(editor->selectionHidden);
  EXPECT_EQ(editor->anchor, 0);
  EXPECT_EQ(editor->caret, static_cast<std::int64_t>(editor->text.size()));
  // Begin, hide, then the selection.
  std::vector<std::uint32_t> order;
  for (std::size_t i = mark; i < editor->received.size(); ++i) {
    const std::uint32_t m = editor->received[i].message;
    if (m == sci::SCI_BEGINUNDOACTION || m == sci::SCI_HIDESELECTION || m == sci::SCI_SETSEL) {
      order.push_back(m);
    }
  }
  EXPECT_EQ(order, (std::vector<std::uint32_t>{sci::SCI_BEGINUNDOACTION, sci::SCI_HIDESELECTION,
                                               sci::SCI_SETSEL}));
  // The keys: Ctrl down, I down, I up, Ctrl up.
  std::vector<std::pair<int, bool>> keys;
  os::sim::KeyEvent key{};
  while (os::sim::TakeKeyEvent(&key)) {
    keys.push_back({key.virtualKey, (key.flags & os::kKEYEVENTF_KEYUP) == 0});
  }
  EXPECT_EQ(keys, (std::vector<std::pair<int, bool>>{{os::kVK_CONTROL, true},
                                                     {os::kVK_I, true},
                                                     {os::kVK_I, false},
                                                     {os::kVK_CONTROL, false}}));

  NotifyUpdateUi(*editor, sci::SC_UPDATE_SELECTION);
  EXPECT_EQ(ReindentSequenceState(), 2) << "waits for the content update";
  editor->text = "If a\r\n  b\r\nEndIf";
  editor->caret = 12;
  NotifyUpdateUi(*editor, sci::SC_UPDATE_CONTENT);
  EXPECT_EQ(ReindentSequenceState(), 3);
  EXPECT_EQ(editor->caret, LineStart(*editor, 2)) << "start of the caret's line";
  NotifyUpdateUi(*editor, sci::SC_UPDATE_SELECTION);
  EXPECT_EQ(ReindentSequenceState(), 0);
  EXPECT_FALSE(editor->selectionHidden);
  EXPECT_EQ(editor->undoDepth, 0);
  EXPECT_EQ(editor->caret, 9) << "anchored: one after the first non-blank of line 1";
}

// The IDE gets exactly Ctrl+I, whatever the user holds (Shift+Insert pastes with Shift down):
// Ctrl is pressed only when it is not held; Shift, Alt and the Windows keys are released around
// the I and pressed again after it.
TEST_F(DispatcherTest, InjectedChordIsExactlyCtrlI) {
  using Keys = std::vector<std::pair<int, bool>>;  // virtual key, down
  constexpr int kCtrl = os::kVK_CONTROL, kI = os::kVK_I;
  struct Case {
    std::vector<int> held;
    Keys injected;
  };
  const Case cases[] = {
      {{kCtrl}, {{kI, true}, {kI, false}}},
      {{os::kVK_SHIFT},
       {{kCtrl, true},
        {os::kVK_LSHIFT, false},
        {kI, true},
        {kI, false},
        {os::kVK_LSHIFT, true},
        {kCtrl, false}}},
      {{kCtrl, os::kVK_RSHIFT, os::kVK_RMENU, os::kVK_LWIN},
       {{os::kVK_RSHIFT, false},
        {os::kVK_RMENU, false},
        {os::kVK_LWIN, false},
        {kI, true},
        {kI, false},
        {os::kVK_LWIN, true},
        {os::kVK_RMENU, true},
        {os::kVK_RSHIFT, true}}},
  };
  for (const Case& c : cases) {
    for (int held : c.held) os::sim::SetKeyDown(held, true);
    SetText(*editor, "a\r\nb", 0);
    SendIndentShortcut(Context(), 0, 1);
    Keys keys;
    bool onlyCtrlWhenI = true;
    os::sim::KeyEvent key{};
    while (os::sim::TakeKeyEvent(&key)) {
      const bool down = (key.flags & os::kKEYEVENTF_KEYUP) == 0;
      keys.push_back({key.virtualKey, down});
      if (key.virtualKey == kI && down) {
        onlyCtrlWhenI =
            os::GetAsyncKeyState(kCtrl) < 0 && os::GetAsyncKeyState(os::kVK_SHIFT) == 0 &&
            os::GetAsyncKeyState(os::kVK_MENU) == 0 && os::GetAsyncKeyState(os::kVK_LWIN) == 0;
      }
    }
    EXPECT_EQ(keys, c.injected) << "case " << &c - cases;
    EXPECT_TRUE(onlyCtrlWhenI) << "case " << &c - cases;
    for (int held : c.held) {
      EXPECT_LT(os::GetAsyncKeyState(held), 0) << "still held: " << held;
      os::sim::SetKeyDown(held, false);
    }
  }
}

TEST_F(DispatcherTest, PasteIsFormattedAndReindentedByTheIde) {
  PublishSetting(*ide, "CodeBeautifier", "AutoindentPaste", 1);
  SetText(*editor, "If a\r\nEndIf", 6);
  g_calls.clear();
  Paste(*editor, "b\r\nc\r\n");
  // Registered with the paste's lines, the last one deferred.
  ASSERT_GE(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].what, "schedule-defer");
  EXPECT_EQ(g_calls[0].a, 1);
  EXPECT_EQ(g_calls[0].b, 3);
  EXPECT_EQ(editor->text, "If a\r\n  b\r\n  c\r\n  EndIf");
  EXPECT_EQ(ReindentSequenceState(), 0);
  EXPECT_EQ(editor->undoDepth, 0);
  EXPECT_FALSE(editor->selectionHidden);
  EXPECT_EQ(editor->caret, LineStart(*editor, 3) + 2) << "in front of EndIf, as before";
}

TEST_F(DispatcherTest, PasteWithTheOptionOffChangesNothingMore) {
  SetText(*editor, "If a\r\nEndIf", 6);
  g_calls.clear();
  Paste(*editor, "b\r\n");
  EXPECT_EQ(editor->text, "If a\r\nb\r\nEndIf");
  EXPECT_EQ(CountCalls("schedule-defer"), 0);
  EXPECT_EQ(ReindentSequenceState(), 0);
}

// The number of SCI_PASTE may mean something else to another window.
TEST_F(DispatcherTest, PasteNumberToAnotherWindowIsNotAPaste) {
  PublishSetting(*ide, "CodeBeautifier", "AutoindentPaste", 1);
  SetText(*editor, "a", 1);
  editor->clipboard = "b\r\n";
  os::SendMessage(ide->main, sci::SCI_PASTE, 0, 0);
  EXPECT_EQ(ReindentSequenceState(), 0);
  os::SendMessage(editor->window, sci::SCI_PASTE, 0, 0);
  EXPECT_EQ(ReindentSequenceState(), 1);
}

// A paste of an empty clipboard (or of an image) inserts nothing: the last insertion is then an
// older one, of this editor or of another, and nothing of it is formatted or re-indented.
TEST_F(DispatcherTest, PasteThatInsertsNothingDoesNothing) {
  PublishSetting(*ide, "CodeBeautifier", "AutoindentPaste", 1);
  FakeEditor& other = AddEditor(*ide);
  for (FakeEditor* inserted : {editor, &other}) {
    SetText(*editor, "If a\r\nb\r\nEndIf", 9);
    SetText(other, "x", 1);
    InsertByUser(*inserted, 1, "c\r\n");
    g_calls.clear();
    os::SendMessage(editor->window, sci::SCI_PASTE, 0, 0);  // its clipboard is empty
    EXPECT_EQ(CountCalls("schedule-defer"), 0);
    EXPECT_EQ(ReindentSequenceState(), 0);
  }
}

TEST_F(DispatcherTest, PasteDuringASequenceStartsNoSecondOne) {
  PublishSetting(*ide, "CodeBeautifier", "AutoindentPaste", 1);
  ide->ignoreCtrlI = true;
  SetText(*editor, "If a\r\nEndIf", 6);
  Paste(*editor, "b\r\n");
  ASSERT_EQ(ReindentSequenceState(), 2);
  const int begins = editor->undoBegins;
  g_calls.clear();
  Paste(*editor, "c\r\n");
  EXPECT_EQ(CountCalls("schedule-defer"), 1) << "its lines are registered";
  EXPECT_EQ(ReindentSequenceState(), 3) << "the paste's content update moved the first one on";
  EXPECT_EQ(editor->undoBegins, begins);
}

// The IDE never answers Ctrl+I: after one second the sequence ends as its last step would.
TEST_F(DispatcherTest, ReindentSequenceEndsAfterOneSecondWithoutAnswer) {
  PublishSetting(*ide, "CodeBeautifier", "AutoindentPaste", 1);
  ide->ignoreCtrlI = true;
  SetText(*editor, "If a\r\nEndIf", 6);
  Paste(*editor, "b\r\n");
  const std::int64_t caret = LineStart(*editor, 2);  // where the paste left it
  ASSERT_EQ(ReindentSequenceState(), 2);
  EXPECT_EQ(editor->undoDepth, 1);
  EXPECT_TRUE(editor->selectionHidden);

  os::sim::AdvanceClock(1000);
  os::SendMessage(ide->main, 15, 0, 0);
  EXPECT_EQ(ReindentSequenceState(), 2) << "not yet";
  os::sim::AdvanceClock(1);
  os::SendMessage(ide->main, 15, 0, 0);  // any message of the IDE's thread
  EXPECT_EQ(ReindentSequenceState(), 0);
  EXPECT_EQ(editor->undoDepth, 0);
  EXPECT_FALSE(editor->selectionHidden);
  // The lines it selected are no longer selected: a typed key would replace them.
  EXPECT_EQ(editor->caret, caret) << "where the paste left it";
  EXPECT_EQ(editor->anchor, caret) << "nothing selected";

  // A new paste starts a new sequence.
  ide->ignoreCtrlI = false;
  Paste(*editor, "c\r\n");
  EXPECT_EQ(ReindentSequenceState(), 0);
  EXPECT_EQ(editor->undoDepth, 0);
}

TEST_F(DispatcherTest, ArmedSequenceWithoutUpdateIsDroppedAfterOneSecond) {
  ReindentSequence(Context(), 0, 0);
  os::sim::AdvanceClock(1001);
  os::SendMessage(ide->main, 15, 0, 0);
  EXPECT_EQ(ReindentSequenceState(), 0);
  EXPECT_EQ(editor->undoBegins, 0);
}

TEST_F(DispatcherTest, UpdatesOfAnotherEditorDoNotMoveTheSequence) {
  FakeEditor& other = AddEditor(*ide);
  ReindentSequence(Context(), 0, 0);
  NotifyUpdateUi(other, sci::SC_UPDATE_SELECTION);
  EXPECT_EQ(ReindentSequenceState(), 1);
  EXPECT_EQ(other.undoBegins, 0);
}

// A typed quote, plus, digit or line end and the helpers' edits undo as one step; the group
// closes once the character's helpers ran.
TEST_F(DispatcherTest, TypedCharacterAndItsHelpersFormOneUndoGroup) {
  struct Case {
    const char* typed;
    bool grouped;
  };
  for (const Case& c :
       {Case{"\"", true}, Case{"+", true}, Case{"4", true}, Case{"a", false}, Case{" ", false}}) {
    SetText(*editor, "x", 1);
    const int begins = editor->undoBegins;
    TypeText(*editor, c.typed);
    EXPECT_EQ(editor->undoBegins - begins, c.grouped ? 1 : 0) << c.typed;
    EXPECT_EQ(editor->undoDepth, 0) << c.typed;
    EXPECT_FALSE(TypedUndoGroupOpen());
  }
}

TEST_F(DispatcherTest, UndoGroupOpensBeforeTheInsertionAndClosesAfterTheHelpers) {
  SetText(*editor, "x", 1);
  g_onQuote = [](const HookContext& context, const CharacterEvent& event) {
    // The helper's own insertion opens no second group.
    SciReplaceRange(context, false, "\"", event.pos + 1, event.pos + 1);
  };
  InsertByUser(*editor, 1, "\"");
  EXPECT_TRUE(TypedUndoGroupOpen());
  EXPECT_EQ(editor->undoDepth, 1);
  NotifyCharAdded(*editor, '"');
  EXPECT_EQ(editor->text, "x\"\"");
  EXPECT_EQ(editor->undoBegins, 1);
  EXPECT_EQ(editor->undoDepth, 0);
}

TEST_F(DispatcherTest, EnterInCrLfClosesTheGroupAfterTheLineFeed) {
  SetText(*editor, "x", 1);
  InsertByUser(*editor, 1, "\r\n");
  EXPECT_EQ(editor->undoDepth, 1);
  NotifyCharAdded(*editor, 13);
  EXPECT_EQ(editor->undoDepth, 1) << "the line feed follows";
  NotifyCharAdded(*editor, 10);
  EXPECT_EQ(editor->undoDepth, 0);
  EXPECT_EQ(editor->undoBegins, 1);
}

TEST_F(DispatcherTest, InsertionWithoutCharacterIsClosedAtTheNextUpdate) {
  SetText(*editor, "x", 1);
  Paste(*editor, "+");
  EXPECT_EQ(editor->undoBegins, 1);
  EXPECT_EQ(editor->undoDepth, 0);
}

TEST_F(DispatcherTest, UndoAndRedoOpenNoGroupAndResetTheInsertion) {
  SetText(*editor, "x", 1);
  sci::Notification n{};
  n.nmhdr = {editor->window, 1, sci::SCN_MODIFIED};
  n.modificationType = sci::SC_MOD_BEFOREINSERT | sci::SC_PERFORMED_UNDO;
  n.text = "\"";
  n.length = 1;
  os::SendMessage(ide->main, os::kWM_NOTIFY, 1, reinterpret_cast<os::LParam>(&n));
  EXPECT_EQ(editor->undoBegins, 0);
  EXPECT_EQ(LastInsertionPosition(), -1);
  EXPECT_EQ(LastInsertionLines(), -1);
  InsertByUser(*editor, 1, "ab\r\n");
  EXPECT_EQ(LastInsertionPosition(), 1);
  EXPECT_EQ(LastInsertionLines(), 1);
}

TEST_F(DispatcherTest, NothingEscapesTheHook) {
  g_onQuote = [](const HookContext&, const CharacterEvent&) { throw std::runtime_error("helper"); };
  SetText(*editor, "x", 1);
  EXPECT_NO_THROW(TypeText(*editor, "\""));
  EXPECT_EQ(editor->undoDepth, 0) << "the group is closed by the next update";
}

TEST_F(DispatcherTest, NonActionCodesAndNullRecordsArePassedOn) {
  os::CallWndRetRecord record{0, 0, 0, os::kWM_DESTROY, ide->main};
  EXPECT_EQ(zentrel::OnHookCallbackComplete(1, 0, reinterpret_cast<os::LParam>(&record)), 0);
  EXPECT_EQ(zentrel::OnHookCallbackComplete(0, 0, 0), 0);
  EXPECT_EQ(os::GetProp(ide->main, PluginPropertyName(ide->main, ".Plugin.Tool")),
            reinterpret_cast<std::intptr_t>(ide->tool));
}

}  // namespace
