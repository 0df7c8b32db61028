// The preferences file beside the host executable: which option containers are enabled and the
// value of every setting. Read once per container at start-up, rewritten once at shutdown.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "host/plugin_registry.h"

// The parsed text of a preferences file (UTF-8 inside; a byte-order mark says UTF-8 or UTF-16 in
// either byte order, a file without one is read as ISO-8859-1). Groups and keys in file order;
// lookups ignore case and take the first match.
struct PreferencesDocument {
  struct Group {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;  // key -> value text
  };
  std::vector<Group> groups;
};

PreferencesDocument ParsePreferences(const std::string& bytes);
// The key's value read as a decimal integer; `fallback` when the group or key is missing.
std::int64_t ReadPreference(const PreferencesDocument& document, const std::string& group,
                            const std::string& key, std::int64_t fallback);

// Builds the bytes of a new file: byte-order mark, an empty first line, groups separated by an
// empty line, "key = value" lines, CR LF everywhere. A key written twice keeps its first place
// and takes the new value; a new key goes to the end of its group, a new group to the end.
// A group or key whose name would not read back as itself ("[x]", "a=b", "x]y") is left out.
class PreferencesWriter {
 public:
  void Write(const std::string& group, const std::string& key, std::int64_t value);
  // Adds a key with its value text as it was read, unless the group already has the key.
  void Keep(const std::string& group, const std::string& key, const std::string& text);
  // Adds a whole group as it was read, after the groups written so far.
  void KeepGroup(const PreferencesDocument::Group& group);
  std::string Bytes() const;

 private:
  PreferencesDocument document_;
};

// The executable's path with its ".exe" ending (in any case) replaced by ".ini", or with ".ini"
// added when it has no such ending: beside the executable, never the executable itself.
std::string PreferencesPath(const std::string& executablePath);

// What start-up found at the preferences path.
struct PreferencesFile {
  std::string path;
  // False when the file exists but could not be read (another program holds it without sharing,
  // no permission): it is then never written, so that the user's settings are not replaced by
  // the defaults this run had to use.
  bool readable = true;
  std::string readError;         // the system's reason when not readable
  PreferencesDocument document;  // the file as read; empty when there was none
};

// Start-up: reads the file once; for each container of each plugin, enabled flag and setting
// values (defaults: enabled, and the values the description gave).
PreferencesFile ReadPreferences(PluginTable& table, const std::string& path);
// The whole file's bytes for the current state of `table`, followed by what `kept` (the file as
// start-up read it) holds for plugins that did not load this time: its "InstalledPlugins" keys
// and groups that no loaded container owns, unchanged and in their old order.
std::string PreferencesBytes(const PluginTable& table, const PreferencesDocument& kept = {});
