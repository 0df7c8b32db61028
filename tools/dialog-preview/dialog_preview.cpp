// dialog-preview: opens a dialog description as a window, as the host's dialog engine builds it.
//
//   dialog-preview.exe [--check] [--fragment] [--close-after MS] DESCRIPTION.xml
//
// --fragment   the file is a plugin fragment: it is spliced into the host's own window text first
// --check      build the window hidden and print one line: "ok", or the host's error text
// --close-after MS   close the window after MS milliseconds (screenshots, scripted runs)
// --tab N      show page N (0-based) of the first panel
// --row N     with --fragment: select row N (0-based) of the plugin list, showing that page
// --size W H  resize the window's inner area to W × H after it is shown (the layout follows)
// --ready-file PATH  create PATH once the window is shown and painted (scripts wait for it)
//
// The file may be UTF-8 (with or without a byte-order mark) or UTF-16LE with a byte-order mark.
// Exit code 0 when the window was built, 1 when the description failed, 2 for bad usage.
#include <windows.h>
// needs <windows.h> first
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/utf.h"
#include "host/dialog/dialog.h"
#include "host/dialog/win32/win32_toolkit.h"
#include "host/splice.h"
#include "host/tool_host.h"

namespace {

constexpr int kListIconNumber = 6;  // #ToolListIcon
constexpr UINT_PTR kCloseTimer = 1;

struct Preview {
  dialog::Dialog dialog;
  dialog::win32::Win32Toolkit* toolkit = nullptr;
  std::vector<std::string> pages;  // names of the plugin containers, in list order
};
Preview* g_preview = nullptr;

void PrintLine(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::string FirstCharacters(const std::string& text, size_t count) {
  std::u16string wide = dialog::Utf8ToUtf16(text);
  if (wide.size() > count) wide.resize(count);
  return dialog::Utf16ToUtf8(wide);
}

bool ReadDescription(const std::wstring& path, std::u16string* text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr) != 0) && read > 0)
    bytes.append(buffer, read);
  CloseHandle(file);
  if (!ok) return false;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    text->clear();
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
      text->push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    return true;
  }
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  *text = dialog::Utf8ToUtf16(bytes);
  return true;
}

// The host's list switch, in short: the selected row's container shows, the others hide.
int OnChangeListIcon() {
  if (g_preview == nullptr) return 0;
  HWND list = static_cast<HWND>(dialog::FindControl(g_preview->dialog, kListIconNumber));
  if (list == nullptr) return 0;
  int selected =
      static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (selected < 0) return 0;
  for (size_t i = 0; i < g_preview->pages.size(); ++i) {
    if (dialog::Node* node = dialog::FindNode(g_preview->dialog, g_preview->pages[i]))
      dialog::ShowNode(*node, *g_preview->toolkit, static_cast<int>(i) == selected);
  }
  return 0;
}

// One list row per named container of the fragment, titled with its `title`.
void FillPluginList(Preview& preview, const dialog::Element& element) {
  for (const auto& child : element.children) {
    if (dialog::IsElement(*child, "container") && dialog::HasAttribute(*child, "library") &&
        !dialog::GetAttribute(*child, "name").empty())
      preview.pages.push_back(dialog::GetAttribute(*child, "name"));
    FillPluginList(preview, *child);
  }
}

void AddListRows(Preview& preview, const dialog::Element& root, int selectedRow) {
  HWND list = static_cast<HWND>(dialog::FindControl(preview.dialog, kListIconNumber));
  if (list == nullptr) return;
  FillPluginList(preview, root);
  for (size_t i = 0; i < preview.pages.size(); ++i) {
    std::string title = preview.pages[i];
    // The title lives only in the parsed description.
    std::vector<const dialog::Element*> pending{&root};
    while (!pending.empty()) {
      const dialog::Element* element = pending.back();
      pending.pop_back();
      if (dialog::IsElement(*element, "container") &&
          dialog::GetAttribute(*element, "name") == preview.pages[i] &&
          dialog::HasAttribute(*element, "title"))
        title = dialog::GetAttribute(*element, "title");
      for (const auto& child : element->children) pending.push_back(child.get());
    }
    std::u16string wide = dialog::Utf8ToUtf16(title);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = reinterpret_cast<wchar_t*>(wide.data());
    int row =
        static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    LVITEMW state{};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(2);  // checked
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&state));
  }
  RECT client;
  GetClientRect(list, &client);
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, client.right - client.left - 4);
  LVITEMW select{};
  select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(selectedRow),
               reinterpret_cast<LPARAM>(&select));
  OnChangeListIcon();
}

dialog::Node* FindFirstPanel(dialog::Node& node) {
  if (node.kind == dialog::Kind::kPanel) return &node;
  for (auto& child : node.children)
    if (dialog::Node* found = FindFirstPanel(*child)) return found;
  return nullptr;
}

int Usage() {
  std::fputs(
      "usage: dialog-preview.exe [--check] [--fragment] [--close-after MS] [--tab N] [--row N] "
      "[--size W H]\n       [--ready-file PATH]\n       DESCRIPTION.xml\n",
      stderr);
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  bool check = false, fragment = false;
  int closeAfter = 0, tab = -1, width = 0, height = 0, row = 0;
  std::wstring path, readyFile;
  for (int i = 1; i < argc; ++i) {
    std::wstring argument = argv[i];
    if (argument == L"--check") {
      check = true;
    } else if (argument == L"--fragment") {
      fragment = true;
    } else if (argument == L"--close-after" && i + 1 < argc) {
      closeAfter = _wtoi(argv[++i]);
    } else if (argument == L"--row" && i + 1 < argc) {
      row = _wtoi(argv[++i]);
    } else if (argument == L"--size" && i + 2 < argc) {
      width = _wtoi(argv[++i]);
      height = _wtoi(argv[++i]);
    } else if (argument == L"--ready-file" && i + 1 < argc) {
      readyFile = argv[++i];
    } else if (argument == L"--tab" && i + 1 < argc) {
      tab = _wtoi(argv[++i]);
    } else if (!argument.empty() && argument[0] == L'-') {
      return Usage();
    } else if (path.empty()) {
      path = argument;
    } else {
      return Usage();
    }
  }
  if (path.empty()) return Usage();

  std::u16string text;
  if (!ReadDescription(path, &text)) {
    std::fputs("dialog-preview: cannot read the description file\n", stderr);
    return 2;
  }
  // A plugin fragment goes into the host's own window text, as the host splices it.
  if (fragment) {
    text = core::Utf8ToUtf16(
        SpliceFragment(kToolWindowDescription, TagFragment(core::Utf16ToUtf8(text), 1, 0)));
  }

  dialog::Document document = dialog::ParseDescription(text);
  if (!document.ok()) {
    PrintLine("XML error: " + FirstCharacters(document.errorText, 200) +
              " (Line: " + std::to_string(document.errorLine) + ")");
    return 1;
  }

  dialog::win32::Win32Toolkit toolkit;  // outlives the dialog, which closes through it
  Preview preview;
  g_preview = &preview;
  dialog::RuntimeNameTable names;
  // The host's names; its handlers do nothing without a running host, except the list's, which
  // switches the preview's page.
  RegisterHostRuntimeNames(names);
  dialog::RegisterProcedure(names, "OnChangeToolListIcon()", OnChangeListIcon);
  preview.toolkit = &toolkit;
  toolkit.onCloseRequest = [](dialog::Control) { PostQuitMessage(0); };
  toolkit.windowMessageHook = [](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
    if (message == WM_TIMER && wParam == kCloseTimer) {
      PostQuitMessage(0);
      *result = 0;
      return true;
    }
    return false;
  };
  dialog::OpenWindowOptions options;
  options.keepHidden = true;
  if (!dialog::OpenWindow(preview.dialog, toolkit, *document.root, names, options)) {
    PrintLine("Dialog error: " + FirstCharacters(preview.dialog.error, 200));
    g_preview = nullptr;
    return 1;
  }
  if (check) {
    PrintLine("ok");
    dialog::CloseWindow(preview.dialog);
    g_preview = nullptr;
    return 0;
  }

  HWND window = static_cast<HWND>(preview.dialog.window->control);
  if (fragment) AddListRows(preview, *document.root, row);
  if (tab >= 0) {
    if (dialog::Node* panel = FindFirstPanel(*preview.dialog.window))
      toolkit.SelectPanelTab(panel->control, tab);
  }
  toolkit.ShowWindow(window, true);
  if (width > 0 && height > 0) {
    toolkit.SetInnerSize(window, width, height);  // as a user's resize: WM_SIZE lays it out again
    toolkit.Center(window, nullptr);
  }
  if (closeAfter > 0) SetTimer(window, kCloseTimer, static_cast<UINT>(closeAfter), nullptr);
  MSG message;
  if (!readyFile.empty()) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HANDLE ready = CreateFileW(readyFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
  }
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  dialog::CloseWindow(preview.dialog);
  g_preview = nullptr;
  return 0;
}
