// The formatter target: the plugin's beautifier over a text under settings taken from the input,
// on the headless IDE (styles from the stand-in lexer), as a paste formats its lines.
//
// Input: one byte per spacing rule (the setting's value), then the text.
// Invariants: only blanks and tabs change, never inside a string, character literal or comment
// (a comment may lose the blanks that end its line), never in the indentation; the lines and
// their ends stay; formatting again changes nothing; one undo gives the original back; the
// editor is searched a bounded number of times per byte (the scan always moves on).

#include <memory>

#include "core/property_names.h"
#include "ide/headless/headless_ide.h"
#include "ide/lexer.h"
#include "iface/scintilla.h"
#include "os/sim/sim.h"
#include "plugin/helpers.h"
#include "plugin/plugin_frame.h"
#include "targets.h"

namespace fuzz {
namespace {

struct Rule {
  const char* key;
  std::int64_t defaultValue;
};
// The spacing rules with the catalogue's defaults, in catalogue order.
constexpr Rule kRules[] = {{"DefaultSpacing", 1},
                           {"Colon", 2},
                           {"Comma", 2},
                           {"Module", 1},
                           {"Math", 1},
                           {"Bitwise", 2},
                           {"BitwiseShift", 2},
                           {"Comparison", 1},
                           {"BitwiseNot", 1},
                           {"Type", 1},
                           {"Field", 1},
                           {"Label", 1},
                           {"ASM", 1},
                           {"Bracket", 1},
                           {"TrailingSpaces", 1}};
constexpr std::size_t kRuleCount = sizeof kRules / sizeof kRules[0];

// Mostly the values the settings window offers; now and then one it never writes.
std::int64_t SettingValue(std::uint8_t byte) {
  switch (byte % 16) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
      return 0;
    case 5:
    case 6:
    case 7:
    case 8:
    case 9:
      return 1;
    case 10:
    case 11:
    case 12:
    case 13:
      return 2;
    case 14:
      return 3;
    default:
      return byte & 0x80 ? -1 : 1000000;
  }
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsProtected(unsigned char style) {
  return style == ide::kStyleComment || style == ide::kStyleString || style == ide::kStyleCharacter;
}

struct TextLine {
  std::string text;  // without its end
  std::string end;
  std::vector<unsigned char> styles;
};

// The lines as the editor counts them: CR LF, LF and CR each end one.
std::vector<TextLine> SplitLines(const std::string& text) {
  const std::vector<unsigned char> styles = ide::StyleText(text);
  std::vector<TextLine> lines;
  std::size_t start = 0;
  while (true) {
    std::size_t end = text.find_first_of("\r\n", start);
    TextLine line;
    line.text = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    line.styles.assign(styles.begin() + static_cast<std::ptrdiff_t>(start),
                       styles.begin() + static_cast<std::ptrdiff_t>(start + line.text.size()));
    if (end == std::string::npos) {
      lines.push_back(std::move(line));
      return lines;
    }
    const std::size_t endLength = text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
    line.end = text.substr(end, endLength);
    lines.push_back(std::move(line));
    start = end + endLength;
  }
}

// What formatting must keep of a line: its indentation, then its code without blanks, with every
// literal and comment kept whole (a comment without the blanks that end the line).
std::string Skeleton(const TextLine& line) {
  const std::string& text = line.text;
  std::size_t end = text.size();
  // Blanks that end the line may go, also after a comment.
  while (end > 0 && IsBlank(text[end - 1])) --end;
  std::size_t at = 0;
  std::string skeleton;
  while (at < text.size() && IsBlank(text[at])) skeleton += text[at++];
  if (at >= end) return text;  // a blank line is left as it is
  skeleton += '|';
  while (at < end) {
    if (IsProtected(line.styles[at])) {
      const unsigned char style = line.styles[at];
      skeleton += "\x01";
      while (at < end && line.styles[at] == style) skeleton += text[at++];
      skeleton += "\x01";
      continue;
    }
    if (!IsBlank(text[at])) skeleton += text[at];
    ++at;
  }
  return skeleton;
}

std::string Shown(const std::string& text) {
  std::string shown;
  for (unsigned char c : text.substr(0, 400)) {
    if (c == '\r')
      shown += "\\r";
    else if (c == '\n')
      shown += "\\n";
    else if (c == '\t')
      shown += "\\t";
    else if (c < 0x20 || c == 0x7F)
      shown += "\\x" + std::string(1, "0123456789ABCDEF"[c >> 4]) + "0123456789ABCDEF"[c & 15];
    else
      shown += static_cast<char>(c);
  }
  return text.size() > 400 ? shown + "..." : shown;
}

std::string CompareLines(const std::string& before, const std::string& after) {
  const std::vector<TextLine> was = SplitLines(before);
  const std::vector<TextLine> is = SplitLines(after);
  if (was.size() != is.size())
    return "the line count changed from " + std::to_string(was.size()) + " to " +
           std::to_string(is.size());
  for (std::size_t i = 0; i < was.size(); ++i) {
    auto where = [&] {
      return "line " + std::to_string(i + 1) + " [" + Shown(was[i].text) + "] became [" +
             Shown(is[i].text) + "]";
    };
    if (was[i].end != is[i].end) return where() + ": its line end changed";
    if (was[i].text != is[i].text && Skeleton(was[i]) != Skeleton(is[i]))
      return where() +
             ": more than blanks changed, or blanks inside a literal, a comment or the "
             "indentation";
  }
  return {};
}

struct World {
  std::unique_ptr<headless::Ide> ide;
  HookContext context;
  std::uint64_t searches = 0;
};

void Publish(const World& world, const std::int64_t (&values)[kRuleCount]) {
  const os::Window ideWindow = world.ide->MainWindow();
  const std::int64_t handle = core::HandleValue(ideWindow);
  for (std::size_t i = 0; i < kRuleCount; ++i)
    os::SetProp(ideWindow, core::SettingPropertyName(handle, "CodeBeautifier", kRules[i].key),
                static_cast<std::intptr_t>(values[i]));
}

std::string FormatAll(World& world) {
  headless::Editor& editor = world.ide->Current();
  const std::int64_t lines = editor.Message(sci::SCI_GETLINECOUNT, 0, 0);
  editor.Message(sci::SCI_BEGINUNDOACTION, 0, 0);
  FormatLines(world.context, 0, lines - 1);
  editor.Message(sci::SCI_ENDUNDOACTION, 0, 0);
  world.ide->Idle();  // the IDE paints: the edited lines are styled again
  return editor.Text();
}

std::string SettingsText(const std::int64_t (&values)[kRuleCount]) {
  std::string text;
  for (std::size_t i = 0; i < kRuleCount; ++i)
    text += std::string(i ? " " : "") + kRules[i].key + "=" + std::to_string(values[i]);
  return text;
}

}  // namespace

Outcome RunFormatter(const std::uint8_t* data, std::size_t size) {
  ByteReader in(data, size);
  std::int64_t values[kRuleCount];
  for (std::size_t i = 0; i < kRuleCount; ++i)
    values[i] = in.AtEnd() ? kRules[i].defaultValue : SettingValue(in.Byte());
  const std::string text = in.Rest();

  os::sim::Reset();
  ResetPluginState();
  World world;
  world.ide = std::make_unique<headless::Ide>();
  world.context.ideWindow = world.ide->MainWindow();
  world.context.editor = world.ide->Current().Window();
  Publish(world, values);
  headless::Editor& editor = world.ide->Current();
  // By length: a NUL byte must not cut the text short.
  editor.Message(sci::SCI_SETTEXT, 0, reinterpret_cast<os::LParam>(""));
  editor.Message(sci::SCI_ADDTEXT, text.size(), reinterpret_cast<os::LParam>(text.data()));
  editor.Message(sci::SCI_EMPTYUNDOBUFFER, 0, 0);
  world.ide->Idle();
  const std::string original = editor.Text();

  Outcome outcome;
  outcome.units = static_cast<std::uint64_t>(editor.Message(sci::SCI_GETLINECOUNT, 0, 0));
  const os::Window window = editor.Window();
  os::sim::SetSendObserver(
      [&world, window](os::Window to, std::uint32_t message, os::WParam, os::LParam) {
        if (to == window && message == sci::SCI_FINDTEXT) ++world.searches;
      });
  const std::string once = FormatAll(world);
  os::sim::SetSendObserver(nullptr);
  const std::string settings = " (settings: " + SettingsText(values) + ")";

  std::string broken = CompareLines(original, once);
  const std::uint64_t bound = 8 * original.size() + 16 * outcome.units;
  if (broken.empty() && world.searches > bound)
    broken = std::to_string(world.searches) + " searches for " + std::to_string(original.size()) +
             " bytes: the scan does not move on";
  if (broken.empty()) {
    editor.Message(sci::SCI_UNDO, 0, 0);
    if (editor.Text() != original)
      broken = "one undo gave [" + Shown(editor.Text()) + "] instead of [" + Shown(original) + "]";
    editor.Message(sci::SCI_REDO, 0, 0);
    world.ide->Idle();
  }
  if (broken.empty()) {
    const std::string twice = FormatAll(world);
    if (twice != once)
      broken = "formatting again changed [" + Shown(once) + "] into [" + Shown(twice) + "]";
  }
  world.ide.reset();
  os::sim::Reset();
  if (!broken.empty()) outcome.failure = broken + settings;
  return outcome;
}

std::string GenerateFormatterInput(Random& random) {
  std::string input;
  for (std::size_t i = 0; i < kRuleCount; ++i) input += static_cast<char>(Pick(random, 256));
  input += Chance(random, 100) ? Line(random, true) : Block(random, 150, true);
  return input;
}

}  // namespace fuzz
