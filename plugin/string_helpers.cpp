// String helpers: closing quotes, quick empty strings, the string cut, split strings with an
// optional newline constant, and multi-line string chains.

#include <string>

#include "iface/ide.h"
#include "plugin/dispatcher.h"
#include "plugin/editor_access.h"
#include "plugin/helpers.h"
#include "plugin/plugin_frame.h"
#include "plugin/string_literals.h"

namespace {

constexpr const char* kGroup = "StringHelpers";
constexpr int kQuote = '"';
constexpr int kPlus = '+';
constexpr std::int64_t kQuickTyping = 700;  // ms: two keys this close belong together

constexpr const char* kClosingQuote = "\"";
constexpr const char* kChainOpener = "\"+";
constexpr const char* kCutWithPlus = " +\"";
constexpr const char* kCutWithoutPlus = " \"";
constexpr const char* kEscapedCutWithPlus = " +~\"";
constexpr const char* kEscapedCutWithoutPlus = " ~\"";
constexpr const char* kFirstHalfEnd = "\"+";
constexpr const char* kSecondHalfStart = "\"";
constexpr const char* kEscapedSecondHalfStart = "~\"";
constexpr const char* kChainContinuation = "\"\"+";

bool Option(const HookContext& context, const char* option) {
  return GetPluginSetting(context, kGroup, option) != 0;
}

bool IsStringOrConstant(int style) {
  return style == sci::STYLE_STRING || style == sci::STYLE_CONSTANT;
}

// Whether the character at `position` lies inside an escaped string (`~"..."`) other than as its
// closing quote: a double quote there is escaped, or opens the string, and closes nothing.
bool InsideEscapedString(const HookContext& context, std::int64_t position) {
  const StringLiteral literal = StringLiteralAt(context, position);
  return literal.escaped && !(literal.closed && position == literal.end - 1);
}

// Whether line `line` ends with a string joined by a plus sign (`"abc" +`), the pattern of the
// chain tests having matched it: the quote must close a string, not be escaped inside one.
bool QuoteBeforePlusClosesString(const HookContext& context, std::int64_t line) {
  const std::int64_t quote = SciFindInRange(context, true, "\"\\s*[+]\\s*$",
                                            LineStart(context, line), LineEnd(context, line));
  return quote < 0 || !InsideEscapedString(context, quote);
}

// A quote typed as the first character of an indented line that follows a line ending in
// `" +` opens the next string of a chain.
bool OpenMultilineString(const HookContext& context, const CharacterEvent& event) {
  if (!Option(context, "AutocompMultilineStrings")) return false;
  const bool quoteIsFirstOnLine =
      CaretPosition(context) == LineIndentPosition(context, event.line) + 1;
  if (!quoteIsFirstOnLine) return false;
  const bool previousLineContinues =
      LineMatches(context, event.line - 1, "[\"$]\\s*[+]\\s*$") &&
      !InsideEscapedString(context, SciSend(context, sci::SCI_GETTARGETSTART));
  if (!previousLineContinues) return false;
  const bool onlyBlanksFollow =
      SciFindInRange(context, true, "\"\\s*$", event.pos, event.lineEnd) == event.pos;
  if (!onlyBlanksFollow) return false;

  const bool chainGoesOn = LineMatches(context, event.line + 1, "^\\s*\"");
  InsertText(context, event.pos + 1, chainGoesOn ? kChainOpener : kClosingQuote);
  return true;
}

void InsertClosingQuote(const HookContext& context, const CharacterEvent& event) {
  if (!Option(context, "AutocompStringInsertion")) return;
  const int before = StyleAt(context, event.pos - 1);
  const int after = StyleAt(context, event.pos + 1);

  const bool typedOutsideStrings = !IsStringOrConstant(before) && !IsStringOrConstant(after);
  if (typedOutsideStrings) {
    InsertText(context, event.pos + 1, kClosingQuote);
    return;
  }
  const bool typedInsideString = before == sci::STYLE_STRING && after == sci::STYLE_STRING;
  if (!typedInsideString) return;

  const bool secondQuoteIntoClosedPair = CharAt(context, event.pos - 1) == kQuote &&
                                         CharAt(context, event.pos + 1) == kQuote &&
                                         event.interval < kQuickTyping;
  if (secondQuoteIntoClosedPair) {
    SciReplaceRange(context, false, "", event.pos + 1, event.pos + 2);
  } else {
    MarkPendingQuote(event.pos);
  }
}

std::string NewlineConstant(const HookContext& context) {
  const bool ctrlHeld = ReadKeyState(os::kVK_CONTROL) != 0;
  if (!ctrlHeld || !Option(context, "UseCtrlEnter")) return "";
  switch (GetPluginSetting(context, kGroup, "NewlineConstant")) {
    case 1:
      return "#LF$+";
    case 2:
      return "#CR$+";
    case 3:
      return "#CRLF$+";
    default:
      return "";
  }
}

// Whether the line break, typed inside a string, leaves the string open on its line. A plain
// string is closed when the break follows its closing quote. An escaped one (`~"..."`) is
// closed only by a quote that no backslash escapes, and a break between a backslash and the
// character it escapes, or between the tilde and the opening quote, leaves nothing to split.
bool StringOpenAtBreak(const HookContext& context, const CharacterEvent& event,
                       const StringLiteral& literal) {
  if (literal.escaped) return !literal.closed && !literal.endsInEscape;
  const bool tildeOfEscapedString = literal.quote < 0 && CharAt(context, event.lineEnd - 1) == '~';
  if (tildeOfEscapedString) return false;
  const bool breakAfterClosingQuote = CharAt(context, event.lineEnd - 1) == kQuote &&
                                      StyleAt(context, event.lineEnd - 2) == sci::STYLE_STRING;
  return !breakAfterClosingQuote;
}

bool SplitString(const HookContext& context, const CharacterEvent& event,
                 const std::string& constant) {
  if (!Option(context, "AutocompSplitStrings")) return false;
  const bool breakInsideString = StyleAt(context, event.lineEnd - 1) == sci::STYLE_STRING;
  if (!breakInsideString) return false;
  const StringLiteral literal = StringLiteralAt(context, event.lineEnd - 1);
  if (!StringOpenAtBreak(context, event, literal)) return false;

  // The second half of an escaped string is escaped too: its backslashes keep their meaning.
  InsertText(context, event.lineEnd, kFirstHalfEnd + constant);
  InsertText(context, LineStart(context, event.line + 1),
             literal.escaped ? kEscapedSecondHalfStart : kSecondHalfStart);
  FormatLines(context, event.line, event.line + 1);
  DeferCaretShift(context, literal.escaped ? 2 : 1);
  return true;
}

// Enter on the first line of a chain's string leaves a blank line between two links: give it
// an empty string so that the chain stays intact.
void ContinueMultilineString(const HookContext& context, const CharacterEvent& event) {
  if (!Option(context, "AutocompMultilineStrings")) return;
  if (CaretLine(context) != event.line + 1) return;
  if (!LineMatches(context, event.line + 1, "^\\s*\"")) return;
  if (!LineMatches(context, event.line, "^\\s*$")) return;
  if (!LineMatches(context, event.line - 1, "^\\s+.+\"\\s*[+]\\s*$")) return;
  if (!QuoteBeforePlusClosesString(context, event.line - 1)) return;

  SciReplaceRange(context, false, kChainContinuation, LineStart(context, event.line),
                  LineIndentPosition(context, event.line));
  FormatLines(context, event.line, event.line + 1);
}

}  // namespace

void OnQuoteTyped(const HookContext& context, const CharacterEvent& event) {
  if (OpenMultilineString(context, event)) return;
  InsertClosingQuote(context, event);
}

void OnPlusTyped(const HookContext& context, const CharacterEvent& event) {
  if (!Option(context, "AutocompStringCut")) return;
  const bool plusRightAfterQuote = TypingGap(kPlus, kQuote) < kQuickTyping;
  if (!plusRightAfterQuote) return;
  if (!TakePendingQuote(event.pos)) return;
  const bool followsStringQuote = StyleAt(context, event.pos - 1) == sci::STYLE_STRING &&
                                  CharAt(context, event.pos - 1) == kQuote;
  if (!followsStringQuote) return;
  // In an escaped string only a quote that ends it cuts it (`\"` is part of the text), and the
  // second half stays escaped.
  const StringLiteral literal = StringLiteralAt(context, event.pos - 1);
  if (literal.escaped && !(literal.closed && literal.end == event.pos)) return;

  switch (GetPluginSetting(context, kGroup, "StringCut")) {
    case 1:
      InsertText(context, event.pos + 1, literal.escaped ? kEscapedCutWithPlus : kCutWithPlus);
      break;
    case 2:
      InsertText(context, event.pos + 1,
                 literal.escaped ? kEscapedCutWithoutPlus : kCutWithoutPlus);
      break;
    default:
      break;
  }
}

void OnLineBreakStringHelpers(const HookContext& context, const CharacterEvent& event) {
  const std::string constant = NewlineConstant(context);
  SplitString(context, event, constant);
  ContinueMultilineString(context, event);
}
