// The shipped plugin behind zentrel-replay: its hook procedure and its default settings.
#include "plugin/exports.h"
#include "replay.h"

namespace replay {

// Publishes the catalogue's defaults on the IDE window as a first-run host does. Empty until the
// host's publishing code is shared with the tools; scenarios `set` what they rely on meanwhile.
void PublishDefaultSettings(os::Window /*ideWindow*/) {}

ReplayPlugin LinkedPlugin() {
  ReplayPlugin plugin;
  plugin.hook = &zentrel::OnHookCallbackComplete;
  plugin.publishDefaultSettings = &PublishDefaultSettings;
  return plugin;
}

}  // namespace replay
