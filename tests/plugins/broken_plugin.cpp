// A plugin library whose fragment is not well-formed XML.
#include <windows.h>

extern "C" __declspec(dllexport) const wchar_t* WINAPI RetrievePluginXMLDialog() {
  return L"<container name='Broken'><checkbox name='A'>";
}
