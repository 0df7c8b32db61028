// Visual helpers: caret, scroll margins, current line and the style and colour of the IDE's
// word highlighting (indicator 2), all as editor properties; and the editor properties that
// code helper options switch (autocompletion, multiple selections).

#include <array>
#include <map>

#include "iface/ide.h"
#include "plugin/editor_access.h"
#include "plugin/helpers.h"
#include "plugin/plugin_frame.h"

namespace {

constexpr const char* kGroup = "VisualHelpers";
constexpr int kCaretPolicyEvenStrictSlop = 13;  // CARET_SLOP | CARET_STRICT | CARET_EVEN
constexpr std::int64_t kPixelsPerMarginLine = 14;
constexpr int kIndicStraightBox = 8;
constexpr std::uintptr_t kCtrlEnter = 0x2000D;  // SCK_RETURN with SCMOD_CTRL in the upper half

// A property may hold anything another process wrote: numbers that go into arithmetic are
// clamped to what they set, 0 to the largest margin the option offers, and an alpha's 0 to 255.
constexpr std::int64_t kLargestMarginSize = 10;
constexpr std::int64_t kLargestAlpha = 255;

std::int64_t Setting(const HookContext& context, const char* option) {
  return GetPluginSetting(context, kGroup, option);
}

std::int64_t SettingInRange(const HookContext& context, const char* option, std::int64_t highest) {
  return GetPluginSettingInRange(context, kGroup, option, 0, highest);
}

bool Option(const HookContext& context, const char* option) {
  return Setting(context, option) != 0;
}

void SetCaretWidth(const HookContext& context) {
  SciSend(context, sci::SCI_SETCARETWIDTH, Option(context, "TickerCaret") ? 3 : 1);
}

void SetScrollMargins(const HookContext& context) {
  if (Option(context, "AutoScrollMargins")) {
    const std::int64_t lines = SettingInRange(context, "AutoScrollMarginSize", kLargestMarginSize);
    SciSend(context, sci::SCI_SETYCARETPOLICY, kCaretPolicyEvenStrictSlop, lines);
    SciSend(context, sci::SCI_SETXCARETPOLICY, kCaretPolicyEvenStrictSlop,
            lines * kPixelsPerMarginLine);
  } else {
    SciSend(context, sci::SCI_SETYCARETPOLICY, 0, 0);
    SciSend(context, sci::SCI_SETXCARETPOLICY, 0, 0);
  }
}

void SetCurrentLineDisplay(const HookContext& context) {
  SciSend(context, sci::SCI_SETCARETLINEVISIBLEALWAYS,
          Option(context, "CurrentLineAlwaysVisible") ? 1 : 0);
}

void SetHighlightStyle(const HookContext& context) {
  const std::uintptr_t indicator = sci::INDICATOR_WORD_HIGHLIGHT;
  if (Option(context, "CustomHighlighting")) {
    const std::int64_t opacity = SettingInRange(context, "HighlightOpacity", kLargestAlpha);
    const std::int64_t border = SettingInRange(context, "HighlightBorderOpacity", kLargestAlpha);
    SciSend(context, sci::SCI_INDICSETALPHA, indicator, opacity * 2 / 3);
    SciSend(context, sci::SCI_INDICSETOUTLINEALPHA, indicator, border);
    SciSend(context, sci::SCI_INDICSETSTYLE, indicator, Setting(context, "HighlightStyle"));
  } else {
    SciSend(context, sci::SCI_INDICSETALPHA, indicator, 255);
    SciSend(context, sci::SCI_INDICSETOUTLINEALPHA, indicator, 255);
    SciSend(context, sci::SCI_INDICSETSTYLE, indicator, kIndicStraightBox);
  }
}

const char* HighlightColorOption(int style) {
  switch (style) {
    case sci::STYLE_COMMENT:
      return "ColorComment";
    case sci::STYLE_STRING:
      return "ColorString";
    case sci::STYLE_CONSTANT:
      return "ColorConstant";
    case sci::STYLE_PROCEDURE:
      return "ColorProc";
    default:
      return "ColorDefault";
  }
}

// Editor properties that options of the code helpers switch on. Off puts back the value the
// editor had before the plugin set it (the IDE's choice), unless something else changed it since.
struct OptionProperty {
  const char* option;
  std::uint32_t getter;
  std::uint32_t setter;
  std::intptr_t on;
};
constexpr std::array<OptionProperty, 4> kOptionProperties = {{
    {"AutocompDropRestWord", sci::SCI_AUTOCGETDROPRESTOFWORD, sci::SCI_AUTOCSETDROPRESTOFWORD, 1},
    {"UseMultiCursor", sci::SCI_GETMULTIPLESELECTION, sci::SCI_SETMULTIPLESELECTION, 1},
    {"UseMultiCursor", sci::SCI_GETADDITIONALSELECTIONTYPING, sci::SCI_SETADDITIONALSELECTIONTYPING,
     1},
    {"UseMultiCursor", sci::SCI_GETMULTIPASTE, sci::SCI_SETMULTIPASTE, sci::SC_MULTIPASTE_EACH},
}};

struct SavedProperty {
  bool applied = false;
  std::intptr_t before = 0;
};
// Ctrl+D types a form feed, which the Ctrl+D helper replaces with the newline constant. The key
// map cannot be read: off gives the key back its binding in Scintilla's own key map.
constexpr std::uintptr_t kCtrlD = 'D' | (2u << 16);  // SCMOD_CTRL in the upper half
struct EditorOptions {
  std::array<SavedProperty, kOptionProperties.size()> properties;
  bool ctrlDBound = false;
};
struct OptionState {
  std::map<os::Window, EditorOptions> editors;
  std::int64_t lastUpdateStamp = 0;
};
OptionState g_options;

void ApplyOptionProperty(const HookContext& context, const OptionProperty& property,
                         SavedProperty& saved) {
  const bool on = GetPluginSetting(context, "CodeHelpers", property.option) != 0;
  if (!on && !saved.applied) return;
  const std::intptr_t current = SciSend(context, property.getter);
  if (on) {
    if (saved.applied && current == property.on) return;
    saved.applied = true;
    saved.before = current;
    if (current != property.on) SciSend(context, property.setter, property.on);
  } else {
    saved.applied = false;
    if (current == property.on) {
      SciSend(context, property.setter, static_cast<std::uintptr_t>(saved.before));
    }
  }
}

void UnbindCtrlD(const HookContext& context, EditorOptions& editor) {
  if (!editor.ctrlDBound) return;
  editor.ctrlDBound = false;
  SciSend(context, sci::SCI_ASSIGNCMDKEY, kCtrlD, sci::SCI_SELECTIONDUPLICATE);
}

void BindCtrlD(const HookContext& context, EditorOptions& editor) {
  if (GetPluginSetting(context, "CodeHelpers", "UseCtrlD") == 0) {
    UnbindCtrlD(context, editor);
    return;
  }
  SciSend(context, sci::SCI_ASSIGNCMDKEY, kCtrlD, sci::SCI_FORMFEED);
  editor.ctrlDBound = true;
}

void SetOptionProperties(const HookContext& context) {
  if (context.editor == nullptr) return;
  EditorOptions& editor = g_options.editors[context.editor];
  for (std::size_t i = 0; i < kOptionProperties.size(); ++i) {
    ApplyOptionProperty(context, kOptionProperties[i], editor.properties[i]);
  }
  BindCtrlD(context, editor);
}

}  // namespace

void ApplyEditorSettings(const HookContext& context) {
  SetDateEnvironment(context);
  SetCaretWidth(context);
  SetScrollMargins(context);
  SetCurrentLineDisplay(context);
  SetHighlightStyle(context);
  SciSend(context, sci::SCI_ASSIGNCMDKEY, kCtrlEnter, sci::SCI_NEWLINE);
  ApplyEditorOptions(context);
}

// The host stamps every change of a setting; the editor that updates next follows it at once.
void FollowOptionChanges(const HookContext& context) {
  const std::int64_t stamp = GetPluginProperty(context.ideWindow, ".Plugin.UpdateDate");
  if (stamp == g_options.lastUpdateStamp) return;
  g_options.lastUpdateStamp = stamp;
  ApplyEditorOptions(context);
}

void ApplyEditorOptions(const HookContext& context) { SetOptionProperties(context); }

bool CtrlDBoundToFormFeed(const HookContext& context) {
  const auto found = g_options.editors.find(context.editor);
  return found != g_options.editors.end() && found->second.ctrlDBound;
}

void ReleaseEditorKeys(const HookContext& context) {
  const auto found = g_options.editors.find(context.editor);
  if (found != g_options.editors.end()) UnbindCtrlD(context, found->second);
}

void ResetEditorOptions() { g_options = OptionState{}; }

void UpdateHighlightColor(const HookContext& context) {
  const bool onlySelectionChanged =
      context.notification && context.notification->updated == sci::SC_UPDATE_SELECTION;
  if (!onlySelectionChanged || !Option(context, "CustomHighlightColor")) return;
  const std::int64_t selectionStart = SciSend(context, sci::SCI_GETSELECTIONNSTART, 0);
  const int style = static_cast<int>(SciSend(context, sci::SCI_GETSTYLEAT, selectionStart));
  SciSend(context, sci::SCI_INDICSETFORE, sci::INDICATOR_WORD_HIGHLIGHT,
          Setting(context, HighlightColorOption(style)));
}
