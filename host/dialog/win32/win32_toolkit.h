// The dialog engine's toolkit with real Win32 common controls.
//
// Controls are HWNDs (a Control is the HWND). Every window, container, tab page and canvas is of
// one of this toolkit's own window classes, which turn WM_COMMAND and WM_NOTIFY of the controls
// inside them into the engine's events (control number + event type) for the top-level
// window's listener.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "host/dialog/toolkit.h"

namespace dialog::win32 {

class Win32Toolkit : public Toolkit {
 public:
  explicit Win32Toolkit(HINSTANCE instance = nullptr);
  ~Win32Toolkit() override;
  Win32Toolkit(const Win32Toolkit&) = delete;
  Win32Toolkit& operator=(const Win32Toolkit&) = delete;

  Control CreateTopWindow(const ControlSpec& params, Control owner, int x, int y, int width,
                          int height) override;
  Control CreateControl(Control parent, const ControlSpec& params) override;
  Control AddPanelTab(Control panel, const std::string& caption) override;
  void SetPanelTabCaption(Control panel, int index, const std::string& caption) override;
  void DestroyControl(Control control) override;
  Size NaturalSize(Control control) override;
  int PanelHeaderHeight(Control panel) override;
  int FrameCaptionHeight(Control frame) override;
  int SystemBorderWidth() override;
  void Move(Control control, int x, int y, int width, int height) override;
  void Show(Control control, bool visible) override;
  void Enable(Control control, bool enabled) override;
  void SetCaption(Control control, const std::string& caption) override;
  void SetInnerSize(Control window, int width, int height) override;
  void SetSizeBounds(Control window, int minWidth, int minHeight, int maxWidth,
                     int maxHeight) override;
  void Center(Control window, Control parent) override;
  void ShowWindow(Control window, bool activate) override;
  void SetListener(Control window, WindowListener* listener) override;

  // For the host: what a control is, and the few operations that need this toolkit's records.
  bool IsKnown(Control control) const;
  Kind KindOf(Control control) const;     // kText when unknown
  int NumberOf(Control control) const;    // -1 when unknown
  HWND SpinButtonOf(Control spin) const;  // the up-down beside a spin's edit field
  // Checks an option and clears the others of its group; the checked one is the group's tab stop.
  void SelectOption(Control option);
  // Shows the page of tab `index` (also what a click on the tab does).
  void SelectPanelTab(Control panel, int index);
  void SetCanvasColor(Control canvas, COLORREF color);  // fills the canvas with one colour
  // The control that gets the focus when `window` is next activated (at once when it is active).
  void SetFocusTarget(Control window, Control control);
  // The keyboard of a top-level window, for the message loop: Tab and Shift+Tab through the tab
  // stops (also out of an editor), Ctrl+Tab through the pages of a panel, the arrows within an
  // option group (they select, as a click does), Escape as the close box. True when the message
  // was handled (dispatched included).
  bool HandleDialogMessage(HWND window, MSG* message);
  HFONT Font() const { return font_; }

  // Optional: every message of a top-level window goes here first; return true when handled
  // (the result in *result). The host's timer, tray and restore messages arrive this way.
  std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> windowMessageHook;
  // The close box of a top-level window; unset: the window is hidden.
  std::function<void(Control window)> onCloseRequest;

  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  struct ControlInfo {
    Kind kind = Kind::kText;
    int number = -1;
    std::uint32_t flags = 0;
    int optionGroup = 0;
    int sequence = 0;                     // creation order
    HWND buddy = nullptr;                 // spin: the up-down
    std::vector<HWND> pages;              // panel: its pages, in tab order
    COLORREF color = RGB(255, 255, 255);  // canvas
    bool hovering = false;                // canvas: mouse inside
    bool pressed = false;                 // canvas: left button went down inside
    // top-level windows
    DWORD style = 0, exStyle = 0;
    int minWidth = -1, minHeight = -1, maxWidth = -1, maxHeight = -1;
    WindowListener* listener = nullptr;
    HWND focus = nullptr;  // the control to focus when the window is activated
  };

  ControlInfo* Find(HWND window);
  const ControlInfo* Find(HWND window) const;
  HWND CreateChild(const wchar_t* className, const std::string& caption, DWORD style, DWORD exStyle,
                   HWND parent);
  void Report(HWND control, int eventType);
  void RequestClose(HWND window);
  void RestoreFocus(HWND window, const ControlInfo& info);
  bool MoveInOptionGroup(HWND from, bool forward);
  bool TurnPanelPage(HWND from, bool forward);
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void HandleCommand(HWND from, int code);
  void HandleNotify(const NMHDR& header);
  void PaintOwnClass(HWND window);
  SIZE TextExtent(const std::string& text) const;

  HINSTANCE instance_;
  HFONT font_ = nullptr;
  bool ownsFont_ = false;
  int lineHeight_ = 13;
  std::unordered_map<HWND, ControlInfo> controls_;
  int created_ = 0;          // controls created so far
  int lastOptionGroup_ = 0;  // the group of the control created last, 0 for other kinds
};

}  // namespace dialog::win32
