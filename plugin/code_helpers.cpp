// Code helpers.

#include "plugin/helpers.h"

void OnDigitTyped(const HookContext&, const CharacterEvent&) {}

