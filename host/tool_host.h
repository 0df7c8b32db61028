// The tool host's run: start-up, main loop and the orderly shutdown.
#pragma once

#include <string>

#include "host/dialog/runtime_names.h"
#include "host/host_gui.h"
#include "host/log_view.h"
#include "host/plugin_registry.h"
#include "host/preferences.h"
#include "host/settings.h"

// The host's window description, with every plugin fragment spliced in before "</multibox>".
extern const char kToolWindowDescription[];

// Everything the run owns, reachable from the handlers (which take no arguments).
struct ToolHost {
  explicit ToolHost(HostGui& gui) : gui(gui), settings{gui, {}, {}} {}

  HostGui& gui;
  std::string title;
  os::Window ideHandle = nullptr;
  std::string processIdProperty;
  std::string toolProperty;
  PluginTable plugins;
  PreferencesFile preferences;   // what start-up read; its other plugins' settings are kept
  std::string savedPreferences;  // the bytes that the file holds for the current settings
  bool exitChosen = false;       // the user chose "Exit" (rather than the IDE closing)
  SettingsState settings;
  LogView logView;
  int generatedNameCounter = 0;
  dialog::RuntimeNameTable names;
};

// Fills `table` with every name of the host: handlers, object numbers, hook kinds, events.
void RegisterHostRuntimeNames(dialog::RuntimeNameTable& table);

// Runs the host until the close event; returns the process exit code (0 after a normal end or a
// silent end beside a running host; 1 after a start-up failure message).
int RunTool(ToolHost& host, const std::string& title, int refreshMilliseconds,
            const std::string& description);

// Handlers (bound to events, or named by the window description).
int OnShowToolMenu();
int OnRestoreToolWindow();
int OnChangeToolGadgets();
int OnRefreshToolLogs();
int OnChangeToolListIcon();
int OnCloseToolWindow();
int OnShowToolWindow();
int OnHideToolWindow();
int OnEndToolSession();
