// String helpers.

#include "plugin/helpers.h"

void OnQuoteTyped(const HookContext&, const CharacterEvent&) {}

void OnPlusTyped(const HookContext&, const CharacterEvent&) {}

void OnLineBreakStringHelpers(const HookContext&, const CharacterEvent&) {}

