// The host's records of its plugins: one PluginEntry per loaded library, one OptionContainer per
// named option group that a plugin's fragment declares, and the plugin table that owns them.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "core/paths.h"
#include "os/os.h"

// Control number of the tool window's toolkit; 0 is "no control".
using ControlId = std::int64_t;

// A map that iterates in insertion order ("map order" wherever the host walks one). Entries are
// never removed. Lookups are linear: a container holds a few dozen controls at most.
template <typename Value>
class InsertionMap {
 public:
  Value& operator[](const std::string& key) {
    for (auto& entry : entries_)
      if (entry.first == key) return entry.second;
    entries_.emplace_back(key, Value{});
    return entries_.back().second;
  }
  const Value* Find(const std::string& key) const {
    for (const auto& entry : entries_)
      if (entry.first == key) return &entry.second;
    return nullptr;
  }
  Value Get(const std::string& key, Value fallback = Value{}) const {
    const Value* value = Find(key);
    return value ? *value : fallback;
  }
  bool Contains(const std::string& key) const { return Find(key) != nullptr; }
  std::size_t size() const { return entries_.size(); }
  auto begin() { return entries_.begin(); }
  auto end() { return entries_.end(); }
  auto begin() const { return entries_.begin(); }
  auto end() const { return entries_.end(); }

 private:
  std::vector<std::pair<std::string, Value>> entries_;
};

struct OptionContainer {
  os::Window ideHandle = nullptr;           // carries the settings properties
  ControlId containerControl = 0;           // the container element's control in the built window
  std::string name;                         // group name in the preferences and the property names
  std::string title;                        // row text of the Installed Plugins list
  std::uint8_t enabled = 1;                 // tick state of the row
  InsertionMap<ControlId> controls;         // control name -> control number (0 until built)
  InsertionMap<std::string> controlNames;   // control number in decimal -> control name
  InsertionMap<std::string> propertyNames;  // control number in decimal -> IDE property name
  InsertionMap<std::int64_t> values;        // setting key -> value
  InsertionMap<std::string> items;          // control name -> `items`
  InsertionMap<std::string> tooltips;       // control name -> `tooltip`
  InsertionMap<std::string> fonts;          // control name -> `font`
};

struct PluginEntry {
  os::Window ideHandle = nullptr;
  int library = 0;               // the host's library number; key of the plugin table
  std::string name;              // declared; left empty
  InsertionMap<os::Hook> hooks;  // export name -> hook handle (nullptr when installing failed)
  // Containers in document order; a deque so that the list rows may point into it.
  std::deque<OptionContainer> containers;
  int currentContainer = -1;  // position of the container being filled by ReadDialogTree

  os::Module module = nullptr;  // the system's handle of the loaded library
};

// The plugin table: entries in library-number order, which is also the load order.
struct PluginTable {
  std::deque<PluginEntry> entries;

  PluginEntry* Find(int library);
  PluginEntry& Add(os::Window ideHandle, os::Module module);
};

// Setting key of a control name: the name up to its first ":".
std::string SettingKey(const std::string& controlName);
// The part after the first ":", empty when there is none.
std::string NameSuffix(const std::string& controlName);

// Calls RetrievePluginXMLDialog; a missing export or a null result gives an empty text.
std::string RetrievePluginFragment(const PluginEntry& plugin);
// Calls RetrievePluginDebug(ideHandle, mode); null or missing gives an empty text.
std::string RetrievePluginDebugText(const PluginEntry& plugin, const std::string& mode);

// Installs the export `exportName` as a hook of `kind` on the IDE window's thread and records
// the handle (nullptr on failure, or when the window is gone: never a desktop-wide hook). A
// missing export installs nothing and records nothing.
void InstallHook(PluginEntry& plugin, int kind, const char* exportName);
// The three hook exports, in installation order.
void InstallHooks(PluginEntry& plugin);
void RemoveHooks(PluginEntry& plugin);

// Lists "*.dll" in `folder` (the listing ignores case), loads each by its full path (so that a
// plugin named like a library the process already holds, or like a system library, is never
// taken for it), adds an entry per library that loads and hands its fragment to `onFragment`.
// Entries that do not load (not a library, another word size, a folder) are skipped.
// False when the listing cannot be started.
template <typename OnFragment>
bool ScanPlugins(const std::string& folder, os::Window ideHandle, PluginTable& table,
                 OnFragment&& onFragment) {
  std::vector<std::string> names;
  if (!os::ListFiles(folder, "*.dll", &names)) return false;
  for (const std::string& name : names) {
    os::Module module = os::LoadLibrary(core::JoinPath(folder, name));
    if (!module) continue;
    PluginEntry& plugin = table.Add(ideHandle, module);
    onFragment(plugin, RetrievePluginFragment(plugin));
  }
  return true;
}
