#include "ide/win32/editor.h"

#include <Scintilla.h>

#include <algorithm>
#include <string_view>

#include "ide/lexer.h"
#include "ide/reindent.h"
#include "ide/word_highlight.h"

namespace standin {
namespace {

static_assert(STYLE_LINENUMBER == ide::kLineNumberStyle);

std::string_view DocumentText(HWND editor) {
  const auto* text = reinterpret_cast<const char*>(Send(editor, SCI_GETCHARACTERPOINTER));
  const auto length = static_cast<std::size_t>(Send(editor, SCI_GETLENGTH));
  return text ? std::string_view(text, length) : std::string_view();
}

std::ptrdiff_t LineStart(HWND editor, std::ptrdiff_t line) {
  return Send(editor, SCI_POSITIONFROMLINE, line);
}

std::ptrdiff_t LineOf(HWND editor, std::ptrdiff_t position) {
  return Send(editor, SCI_LINEFROMPOSITION, position);
}

int CALLBACK FontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// The first installed of the usual fixed-width fonts (Wine has only those of the system).
const char* SourceFont() {
  static const char* chosen = nullptr;
  if (chosen) return chosen;
  static const char* const candidates[] = {"Consolas", "DejaVu Sans Mono", "Liberation Mono",
                                           "Courier New"};
  HDC screen = GetDC(nullptr);
  for (const char* name : candidates) {
    LOGFONTW font{};
    font.lfCharSet = DEFAULT_CHARSET;
    MultiByteToWideChar(CP_UTF8, 0, name, -1, font.lfFaceName, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(screen, &font, FontFound, reinterpret_cast<LPARAM>(&found), 0);
    if (found) {
      chosen = name;
      break;
    }
  }
  ReleaseDC(nullptr, screen);
  if (!chosen) chosen = "Courier New";
  return chosen;
}

bool ReadWholeFile(const std::wstring& path, std::string* bytes, std::wstring* error) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = L"Cannot open " + path;
    return false;
  }
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x7fffffff;
  if (ok) {
    bytes->resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    ok = bytes->empty() ||
         (ReadFile(file, &(*bytes)[0], static_cast<DWORD>(bytes->size()), &read, nullptr) &&
          read == bytes->size());
  }
  CloseHandle(file);
  if (!ok) *error = L"Cannot read " + path;
  return ok;
}

}  // namespace

LRESULT Send(HWND editor, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageW(editor, message, wParam, lParam);
}

bool LoadScintilla(std::wstring* error) {
  // Scintilla.dll registers the "Scintilla" window class when it is loaded.
  wchar_t folder[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, folder, MAX_PATH);
  std::wstring path(folder, length);
  path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"Scintilla.dll";
  if (LoadLibraryW(path.c_str())) return true;
  *error = L"Cannot load " + path;
  return false;
}

HWND CreateEditor(HWND parent, int pbId) {
  HWND editor = CreateWindowExW(0, L"Scintilla", L"", WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0,
                                100, 100, parent, reinterpret_cast<HMENU>(INT_PTR(pbId)),
                                GetModuleHandleW(nullptr), nullptr);
  if (!editor) return nullptr;
  SetPropW(editor, L"PB_ID", reinterpret_cast<HANDLE>(INT_PTR(pbId)));

  Send(editor, SCI_SETCODEPAGE, SC_CP_UTF8);
  Send(editor, SCI_SETEOLMODE, SC_EOL_CRLF);
  Send(editor, SCI_SETUSETABS, 0);
  Send(editor, SCI_SETTABWIDTH, ide::kIndentWidth);
  Send(editor, SCI_SETINDENT, ide::kIndentWidth);

  Send(editor, SCI_STYLESETFONT, STYLE_DEFAULT, reinterpret_cast<LPARAM>(SourceFont()));
  Send(editor, SCI_STYLESETSIZE, STYLE_DEFAULT, 10);
  Send(editor, SCI_STYLECLEARALL);
  for (const ide::StyleLook& look : ide::kStyleLooks) {
    Send(editor, SCI_STYLESETFORE, look.style, look.colour);
    Send(editor, SCI_STYLESETBOLD, look.style, look.bold);
  }
  Send(editor, SCI_STYLESETBACK, STYLE_LINENUMBER, ide::kLineNumberBack);
  Send(editor, SCI_SETMARGINTYPEN, 0, SC_MARGIN_NUMBER);
  Send(editor, SCI_SETMARGINWIDTHN, 0, 44);
  Send(editor, SCI_SETMARGINWIDTHN, 1, 6);
  Send(editor, SCI_SETSCROLLWIDTH, 1);
  Send(editor, SCI_SETSCROLLWIDTHTRACKING, 1);

  Send(editor, SCI_INDICSETSTYLE, ide::kWordHighlightIndicator, INDIC_ROUNDBOX);
  Send(editor, SCI_INDICSETFORE, ide::kWordHighlightIndicator, ide::Rgb(255, 200, 0));
  Send(editor, SCI_INDICSETALPHA, ide::kWordHighlightIndicator, 90);
  Send(editor, SCI_INDICSETUNDER, ide::kWordHighlightIndicator, 1);

  // Paste is the IDE's command (SCI_PASTE sent by the IDE), not the control's own key binding.
  Send(editor, SCI_CLEARCMDKEY, 'V' + (SCMOD_CTRL << 16));
  Send(editor, SCI_CLEARCMDKEY, SCK_INSERT + (SCMOD_SHIFT << 16));
  return editor;
}

void StyleNeeded(HWND editor, std::ptrdiff_t endPosition) {
  const std::string_view text = DocumentText(editor);
  const std::ptrdiff_t start = LineStart(editor, LineOf(editor, Send(editor, SCI_GETENDSTYLED)));
  const std::ptrdiff_t lastLine = LineOf(editor, endPosition);
  std::ptrdiff_t end = LineStart(editor, lastLine + 1);
  if (end < 0 || end > static_cast<std::ptrdiff_t>(text.size()))
    end = static_cast<std::ptrdiff_t>(text.size());
  if (end <= start) return;
  const std::vector<unsigned char> styles = ide::StyleText(
      text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
  Send(editor, SCI_STARTSTYLING, start);
  Send(editor, SCI_SETSTYLINGEX, styles.size(), reinterpret_cast<LPARAM>(styles.data()));
}

void ReindentSelection(Editor* editor) {
  HWND window = editor->window;
  const auto anchor = static_cast<std::size_t>(Send(window, SCI_GETANCHOR));
  const auto caret = static_cast<std::size_t>(Send(window, SCI_GETCURRENTPOS));
  const ide::ReindentEdit edit = ide::PlanReindent(DocumentText(window), anchor, caret);
  // One edit, made even when nothing changes, so that a content update always follows.
  Send(window, SCI_SETTARGETRANGE, edit.start, static_cast<LPARAM>(edit.end));
  Send(window, SCI_REPLACETARGET, edit.text.size(), reinterpret_cast<LPARAM>(edit.text.data()));
  editor->selectionPending = true;
  editor->pendingAnchor = static_cast<std::ptrdiff_t>(edit.anchor);
  editor->pendingCaret = static_cast<std::ptrdiff_t>(edit.caret);
  // Paint now: the content update is reported here, before the selection is set again.
  UpdateWindow(window);
}

void ApplyPendingSelection(Editor* editor) {
  if (!editor->selectionPending) return;
  editor->selectionPending = false;
  Send(editor->window, SCI_SETSEL, editor->pendingAnchor, editor->pendingCaret);
}

void UpdateWordHighlight(Editor* editor, int updated) {
  if (!(updated & (SC_UPDATE_SELECTION | SC_UPDATE_CONTENT))) return;
  HWND window = editor->window;
  const std::string_view text = DocumentText(window);
  const auto start = static_cast<std::size_t>(Send(window, SCI_GETSELECTIONSTART));
  const auto end = static_cast<std::size_t>(Send(window, SCI_GETSELECTIONEND));
  std::vector<std::pair<std::size_t, std::size_t>> wanted;
  for (const ide::TextRange& range : ide::WordOccurrences(text, start, end))
    wanted.emplace_back(range.start, range.end);
  // Edits move the marks with the text; only a changed set of marks is redrawn.
  if (wanted == editor->highlighted && !(updated & SC_UPDATE_CONTENT)) return;
  if (wanted.empty() && editor->highlighted.empty()) return;
  const LRESULT current = Send(window, SCI_GETINDICATORCURRENT);
  Send(window, SCI_SETINDICATORCURRENT, ide::kWordHighlightIndicator);
  Send(window, SCI_INDICATORCLEARRANGE, 0, text.size());
  for (const auto& range : wanted)
    Send(window, SCI_INDICATORFILLRANGE, range.first, range.second - range.first);
  Send(window, SCI_SETINDICATORCURRENT, current);
  editor->highlighted = wanted;
}

bool LoadFile(Editor* editor, const std::wstring& path, std::wstring* error) {
  std::string bytes;
  if (!ReadWholeFile(path, &bytes, error)) return false;
  editor->byteOrderMark = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
  if (editor->byteOrderMark) bytes.erase(0, 3);
  const std::size_t lineEnd = bytes.find_first_of("\r\n");
  int mode = SC_EOL_CRLF;
  if (lineEnd != std::string::npos && bytes[lineEnd] == '\n') mode = SC_EOL_LF;
  if (lineEnd != std::string::npos && bytes[lineEnd] == '\r' &&
      bytes.compare(lineEnd, 2, "\r\n") != 0)
    mode = SC_EOL_CR;
  HWND window = editor->window;
  Send(window, SCI_CLEARALL);
  Send(window, SCI_SETEOLMODE, mode);
  Send(window, SCI_APPENDTEXT, bytes.size(), reinterpret_cast<LPARAM>(bytes.data()));
  Send(window, SCI_EMPTYUNDOBUFFER);
  Send(window, SCI_SETSAVEPOINT);
  Send(window, SCI_GOTOPOS, 0);
  editor->path = path;
  editor->modified = false;
  return true;
}

bool SaveFile(Editor* editor, const std::wstring& path, std::wstring* error) {
  const std::string_view text = DocumentText(editor->window);
  const std::wstring temporary = path + L".saving";
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = L"Cannot write " + temporary;
    return false;
  }
  DWORD written = 0;
  bool ok = true;
  if (editor->byteOrderMark)
    ok = WriteFile(file, "\xEF\xBB\xBF", 3, &written, nullptr) && written == 3;
  if (ok && !text.empty())
    ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
  ok = CloseHandle(file) && ok;
  if (ok) ok = MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  if (!ok) {
    DeleteFileW(temporary.c_str());
    *error = L"Cannot save " + path;
    return false;
  }
  Send(editor->window, SCI_SETSAVEPOINT);
  editor->path = path;
  editor->modified = false;
  return true;
}

}  // namespace standin
