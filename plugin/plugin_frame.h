// The plugin's frame: global state and its view of the shared window properties.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "plugin/hook_context.h"

// The integer value of an option published by the host (0 when absent or disabled). Inside a
// SettingsCallScope each option is read from its property once; elsewhere at every call.
std::int64_t GetPluginSetting(const HookContext& context, const char* group, const char* option);

// Open for the whole of one call of the hook procedure: a change the host makes takes effect at
// the next call (the next keystroke), and a call reads each setting at most once.
struct SettingsCallScope {
  SettingsCallScope();
  ~SettingsCallScope();
  SettingsCallScope(const SettingsCallScope&) = delete;
  SettingsCallScope& operator=(const SettingsCallScope&) = delete;
};

// How many setting properties have been read since the library was loaded (for benchmarks).
std::uint64_t SettingPropertyReads();

void SetupCallContext(HookContext& context, os::Window window, std::uint32_t message,
                      os::WParam wParam, os::LParam lParam);

// Brings the property snapshot up to date, copies it into `target`, returns its size.
std::size_t RefreshPropertySnapshot(const HookContext& context,
                                    std::map<std::string, std::int64_t>& target);

// An option clamped to the range the settings window offers for it, for values used as
// lengths, counts or choices (a property is written by another process and is untrusted).
std::int64_t GetPluginSettingInRange(const HookContext& context, const char* group,
                                     const char* option, std::int64_t lowest, std::int64_t highest);

// The plugin's own properties on the IDE window, named by what follows the property prefix
// (".Plugin.LineToFormat"). Nothing is read or written while the IDE window is unknown (0).
std::string PluginPropertyName(os::Window ideWindow, const char* suffix);
std::int64_t GetPluginProperty(os::Window ideWindow, const char* suffix);
void SetPluginProperty(os::Window ideWindow, const char* suffix, std::int64_t value);

// The library's module handle, stored by the library entry.
void SetPluginModule(os::Module module);
os::Module PluginModule();

// What the frame knows so far (0 until found).
os::Window KnownIdeWindow();
os::Window ActiveEditor();

// Back to the state at load (frame, dispatcher, pending formatting): for tools and tests that
// start a fresh IDE in the same process.
void ResetPluginState();
// Every editor window the plugin's state names (null where none): none may outlive its window.
std::vector<os::Window> PluginEditorReferences();
