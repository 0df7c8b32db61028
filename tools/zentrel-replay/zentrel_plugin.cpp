// The shipped plugin behind zentrel-replay: its hook procedure and its default settings.
#include "core/property_names.h"
#include "plugin/exports.h"
#include "plugin/plugin_frame.h"
#include "replay.h"

#if VORPEX_REPLAY_HOST_DEFAULTS
#include "core/utf.h"
#include "host/fragment_defaults.h"
#endif

namespace replay {

// Publishes every setting of the plugin's fragment at its default on the IDE window, read with
// the host's own code (splice, parse, walk) as a first-run host publishes them.
void PublishDefaultSettings(os::Window ideWindow) {
  // A fresh IDE: the plugin starts as if just loaded (window handles repeat after a reset).
  ResetPluginState();
#if VORPEX_REPLAY_HOST_DEFAULTS
  const std::int64_t ide = core::HandleValue(ideWindow);
  for (const DefaultSetting& setting :
       ReadFragmentDefaults(core::Utf16ToUtf8(zentrel::RetrievePluginXMLDialog()))) {
    os::SetProp(ideWindow, core::SettingPropertyName(ide, setting.group, setting.key),
                static_cast<std::intptr_t>(setting.value));
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
