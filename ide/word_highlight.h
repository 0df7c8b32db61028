// The IDE's word highlighting: when the selection is exactly one whole word, every other
// occurrence of that word is marked (the editor draws them with indicator 2).
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "iface/ide.h"

namespace ide {

constexpr int kWordHighlightIndicator = sci::INDICATOR_WORD_HIGHLIGHT;

struct TextRange {
  std::size_t start;
  std::size_t end;
  bool operator==(const TextRange& other) const { return start == other.start && end == other.end; }
};

// The other whole-word occurrences (matched without regard to case) of the word selected
// between `selectionStart` and `selectionEnd`; empty when the selection is not a whole word.
std::vector<TextRange> WordOccurrences(std::string_view text, std::size_t selectionStart,
                                       std::size_t selectionEnd);

}  // namespace ide
