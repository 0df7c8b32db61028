// Editor access: every read and change of an IDE editor is one Scintilla message sent to it.

#include "plugin/editor_access.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "core/ascii.h"
#include "iface/scintilla.h"

namespace {

// The IDE's text-to-find record holds 32-bit positions: a range beyond them is clamped rather
// than wrapped into an unrelated one.
std::int32_t ToRecordPosition(std::int64_t position) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(position, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max()));
}

// No group can be longer than the document; this bounds the buffer should the editor answer
// nonsense.
constexpr std::intptr_t kLongestTag = 16 * 1024 * 1024;

}  // namespace

std::intptr_t SciSend(const HookContext& context, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) {
  if (context.editor == nullptr) return 0;
  return os::SendMessage(context.editor, message, wParam, lParam);
}

FoundText SciFindText(const HookContext& context, bool useRegex, const std::string& pattern,
                      std::int64_t start, std::int64_t end) {
  if (context.editor == nullptr) return FoundText{};
  sci::TextToFind request{};
  request.chrg.cpMin = ToRecordPosition(start);
  request.chrg.cpMax = ToRecordPosition(end);
  request.lpstrText = pattern.c_str();
  // The editor fills the match range; a window that is gone answers 0 and leaves it untouched.
  request.chrgText.cpMin = -1;
  request.chrgText.cpMax = -1;
  const std::uintptr_t flags = useRegex ? (sci::SCFIND_REGEXP | sci::SCFIND_POSIX) : 0;
  const std::intptr_t found =
      SciSend(context, sci::SCI_FINDTEXT, flags, reinterpret_cast<std::intptr_t>(&request));
  if (found < 0 || request.chrgText.cpMin < 0 || request.chrgText.cpMax < request.chrgText.cpMin) {
    return FoundText{};
  }
  return FoundText{static_cast<std::int64_t>(found), request.chrgText.cpMax};
}

std::int64_t SciFindInRange(const HookContext& context, bool useRegex, const std::string& pattern,
                            std::int64_t start, std::int64_t end) {
  const FoundText found = SciFindText(context, useRegex, pattern, start, end);
  if (found.start < 0) return -1;
  SciSend(context, sci::SCI_SETTARGETSTART, static_cast<std::uintptr_t>(found.start));
  SciSend(context, sci::SCI_SETTARGETEND, static_cast<std::uintptr_t>(found.end));
  return found.start;
}

void SciReplaceRange(const HookContext& context, bool useTemplate, const std::string& text,
                     std::int64_t start, std::int64_t end) {
  if (context.editor == nullptr) return;
  SciSend(context, sci::SCI_SETTARGETSTART, static_cast<std::uintptr_t>(start));
  SciSend(context, sci::SCI_SETTARGETEND, static_cast<std::uintptr_t>(end));
  SciSend(context, useTemplate ? sci::SCI_REPLACETARGETRE : sci::SCI_REPLACETARGET,
          static_cast<std::uintptr_t>(-1), reinterpret_cast<std::intptr_t>(text.c_str()));
}

std::string SciGetTag(const HookContext& context, int group) {
  if (context.editor == nullptr || group < 1 || group > 9) return std::string();
  // Ask for the group's length first, so that no group overflows the buffer.
  const std::intptr_t length =
      SciSend(context, sci::SCI_GETTAG, static_cast<std::uintptr_t>(group), 0);
  if (length <= 0 || length > kLongestTag) return std::string();
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
  SciSend(context, sci::SCI_GETTAG, static_cast<std::uintptr_t>(group),
          reinterpret_cast<std::intptr_t>(buffer.data()));
  buffer.back() = '\0';
  return std::string(buffer.data());
}

bool LineMatches(const HookContext& context, std::int64_t line, const char* pattern) {
  if (line < 0 || line >= SciSend(context, sci::SCI_GETLINECOUNT)) return false;
  return SciFindInRange(context, true, pattern, LineStart(context, line), LineEnd(context, line)) >=
         0;
}

std::int64_t CaretPosition(const HookContext& context) {
  return SciSend(context, sci::SCI_GETCURRENTPOS);
}

std::int64_t CaretLine(const HookContext& context) {
  return SciSend(context, sci::SCI_LINEFROMPOSITION, CaretPosition(context));
}

std::int64_t LineStart(const HookContext& context, std::int64_t line) {
  return SciSend(context, sci::SCI_POSITIONFROMLINE, line);
}

std::int64_t LineEnd(const HookContext& context, std::int64_t line) {
  return SciSend(context, sci::SCI_GETLINEENDPOSITION, line);
}

std::int64_t LineIndentPosition(const HookContext& context, std::int64_t line) {
  return SciSend(context, sci::SCI_GETLINEINDENTPOSITION, line);
}

int StyleAt(const HookContext& context, std::int64_t position) {
  return static_cast<int>(SciSend(context, sci::SCI_GETSTYLEAT, position));
}

int CharAt(const HookContext& context, std::int64_t position) {
  // SCI_GETCHARAT answers a signed char; the helpers compare byte values.
  return static_cast<int>(SciSend(context, sci::SCI_GETCHARAT, position) & 0xFF);
}

void InsertText(const HookContext& context, std::int64_t position, const std::string& text) {
  SciReplaceRange(context, false, text, position, position);
}

void InsertTemplate(const HookContext& context, std::int64_t position, const std::string& text) {
  SciReplaceRange(context, true, text, position, position);
}

std::string DocumentLineEnd(const HookContext& context) {
  switch (SciSend(context, sci::SCI_GETEOLMODE)) {
    case sci::SC_EOL_CR:
      return "\r";
    case sci::SC_EOL_LF:
      return "\n";
    default:
      return "\r\n";
  }
}

std::intptr_t HasGadgetId(os::Window window) {
  if (window == nullptr) return 0;
  return os::GetProp(window, "PB_ID");
}

os::Window FindIdeWindow(os::Window window) {
  if (HasGadgetId(window) == 0) return nullptr;
  return os::GetRootAncestor(window);
}

std::string GetLowerClassName(os::Window window) {
  if (window == nullptr) return std::string();
  return core::AsciiToLower(os::GetClassName(window, 1000));
}

bool IsEditorWindow(os::Window window) { return GetLowerClassName(window) == "scintilla"; }
