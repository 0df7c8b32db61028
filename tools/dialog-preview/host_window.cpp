#include "tools/dialog-preview/host_window.h"

namespace preview {

const char16_t kHostWindowText[] =
    u"<window id='#ToolWindow' name='#ToolWindow'   minwidth='500' minheight='450' margin='5'   "
    u"flags='#PB_Window_NoActivate| #PB_Window_Invisible | #PB_Window_ScreenCentered | "
    u"#PB_Window_SystemMenu | #PB_Window_SizeGadget' >  <panel>    <tab text='Settings' "
    u"margin='2'>      <container margin='5'>        <hbox expand='item:2'>          <listicon "
    u"id='#ToolListIcon' width='150' text='Installed Plugins' onchange='OnChangeToolListIcon()'  "
    u"           flags='#PB_ListIcon_CheckBoxes|#PB_ListIcon_FullRowSelect|#PB_ListIcon_"
    u"AlwaysShowSelection'/>          <frame text='Options'>            <vbox expand='item:2'>  "
    u"          <multibox>            </multibox>            <empty/>            </vbox>        "
    u"  </frame>        </hbox>      </container>    </tab>    <tab text='Logs' margin='2'>     "
    u" <container margin='5'>        <vbox expand='item:2' margin='0' spacing='0'>          "
    u"<hbox expand='no' margin='0' spacing='0'>            <text text='Debug: ' "
    u"flags='#PB_Text_Right' />            <gridbox columns='3' rowexpand='equal' "
    u"rowspacing='0' margin='0'>            <option id='#ToolDebugProp' text='Properties ' "
    u"value='1' />            <option id='#ToolDebugSci' text='Scintilla ' value='0' />         "
    u"   <option id='#ToolDebugStyles' text='Styles' value='0' />            <option "
    u"id='#ToolDebugIndicators' text='Indicators' value='0' />            <option "
    u"id='#ToolDebugControls' text='Controls ' value='0' />            <option "
    u"id='#ToolDebugNone' text='None ' value='0' />            </gridbox>          </hbox>      "
    u"    <editor id='#ToolLogs' />        </vbox>      </container>    </tab>  </panel></window>";

namespace {

int DoNothing() { return 0; }

char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

}  // namespace

void RegisterHostNames(dialog::RuntimeNameTable& names, int (*onListChange)()) {
  for (const char* procedure :
       {"OnShowToolMenu()", "OnRestoreToolWindow()", "OnChangeToolGadgets()", "OnRefreshToolLogs()",
        "OnCloseToolWindow()", "OnShowToolWindow()", "OnHideToolWindow()"})
    dialog::RegisterProcedure(names, procedure, DoNothing);
  dialog::RegisterProcedure(names, "OnChangeToolListIcon()",
                            onListChange != nullptr ? onListChange : DoNothing);
  const std::pair<const char*, int> constants[] = {
      {"#Dir", 0},
      {"#Xml", 1},
      {"#Dialog", 2},
      {"#ToolWindow", 3},
      {"#ToolIcon", 4},
      {"#ToolSystray", 5},
      {"#ToolListIcon", 6},
      {"#ToolLogs", 7},
      {"#ToolRefreshTimer", 8},
      {"#ToolDebugNone", 9},
      {"#ToolDebugSci", 10},
      {"#ToolDebugControls", 11},
      {"#ToolDebugProp", 12},
      {"#ToolDebugIndicators", 13},
      {"#ToolDebugStyles", 14},
      {"#ToolMenu", 15},
      {"#ToolMenu_CloseWindow", 16},
      {"#ToolMenu_ShowWindow", 17},
      {"#ToolHook_Callback", 4},
      {"#ToolHook_Mouse", 7},
      {"#ToolHook_CallbackComplete", 12},
      {"#ToolEvent_Gadget", 13100},
      {"#ToolEvent_ShowMenu", 13102},
      {"#ToolEvent_RestoreWindow", 13109},
      {"#ToolEvent_AutoRefresh", 13110},
      {"#ToolEvent_HideWindow", 13116},
      {"#ToolEvent_CloseWindow", 262145},
  };
  for (const auto& [name, value] : constants) dialog::RegisterInteger(names, name, value);
}

std::u16string SpliceFragment(const std::u16string& window, const std::u16string& fragment) {
  const std::u16string open = u"<container ";
  std::u16string marked;
  for (size_t i = 0; i < fragment.size();) {
    bool match = fragment.size() - i >= open.size();
    for (size_t k = 0; match && k < open.size(); ++k) match = Lower(fragment[i + k]) == open[k];
    if (match) {
      marked += u"<container library='1' ide='0' ";
      i += open.size();
    } else {
      marked += fragment[i++];
    }
  }
  marked += u"\n";
  const std::u16string close = u"</multibox>";
  std::u16string result;
  size_t from = 0;
  for (size_t at = window.find(close); at != std::u16string::npos;
       at = window.find(close, at + close.size())) {
    result += window.substr(from, at - from) + marked;
    from = at;
  }
  return result + window.substr(from);
}

}  // namespace preview
