// zentrel-replay.exe (Windows build): scenario files run live against the IDE stand-in.
// clang-format off
#include <windows.h>
// clang-format on

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "live_runner.h"

namespace {

// A run that ends without its closing count must say why, not vanish.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception) {
  std::fprintf(stderr, "zentrel-replay: crashed (exception 0x%08lX)\n",
               exception && exception->ExceptionRecord
                   ? static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode)
                   : 0ul);
  std::fflush(stderr);
  return EXCEPTION_EXECUTE_HANDLER;
}

void ReportTermination() {
  std::fprintf(stderr, "zentrel-replay: ended by an exception nobody caught\n");
  std::fflush(stderr);
  std::_Exit(3);
}

}  // namespace

int main(int argc, char** argv) {
  SetUnhandledExceptionFilter(ReportCrash);
  std::set_terminate(ReportTermination);
  return live::LiveMain(argc, argv);
}
