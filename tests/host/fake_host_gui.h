// A window system for the host's logic in native tests: controls are records in a map, the
// list is a vector of rows, every message box and window operation is recorded.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host/host_gui.h"

struct FakeControl {
  ControlKind kind = ControlKind::kOther;
  std::string name;
  std::int64_t state = 0;
  std::string text;
  bool enabled = true;
  bool shown = true;
  std::string tooltip;
  std::string font;
  std::vector<std::string> items;
  std::int64_t filledColour = -1;
};

struct FakeRow {
  std::string text;
  bool checked = false;
};

class FakeHostGui : public HostGui {
 public:
  std::map<ControlId, FakeControl> controls;
  std::vector<FakeRow> rows;
  int selectedRow = -1;
  std::vector<std::string> messages;  // "caption|text"
  std::vector<std::string> calls;     // names of window operations, in order
  int slept = 0;
  bool openSucceeds = true;
  std::string openError;
  bool iconSucceeds = true, menuSucceeds = true, traySucceeds = true;
  bool visible = false;
  ControlId eventControl = 0;
  int eventType = 0;
  std::int64_t chosenColour = -1;
  std::int64_t lastChooserInitial = -2;
  ScrollPosition scroll;
  TabStops tabStops{};
  std::string logText;
  int logTextSets = 0;
  HostHandlers handlers;
  bool closePosted = false;
  os::Window toolWindow = reinterpret_cast<os::Window>(0x7700);
  // Runs inside RunEventLoop, before the loop would wait; a test drives the host from here.
  std::function<void(FakeHostGui&)> duringLoop;
  std::function<void(FakeHostGui&)> onSleep;
  std::function<void(FakeHostGui&)> onBind;  // right after the events are bound
  // Names found by FindControl: every named element of the opened description gets a control.
  ControlId nextNumber = 100;

  ControlId AddControl(ControlKind kind, const std::string& name) {
    ControlId id = nextNumber++;
    controls[id].kind = kind;
    controls[id].name = name;
    return id;
  }

  void ShowMessage(const std::string& caption, const std::string& text) override {
    messages.push_back(caption + "|" + text);
  }
  void Sleep(int milliseconds) override {
    slept += milliseconds;
    if (onSleep) onSleep(*this);
  }
  void LoadEditorLibrary() override { calls.push_back("LoadEditorLibrary"); }
  bool OpenToolWindow(dialog::Document& description, const dialog::RuntimeNameTable&,
                      std::string* error) override;
  os::Window ToolWindowHandle() override { return toolWindow; }
  void PrepareToolWindow(os::Window, const std::string& title, int refresh) override {
    calls.push_back("Prepare " + title + " " + std::to_string(refresh));
  }
  bool CreateIcon() override {
    calls.push_back("CreateIcon");
    return iconSucceeds;
  }
  bool CreateMenu() override {
    calls.push_back("CreateMenu");
    return menuSucceeds;
  }
  bool AddTrayIcon(const std::string& tooltip) override {
    calls.push_back("AddTrayIcon " + tooltip);
    return traySucceeds;
  }
  void LoadMiniFont() override {}
  void BindEvents(const HostHandlers& bound) override {
    calls.push_back("BindEvents");
    handlers = bound;
    if (onBind) onBind(*this);
  }
  void RunEventLoop() override {
    calls.push_back("RunEventLoop");
    if (duringLoop) duringLoop(*this);
  }
  void PostCloseEvent() override { closePosted = true; }
  void RemoveTrayIcon() override { calls.push_back("RemoveTrayIcon"); }
  void CloseToolWindow() override { calls.push_back("CloseToolWindow"); }
  ControlId EventControl() override { return eventControl; }
  int EventType() override { return eventType; }
  ControlId FindControl(const std::string& name) override;
  ControlKind KindOf(ControlId control) override {
    auto found = controls.find(control);
    return found == controls.end() ? ControlKind::kOther : found->second.kind;
  }
  std::int64_t GetState(ControlId control) override { return controls[control].state; }
  void SetState(ControlId control, std::int64_t state) override;
  std::string GetText(ControlId control) override { return controls[control].text; }
  void SetText(ControlId control, const std::string& text) override {
    controls[control].text = text;
  }
  void EnableControl(ControlId control, bool enable) override {
    controls[control].enabled = enable;
  }
  void ShowControl(ControlId control, bool show) override { controls[control].shown = show; }
  void SetTooltip(ControlId control, const std::string& text) override {
    controls[control].tooltip = text;
  }
  void SetFont(ControlId control, const std::string& font) override {
    controls[control].font = font;
  }
  void AddItem(ControlId control, const std::string& text) override {
    controls[control].items.push_back(text);
  }
  void FillColor(ControlId canvas, std::uint32_t colour) override {
    controls[canvas].filledColour = colour;
  }
  std::int64_t PickColor(std::int64_t initial) override {
    lastChooserInitial = initial;
    return chosenColour;
  }
  int AddRow(const std::string& text, bool checked) override {
    rows.push_back({text, checked});
    return int(rows.size()) - 1;
  }
  int RowCount() override { return int(rows.size()); }
  bool IsRowChecked(int row) override { return rows.at(row).checked; }
  int SelectedRow() override { return selectedRow; }
  void SelectRow(int row) override { selectedRow = row < int(rows.size()) ? row : -1; }
  void FitListColumn() override { calls.push_back("FitListColumn"); }
  bool IsToolWindowVisible() override { return visible; }
  void ShowToolWindow() override { visible = true; }
  void HideToolWindow(os::Window) override { visible = false; }
  void ShowMenuAtMouse() override { calls.push_back("ShowMenu"); }
  ScrollPosition GetLogScroll() override { return scroll; }
  void SetLogScroll(ScrollPosition position) override { scroll = position; }
  void SetLogTabStops(const TabStops& stops) override { tabStops = stops; }
  void SetLogText(const std::string& text) override {
    logText = text;
    ++logTextSets;
  }
};
