// Format scheduling (ScheduleFormat and FlushScheduledFormat are declared in plugin/helpers.h).
#pragma once

#include <vector>

#include "os/os.h"

// Forgets every pending line, as at load time; for tests and tools that run many sessions.
void ResetPendingFormat();
// A destroyed editor's pending lines are dropped.
void ForgetPendingFormatEditor(os::Window editor);
// The editors the pending lines belong to (for checks).
void AppendPendingFormatEditors(std::vector<os::Window>& editors);
