// The live run's probe: a small library that the runner loads into the IDE process with a
// WH_GETMESSAGE hook on the IDE's GUI thread. There it creates a hidden window of its own, through
// which the runner does what needs a pointer or the IDE's own thread: set and read an editor's
// text, read the IDE's environment, move the keyboard focus, switch editor tabs, fill the
// clipboard, and drop a key chord that the IDE is to ignore. It also tells when the IDE's queue is
// empty, and which of the runner's key presses the IDE has taken from its queue.
//
// Requests are WM_COPYDATA messages to the probe window (dwData = a ProbeRequest, the bytes its
// argument); an answer with text comes back as WM_COPYDATA to the window named in wParam, before
// the request returns; a request returns 1 when it was carried out.
#pragma once

#include <cstdint>

namespace live {

constexpr wchar_t kProbeWindowClass[] = L"VorpexLiveProbe";
constexpr char kProbeHookExport[] = "LiveProbeHook";

// The extra information that marks the runner's synthesised input: the low 24 bits count the
// presses, so the probe can report the last press it has seen. The mark fits the 32 bits that
// the extra information holds in a 32-bit process.
constexpr std::uint32_t kInputMarkBase = 0x5A000000u;
constexpr std::uint32_t kInputMarkMask = 0xFF000000u;
constexpr std::uint32_t kInputCountMask = 0x00FFFFFFu;

enum class ProbeRequest : std::uint32_t {
  kState = 1,     // answer: "busy caret anchor\n" + the active editor's text
  kSetText,       // argument: "caret\n" + text; sets the text, empties the undo history
  kEnvironment,   // argument: a name; answer: "1" + value, or "0" when unset
  kFocus,         // the active editor receives the keyboard focus (losing it first)
  kNewEditor,     // File > New: a new editor tab, active and focused
  kSelectEditor,  // argument: the tab index; the tab is clicked
  kIgnoreKey,     // argument: "virtualKey ctrl" (decimal); that chord is dropped from now on
  kLastInput,     // returns (as the result) the count of the last marked press taken
  kEditorCount,   // returns the number of editor tabs
  kPaste,         // argument: text; put on the clipboard, then Edit > Paste
  kSetClipboard,  // argument: text for the clipboard; empty: a clipboard with no text
};

}  // namespace live
