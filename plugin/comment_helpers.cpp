// Comment helpers: Enter continues a comment block, frames a comment bar into a box, or
// continues a comment split in the middle. At most one of them acts, in that order.

#include <string>

#include "iface/ide.h"
#include "plugin/dispatcher.h"
#include "plugin/editor_access.h"
#include "plugin/helpers.h"
#include "plugin/plugin_frame.h"

namespace {

constexpr const char* kGroup = "CommentHelpers";
// The longest bar the option offers. A property may hold anything another process wrote; a
// minimum of 0 or less never lengthens a bar.
constexpr std::int64_t kLongestMinimumBar = 30;

bool Option(const HookContext& context, const char* option) {
  return GetPluginSetting(context, kGroup, option) != 0;
}

// Group 1 of the last search is the comment marker: the semicolon and the blanks after it.
void StartNewLineWithMarker(const HookContext& context, const CharacterEvent& event) {
  InsertTemplate(context, LineStart(context, event.line + 1), "\\1");
  DeferCaretShift(context, static_cast<std::int64_t>(SciGetTag(context, 1).size()));
}

bool ContinueCommentBlock(const HookContext& context, const CharacterEvent& event) {
  if (!Option(context, "AutocompCommentBlock")) return false;
  if (CaretLine(context) != event.line + 1) return false;
  if (!LineMatches(context, event.line + 2, "^\\s*;\\s*")) return false;
  if (!LineMatches(context, event.line, "^\\s*(;\\s*)")) return false;
  StartNewLineWithMarker(context, event);
  return true;
}

std::string BarOfMinimumLength(std::string bar, std::int64_t minimum) {
  if (!bar.empty() && static_cast<std::int64_t>(bar.size()) < minimum) {
    bar.assign(static_cast<std::size_t>(minimum), bar[0]);
  }
  return bar;
}

bool FrameCommentBar(const HookContext& context, const CharacterEvent& event) {
  if (!Option(context, "AutocompCommentBars")) return false;
  if (LineMatches(context, event.line - 1, "^\\s*;")) return false;
  if (LineMatches(context, event.line + 2, "^\\s*;")) return false;
  const bool lineIsBar =
      SciFindInRange(context, true, "^\\s*(;\\s*)([-*#=+]+)$", event.lineStart, event.lineEnd) >= 0;
  if (!lineIsBar) return false;

  const std::string marker = SciGetTag(context, 1);
  const std::string bar = BarOfMinimumLength(
      SciGetTag(context, 2),
      GetPluginSettingInRange(context, kGroup, "MinCommentBarLength", 0, kLongestMinimumBar));
  // The closing bar goes on a line of its own, with the document's own line end.
  InsertTemplate(context, LineEnd(context, event.line + 1), DocumentLineEnd(context) + "\\1" + bar);
  InsertTemplate(context, LineStart(context, event.line + 1), "\\1");
  SciReplaceRange(context, true, "\\1" + bar, event.lineStart, event.lineEnd);
  ReindentSequence(context, event.line + 2, event.line + 2);
  AnchorCaretToIndent(context, event.line + 1, static_cast<std::int64_t>(marker.size()), false);
  return true;
}

bool ContinueSplitComment(const HookContext& context, const CharacterEvent& event) {
  if (!Option(context, "AutocompSplitComment")) return false;
  if (StyleAt(context, event.lineEnd - 1) != sci::STYLE_COMMENT) return false;
  if (CaretLine(context) != event.line + 1) return false;
  if (!LineMatches(context, event.line + 1, "^\\s*[^\\s]")) return false;
  if (!LineMatches(context, event.line, "^.*(;\\s*)[^;]*$")) return false;
  StartNewLineWithMarker(context, event);
  return true;
}

}  // namespace

void OnLineBreakCommentHelpers(const HookContext& context, const CharacterEvent& event) {
  if (ContinueCommentBlock(context, event)) return;
  if (FrameCommentBar(context, event)) return;
  ContinueSplitComment(context, event);
}
