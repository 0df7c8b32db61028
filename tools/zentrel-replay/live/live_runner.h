// zentrel-replay --live: scenario files against the real IDE stand-in, the real tool host and
// the real plugin (the Windows build, under Wine). Each scenario starts a fresh IDE that starts
// the host as its tool, from a private copy of the tool folder with no preferences file, so that
// the settings are the catalogue defaults as a first-run host publishes them. Input is real
// (SendInput to the foreground IDE), time is real, and the editor is read through a probe library
// hooked into the IDE (live_probe.h).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace live {

struct LiveOptions {
  std::string ideProgram;  // standin-ide.exe
  std::string toolFolder;  // the folder holding toolhost.exe and Zentrel.dll
  std::string probeLibrary;
  bool print = false;  // the final text of the editor with the caret
  bool trace = false;  // each command as it runs
};

// Runs the files; one line per scenario, then "N passed, N failed". Returns 0 when all pass,
// 1 when one fails, 2 for a file that does not parse or an IDE that cannot be driven.
int RunLiveScenarioFiles(const std::vector<std::string>& files, const LiveOptions& options,
                         std::ostream& out, std::ostream& err);

// The command line: zentrel-replay --live [--print] [--trace] [--ide EXE] [--tool-folder DIR]
// SCENARIO...
int LiveMain(int argc, char** argv);

}  // namespace live
