// Format scheduling: the typed line, the pending range and the paste flow.

#include "plugin/helpers.h"

void ScheduleFormat(const HookContext&, std::int64_t, std::int64_t, bool) {}

