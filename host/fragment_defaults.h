// The settings a plugin's fragment declares, at the values a first-run host publishes: the
// fragment is tagged, spliced into the host's window text, parsed and walked with the host's
// own code. Tools that run the plugin without a host (zentrel-replay, zentrel-format) use it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DefaultSetting {
  std::string group;  // the container's name
  std::string key;    // the setting key
  std::int64_t value;
};

// In document order; empty when the fragment does not parse within the host's window text.
std::vector<DefaultSetting> ReadFragmentDefaults(const std::string& fragmentUtf8);
