#include "host/dialog/kinds.h"

#include <iterator>

#include "host/dialog/element_tree.h"

namespace dialog {

namespace {

struct KindEntry {
  const char* name;
  Kind kind;
};

constexpr KindEntry kKindNames[] = {
    {"dialogs", Kind::kDialogs},
    {"window", Kind::kWindow},
    {"panel", Kind::kPanel},
    {"tab", Kind::kTab},
    {"container", Kind::kContainer},
    {"frame", Kind::kFrame},
    {"hbox", Kind::kHBox},
    {"vbox", Kind::kVBox},
    {"gridbox", Kind::kGridBox},
    {"multibox", Kind::kMultiBox},
    {"singlebox", Kind::kSingleBox},
    {"scrollarea", Kind::kScrollArea},
    {"splitter", Kind::kSplitter},
    {"empty", Kind::kEmpty},
    {"shortcut", Kind::kShortcut},
    {"button", Kind::kButton},
    {"buttonimage", Kind::kButtonImage},
    {"calendar", Kind::kCalendar},
    {"canvas", Kind::kCanvas},
    {"checkbox", Kind::kCheckBox},
    {"combobox", Kind::kComboBox},
    {"date", Kind::kDate},
    {"editor", Kind::kEditor},
    {"explorercombo", Kind::kExplorerCombo},
    {"explorerlist", Kind::kExplorerList},
    {"explorertree", Kind::kExplorerTree},
    {"hyperlink", Kind::kHyperLink},
    {"image", Kind::kImage},
    {"ipaddress", Kind::kIPAddress},
    {"listicon", Kind::kListIcon},
    {"listview", Kind::kListView},
    {"option", Kind::kOption},
    {"progressbar", Kind::kProgressBar},
    {"scintilla", Kind::kScintilla},
    {"scrollbar", Kind::kScrollBar},
    {"spin", Kind::kSpin},
    {"string", Kind::kString},
    {"text", Kind::kText},
    {"trackbar", Kind::kTrackBar},
    {"tree", Kind::kTree},
    {"web", Kind::kWeb},
};

struct FlagRow {
  Kind kind;
  const char* name;  // without "#"
  std::uint32_t value;
};

// One table for all kinds, grouped by kind. Values the host's texts rely on are fixed; the others
// are this toolkit's own numbers (distinct bits within each kind).
constexpr FlagRow kFlags[] = {
    {Kind::kWindow, "PB_Window_ScreenCentered", flag::kWindowScreenCentered},
    {Kind::kWindow, "PB_Window_WindowCentered", flag::kWindowWindowCentered},
    {Kind::kWindow, "PB_Window_Tool", flag::kWindowTool},
    {Kind::kWindow, "PB_Window_TitleBar", flag::kWindowTitleBar},
    {Kind::kWindow, "PB_Window_SystemMenu", flag::kWindowSystemMenu},
    {Kind::kWindow, "PB_Window_SizeGadget", flag::kWindowSizeGadget},
    {Kind::kWindow, "PB_Window_MinimizeGadget", flag::kWindowMinimizeGadget},
    {Kind::kWindow, "PB_Window_MaximizeGadget", flag::kWindowMaximizeGadget},
    {Kind::kWindow, "PB_Window_Invisible", flag::kWindowInvisible},
    {Kind::kWindow, "PB_Window_BorderLess", flag::kWindowBorderLess},
    {Kind::kWindow, "PB_Window_NoGadgets", flag::kWindowNoGadgets},
    {Kind::kWindow, "PB_Window_NoActivate", flag::kWindowNoActivate},
    {Kind::kButton, "PB_Button_Right", 0x1},
    {Kind::kButton, "PB_Button_Left", 0x2},
    {Kind::kButton, "PB_Button_Default", 0x4},
    {Kind::kButton, "PB_Button_MultiLine", 0x8},
    {Kind::kButton, "PB_Button_Toggle", 0x10},
    {Kind::kCheckBox, "PB_CheckBox_Right", flag::kCheckBoxRight},
    {Kind::kCheckBox, "PB_CheckBox_Center", flag::kCheckBoxCenter},
    {Kind::kCheckBox, "PB_CheckBox_ThreeState", flag::kCheckBoxThreeState},
    {Kind::kImage, "PB_Image_Raised", 0x1},
    {Kind::kImage, "PB_Image_Border", 0x2},
    {Kind::kListView, "PB_ListView_MultiSelect", 0x1},
    {Kind::kListView, "PB_ListView_ClickSelect", 0x2},
    {Kind::kListIcon, "PB_ListIcon_CheckBoxes", flag::kListIconCheckBoxes},
    {Kind::kListIcon, "PB_ListIcon_MultiSelect", flag::kListIconMultiSelect},
    {Kind::kListIcon, "PB_ListIcon_GridLines", flag::kListIconGridLines},
    {Kind::kListIcon, "PB_ListIcon_FullRowSelect", flag::kListIconFullRowSelect},
    {Kind::kListIcon, "PB_ListIcon_HeaderDragDrop", flag::kListIconHeaderDragDrop},
    {Kind::kListIcon, "PB_ListIcon_AlwaysShowSelection", flag::kListIconAlwaysShowSelection},
    {Kind::kListIcon, "PB_ListIcon_ThreeState", flag::kListIconThreeState},
    {Kind::kTree, "PB_Tree_AlwaysShowSelection", 0x1},
    {Kind::kTree, "PB_Tree_NoLines", 0x2},
    {Kind::kTree, "PB_Tree_NoButtons", 0x4},
    {Kind::kTree, "PB_Tree_CheckBoxes", 0x8},
    {Kind::kTree, "PB_Tree_ThreeState", 0x10},
    {Kind::kContainer, "PB_Container_BorderLess", flag::kContainerBorderLess},
    {Kind::kContainer, "PB_Container_Flat", flag::kContainerFlat},
    {Kind::kContainer, "PB_Container_Raised", flag::kContainerRaised},
    {Kind::kContainer, "PB_Container_Single", flag::kContainerSingle},
    {Kind::kContainer, "PB_Container_Double", flag::kContainerDouble},
    {Kind::kComboBox, "PB_ComboBox_Editable", flag::kComboBoxEditable},
    {Kind::kComboBox, "PB_ComboBox_LowerCase", flag::kComboBoxLowerCase},
    {Kind::kComboBox, "PB_ComboBox_UpperCase", flag::kComboBoxUpperCase},
    {Kind::kComboBox, "PB_ComboBox_Image", flag::kComboBoxImage},
    {Kind::kText, "PB_Text_Center", flag::kTextCenter},
    {Kind::kText, "PB_Text_Right", flag::kTextRight},
    {Kind::kText, "PB_Text_Border", flag::kTextBorder},
    {Kind::kString, "PB_String_Password", flag::kStringPassword},
    {Kind::kString, "PB_String_ReadOnly", flag::kStringReadOnly},
    {Kind::kString, "PB_String_Numeric", flag::kStringNumeric},
    {Kind::kString, "PB_String_LowerCase", flag::kStringLowerCase},
    {Kind::kString, "PB_String_UpperCase", flag::kStringUpperCase},
    {Kind::kString, "PB_String_BorderLess", flag::kStringBorderLess},
    {Kind::kString, "PB_String_AutoComplete", flag::kStringAutoComplete},
    {Kind::kString, "PB_String_AutoInsert", flag::kStringAutoInsert},
    {Kind::kScrollArea, "PB_ScrollArea_Flat", 0x1},
    {Kind::kScrollArea, "PB_ScrollArea_Raised", 0x2},
    {Kind::kScrollArea, "PB_ScrollArea_Single", 0x4},
    {Kind::kScrollArea, "PB_ScrollArea_BorderLess", 0x8},
    {Kind::kScrollArea, "PB_ScrollArea_Center", 0x10},
    {Kind::kFrame, "PB_Frame_Double", flag::kFrameDouble},
    {Kind::kFrame, "PB_Frame_Single", flag::kFrameSingle},
    {Kind::kFrame, "PB_Frame_Flat", flag::kFrameFlat},
    {Kind::kEditor, "PB_Editor_ReadOnly", flag::kEditorReadOnly},
    {Kind::kEditor, "PB_Editor_WordWrap", flag::kEditorWordWrap},
    {Kind::kScrollBar, "PB_ScrollBar_Vertical", 0x1},
    {Kind::kProgressBar, "PB_ProgressBar_Smooth", 0x1},
    {Kind::kProgressBar, "PB_ProgressBar_Vertical", 0x2},
    {Kind::kExplorerList, "PB_Explorer_BorderLess", 0x1},
    {Kind::kExplorerList, "PB_Explorer_AlwaysShowSelection", 0x2},
    {Kind::kExplorerList, "PB_Explorer_MultiSelect", 0x4},
    {Kind::kExplorerList, "PB_Explorer_GridLines", 0x8},
    {Kind::kExplorerList, "PB_Explorer_HeaderDragDrop", 0x10},
    {Kind::kExplorerList, "PB_Explorer_FullRowSelect", 0x20},
    {Kind::kExplorerList, "PB_Explorer_NoFiles", 0x40},
    {Kind::kExplorerList, "PB_Explorer_NoFolders", 0x80},
    {Kind::kExplorerList, "PB_Explorer_NoParentFolder", 0x100},
    {Kind::kExplorerList, "PB_Explorer_NoDirectoryChange", 0x200},
    {Kind::kExplorerList, "PB_Explorer_NoDriveRequester", 0x400},
    {Kind::kExplorerList, "PB_Explorer_NoSort", 0x800},
    {Kind::kExplorerList, "PB_Explorer_NoMyDocuments", 0x1000},
    {Kind::kExplorerList, "PB_Explorer_AutoSort", 0x2000},
    {Kind::kExplorerTree, "PB_Explorer_BorderLess", 0x1},
    {Kind::kExplorerTree, "PB_Explorer_AlwaysShowSelection", 0x2},
    {Kind::kExplorerTree, "PB_Explorer_NoLines", 0x4},
    {Kind::kExplorerTree, "PB_Explorer_NoButtons", 0x8},
    {Kind::kExplorerTree, "PB_Explorer_NoFiles", 0x10},
    {Kind::kExplorerTree, "PB_Explorer_NoDriveRequester", 0x20},
    {Kind::kExplorerTree, "PB_Explorer_NoMyDocuments", 0x40},
    {Kind::kExplorerTree, "PB_Explorer_AutoSort", 0x80},
    {Kind::kExplorerCombo, "PB_Explorer_DrivesOnly", 0x1},
    {Kind::kExplorerCombo, "PB_Explorer_Editable", 0x2},
    {Kind::kExplorerCombo, "PB_Explorer_NoMyDocuments", 0x4},
    {Kind::kSplitter, "PB_Splitter_Vertical", 0x1},
    {Kind::kSplitter, "PB_Splitter_Separator", 0x2},
    {Kind::kSplitter, "PB_Splitter_FirstFixed", 0x4},
    {Kind::kSplitter, "PB_Splitter_SecondFixed", 0x8},
    {Kind::kButtonImage, "PB_Button_Toggle", 0x10},
    {Kind::kTrackBar, "PB_TrackBar_Ticks", 0x1},
    {Kind::kTrackBar, "PB_TrackBar_Vertical", 0x2},
    {Kind::kCanvas, "PB_Canvas_ClipMouse", flag::kCanvasClipMouse},
    {Kind::kCanvas, "PB_Canvas_Border", flag::kCanvasBorder},
    {Kind::kCanvas, "PB_Canvas_Keyboard", flag::kCanvasKeyboard},
    {Kind::kCanvas, "PB_Canvas_DrawFocus", flag::kCanvasDrawFocus},
    {Kind::kCalendar, "PB_Calendar_Borderless", 0x1},
    {Kind::kDate, "PB_Date_UpDown", 0x1},
    {Kind::kDate, "PB_Date_CheckBox", 0x2},
    {Kind::kSpin, "PB_Spin_ReadOnly", flag::kSpinReadOnly},
    {Kind::kSpin, "PB_Spin_Numeric", flag::kSpinNumeric},
    {Kind::kHyperLink, "PB_HyperLink_Underline", 0x1},
};

constexpr const char* kEventNames[kEventAttributeCount] = {
    "onevent",      "onchange",          "onleftclick",
    "onrightclick", "onleftdoubleclick", "onrightdoubleclick",
    "onfocus",      "onlostfocus",       "ondragstart",
};

constexpr unsigned Bit(EventAttribute attribute) { return 1u << static_cast<unsigned>(attribute); }

constexpr unsigned kClicks =
    Bit(EventAttribute::kOnLeftClick) | Bit(EventAttribute::kOnRightClick) |
    Bit(EventAttribute::kOnLeftDoubleClick) | Bit(EventAttribute::kOnRightDoubleClick);

unsigned AcceptedEvents(Kind kind) {
  unsigned accepted = Bit(EventAttribute::kOnEvent);
  switch (kind) {
    case Kind::kImage:
      accepted |= kClicks | Bit(EventAttribute::kOnDragStart);
      break;
    case Kind::kListView:
      accepted |= Bit(EventAttribute::kOnLeftClick) | Bit(EventAttribute::kOnLeftDoubleClick);
      break;
    case Kind::kListIcon:
    case Kind::kTree:
    case Kind::kExplorerList:
    case Kind::kExplorerTree:
      accepted |= kClicks | Bit(EventAttribute::kOnChange) | Bit(EventAttribute::kOnDragStart);
      break;
    case Kind::kComboBox:
    case Kind::kString:
      accepted |= Bit(EventAttribute::kOnChange) | Bit(EventAttribute::kOnFocus) |
                  Bit(EventAttribute::kOnLostFocus);
      break;
    case Kind::kSpin:
    case Kind::kDate:
    case Kind::kPanel:
      accepted |= Bit(EventAttribute::kOnChange);
      break;
    default:
      break;
  }
  return accepted;
}

}  // namespace

bool FindKind(std::string_view elementName, Kind* kind) {
  for (const KindEntry& entry : kKindNames) {
    if (SameName(entry.name, elementName)) {
      *kind = entry.kind;
      return true;
    }
  }
  return false;
}

const char* KindName(Kind kind) {
  for (const KindEntry& entry : kKindNames)
    if (entry.kind == kind) return entry.name;
  return "";
}

bool CreatesControl(Kind kind) {
  switch (kind) {
    case Kind::kDialogs:
    case Kind::kHBox:
    case Kind::kVBox:
    case Kind::kGridBox:
    case Kind::kMultiBox:
    case Kind::kSingleBox:
    case Kind::kEmpty:
    case Kind::kSplitter:  // laid out as a box of its two children
    case Kind::kShortcut:
      return false;
    default:
      return true;
  }
}

bool HoldsChildControls(Kind kind) {
  return kind == Kind::kWindow || kind == Kind::kContainer || kind == Kind::kTab ||
         kind == Kind::kScrollArea;
}

bool FindKindFlag(Kind kind, std::string_view nameWithoutHash, std::uint32_t* value) {
  for (const FlagRow& row : kFlags) {
    if (row.kind == kind && SameName(row.name, nameWithoutHash)) {
      *value = row.value;
      return true;
    }
  }
  return false;
}

const char* EventAttributeName(EventAttribute attribute) {
  return kEventNames[static_cast<int>(attribute)];
}

bool FindEventAttribute(std::string_view attributeName, EventAttribute* attribute) {
  for (int i = 0; i < kEventAttributeCount; ++i) {
    if (SameName(kEventNames[i], attributeName)) {
      *attribute = static_cast<EventAttribute>(i);
      return true;
    }
  }
  return false;
}

bool IgnoresEvents(Kind kind) {
  switch (kind) {
    case Kind::kDialogs:
    case Kind::kWindow:
    case Kind::kContainer:
    case Kind::kFrame:
    case Kind::kTab:
    case Kind::kScrollArea:
    case Kind::kHBox:
    case Kind::kVBox:
    case Kind::kGridBox:
    case Kind::kMultiBox:
    case Kind::kSingleBox:
    case Kind::kSplitter:
    case Kind::kEmpty:
    case Kind::kShortcut:
      return true;
    default:
      return false;
  }
}

bool AcceptsEvent(Kind kind, EventAttribute attribute) {
  return (AcceptedEvents(kind) & Bit(attribute)) != 0;
}

bool EventMatches(EventAttribute attribute, int eventType) {
  switch (attribute) {
    case EventAttribute::kOnEvent:
      return true;
    case EventAttribute::kOnChange:
      return eventType == event::kChange;
    case EventAttribute::kOnLeftClick:
      return eventType == event::kLeftClick;
    case EventAttribute::kOnRightClick:
      return eventType == event::kRightClick;
    case EventAttribute::kOnLeftDoubleClick:
      return eventType == event::kLeftDoubleClick;
    case EventAttribute::kOnRightDoubleClick:
      return eventType == event::kRightDoubleClick;
    case EventAttribute::kOnFocus:
      return eventType == event::kFocus;
    case EventAttribute::kOnLostFocus:
      return eventType == event::kLostFocus;
    case EventAttribute::kOnDragStart:
      return eventType == event::kDragStart;
  }
  return false;
}

}  // namespace dialog
