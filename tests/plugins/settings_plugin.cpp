// A plugin library with a settings fragment of several containers covering every control kind
// the host stores (check box, spin, options, colour field and swatch, combo box), a debug text
// per mode, and the hook procedure.
#include <windows.h>

#include <string>

namespace {

const wchar_t kFragment[] =
    L"<container name='Alpha' title='Alpha options' flags=' #PB_Container_Single' margin='5'>"
    L"<vbox expand='no'>"
    L"<checkbox name='Toggle' text='Toggle' value='1' tooltip='Switches the alpha toggle'/>"
    L"<hbox expand='no'><text text='Width:' width='80'/><spin name='Width' min='0' max='99' "
    L"value='12' flags='#PB_Spin_Numeric' font='mini'/></hbox>"
    L"<hbox expand='no'><text text='Mode:' width='80'/>"
    L"<option name='Mode:0' text='Off' value='0'/><option name='Mode:1' text='On' "
    L"value='0'/><option name='Mode:2' text='Auto' value='1'/></hbox>"
    L"<hbox expand='no'><text text='Colour:' width='80'/><string name='Shade:Color' value='65535' "
    L"width='70' flags='#PB_String_UpperCase'/>"
    L"<canvas name='Shade:Picker' width='20' height='20' flags='#PB_Canvas_Border'/></hbox>"
    L"<hbox expand='no'><text text='Box:' width='80'/><combobox name='Box' items='Straight "
    L"Box,8,Curved Box,7' value='7' width='120'/></hbox>"
    L"</vbox></container>"
    L"<container name='Beta' title='Beta options' flags=' #PB_Container_Single' margin='5' "
    L"invisible='yes'>"
    L"<vbox expand='no'><checkbox name='Other' text='Other' value='0'/>"
    L"<text text='A label with a tooltip' tooltip='no setting'/></vbox></container>";

std::wstring g_debug;

}  // namespace

extern "C" __declspec(dllexport) const wchar_t* WINAPI RetrievePluginXMLDialog() {
  // An environment variable of the host process names an IDE window to close while the host
  // starts, to test an IDE that dies before the hooks are installed.
  wchar_t ide[32] = {};
  if (GetEnvironmentVariableW(L"VORPEX_TEST_CLOSE_IDE", ide, 32) > 0) {
    HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(_wtoi64(ide)));
    PostMessageW(window, WM_CLOSE, 0, 0);
    for (int i = 0; i < 500 && IsWindow(window); ++i) Sleep(10);
  }
  return kFragment;
}

extern "C" __declspec(dllexport) const wchar_t* WINAPI
    RetrievePluginDebug(INT_PTR ide, const wchar_t* mode) {
  // An environment variable of the host process switches the text off, to test an empty answer.
  wchar_t silent[8] = {};
  if (GetEnvironmentVariableW(L"VORPEX_TEST_SILENT_DEBUG", silent, 8) > 0) return nullptr;
  g_debug = L"mode=";
  g_debug += mode ? mode : L"(null)";
  g_debug += L"\tide=" + std::to_wstring(ide) + L"\n";
  return g_debug.c_str();
}

extern "C" __declspec(dllexport) LRESULT CALLBACK
    OnHookCallbackComplete(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && lParam) {
    const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (call->message == WM_USER + 77)
      SetPropW(call->hwnd, L"VorpexTest.SettingsHookProcess",
               reinterpret_cast<HANDLE>(static_cast<INT_PTR>(GetCurrentProcessId())));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
