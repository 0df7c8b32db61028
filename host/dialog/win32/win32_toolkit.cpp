#include "host/dialog/win32/win32_toolkit.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "os/win32/wide_text.h"

namespace dialog::win32 {

namespace {

using os::Wide;

constexpr wchar_t kWindowClass[] = L"VorpexDialogWindow";
constexpr wchar_t kContainerClass[] = L"VorpexDialogContainer";
constexpr wchar_t kPageClass[] = L"VorpexDialogPage";
constexpr wchar_t kCanvasClass[] = L"VorpexDialogCanvas";
constexpr int kComboDropHeight = 200;  // the list below a combo box's field

// Buttons take "&" as a mnemonic mark; descriptions mean a plain ampersand.
std::wstring ButtonCaption(const std::string& text) {
  std::wstring wide = Wide(text), doubled;
  for (wchar_t c : wide) {
    doubled += c;
    if (c == L'&') doubled += L'&';
  }
  return doubled;
}

bool IsButtonLike(Kind kind) {
  return kind == Kind::kCheckBox || kind == Kind::kOption || kind == Kind::kButton ||
         kind == Kind::kButtonImage || kind == Kind::kFrame;
}

void RegisterClasses(HINSTANCE instance) {
  static bool registered = false;
  if (registered) return;
  registered = true;
  INITCOMMONCONTROLSEX controls{
      sizeof controls, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES |
                           ICC_DATE_CLASSES | ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS |
                           ICC_INTERNET_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  struct ClassSpec {
    const wchar_t* name;
    UINT style;
  } classSetups[] = {{kWindowClass, CS_HREDRAW | CS_VREDRAW},
                     {kContainerClass, CS_HREDRAW | CS_VREDRAW},
                     {kPageClass, 0},
                     {kCanvasClass, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW}};
  for (const ClassSpec& params : classSetups) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = params.style;
    windowClass.lpfnWndProc = Win32Toolkit::WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = params.name;
    RegisterClassExW(&windowClass);
  }
}

DWORD WindowStyle(std::uint32_t flags) {
  DWORD style = WS_CLIPCHILDREN;
  if (flags & flag::kWindowBorderLess) return style | WS_POPUP;
  style |= WS_CAPTION;  // a top-level window always has a title bar unless borderless
  if ((flags & flag::kWindowNoGadgets) == 0) {
    if (flags & flag::kWindowSystemMenuBit) style |= WS_SYSMENU;
    if (flags & flag::kWindowMinimizeBit) style |= WS_MINIMIZEBOX;
    if (flags & flag::kWindowMaximizeBit) style |= WS_MAXIMIZEBOX;
  }
  if (flags & flag::kWindowSizeBit) style |= WS_THICKFRAME;
  return style;
}

SIZE OuterSize(DWORD style, DWORD exStyle, int width, int height) {
  RECT rect{0, 0, width, height};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

Win32Toolkit::Win32Toolkit(HINSTANCE instance)
    : instance_(instance != nullptr ? instance : GetModuleHandleW(nullptr)) {
  RegisterClasses(instance_);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    font_ = CreateFontIndirectW(&metrics.lfMessageFont);
    ownsFont_ = font_ != nullptr;
  }
  if (font_ == nullptr) font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font_);
  TEXTMETRICW text{};
  if (GetTextMetricsW(screen, &text)) lineHeight_ = text.tmHeight;
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
}

Win32Toolkit::~Win32Toolkit() {
  if (ownsFont_) DeleteObject(font_);
}

Win32Toolkit::ControlInfo* Win32Toolkit::Find(HWND window) {
  auto found = controls_.find(window);
  return found != controls_.end() ? &found->second : nullptr;
}

const Win32Toolkit::ControlInfo* Win32Toolkit::Find(HWND window) const {
  auto found = controls_.find(window);
  return found != controls_.end() ? &found->second : nullptr;
}

HWND Win32Toolkit::CreateChild(const wchar_t* className, const std::string& caption, DWORD style,
                               DWORD exStyle, HWND parent) {
  HWND control =
      CreateWindowExW(exStyle, className, Wide(caption).c_str(), style | WS_CHILD | WS_VISIBLE, 0,
                      0, 0, 0, parent, nullptr, instance_, this);
  if (control != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return control;
}

Control Win32Toolkit::CreateTopWindow(const ControlSpec& params, Control owner, int x, int y,
                                      int width, int height) {
  DWORD style = WindowStyle(params.flags);
  DWORD exStyle = (params.flags & flag::kWindowTool) ? WS_EX_TOOLWINDOW : 0;
  SIZE outer = OuterSize(style, exStyle, width, height);
  HWND window =
      CreateWindowExW(exStyle, kWindowClass, Wide(params.caption).c_str(), style, x, y, outer.cx,
                      outer.cy, static_cast<HWND>(owner), nullptr, instance_, this);
  if (window == nullptr) return nullptr;
  lastOptionGroup_ = 0;
  ControlInfo& info = controls_[window];
  info.kind = Kind::kWindow;
  info.number = params.number;
  info.flags = params.flags;
  info.style = style;
  info.exStyle = exStyle;
  return window;
}

Control Win32Toolkit::CreateControl(Control parentControl, const ControlSpec& params) {
  HWND parent = static_cast<HWND>(parentControl);
  const std::uint32_t flags = params.flags;
  HWND control = nullptr;
  HWND buddy = nullptr;
  switch (params.kind) {
    case Kind::kPanel:
      // A control parent, so that Tab walks into the shown page.
      control = CreateChild(WC_TABCONTROLW, "", WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP,
                            WS_EX_CONTROLPARENT, parent);
      break;
    case Kind::kContainer:
    case Kind::kScrollArea:
      // No WS_CLIPCHILDREN: a frame (group box) inside does not paint its own interior.
      control = CreateChild(kContainerClass, "", 0, WS_EX_CONTROLPARENT, parent);
      break;
    case Kind::kFrame:
      control = CreateChild(L"BUTTON", "", BS_GROUPBOX, 0, parent);
      break;
    case Kind::kText:
    case Kind::kHyperLink: {
      DWORD style = SS_NOPREFIX | SS_NOTIFY;
      if (params.kind == Kind::kText && (flags & flag::kTextCenter))
        style |= SS_CENTER;
      else if (params.kind == Kind::kText && (flags & flag::kTextRight))
        style |= SS_RIGHT;
      if (params.kind == Kind::kText && (flags & flag::kTextBorder)) style |= SS_SUNKEN;
      control = CreateChild(L"STATIC", params.caption, style, 0, parent);
      break;
    }
    case Kind::kCheckBox: {
      DWORD style =
          WS_TABSTOP | ((flags & flag::kCheckBoxThreeState) ? BS_AUTO3STATE : BS_AUTOCHECKBOX);
      if (flags & flag::kCheckBoxRight) style |= BS_LEFTTEXT | BS_RIGHT;
      if (flags & flag::kCheckBoxCenter) style |= BS_CENTER;
      control = CreateChild(L"BUTTON", "", style, 0, parent);
      break;
    }
    case Kind::kOption:
      // Exclusive by group number, not by window order: options of one group may sit in
      // different boxes.
      control = CreateChild(L"BUTTON", "", BS_RADIOBUTTON | WS_TABSTOP, 0, parent);
      break;
    case Kind::kButton:
    case Kind::kButtonImage: {
      DWORD style = WS_TABSTOP | ((flags & 0x4) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      if (flags & 0x10) style = WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE;  // toggle
      if (flags & 0x8) style |= BS_MULTILINE;
      control = CreateChild(L"BUTTON", "", style, 0, parent);
      break;
    }
    case Kind::kString: {
      DWORD style = ES_AUTOHSCROLL | WS_TABSTOP;
      if (flags & flag::kStringPassword) style |= ES_PASSWORD;
      if (flags & flag::kStringReadOnly) style |= ES_READONLY;
      if (flags & flag::kStringNumeric) style |= ES_NUMBER;
      if (flags & flag::kStringUpperCase) style |= ES_UPPERCASE;
      if (flags & flag::kStringLowerCase) style |= ES_LOWERCASE;
      DWORD exStyle = (flags & flag::kStringBorderLess) ? 0 : WS_EX_CLIENTEDGE;
      control = CreateChild(L"EDIT", params.caption, style, exStyle, parent);
      break;
    }
    case Kind::kSpin: {
      DWORD style = ES_AUTOHSCROLL | WS_TABSTOP;
      if (flags & flag::kSpinNumeric) style |= ES_NUMBER;
      if (flags & flag::kSpinReadOnly) style |= ES_READONLY;
      control =
          CreateChild(L"EDIT", std::to_string(params.minimum), style, WS_EX_CLIENTEDGE, parent);
      if (control == nullptr) break;
      buddy = CreateChild(UPDOWN_CLASSW, "", UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0,
                          parent);
      if (buddy == nullptr) {
        DestroyWindow(control);
        control = nullptr;
        break;
      }
      SendMessageW(buddy, UDM_SETBUDDY, reinterpret_cast<WPARAM>(control), 0);
      SendMessageW(buddy, UDM_SETRANGE32, static_cast<WPARAM>(params.minimum),
                   static_cast<LPARAM>(params.maximum));
      SendMessageW(buddy, UDM_SETPOS32, 0, static_cast<LPARAM>(params.minimum));
      break;
    }
    case Kind::kComboBox:
    case Kind::kExplorerCombo: {
      DWORD style = WS_VSCROLL | WS_TABSTOP;
      bool editable = params.kind == Kind::kComboBox && (flags & flag::kComboBoxEditable);
      style |= editable ? (CBS_DROPDOWN | CBS_AUTOHSCROLL) : CBS_DROPDOWNLIST;
      if (params.kind == Kind::kComboBox && (flags & flag::kComboBoxLowerCase))
        style |= CBS_LOWERCASE;
      if (params.kind == Kind::kComboBox && (flags & flag::kComboBoxUpperCase))
        style |= CBS_UPPERCASE;
      control = CreateChild(WC_COMBOBOXW, "", style, 0, parent);
      break;
    }
    case Kind::kListIcon:
    case Kind::kExplorerList: {
      bool listIcon = params.kind == Kind::kListIcon;
      DWORD style = LVS_REPORT | WS_TABSTOP;
      if (!listIcon || (flags & flag::kListIconMultiSelect) == 0) style |= LVS_SINGLESEL;
      if (listIcon && (flags & flag::kListIconAlwaysShowSelection)) style |= LVS_SHOWSELALWAYS;
      control = CreateChild(WC_LISTVIEWW, "", style, WS_EX_CLIENTEDGE, parent);
      if (control == nullptr) break;
      DWORD extended = 0;
      if (listIcon && (flags & flag::kListIconCheckBoxes)) extended |= LVS_EX_CHECKBOXES;
      if (listIcon && (flags & flag::kListIconFullRowSelect)) extended |= LVS_EX_FULLROWSELECT;
      if (listIcon && (flags & flag::kListIconGridLines)) extended |= LVS_EX_GRIDLINES;
      if (listIcon && (flags & flag::kListIconHeaderDragDrop)) extended |= LVS_EX_HEADERDRAGDROP;
      SendMessageW(control, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
      std::wstring title = Wide(params.caption);
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.cx = 300;
      column.pszText = title.data();
      SendMessageW(control, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
      break;
    }
    case Kind::kListView:
      control = CreateChild(L"LISTBOX", "", LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
                            parent);
      break;
    case Kind::kTree:
    case Kind::kExplorerTree: {
      DWORD style = TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | WS_TABSTOP;
      if (params.kind == Kind::kTree && (flags & 0x1)) style |= TVS_SHOWSELALWAYS;
      if (params.kind == Kind::kTree && (flags & 0x8)) style |= TVS_CHECKBOXES;
      control = CreateChild(WC_TREEVIEWW, "", style, WS_EX_CLIENTEDGE, parent);
      break;
    }
    case Kind::kEditor: {
      // RichEdit20W: its library is loaded when the first editor is made, not by every program
      // that builds a window.
      static const bool richEditLoaded = LoadLibraryW(L"riched20.dll") != nullptr;
      (void)richEditLoaded;
      DWORD style = ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP;
      if ((flags & flag::kEditorWordWrap) == 0) style |= ES_AUTOHSCROLL | WS_HSCROLL;
      if (flags & flag::kEditorReadOnly) style |= ES_READONLY;
      control = CreateChild(RICHEDIT_CLASSW, params.caption, style, WS_EX_CLIENTEDGE, parent);
      if (control == nullptr)
        control = CreateChild(L"EDIT", params.caption, style, WS_EX_CLIENTEDGE, parent);
      break;
    }
    case Kind::kCanvas:
      control =
          CreateChild(kCanvasClass, "", (flags & flag::kCanvasBorder) ? WS_BORDER : 0, 0, parent);
      break;
    case Kind::kProgressBar:
      control = CreateChild(PROGRESS_CLASSW, "",
                            ((flags & 0x1) ? PBS_SMOOTH : 0) | ((flags & 0x2) ? PBS_VERTICAL : 0),
                            0, parent);
      break;
    case Kind::kTrackBar:
      control = CreateChild(
          TRACKBAR_CLASSW, "",
          WS_TABSTOP | ((flags & 0x1) ? TBS_AUTOTICKS : 0) | ((flags & 0x2) ? TBS_VERT : 0), 0,
          parent);
      break;
    case Kind::kScrollBar:
      control = CreateChild(L"SCROLLBAR", "", (flags & 0x1) ? SBS_VERT : SBS_HORZ, 0, parent);
      break;
    case Kind::kDate:
      control = CreateChild(
          DATETIMEPICK_CLASSW, "",
          WS_TABSTOP | ((flags & 0x1) ? DTS_UPDOWN : 0) | ((flags & 0x2) ? DTS_SHOWNONE : 0), 0,
          parent);
      break;
    case Kind::kCalendar:
      control = CreateChild(MONTHCAL_CLASSW, "", WS_TABSTOP, 0, parent);
      break;
    case Kind::kIPAddress:
      control = CreateChild(WC_IPADDRESSW, "", WS_TABSTOP, 0, parent);
      break;
    case Kind::kScintilla:
      control = CreateChild(L"Scintilla", "", WS_TABSTOP, WS_EX_CLIENTEDGE, parent);
      if (control == nullptr) control = CreateChild(L"STATIC", "", 0, WS_EX_CLIENTEDGE, parent);
      break;
    default:  // image, web and the rest: a plain area
      control = CreateChild(L"STATIC", "", SS_NOPREFIX, 0, parent);
      break;
  }
  if (control == nullptr) return nullptr;
  // Keyboard order: every control starts a group of its own, except an option that continues the
  // options created right before it; one option of a group is its tab stop (see SelectOption).
  const bool continuesGroup = params.kind == Kind::kOption && params.optionGroup != 0 &&
                              params.optionGroup == lastOptionGroup_;
  lastOptionGroup_ = params.kind == Kind::kOption ? params.optionGroup : 0;
  const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
  SetWindowLongPtrW(control, GWL_STYLE,
                    continuesGroup ? style & ~LONG_PTR{WS_TABSTOP} : style | WS_GROUP);
  ControlInfo& info = controls_[control];
  info.kind = params.kind;
  info.number = params.number;
  info.flags = flags;
  info.optionGroup = params.optionGroup;
  info.sequence = ++created_;
  info.buddy = buddy;
  if (IsButtonLike(params.kind)) SetWindowTextW(control, ButtonCaption(params.caption).c_str());
  return control;
}

Control Win32Toolkit::AddPanelTab(Control panelControl, const std::string& caption) {
  HWND panel = static_cast<HWND>(panelControl);
  ControlInfo* panelInfo = Find(panel);
  if (panelInfo == nullptr) return nullptr;
  std::wstring text = Wide(caption);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text.data();
  int index = static_cast<int>(panelInfo->pages.size());
  lastOptionGroup_ = 0;
  if (SendMessageW(panel, TCM_INSERTITEMW, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&item)) < 0)
    return nullptr;
  HWND page = CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"",
                              WS_CHILD | (index == 0 ? WS_VISIBLE : 0), 0, 0, 0, 0, panel, nullptr,
                              instance_, this);
  if (page == nullptr) {
    SendMessageW(panel, TCM_DELETEITEM, static_cast<WPARAM>(index), 0);
    return nullptr;
  }
  panelInfo = Find(panel);  // the map may have moved its entries
  panelInfo->pages.push_back(page);
  controls_[page].kind = Kind::kTab;
  return page;
}

void Win32Toolkit::SetPanelTabCaption(Control panel, int index, const std::string& caption) {
  std::wstring text = Wide(caption);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text.data();
  SendMessageW(static_cast<HWND>(panel), TCM_SETITEMW, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&item));
}

void Win32Toolkit::DestroyControl(Control control) {
  HWND window = static_cast<HWND>(control);
  if (ControlInfo* info = Find(window)) {
    if (info->buddy != nullptr) DestroyWindow(info->buddy);
    for (HWND page : info->pages) controls_.erase(page);
    controls_.erase(window);
  }
  DestroyWindow(window);
}

SIZE Win32Toolkit::TextExtent(const std::string& text) const {
  std::wstring wide = Wide(text);
  SIZE size{0, lineHeight_};
  if (wide.empty()) return size;
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font_);
  RECT rect{0, 0, 0, 0};
  DrawTextW(screen, wide.c_str(), static_cast<int>(wide.size()), &rect, DT_CALCRECT | DT_NOPREFIX);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  size.cx = rect.right - rect.left;
  size.cy = std::max<LONG>(rect.bottom - rect.top, lineHeight_);
  return size;
}

Size Win32Toolkit::NaturalSize(Control control) {
  HWND window = static_cast<HWND>(control);
  const ControlInfo* info = Find(window);
  if (info == nullptr) return Size{};
  std::wstring wide(static_cast<size_t>(std::max(GetWindowTextLengthW(window), 0)) + 1, L'\0');
  wide.resize(static_cast<size_t>(
      std::max(GetWindowTextW(window, wide.data(), static_cast<int>(wide.size())), 0)));
  if (IsButtonLike(info->kind)) {  // measure the caption as shown, with single ampersands
    std::wstring shown;
    for (size_t i = 0; i < wide.size(); ++i) {
      shown += wide[i];
      if (wide[i] == L'&' && i + 1 < wide.size() && wide[i + 1] == L'&') ++i;
    }
    wide = shown;
  }
  std::string caption;
  if (!wide.empty()) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
    caption.resize(static_cast<size_t>(bytes));
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), caption.data(),
                        bytes, nullptr, nullptr);
  }
  SIZE text = TextExtent(caption);
  int field = lineHeight_ + 8;  // one line in an edit-like field with its border
  switch (info->kind) {
    case Kind::kText:
    case Kind::kHyperLink:
      if (info->flags & flag::kTextBorder)
        return Size{text.cx + 2 * GetSystemMetrics(SM_CXEDGE),
                    text.cy + 2 * GetSystemMetrics(SM_CYEDGE)};
      return Size{text.cx + 2, text.cy + 2};
    case Kind::kCheckBox:
    case Kind::kOption:
      return Size{text.cx + GetSystemMetrics(SM_CXMENUCHECK) + 6,
                  std::max<int>(text.cy, GetSystemMetrics(SM_CYMENUCHECK)) + 4};
    case Kind::kButton:
    case Kind::kButtonImage:
      return Size{text.cx + 16, text.cy + 10};
    case Kind::kComboBox:
    case Kind::kExplorerCombo:
      return Size{TextExtent("Mmmmmm").cx + GetSystemMetrics(SM_CXVSCROLL) + 8, field};
    case Kind::kString:
      return Size{std::max<int>(text.cx + 8, 40), field};
    case Kind::kSpin:
    case Kind::kDate:
      return Size{TextExtent("00000").cx + GetSystemMetrics(SM_CXVSCROLL) + 8, field};
    case Kind::kIPAddress:
      return Size{TextExtent("000.000.000.000").cx + 12, field};
    case Kind::kCanvas:
      return (info->flags & flag::kCanvasBorder) ? Size{2, 2} : Size{0, 0};
    case Kind::kTrackBar:
      return Size{0, 30};
    default:
      return Size{};
  }
}

int Win32Toolkit::PanelHeaderHeight(Control panel) {
  RECT rect{0, 0, 400, 400};
  SendMessageW(static_cast<HWND>(panel), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rect));
  return std::max<int>(rect.top, 1);
}

int Win32Toolkit::FrameCaptionHeight(Control frame) {
  wchar_t buffer[8];
  return GetWindowTextW(static_cast<HWND>(frame), buffer, 8) > 0 ? lineHeight_ : 0;
}

int Win32Toolkit::SystemBorderWidth() { return GetSystemMetrics(SM_CXBORDER); }

void Win32Toolkit::Move(Control control, int x, int y, int width, int height) {
  HWND window = static_cast<HWND>(control);
  const ControlInfo* info = Find(window);
  Kind kind = info != nullptr ? info->kind : Kind::kText;
  if (kind == Kind::kSpin && info->buddy != nullptr) {
    int button = std::min(GetSystemMetrics(SM_CXVSCROLL), width / 2);
    MoveWindow(window, x, y, width - button, height, TRUE);
    MoveWindow(info->buddy, x + width - button, y, button, height, TRUE);
  } else if (kind == Kind::kComboBox || kind == Kind::kExplorerCombo) {
    MoveWindow(window, x, y, width, height + kComboDropHeight, TRUE);
  } else if (kind == Kind::kPanel) {
    MoveWindow(window, x, y, width, height, TRUE);
    int header = PanelHeaderHeight(control);
    for (HWND page : info->pages)
      MoveWindow(page, 2, header, std::max(width - 4, 0), std::max(height - header - 2, 0), TRUE);
  } else {
    MoveWindow(window, x, y, width, height, TRUE);
  }
}

void Win32Toolkit::Show(Control control, bool visible) {
  HWND window = static_cast<HWND>(control);
  ::ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
  if (const ControlInfo* info = Find(window); info != nullptr && info->buddy != nullptr)
    ::ShowWindow(info->buddy, visible ? SW_SHOWNA : SW_HIDE);
}

void Win32Toolkit::Enable(Control control, bool enabled) {
  HWND window = static_cast<HWND>(control);
  EnableWindow(window, enabled);
  if (const ControlInfo* info = Find(window); info != nullptr && info->buddy != nullptr)
    EnableWindow(info->buddy, enabled);
}

void Win32Toolkit::SetCaption(Control control, const std::string& caption) {
  HWND window = static_cast<HWND>(control);
  const ControlInfo* info = Find(window);
  Kind kind = info != nullptr ? info->kind : Kind::kText;
  if (kind == Kind::kComboBox) return;
  if (kind == Kind::kListIcon) {
    std::wstring title = Wide(caption);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = title.data();
    SendMessageW(window, LVM_SETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    return;
  }
  if (IsButtonLike(kind)) {
    SetWindowTextW(window, ButtonCaption(caption).c_str());
  } else {
    SetWindowTextW(window, Wide(caption).c_str());
  }
}

void Win32Toolkit::SetInnerSize(Control control, int width, int height) {
  HWND window = static_cast<HWND>(control);
  DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  SIZE outer = OuterSize(style, exStyle, width, height);
  SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Toolkit::SetSizeBounds(Control control, int minWidth, int minHeight, int maxWidth,
                                 int maxHeight) {
  if (ControlInfo* info = Find(static_cast<HWND>(control))) {
    info->minWidth = minWidth, info->minHeight = minHeight;
    info->maxWidth = maxWidth, info->maxHeight = maxHeight;
  }
}

void Win32Toolkit::Center(Control control, Control parent) {
  HWND window = static_cast<HWND>(control);
  RECT area{};
  if (parent != nullptr && IsWindow(static_cast<HWND>(parent))) {
    GetWindowRect(static_cast<HWND>(parent), &area);
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT rect{};
  GetWindowRect(window, &rect);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  int x = area.left + (area.right - area.left - width) / 2;
  int y = area.top + (area.bottom - area.top - height) / 2;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Toolkit::ShowWindow(Control control, bool activate) {
  HWND window = static_cast<HWND>(control);
  ::ShowWindow(window, activate ? SW_SHOW : SW_SHOWNOACTIVATE);
  UpdateWindow(window);
}

void Win32Toolkit::SetListener(Control control, WindowListener* listener) {
  if (ControlInfo* info = Find(static_cast<HWND>(control))) info->listener = listener;
}

bool Win32Toolkit::IsKnown(Control control) const {
  return Find(static_cast<HWND>(control)) != nullptr;
}

Kind Win32Toolkit::KindOf(Control control) const {
  const ControlInfo* info = Find(static_cast<HWND>(control));
  return info != nullptr ? info->kind : Kind::kText;
}

int Win32Toolkit::NumberOf(Control control) const {
  const ControlInfo* info = Find(static_cast<HWND>(control));
  return info != nullptr ? info->number : -1;
}

HWND Win32Toolkit::SpinButtonOf(Control spin) const {
  const ControlInfo* info = Find(static_cast<HWND>(spin));
  return info != nullptr ? info->buddy : nullptr;
}

void Win32Toolkit::SelectOption(Control option) {
  HWND window = static_cast<HWND>(option);
  const ControlInfo* info = Find(window);
  if (info == nullptr || info->kind != Kind::kOption) return;
  int group = info->optionGroup;
  for (const auto& [other, otherInfo] : controls_)
    if (otherInfo.kind == Kind::kOption && otherInfo.optionGroup == group && other != window) {
      SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
      SetWindowLongPtrW(other, GWL_STYLE,
                        GetWindowLongPtrW(other, GWL_STYLE) & ~LONG_PTR{WS_TABSTOP});
    }
  SendMessageW(window, BM_SETCHECK, BST_CHECKED, 0);
  SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) | WS_TABSTOP);
}

void Win32Toolkit::SelectPanelTab(Control panel, int index) {
  HWND window = static_cast<HWND>(panel);
  const ControlInfo* info = Find(window);
  if (info == nullptr || index < 0 || index >= static_cast<int>(info->pages.size())) return;
  if (SendMessageW(window, TCM_GETCURSEL, 0, 0) != index)
    SendMessageW(window, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  for (size_t i = 0; i < info->pages.size(); ++i)
    ::ShowWindow(info->pages[i], static_cast<int>(i) == index ? SW_SHOWNA : SW_HIDE);
}

void Win32Toolkit::SetCanvasColor(Control canvas, COLORREF color) {
  HWND window = static_cast<HWND>(canvas);
  if (ControlInfo* info = Find(window)) {
    info->color = color;
    InvalidateRect(window, nullptr, TRUE);
  }
}

void Win32Toolkit::SetFocusTarget(Control windowControl, Control control) {
  HWND window = static_cast<HWND>(windowControl);
  ControlInfo* info = Find(window);
  if (info == nullptr || info->kind != Kind::kWindow) return;
  info->focus = static_cast<HWND>(control);
  if (GetActiveWindow() == window) RestoreFocus(window, *info);
}

void Win32Toolkit::RestoreFocus(HWND window, const ControlInfo& info) {
  HWND target = info.focus;
  if (target == nullptr || !IsChild(window, target) || !IsWindowVisible(target) ||
      !IsWindowEnabled(target))
    target = GetNextDlgTabItem(window, nullptr, FALSE);
  SetFocus(target != nullptr ? target : window);
}

// The next (or previous) shown and enabled option of the same group in creation order, wrapping
// round; it is focused and, unless already checked, clicked, so that the change takes a click's
// way.
bool Win32Toolkit::MoveInOptionGroup(HWND from, bool forward) {
  const ControlInfo* info = Find(from);
  if (info == nullptr || info->kind != Kind::kOption) return false;
  std::vector<std::pair<int, HWND>> group;
  for (const auto& [other, otherInfo] : controls_)
    if (otherInfo.kind == Kind::kOption && otherInfo.optionGroup == info->optionGroup &&
        (other == from || (IsWindowVisible(other) && IsWindowEnabled(other))))
      group.emplace_back(otherInfo.sequence, other);
  std::sort(group.begin(), group.end());
  const auto at = std::find(group.begin(), group.end(), std::make_pair(info->sequence, from));
  const std::size_t index = static_cast<std::size_t>(at - group.begin());
  const std::size_t size = group.size();
  HWND next = group[forward ? (index + 1) % size : (index + size - 1) % size].second;
  if (next == from) return true;
  SetFocus(next);
  if (SendMessageW(next, BM_GETCHECK, 0, 0) != BST_CHECKED) SendMessageW(next, BM_CLICK, 0, 0);
  return true;
}

// The next (or previous) page of the panel that holds `from`, as a click on its tab would show
// it; the focus goes to the page's first tab stop.
bool Win32Toolkit::TurnPanelPage(HWND from, bool forward) {
  HWND panel = from;
  while (panel != nullptr && KindOf(panel) != Kind::kPanel) panel = GetParent(panel);
  const ControlInfo* info = panel != nullptr ? Find(panel) : nullptr;
  if (info == nullptr || info->pages.empty()) return false;
  const int count = static_cast<int>(info->pages.size());
  const int current = std::max(static_cast<int>(SendMessageW(panel, TCM_GETCURSEL, 0, 0)), 0);
  const int index = (current + (forward ? 1 : count - 1)) % count;
  HWND page = info->pages[static_cast<size_t>(index)];
  SelectPanelTab(panel, index);
  Report(panel, event::kChange);
  HWND first = GetNextDlgTabItem(page, nullptr, FALSE);
  SetFocus(first != nullptr && IsChild(page, first) ? first : panel);
  return true;
}

bool Win32Toolkit::HandleDialogMessage(HWND window, MSG* message) {
  if (window == nullptr || (message->hwnd != window && !IsChild(window, message->hwnd)))
    return false;
  if (message->message == WM_KEYDOWN) {
    const WPARAM key = message->wParam;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    if (key == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
      if (TurnPanelPage(message->hwnd, !shift)) return true;
    } else if (key == VK_TAB && KindOf(message->hwnd) == Kind::kEditor) {
      // An editor would take the Tab as text; it leaves the editor, as in a dialog.
      if (HWND next = GetNextDlgTabItem(window, message->hwnd, shift)) SetFocus(next);
      return true;
    }
    if ((key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN) &&
        MoveInOptionGroup(message->hwnd, key == VK_RIGHT || key == VK_DOWN))
      return true;
  }
  // The rest is the system's: Tab through WS_TABSTOP controls (into WS_EX_CONTROLPARENT
  // windows), Space to the focused control, Escape as IDCANCEL to the window.
  return IsDialogMessageW(window, message) != FALSE;
}

void Win32Toolkit::RequestClose(HWND window) {
  if (onCloseRequest) {
    onCloseRequest(window);
  } else {
    ::ShowWindow(window, SW_HIDE);
  }
}

void Win32Toolkit::Report(HWND control, int eventType) {
  const ControlInfo* info = Find(control);
  if (info == nullptr) return;
  int number = info->number;
  const ControlInfo* root = Find(GetAncestor(control, GA_ROOT));
  if (root != nullptr && root->listener != nullptr)
    root->listener->OnControlEvent(number, eventType);
}

void Win32Toolkit::HandleCommand(HWND from, int code) {
  const ControlInfo* info = Find(from);
  if (info == nullptr) return;
  switch (info->kind) {
    case Kind::kCheckBox:
    case Kind::kButton:
    case Kind::kButtonImage:
      if (code == BN_CLICKED) Report(from, event::kLeftClick);
      break;
    case Kind::kOption:
      if (code == BN_CLICKED) {
        SelectOption(from);
        Report(from, event::kLeftClick);
      }
      break;
    case Kind::kString:
    case Kind::kSpin:
      if (code == EN_CHANGE)
        Report(from, event::kChange);
      else if (code == EN_SETFOCUS)
        Report(from, event::kFocus);
      else if (code == EN_KILLFOCUS)
        Report(from, event::kLostFocus);
      break;
    case Kind::kComboBox:
    case Kind::kExplorerCombo:
      if (code == CBN_SELCHANGE || code == CBN_EDITCHANGE)
        Report(from, event::kChange);
      else if (code == CBN_SETFOCUS)
        Report(from, event::kFocus);
      else if (code == CBN_KILLFOCUS)
        Report(from, event::kLostFocus);
      break;
    case Kind::kListView:
      if (code == LBN_SELCHANGE)
        Report(from, event::kLeftClick);
      else if (code == LBN_DBLCLK)
        Report(from, event::kLeftDoubleClick);
      break;
    case Kind::kText:
    case Kind::kHyperLink:
      if (code == STN_CLICKED)
        Report(from, event::kLeftClick);
      else if (code == STN_DBLCLK)
        Report(from, event::kLeftDoubleClick);
      break;
    default:
      break;
  }
}

void Win32Toolkit::HandleNotify(const NMHDR& header) {
  HWND from = header.hwndFrom;
  const ControlInfo* info = Find(from);
  if (info == nullptr) return;
  const UINT code = header.code;
  switch (info->kind) {
    case Kind::kListIcon:
    case Kind::kExplorerList:
    case Kind::kTree:
    case Kind::kExplorerTree:
      if (code == NM_CLICK)
        Report(from, event::kLeftClick);
      else if (code == NM_RCLICK)
        Report(from, event::kRightClick);
      else if (code == NM_DBLCLK)
        Report(from, event::kLeftDoubleClick);
      else if (code == NM_RDBLCLK)
        Report(from, event::kRightDoubleClick);
      else if (code == LVN_BEGINDRAG || code == TVN_BEGINDRAGW)
        Report(from, event::kDragStart);
      else if (code == TVN_SELCHANGEDW)
        Report(from, event::kChange);
      else if (code == LVN_ITEMCHANGED &&
               (reinterpret_cast<const NMLISTVIEW&>(header).uChanged & LVIF_STATE) != 0)
        Report(from, event::kChange);
      break;
    case Kind::kPanel:
      if (code == TCN_SELCHANGE) {
        SelectPanelTab(from, static_cast<int>(SendMessageW(from, TCM_GETCURSEL, 0, 0)));
        Report(from, event::kChange);
      }
      break;
    case Kind::kDate:
      if (code == DTN_DATETIMECHANGE) Report(from, event::kChange);
      break;
    default:
      break;
  }
}

void Win32Toolkit::PaintOwnClass(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  const ControlInfo* info = Find(window);
  RECT rect;
  GetClientRect(window, &rect);
  if (info != nullptr && info->kind == Kind::kCanvas) {
    HBRUSH brush = CreateSolidBrush(info->color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
  } else if (info != nullptr && info->kind == Kind::kContainer && info->flags != 0) {
    // One pixel a side: the border the layout keeps room for.
    if (info->flags & flag::kContainerRaised) {
      DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT);
    } else {
      int color = (info->flags & flag::kContainerFlat) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW;
      FrameRect(dc, &rect, GetSysColorBrush(color));
    }
  }
  EndPaint(window, &paint);
}

LRESULT Win32Toolkit::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ControlInfo* info = Find(window);
  Kind kind = info != nullptr ? info->kind : Kind::kText;
  if (kind == Kind::kWindow && windowMessageHook) {
    LRESULT result = 0;
    if (windowMessageHook(window, message, wParam, lParam, &result)) return result;
    info = Find(window);  // the hook may have changed the records
    if (info == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  }
  switch (message) {
    case WM_COMMAND:
      if (lParam != 0) {
        HandleCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      } else if (kind == Kind::kWindow && LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == 0) {
        RequestClose(window);  // Escape
      }
      return 0;
    case WM_NOTIFY:
      if (lParam != 0) HandleNotify(*reinterpret_cast<const NMHDR*>(lParam));
      return 0;
    case WM_PAINT:
      if (kind == Kind::kCanvas || kind == Kind::kContainer) {
        PaintOwnClass(window);
        return 0;
      }
      break;
    case WM_SIZE:
      if (kind == Kind::kWindow && wParam != SIZE_MINIMIZED && info->listener != nullptr)
        info->listener->OnResized(LOWORD(lParam), HIWORD(lParam));
      if (kind == Kind::kContainer) InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_GETMINMAXINFO:
      if (kind == Kind::kWindow) {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
        DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
        if (info->minWidth >= 0)
          limits->ptMinTrackSize.x = OuterSize(style, exStyle, info->minWidth, 0).cx;
        if (info->minHeight >= 0)
          limits->ptMinTrackSize.y = OuterSize(style, exStyle, 0, info->minHeight).cy;
        if (info->maxWidth >= 0)
          limits->ptMaxTrackSize.x = OuterSize(style, exStyle, info->maxWidth, 0).cx;
        if (info->maxHeight >= 0)
          limits->ptMaxTrackSize.y = OuterSize(style, exStyle, 0, info->maxHeight).cy;
        return 0;
      }
      break;
    case WM_CLOSE:
      // A child of this toolkit's classes closes with its window (a rich edit in dialog mode
      // sends Escape to its parent this way), never on its own.
      RequestClose(kind == Kind::kWindow ? window : GetAncestor(window, GA_ROOT));
      return 0;
    case WM_ACTIVATE:
      if (kind != Kind::kWindow) break;
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window, focus)) info->focus = focus;
      } else if (HIWORD(wParam) == 0) {  // not minimised
        RestoreFocus(window, *info);
      }
      return 0;
    case WM_MOUSEMOVE:
      if (kind == Kind::kCanvas) {
        if (!info->hovering) {
          info->hovering = true;
          TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
          TrackMouseEvent(&track);
          Report(window, event::kMouseEnter);
        }
        Report(window, event::kMouseMove);
        return 0;
      }
      break;
    case WM_MOUSELEAVE:
      if (kind == Kind::kCanvas) {
        info->hovering = false;
        Report(window, event::kMouseLeave);
        return 0;
      }
      break;
    case WM_LBUTTONDOWN:
      if (kind == Kind::kCanvas) {
        info->pressed = true;
        Report(window, event::kLeftButtonDown);
        return 0;
      }
      break;
    case WM_LBUTTONUP:
      if (kind == Kind::kCanvas) {
        bool click = info->pressed;
        info->pressed = false;
        Report(window, event::kLeftButtonUp);
        if (click) Report(window, event::kLeftClick);
        return 0;
      }
      break;
    case WM_RBUTTONUP:
      if (kind == Kind::kCanvas) {
        Report(window, event::kRightClick);
        return 0;
      }
      break;
    case WM_LBUTTONDBLCLK:
      if (kind == Kind::kCanvas) {
        Report(window, event::kLeftDoubleClick);
        return 0;
      }
      break;
    case WM_RBUTTONDBLCLK:
      if (kind == Kind::kCanvas) {
        Report(window, event::kRightDoubleClick);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK Win32Toolkit::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* toolkit = reinterpret_cast<Win32Toolkit*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (toolkit == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return toolkit->Handle(window, message, wParam, lParam);
}

}  // namespace dialog::win32
