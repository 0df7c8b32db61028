// zentrel-replay: runs scenario files on the headless IDE with a plugin's hook procedure.
//
// The plugin comes from a library chosen at link time: the tool links the real plugin, the
// runner's own tests link a small test plugin. Each provides `LinkedPlugin()`.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "os/os.h"

namespace replay {

struct ReplayPlugin {
  os::HookProc hook = nullptr;  // installed as the WH_CALLWNDPROCRET hook of the GUI thread
  // Publishes every setting at its default on the IDE window, as a first-run host does.
  void (*publishDefaultSettings)(os::Window ideWindow) = nullptr;
};

// Defined by the plugin seam linked into the program.
ReplayPlugin LinkedPlugin();

struct ReplayOptions {
  bool print = false;  // the final text of each editor with the caret
  bool trace = false;  // every notification and every message the plugin sent
};

// Runs the scenario files; prints a line per scenario and the closing count to `out`, file
// errors to `err`. Returns 0 when all pass, 1 when one fails, 2 for a file that does not parse
// or a scenario that asks for what its text does not have.
int RunScenarioFiles(const std::vector<std::string>& files, const ReplayOptions& options,
                     const ReplayPlugin& plugin, std::ostream& out, std::ostream& err);

// The command line: zentrel-replay [--print] [--trace] SCENARIO...
int ReplayMain(int argc, char** argv, const ReplayPlugin& plugin);

}  // namespace replay
