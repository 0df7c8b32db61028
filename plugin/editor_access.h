// Editor access: every read and change of an IDE editor is one Scintilla message.
// Positions and lines are the editor's byte positions and zero-based lines.
#pragma once

#include <cstdint>
#include <string>

#include "os/os.h"
#include "plugin/hook_context.h"

// One Scintilla message to the context's editor.
std::intptr_t SciSend(const HookContext& context, std::uint32_t message, std::uintptr_t wParam = 0,
                      std::intptr_t lParam = 0);

// Searches [start, end) for `pattern` (Scintilla's own engine with SCFIND_REGEXP | SCFIND_POSIX
// when useRegex). On a match the target is set to it. Returns the match start, or -1.
std::int64_t SciFindInRange(const HookContext& context, bool useRegex, const std::string& pattern,
                            std::int64_t start, std::int64_t end);

// Where a search matched: [start, end), or start -1 for no match.
struct FoundText {
  std::int64_t start = -1;
  std::int64_t end = -1;
};

// The same search for a caller that keeps the match itself: the target is left as it was (two
// messages fewer). The groups of a regular-expression match are readable with SciGetTag.
FoundText SciFindText(const HookContext& context, bool useRegex, const std::string& pattern,
                      std::int64_t start, std::int64_t end);

// Replaces [start, end) by `text`, literally or as a template (\1..\9: groups of the last search).
void SciReplaceRange(const HookContext& context, bool useTemplate, const std::string& text,
                     std::int64_t start, std::int64_t end);

// The text of group `group` (1..9) of the editor's last regular-expression search.
std::string SciGetTag(const HookContext& context, int group);

// Small editor operations the typing helpers share.

// True when line `line`, searched from its start to its end, matches the regular expression
// `pattern`. A line outside the document matches nothing (the editor would otherwise take a
// negative line for the caret's line).
bool LineMatches(const HookContext& context, std::int64_t line, const char* pattern);

std::int64_t CaretPosition(const HookContext& context);
std::int64_t CaretLine(const HookContext& context);
std::int64_t LineStart(const HookContext& context, std::int64_t line);
std::int64_t LineEnd(const HookContext& context, std::int64_t line);
std::int64_t LineIndentPosition(const HookContext& context, std::int64_t line);
int StyleAt(const HookContext& context, std::int64_t position);
int CharAt(const HookContext& context, std::int64_t position);

// Insertions at `position`; an insertion exactly at the caret leaves the caret in front of it.
void InsertText(const HookContext& context, std::int64_t position, const std::string& text);
void InsertTemplate(const HookContext& context, std::int64_t position, const std::string& text);

// The document's own line end ("\r\n", "\r" or "\n").
std::string DocumentLineEnd(const HookContext& context);

// The IDE's windows: its editors and the windows that carry its PB_ID.
std::intptr_t HasGadgetId(os::Window window);
os::Window FindIdeWindow(os::Window window);
std::string GetLowerClassName(os::Window window);
bool IsEditorWindow(os::Window window);
