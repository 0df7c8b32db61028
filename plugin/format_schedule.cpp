// Format scheduling: lines wait here until the beautifier may format them.
//
// A typed line is formatted once the caret has left it, as an undo step of its own; a pasted
// range is formatted at the next display update (inside the re-indent sequence's undo group).
// The pending state belongs to the editor it came from: another editor's updates never format
// its line numbers in the wrong document.

#include "plugin/format_schedule.h"

#include <cstdint>
#include <string>

#include "iface/scintilla.h"
#include "os/os.h"
#include "plugin/dispatcher.h"
#include "plugin/editor_access.h"
#include "plugin/helpers.h"
#include "plugin/plugin_frame.h"

namespace {

struct PendingFormat {
  bool rangePending = false;
  std::int64_t rangeFirst = -1;
  std::int64_t rangeLast = -1;
  os::Window rangeEditor = nullptr;

  bool typedLinePending = false;
  std::int64_t typedLine = -1;
  os::Window typedLineEditor = nullptr;
};

PendingFormat pending;

bool AutoindentTyping(const HookContext& context) {
  return GetPluginSetting(context, "CodeBeautifier", "AutoindentTyping") != 0;
}

HookContext InEditor(const HookContext& context, os::Window editor) {
  HookContext copy = context;
  copy.editor = editor;
  return copy;
}

void FormatTypedLine(const HookContext& context) {
  SciSend(context, sci::SCI_BEGINUNDOACTION);
  FormatLines(context, pending.typedLine, pending.typedLine);
  SciSend(context, sci::SCI_ENDUNDOACTION);
}

void ClearTypedLine() {
  pending.typedLinePending = false;
  pending.typedLine = -1;
  pending.typedLineEditor = nullptr;
}

// While the IDE re-indents pasted lines its command moves the caret away and the sequence puts
// it back at the end: the caret has not left the typed line meanwhile.
bool CaretDisplacedByReindent() { return ReindentSequenceState() >= 2; }

}  // namespace

void ResetPendingFormat() { pending = PendingFormat{}; }

void ForgetPendingFormatEditor(os::Window editor) {
  if (editor == nullptr) return;
  if (pending.rangeEditor == editor) {
    pending.rangePending = false;
    pending.rangeFirst = pending.rangeLast = -1;
    pending.rangeEditor = nullptr;
  }
  if (pending.typedLineEditor == editor) ClearTypedLine();
}

void AppendPendingFormatEditors(std::vector<os::Window>& editors) {
  editors.push_back(pending.rangeEditor);
  editors.push_back(pending.typedLineEditor);
}

void ScheduleFormat(const HookContext& context, std::int64_t firstLine, std::int64_t lastLine,
                    bool deferLastLine) {
  if (context.editor == nullptr) return;
  pending.rangeFirst = firstLine;
  pending.rangeLast = lastLine;
  pending.rangePending = !(firstLine == lastLine && deferLastLine);
  pending.rangeEditor = context.editor;
  if (!deferLastLine) return;
  pending.rangeLast = lastLine - 1;
  if (!AutoindentTyping(context)) return;

  // A line still waiting in another editor has been left by the user: format it there now
  // rather than dropping it or letting it hold up this editor's lines.
  if (pending.typedLinePending && pending.typedLineEditor != context.editor) {
    if (os::IsWindow(pending.typedLineEditor))
      FormatTypedLine(InEditor(context, pending.typedLineEditor));
    ClearTypedLine();
  }
  if (pending.typedLinePending) return;  // a pending typed line is not replaced
  pending.typedLine = lastLine;
  pending.typedLinePending = true;
  pending.typedLineEditor = context.editor;
  SetPluginProperty(context.ideWindow, ".Plugin.LineToFormat", lastLine);
}

void FlushScheduledFormat(const HookContext& context) {
  if (context.editor == nullptr) return;
  if (pending.typedLinePending && AutoindentTyping(context) &&
      pending.typedLineEditor == context.editor && !CaretDisplacedByReindent()) {
    const std::int64_t caret = SciSend(context, sci::SCI_GETCURRENTPOS);
    const std::int64_t caretLine =
        SciSend(context, sci::SCI_LINEFROMPOSITION, static_cast<std::uintptr_t>(caret));
    if (caretLine != pending.typedLine) {
      FormatTypedLine(context);
      ClearTypedLine();
    }
  }
  if (pending.rangePending) {
    if (pending.rangeEditor == context.editor || os::IsWindow(pending.rangeEditor))
      FormatLines(InEditor(context, pending.rangeEditor), pending.rangeFirst, pending.rangeLast);
    pending.rangeFirst = pending.rangeLast = -1;
    pending.rangePending = false;
    pending.rangeEditor = nullptr;
  }
}
