// The IDE's highlighting of the BASIC dialect: one style number per byte of text.
//
// Every construct ends at its line end (comments, strings, character literals), so styling may
// start at any line start without state from the lines above.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "iface/ide.h"

namespace ide {

enum Style : unsigned char {
  kStyleDefault = 0,
  kStyleNumber = 1,
  kStyleKeyword = sci::STYLE_KEYWORD,
  kStyleComment = sci::STYLE_COMMENT,
  kStyleConstant = sci::STYLE_CONSTANT,
  kStyleString = sci::STYLE_STRING,
  kStyleProcedure = sci::STYLE_PROCEDURE,
  kStyleCharacter = 7,  // 'x' character literals
};

// A colour as the editor takes it: red in the low byte, then green, then blue.
constexpr int Rgb(int red, int green, int blue) { return red | (green << 8) | (blue << 16); }

// How the IDE shows each style of its lexer.
struct StyleLook {
  int style;
  int colour;
  bool bold;
};
constexpr StyleLook kStyleLooks[] = {
    {kStyleDefault, Rgb(0, 0, 0), false},       {kStyleNumber, Rgb(160, 0, 0), false},
    {kStyleKeyword, Rgb(0, 64, 160), true},     {kStyleComment, Rgb(0, 128, 64), false},
    {kStyleConstant, Rgb(144, 64, 160), false}, {kStyleString, Rgb(128, 96, 0), false},
    {kStyleProcedure, Rgb(0, 112, 128), false}, {kStyleCharacter, Rgb(128, 96, 0), false},
};
// The background of the line number margin (Scintilla's style 33).
constexpr int kLineNumberStyle = 33;
constexpr int kLineNumberBack = Rgb(236, 236, 236);

// Styles `text`, which must begin at a line start; writes text.size() styles to `styles`.
void StyleText(std::string_view text, unsigned char* styles);
std::vector<unsigned char> StyleText(std::string_view text);

// A keyword of the dialect, matched without regard to case.
bool IsKeyword(std::string_view word);

// Identifier characters of the dialect (bytes of UTF-8 sequences count as letters).
bool IsWordByte(unsigned char byte);

}  // namespace ide
