#include "core/property_names.h"

namespace core {
namespace {

std::string PrefixPlus(std::int64_t handle, std::string_view suffix) {
  std::string name;
  name.reserve(17 + suffix.size());
  AppendPropertyPrefix(name, handle);
  name.append(suffix);
  return name;
}

}  // namespace

void AppendPropertyPrefix(std::string& out, std::int64_t handle) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::uint64_t bits = static_cast<std::uint64_t>(handle);
  char buffer[16];
  int count = 0;
  do {
    buffer[count++] = kDigits[bits & 0xF];
    bits >>= 4;
  } while (bits != 0);
  while (count > 0) out.push_back(buffer[--count]);
}

std::string PropertyPrefix(std::int64_t handle) { return PrefixPlus(handle, {}); }

std::string ProcessIdPropertyName(std::int64_t handle) {
  return PrefixPlus(handle, ".Plugin.ProcessId");
}
std::string ToolPropertyName(std::int64_t handle) { return PrefixPlus(handle, ".Plugin.Tool"); }
std::string UpdateDatePropertyName(std::int64_t handle) {
  return PrefixPlus(handle, ".Plugin.UpdateDate");
}
std::string SciPropertyName(std::int64_t handle) { return PrefixPlus(handle, ".Plugin.Sci"); }
std::string LineToFormatPropertyName(std::int64_t handle) {
  return PrefixPlus(handle, ".Plugin.LineToFormat");
}

void BuildSettingPropertyName(std::string& out, std::int64_t handle, std::string_view group,
                              std::string_view key) {
  out.clear();
  AppendPropertyPrefix(out, handle);
  out.append(".Settings.");
  out.append(group);
  out.push_back('.');
  out.append(key);
  out.append(".Value");
}

std::string SettingPropertyName(std::int64_t handle, std::string_view group, std::string_view key) {
  std::string name;
  name.reserve(17 + 16 + group.size() + key.size());
  BuildSettingPropertyName(name, handle, group, key);
  return name;
}

}  // namespace core
