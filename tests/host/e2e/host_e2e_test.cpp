// toolhost.exe end to end: start-up, single instance, shutdown, failures, settings window, logs.
#include <gtest/gtest.h>

#include "tests/host/e2e/host_harness.h"

namespace {

using namespace host_harness;

const char kFullPreferences[] =
    "\xEF\xBB\xBF\r\n"
    "[InstalledPlugins]\r\nAlpha = 1\r\nBeta = 1\r\n"
    "\r\n[Alpha]\r\nToggle = 1\r\nWidth = 12\r\nMode = 2\r\nShade = 65535\r\nBox = 7\r\n"
    "\r\n[Beta]\r\nOther = 0\r\n";

// The host's tooltip window (top-level, hidden until a tip shows), or null.
HWND FindTooltipWindow(DWORD processId) {
  return FindTopLevelWindow(processId,
                            [](HWND window) { return ClassOf(window) == TOOLTIPS_CLASSW; });
}

class HostEndToEnd : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(GetFileAttributesW(ToolHostPath().c_str()), INVALID_FILE_ATTRIBUTES);
  }
  void Exit(const Host& host) {
    SendMessageTimeoutW(ToolWindow(ide), WM_COMMAND, 16, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    EXPECT_EQ(host.WaitExit(), 0u);
  }
  TestIde ide;
};

TEST_F(HostEndToEnd, StartUpPublishesHooksRunInTheIdeAndExitCleansUp) {
  std::wstring folder =
      Stage(L"full", {L"settings_plugin.dll", L"hook_plugin.dll", L"empty_plugin.dll"});
  WriteBytes(folder + L"\\notalibrary.dll", "not a library");
  CreateDirectoryW((folder + L"\\folder.dll").c_str(), nullptr);
  Host host;
  ASSERT_TRUE(StartHostFor(host, folder, ide));
  ASSERT_TRUE(WaitReady(ide, host));
  EXPECT_TRUE(IsWindow(ToolWindow(ide)));
  EXPECT_FALSE(IsWindowVisible(ToolWindow(ide)));
  EXPECT_EQ(GetWindow(ToolWindow(ide), GW_OWNER), ide.window());
  EXPECT_EQ(WindowText(ToolWindow(ide)), L"Vorpex");
  EXPECT_EQ(ide.Prop(L".Settings.Alpha.Toggle.Value"), 1);
  EXPECT_EQ(ide.Prop(L".Settings.Alpha.Width.Value"), 12);
  EXPECT_EQ(ide.Prop(L".Settings.Alpha.Mode.Value"), 2);
  EXPECT_EQ(ide.Prop(L".Settings.Alpha.Shade.Value"), 65535);
  EXPECT_EQ(ide.Prop(L".Settings.Alpha.Box.Value"), 7);
  EXPECT_NE(ide.Prop(L".Plugin.UpdateDate"), 0);

  // Both hooks run inside this (the IDE's) process, on the IDE's thread.
  SendMessageW(ide.window(), kHookProbe, 0, 0);
  EXPECT_TRUE(WaitFor([&] {
    SendMessageW(ide.window(), kHookProbe, 0, 0);
    return reinterpret_cast<INT_PTR>(GetPropW(ide.window(), L"VorpexTest.HookProcess")) ==
               INT_PTR(GetCurrentProcessId()) &&
           reinterpret_cast<INT_PTR>(GetPropW(ide.window(), L"VorpexTest.SettingsHookProcess")) ==
               INT_PTR(GetCurrentProcessId());
  }));

  Exit(host);
  EXPECT_EQ(host.Preferences(), kFullPreferences);
  EXPECT_TRUE(ide.SharedProperties().empty());
  // The hooks are gone: the probe is no longer counted.
  SetPropW(ide.window(), L"VorpexTest.HookCalls", nullptr);
  SendMessageW(ide.window(), kHookProbe, 0, 0);
  Sleep(300);
  SendMessageW(ide.window(), kHookProbe, 0, 0);
  EXPECT_EQ(GetPropW(ide.window(), L"VorpexTest.HookCalls"), nullptr);
}

TEST_F(HostEndToEnd, StoredPreferencesAreReadAndRewritten) {
  std::wstring folder = Stage(L"stored", {L"settings_plugin.dll"});
  // A hand-edited file: no byte-order mark, other letter case, a disabled group, a comment.
  WriteBytes(folder + L"\\toolhost.ini",
             "; mine\n[installedplugins]\nALPHA=0\n[alpha]\nwidth = 33\nmode=1\n");
  Host host;
  ASSERT_TRUE(StartHostFor(host, folder, ide));
  ASSERT_TRUE(WaitReady(ide, host));
  EXPECT_EQ(ide.Prop(L".Settings.Alpha.Width.Value"), 0);  // disabled: published as 0
  EXPECT_EQ(ide.Prop(L".Settings.Beta.Other.Value"), 0);
  // The window's controls are made at its first showing, with what the file said.
  HWND tool = ToolWindow(ide);
  SendMessageW(tool, WM_COMMAND, 17, 0);  // "Preferences..."
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(tool) != FALSE; }));
  HWND list = FindChild(tool, L"SysListView32", L"");
  HWND width = FindChild(tool, L"Edit", L"33");
  HWND on = FindChild(tool, L"Button", L"On");
  ASSERT_TRUE(list && width && on);
  EXPECT_EQ(
      (SendMessageW(list, LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12,
      1);
  EXPECT_EQ(SendMessageW(on, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_FALSE(IsWindowEnabled(width));
  // Ticking the row there publishes the stored values, and the file keeps the tick.
  PostMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
  PostMessageW(list, WM_KEYUP, VK_SPACE, 0);
  EXPECT_TRUE(WaitFor([&] {
    return ide.Prop(L".Settings.Alpha.Width.Value") == 33 &&
           ide.Prop(L".Settings.Alpha.Mode.Value") == 1 && IsWindowEnabled(width);
  }));
  Exit(host);
  EXPECT_EQ(host.Preferences(),
            "\xEF\xBB\xBF\r\n[InstalledPlugins]\r\nAlpha = 1\r\nBeta = 1\r\n"
            "\r\n[Alpha]\r\nToggle = 1\r\nWidth = 33\r\nMode = 1\r\nShade = 65535\r\nBox = 7\r\n"
            "\r\n[Beta]\r\nOther = 0\r\n");
}

TEST_F(HostEndToEnd, SecondHostForTheSameIdeExitsSilently) {
  std::wstring folder = Stage(L"second", {L"hook_plugin.dll"});
  Host first, second;
  ASSERT_TRUE(StartHostFor(first, folder, ide));
  ASSERT_TRUE(WaitReady(ide, first));
  const INT_PTR tool = ide.Prop(L".Plugin.Tool");
  ASSERT_TRUE(StartHostFor(second, folder, ide));
  EXPECT_EQ(second.WaitExit(), 0u);
  EXPECT_EQ(ide.Prop(L".Plugin.ProcessId"), INT_PTR(first.id()));
  EXPECT_EQ(ide.Prop(L".Plugin.Tool"), tool);
  Exit(first);
}

TEST_F(HostEndToEnd, StaleProcessIdIsTakenOver) {
  std::wstring folder = Stage(L"stale", {});
  ide.SetShared(L".Plugin.ProcessId", 0x7FFFFFF0);  // no such process
  Host host;
  ASSERT_TRUE(StartHostFor(host, folder, ide));
  EXPECT_TRUE(WaitReady(ide, host));
  Exit(host);
  EXPECT_EQ(host.Preferences(), "\xEF\xBB\xBF\r\n");  // no plugin, no container
}

TEST_F(HostEndToEnd, IdeClosingMarkAndRestoreEndTheHost) {
  std::wstring folder = Stage(L"closing", {L"settings_plugin.dll"});
  Host host;
  ASSERT_TRUE(StartHostFor(host, folder, ide));
  ASSERT_TRUE(WaitReady(ide, host));
  HWND tool = ToolWindow(ide);
  ide.SetShared(L".Plugin.Tool", -1);
  CloseWindow(tool);  // as the plugin does from inside the IDE
  ShowWindow(tool, SW_RESTORE);
  EXPECT_EQ(host.WaitExit(), 0u);
  EXPECT_TRUE(ide.SharedProperties().empty());
  EXPECT_EQ(host.Preferences(), kFullPreferences);
}

TEST_F(HostEndToEnd, VanishedIdeEndsTheHost) {
  std::wstring folder = Stage(L"vanished", {L"settings_plugin.dll"});
  Host host;
  ASSERT_TRUE(StartHostFor(host, folder, ide));
  ASSERT_TRUE(WaitReady(ide, host));
  ide.Destroy();
  EXPECT_EQ(host.WaitExit(), 0u);
  EXPECT_EQ(host.Preferences(), kFullPreferences);
}

// Closing the window after a change, and the session's end (log-off, shutdown), write what
// Exit would: the system ends the process after WM_ENDSESSION without the host's own end.
TEST_F(HostEndToEnd, ClosedWindowAndSessionEndWriteThePreferences) {
  std::wstring folder = Stage(L"session", {L"settings_plugin.dll"});
  Host host;
  ASSERT_TRUE(StartHostFor(host, folder, ide));
  ASSERT_TRUE(WaitReady(ide, host));
  HWND tool = ToolWindow(ide);
  SendMessageW(tool, WM_COMMAND, 17, 0);  // "Preferences..."
  HWND width = FindChild(tool, L"Edit", L"12");
  ASSERT_TRUE(width);
  std::string expected = kFullPreferences;
  for (const wchar_t* value : {L"30", L"31"}) {
    SendMessageW(width, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value));
    EXPECT_TRUE(WaitFor([&] { return ide.Prop(L".Settings.Alpha.Width.Value") == _wtoi(value); }));
    expected.replace(expected.find("Width = ") + 8, 2, Narrow(value));
    if (value[1] == L'0') {
      SendMessageW(tool, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
    } else {
      EXPECT_EQ(SendMessageW(tool, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
      SendMessageW(tool, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    }
    EXPECT_EQ(host.Preferences(), expected);
  }
  TerminateProcess(host.process.hProcess, 1);  // as the system does after the session's end
  EXPECT_EQ(host.WaitExit(), 1u);
  EXPECT_EQ(host.Preferences(), expected);
}

// A file held open without sharing at start-up is reported in the log view and left alone,
// also when it is released before Exit.
TEST_F(HostEndToEnd, LockedPreferencesAreReportedAndLeftAlone) {
  std::wstring folder = Stage(L"locked", {L"settings_plugin.dll"});
  const std::string stored = "\xEF\xBB\xBF\r\n[InstalledPlugins]\r\nAlpha = 0\r\n";
  WriteBytes(folder + L"\\toolhost.ini", stored);
  HANDLE held = CreateFileW((folder + L"\\toolhost.ini").c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Host host;
  ASSERT_TRUE(StartHostFor(host, folder, ide));
  const bool ready = WaitReady(ide, host);
  CloseHandle(held);
  ASSERT_TRUE(ready);
  EXPECT_EQ(ide.Prop(L".Settings.Alpha.Width.Value"), 12);  // the defaults, for this run only
  // Reported before the log view's control existed; it shows when the window first does.
  HWND tool = ToolWindow(ide);
  SendMessageW(tool, WM_COMMAND, 17, 0);  // "Preferences..."
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(tool) != FALSE; }));
  HWND logs = nullptr;
  for (HWND child : Descendants(tool))
    if (ClassOf(child).find(L"RichEdit") != std::wstring::npos) logs = child;
  ASSERT_TRUE(logs);
  const std::wstring text = WindowText(logs);
  EXPECT_EQ(text.rfind(L"Preferences error: failed to read ", 0), 0u) << Narrow(text);
  EXPECT_NE(text.find(L"toolhost.ini!\r\n"), std::wstring::npos) << Narrow(text);
  Exit(host);
  EXPECT_EQ(host.Preferences(), stored);
}

// A file that cannot be replaced: the user's Exit names it with the system's reason; when the
// IDE closes, nobody would see a message and the host ends without one.
TEST_F(HostEndToEnd, FailedWriteIsShownAtExitOnly) {
  for (bool byExit : {true, false}) {
    SCOPED_TRACE(byExit ? "Exit" : "IDE closing");
    ide.SetShared(L".Plugin.ProcessId", 0);
    std::wstring folder =
        Stage(byExit ? L"readonly-exit" : L"readonly-closing", {L"settings_plugin.dll"});
    const std::wstring ini = folder + L"\\toolhost.ini";
    WriteBytes(ini, kFullPreferences);
    SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY);
    Host host;
    ASSERT_TRUE(StartHostFor(host, folder, ide));
    ASSERT_TRUE(WaitReady(ide, host));
    HWND tool = ToolWindow(ide);
    if (byExit) {
      SendMessageTimeoutW(tool, WM_COMMAND, 16, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
      HWND box = nullptr;
      ASSERT_TRUE(WaitFor([&] { return (box = FindMessageBox(host.id())) != nullptr; }));
      EXPECT_EQ(WindowText(box), L"Vorpex");
      const std::wstring message = MessageOf(box);
      EXPECT_EQ(message.rfind(L"Preferences error: failed to write ", 0), 0u) << Narrow(message);
      const std::size_t name = message.find(L"toolhost.ini!\n");
      EXPECT_NE(name, std::wstring::npos) << Narrow(message);
      EXPECT_GT(message.size(), name + 14) << Narrow(message);  // the reason follows
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    } else {
      ide.SetShared(L".Plugin.Tool", -1);
      CloseWindow(tool);
      ShowWindow(tool, SW_RESTORE);
    }
    EXPECT_EQ(host.WaitExit(), 0u);
    SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(host.Preferences(), kFullPreferences);
  }
}

// An IDE window that dies while the host starts has no thread: a hook for thread 0 would run in
// every program of the desktop. The host ends with the message for a missing IDE window.
TEST_F(HostEndToEnd, IdeGoneBeforeTheHooksIsAMissingIdeWindow) {
  std::wstring folder = Stage(L"gone", {L"settings_plugin.dll"});
  SetEnvironmentVariableW(L"VORPEX_TEST_CLOSE_IDE",
                          std::to_wstring(reinterpret_cast<INT_PTR>(ide.window())).c_str());
  Host host;
  const bool started = StartHostFor(host, folder, ide);
  SetEnvironmentVariableW(L"VORPEX_TEST_CLOSE_IDE", nullptr);
  ASSERT_TRUE(started);
  HWND box = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (box = FindMessageBox(host.id())) != nullptr; }));
  EXPECT_EQ(MessageOf(box), L"Missing *Ide handle!");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(host.WaitExit(), 1u);
}

struct FailureCase {
  const wchar_t* label;
  std::vector<std::wstring> plugins;
  const wchar_t* handle;  // null: the IDE's own handle
  std::wstring messageStart;
};

TEST_F(HostEndToEnd, StartUpFailuresShowTheirMessageBox) {
  const std::wstring goneWindow = L"12345678";
  const FailureCase cases[] = {
      {L"letters", {}, L"abc", L"Missing *Ide handle!"},
      {L"zero", {}, L"0", L"Missing *Ide handle!"},
      {L"no window", {}, goneWindow.c_str(), L"Missing *Ide handle!"},
      {L"broken fragment", {L"broken_plugin.dll"}, nullptr, L"XML error: "},
      {L"rejected fragment",
       {L"rejected_plugin.dll"},
       nullptr,
       L"Dialog error: 'onchange' is not supported for the following gadget: checkbox"},
  };
  int n = 0;
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(Narrow(c.label));
    ide.SetShared(L".Plugin.ProcessId", 0);
    std::wstring folder = Stage(L"failure" + std::to_wstring(n++), c.plugins);
    Host host;
    std::wstring handle =
        c.handle ? c.handle : std::to_wstring(reinterpret_cast<INT_PTR>(ide.window()));
    ASSERT_TRUE(StartHost(host, folder, &handle));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindMessageBox(host.id())) != nullptr; }));
    EXPECT_EQ(WindowText(box), L"Vorpex");
    const std::wstring message = MessageOf(box);
    EXPECT_EQ(message.substr(0, c.messageStart.size()), c.messageStart) << Narrow(message);
    if (c.messageStart == L"XML error: ") {
      EXPECT_NE(message.find(L" (Line: "), std::wstring::npos) << Narrow(message);
    }
    Sleep(300);  // let the box paint
    Screenshot(std::wstring(L"failure-") + std::to_wstring(n));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(host.WaitExit(), 1u);
    EXPECT_EQ(host.Preferences(), "");
  }
}

// The settings window: every control shows its stored value and every change is published.
TEST_F(HostEndToEnd, SettingsWindowShowsAndPublishesEveryControlKind) {
  std::wstring folder = Stage(L"settings", {L"settings_plugin.dll"});
  Host host;
  ASSERT_TRUE(StartHostFor(host, folder, ide));
  ASSERT_TRUE(WaitReady(ide, host));
  HWND tool = ToolWindow(ide);
  SendMessageW(tool, WM_COMMAND, 17, 0);  // "Preferences..."
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(tool) != FALSE; }));

  HWND toggle = FindChild(tool, L"Button", L"Toggle");
  HWND on = FindChild(tool, L"Button", L"On");
  HWND autoMode = FindChild(tool, L"Button", L"Auto");
  HWND combo = FindChild(tool, L"ComboBox", L"");
  HWND list = FindChild(tool, L"SysListView32", L"");
  HWND colour = FindChild(tool, L"Edit", L"00FFFF");
  HWND width = FindChild(tool, L"Edit", L"12");
  ASSERT_TRUE(toggle && on && autoMode && combo && list && colour && width);
  EXPECT_EQ(SendMessageW(toggle, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(autoMode, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
  // Both of the fixture's tooltips are in place once the window shows.
  EXPECT_EQ(SendMessageW(FindTooltipWindow(host.id()), TTM_GETTOOLCOUNT, 0, 0), 2);
  Screenshot(L"settings-tab");

  auto changed = [&](INT_PTR before) {
    return WaitFor([&] { return ide.Prop(L".Plugin.UpdateDate") != before; }, 3000);
  };
  INT_PTR date = ide.Prop(L".Plugin.UpdateDate");
  SendMessageW(toggle, BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return ide.Prop(L".Settings.Alpha.Toggle.Value") == 0; }));
  EXPECT_TRUE(changed(date));

  SendMessageW(on, BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return ide.Prop(L".Settings.Alpha.Mode.Value") == 1; }));

  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  EXPECT_TRUE(WaitFor([&] { return ide.Prop(L".Settings.Alpha.Box.Value") == 8; }));

  SendMessageW(width, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"30"));
  EXPECT_TRUE(WaitFor([&] { return ide.Prop(L".Settings.Alpha.Width.Value") == 30; }));

  date = ide.Prop(L".Plugin.UpdateDate");
  SendMessageW(colour, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"FF"));
  EXPECT_TRUE(WaitFor([&] { return ide.Prop(L".Settings.Alpha.Shade.Value") == 255; }));
  EXPECT_TRUE(changed(date));

  // Unticking the row (space on the focused row) zeroes the group and disables its controls.
  PostMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
  PostMessageW(list, WM_KEYUP, VK_SPACE, 0);
  EXPECT_TRUE(WaitFor([&] {
    return ide.Prop(L".Settings.Alpha.Width.Value") == 0 &&
           ide.Prop(L".Settings.Alpha.Box.Value") == 0 &&
           ide.Prop(L".Settings.Alpha.Shade.Value") == 0 && !IsWindowEnabled(toggle);
  }));
  PostMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
  PostMessageW(list, WM_KEYUP, VK_SPACE, 0);
  EXPECT_TRUE(WaitFor([&] {
    return ide.Prop(L".Settings.Alpha.Width.Value") == 30 &&
           ide.Prop(L".Settings.Alpha.Box.Value") == 8 &&
           ide.Prop(L".Settings.Alpha.Shade.Value") == 255 && IsWindowEnabled(toggle);
  }));

  // A left click on the swatch opens the colour chooser at the stored colour; cancel keeps the
  // field, and the colour is published again either way.
  HWND swatch = FindChild(tool, L"VorpexDialogCanvas", L"");
  ASSERT_TRUE(swatch);
  for (int answer : {IDCANCEL, IDOK}) {
    date = ide.Prop(L".Plugin.UpdateDate");
    PostMessageW(swatch, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageW(swatch, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    HWND chooser = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (chooser = FindMessageBox(host.id())) != nullptr; }));
    EXPECT_EQ(WindowText(GetDlgItem(chooser, 706)), L"255");  // red of 0000FF (red is the low byte)
    EXPECT_EQ(WindowText(GetDlgItem(chooser, 707)), L"0");
    if (answer == IDCANCEL) Screenshot(L"colour-chooser");
    PostMessageW(chooser, WM_COMMAND, answer, 0);
    EXPECT_TRUE(WaitFor([&] { return FindMessageBox(host.id()) == nullptr; }));
    EXPECT_TRUE(changed(date));
    // Cancel leaves the typed text; OK writes the chosen colour as six digits.
    EXPECT_EQ(WindowText(colour), answer == IDCANCEL ? L"FF" : L"0000FF");
    EXPECT_EQ(ide.Prop(L".Settings.Alpha.Shade.Value"), 255);
  }

  // The close box hides the window; the host keeps running.
  SendMessageW(tool, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(tool); }));
  EXPECT_EQ(WaitForSingleObject(host.process.hProcess, 300), DWORD(WAIT_TIMEOUT));
  SendMessageW(tool, WM_COMMAND, 17, 0);
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(tool) != FALSE; }));

  Exit(host);
  const std::string preferences = host.Preferences();
  EXPECT_NE(preferences.find("Toggle = 0\r\nWidth = 30\r\nMode = 1\r\nShade = 255\r\nBox = 8\r\n"),
            std::string::npos)
      << preferences;
}

enum Modifiers { kNone = 0, kShift = 1, kCtrl = 2 };

void PressKey(WORD key, int modifiers = kNone) {
  if (modifiers & kCtrl) keybd_event(VK_CONTROL, 0, 0, 0);
  if (modifiers & kShift) keybd_event(VK_SHIFT, 0, 0, 0);
  keybd_event(BYTE(key), 0, 0, 0);
  keybd_event(BYTE(key), 0, KEYEVENTF_KEYUP, 0);
  if (modifiers & kShift) keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
  if (modifiers & kCtrl) keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
}

// The keyboard alone: the window opens on the plugin list, Tab and Shift+Tab follow reading order
// (a radio group is one stop, at its selected option), the arrows move within the group and
// select, Space toggles the focused check box or list tick, and each change is published as a
// click's is; Ctrl+Tab turns the page, Tab leaves the log editor; Escape hides the window as its
// close box does, and the next opening starts on the list again.
TEST_F(HostEndToEnd, SettingsWindowWorksFromTheKeyboard) {
  std::wstring folder = Stage(L"keys", {L"settings_plugin.dll"});
  Host host;
  ASSERT_TRUE(StartHostFor(host, folder, ide));
  ASSERT_TRUE(WaitReady(ide, host));
  HWND tool = ToolWindow(ide);
  SendMessageW(tool, WM_COMMAND, 17, 0);  // "Preferences..."
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(tool) != FALSE; }));
  HWND list = FindChild(tool, L"SysListView32", L"");
  HWND toggle = FindChild(tool, L"Button", L"Toggle");
  HWND width = FindChild(tool, L"Edit", L"12");
  HWND off = FindChild(tool, L"Button", L"Off");
  HWND on = FindChild(tool, L"Button", L"On");
  HWND autoMode = FindChild(tool, L"Button", L"Auto");
  HWND colour = FindChild(tool, L"Edit", L"00FFFF");
  HWND combo = FindChild(tool, L"ComboBox", L"");
  HWND logNone = FindChild(tool, L"Button", L"None ");
  HWND logs = FindChild(tool, L"RichEdit20W", L"");
  ASSERT_TRUE(list && toggle && width && off && on && autoMode && colour && combo && logNone &&
              logs);
  SetForegroundWindow(tool);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == tool; }));

  const DWORD thread = GetWindowThreadProcessId(tool, nullptr);
  auto focus = [&] {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
  };
  auto prop = [&](const wchar_t* key) {
    return ide.Prop(std::wstring(L".Settings.Alpha.") + key + L".Value");
  };
  auto ticked = [&] {
    return (SendMessageW(list, LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK) >> 12) == 2;
  };
  auto checked = [](HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; };
  ASSERT_TRUE(WaitFor([&] { return focus() == list; }, 3000));

  struct Step {
    WORD key;
    int modifiers;
    HWND focus;                    // where the focus is after the key
    std::function<bool()> effect;  // what the key changed, as published
  } steps[] = {
      {VK_SPACE, kNone, list,
       [&] { return !ticked() && prop(L"Width") == 0 && !IsWindowEnabled(toggle); }},
      {VK_SPACE, kNone, list,
       [&] { return ticked() && prop(L"Width") == 12 && IsWindowEnabled(toggle); }},
      {VK_TAB, kNone, toggle, [&] { return checked(toggle); }},
      {VK_SPACE, kNone, toggle, [&] { return !checked(toggle) && prop(L"Toggle") == 0; }},
      {VK_TAB, kNone, width, [&] { return prop(L"Width") == 12; }},
      {VK_TAB, kNone, autoMode, [&] { return checked(autoMode) && prop(L"Mode") == 2; }},
      {VK_LEFT, kNone, on, [&] { return checked(on) && !checked(autoMode) && prop(L"Mode") == 1; }},
      {VK_UP, kNone, off, [&] { return checked(off) && !checked(on) && prop(L"Mode") == 0; }},
      {VK_DOWN, kNone, on, [&] { return checked(on) && !checked(off) && prop(L"Mode") == 1; }},
      {VK_TAB, kNone, colour, [&] { return prop(L"Shade") == 65535; }},
      {VK_TAB, kNone, combo, [&] { return prop(L"Box") == 7; }},
      {VK_TAB, kNone, list, [&] { return ticked(); }},
      {VK_TAB, kShift, combo, [&] { return true; }},
      {VK_TAB, kShift, colour, [&] { return true; }},
      {VK_TAB, kShift, on, [&] { return prop(L"Mode") == 1; }},
      {VK_SPACE, kNone, on, [&] { return checked(on) && prop(L"Mode") == 1; }},
      {VK_TAB, kShift, width, [&] { return true; }},
      {VK_TAB, kShift, toggle, [&] { return !checked(toggle); }},
      {VK_TAB, kCtrl, logNone, [&] { return IsWindowVisible(logs) != FALSE; }},
      {VK_TAB, kNone, logs, [&] { return true; }},
      {VK_TAB, kNone, logNone, [&] { return WindowText(logs).find(L'\t') == std::wstring::npos; }},
      {VK_TAB, kCtrl | kShift, list, [&] { return !IsWindowVisible(logs); }},
  };
  int index = 0;
  for (const Step& step : steps) {
    PressKey(step.key, step.modifiers);
    EXPECT_TRUE(WaitFor([&] { return focus() == step.focus; }, 3000)) << "step " << index;
    EXPECT_TRUE(WaitFor(step.effect, 3000)) << "step " << index;
    ++index;
  }
  Screenshot(L"settings-keyboard");

  // Escape hides the window as the close box does: the host keeps running.
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(tool); }, 3000));
  EXPECT_EQ(WaitForSingleObject(host.process.hProcess, 300), DWORD(WAIT_TIMEOUT));
  SendMessageW(tool, WM_COMMAND, 17, 0);
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(tool) && focus() == list; }, 3000));
  Exit(host);
  EXPECT_NE(host.Preferences().find("Toggle = 0\r\nWidth = 12\r\nMode = 1\r\n"), std::string::npos);
}

HWND FindPopupMenu(DWORD processId) {
  return FindTopLevelWindow(processId, [](HWND window) {
    return ClassOf(window) == L"#32768" && IsWindowVisible(window) != FALSE;
  });
}

// Presses on the tray icon reach the tool window as its tray message; each kind opens the menu.
TEST_F(HostEndToEnd, TrayPressesOpenTheMenu) {
  std::wstring folder = Stage(L"tray", {});
  Host host;
  ASSERT_TRUE(StartHostFor(host, folder, ide));
  ASSERT_TRUE(WaitReady(ide, host));
  HWND tool = ToolWindow(ide);
  for (UINT press : {WM_RBUTTONDOWN, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK}) {
    PostMessageW(tool, WM_APP + 5, 5, press);
    HWND menu = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (menu = FindPopupMenu(host.id())) != nullptr; }, 5000))
        << press;
    if (press == WM_RBUTTONDOWN) Screenshot(L"tray-menu");
    PostMessageW(tool, WM_CANCELMODE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return FindPopupMenu(host.id()) == nullptr; }, 5000)) << press;
  }
  PostMessageW(tool, WM_APP + 5, 5, WM_MOUSEMOVE);  // not a press: no menu
  Sleep(300);
  EXPECT_EQ(FindPopupMenu(host.id()), nullptr);
  Exit(host);
}

TEST_F(HostEndToEnd, LogViewShowsThePluginTextAndTheIdeWindowTree) {
  std::wstring folder = Stage(L"logs", {L"settings_plugin.dll"});
  Host host;
  ASSERT_TRUE(StartHostFor(host, folder, ide));
  ASSERT_TRUE(WaitReady(ide, host));
  HWND tool = ToolWindow(ide);
  SendMessageW(tool, WM_COMMAND, 17, 0);
  HWND tabs = FindChild(tool, L"SysTabControl32", L"");
  ASSERT_TRUE(tabs);
  // To the "Logs" page the way a user's keyboard goes (the tab control then notifies its parent).
  PostMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
  PostMessageW(tabs, WM_KEYUP, VK_RIGHT, 0);

  HWND logs = nullptr;
  for (HWND child : Descendants(tool))
    if (ClassOf(child).find(L"RichEdit") != std::wstring::npos || ClassOf(child) == L"Edit")
      logs = child;
  ASSERT_TRUE(logs);
  const std::wstring prefix = std::to_wstring(reinterpret_cast<INT_PTR>(ide.window()));

  HWND properties = FindChild(tool, L"Button", L"Properties ");
  ASSERT_TRUE(properties);
  SendMessageW(properties, BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor(
      [&] { return WindowText(logs).find(L"mode=Props\tide=" + prefix) != std::wstring::npos; },
      3000))
      << Narrow(WindowText(logs));

  const std::pair<const wchar_t*, const wchar_t*> modes[] = {{L"Scintilla ", L"mode=Scintilla"},
                                                             {L"Styles", L"mode=Styles"},
                                                             {L"Indicators", L"mode=Indicators"}};
  for (const auto& [option, text] : modes) {
    SendMessageW(FindChild(tool, L"Button", option), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return WindowText(logs).find(text) != std::wstring::npos; }, 3000))
        << Narrow(option);
  }

  SendMessageW(FindChild(tool, L"Button", L"Controls "), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor(
      [&] {
        const std::wstring text = WindowText(logs);
        return text.find(L"Static = ") != std::wstring::npos &&
               text.find(L"\tPB_ID = 2") != std::wstring::npos &&
               text.find(L"\tTitle = two..lines") != std::wstring::npos;
      },
      3000))
      << Narrow(WindowText(logs));
  Sleep(400);
  Screenshot(L"logs-tab-controls");

  // "None" keeps what is shown.
  const std::wstring shown = WindowText(logs);
  SendMessageW(FindChild(tool, L"Button", L"None "), BM_CLICK, 0, 0);
  Sleep(600);
  EXPECT_EQ(WindowText(logs), shown);
  Exit(host);
}

TEST_F(HostEndToEnd, LogViewKeepsItsTextWhenThePluginReturnsNothing) {
  std::wstring folder = Stage(L"silent", {L"settings_plugin.dll"});
  SetEnvironmentVariableW(L"VORPEX_TEST_SILENT_DEBUG", L"1");
  Host host;
  const bool started = StartHostFor(host, folder, ide);
  SetEnvironmentVariableW(L"VORPEX_TEST_SILENT_DEBUG", nullptr);
  ASSERT_TRUE(started);
  ASSERT_TRUE(WaitReady(ide, host));
  HWND tool = ToolWindow(ide);
  SendMessageW(tool, WM_COMMAND, 17, 0);
  HWND logs = nullptr;
  for (HWND child : Descendants(tool))
    if (ClassOf(child).find(L"RichEdit") != std::wstring::npos) logs = child;
  ASSERT_TRUE(logs);
  SendMessageW(FindChild(tool, L"Button", L"Controls "), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor(
      [&] { return WindowText(logs).find(L"Title = two..lines") != std::wstring::npos; }, 3000));
  const std::wstring shown = WindowText(logs);
  SendMessageW(FindChild(tool, L"Button", L"Properties "), BM_CLICK, 0, 0);
  Sleep(600);
  EXPECT_EQ(WindowText(logs), shown);
  Exit(host);
}

}  // namespace

namespace {

using namespace host_harness;

// With the real stand-in IDE and Zentrel.dll, when both are staged: the IDE starts the host as its
// tool, the host publishes the plugin's settings, and closing the IDE ends the host in order.
TEST(HostWithStandinIde, IdeStartsTheHostAndClosingTheIdeEndsIt) {
  const std::wstring ideProgram = BuildFolder() + L"\\stage\\ide\\standin-ide.exe";
  const std::wstring zentrel = BuildFolder() + L"\\stage\\tool\\Zentrel.dll";
  if (GetFileAttributesW(ideProgram.c_str()) == INVALID_FILE_ATTRIBUTES ||
      GetFileAttributesW(zentrel.c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "standin-ide.exe or Zentrel.dll is not staged in this build";
  const std::wstring folder = Stage(L"standin", {});
  ASSERT_TRUE(CopyFileW(zentrel.c_str(), (folder + L"\\Zentrel.dll").c_str(), FALSE));

  std::wstring commandLine =
      L"\"" + ideProgram + L"\" --tool-folder \"" + folder + L"\" --start-tool";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION ideProcess = {};
  ASSERT_TRUE(CreateProcessW(ideProgram.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                             nullptr, nullptr, &startup, &ideProcess));
  HWND ide = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (ide = FindIdeWindow(ideProcess.dwProcessId)) != nullptr; }));
  const std::wstring prefix = Hex(reinterpret_cast<INT_PTR>(ide));
  auto prop = [&](const wchar_t* suffix) {
    return reinterpret_cast<INT_PTR>(GetPropW(ide, (prefix + suffix).c_str()));
  };
  ASSERT_TRUE(
      WaitFor([&] { return prop(L".Plugin.ProcessId") > 0 && prop(L".Plugin.Tool") != 0; }));
  const DWORD hostId = DWORD(prop(L".Plugin.ProcessId"));
  HANDLE host = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, hostId);
  ASSERT_NE(host, nullptr);
  EXPECT_TRUE(WaitFor([&] { return prop(L".Plugin.UpdateDate") != 0; }));
  Screenshot(L"standin-ide-with-host");
  HWND tool = reinterpret_cast<HWND>(prop(L".Plugin.Tool"));
  SendMessageTimeoutW(tool, WM_COMMAND, 17, 0, SMTO_ABORTIFHUNG, 5000,
                      nullptr);  // "Preferences..."
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(tool) != FALSE; }));
  Sleep(500);
  Screenshot(L"standin-zentrel-settings");

  PostMessageW(ide, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(host, 20000), DWORD(WAIT_OBJECT_0));
  DWORD code = 99;
  GetExitCodeProcess(host, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(host);
  const std::string preferences = ReadBytes(folder + L"\\toolhost.ini");
  EXPECT_EQ(preferences.rfind("\xEF\xBB\xBF\r\n[InstalledPlugins]\r\n", 0), 0u) << preferences;
  if (WaitForSingleObject(ideProcess.hProcess, 10000) != WAIT_OBJECT_0)
    TerminateProcess(ideProcess.hProcess, 1);
  CloseHandle(ideProcess.hProcess);
  CloseHandle(ideProcess.hThread);
}

}  // namespace
