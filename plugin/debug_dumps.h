// Debug dumps for the host's log view: the shared properties, the caret's place in the active
// editor, the editor's 256 styles and 32 indicators. Run in the host's process; they ask the
// IDE's editor only integer questions.
#pragma once

#include <string>
#include <string_view>

#include "os/os.h"

// The dump of `mode` ("props", "scintilla", "styles", "indicators", any letter case) for the IDE
// main window `ideWindow`; empty for any other mode.
std::string DebugDump(os::Window ideWindow, std::string_view mode);

// Colour text: prefix + "color (" + red, green, blue right-aligned to three places + ")".
std::string ColorText(std::int64_t color, std::string_view prefix);

// prefix + the first word whose number equals `value` + " ", or empty (both lists
// comma-separated and matched by position; empty words are skipped).
std::string LookupWord(std::int64_t value, std::string_view words, std::string_view numbers,
                       std::string_view prefix);
