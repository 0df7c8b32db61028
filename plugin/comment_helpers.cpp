// Comment helpers.

#include "plugin/helpers.h"

void OnLineBreakCommentHelpers(const HookContext&, const CharacterEvent&) {}

