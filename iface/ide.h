// What the IDE's editors carry beyond Scintilla's own numbers: the styles of the IDE's lexer
// that the plugin reads, and the indicator of its word highlighting.
#pragma once

namespace sci {

constexpr int STYLE_KEYWORD = 2;
constexpr int STYLE_COMMENT = 3;
constexpr int STYLE_CONSTANT = 4;
constexpr int STYLE_STRING = 5;
constexpr int STYLE_PROCEDURE = 6;

constexpr int INDICATOR_WORD_HIGHLIGHT = 2;

}  // namespace sci
