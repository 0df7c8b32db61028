#include "ide/word_highlight.h"

#include <gtest/gtest.h>

namespace {

using ide::TextRange;

struct HighlightCase {
  const char* text;
  std::size_t start, end;
  std::vector<TextRange> expected;
};

class WordHighlightTest : public testing::TestWithParam<HighlightCase> {};

TEST_P(WordHighlightTest, MarksOtherWholeWords) {
  const HighlightCase& c = GetParam();
  EXPECT_EQ(ide::WordOccurrences(c.text, c.start, c.end), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Words, WordHighlightTest,
    testing::Values(HighlightCase{"abc x abc abcd ABC", 0, 3, {{6, 9}, {15, 18}}},
                    HighlightCase{"abc x abc", 9, 6, {{0, 3}}},  // caret before the anchor
                    HighlightCase{"abc x abc", 0, 2, {}},        // part of a word
                    HighlightCase{"abc x abc", 0, 0, {}},        // empty selection
                    HighlightCase{"abc x abc", 0, 5, {}},        // more than a word
                    HighlightCase{"a_1 a_1", 4, 7, {{0, 3}}}, HighlightCase{"x", 0, 1, {}},
                    HighlightCase{"ab", 0, 9, {}}));  // beyond the text

}  // namespace
