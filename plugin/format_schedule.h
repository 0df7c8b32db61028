// Format scheduling (ScheduleFormat and FlushScheduledFormat are declared in plugin/helpers.h).
#pragma once

// Forgets every pending line, as at load time; for tests and tools that run many sessions.
void ResetPendingFormat();
