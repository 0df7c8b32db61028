#include "scenario_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "ide/keys.h"
#include "iface/scintilla.h"

namespace replay {
namespace {

// How a command's arguments look.
enum class Arguments {
  kNone,          // nothing after the command
  kRest,          // free text after one blank (required)
  kOptionalRest,  // free text, or a block when there is none (paste)
  kBlock,         // a block up to `end`
  kWords,         // blank-separated words, checked by `check`
};

struct CommandRule {
  std::string_view name;
  Arguments arguments;
  // For kWords: the number of words and a short description of them for error messages.
  int wordCount;
  std::string_view usage;
};

constexpr std::array<CommandRule, 25> kRules = {{
    {"scenario", Arguments::kRest, 0, "NAME"},
    {"eol", Arguments::kWords, 1, "lf|crlf"},
    {"set", Arguments::kWords, 2, "GROUP.KEY VALUE"},
    {"disable", Arguments::kWords, 1, "GROUP"},
    {"text", Arguments::kBlock, 0, ""},
    {"type", Arguments::kRest, 0, "TEXT"},
    {"key", Arguments::kWords, 1, "NAME"},
    {"paste", Arguments::kOptionalRest, 0, "TEXT"},
    {"clipboard", Arguments::kOptionalRest, 0, "TEXT"},
    {"caret", Arguments::kWords, 2, "LINE COL"},
    {"select", Arguments::kWords, 4, "L1 C1 L2 C2"},
    {"focus", Arguments::kNone, 0, ""},
    {"editor", Arguments::kWords, 1, "NAME"},
    {"typing-delay", Arguments::kWords, 1, "MS"},
    {"wait", Arguments::kWords, 1, "MS"},
    {"expect", Arguments::kBlock, 0, ""},
    {"expect-line", Arguments::kWords, -1, "N TEXT"},
    {"expect-prop", Arguments::kWords, 2, "NAME VALUE|absent"},
    {"expect-env", Arguments::kWords, 2, "NAME VALUE|empty|any"},
    {"expect-sent", Arguments::kWords, 3, "MSG WPARAM LPARAM"},
    {"ignore-key", Arguments::kWords, 1, "NAME"},
    {"expect-sci", Arguments::kWords, 3, "MSG WPARAM VALUE"},
    {"undo", Arguments::kBlock, 0, ""},
    {"hold", Arguments::kWords, 1, "Ctrl|Shift|Alt"},
    {"release", Arguments::kWords, 1, "Ctrl|Shift|Alt"},
}};

const CommandRule* FindRule(std::string_view name) {
  for (const CommandRule& rule : kRules) {
    if (rule.name == name) return &rule;
  }
  return nullptr;
}

std::vector<std::string> SplitWords(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

bool IsBlankOrComment(const std::string& line) {
  const std::size_t first = line.find_first_not_of(" \t");
  return first == std::string::npos || line[first] == '#';
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind(".scn");
  if (dot != std::string::npos && dot + 4 == name.size()) name.resize(dot);
  return name;
}

std::size_t CountMarkers(const std::string& line) {
  std::size_t count = 0;
  for (std::size_t at = line.find(kCaretMarker); at != std::string::npos;
       at = line.find(kCaretMarker, at + 3))
    ++count;
  return count;
}

}  // namespace

bool ParseInteger(const std::string& text, long long* value) {
  if (text.empty()) return false;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long long parsed = std::strtoll(begin, &end, hex ? 16 : 10);
  if (errno != 0 || end == begin || *end != '\0') return false;
  *value = parsed;
  return true;
}

bool ParseMessage(const std::string& text, std::uint32_t* message) {
  for (const sci::NamedMessage& named : sci::kNamedMessages) {
    if (named.name == text) {
      *message = named.number;
      return true;
    }
  }
  long long number = 0;
  if (!ParseInteger(text, &number) || number < 0 || number > 0xFFFFFFFF) return false;
  *message = static_cast<std::uint32_t>(number);
  return true;
}

namespace {

// The checks of each command's words; an empty result means they are fine.
std::string CheckWords(const Command& command) {
  const std::vector<std::string>& w = command.words;
  long long number = 0;
  const auto positive = [&](std::size_t i) { return ParseInteger(w[i], &number) && number >= 1; };
  const auto nonNegative = [&](std::size_t i) {
    return ParseInteger(w[i], &number) && number >= 0;
  };
  const auto integer = [&](std::size_t i) { return ParseInteger(w[i], &number); };
  const std::string& name = command.name;
  if (name == "eol" && w[0] != "lf" && w[0] != "crlf") return "line end mode must be lf or crlf";
  if (name == "set") {
    const std::size_t dot = w[0].find('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == w[0].size())
      return "setting must be GROUP.KEY";
    if (!integer(1)) return "setting value must be an integer";
  }
  if (name == "key" || name == "ignore-key") {
    ide::KeyChord chord;
    if (!ide::ParseKeyChord(w[0], &chord)) return "unknown key '" + w[0] + "'";
  }
  if (name == "caret" || name == "select") {
    for (std::size_t i = 0; i < w.size(); ++i) {
      if (!positive(i)) return "lines and columns are numbers from 1";
    }
  }
  if ((name == "typing-delay" || name == "wait") && !nonNegative(0))
    return "milliseconds must be a number from 0";
  if (name == "expect-line" && !positive(0)) return "line must be a number from 1";
  if (name == "expect-prop" && w[1] != "absent" && !integer(1))
    return "value must be an integer or absent";
  if (name == "expect-sent" || name == "expect-sci") {
    std::uint32_t message = 0;
    if (!ParseMessage(w[0], &message)) return "unknown message '" + w[0] + "'";
    for (std::size_t i = 1; i < w.size(); ++i) {
      if (!integer(i)) return "arguments must be integers";
    }
  }
  if ((name == "hold" || name == "release") && w[0] != "Ctrl" && w[0] != "Shift" && w[0] != "Alt")
    return "only Ctrl, Shift and Alt can be held";
  return "";
}

}  // namespace

bool ParseScenarioFile(const std::string& file, const std::string& text,
                       std::vector<Scenario>* scenarios, std::string* error) {
  std::vector<std::string> lines;
  {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
  }
  const auto fail = [&](int line, const std::string& message) {
    *error = file + ":" + std::to_string(line) + ": " + message;
    return false;
  };
  // The first line may carry a UTF-8 byte-order mark.
  if (!lines.empty() && lines[0].compare(0, 3, "\xEF\xBB\xBF") == 0) lines[0].erase(0, 3);

  std::vector<Scenario> parsed;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int lineNumber = static_cast<int>(i) + 1;
    if (IsBlankOrComment(lines[i])) continue;
    const std::string line = lines[i].substr(lines[i].find_first_not_of(" \t"));
    const std::size_t blank = line.find(' ');
    Command command;
    command.line = lineNumber;
    command.name = line.substr(0, blank);
    const bool hasRest = blank != std::string::npos;
    command.rest = hasRest ? line.substr(blank + 1) : "";
    const CommandRule* rule = FindRule(command.name);
    if (!rule) return fail(lineNumber, "unknown command '" + command.name + "'");

    switch (rule->arguments) {
      case Arguments::kNone:
        if (!SplitWords(command.rest).empty())
          return fail(lineNumber, "'" + command.name + "' takes no arguments");
        break;
      case Arguments::kRest:
        if (command.rest.empty())
          return fail(lineNumber, "'" + command.name + "' needs " + std::string(rule->usage));
        break;
      case Arguments::kOptionalRest:
      case Arguments::kBlock: {
        if (rule->arguments == Arguments::kBlock && !SplitWords(command.rest).empty())
          return fail(lineNumber, "'" + command.name + "' takes no arguments; its block follows");
        if (rule->arguments == Arguments::kOptionalRest && hasRest) break;
        command.hasBlock = true;
        std::size_t j = i + 1;
        int markerLine = 0;
        for (; j < lines.size() && lines[j] != "end"; ++j) {
          const std::size_t markers = CountMarkers(lines[j]);
          if (command.name != "paste" && markers > 0) {
            if (markerLine != 0 || markers > 1)
              return fail(static_cast<int>(j) + 1, "a second caret {|} in the block");
            markerLine = static_cast<int>(j) + 1;
          }
          command.block.push_back(lines[j]);
        }
        if (j == lines.size()) return fail(lineNumber, "'" + command.name + "' block has no 'end'");
        i = j;
        break;
      }
      case Arguments::kWords: {
        command.words = SplitWords(command.rest);
        if (command.name == "expect-line") {
          // N, then the line's text after one blank, blanks kept (may be empty).
          if (command.words.empty())
            return fail(lineNumber, "'expect-line' needs " + std::string(rule->usage));
          const std::size_t after = command.rest.find(' ');
          command.words.resize(1);
          command.rest = after == std::string::npos ? "" : command.rest.substr(after + 1);
        } else if (static_cast<int>(command.words.size()) != rule->wordCount) {
          return fail(lineNumber, "'" + command.name + "' needs " + std::string(rule->usage));
        }
        const std::string problem = CheckWords(command);
        if (!problem.empty()) return fail(lineNumber, "'" + command.name + "': " + problem);
        break;
      }
    }

    if (command.name == "scenario") {
      Scenario scenario;
      scenario.name = command.rest;
      scenario.file = file;
      scenario.line = lineNumber;
      parsed.push_back(scenario);
      continue;
    }
    if (parsed.empty()) {
      Scenario implicit;
      implicit.name = BaseName(file);
      implicit.file = file;
      parsed.push_back(implicit);
    }
    parsed.back().commands.push_back(command);
  }
  *scenarios = std::move(parsed);
  return true;
}

std::string ShowText(const std::string& text, long caret) {
  std::string shown = text;
  if (caret >= 0 && static_cast<std::size_t>(caret) <= shown.size())
    shown.insert(static_cast<std::size_t>(caret), kCaretMarker);
  std::string result;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = shown.find('\n', start);
    std::string line =
        shown.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    result += "    |" + line + "\n";
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return result;
}

std::string JoinBlock(const std::vector<std::string>& lines, const std::string& lineEnd,
                      long* caret) {
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) joined += lineEnd;
    joined += lines[i];
  }
  *caret = -1;
  const std::size_t marker = joined.find(kCaretMarker);
  if (marker != std::string::npos) {
    joined.erase(marker, 3);
    *caret = static_cast<long>(marker);
  }
  return joined;
}

std::string ClipboardOrPasteText(const Command& command) {
  if (!command.hasBlock) return command.rest;
  std::string text;
  for (const std::string& line : command.block) text += line + "\r\n";
  return text;
}

std::string JudgeProperty(const std::string& property, const std::string& expected, bool present,
                          long long value) {
  long long wanted = 0;
  const bool same = expected == "absent"
                        ? !present
                        : present && ParseInteger(expected, &wanted) && value == wanted;
  if (same) return "";
  return "expect-prop " + property + ": expected " + expected + ", actual " +
         (present ? std::to_string(value) : "absent");
}

std::string JudgeText(const std::string& expected, long expectedCaret, const std::string& actual,
                      long actualCaret) {
  if (actual == expected && (expectedCaret < 0 || expectedCaret == actualCaret)) return "";
  return std::string(actual != expected ? "expect: the text differs"
                                        : "expect: the caret differs") +
         "\n  expected:\n" + ShowText(expected, expectedCaret) + "  actual:\n" +
         ShowText(actual, actualCaret);
}

std::string JudgeLine(long long line, const std::string& expected, long long lineCount,
                      const std::function<std::string(long long)>& lineText) {
  if (line > lineCount)
    return "expect-line: the text has no line " + std::to_string(line) + " (" +
           std::to_string(lineCount) + " lines)";
  const std::string actual = lineText(line);
  if (actual == expected) return "";
  return "expect-line " + std::to_string(line) + ": expected \"" + expected + "\", actual \"" +
         actual + "\"";
}

std::string JudgeEnvironment(const std::string& name, const std::string& expected, bool set,
                             const std::string& value) {
  bool same;
  if (expected == "empty") {
    same = !set || value.empty();
  } else if (expected == "any") {
    same = set && !value.empty();
  } else {
    same = set && value == expected;
  }
  if (same) return "";
  return "expect-env " + name + ": expected " + expected + ", actual " +
         (set ? "\"" + value + "\"" : "unset");
}

}  // namespace replay
