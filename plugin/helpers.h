// The helpers the dispatcher starts; each lives in a file of its own.
#pragma once

#include <cstdint>

#include "plugin/dispatcher.h"
#include "plugin/hook_context.h"

// String helpers (string_helpers.cpp).
void OnQuoteTyped(const HookContext& context, const CharacterEvent& event);
void OnPlusTyped(const HookContext& context, const CharacterEvent& event);
void OnLineBreakStringHelpers(const HookContext& context, const CharacterEvent& event);

// Comment helpers (comment_helpers.cpp): comment block, else comment bars, else split comment.
void OnLineBreakCommentHelpers(const HookContext& context, const CharacterEvent& event);

// Code helpers (code_helpers.cpp): the floating-point zero, the end keyword of a block opened
// on the line of a typed line break, and the newline constant of Ctrl+D (a typed form feed).
void OnDigitTyped(const HookContext& context, const CharacterEvent& event);
void OnLineBreakCodeHelpers(const HookContext& context, const CharacterEvent& event);
void OnFormFeedTyped(const HookContext& context, const CharacterEvent& event);

// Code beautifier (beautifier.cpp): formats lines firstLine..lastLine by the spacing rules.
void FormatLines(const HookContext& context, std::int64_t firstLine, std::int64_t lastLine);

// Format scheduling (format_schedule.cpp): ScheduleFormat registers lines to format (with
// deferLastLine, the last one is the typed line, formatted once the caret has left it);
// FlushScheduledFormat, at each display update, formats what may be formatted now.
void ScheduleFormat(const HookContext& context, std::int64_t firstLine, std::int64_t lastLine,
                    bool deferLastLine);
void FlushScheduledFormat(const HookContext& context);

// Visual helpers (visual_helpers.cpp).
void ApplyEditorSettings(const HookContext& context);
void UpdateHighlightColor(const HookContext& context);
// The editor properties and the Ctrl+D binding of the code helper options, set or given back
// as the options are now; on a display update, only when a setting changed since the last one.
void ApplyEditorOptions(const HookContext& context);
void FollowOptionChanges(const HookContext& context);
// Whether the plugin has bound Ctrl+D in this editor to the form feed it replaces.
bool CtrlDBoundToFormFeed(const HookContext& context);
// When the editor loses the focus: the key bound for the plugin goes back to the editor's own
// command (bound again at the next focus), so that no form feed is typed that nobody replaces
// once the host has ended.
void ReleaseEditorKeys(const HookContext& context);
// Forgets what the plugin set in which editor (for a fresh IDE in the same process).
void ResetEditorOptions();

// Compiling helpers (compiling_helpers.cpp).
void SetDateEnvironment(const HookContext& context);
