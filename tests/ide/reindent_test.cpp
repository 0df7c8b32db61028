#include "ide/reindent.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Re-indents every line of `text` (LF-separated) and joins the result.
std::string ReindentAll(const std::string& text) {
  const std::vector<std::string> lines = SplitLines(text);
  std::vector<std::string_view> views(lines.begin(), lines.end());
  const std::vector<int> indents = ide::ReindentLines(views, 0, lines.size() - 1);
  std::string result;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    result += ide::WithIndentation(lines[i], indents[i]);
    result += '\n';
  }
  return result;
}

struct ReindentCase {
  const char* name;
  const char* before;
  const char* after;
};

class ReindentTest : public testing::TestWithParam<ReindentCase> {};

TEST_P(ReindentTest, GivesTheImpliedIndentation) {
  EXPECT_EQ(ReindentAll(GetParam().before), GetParam().after) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, ReindentTest,
    testing::Values(
        ReindentCase{"if", "If a\nb\nEndIf\n", "If a\n  b\nEndIf\n"},
        ReindentCase{"else", "If a\nb\nElse\nc\nEndIf\n", "If a\n  b\nElse\n  c\nEndIf\n"},
        ReindentCase{"elseif", "If a\nElseIf b\nc\nEndIf\n", "If a\nElseIf b\n  c\nEndIf\n"},
        ReindentCase{"nested",
                     "Procedure P()\nFor i=1 To 2\nWhile x\ny\nWend\nNext\nEndProcedure\n",
                     "Procedure P()\n  For i=1 To 2\n    While x\n      y\n    Wend\n  Next\n"
                     "EndProcedure\n"},
        ReindentCase{"select", "Select x\nCase 1\na\nDefault\nb\nEndSelect\n",
                     "Select x\nCase 1\n  a\nDefault\n  b\nEndSelect\n"},
        ReindentCase{"repeat", "Repeat\nx\nUntil y\n", "Repeat\n  x\nUntil y\n"},
        ReindentCase{"one-line block", "If a : b : EndIf\nc\n", "If a : b : EndIf\nc\n"},
        ReindentCase{"closer opens", "If a\nEndIf : If b\nc\nEndIf\n",
                     "If a\nEndIf : If b\n  c\nEndIf\n"},
        ReindentCase{"case of keywords", "if a\nb\nendif\n", "if a\n  b\nendif\n"},
        ReindentCase{"comments and strings", "If a ; For\ns$ = \"While\"\nEndIf\n",
                     "If a ; For\n  s$ = \"While\"\nEndIf\n"},
        ReindentCase{"old indentation dropped", "\t    x\n      If a\n\t\tb\n EndIf\n",
                     "x\nIf a\n  b\nEndIf\n"},
        ReindentCase{"unbalanced closer", "EndIf\nx\n", "EndIf\nx\n"},
        ReindentCase{"structure module with",
                     "Module M\nStructure S\nx.i\nEndStructure\n"
                     "With s\n\\x = 1\nEndWith\nEndModule\n",
                     "Module M\n  Structure S\n    x.i\n  EndStructure\n  With s\n    \\x = 1\n"
                     "  EndWith\nEndModule\n"},
        ReindentCase{"procedure return is no opener",
                     "Procedure P()\nProcedureReturn 1\n"
                     "EndProcedure\n",
                     "Procedure P()\n  ProcedureReturn 1\nEndProcedure\n"}),
    [](const testing::TestParamInfo<ReindentCase>& info) {
      std::string name = info.param.name;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

TEST(Reindent, SelectedRangeUsesTheLinesAbove) {
  const std::vector<std::string_view> lines = {"If a", "For i = 1 To 3", "x", "Next", "EndIf"};
  EXPECT_EQ(ide::ReindentLines(lines, 2, 3), (std::vector<int>{4, 2}));
  EXPECT_EQ(ide::ReindentLines(lines, 4, 4), (std::vector<int>{0}));
}

TEST(Reindent, WithIndentationKeepsTheRest) {
  EXPECT_EQ(ide::WithIndentation("\t x = 1 ", 4), "    x = 1 ");
  EXPECT_EQ(ide::WithIndentation("", 2), "  ");
  EXPECT_EQ(ide::WithIndentation("   ", 0), "");
}

}  // namespace

namespace {

// A document with '|' for the caret and '^' for the anchor (at the caret when absent).
struct Marked {
  std::string text;
  std::size_t caret = 0;
  std::size_t anchor = 0;
};

Marked Unmark(const std::string& marked) {
  Marked result;
  bool hasAnchor = false;
  for (char c : marked) {
    if (c == '|') {
      result.caret = result.text.size();
    } else if (c == '^') {
      result.anchor = result.text.size();
      hasAnchor = true;
    } else {
      result.text += c;
    }
  }
  if (!hasAnchor) result.anchor = result.caret;
  return result;
}

std::string Mark(const std::string& text, std::size_t anchor, std::size_t caret) {
  std::string marked;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == anchor && anchor != caret) marked += '^';
    if (i == caret) marked += '|';
    if (i < text.size()) marked += text[i];
  }
  return marked;
}

struct PlanCase {
  const char* name;
  const char* before;
  const char* after;
  std::size_t start, end;  // the replaced range in the document before
};

class PlanReindentTest : public testing::TestWithParam<PlanCase> {};

TEST_P(PlanReindentTest, ReplacesTheSelectedLinesAndMovesTheSelection) {
  const PlanCase& c = GetParam();
  const Marked before = Unmark(c.before);
  const ide::ReindentEdit edit = ide::PlanReindent(before.text, before.anchor, before.caret);
  EXPECT_EQ(edit.start, c.start) << c.name;
  EXPECT_EQ(edit.end, c.end) << c.name;
  std::string after = before.text;
  after.replace(edit.start, edit.end - edit.start, edit.text);
  EXPECT_EQ(Mark(after, edit.anchor, edit.caret), c.after) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Documents, PlanReindentTest,
    testing::Values(
        PlanCase{"caret line only", "If a\r\nb|c\r\nEndIf", "If a\r\n  b|c\r\nEndIf", 6, 8},
        PlanCase{"caret in old indentation", "If a\n\t  |b\nEndIf", "If a\n  |b\nEndIf", 5, 9},
        PlanCase{"caret at line start stays", "If a\n|b\nEndIf", "If a\n|  b\nEndIf", 5, 6},
        PlanCase{"selection over lines", "^If a\nb\nEndIf|", "^If a\n  b\nEndIf|", 0, 12},
        PlanCase{"selection ending at a line start", "If a\n^b\n|c\nEndIf", "If a\n^  b\n|c\nEndIf",
                 5, 6},
        PlanCase{"selection ending on an empty line takes it", "^If a\nb\n|\nEndIf",
                 "^If a\n  b\n|  \nEndIf", 0, 7},
        PlanCase{"positions after the lines move", "If a\n|b\n^EndIf", "If a\n|  b\n^EndIf", 5, 6},
        PlanCase{"nothing to change is still one edit", "If a\n  b|\nEndIf", "If a\n  b|\nEndIf", 5,
                 8},
        PlanCase{"empty document", "|", "|", 0, 0},
        PlanCase{"last line without line end", "If a\nb|", "If a\n  b|", 5, 6}),
    [](const testing::TestParamInfo<PlanCase>& info) {
      std::string name = info.param.name;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

}  // namespace
