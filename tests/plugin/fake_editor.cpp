#include "tests/plugin/fake_editor.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/property_names.h"
#include "os/sim/sim.h"
#include "plugin/dispatcher.h"
#include "plugin/exports.h"
#include "plugin/plugin_frame.h"

namespace {

FakeIde g_ide;
std::vector<std::unique_ptr<FakeEditor>> g_editors;

std::string EndOfLine(const FakeEditor& editor) {
  switch (editor.eolMode) {
    case sci::SC_EOL_CR:
      return "\r";
    case sci::SC_EOL_LF:
      return "\n";
    default:
      return "\r\n";
  }
}

// Start positions of every line.
std::vector<std::int64_t> LineStarts(const std::string& text) {
  std::vector<std::int64_t> starts{0};
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\r' || text[i] == '\n') starts.push_back(static_cast<std::int64_t>(i + 1));
  }
  return starts;
}

std::int64_t LineEnd(const FakeEditor& editor, std::int64_t line) {
  const auto starts = LineStarts(editor.text);
  if (line < 0 || line >= static_cast<std::int64_t>(starts.size())) return 0;
  std::int64_t end = line + 1 < static_cast<std::int64_t>(starts.size())
                         ? starts[static_cast<std::size_t>(line + 1)]
                         : static_cast<std::int64_t>(editor.text.size());
  while (end > starts[static_cast<std::size_t>(line)] &&
         (editor.text[static_cast<std::size_t>(end - 1)] == '\n' ||
          editor.text[static_cast<std::size_t>(end - 1)] == '\r')) {
    --end;
  }
  return end;
}

std::int64_t IndentPosition(const FakeEditor& editor, std::int64_t line) {
  std::int64_t pos = LineStart(editor, line);
  const std::int64_t end = LineEnd(editor, line);
  while (pos < end && (editor.text[static_cast<std::size_t>(pos)] == ' ' ||
                       editor.text[static_cast<std::size_t>(pos)] == '\t')) {
    ++pos;
  }
  return pos;
}

int CountLineBreaks(const std::string& text) {
  return static_cast<int>(LineStarts(text).size()) - 1;
}

void Notify(FakeEditor& editor, sci::Notification& notification) {
  notification.nmhdr.hwndFrom = editor.window;
  notification.nmhdr.idFrom = 1;
  os::SendMessage(g_ide.main, os::kWM_NOTIFY, 1, reinterpret_cast<os::LParam>(&notification));
}

void Modify(FakeEditor& editor, int type, std::int64_t position, const std::string& text,
            int linesAdded) {
  sci::Notification n{};
  n.nmhdr.code = sci::SCN_MODIFIED;
  n.modificationType = type;
  n.position = static_cast<std::int32_t>(position);
  n.text = text.data();
  n.length = static_cast<std::int32_t>(text.size());
  n.linesAdded = linesAdded;
  Notify(editor, n);
}

// An insertion or deletion, reported as the control does.
void Edit(FakeEditor& editor, std::int64_t start, std::int64_t end, const std::string& text,
          int performed) {
  start = std::clamp<std::int64_t>(start, 0, static_cast<std::int64_t>(editor.text.size()));
  end = std::clamp<std::int64_t>(end, start, static_cast<std::int64_t>(editor.text.size()));
  if (end > start) {
    const std::string removed =
        editor.text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
    Modify(editor, sci::SC_MOD_BEFOREDELETE | performed, start, removed, 0);
    editor.text.erase(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
    for (std::int64_t* p : {&editor.caret, &editor.anchor}) {
      if (*p > end)
        *p -= end - start;
      else if (*p > start)
        *p = start;
    }
    Modify(editor, sci::SC_MOD_DELETETEXT | performed, start, removed, -CountLineBreaks(removed));
  }
  if (!text.empty()) {
    Modify(editor, sci::SC_MOD_BEFOREINSERT | performed, start, text, 0);
    editor.text.insert(static_cast<std::size_t>(start), text);
    const auto length = static_cast<std::int64_t>(text.size());
    // An insertion exactly at the caret leaves the caret in front of it.
    for (std::int64_t* p : {&editor.caret, &editor.anchor}) {
      if (*p > start) *p += length;
    }
    Modify(editor, sci::SC_MOD_INSERTTEXT | performed | sci::SC_STARTACTION, start, text,
           CountLineBreaks(text));
  }
}

FakeEditor* EditorOf(os::Window window) {
  return static_cast<FakeEditor*>(os::sim::GetWindowData(window));
}

os::LResult EditorProcedure(os::Window window, std::uint32_t message, os::WParam wParam,
                            os::LParam lParam) {
  FakeEditor* editor = EditorOf(window);
  if (editor == nullptr) return 0;
  editor->received.push_back({message, wParam, lParam});
  const auto position = static_cast<std::int64_t>(static_cast<std::intptr_t>(wParam));
  switch (message) {
    case sci::SCI_GETLENGTH:
      return static_cast<os::LResult>(editor->text.size());
    case sci::SCI_GETCHARAT:
      return position >= 0 && position < static_cast<std::int64_t>(editor->text.size())
                 ? static_cast<signed char>(editor->text[static_cast<std::size_t>(position)])
                 : 0;
    case sci::SCI_GETCURRENTPOS:
      return editor->caret;
    case sci::SCI_GETANCHOR:
      return editor->anchor;
    case sci::SCI_GOTOPOS:
      editor->caret = editor->anchor =
          std::clamp<std::int64_t>(position, 0, static_cast<std::int64_t>(editor->text.size()));
      return 0;
    case sci::SCI_SETSEL:
      editor->anchor = position;
      editor->caret = lParam;
      return 0;
    case sci::SCI_GETEOLMODE:
      return editor->eolMode;
    case sci::SCI_BEGINUNDOACTION:
      ++editor->undoDepth;
      ++editor->undoBegins;
      return 0;
    case sci::SCI_ENDUNDOACTION:
      --editor->undoDepth;
      return 0;
    case sci::SCI_HIDESELECTION:
      editor->selectionHidden = wParam != 0;
      return 0;
    case sci::SCI_LINEFROMPOSITION:
      return LineOf(*editor, position);
    case sci::SCI_POSITIONFROMLINE:
      return LineStart(*editor, position);
    case sci::SCI_GETLINEENDPOSITION:
      return LineEnd(*editor, position);
    case sci::SCI_GETLINEINDENTPOSITION:
      return IndentPosition(*editor, position);
    case sci::SCI_GETLINECOUNT:
      return static_cast<os::LResult>(LineStarts(editor->text).size());
    case sci::SCI_SETTARGETSTART:
      editor->targetStart = position;
      return 0;
    case sci::SCI_SETTARGETEND:
      editor->targetEnd = position;
      return 0;
    case sci::SCI_GETTARGETSTART:
      return editor->targetStart;
    case sci::SCI_GETTARGETEND:
      return editor->targetEnd;
    case sci::SCI_REPLACETARGET:
    case sci::SCI_REPLACETARGETRE: {
      const std::string replacement(reinterpret_cast<const char*>(lParam));
      Edit(*editor, editor->targetStart, editor->targetEnd, replacement, sci::SC_PERFORMED_USER);
      editor->targetEnd = editor->targetStart + static_cast<std::int64_t>(replacement.size());
      return static_cast<os::LResult>(replacement.size());
    }
    case sci::SCI_FINDTEXT: {
      // A literal search (the pattern is taken as text), enough to test the plumbing.
      editor->lastSearchFlags = wParam;
      auto* request = reinterpret_cast<sci::TextToFind*>(lParam);
      const std::int64_t from = std::max<std::int64_t>(request->chrg.cpMin, 0);
      const std::int64_t to = std::min<std::int64_t>(
          request->chrg.cpMax, static_cast<std::int64_t>(editor->text.size()));
      if (from > to) return -1;
      const std::string range =
          editor->text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
      const std::size_t found = range.find(request->lpstrText);
      if (found == std::string::npos) return -1;
      request->chrgText.cpMin = static_cast<std::int32_t>(from + static_cast<std::int64_t>(found));
      request->chrgText.cpMax =
          request->chrgText.cpMin + static_cast<std::int32_t>(std::strlen(request->lpstrText));
      return request->chrgText.cpMin;
    }
    case sci::SCI_GETTAG: {
      if (wParam > 9) return 0;
      const std::string& tag = editor->tags[wParam];
      if (lParam != 0) std::memcpy(reinterpret_cast<char*>(lParam), tag.c_str(), tag.size() + 1);
      return static_cast<os::LResult>(tag.size());
    }
    case sci::SCI_CANPASTE:
      return editor->clipboard.empty() ? 0 : 1;
    case sci::SCI_PASTE:
      Edit(*editor, std::min(editor->caret, editor->anchor),
           std::max(editor->caret, editor->anchor), editor->clipboard, sci::SC_PERFORMED_USER);
      editor->caret = editor->anchor = std::min(editor->caret, editor->anchor) +
                                       static_cast<std::int64_t>(editor->clipboard.size());
      return 0;
    default:
      return editor->attribute != nullptr ? editor->attribute(message, position) : 0;
  }
}

// The IDE's Ctrl+I: every selected line gets two blanks of indentation (one edit, then a paint
// with the content update), then the selection is set again (a later selection update).
void ReindentSelection(FakeEditor& editor) {
  const std::int64_t first = LineOf(editor, std::min(editor.caret, editor.anchor));
  const std::int64_t last = LineOf(editor, std::max(editor.caret, editor.anchor));
  for (std::int64_t line = first; line <= last; ++line) {
    Edit(editor, LineStart(editor, line), IndentPosition(editor, line), "  ",
         sci::SC_PERFORMED_USER);
  }
  NotifyUpdateUi(editor, sci::SC_UPDATE_CONTENT);
  editor.anchor = LineStart(editor, first);
  editor.caret = LineEnd(editor, last);
  NotifyUpdateUi(editor, sci::SC_UPDATE_SELECTION);
}

}  // namespace

std::int64_t LineStart(const FakeEditor& editor, std::int64_t line) {
  const auto starts = LineStarts(editor.text);
  if (line < 0) return 0;
  if (line >= static_cast<std::int64_t>(starts.size()))
    return static_cast<std::int64_t>(editor.text.size());
  return starts[static_cast<std::size_t>(line)];
}

std::int64_t LineOf(const FakeEditor& editor, std::int64_t position) {
  const auto starts = LineStarts(editor.text);
  std::int64_t line = 0;
  while (line + 1 < static_cast<std::int64_t>(starts.size()) &&
         starts[static_cast<std::size_t>(line + 1)] <= position) {
    ++line;
  }
  return line;
}

FakeIde& StartFakeIde() {
  os::sim::Reset();
  ResetPluginState();
  g_editors.clear();
  g_ide = FakeIde{};
  os::sim::WindowSpec main;
  main.className = "WindowClass_0";
  g_ide.main = os::sim::CreateWindow(main);
  os::SetProp(g_ide.main, "PB_ID", 1);
  os::sim::WindowSpec tool;
  tool.className = "ToolWindow";
  tool.threadId = 99;
  tool.processId = 99;
  g_ide.tool = os::sim::CreateWindow(tool);
  os::SetProp(g_ide.main, core::ToolPropertyName(core::HandleValue(g_ide.main)),
              reinterpret_cast<std::intptr_t>(g_ide.tool));
  AddEditor(g_ide);
  g_ide.hook = os::SetWindowsHookEx(os::kWH_CALLWNDPROCRET, zentrel::OnHookCallbackComplete,
                                    nullptr, os::sim::GuiThreadId());
  return g_ide;
}

FakeEditor& AddEditor(FakeIde& ide) {
  g_editors.push_back(std::make_unique<FakeEditor>());
  FakeEditor& editor = *g_editors.back();
  os::sim::WindowSpec params;
  params.className = "Scintilla";
  params.parent = ide.main;
  params.procedure = EditorProcedure;
  params.data = &editor;
  editor.window = os::sim::CreateWindow(params);
  os::SetProp(editor.window, "PB_ID", static_cast<std::intptr_t>(10 + ide.editors.size()));
  ide.editors.push_back(&editor);
  return editor;
}

void StopFakeIde() {
  os::sim::Reset();
  ResetPluginState();
  DispatchedHelperTable() = ShippedHelpers();
  g_editors.clear();
}

void InsertByUser(FakeEditor& editor, std::int64_t position, const std::string& text) {
  Edit(editor, position, position, text, sci::SC_PERFORMED_USER);
}

void NotifyCharAdded(FakeEditor& editor, int ch) {
  sci::Notification n{};
  n.nmhdr.code = sci::SCN_CHARADDED;
  n.ch = ch;
  Notify(editor, n);
}

void NotifyUpdateUi(FakeEditor& editor, int updated) {
  sci::Notification n{};
  n.nmhdr.code = sci::SCN_UPDATEUI;
  n.updated = updated;
  Notify(editor, n);
}

void DeliverQueuedInput(FakeIde& ide) {
  os::sim::KeyEvent key{};
  while (os::sim::TakeKeyEvent(&key)) {
    const bool down = (key.flags & os::kKEYEVENTF_KEYUP) == 0;
    if (key.virtualKey == os::kVK_I && down && os::GetAsyncKeyState(os::kVK_CONTROL) != 0 &&
        !ide.ignoreCtrlI) {
      for (FakeEditor* editor : ide.editors) {
        if (editor->selectionHidden || editor->caret != editor->anchor) {
          ReindentSelection(*editor);
          break;
        }
      }
    }
  }
}

void Idle(FakeIde& ide) { DeliverQueuedInput(ide); }

void SetText(FakeEditor& editor, const std::string& text, std::int64_t caret) {
  editor.text = text;
  editor.caret = editor.anchor = caret;
}

void TypeText(FakeEditor& editor, const std::string& text) {
  for (const char c : text) {
    InsertByUser(editor, editor.caret, std::string(1, c));
    editor.caret = editor.anchor = editor.caret + 1;
    NotifyCharAdded(editor, static_cast<unsigned char>(c));
    Idle(g_ide);
    NotifyUpdateUi(editor, sci::SC_UPDATE_CONTENT | sci::SC_UPDATE_SELECTION);
  }
}

void PressEnter(FakeEditor& editor) {
  const std::string eol = EndOfLine(editor);
  InsertByUser(editor, editor.caret, eol);
  editor.caret = editor.anchor = editor.caret + static_cast<std::int64_t>(eol.size());
  for (const char c : eol) NotifyCharAdded(editor, c);
  Idle(g_ide);
  NotifyUpdateUi(editor, sci::SC_UPDATE_CONTENT | sci::SC_UPDATE_SELECTION);
}

void Paste(FakeEditor& editor, const std::string& text) {
  editor.clipboard = text;
  os::SendMessage(editor.window, sci::SCI_PASTE, 0, 0);
  NotifyUpdateUi(editor, sci::SC_UPDATE_CONTENT | sci::SC_UPDATE_SELECTION);
  Idle(g_ide);
}

void Focus(FakeEditor& editor) {
  sci::Notification n{};
  n.nmhdr.code = sci::SCN_FOCUSIN;
  Notify(editor, n);
}

void MoveCaret(FakeEditor& editor, std::int64_t position) {
  editor.caret = editor.anchor = position;
  NotifyUpdateUi(editor, sci::SC_UPDATE_SELECTION);
  Idle(g_ide);
}

void PublishSetting(FakeIde& ide, const std::string& group, const std::string& key,
                    std::intptr_t value) {
  const std::int64_t handle = core::HandleValue(ide.main);
  os::SetProp(ide.main, core::SettingPropertyName(handle, group, key), value);
  const std::string stamp = core::UpdateDatePropertyName(handle);
  os::SetProp(ide.main, stamp,
              std::max<std::intptr_t>(os::MillisecondClock(), os::GetProp(ide.main, stamp) + 1));
}

int CountReceived(const FakeEditor& editor, std::uint32_t message, std::size_t from) {
  int count = 0;
  for (std::size_t i = from; i < editor.received.size(); ++i) {
    if (editor.received[i].message == message) ++count;
  }
  return count;
}
