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

namespace {

struct LineSpan {
  std::size_t start;
  std::size_t end;  // before the line end characters
  std::size_t nextStart;
};

std::vector<LineSpan> SplitLines(std::string_view text) {
  std::vector<LineSpan> lines;
  std::size_t start = 0;
  while (true) {
    std::size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    std::size_t next = end;
    if (next < text.size() && text[next] == '\r') ++next;
    if (next < text.size() && text[next] == '\n' && (next == end || text[end] == '\r')) ++next;
    lines.push_back({start, end, next});
    if (next == end) break;
    start = next;
  }
  return lines;
}

std::size_t LineOf(const std::vector<LineSpan>& lines, std::size_t position) {
  std::size_t line = 0;
  while (line + 1 < lines.size() && lines[line + 1].start <= position) ++line;
  return line;
}

std::size_t LeadingBlanks(std::string_view line) {
  std::size_t count = 0;
  while (count < line.size() && (line[count] == ' ' || line[count] == '\t')) ++count;
  return count;
}

std::size_t MovedOffset(std::size_t offset, std::size_t oldIndent, std::size_t newIndent) {
  if (offset == 0) return 0;
  if (offset <= oldIndent) return newIndent;
  return newIndent + (offset - oldIndent);
}

}  // namespace

ReindentEdit PlanReindent(std::string_view document, std::size_t anchor, std::size_t caret) {
  anchor = std::min(anchor, document.size());
  caret = std::min(caret, document.size());
  const std::vector<LineSpan> spans = SplitLines(document);
  const std::size_t selectionStart = std::min(anchor, caret);
  const std::size_t selectionEnd = std::max(anchor, caret);
  const std::size_t first = LineOf(spans, selectionStart);
  std::size_t last = LineOf(spans, selectionEnd);
  // A selection that reaches a line only at its start leaves it out, unless the line is empty:
  // then the selection also ends at its end (the plugin selects up to a line's end).
  if (last > first && spans[last].start == selectionEnd && spans[last].end != selectionEnd) --last;

  std::vector<std::string_view> lines;
  for (std::size_t line = 0; line <= last; ++line)
    lines.push_back(document.substr(spans[line].start, spans[line].end - spans[line].start));
  const std::vector<int> indents = ReindentLines(lines, first, last);

  ReindentEdit edit;
  edit.start = spans[first].start;
  edit.end = spans[last].end;
  edit.anchor = anchor;
  edit.caret = caret;
  for (std::size_t line = first; line <= last; ++line) {
    const std::size_t indent = static_cast<std::size_t>(indents[line - first]);
    const std::size_t newStart = edit.start + edit.text.size();
    const std::size_t oldIndent = LeadingBlanks(lines[line]);
    for (std::size_t* position : {&edit.anchor, &edit.caret}) {
      const std::size_t original = position == &edit.anchor ? anchor : caret;
      if (original >= spans[line].start && original <= spans[line].end)
        *position = newStart + MovedOffset(original - spans[line].start, oldIndent, indent);
    }
    edit.text += WithIndentation(lines[line], static_cast<int>(indent));
    if (line < last)
      edit.text += document.substr(spans[line].end, spans[line].nextStart - spans[line].end);
  }
  const std::size_t oldLength = edit.end - edit.start;
  if (anchor > edit.end) edit.anchor = anchor - oldLength + edit.text.size();
  if (caret > edit.end) edit.caret = caret - oldLength + edit.text.size();
  return edit;
}

}  // namespace ide
