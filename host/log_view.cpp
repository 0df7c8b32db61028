#include "host/log_view.h"

#include <cstdlib>

#include "core/property_names.h"

namespace {

struct LogMode {
  int option;
  const char* debugMode;  // null: the host's own window listing
  TabStops tabStops;
};

// Tested in this order; the first selected one gives the text.
const LogMode kLogModes[] = {
    {kToolDebugProp, "Props", {}},
    {kToolDebugSci, "Scintilla", {}},
    {kToolDebugStyles, "Styles", {45, 150, 255, 295, 335}},
    {kToolDebugIndicators, "Indicators", {60, 165}},
    {kToolDebugControls, nullptr, {120, 170}},
};

std::string ReplaceLineBreaks(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += "..";
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

// Length in UTF-16 units, as the editor counts characters.
long long Utf16Length(const std::string& text) {
  long long units = 0;
  for (unsigned char byte : text) {
    if ((byte & 0xC0) != 0x80) ++units;  // a lead byte starts a character
    if (byte >= 0xF0) ++units;           // beyond the BMP: a surrogate pair
  }
  return units;
}

}  // namespace

std::string ListProperties(os::Window window) {
  std::string text;
  for (const os::PropertyEntry& property : os::EnumProps(window))
    text += "\t" + property.name + " = " + std::to_string(static_cast<long long>(property.value)) +
            "\n";
  return text;
}

std::string ListControls(os::Window window) {
  std::string text;
  for (os::Window child : os::EnumChildWindows(window)) {
    text += os::GetClassName(child, 255) + " = " + core::PropertyPrefix(core::HandleValue(child));
    const std::string properties = ListProperties(child);
    const std::string title = os::GetWindowText(child, 255);
    text += properties;
    if (!title.empty()) text += "\tTitle = " + ReplaceLineBreaks(title) + "\n";
    if (properties.empty() && title.empty()) text += "\n";
    text += "\n";
  }
  return text;
}

int RefreshToolLogs(LogView& view, HostGui& gui) {
  if (!gui.IsToolWindowVisible()) return 0;
  TabStops tabStops{};
  std::string text;
  if (view.source) {
    for (const LogMode& mode : kLogModes) {
      if (gui.GetState(mode.option) == 0) continue;
      tabStops = mode.tabStops;
      text = mode.debugMode ? RetrievePluginDebugText(*view.source, mode.debugMode)
                            : ListControls(view.source->ideHandle);
      break;
    }
  }
  if (text.empty() || text == view.lastText) return 0;
  const long long difference = Utf16Length(view.lastText) - Utf16Length(text);
  if (std::llabs(difference) < 50) view.saved = gui.GetLogScroll();
  gui.SetLogTabStops(tabStops);
  gui.SetLogText(text);
  view.lastText = text;
  gui.SetLogScroll(view.saved);
  return 0;
}
