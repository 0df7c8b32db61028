// Code beautifier: rewrites the spacing of lines by the user's spacing rules.
//
// A line is walked from its first non-blank character to its end. Every character that is not a
// word character is looked at once; strings, character literals and comments are stepped over,
// operators and separators get the spacing their rule asks for. A rule that may change the text
// reads the operator and the blanks around it with one of the editor's own regular-expression
// searches, and all writing is done by template replacements of the target, so the IDE's undo
// history and caret tracking see ordinary edits. The rest is read from a copy of the line, taken
// once and again after every edit: a character that no rule acts on, and a place where no
// setting could change anything, costs no message. A message is a call into the IDE's control,
// many times the cost of reading the copy.

#include "plugin/beautifier.h"

#include <array>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "iface/ide.h"
#include "iface/scintilla.h"
#include "plugin/editor_access.h"
#include "plugin/helpers.h"
#include "plugin/plugin_frame.h"
#include "plugin/string_literals.h"

namespace {

constexpr const char* kGroup = "CodeBeautifier";

// Patterns of the editor's engine (SCFIND_REGEXP | SCFIND_POSIX). A tab is written as the tab
// character itself. In this engine `?` after a set repeats like `*`: `[<>=][<>=]?` takes a whole
// run of those characters, which is why the operator tables below look at the run's length.
// The blanks of a label and of an assembly line are spaces and tabs, as everywhere else: `\s`
// would also take vertical tabs and form feeds, which are not the rules' to remove.
const std::string kLabelPattern = "([A-Za-z\\d_]+)([ \t]*)(::?)";
const std::string kAsmPattern = "( ?)(!)([ \t]*)";
const std::string kCommentPattern = "( ?)(.*[^ \t])([ \t]*)$";
const std::string kTrailingBlanksPattern = "(\\S?)(\\S?)([ \t]+)$";

// The patterns of an operator: G1 the blanks in front of it, G2 the operator, G3 the blanks
// behind it. Met directly, the scan stands on the operator and the optional blank of G1 finds
// none; met behind blanks, G1 takes them all.
enum class OperatorShape {
  OneCharacter,   // `.`: one byte
  Colons,         // `::?`: a colon, and a second one where it follows
  ComparisonRun,  // `[<>=][<>=]?`: the engine's whole run of those characters
};
struct OperatorPattern {
  std::string pattern;
  OperatorShape shape;
};
const OperatorPattern kColonPattern{"( ?)(::?)([ \t]*)", OperatorShape::Colons};
const OperatorPattern kOperatorPattern{"( ?)(.)([ \t]*)", OperatorShape::OneCharacter};
const OperatorPattern kComparisonPattern{"( ?)([<>=][<>=]?)([ \t]*)", OperatorShape::ComparisonRun};
const OperatorPattern kBlanksComparisonPattern{"([ \t]+)([<>=][<>=]?)([ \t]*)",
                                               OperatorShape::ComparisonRun};
const OperatorPattern kBlanksColonPattern{"([ \t]+)(::?)([ \t]*)", OperatorShape::Colons};
const OperatorPattern kBlanksOperatorPattern{"([ \t]+)(.)([ \t]*)", OperatorShape::OneCharacter};

// Templates: the operator alone, the label and its colon, one blank.
const std::string kOperatorOnly = "\\2";
const std::string kLabelAndColon = "\\1\\3";
const std::string kOneBlank = " ";
const std::string kNothing;

constexpr std::int64_t kLineDone = -1;

using A = SpacingAction;

// A window of one line's text, as of the number of edits made when it was read. It holds at most
// kLineWindow bytes from just in front of where the scan stands, so that re-reading it after an
// edit costs the same on a line of any length (a whole long line read again after every edit
// would make the formatting of one line quadratic).
constexpr std::int64_t kLineWindow = 4096;

struct LineCopy {
  std::int64_t lineEnd = 0;
  std::int64_t start = 0;  // the window: [start, end) of the line
  std::int64_t end = 0;
  std::uint64_t edits = 0;
  std::string text;

  bool Holds(std::int64_t position) const { return position >= start && position < end; }
  // The byte at `position` (a byte value, as the rules compare them), 0 outside the window.
  int At(std::int64_t position) const {
    if (!Holds(position)) return 0;
    return static_cast<unsigned char>(text[static_cast<std::size_t>(position - start)]);
  }
  // The first position of the window from `from` on whose byte `wanted` accepts, or -1.
  template <typename Predicate>
  std::int64_t Find(std::int64_t from, Predicate wanted) const {
    for (std::int64_t at = from < start ? start : from; at < end; ++at)
      if (wanted(At(at))) return at;
    return -1;
  }
  bool ReachesLineEnd() const { return end >= lineEnd; }
};

// The line being formatted. Its start and its first non-blank character stay where they are
// while it is formatted: every edit lies behind that character, and none puts a blank in front
// of it (the rules never add one next to the indentation).
struct FormattedLine {
  FormattedLine(const HookContext& lineContext, std::int64_t lineNumber, std::int64_t lineStart)
      : context(lineContext), number(lineNumber), start(lineStart) {}

  const HookContext& context;
  std::int64_t number;
  std::int64_t start;
  std::int64_t indent = 0;
  // The edits made so far: what was read of the line before the last one is out of date.
  std::uint64_t edits = 0;
  bool endKnown = false;
  std::uint64_t endEdits = 0;
  std::int64_t end = 0;  // the line end, as of `endEdits` edits
  LineCopy copy;
};

// The line end as the text now stands: asked again only after an edit, since edits move it.
std::int64_t CurrentEnd(FormattedLine& line) {
  if (!line.endKnown || line.endEdits != line.edits) {
    line.end = LineEnd(line.context, line.number);
    line.endKnown = true;
    line.endEdits = line.edits;
  }
  return line.end;
}

void Replace(FormattedLine& line, const std::string& text, std::int64_t start, std::int64_t end) {
  ++line.edits;
  SciReplaceRange(line.context, true, text, start, end);
}

// Reads the window of the line that starts just in front of `from`: the byte before a match is
// looked at too.
void ReadLine(FormattedLine& line, std::int64_t from) {
  LineCopy& copy = line.copy;
  copy.lineEnd = CurrentEnd(line);
  copy.edits = line.edits;
  copy.start = from - 1 > line.start ? from - 1 : line.start;
  if (copy.start > copy.lineEnd) copy.start = copy.lineEnd;
  copy.end = copy.lineEnd - copy.start > kLineWindow ? copy.start + kLineWindow : copy.lineEnd;
  const std::int64_t length = copy.end - copy.start;
  copy.text.assign(static_cast<std::size_t>(length) + 1, '\0');
  sci::TextRange range{{static_cast<std::int32_t>(copy.start), static_cast<std::int32_t>(copy.end)},
                       copy.text.data()};
  const std::int64_t read = length > 0 ? SciSend(line.context, sci::SCI_GETTEXTRANGE, 0,
                                                 reinterpret_cast<std::intptr_t>(&range))
                                       : 0;
  // A shorter answer (a control that misbehaves) reads as a shorter line.
  if (read < length) copy.lineEnd = copy.end = copy.start + (read < 0 ? 0 : read);
  copy.text.resize(static_cast<std::size_t>(copy.end - copy.start));
}

bool CopyIsCurrent(const FormattedLine& line) { return line.copy.edits == line.edits; }

// The byte at `position` as the text now stands: from the copy where it holds it, else asked.
int ByteAt(FormattedLine& line, std::int64_t position) {
  if (CopyIsCurrent(line) && line.copy.Holds(position)) return line.copy.At(position);
  return CharAt(line.context, position);
}

// The first position from `from` on whose byte `wanted` accepts, or -1: the window moves along
// the line as far as needed.
template <typename Predicate>
std::int64_t FindOnLine(FormattedLine& line, std::int64_t from, Predicate wanted) {
  if (CopyIsCurrent(line) && from >= line.copy.lineEnd) return -1;
  if (!CopyIsCurrent(line) || !line.copy.Holds(from)) ReadLine(line, from);
  for (;;) {
    const std::int64_t found = line.copy.Find(from, wanted);
    if (found >= 0 || line.copy.ReachesLineEnd()) return found;
    from = line.copy.end;
    ReadLine(line, from);
  }
}

bool IsWordCharacter(int ch) {
  return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') ||
         ch == '_';
}
bool IsBlank(int ch) { return ch == ' ' || ch == '\t'; }
bool IsNotWordCharacter(int ch) { return !IsWordCharacter(ch); }
bool IsNotBlank(int ch) { return !IsBlank(ch); }

// A match of a rule's pattern: [start, end) and the lengths of its groups G1, G2 and G3.
struct RuleMatch {
  std::int64_t start = -1;
  std::int64_t end = -1;
  std::int64_t before = 0;  // G1: what stands before the operator, usually blanks
  std::int64_t length = 0;  // G2: the operator
  std::int64_t after = 0;   // G3: what follows it, usually blanks
};

// The groups lie inside the match, one behind the other; a control that answered otherwise
// would have the rules edit outside what they looked at.
bool GroupsInsideMatch(const RuleMatch& match) {
  return match.before >= 0 && match.length >= 0 && match.after >= 0 &&
         match.start + match.before + match.length + match.after <= match.end;
}

std::int64_t GroupLength(const FormattedLine& line, int group) {
  return SciSend(line.context, sci::SCI_GETTAG, static_cast<std::uintptr_t>(group));
}

// True when the first match of `pattern` in [position, line end) starts exactly at `position`;
// `match` is then that match. An empty range never matches.
bool MatchesAt(FormattedLine& line, const std::string& pattern, std::int64_t position,
               RuleMatch& match) {
  const std::int64_t end = CurrentEnd(line);
  if (position >= end) return false;
  const FoundText found = SciFindText(line.context, true, pattern, position, end);
  if (found.start != position) return false;
  match = {found.start, found.end, GroupLength(line, 1), GroupLength(line, 2),
           GroupLength(line, 3)};
  return GroupsInsideMatch(match);
}

// Where the run of blanks that starts at `from` ends: the first byte that is not a space or a
// tab, or the line end.
std::int64_t BlanksEnd(FormattedLine& line, std::int64_t from) {
  const std::int64_t found = FindOnLine(line, from, IsNotBlank);
  return found >= 0 ? found : CurrentEnd(line);
}

// MatchesAt for an operator's pattern, with its groups read from the copy of the line where the
// text alone decides them. The engine takes a run of blanks whole: it tries the longest run
// first, and the rest of the pattern matches right behind it (the operator that the scan found
// there, then blanks or none). A single character or a colon pair is as long as the text says;
// only the length of a comparison run is asked of the editor.
bool MatchesOperatorAt(FormattedLine& line, const OperatorPattern& pattern, std::int64_t position,
                       RuleMatch& match) {
  const std::int64_t end = CurrentEnd(line);
  if (position >= end) return false;
  const FoundText found = SciFindText(line.context, true, pattern.pattern, position, end);
  if (found.start != position) return false;
  const std::int64_t operatorAt = BlanksEnd(line, position);
  std::int64_t length = 1;
  if (pattern.shape == OperatorShape::Colons && operatorAt + 1 < end &&
      ByteAt(line, operatorAt + 1) == ':')
    length = 2;
  if (pattern.shape == OperatorShape::ComparisonRun) length = GroupLength(line, 2);
  const std::int64_t blanksAfter = BlanksEnd(line, operatorAt + length) - (operatorAt + length);
  match = {found.start, found.end, operatorAt - position, length, blanksAfter};
  return GroupsInsideMatch(match);
}

std::int64_t Setting(const FormattedLine& line, const char* rule) {
  return GetPluginSetting(line.context, kGroup, rule);
}

// Performs the action that `settingValue` selects on `match` (the match of the search just made,
// which starts where the rule is applied) and returns the position from which the scan
// continues. A value the rule does not offer (negative, above 2, or a choice marked NotOffered)
// acts as 0. The result is always past the match start, so no setting can make a scan stand
// still.
std::int64_t ApplySpacingRule(FormattedLine& line, const RuleMatch& match,
                              std::int64_t settingValue, A actionIfNoRules, A actionIfChoice1,
                              A actionIfChoice2);

std::int64_t ApplyRule(FormattedLine& line, const RuleMatch& match, const char* rule, A ifNoRules,
                       A ifChoice1, A ifChoice2) {
  return ApplySpacingRule(line, match, Setting(line, rule), ifNoRules, ifChoice1, ifChoice2);
}

// A comparison operator of the Comparison rule, the shift of BitwiseShift, or neither (a run
// such as `==`, `><`, `<<=` or `===`, which no rule governs).
enum class RunKind { Comparison, Shift, NoRule };

RunKind ClassifyComparisonRun(FormattedLine& line, const RuleMatch& match) {
  if (match.length == 1) return RunKind::Comparison;  // `<`, `>` or `=`
  if (match.length != 2) return RunKind::NoRule;
  // The run is G2, which follows G1 in the text: no edit has been made since the search.
  const std::int64_t at = match.start + match.before;
  const char run[] = {static_cast<char>(ByteAt(line, at)), static_cast<char>(ByteAt(line, at + 1))};
  const std::string_view text(run, 2);
  if (text == "<>" || text == "<=" || text == ">=" || text == "=<" || text == "=>")
    return RunKind::Comparison;
  if (text == "<<" || text == ">>") return RunKind::Shift;
  return RunKind::NoRule;
}

// A run without a rule is stepped over unchanged; blanks behind it that end the line are left
// to the trailing-blanks rule instead of being stepped over with it.
std::int64_t StepOverUnruledRun(FormattedLine& line, const RuleMatch& match) {
  if (match.after > 0 && match.end == CurrentEnd(line)) return match.end - match.after;
  return match.end;
}

std::int64_t ApplyComparisonRun(FormattedLine& line, const RuleMatch& match, A ifNoRules) {
  switch (ClassifyComparisonRun(line, match)) {
    case RunKind::Comparison:
      return ApplyRule(line, match, "Comparison", ifNoRules, A::Tight, A::SpaceAround);
    case RunKind::Shift:
      return ApplyRule(line, match, "BitwiseShift", ifNoRules, A::Tight, A::SpaceAround);
    case RunKind::NoRule:
      break;
  }
  return StepOverUnruledRun(line, match);
}

std::int64_t ApplyColonRun(FormattedLine& line, const RuleMatch& match, A ifNoRules) {
  if (match.length == 1)
    return ApplyRule(line, match, "Colon", ifNoRules, A::Tight, A::SpaceAround);
  return ApplyRule(line, match, "Module", ifNoRules, A::Tight, A::SpaceAfter);
}

// The rules of the operators and separators: which characters each governs, and what its two
// choices do where the character is met directly (the rule then looks at the blanks after it)
// and where it is met behind blanks. A row that does not apply at one of the two places leaves
// that place to another row or, behind blanks, to the default spacing.
struct OperatorRule {
  std::string_view characters;
  const char* setting;
  bool metDirectly;
  bool metBehindBlanks;
  A ifChoice1;  // met directly
  A ifChoice1BehindBlanks;
  A ifChoice2;                  // at both places
  bool keepsBlankAfterKeyword;  // behind blanks that follow a keyword, choice 1 keeps one blank
};
constexpr OperatorRule kOperatorRules[] = {
    {",", "Comma", true, true, A::Tight, A::Tight, A::SpaceAfter, false},
    {"([{", "Bracket", true, false, A::Tight, A::Tight, A::NotOffered, false},
    {")]}", "Bracket", false, true, A::Tight, A::TightBefore, A::NotOffered, false},
    {"+/", "Math", true, true, A::Tight, A::Tight, A::SpaceAround, false},
    {"!|&", "Bitwise", true, true, A::Tight, A::Tight, A::SpaceAround, false},
    {"\\", "Field", true, true, A::Tight, A::Tight, A::NotOffered, true},
    {".", "Type", true, true, A::Tight, A::Tight, A::NotOffered, false},
    {"~", "BitwiseNot", true, false, A::Tight, A::Tight, A::NotOffered, false},
};

// The first row of the table for each character, met directly and behind blanks (-1: none),
// worked out once: the scan asks for every character it stops at.
struct OperatorRuleIndex {
  std::array<std::int8_t, 128> direct{};
  std::array<std::int8_t, 128> behindBlanks{};
};
constexpr OperatorRuleIndex MakeOperatorRuleIndex() {
  OperatorRuleIndex index;
  for (int ch = 0; ch < 128; ++ch) {
    index.direct[ch] = index.behindBlanks[ch] = -1;
    for (int row = static_cast<int>(std::size(kOperatorRules)) - 1; row >= 0; --row) {
      const OperatorRule& rule = kOperatorRules[row];
      if (ch == 0 || rule.characters.find(static_cast<char>(ch)) == std::string_view::npos)
        continue;
      if (rule.metDirectly) index.direct[ch] = static_cast<std::int8_t>(row);
      if (rule.metBehindBlanks) index.behindBlanks[ch] = static_cast<std::int8_t>(row);
    }
  }
  return index;
}
constexpr OperatorRuleIndex kOperatorRuleIndex = MakeOperatorRuleIndex();

const OperatorRule* FindOperatorRule(int ch, bool behindBlanks) {
  if (ch <= 0 || ch > 127) return nullptr;
  const int row = (behindBlanks ? kOperatorRuleIndex.behindBlanks : kOperatorRuleIndex.direct)[ch];
  return row < 0 ? nullptr : &kOperatorRules[row];
}

// An operator or separator met without blanks in front of it whose rule looks at the blanks
// after it (the blanks in front of an operator are met as blanks first).
bool IsSpacedOperator(int ch) { return FindOperatorRule(ch, false) != nullptr; }

// The operator or separator that `match` starts with, met without blanks in front of it.
std::int64_t ApplyOperator(FormattedLine& line, const RuleMatch& match, int ch) {
  const OperatorRule& rule = *FindOperatorRule(ch, false);
  return ApplyRule(line, match, rule.setting, A::Keep, rule.ifChoice1, rule.ifChoice2);
}

// The style of the character at `position` of the line, as the text now stands. The IDE styles
// when it paints; until then the text that an edit earlier on the line moved keeps its old
// styles: after `3. Or` lost its blank, `Or` would still read as the keyword it no longer is in
// `3.Or`. Where the styles do not reach past `position`, the IDE is asked to style the line up
// to there first (one message more, two where the text was edited since the IDE painted).
int CurrentStyleAt(const FormattedLine& line, std::int64_t position) {
  if (SciSend(line.context, sci::SCI_GETENDSTYLED) <= position)
    SciSend(line.context, sci::SCI_COLOURISE, static_cast<std::uintptr_t>(line.start),
            position + 1);
  return StyleAt(line.context, position);
}

// The blanks at `position` and the character behind them. Which of the four patterns matches at
// `position` depends only on that character (or on there being none): it is looked up first, so
// that only the pattern that matches is searched with, and not at all where the outcome is the
// same whatever the settings.
std::int64_t ApplyBlanks(FormattedLine& line, std::int64_t position) {
  RuleMatch match;
  const std::int64_t behind = FindOnLine(line, position, IsNotBlank);
  if (behind < 0) {
    // Blanks that end the line are removed by choice 1 of their rule (Tight) and kept by any
    // other value (Keep); nothing follows them either way.
    if (Setting(line, "TrailingSpaces") == 1 &&
        MatchesAt(line, kTrailingBlanksPattern, position, match))
      ApplyRule(line, match, "TrailingSpaces", A::Keep, A::Tight, A::NotOffered);
    return kLineDone;
  }
  const int behindCh = ByteAt(line, behind);
  if (behindCh == '<' || behindCh == '>' || behindCh == '=') {
    if (MatchesOperatorAt(line, kBlanksComparisonPattern, position, match))
      return ApplyComparisonRun(line, match, A::UseDefaultSpacing);
    return position + 1;
  }
  if (behindCh == ':') {
    if (MatchesOperatorAt(line, kBlanksColonPattern, position, match))
      return ApplyColonRun(line, match, A::UseDefaultSpacing);
    return position + 1;
  }
  // The blanks in front of a comment are never changed.
  if (behindCh == ';') return behind;
  // The rule of the character behind the blanks (the search below takes it as its group 2).
  const OperatorRule* rule = FindOperatorRule(behindCh, true);
  // One blank in front of a character that no rule governs is what the default spacing makes of
  // the blanks there (OneBlankBefore, which leaves one blank alone), and any other value of it
  // steps over them (SkipBlanks): either way no edit, and the scan goes on behind the blank.
  if (rule == nullptr && behind - position == 1) return behind;
  // A field after a keyword keeps one blank (`If \x` is not `If\x`), so choice 1 of its rule
  // reads the style in front of the blanks: before the search, whose groups the rule reads, so
  // that the IDE's styling cannot be the last to set them.
  const std::int64_t value = rule != nullptr ? Setting(line, rule->setting) : 0;
  const bool afterKeyword = rule != nullptr && rule->keepsBlankAfterKeyword && value == 1 &&
                            CurrentStyleAt(line, position - 1) == sci::STYLE_KEYWORD;
  if (!MatchesOperatorAt(line, kBlanksOperatorPattern, position, match)) return position + 1;
  if (rule == nullptr)
    return ApplyRule(line, match, "DefaultSpacing", A::SkipBlanks, A::OneBlankBefore,
                     A::NotOffered);
  return ApplySpacingRule(line, match, value, A::UseDefaultSpacing,
                          afterKeyword ? A::OneBlankBefore : rule->ifChoice1BehindBlanks,
                          rule->ifChoice2);
}

// A comment: its text stays as it is, and only the blanks that end the line can change, by
// choice 1 of TrailingSpaces (Tight); any other value keeps them (Keep). Where the line does not
// end in a blank, or the choice is another, nothing changes and nothing follows.
std::int64_t ApplyComment(FormattedLine& line, std::int64_t position) {
  if (Setting(line, "TrailingSpaces") != 1) return kLineDone;
  const std::int64_t end = CurrentEnd(line);
  if (!IsBlank(ByteAt(line, end - 1))) return kLineDone;
  RuleMatch match;
  if (MatchesAt(line, kCommentPattern, position, match))
    return ApplyRule(line, match, "TrailingSpaces", A::Keep, A::Tight, A::NotOffered);
  return kLineDone;
}

// A string or character literal opened at `position`: the position behind it.
std::int64_t SkipLiteral(FormattedLine& line, std::int64_t position, int quote) {
  // An escaped string (`~"..."`) ends at the first quote that no backslash escapes.
  if (quote == '"' && position > 0 && ByteAt(line, position - 1) == '~')
    return EscapedLiteral(line.context, position, CurrentEnd(line)).end;
  // Any other runs up to its closing quote or the end of the line (the search "[^"]*("?") from
  // behind the quote, read from the copy: the engine matches that set one byte at a time).
  const std::int64_t closing =
      FindOnLine(line, position + 1, [quote](int ch) { return ch == quote; });
  return closing >= 0 ? closing + 1 : CurrentEnd(line);
}

// One step of the scan: the character `ch` was found at `position`. Returns the position the
// scan goes on from, or kLineDone.
std::int64_t ScanStep(FormattedLine& line, std::int64_t position, int ch) {
  RuleMatch match;
  switch (ch) {
    case '"':
    case '\'':
      return SkipLiteral(line, position, ch);
    case ';':
      return ApplyComment(line, position);
    case ':':
      if (MatchesOperatorAt(line, kColonPattern, position, match))
        return ApplyColonRun(line, match, A::Keep);
      return position + 1;
    case '<':
    case '>':
    case '=':
      if (MatchesOperatorAt(line, kComparisonPattern, position, match))
        return ApplyComparisonRun(line, match, A::Keep);
      return position + 1;
    default:
      break;
  }
  if (IsSpacedOperator(ch)) {
    if (!MatchesOperatorAt(line, kOperatorPattern, position, match)) return position + 1;
    // Joining a `~` to the quote behind its blanks would make a plain string an escaped one:
    // the blanks are left to the default spacing.
    if (ch == '~' && match.after > 0 && ByteAt(line, match.end) == '"')
      return match.end - match.after;
    return ApplyOperator(line, match, ch);
  }
  if (IsBlank(ch)) return ApplyBlanks(line, position);
  return position + 1;  // a character without a rule: stepped over
}

// Whether the label pattern matches at `position`: a word, blanks, then a colon. Where it
// does not, the pattern's own search would try every later position of the line, each with
// backtracking over a whole word, which costs far too much on a long line.
bool LabelStartsAt(FormattedLine& line, std::int64_t position) {
  if (!IsWordCharacter(ByteAt(line, position))) return false;
  const std::int64_t wordEnd = FindOnLine(line, position, IsNotWordCharacter);
  if (wordEnd < 0) return false;
  const std::int64_t next = FindOnLine(line, wordEnd, IsNotBlank);
  return next >= 0 && line.copy.At(next) == ':';
}

void FormatLine(const HookContext& context, std::int64_t number) {
  FormattedLine line{context, number, LineStart(context, number)};
  ReadLine(line, line.start);
  // The indentation position, read from the copy: the first byte that is not a space or a tab.
  // A line without one is empty or holds only indentation: nothing to format.
  const std::int64_t firstNonBlank = FindOnLine(line, line.start, IsNotBlank);
  if (firstNonBlank < 0) return;
  line.indent = firstNonBlank;
  std::int64_t position = line.indent;

  // A label at the start of the line, else an inline assembly line.
  RuleMatch match;
  bool labelled = false;
  if (LabelStartsAt(line, position) && MatchesAt(line, kLabelPattern, position, match) &&
      match.after == 1) {
    position = ApplyRule(line, match, "Label", A::SkipMatch, A::JoinLabel, A::NotOffered);
    labelled = true;
  }
  if (!labelled && ByteAt(line, position) == '!' && MatchesAt(line, kAsmPattern, position, match))
    position = ApplyRule(line, match, "ASM", A::Keep, A::Tight, A::SpaceAfter);

  // Every step leaves at least one character of the original line behind it, so a line of n
  // characters takes at most n steps; the budget only guards against an editor that misbehaves.
  if (!CopyIsCurrent(line)) ReadLine(line, position);
  std::int64_t budget = 2 * (line.copy.lineEnd - line.start) + 16;
  while (budget-- > 0) {
    if (!CopyIsCurrent(line)) ReadLine(line, position);
    if (position >= line.copy.lineEnd) return;
    // The next character that is not a word character: the only ones a rule looks at.
    const std::int64_t found = FindOnLine(line, position, IsNotWordCharacter);
    if (found < 0) return;
    const std::int64_t next = ScanStep(line, found, line.copy.At(found));
    if (next == kLineDone) return;
    position = next > found ? next : found + 1;
  }
}

std::int64_t ApplySpacingRule(FormattedLine& line, const RuleMatch& match,
                              std::int64_t settingValue, A actionIfNoRules, A actionIfChoice1,
                              A actionIfChoice2) {
  A action = actionIfNoRules;
  if (settingValue == 1) action = actionIfChoice1;
  if (settingValue == 2) action = actionIfChoice2;
  if (action == A::NotOffered) action = actionIfNoRules;
  if (action == A::UseDefaultSpacing)
    action = Setting(line, "DefaultSpacing") == 1 ? A::OneBlankBefore : A::SkipBlanks;

  const std::int64_t position = match.start;
  const std::int64_t start = match.start;
  const std::int64_t end = match.end;
  const std::int64_t before = match.before;
  const std::int64_t length = match.length;
  const std::int64_t after = match.after;

  // Blanks are never added at the end of a line (the trailing-blanks rule decides about the
  // blanks there), nor between the indentation and the line's first character, nor in front of
  // an operator that a blank already precedes (the blank the rule of the operator before it
  // left: its blanks after it are never met as blanks in front of this one).
  auto afterReachesLineEnd = [&] { return end == CurrentEnd(line); };
  auto blankOrIndentationInFront = [&] {
    if (before != 0) return false;
    if (start == line.indent) return true;
    return IsBlank(ByteAt(line, start - 1));
  };

  // Blanks that part two operators stay (one blank at least) where removing them would join the
  // two into another operator: `< <` would become the shift `<<`, `: :` the module `::`, and
  // formatting again would then apply the other operator's rule.
  auto joins = [&line](std::int64_t leftAt, std::int64_t rightAt) {
    const int left = ByteAt(line, leftAt);
    return (left == '<' || left == '>' || left == ':') && ByteAt(line, rightAt) == left;
  };
  const bool joinsBehind = after != 0 && joins(end - after - 1, end);
  const bool joinsInFront = before != 0 && start > 0 && joins(start - 1, start + before);
  auto removeBlanks = [&](std::int64_t from, std::int64_t to, bool keepOne) {
    if (!keepOne) {
      Replace(line, kNothing, from, to);
    } else if (to - from != 1) {
      Replace(line, kOneBlank, from, to);
    }
  };

  std::int64_t next = position;
  switch (action) {
    case A::SkipBlanks:
      next = position + before;
      break;
    case A::Keep:
      next = position + before + length;
      break;
    case A::Tight:
      if (joinsBehind || joinsInFront) {
        if (after != 0) removeBlanks(end - after, end, joinsBehind);
        if (before != 0) removeBlanks(start, start + before, joinsInFront);
        next = position + length + (joinsInFront ? 1 : 0);
      } else {
        if (after != 0 || before != 0) Replace(line, kOperatorOnly, start, end);
        next = position + length;
      }
      break;
    case A::SpaceAfter: {
      const bool atLineEnd = afterReachesLineEnd();
      if (!atLineEnd && after != 1) Replace(line, kOneBlank, end - after, end);
      if (before != 0 && joinsInFront) {
        removeBlanks(start, start + before, true);
      } else if (before != 0) {
        Replace(line, kOperatorOnly, start, start + before + length);
      }
      next = position + length + (atLineEnd ? 0 : 1) + (before != 0 && joinsInFront ? 1 : 0);
      break;
    }
    case A::SpaceAround: {
      const bool atLineEnd = afterReachesLineEnd();
      const bool blankInFront = blankOrIndentationInFront();
      if (!atLineEnd && after != 1) Replace(line, kOneBlank, end - after, end);
      if (!blankInFront && before != 1) Replace(line, kOneBlank, start, start + before);
      next = position + length + (atLineEnd ? 0 : 1) + (blankInFront ? 0 : 1);
      break;
    }
    case A::TightBefore:
      if (before != 0 && joinsInFront) {
        removeBlanks(start, start + before, true);
      } else if (before != 0) {
        Replace(line, kOperatorOnly, start, start + before + length);
      }
      next = position + length + (before != 0 && joinsInFront ? 1 : 0);
      break;
    case A::OneBlankBefore:
      if (before != 1 && !blankOrIndentationInFront())
        Replace(line, kOneBlank, start, start + before);
      next = position + 1;
      break;
    case A::JoinLabel:
      if (length != 0) Replace(line, kLabelAndColon, start, end);
      next = end - length;
      break;
    case A::SkipMatch:
      next = end;
      break;
    case A::UseDefaultSpacing:
    case A::NotOffered:
      break;  // resolved above
  }
  return next > position ? next : position + 1;
}

}  // namespace

void FormatLines(const HookContext& context, std::int64_t firstLine, std::int64_t lastLine) {
  if (context.editor == nullptr || firstLine > lastLine) return;
  const std::int64_t lineCount = SciSend(context, sci::SCI_GETLINECOUNT);
  if (firstLine < 0) firstLine = 0;
  if (lastLine > lineCount - 1) lastLine = lineCount - 1;
  for (std::int64_t line = firstLine; line <= lastLine; ++line) FormatLine(context, line);
}
