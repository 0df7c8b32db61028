// Editor access: search, replace and captured groups through the editor's messages.

#include "plugin/editor_access.h"

#include <gtest/gtest.h>

#include <climits>

#include "os/sim/sim.h"
#include "tests/plugin/fake_editor.h"

namespace {

class EditorAccessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ide = &StartFakeIde();
    editor = ide->editors[0];
    context.ideWindow = ide->main;
    context.editor = editor->window;
    SetText(*editor, "If a = 1 ; one\r\nb = a + 1", 0);
  }
  void TearDown() override { StopFakeIde(); }

  FakeIde* ide = nullptr;
  FakeEditor* editor = nullptr;
  HookContext context;
};

TEST_F(EditorAccessTest, FindSetsTheTargetAndAnswersInBothForms) {
  struct Case {
    const char* pattern;
    std::int64_t start, end;
    std::int64_t position;  // -1: not found
  };
  const Case cases[] = {
      {"a", 0, 16, 3},   {"a", 4, 30, 20}, {"one", 0, 16, 11},
      {"zz", 0, 30, -1}, {"1", 9, 30, 24}, {"If", 1, 30, -1},
  };
  for (const Case& c : cases) {
    editor->targetStart = editor->targetEnd = 99;
    EXPECT_EQ(SciFindInRange(context, false, c.pattern, c.start, c.end), c.position) << c.pattern;
    if (c.position >= 0) {
      EXPECT_EQ(editor->targetStart, c.position);
      EXPECT_EQ(editor->targetEnd, c.position + static_cast<std::int64_t>(strlen(c.pattern)));
    } else {
      EXPECT_EQ(editor->targetStart, 99) << "a failed search leaves the target";
      EXPECT_EQ(editor->targetEnd, 99);
    }
  }
}

TEST_F(EditorAccessTest, RegularExpressionsUseTheEditorsOwnEngine) {
  SciFindInRange(context, true, "a", 0, 30);
  EXPECT_EQ(editor->lastSearchFlags, 0x600000u);
  EXPECT_EQ(editor->lastSearchFlags, sci::SCFIND_REGEXP | sci::SCFIND_POSIX);
  SciFindInRange(context, false, "a", 0, 30);
  EXPECT_EQ(editor->lastSearchFlags, 0u);
}

TEST_F(EditorAccessTest, RangeBeyondThirtyTwoBitsIsClamped) {
  EXPECT_EQ(SciFindInRange(context, false, "b", 0, std::int64_t{1} << 40), 16);
  EXPECT_EQ(SciFindInRange(context, false, "b", -(std::int64_t{1} << 40), 30), 16);
}

TEST_F(EditorAccessTest, WindowThatAnswersZeroFindsNothing) {
  os::sim::WindowSpec params;
  params.className = "Scintilla";  // no procedure: every message returns 0, as a closed editor
  context.editor = os::sim::CreateWindow(params);
  EXPECT_EQ(SciFindInRange(context, true, "x", 0, 10), -1);
  context.editor = nullptr;
  EXPECT_EQ(SciFindInRange(context, true, "x", 0, 10), -1);
}

TEST_F(EditorAccessTest, ReplaceInsertsReplacesAndDeletes) {
  struct Case {
    std::string text;
    std::int64_t start, end;
    const char* expected;
  };
  const Case cases[] = {
      {"X", 0, 0, "XIf a = 1 ; one\r\nb = a + 1"},
      {"c", 3, 4, "If c = 1 ; one\r\nb = a + 1"},
      {"", 8, 14, "If a = 1\r\nb = a + 1"},
      {"", 0, 0, "If a = 1 ; one\r\nb = a + 1"},
  };
  for (const Case& c : cases) {
    SetText(*editor, "If a = 1 ; one\r\nb = a + 1", 0);
    SciReplaceRange(context, false, c.text, c.start, c.end);
    EXPECT_EQ(editor->text, c.expected);
  }
  const std::size_t mark = editor->received.size();
  SciReplaceRange(context, true, "\\1", 0, 1);
  EXPECT_EQ(CountReceived(*editor, sci::SCI_REPLACETARGETRE, mark), 1);
  EXPECT_EQ(CountReceived(*editor, sci::SCI_REPLACETARGET, mark), 0);
}

TEST_F(EditorAccessTest, TagAsksForTheLengthFirstAndKeepsLongGroups) {
  editor->tags[1] = "abc";
  editor->tags[2] = std::string(5000, 'x');  // longer than any fixed buffer
  EXPECT_EQ(SciGetTag(context, 1), "abc");
  EXPECT_EQ(SciGetTag(context, 2), editor->tags[2]);
  EXPECT_EQ(SciGetTag(context, 3), "");
  const std::size_t mark = editor->received.size();
  EXPECT_EQ(SciGetTag(context, 0), "");
  EXPECT_EQ(SciGetTag(context, 10), "");
  EXPECT_EQ(CountReceived(*editor, sci::SCI_GETTAG, mark), 0) << "no such group is asked for";
  SciGetTag(context, 1);
  ASSERT_EQ(CountReceived(*editor, sci::SCI_GETTAG, mark), 2);
  EXPECT_EQ(editor->received[mark].lParam, 0) << "the length first";
}

TEST_F(EditorAccessTest, NoEditorNoMessage) {
  context.editor = nullptr;
  EXPECT_EQ(SciSend(context, sci::SCI_GETCURRENTPOS), 0);
  SciReplaceRange(context, false, "x", 0, 0);
  EXPECT_EQ(SciGetTag(context, 1), "");
  EXPECT_TRUE(editor->received.empty());
}

}  // namespace
