// Visual helpers.

#include "plugin/helpers.h"

void ApplyEditorSettings(const HookContext&) {}

void UpdateHighlightColor(const HookContext&) {}

