#include "host/tool_host.h"

#include "core/integer_text.h"
#include "core/paths.h"
#include "host/dialog/element_tree.h"
#include "host/dialog_tree.h"
#include "host/preferences.h"
#include "host/shared_properties.h"
#include "host/splice.h"

// One line, exactly as the host has always passed it (runs of blanks included).
const char kToolWindowDescription[] =
    "<window id='#ToolWindow' name='#ToolWindow'   minwidth='500' minheight='450' margin='5'   "
    "flags="
    "'#PB_Window_NoActivate| #PB_Window_Invisible | #PB_Window_ScreenCentered | "
    "#PB_Window_SystemMenu"
    " | #PB_Window_SizeGadget' >  <panel>    <tab text='Settings' margin='2'>      <container "
    "margin="
    "'5'>        <hbox expand='item:2'>          <listicon id='#ToolListIcon' width='150' "
    "text='Insta"
    "lled Plugins' onchange='OnChangeToolListIcon()'             "
    "flags='#PB_ListIcon_CheckBoxes|#PB_L"
    "istIcon_FullRowSelect|#PB_ListIcon_AlwaysShowSelection'/>          <frame text='Options'>     "
    "  "
    "     <vbox expand='item:2'>            <multibox>            </multibox>            <empty/>  "
    "  "
    "        </vbox>          </frame>        </hbox>      </container>    </tab>    <tab "
    "text='Logs'"
    " margin='2'>      <container margin='5'>        <vbox expand='item:2' margin='0' spacing='0'> "
    "  "
    "       <hbox expand='no' margin='0' spacing='0'>            <text text='Debug: ' "
    "flags='#PB_Text"
    "_Right' />            <gridbox columns='3' rowexpand='equal' rowspacing='0' margin='0'>       "
    "  "
    "   <option id='#ToolDebugProp' text='Properties ' value='1' />            <option "
    "id='#ToolDebug"
    "Sci' text='Scintilla ' value='0' />            <option id='#ToolDebugStyles' text='Styles' "
    "value"
    "='0' />            <option id='#ToolDebugIndicators' text='Indicators' value='0' />           "
    " <"
    "option id='#ToolDebugControls' text='Controls ' value='0' />            <option "
    "id='#ToolDebugNo"
    "ne' text='None ' value='0' />            </gridbox>          </hbox>          <editor "
    "id='#ToolL"
    "ogs' />        </vbox>      </container>    </tab>  </panel></window>";

namespace {

ToolHost* g_host = nullptr;  // the running host, for the argument-less handlers

struct NamedNumber {
  const char* name;
  std::int64_t value;
};

const NamedNumber kHostConstants[] = {
    {"#Dir", 0},
    {"#Xml", 1},
    {"#Dialog", 2},
    {"#ToolWindow", kToolWindow},
    {"#ToolIcon", kToolIcon},
    {"#ToolSystray", kToolSystray},
    {"#ToolListIcon", kToolListIcon},
    {"#ToolLogs", kToolLogs},
    {"#ToolRefreshTimer", kToolRefreshTimer},
    {"#ToolDebugNone", kToolDebugNone},
    {"#ToolDebugSci", kToolDebugSci},
    {"#ToolDebugControls", kToolDebugControls},
    {"#ToolDebugProp", kToolDebugProp},
    {"#ToolDebugIndicators", kToolDebugIndicators},
    {"#ToolDebugStyles", kToolDebugStyles},
    {"#ToolMenu", kToolMenu},
    {"#ToolMenu_CloseWindow", kToolMenuCloseWindow},
    {"#ToolMenu_ShowWindow", kToolMenuShowWindow},
    {"#ToolHook_Callback", os::kWH_CALLWNDPROC},
    {"#ToolHook_Mouse", os::kWH_MOUSE},
    {"#ToolHook_CallbackComplete", os::kWH_CALLWNDPROCRET},
    {"#ToolEvent_Gadget", kToolEventGadget},
    {"#ToolEvent_ShowMenu", kToolEventShowMenu},
    {"#ToolEvent_RestoreWindow", kToolEventRestoreWindow},
    {"#ToolEvent_AutoRefresh", kToolEventAutoRefresh},
    {"#ToolEvent_HideWindow", kToolEventHideWindow},
    {"#ToolEvent_CloseWindow", kToolEventCloseWindow},
};

struct NamedProcedure {
  const char* name;
  dialog::RuntimeProcedure procedure;
};

const NamedProcedure kHostProcedures[] = {
    {"OnShowToolMenu()", OnShowToolMenu},
    {"OnRestoreToolWindow()", OnRestoreToolWindow},
    {"OnChangeToolGadgets()", OnChangeToolGadgets},
    {"OnRefreshToolLogs()", OnRefreshToolLogs},
    {"OnChangeToolListIcon()", OnChangeToolListIcon},
    {"OnCloseToolWindow()", OnCloseToolWindow},
    {"OnShowToolWindow()", OnShowToolWindow},
    {"OnHideToolWindow()", OnHideToolWindow},
};

// Start-up failure: the message, then the end of the program.
int Fail(ToolHost& host, const std::string& message) {
  host.gui.ShowMessage(host.title, message);
  return 1;
}

// Claims the IDE window for this process; false when another live host already serves it.
bool ClaimIdeWindow(ToolHost& host) {
  std::intptr_t owner = os::GetProp(host.ideHandle, host.processIdProperty);
  if (owner == 0) {
    os::SetProp(host.ideHandle, host.processIdProperty, -1);
  } else if (owner == -1) {
    host.gui.Sleep(50);
    owner = os::GetProp(host.ideHandle, host.processIdProperty);
  }
  if (owner > 0 && static_cast<std::uint64_t>(owner) <= UINT32_MAX) {  // a process id
    std::uint32_t exitCode = 0;
    if (os::GetProcessExitCode(static_cast<std::uint32_t>(owner), &exitCode) &&
        exitCode == os::kSTILL_ACTIVE)
      return false;
  }
  os::SetProp(host.ideHandle, host.processIdProperty,
              static_cast<std::intptr_t>(os::GetCurrentProcessId()));
  return true;
}

// Writes the preferences; a file that start-up could not read is left alone. False with the
// system's reason when the file could not be written.
bool SavePreferences(ToolHost& host, std::string* reason) {
  if (!host.preferences.readable) return true;
  const std::string bytes = PreferencesBytes(host.plugins, host.preferences.document);
  os::FileError error;
  if (!os::ReplaceFile(host.preferences.path, bytes, &error)) {
    if (reason) *reason = error.reason;
    return false;
  }
  host.savedPreferences = bytes;
  return true;
}

void ShutDown(ToolHost& host) {
  // Only a user's Exit can show a message: when the IDE or the session ends, nobody sees it.
  std::string reason;
  if (!SavePreferences(host, &reason) && host.exitChosen)
    host.gui.ShowMessage(
        host.title, "Preferences error: failed to write " + host.preferences.path + "!\n" + reason);
  for (PluginEntry& plugin : host.plugins.entries) {
    RemoveHooks(plugin);
    RemovePluginProperties(plugin);
  }
  os::RemoveProp(host.ideHandle, host.processIdProperty);
  os::RemoveProp(host.ideHandle, host.toolProperty);
  host.gui.RemoveTrayIcon();
  host.gui.CloseToolWindow();
  for (PluginEntry& plugin : host.plugins.entries) os::FreeLibrary(plugin.module);
}

}  // namespace

void RegisterHostRuntimeNames(dialog::RuntimeNameTable& table) {
  for (const NamedProcedure& entry : kHostProcedures)
    dialog::RegisterProcedure(table, entry.name, entry.procedure);
  for (const NamedNumber& entry : kHostConstants)
    dialog::RegisterInteger(table, entry.name, entry.value);
}

int RunTool(ToolHost& host, const std::string& title, int refreshMilliseconds,
            const std::string& description) {
  g_host = &host;
  host.title = title;
  HostGui& gui = host.gui;

  std::string handleText;
  os::GetEnvironmentVariable("PB_TOOL_MainWindow", &handleText);
  host.ideHandle =
      reinterpret_cast<os::Window>(static_cast<std::intptr_t>(core::ReadIntegerText(handleText)));
  if (!host.ideHandle || !os::IsWindow(host.ideHandle)) return Fail(host, "Missing *Ide handle!");
  host.processIdProperty = ProcessIdProperty(host.ideHandle);
  host.toolProperty = ToolProperty(host.ideHandle);

  if (!ClaimIdeWindow(host)) return 0;

  std::string windowDescription = description;
  const std::string executable = os::ExecutablePath();
  const std::int64_t ideValue =
      static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(host.ideHandle));
  bool listed = ScanPlugins(core::FolderOf(executable), host.ideHandle, host.plugins,
                            [&](const PluginEntry& plugin, const std::string& fragment) {
                              windowDescription =
                                  SpliceFragment(windowDescription,
                                                 TagFragment(fragment, plugin.library, ideValue));
                            });
  if (!listed) return Fail(host, "Director error: failed to list DLL files!");

  dialog::Document parsed = dialog::ParseDescriptionUtf8(windowDescription);
  if (!parsed.ok())
    return Fail(host, "XML error: " + parsed.errorText.substr(0, 200) +
                          " (Line: " + std::to_string(parsed.errorLine) + ")");

  DialogTreeWalk walk{host.plugins, host.names, host.generatedNameCounter};
  ReadDialogTree(walk, *parsed.root);

  gui.LoadEditorLibrary();
  std::string dialogError;
  if (!gui.OpenToolWindow(parsed, host.names, &dialogError))
    return Fail(host, "Dialog error: " + dialogError.substr(0, 200));
  gui.PrepareToolWindow(host.ideHandle, title, refreshMilliseconds);
  os::SetProp(host.ideHandle, host.toolProperty,
              reinterpret_cast<std::intptr_t>(gui.ToolWindowHandle()));

  if (!gui.CreateIcon()) return Fail(host, "Icon error: failed to create icon!");
  if (!gui.CreateMenu()) return Fail(host, "Menu error: failed to create context menu!");
  if (!gui.AddTrayIcon(title)) return Fail(host, "SysTray error: failed to add systray icon!");

  host.preferences = ReadPreferences(host.plugins, PreferencesPath(executable));
  for (PluginEntry& plugin : host.plugins.entries) BuildPluginUi(host.settings, plugin);
  host.logView.source = host.plugins.entries.empty() ? nullptr : &host.plugins.entries.front();
  if (!host.preferences.readable) {
    host.logView.lastText = "Preferences error: failed to read " + host.preferences.path + "!\n" +
                            host.preferences.readError +
                            "\nThe file is left as it is: changes made now are not saved.\n";
    gui.SetLogText(host.logView.lastText);
  }
  gui.SetState(kToolDebugNone, 1);
  gui.FitListColumn();
  gui.SelectRow(0);
  ChangeToolListIcon(host.settings);
  host.savedPreferences = PreferencesBytes(host.plugins, host.preferences.document);

  HostHandlers handlers;
  handlers.onRefreshLogs = OnRefreshToolLogs;
  handlers.onChangeGadgets = OnChangeToolGadgets;
  handlers.onShowMenu = OnShowToolMenu;
  handlers.onHideWindow = OnHideToolWindow;
  handlers.onRestoreWindow = OnRestoreToolWindow;
  handlers.onShowWindow = OnShowToolWindow;
  handlers.onCloseWindow = OnCloseToolWindow;
  handlers.onEndSession = OnEndToolSession;
  gui.BindEvents(handlers);

  // Thread id 0 would hook every program on the desktop: the IDE window died meanwhile.
  if (os::GetWindowThreadProcessId(host.ideHandle, nullptr) == 0)
    return Fail(host, "Missing *Ide handle!");
  for (PluginEntry& plugin : host.plugins.entries) InstallHooks(plugin);

  gui.RunEventLoop();
  ShutDown(host);
  g_host = nullptr;
  return 0;
}

int OnShowToolMenu() {
  if (g_host) g_host->gui.ShowMenuAtMouse();
  return 0;
}

int OnRestoreToolWindow() {
  if (g_host && os::GetProp(g_host->ideHandle, g_host->toolProperty) == -1)
    g_host->gui.PostCloseEvent();
  return 0;
}

int OnChangeToolGadgets() { return g_host ? ChangeToolGadgets(g_host->settings) : 0; }

int OnRefreshToolLogs() {
  if (!g_host) return 0;
  // An IDE that died without its closing mark would leave the host in the tray for ever.
  if (!os::IsWindow(g_host->ideHandle)) {
    g_host->gui.PostCloseEvent();
    return 0;
  }
  return RefreshToolLogs(g_host->logView, g_host->gui);
}

int OnChangeToolListIcon() { return g_host ? ChangeToolListIcon(g_host->settings) : 0; }

int OnCloseToolWindow() {
  if (!g_host) return 0;
  g_host->exitChosen = true;
  g_host->gui.PostCloseEvent();
  return 0;
}

int OnShowToolWindow() {
  if (g_host) g_host->gui.ShowToolWindow();
  return 0;
}

int OnHideToolWindow() {
  if (!g_host) return 0;
  g_host->gui.HideToolWindow(g_host->ideHandle);
  // What the user saw saved survives a later crash or kill of the host.
  if (PreferencesBytes(g_host->plugins, g_host->preferences.document) != g_host->savedPreferences)
    SavePreferences(*g_host, nullptr);
  return 0;
}

int OnEndToolSession() {
  // Log-off or shutdown ends the process without the main loop's end: write now, the same bytes.
  if (g_host) SavePreferences(*g_host, nullptr);
  return 0;
}
