// The IDE's re-indent command (Ctrl+I): the indentation that the block keywords above a line
// imply, two blanks a level.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ide {

constexpr int kIndentWidth = 2;

// Indentation in columns of lines `first` to `last` (inclusive, 0-based) of `lines` (each line
// without its line end). The levels are counted from line 0.
std::vector<int> ReindentLines(const std::vector<std::string_view>& lines, std::size_t first,
                               std::size_t last);

// `line` with its leading blanks and tabs replaced by `indent` blanks.
std::string WithIndentation(std::string_view line, int indent);

// The IDE's Ctrl+I on a document: one replacement of the selected lines (start to end, byte
// offsets) by `text`, and where anchor and caret go afterwards.
struct ReindentEdit {
  std::size_t start = 0;
  std::size_t end = 0;
  std::string text;
  std::size_t anchor = 0;
  std::size_t caret = 0;
};

// The selected lines are those of the selection; a selection that ends at the start of a line
// with text does not take that line (an empty line there is taken). A position on a re-indented
// line stays at the line start when it was there, goes to the end of the new indentation when it
// was inside the old one, and otherwise keeps its distance from the first non-blank character;
// positions after the lines move with the text.
ReindentEdit PlanReindent(std::string_view document, std::size_t anchor, std::size_t caret);

}  // namespace ide
