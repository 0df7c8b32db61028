#include "tests/ide/win32/driver.h"

#include <vector>

#include "iface/scintilla.h"

namespace standin_test {
namespace {

struct Search {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindMain(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  wchar_t className[64] = L"";
  GetClassNameW(window, className, 64);
  if (processId == search->processId && IsWindowVisible(window) &&
      std::wstring(className) == L"StandinIDE") {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindEditor(HWND window, LPARAM data) {
  wchar_t className[64] = L"";
  GetClassNameW(window, className, 64);
  if (IsWindowVisible(window) && lstrcmpiW(className, L"Scintilla") == 0) {
    *reinterpret_cast<HWND*>(data) = window;
    return FALSE;
  }
  return TRUE;
}

INPUT Key(WORD virtualKey, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

void Send(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  Sleep(20);
}

}  // namespace

std::wstring WindowsPath(const std::string& path) {
  std::wstring result(path.begin(), path.end());
  if (result.empty() || result[0] != L'/') return result;
  for (wchar_t& c : result)
    if (c == L'/') c = L'\\';
  return L"Z:" + result;
}

bool StartIde(const std::wstring& program, const std::wstring& arguments, IdeProcess* ide) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &ide->process))
    return false;
  Search search{ide->process.dwProcessId, nullptr};
  WaitFor(
      [&] {
        EnumWindows(FindMain, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      15000);
  ide->main = search.found;
  if (!ide->main) {
    StopIde(ide);
    return false;
  }
  ide->thread = GetWindowThreadProcessId(ide->main, nullptr);
  return true;
}

void StopIde(IdeProcess* ide) {
  if (!ide->process.hProcess) return;
  TerminateProcess(ide->process.hProcess, 0);
  WaitForSingleObject(ide->process.hProcess, 5000);
  CloseHandle(ide->process.hProcess);
  CloseHandle(ide->process.hThread);
  ide->process = PROCESS_INFORMATION{};
  ide->main = nullptr;
}

bool WaitFor(const std::function<bool()>& condition, int milliseconds) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
  while (!condition()) {
    if (GetTickCount64() > end) return condition();
    Sleep(10);
  }
  return true;
}

HWND ActiveEditor(HWND main) {
  HWND editor = nullptr;
  EnumChildWindows(main, FindEditor, reinterpret_cast<LPARAM>(&editor));
  return editor;
}

bool BringToFront(HWND window) {
  SetForegroundWindow(window);
  return WaitFor([window] { return GetForegroundWindow() == window; }, 3000);
}

bool SetClipboardText(const std::wstring& text) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (!memory) return false;
  auto* buffer = static_cast<wchar_t*>(GlobalLock(memory));
  text.copy(buffer, text.size());
  buffer[text.size()] = 0;
  GlobalUnlock(memory);
  if (!OpenClipboard(nullptr)) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  const bool placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  if (!placed) GlobalFree(memory);  // the clipboard owns it only once placed
  return placed;
}

void TypeText(const std::wstring& text) {
  for (wchar_t c : text) {
    if (c == L'\n') {
      Send({Key(VK_RETURN, false), Key(VK_RETURN, true)});
      continue;
    }
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wScan = c;
    down.ki.dwFlags = KEYEVENTF_UNICODE;
    INPUT up = down;
    up.ki.dwFlags |= KEYEVENTF_KEYUP;
    Send({down, up});
  }
}

void Chord(std::initializer_list<WORD> modifiers, WORD key) {
  std::vector<INPUT> inputs;
  for (WORD modifier : modifiers) inputs.push_back(Key(modifier, false));
  inputs.push_back(Key(key, false));
  inputs.push_back(Key(key, true));
  for (auto it = modifiers.end(); it != modifiers.begin();) inputs.push_back(Key(*--it, true));
  Send(inputs);
}

namespace {

void Press(POINT screen, int clicks) {
  const int width = GetSystemMetrics(SM_CXSCREEN) - 1;
  const int height = GetSystemMetrics(SM_CYSCREEN) - 1;
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx = screen.x * 65535 / width;
  move.mi.dy = screen.y * 65535 / height;
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  INPUT down{};
  down.type = INPUT_MOUSE;
  down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  INPUT up = down;
  up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  Send({move});
  std::vector<INPUT> presses;
  for (int i = 0; i < clicks; ++i) presses.insert(presses.end(), {down, up});
  Send(presses);
}

}  // namespace

void ClickAt(POINT screen) { Press(screen, 1); }
void DoubleClickAt(POINT screen) { Press(screen, 2); }

std::string EditorText(HWND editor) {
  const auto length = SendMessageW(editor, sci::SCI_GETLENGTH, 0, 0);
  std::string text;
  for (LRESULT i = 0; i < length; ++i)
    text.push_back(
        static_cast<char>(SendMessageW(editor, sci::SCI_GETCHARAT, static_cast<WPARAM>(i), 0)));
  return text;
}

int StyleAt(HWND editor, int position) {
  return static_cast<int>(
      SendMessageW(editor, sci::SCI_GETSTYLEAT, static_cast<WPARAM>(position), 0));
}

}  // namespace standin_test
