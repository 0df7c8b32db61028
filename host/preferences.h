// The preferences file beside the host executable: which option containers are enabled and the
// value of every setting. Read once per container at start-up, rewritten once at shutdown.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "host/plugin_registry.h"

// The parsed text of a preferences file (UTF-8 inside; a file without byte-order mark is read as
// ISO-8859-1). Groups and keys in file order; lookups ignore case and take the first match.
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
class PreferencesWriter {
 public:
  void Write(const std::string& group, const std::string& key, std::int64_t value);
  std::string Bytes() const;

 private:
  PreferencesDocument document_;
};

// ".exe" (exact case) replaced by ".ini" everywhere in the executable's path.
std::string PreferencesPath(const std::string& executablePath);

// Start-up: for each container of each plugin, enabled flag and setting values from `path`
// (defaults: enabled, and the values the description gave).
void ReadPreferences(PluginTable& table, const std::string& path);
// The whole file's bytes for the current state of `table`.
std::string PreferencesBytes(const PluginTable& table);
// Shutdown: replaces the file atomically; false when it could not be written (the old file
// then stays as it was).
bool WritePreferences(const PluginTable& table, const std::string& path);
