// Properties of the beautifier on random lines of the dialect's tokens with random settings:
// only blanks change outside strings, character literals and comments; those are unchanged byte
// for byte (but for the blanks that end a line after a comment); the indentation is unchanged;
// no blank appears at a line end that had none; the scan ends after a bounded number of searches.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "beautifier_editor.h"
#include "iface/scintilla.h"

namespace {

using beautifier_test::BeautifierEditor;
using beautifier_test::SpacingRules;

// Tokens of the dialect and of its bad input.
const std::vector<std::string>& Tokens() {
  static const std::vector<std::string> tokens = {
      "a",
      "b1",
      "_x",
      "Foo",
      "If",
      "While",
      "EndIf",
      "x$",
      "#Const",
      "*p",
      "1",
      "1.5",
      "$FF",
      "%101",
      "Mod",
      "Name",
      "eax",
      "\xC3\xA9t\xC3\xA9",
      "\xF0\x9D\x84\x9E",
      "\xC3",
      "\xFF",
      "\x80",
      "\x01",
      "\x0b",
      "\x0c",
      "=",
      "==",
      "<",
      ">",
      "<>",
      "<=",
      ">=",
      "=<",
      "=>",
      "><",
      "<<",
      ">>",
      "<<=",
      "===",
      "<=>",
      "+",
      "-",
      "*",
      "/",
      "!",
      "|",
      "&",
      "~",
      "\\",
      ".",
      ",",
      ":",
      "::",
      ":::",
      "(",
      ")",
      "[",
      "]",
      "{",
      "}",
      "?",
      "@",
      "^",
      "`",
      "\"str , a\"",
      "\"unterminated ,",
      "\"\"",
      "~\"esc \\\" , a\"",
      "~\"esc \\\\\"",
      "'c'",
      "'",
      "' x ,",
      "\"",
      "; note , a  =  b",
      ";",
      ";\xC3\xA9 \xF0\x9D\x84\x9E",
      "; \"not a string",
      "; 'x   ",
  };
  return tokens;
}

const std::vector<std::string>& Blanks() {
  static const std::vector<std::string> blanks = {"",   "",    " ",    " ",  "  ",
                                                  "\t", " \t", "\t\t", "   "};
  return blanks;
}

std::string RandomLine(std::mt19937& random) {
  std::uniform_int_distribution<int> tokenCount(0, 14);
  std::uniform_int_distribution<std::size_t> token(0, Tokens().size() - 1);
  std::uniform_int_distribution<std::size_t> blank(0, Blanks().size() - 1);
  std::string line = Blanks()[blank(random)];
  const int count = tokenCount(random);
  for (int i = 0; i < count; ++i) {
    line += Tokens()[token(random)];
    line += Blanks()[blank(random)];
  }
  return line;
}

std::int64_t RandomSetting(std::mt19937& random) {
  std::uniform_int_distribution<int> pick(0, 19);
  const int value = pick(random);
  if (value < 6) return 0;
  if (value < 12) return 1;
  if (value < 17) return 2;
  if (value == 17) return 3;
  if (value == 18) return -1;
  return 1000000;
}

// A line cut into its indentation, its code (blanks and all) and its protected part:
// strings and character literals inside the code are kept apart, and a comment runs to the end.
// A string with a tilde directly before it is escaped: a backslash takes the next character.
struct Parts {
  std::string indentation;
  std::string codeWithoutBlanks;      // code with every blank removed
  std::vector<std::string> literals;  // strings and character literals, in order
  std::string comment;                // from ';' on, trailing blanks removed
  bool endsWithBlank = false;
};

bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }

Parts Split(const std::string& line) {
  Parts parts;
  std::size_t at = 0;
  while (at < line.size() && IsBlank(line[at])) parts.indentation += line[at++];
  while (at < line.size()) {
    const char ch = line[at];
    if (ch == '"' || ch == '\'') {
      std::size_t end = line.find(ch, at + 1);
      if (ch == '"' && at > 0 && line[at - 1] == '~') {
        end = at + 1;
        while (end < line.size() && line[end] != '"') end += line[end] == '\\' ? 2 : 1;
        if (end >= line.size()) end = std::string::npos;
      }
      end = end == std::string::npos ? line.size() : end + 1;
      parts.literals.push_back(line.substr(at, end - at));
      parts.codeWithoutBlanks += '\x02';  // a literal's place
      at = end;
      continue;
    }
    if (ch == ';') {
      std::string comment = line.substr(at);
      while (!comment.empty() && IsBlank(comment.back())) comment.pop_back();
      parts.comment = comment;
      break;
    }
    if (!IsBlank(ch)) parts.codeWithoutBlanks += ch;
    ++at;
  }
  parts.endsWithBlank = !line.empty() && IsBlank(line.back());
  return parts;
}

TEST(BeautifierProperties, OnlyBlanksOfCodeChangeAndTheScanEnds) {
  std::mt19937 random(20261207);
  std::size_t searches = 0;
  constexpr int kRounds = 10000;
  BeautifierEditor editor;
  for (int round = 0; round < kRounds; ++round) {
    std::string settingsText;
    for (const char* rule : SpacingRules()) {
      const std::int64_t value = RandomSetting(random);
      editor.Set(rule, value);
      settingsText += std::string(rule) + "=" + std::to_string(value) + " ";
    }
    const std::string line = RandomLine(random);
    editor.SetText(line);
    searches = 0;
    editor.ObserveMessages([&searches](std::uint32_t message) {
      if (message == sci::SCI_FINDTEXT) ++searches;
    });
    editor.Format(0, 0);
    editor.ObserveMessages(nullptr);
    const std::string after = editor.Text();

    const Parts was = Split(line);
    const Parts is = Split(after);
    const std::string where = "line [" + line + "] -> [" + after + "] with " + settingsText;
    ASSERT_EQ(is.indentation, was.indentation) << where;
    ASSERT_EQ(is.codeWithoutBlanks, was.codeWithoutBlanks) << where;
    ASSERT_EQ(is.literals, was.literals) << where;
    ASSERT_EQ(is.comment, was.comment) << where;
    if (!was.endsWithBlank) {
      ASSERT_FALSE(is.endsWithBlank) << where;
    }
    // A comment's own text is never cut: the line keeps everything up to its last non-blank.
    if (!was.comment.empty()) {
      ASSERT_NE(after.find(was.comment), std::string::npos) << where;
    }
    // At most a few searches per character of the line: the scan always moves forward.
    ASSERT_LE(searches, 8 * line.size() + 8) << where;
  }
}

// Formatting what was formatted changes nothing, as long as the blanks the rules remove do not
// join two operators into one (`< <` becomes `<<`, which the next run treats as a shift).
TEST(BeautifierProperties, FormattingTwiceIsFormattingOnce) {
  std::mt19937 random(99);
  const std::regex joinable("([<>=:])[ \t]+([<>=:])");
  BeautifierEditor editor;
  int checked = 0;
  for (int round = 0; round < 6000; ++round) {
    std::string settingsText;
    for (const char* rule : SpacingRules()) {
      const std::int64_t value = RandomSetting(random);
      editor.Set(rule, value);
      settingsText += std::string(rule) + "=" + std::to_string(value) + " ";
    }
    const std::string line = RandomLine(random);
    if (std::regex_search(line, joinable)) continue;
    ++checked;
    editor.SetText(line);
    editor.Format(0, 0);
    const std::string once = editor.Text();
    editor.SetText(once);
    editor.Format(0, 0);
    ASSERT_EQ(editor.Text(), once) << "line [" << line << "] with " << settingsText;
  }
  EXPECT_GT(checked, 1000);
}

TEST(BeautifierProperties, ManyLinesAtOnceEqualLineByLine) {
  std::mt19937 random(7);
  for (int round = 0; round < 100; ++round) {
    std::string text;
    std::vector<std::string> lines;
    for (int i = 0; i < 8; ++i) lines.push_back(RandomLine(random));
    for (std::size_t i = 0; i < lines.size(); ++i) text += lines[i] + (i % 2 ? "\r\n" : "\n");

    std::string expected;
    for (std::size_t i = 0; i < lines.size(); ++i)
      expected += beautifier_test::Formatted(lines[i]) + (i % 2 ? "\r\n" : "\n");

    BeautifierEditor whole;
    whole.SetText(text);
    whole.FormatAll();
    ASSERT_EQ(whole.Text(), expected) << text;
  }
}

}  // namespace
