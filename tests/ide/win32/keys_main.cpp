// standin-keys.exe: types into the running stand-in IDE with real input, one step an argument.
//
//   wait-window        wait (up to 15 s) for the IDE's main window and bring it to the front
//   type:TEXT          type TEXT; "\n" is Enter, "\t" a tab, "\\" a backslash
//   key:CHORD          a key with modifiers, e.g. key:ctrl+i, key:shift+end, key:ctrl+home
//   clipboard:TEXT     put TEXT on the clipboard (same escapes as type:)
//   dblclick:TEXT      double-click the first occurrence of TEXT in the active editor (selects
//                      the word there); a number is a text position
//   sleep:MS           wait
// The tool host that the IDE started (found through the IDE's properties), as its user sees it:
//   tray-menu          click the host's icon in Wine's tray and wait for its menu
//   wait-settings      wait for the host's settings window to be shown
//   row:TEXT           click the row TEXT of the settings window's list of groups
//   control:CLASS:TEXT fail unless the settings window shows a control of CLASS captioned TEXT
//   dblclick-control:CLASS:TEXT  double-click that control (selects its word)
//   prop:SUFFIX=VALUE  wait (up to 15 s) until the IDE window's property prefix+SUFFIX is VALUE
//                      (the hooks run after each message the IDE processes: one is sent each try)
//   settings-geometry  print the settings window's place on the screen as WIDTHxHEIGHT+X+Y
//   close-ide          close the IDE and wait until it and the host have ended (the host with 0)
// Exit code 0, or 1 with a message on stderr for a step that failed or a step it does not know.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

#include "core/property_names.h"
#include "iface/scintilla.h"
#include "tests/ide/win32/driver.h"

namespace {

HWND main_window = nullptr;

std::wstring Unescape(const std::wstring& text) {
  std::wstring result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\\' && i + 1 < text.size()) {
      const wchar_t next = text[++i];
      result += next == L'n' ? L'\n' : next == L't' ? L'\t' : next;
    } else {
      result += text[i];
    }
  }
  return result;
}

bool KeyCode(const std::wstring& name, WORD* key) {
  struct Named {
    const wchar_t* name;
    WORD key;
  };
  static const Named keys[] = {
      {L"home", VK_HOME},     {L"end", VK_END},       {L"up", VK_UP},        {L"down", VK_DOWN},
      {L"left", VK_LEFT},     {L"right", VK_RIGHT},   {L"enter", VK_RETURN}, {L"tab", VK_TAB},
      {L"insert", VK_INSERT}, {L"delete", VK_DELETE}, {L"back", VK_BACK},    {L"escape", VK_ESCAPE},
      {L"pageup", VK_PRIOR},  {L"pagedown", VK_NEXT}};
  for (const Named& named : keys) {
    if (name == named.name) {
      *key = named.key;
      return true;
    }
  }
  if (name.size() == 1 && std::iswalnum(name[0])) {
    *key = static_cast<WORD>(std::towupper(name[0]));
    return true;
  }
  return false;
}

bool PressChord(const std::wstring& chord) {
  std::vector<WORD> modifiers;
  std::wstring rest = chord;
  for (;;) {
    const std::size_t plus = rest.find(L'+');
    if (plus == std::wstring::npos || plus == 0) break;
    const std::wstring modifier = rest.substr(0, plus);
    if (modifier == L"ctrl")
      modifiers.push_back(VK_CONTROL);
    else if (modifier == L"shift")
      modifiers.push_back(VK_SHIFT);
    else if (modifier == L"alt")
      modifiers.push_back(VK_MENU);
    else
      return false;
    rest = rest.substr(plus + 1);
  }
  WORD key = 0;
  if (!KeyCode(rest, &key)) return false;
  // Chord takes an initializer list; at most three modifiers.
  switch (modifiers.size()) {
    case 0:
      standin_test::Chord({}, key);
      break;
    case 1:
      standin_test::Chord({modifiers[0]}, key);
      break;
    case 2:
      standin_test::Chord({modifiers[0], modifiers[1]}, key);
      break;
    case 3:
      standin_test::Chord({modifiers[0], modifiers[1], modifiers[2]}, key);
      break;
    default:
      return false;
  }
  return true;
}

bool DoubleClickPosition(int position) {
  HWND editor = standin_test::ActiveEditor(main_window);
  if (!editor) return false;
  const LRESULT line =
      SendMessageW(editor, sci::SCI_LINEFROMPOSITION, static_cast<WPARAM>(position), 0);
  POINT point{static_cast<LONG>(SendMessageW(editor, sci::SCI_POINTXFROMPOSITION, 0, position)) + 3,
              static_cast<LONG>(
                  SendMessageW(editor, sci::SCI_POINTYFROMPOSITION, 0, position) +
                  SendMessageW(editor, sci::SCI_TEXTHEIGHT, static_cast<WPARAM>(line), 0) / 2)};
  ClientToScreen(editor, &point);
  standin_test::DoubleClickAt(point);
  return true;
}

// The IDE window's property named prefix + `suffix`, as an integer.
INT_PTR IdeProperty(const std::string& suffix) {
  const std::string name = core::PropertyPrefix(core::HandleValue(main_window)) + suffix;
  return reinterpret_cast<INT_PTR>(
      GetPropW(main_window, std::wstring(name.begin(), name.end()).c_str()));
}

HWND SettingsWindow() { return reinterpret_cast<HWND>(IdeProperty(".Plugin.Tool")); }
DWORD HostProcessId() { return static_cast<DWORD>(IdeProperty(".Plugin.ProcessId")); }

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = L"";
  GetClassNameW(window, name, 128);
  return name;
}

// The text as the control itself gives it (GetWindowTextW only reads the caption that a window of
// another process was created with; an edit field keeps its text in its own buffer).
std::wstring TextOf(HWND window) {
  wchar_t text[512] = L"";
  SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      2000, nullptr);
  text[511] = 0;
  return text;
}

struct ChildSearch {
  const std::wstring& className;
  const std::wstring& text;
  bool shownOnly;
  HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM data) {
  auto* search = reinterpret_cast<ChildSearch*>(data);
  if (lstrcmpiW(ClassOf(child).c_str(), search->className.c_str()) != 0) return TRUE;
  if (!search->text.empty() && TextOf(child) != search->text) return TRUE;
  if (search->shownOnly && !IsWindowVisible(child)) return TRUE;
  search->found = child;
  return FALSE;
}

// The first descendant of `className` with `text` (any text when empty); with `shownOnly`, the
// first one that is visible with all its parents.
HWND FindDescendant(HWND parent, const std::wstring& className, const std::wstring& text,
                    bool shownOnly) {
  ChildSearch search{className, text, shownOnly, nullptr};
  EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct TopLevelSearch {
  const wchar_t* className;
  std::vector<HWND> found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TopLevelSearch*>(data);
  if (IsWindowVisible(window) && ClassOf(window) == search->className)
    search->found.push_back(window);
  return TRUE;
}

// The visible top-level windows of `className` (all processes).
std::vector<HWND> TopLevelWindows(const wchar_t* className) {
  TopLevelSearch search{className, {}};
  EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

POINT CentreOf(const RECT& rect) {
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool Fail(const std::wstring& message) {
  std::fwprintf(stderr, L"standin-keys: %ls\n", message.c_str());
  return false;
}

// On a display without a tray of its own (Xvfb), Wine shows the icons of the notification area in
// a tray window of its own, each icon a window of class __winex11_tray_icon. A session of the
// release script holds the host's icon only; the host opens its menu at the mouse.
std::vector<HWND> TrayIcons() {
  std::vector<HWND> icons;
  for (HWND tray : TopLevelWindows(L"__winex11_standalone_tray")) {
    for (HWND icon = GetWindow(tray, GW_CHILD); icon; icon = GetWindow(icon, GW_HWNDNEXT))
      if (IsWindowVisible(icon) && ClassOf(icon) == L"__winex11_tray_icon") icons.push_back(icon);
  }
  return icons;
}

bool OpenTrayMenu() {
  DWORD host = 0;
  std::vector<HWND> icons;
  standin_test::WaitFor(
      [&] {
        host = HostProcessId();
        icons = TrayIcons();
        return host != 0 && icons.size() == 1;
      },
      15000);
  if (!host) return Fail(L"the IDE has no host (no process id among its properties)");
  if (icons.size() != 1)
    return Fail(L"expected the host's icon alone in Wine's tray, found " +
                std::to_wstring(icons.size()) + L" icons");
  RECT rect{};
  GetWindowRect(icons[0], &rect);
  standin_test::ClickAt(CentreOf(rect));
  const bool shown = standin_test::WaitFor([host] {
    for (HWND menu : TopLevelWindows(L"#32768")) {
      DWORD process = 0;
      GetWindowThreadProcessId(menu, &process);
      if (process == host) return true;
    }
    return false;
  });
  return shown || Fail(L"the host's menu did not open on a click on its tray icon");
}

// Memory in the process of a list control, for the list messages that take a pointer.
struct RemoteMemory {
  HANDLE process = nullptr;
  char* memory = nullptr;

  RemoteMemory(HWND window, std::size_t size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process)
      memory = static_cast<char*>(
          VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  }
  ~RemoteMemory() {
    if (memory) VirtualFreeEx(process, memory, 0, MEM_RELEASE);
    if (process) CloseHandle(process);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  bool Put(const void* data, std::size_t size, std::size_t offset = 0) const {
    return memory && WriteProcessMemory(process, memory + offset, data, size, nullptr);
  }
  bool Get(void* data, std::size_t size, std::size_t offset = 0) const {
    return memory && ReadProcessMemory(process, memory + offset, data, size, nullptr);
  }
};

std::wstring ListRowText(HWND list, int row) {
  constexpr int kCapacity = 256;
  RemoteMemory remote(list, sizeof(LVITEMW) + kCapacity * sizeof(wchar_t));
  LVITEMW item{};
  item.cchTextMax = kCapacity;
  item.pszText = reinterpret_cast<wchar_t*>(remote.memory + sizeof(LVITEMW));
  wchar_t text[kCapacity] = L"";
  if (!remote.Put(&item, sizeof item) ||
      !SendMessageTimeoutW(list, LVM_GETITEMTEXTW, WPARAM(row),
                           reinterpret_cast<LPARAM>(remote.memory), SMTO_ABORTIFHUNG, 5000,
                           nullptr) ||
      !remote.Get(text, sizeof text, sizeof(LVITEMW)))
    return {};
  text[kCapacity - 1] = 0;
  return text;
}

bool ListRowRect(HWND list, int row, RECT* rect) {
  RemoteMemory remote(list, sizeof(RECT));
  RECT request{};
  request.left = LVIR_LABEL;
  if (!remote.Put(&request, sizeof request) ||
      !SendMessageTimeoutW(list, LVM_GETITEMRECT, WPARAM(row),
                           reinterpret_cast<LPARAM>(remote.memory), SMTO_ABORTIFHUNG, 5000,
                           nullptr) ||
      !remote.Get(rect, sizeof *rect))
    return false;
  MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(rect), 2);
  return true;
}

bool ClickRow(const std::wstring& text) {
  HWND list = FindDescendant(SettingsWindow(), L"SysListView32", L"", false);
  if (!list || !IsWindowVisible(list)) return Fail(L"the settings window shows no list of groups");
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  std::wstring seen;
  for (int row = 0; row < rows; ++row) {
    const std::wstring rowText = ListRowText(list, row);
    seen += L" \"" + rowText + L"\"";
    if (rowText != text) continue;
    RECT rect{};
    if (!ListRowRect(list, row, &rect)) return Fail(L"cannot find where the row is");
    standin_test::ClickAt(CentreOf(rect));
    const bool selected = standin_test::WaitFor([list, row] {
      return SendMessageW(list, LVM_GETITEMSTATE, WPARAM(row), LVIS_SELECTED) != 0;
    });
    return selected || Fail(L"a click on the row \"" + text + L"\" did not select it");
  }
  return Fail(L"the list of groups has no row \"" + text + L"\"; its rows:" + seen);
}

// CLASS:TEXT of a control of the settings window that is visible (with all its parents).
HWND ShownControl(const std::wstring& value) {
  const std::size_t colon = value.find(L':');
  if (colon == std::wstring::npos) return nullptr;
  HWND control = nullptr;
  standin_test::WaitFor([&] {
    control =
        FindDescendant(SettingsWindow(), value.substr(0, colon), value.substr(colon + 1), true);
    return control != nullptr;
  });
  return control;
}

bool ExpectProperty(const std::wstring& value) {
  const std::size_t equals = value.find(L'=');
  if (equals == std::wstring::npos) return false;
  const std::string suffix(value.begin(), value.begin() + static_cast<std::ptrdiff_t>(equals));
  const INT_PTR want = std::stoll(value.substr(equals + 1));
  INT_PTR seen = 0;
  const bool reached = standin_test::WaitFor(
      [&] {
        SendMessageTimeoutW(main_window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
        return (seen = IdeProperty(suffix)) == want;
      },
      15000);
  return reached || Fail(L"the IDE's property " + std::wstring(suffix.begin(), suffix.end()) +
                         L" is " + std::to_wstring(seen) + L", not " + std::to_wstring(want));
}

bool PrintSettingsGeometry() {
  RECT rect{};
  HWND settings = SettingsWindow();
  if (!settings || !IsWindowVisible(settings) || !GetWindowRect(settings, &rect))
    return Fail(L"the settings window is not shown");
  std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
              rect.top);
  return true;
}

bool CloseIde() {
  DWORD ideId = 0;
  GetWindowThreadProcessId(main_window, &ideId);
  const DWORD hostId = HostProcessId();
  HANDLE ide = OpenProcess(SYNCHRONIZE, FALSE, ideId);
  HANDLE host = hostId ? OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, hostId)
                       : nullptr;
  PostMessageW(main_window, WM_CLOSE, 0, 0);
  DWORD hostCode = 99;
  const bool ideEnded = ide && WaitForSingleObject(ide, 20000) == WAIT_OBJECT_0;
  const bool hostEnded = host && WaitForSingleObject(host, 20000) == WAIT_OBJECT_0 &&
                         GetExitCodeProcess(host, &hostCode);
  if (ide) CloseHandle(ide);
  if (host) CloseHandle(host);
  if (!ideEnded) return Fail(L"the IDE did not end within 20 s of its close");
  if (!hostEnded) return Fail(L"the host did not end within 20 s of the IDE's close");
  return hostCode == 0 || Fail(L"the host ended with exit code " + std::to_wstring(hostCode));
}

bool Step(const std::wstring& step) {
  const std::size_t colon = step.find(L':');
  const std::wstring verb = step.substr(0, colon);
  const std::wstring value = colon == std::wstring::npos ? L"" : step.substr(colon + 1);
  if (verb == L"wait-window") {
    standin_test::WaitFor(
        [] {
          main_window = FindWindowW(L"StandinIDE", nullptr);
          return main_window && IsWindowVisible(main_window);
        },
        15000);
    return main_window && standin_test::BringToFront(main_window);
  }
  if (!main_window) main_window = FindWindowW(L"StandinIDE", nullptr);
  if (verb == L"type") {
    standin_test::TypeText(Unescape(value));
    return true;
  }
  if (verb == L"key") return PressChord(value);
  if (verb == L"clipboard") return standin_test::SetClipboardText(Unescape(value));
  if (verb == L"dblclick") {
    if (!value.empty() && value.find_first_not_of(L"0123456789") == std::wstring::npos)
      return DoubleClickPosition(std::stoi(value));
    const std::string text = standin_test::EditorText(standin_test::ActiveEditor(main_window));
    const std::size_t at = text.find(std::string(value.begin(), value.end()));
    return at != std::string::npos && DoubleClickPosition(static_cast<int>(at));
  }
  if (verb == L"tray-menu") return OpenTrayMenu();
  if (verb == L"wait-settings") {
    return standin_test::WaitFor([] { return IsWindowVisible(SettingsWindow()) != FALSE; }) ||
           Fail(L"the settings window was not shown");
  }
  if (verb == L"row") return ClickRow(value);
  if (verb == L"control")
    return ShownControl(value) || Fail(L"the settings window shows no control " + value);
  if (verb == L"dblclick-control") {
    HWND control = ShownControl(value);
    if (!control) return Fail(L"the settings window shows no control " + value);
    RECT rect{};
    GetWindowRect(control, &rect);
    standin_test::DoubleClickAt(CentreOf(rect));
    return true;
  }
  if (verb == L"prop") return ExpectProperty(value);
  if (verb == L"settings-geometry") return PrintSettingsGeometry();
  if (verb == L"close-ide") return CloseIde();
  if (verb == L"sleep") {
    Sleep(static_cast<DWORD>(std::stoi(value)));
    return true;
  }
  return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  for (int i = 1; i < argc; ++i) {
    bool ok = false;
    try {
      ok = Step(argv[i]);
    } catch (...) {
      ok = false;
    }
    if (!ok) {
      std::fwprintf(stderr, L"standin-keys: step failed: %ls\n", argv[i]);
      return 1;
    }
  }
  return 0;
}
