// The shipped plugin behind zentrel-replay: its hook procedure and its default settings.
#include "core/property_names.h"
#include "plugin/exports.h"
#include "plugin/plugin_frame.h"
#include "replay.h"

#if VORPEX_REPLAY_HOST_DEFAULTS
#include "core/utf.h"
#include "host/dialog/element_tree.h"
#include "host/dialog_tree.h"
#include "host/splice.h"
#include "host/tool_host.h"
#endif

namespace replay {

// Publishes every setting of the plugin's fragment at its default on the IDE window, read with
// the host's own code (splice, parse, walk) as a first-run host publishes them.
void PublishDefaultSettings(os::Window ideWindow) {
  // A fresh IDE: the plugin starts as if just loaded (window handles repeat after a reset).
  ResetPluginState();
#if VORPEX_REPLAY_HOST_DEFAULTS
  const std::int64_t ide = core::HandleValue(ideWindow);
  const std::string fragment = core::Utf16ToUtf8(zentrel::RetrievePluginXMLDialog());
  const std::string description =
      SpliceFragment(kToolWindowDescription, TagFragment(fragment, 1, ide));
  dialog::Document document = dialog::ParseDescriptionUtf8(description);
  if (!document.ok()) return;
  PluginTable table;
  table.Add(ideWindow, nullptr);
  dialog::RuntimeNameTable names;
  RegisterHostRuntimeNames(names);
  int counter = 0;
  DialogTreeWalk walk{table, names, counter};
  ReadDialogTree(walk, *document.root);
  for (const PluginEntry& plugin : table.entries) {
    for (const OptionContainer& container : plugin.containers) {
      for (const auto& [key, value] : container.values) {
        if (key.rfind("gadgetWithoutName", 0) == 0) continue;
        os::SetProp(ideWindow, core::SettingPropertyName(ide, container.name, key),
                    static_cast<std::intptr_t>(container.enabled ? value : 0));
      }
    }
  }
#else
  (void)ideWindow;
#endif
}

ReplayPlugin LinkedPlugin() {
  ReplayPlugin plugin;
  plugin.hook = &zentrel::OnHookCallbackComplete;
  plugin.publishDefaultSettings = &PublishDefaultSettings;
  return plugin;
}

}  // namespace replay
