// The plugin's frame: the global state that lives as long as the library stays loaded, the
// per-call context, and the plugin's view of the shared window properties on the IDE window.

#include "plugin/plugin_frame.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/property_names.h"
#include "plugin/dispatcher.h"
#include "plugin/editor_access.h"
#include "plugin/format_schedule.h"
#include "plugin/helpers.h"

namespace {

struct CachedSetting {
  const char* group;
  const char* option;
  os::Window ideWindow;
  std::int64_t value;
};
// More than the catalogue's options: a call never fills it, and a full cache only reads again.
constexpr std::size_t kCachedSettingsPerCall = 64;

struct FrameState {
  os::Module module = nullptr;
  os::Window ideWindow = nullptr;
  os::Window toolWindow = nullptr;
  os::Window activeEditor = nullptr;
  // The last sender found to be an IDE editor, until its WM_DESTROY: its notifications need no
  // property and class lookups (each a server round trip on some systems).
  os::Window knownEditor = nullptr;
  bool ideClosingMarked = false;

  // The property prefix of the window it was built for; rebuilt only when the window changes.
  os::Window prefixWindow = nullptr;
  std::string prefix = "0";
  std::string nameBuffer;  // reused for every setting name, so a read does not allocate

  // Settings read during the current hook call (see SettingsCallScope): a property read is a
  // server round trip on some systems, and one keystroke's helpers ask for the same few
  // settings again and again.
  int settingsCallDepth = 0;
  std::size_t cachedSettingCount = 0;
  CachedSetting cachedSettings[kCachedSettingsPerCall];

  // Property snapshot (read by the debug dumps in the host's process).
  os::Window snapshotWindow = nullptr;
  std::int64_t lastUpdateStamp = 0;
  std::map<std::string, std::int64_t> snapshot;
};

FrameState g_frame;
std::uint64_t g_settingPropertyReads = 0;

const std::string& PrefixFor(os::Window window) {
  if (window != g_frame.prefixWindow || g_frame.prefix.empty()) {
    g_frame.prefix = core::PropertyPrefix(core::HandleValue(window));
    g_frame.prefixWindow = window;
  }
  return g_frame.prefix;
}

// The stamp the plugin writes with a new active editor: the clock, but never 0 and never the
// value the property already holds, or the host-side snapshot would not see the change.
std::int64_t NextUpdateStamp(os::Window ideWindow) {
  const std::int64_t current = GetPluginProperty(ideWindow, ".Plugin.UpdateDate");
  std::int64_t stamp = os::MillisecondClock();
  // The value there may be anything another process wrote: step past it, wrapping at the top.
  if (stamp == 0 || stamp == current) stamp = current == INT64_MAX ? 1 : current + 1;
  if (stamp == 0) stamp = 1;
  return stamp;
}

// The root of an IDE window is the main window only when the host has published there; an IDE
// dialog (a top-level window of its own, with PB_ID) must not be taken for it for good.
os::Window FindIdeMainWindow(os::Window window) {
  const os::Window root = FindIdeWindow(window);
  if (root == nullptr) return nullptr;
  for (const char* published : {".Plugin.ProcessId", ".Plugin.Tool", ".Plugin.UpdateDate"}) {
    if (GetPluginProperty(root, published) != 0) return root;
  }
  return nullptr;
}

void MarkIdeClosing(os::Window ideWindow) {
  if (g_frame.ideClosingMarked) return;
  g_frame.ideClosingMarked = true;
  // The host may have been restarted since the tool window was first read: take the current one.
  const std::int64_t published = GetPluginProperty(ideWindow, ".Plugin.Tool");
  if (published != 0 && published != -1) {
    g_frame.toolWindow = reinterpret_cast<os::Window>(static_cast<std::intptr_t>(published));
  }
  SetPluginProperty(ideWindow, ".Plugin.Tool", -1);
  // Minimise and restore: the host wakes up, finds the -1 and ends.
  if (g_frame.toolWindow != nullptr) {
    os::CloseWindow(g_frame.toolWindow);
    os::ShowWindow(g_frame.toolWindow, os::kSW_RESTORE);
  }
}

}  // namespace

void SetPluginModule(os::Module module) { g_frame.module = module; }
os::Module PluginModule() { return g_frame.module; }
os::Window KnownIdeWindow() { return g_frame.ideWindow; }
os::Window ActiveEditor() { return g_frame.activeEditor; }

void ResetPluginState() {
  const os::Module module = g_frame.module;
  g_frame = FrameState{};
  g_frame.module = module;
  ResetDispatcherState();
  ResetPendingFormat();
  ResetEditorOptions();
}

std::vector<os::Window> PluginEditorReferences() {
  std::vector<os::Window> editors = {g_frame.activeEditor, g_frame.knownEditor};
  AppendDispatcherEditors(editors);
  AppendPendingFormatEditors(editors);
  return editors;
}

std::string PluginPropertyName(os::Window ideWindow, const char* suffix) {
  return PrefixFor(ideWindow) + suffix;
}

std::int64_t GetPluginProperty(os::Window ideWindow, const char* suffix) {
  if (ideWindow == nullptr) return 0;
  return os::GetProp(ideWindow, PluginPropertyName(ideWindow, suffix));
}

void SetPluginProperty(os::Window ideWindow, const char* suffix, std::int64_t value) {
  if (ideWindow == nullptr) return;
  os::SetProp(ideWindow, PluginPropertyName(ideWindow, suffix), static_cast<std::intptr_t>(value));
}

namespace {

bool SameName(const char* cached, const char* wanted) {
  return cached == wanted || std::strcmp(cached, wanted) == 0;
}

CachedSetting* FindCachedSetting(os::Window ideWindow, const char* group, const char* option) {
  // The callers name settings by literals: the same pointers almost always, found without
  // comparing the text of every other entry.
  for (std::size_t i = 0; i < g_frame.cachedSettingCount; ++i) {
    CachedSetting& entry = g_frame.cachedSettings[i];
    if (entry.option == option && entry.group == group && entry.ideWindow == ideWindow)
      return &entry;
  }
  for (std::size_t i = 0; i < g_frame.cachedSettingCount; ++i) {
    CachedSetting& entry = g_frame.cachedSettings[i];
    if (entry.ideWindow == ideWindow && SameName(entry.option, option) &&
        SameName(entry.group, group))
      return &entry;
  }
  return nullptr;
}

std::int64_t ReadSettingProperty(os::Window ideWindow, const char* group, const char* option) {
  std::string& name = g_frame.nameBuffer;
  name.clear();
  name += PrefixFor(ideWindow);
  name += ".Settings.";
  name += group;
  name += '.';
  name += option;
  name += ".Value";
  ++g_settingPropertyReads;
  return os::GetProp(ideWindow, name);
}

}  // namespace

std::int64_t GetPluginSetting(const HookContext& context, const char* group, const char* option) {
  if (context.ideWindow == nullptr || group == nullptr || option == nullptr) return 0;
  if (g_frame.settingsCallDepth == 0) return ReadSettingProperty(context.ideWindow, group, option);
  if (const CachedSetting* cached = FindCachedSetting(context.ideWindow, group, option))
    return cached->value;
  const std::int64_t value = ReadSettingProperty(context.ideWindow, group, option);
  if (g_frame.cachedSettingCount < kCachedSettingsPerCall)
    g_frame.cachedSettings[g_frame.cachedSettingCount++] = {group, option, context.ideWindow,
                                                            value};
  return value;
}

std::uint64_t SettingPropertyReads() { return g_settingPropertyReads; }

SettingsCallScope::SettingsCallScope() {
  // Messages the plugin sends come back through the hook inside the outer call: they share its
  // settings, so that a thousand-line paste reads each setting once, not once per message.
  if (g_frame.settingsCallDepth++ == 0) g_frame.cachedSettingCount = 0;
}

SettingsCallScope::~SettingsCallScope() {
  if (g_frame.settingsCallDepth > 0) --g_frame.settingsCallDepth;
}

std::int64_t GetPluginSettingInRange(const HookContext& context, const char* group,
                                     const char* option, std::int64_t lowest,
                                     std::int64_t highest) {
  return std::clamp(GetPluginSetting(context, group, option), lowest, highest);
}

void SetupCallContext(HookContext& context, os::Window window, std::uint32_t message,
                      os::WParam wParam, os::LParam lParam) {
  (void)wParam;
  if (g_frame.ideWindow == nullptr) {
    g_frame.ideWindow = FindIdeMainWindow(window);
    if (g_frame.ideWindow != nullptr) {
      const std::int64_t tool = GetPluginProperty(g_frame.ideWindow, ".Plugin.Tool");
      g_frame.toolWindow =
          tool == -1 ? nullptr : reinterpret_cast<os::Window>(static_cast<std::intptr_t>(tool));
    }
  }
  context.ideWindow = g_frame.ideWindow;
  context.toolWindow = g_frame.toolWindow;
  context.editor = g_frame.activeEditor;

  if (message == os::kWM_DESTROY) {
    if (window == g_frame.knownEditor) g_frame.knownEditor = nullptr;
    // A closed editor: nothing may name it any more (a new window can get its handle).
    if (window != nullptr && window == g_frame.activeEditor) {
      g_frame.activeEditor = nullptr;
      context.editor = nullptr;
    }
    ForgetDispatcherEditor(window);
    ForgetPendingFormatEditor(window);
    if (window != nullptr && window == g_frame.ideWindow) MarkIdeClosing(g_frame.ideWindow);
    return;
  }
  if (message != os::kWM_NOTIFY || lParam == 0) return;

  // Only an editor's notification is read as the editor's record: another control's record
  // with the same code is shorter and means something else.
  const auto* header = reinterpret_cast<const os::NotifyHeader*>(lParam);
  const os::Window sender = header->hwndFrom;
  if (sender == nullptr) return;
  if (sender != g_frame.knownEditor) {
    if (HasGadgetId(sender) == 0 || !IsEditorWindow(sender)) return;
    g_frame.knownEditor = sender;
  }
  context.notification = reinterpret_cast<const sci::Notification*>(lParam);
  context.editor = sender;
  if (sender != g_frame.activeEditor) {
    g_frame.activeEditor = sender;
    SetPluginProperty(g_frame.ideWindow, ".Plugin.UpdateDate", NextUpdateStamp(g_frame.ideWindow));
    SetPluginProperty(g_frame.ideWindow, ".Plugin.Sci",
                      static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(sender)));
  }
}

std::size_t RefreshPropertySnapshot(const HookContext& context,
                                    std::map<std::string, std::int64_t>& target) {
  const std::int64_t stamp = GetPluginProperty(context.ideWindow, ".Plugin.UpdateDate");
  if (stamp == 0) {
    // No stamp: the host is not (or no longer) there; nothing is shown.
    g_frame.snapshot.clear();
    g_frame.lastUpdateStamp = 0;
  } else if (stamp != g_frame.lastUpdateStamp || context.ideWindow != g_frame.snapshotWindow) {
    g_frame.lastUpdateStamp = stamp;
    g_frame.snapshotWindow = context.ideWindow;
    g_frame.snapshot.clear();
    for (const os::PropertyEntry& entry : os::EnumProps(context.ideWindow)) {
      g_frame.snapshot[entry.name] = static_cast<std::int64_t>(entry.value);
    }
  }
  target = g_frame.snapshot;
  return target.size();
}
