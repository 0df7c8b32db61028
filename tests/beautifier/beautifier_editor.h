// A headless editor with the IDE's settings window around it, for running the beautifier and
// the format scheduling directly (no hooks installed: the plugin's helpers run only when called).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ide/headless/editor.h"
#include "os/os.h"
#include "plugin/hook_context.h"

namespace beautifier_test {

// One setting of the CodeBeautifier group.
struct Setting {
  const char* key;
  std::int64_t value;
};
using Settings = std::vector<Setting>;

// The worked examples' defaults: what a first-run host publishes for the group.
const Settings& DefaultSettings();
// Every spacing rule at "No rules" except DefaultSpacing at 1.
const Settings& NoRulesButDefaultSpacing();
// Colon, Comma, Module, Math, Bitwise, BitwiseShift, Comparison and ASM at choice 2.
const Settings& ChoiceTwoSettings();
// The fifteen spacing rules, in catalogue order.
const std::vector<const char*>& SpacingRules();

class BeautifierEditor {
 public:
  // A fresh simulated desktop: the IDE main window, one editor, the defaults published.
  BeautifierEditor();
  ~BeautifierEditor();

  void Set(const char* key, std::int64_t value);
  void Set(const Settings& settings);
  void SetGroupValue(const char* group, const char* key, std::int64_t value);

  // Replaces the text (undo history emptied) and styles it as the IDE's lexer does.
  void SetText(std::string_view text);
  std::string Text() const;
  void Restyle();

  void Format(std::int64_t firstLine, std::int64_t lastLine);
  // Formats the whole text.
  void FormatAll();

  std::intptr_t Send(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
  const HookContext& Context() const { return context_; }
  os::Window IdeWindow() const { return ideWindow_; }
  headless::Editor& Editor() { return *editor_; }
  // A second editor in the same IDE window, for tests that switch editors.
  headless::Editor& AddEditor();

 private:
  os::Window ideWindow_ = nullptr;
  std::unique_ptr<headless::Editor> editor_;
  std::vector<std::unique_ptr<headless::Editor>> others_;
  HookContext context_;
};

// Formats `text` (one or more lines) in a fresh editor with the defaults and then `settings`.
std::string Formatted(std::string_view text, const Settings& settings = {});

}  // namespace beautifier_test
