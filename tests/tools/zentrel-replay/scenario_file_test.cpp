// Scenario files: what parses, and the messages (file and line) for what does not.
#include "scenario_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ParseCase {
  const char* name;
  const char* text;
  const char* error;  // nullptr: parses
};

class ScenarioParseTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ScenarioParseTest, ReportsFileAndLine) {
  const ParseCase& c = GetParam();
  std::vector<replay::Scenario> scenarios;
  std::string error;
  const bool parsed = replay::ParseScenarioFile("s.scn", c.text, &scenarios, &error);
  if (c.error) {
    EXPECT_FALSE(parsed) << c.name;
    EXPECT_EQ(error, c.error) << c.name;
  } else {
    EXPECT_TRUE(parsed) << c.name << ": " << error;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ScenarioParseTest,
    testing::Values(
        ParseCase{"unknown command", "scenario a\ntype x\nfrobnicate 3\n",
                  "s.scn:3: unknown command 'frobnicate'"},
        ParseCase{"missing end", "scenario a\ntext\nabc\n", "s.scn:2: 'text' block has no 'end'"},
        ParseCase{"two carets on two lines", "text\na{|}\nb{|}\nend\n",
                  "s.scn:3: a second caret {|} in the block"},
        ParseCase{"two carets on one line", "expect\n{|}a{|}\nend\n",
                  "s.scn:2: a second caret {|} in the block"},
        ParseCase{"caret needs numbers", "caret 1 x\n",
                  "s.scn:1: 'caret': lines and columns are numbers from 1"},
        ParseCase{"caret from one", "caret 0 1\n",
                  "s.scn:1: 'caret': lines and columns are numbers from 1"},
        ParseCase{"select needs four", "select 1 1 2\n", "s.scn:1: 'select' needs L1 C1 L2 C2"},
        ParseCase{"unknown key", "key Ctrl+F13\n", "s.scn:1: 'key': unknown key 'Ctrl+F13'"},
        ParseCase{"eol mode", "eol cr\n", "s.scn:1: 'eol': line end mode must be lf or crlf"},
        ParseCase{"set value", "set A.B x\n", "s.scn:1: 'set': setting value must be an integer"},
        ParseCase{"set name", "set AB 1\n", "s.scn:1: 'set': setting must be GROUP.KEY"},
        ParseCase{"type needs text", "type\n", "s.scn:1: 'type' needs TEXT"},
        ParseCase{"focus takes nothing", "focus now\n", "s.scn:1: 'focus' takes no arguments"},
        ParseCase{"wait number", "wait -5\n",
                  "s.scn:1: 'wait': milliseconds must be a number from 0"},
        ParseCase{"hold only modifiers", "hold Win\n",
                  "s.scn:1: 'hold': only Ctrl, Shift and Alt can be held"},
        ParseCase{"prop value", "expect-prop .Plugin.Tool many\n",
                  "s.scn:1: 'expect-prop': value must be an integer or absent"},
        ParseCase{"sent integers", "expect-sent 2403 x 5\n",
                  "s.scn:1: 'expect-sent': arguments must be integers"},
        ParseCase{"block command takes nothing", "text abc\nend\n",
                  "s.scn:1: 'text' takes no arguments; its block follows"},
        ParseCase{"comments and blanks", "# c\n\n   # d\nscenario a\n  type x\n", nullptr},
        ParseCase{"blank lines inside a block", "text\n\n# kept\nend\n", nullptr},
        ParseCase{"paste marker is literal", "paste\n{|}{|}\nend\n", nullptr},
        ParseCase{"hex and negative", "expect-sci 0x7D5 -1 0\n", nullptr},
        ParseCase{"message by name", "expect-sci SCI_GETCARETWIDTH 0 2\n", nullptr},
        ParseCase{"unknown message", "expect-sent SCI_NOSUCHMESSAGE 0 2\n",
                  "s.scn:1: 'expect-sent': unknown message 'SCI_NOSUCHMESSAGE'"},
        ParseCase{"every command",
                  "scenario all\neol lf\nset G.K 1\ndisable G\ntext\na{|}\nend\n"
                  "type x\nkey Enter\npaste y\ncaret 1 1\nselect 1 1 1 2\nfocus\neditor b\n"
                  "typing-delay 10\nwait 5\nexpect\nb\nend\nexpect-line 1 b\n"
                  "expect-prop .P absent\nexpect-env X any\nexpect-sent 1 2 3\n"
                  "ignore-key Ctrl+I\nexpect-sci 2189 0 1\nundo\nend\nhold Ctrl\nrelease Ctrl\n"
                  "clipboard\nend\nclipboard z\nhold Shift\nkey Insert\nrelease Shift\n"
                  "key Shift+Insert\n",
                  nullptr}),
    [](const testing::TestParamInfo<ParseCase>& info) {
      std::string name = info.param.name;
      for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      }
      return name;
    });

TEST(ScenarioFile, ScenariosTakeTheirCommands) {
  std::vector<replay::Scenario> scenarios;
  std::string error;
  ASSERT_TRUE(replay::ParseScenarioFile(
      "dir/first.scn", "type a\nscenario second one\ntype  b c \nexpect-line 2  x\n", &scenarios,
      &error));
  ASSERT_EQ(scenarios.size(), 2u);
  EXPECT_EQ(scenarios[0].name, "first");  // before the first `scenario`: the file's name
  EXPECT_EQ(scenarios[1].name, "second one");
  ASSERT_EQ(scenarios[1].commands.size(), 2u);
  EXPECT_EQ(scenarios[1].commands[0].rest, " b c ");  // blanks kept
  EXPECT_EQ(scenarios[1].commands[0].line, 3);
  EXPECT_EQ(scenarios[1].commands[1].words, (std::vector<std::string>{"2"}));
  EXPECT_EQ(scenarios[1].commands[1].rest, " x");
}

TEST(ScenarioFile, JoinBlockTakesOutTheCaret) {
  long caret = 0;
  EXPECT_EQ(replay::JoinBlock({"ab", "c{|}d"}, "\r\n", &caret), "ab\r\ncd");
  EXPECT_EQ(caret, 5);
  EXPECT_EQ(replay::JoinBlock({"ab", ""}, "\n", &caret), "ab\n");
  EXPECT_EQ(caret, -1);
  EXPECT_EQ(replay::JoinBlock({}, "\n", &caret), "");
}

}  // namespace
