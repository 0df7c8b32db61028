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

const PreferencesDocument::Group* FindGroup(const PreferencesDocument& document,
                                            const std::string& name) {
  for (const auto& group : document.groups)
    if (core::EqualsIgnoreCase(group.name, name)) return &group;
  return nullptr;
}

PreferencesDocument::Group* FindGroup(PreferencesDocument& document, const std::string& name) {
  for (auto& group : document.groups)
    if (core::EqualsIgnoreCase(group.name, name)) return &group;
  return nullptr;
}

// The file's text in UTF-8. Windows editors save "Unicode" as UTF-16 with a byte-order mark;
// read as ISO-8859-1 it would match no key and every setting would fall back to its default.
std::string DecodePreferences(const std::string& bytes) {
  if (bytes.compare(0, 3, kByteOrderMark) == 0) return bytes.substr(3);
  const bool littleEndian = bytes.compare(0, 2, "\xFF\xFE") == 0;
  if (!littleEndian && bytes.compare(0, 2, "\xFE\xFF") != 0) return core::Latin1ToUtf8(bytes);
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {  // an odd last byte is no character
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    text += static_cast<char16_t>(littleEndian ? first | second << 8 : first << 8 | second);
  }
  return core::Utf16ToUtf8(text);
}

bool OwnedByAContainer(const PluginTable& table, const std::string& name) {
  for (const PluginEntry& plugin : table.entries)
    for (const OptionContainer& container : plugin.containers)
      if (core::EqualsIgnoreCase(container.name, name)) return true;
  return false;
}

}  // namespace

PreferencesDocument ParsePreferences(const std::string& bytes) {
  const std::string text = DecodePreferences(bytes);
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
      std::string name = line.substr(
          first + 1, close == std::string::npos ? std::string::npos : close - first - 1);
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
    current->keys.emplace_back(TrimBlanks(line.substr(first, equals - first)),
                               TrimBlanks(line.substr(equals + 1)));
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

void PreferencesWriter::Write(const std::string& group, const std::string& key,
                              std::int64_t value) {
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

void PreferencesWriter::Keep(const std::string& group, const std::string& key,
                             const std::string& text) {
  PreferencesDocument::Group* target = FindGroup(document_, group);
  if (!target) {
    document_.groups.push_back({group, {}});
    target = &document_.groups.back();
  }
  for (const auto& [name, existing] : target->keys) {
    (void)existing;
    if (core::EqualsIgnoreCase(name, key)) return;  // the first one is the one read
  }
  target->keys.emplace_back(key, text);
}

void PreferencesWriter::KeepGroup(const PreferencesDocument::Group& group) {
  document_.groups.push_back(group);
}

// Names that the reader gives back as they were written. A plugin's fragment may name a control
// "[x]" or "a=b": written as it is, such a key line would read back as a group header or as
// another key, and the keys below it would land in the wrong group.
bool ReadsBackAsKey(const std::string& key) {
  return key.find_first_of("=\n") == std::string::npos && TrimBlanks(key) == key &&
         (key.empty() || (key[0] != ';' && key[0] != '['));
}

bool ReadsBackAsGroup(const std::string& name) {
  return name.find_first_of("]\n") == std::string::npos;
}

std::string PreferencesWriter::Bytes() const {
  std::string bytes = kByteOrderMark;
  bytes += "\r\n";
  bool first = true;
  for (const auto& group : document_.groups) {
    if (!ReadsBackAsGroup(group.name)) continue;  // with its keys: they would join the group above
    if (!first) bytes += "\r\n";
    first = false;
    bytes += "[" + group.name + "]\r\n";
    for (const auto& [key, value] : group.keys)
      if (ReadsBackAsKey(key)) bytes += key + " = " + value + "\r\n";
  }
  return bytes;
}

std::string PreferencesPath(const std::string& executablePath) {
  const std::size_t size = executablePath.size();
  if (size >= 4 &&
      core::EqualsIgnoreCase(std::string_view(executablePath).substr(size - 4), ".exe"))
    return executablePath.substr(0, size - 4) + ".ini";
  return executablePath + ".ini";
}

PreferencesFile ReadPreferences(PluginTable& table, const std::string& path) {
  PreferencesFile file;
  file.path = path;
  std::string bytes;
  os::FileError error;
  if (os::ReadWholeFile(path, &bytes, &error)) {
    file.document = ParsePreferences(bytes);
  } else if (!error.notFound) {
    file.readable = false;
    file.readError = error.reason;
  }
  for (PluginEntry& plugin : table.entries) {
    for (OptionContainer& container : plugin.containers) {
      container.enabled = ReadPreference(file.document, kInstalledPlugins, container.name, 1) != 0;
      for (const auto& [controlName, control] : container.controls) {
        (void)control;
        std::string key = SettingKey(controlName);
        container.values[key] =
            ReadPreference(file.document, container.name, key, container.values.Get(key, 0));
      }
    }
  }
  return file;
}

std::string PreferencesBytes(const PluginTable& table, const PreferencesDocument& kept) {
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
  // Keys of a loaded container's group that none of its controls writes (a setting that another
  // version of the plugin has) stay, after the container's own keys. Only the first group of a
  // name is ever read, so only its keys are kept.
  std::vector<std::string> ownedSeen;
  for (const auto& group : kept.groups) {
    if (group.name.empty() || core::EqualsIgnoreCase(group.name, kInstalledPlugins) ||
        !OwnedByAContainer(table, group.name))
      continue;
    bool seen = false;
    for (const std::string& name : ownedSeen)
      seen = seen || core::EqualsIgnoreCase(name, group.name);
    if (seen) continue;
    ownedSeen.push_back(group.name);
    for (const auto& [key, value] : group.keys) writer.Keep(group.name, key, value);
  }
  for (const auto& group : kept.groups) {
    if (!core::EqualsIgnoreCase(group.name, kInstalledPlugins)) continue;
    for (const auto& [key, value] : group.keys)
      if (!OwnedByAContainer(table, key)) writer.Keep(kInstalledPlugins, key, value);
  }
  // Keys before the first group belong to none and are read by nobody: they are not kept.
  for (const auto& group : kept.groups)
    if (!group.name.empty() && !core::EqualsIgnoreCase(group.name, kInstalledPlugins) &&
        !OwnedByAContainer(table, group.name))
      writer.KeepGroup(group);
  return writer.Bytes();
}
