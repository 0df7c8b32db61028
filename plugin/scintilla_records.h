// The IDE's editor interface as the plugin sees it: Scintilla's message and notification
// numbers, and the two records the IDE's editors exchange. The IDE's notification record has
// 32-bit positions and counts (Scintilla 5's published header makes them pointer-sized); the
// text-to-find record has a 32-bit range on every platform. These declarations are the only
// ones: the headless editor uses them too, and the Win32 stand-in checks its narrowed header
// against them at compile time.
#pragma once

#include <cstdint>

#include "os/os.h"

namespace sci {

// Messages.
constexpr std::uint32_t SCI_ADDTEXT = 2001;
constexpr std::uint32_t SCI_GETLENGTH = 2006;
constexpr std::uint32_t SCI_GETCHARAT = 2007;
constexpr std::uint32_t SCI_GETCURRENTPOS = 2008;
constexpr std::uint32_t SCI_GETANCHOR = 2009;
constexpr std::uint32_t SCI_GETSTYLEAT = 2010;
constexpr std::uint32_t SCI_REDO = 2011;
constexpr std::uint32_t SCI_SELECTALL = 2013;
constexpr std::uint32_t SCI_GOTOPOS = 2025;
constexpr std::uint32_t SCI_SETANCHOR = 2026;
constexpr std::uint32_t SCI_GETEOLMODE = 2030;
constexpr std::uint32_t SCI_SETEOLMODE = 2031;
constexpr std::uint32_t SCI_STARTSTYLING = 2032;
constexpr std::uint32_t SCI_SETSTYLING = 2033;
constexpr std::uint32_t SCI_BEGINUNDOACTION = 2078;
constexpr std::uint32_t SCI_ENDUNDOACTION = 2079;
constexpr std::uint32_t SCI_INDICSETSTYLE = 2080;
constexpr std::uint32_t SCI_INDICGETSTYLE = 2081;
constexpr std::uint32_t SCI_INDICSETFORE = 2082;
constexpr std::uint32_t SCI_INDICGETFORE = 2083;
constexpr std::uint32_t SCI_SETCARETLINEVISIBLE = 2096;
constexpr std::uint32_t SCI_GETCARETLINEVISIBLE = 2095;
constexpr std::uint32_t SCI_GETLINEINDENTPOSITION = 2128;
constexpr std::uint32_t SCI_GETLINEENDPOSITION = 2136;
constexpr std::uint32_t SCI_FINDTEXT = 2150;
constexpr std::uint32_t SCI_GETLINECOUNT = 2154;
constexpr std::uint32_t SCI_SETSEL = 2160;
constexpr std::uint32_t SCI_GETTEXTRANGE = 2162;
constexpr std::uint32_t SCI_HIDESELECTION = 2163;
constexpr std::uint32_t SCI_LINEFROMPOSITION = 2166;
constexpr std::uint32_t SCI_POSITIONFROMLINE = 2167;
constexpr std::uint32_t SCI_REPLACESEL = 2170;
constexpr std::uint32_t SCI_UNDO = 2176;
constexpr std::uint32_t SCI_EMPTYUNDOBUFFER = 2175;
constexpr std::uint32_t SCI_CANPASTE = 2173;
constexpr std::uint32_t SCI_PASTE = 2179;
constexpr std::uint32_t SCI_SETTEXT = 2181;
constexpr std::uint32_t SCI_GETTEXT = 2182;
constexpr std::uint32_t SCI_GETTEXTLENGTH = 2183;
constexpr std::uint32_t SCI_SETCARETWIDTH = 2188;
constexpr std::uint32_t SCI_GETCARETWIDTH = 2189;
constexpr std::uint32_t SCI_SETTARGETSTART = 2190;
constexpr std::uint32_t SCI_GETTARGETSTART = 2191;
constexpr std::uint32_t SCI_SETTARGETEND = 2192;
constexpr std::uint32_t SCI_GETTARGETEND = 2193;
constexpr std::uint32_t SCI_REPLACETARGET = 2194;
constexpr std::uint32_t SCI_REPLACETARGETRE = 2195;
constexpr std::uint32_t SCI_SEARCHINTARGET = 2197;
constexpr std::uint32_t SCI_SETSEARCHFLAGS = 2198;
constexpr std::uint32_t SCI_NEWLINE = 2329;
constexpr std::uint32_t SCI_ASSIGNCMDKEY = 2070;
constexpr std::uint32_t SCI_INDICSETUNDER = 2510;
constexpr std::uint32_t SCI_INDICSETALPHA = 2523;
constexpr std::uint32_t SCI_INDICGETALPHA = 2524;
constexpr std::uint32_t SCI_INDICSETOUTLINEALPHA = 2558;
constexpr std::uint32_t SCI_INDICGETOUTLINEALPHA = 2559;
constexpr std::uint32_t SCI_SETINDICATORCURRENT = 2500;
constexpr std::uint32_t SCI_GETINDICATORCURRENT = 2501;
constexpr std::uint32_t SCI_INDICATORFILLRANGE = 2504;
constexpr std::uint32_t SCI_INDICATORCLEARRANGE = 2505;
constexpr std::uint32_t SCI_INDICATORALLONFOR = 2506;
constexpr std::uint32_t SCI_INDICATORVALUEAT = 2507;
constexpr std::uint32_t SCI_SETXCARETPOLICY = 2402;
constexpr std::uint32_t SCI_SETYCARETPOLICY = 2403;
constexpr std::uint32_t SCI_GETSELECTIONNSTART = 2585;
constexpr std::uint32_t SCI_GETSELECTIONNEND = 2587;
constexpr std::uint32_t SCI_GETMAINSELECTION = 2575;
constexpr std::uint32_t SCI_GETTAG = 2616;
constexpr std::uint32_t SCI_SETCARETLINEVISIBLEALWAYS = 2655;
constexpr std::uint32_t SCI_GETCARETLINEVISIBLEALWAYS = 2654;
constexpr std::uint32_t SCI_CLEARCMDKEY = 2071;
constexpr std::uint32_t SCI_GETTABWIDTH = 2121;
constexpr std::uint32_t SCI_GETINDENT = 2123;
constexpr std::uint32_t SCI_GETUSETABS = 2125;
constexpr std::uint32_t SCI_GETLINEINDENTATION = 2127;
constexpr std::uint32_t SCI_AUTOCSETDROPRESTOFWORD = 2270;
constexpr std::uint32_t SCI_AUTOCGETDROPRESTOFWORD = 2271;
constexpr std::uint32_t SCI_FORMFEED = 2330;
constexpr std::uint32_t SCI_SELECTIONDUPLICATE = 2469;
constexpr std::uint32_t SCI_SETMULTIPLESELECTION = 2563;
constexpr std::uint32_t SCI_GETMULTIPLESELECTION = 2564;
constexpr std::uint32_t SCI_SETADDITIONALSELECTIONTYPING = 2565;
constexpr std::uint32_t SCI_GETADDITIONALSELECTIONTYPING = 2566;
constexpr std::uint32_t SCI_SETMULTIPASTE = 2614;
constexpr std::uint32_t SCI_GETMULTIPASTE = 2615;
constexpr int SC_MULTIPASTE_EACH = 1;

// Search flags. SCFIND_REGEXP | SCFIND_POSIX (0x600000) selects Scintilla's own engine with
// POSIX-style groups: the value the plugin sends for every regular-expression search.
constexpr std::uint32_t SCFIND_REGEXP = 0x200000;
constexpr std::uint32_t SCFIND_POSIX = 0x400000;
constexpr std::uint32_t SCFIND_CXX11REGEX = 0x800000;

// Notifications.
constexpr std::uint32_t SCN_STYLENEEDED = 2000;
constexpr std::uint32_t SCN_CHARADDED = 2001;
constexpr std::uint32_t SCN_UPDATEUI = 2007;
constexpr std::uint32_t SCN_MODIFIED = 2008;
constexpr std::uint32_t SCN_AUTOCSELECTION = 2022;
constexpr std::uint32_t SCN_FOCUSIN = 2028;
constexpr std::uint32_t SCN_FOCUSOUT = 2029;

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

// SCN_UPDATEUI flags.
constexpr int SC_UPDATE_CONTENT = 0x1;
constexpr int SC_UPDATE_SELECTION = 0x2;

// End-of-line modes.
constexpr int SC_EOL_CRLF = 0;
constexpr int SC_EOL_CR = 1;
constexpr int SC_EOL_LF = 2;

// The IDE's lexer styles.
constexpr int STYLE_KEYWORD = 2;
constexpr int STYLE_COMMENT = 3;
constexpr int STYLE_CONSTANT = 4;
constexpr int STYLE_STRING = 5;
constexpr int STYLE_PROCEDURE = 6;

// Word highlighting indicator of the IDE.
constexpr int INDICATOR_WORD_HIGHLIGHT = 2;

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
