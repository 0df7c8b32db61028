#include "tests/ide/probes.h"

#include <cstdio>
#include <sstream>
#include <utility>
#include <vector>

#include "iface/scintilla.h"

namespace probes {
namespace {

using namespace sci;

// Messages the plugin's table does not name.

// The text-range record (Sci_TextRange): a 32-bit range and a buffer.
struct TextRangeRecord {
  CharacterRange chrg;
  char* lpstrText;
};

struct Recorder {
  const Target* target = nullptr;
  bool recording = false;
  std::ostringstream* out = nullptr;
  // A one-shot action run from inside the next notification `actionCode` (for SCN_MODIFIED:
  // the next one that reports inserted text), as a hook does.
  std::uint32_t actionCode = 0;
  std::function<void()> action;
};

Recorder recorder;

std::string Escape(const char* text, std::size_t length) {
  std::string result;
  for (std::size_t i = 0; i < length; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\r') {
      result += "\\r";
    } else if (c == '\n') {
      result += "\\n";
    } else if (c == '\t') {
      result += "\\t";
    } else if (c == '"' || c == '\\') {
      result += '\\';
      result += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7f) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      result += hex;
    } else {
      result += static_cast<char>(c);
    }
  }
  return result;
}

std::string Hex(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(value));
  return text;
}

struct Session {
  const Target& target;
  std::ostringstream& out;

  os::LResult Send(std::uint32_t message, os::WParam wParam = 0, os::LParam lParam = 0) const {
    return target.send(message, wParam, lParam);
  }
  template <typename T>
  os::LResult SendPointer(std::uint32_t message, os::WParam wParam, T* pointer) const {
    return target.send(message, wParam, reinterpret_cast<os::LParam>(pointer));
  }
  void Log(const std::string& line) const { out << line << '\n'; }

  // A fresh document: text, line end mode, selection; nothing of this is recorded.
  void Start(const std::string& text, int eolMode, std::int64_t anchor, std::int64_t caret) const {
    recorder.recording = false;
    Send(SCI_SETEOLMODE, static_cast<os::WParam>(eolMode));
    Send(SCI_SETTEXT, 0, reinterpret_cast<os::LParam>(text.c_str()));
    Send(SCI_EMPTYUNDOBUFFER);
    Send(SCI_SETSEL, static_cast<os::WParam>(anchor), caret);
    target.idle();
    recorder.recording = true;
  }

  // The text with the caret as '|' (and the anchor as '^' when a selection is shown).
  void Dump() const {
    const bool was = recorder.recording;
    recorder.recording = false;
    const auto length = Send(SCI_GETLENGTH);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    Send(SCI_GETTEXT, static_cast<os::WParam>(length + 1), reinterpret_cast<os::LParam>(&text[0]));
    text.resize(static_cast<std::size_t>(length));
    const auto caret = Send(SCI_GETCURRENTPOS);
    const auto anchor = Send(SCI_GETANCHOR);
    std::string shown;
    for (os::LResult i = 0; i <= length; ++i) {
      if (i == anchor && anchor != caret) shown += '^';
      if (i == caret) shown += '|';
      if (i < length) shown += Escape(&text[static_cast<std::size_t>(i)], 1);
    }
    Log("  text \"" + shown + "\" caret " + std::to_string(caret) + " anchor " +
        std::to_string(anchor));
    recorder.recording = was;
  }

  void Styles() const {
    const bool was = recorder.recording;
    recorder.recording = false;
    const auto length = Send(SCI_GETLENGTH);
    std::string styles;
    for (os::LResult i = 0; i < length; ++i)
      styles += static_cast<char>('0' + Send(SCI_GETSTYLEAT, static_cast<os::WParam>(i)));
    Log("  styles " + styles);
    recorder.recording = was;
  }

  void Answer(const std::string& what, os::LResult value) const {
    Log("  " + what + " -> " + std::to_string(value));
  }

  void Idle() const {
    Log("  (idle)");
    target.idle();
  }

  void Type(const std::string& character) const {
    Log("  type \"" + Escape(character.data(), character.size()) + "\"");
    target.typeCharacter(character);
  }

  void Enter() const {
    Log("  enter");
    target.pressEnter();
  }

  void ReplaceTarget(std::int64_t start, std::int64_t end, const std::string& text) const {
    Send(SCI_SETTARGETSTART, static_cast<os::WParam>(start));
    Send(SCI_SETTARGETEND, static_cast<os::WParam>(end));
    Answer("replace target " + std::to_string(start) + ".." + std::to_string(end) + " with \"" +
               Escape(text.data(), text.size()) + "\"",
           Send(SCI_REPLACETARGET, text.size(), reinterpret_cast<os::LParam>(text.data())));
  }

  void Find(const std::string& pattern, std::int32_t start, std::int32_t end) const {
    TextToFind find{};
    find.chrg = {start, end};
    find.lpstrText = pattern.c_str();
    const auto found = SendPointer(SCI_FINDTEXT, SCFIND_REGEXP | SCFIND_POSIX, &find);
    std::string line = "  find \"" + Escape(pattern.data(), pattern.size()) + "\" in " +
                       std::to_string(start) + ".." + std::to_string(end) + " -> " +
                       std::to_string(found);
    if (found >= 0) {
      line += " match " + std::to_string(find.chrgText.cpMin) + ".." +
              std::to_string(find.chrgText.cpMax);
      for (int group = 1; group <= 3; ++group) {
        const auto length = Send(SCI_GETTAG, static_cast<os::WParam>(group), 0);
        std::string tag(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, '\0');
        Send(SCI_GETTAG, static_cast<os::WParam>(group), reinterpret_cast<os::LParam>(&tag[0]));
        tag.resize(static_cast<std::size_t>(length < 0 ? 0 : length));
        line += " tag" + std::to_string(group) + " " + std::to_string(length) + " \"" +
                Escape(tag.data(), tag.size()) + "\"";
      }
    }
    Log(line);
  }

  void ShowTarget() const {
    Log("  target " + std::to_string(Send(SCI_GETTARGETSTART)) + ".." +
        std::to_string(Send(SCI_GETTARGETEND)));
  }
};

// ----- the probes -------------------------------------------------------------------------

void TypeCharacter(const Session& s) {
  s.Start("If a\r\nb", SC_EOL_CRLF, 4, 4);
  s.Type("x");
  s.Dump();
  s.Idle();
  s.Styles();
}

void TypeInsideWord(const Session& s) {
  s.Start("Procedure Tst(a)", SC_EOL_CRLF, 12, 12);
  s.Type("e");
  s.Idle();
  s.Dump();
  s.Styles();
}

void TypeOverSelection(const Session& s) {
  s.Start("abcdef", SC_EOL_LF, 1, 4);
  s.Type("Z");
  s.Idle();
  s.Dump();
}

void TypeTwoByteCharacter(const Session& s) {
  s.Start("ab", SC_EOL_CRLF, 1, 1);
  s.Type("\xc3\xa9");
  s.Idle();
  s.Dump();
}

void EnterCrLf(const Session& s) {
  s.Start("If a = 1\r\nEndIf", SC_EOL_CRLF, 8, 8);
  s.Enter();
  s.Dump();
  s.Idle();
  s.Dump();
}

void EnterLf(const Session& s) {
  s.Start("If a = 1\nEndIf", SC_EOL_LF, 8, 8);
  s.Enter();
  s.Dump();
  s.Idle();
}

void EnterMidLine(const Session& s) {
  s.Start("  x = 1 ; c", SC_EOL_CRLF, 7, 7);
  s.Enter();
  s.Idle();
  s.Dump();
  s.Styles();
}

void PasteCrLf(const Session& s) {
  s.Start("ab", SC_EOL_CRLF, 1, 1);
  s.target.setClipboard("x\ny\r\nz");
  s.Answer("paste", s.Send(SCI_PASTE));
  s.Dump();
  s.Idle();
}

void PasteLf(const Session& s) {
  s.Start("ab", SC_EOL_LF, 2, 2);
  s.target.setClipboard("1\r\n2\r\n");
  s.Answer("paste", s.Send(SCI_PASTE));
  s.Idle();
  s.Dump();
}

void PasteOverSelection(const Session& s) {
  s.Start("abcdef", SC_EOL_CRLF, 4, 1);
  s.target.setClipboard("Q");
  s.Answer("paste", s.Send(SCI_PASTE));
  s.Idle();
  s.Dump();
}

void UndoTyping(const Session& s) {
  s.Start("x", SC_EOL_CRLF, 1, 1);
  s.Type("a");
  s.Type("b");
  s.Idle();
  s.Answer("undo", s.Send(SCI_UNDO));
  s.Dump();
  s.Idle();
  s.Answer("redo", s.Send(SCI_REDO));
  s.Dump();
}

void UndoGroup(const Session& s) {
  s.Start("Debug a", SC_EOL_CRLF, 7, 7);
  s.Answer("begin undo action", s.Send(SCI_BEGINUNDOACTION));
  s.Type("+");
  s.ReplaceTarget(0, 5, "Print");
  s.Answer("end undo action", s.Send(SCI_ENDUNDOACTION));
  s.Dump();
  s.Answer("undo", s.Send(SCI_UNDO));
  s.Dump();
  s.Idle();
}

void InsertAtCaret(const Session& s) {
  s.Start("abcd", SC_EOL_CRLF, 2, 2);
  s.ReplaceTarget(2, 2, "XY");
  s.Dump();
  s.ReplaceTarget(0, 0, "<");
  s.Dump();
  s.ReplaceTarget(5, 6, "");
  s.Dump();
  s.Idle();
}

void ReplaceAroundCaret(const Session& s) {
  s.Start("one two three", SC_EOL_CRLF, 6, 6);
  s.ReplaceTarget(4, 7, "2");
  s.Dump();
  s.Start("one two three", SC_EOL_CRLF, 2, 9);
  s.ReplaceTarget(4, 7, "TWO");
  s.Dump();
}

void AddAndInsertText(const Session& s) {
  s.Start("ab", SC_EOL_CRLF, 1, 1);
  const std::string text = "XY";
  s.Answer("add text", s.Send(SCI_ADDTEXT, text.size(), reinterpret_cast<os::LParam>(text.data())));
  s.Dump();
  s.Answer("insert text at 0", s.Send(sci::SCI_INSERTTEXT, 0, reinterpret_cast<os::LParam>("[")));
  s.Dump();
  s.Answer("insert text at caret", s.Send(sci::SCI_INSERTTEXT, static_cast<os::WParam>(-1),
                                          reinterpret_cast<os::LParam>("]")));
  s.Dump();
  s.Answer("replace selection", s.Send(SCI_REPLACESEL, 0, reinterpret_cast<os::LParam>("!")));
  s.Dump();
}

void Searches(const Session& s) {
  s.Start("If a=1 ; note\r\nx$ = \"s\" + b\r\n  Debug  x(12, 3)\r\n", SC_EOL_CRLF, 0, 0);
  struct Case {
    const char* pattern;
    std::int32_t start;
    std::int32_t end;  // -1: the document's length
  };
  const Case cases[] = {
      {"=([0-9]+)", 0, -1},
      {"^[ ]*([a-z]+)", 15, -1},
      {"^x", 16, -1},  // ^ only at a real line start
      {"b$", 15, 26},  // $ only at a real line end
      {"b$", 15, 27},
      {"\"([^\"]*)\"", 0, -1},
      {"([a-z])([0-9]*)", 29, -1},
      {"[ ]+([+])[ ]+", 0, -1},
      {"\\s+", 31, -1},
      {"[<>=][<>=]?", 0, -1},
      {"debug", 0, -1},  // no match case flag: case ignored
      {"zz", 0, -1},
      {"(\\S?)x", 0, -1},
      {"[\\d]+", 40, -1},
      {"x", 20, 10},  // a backwards range
      {"", 0, -1},
  };
  const auto length = static_cast<std::int32_t>(s.Send(SCI_GETLENGTH));
  for (const Case& c : cases) s.Find(c.pattern, c.start, c.end < 0 ? length : c.end);
  s.ShowTarget();
}

void SearchInTarget(const Session& s) {
  s.Start("a = 1\r\nb=2  ; x=3\r\n", SC_EOL_CRLF, 0, 0);
  s.Send(SCI_SETSEARCHFLAGS, SCFIND_REGEXP | SCFIND_POSIX);
  s.Send(sci::SCI_SETTARGETRANGE, 7, 19);
  const std::string pattern = "([a-z])[ ]*=[ ]*([0-9])";
  s.Answer("search in target", s.Send(SCI_SEARCHINTARGET, pattern.size(),
                                      reinterpret_cast<os::LParam>(pattern.data())));
  s.ShowTarget();
  const std::string replacement = "\\2 = \\1";
  s.Answer("replace target re", s.Send(SCI_REPLACETARGETRE, replacement.size(),
                                       reinterpret_cast<os::LParam>(replacement.data())));
  s.ShowTarget();
  s.Dump();
  // A plain search (no regular expression) after a regular one: tags still of the last regex.
  s.Send(SCI_SETSEARCHFLAGS, 0);
  s.Send(sci::SCI_SETTARGETRANGE, 0, static_cast<os::WParam>(s.Send(SCI_GETLENGTH)));
  s.Answer("plain search", s.Send(SCI_SEARCHINTARGET, 1, reinterpret_cast<os::LParam>("x")));
  s.ShowTarget();
  s.Answer("tag 1 length", s.Send(SCI_GETTAG, 1, 0));
  s.Answer("tag 2 length", s.Send(SCI_GETTAG, 2, 0));
}

void FindTextKeepsTarget(const Session& s) {
  s.Start("k = 10 + 20", SC_EOL_CRLF, 0, 0);
  s.Send(SCI_SETTARGETSTART, 2);
  s.Send(SCI_SETTARGETEND, 3);
  s.Find("([0-9]+)[ ]*([+])", 0, 11);
  s.ShowTarget();
  const std::string replacement = "<\\1|\\2>";
  s.Send(sci::SCI_SETTARGETRANGE, 4, 8);
  s.Answer("replace target re", s.Send(SCI_REPLACETARGETRE, replacement.size(),
                                       reinterpret_cast<os::LParam>(replacement.data())));
  s.Dump();
}

void LineQueries(const Session& s) {
  s.Start("  If x\r\n\tb\r\n\r\nlast", SC_EOL_CRLF, 0, 0);
  for (int line = 0; line <= 4; ++line) {
    const std::string l = std::to_string(line);
    s.Answer("position from line " + l,
             s.Send(SCI_POSITIONFROMLINE, static_cast<os::WParam>(line)));
    s.Answer("line end position " + l,
             s.Send(SCI_GETLINEENDPOSITION, static_cast<os::WParam>(line)));
    s.Answer("line indent position " + l,
             s.Send(SCI_GETLINEINDENTPOSITION, static_cast<os::WParam>(line)));
  }
  for (int position : {0, 3, 8, 9, 10, 12, 14, 18, 40}) {
    const std::string p = std::to_string(position);
    s.Answer("line from position " + p,
             s.Send(SCI_LINEFROMPOSITION, static_cast<os::WParam>(position)));
    s.Answer("column " + p, s.Send(sci::SCI_GETCOLUMN, static_cast<os::WParam>(position)));
    s.Answer("char at " + p, s.Send(SCI_GETCHARAT, static_cast<os::WParam>(position)));
  }
  s.Answer("line count", s.Send(SCI_GETLINECOUNT));
  s.Answer("eol mode", s.Send(SCI_GETEOLMODE));
  TextRangeRecord range{{3, 10}, nullptr};
  char buffer[16] = {};
  range.lpstrText = buffer;
  s.Answer("text range 3..10", s.SendPointer(SCI_GETTEXTRANGE, 0, &range));
  s.Log("  \"" + Escape(buffer, 7) + "\"");
}

void CaretMoves(const Session& s) {
  s.Start("abc\r\ndef", SC_EOL_CRLF, 0, 0);
  s.Send(SCI_GOTOPOS, 6);
  s.Idle();
  s.Dump();
  s.Send(SCI_SETSEL, 1, 7);
  s.Idle();
  s.Dump();
  s.Send(SCI_SETANCHOR, 2);
  s.Idle();
  s.Dump();
  s.Answer("selection start", s.Send(SCI_GETSELECTIONNSTART, 0));
  s.Answer("selection end", s.Send(SCI_GETSELECTIONNEND, 0));
  s.Send(SCI_SETSEL, 3, 3);
  s.Idle();
  s.Send(SCI_SELECTALL);
  s.Idle();
  s.Dump();
  s.Send(SCI_GOTOPOS, 100);
  s.Dump();
  s.Idle();
}

// Runs `action` from inside the next notification `code`, as a hook procedure would.
void OnNextNotification(std::uint32_t code, std::function<void()> action) {
  recorder.actionCode = code;
  recorder.action = std::move(action);
}

void ChangeDuringUpdate(const Session& s) {
  s.Start("abc def", SC_EOL_CRLF, 0, 0);
  s.Log("  (the caret moves to 5 while the next update is handled)");
  OnNextNotification(SCN_UPDATEUI, [&s] { s.Answer("go to 5", s.Send(SCI_GOTOPOS, 5)); });
  s.Type("x");
  s.Idle();
  s.Dump();
  s.Idle();  // the move made during the update is not reported later
  s.Dump();
}

void Indicators(const Session& s) {
  s.Start("alpha beta gamma", SC_EOL_CRLF, 0, 0);
  s.Send(SCI_SETINDICATORCURRENT, 5);
  s.Answer("indicator current", s.Send(SCI_GETINDICATORCURRENT));
  s.Send(SCI_INDICATORFILLRANGE, 6, 4);
  for (int position : {5, 6, 9, 10})
    s.Answer("value at " + std::to_string(position), s.Send(SCI_INDICATORVALUEAT, 5, position));
  s.ReplaceTarget(7, 7, "XX");
  s.Answer("all on for 8", s.Send(SCI_INDICATORALLONFOR, 8));
  s.Answer("value at 11", s.Send(SCI_INDICATORVALUEAT, 5, 11));
  s.Answer("value at 12", s.Send(SCI_INDICATORVALUEAT, 5, 12));
  s.Send(SCI_INDICATORCLEARRANGE, 0, 100);
  s.Answer("value at 8 after clear", s.Send(SCI_INDICATORVALUEAT, 5, 8));
  s.Send(SCI_INDICSETFORE, 5, 0x123456);
  s.Answer("indicator fore", s.Send(SCI_INDICGETFORE, 5));
  s.Send(SCI_SETCARETWIDTH, 3);
  s.Answer("caret width", s.Send(SCI_GETCARETWIDTH));
  s.Send(SCI_SETCARETLINEVISIBLE, 1);
  s.Answer("caret line visible", s.Send(SCI_GETCARETLINEVISIBLE));
  s.Send(SCI_SETCARETLINEVISIBLE, 0);
}

void EditDuringModified(const Session& s) {
  s.Start("abc", SC_EOL_CRLF, 3, 3);
  s.Log("  (an insertion is tried while the insertion is reported)");
  OnNextNotification(SCN_MODIFIED, [&s] { s.ReplaceTarget(0, 0, "!"); });
  s.Type("d");
  s.Dump();
  s.Idle();
}

void EditDuringCharAdded(const Session& s) {
  s.Start("x = ", SC_EOL_CRLF, 4, 4);
  s.Log("  (the typed quote is closed while the character is reported)");
  OnNextNotification(SCN_CHARADDED, [&s] {
    const auto caret = s.Send(SCI_GETCURRENTPOS);
    s.ReplaceTarget(caret, caret, "\"");
    s.Dump();
  });
  s.Type("\"");
  s.Idle();
  s.Dump();
  s.Answer("undo", s.Send(SCI_UNDO));
  s.Dump();
}

void TargetMovesWithEdits(const Session& s) {
  s.Start("0123456789", SC_EOL_LF, 0, 0);
  s.Send(sci::SCI_SETTARGETRANGE, 5, 8);
  s.Send(SCI_SETSEL, 2, 2);
  s.Type("a");
  s.ShowTarget();
  s.Send(SCI_SETSEL, 7, 7);
  s.Type("b");
  s.ShowTarget();
  s.Send(SCI_SETSEL, 10, 10);
  s.Type("c");
  s.ShowTarget();
  s.Answer("undo", s.Send(SCI_UNDO));
  s.ShowTarget();
  s.Dump();
}

void EnterCr(const Session& s) {
  s.Start("ab\rcd", SC_EOL_CR, 2, 2);
  s.Enter();
  s.Idle();
  s.Dump();
}

void EnterOverSelection(const Session& s) {
  s.Start("Debug 1 ; c", SC_EOL_CRLF, 5, 8);
  s.Enter();
  s.Idle();
  s.Dump();
  s.Styles();
}

void UndoPaste(const Session& s) {
  s.Start("If x\r\nEndIf", SC_EOL_CRLF, 6, 6);
  s.target.setClipboard("  a = \"s\" ; n\r\n  b(1)\r\n");
  s.Answer("paste", s.Send(SCI_PASTE));
  s.Idle();
  s.Dump();
  s.Styles();
  s.Answer("undo", s.Send(SCI_UNDO));
  s.Idle();
  s.Dump();
}

void ReplaceWholeMatch(const Session& s) {
  s.Start("a=1,b=22", SC_EOL_CRLF, 0, 0);
  s.Send(SCI_SETSEARCHFLAGS, SCFIND_REGEXP | SCFIND_POSIX);
  s.Send(sci::SCI_SETTARGETRANGE, 3, 8);
  const std::string pattern = "[a-z]=([0-9]+)";
  s.Answer("search in target", s.Send(SCI_SEARCHINTARGET, pattern.size(),
                                      reinterpret_cast<os::LParam>(pattern.data())));
  const std::string replacement = "(\\0:\\1:\\2)";
  s.Answer("replace target re", s.Send(SCI_REPLACETARGETRE, replacement.size(),
                                       reinterpret_cast<os::LParam>(replacement.data())));
  s.ShowTarget();
  s.Dump();
}

void SelectionEdges(const Session& s) {
  s.Start("abc\r\ndef", SC_EOL_CRLF, 0, 0);
  s.Send(SCI_SETSEL, 1, static_cast<os::LParam>(-1));
  s.Dump();
  s.Send(SCI_SETSEL, static_cast<os::WParam>(-1), 2);
  s.Dump();
  s.Send(SCI_SETSEL, 4, 4);  // between CR and LF
  s.Dump();
  s.Send(SCI_SETANCHOR, 100);
  s.Dump();
  s.Idle();
}

void StoredProperties(const Session& s) {
  s.Start("abc", SC_EOL_CRLF, 0, 0);
  struct Pair {
    const char* name;
    std::uint32_t set;
    std::uint32_t get;
    os::WParam wParam;  // the indicator for indicator properties, else the value
    os::LParam value;   // the value for indicator properties
  };
  const Pair pairs[] = {
      {"indicator 2 style", SCI_INDICSETSTYLE, SCI_INDICGETSTYLE, 2, 7},
      {"indicator 2 alpha", SCI_INDICSETALPHA, SCI_INDICGETALPHA, 2, 60},
      {"indicator 2 outline alpha", SCI_INDICSETOUTLINEALPHA, SCI_INDICGETOUTLINEALPHA, 2, 200},
      {"indicator 2 fore", SCI_INDICSETFORE, SCI_INDICGETFORE, 2, 0x00ff00},
      {"caret width", SCI_SETCARETWIDTH, SCI_GETCARETWIDTH, 2, 0},
      {"caret line visible always", SCI_SETCARETLINEVISIBLEALWAYS, SCI_GETCARETLINEVISIBLEALWAYS, 1,
       0},
      {"drop rest of word", SCI_AUTOCSETDROPRESTOFWORD, SCI_AUTOCGETDROPRESTOFWORD, 1, 0},
      {"multiple selection", SCI_SETMULTIPLESELECTION, SCI_GETMULTIPLESELECTION, 1, 0},
      {"additional selection typing", SCI_SETADDITIONALSELECTIONTYPING,
       SCI_GETADDITIONALSELECTIONTYPING, 1, 0},
      {"multi paste", SCI_SETMULTIPASTE, SCI_GETMULTIPASTE, SC_MULTIPASTE_EACH, 0},
  };
  for (const Pair& pair : pairs) {
    s.Send(pair.set, pair.wParam, pair.value);
    const bool indicator = pair.value != 0;
    s.Answer(pair.name, s.Send(pair.get, indicator ? pair.wParam : 0, 0));
  }
  s.Answer("indicator 3 style (never set)", s.Send(SCI_INDICGETSTYLE, 3));
  s.Answer("main selection", s.Send(SCI_GETMAINSELECTION));
  s.Answer("hide selection", s.Send(SCI_HIDESELECTION, 1));
  s.Answer("hide selection off", s.Send(SCI_HIDESELECTION, 0));
  s.Answer("x caret policy", s.Send(SCI_SETXCARETPOLICY, 0x01 | 0x04, 20));
  s.Answer("y caret policy", s.Send(SCI_SETYCARETPOLICY, 0x01 | 0x04, 3));
  s.Idle();
  s.Dump();
}

// The commands the Ctrl+D helper relies on: the form feed is typed like a character, and
// Scintilla's own Ctrl+D duplicates the line (or the selection).
void FormFeedAndDuplicate(const Session& s) {
  s.Start("ab\r\ncd", SC_EOL_CRLF, 1, 1);
  s.Send(SCI_SELECTIONDUPLICATE);
  s.Dump();
  s.Send(SCI_SETSEL, 4, 6);
  s.Send(SCI_SELECTIONDUPLICATE);
  s.Dump();
  s.Send(SCI_GOTOPOS, 1);
  s.Send(SCI_FORMFEED);
  s.Dump();
  s.Idle();
}

void OutOfRangeQueries(const Session& s) {
  s.Start("ab\r\ncd", SC_EOL_CRLF, 0, 0);
  s.Answer("char at -1", s.Send(SCI_GETCHARAT, static_cast<os::WParam>(-1)));
  s.Answer("char at 6", s.Send(SCI_GETCHARAT, 6));
  s.Answer("style at 99", s.Send(SCI_GETSTYLEAT, 99));
  s.Answer("position from line 2", s.Send(SCI_POSITIONFROMLINE, 2));
  s.Answer("position from line -1", s.Send(SCI_POSITIONFROMLINE, static_cast<os::WParam>(-1)));
  s.Answer("line end position 7", s.Send(SCI_GETLINEENDPOSITION, 7));
  s.Answer("line from position -5", s.Send(SCI_LINEFROMPOSITION, static_cast<os::WParam>(-5)));
  s.Answer("line indent position 9", s.Send(SCI_GETLINEINDENTPOSITION, 9));
  s.Answer("tag 0 length", s.Send(SCI_GETTAG, 0, 0));
  s.Find("c(d)", 0, 6);
  s.Answer("tag 4 length", s.Send(SCI_GETTAG, 4, 0));
  s.Answer("tag 10 length", s.Send(SCI_GETTAG, 10, 0));
  s.Find("ab", 6, 99);
  s.ReplaceTarget(5, 99, "X");
  s.Dump();
  s.Answer("undo", s.Send(SCI_UNDO));
  s.Answer("undo with nothing to undo", s.Send(SCI_UNDO));
  s.Dump();
}

struct Probe {
  const char* name;
  void (*run)(const Session&);
};

constexpr Probe kProbes[] = {
    {"type-character", TypeCharacter},
    {"type-inside-word", TypeInsideWord},
    {"type-over-selection", TypeOverSelection},
    {"type-two-byte-character", TypeTwoByteCharacter},
    {"enter-crlf", EnterCrLf},
    {"enter-lf", EnterLf},
    {"enter-mid-line", EnterMidLine},
    {"paste-crlf", PasteCrLf},
    {"paste-lf", PasteLf},
    {"paste-over-selection", PasteOverSelection},
    {"undo-typing", UndoTyping},
    {"undo-group", UndoGroup},
    {"insert-at-caret", InsertAtCaret},
    {"replace-around-caret", ReplaceAroundCaret},
    {"add-and-insert-text", AddAndInsertText},
    {"searches", Searches},
    {"search-in-target", SearchInTarget},
    {"find-text-keeps-target", FindTextKeepsTarget},
    {"line-queries", LineQueries},
    {"caret-moves", CaretMoves},
    {"change-during-update", ChangeDuringUpdate},
    {"indicators", Indicators},
    {"edit-during-modified", EditDuringModified},
    {"edit-during-charadded", EditDuringCharAdded},
    {"target-moves-with-edits", TargetMovesWithEdits},
    {"enter-cr", EnterCr},
    {"enter-over-selection", EnterOverSelection},
    {"undo-paste", UndoPaste},
    {"replace-whole-match", ReplaceWholeMatch},
    {"selection-edges", SelectionEdges},
    {"stored-properties", StoredProperties},
    {"form-feed-and-duplicate", FormFeedAndDuplicate},
    {"out-of-range-queries", OutOfRangeQueries},
};

}  // namespace

void Observe(const os::CallWndRetRecord& record) {
  if (!recorder.recording || !recorder.out || record.message != os::kWM_NOTIFY || !record.lParam)
    return;
  const auto& n = *reinterpret_cast<const Notification*>(record.lParam);
  if (n.nmhdr.hwndFrom != recorder.target->editor) return;
  std::ostringstream& out = *recorder.out;
  switch (n.nmhdr.code) {
    case SCN_MODIFIED: {
      const int textFlags = SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT | SC_MOD_BEFOREINSERT |
                            SC_MOD_BEFOREDELETE | SC_MOD_INSERTCHECK;
      if (!(n.modificationType & textFlags)) return;
      out << "    modified " << Hex(n.modificationType) << " position " << n.position << " length "
          << n.length << " lines " << n.linesAdded;
      if (n.text) out << " text \"" << Escape(n.text, static_cast<std::size_t>(n.length)) << "\"";
      out << '\n';
      break;
    }
    case SCN_CHARADDED:
      out << "    charadded " << n.ch << '\n';
      break;
    case SCN_UPDATEUI:
      out << "    updateui " << n.updated << '\n';
      break;
    default:
      return;
  }
  const bool insertion = n.nmhdr.code != SCN_MODIFIED || (n.modificationType & SC_MOD_INSERTTEXT);
  if (recorder.action && recorder.actionCode == n.nmhdr.code && insertion) {
    const std::function<void()> action = recorder.action;
    recorder.action = nullptr;
    out << "    (inside the notification)\n";
    action();
    out << "    (notification handled)\n";
  }
}

std::string RunAll(const Target& target) {
  std::ostringstream out;
  recorder = Recorder{&target, false, &out, 0, nullptr};
  Session session{target, out};
  for (const Probe& probe : kProbes) {
    out << "== " << probe.name << '\n';
    probe.run(session);
    recorder.recording = false;
    recorder.action = nullptr;
  }
  recorder = Recorder{};
  return out.str();
}

std::string FirstDifference(const std::string& expected, const std::string& actual) {
  std::istringstream a(expected);
  std::istringstream b(actual);
  std::string probe;
  std::string left;
  std::string right;
  for (int line = 1;; ++line) {
    const bool haveLeft = static_cast<bool>(std::getline(a, left));
    const bool haveRight = static_cast<bool>(std::getline(b, right));
    if (!haveLeft && !haveRight) return "";
    if (haveLeft && left.rfind("== ", 0) == 0) probe = left;
    if (!haveLeft || !haveRight || left != right) {
      return "line " + std::to_string(line) + " (" + probe +
             ")\n  expected: " + (haveLeft ? left : "<end>") +
             "\n  actual:   " + (haveRight ? right : "<end>");
    }
  }
}

}  // namespace probes
