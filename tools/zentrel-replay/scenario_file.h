// Scenario files (*.scn): plain-text editing sessions with what the editor must then hold.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace replay {

// One command of a scenario, with its arguments already checked.
struct Command {
  int line = 0;                    // 1-based line of the command in its file
  std::string name;                // "type", "key", "expect", ...
  std::vector<std::string> words;  // the blank-separated arguments
  std::string rest;                // everything after the command and one blank, blanks kept
  std::vector<std::string> block;  // the lines of a block command, up to its `end`
  bool hasBlock = false;
};

struct Scenario {
  std::string name;
  std::string file;
  int line = 0;  // line of its `scenario` command (0 for the implicit one)
  std::vector<Command> commands;
};

// Parses a scenario file. On an error returns false with "FILE:LINE: message" in `error`.
bool ParseScenarioFile(const std::string& file, const std::string& text,
                       std::vector<Scenario>* scenarios, std::string* error);

// A decimal (or 0x hexadecimal) integer filling the whole text.
bool ParseInteger(const std::string& text, long long* value);

// A Scintilla message by its name (SCI_GETCARETWIDTH) or its number (2189, 0x88D).
bool ParseMessage(const std::string& text, std::uint32_t* message);

// The caret marker of text blocks.
constexpr const char* kCaretMarker = "{|}";

// The text with the caret marker put in at `caret` (none when -1), each line indented, for
// failure reports and --print.
std::string ShowText(const std::string& text, long caret);

// Joins a block's lines with `lineEnd`, takes out the caret marker and reports its byte offset
// (-1 when the block has none). The parser has checked that there is at most one marker.
std::string JoinBlock(const std::vector<std::string>& lines, const std::string& lineEnd,
                      long* caret);

// The text of a `paste` or `clipboard` command: the rest of its line, or its block's lines each
// followed by a line end (CR LF, as the IDE's clipboard holds text).
std::string ClipboardOrPasteText(const Command& command);

// Verdicts that the native and the live runner share: empty when the expectation holds,
// otherwise the reason shown after the command's place.
std::string JudgeProperty(const std::string& property, const std::string& expected, bool present,
                          long long value);
std::string JudgeEnvironment(const std::string& name, const std::string& expected, bool set,
                             const std::string& value);
// `expect`: the text, and the caret where the block marks one (`expectedCaret` -1: any caret).
std::string JudgeText(const std::string& expected, long expectedCaret, const std::string& actual,
                      long actualCaret);
// `expect-line N TEXT` on a text of `lineCount` lines; `lineText(N)` is asked only for a line the
// text has.
std::string JudgeLine(long long line, const std::string& expected, long long lineCount,
                      const std::function<std::string(long long)>& lineText);

}  // namespace replay
