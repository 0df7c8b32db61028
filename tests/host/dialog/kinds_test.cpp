#include "host/dialog/kinds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dialog {
namespace {

const Kind kAllKinds[] = {
    Kind::kWindow,       Kind::kButton,   Kind::kButtonImage,   Kind::kCalendar,
    Kind::kCanvas,       Kind::kCheckBox, Kind::kComboBox,      Kind::kContainer,
    Kind::kDate,         Kind::kEditor,   Kind::kExplorerCombo, Kind::kExplorerList,
    Kind::kExplorerTree, Kind::kFrame,    Kind::kHyperLink,     Kind::kImage,
    Kind::kListIcon,     Kind::kListView, Kind::kProgressBar,   Kind::kScrollArea,
    Kind::kScrollBar,    Kind::kSpin,     Kind::kSplitter,      Kind::kString,
    Kind::kText,         Kind::kTrackBar, Kind::kTree};

TEST(Kinds, EveryFlagNameIsAcceptedBySomeKind) {
  const char* names[] = {"PB_Window_ScreenCentered",
                         "PB_Window_WindowCentered",
                         "PB_Window_Tool",
                         "PB_Window_TitleBar",
                         "PB_Window_SystemMenu",
                         "PB_Window_SizeGadget",
                         "PB_Window_MinimizeGadget",
                         "PB_Window_MaximizeGadget",
                         "PB_Window_Invisible",
                         "PB_Window_BorderLess",
                         "PB_Window_NoGadgets",
                         "PB_Window_NoActivate",
                         "PB_Button_Right",
                         "PB_Button_Left",
                         "PB_Button_Default",
                         "PB_Button_MultiLine",
                         "PB_Button_Toggle",
                         "PB_Calendar_Borderless",
                         "PB_Canvas_ClipMouse",
                         "PB_Canvas_Border",
                         "PB_Canvas_Keyboard",
                         "PB_Canvas_DrawFocus",
                         "PB_CheckBox_Right",
                         "PB_CheckBox_Center",
                         "PB_CheckBox_ThreeState",
                         "PB_ComboBox_Editable",
                         "PB_ComboBox_LowerCase",
                         "PB_ComboBox_UpperCase",
                         "PB_ComboBox_Image",
                         "PB_Container_BorderLess",
                         "PB_Container_Flat",
                         "PB_Container_Raised",
                         "PB_Container_Single",
                         "PB_Container_Double",
                         "PB_Date_UpDown",
                         "PB_Date_CheckBox",
                         "PB_Explorer_NoMyDocuments",
                         "PB_Explorer_DrivesOnly",
                         "PB_Explorer_Editable",
                         "PB_Explorer_NoFiles",
                         "PB_Explorer_NoDriveRequester",
                         "PB_Explorer_AutoSort",
                         "PB_Explorer_BorderLess",
                         "PB_Explorer_AlwaysShowSelection",
                         "PB_Explorer_NoParentFolder",
                         "PB_Explorer_NoFolders",
                         "PB_Explorer_NoDirectoryChange",
                         "PB_Explorer_NoSort",
                         "PB_Explorer_MultiSelect",
                         "PB_Explorer_GridLines",
                         "PB_Explorer_HeaderDragDrop",
                         "PB_Explorer_FullRowSelect",
                         "PB_Explorer_NoLines",
                         "PB_Explorer_NoButtons",
                         "PB_Editor_ReadOnly",
                         "PB_Editor_WordWrap",
                         "PB_Frame_Double",
                         "PB_Frame_Single",
                         "PB_Frame_Flat",
                         "PB_ListView_MultiSelect",
                         "PB_ListView_ClickSelect",
                         "PB_ListIcon_CheckBoxes",
                         "PB_ListIcon_MultiSelect",
                         "PB_ListIcon_GridLines",
                         "PB_ListIcon_FullRowSelect",
                         "PB_ListIcon_HeaderDragDrop",
                         "PB_ListIcon_AlwaysShowSelection",
                         "PB_ListIcon_ThreeState",
                         "PB_ScrollArea_Flat",
                         "PB_ScrollArea_Raised",
                         "PB_ScrollArea_Single",
                         "PB_ScrollArea_BorderLess",
                         "PB_ScrollArea_Center",
                         "PB_ScrollBar_Vertical",
                         "PB_Splitter_Vertical",
                         "PB_Splitter_Separator",
                         "PB_Splitter_FirstFixed",
                         "PB_Splitter_SecondFixed",
                         "PB_String_Password",
                         "PB_String_ReadOnly",
                         "PB_String_Numeric",
                         "PB_String_LowerCase",
                         "PB_String_UpperCase",
                         "PB_String_BorderLess",
                         "PB_String_AutoComplete",
                         "PB_String_AutoInsert",
                         "PB_Spin_ReadOnly",
                         "PB_Spin_Numeric",
                         "PB_Tree_AlwaysShowSelection",
                         "PB_Tree_NoLines",
                         "PB_Tree_NoButtons",
                         "PB_Tree_CheckBoxes",
                         "PB_Tree_ThreeState",
                         "PB_Image_Raised",
                         "PB_Image_Border",
                         "PB_ProgressBar_Smooth",
                         "PB_ProgressBar_Vertical",
                         "PB_TrackBar_Ticks",
                         "PB_TrackBar_Vertical",
                         "PB_HyperLink_Underline",
                         "PB_Text_Center",
                         "PB_Text_Right",
                         "PB_Text_Border"};
  for (const char* name : names) {
    int accepting = 0;
    for (Kind kind : kAllKinds) {
      std::uint32_t value;
      if (FindKindFlag(kind, name, &value)) ++accepting;
    }
    EXPECT_GE(accepting, 1) << name;
  }
}

struct KnownFlag {
  Kind kind;
  const char* name;
  std::uint32_t value;
};

TEST(Kinds, FlagValuesTheTextsUse) {
  const KnownFlag flags[] = {
      {Kind::kWindow, "PB_Window_ScreenCentered", 0x1},
      {Kind::kWindow, "PB_Window_SystemMenu", 0xC80000},
      {Kind::kWindow, "PB_Window_SizeGadget", 0xC40000},
      {Kind::kWindow, "PB_Window_Invisible", 0x10000000},
      {Kind::kWindow, "PB_Window_NoActivate", 0x2000000},
      {Kind::kListIcon, "PB_ListIcon_CheckBoxes", 0x1},
      {Kind::kListIcon, "PB_ListIcon_FullRowSelect", 0x40000000},
      {Kind::kListIcon, "PB_ListIcon_AlwaysShowSelection", 0x8},
      {Kind::kText, "PB_Text_Right", 0x2},
      {Kind::kContainer, "PB_Container_Single", 0x4},
      {Kind::kString, "PB_String_UpperCase", 0x8},
      {Kind::kCanvas, "PB_Canvas_Border", 0x1},
      {Kind::kSpin, "PB_Spin_Numeric", 0x2},
  };
  for (const KnownFlag& known : flags) {
    std::uint32_t value = 0;
    EXPECT_TRUE(FindKindFlag(known.kind, known.name, &value)) << known.name;
    EXPECT_EQ(value, known.value) << known.name;
    // Any letter case; never on another kind of those the texts use.
    EXPECT_TRUE(FindKindFlag(known.kind, std::string("pb_") + (known.name + 3), &value));
    for (Kind other : {Kind::kWindow, Kind::kListIcon, Kind::kText, Kind::kContainer, Kind::kString,
                       Kind::kCanvas, Kind::kSpin, Kind::kCheckBox, Kind::kOption}) {
      if (other != known.kind) {
        EXPECT_FALSE(FindKindFlag(other, known.name, &value)) << known.name;
      }
    }
  }
}

TEST(Kinds, FlagsOfOneKindAreDistinctBits) {
  // Two different names of one kind never share a value, except the window's composite styles
  // (title bar, system menu, size, minimise, maximise share the caption bits by design).
  const std::pair<Kind, std::vector<const char*>> kinds[] = {
      {Kind::kListIcon,
       {"PB_ListIcon_CheckBoxes", "PB_ListIcon_MultiSelect", "PB_ListIcon_GridLines",
        "PB_ListIcon_FullRowSelect", "PB_ListIcon_HeaderDragDrop",
        "PB_ListIcon_AlwaysShowSelection", "PB_ListIcon_ThreeState"}},
      {Kind::kString,
       {"PB_String_Password", "PB_String_ReadOnly", "PB_String_Numeric", "PB_String_LowerCase",
        "PB_String_UpperCase", "PB_String_BorderLess", "PB_String_AutoComplete",
        "PB_String_AutoInsert"}},
      {Kind::kText, {"PB_Text_Center", "PB_Text_Right", "PB_Text_Border"}},
  };
  for (const auto& [kind, names] : kinds) {
    std::uint32_t seen = 0;
    for (const char* name : names) {
      std::uint32_t value = 0;
      ASSERT_TRUE(FindKindFlag(kind, name, &value)) << name;
      EXPECT_EQ(seen & value, 0u) << name;
      seen |= value;
    }
  }
}

struct EventRule {
  Kind kind;
  EventAttribute attribute;
  bool accepted;
};

TEST(Kinds, EventAcceptance) {
  const EventRule rules[] = {
      {Kind::kListIcon, EventAttribute::kOnChange, true},
      {Kind::kListIcon, EventAttribute::kOnRightDoubleClick, true},
      {Kind::kListIcon, EventAttribute::kOnFocus, false},
      {Kind::kTree, EventAttribute::kOnDragStart, true},
      {Kind::kComboBox, EventAttribute::kOnChange, true},
      {Kind::kComboBox, EventAttribute::kOnLostFocus, true},
      {Kind::kComboBox, EventAttribute::kOnLeftClick, false},
      {Kind::kString, EventAttribute::kOnFocus, true},
      {Kind::kSpin, EventAttribute::kOnChange, true},
      {Kind::kSpin, EventAttribute::kOnFocus, false},
      {Kind::kDate, EventAttribute::kOnChange, true},
      {Kind::kPanel, EventAttribute::kOnChange, true},
      {Kind::kImage, EventAttribute::kOnChange, false},
      {Kind::kImage, EventAttribute::kOnRightClick, true},
      {Kind::kListView, EventAttribute::kOnLeftDoubleClick, true},
      {Kind::kListView, EventAttribute::kOnRightClick, false},
      {Kind::kCheckBox, EventAttribute::kOnChange, false},
      {Kind::kOption, EventAttribute::kOnChange, false},
      {Kind::kButton, EventAttribute::kOnLeftClick, false},
      {Kind::kCanvas, EventAttribute::kOnChange, false},
      {Kind::kEditor, EventAttribute::kOnChange, false},
      {Kind::kText, EventAttribute::kOnEvent, true},
      {Kind::kCanvas, EventAttribute::kOnEvent, true},
  };
  for (const EventRule& rule : rules)
    EXPECT_EQ(AcceptsEvent(rule.kind, rule.attribute), rule.accepted)
        << KindName(rule.kind) << " " << EventAttributeName(rule.attribute);
  for (Kind kind : {Kind::kWindow, Kind::kContainer, Kind::kFrame, Kind::kTab, Kind::kHBox,
                    Kind::kVBox, Kind::kGridBox, Kind::kMultiBox, Kind::kEmpty})
    EXPECT_TRUE(IgnoresEvents(kind)) << KindName(kind);
  EXPECT_FALSE(IgnoresEvents(Kind::kCheckBox));
  EXPECT_TRUE(EventMatches(EventAttribute::kOnEvent, event::kMouseMove));
  EXPECT_TRUE(EventMatches(EventAttribute::kOnChange, event::kChange));
  EXPECT_FALSE(EventMatches(EventAttribute::kOnChange, event::kLeftClick));
}

TEST(Kinds, NamesIgnoreCase) {
  Kind kind;
  EXPECT_TRUE(FindKind("ListIcon", &kind));
  EXPECT_EQ(kind, Kind::kListIcon);
  EXPECT_TRUE(FindKind("GRIDBOX", &kind));
  EXPECT_EQ(kind, Kind::kGridBox);
  EXPECT_FALSE(FindKind("grid", &kind));
  EXPECT_STREQ(KindName(Kind::kCheckBox), "checkbox");
  EventAttribute attribute;
  EXPECT_TRUE(FindEventAttribute("OnChange", &attribute));
  EXPECT_EQ(attribute, EventAttribute::kOnChange);
  EXPECT_FALSE(FindEventAttribute("onclick", &attribute));
}

}  // namespace
}  // namespace dialog
