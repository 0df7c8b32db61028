#include "host/dialog_tree.h"

#include <cmath>

#include "core/integer_text.h"

std::int64_t ReadValueAttribute(const dialog::RuntimeNameTable& names, const std::string& text) {
  std::int64_t exact = 0;
  if (!dialog::LookupRuntimeInteger(names, text, &exact)) exact = core::ReadIntegerText(text);
  float single = static_cast<float>(exact);
  // 2^63 is the first float beyond the range; it and everything above saturate.
  if (single >= 9.2233720368547758e18f) return INT64_MAX;
  if (single <= -9.2233720368547758e18f) return INT64_MIN;
  return static_cast<std::int64_t>(std::nearbyint(single));
}

void ReadDialogTree(DialogTreeWalk& walk, dialog::Element& node) {
  for (auto& child : node.children) {
    dialog::Element& element = *child;
    std::string name = dialog::GetAttribute(element, "name");
    const std::string title = dialog::GetAttribute(element, "title");
    const std::string items = dialog::GetAttribute(element, "items");
    const std::string tooltip = dialog::GetAttribute(element, "tooltip");
    const std::string font = dialog::GetAttribute(element, "font");
    const std::string value = dialog::GetAttribute(element, "value");

    if (name.empty() && (!tooltip.empty() || !font.empty())) {
      name = "gadgetWithoutName" + std::to_string(++walk.generatedNameCounter);
      dialog::SetAttribute(element, "name", name);
    }
    if (!name.empty()) {
      if (element.name == "container") {
        std::int64_t library = core::ReadIntegerText(dialog::GetAttribute(element, "library"));
        std::int64_t ide = core::ReadIntegerText(dialog::GetAttribute(element, "ide"));
        if (library != 0) {
          // A library naming no loaded plugin leaves the container unusable: nothing to fill.
          PluginEntry* plugin =
              library > 0 && library <= INT32_MAX ? walk.table.Find(int(library)) : nullptr;
          if (plugin) {
            OptionContainer& container = plugin->containers.emplace_back();
            container.ideHandle = reinterpret_cast<os::Window>(static_cast<std::intptr_t>(ide));
            container.name = name;
            container.title = title;
            plugin->currentContainer = int(plugin->containers.size()) - 1;
            walk.current = &container;
          } else {
            walk.current = nullptr;
          }
        }
      } else if (walk.current) {
        OptionContainer& container = *walk.current;
        container.controls[name] = 0;
        container.items[name] = items;
        container.tooltips[name] = tooltip;
        container.fonts[name] = font;
        const std::size_t colon = name.find(':');
        const std::int64_t initial = ReadValueAttribute(walk.names, value);
        if (colon == std::string::npos) {
          container.values[name] = initial;
        } else {
          const std::string key = name.substr(0, colon);
          const std::string suffix = name.substr(colon + 1);
          if (suffix == "Color") {
            container.values[key] = initial;
          } else if (suffix == "Picker") {
            // the swatch shares the colour field's setting
          } else if (initial != 0) {
            container.values[key] = core::ReadIntegerText(suffix);
          }
        }
      }
    }
    if (!element.children.empty()) ReadDialogTree(walk, element);
  }
}
