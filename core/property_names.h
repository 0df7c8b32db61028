// Names of the shared window properties on the IDE main window. Every name starts with the
// property prefix: the IDE handle in upper-case hexadecimal, without leading zeros or any mark.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace core {

// A window handle as the signed 64-bit integer the prefix is built from, whatever the word size.
inline std::int64_t HandleValue(const void* window) noexcept {
  return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(window));
}

// "0" for zero; a negative handle appears as its 16-digit two's complement.
std::string PropertyPrefix(std::int64_t handle);
// Appends the prefix to `out`, for callers that reuse one buffer.
void AppendPropertyPrefix(std::string& out, std::int64_t handle);

std::string ProcessIdPropertyName(std::int64_t handle);     // prefix + ".Plugin.ProcessId"
std::string ToolPropertyName(std::int64_t handle);          // prefix + ".Plugin.Tool"
std::string UpdateDatePropertyName(std::int64_t handle);    // prefix + ".Plugin.UpdateDate"
std::string SciPropertyName(std::int64_t handle);           // prefix + ".Plugin.Sci"
std::string LineToFormatPropertyName(std::int64_t handle);  // prefix + ".Plugin.LineToFormat"
// prefix + ".Settings." + group + "." + key + ".Value"
std::string SettingPropertyName(std::int64_t handle, std::string_view group, std::string_view key);
// The same into a reused buffer (cleared first).
void BuildSettingPropertyName(std::string& out, std::int64_t handle, std::string_view group,
                              std::string_view key);

}  // namespace core
