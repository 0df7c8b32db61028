// Format scheduling, called directly as the dispatcher calls it: the typed line waits until the
// caret has left it and is then formatted as one undo step; a registered range is formatted at
// the next flush; the options are read each time.

#include <gtest/gtest.h>

#include <string>

#include "beautifier_editor.h"
#include "core/property_names.h"
#include "iface/scintilla.h"
#include "os/os.h"
#include "plugin/helpers.h"

namespace {

using beautifier_test::BeautifierEditor;

class FormatScheduleTest : public testing::Test {
 protected:
  void Register(std::int64_t first, std::int64_t last, bool defer) {
    ScheduleFormat(editor_.Context(), first, last, defer);
  }
  void Flush() { FlushScheduledFormat(editor_.Context()); }
  void CaretTo(std::int64_t position) { editor_.Send(sci::SCI_GOTOPOS, position); }
  void CaretToLine(std::int64_t line) { CaretTo(editor_.Send(sci::SCI_POSITIONFROMLINE, line)); }
  std::intptr_t LineToFormat() {
    return os::GetProp(editor_.IdeWindow(),
                       core::LineToFormatPropertyName(core::HandleValue(editor_.IdeWindow())));
  }
  void Undo() { editor_.Send(sci::SCI_UNDO); }

  BeautifierEditor editor_;
};

TEST_F(FormatScheduleTest, TypedLineIsFormattedOnceTheCaretHasLeftItAsOneUndoStep) {
  editor_.SetText("a  =  b\nc  =  d");
  CaretTo(7);
  Register(0, 0, true);
  EXPECT_EQ(LineToFormat(), 0);
  Flush();
  EXPECT_EQ(editor_.Text(), "a  =  b\nc  =  d");
  CaretToLine(1);
  Flush();
  EXPECT_EQ(editor_.Text(), "a=b\nc  =  d");
  EXPECT_EQ(LineToFormat(), 0);  // not cleared once formatted
  Flush();
  EXPECT_EQ(editor_.Text(), "a=b\nc  =  d");
  Undo();
  EXPECT_EQ(editor_.Text(), "a  =  b\nc  =  d");
}

TEST_F(FormatScheduleTest, StayingOnTheLineNeverFormatsIt) {
  editor_.SetText("x  =  1 + 2\nnext");
  for (std::int64_t position = 0; position <= 11; ++position) {
    CaretTo(position);
    Register(0, 0, true);
    Flush();
    Flush();
  }
  EXPECT_EQ(editor_.Text(), "x  =  1 + 2\nnext");
}

TEST_F(FormatScheduleTest, TypingOptionOffRegistersNothing) {
  editor_.Set("AutoindentTyping", 0);
  editor_.SetText("c\na  =  b");
  CaretToLine(1);
  Register(1, 1, true);
  EXPECT_EQ(LineToFormat(), 0);  // absent
  CaretToLine(0);
  Flush();
  EXPECT_EQ(editor_.Text(), "c\na  =  b");
  editor_.Set("AutoindentTyping", 1);
  Flush();
  EXPECT_EQ(editor_.Text(), "c\na  =  b");  // nothing was pending
}

TEST_F(FormatScheduleTest, PendingTypedLineSurvivesSwitchingTheOptionOff) {
  editor_.SetText("a\nb  =  c\nd");
  CaretToLine(1);
  Register(1, 1, true);
  EXPECT_EQ(LineToFormat(), 1);
  editor_.Set("AutoindentTyping", 0);
  CaretToLine(2);
  Flush();
  EXPECT_EQ(editor_.Text(), "a\nb  =  c\nd");
  editor_.Set("AutoindentTyping", 1);
  Flush();
  EXPECT_EQ(editor_.Text(), "a\nb=c\nd");
}

TEST_F(FormatScheduleTest, PastedRangeIsFormattedAtTheNextFlushAndItsLastLineWaits) {
  editor_.SetText("a  =  1\nb  =  2\nc  =  3\nd  =  4");
  CaretToLine(3);
  Register(0, 3, true);
  EXPECT_EQ(LineToFormat(), 3);
  EXPECT_EQ(editor_.Text(), "a  =  1\nb  =  2\nc  =  3\nd  =  4");
  Flush();
  EXPECT_EQ(editor_.Text(), "a=1\nb=2\nc=3\nd  =  4");
  CaretToLine(0);
  Flush();
  EXPECT_EQ(editor_.Text(), "a=1\nb=2\nc=3\nd=4");
}

TEST_F(FormatScheduleTest, PastedLastLineIsLeftAloneWithTypingOff) {
  editor_.Set("AutoindentTyping", 0);
  editor_.SetText("a  =  1\nb  =  2");
  CaretToLine(1);
  Register(0, 1, true);
  Flush();
  CaretToLine(0);
  Flush();
  EXPECT_EQ(editor_.Text(), "a=1\nb  =  2");
}

TEST_F(FormatScheduleTest, RangeWithoutDeferredLineIsFormattedWhole) {
  editor_.SetText("a  =  1\nb  =  2\nc  =  3");
  Register(0, 2, false);
  Flush();
  EXPECT_EQ(editor_.Text(), "a=1\nb=2\nc=3");
  EXPECT_EQ(LineToFormat(), 0);  // no typed line
}

TEST_F(FormatScheduleTest, ARegistrationReplacesAnUnflushedRange) {
  editor_.SetText("a  =  1\nb  =  2\nc  =  3\nd  =  4");
  Register(0, 1, false);
  Register(2, 3, false);
  Flush();
  EXPECT_EQ(editor_.Text(), "a  =  1\nb  =  2\nc=3\nd=4");
}

TEST_F(FormatScheduleTest, APendingTypedLineIsNotReplaced) {
  editor_.SetText("a  =  1\nb  =  2\nc");
  CaretToLine(0);
  Register(0, 0, true);
  CaretToLine(1);
  Register(1, 1, true);
  EXPECT_EQ(LineToFormat(), 0);
  Flush();
  EXPECT_EQ(editor_.Text(), "a=1\nb  =  2\nc");
  CaretToLine(2);
  Flush();
  EXPECT_EQ(editor_.Text(), "a=1\nb  =  2\nc");
}

TEST_F(FormatScheduleTest, FlushWithNothingPendingAndLinesPastTheEndDoNothing) {
  editor_.SetText("a  =  1");
  Flush();
  Register(5, 9, false);
  Flush();
  EXPECT_EQ(editor_.Text(), "a  =  1");
}

TEST_F(FormatScheduleTest, TypedLineBelongsToItsEditor) {
  editor_.SetText("a  =  1\nb");
  CaretToLine(0);
  Register(0, 0, true);

  const os::Window other = editor_.AddEditor();
  HookContext otherContext = editor_.Context();
  otherContext.editor = other;
  const std::string otherText = "x  =  1\ny  =  2";
  os::SendMessage(other, sci::SCI_SETTEXT, 0, reinterpret_cast<os::LParam>(otherText.c_str()));
  os::SendMessage(other, sci::SCI_GOTOPOS, 14, 0);  // line 1

  // The other editor's updates do not format its own line 0 for the first editor's line.
  FlushScheduledFormat(otherContext);
  EXPECT_EQ(editor_.TextOf(other), otherText);
  EXPECT_EQ(editor_.Text(), "a  =  1\nb");

  // Typing in the other editor: the first editor's line has been left and is formatted there.
  ScheduleFormat(otherContext, 1, 1, true);
  EXPECT_EQ(editor_.Text(), "a=1\nb");
  EXPECT_EQ(editor_.TextOf(other), otherText);
  EXPECT_EQ(LineToFormat(), 1);
  os::SendMessage(other, sci::SCI_GOTOPOS, 0, 0);
  FlushScheduledFormat(otherContext);
  EXPECT_EQ(editor_.TextOf(other), "x  =  1\ny=2");
}

TEST_F(FormatScheduleTest, NoEditorNoWork) {
  HookContext none = editor_.Context();
  none.editor = nullptr;
  editor_.SetText("a  =  1");
  ScheduleFormat(none, 0, 0, false);
  FlushScheduledFormat(none);
  EXPECT_EQ(editor_.Text(), "a  =  1");
}

}  // namespace
