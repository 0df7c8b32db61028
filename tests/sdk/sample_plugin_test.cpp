// The kit's sample plugin, built from sdk/ alone, beside toolhost.exe started by the stand-in IDE:
// its group is a row of the settings window with its controls, its settings reach its hook in
// the IDE process, and the host keeps them in toolhost.ini. Then the same beside the unpacked
// release zip, as a user installs it.
#include <gtest/gtest.h>

#include "tests/host/e2e/host_harness.h"

namespace {

using namespace host_harness;

// A record and a text buffer in the process of a list control: list messages that take a
// pointer need it there.
struct RemoteRow {
  HANDLE process = nullptr;
  char* memory = nullptr;
  static constexpr int kCapacity = 256;

  explicit RemoteRow(HWND list) {
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process)
      memory = static_cast<char*>(VirtualAllocEx(process, nullptr,
                                                 sizeof(LVITEMW) + kCapacity * sizeof(wchar_t),
                                                 MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  }
  ~RemoteRow() {
    if (memory) VirtualFreeEx(process, memory, 0, MEM_RELEASE);
    if (process) CloseHandle(process);
  }
  wchar_t* Text() const { return reinterpret_cast<wchar_t*>(memory + sizeof(LVITEMW)); }
  bool Put(const LVITEMW& item) const {
    return memory && WriteProcessMemory(process, memory, &item, sizeof item, nullptr);
  }
};

std::wstring ListRowText(HWND list, int row) {
  RemoteRow remote(list);
  LVITEMW item = {};
  item.cchTextMax = RemoteRow::kCapacity;
  item.pszText = remote.Text();
  wchar_t buffer[RemoteRow::kCapacity] = {};
  if (!remote.Put(item) ||
      !SendMessageTimeoutW(list, LVM_GETITEMTEXTW, WPARAM(row),
                           reinterpret_cast<LPARAM>(remote.memory), SMTO_ABORTIFHUNG, 5000,
                           nullptr) ||
      !ReadProcessMemory(remote.process, remote.Text(), buffer, sizeof buffer, nullptr))
    return {};
  buffer[RemoteRow::kCapacity - 1] = 0;
  return buffer;
}

// Selects a row as a click does: the host shows that row's group.
void SelectListRow(HWND list, int row) {
  RemoteRow remote(list);
  LVITEMW item = {};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  if (remote.Put(item))
    SendMessageTimeoutW(list, LVM_SETITEMSTATE, WPARAM(row),
                        reinterpret_cast<LPARAM>(remote.memory), SMTO_ABORTIFHUNG, 5000, nullptr);
}

int FindListRow(HWND list, const std::wstring& text) {
  const int rows = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row)
    if (ListRowText(list, row) == text) return row;
  return -1;
}

// The stand-in IDE started with `toolFolder` as its tool's folder, and the host it starts.
struct IdeWithHost {
  PROCESS_INFORMATION ide = {};
  HWND window = nullptr;
  HANDLE host = nullptr;
  std::wstring prefix;

  bool Start(const std::wstring& toolFolder) {
    const std::wstring program = BuildFolder() + L"\\stage\\ide\\standin-ide.exe";
    std::wstring commandLine =
        L"\"" + program + L"\" --tool-folder \"" + toolFolder + L"\" --start-tool";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &ide))
      return false;
    if (!WaitFor([&] { return (window = FindIdeWindow(ide.dwProcessId)) != nullptr; }))
      return false;
    prefix = Hex(reinterpret_cast<INT_PTR>(window));
    if (!WaitFor([&] { return Prop(L".Plugin.ProcessId") > 0 && Prop(L".Plugin.Tool") != 0; }))
      return false;
    host = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                       DWORD(Prop(L".Plugin.ProcessId")));
    return host != nullptr;
  }
  INT_PTR Prop(const wchar_t* suffix) const {
    return reinterpret_cast<INT_PTR>(GetPropW(window, (prefix + suffix).c_str()));
  }
  // The sample's mark; the hook runs after each message the IDE processes, so this sends one.
  INT_PTR Mark() const {
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
    return Prop(L".SamplePlugin.Mark");
  }
  HWND Tool() const { return reinterpret_cast<HWND>(Prop(L".Plugin.Tool")); }
  bool ShowSettings() const {
    SendMessageTimeoutW(Tool(), WM_COMMAND, 17, 0, SMTO_ABORTIFHUNG, 5000,
                        nullptr);  // "Preferences..."
    return WaitFor([&] { return IsWindowVisible(Tool()) != FALSE; });
  }
  // Closing the IDE ends the host: true when it ended with exit code 0.
  bool CloseIde() {
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD code = 99;
    const bool ended =
        WaitForSingleObject(host, 20000) == WAIT_OBJECT_0 && GetExitCodeProcess(host, &code);
    return ended && code == 0;
  }
  ~IdeWithHost() {
    if (host) CloseHandle(host);
    if (ide.hProcess) {
      if (WaitForSingleObject(ide.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(ide.hProcess, 1);
      CloseHandle(ide.hProcess);
      CloseHandle(ide.hThread);
    }
  }
};

TEST(SdkSamplePlugin, GroupAppearsAndItsSettingsReachItsHookInTheIde) {
  const std::wstring folder = Stage(L"sdk-sample", {L"SamplePlugin.dll"});
  IdeWithHost session;
  ASSERT_TRUE(session.Start(folder));

  // The fragment's defaults are published and the hook acts on them.
  EXPECT_TRUE(WaitFor([&] { return session.Prop(L".Settings.SamplePlugin.MarkIde.Value") == 1; }));
  // The host publishes one property after another: on a busy machine the second comes later.
  EXPECT_TRUE(WaitFor([&] {
    return session.Prop(L".Settings.SamplePlugin.MarkNumber.Value") == 42;
  })) << session.Prop(L".Settings.SamplePlugin.MarkNumber.Value");
  EXPECT_TRUE(WaitFor([&] { return session.Mark() == 42; })) << session.Mark();

  // The settings window: one row, the sample's group, its controls shown.
  ASSERT_TRUE(session.ShowSettings());
  HWND tool = session.Tool();
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
  EXPECT_TRUE(WaitFor([&] { return session.Mark() == 7; })) << session.Mark();
  SendMessageTimeoutW(check, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
  EXPECT_TRUE(WaitFor([&] { return session.Prop(L".Settings.SamplePlugin.MarkIde.Value") == 0; }));
  EXPECT_TRUE(WaitFor([&] { return session.Mark() == 0; })) << session.Mark();

  // Closing the IDE ends the host, which keeps the group in toolhost.ini.
  EXPECT_TRUE(session.CloseIde());
  EXPECT_EQ(ReadBytes(folder + L"\\toolhost.ini"),
            "\xEF\xBB\xBF\r\n[InstalledPlugins]\r\nSamplePlugin = 1\r\n\r\n"
            "[SamplePlugin]\r\nMarkIde = 0\r\nMarkNumber = 7\r\n");
}

// The folder Vorpex/ of the release zip (unpacked by the zip's own test into an empty folder),
// with the sample beside Zentrel.dll as an author would add it: the IDE starts the host from
// there, both plugins' groups are rows, and both work.
TEST(SdkSamplePlugin, UnpackedReleaseStartsFromTheIdeWithTheSampleBesideZentrel) {
  wchar_t unpacked[MAX_PATH] = {};
  ASSERT_TRUE(GetEnvironmentVariableW(L"VORPEX_RELEASE_FOLDER", unpacked, MAX_PATH))
      << "VORPEX_RELEASE_FOLDER names the unpacked release";
  std::wstring folder = unpacked;
  if (!folder.empty() && folder[0] == L'/') {  // a Linux path, as Wine sees it
    for (wchar_t& c : folder)
      if (c == L'/') c = L'\\';
    folder = L"Z:" + folder;
  }
  ASSERT_NE(GetFileAttributesW((folder + L"\\toolhost.exe").c_str()), INVALID_FILE_ATTRIBUTES)
      << Narrow(folder);
  ASSERT_TRUE(CopyFileW(PluginPath(L"SamplePlugin.dll").c_str(),
                        (folder + L"\\SamplePlugin.dll").c_str(), FALSE));
  DeleteFileW((folder + L"\\toolhost.ini").c_str());

  IdeWithHost session;
  ASSERT_TRUE(session.Start(folder));
  EXPECT_TRUE(WaitFor([&] { return session.Mark() == 42; })) << session.Mark();
  EXPECT_TRUE(WaitFor([&] { return session.Prop(L".Plugin.UpdateDate") != 0; }));
  ASSERT_TRUE(session.ShowSettings());
  HWND list = FindChild(session.Tool(), L"SysListView32", L"");
  ASSERT_TRUE(list);
  EXPECT_GE(FindListRow(list, L"String Helpers"), 0);
  const int sample = FindListRow(list, L"Sample plugin");
  ASSERT_GE(sample, 0);
  SelectListRow(list, sample);
  HWND check = FindChild(session.Tool(), L"Button", L"Mark the IDE window");
  ASSERT_TRUE(check);
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(check) != FALSE; }));
  Sleep(300);
  Screenshot(L"release-settings-with-sample");

  EXPECT_TRUE(session.CloseIde());
  const std::string preferences = ReadBytes(folder + L"\\toolhost.ini");
  EXPECT_NE(preferences.find("SamplePlugin = 1\r\n"), std::string::npos) << preferences;
  EXPECT_NE(preferences.find("StringHelpers = 1\r\n"), std::string::npos) << preferences;
  DeleteFileW((folder + L"\\SamplePlugin.dll").c_str());
}

}  // namespace
