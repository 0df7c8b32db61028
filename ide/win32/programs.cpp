#include "ide/win32/programs.h"

#include <vector>

namespace standin {
namespace {

constexpr wchar_t kToolVariable[] = L"PB_TOOL_MainWindow";
constexpr wchar_t kAskClass[] = L"StandinRunProgram";
constexpr int kAskEdit = 10;

std::wstring ExecutableFolder() {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  std::wstring path(buffer, length);
  return path.substr(0, path.find_last_of(L"\\/"));
}

bool Start(const std::wstring& application, std::wstring commandLine, const wchar_t* folder,
           std::wstring* error) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  commandLine.push_back(L'\0');
  if (!CreateProcessW(application.empty() ? nullptr : application.c_str(), &commandLine[0], nullptr,
                      nullptr, FALSE, 0, nullptr, folder, &startup, &process)) {
    *error = L"Cannot start " +
             (application.empty() ? commandLine.substr(0, commandLine.size() - 1) : application) +
             L" (error " + std::to_wstring(GetLastError()) + L")";
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

struct AskState {
  bool done = false;
  bool accepted = false;
  std::wstring text;
};

void MarkControl(HWND window, int id) {
  SetPropW(window, L"PB_ID", reinterpret_cast<HANDLE>(INT_PTR(id)));
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 1);
}

LRESULT CALLBACK AskProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<AskState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_CREATE: {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      HINSTANCE instance = create->hInstance;
      MarkControl(CreateWindowExW(0, L"STATIC", L"Program and arguments:", WS_CHILD | WS_VISIBLE,
                                  12, 12, 380, 18, window, nullptr, instance, nullptr),
                  211);
      HWND edit = CreateWindowExW(
          WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 12,
          34, 380, 24, window, reinterpret_cast<HMENU>(INT_PTR(kAskEdit)), instance, nullptr);
      MarkControl(edit, 212);
      MarkControl(
          CreateWindowExW(0, L"BUTTON", L"Run",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 226, 70, 80, 26,
                          window, reinterpret_cast<HMENU>(INT_PTR(IDOK)), instance, nullptr),
          213);
      MarkControl(CreateWindowExW(0, L"BUTTON", L"Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 312,
                                  70, 80, 26, window, reinterpret_cast<HMENU>(INT_PTR(IDCANCEL)),
                                  instance, nullptr),
                  214);
      SetFocus(edit);
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        state->accepted = LOWORD(wParam) == IDOK;
        HWND edit = GetDlgItem(window, kAskEdit);
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(edit, &text[0], static_cast<int>(text.size()))));
        state->text = text;
        state->done = true;
        return 0;
      }
      break;
    case WM_CLOSE:
      state->done = true;
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

std::wstring DefaultToolFolder() {
  const std::wstring ideFolder = ExecutableFolder();
  return ideFolder.substr(0, ideFolder.find_last_of(L"\\/") + 1) + L"tool";
}

bool StartToolHost(HWND mainWindow, const std::wstring& toolFolder, std::wstring* error) {
  const std::wstring program = toolFolder + L"\\toolhost.exe";
  if (GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES) {
    *error = L"The tool host " + program + L" does not exist.";
    return false;
  }
  // The variable is set for the start only: the tool inherits it, later programs do not.
  std::vector<wchar_t> previous(32768);
  const DWORD previousLength =
      GetEnvironmentVariableW(kToolVariable, previous.data(), static_cast<DWORD>(previous.size()));
  const std::wstring handle = std::to_wstring(reinterpret_cast<UINT_PTR>(mainWindow));
  SetEnvironmentVariableW(kToolVariable, handle.c_str());
  const bool started = Start(program, L"\"" + program + L"\"", toolFolder.c_str(), error);
  SetEnvironmentVariableW(kToolVariable, previousLength ? previous.data() : nullptr);
  return started;
}

bool RunProgram(const std::wstring& commandLine, std::wstring* error) {
  if (commandLine.find_first_not_of(L" \t") == std::wstring::npos) {
    *error = L"No program given.";
    return false;
  }
  return Start(L"", commandLine, nullptr, error);
}

bool AskCommandLine(HWND owner, std::wstring* commandLine) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (!GetClassInfoExW(instance, kAskClass, &windowClass)) {
    windowClass.lpfnWndProc = AskProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kAskClass;
    RegisterClassExW(&windowClass);
  }
  AskState state;
  RECT ownerRect{};
  GetWindowRect(owner, &ownerRect);
  HWND window =
      CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kAskClass, L"Run program",
                      WS_POPUP | WS_CAPTION | WS_SYSMENU, ownerRect.left + 80, ownerRect.top + 80,
                      420, 140, owner, nullptr, instance, &state);
  if (!window) return false;
  SetPropW(window, L"PB_ID", reinterpret_cast<HANDLE>(INT_PTR(210)));
  EnableWindow(owner, FALSE);
  ShowWindow(window, SW_SHOW);
  MSG message;
  while (!state.done) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // The application is ending: leave the quit message for the main loop.
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (message.message == WM_KEYDOWN &&
        (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE) &&
        (message.hwnd == window || IsChild(window, message.hwnd))) {
      SendMessageW(window, WM_COMMAND, message.wParam == VK_RETURN ? IDOK : IDCANCEL, 0);
      continue;
    }
    if (IsDialogMessageW(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  EnableWindow(owner, TRUE);
  DestroyWindow(window);
  SetActiveWindow(owner);
  if (!state.accepted) return false;
  *commandLine = state.text;
  return true;
}

}  // namespace standin
