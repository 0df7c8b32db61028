// The beautifier's rules, line by line, on the headless editor: the worked examples, the edge
// cases, and every rule with every choice (including values a rule does not offer).

#include <gtest/gtest.h>

#include <string>

#include "beautifier_editor.h"
#include "iface/scintilla.h"

namespace {

using beautifier_test::BeautifierEditor;
using beautifier_test::ChoiceTwoSettings;
using beautifier_test::Formatted;
using beautifier_test::NoRulesButDefaultSpacing;
using beautifier_test::Settings;

struct Case {
  const char* before;
  const char* after;
  Settings settings;  // on top of the defaults
};

void ExpectAll(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    std::string settings;
    for (const auto& s : c.settings)
      settings += std::string(s.key) + "=" + std::to_string(s.value) + " ";
    EXPECT_EQ(Formatted(c.before, c.settings), c.after)
        << "before: [" << c.before << "] settings: " << settings;
  }
}

TEST(BeautifierWorkedExamples, Defaults) {
  ExpectAll({
      {"a  =  b+ d ;  note   ", "a=b+d ;  note", {}},
      {"  x = Foo( a ,b )   ", "  x=Foo(a, b)", {}},
      {"Result$ = \"a , b\"+ 'x'", "Result$=\"a , b\"+'x'", {}},
      {"MyLabel :", "MyLabel:", {}},
      {"Mod :: Proc( 1 )", "Mod::Proc(1)", {}},
      {"!  mov eax , [ebx + 4]", "!mov eax, [ebx+4]", {}},
      {"x = ~ y | z<< 2", "x=~y | z << 2", {}},
      {"Select  x :  Case 1", "Select x : Case 1", {}},
      {"a - b * d", "a - b * d", {}},
  });
}

TEST(BeautifierWorkedExamples, ChoiceTwo) {
  ExpectAll({
      {"a  =  b+ d", "a = b + d", ChoiceTwoSettings()},
      {"Mod :: Proc( 1 )", "Mod:: Proc(1)", ChoiceTwoSettings()},
      {"!  mov eax , [ebx + 4]", "! mov eax, [ebx + 4]", ChoiceTwoSettings()},
  });
}

TEST(BeautifierWorkedExamples, NoRulesButDefaultSpacing) {
  ExpectAll({
      {"a  =  b+ d", "a = b+ d", NoRulesButDefaultSpacing()},
      {"If a<>b  And  d", "If a<>b And d", NoRulesButDefaultSpacing()},
  });
}

TEST(BeautifierEdgeCases, AsWritten) {
  ExpectAll({
      // Blank-only lines are indentation: never touched.
      {"   ", "   ", {}},
      {"\t\t", "\t\t", {}},
      {" \t \t", " \t \t", {}},
      {"a  =  b", "a=b", {{"Comparison", 1}}},
      {"a  =  b", "a = b", {{"Comparison", 0}, {"DefaultSpacing", 1}}},
      {"a  =  b", "a  =  b", {{"Comparison", 0}, {"DefaultSpacing", 0}}},
      {"a,  b", "a, b", {{"Comma", 2}}},
      {"a , b", "a, b", {{"Comma", 2}}},
      {"a,b", "a, b", {{"Comma", 2}}},
      // A single tab is one blank and stays; two tabs become one space.
      {"a\t=\t\tb", "a\t= b", {{"Comparison", 2}}},
      {"a < = b", "a<=b", {{"Comparison", 1}}},
      // Blanks that part two operators stay where the two would join into another operator.
      {"a < < b", "a< <b", {{"Comparison", 1}}},
      {"a  >  > b", "a> >b", {{"Comparison", 1}}},
      {"x=1 : : y=2", "x=1: :y=2", {{"Colon", 1}}},
      {"a == b", "a == b", {}},
      {"a >< b", "a >< b", {}},
      {"a == b  +  c", "a == b+c", {}},
      {"a >< b , c", "a >< b, c", {}},
      {"a = 1   ", "a=1   ", {{"TrailingSpaces", 0}}},
      {"a = 1 ; x   ", "a=1 ; x   ", {{"TrailingSpaces", 0}}},
      {"a = 1 ; \xC3\xA9t\xC3\xA9 , \xE2\x82\xAC + x   ",
       "a=1 ; \xC3\xA9t\xC3\xA9 , \xE2\x82\xAC + x",
       {}},
      {"a$ = \"abc , d", "a$=\"abc , d", {}},
      {"a$ = 'abc , d", "a$='abc , d", {}},
      // An escaped literal `~"..."` ends at its first unescaped quote, else at the line end; a
      // plain one at its next quote.
      {"Text$ = ~\"say \\\"a = b\\\" now\" + x", "Text$=~\"say \\\"a = b\\\" now\"+x", {}},
      {"a$ = ~\"a\\\\\" + \"b\\\" , c", "a$=~\"a\\\\\"+\"b\\\", c", {}},
      {"a$ = ~\"a \\\" , b", "a$=~\"a \\\" , b", {}},
      {"Name :", "Name:", {}},
      {"x = 1 : Name :", "x=1 : Name :", {}},
      {"Name::Proc()", "Name::Proc()", {}},
      {"Name::Proc()", "Name:: Proc()", {{"Module", 2}}},
      {"p \\ x", "p\\x", {{"Field", 1}}},
      {"If \\x", "If \\x", {{"Field", 1}}},
      {"If   \\x", "If \\x", {{"Field", 1}}},
      {"Foo  (a)", "Foo (a)", {}},
      {"a  -  b", "a - b", {}},
  });
}

TEST(BeautifierEdgeCases, TrailingSpacesNoRulesKeepsFormattingLaterLines) {
  BeautifierEditor editor;
  editor.Set("TrailingSpaces", 0);
  editor.SetText("a = 1   \nb = 2 ; c  \nd  =  3");
  editor.FormatAll();
  EXPECT_EQ(editor.Text(), "a=1   \nb=2 ; c  \nd=3");
}

// Each rule with each of its choices, and with values it does not offer (acting as "No rules").
TEST(BeautifierRules, DefaultSpacing) {
  ExpectAll({
      {"a  b", "a b", {{"DefaultSpacing", 1}}},
      {"a  b", "a  b", {{"DefaultSpacing", 0}}},
      {"a \t b", "a b", {{"DefaultSpacing", 1}}},
      {"a\tb", "a\tb", {{"DefaultSpacing", 1}}},
      {"a  b", "a  b", {{"DefaultSpacing", 2}}},
      {"a  b", "a  b", {{"DefaultSpacing", -1}}},
      {"a  #b  $c", "a #b $c", {}},
      {"x  (a)  ", "x (a)", {}},
  });
}

TEST(BeautifierRules, Colon) {
  ExpectAll({
      {"Foo a  :  b", "Foo a : b", {{"Colon", 0}}},
      {"Foo a  :  b", "Foo a  :  b", {{"Colon", 0}, {"DefaultSpacing", 0}}},
      {"Foo a  :  b", "Foo a:b", {{"Colon", 1}}},
      {"Foo a  :  b", "Foo a : b", {{"Colon", 2}}},
      {"Foo a:b", "Foo a:b", {{"Colon", 0}}},
      {"Foo a:b", "Foo a:b", {{"Colon", 1}}},
      {"Foo a:b", "Foo a : b", {{"Colon", 2}}},
      {"Foo a:b", "Foo a:b", {{"Colon", 3}}},
      {"Foo a  :  b", "Foo a : b", {{"Colon", 7}}},
      {"Foo a\t:\tb", "Foo a\t:\tb", {{"Colon", 2}}},
      // A colon right after the indentation gets no blank in front.
      {"  :b", "  : b", {{"Colon", 2}}},
  });
}

TEST(BeautifierRules, Module) {
  ExpectAll({
      {"Foo  ::  Bar", "Foo :: Bar", {{"Module", 0}}},
      {"Foo  ::  Bar", "Foo::Bar", {{"Module", 1}}},
      {"Foo  ::  Bar", "Foo:: Bar", {{"Module", 2}}},
      {"Foo::Bar", "Foo:: Bar", {{"Module", 2}}},
      {"Foo::Bar", "Foo::Bar", {{"Module", 5}}},
      {"x = Foo ::Bar", "x=Foo::Bar", {{"Module", 1}}},
  });
}

TEST(BeautifierRules, Comma) {
  ExpectAll({
      {"Foo(a  ,  b)", "Foo(a , b)", {{"Comma", 0}}},
      {"Foo(a  ,  b)", "Foo(a,b)", {{"Comma", 1}}},
      {"Foo(a  ,  b)", "Foo(a, b)", {{"Comma", 2}}},
      {"Foo(a,b)", "Foo(a,b)", {{"Comma", 0}}},
      {"Foo(a,b)", "Foo(a, b)", {{"Comma", 2}}},
      {"Foo(a,\tb)", "Foo(a,\tb)", {{"Comma", 2}}},
      {"Foo(a  ,  b)", "Foo(a , b)", {{"Comma", 3}}},
      {"Foo(a,  b,c  ,d)", "Foo(a,b,c,d)", {{"Comma", 1}}},
  });
}

TEST(BeautifierRules, Math) {
  ExpectAll({
      {"a  +  b", "a + b", {{"Math", 0}}},
      {"a  +  b", "a+b", {{"Math", 1}}},
      {"a  +  b", "a + b", {{"Math", 2}}},
      {"a+b/c", "a+b/c", {{"Math", 0}}},
      {"a+b/c", "a + b / c", {{"Math", 2}}},
      {"a / b", "a/b", {{"Math", 1}}},
      {"a+b", "a+b", {{"Math", 9}}},
      {"a - b * c", "a - b * c", {{"Math", 1}}},
      {"a-b*c", "a-b*c", {{"Math", 2}}},
  });
}

TEST(BeautifierRules, Bitwise) {
  ExpectAll({
      {"a|b&c", "a|b&c", {{"Bitwise", 0}}},
      {"a | b & c", "a|b&c", {{"Bitwise", 1}}},
      {"a|b&c", "a | b & c", {{"Bitwise", 2}}},
      {"x = a  !  b", "x=a ! b", {{"Bitwise", 2}}},
      {"x = a  !  b", "x=a!b", {{"Bitwise", 1}}},
      {"a|b", "a|b", {{"Bitwise", 4}}},
  });
}

TEST(BeautifierRules, BitwiseShift) {
  ExpectAll({
      {"a<<b", "a<<b", {{"BitwiseShift", 0}}},
      {"a  >>  b", "a >> b", {{"BitwiseShift", 0}}},
      {"a  >>  b", "a>>b", {{"BitwiseShift", 1}}},
      {"a<<b", "a << b", {{"BitwiseShift", 2}}},
      {"a<<b", "a<<b", {{"BitwiseShift", 3}}},
  });
}

TEST(BeautifierRules, Comparison) {
  ExpectAll({
      {"a<>b", "a<>b", {{"Comparison", 0}}},
      {"a < b", "a<b", {{"Comparison", 1}}},
      {"a<=b", "a <= b", {{"Comparison", 2}}},
      {"a>=b", "a >= b", {{"Comparison", 2}}},
      {"a=<b", "a =< b", {{"Comparison", 2}}},
      {"a=>b", "a => b", {{"Comparison", 2}}},
      {"a  <>  b", "a<>b", {{"Comparison", 1}}},
      {"a  >  b", "a > b", {{"Comparison", 0}}},
      {"a<b", "a<b", {{"Comparison", 99}}},
      // Runs that no rule lists are left as they are.
      {"a <<= b", "a <<= b", {{"Comparison", 2}}},
      {"a===b", "a===b", {{"Comparison", 2}}},
      {"x = a <=> b", "x=a <=> b", {}},
      {"a==b", "a==b", {{"Comparison", 2}}},
  });
}

TEST(BeautifierRules, BitwiseNot) {
  ExpectAll({
      {"x = ~ a", "x=~ a", {{"BitwiseNot", 0}}},
      {"x = ~ a", "x=~a", {{"BitwiseNot", 1}}},
      {"x = ~ a", "x=~ a", {{"BitwiseNot", 2}}},
      {"x = ~\t\ta", "x=~a", {{"BitwiseNot", 1}}},
      // Joining `~` to a quote would turn a plain literal into an escaped one.
      {"x = ~  \"a\\\" , b", "x=~ \"a\\\", b", {{"BitwiseNot", 1}}},
  });
}

TEST(BeautifierRules, Type) {
  ExpectAll({
      {"a . b", "a . b", {{"Type", 0}}},
      {"a . b", "a.b", {{"Type", 1}}},
      {"a . b", "a . b", {{"Type", 2}}},
      {"x = 1.5", "x=1.5", {}},
  });
}

TEST(BeautifierRules, Field) {
  ExpectAll({
      {"p \\ x", "p \\ x", {{"Field", 0}}},
      {"p \\ x", "p\\x", {{"Field", 1}}},
      {"p \\ x", "p \\ x", {{"Field", 2}}},
      {"p  \\x", "p \\x", {{"Field", 0}}},
      {"While  \\x", "While \\x", {{"Field", 1}}},
  });
}

TEST(BeautifierRules, Label) {
  ExpectAll({
      {"MyLabel :", "MyLabel :", {{"Label", 0}}},
      {"MyLabel :", "MyLabel:", {{"Label", 1}}},
      {"MyLabel :", "MyLabel :", {{"Label", 2}}},
      {"  MyLabel \t :", "  MyLabel:", {{"Label", 1}}},
      {"MyLabel : x = 1", "MyLabel: x=1", {{"Label", 1}}},
      {"MyLabel : x = 1", "MyLabel : x=1", {{"Label", 0}}},
      // Only at the start of a line, and only with one colon.
      {"x = 1 : MyLabel :", "x=1 : MyLabel :", {}},
      {"Mod :: x", "Mod::x", {}},
  });
}

TEST(BeautifierRules, Asm) {
  ExpectAll({
      {"!  mov eax", "! mov eax", {{"ASM", 0}}},
      {"!  mov eax", "!mov eax", {{"ASM", 1}}},
      {"!  mov eax", "! mov eax", {{"ASM", 2}}},
      {"!mov eax", "! mov eax", {{"ASM", 2}}},
      {"  !mov eax", "  ! mov eax", {{"ASM", 2}}},
      {"!mov eax", "!mov eax", {{"ASM", 3}}},
      // Not at the start of a line: the Bitwise rule.
      {"a!b", "a ! b", {{"ASM", 2}}},
  });
}

TEST(BeautifierRules, Bracket) {
  ExpectAll({
      {"Foo( a )", "Foo( a )", {{"Bracket", 0}}},
      {"Foo( a )", "Foo(a)", {{"Bracket", 1}}},
      {"Foo( a )", "Foo( a )", {{"Bracket", 2}}},
      {"x = [ 1 ] + { 2 }", "x=[1]+{2}", {{"Bracket", 1}}},
      {"( a )", "(a)", {{"Bracket", 1}}},
      {"Foo(\ta\t)", "Foo(a)", {{"Bracket", 1}}},
      {"Foo (a) ", "Foo (a)", {}},
  });
}

TEST(BeautifierRules, TrailingSpaces) {
  ExpectAll({
      {"a   ", "a   ", {{"TrailingSpaces", 0}}},
      {"a \t ", "a", {{"TrailingSpaces", 1}}},
      {"a   ", "a   ", {{"TrailingSpaces", 2}}},
      {"; note \t", "; note", {{"TrailingSpaces", 1}}},
      {"; note \t", "; note \t", {{"TrailingSpaces", 0}}},
      {"   ;   ", "   ;", {{"TrailingSpaces", 1}}},
      {"a\t", "a", {{"TrailingSpaces", 1}}},
  });
}

// The blanks the rules as first written would add, and the scan positions that follow.
TEST(BeautifierSoundBehaviour, NoBlankAddedAtTheLineEnd) {
  ExpectAll({
      {"Foo(a,", "Foo(a,", {{"Comma", 2}}},
      {"Foo(a ,", "Foo(a,", {{"Comma", 2}}},
      {"Foo(a,   ", "Foo(a,", {{"Comma", 2}}},
      {"Foo(a,   ", "Foo(a,   ", {{"Comma", 2}, {"TrailingSpaces", 0}}},
      {"x = a |   ", "x=a |", {}},
      {"x = a |   ", "x=a |   ", {{"TrailingSpaces", 0}}},
      {"x = a|", "x=a |", {}},
      {"x = a  |", "x=a |", {}},
      {"a +", "a +", {{"Math", 2}}},
      {"a=", "a =", {{"Comparison", 2}}},
      {"Foo a:", "Foo a :", {{"Colon", 2}}},
      {"Foo::", "Foo::", {{"Module", 2}}},
      {"!", "!", {{"ASM", 2}}},
      {"!  ", "!", {{"ASM", 2}}},
      {"!  ", "!  ", {{"ASM", 2}, {"TrailingSpaces", 0}}},
      // A run without a rule leaves blanks that end the line to the trailing-blanks rule.
      {"a ==   ", "a ==", {}},
      {"a==  ", "a==", {}},
      {"a ==   ", "a ==   ", {{"TrailingSpaces", 0}}},
  });
}

TEST(BeautifierSoundBehaviour, NoBlankAddedBetweenIndentationAndFirstCharacter) {
  ExpectAll({
      {"  | #B", "  | #B", {{"Bitwise", 2}}},
      {"  |#B", "  | #B", {{"Bitwise", 2}}},
      {"\t+ x", "\t+ x", {{"Math", 2}}},
      {"  |", "  |", {{"Bitwise", 2}}},
      {"  |  ", "  |", {{"Bitwise", 2}}},
      {"| x", "| x", {{"Bitwise", 2}}},
      {"=x", "= x", {{"Comparison", 2}}},
      {"  <<x", "  << x", {{"BitwiseShift", 2}}},
      {"  | a|b", "  | a | b", {{"Bitwise", 2}}},
  });
}

TEST(BeautifierSoundBehaviour, NoSecondBlankInFrontOfAnOperatorThatHasOne) {
  ExpectAll({
      {"a, !b", "a, ! b", {}},
      {"a,\t!b", "a,\t! b", {}},
      {"a | !b", "a | ! b", {}},
      {"If a = 1 : !nop", "If a=1 : ! nop", {}},
      {"a == !b", "a == ! b", {}},
      {"a, +b", "a, + b", {{"Math", 2}}},
      {"a, +b", "a, +b", {{"Math", 1}}},
      {"a, =b", "a, = b", {{"Comparison", 2}}},
      {"Foo a : :b", "Foo a : : b", {{"Colon", 2}}},
  });
}

TEST(BeautifierLines, RangeOnlyAndOutOfDocument) {
  BeautifierEditor editor;
  editor.SetText("a = 1\nb = 2\nc = 3\n");
  editor.Format(1, 1);
  EXPECT_EQ(editor.Text(), "a = 1\nb=2\nc = 3\n");
  editor.Format(2, 1);  // first after last: nothing
  EXPECT_EQ(editor.Text(), "a = 1\nb=2\nc = 3\n");
  editor.Format(4, 100);  // past the end: nothing
  EXPECT_EQ(editor.Text(), "a = 1\nb=2\nc = 3\n");
  editor.Format(-5, -1);
  EXPECT_EQ(editor.Text(), "a = 1\nb=2\nc = 3\n");
  editor.Format(-1, 1000000000000LL);
  EXPECT_EQ(editor.Text(), "a=1\nb=2\nc=3\n");
}

TEST(BeautifierLines, LineEndsOfEveryKind) {
  ExpectAll({
      {"a = 1\r\nb = 2 \r\nc  ,  d", "a=1\r\nb=2\r\nc, d", {}},
      {"a = 1\rb = 2 \rc", "a=1\rb=2\rc", {}},
      {"a = 1 \n\n  \nb = 2", "a=1\n\n  \nb=2", {}},
  });
}

TEST(BeautifierLines, KeepsTheCaretWithItsText) {
  BeautifierEditor editor;
  editor.SetText("a  =  b\nc");
  editor.Send(sci::SCI_GOTOPOS, 7);  // behind b
  editor.FormatAll();
  EXPECT_EQ(editor.Text(), "a=b\nc");
  EXPECT_EQ(editor.Send(sci::SCI_GETCURRENTPOS), 3);
}

// What no setting can change is read from the line's text, not searched for: one blank between
// words or in front of a character without a rule, literals, a comment without blanks behind
// it. A paste of tidy code then costs a few messages a line.
TEST(BeautifierLines, NothingToChangeIsNotSearchedFor) {
  const std::string tidy =
      "If a Or b\n"
      "  Debug \"a  ,  b\" 'c'\n"
      "x - 1 * #Max ; a  ,  note\n"
      "\tEndIf\n"
      "   \n"
      "\n"
      "Next";
  for (const Settings& settings : {Settings{}, NoRulesButDefaultSpacing(), ChoiceTwoSettings()}) {
    BeautifierEditor editor;
    editor.Set(settings);
    editor.SetText(tidy);
    int searches = 0;
    editor.ObserveMessages([&searches](std::uint32_t message) {
      if (message == sci::SCI_FINDTEXT) ++searches;
    });
    editor.FormatAll();
    editor.ObserveMessages(nullptr);
    EXPECT_EQ(editor.Text(), tidy);
    EXPECT_EQ(searches, 0);
  }
}

TEST(BeautifierBadInput, StaysCalmAndChangesOnlyBlanks) {
  ExpectAll({
      {";", ";", {}},
      {"  ;", "  ;", {}},
      {"\"", "\"", {}},
      {"'", "'", {}},
      {"a = \"", "a=\"", {}},
      {"a = '", "a='", {}},
      {"\"\"  +  ''", "\"\"+''", {}},
      {"a\x01  =  b\x7f", "a\x01=b\x7f", {}},
      {"a \x0b b", "a \x0b b", {}},
      {"\xC3\xA9  =  1", "\xC3\xA9=1", {}},
      {"\xF0\x9D\x84\x9E  +  \xF0\x9D\x84\x9E", "\xF0\x9D\x84\x9E+\xF0\x9D\x84\x9E", {}},
      {"\xC3  +  \xFF , \x80", "\xC3+\xFF, \x80", {}},
      {"x = \"\xE2\x82\" , '\xFF'  ;  \xC3", "x=\"\xE2\x82\", '\xFF'  ;  \xC3", {}},
      {"::::", "::::", {}},
      {"a ::::  b", "a::::b", {}},
      {"<<<<<<", "<<<<<<", {}},
      {"\\\\  \\", "\\\\\\", {}},
      // Vertical tabs and form feeds are not blanks: never removed, not even by a label or an
      // assembly line's rule.
      {"!\x0b mov", "!\x0b mov", {{"ASM", 1}}},
      {"! \x0b mov", "!\x0b mov", {{"ASM", 1}}},
      {"Name\x0b:", "Name\x0b :", {}},
      {"Name \x0c :", "Name \x0c :", {}},
  });
}

TEST(BeautifierBadInput, VeryLongLinesFinish) {
  std::string code = "a = b";
  std::string expected = "a=b";
  while (code.size() < 100000) {
    code += " + c ,  d";
    expected += "+c, d";
  }
  EXPECT_EQ(Formatted(code), expected);

  const std::string word(100000, 'x');
  EXPECT_EQ(Formatted(word), word);
  EXPECT_EQ(Formatted("a  " + word + "  "), "a " + word);
  EXPECT_EQ(Formatted(word + " :"), word + ":");
  const std::string tabs(100000, '\t');
  EXPECT_EQ(Formatted(tabs), tabs);
  EXPECT_EQ(Formatted("x" + tabs), "x");
  const std::string equals(100000, '=');
  EXPECT_EQ(Formatted("a " + equals + " b"), "a " + equals + " b");
  const std::string comment = "; " + std::string(100000, 'c') + "   ";
  EXPECT_EQ(Formatted("a = 1 " + comment), "a=1 ; " + std::string(100000, 'c'));
  std::string escapes = "~\"";
  while (escapes.size() < 100000) escapes += "\\\" , \\\\";
  EXPECT_EQ(Formatted("a = " + escapes + "\" + b"), "a=" + escapes + "\"+b");
  EXPECT_EQ(Formatted("a = " + escapes), "a=" + escapes);
}

}  // namespace
