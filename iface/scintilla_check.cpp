// Holds every number of iface/scintilla.h against Scintilla's own enums, at compile time: a
// wrong number fails the build here instead of passing every headless test, where the stand-in
// and the plugin would share the mistake.
#include <cstdint>

// Scintilla's headers, in the order they need.
// clang-format off
#include "ScintillaTypes.h"
#include "ScintillaMessages.h"
// clang-format on

#include "iface/scintilla.h"

namespace {

namespace sc = Scintilla;

#define VORPEX_CHECK_MESSAGE(name, enumName, number)                            \
  static_assert(sci::name == static_cast<std::uint32_t>(sc::Message::enumName), \
                #name " differs from Scintilla's Message::" #enumName);
VORPEX_SCINTILLA_MESSAGES(VORPEX_CHECK_MESSAGE)
#undef VORPEX_CHECK_MESSAGE

#define VORPEX_CHECK_NOTIFICATION(name, enumName, number)                            \
  static_assert(sci::name == static_cast<std::uint32_t>(sc::Notification::enumName), \
                #name " differs from Scintilla's Notification::" #enumName);
VORPEX_SCINTILLA_NOTIFICATIONS(VORPEX_CHECK_NOTIFICATION)
#undef VORPEX_CHECK_NOTIFICATION

template <typename Enum>
constexpr int Value(Enum value) {
  return static_cast<int>(value);
}

static_assert(sci::SCFIND_REGEXP == static_cast<std::uint32_t>(sc::FindOption::RegExp));
static_assert(sci::SCFIND_POSIX == static_cast<std::uint32_t>(sc::FindOption::Posix));
static_assert(sci::SCFIND_CXX11REGEX == static_cast<std::uint32_t>(sc::FindOption::Cxx11RegEx));

static_assert(sci::SC_MOD_INSERTTEXT == Value(sc::ModificationFlags::InsertText));
static_assert(sci::SC_MOD_DELETETEXT == Value(sc::ModificationFlags::DeleteText));
static_assert(sci::SC_PERFORMED_USER == Value(sc::ModificationFlags::User));
static_assert(sci::SC_PERFORMED_UNDO == Value(sc::ModificationFlags::Undo));
static_assert(sci::SC_PERFORMED_REDO == Value(sc::ModificationFlags::Redo));
static_assert(sci::SC_MOD_BEFOREINSERT == Value(sc::ModificationFlags::BeforeInsert));
static_assert(sci::SC_MOD_BEFOREDELETE == Value(sc::ModificationFlags::BeforeDelete));
static_assert(sci::SC_STARTACTION == Value(sc::ModificationFlags::StartAction));
static_assert(sci::SC_MOD_INSERTCHECK == Value(sc::ModificationFlags::InsertCheck));
static_assert(sci::SC_MODEVENTMASKALL == Value(sc::ModificationFlags::EventMaskAll));

static_assert(sci::SC_UPDATE_CONTENT == Value(sc::Update::Content));
static_assert(sci::SC_UPDATE_SELECTION == Value(sc::Update::Selection));

static_assert(sci::SC_EOL_CRLF == Value(sc::EndOfLine::CrLf));
static_assert(sci::SC_EOL_CR == Value(sc::EndOfLine::Cr));
static_assert(sci::SC_EOL_LF == Value(sc::EndOfLine::Lf));

static_assert(sci::INDIC_PLAIN == Value(sc::IndicatorStyle::Plain));
static_assert(sci::INDIC_ROUNDBOX == Value(sc::IndicatorStyle::RoundBox));

static_assert(sci::SC_MULTIPASTE_ONCE == Value(sc::MultiPaste::Once));
static_assert(sci::SC_MULTIPASTE_EACH == Value(sc::MultiPaste::Each));
static_assert(sci::SC_CP_UTF8 == sc::CpUtf8);

}  // namespace
