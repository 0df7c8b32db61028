// The hook dispatcher: turns the stream of messages the IDE's thread processes into the
// plugin's editor events, and owns the deferred machinery (caret shift, caret anchor, re-indent
// sequence), the typing tables and the undo grouping of a typed character with its helpers.

#include "plugin/dispatcher.h"

#include <algorithm>
#include <array>

#include "plugin/editor_access.h"
#include "plugin/exports.h"
#include "plugin/helpers.h"
#include "plugin/plugin_frame.h"

namespace {

// A typing table: one entry per character of one byte. The helpers ask only about ASCII
// characters; a character beyond the table has no entry and reads as never typed.
using Table = std::array<std::int64_t, 256>;

bool InTable(int ch) { return ch >= 0 && ch < 256; }
std::size_t Index(int ch) { return static_cast<std::size_t>(ch); }

struct DispatcherState {
  // Last insertion an editor reported, and that editor.
  std::int64_t lastInsertPosition = -1;
  std::int64_t lastInsertLines = -1;
  bool lastInsertEndsWithCrLf = false;  // Enter in CR LF mode: a line feed follows the CR
  os::Window lastInsertEditor = nullptr;
  // No typed character, paste or display update has followed the last insertion yet: when a
  // paste returns, the insertion is the paste's own only while this holds.
  bool insertionUnanswered = false;

  std::int64_t keyState = 0;

  // Typing tables, keyed by character.
  Table lastTypingTime{};
  Table pendingQuoteFlag{};
  Table pendingQuotePosition{};

  std::int64_t caretShift = -1;
  std::int64_t anchorLine = -1;
  std::int64_t anchorOffset = -1;

  int reindentState = 0;
  std::int64_t reindentFirst = -1;
  std::int64_t reindentLast = -1;
  os::Window reindentEditor = nullptr;
  std::int64_t reindentSince = 0;  // clock when the current state was entered
  // The selection before the sequence selected the lines, put back when no re-indent came.
  std::int64_t anchorBeforeReindent = 0;
  std::int64_t caretBeforeReindent = 0;

  // Undo group opened for a typed character, closed once its helpers ran.
  bool typedGroupOpen = false;
  os::Window typedGroupEditor = nullptr;
  int typedGroupLastCharacter = 0;
  std::int64_t typedGroupSince = 0;

  // Above 0 while the plugin's own code runs: insertions then are the plugin's.
  int pluginDepth = 0;
};

DispatcherState g_state;

constexpr DispatchedHelpers kShippedHelpers = {
    ApplyEditorSettings,
    UpdateHighlightColor,
    ScheduleFormat,
    FlushScheduledFormat,
    OnDigitTyped,
    OnQuoteTyped,
    OnPlusTyped,
    OnLineBreakStringHelpers,
    OnLineBreakCommentHelpers,
    OnLineBreakCodeHelpers,
    OnFormFeedTyped,
    FollowOptionChanges,
    ReleaseEditorKeys,
};
DispatchedHelpers g_helpers = kShippedHelpers;

constexpr int kDoubleQuote = '"';
constexpr int kPlus = '+';
constexpr int kLineFeed = '\n';
constexpr int kCarriageReturn = '\r';
constexpr int kFormFeed = '\f';  // typed only by the key the Ctrl+D helper binds to it

// Held with Ctrl, these make the injected Ctrl+I another chord (Ctrl+Shift+I is no re-indent):
// they are released for the injection and pressed again after it, for the user still holds them.
// Sides apart, as the keyboard reports them; the right Alt and the Windows keys are extended.
struct ChordBreakingKey {
  int virtualKey;
  std::uint32_t flags;
};
constexpr std::array<ChordBreakingKey, 6> kChordBreakingKeys = {{
    {os::kVK_LSHIFT, 0},
    {os::kVK_RSHIFT, 0},
    {os::kVK_LMENU, 0},
    {os::kVK_RMENU, os::kKEYEVENTF_EXTENDEDKEY},
    {os::kVK_LWIN, os::kKEYEVENTF_EXTENDEDKEY},
    {os::kVK_RWIN, os::kKEYEVENTF_EXTENDEDKEY},
}};

struct PluginCodeScope {
  PluginCodeScope() { ++g_state.pluginDepth; }
  ~PluginCodeScope() { --g_state.pluginDepth; }
  PluginCodeScope(const PluginCodeScope&) = delete;
  PluginCodeScope& operator=(const PluginCodeScope&) = delete;
};

HookContext ContextForEditor(const HookContext& context, os::Window editor) {
  HookContext other = context;
  other.editor = editor;
  other.notification = nullptr;
  return other;
}

// A user's insertion that the helpers may answer at once: a line end, a quote, a plus, a digit,
// a form feed.
bool OpensTypedGroup(const char* text, std::int32_t length) {
  if (text == nullptr || length < 1 || length > 2) return false;
  if (length == 2) return text[0] == '\r' && text[1] == '\n';
  const char c = text[0];
  return c == '\r' || c == '\n' || c == '"' || c == '+' || (c >= '0' && c <= '9') || c == '\f';
}

void CloseTypedGroup(const HookContext& context) {
  if (!g_state.typedGroupOpen) return;
  g_state.typedGroupOpen = false;
  SciSend(ContextForEditor(context, g_state.typedGroupEditor), sci::SCI_ENDUNDOACTION);
}

// The state changes before any message is sent: every message comes back through the hook.
// Without a re-indent the lines the sequence selected are still selected, hidden: the selection
// is put back as it was, or the next key the user types would replace those lines. The caret
// anchor then names the same place (the indentation did not change) or the one its helper meant.
void EndReindentSequence(const HookContext& context, bool reindented) {
  const HookContext editor = ContextForEditor(context, g_state.reindentEditor);
  g_state.reindentState = 0;
  g_state.reindentEditor = nullptr;
  if (!reindented) {
    SciSend(editor, sci::SCI_SETSEL, static_cast<std::uintptr_t>(g_state.anchorBeforeReindent),
            static_cast<std::intptr_t>(g_state.caretBeforeReindent));
  }
  ApplyCaretAnchor(editor);
  SciSend(editor, sci::SCI_HIDESELECTION, 0);
  SciSend(editor, sci::SCI_ENDUNDOACTION);
}

// The IDE may never answer: the keys went to another window, the editor closed, the text did
// not change. Nothing the plugin opened may then stay open.
void EndWhatWaitedTooLong(const HookContext& context) {
  const std::int64_t now = os::MillisecondClock();
  if (g_state.reindentState != 0 && now - g_state.reindentSince > kIdeAnswerTimeoutMs) {
    if (g_state.reindentState >= 2) {
      EndReindentSequence(context, g_state.reindentState == 3);
    } else {
      g_state.anchorLine = g_state.anchorOffset = -1;
      g_state.reindentState = 0;  // armed, but no update came: nothing was opened yet
      g_state.reindentEditor = nullptr;
    }
  }
  if (g_state.typedGroupOpen && now - g_state.typedGroupSince > kIdeAnswerTimeoutMs) {
    CloseTypedGroup(context);
  }
}

void OnModified(const HookContext& context, const sci::Notification& notification) {
  const int type = notification.modificationType;
  if ((type & sci::SC_PERFORMED_USER) != 0) {
    if ((type & sci::SC_MOD_INSERTTEXT) != 0) {
      g_state.lastInsertPosition = notification.position;
      g_state.lastInsertLines = notification.linesAdded;
      g_state.lastInsertEditor = context.editor;
      g_state.insertionUnanswered = true;
      g_state.lastInsertEndsWithCrLf = notification.text != nullptr && notification.length >= 2 &&
                                       notification.text[notification.length - 2] == '\r' &&
                                       notification.text[notification.length - 1] == '\n';
    }
    if ((type & sci::SC_MOD_BEFOREINSERT) != 0 && g_state.pluginDepth == 0 &&
        !g_state.typedGroupOpen && g_state.reindentState < 2 &&
        OpensTypedGroup(notification.text, notification.length)) {
      g_state.typedGroupOpen = true;
      g_state.typedGroupEditor = context.editor;
      g_state.typedGroupLastCharacter =
          static_cast<unsigned char>(notification.text[notification.length - 1]);
      g_state.typedGroupSince = os::MillisecondClock();
      SciSend(context, sci::SCI_BEGINUNDOACTION);
    }
  } else {
    g_state.lastInsertPosition = -1;
    g_state.lastInsertLines = -1;
    g_state.lastInsertEndsWithCrLf = false;
    g_state.lastInsertEditor = nullptr;
    g_state.insertionUnanswered = false;
  }
}

void OnCharacterAdded(const HookContext& context, const sci::Notification& notification) {
  PluginCodeScope scope;
  CharacterEvent event;
  event.ch = notification.ch;
  event.pos = g_state.lastInsertEditor == context.editor ? g_state.lastInsertPosition : -1;
  const std::int64_t at = event.pos >= 0 ? event.pos : SciSend(context, sci::SCI_GETCURRENTPOS);
  event.line = SciSend(context, sci::SCI_LINEFROMPOSITION, static_cast<std::uintptr_t>(at));
  event.lineStart =
      SciSend(context, sci::SCI_POSITIONFROMLINE, static_cast<std::uintptr_t>(event.line));
  event.lineEnd =
      SciSend(context, sci::SCI_GETLINEENDPOSITION, static_cast<std::uintptr_t>(event.line));
  event.interval = TypingInterval(event.ch);

  const int ch = event.ch;
  if (ch >= 9 && ch <= 127) g_helpers.scheduleFormat(context, event.line, event.line, true);

  // Enter in CR LF mode reports 13 and then 10: the line-break helpers act once, on the last.
  const bool lineFeedFollows = ch == kCarriageReturn && g_state.lastInsertEndsWithCrLf;
  if (ch >= '0' && ch <= '9') {
    g_helpers.onDigitTyped(context, event);
  } else if (ch == kDoubleQuote) {
    g_helpers.onQuoteTyped(context, event);
  } else if (ch == kPlus) {
    g_helpers.onPlusTyped(context, event);
  } else if (ch == kFormFeed) {
    g_helpers.onFormFeedTyped(context, event);
  } else if (!lineFeedFollows &&
             (ch == kLineFeed || ch == kCarriageReturn || g_state.lastInsertLines == 1)) {
    g_helpers.onLineBreakStringHelpers(context, event);
    g_helpers.onLineBreakCommentHelpers(context, event);
    g_helpers.onLineBreakCodeHelpers(context, event);
  }

  if (g_state.typedGroupOpen && g_state.typedGroupEditor == context.editor &&
      g_state.typedGroupLastCharacter == ch) {
    CloseTypedGroup(context);
  }
  g_state.insertionUnanswered = false;
}

void OnUpdateUi(const HookContext& context, const sci::Notification& notification) {
  PluginCodeScope scope;
  // Whatever the typed character's helpers did is one step; what follows is a step of its own.
  CloseTypedGroup(context);
  if ((notification.updated & sci::SC_UPDATE_CONTENT) != 0) ReadKeyState(os::kVK_CONTROL);
  g_helpers.followOptionChanges(context);
  g_helpers.updateHighlightColor(context);
  AdvanceReindentSequence(context);
  g_helpers.flushScheduledFormat(context);
  ApplyCaretShift(context);
  g_state.insertionUnanswered = false;
}

// A paste with no text on the clipboard (empty, or an image) inserts nothing: the last
// insertion is then an older one, perhaps of another editor, and the paste has nothing to format.
void OnPaste(const HookContext& context) {
  PluginCodeScope scope;
  const bool inserted = g_state.insertionUnanswered && g_state.lastInsertEditor == context.editor &&
                        g_state.lastInsertPosition >= 0;
  g_state.insertionUnanswered = false;
  if (!inserted || SciSend(context, sci::SCI_CANPASTE) == 0) return;
  if (GetPluginSetting(context, "CodeBeautifier", "AutoindentPaste") == 0) return;
  const std::int64_t first = SciSend(context, sci::SCI_LINEFROMPOSITION,
                                     static_cast<std::uintptr_t>(g_state.lastInsertPosition));
  const std::int64_t last = first + std::max<std::int64_t>(g_state.lastInsertLines, 0);
  g_helpers.scheduleFormat(context, first, last, true);
  ReindentSequence(context, first, last);
  AnchorCaretToIndent(context, last, SciSend(context, sci::SCI_GETCURRENTPOS), true);
}

// Most messages of the IDE's thread are none of the plugin's business: once the IDE is known,
// and while nothing waits for the IDE, only these three message numbers lead anywhere.
bool NothingToDo(const os::CallWndRetRecord& record) {
  return record.message != os::kWM_NOTIFY && record.message != os::kWM_DESTROY &&
         record.message != sci::SCI_PASTE && g_state.reindentState == 0 &&
         !g_state.typedGroupOpen && KnownIdeWindow() != nullptr;
}

void Dispatch(int code, os::WParam wParam, const os::CallWndRetRecord& record) {
  if (NothingToDo(record)) return;
  const SettingsCallScope settings;
  HookContext context;
  context.hookCode = code;
  context.wParam = static_cast<std::int64_t>(wParam);
  context.message = &record;
  SetupCallContext(context, record.hwnd, record.message, record.wParam, record.lParam);

  const sci::Notification* notification = context.notification;
  const bool insideModification =
      notification != nullptr && notification->nmhdr.code == sci::SCN_MODIFIED;
  if ((g_state.reindentState != 0 || g_state.typedGroupOpen) && !insideModification) {
    EndWhatWaitedTooLong(context);
  }

  if (notification != nullptr && context.editor != nullptr) {
    switch (notification->nmhdr.code) {
      case sci::SCN_FOCUSIN: {
        PluginCodeScope scope;
        g_helpers.applyEditorSettings(context);
        break;
      }
      case sci::SCN_FOCUSOUT: {
        PluginCodeScope scope;
        g_helpers.onFocusOut(context);
        break;
      }
      case sci::SCN_MODIFIED:
        OnModified(context, *notification);
        break;
      case sci::SCN_CHARADDED:
        OnCharacterAdded(context, *notification);
        break;
      case sci::SCN_UPDATEUI:
        OnUpdateUi(context, *notification);
        break;
      default:  // SCN_AUTOCSELECTION and the rest: nothing
        break;
    }
  }

  if (record.message == sci::SCI_PASTE && record.hwnd != nullptr && record.hwnd == context.editor) {
    OnPaste(context);
  }
}

}  // namespace

std::int64_t ReadKeyState(int virtualKey) {
  if (virtualKey != 0) g_state.keyState = os::GetAsyncKeyState(virtualKey);
  return g_state.keyState;
}

std::int64_t TypingInterval(int ch) {
  ClearPendingQuote(ch);
  const std::int64_t now = os::MillisecondClock();
  if (!InTable(ch)) return now;
  std::int64_t& last = g_state.lastTypingTime[Index(ch)];
  const std::int64_t interval = now - last;
  last = now;
  return interval;
}

std::int64_t TypingGap(int ch, int other) {
  const auto last = [](int c) { return InTable(c) ? g_state.lastTypingTime[Index(c)] : 0; };
  return last(ch) - last(other);
}

void MarkPendingQuote(std::int64_t pos) {
  g_state.pendingQuoteFlag[kDoubleQuote] = 1;
  g_state.pendingQuotePosition[kDoubleQuote] = pos;
}

bool TakePendingQuote(std::int64_t pos) {
  const bool pending = g_state.pendingQuoteFlag[kDoubleQuote] != 0 &&
                       pos == g_state.pendingQuotePosition[kDoubleQuote] + 1;
  g_state.pendingQuoteFlag[kDoubleQuote] = 0;
  return pending;
}

void ClearPendingQuote(int ch) {
  if (InTable(ch)) g_state.pendingQuoteFlag[Index(ch)] = 0;
}

void DeferCaretShift(const HookContext&, std::int64_t offset) { g_state.caretShift = offset; }

void ApplyCaretShift(const HookContext& context) {
  if (g_state.caretShift == -1) return;
  const std::int64_t shift = g_state.caretShift;
  g_state.caretShift = -1;
  const std::int64_t caret = SciSend(context, sci::SCI_GETCURRENTPOS);
  SciSend(context, sci::SCI_GOTOPOS,
          static_cast<std::uintptr_t>(std::max<std::int64_t>(caret + shift, 0)));
}

void AnchorCaretToIndent(const HookContext& context, std::int64_t line, std::int64_t position,
                         bool relative) {
  g_state.anchorLine = line;
  g_state.anchorOffset = relative ? position - SciSend(context, sci::SCI_GETLINEINDENTPOSITION,
                                                       static_cast<std::uintptr_t>(line))
                                  : position;
}

void ApplyCaretAnchor(const HookContext& context) {
  if (g_state.anchorLine == -1) return;
  const std::int64_t anchorLine = g_state.anchorLine;
  const std::int64_t offset = g_state.anchorOffset;
  g_state.anchorLine = g_state.anchorOffset = -1;
  const std::int64_t indent =
      SciSend(context, sci::SCI_GETLINEINDENTPOSITION, static_cast<std::uintptr_t>(anchorLine));
  SciSend(context, sci::SCI_GOTOPOS,
          static_cast<std::uintptr_t>(std::max<std::int64_t>(indent + offset, 0)));
}

void SendIndentShortcut(const HookContext& context, std::int64_t firstLine, std::int64_t lastLine) {
  const std::intptr_t anchor =
      SciSend(context, sci::SCI_POSITIONFROMLINE, static_cast<std::uintptr_t>(firstLine));
  const std::intptr_t caret =
      SciSend(context, sci::SCI_GETLINEENDPOSITION, static_cast<std::uintptr_t>(lastLine));
  SciSend(context, sci::SCI_SETSEL, static_cast<std::uintptr_t>(anchor), caret);
  const bool ctrlHeld = ReadKeyState(os::kVK_CONTROL) != 0;
  // Ctrl goes down first: a lone Alt or Windows key released without another key in between
  // would open the window menu or the start menu.
  if (!ctrlHeld) os::KeybdEvent(os::kVK_CONTROL, 0, 0);
  std::array<bool, kChordBreakingKeys.size()> released{};
  for (std::size_t i = 0; i < kChordBreakingKeys.size(); ++i) {
    const ChordBreakingKey& key = kChordBreakingKeys[i];
    released[i] = os::GetAsyncKeyState(key.virtualKey) < 0;
    if (released[i]) {
      os::KeybdEvent(static_cast<std::uint8_t>(key.virtualKey), 0,
                     key.flags | os::kKEYEVENTF_KEYUP);
    }
  }
  os::KeybdEvent(os::kVK_I, 0, 0);
  os::KeybdEvent(os::kVK_I, 0, os::kKEYEVENTF_KEYUP);
  for (std::size_t i = kChordBreakingKeys.size(); i-- > 0;) {
    const ChordBreakingKey& key = kChordBreakingKeys[i];
    if (released[i]) os::KeybdEvent(static_cast<std::uint8_t>(key.virtualKey), 0, key.flags);
  }
  if (!ctrlHeld) os::KeybdEvent(os::kVK_CONTROL, 0, os::kKEYEVENTF_KEYUP);
}

void ReindentSequence(const HookContext& context, std::int64_t firstLine, std::int64_t lastLine) {
  if (g_state.reindentState != 0) return;  // a running sequence is not restarted
  g_state.reindentState = 1;
  g_state.reindentFirst = firstLine;
  g_state.reindentLast = lastLine;
  g_state.reindentEditor = context.editor;
  g_state.reindentSince = os::MillisecondClock();
}

void AdvanceReindentSequence(const HookContext& context) {
  if (g_state.reindentState == 0) return;
  // The sequence belongs to the editor it was armed for; another editor's updates do not move it.
  if (context.editor != g_state.reindentEditor) return;
  const int updated = context.notification != nullptr ? context.notification->updated : 0;
  switch (g_state.reindentState) {
    case 1:
      g_state.reindentState = 2;
      g_state.reindentSince = os::MillisecondClock();
      SciSend(context, sci::SCI_BEGINUNDOACTION);
      SciSend(context, sci::SCI_HIDESELECTION, 1);
      g_helpers.flushScheduledFormat(context);
      g_state.anchorBeforeReindent = SciSend(context, sci::SCI_GETANCHOR);
      g_state.caretBeforeReindent = SciSend(context, sci::SCI_GETCURRENTPOS);
      SendIndentShortcut(context, g_state.reindentFirst, g_state.reindentLast);
      break;
    case 2:
      if ((updated & sci::SC_UPDATE_CONTENT) != 0) {
        g_state.reindentState = 3;
        const std::intptr_t caret = SciSend(context, sci::SCI_GETCURRENTPOS);
        const std::intptr_t line =
            SciSend(context, sci::SCI_LINEFROMPOSITION, static_cast<std::uintptr_t>(caret));
        SciSend(context, sci::SCI_GOTOPOS,
                static_cast<std::uintptr_t>(SciSend(context, sci::SCI_POSITIONFROMLINE,
                                                    static_cast<std::uintptr_t>(line))));
      }
      break;
    case 3:
      if ((updated & sci::SC_UPDATE_SELECTION) != 0) {
        EndReindentSequence(context, true);
      }
      break;
    default:
      g_state.reindentState = 0;
      break;
  }
}

std::int64_t LastInsertionPosition() { return g_state.lastInsertPosition; }
std::int64_t LastInsertionLines() { return g_state.lastInsertLines; }
int ReindentSequenceState() { return g_state.reindentState; }
bool TypedUndoGroupOpen() { return g_state.typedGroupOpen; }

void ResetDispatcherState() { g_state = DispatcherState{}; }

void ForgetDispatcherEditor(os::Window editor) {
  if (editor == nullptr) return;
  if (g_state.lastInsertEditor == editor) {
    g_state.lastInsertEditor = nullptr;
    g_state.lastInsertPosition = -1;
    g_state.lastInsertLines = -1;
    g_state.insertionUnanswered = false;
  }
  if (g_state.reindentEditor == editor) {
    g_state.reindentState = 0;
    g_state.reindentEditor = nullptr;
    g_state.reindentFirst = g_state.reindentLast = -1;
  }
  if (g_state.typedGroupEditor == editor) {
    g_state.typedGroupOpen = false;
    g_state.typedGroupEditor = nullptr;
  }
}

void AppendDispatcherEditors(std::vector<os::Window>& editors) {
  editors.push_back(g_state.lastInsertEditor);
  editors.push_back(g_state.reindentEditor);
  editors.push_back(g_state.typedGroupEditor);
}

DispatchedHelpers& DispatchedHelperTable() { return g_helpers; }
const DispatchedHelpers& ShippedHelpers() { return kShippedHelpers; }

namespace zentrel {

os::LResult VORPEX_STDCALL OnHookCallbackComplete(int code, os::WParam wParam,
                                                  os::LParam lParam) noexcept {
  if (code == os::kHC_ACTION && lParam != 0) {
    try {
      Dispatch(code, wParam, *reinterpret_cast<const os::CallWndRetRecord*>(lParam));
    } catch (...) {
      // Nothing may leave the hook: the IDE would lose the user's work. A group this call had
      // opened is closed by the next update or by the timeout.
    }
  }
  return os::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace zentrel
