// The host's window text with the sample fragment, built with real Win32 controls (under Wine).
#include <windows.h>
// needs <windows.h> first
#include <commctrl.h>
#include <gtest/gtest.h>

#include "host/dialog/win32/win32_toolkit.h"
#include "tests/host/dialog/dialog_test_support.h"

namespace dialog::testing {
namespace {

std::string ClassOf(Control control) {
  wchar_t name[64] = {};
  GetClassNameW(static_cast<HWND>(control), name, 64);
  return Utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(name)));
}

// The control's rectangle in the client coordinates of its parent.
Rect WindowRect(Control control) {
  HWND window = static_cast<HWND>(control);
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return Rect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

Rect NodeRect(const Node& node) {
  return Rect{node.placedX, node.placedY, node.placedWidth, node.placedHeight};
}

struct Win32HostWindow : ::testing::Test {
  void SetUp() override {
    RegisterHostNames(names);
    document = ParseDescription(Utf8ToUtf16(HostWindowWithFragment(SampleFragment())));
    ASSERT_TRUE(document.ok()) << document.errorText;
    OpenWindowOptions options;
    options.keepHidden = true;
    ASSERT_TRUE(OpenWindow(dialog, toolkit, *document.root, names, options)) << dialog.error;
    window = static_cast<HWND>(dialog.window->control);
    dialog.onEvent = [this](int number, int type) { events.emplace_back(number, type); };
  }
  void TearDown() override { CloseWindow(dialog); }

  HWND Hwnd(const char* name) { return static_cast<HWND>(FindControl(dialog, name)); }
  HWND Hwnd(int number) { return static_cast<HWND>(FindControl(dialog, number)); }
  void ResizeInner(int width, int height) {
    RECT rect{0, 0, width, height};
    AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  win32::Win32Toolkit toolkit;
  RuntimeNameTable names;
  Document document;
  Dialog dialog;
  HWND window = nullptr;
  std::vector<std::pair<int, int>> events;
};

TEST_F(Win32HostWindow, BuildsRealControlsFoundByNameAndNumber) {
  EXPECT_FALSE(IsWindowVisible(window));
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 500);
  EXPECT_EQ(client.bottom, 450);
  EXPECT_EQ(ClassOf(Hwnd(6)), "SysListView32");
  EXPECT_EQ(ClassOf(Hwnd(7)), "RichEdit20W");
  EXPECT_EQ(ClassOf(Hwnd(12)), "Button");
  EXPECT_EQ(ClassOf(Hwnd("codebeautifier")), "VorpexDialogContainer");
  EXPECT_EQ(ClassOf(Hwnd("LineColor:Picker")), "VorpexDialogCanvas");
  EXPECT_EQ(ClassOf(Hwnd("LINECOLOR:COLOR")), "Edit");
  EXPECT_EQ(ClassOf(Hwnd("CaretStyle")), "ComboBox");
  EXPECT_EQ(ClassOf(Hwnd("BlankLines")), "Edit");
  EXPECT_EQ(ClassOf(toolkit.SpinButtonOf(Hwnd("BlankLines"))), "msctls_updown32");
  EXPECT_EQ(toolkit.NumberOf(Hwnd(6)), 6);
  EXPECT_EQ(toolkit.KindOf(Hwnd("Enabled")), Kind::kCheckBox);
  EXPECT_EQ(GetWindowLongPtrW(Hwnd("LineColor:Color"), GWL_STYLE) & ES_UPPERCASE, ES_UPPERCASE);
  DWORD extended = static_cast<DWORD>(SendMessageW(Hwnd(6), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  EXPECT_EQ(extended & (LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT),
            DWORD(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT));
  // Hidden plugin pages are built but not visible.
  EXPECT_TRUE(GetWindowLongPtrW(Hwnd("CodeBeautifier"), GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(GetWindowLongPtrW(Hwnd("VisualHelpers"), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(Win32HostWindow, ControlsStandWhereTheLayoutPutThem) {
  Node* list = FindNode(dialog, 6);
  Node* frame = list->parent->children[1].get();
  EXPECT_EQ(WindowRect(Hwnd(6)), NodeRect(*list));
  EXPECT_EQ(WindowRect(frame->control), NodeRect(*frame));
  EXPECT_EQ(list->placedWidth, 150);
  EXPECT_EQ(frame->placedX, 5 + 150 + 5);
  // The container's inner width is the page width less 2 × 2 (tab margin) and the frame fills
  // the rest of the row (container margin 5 on both sides).
  Node* container = list->parent->parent;
  EXPECT_EQ(frame->placedX + frame->placedWidth, container->placedWidth - 5);
  EXPECT_EQ(WindowRect(Hwnd("CodeBeautifier")), NodeRect(*FindNode(dialog, "CodeBeautifier")));
  for (const char* name : {"Enabled", "Comma:1", "BlankLines", "LineColor:Picker"}) {
    Node* node = FindNode(dialog, name);
    Rect expected = NodeRect(*node);
    if (std::string(name) == "BlankLines") expected.width -= GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(WindowRect(node->control), expected) << name;
  }
}

TEST_F(Win32HostWindow, ResizeRelaysOut) {
  Rect list = WindowRect(Hwnd(6));
  Rect editor = WindowRect(Hwnd(7));
  ResizeInner(700, 600);
  EXPECT_EQ(WindowRect(Hwnd(6)), (Rect{list.x, list.y, 150, list.height + 150}));
  Rect grown = WindowRect(Hwnd(7));
  EXPECT_EQ(grown.width, editor.width + 200);
  EXPECT_EQ(grown.height, editor.height + 150);
  // The user cannot shrink it below 500 × 450 of inner size.
  MINMAXINFO limits{};
  SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  RECT outer{0, 0, 500, 450};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE, 0);
  EXPECT_EQ(limits.ptMinTrackSize.x, outer.right - outer.left);
  EXPECT_EQ(limits.ptMinTrackSize.y, outer.bottom - outer.top);
}

TEST_F(Win32HostWindow, ControlEventsReachTheEngine) {
  HWND comma0 = Hwnd("Comma:0"), comma2 = Hwnd("Comma:2"), operators0 = Hwnd("Operators:0");
  auto click = [](HWND button) {
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
  };
  click(operators0);
  click(comma0);
  click(comma2);
  EXPECT_EQ(SendMessageW(comma2, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(comma0, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(operators0, BM_GETCHECK, 0, 0), BST_CHECKED);  // another group
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[2], std::make_pair(ControlNumber(dialog, "Comma:2"), event::kLeftClick));

  events.clear();
  SetWindowTextW(Hwnd("LineColor:Color"), L"FF");
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(),
            std::make_pair(ControlNumber(dialog, "LineColor:Color"), event::kChange));

  // The list's onchange procedure runs when a row's check box changes.
  ProcedureCalls() = 0;
  HWND list = Hwnd(6);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  wchar_t text[] = L"Code beautifier";
  item.pszText = text;
  SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  int before = ProcedureCalls();
  LVITEMW state{};
  state.stateMask = LVIS_STATEIMAGEMASK;
  state.state = INDEXTOSTATEIMAGEMASK(2);
  SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
  EXPECT_GT(ProcedureCalls(), before);

  // Switching tabs shows the other page and reports a change of the panel.
  Node* panel = FindNode(dialog, 6)->parent->parent->parent->parent;
  ASSERT_EQ(panel->kind, Kind::kPanel);
  HWND tabs = static_cast<HWND>(panel->control);
  HWND settingsPage = static_cast<HWND>(panel->children[0]->control);
  HWND logsPage = static_cast<HWND>(panel->children[1]->control);
  EXPECT_TRUE(GetWindowLongPtrW(settingsPage, GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(GetWindowLongPtrW(logsPage, GWL_STYLE) & WS_VISIBLE);
  SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
  NMHDR header{tabs, 0, static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(GetParent(tabs), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  EXPECT_FALSE(GetWindowLongPtrW(settingsPage, GWL_STYLE) & WS_VISIBLE);
  EXPECT_TRUE(GetWindowLongPtrW(logsPage, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(events.back().second, event::kChange);
}

TEST_F(Win32HostWindow, CanvasMouseEventsAndColour) {
  HWND picker = Hwnd("LineColor:Picker");
  int number = ControlNumber(dialog, "LineColor:Picker");
  SendMessageW(picker, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageW(picker, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  std::vector<std::pair<int, int>> expected = {{number, event::kLeftButtonDown},
                                               {number, event::kLeftButtonUp},
                                               {number, event::kLeftClick}};
  EXPECT_EQ(events, expected);
  toolkit.SetCanvasColor(picker, RGB(0, 255, 255));  // repaints with the colour
}

TEST(Win32Dialog, InvisibleFlagKeepsTheWindowHiddenOtherwiseItShows) {
  // The toolkit's 0x10000000 means "hidden", although it is WS_VISIBLE's value in Win32.
  win32::Win32Toolkit toolkit;
  RuntimeNameTable names;
  Document hidden = ParseDescriptionUtf8(
      "<window flags='#PB_Window_Invisible|#PB_Window_SystemMenu'><empty/></window>");
  Document shown = ParseDescriptionUtf8(
      "<window text='Shown' flags='#PB_Window_NoActivate'><text text='a long caption "
      "here'/></window>");
  Dialog first, second;
  ASSERT_TRUE(OpenWindow(first, toolkit, *hidden.root, names));
  ASSERT_TRUE(OpenWindow(second, toolkit, *shown.root, names));
  EXPECT_FALSE(IsWindowVisible(static_cast<HWND>(first.window->control)));
  EXPECT_TRUE(IsWindowVisible(static_cast<HWND>(second.window->control)));
  // The label's natural size is its caption's extent plus 2: wider than a short caption's.
  Node* label = second.window->children[0].get();
  EXPECT_GT(label->requiredWidth, 40);
  EXPECT_EQ(label->requiredWidth, toolkit.NaturalSize(label->control).width);
  RECT client;
  GetClientRect(static_cast<HWND>(second.window->control), &client);
  EXPECT_EQ(client.right, label->requiredWidth + 16);  // window margins 8 on each side
}

TEST(Win32Dialog, EveryKnownElementBuildsAndCloses) {
  win32::Win32Toolkit toolkit;
  RuntimeNameTable names;
  RegisterHostNames(names);
  Document document = ParseDescriptionUtf8(kEveryElementText);
  Dialog dialog;
  OpenWindowOptions options;
  options.name = "ALL";
  options.keepHidden = true;
  ASSERT_TRUE(OpenWindow(dialog, toolkit, *document.root, names, options)) << dialog.error;
  HWND area = static_cast<HWND>(FindControl(dialog, "area"));
  ASSERT_NE(area, nullptr);
  EXPECT_TRUE(IsWindow(area));
  EXPECT_EQ(ClassOf(FindControl(dialog, "lv")), "ListBox");
  HWND window = static_cast<HWND>(dialog.window->control);
  CloseWindow(dialog);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(IsWindow(area));
  EXPECT_FALSE(toolkit.IsKnown(area));
}

TEST(Win32Dialog, ErrorsCloseEverything) {
  win32::Win32Toolkit toolkit;
  RuntimeNameTable names;
  RegisterHostNames(names);
  Document document = ParseDescriptionUtf8(
      "<window><vbox><listicon/><checkbox onchange='OnChangeToolGadgets()'/></vbox></window>");
  Dialog dialog;
  EXPECT_FALSE(OpenWindow(dialog, toolkit, *document.root, names));
  EXPECT_EQ(dialog.error, "'onchange' is not supported for the following gadget: checkbox");
  EXPECT_EQ(dialog.window, nullptr);
}

}  // namespace
}  // namespace dialog::testing
