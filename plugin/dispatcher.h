// The hook dispatcher's deferred machinery and timing, used by the helpers.
#pragma once

#include <cstdint>
#include <vector>

#include "plugin/hook_context.h"

// Everything the dispatcher measured for one SCN_CHARADDED, handed to the helpers.
struct CharacterEvent {
  int ch = 0;             // the added character
  std::int64_t pos = -1;  // last insertion position (the typed character)
  std::int64_t line = 0;  // line of pos, and its start and end, measured once
  std::int64_t lineStart = 0;
  std::int64_t lineEnd = 0;
  std::int64_t interval = 0;  // TypingInterval(ch)
};

std::int64_t ReadKeyState(int virtualKey);

// Typing times, per character. TypingInterval stamps `ch` as typed now (and clears its pending
// quote): the milliseconds since it was last typed. TypingGap compares two stamps without
// changing them: the last typing time of `ch` minus that of `other`.
std::int64_t TypingInterval(int ch);
std::int64_t TypingGap(int ch, int other);

// Caret moves that must wait until the editor has placed the caret itself: stored now, applied
// (once) at the next display update.
void DeferCaretShift(const HookContext& context, std::int64_t offset);
void ApplyCaretShift(const HookContext& context);
// Keeps the caret's distance from line `line`'s first non-blank character (`relative`: from
// `position`'s distance to it now; otherwise `position` is the distance) while the line's
// indentation changes; applied when the re-indent sequence ends.
void AnchorCaretToIndent(const HookContext& context, std::int64_t line, std::int64_t position,
                         bool relative);
void ApplyCaretAnchor(const HookContext& context);

// The IDE re-indents firstLine..lastLine with its own command, over several display updates:
// ReindentSequence arms it (unless one runs already), each update advances it.
void ReindentSequence(const HookContext& context, std::int64_t firstLine, std::int64_t lastLine);
void AdvanceReindentSequence(const HookContext& context);
// Selects firstLine..lastLine and presses exactly Ctrl+I: Ctrl only when it is not already held;
// Shift, Alt and the Windows keys that are down are released around the I and pressed again.
void SendIndentShortcut(const HookContext& context, std::int64_t firstLine, std::int64_t lastLine);

// A re-indent sequence (or an undo group opened for a typed character) that has waited this
// long for the IDE is ended on the next hook call.
constexpr std::int64_t kIdeAnswerTimeoutMs = 1000;

// The dispatcher's view of the editor's last insertion (-1 after an undo or redo).
std::int64_t LastInsertionPosition();
std::int64_t LastInsertionLines();
// 0 when no re-indent sequence runs, else its state 1 to 3.
int ReindentSequenceState();
// True while an undo group opened for a typed character is open.
bool TypedUndoGroupOpen();

// The procedures the dispatcher starts, by event. They are the helpers of helpers.h; a test
// puts its own in their place to watch what the dispatcher calls and when.
struct DispatchedHelpers {
  void (*applyEditorSettings)(const HookContext&);
  void (*updateHighlightColor)(const HookContext&);
  void (*scheduleFormat)(const HookContext&, std::int64_t, std::int64_t, bool);
  void (*flushScheduledFormat)(const HookContext&);
  void (*onDigitTyped)(const HookContext&, const CharacterEvent&);
  void (*onQuoteTyped)(const HookContext&, const CharacterEvent&);
  void (*onPlusTyped)(const HookContext&, const CharacterEvent&);
  void (*onLineBreakStringHelpers)(const HookContext&, const CharacterEvent&);
  void (*onLineBreakCommentHelpers)(const HookContext&, const CharacterEvent&);
  void (*onLineBreakCodeHelpers)(const HookContext&, const CharacterEvent&);
  void (*onFormFeedTyped)(const HookContext&, const CharacterEvent&);
  void (*followOptionChanges)(const HookContext&);
  void (*onFocusOut)(const HookContext&);
};
DispatchedHelpers& DispatchedHelperTable();
const DispatchedHelpers& ShippedHelpers();

// Back to the state at load (called by ResetPluginState).
void ResetDispatcherState();
// A destroyed editor: what waits for it (its insertion, a re-indent sequence, a typed
// character's undo group) is dropped, so that no state names a window that is gone.
void ForgetDispatcherEditor(os::Window editor);
// The editors the dispatcher's state names (for checks).
void AppendDispatcherEditors(std::vector<os::Window>& editors);

// Pending quote of the string cut (kept in the typing tables).
void MarkPendingQuote(std::int64_t pos);
bool TakePendingQuote(std::int64_t pos);
void ClearPendingQuote(int ch);
