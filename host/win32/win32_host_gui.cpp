#include "host/win32/win32_host_gui.h"

#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>
#include <shellapi.h>
#include <shobjidl.h>

#include <algorithm>
#include <cmath>

#include "core/ascii.h"
#include "core/integer_text.h"
#include "core/utf.h"
#include "host/icon_rules.h"
#include "os/win32/wide_text.h"

namespace {

using os::Narrow;
using os::Wide;

constexpr UINT kTrayMessage = WM_APP + 5;  // tray icon mouse events
constexpr UINT kTrayId = kToolSystray;

std::wstring WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::wstring text(std::size_t(std::max(length, 0)) + 1, L'\0');
  int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(std::size_t(std::max(copied, 0)));
  return text;
}

std::wstring WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return Wide(out);
}

bool IsRichEdit(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  std::string className = core::AsciiToLower(Narrow(name));
  return className.find("richedit") != std::string::npos;
}

// Straight-alpha "source over" of one pixel (BGRA bytes).
void BlendPixel(BYTE* pixel, int red, int green, int blue, double alpha) {
  const double destinationAlpha = pixel[3] / 255.0;
  const double outAlpha = alpha + destinationAlpha * (1 - alpha);
  if (outAlpha <= 0) return;
  auto mix = [&](int source, BYTE destination) {
    return BYTE(
        std::lround((source * alpha + destination * destinationAlpha * (1 - alpha)) / outAlpha));
  };
  pixel[0] = mix(blue, pixel[0]);
  pixel[1] = mix(green, pixel[1]);
  pixel[2] = mix(red, pixel[2]);
  pixel[3] = BYTE(std::lround(outAlpha * 255));
}

bool InsideRoundBox(int px, int py, int x, int y, int width, int height, int radius) {
  const double cx = px + 0.5, cy = py + 0.5;
  if (cx < x || cy < y || cx > x + width || cy > y + height) return false;
  const double nearestX = std::clamp(cx, double(x + radius), double(x + width - radius));
  const double nearestY = std::clamp(cy, double(y + radius), double(y + height - radius));
  const double dx = cx - nearestX, dy = cy - nearestY;
  return dx * dx + dy * dy <= double(radius) * radius;
}

void FillRoundBox(BYTE* bits, int size, int x, int y, int width, int height, int radius, int red,
                  int green, int blue, int alpha) {
  for (int py = 0; py < size; ++py)
    for (int px = 0; px < size; ++px)
      if (InsideRoundBox(px, py, x, y, width, height, radius))
        BlendPixel(bits + (py * size + px) * 4, red, green, blue, alpha / 255.0);
}

HBITMAP CreateImage32(int size, BYTE** bits) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (bitmap && pixels) std::fill_n(static_cast<BYTE*>(pixels), size * size * 4, BYTE(0));
  *bits = static_cast<BYTE*>(pixels);
  return bitmap;
}

// The white "S", centred, blended over the image by the glyph's coverage.
void DrawLetter(BYTE* bits, int size) {
  BYTE* letterBits = nullptr;
  HBITMAP letter = CreateImage32(size, &letterBits);
  if (!letter) return;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ oldBitmap = SelectObject(dc, letter);
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SIZE extent = {};
  GetTextExtentPoint32W(dc, L"S", 1, &extent);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  TextOutW(dc, size / 2 - extent.cx / 2, size / 2 - extent.cy / 2, L"S", 1);
  GdiFlush();
  for (int i = 0; i < size * size; ++i) {
    const BYTE* source = letterBits + i * 4;
    const int coverage = std::max({source[0], source[1], source[2]});
    if (coverage) BlendPixel(bits + i * 4, 255, 255, 255, coverage / 255.0);
  }
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteDC(dc);
  DeleteObject(letter);
}

// Turns a square 32-bit image into an icon; null when the size is not an icon size.
HICON MakeIcon(HBITMAP image, int size) {
  if (!image || !IsIconSize(size, size)) return nullptr;
  BYTE* maskBits = nullptr;
  HBITMAP mask = CreateImage32(size, &maskBits);  // fully transparent
  ICONINFO info = {};
  info.fIcon = TRUE;
  info.hbmMask = mask;
  info.hbmColor = image;
  HICON icon = CreateIconIndirect(&info);
  if (mask) DeleteObject(mask);
  return icon;
}

ControlKind HostKind(dialog::Kind kind) {
  switch (kind) {
    case dialog::Kind::kCheckBox:
      return ControlKind::kCheckBox;
    case dialog::Kind::kSpin:
      return ControlKind::kSpin;
    case dialog::Kind::kOption:
      return ControlKind::kOption;
    case dialog::Kind::kString:
      return ControlKind::kString;
    case dialog::Kind::kCanvas:
      return ControlKind::kCanvas;
    case dialog::Kind::kComboBox:
      return ControlKind::kComboBox;
    case dialog::Kind::kListIcon:
      return ControlKind::kListIcon;
    case dialog::Kind::kEditor:
      return ControlKind::kEditor;
    default:
      return ControlKind::kOther;
  }
}

// The text a control of this node has when the toolkit has just made it.
std::string InitialText(const dialog::Node& node) {
  switch (node.kind) {
    case dialog::Kind::kText:
    case dialog::Kind::kHyperLink:
    case dialog::Kind::kString:
    case dialog::Kind::kEditor:
      return node.caption;
    case dialog::Kind::kSpin:
      return std::to_string(node.minimum);
    case dialog::Kind::kCheckBox:
    case dialog::Kind::kOption:
    case dialog::Kind::kButton:
    case dialog::Kind::kButtonImage:
    case dialog::Kind::kFrame: {
      std::string doubled;  // a button shows "&" as "&&"
      for (char c : node.caption) doubled += c == '&' ? std::string("&&") : std::string(1, c);
      return doubled;
    }
    default:
      return std::string();
  }
}

}  // namespace

Win32HostGui::Win32HostGui(HINSTANCE instance) : instance_(instance), toolkit_(instance) {
  toolkit_.windowMessageHook = [this](HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT* result) {
    return HandleWindowMessage(window, message, wParam, lParam, result);
  };
  toolkit_.onCloseRequest = [this](dialog::Control) {
    if (bound_ && handlers_.onHideWindow) handlers_.onHideWindow();
  };
}

Win32HostGui::~Win32HostGui() {
  RemoveTrayIcon();
  if (menu_) DestroyMenu(menu_);
  if (icon_) DestroyIcon(icon_);
  if (miniFont_) DeleteObject(miniFont_);
}

void Win32HostGui::ShowMessage(const std::string& caption, const std::string& text) {
  MessageBoxW(nullptr, Wide(text).c_str(), Wide(caption).c_str(),
              MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

void Win32HostGui::Sleep(int milliseconds) { ::Sleep(DWORD(milliseconds)); }

void Win32HostGui::LoadEditorLibrary() { LoadLibraryW(L"Scintilla.dll"); }

bool Win32HostGui::OpenToolWindow(dialog::Document& description,
                                  const dialog::RuntimeNameTable& names, std::string* error) {
  dialog::OpenWindowOptions options;
  options.deferControls = true;
  if (!dialog::OpenWindow(dialog_, toolkit_, *description.root, names, options)) {
    *error = dialog_.error;
    return false;
  }
  opened_ = true;
  window_ = static_cast<HWND>(dialog::FindControl(dialog_, kToolWindow));
  if (!window_ && dialog_.window) window_ = static_cast<HWND>(dialog_.window->control);
  // Events pass through this object from now on, so that none reaches a handler before binding.
  toolkit_.SetListener(window_, this);
  dialog_.onEvent = [this](int number, int eventType) {
    eventControl_ = number;
    eventType_ = eventType;
    if (handlers_.onChangeGadgets) handlers_.onChangeGadgets();
  };
  return window_ != nullptr;
}

void Win32HostGui::OnResized(int innerWidth, int innerHeight) {
  if (built_) dialog_.OnResized(innerWidth, innerHeight);
}

void Win32HostGui::OnControlEvent(int number, int eventType) {
  if (bound_ && !building_) dialog_.OnControlEvent(number, eventType);
}

bool Win32HostGui::BuildControls() {
  if (!opened_ || built_ || building_) return built_;
  building_ = true;
  toolkit_.SetListener(window_, nullptr);  // placed once, not again for each size message
  built_ = dialog::BuildControls(dialog_);
  toolkit_.SetListener(window_, this);
  if (built_) {
    std::vector<std::function<void()>> calls;
    calls.swap(later_);
    for (const std::function<void()>& call : calls) call();
    early_.clear();
    earlyRows_.clear();
  }
  building_ = false;
  if (!built_) {
    ShowMessage(title_, "Dialog error: " + dialog_.error.substr(0, 200));
    PostCloseEvent();
  }
  return built_;
}

Win32HostGui::EarlyControl* Win32HostGui::EarlyRecord(ControlId control) {
  if (control <= 0 || control > INT32_MAX) return nullptr;
  auto found = early_.find(control);
  if (found != early_.end()) return &found->second;
  const dialog::Node* node = dialog::FindNode(dialog_, int(control));
  if (!node) return nullptr;
  EarlyControl& record = early_[control];
  record.text = InitialText(*node);
  if (node->kind == dialog::Kind::kComboBox) record.state = -1;
  return &record;
}

void Win32HostGui::HideFromTaskbar(HWND window) {
  static ITaskbarList* taskbar = nullptr;
  static bool tried = false;
  if (!tried) {
    tried = true;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITaskbarList, reinterpret_cast<void**>(&taskbar)))) {
      if (FAILED(taskbar->HrInit())) {
        taskbar->Release();
        taskbar = nullptr;
      }
    }
  }
  if (taskbar) taskbar->DeleteTab(window);
}

void Win32HostGui::PrepareToolWindow(os::Window owner, const std::string& title,
                                     int refreshMilliseconds) {
  // Flicker-free: the background is erased only around the child controls.
  SetWindowLongPtrW(window_, GWL_STYLE, GetWindowLongPtrW(window_, GWL_STYLE) | WS_CLIPCHILDREN);
  HideFromTaskbar(window_);
  SetWindowLongPtrW(window_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  SetWindowTextW(window_, Wide(title).c_str());
  title_ = title;
  SetTimer(window_, kToolRefreshTimer, UINT(refreshMilliseconds), nullptr);
}

bool Win32HostGui::CreateIcon() {
  constexpr int kSize = 16;
  BYTE* bits = nullptr;
  HBITMAP image = CreateImage32(kSize, &bits);
  if (!image || !bits) return false;
  FillRoundBox(bits, kSize, 0, 0, 16, 16, 3, 200, 0, 0, 100);
  FillRoundBox(bits, kSize, 1, 1, 14, 14, 2, 255, 0, 0, 255);
  DrawLetter(bits, kSize);
  icon_ = MakeIcon(image, kSize);
  DeleteObject(image);
  if (!icon_) return false;
  SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  return true;
}

bool Win32HostGui::CreateMenu() {
  menu_ = CreatePopupMenu();
  if (!menu_) return false;
  AppendMenuW(menu_, MF_STRING, kToolMenuShowWindow, L"Preferences...");
  AppendMenuW(menu_, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu_, MF_STRING, kToolMenuCloseWindow, L"Exit");
  return true;
}

bool Win32HostGui::AddTrayIcon(const std::string& tooltip) {
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = kTrayId;
  data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  data.uCallbackMessage = kTrayMessage;
  data.hIcon = icon_;
  lstrcpynW(data.szTip, Wide(tooltip).c_str(), int(sizeof data.szTip / sizeof data.szTip[0]));
  trayAdded_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
  return trayAdded_;
}

void Win32HostGui::LoadMiniFont() {
  if (miniFont_) return;
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(6, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  miniFont_ = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_DONTCARE, L"Verdana");
}

void Win32HostGui::BindEvents(const HostHandlers& handlers) {
  handlers_ = handlers;
  bound_ = true;
}

void Win32HostGui::RunEventLoop() {
  MSG message;
  while (!closeRequested_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (toolkit_.HandleDialogMessage(window_, &message)) continue;  // the tool window's keyboard
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Win32HostGui::PostCloseEvent() {
  closeRequested_ = true;
  PostMessageW(window_, WM_NULL, 0, 0);  // wakes the loop's wait
}

void Win32HostGui::RemoveTrayIcon() {
  if (!trayAdded_) return;
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = kTrayId;
  Shell_NotifyIconW(NIM_DELETE, &data);
  trayAdded_ = false;
}

void Win32HostGui::CloseToolWindow() {
  if (!opened_) return;
  KillTimer(window_, kToolRefreshTimer);
  bound_ = false;
  dialog::CloseWindow(dialog_);
  opened_ = false;
  built_ = false;
  window_ = nullptr;
  later_.clear();
  early_.clear();
  earlyRows_.clear();
}

bool Win32HostGui::HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       LRESULT* result) {
  if (window != window_ || !window_) return false;
  switch (message) {
    case WM_TIMER:
      if (wParam != kToolRefreshTimer) return false;
      if (bound_ && handlers_.onRefreshLogs) handlers_.onRefreshLogs();
      *result = 0;
      return true;
    case kTrayMessage:
      switch (LOWORD(lParam)) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
          if (bound_ && handlers_.onShowMenu) handlers_.onShowMenu();
          break;
      }
      *result = 0;
      return true;
    case WM_COMMAND:
      // Menu items (also sent by other programs): no control, the item's number.
      if (lParam != 0 || HIWORD(wParam) > 1) return false;
      if (LOWORD(wParam) == kToolMenuShowWindow) {
        if (bound_ && handlers_.onShowWindow) handlers_.onShowWindow();
      } else if (LOWORD(wParam) == kToolMenuCloseWindow) {
        if (bound_ && handlers_.onCloseWindow) handlers_.onCloseWindow();
      } else {
        return false;
      }
      *result = 0;
      return true;
    case WM_QUERYENDSESSION:
      *result = TRUE;  // the host never holds a log-off or shutdown up
      return true;
    case WM_ENDSESSION:
      if (wParam && bound_ && handlers_.onEndSession) handlers_.onEndSession();
      *result = 0;
      return true;
    case WM_SHOWWINDOW:
      // Shown by anything (the IDE's closing mark restores it too): with its controls.
      if (wParam) {
        BuildControls();
        AddPendingTooltips();
      }
      return false;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) {
        minimised_ = true;
      } else if (minimised_ && (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED)) {
        minimised_ = false;
        if (bound_ && handlers_.onRestoreWindow) handlers_.onRestoreWindow();
      }
      return false;  // the layout still follows the size
    default:
      return false;
  }
}

HWND Win32HostGui::Handle(ControlId control) {
  if (!opened_ || control <= 0 || control > INT32_MAX) return nullptr;
  return static_cast<HWND>(dialog::FindControl(dialog_, int(control)));
}

ControlId Win32HostGui::FindControl(const std::string& name) {
  if (!opened_) return 0;
  const int number = dialog::ControlNumber(dialog_, name);
  return number > 0 && dialog::FindNode(dialog_, number) ? number : 0;
}

ControlKind Win32HostGui::KindOf(ControlId control) {
  if (Early()) {
    const dialog::Node* node =
        control > 0 && control <= INT32_MAX ? dialog::FindNode(dialog_, int(control)) : nullptr;
    return node ? HostKind(node->kind) : ControlKind::kOther;
  }
  HWND handle = Handle(control);
  if (!handle || !toolkit_.IsKnown(handle)) return ControlKind::kOther;
  return HostKind(toolkit_.KindOf(handle));
}

std::int64_t Win32HostGui::GetState(ControlId control) {
  if (Early()) {
    const EarlyControl* record = EarlyRecord(control);
    if (!record) return 0;
    switch (KindOf(control)) {
      case ControlKind::kCheckBox:
      case ControlKind::kOption:
      case ControlKind::kComboBox:
        return record->state;
      case ControlKind::kSpin:
        return core::ReadIntegerText(record->text);
      default:
        return 0;
    }
  }
  HWND handle = Handle(control);
  if (!handle) return 0;
  switch (KindOf(control)) {
    case ControlKind::kCheckBox:
    case ControlKind::kOption:
      return SendMessageW(handle, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    case ControlKind::kSpin:
      return core::ReadIntegerText(Narrow(WindowText(handle)));
    case ControlKind::kComboBox:
      return static_cast<std::int64_t>(SendMessageW(handle, CB_GETCURSEL, 0, 0));
    default:
      return 0;
  }
}

void Win32HostGui::SetState(ControlId control, std::int64_t state) {
  if (Early()) {
    EarlyControl* record = EarlyRecord(control);
    if (!record) return;
    Later([this, control, state] { SetState(control, state); });
    switch (KindOf(control)) {
      case ControlKind::kCheckBox:
        record->state = state ? 1 : 0;
        break;
      case ControlKind::kOption:
        record->state = state ? 1 : 0;
        if (state) {  // the others of its group are cleared
          const int group = dialog::FindNode(dialog_, int(control))->optionGroup;
          for (auto& [number, other] : early_) {
            const dialog::Node* node = dialog::FindNode(dialog_, int(number));
            if (number != control && node && node->kind == dialog::Kind::kOption &&
                node->optionGroup == group)
              other.state = 0;
          }
        }
        break;
      case ControlKind::kSpin:
        record->text = std::to_string(std::clamp<std::int64_t>(state, INT32_MIN, INT32_MAX));
        break;
      case ControlKind::kComboBox:
        record->state = state >= 0 && std::uint64_t(state) < record->items ? state : -1;
        break;
      default:
        break;
    }
    return;
  }
  HWND handle = Handle(control);
  if (!handle) return;
  switch (KindOf(control)) {
    case ControlKind::kCheckBox:
      SendMessageW(handle, BM_SETCHECK, state ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case ControlKind::kOption:
      if (state) {
        toolkit_.SelectOption(handle);
      } else {
        SendMessageW(handle, BM_SETCHECK, BST_UNCHECKED, 0);
      }
      break;
    case ControlKind::kSpin: {
      const int value = int(std::clamp<std::int64_t>(state, INT32_MIN, INT32_MAX));
      if (HWND buddy = toolkit_.SpinButtonOf(handle)) SendMessageW(buddy, UDM_SETPOS32, 0, value);
      SetWindowTextW(handle, Wide(std::to_string(value)).c_str());
      break;
    }
    case ControlKind::kComboBox:
      SendMessageW(handle, CB_SETCURSEL, WPARAM(state < 0 ? -1 : state), 0);
      break;
    default:
      break;
  }
}

std::string Win32HostGui::GetText(ControlId control) {
  if (Early()) {
    const EarlyControl* record = EarlyRecord(control);
    return record ? record->text : std::string();
  }
  HWND handle = Handle(control);
  return handle ? Narrow(WindowText(handle)) : std::string();
}

void Win32HostGui::SetText(ControlId control, const std::string& text) {
  if (Early()) {
    if (EarlyControl* record = EarlyRecord(control)) {
      record->text = text;
      Later([this, control, text] { SetText(control, text); });
    }
    return;
  }
  if (HWND handle = Handle(control)) SetWindowTextW(handle, Wide(text).c_str());
}

void Win32HostGui::EnableControl(ControlId control, bool enable) {
  if (Early()) return Later([this, control, enable] { EnableControl(control, enable); });
  if (HWND handle = Handle(control)) toolkit_.Enable(handle, enable);
}

void Win32HostGui::ShowControl(ControlId control, bool show) {
  if (Early()) return Later([this, control, show] { ShowControl(control, show); });
  if (HWND handle = Handle(control)) toolkit_.Show(handle, show);
}

void Win32HostGui::SetTooltip(ControlId control, const std::string& text) {
  if (Early()) return Later([this, control, text] { SetTooltip(control, text); });
  HWND handle = Handle(control);
  if (!handle) return;
  // Nobody can point at a control before the window is first shown: the tooltips are registered
  // then, which keeps a window of the tooltip class and one registration per control off start-up.
  if (window_ && !IsWindowVisible(window_)) {
    pendingTooltips_.emplace_back(handle, text);
    return;
  }
  AddTooltip(handle, text);
}

void Win32HostGui::AddPendingTooltips() {
  std::vector<std::pair<HWND, std::string>> pending;
  pending.swap(pendingTooltips_);
  for (const auto& [handle, text] : pending) AddTooltip(handle, text);
}

void Win32HostGui::AddTooltip(HWND handle, const std::string& text) {
  if (!tooltips_) {
    tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                                nullptr, instance_, nullptr);
    if (!tooltips_) return;
    SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, 400);
  }
  std::wstring wide = Wide(text);
  TTTOOLINFOW info = {};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = GetParent(handle);
  info.uId = reinterpret_cast<UINT_PTR>(handle);
  info.lpszText = wide.data();
  SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void Win32HostGui::SetFont(ControlId control, const std::string& fontName) {
  if (Early()) return Later([this, control, fontName] { SetFont(control, fontName); });
  HWND handle = Handle(control);
  if (!handle) return;
  // "mini" is the one font the host knows; any other name keeps the dialog's font.
  if (fontName == "mini" && miniFont_)
    SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(miniFont_), TRUE);
}

void Win32HostGui::AddItem(ControlId control, const std::string& text) {
  if (Early()) {
    if (EarlyControl* record = EarlyRecord(control)) {
      if (KindOf(control) == ControlKind::kComboBox) ++record->items;
      Later([this, control, text] { AddItem(control, text); });
    }
    return;
  }
  if (HWND handle = Handle(control))
    SendMessageW(handle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

void Win32HostGui::FillColor(ControlId canvas, std::uint32_t colour) {
  if (Early()) return Later([this, canvas, colour] { FillColor(canvas, colour); });
  if (HWND handle = Handle(canvas)) toolkit_.SetCanvasColor(handle, COLORREF(colour & 0xFFFFFF));
}

std::int64_t Win32HostGui::PickColor(std::int64_t initial) {
  // The common dialogs library (and the printing libraries it brings) is loaded when the user
  // first picks a colour, not at every start-up; from the system folder only, since the host's
  // own folder holds plugins.
  using ChooseColorProcedure = BOOL(WINAPI*)(CHOOSECOLORW*);
  static const ChooseColorProcedure chooseColor = [] {
    HMODULE library = LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return library ? reinterpret_cast<ChooseColorProcedure>(
                         reinterpret_cast<void*>(GetProcAddress(library, "ChooseColorW")))
                   : nullptr;
  }();
  if (!chooseColor) return -1;
  CHOOSECOLORW chooser = {};
  chooser.lStructSize = sizeof chooser;
  chooser.hwndOwner = window_;
  chooser.rgbResult = COLORREF(initial & 0xFFFFFF);
  chooser.lpCustColors = customColours_;
  chooser.Flags = CC_RGBINIT | CC_FULLOPEN;
  return chooseColor(&chooser) ? std::int64_t(chooser.rgbResult) : -1;
}

int Win32HostGui::AddRow(const std::string& text, bool checked) {
  if (Early()) {
    if (!dialog::FindNode(dialog_, kToolListIcon)) return -1;
    Later([this, text, checked] { AddRow(text, checked); });
    earlyRows_.emplace_back(text, checked);
    return int(earlyRows_.size()) - 1;
  }
  HWND list = List();
  if (!list) return -1;
  std::wstring wide = Wide(text);
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iItem = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  item.pszText = wide.data();
  const int row = int(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (row < 0) return -1;
  LVITEMW state = {};
  state.stateMask = LVIS_STATEIMAGEMASK;
  state.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
  SendMessageW(list, LVM_SETITEMSTATE, WPARAM(row), reinterpret_cast<LPARAM>(&state));
  return row;
}

int Win32HostGui::RowCount() {
  if (Early()) return int(earlyRows_.size());
  HWND list = List();
  return list ? int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

bool Win32HostGui::IsRowChecked(int row) {
  if (Early()) return row >= 0 && row < int(earlyRows_.size()) && earlyRows_[row].second;
  HWND list = List();
  if (!list) return false;
  const UINT state = UINT(SendMessageW(list, LVM_GETITEMSTATE, WPARAM(row), LVIS_STATEIMAGEMASK));
  return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

int Win32HostGui::SelectedRow() {
  if (Early()) return earlySelectedRow_;
  HWND list = List();
  return list ? int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)) : -1;
}

void Win32HostGui::SelectRow(int row) {
  if (Early()) {
    if (row < 0 || row >= RowCount()) return;
    earlySelectedRow_ = row;
    return Later([this, row] { SelectRow(row); });
  }
  HWND list = List();
  if (!list || row < 0 || row >= RowCount()) return;
  LVITEMW state = {};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, WPARAM(row), reinterpret_cast<LPARAM>(&state));
}

void Win32HostGui::FitListColumn() {
  if (Early()) return Later([this] { FitListColumn(); });
  HWND list = List();
  if (!list) return;
  RECT bounds = {};
  GetWindowRect(list, &bounds);
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 0,
               MAKELPARAM(std::max<LONG>(bounds.right - bounds.left - 4, 0), 0));
}

bool Win32HostGui::IsToolWindowVisible() { return window_ && IsWindowVisible(window_); }

void Win32HostGui::ShowToolWindow() {
  if (!window_ || !BuildControls()) return;
  const bool opening = !IsWindowVisible(window_);
  // The first show does not take the focus (the description's no-activate flag).
  ::ShowWindow(window_, shownOnce_ ? SW_SHOW : SW_SHOWNA);
  shownOnce_ = true;
  // Each opening starts on the plugin list (once the window is active), with the focus drawn.
  if (opening) toolkit_.SetFocusTarget(window_, List());
  SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void Win32HostGui::HideToolWindow(os::Window activate) {
  if (activate) SetForegroundWindow(static_cast<HWND>(activate));
  if (window_) ::ShowWindow(window_, SW_HIDE);
}

void Win32HostGui::ShowMenuAtMouse() {
  if (!menu_ || !window_) return;
  POINT mouse = {};
  GetCursorPos(&mouse);
  SetForegroundWindow(window_);  // so that the menu closes when the user clicks elsewhere
  TrackPopupMenu(menu_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, mouse.x - 1, mouse.y - 1, 0, window_,
                 nullptr);
  PostMessageW(window_, WM_NULL, 0, 0);
}

ScrollPosition Win32HostGui::GetLogScroll() {
  HWND logs = Logs();
  ScrollPosition position;
  if (!logs) return position;
  if (IsRichEdit(logs)) {
    POINT point = {};
    SendMessageW(logs, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&point));
    position.x = point.x;
    position.y = point.y;
  } else {
    position.x = GetScrollPos(logs, SB_HORZ);
    position.y = int(SendMessageW(logs, EM_GETFIRSTVISIBLELINE, 0, 0));
  }
  return position;
}

void Win32HostGui::SetLogScroll(ScrollPosition position) {
  if (Early()) return Later([this, position] { SetLogScroll(position); });
  HWND logs = Logs();
  if (!logs) return;
  if (IsRichEdit(logs)) {
    POINT point = {position.x, position.y};
    SendMessageW(logs, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&point));
  } else {
    const int first = int(SendMessageW(logs, EM_GETFIRSTVISIBLELINE, 0, 0));
    SendMessageW(logs, EM_LINESCROLL, 0, position.y - first);
  }
}

void Win32HostGui::SetLogTabStops(const TabStops& stops) {
  if (Early()) return Later([this, stops] { SetLogTabStops(stops); });
  HWND logs = Logs();
  if (!logs) return;
  int count = 0;
  while (count < int(stops.size()) && stops[count] > 0) ++count;
  if (IsRichEdit(logs)) {
    // Rich edit's own tab-stop message is a stub on Wine: the paragraph format works everywhere.
    const LONG baseX = LOWORD(GetDialogBaseUnits());
    PARAFORMAT format = {};
    format.cbSize = sizeof format;
    format.dwMask = PFM_TABSTOPS;
    format.cTabCount = SHORT(count);
    for (int i = 0; i < count; ++i)
      format.rgxTabs[i] = MulDiv(stops[i], baseX, 4) * 15;  // twips at 96 dpi
    CHARRANGE all = {0, -1}, old = {};
    SendMessageW(logs, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&old));
    SendMessageW(logs, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    SendMessageW(logs, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    SendMessageW(logs, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&old));
  } else {
    SendMessageW(logs, EM_SETTABSTOPS, WPARAM(count),
                 reinterpret_cast<LPARAM>(count ? stops.data() : nullptr));
  }
  tabStops_ = stops;
}

void Win32HostGui::SetLogText(const std::string& text) {
  if (Early()) return Later([this, text] { SetLogText(text); });
  HWND logs = Logs();
  if (!logs) return;
  SendMessageW(logs, WM_SETREDRAW, FALSE, 0);
  SetWindowTextW(logs, WithCrLf(text).c_str());
  if (IsRichEdit(logs)) SetLogTabStops(tabStops_);  // the new text takes the stops too
  SendMessageW(logs, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(logs, nullptr, TRUE);
}
