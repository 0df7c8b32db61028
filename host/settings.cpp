#include "host/settings.h"

#include "core/integer_text.h"
#include "host/host_text.h"
#include "host/shared_properties.h"

namespace {

bool IsColourPart(const std::string& name) {
  return name.find(":Color") != std::string::npos || name.find(":Picker") != std::string::npos;
}

std::int64_t NumberAfterColon(const std::string& name) {
  return core::ReadIntegerText(NameSuffix(name));
}

void Publish(const OptionContainer& container, ControlId control, std::int64_t value, bool apply) {
  const std::string* property = container.propertyNames.Find(std::to_string(control));
  if (!property || property->empty()) return;
  os::SetProp(container.ideHandle, *property, apply ? static_cast<std::intptr_t>(value) : 0);
}

// The plugin reloads its settings when the update date changes, so every store must change it:
// two stores within one millisecond would otherwise publish the same value and the second
// change would go unnoticed. The stamp is the clock, or one more than the last stamp.
void StampUpdateDate(os::Window ideHandle) {
  const std::string name = UpdateDateProperty(ideHandle);
  std::intptr_t stamp = static_cast<std::intptr_t>(os::MillisecondClock());
  const std::intptr_t previous = os::GetProp(ideHandle, name);
  if (stamp <= previous) stamp = previous + 1;
  os::SetProp(ideHandle, name, stamp);
}

}  // namespace

std::vector<std::string> SplitItems(const std::string& items) {
  std::vector<std::string> fields;
  if (items.empty()) return fields;
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = items.find(',', start);
    fields.push_back(
        items.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return fields;
}

void SaveOption(SettingsState& state, OptionContainer& container, ControlId control, bool apply) {
  HostGui& gui = state.gui;
  const std::string name = container.controlNames.Get(std::to_string(control));
  const std::string key = SettingKey(name);
  const ControlKind kind = gui.KindOf(control);
  switch (kind) {
    case ControlKind::kCheckBox:
    case ControlKind::kSpin:
    case ControlKind::kOption:
    case ControlKind::kString:
    case ControlKind::kCanvas:
    case ControlKind::kComboBox:
      break;
    default:
      return;  // not a setting: not even the update date
  }
  StampUpdateDate(container.ideHandle);
  const std::int64_t controlState = gui.GetState(control);
  switch (kind) {
    case ControlKind::kCheckBox:
    case ControlKind::kSpin:
      container.values[name] = controlState;
      Publish(container, control, controlState, apply);
      break;
    case ControlKind::kOption:
      if (controlState != 0) {
        std::int64_t value = NumberAfterColon(name);
        container.values[key] = value;
        Publish(container, control, value, apply);
      }
      break;
    case ControlKind::kString:
    case ControlKind::kCanvas:
      if (IsColourPart(name)) {
        const ControlId field = container.controls.Get(key + ":Color");
        const std::int64_t colour = field ? core::ReadIntegerText("$" + gui.GetText(field)) : 0;
        container.values[key] = colour;
        if (ControlId swatch = container.controls.Get(key + ":Picker"))
          gui.FillColor(swatch, std::uint32_t(colour) & 0xFFFFFF);
        Publish(container, control, colour, apply);
      }
      break;
    case ControlKind::kComboBox:
      if (controlState >= 0) {
        const std::vector<std::string> fields = SplitItems(container.items.Get(name));
        const std::size_t field =
            std::size_t(controlState) * 2 + 1;  // field 2 x state + 2, 1-based
        const std::int64_t value = field < fields.size() ? ReadRoundedNumber(fields[field]) : 0;
        container.values[name] = value;
        Publish(container, control, value, apply);
      }
      break;
    default:
      break;
  }
}

void BuildPluginUi(SettingsState& state, PluginEntry& plugin) {
  HostGui& gui = state.gui;
  gui.LoadMiniFont();
  for (OptionContainer& container : plugin.containers) {
    container.containerControl = gui.FindControl(container.name);
    gui.AddRow(container.title, container.enabled != 0);
    state.rows.push_back(&container);
    for (auto& [name, controlNumber] : container.controls) {
      const ControlId control = gui.FindControl(name);
      controlNumber = control;
      if (control == 0) continue;  // a name on an element without a control
      state.owners[control] = &container;
      gui.EnableControl(control, container.enabled != 0);
      if (const std::string tooltip = container.tooltips.Get(name); !tooltip.empty())
        gui.SetTooltip(control, tooltip);
      if (const std::string font = container.fonts.Get(name); !font.empty())
        gui.SetFont(control, font);
      const std::string key = SettingKey(name);
      container.controlNames[std::to_string(control)] = name;
      container.propertyNames[std::to_string(control)] =
          SettingProperty(container.ideHandle, container.name, key);
      const bool enabled = container.enabled != 0;
      switch (gui.KindOf(control)) {
        case ControlKind::kCheckBox:
        case ControlKind::kSpin:
          gui.SetState(control, container.values.Get(name));
          SaveOption(state, container, control, enabled);
          break;
        case ControlKind::kOption:
          if (container.values.Get(key) == NumberAfterColon(name)) {
            gui.SetState(control, 1);
            SaveOption(state, container, control, enabled);
          }
          break;
        case ControlKind::kString:
        case ControlKind::kCanvas:
          if (IsColourPart(name)) {
            const ControlId field = container.controls.Get(key + ":Color");
            const ControlId swatch = container.controls.Get(key + ":Picker");
            if (field && swatch) {  // the pair's second member
              gui.SetText(field, UpperHexPadded(container.values.Get(key), 6));
              SaveOption(state, container, field, enabled);
            }
          }
          break;
        case ControlKind::kComboBox: {
          const std::vector<std::string> fields = SplitItems(container.items.Get(name));
          const std::int64_t stored = container.values.Get(name);
          int selected = -1, index = 0;
          for (std::size_t k = 0; k < fields.size(); k += 2, ++index) {
            gui.AddItem(control, fields[k]);
            if (k + 1 < fields.size() && core::ReadIntegerText(fields[k + 1]) == stored)
              selected = index;
          }
          // No item carries the stored value: none is shown, and the value stays as stored.
          gui.SetState(control, selected);
          SaveOption(state, container, control, enabled);
          break;
        }
        default:
          break;
      }
    }
  }
}

int ChangeToolGadgets(SettingsState& state) {
  HostGui& gui = state.gui;
  const ControlId control = gui.EventControl();
  if (control == kToolLogs) return 0;
  auto owner = state.owners.find(control);
  if (owner == state.owners.end()) return 0;
  OptionContainer& container = *owner->second;
  const std::string name = container.controlNames.Get(std::to_string(control));
  if (name.empty()) return 0;
  if (name.find(":Picker") != std::string::npos && gui.EventType() == 0) {
    const std::string key = SettingKey(name);
    const std::int64_t chosen = gui.PickColor(container.values.Get(key));
    const ControlId field = container.controls.Get(key + ":Color");
    if (chosen != -1 && field) gui.SetText(field, UpperHexPadded(chosen, 6));
  }
  SaveOption(state, container, control, true);
  return 0;
}

int ChangeToolListIcon(SettingsState& state) {
  HostGui& gui = state.gui;
  const int selected = gui.SelectedRow();
  const int count = gui.RowCount();
  for (int row = 0; row < count && row < int(state.rows.size()); ++row) {
    OptionContainer& container = *state.rows[row];
    if (container.containerControl) gui.ShowControl(container.containerControl, row == selected);
    const bool ticked = gui.IsRowChecked(row);
    if (ticked == (container.enabled != 0)) continue;
    container.enabled = ticked ? 1 : 0;
    for (auto& [name, control] : container.controls) {
      (void)name;
      if (control == 0) continue;
      gui.EnableControl(control, ticked);
      SaveOption(state, container, control, ticked);
    }
  }
  return 0;
}
