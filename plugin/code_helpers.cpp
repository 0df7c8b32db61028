// Code helpers: the floating-point zero. A number typed with a leading decimal point gets its
// zero as soon as its first digit is typed (`.5` becomes `0.5`). The group's four other
// options are offered and stored, and no helper reads them.

#include "plugin/editor_access.h"
#include "plugin/helpers.h"
#include "plugin/line_search.h"
#include "plugin/plugin_frame.h"

namespace {

bool IsDigitOrPoint(int ch) { return (ch >= '0' && ch <= '9') || ch == '.'; }

}  // namespace

void OnDigitTyped(const HookContext& context, const CharacterEvent& event) {
  if (GetPluginSetting(context, "CodeHelpers", "AutocompFloatPointZero") == 0) return;
  const int styleBefore = StyleAt(context, event.pos - 1);
  if (styleBefore == sci::STYLE_STRING || styleBefore == sci::STYLE_COMMENT) return;

  // Walk back over the number in front of the digit to its first character.
  for (std::int64_t p = event.pos - 1; p >= event.lineStart; --p) {
    if (IsDigitOrPoint(CharAt(context, p - 1))) continue;
    const bool startsWithPoint =
        SciFindInRange(context, true, "\\.([\\d]*)", p, event.pos, true) == p;
    if (startsWithPoint) {
      const std::int64_t start = SciSend(context, sci::SCI_GETTARGETSTART);
      const std::int64_t end = SciSend(context, sci::SCI_GETTARGETEND);
      SciReplaceRange(context, true, "0.\\1", start, end);
    }
    return;
  }
}
