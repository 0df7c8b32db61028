#include "host/preferences.h"

#include "core/ascii.h"
#include "core/utf.h"
#include "host/host_text.h"

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";
const char kInstalledPlugins[] = "InstalledPlugins";

std::string TrimBlanks(const std::string& text) {
  std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

const PreferencesDocument::Group* FindGroup(const PreferencesDocument& document, const std::string& name) {
  for (const auto& group : document.groups)
    if (core::EqualsIgnoreCase(group.name, name)) return &group;
  return nullptr;
}

PreferencesDocument::Group* FindGroup(PreferencesDocument& document, const std::string& name) {
  for (auto& group : document.groups)
    if (core::EqualsIgnoreCase(group.name, name)) return &group;
  return nullptr;
}

}  // namespace

PreferencesDocument ParsePreferences(const std::string& bytes) {
  std::string text;
  if (bytes.compare(0, 3, kByteOrderMark) == 0) {
    text = bytes.substr(3);
  } else {
    text = core::Latin1ToUtf8(bytes);
  }
  PreferencesDocument document;
  PreferencesDocument::Group* current = nullptr;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == ';') continue;
    if (line[first] == '[') {
      std::size_t close = line.find(']', first + 1);
      std::string name = line.substr(first + 1, close == std::string::npos ? std::string::npos : close - first - 1);
      document.groups.push_back({name, {}});
      current = &document.groups.back();
      continue;
    }
    std::size_t equals = line.find('=', first);
    if (equals == std::string::npos) continue;  // not a key line
    if (!current) {
      document.groups.push_back({"", {}});  // keys before any group belong to the unnamed group
      current = &document.groups.back();
    }
    current->keys.emplace_back(TrimBlanks(line.substr(first, equals - first)), TrimBlanks(line.substr(equals + 1)));
  }
  return document;
}

std::int64_t ReadPreference(const PreferencesDocument& document, const std::string& group,
                            const std::string& key, std::int64_t fallback) {
  const PreferencesDocument::Group* found = FindGroup(document, group);
  if (!found) return fallback;
  for (const auto& [name, value] : found->keys)
    if (core::EqualsIgnoreCase(name, key)) return ReadDecimalText(value);
  return fallback;
}

void PreferencesWriter::Write(const std::string& group, const std::string& key, std::int64_t value) {
  PreferencesDocument::Group* target = FindGroup(document_, group);
  if (!target) {
    document_.groups.push_back({group, {}});
    target = &document_.groups.back();
  }
  std::string text = std::to_string(value);
  for (auto& [name, existing] : target->keys) {
    if (core::EqualsIgnoreCase(name, key)) {
      existing = text;
      return;
    }
  }
  target->keys.emplace_back(key, text);
}

std::string PreferencesWriter::Bytes() const {
  std::string bytes = kByteOrderMark;
  bytes += "\r\n";
  bool first = true;
  for (const auto& group : document_.groups) {
    if (!first) bytes += "\r\n";
    first = false;
    bytes += "[" + group.name + "]\r\n";
    for (const auto& [key, value] : group.keys) bytes += key + " = " + value + "\r\n";
  }
  return bytes;
}

std::string PreferencesPath(const std::string& executablePath) {
  std::string path;
  for (std::size_t i = 0; i < executablePath.size();) {
    if (executablePath.compare(i, 4, ".exe") == 0) {
      path += ".ini";
      i += 4;
    } else {
      path += executablePath[i++];
    }
  }
  return path;
}

void ReadPreferences(PluginTable& table, const std::string& path) {
  for (PluginEntry& plugin : table.entries) {
    for (OptionContainer& container : plugin.containers) {
      container.enabled = 1;
      std::string bytes;
      if (!os::ReadWholeFile(path, &bytes)) continue;
      PreferencesDocument document = ParsePreferences(bytes);
      container.enabled = ReadPreference(document, kInstalledPlugins, container.name, container.enabled) != 0;
      for (const auto& [controlName, control] : container.controls) {
        (void)control;
        std::string key = SettingKey(controlName);
        container.values[key] = ReadPreference(document, container.name, key, container.values.Get(key, 0));
      }
    }
  }
}

std::string PreferencesBytes(const PluginTable& table) {
  PreferencesWriter writer;
  for (const PluginEntry& plugin : table.entries) {
    for (const OptionContainer& container : plugin.containers) {
      writer.Write(kInstalledPlugins, container.name, container.enabled ? 1 : 0);
      for (const auto& [controlName, control] : container.controls) {
        (void)control;
        if (controlName.find("gadgetWithoutName") != std::string::npos) continue;
        std::string key = SettingKey(controlName);
        writer.Write(container.name, key, container.values.Get(key, 0));
      }
    }
  }
  return writer.Bytes();
}

bool WritePreferences(const PluginTable& table, const std::string& path) {
  return os::ReplaceFile(path, PreferencesBytes(table));
}
