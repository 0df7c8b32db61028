// The plugin's frame: global state and its view of the shared window properties.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "plugin/hook_context.h"

// The integer value of an option published by the host (0 when absent or disabled).
std::int64_t GetPluginSetting(const HookContext& context, const char* group, const char* option);

void SetupCallContext(HookContext& context, os::Window window, std::uint32_t message,
                      os::WParam wParam, os::LParam lParam);

// Brings the property snapshot up to date, copies it into `target`, returns its size.
std::size_t RefreshPropertySnapshot(const HookContext& context,
                                    std::map<std::string, std::int64_t>& target);
