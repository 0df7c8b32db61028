// Names of the shared window properties on the IDE main window, and their removal.
#pragma once

#include <string>

#include "host/plugin_registry.h"

// The IDE handle as a signed 64-bit integer in upper-case hexadecimal, no leading zeros.
std::string PropertyPrefix(os::Window ideHandle);
std::string ProcessIdProperty(os::Window ideHandle);   // prefix + ".Plugin.ProcessId"
std::string ToolProperty(os::Window ideHandle);        // prefix + ".Plugin.Tool"
std::string UpdateDateProperty(os::Window ideHandle);  // prefix + ".Plugin.UpdateDate"
// prefix + ".Settings." + group + "." + key + ".Value"
std::string SettingProperty(os::Window ideHandle, const std::string& group, const std::string& key);

// Removes every settings property of the plugin's containers, then the update-date property.
void RemovePluginProperties(const PluginEntry& plugin);
