// String literals of the dialect on one line of an editor, read with the editor's own searches.
//
// A double quote opens a literal that ends at the next double quote or at the line end. With a
// tilde directly before the quote (`~"..."`) the literal is escaped: a backslash takes the
// character after it along, so `\"` does not end it and `\\` is one backslash; it ends at the
// first quote that no backslash escapes, or at the line end.
#pragma once

#include <cstdint>

#include "plugin/hook_context.h"

struct StringLiteral {
  std::int64_t quote = -1;    // its opening quote; -1: no literal
  std::int64_t end = -1;      // after its closing quote, or its line's end
  bool escaped = false;       // written `~"..."`
  bool closed = false;        // ends with a closing quote
  bool endsInEscape = false;  // an escaped literal whose last backslash has nothing to take
};

// Whether the literal that the double quote at `quote` opens is escaped.
bool OpensEscapedLiteral(const HookContext& context, std::int64_t quote);

// The escaped literal that the double quote at `quote` opens, on a line ending at `lineEnd`.
// One search for the next quote or backslash per escape: linear in the line's length.
StringLiteral EscapedLiteral(const HookContext& context, std::int64_t quote, std::int64_t lineEnd);

// The string literal that holds `position` (its quotes included, an escaped literal's tilde
// not), found by walking the line from its start over literals and up to a comment; a literal
// with `quote` -1 when `position` lies in none.
StringLiteral StringLiteralAt(const HookContext& context, std::int64_t position);
