// The element kinds that the dialog engine knows, their style-flag tables and the event
// attributes each kind accepts.
#pragma once

#include <cstdint>
#include <string_view>

namespace dialog {

enum class Kind {
  // layout and structure
  kDialogs,
  kWindow,
  kPanel,
  kTab,
  kContainer,
  kFrame,
  kHBox,
  kVBox,
  kGridBox,
  kMultiBox,
  kSingleBox,
  kScrollArea,
  kSplitter,
  kEmpty,
  kShortcut,
  // controls
  kButton,
  kButtonImage,
  kCalendar,
  kCanvas,
  kCheckBox,
  kComboBox,
  kDate,
  kEditor,
  kExplorerCombo,
  kExplorerList,
  kExplorerTree,
  kHyperLink,
  kImage,
  kIPAddress,
  kListIcon,
  kListView,
  kOption,
  kProgressBar,
  kScintilla,
  kScrollBar,
  kSpin,
  kString,
  kText,
  kTrackBar,
  kTree,
  kWeb,
};

// False for a name the engine does not know (such an element is skipped with its subtree).
bool FindKind(std::string_view elementName, Kind* kind);
const char* KindName(Kind kind);  // the element name in lower case

// Kinds that own one control (the window, the panel, a tab page, a container, a frame and every
// control element); hbox, vbox, gridbox, multibox, singlebox and empty create none.
bool CreatesControl(Kind kind);
// Kinds whose children live inside the kind's own control (window, container, tab page,
// scroll area); a frame's children are siblings laid over it.
bool HoldsChildControls(Kind kind);

// Value of a style flag for the kind, looked up without its "#" and without regard to case.
bool FindKindFlag(Kind kind, std::string_view nameWithoutHash, std::uint32_t* value);

// Toolkit flag values. These are the engine's own numbers; each toolkit translates them into its
// controls' styles.
namespace flag {
constexpr std::uint32_t kWindowScreenCentered = 0x1;
constexpr std::uint32_t kWindowWindowCentered = 0x2;
constexpr std::uint32_t kWindowTool = 0x4;
constexpr std::uint32_t kWindowBorderLess = 0x8;
constexpr std::uint32_t kWindowNoGadgets = 0x10;
constexpr std::uint32_t kWindowMinimizeGadget = 0xCA0000;
constexpr std::uint32_t kWindowMaximizeGadget = 0xC90000;
constexpr std::uint32_t kWindowSizeGadget = 0xC40000;
constexpr std::uint32_t kWindowSystemMenu = 0xC80000;
constexpr std::uint32_t kWindowTitleBar = 0xC00000;
constexpr std::uint32_t kWindowNoActivate = 0x2000000;
constexpr std::uint32_t kWindowInvisible = 0x10000000;
constexpr std::uint32_t kWindowSizeBit = 0x40000;  // the resizable-border part of SizeGadget
constexpr std::uint32_t kWindowSystemMenuBit = 0x80000;
constexpr std::uint32_t kWindowMinimizeBit = 0x20000;
constexpr std::uint32_t kWindowMaximizeBit = 0x10000;

constexpr std::uint32_t kListIconCheckBoxes = 0x1;
constexpr std::uint32_t kListIconGridLines = 0x2;
constexpr std::uint32_t kListIconMultiSelect = 0x4;
constexpr std::uint32_t kListIconAlwaysShowSelection = 0x8;
constexpr std::uint32_t kListIconHeaderDragDrop = 0x10;
constexpr std::uint32_t kListIconThreeState = 0x20;
constexpr std::uint32_t kListIconFullRowSelect = 0x40000000;

constexpr std::uint32_t kTextCenter = 0x1;
constexpr std::uint32_t kTextRight = 0x2;
constexpr std::uint32_t kTextBorder = 0x4;

constexpr std::uint32_t kContainerBorderLess = 0x0;  // the absence of a border
constexpr std::uint32_t kContainerFlat = 0x1;
constexpr std::uint32_t kContainerRaised = 0x2;
constexpr std::uint32_t kContainerSingle = 0x4;
constexpr std::uint32_t kContainerDouble = 0x8;

constexpr std::uint32_t kStringPassword = 0x1;
constexpr std::uint32_t kStringReadOnly = 0x2;
constexpr std::uint32_t kStringNumeric = 0x4;
constexpr std::uint32_t kStringUpperCase = 0x8;
constexpr std::uint32_t kStringLowerCase = 0x10;
constexpr std::uint32_t kStringBorderLess = 0x20;
constexpr std::uint32_t kStringAutoComplete = 0x40;
constexpr std::uint32_t kStringAutoInsert = 0x80;

constexpr std::uint32_t kCanvasBorder = 0x1;
constexpr std::uint32_t kCanvasClipMouse = 0x2;
constexpr std::uint32_t kCanvasKeyboard = 0x4;
constexpr std::uint32_t kCanvasDrawFocus = 0x8;

constexpr std::uint32_t kSpinReadOnly = 0x1;
constexpr std::uint32_t kSpinNumeric = 0x2;

constexpr std::uint32_t kCheckBoxRight = 0x1;
constexpr std::uint32_t kCheckBoxCenter = 0x2;
constexpr std::uint32_t kCheckBoxThreeState = 0x4;

constexpr std::uint32_t kComboBoxEditable = 0x1;
constexpr std::uint32_t kComboBoxLowerCase = 0x2;
constexpr std::uint32_t kComboBoxUpperCase = 0x4;
constexpr std::uint32_t kComboBoxImage = 0x8;

constexpr std::uint32_t kEditorReadOnly = 0x1;
constexpr std::uint32_t kEditorWordWrap = 0x2;

constexpr std::uint32_t kFrameDouble = 0x1;
constexpr std::uint32_t kFrameSingle = 0x2;
constexpr std::uint32_t kFrameFlat = 0x4;
}  // namespace flag

// Event attributes.
enum class EventAttribute {
  kOnEvent,
  kOnChange,
  kOnLeftClick,
  kOnRightClick,
  kOnLeftDoubleClick,
  kOnRightDoubleClick,
  kOnFocus,
  kOnLostFocus,
  kOnDragStart,
};
constexpr int kEventAttributeCount = 9;
const char* EventAttributeName(EventAttribute attribute);  // lower case, "onchange"
bool FindEventAttribute(std::string_view attributeName, EventAttribute* attribute);

// Kinds on which event attributes are ignored (window, container, frame, tab, layout elements).
bool IgnoresEvents(Kind kind);
bool AcceptsEvent(Kind kind, EventAttribute attribute);

// Event types the toolkits report (the type that a bound procedure's event carries).
namespace event {
constexpr int kLeftClick = 0;
constexpr int kRightClick = 1;
constexpr int kLeftDoubleClick = 2;
constexpr int kRightDoubleClick = 3;
constexpr int kFocus = 14;
constexpr int kLostFocus = 15;
constexpr int kDragStart = 16;
constexpr int kChange = 768;
// Canvas mouse events.
constexpr int kMouseEnter = 0x10001;
constexpr int kMouseLeave = 0x10002;
constexpr int kMouseMove = 0x10003;
constexpr int kLeftButtonDown = 0x10004;
constexpr int kLeftButtonUp = 0x10005;
}  // namespace event

// True when an event of that type reaches a procedure bound by that attribute.
bool EventMatches(EventAttribute attribute, int eventType);

}  // namespace dialog
