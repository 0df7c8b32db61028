// Compiling helpers.

#include "plugin/helpers.h"

void SetDateEnvironment() {}

