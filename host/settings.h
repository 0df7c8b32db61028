// The settings window's behaviour: filling the plugin controls, storing every change as a
// setting value and IDE window property, and the Installed Plugins list's ticks and selection.
#pragma once

#include <map>
#include <vector>

#include "host/host_gui.h"
#include "host/plugin_registry.h"

struct SettingsState {
  HostGui& gui;
  std::vector<OptionContainer*> rows;            // row data of the Installed Plugins list
  std::map<ControlId, OptionContainer*> owners;  // control -> its container (plugin controls only)
};

// One list row per container, control lookup, tooltips, fonts, initial states, and every
// setting published.
void BuildPluginUi(SettingsState& state, PluginEntry& plugin);
// Stores one control's value by its kind and publishes it (0 when `apply` is off), stamping the
// update date first; kinds without a setting store nothing.
void SaveOption(SettingsState& state, OptionContainer& container, ControlId control, bool apply);
// #ToolEvent_Gadget: a plugin control's event (the colour chooser on a left click of a swatch).
int ChangeToolGadgets(SettingsState& state);
// Shows only the selected row's container; a changed tick enables or disables the container's
// controls and rewrites all its properties.
int ChangeToolListIcon(SettingsState& state);

// Fields of an `items` text split at ","; an empty text has no fields.
std::vector<std::string> SplitItems(const std::string& items);
