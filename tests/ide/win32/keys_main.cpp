// standin-keys.exe: types into the running stand-in IDE with real input, one step an argument.
//
//   wait-window        wait (up to 15 s) for the IDE's main window and bring it to the front
//   type:TEXT          type TEXT; "\n" is Enter, "\t" a tab, "\\" a backslash
//   key:CHORD          a key with modifiers, e.g. key:ctrl+i, key:shift+end, key:ctrl+home
//   clipboard:TEXT     put TEXT on the clipboard (same escapes as type:)
//   dblclick:TEXT      double-click the first occurrence of TEXT in the active editor (selects
//                      the word there); a number is a text position
//   sleep:MS           wait
// Exit code 0, or 1 with a message on stderr for a step that failed or a step it does not know.
#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

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
