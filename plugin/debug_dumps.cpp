// Debug dumps, produced by RetrievePluginDebug in the host's process.

#include "plugin/debug_dumps.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "core/ascii.h"
#include "core/integer_text.h"
#include "core/property_names.h"
#include "core/utf.h"
#include "iface/scintilla.h"
#include "plugin/editor_access.h"
#include "plugin/exports.h"
#include "plugin/plugin_frame.h"

namespace {

struct AttributeWord {
  std::uint32_t message;
  const char* words;
  const char* numbers;
  const char* prefix;
};

// The words of a style line, in the order they are written.
constexpr AttributeWord kStyleWords[] = {
    {sci::SCI_STYLEGETBOLD, "bold", "1,0", "is-"},
    {sci::SCI_STYLEGETITALIC, "italic", "1,0", "is-"},
    {sci::SCI_STYLEGETUNDERLINE, "underlined", "1,0", "is-"},
    {sci::SCI_STYLEGETVISIBLE, ",invisible", "1,0", "is-"},
    {sci::SCI_STYLEGETCHANGEABLE, ",readonly", "1,0", "is-"},
    {sci::SCI_STYLEGETCASE, "uppercase,lowervase", "1,2", "is-"},
    {sci::SCI_STYLEGETHOTSPOT, "hotspot", "1,0", "is-"},
};

constexpr AttributeWord kIndicatorWords[] = {
    {sci::SCI_INDICGETSTYLE,
     "plain,squiggle,TT,diagonal,strike,hidden,box,roundbox,straightbox,dash,dots,squigglelow,"
     "dotbox,squigglepixmap,compositionthick",
     "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14", "style-"},
    {sci::SCI_INDICGETUNDER, "drawn-under-text", "1,0", "is-"},
};

std::vector<std::string_view> SplitAtCommas(std::string_view text) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    fields.push_back(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
    if (comma == std::string_view::npos) return fields;
    start = comma + 1;
  }
}

std::string PadToThree(std::int64_t value) {
  std::string digits = std::to_string(value);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), ' ');
  return digits;
}

std::intptr_t Ask(const HookContext& context, std::uint32_t message, std::int64_t argument) {
  return SciSend(context, message, static_cast<std::uintptr_t>(argument));
}

// The words of one line, joined by blanks (the last blank cut).
std::string AttributeWords(const HookContext& context, std::int64_t number,
                           const AttributeWord* table, std::size_t count) {
  std::string words;
  for (std::size_t i = 0; i < count; ++i) {
    words += LookupWord(Ask(context, table[i].message, number), table[i].words, table[i].numbers,
                        table[i].prefix);
  }
  if (!words.empty()) words.pop_back();
  return words;
}

std::string StylesDump(const HookContext& context) {
  std::string text;
  for (int style = 0; style <= 255; ++style) {
    text += "style[" + std::to_string(style) + "]\t";
    text += ColorText(Ask(context, sci::SCI_STYLEGETFORE, style), "fore-") + "\t";
    text += ColorText(Ask(context, sci::SCI_STYLEGETBACK, style), "back-") + "\t";
    text += AttributeWords(context, style, kStyleWords, std::size(kStyleWords));
    text += "\n";
  }
  return text;
}

std::string IndicatorsDump(const HookContext& context) {
  std::string text;
  for (int indicator = 0; indicator <= 31; ++indicator) {
    text += "indicator[" + std::to_string(indicator) + "]\t";
    text += ColorText(Ask(context, sci::SCI_INDICGETFORE, indicator), "fore-") + "\t";
    text += AttributeWords(context, indicator, kIndicatorWords, std::size(kIndicatorWords));
    text += "\n";
  }
  return text;
}

std::string ScintillaDump(const HookContext& context) {
  const std::int64_t pos = Ask(context, sci::SCI_GETCURRENTPOS, 0);
  const std::int64_t line = Ask(context, sci::SCI_LINEFROMPOSITION, pos);
  std::string text;
  text += "pos = " + std::to_string(pos);
  text += "\nstyle = " + std::to_string(Ask(context, sci::SCI_GETSTYLEAT, pos));
  text += "\nchar = " + std::to_string(Ask(context, sci::SCI_GETCHARAT, pos));
  text += "\nline = " + std::to_string(line);
  text += "\nlineLength = " + std::to_string(Ask(context, sci::SCI_LINELENGTH, line));
  text += "\nlineStartPos = " + std::to_string(Ask(context, sci::SCI_POSITIONFROMLINE, line));
  text += "\nlineEndPos = " + std::to_string(Ask(context, sci::SCI_GETLINEENDPOSITION, line));
  text += "\nlineIndentPos = " + std::to_string(Ask(context, sci::SCI_GETLINEINDENTPOSITION, line));
  text += "\nlineIndent = " + std::to_string(Ask(context, sci::SCI_GETLINEINDENTATION, line));
  return text;
}

// Lines of the properties that carry the prefix first, then the others; each list in order of
// character codes.
std::u16string PropsDump(const HookContext& context) {
  std::map<std::string, std::int64_t> table;
  RefreshPropertySnapshot(context, table);
  const std::string prefix = core::PropertyPrefix(core::HandleValue(context.ideWindow));
  std::vector<std::u16string> ours;
  std::vector<std::u16string> others;
  for (const auto& [name, value] : table) {
    std::u16string line = core::Utf8ToUtf16(name + " = " + std::to_string(value) + "\n");
    (name.find(prefix) != std::string::npos ? ours : others).push_back(std::move(line));
  }
  std::sort(ours.begin(), ours.end());
  std::sort(others.begin(), others.end());
  std::u16string text;
  for (const std::u16string& line : ours) text += line;
  for (const std::u16string& line : others) text += line;
  return text;
}

std::u16string g_debugText;  // the export's result, reused on every call

}  // namespace

std::string ColorText(std::int64_t color, std::string_view prefix) {
  std::string text(prefix);
  text += "color (";
  text += PadToThree(color & 0xFF) + ",";
  text += PadToThree((color >> 8) & 0xFF) + ",";
  text += PadToThree((color >> 16) & 0xFF) + ")";
  return text;
}

std::string LookupWord(std::int64_t value, std::string_view words, std::string_view numbers,
                       std::string_view prefix) {
  const std::vector<std::string_view> wordList = SplitAtCommas(words);
  const std::vector<std::string_view> numberList = SplitAtCommas(numbers);
  const std::size_t count = std::min(wordList.size(), numberList.size());
  for (std::size_t i = 0; i < count; ++i) {
    if (!wordList[i].empty() && core::ReadIntegerText(numberList[i]) == value) {
      return std::string(prefix) + std::string(wordList[i]) + " ";
    }
  }
  return std::string();
}

namespace {

std::u16string DebugDumpUtf16(os::Window ideWindow, std::string_view mode) {
  const std::string lowerMode = core::AsciiToLower(mode);
  HookContext context;
  context.ideWindow = ideWindow;
  if (lowerMode == "props") return PropsDump(context);
  if (lowerMode != "styles" && lowerMode != "indicators" && lowerMode != "scintilla") {
    return std::u16string();
  }
  // Only an editor is asked: .Plugin.Sci may name a window that has closed, and its handle may
  // since belong to a control for which these message numbers mean something else.
  const auto editor = reinterpret_cast<os::Window>(
      static_cast<std::intptr_t>(GetPluginProperty(ideWindow, ".Plugin.Sci")));
  context.editor = editor != nullptr && IsEditorWindow(editor) ? editor : nullptr;
  if (lowerMode == "styles") return core::Utf8ToUtf16(StylesDump(context));
  if (lowerMode == "indicators") return core::Utf8ToUtf16(IndicatorsDump(context));
  if (context.editor == nullptr) return std::u16string();
  return core::Utf8ToUtf16(ScintillaDump(context));
}

}  // namespace

std::string DebugDump(os::Window ideWindow, std::string_view mode) {
  return core::Utf16ToUtf8(DebugDumpUtf16(ideWindow, mode));
}

namespace zentrel {

const char16_t* RetrievePluginDebug(std::intptr_t ideWindow, const char16_t* mode) noexcept {
  try {
    std::u16string_view modeText = mode != nullptr ? std::u16string_view(mode) : u"";
    // The four modes are short ASCII words; a long mode is none of them.
    if (modeText.size() > 32) modeText = u"";
    g_debugText =
        DebugDumpUtf16(reinterpret_cast<os::Window>(ideWindow), core::Utf16ToUtf8(modeText));
  } catch (...) {
    g_debugText.clear();
  }
  return g_debugText.c_str();
}

}  // namespace zentrel
