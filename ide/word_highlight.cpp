#include "ide/word_highlight.h"

#include <algorithm>
#include <cctype>

#include "ide/lexer.h"

namespace ide {
namespace {

bool WordByteAt(std::string_view text, std::size_t index) {
  return index < text.size() && IsWordByte(static_cast<unsigned char>(text[index]));
}

bool IsWholeWord(std::string_view text, std::size_t start, std::size_t end) {
  if (start >= end || end > text.size()) return false;
  for (std::size_t i = start; i < end; ++i) {
    if (!WordByteAt(text, i)) return false;
  }
  return (start == 0 || !WordByteAt(text, start - 1)) && !WordByteAt(text, end);
}

bool SameNoCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

std::vector<TextRange> WordOccurrences(std::string_view text, std::size_t selectionStart,
                                       std::size_t selectionEnd) {
  std::vector<TextRange> found;
  const std::size_t start = std::min(selectionStart, selectionEnd);
  const std::size_t end = std::max(selectionStart, selectionEnd);
  if (!IsWholeWord(text, start, end)) return found;
  const std::string_view word = text.substr(start, end - start);
  std::size_t i = 0;
  while (i < text.size()) {
    if (!WordByteAt(text, i)) {
      ++i;
      continue;
    }
    std::size_t wordEnd = i;
    while (WordByteAt(text, wordEnd)) ++wordEnd;
    if (i != start && SameNoCase(text.substr(i, wordEnd - i), word)) found.push_back({i, wordEnd});
    i = wordEnd;
  }
  return found;
}

}  // namespace ide
