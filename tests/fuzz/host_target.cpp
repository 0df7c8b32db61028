// The host-inputs target: a plugin's settings fragment and a preferences file through the host's
// whole start-up and shutdown (splice, parse, tree walk, the dialog engine on the fake toolkit,
// preferences read, settings published, preferences written), on the simulated OS.
//
// Input: one byte of flags (fragment in UTF-16 or UTF-8, preferences file present or not), the
// fragment (two-byte length, then its bytes), then the preferences file's bytes.
// Invariants: the host ends; a fragment is either built or rejected with one of the host's error
// texts, shown once; a preferences file read and written back keeps every value it held.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>

#include "core/ascii.h"
#include "core/utf.h"
#include "host/dialog/dialog.h"
#include "host/dialog/fake_toolkit.h"
#include "host/preferences.h"
#include "host/tool_host.h"
#include "os/sim/sim.h"
#include "targets.h"
#include "tests/host/fake_host_gui.h"

namespace fuzz {
namespace {

std::u16string g_fragment;
const char16_t* FuzzFragment() { return g_fragment.c_str(); }

// The window system of the fake GUI, with the real dialog engine behind the tool window.
class EngineHostGui : public FakeHostGui {
 public:
  bool OpenToolWindow(dialog::Document& description, const dialog::RuntimeNameTable& names,
                      std::string* error) override {
    dialog::OpenWindowOptions options;
    options.keepHidden = true;
    if (!dialog::OpenWindow(window, toolkit, *description.root, names, options)) {
      engineError = window.error;
      *error = window.error;
      return false;
    }
    // The user resizes the window, smaller and larger than it asked for.
    dialog::Relayout(window, 1, 1);
    dialog::Relayout(window, 4000, 3000);
    return FakeHostGui::OpenToolWindow(description, names, error);
  }
  dialog::FakeToolkit toolkit;
  dialog::Dialog window;
  std::string engineError;
};

// The dialog engine's error texts, as patterns.
bool IsEngineError(const std::string& text) {
  static const std::regex patterns(
      "Dialog window not found"
      "|'[\\s\\S]*' flag is not supported for the following gadget: [a-z]+"
      "|'[\\s\\S]*' is not supported for the following gadget: [a-z]+"
      "|'[\\s\\S]*' is not a runtime procedure\\."
      "|'[a-z]+' has more than 100 children"
      "|'gridbox' has more than 15 columns or 70 rows"
      "|Description nested deeper than 256 levels");
  if (std::regex_match(text, patterns)) return true;
  // A text cut at its 511 characters lost its end: it begins as a quoted name does.
  std::size_t characters = 0;
  for (unsigned char c : text) characters += (c & 0xC0) != 0x80;
  return characters == dialog::kMaxErrorLength && text[0] == '\'';
}

// The host's folder: in memory where the machine has such a file system, since the host
// writes its preferences file with fsync, once per input.
const std::string& Folder() {
  static const std::string folder = [] {
    std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    pattern += "/vorpex-fuzz-host-XXXXXX";
    const char* made = mkdtemp(pattern.data());
    const std::string path = made ? made : "/tmp";
    std::ofstream(path + "/Fuzz.dll") << "MZ";
    return path;
  }();
  return folder;
}

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Every value a lookup finds in `before` (first group and first key of each name, groups with a
// name) must read the same in `after`; the plugin list's values are flags, compared as such.
std::string CompareValues(const PreferencesDocument& before, const PreferencesDocument& after) {
  std::vector<std::string> seenGroups;
  for (const auto& group : before.groups) {
    if (group.name.empty()) continue;
    bool seen = false;
    for (const std::string& name : seenGroups)
      seen = seen || core::EqualsIgnoreCase(name, group.name);
    if (seen) continue;
    seenGroups.push_back(group.name);
    const bool flags = core::EqualsIgnoreCase(group.name, "InstalledPlugins");
    std::vector<std::string> seenKeys;
    for (const auto& [key, text] : group.keys) {
      (void)text;
      bool keySeen = false;
      for (const std::string& name : seenKeys)
        keySeen = keySeen || core::EqualsIgnoreCase(name, key);
      if (keySeen) continue;
      seenKeys.push_back(key);
      const std::int64_t was = ReadPreference(before, group.name, key, 0);
      const std::int64_t missing = INT64_MIN + 7;
      const std::int64_t is = ReadPreference(after, group.name, key, missing);
      if (is == missing)
        return "[" + group.name + "] " + key + " was lost (it held " + std::to_string(was) + ")";
      if (flags ? (was != 0) != (is != 0) : was != is)
        return "[" + group.name + "] " + key + " held " + std::to_string(was) + " and now reads " +
               std::to_string(is);
    }
  }
  return {};
}

}  // namespace

Outcome RunHostInput(const std::uint8_t* data, std::size_t size) {
  ByteReader in(data, size);
  const std::uint8_t flags = in.Byte();
  const std::string fragmentBytes = in.Bytes(in.Word());
  const std::string preferences = in.Rest();
  const bool wide = flags & 1;
  const bool withFile = !(flags & 2);
  if (wide) {
    g_fragment.clear();
    for (std::size_t i = 0; i + 1 < fragmentBytes.size(); i += 2)
      g_fragment += static_cast<char16_t>(static_cast<unsigned char>(fragmentBytes[i]) |
                                          static_cast<unsigned char>(fragmentBytes[i + 1]) << 8);
  } else {
    g_fragment = core::Utf8ToUtf16(fragmentBytes);
  }

  const std::string folder = Folder();
  const std::string iniPath = folder + "/toolhost.ini";
  std::remove(iniPath.c_str());
  if (withFile) std::ofstream(iniPath, std::ios::binary) << preferences;

  os::sim::Reset();
  os::sim::SetExecutablePath(folder + "/toolhost.exe");
  os::sim::RegisterLibrary(folder + "/Fuzz.dll",
                           {{"RetrievePluginXMLDialog", reinterpret_cast<void*>(&FuzzFragment)}});
  const os::Window ide = os::sim::CreateWindow({"IdeMain", nullptr, "IDE"});
  os::SetEnvironmentVariable("PB_TOOL_MainWindow",
                             std::to_string(reinterpret_cast<std::intptr_t>(ide)));

  Outcome outcome;
  outcome.units = withFile ? 2 : 1;  // the fragment, and the preferences file when there is one
  std::string broken;
  {
    EngineHostGui gui;
    ToolHost host{gui};
    RegisterHostRuntimeNames(host.names);
    const int code = RunTool(host, "Vorpex", 200, kToolWindowDescription);
    if (std::getenv("VORPEX_FUZZ_SHOW")) {
      std::fprintf(stderr, "host: exit %d, %zu messages%s%s\n", code, gui.messages.size(),
                   gui.messages.empty() ? "" : ": ",
                   gui.messages.empty() ? "" : gui.messages[0].c_str());
      std::fprintf(stderr, "preferences written:\n%s\n", ReadAll(iniPath).c_str());
    }
    if (code == 1) {
      const std::string message = gui.messages.empty() ? "" : gui.messages[0];
      if (gui.messages.size() != 1) {
        broken = std::to_string(gui.messages.size()) + " messages for one failed start";
      } else if (message.rfind("Vorpex|XML error: ", 0) == 0) {
        if (message.find(" (Line: ") == std::string::npos)
          broken = "XML error without its line: " + message;
      } else if (message.rfind("Vorpex|Dialog error: ", 0) == 0) {
        if (!IsEngineError(gui.engineError))
          broken = "the dialog engine's error is none of its texts: " + gui.engineError;
        else if (message != "Vorpex|Dialog error: " + gui.engineError.substr(0, 200))
          broken = "the message is not the engine's error: " + message;
      } else {
        broken = "a start-up failure that is no fragment's: " + message;
      }
    } else if (code != 0) {
      broken = "the host ended with " + std::to_string(code);
    } else if (!gui.messages.empty()) {
      broken = "a message without a failure: " + gui.messages[0];
    } else if (withFile) {
      const std::string written = ReadAll(iniPath);
      broken = CompareValues(ParsePreferences(preferences), ParsePreferences(written));
    }
  }
  os::sim::Reset();
  if (!broken.empty()) outcome.failure = broken;
  return outcome;
}

namespace {

const char* const kElements[] = {"container", "vbox",      "hbox",     "gridbox", "multibox",
                                 "frame",     "text",      "checkbox", "option",  "spin",
                                 "combobox",  "string",    "canvas",   "empty",   "panel",
                                 "tab",       "editor",    "listicon", "button",  "scrollarea",
                                 "singlebox", "splitter",  "window",   "dialogs", "unknown",
                                 "VBOX",      "Container", "trackbar", "image",   "calendar"};

const char* const kFlags[] = {"#PB_Container_Single",
                              "#PB_Text_Right",
                              "#PB_Spin_Numeric",
                              "#PB_Canvas_Border",
                              "#PB_String_UpperCase",
                              "#PB_Window_SystemMenu",
                              "#PB_ListIcon_CheckBoxes",
                              "#PB_Any",
                              "#PB_Container_Flat",
                              "#ToolWindow",
                              "#Nothing",
                              "PB_Text_Right",
                              "#",
                              "#pb_text_right",
                              "#PB_Frame_Double",
                              "#PB_Button_Default"};

const char* const kNumbers[] = {"0",
                                "1",
                                "5",
                                "100",
                                "-1",
                                "2147483647",
                                "2147483648",
                                "-2147483649",
                                "99999999999999999999",
                                "1e9",
                                " 12",
                                "+3",
                                "x",
                                "",
                                "#ToolWindow",
                                "#toolwindow",
                                "3.7",
                                "-0",
                                "65536"};

std::string Number(Random& random) { return kNumbers[Pick(random, std::size(kNumbers))]; }

std::string SettingName(Random& random) {
  static const char* const kNames[] = {"Check", "X",  "Colour", "Mode",           "Comma",
                                       "Math",  "a",  "Über",   "Key With Blank", "k=v",
                                       "[g]",   ";c", " lead"};
  static const char* const kSuffixes[] = {"",       "",        "",  ":0",   ":1", ":2",
                                          ":Color", ":Picker", ":", ":x:y", ":-1"};
  return std::string(kNames[Pick(random, std::size(kNames))]) +
         kSuffixes[Pick(random, std::size(kSuffixes))];
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '<')
      out += "&lt;";
    else if (c == '&')
      out += "&#38;";
    else if (c == '\'')
      out += "&apos;";
    else
      out += c;
  }
  return out;
}

std::string Attribute(Random&, const std::string& name, const std::string& value) {
  return " " + name + "='" + Escaped(value) + "'";
}

std::string Attributes(Random& random, int depth) {
  std::string out;
  const int count = static_cast<int>(Pick(random, 6));
  for (int i = 0; i < count; ++i) {
    switch (Pick(random, 22)) {
      case 0:
      case 1:
        out += Attribute(random, "name", SettingName(random));
        break;
      case 2:
        out += Attribute(random, "value", Number(random));
        break;
      case 3:
        out += Attribute(random, "width", Number(random));
        break;
      case 4:
        out += Attribute(random, "height", Number(random));
        break;
      case 5:
        out += Attribute(random, "min", Number(random));
        out += Attribute(random, "max", Number(random));
        break;
      case 6: {
        std::string flags = kFlags[Pick(random, std::size(kFlags))];
        if (Chance(random, 400))
          flags += " | " + std::string(kFlags[Pick(random, std::size(kFlags))]);
        out += Attribute(random, Chance(random, 100) ? "FLAGS" : "flags", flags);
        break;
      }
      case 7:
        out += Attribute(random, "onchange",
                         Chance(random, 500) ? "OnChangeToolGadgets()" : "Nothing()");
        break;
      case 8:
        out += Attribute(random, "margin",
                         Chance(random, 500) ? Number(random)
                                             : "top:" + Number(random) + " LEFT:" + Number(random));
        break;
      case 9:
        out +=
            Attribute(random, "expand", Chance(random, 500) ? "item:" + Number(random) : "equal");
        break;
      case 10:
        out += Attribute(random, "columns", Number(random));
        break;
      case 11:
        out += Attribute(random, "spacing", Number(random));
        break;
      case 12:
        out += Attribute(random, "items", "a|b|\xC3\xA9|" + Number(random));
        break;
      case 13:
        out += Attribute(random, "tooltip", "tip " + std::to_string(depth));
        break;
      case 14:
        out += Attribute(random, "font", Chance(random, 500) ? "Consolas" : "");
        break;
      case 15:
        out += Attribute(random, "text",
                         Chance(random, 990) ? "Caption \xE2\x82\xAC" : std::string(20000, 'w'));
        break;
      case 16:
        out += Attribute(random, "invisible", "yes");
        break;
      case 17:
        out += Attribute(random, "disabled", "YES");
        break;
      case 18:
        out += Attribute(random, "id", Number(random));
        break;
      case 19:
        out += Attribute(random, "onleftclick", "OnShowToolMenu()");
        break;
      case 20:
        out += Attribute(random, "rowexpand", "item:" + Number(random));
        break;
      default:
        out += Attribute(random, "title", "Title");
        break;
    }
  }
  return out;
}

void Element(Random& random, std::string& out, int depth, int& budget) {
  const std::string name = kElements[Pick(random, std::size(kElements))];
  out += "<" + name + Attributes(random, depth);
  if (budget <= 0 || depth > 300 || Chance(random, 350)) {
    out += "/>";
    return;
  }
  out += ">";
  // Now and then a deep chain or a wide row.
  int children = static_cast<int>(Pick(random, 4));
  if (Chance(random, 5)) children = 90 + static_cast<int>(Pick(random, 30));
  if (Chance(random, 30) || (depth > 3 && Chance(random, 900) && depth < 280)) children = 1;
  for (int i = 0; i < children && budget > 0; ++i) {
    --budget;
    Element(random, out, depth + 1, budget);
  }
  out += "</" + name + ">";
}

std::string Fragment(Random& random) {
  std::string out;
  int budget = Chance(random, 5) ? 3000 : 60;  // a huge fragment now and then
  const int containers = 1 + static_cast<int>(Pick(random, 2));
  for (int i = 0; i < containers; ++i) {
    out += "<container name='" +
           Escaped(Chance(random, 900) ? "Group" + std::to_string(i) : SettingName(random)) + "'" +
           Attributes(random, 0) + ">";
    Element(random, out, 2, budget);
    out += "</container>";
  }
  if (Chance(random, 80)) out = out.substr(0, Pick(random, out.size() + 1));  // broken XML
  if (Chance(random, 20))
    out.insert(Pick(random, out.size() + 1), "<!DOCTYPE x [<!ENTITY a 'b'>]>");
  return out;
}

std::string PreferencesText(Random& random) {
  static const char* const kGroups[] = {
      "InstalledPlugins", "installedplugins", "Group0",  "GROUP1", "Other", "",
      " Spaced ",         "Group0]x",         "\xC3\xA9"};
  static const char* const kValues[] = {
      "0", "1", "5", "-3", " 12abc", "abc", "", "99999999999999999999", "-0", "0x10", "+7", "\t9"};
  std::string text;
  const int groups = static_cast<int>(Pick(random, 6));
  if (Chance(random, 200)) text += "stray = 4\r\n";
  for (int g = 0; g < groups; ++g) {
    text += (Chance(random, 100) ? "  [" : "[") +
            std::string(kGroups[Pick(random, std::size(kGroups))]) + "]\r\n";
    const int keys = static_cast<int>(Pick(random, 8));
    for (int k = 0; k < keys; ++k) {
      if (Chance(random, 80)) text += "; comment\r\n";
      std::string key =
          Chance(random, 300) ? "Group" + std::to_string(Pick(random, 2)) : SettingName(random);
      key = key.substr(0, key.find(':'));
      text += key + (Chance(random, 500) ? " = " : "=") +
              kValues[Pick(random, std::size(kValues))] + (Chance(random, 100) ? "\n" : "\r\n");
    }
  }
  switch (Pick(random, 12)) {
    case 0:
      return text;  // without a byte-order mark: ISO-8859-1
    case 1: {
      std::string wide = "\xFF\xFE";
      for (char16_t unit : core::Utf8ToUtf16(text)) {
        wide += static_cast<char>(unit & 0xFF);
        wide += static_cast<char>(unit >> 8);
      }
      return wide;
    }
    case 2: {
      std::string wide = "\xFE\xFF";
      for (char16_t unit : core::Utf8ToUtf16(text)) {
        wide += static_cast<char>(unit >> 8);
        wide += static_cast<char>(unit & 0xFF);
      }
      return wide;
    }
    case 3: {
      std::string binary;
      for (std::size_t i = Pick(random, 300); i > 0; --i)
        binary += static_cast<char>(Pick(random, 256));
      return binary;
    }
    case 4:
      if (Chance(random, 8)) {  // a huge file: the same lines again and again
        std::string huge = "\xEF\xBB\xBF";
        while (huge.size() < 2000000) huge += text.empty() ? "[G]\r\nk = 1\r\n" : text;
        return huge;
      }
      return "\xEF\xBB\xBF" + text;
    default:
      return "\xEF\xBB\xBF" + text;
  }
}

}  // namespace

std::string GenerateHostInput(Random& random) {
  std::string input;
  const bool wide = Chance(random, 300);
  input += static_cast<char>((wide ? 1 : 0) | (Chance(random, 100) ? 2 : 0));
  std::string fragment = Fragment(random);
  if (wide) {
    std::string bytes;
    for (char16_t unit : core::Utf8ToUtf16(fragment)) {
      bytes += static_cast<char>(unit & 0xFF);
      bytes += static_cast<char>(unit >> 8);
    }
    if (Chance(random, 100)) bytes.insert(Pick(random, bytes.size() / 2 + 1) * 2, "\x00\xD8");
    fragment = bytes;
  }
  AppendText(input, fragment);
  input += PreferencesText(random);
  return input;
}

}  // namespace fuzz
