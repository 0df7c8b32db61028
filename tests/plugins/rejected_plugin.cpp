// A plugin library whose fragment parses but that the dialog engine rejects (an event attribute
// a check box does not accept).
#include <windows.h>

extern "C" __declspec(dllexport) const wchar_t* WINAPI RetrievePluginXMLDialog() {
  return L"<container name='Rejected'><checkbox name='A' "
         L"onchange='OnChangeToolListIcon()'/></container>";
}
