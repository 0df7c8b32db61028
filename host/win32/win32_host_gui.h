// The host's window system on Win32: the tool window built by the dialog engine's Win32 toolkit,
// the drawn tray icon and its menu, the event loop, the colour chooser and the log editor.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/dialog/dialog.h"
#include "host/dialog/win32/win32_toolkit.h"
#include "host/host_gui.h"

class Win32HostGui : public HostGui, private dialog::WindowListener {
 public:
  explicit Win32HostGui(HINSTANCE instance);
  ~Win32HostGui() override;

  void ShowMessage(const std::string& caption, const std::string& text) override;
  void Sleep(int milliseconds) override;
  void LoadEditorLibrary() override;
  bool OpenToolWindow(dialog::Document& description, const dialog::RuntimeNameTable& names,
                      std::string* error) override;
  os::Window ToolWindowHandle() override { return window_; }
  void PrepareToolWindow(os::Window owner, const std::string& title,
                         int refreshMilliseconds) override;
  bool CreateIcon() override;
  bool CreateMenu() override;
  bool AddTrayIcon(const std::string& tooltip) override;
  void LoadMiniFont() override;
  void BindEvents(const HostHandlers& handlers) override;
  void RunEventLoop() override;
  void PostCloseEvent() override;
  void RemoveTrayIcon() override;
  void CloseToolWindow() override;
  ControlId EventControl() override { return eventControl_; }
  int EventType() override { return eventType_; }
  ControlId FindControl(const std::string& name) override;
  ControlKind KindOf(ControlId control) override;
  std::int64_t GetState(ControlId control) override;
  void SetState(ControlId control, std::int64_t state) override;
  std::string GetText(ControlId control) override;
  void SetText(ControlId control, const std::string& text) override;
  void EnableControl(ControlId control, bool enable) override;
  void ShowControl(ControlId control, bool show) override;
  void SetTooltip(ControlId control, const std::string& text) override;
  void SetFont(ControlId control, const std::string& fontName) override;
  void AddItem(ControlId control, const std::string& text) override;
  void FillColor(ControlId canvas, std::uint32_t colour) override;
  std::int64_t PickColor(std::int64_t initial) override;
  int AddRow(const std::string& text, bool checked) override;
  int RowCount() override;
  bool IsRowChecked(int row) override;
  int SelectedRow() override;
  void SelectRow(int row) override;
  void FitListColumn() override;
  bool IsToolWindowVisible() override;
  void ShowToolWindow() override;
  void HideToolWindow(os::Window activate) override;
  void ShowMenuAtMouse() override;
  ScrollPosition GetLogScroll() override;
  void SetLogScroll(ScrollPosition position) override;
  void SetLogTabStops(const TabStops& stops) override;
  void SetLogText(const std::string& text) override;

 private:
  // The dialog's events pass through here: none reach a handler before BindEvents.
  void OnResized(int innerWidth, int innerHeight) override;
  void OnControlEvent(int number, int eventType) override;
  bool HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                           LRESULT* result);
  // The settings window's controls are built when it is first shown (a tray program may never
  // show it): until then what the host sets on them is kept in order and done on the real
  // controls once they exist, and what it reads comes from a record of the states it set.
  struct EarlyControl {
    std::int64_t state = 0;  // check box and option 0/1; combo box: the selected item or -1
    std::string text;        // what the control's text would be (a spin's state is its text)
    std::size_t items = 0;   // combo box
  };
  bool BuildControls();  // false when they could not be built (the host is then ended)
  bool Early() const { return opened_ && !built_; }
  EarlyControl* EarlyRecord(ControlId control);  // null when no node has that number
  void Later(std::function<void()> call) { later_.push_back(std::move(call)); }
  HWND Handle(ControlId control);
  HWND List() { return Handle(kToolListIcon); }
  HWND Logs() { return Handle(kToolLogs); }
  void HideFromTaskbar(HWND window);
  void AddTooltip(HWND handle, const std::string& text);
  void AddPendingTooltips();  // those set while the window was hidden, at its showing

  HINSTANCE instance_;
  dialog::win32::Win32Toolkit toolkit_;
  dialog::Dialog dialog_;
  bool opened_ = false;
  HWND window_ = nullptr;
  bool built_ = false;     // the window's controls exist
  bool building_ = false;  // no control event reaches the host while they are built and filled
  std::map<ControlId, EarlyControl> early_;
  std::vector<std::pair<std::string, bool>> earlyRows_;  // the plugin list: text, ticked
  int earlySelectedRow_ = -1;
  std::vector<std::function<void()>> later_;
  std::string title_;
  HICON icon_ = nullptr;
  HMENU menu_ = nullptr;
  bool trayAdded_ = false;
  HFONT miniFont_ = nullptr;
  HWND tooltips_ = nullptr;
  std::vector<std::pair<HWND, std::string>> pendingTooltips_;
  HostHandlers handlers_;
  bool bound_ = false;
  bool closeRequested_ = false;
  bool minimised_ = false;
  bool shownOnce_ = false;
  ControlId eventControl_ = 0;
  int eventType_ = 0;
  COLORREF customColours_[16] = {};
  TabStops tabStops_{};
};
