#include "host/shared_properties.h"

#include "core/property_names.h"

std::string PropertyPrefix(os::Window ideHandle) {
  return core::PropertyPrefix(core::HandleValue(ideHandle));
}
std::string ProcessIdProperty(os::Window ideHandle) {
  return core::ProcessIdPropertyName(core::HandleValue(ideHandle));
}
std::string ToolProperty(os::Window ideHandle) {
  return core::ToolPropertyName(core::HandleValue(ideHandle));
}
std::string UpdateDateProperty(os::Window ideHandle) {
  return core::UpdateDatePropertyName(core::HandleValue(ideHandle));
}

std::string SettingProperty(os::Window ideHandle, const std::string& group,
                            const std::string& key) {
  return core::SettingPropertyName(core::HandleValue(ideHandle), group, key);
}

void RemovePluginProperties(const PluginEntry& plugin) {
  for (const OptionContainer& container : plugin.containers)
    for (const auto& [control, property] : container.propertyNames) {
      (void)control;
      os::RemoveProp(container.ideHandle, property);
    }
  os::RemoveProp(plugin.ideHandle, UpdateDateProperty(plugin.ideHandle));
}
