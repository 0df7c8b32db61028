// standin-ide.exe under Wine, driven from this separate process with real input. A hook library
// (standin_test_hook.dll) is loaded into the IDE as the tool host loads the plugin's, and logs what
// the plugin would see.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "iface/scintilla.h"
#include "tests/ide/probes.h"
#include "tests/ide/win32/driver.h"

namespace standin_test {
namespace {

std::wstring Folder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(Narrow(path), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(Narrow(path), std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool Contains(const std::vector<std::string>& lines, const std::string& wanted) {
  return std::find(lines.begin(), lines.end(), wanted) != lines.end();
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

class StandinIde : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    wchar_t temporary[MAX_PATH];
    GetTempPathW(MAX_PATH, temporary);
    scratch_ = std::wstring(temporary) + L"standin-" + std::to_wstring(GetCurrentProcessId()) +
               L"-" + std::wstring(info->name(), info->name() + std::strlen(info->name()));
    RemoveTree(scratch_);  // left by an earlier run with the same process id
    CreateDirectoryW(scratch_.c_str(), nullptr);
    log_ = scratch_ + L"\\events.log";
    DeleteFileW(log_.c_str());
    SetEnvironmentVariableW(L"STANDIN_TEST_LOG", log_.c_str());
    SetEnvironmentVariableW(L"STANDIN_FROM_TEST", L"inherited");
  }

  void TearDown() override {
    if (hook_) UnhookWindowsHookEx(hook_);
    StopIde(&ide_);
    // Programs the IDE started (the tool) may still hold their files for a moment.
    WaitFor(
        [&] {
          RemoveTree(scratch_);
          return GetFileAttributesW(scratch_.c_str()) == INVALID_FILE_ATTRIBUTES;
        },
        2000);
  }

  // Starts the IDE with `arguments` and loads the hook library into it.
  void Start(const std::wstring& arguments = L"") {
    ASSERT_TRUE(StartIde(WindowsPath(STANDIN_IDE_EXE), arguments, &ide_))
        << "standin-ide.exe did not start";
    HMODULE library = LoadLibraryW((Folder() + L"\\standin_test_hook.dll").c_str());
    ASSERT_NE(library, nullptr);
    auto procedure = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(GetProcAddress(library, "StandinTestHook")));
    ASSERT_NE(procedure, nullptr);
    hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, procedure, library, ide_.thread);
    ASSERT_NE(hook_, nullptr);
    // The hook library is mapped into the IDE with the next message it handles.
    SendMessageW(ide_.main, WM_NULL, 0, 0);
    editor_ = ActiveEditor(ide_.main);
    ASSERT_NE(editor_, nullptr);
    ASSERT_TRUE(BringToFront(ide_.main)) << "the IDE did not come to the front";
  }

  std::vector<std::string> Events() const { return Lines(ReadFileBytes(log_)); }

  bool WaitForEvent(const std::string& wanted, int milliseconds = 5000) const {
    return WaitFor([&] { return Contains(Events(), wanted); }, milliseconds);
  }

  bool WaitForText(const std::string& wanted) const {
    return WaitFor([&] { return EditorText(editor_) == wanted; });
  }

  LRESULT Editor(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return SendMessageW(editor_, message, wParam, lParam);
  }

  IdeProcess ide_;
  HHOOK hook_ = nullptr;
  HWND editor_ = nullptr;
  std::wstring scratch_;
  std::wstring log_;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

std::vector<HWND> Children(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, 64);
  return name;
}

TEST_F(StandinIde, StartsWithAnEditorAndEveryWindowCarriesPbId) {
  Start();
  EXPECT_NE(GetPropW(ide_.main, L"PB_ID"), nullptr);
  EXPECT_STRCASEEQ(ClassOf(editor_).c_str(), "Scintilla");
  EXPECT_EQ(GetParent(editor_), ide_.main) << "editors report to the main window";
  // A second editor (File > New, through the menu with real keys) is marked as well. The IDE
  // marks a window just after creating it: wait for the mark, not only for the window.
  Chord({VK_CONTROL}, 'N');
  ASSERT_TRUE(WaitFor([&] {
    const auto children = Children(ide_.main);
    return std::count_if(children.begin(), children.end(), [](HWND w) {
             return ClassOf(w) == "Scintilla" && GetPropW(w, L"PB_ID") != nullptr;
           }) == 2;
  }));
  std::vector<std::intptr_t> ids;
  for (HWND child : Children(ide_.main)) {
    const auto id = reinterpret_cast<std::intptr_t>(GetPropW(child, L"PB_ID"));
    EXPECT_NE(id, 0) << "window of class " << ClassOf(child) << " has no PB_ID";
    ids.push_back(id);
  }
  EXPECT_GE(ids.size(), 4u);  // tabs, status bar, two editors
  // Ctrl+Tab goes back to the first editor, which kept its text.
  TypeText(L"second");
  HWND second = ActiveEditor(ide_.main);
  ASSERT_TRUE(WaitFor([&] { return EditorText(second) == "second"; }));
  Chord({VK_CONTROL}, VK_TAB);
  EXPECT_TRUE(WaitFor([&] { return ActiveEditor(ide_.main) == editor_; }));
  EXPECT_FALSE(IsWindowVisible(second));
  Chord({VK_CONTROL, VK_SHIFT}, VK_TAB);
  EXPECT_TRUE(WaitFor([&] { return ActiveEditor(ide_.main) == second; }));
}

TEST_F(StandinIde, RunProgramWindowCarriesPbIdAndStartsWithTheIdesEnvironment) {
  Start();
  SendMessageW(ide_.main, RegisterWindowMessageW(L"StandinTest.SetEnv"), 0, 0);
  ASSERT_TRUE(WaitForEvent("environment set"));
  // Tools > Run program..., through the menu with the keyboard.
  Chord({VK_MENU}, 'T');
  TypeText(L"r");
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    dialog = FindWindowW(L"StandinRunProgram", nullptr);
    return dialog && IsWindowVisible(dialog);
  })) << "the Run program window did not open";
  EXPECT_NE(GetPropW(dialog, L"PB_ID"), nullptr);
  for (HWND child : Children(dialog))
    EXPECT_NE(GetPropW(child, L"PB_ID"), nullptr) << "window of class " << ClassOf(child);
  TypeText(L"\"" + Folder() + L"\\standin_env_dump.exe\"\n");
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  ASSERT_TRUE(
      WaitForEvent("started standin_env_dump.exe PB_TOOL_MainWindow=- STANDIN_FROM_TEST=inherited "
                   "STANDIN_SET_IN_IDE=yes"))
      << ReadFileBytes(log_);
}

TEST_F(StandinIde, ToolsMenuStartsTheToolHostWithTheMainWindowHandle) {
  const std::wstring toolFolder = scratch_ + L"\\tool";
  CreateDirectoryW(toolFolder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW((Folder() + L"\\standin_env_dump.exe").c_str(),
                        (toolFolder + L"\\toolhost.exe").c_str(), FALSE));
  Start(L"--tool-folder \"" + toolFolder + L"\"");
  Chord({VK_MENU}, 'T');
  TypeText(L"t");
  const std::string handle = std::to_string(reinterpret_cast<UINT_PTR>(ide_.main));
  ASSERT_TRUE(WaitForEvent("started toolhost.exe PB_TOOL_MainWindow=" + handle +
                           " STANDIN_FROM_TEST=inherited STANDIN_SET_IN_IDE=-"))
      << ReadFileBytes(log_);
}

TEST_F(StandinIde, CommandLineStartsToolAndProgramAndOpensFiles) {
  const std::wstring toolFolder = scratch_ + L"\\tool";
  CreateDirectoryW(toolFolder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW((Folder() + L"\\standin_env_dump.exe").c_str(),
                        (toolFolder + L"\\toolhost.exe").c_str(), FALSE));
  const std::wstring crlf = scratch_ + L"\\crlf.pb";
  const std::wstring lf = scratch_ + L"\\lf.pb";
  WriteFileBytes(crlf, "\xEF\xBB\xBFIf x\r\n  y = 1\r\nEndIf\r\n");
  WriteFileBytes(lf, "a = 1\nb = 2\n");
  Start(L"--tool-folder \"" + toolFolder + L"\" --start-tool --run \"" + Folder() +
        L"\\standin_env_dump.exe\" --open \"" + crlf + L"\" \"" + lf + L"\"");
  const std::string handle = std::to_string(reinterpret_cast<UINT_PTR>(ide_.main));
  EXPECT_TRUE(WaitForEvent("started toolhost.exe PB_TOOL_MainWindow=" + handle +
                           " STANDIN_FROM_TEST=inherited STANDIN_SET_IN_IDE=-"))
      << ReadFileBytes(log_);
  EXPECT_TRUE(
      WaitForEvent("started standin_env_dump.exe PB_TOOL_MainWindow=- STANDIN_FROM_TEST=inherited "
                   "STANDIN_SET_IN_IDE=-"))
      << ReadFileBytes(log_);
  // The last file opened is shown; its line ends set the editor's mode.
  EXPECT_EQ(EditorText(editor_), "a = 1\nb = 2\n");
  EXPECT_EQ(Editor(sci::SCI_GETEOLMODE), 2);
  // The first file is in the other tab, without its byte-order mark, in CR LF mode.
  HWND first = nullptr;
  for (HWND child : Children(ide_.main))
    if (ClassOf(child) == "Scintilla" && child != editor_) first = child;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(EditorText(first), "If x\r\n  y = 1\r\nEndIf\r\n");
  EXPECT_EQ(SendMessageW(first, sci::SCI_GETEOLMODE, 0, 0), 0);
}

struct MessageBoxSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<MessageBoxSearch*>(data);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId == search->processId && IsWindowVisible(window) && ClassOf(window) == "#32770") {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

std::string TextsOf(HWND window) {
  std::string texts;
  for (HWND child : Children(window)) {
    char text[512] = "";
    GetWindowTextA(child, text, sizeof text);
    texts += std::string(text) + "\n";
  }
  return texts;
}

TEST_F(StandinIde, AFileThatCannotBeOpenedIsReportedAndLeavesNoTab) {
  const std::wstring good = scratch_ + L"\\good.pb";
  WriteFileBytes(good, "Debug 1\r\n");
  Start(L"\"" + good + L"\" \"" + scratch_ + L"\\missing.pb\"");
  MessageBoxSearch search{ide_.process.dwProcessId, nullptr};
  ASSERT_TRUE(WaitFor([&] {
    EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  })) << "no message box";
  EXPECT_NE(TextsOf(search.found).find("Cannot open"), std::string::npos) << TextsOf(search.found);
  EXPECT_NE(TextsOf(search.found).find("missing.pb"), std::string::npos);
  ASSERT_TRUE(BringToFront(search.found));
  TypeText(L"\n");
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(search.found); }));
  const auto children = Children(ide_.main);
  EXPECT_EQ(std::count_if(children.begin(), children.end(),
                          [](HWND w) { return ClassOf(w) == "Scintilla"; }),
            1);
  EXPECT_EQ(EditorText(ActiveEditor(ide_.main)), "Debug 1\r\n");
}

TEST_F(StandinIde, SaveKeepsTheByteOrderMarkAndTheLineEnds) {
  const std::wstring path = scratch_ + L"\\saved.pb";
  WriteFileBytes(path, "\xEF\xBB\xBF; first\r\n");
  Start(L"--open \"" + path + L"\"");
  ASSERT_TRUE(WaitForText("; first\r\n"));
  Chord({VK_CONTROL}, VK_END);
  TypeText(L"x = 1\n");
  ASSERT_TRUE(WaitForText("; first\r\nx = 1\r\n"));
  wchar_t title[256] = L"";
  GetWindowTextW(ide_.main, title, 256);
  EXPECT_NE(std::wstring(title).find(L"saved.pb *"), std::wstring::npos) << Narrow(title);
  Chord({VK_CONTROL}, 'S');
  ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(path) == "\xEF\xBB\xBF; first\r\nx = 1\r\n"; }))
      << ReadFileBytes(path);
  EXPECT_TRUE(WaitFor([&] {
    GetWindowTextW(ide_.main, title, 256);
    return std::wstring(title).find(L'*') == std::wstring::npos;
  })) << Narrow(title);
  EXPECT_EQ(GetFileAttributesW((path + L".saving").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(StandinIde, TypingProducesStyledText) {
  Start();
  TypeText(L"Procedure Go(x)\n; note\nt$ = \"s\" + #Tab$\nEndProcedure");
  const std::string expected = "Procedure Go(x)\r\n; note\r\nt$ = \"s\" + #Tab$\r\nEndProcedure";
  ASSERT_TRUE(WaitForText(expected)) << EditorText(editor_);
  struct Case {
    const char* word;
    int style;
  };
  const Case cases[] = {{"Procedure", 2}, {"Go", 6},           {"; note", 3}, {"\"s\"", 5},
                        {"#Tab$", 4},     {"EndProcedure", 2}, {"t$", 0}};
  for (const Case& c : cases) {
    const auto at = static_cast<int>(expected.find(c.word));
    for (int i = at; i < at + static_cast<int>(std::strlen(c.word)); ++i)
      EXPECT_TRUE(WaitFor([&] { return StyleAt(editor_, i) == c.style; }, 2000))
          << c.word << " at " << i << ": style " << StyleAt(editor_, i) << ", expected " << c.style;
  }
}

TEST_F(StandinIde, EnterInsertsAPlainLineEnd) {
  Start();
  TypeText(L"    If a\n");
  ASSERT_TRUE(WaitForText("    If a\r\n")) << EditorText(editor_);
  EXPECT_EQ(Editor(sci::SCI_GETCURRENTPOS), 10);
  ASSERT_TRUE(WaitForEvent("charadded 10"));
  const auto events = Events();
  const auto cr = std::find(events.begin(), events.end(), "charadded 13");
  ASSERT_NE(cr, events.end()) << "Enter in a CR LF document reports 13, then 10";
  EXPECT_TRUE(std::find(cr, events.end(), "charadded 10") != events.end());
}

TEST_F(StandinIde, CtrlIReindentsTheSelectedLinesWithoutATab) {
  Start();
  TypeText(L"If a\nb = 1\n      EndIf");
  ASSERT_TRUE(WaitForText("If a\r\nb = 1\r\n      EndIf"));
  Chord({VK_CONTROL}, 'A');
  WriteFileBytes(log_, "");
  Chord({VK_CONTROL}, 'I');
  const std::string reindented = "If a\r\n  b = 1\r\nEndIf";
  ASSERT_TRUE(WaitForText(reindented)) << EditorText(editor_);
  EXPECT_EQ(EditorText(editor_).find('\t'), std::string::npos);
  // The selection is set again, over the re-indented text (Ctrl+A puts the caret at the start).
  EXPECT_TRUE(WaitFor([&] {
    return Editor(sci::SCI_GETANCHOR) == static_cast<LRESULT>(reindented.size()) &&
           Editor(sci::SCI_GETCURRENTPOS) == 0;
  })) << Editor(sci::SCI_GETANCHOR)
      << ".." << Editor(sci::SCI_GETCURRENTPOS);
  // One content update, then a later, separate selection update.
  ASSERT_TRUE(WaitFor([&] {
    const auto events = Events();
    return std::count_if(events.begin(), events.end(),
                         [](const std::string& e) { return e.rfind("updateui", 0) == 0; }) >= 2;
  }));
  std::vector<int> updates;
  for (const std::string& event : Events())
    if (event.rfind("updateui ", 0) == 0) updates.push_back(std::stoi(event.substr(9)));
  ASSERT_GE(updates.size(), 2u);
  EXPECT_TRUE(updates[0] & 1) << "first update after Ctrl+I: " << updates[0];
  const auto selection =
      std::find_if(updates.begin() + 1, updates.end(), [](int u) { return u & 2; });
  EXPECT_NE(selection, updates.end()) << "no selection update after the content update";
}

TEST_F(StandinIde, CtrlIKeepsTheCaretInItsText) {
  Start();
  TypeText(L"For i = 1 To 3\nDebug i");
  ASSERT_TRUE(WaitForText("For i = 1 To 3\r\nDebug i"));
  Chord({VK_CONTROL}, 'I');
  ASSERT_TRUE(WaitForText("For i = 1 To 3\r\n  Debug i")) << EditorText(editor_);
  EXPECT_TRUE(WaitFor([&] {
    return Editor(sci::SCI_GETCURRENTPOS) == 25 && Editor(sci::SCI_GETANCHOR) == 25;
  })) << Editor(sci::SCI_GETCURRENTPOS);
  // Already right: the command still changes the text once (a content update follows).
  WriteFileBytes(log_, "");
  Chord({VK_CONTROL}, 'I');
  EXPECT_TRUE(WaitFor([&] {
    const auto events = Events();
    return std::any_of(events.begin(), events.end(), [](const std::string& e) {
      return e.rfind("updateui ", 0) == 0 && (std::stoi(e.substr(9)) & 1);
    });
  })) << ReadFileBytes(log_);
  EXPECT_EQ(EditorText(editor_), "For i = 1 To 3\r\n  Debug i");
}

TEST_F(StandinIde, CtrlIReindentsOnlyTheSelectedLinesAndMovesTheSelectionWithTheText) {
  struct Case {
    const char* text;
    int anchor;
    int caret;
    const char* expected;
    int expectedAnchor;
    int expectedCaret;
  };
  const Case cases[] = {
      // The caret keeps its distance from the first non-blank character.
      {"If a\r\nb\r\nEndIf", 7, 7, "If a\r\n  b\r\nEndIf", 9, 9},
      // Inside the old indentation: to the end of the new one; a line start stays.
      {"If a\r\n      b", 10, 10, "If a\r\n  b", 8, 8},
      {"If a\r\n      b", 6, 6, "If a\r\n  b", 6, 6},
      // A selection ending at a line start leaves that line alone.
      {"If a\r\nb\r\n    EndIf", 0, 9, "If a\r\n  b\r\n    EndIf", 0, 11},
      // A backwards selection over two lines; text after the range moves with it.
      {"For i=1 To 2\r\n    x\r\n    Next\r\n; end", 25, 3, "For i=1 To 2\r\n  x\r\nNext\r\n; end",
       19, 3},
  };
  Start();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Chord({VK_CONTROL}, 'A');
    ASSERT_TRUE(SetClipboardText(std::wstring(c.text, c.text + std::strlen(c.text))));
    Chord({VK_CONTROL}, 'V');
    ASSERT_TRUE(WaitForText(c.text)) << EditorText(editor_);
    Editor(sci::SCI_SETSEL, static_cast<WPARAM>(c.anchor), c.caret);
    Chord({VK_CONTROL}, 'I');
    ASSERT_TRUE(WaitForText(c.expected)) << EditorText(editor_);
    EXPECT_TRUE(WaitFor(
        [&] {
          return Editor(sci::SCI_GETANCHOR) == c.expectedAnchor &&
                 Editor(sci::SCI_GETCURRENTPOS) == c.expectedCaret;
        },
        2000))
        << Editor(sci::SCI_GETANCHOR) << ".." << Editor(sci::SCI_GETCURRENTPOS);
  }
}

TEST_F(StandinIde, PasteIsSciPasteSentToTheEditor) {
  Start();
  ASSERT_TRUE(SetClipboardText(L"Hello"));
  Chord({VK_CONTROL}, 'V');
  ASSERT_TRUE(WaitForEvent("paste")) << "Ctrl+V did not send SCI_PASTE";
  ASSERT_TRUE(WaitForText("Hello"));
  // Edit > Paste, through the menu with the keyboard.
  Chord({VK_MENU}, 'E');
  TypeText(L"p");
  ASSERT_TRUE(WaitForText("HelloHello")) << EditorText(editor_);
  Chord({VK_SHIFT}, VK_INSERT);
  ASSERT_TRUE(WaitForText("HelloHelloHello")) << EditorText(editor_);
  const auto events = Events();
  EXPECT_EQ(std::count(events.begin(), events.end(), "paste"), 3);
}

TEST_F(StandinIde, NotificationsCarryTheIdesRecord) {
  Start();
  TypeText(L"ab");
  ASSERT_TRUE(WaitForText("ab"));
  // Read through the 32-bit record. 0x2011: insert text, user, start action; the typing that
  // follows joins the same undo action (0x11).
  EXPECT_TRUE(WaitForEvent("modified 8209 position 0 length 1 lines 0 text \"a\""))
      << ReadFileBytes(log_);
  EXPECT_TRUE(WaitForEvent("modified 17 position 1 length 1 lines 0 text \"b\""))
      << ReadFileBytes(log_);
  EXPECT_TRUE(WaitForEvent("charadded 98"));
  TypeText(L"\n");
  EXPECT_TRUE(WaitForEvent("modified 17 position 2 length 2 lines 1 text \"\\r\\n\""))
      << ReadFileBytes(log_);
}

TEST_F(StandinIde, SelectingAWholeWordHighlightsItsOtherOccurrences) {
  Start();
  TypeText(L"abc x abc\nABC abcd");
  ASSERT_TRUE(WaitForText("abc x abc\r\nABC abcd"));
  Editor(sci::SCI_SETSEL, 0, 3);
  auto marked = [&](int position) { return Editor(sci::SCI_INDICATORVALUEAT, 2, position) != 0; };
  ASSERT_TRUE(WaitFor([&] { return marked(6) && marked(8) && marked(11); }));
  EXPECT_FALSE(marked(0)) << "the selected word itself";
  EXPECT_FALSE(marked(4));
  EXPECT_FALSE(marked(15)) << "abcd is another word";
  Editor(sci::SCI_SETSEL, 0, 2);  // not a whole word
  EXPECT_TRUE(WaitFor([&] { return !marked(6) && !marked(11); }));
}

TEST_F(StandinIde, ProbesOfTheRealControlMatchTheRecordedTranscript) {
  const std::wstring out = scratch_ + L"\\probes.txt";
  DeleteFileW(out.c_str());  // a folder of an earlier run (same process id) may hold one
  SetEnvironmentVariableW(L"STANDIN_PROBE_OUT", out.c_str());
  Start();
  SendNotifyMessageW(ide_.main, RegisterWindowMessageW(L"StandinTest.RunProbes"), 0, 0);
  // The transcript is never empty ("no editor" at least). Wait for its bytes, not for its name:
  // a run on a loaded machine once read nothing just after the name appeared.
  std::string actual;
  ASSERT_TRUE(WaitFor([&] { return !(actual = ReadFileBytes(out)).empty(); }, 30000))
      << "no transcript at " << Narrow(out);
  const std::string expected = ReadFileBytes(WindowsPath(STANDIN_PROBES_EXPECTED));
  if (const char* update = std::getenv("STANDIN_UPDATE_PROBES"); update && *update) {
    WriteFileBytes(WindowsPath(STANDIN_PROBES_EXPECTED), actual);
    GTEST_SKIP() << "recorded " << STANDIN_PROBES_EXPECTED;
  }
  ASSERT_FALSE(expected.empty()) << "no recorded transcript at " << STANDIN_PROBES_EXPECTED;
  EXPECT_EQ(probes::FirstDifference(expected, actual), "");
}

}  // namespace
}  // namespace standin_test
