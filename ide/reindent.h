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

}  // namespace ide
