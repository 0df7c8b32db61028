/* sample_plugin.c: a complete plugin for toolhost.exe in one C file.
 *
 * Its settings group "SamplePlugin" holds a check box and a number. While the check box is on,
 * the hook marks the IDE main window with the number, as the property PREFIX ".SamplePlugin.Mark"
 * (see vorpex_plugin.h for PREFIX); while it is off, the mark is removed. Watch it in the host's
 * "Logs" page, mode "Properties", or with any window-property viewer.
 *
 * Build (MinGW, 64-bit):
 *   x86_64-w64-mingw32-gcc -shared -O2 -I.. sample_plugin.c sample_plugin.def -o SamplePlugin.dll
 * 32-bit:
 *   i686-w64-mingw32-gcc -shared -O2 -I.. sample_plugin.c sample_plugin.def \
 *     -Wl,--enable-stdcall-fixup -o SamplePlugin.dll
 * MSVC:
 *   cl /LD /O2 /I.. sample_plugin.c user32.lib /link /DEF:sample_plugin.def /OUT:SamplePlugin.dll
 * Then put SamplePlugin.dll beside toolhost.exe and start the host again.
 */
/* The exports are named by sample_plugin.def: plain names on both word sizes. */
#define VORPEX_PLUGIN_EXPORT
#include "vorpex_plugin.h"

/* The settings fragment: one named group with a check box and a number. The host gives the
 * <container> its `library` and `ide` attributes; `name` is the group, `title` the row in the
 * host's list, and each control's `name` is its setting key. */
static const wchar_t kFragment[] =
    L"<container name='SamplePlugin' title='Sample plugin' flags='#PB_Container_Single' margin='5'>"
    L"  <vbox expand='no'>"
    L"    <checkbox name='MarkIde' text='Mark the IDE window' value='1'"
    L"              tooltip='While on, the IDE main window carries the number below'/>"
    L"    <hbox expand='no'>"
    L"      <text text='Number:' width='80'/>"
    L"      <spin name='MarkNumber' min='1' max='999' value='42' width='70' "
    L"flags='#PB_Spin_Numeric'/>"
    L"    </hbox>"
    L"  </vbox>"
    L"</container>";

static const wchar_t kGroup[] = L"SamplePlugin";

VORPEX_PLUGIN_EXPORT const wchar_t* VORPEX_PLUGIN_CALL RetrievePluginXMLDialog(void) {
  return kFragment;
}

/* Runs in the IDE process after every sent message that a window of the IDE has processed:
 * keep it short. The settings are read from the properties at each call, so that a change in
 * the host's window takes effect with the next message. */
VORPEX_PLUGIN_EXPORT LRESULT CALLBACK OnHookCallbackComplete(int code, WPARAM wParam,
                                                             LPARAM lParam) {
  if (code == HC_ACTION && lParam != 0) {
    const VorpexHookRecord* record = (const VorpexHookRecord*)lParam;
    HWND ide = GetAncestor(record->hwnd, GA_ROOT);
    wchar_t mark[64];
    if (ide != NULL && VorpexPropertyName(ide, L".SamplePlugin.Mark", mark, 64)) {
      /* Both read 0 while the group is switched off in the host's list, or on a top-level
       * window of the IDE other than its main window (a dialog): no mark there. */
      INT_PTR on = VorpexReadSetting(ide, kGroup, L"MarkIde");
      INT_PTR number = VorpexReadSetting(ide, kGroup, L"MarkNumber");
      if (on != 0 && number != 0) {
        if ((INT_PTR)GetPropW(ide, mark) != number) SetPropW(ide, mark, (HANDLE)number);
      } else if (GetPropW(ide, mark) != NULL) {
        RemovePropW(ide, mark);
      }
    }
  }
  return CallNextHookEx(NULL, code, wParam, lParam);
}
