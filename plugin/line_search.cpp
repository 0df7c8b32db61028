#include "plugin/line_search.h"

#include "plugin/editor_access.h"

bool LineMatches(const HookContext& context, std::int64_t line, const char* pattern) {
  if (line < 0 || line >= SciSend(context, sci::SCI_GETLINECOUNT)) return false;
  return SciFindInRange(context, true, pattern, LineStart(context, line), LineEnd(context, line),
                        false) != 0;
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
    case sci::SC_EOL_CR: return "\r";
    case sci::SC_EOL_LF: return "\n";
    default: return "\r\n";
  }
}
