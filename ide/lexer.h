// The IDE's highlighting of the BASIC dialect: one style number per byte of text.
//
// Every construct ends at its line end (comments, strings, character literals), so styling may
// start at any line start without state from the lines above.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace ide {

enum Style : unsigned char {
  kStyleDefault = 0,
  kStyleNumber = 1,
  kStyleKeyword = 2,
  kStyleComment = 3,
  kStyleConstant = 4,
  kStyleString = 5,
  kStyleProcedure = 6,
  kStyleCharacter = 7,  // 'x' character literals
};

// Styles `text`, which must begin at a line start; writes text.size() styles to `styles`.
void StyleText(std::string_view text, unsigned char* styles);
std::vector<unsigned char> StyleText(std::string_view text);

// A keyword of the dialect, matched without regard to case.
bool IsKeyword(std::string_view word);

// Identifier characters of the dialect (bytes of UTF-8 sequences count as letters).
bool IsWordByte(unsigned char byte);

}  // namespace ide
