#include "ide/reindent.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "ide/lexer.h"

namespace ide {
namespace {

constexpr std::array<std::string_view, 9> kOpeners = {
    "If", "For", "While", "Repeat", "Select", "Procedure", "Structure", "With", "Module"};
constexpr std::array<std::string_view, 9> kClosers = {"EndIf",        "Next",      "Wend",
                                                      "Until",        "EndSelect", "EndProcedure",
                                                      "EndStructure", "EndWith",   "EndModule"};
// Dedent only the line they start.
constexpr std::array<std::string_view, 4> kMiddles = {"Else", "ElseIf", "Case", "Default"};

template <std::size_t N>
bool IsOneOf(const std::array<std::string_view, N>& words, std::string_view word) {
  return std::any_of(words.begin(), words.end(), [&](std::string_view candidate) {
    if (candidate.size() != word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
      if (std::tolower(static_cast<unsigned char>(candidate[i])) !=
          std::tolower(static_cast<unsigned char>(word[i])))
        return false;
    }
    return true;
  });
}

// What one line does to the block level: its own dedent and the change it leaves behind.
struct LineEffect {
  bool dedentsItself = false;
  int change = 0;
};

LineEffect MeasureLine(std::string_view line) {
  const std::vector<unsigned char> styles = StyleText(line);
  LineEffect effect;
  bool first = true;
  std::size_t i = 0;
  while (i < line.size()) {
    if (styles[i] != kStyleKeyword) {
      if (!std::isspace(static_cast<unsigned char>(line[i]))) first = false;
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < line.size() && styles[end] == kStyleKeyword) ++end;
    const std::string_view word = line.substr(i, end - i);
    if (IsOneOf(kOpeners, word)) {
      ++effect.change;
    } else if (IsOneOf(kClosers, word)) {
      if (first) effect.dedentsItself = true;
      --effect.change;
    } else if (first && IsOneOf(kMiddles, word)) {
      effect.dedentsItself = true;
    }
    first = false;
    i = end;
  }
  return effect;
}

}  // namespace

std::vector<int> ReindentLines(const std::vector<std::string_view>& lines, std::size_t first,
                               std::size_t last) {
  std::vector<int> result;
  int level = 0;
  for (std::size_t line = 0; line < lines.size() && line <= last; ++line) {
    const LineEffect effect = MeasureLine(lines[line]);
    // A closer at the line start ends its block on this line; the level after it is lower.
    const int ownLevel = std::max(0, effect.dedentsItself ? level - 1 : level);
    if (line >= first) result.push_back(ownLevel * kIndentWidth);
    level = std::max(0, level + effect.change);
  }
  return result;
}

std::string WithIndentation(std::string_view line, int indent) {
  std::size_t start = 0;
  while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
  std::string result(static_cast<std::size_t>(std::max(0, indent)), ' ');
  result.append(line.substr(start));
  return result;
}

}  // namespace ide
