// The kit's sample plugin, built from sdk/ alone, beside toolhost.exe started by the stand-in IDE:
// its group is a row of the settings window with its controls, its settings reach its hook in
// the IDE process, and the host keeps them in toolhost.ini.
#include <gtest/gtest.h>

#include "tests/host/e2e/host_harness.h"

namespace {

using namespace host_harness;

// The first top-level window of the process that carries PB_ID: the IDE main window.
HWND FindIdeWindow(DWORD processId) {
  FoundBox found = {processId, nullptr};
  EnumWindows([](HWND window, LPARAM data) -> BOOL {
    auto* search = reinterpret_cast<FoundBox*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && GetPropW(window, L"PB_ID") && !GetWindow(window, GW_OWNER)) {
      search->box = window;
      return FALSE;
    }
    return TRUE;
  }, reinterpret_cast<LPARAM>(&found));
  return found.box;
}

// The text of a row of a list control in another process (the record and the text have to
// live in that process).
std::wstring ListRowText(HWND list, int row) {
  DWORD processId = 0;
  GetWindowThreadProcessId(list, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) return {};
  constexpr int kCapacity = 256;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kCapacity * sizeof(wchar_t),
                                MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  std::wstring text;
  if (remote) {
    LVITEMW item = {};
    item.iSubItem = 0;
    item.cchTextMax = kCapacity;
    item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(LVITEMW));
    wchar_t buffer[kCapacity] = {};
    if (WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
        SendMessageTimeoutW(list, LVM_GETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG,
                            5000, nullptr) &&
        ReadProcessMemory(process, item.pszText, buffer, sizeof buffer, nullptr)) {
      buffer[kCapacity - 1] = 0;
      text = buffer;
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

TEST(SdkSamplePlugin, GroupAppearsAndItsSettingsReachItsHookInTheIde) {
  const std::wstring ideProgram = BuildFolder() + L"\\stage\\ide\\standin-ide.exe";
  const std::wstring folder = Stage(L"sdk-sample", {L"SamplePlugin.dll"});

  std::wstring commandLine = L"\"" + ideProgram + L"\" --tool-folder \"" + folder + L"\" --start-tool";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION ideProcess = {};
  ASSERT_TRUE(CreateProcessW(ideProgram.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &ideProcess));
  HWND ide = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (ide = FindIdeWindow(ideProcess.dwProcessId)) != nullptr; }));
  const std::wstring prefix = Hex(reinterpret_cast<INT_PTR>(ide));
  auto prop = [&](const wchar_t* suffix) { return reinterpret_cast<INT_PTR>(GetPropW(ide, (prefix + suffix).c_str())); };
  // The hook runs after each message the IDE processes; this sends it one at every poll.
  auto mark = [&] {
    SendMessageTimeoutW(ide, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
    return prop(L".SamplePlugin.Mark");
  };
  ASSERT_TRUE(WaitFor([&] { return prop(L".Plugin.ProcessId") > 0 && prop(L".Plugin.Tool") != 0; }));
  HANDLE host = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(prop(L".Plugin.ProcessId")));
  ASSERT_NE(host, nullptr);

  // The fragment's defaults are published and the hook acts on them.
  EXPECT_TRUE(WaitFor([&] { return prop(L".Settings.SamplePlugin.MarkIde.Value") == 1; }));
  EXPECT_EQ(prop(L".Settings.SamplePlugin.MarkNumber.Value"), 42);
  EXPECT_TRUE(WaitFor([&] { return mark() == 42; })) << mark();

  // The settings window: one row, the sample's group, its controls shown.
  HWND tool = reinterpret_cast<HWND>(prop(L".Plugin.Tool"));
  SendMessageTimeoutW(tool, WM_COMMAND, 17, 0, SMTO_ABORTIFHUNG, 5000, nullptr);  // "Preferences..."
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(tool) != FALSE; }));
  HWND list = FindChild(tool, L"SysListView32", L"");
  ASSERT_TRUE(list);
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);
  EXPECT_EQ(ListRowText(list, 0), L"Sample plugin");
  HWND check = FindChild(tool, L"Button", L"Mark the IDE window");
  HWND number = FindChild(tool, L"Edit", L"42");
  ASSERT_TRUE(check);
  ASSERT_TRUE(number);
  EXPECT_TRUE(IsWindowVisible(check));
  EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_CHECKED);
  Sleep(300);
  Screenshot(L"sdk-sample-settings");

  // A new number, then the check box off: each reaches the hook with the next message.
  SendMessageW(number, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"7"));
  EXPECT_TRUE(WaitFor([&] { return mark() == 7; })) << mark();
  SendMessageTimeoutW(check, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
  EXPECT_TRUE(WaitFor([&] { return prop(L".Settings.SamplePlugin.MarkIde.Value") == 0; }));
  EXPECT_TRUE(WaitFor([&] { return mark() == 0; })) << mark();

  // Closing the IDE ends the host, which keeps the group in toolhost.ini.
  PostMessageW(ide, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(host, 20000), DWORD(WAIT_OBJECT_0));
  CloseHandle(host);
  EXPECT_EQ(ReadBytes(folder + L"\\toolhost.ini"),
            "\xEF\xBB\xBF\r\n[InstalledPlugins]\r\nSamplePlugin = 1\r\n\r\n"
            "[SamplePlugin]\r\nMarkIde = 0\r\nMarkNumber = 7\r\n");
  if (WaitForSingleObject(ideProcess.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(ideProcess.hProcess, 1);
  CloseHandle(ideProcess.hProcess);
  CloseHandle(ideProcess.hThread);
}

}  // namespace
