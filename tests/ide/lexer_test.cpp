#include "ide/lexer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Styles written as one digit per byte of the text.
std::string StylesOf(const std::string& text) {
  std::string digits;
  for (unsigned char style : ide::StyleText(text)) digits.push_back(static_cast<char>('0' + style));
  return digits;
}

struct LexerCase {
  const char* text;
  const char* styles;
};

class LexerTest : public testing::TestWithParam<LexerCase> {};

TEST_P(LexerTest, StylesEveryByte) {
  const LexerCase& c = GetParam();
  ASSERT_EQ(std::string(c.text).size(), std::string(c.styles).size()) << "bad table row";
  EXPECT_EQ(StylesOf(c.text), c.styles) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Dialect, LexerTest,
    testing::Values(LexerCase{"If x", "2200"}, LexerCase{"if ENDIF EndIf", "22022222022222"},
                    LexerCase{"a ; note", "00333333"},
                    LexerCase{"x$ = \"a;b\" ; c", "00000555550333"},
                    LexerCase{"s = \"open", "000055555"}, LexerCase{"s = \"open\nx", "00005555500"},
                    LexerCase{"c = ';'", "0000777"}, LexerCase{"#Name #Str$ #", "4444404444400"},
                    LexerCase{"Foo(1)", "666010"}, LexerCase{"Left$(s)", "66666000"},
                    LexerCase{"Foo (1)", "0000010"}, LexerCase{"If(x)", "22000"},
                    LexerCase{"ProcedureReturn x", "00000000000000000"},
                    LexerCase{"Procedure.i Foo()", "22222222200066600"},
                    LexerCase{"x.f = 1.5", "000000111"}, LexerCase{"; If \"x\"", "33333333"},
                    LexerCase{"a$ And b", "00022200"}, LexerCase{"x\r\n; c", "000333"},
                    // `~"..."` is escaped: a backslash takes the next character, `\"` and `\\`
                    // included, so only an unescaped quote or the line end ends it; `"..."` has
                    // no escapes.
                    LexerCase{"x$ = ~\"a\\\"b;\" + c", "00000555555550000"},
                    LexerCase{"~\"a\\\\\" + \"b\\\" ; c", "55555500055550333"},
                    LexerCase{"a = ~ \"b\\\" c", "000000555500"},
                    LexerCase{"s = ~\"a\\\"\nx ~ b", "000055555000000"}, LexerCase{"", ""}));

TEST(Lexer, KeywordsIgnoreCase) {
  EXPECT_TRUE(ide::IsKeyword("endprocedure"));
  EXPECT_TRUE(ide::IsKeyword("XOR"));
  EXPECT_FALSE(ide::IsKeyword("EndIfs"));
  EXPECT_FALSE(ide::IsKeyword(""));
}

TEST(Lexer, StylingFromAnyLineStartMatchesWholeText) {
  const std::string text = "If a ; x\r\ns = \"b\r\nFoo(#C)";
  const std::vector<unsigned char> whole = ide::StyleText(text);
  const std::size_t secondLine = text.find("s =");
  const std::vector<unsigned char> tail = ide::StyleText(std::string_view(text).substr(secondLine));
  EXPECT_TRUE(std::equal(tail.begin(), tail.end(), whole.begin() + secondLine));
}

}  // namespace
