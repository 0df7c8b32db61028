// The editor's interface as data: the Scintilla messages and notifications that the plugin, the
// IDE stand-ins and the tools exchange, the flags they carry, and the IDE's records. Every number
// is declared here once; iface/scintilla_check.cpp holds each against Scintilla's own enums.
//
// The IDE's notification record has 32-bit positions and counts (Scintilla 5's published header
// makes them pointer-sized); the text-to-find record has a 32-bit range on every platform. The
// headless editor uses these declarations, and the Win32 stand-in checks its narrowed header
// against them at compile time.
#pragma once

#include <cstdint>
#include <string_view>

#include "os/os.h"

// X(name in Scintilla.h, name in Scintilla's Message enum, number)
#define VORPEX_SCINTILLA_MESSAGES(X)                                      \
  X(SCI_ADDTEXT, AddText, 2001)                                           \
  X(SCI_INSERTTEXT, InsertText, 2003)                                     \
  X(SCI_CLEARALL, ClearAll, 2004)                                         \
  X(SCI_GETLENGTH, GetLength, 2006)                                       \
  X(SCI_GETCHARAT, GetCharAt, 2007)                                       \
  X(SCI_GETCURRENTPOS, GetCurrentPos, 2008)                               \
  X(SCI_GETANCHOR, GetAnchor, 2009)                                       \
  X(SCI_GETSTYLEAT, GetStyleAt, 2010)                                     \
  X(SCI_REDO, Redo, 2011)                                                 \
  X(SCI_SETUNDOCOLLECTION, SetUndoCollection, 2012)                       \
  X(SCI_SELECTALL, SelectAll, 2013)                                       \
  X(SCI_SETSAVEPOINT, SetSavePoint, 2014)                                 \
  X(SCI_CANREDO, CanRedo, 2016)                                           \
  X(SCI_GETUNDOCOLLECTION, GetUndoCollection, 2019)                       \
  X(SCI_GOTOPOS, GotoPos, 2025)                                           \
  X(SCI_SETANCHOR, SetAnchor, 2026)                                       \
  X(SCI_GETCURLINE, GetCurLine, 2027)                                     \
  X(SCI_GETENDSTYLED, GetEndStyled, 2028)                                 \
  X(SCI_GETEOLMODE, GetEOLMode, 2030)                                     \
  X(SCI_SETEOLMODE, SetEOLMode, 2031)                                     \
  X(SCI_STARTSTYLING, StartStyling, 2032)                                 \
  X(SCI_SETSTYLING, SetStyling, 2033)                                     \
  X(SCI_SETTABWIDTH, SetTabWidth, 2036)                                   \
  X(SCI_SETCODEPAGE, SetCodePage, 2037)                                   \
  X(SCI_STYLESETFORE, StyleSetFore, 2051)                                 \
  X(SCI_STYLESETBACK, StyleSetBack, 2052)                                 \
  X(SCI_STYLESETBOLD, StyleSetBold, 2053)                                 \
  X(SCI_STYLESETITALIC, StyleSetItalic, 2054)                             \
  X(SCI_STYLESETUNDERLINE, StyleSetUnderline, 2059)                       \
  X(SCI_STYLESETCASE, StyleSetCase, 2060)                                 \
  X(SCI_ASSIGNCMDKEY, AssignCmdKey, 2070)                                 \
  X(SCI_CLEARCMDKEY, ClearCmdKey, 2071)                                   \
  X(SCI_SETSTYLINGEX, SetStylingEx, 2073)                                 \
  X(SCI_STYLESETVISIBLE, StyleSetVisible, 2074)                           \
  X(SCI_BEGINUNDOACTION, BeginUndoAction, 2078)                           \
  X(SCI_ENDUNDOACTION, EndUndoAction, 2079)                               \
  X(SCI_INDICSETSTYLE, IndicSetStyle, 2080)                               \
  X(SCI_INDICGETSTYLE, IndicGetStyle, 2081)                               \
  X(SCI_INDICSETFORE, IndicSetFore, 2082)                                 \
  X(SCI_INDICGETFORE, IndicGetFore, 2083)                                 \
  X(SCI_GETSELECTIONHIDDEN, GetSelectionHidden, 2088)                     \
  X(SCI_GETCARETLINEVISIBLE, GetCaretLineVisible, 2095)                   \
  X(SCI_SETCARETLINEVISIBLE, SetCaretLineVisible, 2096)                   \
  X(SCI_STYLESETCHANGEABLE, StyleSetChangeable, 2099)                     \
  X(SCI_GETTABWIDTH, GetTabWidth, 2121)                                   \
  X(SCI_SETINDENT, SetIndent, 2122)                                       \
  X(SCI_GETINDENT, GetIndent, 2123)                                       \
  X(SCI_SETUSETABS, SetUseTabs, 2124)                                     \
  X(SCI_GETUSETABS, GetUseTabs, 2125)                                     \
  X(SCI_SETLINEINDENTATION, SetLineIndentation, 2126)                     \
  X(SCI_GETLINEINDENTATION, GetLineIndentation, 2127)                     \
  X(SCI_GETLINEINDENTPOSITION, GetLineIndentPosition, 2128)               \
  X(SCI_GETCOLUMN, GetColumn, 2129)                                       \
  X(SCI_GETLINEENDPOSITION, GetLineEndPosition, 2136)                     \
  X(SCI_GETCODEPAGE, GetCodePage, 2137)                                   \
  X(SCI_SETCURRENTPOS, SetCurrentPos, 2141)                               \
  X(SCI_GETSELECTIONSTART, GetSelectionStart, 2143)                       \
  X(SCI_GETSELECTIONEND, GetSelectionEnd, 2145)                           \
  X(SCI_FINDTEXT, FindText, 2150)                                         \
  X(SCI_GETLINE, GetLine, 2153)                                           \
  X(SCI_GETLINECOUNT, GetLineCount, 2154)                                 \
  X(SCI_GETMODIFY, GetModify, 2159)                                       \
  X(SCI_SETSEL, SetSel, 2160)                                             \
  X(SCI_GETTEXTRANGE, GetTextRange, 2162)                                 \
  X(SCI_HIDESELECTION, HideSelection, 2163)                               \
  X(SCI_POINTXFROMPOSITION, PointXFromPosition, 2164)                     \
  X(SCI_POINTYFROMPOSITION, PointYFromPosition, 2165)                     \
  X(SCI_LINEFROMPOSITION, LineFromPosition, 2166)                         \
  X(SCI_POSITIONFROMLINE, PositionFromLine, 2167)                         \
  X(SCI_REPLACESEL, ReplaceSel, 2170)                                     \
  X(SCI_CANPASTE, CanPaste, 2173)                                         \
  X(SCI_CANUNDO, CanUndo, 2174)                                           \
  X(SCI_EMPTYUNDOBUFFER, EmptyUndoBuffer, 2175)                           \
  X(SCI_UNDO, Undo, 2176)                                                 \
  X(SCI_PASTE, Paste, 2179)                                               \
  X(SCI_CLEAR, Clear, 2180)                                               \
  X(SCI_SETTEXT, SetText, 2181)                                           \
  X(SCI_GETTEXT, GetText, 2182)                                           \
  X(SCI_GETTEXTLENGTH, GetTextLength, 2183)                               \
  X(SCI_SETCARETWIDTH, SetCaretWidth, 2188)                               \
  X(SCI_GETCARETWIDTH, GetCaretWidth, 2189)                               \
  X(SCI_SETTARGETSTART, SetTargetStart, 2190)                             \
  X(SCI_GETTARGETSTART, GetTargetStart, 2191)                             \
  X(SCI_SETTARGETEND, SetTargetEnd, 2192)                                 \
  X(SCI_GETTARGETEND, GetTargetEnd, 2193)                                 \
  X(SCI_REPLACETARGET, ReplaceTarget, 2194)                               \
  X(SCI_REPLACETARGETRE, ReplaceTargetRE, 2195)                           \
  X(SCI_SEARCHINTARGET, SearchInTarget, 2197)                             \
  X(SCI_SETSEARCHFLAGS, SetSearchFlags, 2198)                             \
  X(SCI_GETSEARCHFLAGS, GetSearchFlags, 2199)                             \
  X(SCI_SETTABINDENTS, SetTabIndents, 2260)                               \
  X(SCI_GETTABINDENTS, GetTabIndents, 2261)                               \
  X(SCI_AUTOCSETDROPRESTOFWORD, AutoCSetDropRestOfWord, 2270)             \
  X(SCI_AUTOCGETDROPRESTOFWORD, AutoCGetDropRestOfWord, 2271)             \
  X(SCI_TEXTHEIGHT, TextHeight, 2279)                                     \
  X(SCI_LINEDOWN, LineDown, 2300)                                         \
  X(SCI_LINEUP, LineUp, 2302)                                             \
  X(SCI_CHARLEFT, CharLeft, 2304)                                         \
  X(SCI_CHARRIGHT, CharRight, 2306)                                       \
  X(SCI_HOME, Home, 2312)                                                 \
  X(SCI_LINEEND, LineEnd, 2314)                                           \
  X(SCI_DOCUMENTSTART, DocumentStart, 2316)                               \
  X(SCI_DOCUMENTEND, DocumentEnd, 2318)                                   \
  X(SCI_DELETEBACK, DeleteBack, 2326)                                     \
  X(SCI_TAB, Tab, 2327)                                                   \
  X(SCI_NEWLINE, NewLine, 2329)                                           \
  X(SCI_FORMFEED, FormFeed, 2330)                                         \
  X(SCI_VCHOME, VCHome, 2331)                                             \
  X(SCI_LINELENGTH, LineLength, 2350)                                     \
  X(SCI_SETMODEVENTMASK, SetModEventMask, 2359)                           \
  X(SCI_GETMODEVENTMASK, GetModEventMask, 2378)                           \
  X(SCI_SETFOCUS, SetFocus, 2380)                                         \
  X(SCI_GETFOCUS, GetFocus, 2381)                                         \
  X(SCI_GETSTATUS, GetStatus, 2383)                                       \
  X(SCI_SETXCARETPOLICY, SetXCaretPolicy, 2402)                           \
  X(SCI_SETYCARETPOLICY, SetYCaretPolicy, 2403)                           \
  X(SCI_STYLESETHOTSPOT, StyleSetHotSpot, 2409)                           \
  X(SCI_POSITIONBEFORE, PositionBefore, 2417)                             \
  X(SCI_POSITIONAFTER, PositionAfter, 2418)                               \
  X(SCI_SELECTIONDUPLICATE, SelectionDuplicate, 2469)                     \
  X(SCI_STYLEGETFORE, StyleGetFore, 2481)                                 \
  X(SCI_STYLEGETBACK, StyleGetBack, 2482)                                 \
  X(SCI_STYLEGETBOLD, StyleGetBold, 2483)                                 \
  X(SCI_STYLEGETITALIC, StyleGetItalic, 2484)                             \
  X(SCI_STYLEGETUNDERLINE, StyleGetUnderline, 2488)                       \
  X(SCI_STYLEGETCASE, StyleGetCase, 2489)                                 \
  X(SCI_STYLEGETVISIBLE, StyleGetVisible, 2491)                           \
  X(SCI_STYLEGETCHANGEABLE, StyleGetChangeable, 2492)                     \
  X(SCI_STYLEGETHOTSPOT, StyleGetHotSpot, 2493)                           \
  X(SCI_SETINDICATORCURRENT, SetIndicatorCurrent, 2500)                   \
  X(SCI_GETINDICATORCURRENT, GetIndicatorCurrent, 2501)                   \
  X(SCI_SETINDICATORVALUE, SetIndicatorValue, 2502)                       \
  X(SCI_GETINDICATORVALUE, GetIndicatorValue, 2503)                       \
  X(SCI_INDICATORFILLRANGE, IndicatorFillRange, 2504)                     \
  X(SCI_INDICATORCLEARRANGE, IndicatorClearRange, 2505)                   \
  X(SCI_INDICATORALLONFOR, IndicatorAllOnFor, 2506)                       \
  X(SCI_INDICATORVALUEAT, IndicatorValueAt, 2507)                         \
  X(SCI_INDICSETUNDER, IndicSetUnder, 2510)                               \
  X(SCI_INDICGETUNDER, IndicGetUnder, 2511)                               \
  X(SCI_GETCHARACTERPOINTER, GetCharacterPointer, 2520)                   \
  X(SCI_INDICSETALPHA, IndicSetAlpha, 2523)                               \
  X(SCI_INDICGETALPHA, IndicGetAlpha, 2524)                               \
  X(SCI_SETEMPTYSELECTION, SetEmptySelection, 2556)                       \
  X(SCI_INDICSETOUTLINEALPHA, IndicSetOutlineAlpha, 2558)                 \
  X(SCI_INDICGETOUTLINEALPHA, IndicGetOutlineAlpha, 2559)                 \
  X(SCI_SETMULTIPLESELECTION, SetMultipleSelection, 2563)                 \
  X(SCI_GETMULTIPLESELECTION, GetMultipleSelection, 2564)                 \
  X(SCI_SETADDITIONALSELECTIONTYPING, SetAdditionalSelectionTyping, 2565) \
  X(SCI_GETADDITIONALSELECTIONTYPING, GetAdditionalSelectionTyping, 2566) \
  X(SCI_GETSELECTIONS, GetSelections, 2570)                               \
  X(SCI_GETMAINSELECTION, GetMainSelection, 2575)                         \
  X(SCI_GETSELECTIONNSTART, GetSelectionNStart, 2585)                     \
  X(SCI_GETSELECTIONNEND, GetSelectionNEnd, 2587)                         \
  X(SCI_SETMULTIPASTE, SetMultiPaste, 2614)                               \
  X(SCI_GETMULTIPASTE, GetMultiPaste, 2615)                               \
  X(SCI_GETTAG, GetTag, 2616)                                             \
  X(SCI_GETSELECTIONEMPTY, GetSelectionEmpty, 2650)                       \
  X(SCI_GETCARETLINEVISIBLEALWAYS, GetCaretLineVisibleAlways, 2654)       \
  X(SCI_SETCARETLINEVISIBLEALWAYS, SetCaretLineVisibleAlways, 2655)       \
  X(SCI_SETTARGETRANGE, SetTargetRange, 2686)                             \
  X(SCI_COLOURISE, Colourise, 4003)

// X(name in Scintilla.h, name in Scintilla's Notification enum, number)
#define VORPEX_SCINTILLA_NOTIFICATIONS(X)     \
  X(SCN_STYLENEEDED, StyleNeeded, 2000)       \
  X(SCN_CHARADDED, CharAdded, 2001)           \
  X(SCN_UPDATEUI, UpdateUI, 2007)             \
  X(SCN_MODIFIED, Modified, 2008)             \
  X(SCN_PAINTED, Painted, 2013)               \
  X(SCN_AUTOCSELECTION, AutoCSelection, 2022) \
  X(SCN_FOCUSIN, FocusIn, 2028)               \
  X(SCN_FOCUSOUT, FocusOut, 2029)

namespace sci {

#define VORPEX_DECLARE_NUMBER(name, enumName, number) constexpr std::uint32_t name = number;
VORPEX_SCINTILLA_MESSAGES(VORPEX_DECLARE_NUMBER)
VORPEX_SCINTILLA_NOTIFICATIONS(VORPEX_DECLARE_NUMBER)
#undef VORPEX_DECLARE_NUMBER

// Every message by its name, for texts that name them (scenario files).
struct NamedMessage {
  std::string_view name;
  std::uint32_t number;
};
#define VORPEX_NAMED_MESSAGE(name, enumName, number) {#name, number},
inline constexpr NamedMessage kNamedMessages[] = {VORPEX_SCINTILLA_MESSAGES(VORPEX_NAMED_MESSAGE)};
#undef VORPEX_NAMED_MESSAGE

// Search flags. SCFIND_REGEXP | SCFIND_POSIX (0x600000) selects Scintilla's own engine with
// POSIX-style groups: the value the plugin sends for every regular-expression search.
constexpr std::uint32_t SCFIND_REGEXP = 0x200000;
constexpr std::uint32_t SCFIND_POSIX = 0x400000;
constexpr std::uint32_t SCFIND_CXX11REGEX = 0x800000;

// SCN_MODIFIED flags.
constexpr int SC_MOD_INSERTTEXT = 0x1;
constexpr int SC_MOD_DELETETEXT = 0x2;
constexpr int SC_PERFORMED_USER = 0x10;
constexpr int SC_PERFORMED_UNDO = 0x20;
constexpr int SC_PERFORMED_REDO = 0x40;
constexpr int SC_MOD_BEFOREINSERT = 0x400;
constexpr int SC_MOD_BEFOREDELETE = 0x800;
constexpr int SC_STARTACTION = 0x2000;
constexpr int SC_MOD_INSERTCHECK = 0x100000;
constexpr int SC_MODEVENTMASKALL = 0x7FFFFF;

// SCN_UPDATEUI flags.
constexpr int SC_UPDATE_CONTENT = 0x1;
constexpr int SC_UPDATE_SELECTION = 0x2;

// End-of-line modes.
constexpr int SC_EOL_CRLF = 0;
constexpr int SC_EOL_CR = 1;
constexpr int SC_EOL_LF = 2;

// Indicator styles.
constexpr int INDIC_PLAIN = 0;
constexpr int INDIC_ROUNDBOX = 7;

constexpr int SC_MULTIPASTE_ONCE = 0;
constexpr int SC_MULTIPASTE_EACH = 1;
constexpr int SC_CP_UTF8 = 65001;

// The IDE's notification record (SCNotification with 32-bit positions and counts).
struct Notification {
  os::NotifyHeader nmhdr;
  std::int32_t position;
  int ch;
  int modifiers;
  int modificationType;
  const char* text;
  std::int32_t length;
  std::int32_t linesAdded;
  int message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
  std::int32_t line;
  int foldLevelNow;
  int foldLevelPrev;
  int margin;
  int listType;
  int x;
  int y;
  int token;
  std::int32_t annotationLinesAdded;
  int updated;
  int listCompletionMethod;
  int characterSource;
};

// Sci_TextToFind: Sci_PositionCR is `long`, 32-bit on Windows also on Win64.
struct CharacterRange {
  std::int32_t cpMin;
  std::int32_t cpMax;
};
struct TextToFind {
  CharacterRange chrg;
  const char* lpstrText;
  CharacterRange chrgText;
};
// Sci_TextRange: the same 32-bit range and a buffer for the text and its terminating zero.
struct TextRange {
  CharacterRange chrg;
  char* lpstrText;
};

}  // namespace sci
