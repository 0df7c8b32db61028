// The Windows library entry and the three exports of Zentrel.dll. Each has the standard calling
// convention of exported functions (__stdcall on x86, where the build strips the decoration so
// that the names stay plain) and forwards to the portable function of the same name, none of
// which lets an exception out.

#include <cstdint>

#include "plugin/exports.h"
#include "plugin/plugin_frame.h"

namespace {
constexpr unsigned long kProcessAttach = 1;
}

extern "C" int VORPEX_STDCALL DllMain(void* instance, unsigned long reason, void* /*reserved*/) {
  // Process attach: keep the module handle; the tables are created with the library's statics.
  if (reason == kProcessAttach) SetPluginModule(instance);
  return 1;
}

extern "C" __declspec(dllexport) std::intptr_t VORPEX_STDCALL
    OnHookCallbackComplete(int code, std::uintptr_t wParam, std::intptr_t lParam) {
  return zentrel::OnHookCallbackComplete(code, wParam, lParam);
}

extern "C" __declspec(dllexport) const wchar_t* VORPEX_STDCALL RetrievePluginXMLDialog() {
  return reinterpret_cast<const wchar_t*>(zentrel::RetrievePluginXMLDialog());
}

extern "C" __declspec(dllexport) const wchar_t* VORPEX_STDCALL
    RetrievePluginDebug(std::intptr_t ideWindow, const wchar_t* mode) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");
  return reinterpret_cast<const wchar_t*>(
      zentrel::RetrievePluginDebug(ideWindow, reinterpret_cast<const char16_t*>(mode)));
}
