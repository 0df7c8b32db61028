#include "host/fragment_defaults.h"

#include "host/dialog/element_tree.h"
#include "host/dialog/runtime_names.h"
#include "host/dialog_tree.h"
#include "host/splice.h"
#include "host/tool_host.h"

std::vector<DefaultSetting> ReadFragmentDefaults(const std::string& fragmentUtf8) {
  std::vector<DefaultSetting> settings;
  const std::string description =
      SpliceFragment(kToolWindowDescription, TagFragment(fragmentUtf8, 1, 0));
  dialog::Document document = dialog::ParseDescriptionUtf8(description);
  if (!document.ok()) return settings;
  PluginTable table;
  table.Add(nullptr, nullptr);
  dialog::RuntimeNameTable names;
  RegisterHostRuntimeNames(names);
  int counter = 0;
  DialogTreeWalk walk{table, names, counter};
  ReadDialogTree(walk, *document.root);
  for (const PluginEntry& plugin : table.entries) {
    for (const OptionContainer& container : plugin.containers) {
      for (const auto& [key, value] : container.values) {
        if (key.rfind("gadgetWithoutName", 0) == 0) continue;  // never a stored setting
        settings.push_back({container.name, key, value});
      }
    }
  }
  return settings;
}
