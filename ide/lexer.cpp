#include "ide/lexer.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace ide {
namespace {

constexpr std::array<std::string_view, 33> kKeywords = {
    "If",      "ElseIf",    "Else",      "EndIf",        "For",       "To",           "Step",
    "Next",    "While",     "Wend",      "Repeat",       "Until",     "Select",       "Case",
    "Default", "EndSelect", "Procedure", "EndProcedure", "Structure", "EndStructure", "With",
    "EndWith", "Module",    "EndModule", "Protected",    "Global",    "And",          "Or",
    "Xor",     "Not",       "Break",     "Continue",     "End"};

// Byte classes of the dialect, ASCII only (as the C library's in the "C" locale, without its
// call for every byte).
constexpr bool IsAsciiLetter(unsigned char byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}
constexpr bool IsAsciiDigit(unsigned char byte) { return byte >= '0' && byte <= '9'; }
constexpr unsigned char AsciiLower(unsigned char byte) {
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(static_cast<unsigned char>(a[i])) !=
        AsciiLower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// For each first letter, the lengths of the keywords that begin with it (bit n: length n), so
// that a word that is no keyword is seldom compared with any.
struct KeywordShapes {
  std::array<std::uint32_t, 26> lengths{};
};
constexpr KeywordShapes MakeKeywordShapes() {
  KeywordShapes shapes;
  for (std::string_view keyword : kKeywords) {
    const int letter = AsciiLower(static_cast<unsigned char>(keyword[0])) - 'a';
    shapes.lengths[letter] |= 1u << keyword.size();
  }
  return shapes;
}
constexpr KeywordShapes kKeywordShapes = MakeKeywordShapes();

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

bool IsWordStart(unsigned char byte) { return IsAsciiLetter(byte) || byte == '_' || byte >= 0x80; }

// Index of the first line end at or after `from` (or the text's end).
std::size_t LineEndFrom(std::string_view text, std::size_t from) {
  while (from < text.size() && !IsLineEnd(text[from])) ++from;
  return from;
}

// The end of the string literal whose opening quote is at `quote`: after its closing quote, or
// at the line end. In an escaped literal (`~"a\"b"`) a backslash takes the character after it
// along (but never a line end), so `\"` does not end it.
std::size_t StringEnd(std::string_view text, std::size_t quote, bool escaped) {
  std::size_t end = quote + 1;
  while (end < text.size() && !IsLineEnd(text[end])) {
    if (text[end] == '"') return end + 1;
    if (escaped && text[end] == '\\' && end + 1 < text.size() && !IsLineEnd(text[end + 1])) ++end;
    ++end;
  }
  return end;
}

void Fill(unsigned char* styles, std::size_t from, std::size_t to, Style style) {
  std::fill(styles + from, styles + to, static_cast<unsigned char>(style));
}

}  // namespace

bool IsKeyword(std::string_view word) {
  if (word.empty() || word.size() >= 32) return false;
  const unsigned char first = AsciiLower(static_cast<unsigned char>(word[0]));
  if (first < 'a' || first > 'z' || !((kKeywordShapes.lengths[first - 'a'] >> word.size()) & 1u))
    return false;
  return std::any_of(kKeywords.begin(), kKeywords.end(),
                     [&](std::string_view keyword) { return EqualNoCase(keyword, word); });
}

bool IsWordByte(unsigned char byte) {
  return IsAsciiLetter(byte) || IsAsciiDigit(byte) || byte == '_' || byte >= 0x80;
}

void StyleText(std::string_view text, unsigned char* styles) {
  const std::size_t size = text.size();
  std::size_t i = 0;
  while (i < size) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == ';') {
      const std::size_t end = LineEndFrom(text, i);
      Fill(styles, i, end, kStyleComment);
      i = end;
    } else if (c == '~' && i + 1 < size && text[i + 1] == '"') {
      // An escaped literal: the tilde belongs to it.
      const std::size_t end = StringEnd(text, i + 1, true);
      Fill(styles, i, end, kStyleString);
      i = end;
    } else if (c == '"') {
      const std::size_t end = StringEnd(text, i, false);
      Fill(styles, i, end, kStyleString);
      i = end;
    } else if (c == '\'') {
      std::size_t end = i + 1;
      while (end < size && text[end] != '\'' && !IsLineEnd(text[end])) ++end;
      if (end < size && text[end] == '\'') ++end;
      Fill(styles, i, end, kStyleCharacter);
      i = end;
    } else if (c == '#' && i + 1 < size && IsWordStart(static_cast<unsigned char>(text[i + 1]))) {
      std::size_t end = i + 1;
      while (end < size && IsWordByte(static_cast<unsigned char>(text[end]))) ++end;
      if (end < size && text[end] == '$') ++end;
      Fill(styles, i, end, kStyleConstant);
      i = end;
    } else if (IsWordStart(c)) {
      std::size_t end = i;
      while (end < size && IsWordByte(static_cast<unsigned char>(text[end]))) ++end;
      const std::string_view word = text.substr(i, end - i);
      if (end < size && text[end] == '$') ++end;
      Style style = kStyleDefault;
      if (IsKeyword(word) && (end == i + word.size())) {
        style = kStyleKeyword;
      } else if (end < size && text[end] == '(') {
        style = kStyleProcedure;
      }
      Fill(styles, i, end, style);
      i = end;
    } else if (IsAsciiDigit(c)) {
      std::size_t end = i;
      while (end < size &&
             (IsAsciiLetter(static_cast<unsigned char>(text[end])) ||
              IsAsciiDigit(static_cast<unsigned char>(text[end])) || text[end] == '.'))
        ++end;
      Fill(styles, i, end, kStyleNumber);
      i = end;
    } else {
      styles[i] = kStyleDefault;
      ++i;
    }
  }
}

std::vector<unsigned char> StyleText(std::string_view text) {
  std::vector<unsigned char> styles(text.size(), kStyleDefault);
  StyleText(text, styles.data());
  return styles;
}

}  // namespace ide
