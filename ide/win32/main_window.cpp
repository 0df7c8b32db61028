#include "ide/win32/main_window.h"

#include <Scintilla.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ide/menu_commands.h"
#include "ide/win32/editor.h"
#include "ide/win32/programs.h"

namespace standin {
namespace {

constexpr wchar_t kTitle[] = L"Stand-in IDE";

// Window markers (PB_ID) of the IDE's own windows; editors count up from kFirstEditorId.
constexpr int kMainWindowId = 1;
constexpr int kTabsId = 2;
constexpr int kStatusId = 3;
constexpr int kFirstEditorId = 100;
// Windows that the common controls create inside the IDE's (the tab control's arrows) count up
// from here.
constexpr int kFirstInnerId = 1000;

// Sets the selection that a re-indent computed, after the editor has painted the new text.
constexpr UINT kRestoreSelection = WM_APP + 1;

struct Ide {
  HWND main = nullptr;
  HWND tabs = nullptr;
  HWND status = nullptr;
  std::vector<std::unique_ptr<Editor>> editors;  // in tab order
  int active = -1;
  int nextEditorId = kFirstEditorId;
  int nextUntitled = 1;
  int nextInnerId = kFirstInnerId;
  std::wstring toolFolder;
};

Ide ide;

void Mark(HWND window, int id) {
  SetPropW(window, L"PB_ID", reinterpret_cast<HANDLE>(INT_PTR(id)));
}

// Every window in the IDE carries PB_ID, also those that controls create for themselves.
void MarkInnerWindows() {
  EnumChildWindows(
      ide.main,
      [](HWND window, LPARAM) WINAPI -> BOOL {
        if (!GetPropW(window, L"PB_ID")) Mark(window, ide.nextInnerId++);
        return TRUE;
      },
      0);
}

Editor* Active() {
  return ide.active >= 0 ? ide.editors[static_cast<std::size_t>(ide.active)].get() : nullptr;
}

Editor* EditorOf(HWND window) {
  for (auto& editor : ide.editors)
    if (editor->window == window) return editor.get();
  return nullptr;
}

std::wstring DisplayName(const Editor& editor) {
  if (editor.path.empty()) return L"Untitled " + std::to_wstring(editor.untitledNumber);
  return editor.path.substr(editor.path.find_last_of(L"\\/") + 1);
}

void ShowError(const std::wstring& text) {
  MessageBoxW(ide.main, text.c_str(), kTitle, MB_OK | MB_ICONERROR);
}

void UpdateTitles() {
  for (std::size_t i = 0; i < ide.editors.size(); ++i) {
    std::wstring name = DisplayName(*ide.editors[i]) + (ide.editors[i]->modified ? L" *" : L"");
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = &name[0];
    SendMessageW(ide.tabs, TCM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  if (Editor* editor = Active()) {
    const std::wstring title =
        DisplayName(*editor) + (editor->modified ? L" * - " : L" - ") + kTitle;
    SetWindowTextW(ide.main, title.c_str());
  }
  MarkInnerWindows();
}

void UpdateStatus() {
  Editor* editor = Active();
  if (!editor) return;
  const LRESULT caret = Send(editor->window, SCI_GETCURRENTPOS);
  const LRESULT line = Send(editor->window, SCI_LINEFROMPOSITION, caret);
  const LRESULT column = Send(editor->window, SCI_GETCOLUMN, caret);
  const LRESULT mode = Send(editor->window, SCI_GETEOLMODE);
  const std::wstring text = L"Line " + std::to_wstring(line + 1) + L", Column " +
                            std::to_wstring(column + 1) + L"    " +
                            (mode == SC_EOL_CRLF ? L"CR LF"
                             : mode == SC_EOL_LF ? L"LF"
                                                 : L"CR") +
                            L"    UTF-8";
  SendMessageW(ide.status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Layout() {
  RECT client{};
  GetClientRect(ide.main, &client);
  SendMessageW(ide.status, WM_SIZE, 0, 0);
  RECT statusRect{};
  GetWindowRect(ide.status, &statusRect);
  client.bottom -= statusRect.bottom - statusRect.top;
  MoveWindow(ide.tabs, 0, 0, client.right, client.bottom, TRUE);
  RECT page = client;
  SendMessageW(ide.tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
  for (auto& editor : ide.editors)
    MoveWindow(editor->window, page.left, page.top, page.right - page.left, page.bottom - page.top,
               TRUE);
  MarkInnerWindows();
}

void Activate(int index) {
  if (index < 0 || index >= static_cast<int>(ide.editors.size())) return;
  ide.active = index;
  SendMessageW(ide.tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  for (std::size_t i = 0; i < ide.editors.size(); ++i) {
    HWND window = ide.editors[i]->window;
    if (static_cast<int>(i) == index) {
      SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    } else {
      ShowWindow(window, SW_HIDE);
    }
  }
  SetFocus(ide.editors[static_cast<std::size_t>(index)]->window);
  UpdateTitles();
  UpdateStatus();
}

Editor* AddEditor() {
  const int id = ide.nextEditorId++;
  HWND window = CreateEditor(ide.main, id);
  if (!window) {
    ShowError(L"Cannot create an editor.");
    return nullptr;
  }
  auto editor = std::make_unique<Editor>();
  editor->window = window;
  editor->untitledNumber = ide.nextUntitled++;
  ide.editors.push_back(std::move(editor));
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  wchar_t empty[] = L"";
  item.pszText = empty;
  SendMessageW(ide.tabs, TCM_INSERTITEMW, ide.editors.size() - 1, reinterpret_cast<LPARAM>(&item));
  Layout();
  return ide.editors.back().get();
}

bool IsUntouched(const Editor& editor) {
  return editor.path.empty() && !editor.modified && Send(editor.window, SCI_GETLENGTH) == 0;
}

int IndexOf(const Editor* editor) {
  for (std::size_t i = 0; i < ide.editors.size(); ++i)
    if (ide.editors[i].get() == editor) return static_cast<int>(i);
  return -1;
}

// Removes a tab and its editor; the IDE always keeps one editor.
void RemoveEditor(int index) {
  DestroyWindow(ide.editors[static_cast<std::size_t>(index)]->window);
  ide.editors.erase(ide.editors.begin() + index);
  SendMessageW(ide.tabs, TCM_DELETEITEM, static_cast<WPARAM>(index), 0);
  ide.active = -1;
  if (ide.editors.empty()) AddEditor();
  Activate(index < static_cast<int>(ide.editors.size()) ? index : index - 1);
}

// Opens a file in the only editor when that one is new and empty, else in a tab of its own.
void OpenFile(const std::wstring& path) {
  Editor* editor = Active();
  const bool reuse = editor && IsUntouched(*editor) && ide.editors.size() == 1;
  if (!reuse) editor = AddEditor();
  if (!editor) return;
  std::wstring error;
  const bool loaded = LoadFile(editor, path, &error);
  if (!loaded && !reuse) {
    RemoveEditor(IndexOf(editor));
  } else {
    Activate(IndexOf(editor));
  }
  if (!loaded) ShowError(error);
}

bool AskPath(bool save, std::wstring* path) {
  wchar_t buffer[MAX_PATH] = L"";
  if (save && Active() && !Active()->path.empty()) Active()->path.copy(buffer, MAX_PATH - 1);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = ide.main;
  dialog.lpstrFilter = L"Source files (*.pb, *.pbi)\0*.pb;*.pbi\0All files\0*.*\0";
  dialog.lpstrFile = buffer;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrDefExt = L"pb";
  dialog.Flags = OFN_EXPLORER | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) return false;
  *path = buffer;
  return true;
}

bool Save(Editor* editor, bool askPath) {
  std::wstring path = editor->path;
  if ((askPath || path.empty()) && !AskPath(true, &path)) return false;
  std::wstring error;
  if (!SaveFile(editor, path, &error)) {
    ShowError(error);
    return false;
  }
  UpdateTitles();
  return true;
}

// Asks whether to save a modified text; false when the user cancels.
bool MayDiscard(Editor* editor) {
  if (!editor->modified) return true;
  const std::wstring question = L"Save the changes to " + DisplayName(*editor) + L"?";
  switch (MessageBoxW(ide.main, question.c_str(), kTitle, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
      return Save(editor, false);
    case IDNO:
      return true;
    default:
      return false;
  }
}

void CloseActive() {
  Editor* editor = Active();
  if (editor && MayDiscard(editor)) RemoveEditor(ide.active);
}

void StartHost() {
  std::wstring error;
  if (!StartToolHost(ide.main, ide.toolFolder, &error)) ShowError(error);
}

void Run(const std::wstring& commandLine) {
  std::wstring error;
  if (!RunProgram(commandLine, &error)) ShowError(error);
}

void OnCommand(WORD command) {
  Editor* editor = Active();
  HWND window = editor ? editor->window : nullptr;
  switch (command) {
    case ide::kFileNew:
      Activate(AddEditor() ? static_cast<int>(ide.editors.size()) - 1 : ide.active);
      break;
    case ide::kFileOpen: {
      std::wstring path;
      if (AskPath(false, &path)) OpenFile(path);
      break;
    }
    case ide::kFileSave:
      if (editor) Save(editor, false);
      break;
    case ide::kFileSaveAs:
      if (editor) Save(editor, true);
      break;
    case ide::kFileClose:
      CloseActive();
      break;
    case ide::kFileExit:
      SendMessageW(ide.main, WM_CLOSE, 0, 0);
      break;
    case ide::kEditUndo:
      Send(window, SCI_UNDO);
      break;
    case ide::kEditRedo:
      Send(window, SCI_REDO);
      break;
    case ide::kEditCut:
      Send(window, SCI_CUT);
      break;
    case ide::kEditCopy:
      Send(window, SCI_COPY);
      break;
    case ide::kEditPaste:
      Send(window, SCI_PASTE);
      break;
    case ide::kEditSelectAll:
      Send(window, SCI_SELECTALL);
      break;
    case ide::kEditReindent:
      if (editor) {
        ReindentSelection(editor);
        PostMessageW(ide.main, kRestoreSelection, 0, reinterpret_cast<LPARAM>(window));
      }
      break;
    case ide::kNextTab:
    case ide::kPreviousTab: {
      const int count = static_cast<int>(ide.editors.size());
      Activate((ide.active + (command == ide::kNextTab ? 1 : count - 1)) % count);
      break;
    }
    case ide::kToolsStartHost:
      StartHost();
      break;
    case ide::kToolsRunProgram: {
      std::wstring commandLine;
      if (AskCommandLine(ide.main, &commandLine)) Run(commandLine);
      break;
    }
  }
}

LRESULT OnEditorNotification(Editor* editor, const SCNotification& notification) {
  switch (notification.nmhdr.code) {
    case SCN_STYLENEEDED:
      StyleNeeded(editor->window, notification.position);
      break;
    case SCN_UPDATEUI:
      UpdateWordHighlight(editor, notification.updated);
      if (editor == Active()) UpdateStatus();
      break;
    case SCN_SAVEPOINTLEFT:
    case SCN_SAVEPOINTREACHED:
      editor->modified = notification.nmhdr.code == SCN_SAVEPOINTLEFT;
      UpdateTitles();
      break;
  }
  return 0;
}

HMENU CreateMenus() {
  struct Item {
    const wchar_t* text;
    WORD command;  // 0: separator
  };
  const Item file[] = {{L"&New\tCtrl+N", ide::kFileNew},
                       {L"&Open...\tCtrl+O", ide::kFileOpen},
                       {L"&Save\tCtrl+S", ide::kFileSave},
                       {L"Save &As...", ide::kFileSaveAs},
                       {L"&Close\tCtrl+W", ide::kFileClose},
                       {nullptr, 0},
                       {L"E&xit", ide::kFileExit}};
  const Item edit[] = {{L"&Undo\tCtrl+Z", ide::kEditUndo},
                       {L"&Redo\tCtrl+Y", ide::kEditRedo},
                       {nullptr, 0},
                       {L"Cu&t\tCtrl+X", ide::kEditCut},
                       {L"&Copy\tCtrl+C", ide::kEditCopy},
                       {L"&Paste\tCtrl+V", ide::kEditPaste},
                       {L"Select &All\tCtrl+A", ide::kEditSelectAll},
                       {nullptr, 0},
                       {L"Re-&indent\tCtrl+I", ide::kEditReindent}};
  const Item tools[] = {{L"Start &tool host", ide::kToolsStartHost},
                        {L"&Run program...", ide::kToolsRunProgram}};
  const Item window[] = {{L"&Next tab\tCtrl+Tab", ide::kNextTab},
                         {L"&Previous tab\tCtrl+Shift+Tab", ide::kPreviousTab}};
  HMENU bar = CreateMenu();
  auto addMenu = [bar](const wchar_t* title, const Item* items, std::size_t count) {
    HMENU menu = CreatePopupMenu();
    for (std::size_t i = 0; i < count; ++i) {
      if (items[i].text) {
        AppendMenuW(menu, MF_STRING, items[i].command, items[i].text);
      } else {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      }
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), title);
  };
  addMenu(L"&File", file, sizeof file / sizeof file[0]);
  addMenu(L"&Edit", edit, sizeof edit / sizeof edit[0]);
  addMenu(L"&Tools", tools, sizeof tools / sizeof tools[0]);
  addMenu(L"&Window", window, sizeof window / sizeof window[0]);
  return bar;
}

LRESULT CALLBACK MainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (ide.tabs) Layout();
      return 0;
    case WM_SETFOCUS:
      if (Editor* editor = Active()) SetFocus(editor->window);
      return 0;
    case WM_COMMAND:
      if (lParam == 0) {
        OnCommand(LOWORD(wParam));
        return 0;
      }
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == ide.tabs && header->code == TCN_SELCHANGE) {
        Activate(static_cast<int>(SendMessageW(ide.tabs, TCM_GETCURSEL, 0, 0)));
        return 0;
      }
      if (Editor* editor = EditorOf(header->hwndFrom))
        return OnEditorNotification(editor, *reinterpret_cast<const SCNotification*>(lParam));
      break;
    }
    case kRestoreSelection:
      if (Editor* editor = EditorOf(reinterpret_cast<HWND>(lParam))) ApplyPendingSelection(editor);
      return 0;
    case WM_CLOSE:
      for (auto& editor : ide.editors)
        if (!MayDiscard(editor.get())) return 0;
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HACCEL CreateShortcuts() {
  ACCEL shortcuts[] = {
      {FVIRTKEY | FCONTROL, 'N', ide::kFileNew},
      {FVIRTKEY | FCONTROL, 'O', ide::kFileOpen},
      {FVIRTKEY | FCONTROL, 'S', ide::kFileSave},
      {FVIRTKEY | FCONTROL, 'W', ide::kFileClose},
      {FVIRTKEY | FCONTROL, 'I', ide::kEditReindent},
      {FVIRTKEY | FCONTROL, 'V', ide::kEditPaste},
      {FVIRTKEY | FSHIFT, VK_INSERT, ide::kEditPaste},
      {FVIRTKEY | FCONTROL, VK_TAB, ide::kNextTab},
      {FVIRTKEY | FCONTROL | FSHIFT, VK_TAB, ide::kPreviousTab},
  };
  return CreateAcceleratorTableW(shortcuts, sizeof shortcuts / sizeof shortcuts[0]);
}

HWND CreateMainWindow(const CommandLine& commandLine, int show) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  std::wstring error;
  if (!LoadScintilla(&error)) {
    MessageBoxW(nullptr, error.c_str(), kTitle, MB_OK | MB_ICONERROR);
    return nullptr;
  }
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = MainProcedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kMainWindowClass;
  RegisterClassExW(&windowClass);

  ide.toolFolder = commandLine.toolFolder.empty() ? DefaultToolFolder() : commandLine.toolFolder;
  // Centred on the work area (without a window manager, Wine would put it at the corner).
  RECT work{0, 0, 1024, 768};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = std::min<int>(900, work.right - work.left);
  const int height = std::min<int>(640, work.bottom - work.top);
  ide.main = CreateWindowExW(0, kMainWindowClass, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                             work.left + (work.right - work.left - width) / 2,
                             work.top + (work.bottom - work.top - height) / 2, width, height,
                             nullptr, CreateMenus(), instance, nullptr);
  if (!ide.main) {
    MessageBoxW(nullptr, L"Cannot create the main window.", kTitle, MB_OK | MB_ICONERROR);
    return nullptr;
  }
  Mark(ide.main, kMainWindowId);
  const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
  ide.status = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0,
                               0, 0, 0, ide.main, nullptr, instance, nullptr);
  Mark(ide.status, kStatusId);
  ide.tabs = CreateWindowExW(0, WC_TABCONTROLW, L"",
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_FOCUSNEVER, 0, 0, 0, 0,
                             ide.main, nullptr, instance, nullptr);
  Mark(ide.tabs, kTabsId);
  SendMessageW(ide.tabs, WM_SETFONT, font, 0);

  if (!AddEditor()) return nullptr;
  Activate(0);
  ShowWindow(ide.main, show);
  UpdateWindow(ide.main);
  // Files open once the window shows, so that a file that cannot be read is reported over it.
  for (const std::wstring& path : commandLine.files) OpenFile(path);
  if (Editor* editor = Active()) SetFocus(editor->window);

  if (commandLine.startTool) StartHost();
  for (const std::wstring& program : commandLine.programs) Run(program);
  return ide.main;
}

}  // namespace standin
