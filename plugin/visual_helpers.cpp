// Visual helpers: caret, scroll margins, current line and the style and colour of the IDE's
// word highlighting (indicator 2), all as editor properties.

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
    case sci::STYLE_COMMENT: return "ColorComment";
    case sci::STYLE_STRING: return "ColorString";
    case sci::STYLE_CONSTANT: return "ColorConstant";
    case sci::STYLE_PROCEDURE: return "ColorProc";
    default: return "ColorDefault";
  }
}

}  // namespace

void ApplyEditorSettings(const HookContext& context) {
  SetDateEnvironment(context);
  SetCaretWidth(context);
  SetScrollMargins(context);
  SetCurrentLineDisplay(context);
  SetHighlightStyle(context);
  SciSend(context, sci::SCI_ASSIGNCMDKEY, kCtrlEnter, sci::SCI_NEWLINE);
}

void UpdateHighlightColor(const HookContext& context) {
  const bool onlySelectionChanged =
      context.notification && context.notification->updated == sci::SC_UPDATE_SELECTION;
  if (!onlySelectionChanged || !Option(context, "CustomHighlightColor")) return;
  const std::int64_t selectionStart = SciSend(context, sci::SCI_GETSELECTIONNSTART, 0);
  const int style = static_cast<int>(SciSend(context, sci::SCI_GETSTYLEAT, selectionStart));
  SciSend(context, sci::SCI_INDICSETFORE, sci::INDICATOR_WORD_HIGHLIGHT,
          Setting(context, HighlightColorOption(style)));
}
