// The portable part of the test editor: settings, text, styles and formatting through messages.
#include "beautifier_editor.h"

#include <vector>

#include "core/property_names.h"
#include "ide/lexer.h"
#include "iface/scintilla.h"
#include "plugin/format_schedule.h"
#include "plugin/helpers.h"

namespace beautifier_test {

const Settings& DefaultSettings() {
  static const Settings settings = {
      {"AutoindentPaste", 1},
      {"AutoindentTyping", 1},
      {"DefaultSpacing", 1},
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
      {"TrailingSpaces", 1},
  };
  return settings;
}

const std::vector<const char*>& SpacingRules() {
  static const std::vector<const char*> rules = {
      "DefaultSpacing", "Colon",        "Comma",      "Module",     "Math",
      "Bitwise",        "BitwiseShift", "Comparison", "BitwiseNot", "Type",
      "Field",          "Label",        "ASM",        "Bracket",    "TrailingSpaces"};
  return rules;
}

const Settings& NoRulesButDefaultSpacing() {
  static const Settings settings = [] {
    Settings result;
    for (const char* rule : SpacingRules()) result.push_back({rule, 0});
    result.push_back({"DefaultSpacing", 1});
    return result;
  }();
  return settings;
}

const Settings& ChoiceTwoSettings() {
  static const Settings settings = {{"Colon", 2},      {"Comma", 2},   {"Module", 2},
                                    {"Math", 2},       {"Bitwise", 2}, {"BitwiseShift", 2},
                                    {"Comparison", 2}, {"ASM", 2}};
  return settings;
}

void BeautifierEditor::SetGroupValue(const char* group, const char* key, std::int64_t value) {
  os::SetProp(ideWindow_, core::SettingPropertyName(core::HandleValue(ideWindow_), group, key),
              static_cast<std::intptr_t>(value));
}

void BeautifierEditor::Set(const char* key, std::int64_t value) {
  SetGroupValue("CodeBeautifier", key, value);
}

void BeautifierEditor::Set(const Settings& settings) {
  for (const Setting& setting : settings) Set(setting.key, setting.value);
}

std::intptr_t BeautifierEditor::Send(std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam) {
  return os::SendMessage(context_.editor, message, wParam, lParam);
}

void BeautifierEditor::SetText(std::string_view text) {
  const std::string copy(text);
  Send(sci::SCI_SETTEXT, 0, reinterpret_cast<std::intptr_t>(copy.c_str()));
  Send(sci::SCI_EMPTYUNDOBUFFER);
  Restyle();
}

void BeautifierEditor::Restyle() {
  const std::string text = Text();
  const std::vector<unsigned char> styles = ide::StyleText(text);
  Send(sci::SCI_STARTSTYLING, 0);
  std::size_t at = 0;
  while (at < styles.size()) {
    std::size_t run = at;
    while (run < styles.size() && styles[run] == styles[at]) ++run;
    Send(sci::SCI_SETSTYLING, run - at, styles[at]);
    at = run;
  }
}

std::string BeautifierEditor::Text() const { return TextOf(context_.editor); }

void BeautifierEditor::Format(std::int64_t firstLine, std::int64_t lastLine) {
  FormatLines(context_, firstLine, lastLine);
}

void BeautifierEditor::FormatAll() { Format(0, Send(sci::SCI_GETLINECOUNT) - 1); }

std::string Formatted(std::string_view text, const Settings& settings) {
  BeautifierEditor editor;
  editor.Set(settings);
  editor.SetText(text);
  editor.FormatAll();
  return editor.Text();
}

}  // namespace beautifier_test
