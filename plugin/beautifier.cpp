// Code beautifier: rewrites the spacing of lines by the user's spacing rules.
//
// A line is walked from its first non-blank character to its end. Every character that is not a
// word character is looked at once; strings, character literals and comments are stepped over,
// operators and separators get the spacing their rule asks for. All reading of the text is done
// by the editor's own regular-expression searches and all writing by template replacements of
// the target, so the IDE's undo history and caret tracking see ordinary edits. The scan itself
// walks a copy of the line, read once and again after every edit: a character that no rule acts
// on costs no message. The line end is asked for again before every search, since edits move it.

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
const std::string kStringRestPattern = "[^\"]*(\"?)";
const std::string kCharacterRestPattern = "[^']*('?)";
const std::string kCommentPattern = "( ?)(.*[^ \t])([ \t]*)$";
const std::string kColonPattern = "( ?)(::?)([ \t]*)";
const std::string kOperatorPattern = "( ?)(.)([ \t]*)";
const std::string kComparisonPattern = "( ?)([<>=][<>=]?)([ \t]*)";
const std::string kTrailingBlanksPattern = "(\\S?)(\\S?)([ \t]+)$";
const std::string kBlanksComparisonPattern = "([ \t]+)([<>=][<>=]?)([ \t]*)";
const std::string kBlanksColonPattern = "([ \t]+)(::?)([ \t]*)";
const std::string kBlanksOperatorPattern = "([ \t]+)(.)([ \t]*)";

// Finds where a run of blanks ends.
const std::string kNotBlankPattern = "[^ \t]";

// Templates: the operator alone, the label and its colon, one blank.
const std::string kOperatorOnly = "\\2";
const std::string kLabelAndColon = "\\1\\3";
const std::string kOneBlank = " ";
const std::string kNothing;

constexpr std::int64_t kLineDone = -1;

// Counts the edits made, so that the scan knows when what it read of the line is out of date.
std::uint64_t g_editCount = 0;

// The end of the line being formatted, as of the edit count it was read at. Kept only while
// FormatLine runs: between its calls other helpers edit the text.
struct KnownLineEnd {
  bool formatting = false;
  os::Window editor = nullptr;
  std::int64_t line = -1;
  std::uint64_t editCount = 0;
  std::int64_t end = 0;
};
KnownLineEnd g_knownLineEnd;

struct FormattingLine {
  FormattingLine() { g_knownLineEnd = KnownLineEnd{true}; }
  ~FormattingLine() { g_knownLineEnd = KnownLineEnd{}; }
  FormattingLine(const FormattingLine&) = delete;
  FormattingLine& operator=(const FormattingLine&) = delete;
};

using A = SpacingAction;

std::int64_t Send(const HookContext& context, std::uint32_t message, std::int64_t wParam = 0) {
  return SciSend(context, message, static_cast<std::uintptr_t>(wParam), 0);
}

// LineEnd of editor access, asked again only after an edit while a line is being formatted.
std::int64_t CurrentLineEnd(const HookContext& context, std::int64_t line) {
  KnownLineEnd& known = g_knownLineEnd;
  if (known.formatting && known.editor == context.editor && known.line == line &&
      known.editCount == g_editCount)
    return known.end;
  const std::int64_t end = LineEnd(context, line);
  if (known.formatting) known = {true, context.editor, line, g_editCount, end};
  return end;
}

std::int64_t GroupLength(const HookContext& context, int group) {
  return Send(context, sci::SCI_GETTAG, group);
}

// True when the first match of `pattern` in [position, line end) starts exactly at `position`.
// An empty range never matches.
bool MatchesAt(const HookContext& context, std::int64_t line, const std::string& pattern,
               std::int64_t position) {
  const std::int64_t end = CurrentLineEnd(context, line);
  return position < end && SciFindInRange(context, true, pattern, position, end) == position;
}

// The first match of `pattern` in [from, line end), or -1.
std::int64_t FindFrom(const HookContext& context, std::int64_t line, const std::string& pattern,
                      std::int64_t from) {
  const std::int64_t end = CurrentLineEnd(context, line);
  if (from >= end) return -1;
  return SciFindInRange(context, true, pattern, from, end);
}

void Replace(const HookContext& context, const std::string& text, std::int64_t start,
             std::int64_t end) {
  ++g_editCount;
  SciReplaceRange(context, true, text, start, end);
}

bool IsWordCharacter(int ch) {
  return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') ||
         ch == '_';
}

std::int64_t ApplyRule(const HookContext& context, std::int64_t position, const char* rule,
                       A ifNoRules, A ifChoice1, A ifChoice2) {
  return ApplySpacingRule(context, position, GetPluginSetting(context, kGroup, rule), ifNoRules,
                          ifChoice1, ifChoice2);
}

bool IsBlank(int ch) { return ch == ' ' || ch == '\t'; }

// A comparison operator of the Comparison rule, the shift of BitwiseShift, or neither (a run
// such as `==`, `><`, `<<=` or `===`, which no rule governs).
enum class RunKind { Comparison, Shift, NoRule };

RunKind ClassifyComparisonRun(const HookContext& context, std::int64_t runLength) {
  if (runLength == 1) return RunKind::Comparison;  // `<`, `>` or `=`
  if (runLength != 2) return RunKind::NoRule;
  const std::string run = SciGetTag(context, 2);
  if (run == "<>" || run == "<=" || run == ">=" || run == "=<" || run == "=>")
    return RunKind::Comparison;
  if (run == "<<" || run == ">>") return RunKind::Shift;
  return RunKind::NoRule;
}

// A run without a rule is stepped over unchanged; blanks behind it that end the line are left
// to the trailing-blanks rule instead of being stepped over with it.
std::int64_t StepOverUnruledRun(const HookContext& context, std::int64_t line) {
  const std::int64_t matchEnd = Send(context, sci::SCI_GETTARGETEND);
  const std::int64_t after = GroupLength(context, 3);
  if (after > 0 && matchEnd == CurrentLineEnd(context, line)) return matchEnd - after;
  return matchEnd;
}

std::int64_t ApplyComparisonRun(const HookContext& context, std::int64_t line,
                                std::int64_t position, A ifNoRules) {
  switch (ClassifyComparisonRun(context, GroupLength(context, 2))) {
    case RunKind::Comparison:
      return ApplyRule(context, position, "Comparison", ifNoRules, A::Tight, A::SpaceAround);
    case RunKind::Shift:
      return ApplyRule(context, position, "BitwiseShift", ifNoRules, A::Tight, A::SpaceAround);
    case RunKind::NoRule:
      break;
  }
  return StepOverUnruledRun(context, line);
}

std::int64_t ApplyColonRun(const HookContext& context, std::int64_t position, A ifNoRules) {
  if (GroupLength(context, 2) == 1)
    return ApplyRule(context, position, "Colon", ifNoRules, A::Tight, A::SpaceAround);
  return ApplyRule(context, position, "Module", ifNoRules, A::Tight, A::SpaceAfter);
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

// The operator or separator at `position`, met without blanks in front of it.
std::int64_t ApplyOperator(const HookContext& context, std::int64_t position, int ch) {
  const OperatorRule& rule = *FindOperatorRule(ch, false);
  return ApplyRule(context, position, rule.setting, A::Keep, rule.ifChoice1, rule.ifChoice2);
}

// The style of the character at `position` of line `line`, as the text now stands. The IDE
// styles when it paints; until then the text that an edit earlier on the line moved keeps its
// old styles: after `3. Or` lost its blank, `Or` would still read as the keyword it no longer is
// in `3.Or`. Where the styles do not reach past `position`, the IDE is asked to style the line up
// to there first (one message more, two where the text was edited since the IDE painted).
int CurrentStyleAt(const HookContext& context, std::int64_t line, std::int64_t position) {
  if (Send(context, sci::SCI_GETENDSTYLED) <= position)
    SciSend(context, sci::SCI_COLOURISE, static_cast<std::uintptr_t>(LineStart(context, line)),
            position + 1);
  return StyleAt(context, position);
}

// The blanks at `position` and the character behind them. Which of the four patterns matches at
// `position` depends only on that character (or on there being none): it is looked up first, so
// that only the pattern that matches is searched with. A pattern that does not match at
// `position` would be searched for over the rest of the line, for every blank of the line.
std::int64_t ApplyBlanks(const HookContext& context, std::int64_t line, std::int64_t position,
                         std::int64_t matchEnd) {
  const std::int64_t behind = FindFrom(context, line, kNotBlankPattern, position);
  if (behind < 0) {
    if (MatchesAt(context, line, kTrailingBlanksPattern, position))
      ApplyRule(context, position, "TrailingSpaces", A::Keep, A::Tight, A::NotOffered);
    return kLineDone;  // removed or kept, nothing follows them
  }
  const int behindCh = CharAt(context, behind);
  if (behindCh == '<' || behindCh == '>' || behindCh == '=') {
    if (MatchesAt(context, line, kBlanksComparisonPattern, position))
      return ApplyComparisonRun(context, line, position, A::UseDefaultSpacing);
    return matchEnd;
  }
  if (behindCh == ':') {
    if (MatchesAt(context, line, kBlanksColonPattern, position))
      return ApplyColonRun(context, position, A::UseDefaultSpacing);
    return matchEnd;
  }
  // The rule of the character behind the blanks (the search below takes it as its group 2). A
  // field after a keyword keeps one blank (`If \x` is not `If\x`), so choice 1 of its rule reads
  // the style in front of the blanks: before the search, whose target and groups the rule reads,
  // so that the IDE's styling cannot be the last to set them.
  const OperatorRule* rule = FindOperatorRule(behindCh, true);
  const std::int64_t value = rule != nullptr ? GetPluginSetting(context, kGroup, rule->setting) : 0;
  const bool afterKeyword = rule != nullptr && rule->keepsBlankAfterKeyword && value == 1 &&
                            CurrentStyleAt(context, line, position - 1) == sci::STYLE_KEYWORD;
  if (!MatchesAt(context, line, kBlanksOperatorPattern, position)) return matchEnd;

  const std::int64_t blanks = GroupLength(context, 1);
  // The blanks in front of a comment are never changed.
  if (behindCh == ';') return position + blanks;
  if (rule == nullptr)
    return ApplyRule(context, position, "DefaultSpacing", A::SkipBlanks, A::OneBlankBefore,
                     A::NotOffered);
  return ApplySpacingRule(context, position, value, A::UseDefaultSpacing,
                          afterKeyword ? A::OneBlankBefore : rule->ifChoice1BehindBlanks,
                          rule->ifChoice2);
}

// One step of the scan: the character `ch` was found at `position`, the scan match ends at
// `matchEnd`. Returns the position the scan goes on from, or kLineDone.
std::int64_t ScanStep(const HookContext& context, std::int64_t line, std::int64_t position, int ch,
                      std::int64_t matchEnd) {
  switch (ch) {
    case '"':
    case '\'': {
      // A string or character literal, up to its closing quote or the end of the line. An
      // escaped string (`~"..."`) ends at the first quote that no backslash escapes.
      if (ch == '"' && OpensEscapedLiteral(context, position))
        return EscapedLiteral(context, position, CurrentLineEnd(context, line)).end;
      const std::int64_t inside = position + 1;
      const std::string& rest = ch == '"' ? kStringRestPattern : kCharacterRestPattern;
      if (MatchesAt(context, line, rest, inside)) return Send(context, sci::SCI_GETTARGETEND);
      return inside;
    }
    case ';':
      if (MatchesAt(context, line, kCommentPattern, position))
        return ApplyRule(context, position, "TrailingSpaces", A::Keep, A::Tight, A::NotOffered);
      return kLineDone;
    case ':':
      if (MatchesAt(context, line, kColonPattern, position))
        return ApplyColonRun(context, position, A::Keep);
      return matchEnd;
    case '<':
    case '>':
    case '=':
      if (MatchesAt(context, line, kComparisonPattern, position))
        return ApplyComparisonRun(context, line, position, A::Keep);
      return matchEnd;
    default:
      break;
  }
  if (IsSpacedOperator(ch)) {
    if (!MatchesAt(context, line, kOperatorPattern, position)) return matchEnd;
    // Joining a `~` to the quote behind its blanks would make a plain string an escaped one:
    // the blanks are left to the default spacing.
    if (ch == '~' && GroupLength(context, 3) > 0 &&
        CharAt(context, Send(context, sci::SCI_GETTARGETEND)) == '"')
      return Send(context, sci::SCI_GETTARGETEND) - GroupLength(context, 3);
    return ApplyOperator(context, position, ch);
  }
  if (IsBlank(ch)) return ApplyBlanks(context, line, position, matchEnd);
  return matchEnd;  // a character without a rule: stepped over
}

// A window of one line's text, as of the edit count it was read at. It holds at most
// kLineWindow bytes from where the scan stands, so that re-reading it after an edit costs the
// same on a line of any length (a whole long line read again after every edit would make the
// formatting of one line quadratic).
constexpr std::int64_t kLineWindow = 4096;

struct LineCopy {
  std::int64_t lineStart = 0;
  std::int64_t lineEnd = 0;
  std::int64_t start = 0;  // the window: [start, end) of the line
  std::int64_t end = 0;
  std::uint64_t editCount = 0;
  std::string text;

  // The byte at `position` (a byte value, as the rules compare them), 0 outside the window.
  int At(std::int64_t position) const {
    if (position < start || position >= end) return 0;
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

// Reads the window of line `line` that starts at `from` (at the line's start at the least).
void ReadLine(const HookContext& context, std::int64_t line, std::int64_t from, LineCopy& copy) {
  copy.lineStart = LineStart(context, line);
  copy.lineEnd = CurrentLineEnd(context, line);
  copy.editCount = g_editCount;
  copy.start = from > copy.lineStart ? from : copy.lineStart;
  if (copy.start > copy.lineEnd) copy.start = copy.lineEnd;
  copy.end = copy.lineEnd - copy.start > kLineWindow ? copy.start + kLineWindow : copy.lineEnd;
  const std::int64_t length = copy.end - copy.start;
  copy.text.assign(static_cast<std::size_t>(length) + 1, '\0');
  sci::TextRange range{{static_cast<std::int32_t>(copy.start), static_cast<std::int32_t>(copy.end)},
                       copy.text.data()};
  const std::int64_t read = length > 0 ? SciSend(context, sci::SCI_GETTEXTRANGE, 0,
                                                 reinterpret_cast<std::intptr_t>(&range))
                                       : 0;
  // A shorter answer (a control that misbehaves) reads as a shorter line.
  if (read < length) copy.lineEnd = copy.end = copy.start + (read < 0 ? 0 : read);
  copy.text.resize(static_cast<std::size_t>(copy.end - copy.start));
}

// The first position from `from` on whose byte `wanted` accepts, or -1: the window moves along
// the line as far as needed.
template <typename Predicate>
std::int64_t FindOnLine(const HookContext& context, std::int64_t line, LineCopy& copy,
                        std::int64_t from, Predicate wanted) {
  if (copy.editCount != g_editCount || from < copy.start || from >= copy.end)
    ReadLine(context, line, from, copy);
  for (;;) {
    const std::int64_t found = copy.Find(from, wanted);
    if (found >= 0 || copy.ReachesLineEnd()) return found;
    from = copy.end;
    ReadLine(context, line, from, copy);
  }
}

bool IsNotWordCharacter(int ch) { return !IsWordCharacter(ch); }
bool IsNotBlank(int ch) { return !IsBlank(ch); }

// Whether the label pattern matches at `position`: a word, blanks, then a colon. Where it
// does not, the pattern's own search would try every later position of the line, each with
// backtracking over a whole word, which costs far too much on a long line.
bool LabelStartsAt(const HookContext& context, std::int64_t line, LineCopy& copy,
                   std::int64_t position) {
  if (!IsWordCharacter(copy.At(position))) return false;
  const std::int64_t wordEnd = FindOnLine(context, line, copy, position, IsNotWordCharacter);
  if (wordEnd < 0) return false;
  const std::int64_t next = FindOnLine(context, line, copy, wordEnd, IsNotBlank);
  return next >= 0 && copy.At(next) == ':';
}

void FormatLine(const HookContext& context, std::int64_t line) {
  const FormattingLine formatting;
  std::int64_t position = LineIndentPosition(context, line);
  LineCopy copy;
  ReadLine(context, line, position, copy);

  // A label at the start of the line, else an inline assembly line.
  bool labelled = false;
  if (LabelStartsAt(context, line, copy, position) &&
      MatchesAt(context, line, kLabelPattern, position) && GroupLength(context, 3) == 1) {
    position = ApplyRule(context, position, "Label", A::SkipMatch, A::JoinLabel, A::NotOffered);
    labelled = true;
  }
  if (copy.editCount != g_editCount || position < copy.start || position >= copy.end)
    ReadLine(context, line, position, copy);
  if (!labelled && copy.At(position) == '!' && MatchesAt(context, line, kAsmPattern, position))
    position = ApplyRule(context, position, "ASM", A::Keep, A::Tight, A::SpaceAfter);

  // Every step leaves at least one character of the original line behind it, so a line of n
  // characters takes at most n steps; the budget only guards against an editor that misbehaves.
  if (copy.editCount != g_editCount) ReadLine(context, line, position, copy);
  std::int64_t budget = 2 * (copy.lineEnd - copy.lineStart) + 16;
  while (budget-- > 0) {
    if (copy.editCount != g_editCount) ReadLine(context, line, position, copy);
    if (position >= copy.lineEnd) return;
    // The next character that is not a word character: the only ones a rule looks at.
    const std::int64_t found = FindOnLine(context, line, copy, position, IsNotWordCharacter);
    if (found < 0) return;
    const std::int64_t next = ScanStep(context, line, found, copy.At(found), found + 1);
    if (next == kLineDone) return;
    position = next > found ? next : found + 1;
  }
}

}  // namespace

std::int64_t ApplySpacingRule(const HookContext& context, std::int64_t position,
                              std::int64_t settingValue, SpacingAction actionIfNoRules,
                              SpacingAction actionIfChoice1, SpacingAction actionIfChoice2) {
  SpacingAction action = actionIfNoRules;
  if (settingValue == 1) action = actionIfChoice1;
  if (settingValue == 2) action = actionIfChoice2;
  if (action == A::NotOffered) action = actionIfNoRules;
  if (action == A::UseDefaultSpacing)
    action = GetPluginSetting(context, kGroup, "DefaultSpacing") == 1 ? A::OneBlankBefore
                                                                      : A::SkipBlanks;

  const std::int64_t start = Send(context, sci::SCI_GETTARGETSTART);
  const std::int64_t end = Send(context, sci::SCI_GETTARGETEND);
  const std::int64_t before = GroupLength(context, 1);
  const std::int64_t length = GroupLength(context, 2);
  const std::int64_t after = GroupLength(context, 3);

  // Blanks are never added at the end of a line (the trailing-blanks rule decides about the
  // blanks there), nor between the indentation and the line's first character, nor in front of
  // an operator that a blank already precedes (the blank the rule of the operator before it
  // left: its blanks after it are never met as blanks in front of this one).
  auto afterReachesLineEnd = [&] {
    const std::int64_t line = Send(context, sci::SCI_LINEFROMPOSITION, start);
    return end == CurrentLineEnd(context, line);
  };
  auto blankOrIndentationInFront = [&] {
    if (before != 0) return false;
    const std::int64_t line = Send(context, sci::SCI_LINEFROMPOSITION, start);
    if (start == LineIndentPosition(context, line)) return true;
    return IsBlank(CharAt(context, start - 1));
  };

  // Blanks that part two operators stay (one blank at least) where removing them would join the
  // two into another operator: `< <` would become the shift `<<`, `: :` the module `::`, and
  // formatting again would then apply the other operator's rule.
  auto joins = [](int left, int right) {
    return (left == '<' || left == '>' || left == ':') && right == left;
  };
  const bool joinsBehind =
      after != 0 && joins(CharAt(context, end - after - 1), CharAt(context, end));
  const bool joinsInFront = before != 0 && start > 0 &&
                            joins(CharAt(context, start - 1), CharAt(context, start + before));
  auto removeBlanks = [&](std::int64_t from, std::int64_t to, bool keepOne) {
    if (!keepOne) {
      Replace(context, kNothing, from, to);
    } else if (to - from != 1) {
      Replace(context, kOneBlank, from, to);
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
        if (after != 0 || before != 0) Replace(context, kOperatorOnly, start, end);
        next = position + length;
      }
      break;
    case A::SpaceAfter: {
      const bool atLineEnd = afterReachesLineEnd();
      if (!atLineEnd && after != 1) Replace(context, kOneBlank, end - after, end);
      if (before != 0 && joinsInFront) {
        removeBlanks(start, start + before, true);
      } else if (before != 0) {
        Replace(context, kOperatorOnly, start, start + before + length);
      }
      next = position + length + (atLineEnd ? 0 : 1) + (before != 0 && joinsInFront ? 1 : 0);
      break;
    }
    case A::SpaceAround: {
      const bool atLineEnd = afterReachesLineEnd();
      const bool blankInFront = blankOrIndentationInFront();
      if (!atLineEnd && after != 1) Replace(context, kOneBlank, end - after, end);
      if (!blankInFront && before != 1) Replace(context, kOneBlank, start, start + before);
      next = position + length + (atLineEnd ? 0 : 1) + (blankInFront ? 0 : 1);
      break;
    }
    case A::TightBefore:
      if (before != 0 && joinsInFront) {
        removeBlanks(start, start + before, true);
      } else if (before != 0) {
        Replace(context, kOperatorOnly, start, start + before + length);
      }
      next = position + length + (before != 0 && joinsInFront ? 1 : 0);
      break;
    case A::OneBlankBefore:
      if (before != 1 && !blankOrIndentationInFront())
        Replace(context, kOneBlank, start, start + before);
      next = position + 1;
      break;
    case A::JoinLabel:
      if (length != 0) Replace(context, kLabelAndColon, start, end);
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

void FormatLines(const HookContext& context, std::int64_t firstLine, std::int64_t lastLine) {
  if (context.editor == nullptr || firstLine > lastLine) return;
  const std::int64_t lineCount = Send(context, sci::SCI_GETLINECOUNT);
  if (firstLine < 0) firstLine = 0;
  if (lastLine > lineCount - 1) lastLine = lineCount - 1;
  for (std::int64_t line = firstLine; line <= lastLine; ++line) FormatLine(context, line);
}
