#include "host/plugin_registry.h"

#include "core/utf.h"
#include "host/host_text.h"

PluginEntry* PluginTable::Find(int library) {
  for (PluginEntry& entry : entries)
    if (entry.library == library) return &entry;
  return nullptr;
}

PluginEntry& PluginTable::Add(os::Window ideHandle, os::Module module) {
  PluginEntry& entry = entries.emplace_back();
  entry.ideHandle = ideHandle;
  entry.library = static_cast<int>(entries.size());  // numbers start at 1, in load order
  entry.module = module;
  return entry;
}

std::string SettingKey(const std::string& controlName) {
  return controlName.substr(0, controlName.find(':'));
}

std::string NameSuffix(const std::string& controlName) {
  std::size_t colon = controlName.find(':');
  return colon == std::string::npos ? std::string() : controlName.substr(colon + 1);
}

namespace {

using RetrieveDialogProc = const char16_t*(VORPEX_STDCALL*)();
using RetrieveDebugProc = const char16_t*(VORPEX_STDCALL*)(std::intptr_t ideHandle,
                                                           const char16_t* mode);

}  // namespace

std::string RetrievePluginFragment(const PluginEntry& plugin) {
  auto retrieve = reinterpret_cast<RetrieveDialogProc>(
      os::GetProcAddress(plugin.module, "RetrievePluginXMLDialog"));
  if (!retrieve) return {};
  return PluginText(retrieve());
}

std::string RetrievePluginDebugText(const PluginEntry& plugin, const std::string& mode) {
  auto retrieve =
      reinterpret_cast<RetrieveDebugProc>(os::GetProcAddress(plugin.module, "RetrievePluginDebug"));
  if (!retrieve) return {};
  std::u16string wideMode = core::Utf8ToUtf16(mode);
  return PluginText(retrieve(reinterpret_cast<std::intptr_t>(plugin.ideHandle), wideMode.c_str()));
}

void InstallHook(PluginEntry& plugin, int kind, const char* exportName) {
  auto procedure = reinterpret_cast<os::HookProc>(os::GetProcAddress(plugin.module, exportName));
  if (!procedure) return;
  std::uint32_t threadId = os::GetWindowThreadProcessId(plugin.ideHandle, nullptr);
  // Thread id 0 (the IDE window is gone) would hook every program on the desktop.
  plugin.hooks[exportName] =
      threadId ? os::SetWindowsHookEx(kind, procedure, plugin.module, threadId) : nullptr;
}

void InstallHooks(PluginEntry& plugin) {
  InstallHook(plugin, os::kWH_CALLWNDPROCRET, "OnHookCallbackComplete");
  InstallHook(plugin, os::kWH_CALLWNDPROC, "OnHookCallback");
  InstallHook(plugin, os::kWH_MOUSE, "OnHookMouse");
}

void RemoveHooks(PluginEntry& plugin) {
  for (auto& [exportName, hook] : plugin.hooks) {
    (void)exportName;
    if (hook) os::UnhookWindowsHookEx(hook);
  }
}
