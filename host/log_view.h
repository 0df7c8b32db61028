// The "Logs" tab: a live view of the IDE, refreshed on the window timer while the window shows.
#pragma once

#include <string>

#include "host/host_gui.h"
#include "host/plugin_registry.h"

struct LogView {
  const PluginEntry* source = nullptr;  // the first plugin of the table; null without plugins
  std::string lastText;
  ScrollPosition saved;
};

// One refresh: the text of the first selected mode; an empty or unchanged text leaves the
// editor as it is; a small change keeps the reader's scroll position.
int RefreshToolLogs(LogView& view, HostGui& gui);

// Every descendant window: class = handle, its properties, its title, an empty line after each.
std::string ListControls(os::Window window);
// "\t" + name + " = " + value + "\n" per property, in the system's order.
std::string ListProperties(os::Window window);
