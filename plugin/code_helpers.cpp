// Code helpers: small completions for code outside strings and comments.
// - The floating-point zero: a number typed with a leading decimal point gets its zero as soon
//   as its first digit is typed (`.5` becomes `0.5`).
// - The end keyword: Enter at the end of a line that opens a block adds the block's end keyword
//   on a line of its own below and leaves the caret, one level deeper, on the line between.
// - Ctrl+D: the key is bound to the editor's form feed command; the typed form feed, which
//   nothing else in source text produces, is replaced by the newline constant.

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "iface/ide.h"
#include "plugin/editor_access.h"
#include "plugin/helpers.h"
#include "plugin/plugin_frame.h"
#include "plugin/string_literals.h"

namespace {

constexpr const char* kGroup = "CodeHelpers";

bool Option(const HookContext& context, const char* option) {
  return GetPluginSetting(context, kGroup, option) != 0;
}

constexpr int kFormFeed = '\f';
// By the string helpers' "NewlineConstant" (1 to 3), as Ctrl+Enter inserts them.
constexpr std::array<const char*, 4> kNewlineConstants = {"", "#LF$", "#CR$", "#CRLF$"};

bool IsDigitOrPoint(int ch) { return (ch >= '0' && ch <= '9') || ch == '.'; }

// A block of the dialect: the keyword that opens it, the one the helper writes to end it, and
// the keywords that show, at the opener's indentation, that the block goes on or is closed.
struct BlockPair {
  std::string_view opener;
  std::string_view end;
  std::array<std::string_view, 2> alsoEnds;   // other keywords that close it
  std::array<std::string_view, 2> continues;  // keywords between opener and end
};
constexpr std::array<BlockPair, 24> kBlockPairs = {{
    {"If", "EndIf", {}, {"Else", "ElseIf"}},
    {"For", "Next", {}, {}},
    {"ForEach", "Next", {}, {}},
    {"While", "Wend", {}, {}},
    {"Repeat", "Until", {"ForEver"}, {}},
    {"Select", "EndSelect", {}, {"Case", "Default"}},
    {"With", "EndWith", {}, {}},
    {"Procedure", "EndProcedure", {}, {}},
    {"ProcedureC", "EndProcedure", {}, {}},
    {"ProcedureDLL", "EndProcedure", {}, {}},
    {"ProcedureCDLL", "EndProcedure", {}, {}},
    {"Structure", "EndStructure", {}, {}},
    {"StructureUnion", "EndStructureUnion", {}, {}},
    {"Interface", "EndInterface", {}, {}},
    {"Enumeration", "EndEnumeration", {}, {}},
    {"EnumerationBinary", "EndEnumeration", {}, {}},
    {"Macro", "EndMacro", {}, {}},
    {"Module", "EndModule", {}, {}},
    {"DeclareModule", "EndDeclareModule", {}, {}},
    {"DataSection", "EndDataSection", {}, {}},
    {"Import", "EndImport", {}, {}},
    {"ImportC", "EndImport", {}, {}},
    {"CompilerIf", "CompilerEndIf", {}, {"CompilerElse", "CompilerElseIf"}},
    {"CompilerSelect", "CompilerEndSelect", {}, {"CompilerCase", "CompilerDefault"}},
}};

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size() || a.empty()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

bool InList(std::string_view word, const std::array<std::string_view, 2>& list) {
  return SameWord(word, list[0]) || SameWord(word, list[1]);
}

const BlockPair* PairOpenedBy(std::string_view word) {
  for (const BlockPair& pair : kBlockPairs) {
    if (SameWord(word, pair.opener)) return &pair;
  }
  return nullptr;
}

bool Closes(const BlockPair& pair, std::string_view word) {
  return SameWord(word, pair.end) || InList(word, pair.alsoEnds);
}

bool IsWordCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// The text of [start, end) of the editor.
std::string TextOf(const HookContext& context, std::int64_t start, std::int64_t end) {
  if (end <= start) return {};
  std::string text(static_cast<std::size_t>(end - start) + 1, '\0');
  sci::TextRange range{{static_cast<std::int32_t>(start), static_cast<std::int32_t>(end)},
                       text.data()};
  const std::intptr_t length =
      SciSend(context, sci::SCI_GETTEXTRANGE, 0, reinterpret_cast<std::intptr_t>(&range));
  text.resize(static_cast<std::size_t>(std::clamp<std::intptr_t>(length, 0, end - start)));
  return text;
}

// The first word of each statement of a line of code: statements are separated by a colon
// (not the module separator `::`); strings, character literals and the comment are skipped.
struct StatementWord {
  std::size_t offset;
  std::string_view word;
};
std::vector<StatementWord> StatementWords(std::string_view code) {
  std::vector<StatementWord> words;
  bool atStatementStart = true;
  std::size_t i = 0;
  while (i < code.size()) {
    const char c = code[i];
    if (c == ' ' || c == '\t') {
      ++i;
      continue;
    }
    if (atStatementStart && IsWordCharacter(c)) {
      std::size_t end = i;
      while (end < code.size() && IsWordCharacter(code[end])) ++end;
      words.push_back({i, code.substr(i, end - i)});
      atStatementStart = false;
      i = end;
      continue;
    }
    atStatementStart = false;
    if (c == ';') break;
    if (c == '"' || c == '\'') {
      const bool escaped = c == '"' && i > 0 && code[i - 1] == '~';
      ++i;
      while (i < code.size() && code[i] != c) i += (escaped && code[i] == '\\') ? 2 : 1;
      ++i;
      continue;
    }
    if (c == ':') {
      if (i + 1 < code.size() && code[i + 1] == ':') {
        i += 2;
        continue;
      }
      atStatementStart = true;
    }
    ++i;
  }
  return words;
}

// The innermost block that the line opens and does not close itself, or null.
const BlockPair* UnclosedBlock(std::string_view code, std::size_t* openerOffset) {
  struct Open {
    const BlockPair* pair;
    std::size_t offset;
  };
  std::vector<Open> open;
  for (const StatementWord& statement : StatementWords(code)) {
    if (const BlockPair* pair = PairOpenedBy(statement.word)) {
      open.push_back({pair, statement.offset});
    } else if (!open.empty() && Closes(*open.back().pair, statement.word)) {
      open.pop_back();
    }
  }
  if (open.empty()) return nullptr;
  *openerOffset = open.back().offset;
  return open.back().pair;
}

// The end keyword in the letter case of the opener as typed: all lower, all upper, or as named.
std::string EndKeywordFor(const BlockPair& pair, std::string_view typed) {
  bool anyUpper = false, anyLower = false;
  for (char c : typed) {
    anyUpper = anyUpper || std::isupper(static_cast<unsigned char>(c)) != 0;
    anyLower = anyLower || std::islower(static_cast<unsigned char>(c)) != 0;
  }
  std::string end(pair.end);
  if (anyUpper == anyLower) return end;
  for (char& c : end) {
    c = static_cast<char>(anyUpper ? std::toupper(static_cast<unsigned char>(c))
                                   : std::tolower(static_cast<unsigned char>(c)));
  }
  return end;
}

// Longer than every keyword of the table: enough of a line to read its first word.
constexpr std::int64_t kLongestKeyword = 32;

// The first word of line `line`, empty for a blank or comment-only line.
std::string FirstWord(const HookContext& context, std::int64_t line) {
  const std::int64_t indent = LineIndentPosition(context, line);
  const std::int64_t end = std::min(LineEnd(context, line), indent + kLongestKeyword);
  const std::string text = TextOf(context, indent, end);
  std::size_t wordEnd = 0;
  while (wordEnd < text.size() && IsWordCharacter(text[wordEnd])) ++wordEnd;
  return text.substr(0, wordEnd);
}

// Whether line `line` holds anything but blanks and a comment.
bool HoldsCode(const HookContext& context, std::int64_t line) {
  const std::int64_t indent = LineIndentPosition(context, line);
  return indent < LineEnd(context, line) && CharAt(context, indent) != ';';
}

std::int64_t Indentation(const HookContext& context, std::int64_t line) {
  return SciSend(context, sci::SCI_GETLINEINDENTATION, static_cast<std::uintptr_t>(line));
}

// Whether the lines after `firstLine` already close (or continue) the block: the first line
// that holds code at the opener's indentation or less starts with its end or a middle keyword.
bool BlockAlreadyClosed(const HookContext& context, const BlockPair& pair, std::int64_t firstLine,
                        std::int64_t openerIndentation) {
  const std::int64_t lineCount = SciSend(context, sci::SCI_GETLINECOUNT);
  for (std::int64_t line = firstLine; line < lineCount; ++line) {
    if (!HoldsCode(context, line) || Indentation(context, line) > openerIndentation) continue;
    const std::string word = FirstWord(context, line);
    return Closes(pair, word) || InList(word, pair.continues);
  }
  return false;
}

// Blanks (or tabs, with the editor's tab setting) for `columns` columns.
std::string IndentationText(const HookContext& context, std::int64_t columns) {
  std::string text;
  const std::int64_t tabWidth = std::max<std::intptr_t>(SciSend(context, sci::SCI_GETTABWIDTH), 1);
  if (SciSend(context, sci::SCI_GETUSETABS) != 0) {
    text.append(static_cast<std::size_t>(columns / tabWidth), '\t');
    columns %= tabWidth;
  }
  text.append(static_cast<std::size_t>(columns), ' ');
  return text;
}

std::int64_t IndentSize(const HookContext& context) {
  const std::int64_t indent = SciSend(context, sci::SCI_GETINDENT);
  return indent > 0 ? indent : std::max<std::intptr_t>(SciSend(context, sci::SCI_GETTABWIDTH), 1);
}

}  // namespace

void OnDigitTyped(const HookContext& context, const CharacterEvent& event) {
  if (!Option(context, "AutocompFloatPointZero")) return;
  const int styleBefore = StyleAt(context, event.pos - 1);
  if (styleBefore == sci::STYLE_STRING || styleBefore == sci::STYLE_COMMENT) return;

  // Walk back over the number in front of the digit to its first character.
  for (std::int64_t p = event.pos - 1; p >= event.lineStart; --p) {
    if (IsDigitOrPoint(CharAt(context, p - 1))) continue;
    const bool startsWithPoint = SciFindInRange(context, true, "\\.([\\d]*)", p, event.pos) == p;
    if (startsWithPoint) {
      const std::int64_t start = SciSend(context, sci::SCI_GETTARGETSTART);
      const std::int64_t end = SciSend(context, sci::SCI_GETTARGETEND);
      SciReplaceRange(context, true, "0.\\1", start, end);
    }
    return;
  }
}

void OnLineBreakCodeHelpers(const HookContext& context, const CharacterEvent& event) {
  if (!Option(context, "AutocompEndKeywordNewLine")) return;
  const std::int64_t newLine = event.line + 1;
  if (CaretLine(context) != newLine) return;
  // Only blanks or a comment went down with the caret: the break was at the end of the code.
  if (HoldsCode(context, newLine)) return;
  const std::int64_t newLineStart = LineStart(context, newLine);
  const std::int64_t newLineIndent = LineIndentPosition(context, newLine);
  const std::int64_t newLineEnd = LineEnd(context, newLine);

  const std::int64_t lineStart = LineStart(context, event.line);
  const std::string code = TextOf(context, lineStart, LineEnd(context, event.line));
  std::size_t openerOffset = 0;
  const BlockPair* pair = UnclosedBlock(code, &openerOffset);
  if (pair == nullptr) return;
  const int style = StyleAt(context, lineStart + static_cast<std::int64_t>(openerOffset));
  if (style == sci::STYLE_STRING || style == sci::STYLE_COMMENT) return;
  const std::int64_t openerIndentation = Indentation(context, event.line);
  if (BlockAlreadyClosed(context, *pair, newLine + 1, openerIndentation)) return;

  std::size_t wordEnd = openerOffset;
  while (wordEnd < code.size() && IsWordCharacter(code[wordEnd])) ++wordEnd;
  const std::string end =
      EndKeywordFor(*pair, std::string_view(code).substr(openerOffset, wordEnd - openerOffset));
  const std::string openerIndent =
      code.substr(0, static_cast<std::size_t>(LineIndentPosition(context, event.line) - lineStart));
  const std::string innerIndent = IndentationText(context, openerIndentation + IndentSize(context));

  // The end line first: it lies after the new line's indentation, which then stays where it is.
  InsertText(context, newLineEnd, DocumentLineEnd(context) + openerIndent + end);
  SciReplaceRange(context, false, innerIndent, newLineStart, newLineIndent);
  SciSend(
      context, sci::SCI_GOTOPOS,
      static_cast<std::uintptr_t>(newLineStart + static_cast<std::int64_t>(innerIndent.size())));
}

namespace {

// Whether an odd run of backslashes of the escaped literal stands directly before `position`.
bool EscapedByBackslash(const HookContext& context, const StringLiteral& literal,
                        std::int64_t position) {
  std::int64_t backslashes = 0;
  for (std::int64_t p = position - 1; p > literal.quote && CharAt(context, p) == '\\'; --p)
    ++backslashes;
  return backslashes % 2 == 1;
}

}  // namespace

// The constant goes in as code: typed inside a string, the string is closed before it and opened
// again after it, as Ctrl+Enter's split does, only without the line break.
void OnFormFeedTyped(const HookContext& context, const CharacterEvent& event) {
  if (CharAt(context, event.pos) != kFormFeed || !CtrlDBoundToFormFeed(context)) return;
  if (!Option(context, "UseCtrlD")) {
    // Switched off since the key was bound: the key does what the editor's own key map says.
    ApplyEditorOptions(context);
    SciReplaceRange(context, false, "", event.pos, event.pos + 1);
    SciSend(context, sci::SCI_SELECTIONDUPLICATE);
    return;
  }
  const std::int64_t choice = GetPluginSetting(context, "StringHelpers", "NewlineConstant");
  std::string constant = choice >= 1 && choice <= 3 ? kNewlineConstants[choice] : "";
  const StringLiteral literal = StringLiteralAt(context, event.pos);
  const bool insideString = literal.quote >= 0 && literal.quote < event.pos;
  // Between a backslash and the character it escapes there is nothing to split: a quote there
  // would be taken along by the backslash and the rest of the line would change its meaning.
  if (insideString && literal.escaped && EscapedByBackslash(context, literal, event.pos))
    constant.clear();
  // The second half of an escaped string is escaped too: its backslashes keep their meaning.
  if (insideString && !constant.empty())
    constant = "\"+" + constant + (literal.escaped ? "+~\"" : "+\"");
  SciReplaceRange(context, false, constant, event.pos, event.pos + 1);
  SciSend(context, sci::SCI_GOTOPOS,
          static_cast<std::uintptr_t>(event.pos + static_cast<std::int64_t>(constant.size())));
}
