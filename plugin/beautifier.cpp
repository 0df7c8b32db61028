// Code beautifier: rewrites the spacing of lines by the user's spacing rules.

#include "plugin/helpers.h"

void FormatLines(const HookContext&, std::int64_t, std::int64_t) {}

