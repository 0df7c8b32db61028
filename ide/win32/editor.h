// One source editor of the stand-in IDE: a Scintilla control styled from its parent with the
// dialect's lexer, with the IDE's re-indent command and word highlighting.
//
// The editor reports to the main window with WM_NOTIFY; the main window hands the
// notifications that concern the IDE to the functions below.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace standin {

struct Editor {
  HWND window = nullptr;
  std::wstring path;  // empty for a new, unsaved text
  int untitledNumber = 0;
  bool byteOrderMark = false;
  bool modified = false;
  // The selection that the re-indent command sets again after the editor has painted.
  bool selectionPending = false;
  std::ptrdiff_t pendingAnchor = 0;
  std::ptrdiff_t pendingCaret = 0;
  // Ranges currently marked with the word highlighting indicator.
  std::vector<std::pair<std::size_t, std::size_t>> highlighted;
};

// Loads Scintilla.dll from the IDE's folder; false when it cannot be loaded.
bool LoadScintilla(std::wstring* error);

// Creates a hidden editor as a child of `parent`, marked with `pbId`, set up as the IDE's editors
// are: UTF-8, CR LF line ends, the IDE's styles, container styling, indicator 2.
HWND CreateEditor(HWND parent, int pbId);

LRESULT Send(HWND editor, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// SCN_STYLENEEDED: styles whole lines from the last styled line up to `endPosition`.
void StyleNeeded(HWND editor, std::ptrdiff_t endPosition);

// Ctrl+I: re-indents the selected lines with one edit of the text and makes the editor paint, so
// that the content update is reported on its own. The selection is only computed here; the
// caller sets it later with ApplyPendingSelection (after the paint, from a posted message).
void ReindentSelection(Editor* editor);
void ApplyPendingSelection(Editor* editor);

// SCN_UPDATEUI: marks the other occurrences of a selected whole word with indicator 2.
void UpdateWordHighlight(Editor* editor, int updated);

// Files: UTF-8 with or without byte-order mark; the line end mode follows the file's first line
// end (CR LF when it has none). Saving replaces the file through a temporary file.
bool LoadFile(Editor* editor, const std::wstring& path, std::wstring* error);
bool SaveFile(Editor* editor, const std::wstring& path, std::wstring* error);

}  // namespace standin
