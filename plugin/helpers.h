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

// Code helpers (code_helpers.cpp): the floating-point zero.
void OnDigitTyped(const HookContext& context, const CharacterEvent& event);

// Code beautifier (beautifier.cpp): formats lines firstLine..lastLine by the spacing rules.
void FormatLines(const HookContext& context, std::int64_t firstLine, std::int64_t lastLine);

// Format scheduling (format_schedule.cpp): register a range, or flush with -1, -1, false.
void ScheduleFormat(const HookContext& context, std::int64_t firstLine, std::int64_t lastLine,
                    bool deferLastLine);

// Visual helpers (visual_helpers.cpp).
void ApplyEditorSettings(const HookContext& context);
void UpdateHighlightColor(const HookContext& context);

// Compiling helpers (compiling_helpers.cpp).
void SetDateEnvironment(const HookContext& context);
