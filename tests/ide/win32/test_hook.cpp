// standin_test_hook.dll: loaded into standin-ide.exe by a WH_CALLWNDPROCRET hook that the tests
// install, as the tool host installs the plugin's. It sees what the plugin would see and writes
// it to the log file named by STANDIN_TEST_LOG (inherited from the test through the IDE):
//   paste                                  SCI_PASTE sent to an editor
//   modified TYPE position P length N lines L text "T"    SCN_MODIFIED of a text change
//                                          (TYPE in decimal; CR and LF in T as \r and \n)
//   charadded C                            SCN_CHARADDED
//   updateui U                             SCN_UPDATEUI
// Every record is read as the IDE's notification record (32-bit positions and counts).
//
// Two registered messages sent to the IDE main window ask for more:
//   "StandinTest.RunProbes"  runs the editor probes on a new editor of the IDE and writes the
//                            transcript to the file named by STANDIN_PROBE_OUT
//   "StandinTest.SetEnv"     sets STANDIN_SET_IN_IDE=yes in the IDE process
#include <windows.h>

#include <string>

#include "ide/menu_commands.h"
#include "iface/scintilla.h"
#include "os/os.h"
#include "tests/ide/probes.h"

static_assert(sizeof(CWPRETSTRUCT) == sizeof(os::CallWndRetRecord));

namespace {

std::string Variable(const wchar_t* name) {
  wchar_t value[1024];
  const DWORD length = GetEnvironmentVariableW(name, value, 1024);
  if (length == 0 || length >= 1024) return "";
  char bytes[4096];
  const int size = WideCharToMultiByte(CP_UTF8, 0, value, static_cast<int>(length), bytes,
                                       sizeof bytes, nullptr, nullptr);
  return std::string(bytes, static_cast<std::size_t>(size > 0 ? size : 0));
}

bool WriteFileBytes(const std::string& path, const std::string& bytes, bool append) {
  HANDLE file = CreateFileA(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size();
  CloseHandle(file);
  return ok;
}

void Log(const std::string& line) {
  static const std::string path = Variable(L"STANDIN_TEST_LOG");
  if (!path.empty()) WriteFileBytes(path, line + "\n", true);
}

bool IsEditor(HWND window) {
  wchar_t name[32] = L"";
  GetClassNameW(window, name, 32);
  return lstrcmpiW(name, L"Scintilla") == 0;
}

void LogNotification(const sci::Notification& n) {
  switch (n.nmhdr.code) {
    case sci::SCN_MODIFIED:
      if (n.modificationType & (sci::SC_MOD_INSERTTEXT | sci::SC_MOD_DELETETEXT)) {
        std::string line = "modified " + std::to_string(n.modificationType) + " position " +
                           std::to_string(n.position) + " length " + std::to_string(n.length) +
                           " lines " + std::to_string(n.linesAdded);
        if (n.text && n.length >= 0 && n.length < 200) {
          line += " text \"";
          for (int i = 0; i < n.length; ++i)
            line += n.text[i] == '\r'   ? "\\r"
                    : n.text[i] == '\n' ? "\\n"
                                        : std::string(1, n.text[i]);
          line += '"';
        }
        Log(line);
      }
      break;
    case sci::SCN_CHARADDED:
      Log("charadded " + std::to_string(n.ch));
      break;
    case sci::SCN_UPDATEUI:
      Log("updateui " + std::to_string(n.updated));
      break;
  }
}

HWND VisibleEditor(HWND main) {
  HWND found = nullptr;
  EnumChildWindows(
      main,
      [](HWND window, LPARAM data) WINAPI -> BOOL {
        if (IsWindowVisible(window) && IsEditor(window)) {
          *reinterpret_cast<HWND*>(data) = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// What the IDE does while nobody types: paints (styles, SCN_UPDATEUI) and handles its queue.
void Idle(HWND editor) {
  for (int round = 0; round < 20; ++round) {
    UpdateWindow(editor);
    MSG message;
    bool any = false;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      any = true;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (!any && !GetUpdateRect(editor, nullptr, FALSE)) return;
  }
}

void SetClipboard(HWND owner, const std::string& utf8) {
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (static_cast<SIZE_T>(length) + 1) * sizeof(wchar_t));
  auto* text = static_cast<wchar_t*>(GlobalLock(memory));
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text, length);
  text[length] = 0;
  GlobalUnlock(memory);
  if (OpenClipboard(owner)) {
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    CloseClipboard();
  } else {
    GlobalFree(memory);
  }
}

void RunProbes(HWND main) {
  const std::string out = Variable(L"STANDIN_PROBE_OUT");
  if (out.empty()) return;
  SendMessageW(main, WM_COMMAND, ide::kFileNew, 0);
  HWND editor = VisibleEditor(main);
  std::string transcript;
  if (!editor) {
    transcript = "no editor\n";
  } else {
    probes::Target target;
    target.editor = editor;
    target.send = [editor](std::uint32_t message, os::WParam wParam, os::LParam lParam) {
      return SendMessageW(editor, message, wParam, lParam);
    };
    target.typeCharacter = [editor](const std::string& utf8) {
      wchar_t units[4];
      const int count =
          MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), units, 4);
      for (int i = 0; i < count; ++i) SendMessageW(editor, WM_CHAR, units[i], 1);
    };
    target.pressEnter = [editor] {
      SendMessageW(editor, WM_KEYDOWN, VK_RETURN, 0x001C0001);
      SendMessageW(editor, WM_KEYUP, VK_RETURN, 0xC01C0001);
    };
    target.setClipboard = [main](const std::string& text) { SetClipboard(main, text); };
    target.idle = [editor] { Idle(editor); };
    transcript = probes::RunAll(target);
  }
  WriteFileBytes(out + ".part", transcript, false);
  MoveFileExA((out + ".part").c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    StandinTestHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    static const UINT runProbes = RegisterWindowMessageW(L"StandinTest.RunProbes");
    static const UINT setEnvironment = RegisterWindowMessageW(L"StandinTest.SetEnv");
    const auto& record = *reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    probes::Observe(*reinterpret_cast<const os::CallWndRetRecord*>(lParam));
    if (record.message == sci::SCI_PASTE && IsEditor(record.hwnd)) {
      Log("paste");
    } else if (record.message == WM_NOTIFY && record.lParam) {
      const auto& notification = *reinterpret_cast<const sci::Notification*>(record.lParam);
      if (IsEditor(static_cast<HWND>(notification.nmhdr.hwndFrom))) LogNotification(notification);
    } else if (record.message == runProbes) {
      RunProbes(record.hwnd);
    } else if (record.message == setEnvironment) {
      SetEnvironmentVariableW(L"STANDIN_SET_IN_IDE", L"yes");
      Log("environment set");
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
