// zentrel-live-probe.dll: the live runner's hands inside the IDE process (see live_probe.h).
// Everything here runs on the IDE's GUI thread, from the hook or from the probe window's
// procedure, so the editor messages it sends are seen by the plugin's hook as the IDE's own.
#include "live_probe.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstdlib>
#include <string>
#include <vector>

#include "ide/menu_commands.h"
#include "iface/scintilla.h"
#include "os/win32/wide_text.h"

namespace {

using live::ProbeRequest;

struct IgnoredChord {
  WPARAM virtualKey;
  bool ctrl;
};

struct ProbeState {
  HMODULE module = nullptr;
  HWND window = nullptr;  // the probe window, on the IDE's GUI thread
  HWND ideWindow = nullptr;
  std::vector<IgnoredChord> ignored;
  LRESULT lastInput = 0;  // the count of the last marked press the IDE took from its queue
};

ProbeState g_probe;

using os::Narrow;
using os::Wide;

bool IsEditor(HWND window) {
  wchar_t name[32] = L"";
  GetClassNameW(window, name, 32);
  return lstrcmpiW(name, L"Scintilla") == 0;
}

// The IDE main window: the top-level window of this thread that carries PB_ID.
HWND IdeWindow() {
  if (g_probe.ideWindow && IsWindow(g_probe.ideWindow)) return g_probe.ideWindow;
  g_probe.ideWindow = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM) WINAPI -> BOOL {
        if (GetPropW(window, L"PB_ID") && GetParent(window) == nullptr) {
          g_probe.ideWindow = window;
          return FALSE;
        }
        return TRUE;
      },
      0);
  return g_probe.ideWindow;
}

std::vector<HWND> Editors() {
  std::vector<HWND> editors;
  HWND ide = IdeWindow();
  if (!ide) return editors;
  EnumChildWindows(
      ide,
      [](HWND window, LPARAM data) WINAPI -> BOOL {
        if (IsEditor(window)) reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&editors));
  return editors;
}

HWND ActiveEditor() {
  for (HWND editor : Editors())
    if (IsWindowVisible(editor)) return editor;
  return nullptr;
}

HWND TabControl() {
  HWND ide = IdeWindow();
  return ide ? FindWindowExW(ide, nullptr, L"SysTabControl32", nullptr) : nullptr;
}

void Answer(HWND to, const std::string& bytes) {
  COPYDATASTRUCT data{};
  data.dwData = 0;
  data.cbData = static_cast<DWORD>(bytes.size());
  data.lpData = const_cast<char*>(bytes.data());
  SendMessageW(to, WM_COPYDATA, reinterpret_cast<WPARAM>(g_probe.window),
               reinterpret_cast<LPARAM>(&data));
}

// Anything left for the IDE to do: input, posted messages (the IDE's own commands), painting.
bool QueueBusy() {
  return LOWORD(GetQueueStatus(QS_KEY | QS_MOUSEBUTTON | QS_POSTMESSAGE | QS_PAINT | QS_HOTKEY)) !=
         0;
}

std::string EditorState() {
  HWND editor = ActiveEditor();
  std::string state = QueueBusy() ? "1" : "0";
  if (!editor) return state + " -1 -1\n";
  const LRESULT caret = SendMessageW(editor, sci::SCI_GETCURRENTPOS, 0, 0);
  const LRESULT anchor = SendMessageW(editor, sci::SCI_GETANCHOR, 0, 0);
  const auto* text =
      reinterpret_cast<const char*>(SendMessageW(editor, sci::SCI_GETCHARACTERPOINTER, 0, 0));
  const LRESULT length = SendMessageW(editor, sci::SCI_GETLENGTH, 0, 0);
  state += " " + std::to_string(caret) + " " + std::to_string(anchor) + "\n";
  if (text && length > 0) state.append(text, static_cast<std::size_t>(length));
  return state;
}

bool SetText(const std::string& argument) {
  HWND editor = ActiveEditor();
  const std::size_t newline = argument.find('\n');
  if (!editor || newline == std::string::npos) return false;
  const long long caret = std::stoll(argument.substr(0, newline));
  const std::string text = argument.substr(newline + 1);
  SendMessageW(editor, sci::SCI_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageW(editor, sci::SCI_EMPTYUNDOBUFFER, 0, 0);
  SendMessageW(editor, sci::SCI_GOTOPOS, static_cast<WPARAM>(caret < 0 ? 0 : caret), 0);
  return true;
}

std::string Environment(const std::string& name) {
  const std::wstring wideName = Wide(name);
  std::vector<wchar_t> value(32768);
  SetLastError(0);
  const DWORD length =
      GetEnvironmentVariableW(wideName.c_str(), value.data(), static_cast<DWORD>(value.size()));
  if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return "0";
  return "1" + Narrow(std::wstring(value.data(), length < value.size() ? length : 0));
}

// The focus leaves the editor (to the IDE's tab bar, as a click elsewhere would take it) and
// comes back, so that the editor reports losing it and then receiving it.
bool Focus() {
  HWND editor = ActiveEditor();
  if (!editor) return false;
  if (GetFocus() == editor) {
    HWND tabs = TabControl();
    SetFocus(tabs ? tabs : IdeWindow());
  }
  SetFocus(editor);
  return GetFocus() == editor;
}

bool SelectEditor(int index) {
  HWND tabs = TabControl();
  HWND ide = IdeWindow();
  if (!tabs || !ide || index < 0) return false;
  if (SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0) < 0 &&
      SendMessageW(tabs, TCM_GETCURSEL, 0, 0) != index)
    return false;
  // What the tab control tells its parent after a click on a tab.
  NMHDR header{};
  header.hwndFrom = tabs;
  header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(tabs));
  header.code = TCN_SELCHANGE;
  SendMessageW(ide, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
  return true;
}

// An empty text leaves the clipboard with no text at all (as after copying an image).
bool SetClipboardText(const std::string& utf8) {
  if (utf8.empty()) {
    if (!OpenClipboard(g_probe.window)) return false;
    const bool emptied = EmptyClipboard() != 0;
    CloseClipboard();
    return emptied;
  }
  const std::wstring text = Wide(utf8);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (!memory) return false;
  auto* buffer = static_cast<wchar_t*>(GlobalLock(memory));
  text.copy(buffer, text.size());
  buffer[text.size()] = 0;
  GlobalUnlock(memory);
  if (!OpenClipboard(g_probe.window)) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  if (!set) GlobalFree(memory);
  CloseClipboard();
  return set;
}

LRESULT Handle(HWND from, ProbeRequest request, const std::string& argument) {
  switch (request) {
    case ProbeRequest::kState:
      Answer(from, EditorState());
      return 1;
    case ProbeRequest::kSetText:
      return SetText(argument) ? 1 : 0;
    case ProbeRequest::kEnvironment:
      Answer(from, Environment(argument));
      return 1;
    case ProbeRequest::kFocus:
      return Focus() ? 1 : 0;
    case ProbeRequest::kNewEditor:
      // The IDE's own command, from its queue as a menu choice arrives.
      return PostMessageW(IdeWindow(), WM_COMMAND, ide::kFileNew, 0) ? 1 : 0;
    case ProbeRequest::kSelectEditor:
      return SelectEditor(std::atoi(argument.c_str())) ? 1 : 0;
    case ProbeRequest::kIgnoreKey: {
      const std::size_t blank = argument.find(' ');
      if (blank == std::string::npos) return 0;
      g_probe.ignored.push_back({static_cast<WPARAM>(std::atoi(argument.c_str())),
                                 std::atoi(argument.c_str() + blank + 1) != 0});
      return 1;
    }
    case ProbeRequest::kLastInput:
      return g_probe.lastInput;
    case ProbeRequest::kEditorCount:
      return static_cast<LRESULT>(Editors().size());
    case ProbeRequest::kPaste:
      if (!SetClipboardText(argument)) return 0;
      return PostMessageW(IdeWindow(), WM_COMMAND, ide::kEditPaste, 0) ? 1 : 0;
    case ProbeRequest::kSetClipboard:
      return SetClipboardText(argument) ? 1 : 0;
  }
  return 0;
}

LRESULT CALLBACK ProbeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA && lParam) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    const std::string argument(static_cast<const char*>(data->lpData), data->cbData);
    return Handle(reinterpret_cast<HWND>(wParam), static_cast<ProbeRequest>(data->dwData),
                  argument);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void CreateProbeWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ProbeProcedure;
  windowClass.hInstance = g_probe.module;
  windowClass.lpszClassName = live::kProbeWindowClass;
  RegisterClassW(&windowClass);
  // A hidden top-level window (not message-only, so that the runner finds it by enumeration).
  g_probe.window = CreateWindowExW(WS_EX_TOOLWINDOW, live::kProbeWindowClass, L"", WS_POPUP, 0, 0,
                                   0, 0, nullptr, nullptr, g_probe.module, nullptr);
}

bool IsIgnored(const MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  for (const IgnoredChord& chord : g_probe.ignored)
    if (chord.virtualKey == message.wParam && chord.ctrl == ctrl) return true;
  return false;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    LiveProbeHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE && lParam) {
    if (!g_probe.window) CreateProbeWindow();
    auto& message = *reinterpret_cast<MSG*>(lParam);
    if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) {
      const auto extra = static_cast<std::uint32_t>(GetMessageExtraInfo());
      if ((extra & live::kInputMarkMask) == live::kInputMarkBase)
        g_probe.lastInput = static_cast<LRESULT>(extra & live::kInputCountMask);
      if (IsIgnored(message)) message.message = WM_NULL;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_probe.module = instance;
  return TRUE;
}
