// A grammar-aware generator of the IDE's BASIC dialect and of its bad input: lines and blocks
// built from the dialect's tokens (keywords, identifiers, numbers, every operator, plain and
// escaped strings, character literals, comments, labels, assembly lines), with blanks and tabs
// between them, unterminated literals, non-ASCII and invalid UTF-8, long lines and every line end.
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace fuzz {

using Random = std::mt19937_64;

// A number in [0, count).
std::size_t Pick(Random& random, std::size_t count);
// True with the given chance in a thousand.
bool Chance(Random& random, int perMille);

// The length of the longest line Line() makes (200,000 unless set; at least 1,000).
void SetLongestLine(std::size_t length);

// One token of the dialect (or of its bad input).
std::string Token(Random& random);
// A run of blanks and tabs, often empty.
std::string Blanks(Random& random);
// One line without its line end: indentation, then a statement, a label, an assembly line, a
// comment or token soup. `longLines` allows the rare line of up to the longest length.
std::string Line(Random& random, bool longLines);
// A line end: mostly CR LF or LF, sometimes CR.
std::string LineEnd(Random& random);
// Several lines, often a nested block (If/For/While/Procedure... with its end keyword), with one
// line end style or, now and then, a mix; may end without a line end.
std::string Block(Random& random, int maxLines, bool longLines);

}  // namespace fuzz
