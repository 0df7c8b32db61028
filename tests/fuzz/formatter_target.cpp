// The formatter target: the plugin's beautifier over a text under settings taken from the input,
// on the headless IDE (styles from the stand-in lexer), as a paste formats its lines.
//
// Input: one byte per spacing rule (the setting's value; the catalogue's default where the
// input ends first), then the text.
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
#include "tests/plugin/beautifier/beautifier_editor.h"

namespace fuzz {
namespace {

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

std::string RuleProperty(const World& world, const char* rule) {
  return core::SettingPropertyName(core::HandleValue(world.ide->MainWindow()), "CodeBeautifier",
                                   rule);
}

// What a first-run host publishes, then one spacing rule after another (in catalogue order) set
// from the input's bytes while they last.
void PublishSettings(const World& world, ByteReader& in) {
  const os::Window ideWindow = world.ide->MainWindow();
  for (const DefaultSetting& setting : CatalogueSettings())
    os::SetProp(ideWindow,
                core::SettingPropertyName(core::HandleValue(ideWindow), setting.group, setting.key),
                static_cast<std::intptr_t>(setting.value));
  for (const char* rule : beautifier_test::SpacingRules())
    if (!in.AtEnd()) os::SetProp(ideWindow, RuleProperty(world, rule), SettingValue(in.Byte()));
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

std::string SettingsText(const World& world) {
  std::string text;
  for (const char* rule : beautifier_test::SpacingRules())
    text += std::string(text.empty() ? "" : " ") + rule + "=" +
            std::to_string(os::GetProp(world.ide->MainWindow(), RuleProperty(world, rule)));
  return text;
}

}  // namespace

Outcome RunFormatter(const std::uint8_t* data, std::size_t size) {
  os::sim::Reset();
  ResetPluginState();
  World world;
  world.ide = std::make_unique<headless::Ide>();
  world.context.ideWindow = world.ide->MainWindow();
  world.context.editor = world.ide->Current().Window();
  ByteReader in(data, size);
  PublishSettings(world, in);
  const std::string text = in.Rest();
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
  const std::string settings = " (settings: " + SettingsText(world) + ")";

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
  for (std::size_t i = 0; i < beautifier_test::SpacingRules().size(); ++i)
    input += static_cast<char>(Pick(random, 256));
  input += Chance(random, 100) ? Line(random, true) : Block(random, 150, true);
  return input;
}

}  // namespace fuzz
