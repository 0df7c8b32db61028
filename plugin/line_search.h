// Small editor operations the typing helpers share.
#pragma once

#include <cstdint>
#include <string>

#include "plugin/hook_context.h"

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
