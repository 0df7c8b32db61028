// The two platform functions that Scintilla's document core needs when it is built without a
// platform layer (the native static library behind the headless editor).
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "Debugging.h"

namespace Scintilla::Internal::Platform {

void DebugPrintf(const char* format, ...) noexcept {
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
}

// A broken invariant inside the document core: stop at once with the place, as the
// Windows control's debug build does.
void Assert(const char* c, const char* file, int line) noexcept {
  std::fprintf(stderr, "Scintilla assertion failed: %s, %s:%d\n", c, file, line);
  std::abort();
}

}  // namespace Scintilla::Internal::Platform
