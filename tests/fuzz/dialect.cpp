#include "dialect.h"

#include <array>
#include <string_view>
#include <vector>

namespace fuzz {
namespace {

const std::vector<std::string_view> kKeywords = {
    "If",      "ElseIf",    "Else",      "EndIf",        "For",       "To",           "Step",
    "Next",    "While",     "Wend",      "Repeat",       "Until",     "Select",       "Case",
    "Default", "EndSelect", "Procedure", "EndProcedure", "Structure", "EndStructure", "With",
    "EndWith", "Module",    "EndModule", "Protected",    "Global",    "And",          "Or",
    "Xor",     "Not",       "Break",     "Continue",     "End",       "endif",        "WEND"};

const std::vector<std::string_view> kIdentifiers = {"a",
                                                    "b1",
                                                    "_x",
                                                    "Foo",
                                                    "x$",
                                                    "Result$",
                                                    "*p",
                                                    "Mod",
                                                    "Name",
                                                    "eax",
                                                    "ebx",
                                                    "value.l",
                                                    "#Const",
                                                    "#Text$",
                                                    "List",
                                                    "i",
                                                    "\xC3\xA9t\xC3\xA9",
                                                    "na\xC3\xAFve",
                                                    "\xE6\x97\xA5\xE6\x9C\xAC"};

const std::vector<std::string_view> kNumbers = {
    "0", "1", "42", "1.5", ".5", "1e10", "$FF", "%101", "-3", "007", "3.", "99999999999999999999"};

const std::vector<std::string_view> kOperators = {
    "=",   "==",  "<",   ">",   "<>",  "<=",  ">=",  "=<",  "=>", "><",  "<<",   ">>", "<<=",
    "===", "+",   "-",   "*",   "/",   "!",   "|",   "&",   "~",  "\\",  ".",    ",",  ":",
    "::",  ":::", "(",   ")",   "[",   "]",   "{",   "}",   "?",  "@",   "^",    "`",  "#",
    "$",   "%",   "< =", "< <", "> >", ": :", "= =", "> <", "~ ", ". .", "\\ \\"};

const std::vector<std::string_view> kStrings = {"\"str , a\"",
                                                "\"\"",
                                                "\"a  =  b\"",
                                                "\"\xC3\xA9 \xF0\x9D\x84\x9E\"",
                                                "\"unterminated ,",
                                                "\"",
                                                "~\"esc \\\" , a\"",
                                                "~\"esc \\\\\"",
                                                "~\"\\t\\n\"",
                                                "~\"open \\",
                                                "~\"",
                                                "~ \"a\\\"b\"",
                                                "\"a\\\"",
                                                "\"; not a comment\"",
                                                "\"'\""};

const std::vector<std::string_view> kCharacters = {"'c'",  "'",    "' x ,",      "''",
                                                   "'\\'", "'\"'", "'\xC3\xA9'", "';'"};

const std::vector<std::string_view> kComments = {
    "; note , a  =  b", ";",       ";\xC3\xA9 \xF0\x9D\x84\x9E",
    "; \"not a string", "; 'x   ", ";;;",
    "; ~\"x\\\"",       ";\t\t",   "; trailing   "};

const std::vector<std::string_view> kBadBytes = {"\xC3",
                                                 "\xFF",
                                                 "\x80",
                                                 "\x01",
                                                 "\x0b",
                                                 "\x0c",
                                                 "\xED\xA0\x80",
                                                 "\xF4\x90\x80\x80",
                                                 "\xE2\x82",
                                                 "\x7F",
                                                 std::string_view("\0", 1)};

std::string_view From(Random& random, const std::vector<std::string_view>& list) {
  return list[Pick(random, list.size())];
}

struct BlockPair {
  std::string_view open, middle, close;
};
const std::array<BlockPair, 9> kBlocks = {{{"If a = 1", "Else", "EndIf"},
                                           {"For i = 1 To 10 Step 2", "", "Next i"},
                                           {"While x < 10", "", "Wend"},
                                           {"Repeat", "", "Until a >= b"},
                                           {"Select x", "Case 1, 2", "EndSelect"},
                                           {"Procedure Foo(a, *b.l = 5)", "", "EndProcedure"},
                                           {"Structure Point", "", "EndStructure"},
                                           {"With *p", "", "EndWith"},
                                           {"Module M", "", "EndModule"}}};

std::string Indentation(Random& random, int depth) {
  if (Chance(random, 150)) return Blanks(random);
  return std::string(static_cast<std::size_t>(depth) * 2, Chance(random, 100) ? '\t' : ' ');
}

std::string Statement(Random& random) {
  std::string line;
  const int count = static_cast<int>(Pick(random, 12));
  for (int i = 0; i < count; ++i) {
    line += Token(random);
    line += Blanks(random);
  }
  return line;
}

std::size_t g_longestLine = 200000;

}  // namespace

void SetLongestLine(std::size_t length) { g_longestLine = length < 1000 ? 1000 : length; }

std::size_t Pick(Random& random, std::size_t count) {
  return count == 0 ? 0 : static_cast<std::size_t>(random() % count);
}

bool Chance(Random& random, int perMille) { return static_cast<int>(random() % 1000) < perMille; }

std::string Token(Random& random) {
  const std::size_t kind = Pick(random, 100);
  if (kind < 14) return std::string(From(random, kKeywords));
  if (kind < 34) return std::string(From(random, kIdentifiers));
  if (kind < 44) return std::string(From(random, kNumbers));
  if (kind < 74) return std::string(From(random, kOperators));
  if (kind < 84) return std::string(From(random, kStrings));
  if (kind < 89) return std::string(From(random, kCharacters));
  if (kind < 92) return std::string(From(random, kComments));
  if (kind < 95) return std::string(From(random, kBadBytes));
  if (kind < 98) return std::string(From(random, kIdentifiers)) + "(";
  return std::string(1, static_cast<char>(Pick(random, 256)));
}

std::string Blanks(Random& random) {
  static const std::array<std::string_view, 10> kRuns = {"",   "",   "",    " ",    " ",
                                                         "  ", "\t", " \t", "\t\t", "    "};
  return std::string(kRuns[Pick(random, kRuns.size())]);
}

std::string Line(Random& random, bool longLines) {
  std::string line = Blanks(random);
  const std::size_t shape = Pick(random, 100);
  if (shape < 6) {
    line += std::string(From(random, kIdentifiers)) + Blanks(random) + ":" + Blanks(random);
    if (Chance(random, 500)) line += Statement(random);
  } else if (shape < 12) {
    line += (Chance(random, 500) ? "!" : " !") + Blanks(random) + "mov eax" + Blanks(random) + "," +
            Blanks(random) + "[ebx" + Blanks(random) + "+" + Blanks(random) + "4]";
    if (Chance(random, 300)) line += Statement(random);
  } else if (shape < 18) {
    line += std::string(From(random, kComments));
  } else if (shape < 24) {
    line += std::string(From(random, kIdentifiers)) + Blanks(random) + "=" + Blanks(random) +
            std::string(From(random, kStrings)) + Blanks(random) + "+" + Blanks(random) +
            std::string(From(random, kCharacters));
  } else {
    line += Statement(random);
  }
  if (Chance(random, 100)) line += Blanks(random) + std::string(From(random, kComments));
  if (longLines && random() % 150000 == 0) {
    // A long line: a statement repeated up to the longest length, sometimes one literal.
    const std::size_t target = 1000 + Pick(random, g_longestLine - 999);
    const std::string piece = Chance(random, 500) ? Statement(random) + " " : "a , b+ 1 ";
    if (Chance(random, 200)) line += "\"";
    while (line.size() + piece.size() <= target) line += piece;
  }
  return line;
}

std::string LineEnd(Random& random) {
  const std::size_t kind = Pick(random, 20);
  if (kind < 9) return "\r\n";
  if (kind < 18) return "\n";
  return "\r";
}

std::string Block(Random& random, int maxLines, bool longLines) {
  const bool mixed = Chance(random, 100);
  const std::string end = LineEnd(random);
  std::string text;
  std::vector<const BlockPair*> open;
  const int lines = 1 + static_cast<int>(Pick(random, static_cast<std::size_t>(maxLines)));
  for (int i = 0; i < lines; ++i) {
    const int depth = static_cast<int>(open.size());
    const std::size_t what = Pick(random, 10);
    if (what < 2 && open.size() < 6) {
      const BlockPair* pair = &kBlocks[Pick(random, kBlocks.size())];
      text += Indentation(random, depth) + std::string(pair->open);
      open.push_back(pair);
    } else if (what < 4 && !open.empty()) {
      text += Indentation(random, depth - 1) + std::string(open.back()->close);
      open.pop_back();
    } else if (what < 5 && !open.empty() && !open.back()->middle.empty()) {
      text += Indentation(random, depth - 1) + std::string(open.back()->middle);
    } else {
      std::string line = Line(random, longLines);
      const std::size_t first = line.find_first_not_of(" \t");
      text += Indentation(random, depth) + (first == std::string::npos ? "" : line.substr(first));
    }
    if (i + 1 < lines || Chance(random, 600)) text += mixed ? LineEnd(random) : end;
  }
  return text;
}

}  // namespace fuzz
