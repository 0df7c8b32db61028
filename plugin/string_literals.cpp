#include "plugin/string_literals.h"

#include <string>

#include "plugin/editor_access.h"

namespace {

const std::string kQuoteOrBackslash = "[\"\\\\]";
const std::string kLiteralOrComment = "[\"';]";
const std::string kQuote = "\"";
const std::string kApostrophe = "'";

StringLiteral PlainLiteral(const HookContext& context, std::int64_t quote, std::int64_t lineEnd) {
  StringLiteral literal;
  literal.quote = quote;
  literal.end = lineEnd;
  if (quote + 1 >= lineEnd) return literal;
  const std::int64_t closing = SciFindInRange(context, true, kQuote, quote + 1, lineEnd);
  if (closing >= 0) {
    literal.end = closing + 1;
    literal.closed = true;
  }
  return literal;
}

}  // namespace

bool OpensEscapedLiteral(const HookContext& context, std::int64_t quote) {
  return quote > 0 && CharAt(context, quote - 1) == '~';
}

StringLiteral EscapedLiteral(const HookContext& context, std::int64_t quote, std::int64_t lineEnd) {
  StringLiteral literal;
  literal.quote = quote;
  literal.end = lineEnd;
  literal.escaped = true;
  std::int64_t from = quote + 1;
  while (from < lineEnd) {
    const std::int64_t found = SciFindInRange(context, true, kQuoteOrBackslash, from, lineEnd);
    if (found < 0) break;
    if (CharAt(context, found) == '"') {
      literal.end = found + 1;
      literal.closed = true;
      break;
    }
    if (found + 1 >= lineEnd) {
      literal.endsInEscape = true;
      break;
    }
    // A character escaped by a backslash may be one of several bytes: the search goes on from
    // inside it, where neither a quote nor a backslash can be.
    from = found + 2;
  }
  return literal;
}

StringLiteral StringLiteralAt(const HookContext& context, std::int64_t position) {
  const std::int64_t line = SciSend(context, sci::SCI_LINEFROMPOSITION, position);
  const std::int64_t lineEnd = LineEnd(context, line);
  std::int64_t from = LineStart(context, line);
  while (from <= position && from < lineEnd) {
    const std::int64_t found = SciFindInRange(context, true, kLiteralOrComment, from, lineEnd);
    if (found < 0 || found > position) break;
    const int ch = CharAt(context, found);
    if (ch == ';') break;  // a comment runs to the line end
    if (ch == '\'') {
      const std::int64_t closing =
          found + 1 < lineEnd ? SciFindInRange(context, true, kApostrophe, found + 1, lineEnd) : -1;
      if (closing < 0) break;  // the character literal runs to the line end
      from = closing + 1;
      continue;
    }
    const StringLiteral literal = OpensEscapedLiteral(context, found)
                                      ? EscapedLiteral(context, found, lineEnd)
                                      : PlainLiteral(context, found, lineEnd);
    if (position < literal.end) return literal;
    from = literal.end;
  }
  return StringLiteral{};
}
