// zentrel-format's speed natively: lines a second on a file of 20,000 dense random lines of the
// dialect (every kind of token a rule acts on, seeded, so every run formats the same file), with
// the catalogue's defaults. Prints figures; asserts nothing.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "tools/zentrel-format/format_tool.h"

namespace {

constexpr int kLines = 20000;
constexpr double kLinesASecondGoal = 160000;  // twice what the formatter did at first

std::string DenseRandomLines() {
  static const char* const tokens[] = {"a",      "x$",  "Foo", "If",        "1.5", "#Const", "*p",
                                       "=",      "==",  "<>",  "<=",        "<<",  "+",      "-",
                                       "/",      "!",   "|",   "&",         "~",   "\\",     ".",
                                       ",",      ":",   "::",  "(",         ")",   "[",      "]",
                                       "\"s,\"", "'c'", "; n", "~\"e\\\"\""};
  static const char* const blanks[] = {"", "", " ", "  ", "\t"};
  std::mt19937 random(15);
  std::uniform_int_distribution<std::size_t> token(0, std::size(tokens) - 1);
  std::uniform_int_distribution<std::size_t> blank(0, std::size(blanks) - 1);
  std::uniform_int_distribution<int> count(6, 14);
  std::string text;
  for (int line = 0; line < kLines; ++line) {
    text += blanks[blank(random)];
    for (int i = count(random); i > 0; --i) {
      text += tokens[token(random)];
      text += blanks[blank(random)];
    }
    text += '\n';
  }
  return text;
}

}  // namespace

int main() {
  const std::string text = DenseRandomLines();
  zentrel_format::Formatter formatter(zentrel_format::CatalogueDefaults());
  std::vector<double> seconds;
  std::size_t outputBytes = 0;
  for (int round = 0; round < 5; ++round) {
    const auto start = std::chrono::steady_clock::now();
    outputBytes = formatter.Format(text).size();
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(seconds.begin(), seconds.end());
  const double fastest = kLines / seconds.front();
  std::printf(
      "zentrel-format: %d dense random lines (%zu bytes, %zu formatted): %.0f lines a second"
      " fastest, %.0f median of 5\n",
      kLines, text.size(), outputBytes, fastest, kLines / seconds[seconds.size() / 2]);
  std::printf("goal: zentrel-format-lines-a-second figure=%.0f goal=>=%.0f ratio=%.2f\n", fastest,
              kLinesASecondGoal, fastest / kLinesASecondGoal);
  return 0;
}
