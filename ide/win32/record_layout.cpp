// The editors must report with the IDE's notification record. Scintilla.dll is built from headers
// narrowed to that record; this checks, at compile time, that the header the IDE is built with
// lays SCNotification out exactly as the declaration in iface/scintilla.h does.
// clang-format off
#include <cstddef>

#include "iface/scintilla.h"  // before Scintilla.h, whose message macros share its names

#include <windows.h>

#include <Scintilla.h>
// clang-format on

namespace standin {
namespace {

#define STANDIN_SAME_FIELD(field)                                                        \
  static_assert(offsetof(SCNotification, field) == offsetof(sci::Notification, field) && \
                    sizeof(SCNotification::field) == sizeof(sci::Notification::field),   \
                "SCNotification::" #field " differs from the IDE's notification record")

static_assert(sizeof(SCNotification) == sizeof(sci::Notification),
              "SCNotification differs in size from the IDE's notification record");
static_assert(offsetof(SCNotification, nmhdr.hwndFrom) ==
              offsetof(sci::Notification, nmhdr.hwndFrom));
static_assert(offsetof(SCNotification, nmhdr.idFrom) == offsetof(sci::Notification, nmhdr.idFrom));
static_assert(offsetof(SCNotification, nmhdr.code) == offsetof(sci::Notification, nmhdr.code));
STANDIN_SAME_FIELD(position);
STANDIN_SAME_FIELD(ch);
STANDIN_SAME_FIELD(modifiers);
STANDIN_SAME_FIELD(modificationType);
STANDIN_SAME_FIELD(text);
STANDIN_SAME_FIELD(length);
STANDIN_SAME_FIELD(linesAdded);
STANDIN_SAME_FIELD(message);
STANDIN_SAME_FIELD(wParam);
STANDIN_SAME_FIELD(lParam);
STANDIN_SAME_FIELD(line);
STANDIN_SAME_FIELD(foldLevelNow);
STANDIN_SAME_FIELD(foldLevelPrev);
STANDIN_SAME_FIELD(margin);
STANDIN_SAME_FIELD(listType);
STANDIN_SAME_FIELD(x);
STANDIN_SAME_FIELD(y);
STANDIN_SAME_FIELD(token);
STANDIN_SAME_FIELD(annotationLinesAdded);
STANDIN_SAME_FIELD(updated);
STANDIN_SAME_FIELD(listCompletionMethod);
STANDIN_SAME_FIELD(characterSource);

// The record on each word size: the narrowed fields are 32-bit on both, pointers and the message
// parameters follow the word size.
constexpr bool kWin64 = sizeof(void*) == 8;
static_assert(sizeof(SCNotification) == (kWin64 ? 128 : 100));
static_assert(offsetof(SCNotification, position) == (kWin64 ? 24 : 12));
static_assert(offsetof(SCNotification, text) == (kWin64 ? 40 : 28));
static_assert(offsetof(SCNotification, length) == (kWin64 ? 48 : 32));
static_assert(offsetof(SCNotification, wParam) == (kWin64 ? 64 : 44));
static_assert(offsetof(SCNotification, line) == (kWin64 ? 80 : 52));
static_assert(offsetof(SCNotification, annotationLinesAdded) == (kWin64 ? 112 : 84));
static_assert(offsetof(SCNotification, characterSource) == (kWin64 ? 124 : 96));

// The find record keeps its 32-bit range on Win64.
static_assert(sizeof(Sci_TextToFind) == sizeof(sci::TextToFind));
static_assert(offsetof(Sci_TextToFind, lpstrText) == offsetof(sci::TextToFind, lpstrText));
static_assert(offsetof(Sci_TextToFind, chrgText) == offsetof(sci::TextToFind, chrgText));

#undef STANDIN_SAME_FIELD

}  // namespace
}  // namespace standin
