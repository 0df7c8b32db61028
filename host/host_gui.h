// The seam between the host's logic and its window system: the tool window and its controls
// (addressed by control number, as the dialog engine numbers them), the tray, the menu, the
// colour chooser and message boxes. host/win32 implements it with real Win32; tests use a fake.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "host/dialog/element_tree.h"
#include "host/dialog/runtime_names.h"
#include "host/plugin_registry.h"

enum class ControlKind {
  kOther,
  kCheckBox,
  kSpin,
  kOption,
  kString,
  kCanvas,
  kComboBox,
  kListIcon,
  kEditor
};

// Events of the GUI layer (the runtime name table's #ToolEvent_ values).
enum : int {
  kToolEventGadget = 13100,
  kToolEventShowMenu = 13102,
  kToolEventRestoreWindow = 13109,
  kToolEventAutoRefresh = 13110,
  kToolEventHideWindow = 13116,
  kToolEventCloseWindow = 0x40001,
};

// Control and object numbers (the runtime name table's constants).
enum : int {
  kToolWindow = 3,
  kToolIcon = 4,
  kToolSystray = 5,
  kToolListIcon = 6,
  kToolLogs = 7,
  kToolRefreshTimer = 8,
  kToolDebugNone = 9,
  kToolDebugSci = 10,
  kToolDebugControls = 11,
  kToolDebugProp = 12,
  kToolDebugIndicators = 13,
  kToolDebugStyles = 14,
  kToolMenu = 15,
  kToolMenuCloseWindow = 16,
  kToolMenuShowWindow = 17,
};

// Tab stops of the log editor, in dialog units.
using TabStops = std::array<int, 11>;

struct ScrollPosition {
  int x = 0, y = 0;
};

// What the event loop reports to the host: bound handlers by event.
struct HostHandlers {
  int (*onRefreshLogs)() = nullptr;    // #ToolEvent_AutoRefresh
  int (*onChangeGadgets)() = nullptr;  // #ToolEvent_Gadget
  int (*onShowMenu)() = nullptr;       // #ToolEvent_ShowMenu
  int (*onHideWindow)() = nullptr;     // #ToolEvent_HideWindow
  int (*onRestoreWindow)() = nullptr;  // #ToolEvent_RestoreWindow
  int (*onShowWindow)() = nullptr;     // menu item "Preferences..."
  int (*onCloseWindow)() = nullptr;    // menu item "Exit"
  int (*onEndSession)() = nullptr;     // the user's session ends (log-off, shutdown)
};

class HostGui {
 public:
  virtual ~HostGui() = default;

  // Start-up and shutdown.
  virtual void ShowMessage(const std::string& caption, const std::string& text) = 0;
  virtual void Sleep(int milliseconds) = 0;
  virtual void LoadEditorLibrary() = 0;  // Scintilla.dll; failure ignored
  // Builds the tool window from the parsed description; false with the engine's error text.
  virtual bool OpenToolWindow(dialog::Document& description, const dialog::RuntimeNameTable& names,
                              std::string* error) = 0;
  virtual os::Window ToolWindowHandle() = 0;
  virtual void PrepareToolWindow(os::Window owner, const std::string& title,
                                 int refreshMilliseconds) = 0;
  virtual bool CreateIcon() = 0;  // the drawn tray image, made an icon, set as the window icon
  virtual bool CreateMenu() = 0;  // "Preferences...", separator, "Exit"
  virtual bool AddTrayIcon(const std::string& tooltip) = 0;
  virtual void LoadMiniFont() = 0;
  // From now on events reach their handlers (earlier events reach none).
  virtual void BindEvents(const HostHandlers& handlers) = 0;
  // Waits for events, calling bound handlers, until #ToolEvent_CloseWindow arrives.
  virtual void RunEventLoop() = 0;
  virtual void PostCloseEvent() = 0;
  virtual void RemoveTrayIcon() = 0;
  virtual void CloseToolWindow() = 0;

  // The current event (inside a handler).
  virtual ControlId EventControl() = 0;
  virtual int EventType() = 0;  // 0: left click

  // Controls.
  virtual ControlId FindControl(const std::string& name) = 0;  // 0 when none
  virtual ControlKind KindOf(ControlId control) = 0;
  virtual std::int64_t GetState(ControlId control) = 0;  // combo: selected index or -1
  virtual void SetState(ControlId control, std::int64_t state) = 0;
  virtual std::string GetText(ControlId control) = 0;
  virtual void SetText(ControlId control, const std::string& text) = 0;
  virtual void EnableControl(ControlId control, bool enable) = 0;
  virtual void ShowControl(ControlId control, bool show) = 0;
  virtual void SetTooltip(ControlId control, const std::string& text) = 0;
  virtual void SetFont(ControlId control, const std::string& fontName) = 0;
  virtual void AddItem(ControlId control, const std::string& text) = 0;
  virtual void FillColor(ControlId canvas, std::uint32_t colour) = 0;
  virtual std::int64_t PickColor(std::int64_t initial) = 0;  // -1 when cancelled

  // The Installed Plugins list.
  virtual int AddRow(const std::string& text, bool checked) = 0;
  virtual int RowCount() = 0;
  virtual bool IsRowChecked(int row) = 0;
  virtual int SelectedRow() = 0;  // -1 when none
  virtual void SelectRow(int row) = 0;
  virtual void FitListColumn() = 0;  // the only column: list width - 4

  // The window and the log editor.
  virtual bool IsToolWindowVisible() = 0;
  virtual void ShowToolWindow() = 0;
  virtual void HideToolWindow(os::Window activate) = 0;
  virtual void ShowMenuAtMouse() = 0;
  virtual ScrollPosition GetLogScroll() = 0;
  virtual void SetLogScroll(ScrollPosition position) = 0;
  virtual void SetLogTabStops(const TabStops& stops) = 0;
  virtual void SetLogText(const std::string& text) = 0;
};
