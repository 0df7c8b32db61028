#include "host/tool_host.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "core/property_names.h"
#include "os/sim/sim.h"
#include "tests/host/fake_host_gui.h"

namespace {

const char16_t* Fragment() {
  return u"<container name='Group' title='Group title'><vbox>"
         u"<checkbox name='Check' value='1' tooltip='tip'/>"
         u"<option name='X:0'/><option name='X:1' value='1'/>"
         u"</vbox></container>";
}
const char16_t* BrokenFragment() { return u"<container name='G'>"; }
const char16_t* NullFragment() { return nullptr; }

int g_hookCalls = 0;
os::LResult HookProcedure(int code, os::WParam wParam, os::LParam lParam) {
  ++g_hookCalls;
  return os::CallNextHookEx(nullptr, code, wParam, lParam);
}

class RunToolTest : public testing::Test {
 public:
  void SetUp() override {
    os::sim::Reset();
    g_hookCalls = 0;
    char pattern[] = "/tmp/vorpex-host-XXXXXX";
    folder = mkdtemp(pattern);
    os::sim::SetExecutablePath(folder + "/toolhost.exe");
    ide = os::sim::CreateWindow({"IdeMain", nullptr, "IDE"});
    SetHandle(std::to_string(reinterpret_cast<std::intptr_t>(ide)));
    RegisterNames();
  }
  void TearDown() override {
    os::sim::SetExecutablePath("");
    std::system(("rm -rf '" + folder + "'").c_str());
  }
  void RegisterNames() { RegisterHostRuntimeNames(host.names); }
  void SetHandle(const std::string& text) {
    os::SetEnvironmentVariable("PB_TOOL_MainWindow", text);
  }
  void AddFile(const std::string& name, const std::map<std::string, void*>* exports) {
    std::ofstream(folder + "/" + name) << "MZ";
    if (exports) os::sim::RegisterLibrary(folder + "/" + name, *exports);
  }
  int Run() { return RunTool(host, "Vorpex", 200, kToolWindowDescription); }
  std::intptr_t Prop(const std::string& suffix) {
    return os::GetProp(ide, core::PropertyPrefix(core::HandleValue(ide)) + suffix);
  }
  std::string Preferences() {
    std::string bytes;
    os::ReadWholeFile(folder + "/toolhost.ini", &bytes);
    return bytes;
  }

  std::string folder;
  os::Window ide = nullptr;
  FakeHostGui gui;
  ToolHost host{gui};
  const std::map<std::string, void*> fullPlugin{
      {"RetrievePluginXMLDialog", reinterpret_cast<void*>(&Fragment)},
      {"OnHookCallbackComplete", reinterpret_cast<void*>(&HookProcedure)}};
};

struct HandleCase {
  const char* label;
  const char* text;
};

TEST_F(RunToolTest, MissingIdeHandleIsReportedAndNothingElseHappens) {
  os::Window gone = os::sim::CreateWindow({"Gone", nullptr, ""});
  const std::string goneText = std::to_string(reinterpret_cast<std::intptr_t>(gone));
  os::sim::DestroyWindow(gone);
  const HandleCase cases[] = {{"letters", "abc"},
                              {"empty", ""},
                              {"zero", "0"},
                              {"destroyed", goneText.c_str()},
                              {"beyond 64 bits", "99999999999999999999999999"},
                              {"negative", "-5"}};
  for (const HandleCase& c : cases) {
    FakeHostGui localGui;
    ToolHost localHost{localGui};
    SetHandle(c.text);
    EXPECT_EQ(RunTool(localHost, "Vorpex", 200, kToolWindowDescription), 1) << c.label;
    EXPECT_EQ(localGui.messages, std::vector<std::string>{"Vorpex|Missing *Ide handle!"})
        << c.label;
    EXPECT_TRUE(localGui.calls.empty()) << c.label;
  }
}

TEST_F(RunToolTest, UnsetVariableIsAMissingHandle) {
  os::sim::Reset();
  os::sim::SetExecutablePath(folder + "/toolhost.exe");
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(gui.messages, std::vector<std::string>{"Vorpex|Missing *Ide handle!"});
}

TEST_F(RunToolTest, HandleInHexadecimalIntegerTextIsAccepted) {
  SetHandle("  $" + core::PropertyPrefix(core::HandleValue(ide)));
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(gui.messages.empty());
}

TEST_F(RunToolTest, SecondHostForALiveHostExitsSilentlyAndChangesNothing) {
  os::sim::RegisterProcess(4242, os::kSTILL_ACTIVE);
  os::SetProp(ide, core::ProcessIdPropertyName(core::HandleValue(ide)), 4242);
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(gui.messages.empty());
  EXPECT_TRUE(gui.calls.empty());
  EXPECT_EQ(Prop(".Plugin.ProcessId"), 4242);
  EXPECT_EQ(Prop(".Plugin.Tool"), 0);
}

TEST_F(RunToolTest, StaleProcessIdIsTakenOver) {
  for (std::uint32_t code : {0u, 1u}) {
    os::sim::RegisterProcess(4243, code);
    os::SetProp(ide, core::ProcessIdPropertyName(core::HandleValue(ide)), 4243);
    std::intptr_t seen = 0;
    FakeHostGui localGui;
    ToolHost localHost{localGui};
    localGui.duringLoop = [&](FakeHostGui&) { seen = Prop(".Plugin.ProcessId"); };
    EXPECT_EQ(RunTool(localHost, "Vorpex", 200, kToolWindowDescription), 0);
    EXPECT_EQ(seen, std::intptr_t(os::GetCurrentProcessId()));
  }
  os::sim::ForgetProcess(4243);  // a process that cannot be opened at all
  os::SetProp(ide, core::ProcessIdPropertyName(core::HandleValue(ide)), 4243);
  std::intptr_t seen = 0;
  gui.duringLoop = [&](FakeHostGui&) { seen = Prop(".Plugin.ProcessId"); };
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(seen, std::intptr_t(os::GetCurrentProcessId()));
}

TEST_F(RunToolTest, ClaimStillPendingAfterFiftyMillisecondsIsTakenOver) {
  os::SetProp(ide, core::ProcessIdPropertyName(core::HandleValue(ide)), -1);
  std::intptr_t seen = 0;
  gui.duringLoop = [&](FakeHostGui&) { seen = Prop(".Plugin.ProcessId"); };
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(gui.slept, 50);
  EXPECT_EQ(seen, std::intptr_t(os::GetCurrentProcessId()));
}

TEST_F(RunToolTest, ClaimThatBecomesALiveHostDuringTheWaitWins) {
  os::sim::RegisterProcess(4244, os::kSTILL_ACTIVE);
  os::SetProp(ide, core::ProcessIdPropertyName(core::HandleValue(ide)), -1);
  gui.onSleep = [&](FakeHostGui&) {
    os::SetProp(ide, core::ProcessIdPropertyName(core::HandleValue(ide)), 4244);
  };
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(gui.calls.empty());
  EXPECT_EQ(Prop(".Plugin.ProcessId"), 4244);
}

TEST_F(RunToolTest, FreshIdeIsClaimedWithoutWaiting) {
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(gui.slept, 0);
}

struct FailureCase {
  const char* label;
  std::function<void(RunToolTest&, FakeHostGui&)> arrange;
  std::string message;
};

TEST_F(RunToolTest, StartUpFailuresShowTheirMessageAndWriteNothing) {
  const std::map<std::string, void*> broken{
      {"RetrievePluginXMLDialog", reinterpret_cast<void*>(&BrokenFragment)}};
  const FailureCase cases[] = {
      {"listing",
       [](RunToolTest&, FakeHostGui&) {
         os::sim::SetExecutablePath("/nonexistent/folder/toolhost.exe");
       },
       "Director error: failed to list DLL files!"},
      {"xml", [&](RunToolTest& t, FakeHostGui&) { t.AddFile("broken.dll", &broken); },
       "XML error: mismatched tag (Line: 3)"},
      {"dialog",
       [](RunToolTest&, FakeHostGui& g) {
         g.openSucceeds = false;
         g.openError = std::string(300, 'e');
       },
       "Dialog error: " + std::string(200, 'e')},
      {"icon", [](RunToolTest&, FakeHostGui& g) { g.iconSucceeds = false; },
       "Icon error: failed to create icon!"},
      {"menu", [](RunToolTest&, FakeHostGui& g) { g.menuSucceeds = false; },
       "Menu error: failed to create context menu!"},
      {"tray", [](RunToolTest&, FakeHostGui& g) { g.traySucceeds = false; },
       "SysTray error: failed to add systray icon!"},
  };
  for (const FailureCase& c : cases) {
    FakeHostGui localGui;
    ToolHost localHost{localGui};
    RegisterHostRuntimeNames(localHost.names);
    os::sim::SetExecutablePath(folder + "/toolhost.exe");
    os::RemoveProp(ide, core::ProcessIdPropertyName(core::HandleValue(ide)));
    c.arrange(*this, localGui);
    EXPECT_EQ(RunTool(localHost, "Vorpex", 200, kToolWindowDescription), 1) << c.label;
    ASSERT_EQ(localGui.messages.size(), 1u) << c.label;
    EXPECT_EQ(localGui.messages[0].substr(0, 7 + c.message.size()), "Vorpex|" + c.message)
        << c.label;
    for (const std::string& call : localGui.calls) EXPECT_NE(call, "RunEventLoop") << c.label;
    EXPECT_EQ(Preferences(), "") << c.label;
    std::remove((folder + "/broken.dll").c_str());
  }
}

TEST_F(RunToolTest, FullRunPublishesHooksAndEndsCleanly) {
  const std::map<std::string, void*> nothing;
  AddFile("Full.dll", &fullPlugin);
  AddFile("empty.DLL", &nothing);       // loads, exports nothing
  AddFile("notalibrary.dll", nullptr);  // does not load
  mkdir((folder + "/folder.dll").c_str(), 0755);
  AddFile("readme.txt", nullptr);

  os::sim::SetClock(5000);
  std::intptr_t pid = 0, tool = 0, check = -9, x = -9, date = 0;
  int hookCallsBefore = 0;
  gui.duringLoop = [&](FakeHostGui& g) {
    pid = Prop(".Plugin.ProcessId");
    tool = Prop(".Plugin.Tool");
    check = Prop(".Settings.Group.Check.Value");
    x = Prop(".Settings.Group.X.Value");
    date = Prop(".Plugin.UpdateDate");
    os::SendMessage(ide, 0x400, 0, 0);
    hookCallsBefore = g_hookCalls;
    g.handlers.onCloseWindow();
  };
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(gui.messages.empty());
  EXPECT_EQ(host.plugins.entries.size(), 2u);
  EXPECT_EQ(pid, std::intptr_t(os::GetCurrentProcessId()));
  EXPECT_EQ(tool, reinterpret_cast<std::intptr_t>(gui.toolWindow));
  EXPECT_EQ(check, 1);
  EXPECT_EQ(x, 1);
  EXPECT_GE(date, 5000);
  EXPECT_EQ(hookCallsBefore, 1);
  EXPECT_TRUE(gui.closePosted);

  // Shutdown: everything removed, in order, preferences written.
  for (const char* suffix : {".Plugin.ProcessId", ".Plugin.Tool", ".Settings.Group.Check.Value",
                             ".Settings.Group.X.Value", ".Plugin.UpdateDate"})
    EXPECT_EQ(Prop(suffix), 0) << suffix;
  os::SendMessage(ide, 0x400, 0, 0);
  EXPECT_EQ(g_hookCalls, hookCallsBefore);
  EXPECT_EQ(os::sim::LibraryLoadCount(folder + "/Full.dll"), 0);
  EXPECT_EQ(
      Preferences(),
      "\xEF\xBB\xBF\r\n[InstalledPlugins]\r\nGroup = 1\r\n\r\n[Group]\r\nCheck = 1\r\nX = 1\r\n");
  std::vector<std::string> tail(gui.calls.end() - 3, gui.calls.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"RunEventLoop", "RemoveTrayIcon", "CloseToolWindow"}));
  EXPECT_EQ(gui.rows.size(), 1u);
  EXPECT_EQ(gui.selectedRow, 0);
  EXPECT_EQ(gui.controls[kToolDebugNone].state, 1);
}

TEST_F(RunToolTest, StoredPreferencesOverrideTheDescription) {
  AddFile("Full.dll", &fullPlugin);
  std::ofstream(folder + "/toolhost.ini")
      << "[installedplugins]\nGROUP = 0\n[group]\ncheck = 0\nx = 0\n";
  std::intptr_t check = -9;
  gui.duringLoop = [&](FakeHostGui& g) {
    check = Prop(".Settings.Group.Check.Value");
    g.rows[0].checked = true;  // the user ticks the row again
    g.handlers.onShowWindow();
  };
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(check, 0);
  EXPECT_FALSE(gui.rows.empty());
  EXPECT_EQ(
      Preferences(),
      "\xEF\xBB\xBF\r\n[InstalledPlugins]\r\nGroup = 0\r\n\r\n[Group]\r\nCheck = 0\r\nX = 0\r\n");
}

// A plugin that did not load this time (another word size, a locked file during an update)
// keeps its group and its tick: they follow the loaded containers unchanged, in their order.
TEST_F(RunToolTest, RewriteKeepsTheSettingsOfPluginsThatDidNotLoad) {
  AddFile("Full.dll", &fullPlugin);
  std::ofstream(folder + "/toolhost.ini")
      << "[InstalledPlugins]\nGone = 0\ngroup = 0\nLater = 1\n[Gone]\nK = 5\nText = abc\n"
         "[GROUP]\nCheck = 0\nOld = 4\n[Later]\nL = -1\n";
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Preferences(),
            "\xEF\xBB\xBF\r\n[InstalledPlugins]\r\nGroup = 0\r\nGone = 0\r\nLater = 1\r\n"
            "\r\n[Group]\r\nCheck = 0\r\nX = 1\r\nOld = 4\r\n\r\n[Gone]\r\nK = 5\r\nText = abc\r\n"
            "\r\n[Later]\r\nL = -1\r\n");
}

// Log-off ends the process without the loop's end; closing the window after a change is the
// last moment the user saw: both write what Exit would.
TEST_F(RunToolTest, SessionEndAndClosingTheWindowAfterAChangeWriteThePreferences) {
  AddFile("Full.dll", &fullPlugin);
  const std::string changed =
      "\xEF\xBB\xBF\r\n[InstalledPlugins]\r\nGroup = 1\r\n\r\n[Group]\r\nCheck = 0\r\nX = 1\r\n";
  std::string unchangedClose, changedClose, sessionEnd;
  gui.duringLoop = [&](FakeHostGui& g) {
    g.handlers.onShowWindow();
    g.handlers.onHideWindow();
    unchangedClose = Preferences();
    g.eventControl = g.FindControl("Check");
    g.controls[g.eventControl].state = 0;
    g.handlers.onChangeGadgets();
    g.handlers.onHideWindow();
    changedClose = Preferences();
    std::remove((folder + "/toolhost.ini").c_str());
    g.handlers.onEndSession();
    sessionEnd = Preferences();
  };
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(unchangedClose, "");
  EXPECT_EQ(changedClose, changed);
  EXPECT_EQ(sessionEnd, changed);
  EXPECT_EQ(Preferences(), changed);
}

// A file held open without sharing at start-up (a virus scanner, a backup) is not "no file": the
// host says so in the log view and never replaces it with the defaults it had to use.
TEST_F(RunToolTest, UnreadableFileIsReportedAndNeverWritten) {
  AddFile("Full.dll", &fullPlugin);
  const std::string path = folder + "/toolhost.ini";
  const std::string stored = "[InstalledPlugins]\nGroup = 0\n";
  std::ofstream(path) << stored;
  os::sim::FailFileAccess(path, "The process cannot access the file.");
  gui.duringLoop = [&](FakeHostGui& g) {
    os::sim::FailFileAccess(path, "");  // released soon after
    g.eventControl = g.FindControl("Check");
    g.controls[g.eventControl].state = 0;
    g.handlers.onChangeGadgets();
    g.handlers.onHideWindow();
    g.handlers.onEndSession();
    g.handlers.onCloseWindow();
  };
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(gui.logText, "Preferences error: failed to read " + path +
                             "!\nThe process cannot access the file.\nThe file is left as it is: "
                             "changes made now are not saved.\n");
  EXPECT_TRUE(gui.messages.empty());
  std::ifstream file(path);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), stored);
}

// A failed write is named at the user's Exit; when the IDE closes, nobody would see a message.
TEST_F(RunToolTest, FailedWriteAtExitShowsTheFileAndTheReason) {
  AddFile("Full.dll", &fullPlugin);
  const std::string path = folder + "/toolhost.ini";
  const std::pair<bool, std::vector<std::string>> cases[] = {
      {true, {"Vorpex|Preferences error: failed to write " + path + "!\nAccess denied."}},
      {false, {}}};
  for (const auto& [byExit, messages] : cases) {
    FakeHostGui localGui;
    ToolHost localHost{localGui};
    RegisterHostRuntimeNames(localHost.names);
    os::RemoveProp(ide, core::ProcessIdPropertyName(core::HandleValue(ide)));
    os::RemoveProp(ide, core::ToolPropertyName(core::HandleValue(ide)));
    localGui.duringLoop = [&, byExit = byExit](FakeHostGui& g) {
      os::sim::FailFileAccess(path, "Access denied.");
      if (byExit) {
        g.handlers.onCloseWindow();
      } else {
        os::SetProp(ide, core::ToolPropertyName(core::HandleValue(ide)), -1);
        g.handlers.onRestoreWindow();
      }
    };
    EXPECT_EQ(RunTool(localHost, "Vorpex", 200, kToolWindowDescription), 0);
    EXPECT_EQ(localGui.messages, messages) << byExit;
  }
}

// An IDE window that died during start-up has no thread: a hook for thread 0 would run in every
// program of the desktop. It is the start-up failure of a missing IDE window instead.
TEST_F(RunToolTest, IdeWindowGoneBeforeTheHooksInstallsNone) {
  AddFile("Full.dll", &fullPlugin);
  gui.onBind = [&](FakeHostGui&) { os::sim::DestroyWindow(ide); };
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(gui.messages, std::vector<std::string>{"Vorpex|Missing *Ide handle!"});
  EXPECT_EQ(os::sim::HookCount(os::kWH_CALLWNDPROCRET), 0);
  EXPECT_EQ(Preferences(), "");
}

TEST_F(RunToolTest, IdeClosingMarkAndRestoreEndTheHost) {
  AddFile("Full.dll", &fullPlugin);
  bool postedEarly = true;
  gui.duringLoop = [&](FakeHostGui& g) {
    g.handlers.onRestoreWindow();  // a restore without the mark: the host goes on
    postedEarly = g.closePosted;
    os::SetProp(ide, core::ToolPropertyName(core::HandleValue(ide)), -1);
    g.handlers.onRestoreWindow();
  };
  EXPECT_EQ(Run(), 0);
  EXPECT_FALSE(postedEarly);
  EXPECT_TRUE(gui.closePosted);
  EXPECT_EQ(Prop(".Plugin.Tool"), 0);
}

TEST_F(RunToolTest, VanishedIdeEndsTheHostOnTheNextTimerTick) {
  gui.duringLoop = [&](FakeHostGui& g) {
    g.handlers.onRefreshLogs();
    EXPECT_FALSE(g.closePosted);
    os::sim::DestroyWindow(ide);
    g.handlers.onRefreshLogs();
  };
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(gui.closePosted);
}

TEST_F(RunToolTest, NullFragmentIsAnEmptyLineBeforeTheClosingTag) {
  const std::map<std::string, void*> nullPlugin{
      {"RetrievePluginXMLDialog", reinterpret_cast<void*>(&NullFragment)}};
  AddFile("n.dll", &nullPlugin);
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(gui.messages.empty());
  EXPECT_EQ(host.plugins.entries.size(), 1u);
  EXPECT_TRUE(host.plugins.entries[0].hooks.size() == 0);
}

std::u16string g_hugeFragment;
const char16_t* HugeFragment() { return g_hugeFragment.c_str(); }

TEST_F(RunToolTest, HugeFragmentIsSplicedAndReadWhole) {
  g_hugeFragment =
      u"<container name='Huge' title='" + std::u16string(2 * 1024 * 1024, u'x') + u"'>";
  for (int i = 0; i < 300; ++i)
    g_hugeFragment +=
        u"<checkbox name='C" + dialog::Utf8ToUtf16(std::to_string(i)) + u"' value='1'/>";
  g_hugeFragment += u"</container>";
  const std::map<std::string, void*> huge{
      {"RetrievePluginXMLDialog", reinterpret_cast<void*>(&HugeFragment)}};
  AddFile("huge.dll", &huge);
  std::intptr_t last = 0;
  gui.duringLoop = [&](FakeHostGui&) { last = Prop(".Settings.Huge.C299.Value"); };
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(gui.messages.empty());
  ASSERT_EQ(host.plugins.entries[0].containers.size(), 1u);
  EXPECT_EQ(host.plugins.entries[0].containers[0].title.size(), 2u * 1024 * 1024);
  EXPECT_EQ(host.plugins.entries[0].containers[0].controls.size(), 300u);
  EXPECT_EQ(last, 1);
  g_hugeFragment.clear();
}

TEST(HostRuntimeNames, EveryNameWithItsValue) {
  dialog::RuntimeNameTable table;
  RegisterHostRuntimeNames(table);
  EXPECT_EQ(table.entries.size(), 35u);
  const std::pair<const char*, std::int64_t> numbers[] = {{"#Dir", 0},
                                                          {"#Xml", 1},
                                                          {"#Dialog", 2},
                                                          {"#ToolWindow", 3},
                                                          {"#ToolIcon", 4},
                                                          {"#ToolSystray", 5},
                                                          {"#ToolListIcon", 6},
                                                          {"#ToolLogs", 7},
                                                          {"#ToolRefreshTimer", 8},
                                                          {"#ToolDebugNone", 9},
                                                          {"#ToolDebugSci", 10},
                                                          {"#ToolDebugControls", 11},
                                                          {"#ToolDebugProp", 12},
                                                          {"#ToolDebugIndicators", 13},
                                                          {"#ToolDebugStyles", 14},
                                                          {"#ToolMenu", 15},
                                                          {"#ToolMenu_CloseWindow", 16},
                                                          {"#ToolMenu_ShowWindow", 17},
                                                          {"#ToolHook_Callback", 4},
                                                          {"#ToolHook_Mouse", 7},
                                                          {"#ToolHook_CallbackComplete", 12},
                                                          {"#ToolEvent_Gadget", 13100},
                                                          {"#ToolEvent_ShowMenu", 13102},
                                                          {"#ToolEvent_RestoreWindow", 13109},
                                                          {"#ToolEvent_AutoRefresh", 13110},
                                                          {"#ToolEvent_HideWindow", 13116},
                                                          {"#TOOLEVENT_CLOSEWINDOW", 0x40001}};
  for (const auto& [name, value] : numbers) {
    std::int64_t found = -1;
    EXPECT_TRUE(dialog::LookupRuntimeNumber(table, name, &found)) << name;
    EXPECT_EQ(found, value) << name;
  }
  for (const char* name : {"OnShowToolMenu()", "OnRestoreToolWindow()", "OnChangeToolGadgets()",
                           "OnRefreshToolLogs()", "onchangetoollisticon()", "OnCloseToolWindow()",
                           "OnShowToolWindow()", "OnHideToolWindow()"})
    EXPECT_NE(dialog::LookupRuntimeProcedure(table, name), nullptr) << name;
}

TEST(ToolWindowDescription, ParsesAndNamesTheHostControls) {
  dialog::Document document = dialog::ParseDescriptionUtf8(kToolWindowDescription);
  ASSERT_TRUE(document.ok()) << document.errorText;
  EXPECT_EQ(std::string(kToolWindowDescription).size(), 1605u);
  EXPECT_NE(std::string(kToolWindowDescription).find("<multibox>            </multibox>"),
            std::string::npos);
}

}  // namespace
