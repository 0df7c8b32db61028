#include "tests/host/dialog/dialog_test_support.h"

#include "host/dialog/element_tree.h"

extern const char kSampleFragment[];

namespace dialog::testing {

// The host's window description, one line, as the host passes it.
const char kHostWindowText[] =
    "<window id='#ToolWindow' name='#ToolWindow'   minwidth='500' minheight='450' margin='5'   "
    "flags='#PB_Window_NoActivate| #PB_Window_Invisible | #PB_Window_ScreenCentered | "
    "#PB_Window_SystemMenu | #PB_Window_SizeGadget' >  <panel>    <tab text='Settings' "
    "margin='2'>      <container margin='5'>        <hbox expand='item:2'>          <listicon "
    "id='#ToolListIcon' width='150' text='Installed Plugins' onchange='OnChangeToolListIcon()'  "
    "           flags='#PB_ListIcon_CheckBoxes|#PB_ListIcon_FullRowSelect|#PB_ListIcon_"
    "AlwaysShowSelection'/>          <frame text='Options'>            <vbox expand='item:2'>  "
    "          <multibox>            </multibox>            <empty/>            </vbox>        "
    "  </frame>        </hbox>      </container>    </tab>    <tab text='Logs' margin='2'>     "
    " <container margin='5'>        <vbox expand='item:2' margin='0' spacing='0'>          "
    "<hbox expand='no' margin='0' spacing='0'>            <text text='Debug: ' "
    "flags='#PB_Text_Right' />            <gridbox columns='3' rowexpand='equal' "
    "rowspacing='0' margin='0'>            <option id='#ToolDebugProp' text='Properties ' "
    "value='1' />            <option id='#ToolDebugSci' text='Scintilla ' value='0' />         "
    "   <option id='#ToolDebugStyles' text='Styles' value='0' />            <option "
    "id='#ToolDebugIndicators' text='Indicators' value='0' />            <option "
    "id='#ToolDebugControls' text='Controls ' value='0' />            <option "
    "id='#ToolDebugNone' text='None ' value='0' />            </gridbox>          </hbox>      "
    "    <editor id='#ToolLogs' />        </vbox>      </container>    </tab>  </panel></window>";

const char kEveryElementText[] =
    "<dialogs><window name='all' text='All'><vbox>"
    "<singlebox margin='2'><empty width='5' height='5'/></singlebox>"
    "<scrollarea name='area' flags='#PB_ScrollArea_Single'><text text='in area'/></scrollarea>"
    "<splitter flags='#PB_Splitter_Vertical'><button name='one' text='one' "
    "flags='#PB_Button_Default'/>"
    "<buttonimage name='two' flags='#PB_Button_Toggle'/></splitter>"
    "<image flags='#PB_Image_Border' onleftclick='OnChangeToolGadgets()'/><shortcut/>"
    "<listview name='lv' onleftdoubleclick='OnChangeToolGadgets()' "
    "flags='#PB_ListView_MultiSelect'/>"
    "<tree flags='#PB_Tree_CheckBoxes' ondragstart='OnChangeToolGadgets()'/>"
    "<calendar flags='#PB_Calendar_Borderless'/><date onchange='OnChangeToolGadgets()' "
    "flags='#PB_Date_UpDown'/>"
    "<explorercombo flags='#PB_Explorer_DrivesOnly'/><explorerlist flags='#PB_Explorer_GridLines'/>"
    "<explorertree flags='#PB_Explorer_NoLines'/><hyperlink text='link' "
    "flags='#PB_HyperLink_Underline'/>"
    "<ipaddress/><scintilla height='40'/><scrollbar flags='#PB_ScrollBar_Vertical'/>"
    "<progressbar flags='#PB_ProgressBar_Smooth'/><trackbar flags='#PB_TrackBar_Ticks'/><web/>"
    "<editor flags='#PB_Editor_ReadOnly|#PB_Editor_WordWrap' height='30'/>"
    "<combobox flags='#PB_ComboBox_Editable'/><string flags='#PB_String_Password'/>"
    "<checkbox text='three' flags='#PB_CheckBox_ThreeState'/><canvas flags='#PB_Canvas_Keyboard'/>"
    "<spin flags='#PB_Spin_ReadOnly'/><frame text='f' flags='#PB_Frame_Double'><empty/></frame>"
    "<container flags='#PB_Container_Raised'><empty/></container>"
    "</vbox></window></dialogs>";

std::ostream& operator<<(std::ostream& out, const Rect& rect) {
  return out << "{" << rect.x << ", " << rect.y << ", " << rect.width << ", " << rect.height << "}";
}

int& ProcedureCalls() {
  static int calls = 0;
  return calls;
}

int RecordingProcedure() { return ++ProcedureCalls(); }

void RegisterHostNames(RuntimeNameTable& names) {
  for (const char* procedure :
       {"OnShowToolMenu()", "OnRestoreToolWindow()", "OnChangeToolGadgets()", "OnRefreshToolLogs()",
        "OnChangeToolListIcon()", "OnCloseToolWindow()", "OnShowToolWindow()",
        "OnHideToolWindow()"})
    RegisterProcedure(names, procedure, RecordingProcedure);
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
  };
  for (const auto& [name, value] : constants) RegisterInteger(names, name, value);
}

std::unique_ptr<Opened> Open(const std::string& description, int width, int height) {
  auto opened = std::make_unique<Opened>();
  RegisterHostNames(opened->names);
  opened->document = ParseDescriptionUtf8(description);
  if (!opened->document.ok()) return opened;
  OpenWindowOptions options;
  options.width = width;
  options.height = height;
  opened->ok =
      OpenWindow(opened->dialog, opened->toolkit, *opened->document.root, opened->names, options);
  return opened;
}

Rect RectOf(Opened& opened, const std::string& name) {
  Node* node = FindNode(opened.dialog, name);
  if (node == nullptr) return Rect{-999, -999, -999, -999};
  if (node->control != nullptr && node->kind != Kind::kTab) {
    FakeControl* control = FakeToolkit::Get(node->control);
    return Rect{control->x, control->y, control->width, control->height};
  }
  return Rect{node->placedX, node->placedY, node->placedWidth, node->placedHeight};
}

FakeControl* ControlOf(Opened& opened, const std::string& name) {
  Control control = FindControl(opened.dialog, name);
  return control != nullptr ? FakeToolkit::Get(control) : nullptr;
}

std::string SampleFragment() { return kSampleFragment; }

std::string HostWindowWithFragment(const std::string& fragment) {
  // The host's splice, in short: the library and IDE numbers on every container, then the
  // fragment before the multibox's closing tag.
  std::string spliced;
  const std::string open = "<container ";
  for (size_t i = 0; i < fragment.size();) {
    if (fragment.size() - i >= open.size() && SameName(fragment.substr(i, open.size()), open)) {
      spliced += "<container library='1' ide='0' ";
      i += open.size();
    } else {
      spliced += fragment[i++];
    }
  }
  spliced += "\n";
  std::string window = kHostWindowText;
  size_t at = window.find("</multibox>");
  window.insert(at, spliced);
  return window;
}

}  // namespace dialog::testing
