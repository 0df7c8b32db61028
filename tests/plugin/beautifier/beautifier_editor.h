// An editor with the IDE's main window around it, for running the beautifier and the format
// scheduling directly (no hooks installed: the plugin's helpers run only when called). Natively
// the editor is the headless one over Scintilla's document core; in the Windows build it is the
// real control of Scintilla.dll, so that the same tests run on both under Wine.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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
  // A second editor in the same IDE window, for tests that switch editors, and any editor's text.
  os::Window AddEditor();
  std::string TextOf(os::Window editor) const;
  // Calls `observer` with every message sent to the main editor from now on; empty to stop.
  void ObserveMessages(std::function<void(std::uint32_t message)> observer);
  // The time the control itself has spent on the observed messages so far, in microseconds:
  // measured around its window procedure in the Windows build, not measured (0) natively.
  double ObservedMicroseconds() const;

 private:
  struct Editors;
  std::unique_ptr<Editors> editors_;
  os::Window ideWindow_ = nullptr;
  HookContext context_;
};

// What the editor is, for the benchmark's output.
const char* EditorDescription();

// Formats `text` (one or more lines) in a fresh editor with the defaults and then `settings`.
std::string Formatted(std::string_view text, const Settings& settings = {});

}  // namespace beautifier_test
