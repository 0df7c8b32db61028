#include "ide/headless/editor.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <forward_list>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Scintilla's document core; its headers depend on this order.
// clang-format off
#include "ScintillaTypes.h"
#include "ILoader.h"
#include "ILexer.h"
#include "Debugging.h"
#include "CharacterType.h"
#include "CharacterCategoryMap.h"
#include "Position.h"
#include "SplitVector.h"
#include "Partitioning.h"
#include "RunStyles.h"
#include "CellBuffer.h"
#include "PerLine.h"
#include "CharClassify.h"
#include "Decoration.h"
#include "CaseFolder.h"
#include "Document.h"
#include "RESearch.h"
// clang-format on

#include "iface/scintilla.h"
#include "os/sim/sim.h"

namespace headless {

namespace sc = Scintilla;
namespace sci_internal = Scintilla::Internal;
using Position = std::int64_t;

namespace {

std::string& Clipboard() {
  static std::string text;
  return text;
}

UnknownMessageReporter& UnknownReporter() {
  static UnknownMessageReporter reporter;
  return reporter;
}

// The control's default key map (Scintilla's KeyMap, the entries a user of the IDE reaches).
struct KeyBinding {
  int key;
  int modifiers;
  std::uint32_t command;
};
constexpr std::array<KeyBinding, 18> kDefaultKeyMap = {{
    {kKeyDown, 0, sci::SCI_LINEDOWN},
    {kKeyUp, 0, sci::SCI_LINEUP},
    {kKeyLeft, 0, sci::SCI_CHARLEFT},
    {kKeyRight, 0, sci::SCI_CHARRIGHT},
    {kKeyHome, 0, sci::SCI_VCHOME},
    {kKeyHome, kModCtrl, sci::SCI_DOCUMENTSTART},
    {kKeyEnd, 0, sci::SCI_LINEEND},
    {kKeyEnd, kModCtrl, sci::SCI_DOCUMENTEND},
    {kKeyDelete, 0, sci::SCI_CLEAR},
    {kKeyBack, 0, sci::SCI_DELETEBACK},
    {kKeyBack, kModShift, sci::SCI_DELETEBACK},
    {'Z', kModCtrl, sci::SCI_UNDO},
    {'Z', kModCtrl | kModShift, sci::SCI_REDO},
    {'Y', kModCtrl, sci::SCI_REDO},
    {kKeyTab, 0, sci::SCI_TAB},
    {kKeyReturn, 0, sci::SCI_NEWLINE},
    {kKeyReturn, kModShift, sci::SCI_NEWLINE},
    {'D', kModCtrl, sci::SCI_SELECTIONDUPLICATE},
}};

int KeyMapIndex(int key, int modifiers) { return (modifiers << 16) | (key & 0xFFFF); }

struct IndicatorProperties {
  int style = sci::INDIC_PLAIN;
  int fore = 0;
  int alpha = 30;
  int outlineAlpha = 50;
  int under = 0;
};

struct StyleProperties {
  int fore = 0;
  int back = 0xFFFFFF;
  int bold = 0, italic = 0, underline = 0, caseForce = 0, hotspot = 0;
  int visible = 1, changeable = 1;
};

// Moves one end of the selection over an edit, as Scintilla's SelectionPosition does: an
// insertion exactly at the position moves it only when it is the start of a non-empty range.
void MoveForEdit(Position& position, bool insertion, Position start, Position length,
                 bool moveForEqual) {
  if (insertion) {
    if (position > start || (position == start && moveForEqual)) position += length;
  } else if (position > start) {
    position = (position > start + length) ? position - length : start;
  }
}

}  // namespace

void SetClipboardText(const std::string& text) { Clipboard() = text; }
const std::string& ClipboardText() { return Clipboard(); }
void SetUnknownMessageReporter(UnknownMessageReporter reporter) {
  UnknownReporter() = std::move(reporter);
}

struct EditorState final : public sci_internal::DocWatcher {
  os::Window window = nullptr;
  os::Window parent = nullptr;
  int controlId = 0;
  sci_internal::Document* doc = nullptr;

  Position caret = 0;
  Position anchor = 0;
  Position targetStart = 0;
  Position targetEnd = 0;
  int needUpdate = 0;
  bool stylingRefused = false;
  bool focused = false;
  // SCI_BEGINUNDOACTION less SCI_ENDUNDOACTION, as the document counts them.
  int undoGroupsOpened = 0;
  bool selectionHidden = false;
  Position desiredColumn = -1;  // column kept over vertical moves
  Position verticalCaret = -1;  // caret after the last vertical move
  int searchFlags = 0;
  int modEventMask = sci::SC_MODEVENTMASKALL;

  int caretWidth = 1;
  int caretLineVisible = 0;
  int caretLineVisibleAlways = 0;
  int xCaretPolicy = 1, xCaretSlop = 0, yCaretPolicy = 1, yCaretSlop = 0;
  // Kept and answered; the document core has one selection and no autocompletion list.
  int autoCompleteDropRestOfWord = 0;
  int multipleSelection = 0;
  int additionalSelectionTyping = 0;
  int multiPaste = sci::SC_MULTIPASTE_ONCE;
  std::array<IndicatorProperties, 36> indicators{};
  std::array<StyleProperties, 256> styles{};
  std::map<int, std::uint32_t> keyMap;

  // Scintilla's own regular-expression engine (RESearch), as the document core drives it, with
  // one compiled automaton kept for each pattern: the core compiles the pattern again at every
  // search, which cost more than the search itself on a line. The groups that tags and template
  // replacements read are those of the engine that ran last (or of the document's engine after
  // a search only it makes), as with the core's single engine.
  struct CompiledPattern {
    std::string pattern;
    bool caseSensitive = false;
    bool posix = false;
    std::unique_ptr<sci_internal::RESearch> engine;
  };
  static constexpr std::size_t kCompiledPatterns = 32;
  sci_internal::CharClassify wordClasses;  // the document's word characters, for \< and \>
  std::vector<CompiledPattern> compiledPatterns;
  std::unique_ptr<sci_internal::RESearch> unusedEngine;  // groups before any search ran
  enum class LastSearch { None, Document, Own } lastSearch = LastSearch::None;
  const sci_internal::RESearch* lastEngine = nullptr;
  std::string substituted;

  EditorState() {
    indicators[0].style = 1;  // squiggle, green
    indicators[0].fore = 0x007F00;
    indicators[1].style = 2;  // TT, blue
    indicators[1].fore = 0xFF0000;
    indicators[2].fore = 0x0000FF;  // plain, red
    for (const KeyBinding& binding : kDefaultKeyMap)
      keyMap[KeyMapIndex(binding.key, binding.modifiers)] = binding.command;
    doc = new sci_internal::Document(sc::DocumentOption::Default);
    doc->AddRef();
    doc->SetDBCSCodePage(sci::SC_CP_UTF8);
    doc->SetCaseFolder(std::make_unique<sci_internal::CaseFolderUnicode>());
    doc->AddWatcher(this, nullptr);
    // No message of the editor changes the document's word characters after this.
    for (const auto wordClass :
         {sci_internal::CharacterClass::space, sci_internal::CharacterClass::newLine,
          sci_internal::CharacterClass::word, sci_internal::CharacterClass::punctuation}) {
      unsigned char characters[257] = {};
      doc->GetCharsOfClass(wordClass, characters);
      wordClasses.SetCharClasses(characters, wordClass);
    }
  }

  ~EditorState() override {
    doc->RemoveWatcher(this, nullptr);
    doc->Release();
  }

  // Notifications to the parent.
  void Notify(sci::Notification& scn) {
    scn.nmhdr.hwndFrom = window;
    scn.nmhdr.idFrom = static_cast<std::uintptr_t>(controlId);
    os::SendMessage(parent, os::kWM_NOTIFY, static_cast<os::WParam>(controlId),
                    reinterpret_cast<os::LParam>(&scn));
  }

  void NotifyCode(std::uint32_t code) {
    sci::Notification scn{};
    scn.nmhdr.code = code;
    Notify(scn);
  }

  void NotifyChar(int ch) {
    sci::Notification scn{};
    scn.nmhdr.code = sci::SCN_CHARADDED;
    scn.ch = ch;
    Notify(scn);
  }

  // DocWatcher.
  void NotifyModifyAttempt(sci_internal::Document*, void*) override {}
  void NotifySavePoint(sci_internal::Document*, void*, bool) override {}
  void NotifyDeleted(sci_internal::Document*, void*) noexcept override {}
  void NotifyErrorOccurred(sci_internal::Document*, void*, sc::Status) override {}

  void NotifyStyleNeeded(sci_internal::Document*, void*, Sci::Position endStyleNeeded) override {
    sci::Notification scn{};
    scn.nmhdr.code = sci::SCN_STYLENEEDED;
    scn.position = static_cast<std::int32_t>(endStyleNeeded);
    Notify(scn);
  }

  void NotifyModified(sci_internal::Document*, sci_internal::DocModification mh, void*) override {
    knownLine.valid = false;  // before the parent hears of it: it may look the lines up
    needUpdate |= sci::SC_UPDATE_CONTENT;
    const int flags = static_cast<int>(mh.modificationType);
    const bool styleOrIndicator = (flags & (0x4 | 0x4000)) != 0;  // CHANGESTYLE, CHANGEINDICATOR
    if (!styleOrIndicator) {
      const bool insertion = (flags & sci::SC_MOD_INSERTTEXT) != 0;
      if (insertion || (flags & sci::SC_MOD_DELETETEXT) != 0) {
        const bool caretStart = caret < anchor;
        const bool anchorStart = anchor < caret;
        MoveForEdit(caret, insertion, mh.position, mh.length, caretStart);
        MoveForEdit(anchor, insertion, mh.position, mh.length, anchorStart);
        stylingRefused = false;
      }
    }
    if ((flags & modEventMask) == 0) return;
    sci::Notification scn{};
    scn.nmhdr.code = sci::SCN_MODIFIED;
    scn.position = static_cast<std::int32_t>(mh.position);
    scn.modificationType = flags;
    scn.text = mh.text;
    scn.length = static_cast<std::int32_t>(mh.length);
    scn.linesAdded = static_cast<std::int32_t>(mh.linesAdded);
    scn.line = static_cast<std::int32_t>(mh.line);
    scn.foldLevelNow = static_cast<int>(mh.foldLevelNow);
    scn.foldLevelPrev = static_cast<int>(mh.foldLevelPrev);
    scn.token = static_cast<int>(mh.token);
    scn.annotationLinesAdded = static_cast<std::int32_t>(mh.annotationLinesAdded);
    Notify(scn);
  }

  // The line looked up last and its bounds, as the document core gives them. The plugin asks
  // about the line it works on again and again between two edits (each search looks up the lines
  // of its range and their bounds; the line's start and end are read before the searches), and
  // the core answers with a binary search over every line or a walk through its gap buffer. The
  // bounds hold until the text changes: NotifyModified forgets them. The number is kept as the
  // first guess for the next lookup, since an edit seldom moves the plugin to another line.
  struct KnownLine {
    bool valid = false;
    Sci::Line line = 0;
    Position start = 0;
    Position end = 0;   // in front of the line end
    Position next = 0;  // where the next line starts (the document's length after the last line)
  };
  KnownLine knownLine;

  void LearnLine(Sci::Line line) {
    knownLine = {true, line, doc->LineStart(line), doc->LineEnd(line), doc->LineStart(line + 1)};
  }

  bool KnowsPosition(Position position) const {
    return knownLine.valid && knownLine.start <= position && position < knownLine.next;
  }

  // Line `line` of the document, 0 <= line < LinesTotal().
  const KnownLine& LineBounds(Sci::Line line) {
    if (!knownLine.valid || knownLine.line != line) LearnLine(line);
    return knownLine;
  }

  // Document::MovePositionOutsideChar, which every search asks for at both ends of its range and
  // at the end of its match. A position in front of an ASCII byte that does not part a CR LF is
  // outside every character already (in UTF-8 and in single-byte text), and is answered without
  // the core's walk.
  Position OutsideCharacter(Position position, int direction, bool checkLineEnd) const {
    if (position > 0 && position < doc->Length() &&
        (doc->dbcsCodePage == 0 || doc->dbcsCodePage == sci::SC_CP_UTF8)) {
      const unsigned char ch = static_cast<unsigned char>(doc->CharAt(position));
      if (ch < 0x80 && !(checkLineEnd && ch == '\n' && doc->CharAt(position - 1) == '\r'))
        return position;
    }
    return doc->MovePositionOutsideChar(position, direction, checkLineEnd);
  }

  // The document's line of `position`, as its LineFromPosition answers.
  Sci::Line LineOfPosition(Position position) {
    return KnowsPosition(position) ? knownLine.line : LookUpLine(position);
  }
  Sci::Line LookUpLine(Position position) {
    if (position < 0 || position >= doc->Length()) return doc->SciLineFromPosition(position);
    if (knownLine.line < doc->LinesTotal()) LearnLine(knownLine.line);
    if (!KnowsPosition(position)) LearnLine(doc->SciLineFromPosition(position));
    return knownLine.line;
  }

  // Selection.
  Position Clamp(Position position) const {
    return std::clamp<Position>(position, 0, doc->Length());
  }
  Position SelectionStart() const { return std::min(caret, anchor); }
  Position SelectionEnd() const { return std::max(caret, anchor); }
  bool SelectionEmpty() const { return caret == anchor; }

  // SetSelection/SetEmptySelection: a change of the range is a selection update.
  void SetSelection(Position newCaret, Position newAnchor) {
    newCaret = Clamp(newCaret);
    newAnchor = Clamp(newAnchor);
    if (newCaret != caret || newAnchor != anchor) needUpdate |= sci::SC_UPDATE_SELECTION;
    caret = newCaret;
    anchor = newAnchor;
  }
  void SetEmptySelection(Position position) { SetSelection(position, position); }

  void ClearSelection() {
    if (SelectionEmpty()) return;
    sci_internal::UndoGroup group(doc);
    const Position start = SelectionStart();
    doc->DeleteChars(start, SelectionEnd() - start);
    caret = anchor = start;
  }

  // Editing commands.
  void InsertCharacter(std::string_view text) {
    if (text.empty()) return;
    {
      sci_internal::UndoGroup group(doc, !SelectionEmpty());
      Position insertAt = SelectionStart();
      if (!SelectionEmpty()) {
        doc->DeleteChars(insertAt, SelectionEnd() - insertAt);
        caret = anchor = insertAt;
      }
      const Position inserted = doc->InsertString(insertAt, text.data(), text.size());
      if (inserted > 0) caret = anchor = insertAt + inserted;
    }
    desiredColumn = -1;
    NotifyChar(CharacterValue(text));
  }

  static int CharacterValue(std::string_view text) {
    const unsigned char lead = static_cast<unsigned char>(text[0]);
    if (lead < 0xC0 || text.size() == 1) return lead;
    // UTF-8 sequence to its code point.
    int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    int value = lead & (0x3F >> (length - 1));
    for (int i = 1; i < length && i < static_cast<int>(text.size()); ++i)
      value = (value << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    return value;
  }

  void NewLine() {
    needUpdate |= sci::SC_UPDATE_SELECTION;  // the control invalidates the whole selection first
    const std::string_view eol = doc->EOLString();
    bool inserted = false;
    {
      sci_internal::UndoGroup group(doc, !SelectionEmpty());
      ClearSelection();
      const Position at = caret;
      const Position length = doc->InsertString(at, eol.data(), eol.size());
      if (length > 0) {
        caret = anchor = at + length;
        inserted = true;
      }
    }
    desiredColumn = -1;
    if (inserted) {
      for (char ch : eol) NotifyChar(static_cast<unsigned char>(ch));
    }
  }

  // SCI_SELECTIONDUPLICATE: a selection is inserted again after itself; without one, the line
  // (a line end, then the line's text: two insertions).
  void Duplicate() {
    sci_internal::UndoGroup group(doc);
    if (SelectionEmpty()) {
      const Sci::Line line = doc->SciLineFromPosition(caret);
      const Position end = doc->LineEnd(line);
      const std::string text = TextRangeOf(doc->LineStart(line), end);
      const std::string_view eol = doc->EOLString();
      const Position inserted = doc->InsertString(end, eol.data(), eol.size());
      doc->InsertString(end + inserted, text.data(), static_cast<Position>(text.size()));
    } else {
      const std::string text = TextRangeOf(SelectionStart(), SelectionEnd());
      doc->InsertString(SelectionEnd(), text.data(), static_cast<Position>(text.size()));
    }
  }

  std::string TextRangeOf(Position start, Position end) const {
    std::string text(static_cast<std::size_t>(std::max<Position>(end - start, 0)), '\0');
    if (!text.empty()) doc->GetCharRange(text.data(), start, end - start);
    return text;
  }

  void DeleteBack() {
    if (SelectionEmpty()) {
      if (caret > 0) doc->DelCharBack(caret);
    } else {
      ClearSelection();
    }
    needUpdate |= sci::SC_UPDATE_SELECTION;
    desiredColumn = -1;
  }

  void DeleteForward() {
    if (SelectionEmpty()) {
      doc->DelChar(caret);
    } else {
      ClearSelection();
    }
  }

  // The Tab key as the control's Indent(forwards) does it.
  void Tab() {
    sci_internal::UndoGroup group(doc);
    desiredColumn = -1;
    const Sci::Line anchorLine = doc->SciLineFromPosition(anchor);
    const Sci::Line caretLine = doc->SciLineFromPosition(caret);
    if (anchorLine != caretLine) {
      // A selection over lines indents each of them by one step.
      const Sci::Line top = std::min(anchorLine, caretLine);
      Sci::Line bottom = std::max(anchorLine, caretLine);
      if (doc->LineStart(bottom) == SelectionEnd()) --bottom;  // a line only reached at its start
      doc->Indent(true, bottom, top);
      return;
    }
    ClearSelection();
    const Position at = caret;
    if (doc->GetColumn(at) <= doc->GetColumn(doc->GetLineIndentPosition(caretLine)) &&
        doc->tabIndents) {
      const int indentation = doc->GetLineIndentation(caretLine);
      const int step = doc->IndentSize();
      caret = anchor = doc->SetLineIndentation(caretLine, indentation + step - indentation % step);
    } else if (doc->useTabs) {
      const Position inserted = doc->InsertString(at, "\t", 1);
      caret = anchor = at + inserted;
    } else {
      Position spaces = doc->tabInChars - (doc->GetColumn(at) % doc->tabInChars);
      if (spaces < 1) spaces = doc->tabInChars;
      const std::string blanks(static_cast<std::size_t>(spaces), ' ');
      const Position inserted = doc->InsertString(at, blanks);
      caret = anchor = at + inserted;
    }
  }

  void Paste() {
    sci_internal::UndoGroup group(doc);
    ClearSelection();
    const std::string& text = Clipboard();
    const std::string converted =
        sci_internal::Document::TransformLineEnds(text.data(), text.size(), doc->eolMode);
    const Position at = caret;
    const Position inserted = doc->InsertString(at, converted.data(), converted.size());
    if (inserted > 0) SetEmptySelection(at + inserted);
    desiredColumn = -1;
  }

  void Undo() {
    if (!doc->CanUndo()) return;
    const Position position = doc->Undo();
    if (position >= 0) SetEmptySelection(position);
    desiredColumn = -1;
  }

  void Redo() {
    if (!doc->CanRedo()) return;
    const Position position = doc->Redo();
    if (position >= 0) SetEmptySelection(position);
    desiredColumn = -1;
  }

  Position ReplaceTarget(bool patterns, os::WParam length, os::LParam text) {
    if (text == 0) return 0;
    const char* data = reinterpret_cast<const char*>(text);
    Position size = (static_cast<std::intptr_t>(length) == -1)
                        ? static_cast<Position>(std::strlen(data))
                        : static_cast<Position>(length);
    sci_internal::UndoGroup group(doc);
    if (patterns) {
      Sci::Position substituted = size;
      const char* replacement = Substitute(data, &substituted);
      if (!replacement) return 0;
      data = replacement;
      size = substituted;
    }
    // The substitution lives in the document's buffer, which the deletion may not touch.
    const std::string copy(data, static_cast<std::size_t>(size));
    if (targetEnd > targetStart) doc->DeleteChars(targetStart, targetEnd - targetStart);
    targetEnd = targetStart;
    const Position inserted = doc->InsertString(targetStart, copy.data(), copy.size());
    targetEnd = targetStart + inserted;
    return size;
  }

  // A search as the document core makes it: Scintilla's own engine through the compiled
  // patterns, any other kind by the document itself. May throw as the core does.
  Position Search(Position minPos, Position maxPos, const char* pattern, int flags,
                  Sci::Position* length) {
    auto has = [flags](sc::FindOption option) { return (flags & static_cast<int>(option)) != 0; };
    const bool regex = has(sc::FindOption::RegExp);
    if (*length <= 0 || !regex || has(sc::FindOption::Cxx11RegEx)) {
      if (*length > 0 && regex) lastSearch = LastSearch::Document;
      return doc->FindText(minPos, maxPos, pattern, static_cast<sc::FindOption>(flags), length);
    }
    if (lastSearch == LastSearch::None) {
      if (!unusedEngine) unusedEngine = std::make_unique<sci_internal::RESearch>(&wordClasses);
      lastSearch = LastSearch::Own;
      lastEngine = unusedEngine.get();
    }
    sci_internal::RESearch* engine = CompiledEngine(
        pattern, *length, has(sc::FindOption::MatchCase), has(sc::FindOption::Posix));
    if (engine == nullptr) return -1;  // not a pattern of the engine
    return RunEngine(*engine, minPos, maxPos, pattern, length);
  }

  // The engine compiled for `pattern`, or nullptr when it does not compile.
  sci_internal::RESearch* CompiledEngine(const char* pattern, Sci::Position length,
                                         bool caseSensitive, bool posix) {
    const std::string_view wanted(pattern, static_cast<std::size_t>(length));
    for (CompiledPattern& compiled : compiledPatterns) {
      if (compiled.caseSensitive == caseSensitive && compiled.posix == posix &&
          compiled.pattern == wanted)
        return compiled.engine.get();
    }
    auto engine = std::make_unique<sci_internal::RESearch>(&wordClasses);
    if (engine->Compile(pattern, length, caseSensitive, posix) != nullptr) return nullptr;
    if (compiledPatterns.size() >= kCompiledPatterns) {
      // Forgotten oldest first; never the engine whose groups are still to be read.
      for (auto it = compiledPatterns.begin(); it != compiledPatterns.end(); ++it) {
        if (it->engine.get() != lastEngine) {
          compiledPatterns.erase(it);
          break;
        }
      }
    }
    compiledPatterns.push_back({std::string(wanted), caseSensitive, posix, std::move(engine)});
    return compiledPatterns.back().engine.get();
  }

  // Reads the document for the engine: nothing outside [0, end).
  class Indexer final : public sci_internal::CharacterIndexer {
   public:
    Indexer(const sci_internal::Document* document, Position end) : doc_(document), end_(end) {}
    char CharAt(Sci::Position index) const override {
      return index < 0 || index >= end_ ? 0 : doc_->CharAt(index);
    }

   private:
    const sci_internal::Document* doc_;
    Position end_;
  };

  // The document core's line-by-line walk of the engine over [minPos, maxPos) (backwards when
  // maxPos < minPos): a match never spans lines, `^` and `$` hold only at a line's real start
  // and end.
  Position RunEngine(sci_internal::RESearch& engine, Position minPos, Position maxPos,
                     const char* pattern, Sci::Position* length) {
    const int increment = minPos <= maxPos ? 1 : -1;
    const Position startPos = OutsideCharacter(minPos, 1, true);
    const Position endPos = OutsideCharacter(maxPos, 1, true);
    const Sci::Line lineRangeStart = LineOfPosition(startPos);
    const Sci::Line lineRangeEnd = LineOfPosition(endPos);
    const Sci::Line lineRangeBreak = lineRangeEnd + increment;

    Position pos = -1;
    Position lenRet = 0;
    const bool searchforLineStart = pattern[0] == '^';
    const char searchEnd = pattern[*length - 1];
    const char searchEndPrev = *length > 1 ? pattern[*length - 2] : '\0';
    const bool searchforLineEnd = searchEnd == '$' && searchEndPrev != '\\';
    for (Sci::Line line = lineRangeStart; line != lineRangeBreak; line += increment) {
      Position startOfLine = LineBounds(line).start;
      Position endOfLine = LineBounds(line).end;
      if (increment == 1) {
        if (line == lineRangeStart) {
          if (startPos != startOfLine && searchforLineStart) continue;
          startOfLine = startPos;
        }
        if (line == lineRangeEnd) {
          if (endPos != endOfLine && searchforLineEnd) continue;
          endOfLine = endPos;
        }
      } else {
        if (line == lineRangeEnd) {
          if (endPos != startOfLine && searchforLineStart) continue;
          startOfLine = endPos;
        }
        if (line == lineRangeStart) {
          if (startPos != endOfLine && searchforLineEnd) continue;
          endOfLine = startPos;
        }
      }
      const Indexer indexer(doc, endOfLine);
      // Its groups are cleared by the run, found or not: they are the ones read from now on.
      lastSearch = LastSearch::Own;
      lastEngine = &engine;
      int success = engine.Execute(indexer, startOfLine, endOfLine);
      if (success) {
        pos = engine.bopat[0];
        engine.eopat[0] = OutsideCharacter(engine.eopat[0], 1, false);
        lenRet = engine.eopat[0] - engine.bopat[0];
        if (increment == -1 && !searchforLineStart) {
          // The last match on the line.
          int repetitions = 1000;
          while (success && engine.eopat[0] <= endOfLine && repetitions--) {
            success = engine.Execute(indexer, pos + 1, endOfLine);
            if (success) {
              if (engine.eopat[0] <= minPos) {
                pos = engine.bopat[0];
                lenRet = engine.eopat[0] - engine.bopat[0];
              } else {
                success = 0;
              }
            }
          }
        }
        break;
      }
    }
    *length = lenRet;
    return pos;
  }

  // Group `group` (0..9) of the last search, as the document core gives it: the document's
  // text now at the group's range, empty for a group that took no part.
  void AppendGroup(const sci_internal::RESearch& engine, int group, std::string* out) const {
    const Position start = engine.bopat[group];
    const Position end = engine.eopat[group];
    if (start == sci_internal::RESearch::NOTFOUND || end == sci_internal::RESearch::NOTFOUND)
      return;
    const Position length = doc->Length();
    for (Position at = start; at < end; ++at)
      out->push_back(at < 0 || at >= length ? '\0' : doc->CharAt(at));
  }

  // A template (\0..\9 and the C escapes) filled from the last search, or nullptr before any
  // search; the text lives until the next substitution.
  const char* Substitute(const char* text, Sci::Position* length) {
    if (lastSearch == LastSearch::None) return nullptr;
    if (lastSearch == LastSearch::Document) return doc->SubstituteByPosition(text, length);
    substituted.clear();
    for (Sci::Position j = 0; j < *length; j++) {
      if (text[j] != '\\') {
        substituted.push_back(text[j]);
        continue;
      }
      if (text[j + 1] >= '0' && text[j + 1] <= '9') {
        AppendGroup(*lastEngine, text[j + 1] - '0', &substituted);
        j++;
        continue;
      }
      j++;
      switch (text[j]) {
        case 'a':
          substituted.push_back('\a');
          break;
        case 'b':
          substituted.push_back('\b');
          break;
        case 'f':
          substituted.push_back('\f');
          break;
        case 'n':
          substituted.push_back('\n');
          break;
        case 'r':
          substituted.push_back('\r');
          break;
        case 't':
          substituted.push_back('\t');
          break;
        case 'v':
          substituted.push_back('\v');
          break;
        case '\\':
          substituted.push_back('\\');
          break;
        default:
          substituted.push_back('\\');
          j--;
      }
    }
    *length = static_cast<Sci::Position>(substituted.size());
    return substituted.c_str();
  }

  Position FindText(os::WParam flags, os::LParam record) {
    auto* find = reinterpret_cast<sci::TextToFind*>(record);
    if (!find || !find->lpstrText) return -1;
    Sci::Position length = static_cast<Sci::Position>(std::strlen(find->lpstrText));
    try {
      const Position found = Search(find->chrg.cpMin, find->chrg.cpMax, find->lpstrText,
                                    static_cast<int>(flags), &length);
      if (found != -1) {
        find->chrgText.cpMin = static_cast<std::int32_t>(found);
        find->chrgText.cpMax = static_cast<std::int32_t>(found + length);
      }
      return found;
    } catch (const std::exception&) {
      return -1;
    }
  }

  Position SearchInTarget(os::WParam length, os::LParam text) {
    if (text == 0) return -1;
    const std::string pattern(reinterpret_cast<const char*>(text), length);
    Sci::Position found = static_cast<Sci::Position>(pattern.size());
    try {
      const Position position =
          Search(targetStart, targetEnd, pattern.c_str(), searchFlags, &found);
      if (position != -1) {
        targetStart = position;
        targetEnd = position + found;
      }
      return position;
    } catch (const std::exception&) {
      return -1;
    }
  }

  Position GetTag(os::WParam group, os::LParam buffer) {
    const char* text = nullptr;
    Sci::Position length = 0;
    if (group >= 1 && group <= 9) {
      if (lastSearch == LastSearch::Own && buffer == 0) {
        // The length alone: the group's range, no text read.
        const Position start = lastEngine->bopat[group];
        const Position end = lastEngine->eopat[group];
        const bool took = start != sci_internal::RESearch::NOTFOUND &&
                          end != sci_internal::RESearch::NOTFOUND && end > start;
        return took ? end - start : 0;
      }
      char name[3] = {'\\', static_cast<char>('0' + group), 0};
      length = 2;
      text = Substitute(name, &length);
    }
    if (buffer) {
      char* out = reinterpret_cast<char*>(buffer);
      if (text) {
        std::memcpy(out, text, static_cast<std::size_t>(length) + 1);
      } else {
        *out = '\0';
      }
    }
    return text ? length : 0;
  }

  // Caret movement. The IDE's font is monospaced: a column (tabs expanded) stands for the x
  // position that the control keeps over vertical moves.

  void MoveCaret(Position position) {
    SetEmptySelection(position);
    desiredColumn = -1;
  }

  void VerticalMove(int direction) {
    if (verticalCaret != caret || desiredColumn < 0) desiredColumn = doc->GetColumn(caret);
    const Sci::Line line = doc->SciLineFromPosition(caret) + direction;
    Position target;
    if (line < 0) {
      target = 0;
    } else if (line >= doc->LinesTotal()) {
      target = doc->Length();
    } else {
      target = std::min<Position>(doc->FindColumn(line, desiredColumn), doc->LineEnd(line));
    }
    const Position column = desiredColumn;
    SetEmptySelection(target);
    desiredColumn = column;
    verticalCaret = caret;
  }

  void HorizontalMove(int direction) {
    Position target;
    if (!SelectionEmpty()) {
      target = direction < 0 ? SelectionStart() : SelectionEnd();
    } else {
      target = doc->MovePositionOutsideChar(caret + direction, direction, true);
    }
    MoveCaret(Clamp(target));
  }

  void VcHome() {
    const Sci::Line line = doc->SciLineFromPosition(caret);
    const Position indent = doc->GetLineIndentPosition(line);
    MoveCaret(caret == indent ? doc->LineStart(line) : indent);
  }

  bool RunCommand(std::uint32_t command);
  os::LResult Dispatch(std::uint32_t message, os::WParam wParam, os::LParam lParam);
};

bool EditorState::RunCommand(std::uint32_t command) {
  switch (command) {
    case sci::SCI_NEWLINE:
      NewLine();
      return true;
    case sci::SCI_DELETEBACK:
      DeleteBack();
      return true;
    case sci::SCI_CLEAR:
      DeleteForward();
      return true;
    case sci::SCI_TAB:
      Tab();
      return true;
    case sci::SCI_UNDO:
      Undo();
      return true;
    case sci::SCI_REDO:
      Redo();
      return true;
    case sci::SCI_CHARLEFT:
      HorizontalMove(-1);
      return true;
    case sci::SCI_CHARRIGHT:
      HorizontalMove(1);
      return true;
    case sci::SCI_LINEUP:
      VerticalMove(-1);
      return true;
    case sci::SCI_LINEDOWN:
      VerticalMove(1);
      return true;
    case sci::SCI_VCHOME:
      VcHome();
      return true;
    case sci::SCI_HOME:
      MoveCaret(doc->LineStart(doc->SciLineFromPosition(caret)));
      return true;
    case sci::SCI_LINEEND:
      MoveCaret(doc->LineEnd(doc->SciLineFromPosition(caret)));
      return true;
    case sci::SCI_DOCUMENTSTART:
      MoveCaret(0);
      return true;
    case sci::SCI_DOCUMENTEND:
      MoveCaret(doc->Length());
      return true;
    case sci::SCI_SELECTALL:
      SetSelection(0, doc->Length());
      return true;           // the caret at the start
    case sci::SCI_FORMFEED:  // typed like a character
      InsertCharacter("\f");
      return true;
    case sci::SCI_SELECTIONDUPLICATE:
      Duplicate();
      return true;
    default:
      return false;
  }
}

os::LResult EditorState::Dispatch(std::uint32_t message, os::WParam wParam, os::LParam lParam) {
  const Position wPosition = static_cast<Position>(static_cast<std::intptr_t>(wParam));
  switch (message) {
    // Text and positions.
    case sci::SCI_GETLENGTH:
    case sci::SCI_GETTEXTLENGTH:
      return doc->Length();
    case sci::SCI_GETCHARAT:
      return doc->CharAt(wPosition);
    case sci::SCI_GETSTYLEAT:
      return wPosition >= doc->Length() ? 0 : doc->StyleAt(wPosition);
    case sci::SCI_GETLINECOUNT:
      return doc->LinesTotal();
    case sci::SCI_LINEFROMPOSITION:
      return wPosition < 0 ? 0 : LineOfPosition(wPosition);
    case sci::SCI_POSITIONFROMLINE:
      if (wPosition < 0) return doc->LineStart(doc->SciLineFromPosition(SelectionStart()));
      if (wPosition == 0) return 0;
      if (wPosition > doc->LinesTotal()) return -1;
      if (wPosition == doc->LinesTotal()) return doc->LineStart(wPosition);
      return LineBounds(wPosition).start;
    case sci::SCI_GETLINEENDPOSITION:
      if (wPosition < 0 || wPosition >= doc->LinesTotal()) return doc->LineEnd(wPosition);
      return LineBounds(wPosition).end;
    case sci::SCI_GETLINEINDENTPOSITION:
      return doc->GetLineIndentPosition(wPosition);
    case sci::SCI_GETLINEINDENTATION:
      return doc->GetLineIndentation(wPosition);
    case sci::SCI_SETLINEINDENTATION:
      doc->SetLineIndentation(wPosition, lParam);
      return 0;
    case sci::SCI_GETCOLUMN:
      return doc->GetColumn(wPosition);
    case sci::SCI_LINELENGTH:
      if (wPosition < 0 || wPosition > doc->LineFromPosition(doc->Length())) return 0;
      return doc->LineStart(wPosition + 1) - doc->LineStart(wPosition);
    case sci::SCI_POSITIONBEFORE:
      return doc->MovePositionOutsideChar(wPosition - 1, -1, true);
    case sci::SCI_POSITIONAFTER:
      return doc->MovePositionOutsideChar(wPosition + 1, 1, true);
    case sci::SCI_GETTEXT: {
      if (lParam == 0) return doc->Length();
      char* out = reinterpret_cast<char*>(lParam);
      const Position length = std::min<Position>(wPosition, doc->Length());
      doc->GetCharRange(out, 0, length);
      out[length] = '\0';
      return length;
    }
    case sci::SCI_GETLINE: {
      const Position start = doc->LineStart(wPosition);
      const Position length = doc->LineStart(wPosition + 1) - start;
      if (lParam != 0) doc->GetCharRange(reinterpret_cast<char*>(lParam), start, length);
      return length;
    }
    case sci::SCI_GETTEXTRANGE: {
      auto* range = reinterpret_cast<sci::TextRange*>(lParam);
      if (!range || !range->lpstrText) return 0;
      Position end = range->chrg.cpMax == -1 ? doc->Length() : range->chrg.cpMax;
      const Position start = Clamp(range->chrg.cpMin);
      end = std::max(start, Clamp(end));
      doc->GetCharRange(range->lpstrText, start, end - start);
      range->lpstrText[end - start] = '\0';
      return end - start;
    }

    // Caret and selection.
    case sci::SCI_GETCURRENTPOS:
      return caret;
    case sci::SCI_GETANCHOR:
      return anchor;
    case sci::SCI_GOTOPOS:
      MoveCaret(wPosition);
      return 0;
    case sci::SCI_SETCURRENTPOS:
      SetSelection(wPosition, anchor);
      return 0;
    case sci::SCI_SETANCHOR:
      SetSelection(caret, wPosition);
      return 0;
    case sci::SCI_SETEMPTYSELECTION:
      SetEmptySelection(wPosition);
      return 0;
    case sci::SCI_SETSEL: {
      Position end = lParam < 0 ? doc->Length() : lParam;
      Position start = wPosition < 0 ? end : wPosition;
      needUpdate |= sci::SC_UPDATE_SELECTION;
      SetSelection(end, start);
      desiredColumn = -1;
      return 0;
    }
    case sci::SCI_SELECTALL:
      RunCommand(message);
      return 0;
    case sci::SCI_GETSELECTIONSTART:
    case sci::SCI_GETSELECTIONNSTART:
      return SelectionStart();
    case sci::SCI_GETSELECTIONEND:
    case sci::SCI_GETSELECTIONNEND:
      return SelectionEnd();
    case sci::SCI_GETMAINSELECTION:
      return 0;
    case sci::SCI_GETSELECTIONS:
      return 1;
    case sci::SCI_GETSELECTIONEMPTY:
      return SelectionEmpty() ? 1 : 0;
    case sci::SCI_HIDESELECTION:
      selectionHidden = wParam != 0;
      return 0;
    case sci::SCI_GETSELECTIONHIDDEN:
      return selectionHidden ? 1 : 0;

    // Edits.
    case sci::SCI_ADDTEXT: {
      if (lParam == 0) return 0;
      const Position inserted =
          doc->InsertString(caret, reinterpret_cast<const char*>(lParam), wPosition);
      SetEmptySelection(caret + inserted);
      return 0;
    }
    case sci::SCI_INSERTTEXT: {
      if (lParam == 0) return 0;
      const Position at = wPosition == -1 ? caret : wPosition;
      Position newCaret = caret;
      const char* text = reinterpret_cast<const char*>(lParam);
      const Position inserted = doc->InsertString(at, text, std::strlen(text));
      if (newCaret > at) newCaret += inserted;
      SetEmptySelection(newCaret);
      return 0;
    }
    case sci::SCI_REPLACESEL: {
      if (lParam == 0) return 0;
      sci_internal::UndoGroup group(doc);
      ClearSelection();
      const char* text = reinterpret_cast<const char*>(lParam);
      const Position inserted = doc->InsertString(caret, text, std::strlen(text));
      SetEmptySelection(caret + inserted);
      return 0;
    }
    case sci::SCI_SETTEXT: {
      if (lParam == 0) return 0;
      sci_internal::UndoGroup group(doc);
      doc->DeleteChars(0, doc->Length());
      SetEmptySelection(0);
      const char* text = reinterpret_cast<const char*>(lParam);
      doc->InsertString(0, text, std::strlen(text));
      return 1;
    }
    case sci::SCI_CLEARALL: {
      sci_internal::UndoGroup group(doc);
      if (doc->Length() != 0) doc->DeleteChars(0, doc->Length());
      SetEmptySelection(0);
      return 0;
    }
    case sci::SCI_CANPASTE:  // the clipboard holds text
      return Clipboard().empty() ? 0 : 1;
    case sci::SCI_PASTE:
      Paste();
      return 0;
    case sci::SCI_SETTARGETSTART:
      targetStart = wPosition;
      return 0;
    case sci::SCI_GETTARGETSTART:
      return targetStart;
    case sci::SCI_SETTARGETEND:
      targetEnd = wPosition;
      return 0;
    case sci::SCI_GETTARGETEND:
      return targetEnd;
    case sci::SCI_SETTARGETRANGE:
      targetStart = wPosition;
      targetEnd = lParam;
      return 0;
    case sci::SCI_REPLACETARGET:
      return ReplaceTarget(false, wParam, lParam);
    case sci::SCI_REPLACETARGETRE:
      return ReplaceTarget(true, wParam, lParam);

    // Search.
    case sci::SCI_FINDTEXT:
      return FindText(wParam, lParam);
    case sci::SCI_SEARCHINTARGET:
      return SearchInTarget(wParam, lParam);
    case sci::SCI_SETSEARCHFLAGS:
      searchFlags = static_cast<int>(wParam);
      return 0;
    case sci::SCI_GETSEARCHFLAGS:
      return searchFlags;
    case sci::SCI_GETTAG:
      return GetTag(wParam, lParam);

    // Undo.
    case sci::SCI_BEGINUNDOACTION:
      doc->BeginUndoAction();
      ++undoGroupsOpened;
      return 0;
    case sci::SCI_ENDUNDOACTION:
      doc->EndUndoAction();
      --undoGroupsOpened;
      return 0;
    case sci::SCI_EMPTYUNDOBUFFER:
      doc->DeleteUndoHistory();
      return 0;
    case sci::SCI_SETUNDOCOLLECTION:
      doc->SetUndoCollection(wParam != 0);
      return 0;
    case sci::SCI_GETUNDOCOLLECTION:
      return doc->IsCollectingUndo() ? 1 : 0;
    case sci::SCI_CANUNDO:
      return doc->CanUndo() ? 1 : 0;
    case sci::SCI_CANREDO:
      return doc->CanRedo() ? 1 : 0;
    case sci::SCI_GETMODIFY:
      return doc->IsSavePoint() ? 0 : 1;

    // Document settings.
    case sci::SCI_GETEOLMODE:
      return static_cast<os::LResult>(doc->eolMode);
    case sci::SCI_SETEOLMODE:
      doc->eolMode = static_cast<sc::EndOfLine>(wParam);
      return 0;
    case sci::SCI_SETCODEPAGE:
      knownLine.valid = false;  // the line ends the document recognises may change with it
      doc->SetDBCSCodePage(static_cast<int>(wParam));
      return 0;
    case sci::SCI_GETCODEPAGE:
      return doc->dbcsCodePage;
    case sci::SCI_SETTABWIDTH:
      if (wPosition > 0) {
        doc->tabInChars = static_cast<int>(wPosition);
        if (doc->indentInChars == 0) doc->actualIndentInChars = doc->tabInChars;
      }
      return 0;
    case sci::SCI_GETTABWIDTH:
      return doc->tabInChars;
    case sci::SCI_SETINDENT:
      doc->indentInChars = static_cast<int>(wPosition);
      doc->actualIndentInChars = doc->indentInChars != 0 ? doc->indentInChars : doc->tabInChars;
      return 0;
    case sci::SCI_GETINDENT:
      return doc->indentInChars;
    case sci::SCI_SETUSETABS:
      doc->useTabs = wParam != 0;
      return 0;
    case sci::SCI_GETUSETABS:
      return doc->useTabs ? 1 : 0;
    case sci::SCI_SETTABINDENTS:
      doc->tabIndents = wParam != 0;
      return 0;
    case sci::SCI_GETTABINDENTS:
      return doc->tabIndents ? 1 : 0;
    case sci::SCI_SETMODEVENTMASK:
      modEventMask = static_cast<int>(wParam);
      return 0;
    case sci::SCI_GETMODEVENTMASK:
      return modEventMask;
    case sci::SCI_GETSTATUS:
      return 0;
    case sci::SCI_SETFOCUS:
      return 0;  // handled by Editor::Message, which owns the notification
    case sci::SCI_GETFOCUS:
      return focused ? 1 : 0;

    // Styling from the container.
    case sci::SCI_GETENDSTYLED:
      return doc->GetEndStyled();
    case sci::SCI_STARTSTYLING:
      doc->StartStyling(wPosition);
      return 0;
    case sci::SCI_SETSTYLING:
      if (wPosition >= 0) doc->SetStyleFor(wPosition, static_cast<char>(lParam));
      return 0;
    case sci::SCI_SETSTYLINGEX:
      if (lParam == 0) return 0;
      doc->SetStyles(wPosition, reinterpret_cast<const char*>(lParam));
      return 0;
    case sci::SCI_COLOURISE:
      // As the control does without a lexer: the styles from `wParam` on count as out of date,
      // and the container is asked to style up to `lParam` (-1: the end).
      doc->ModifiedAt(wPosition);
      NotifyStyleNeeded(doc, nullptr, lParam == -1 ? doc->Length() : static_cast<Position>(lParam));
      return 0;

    // Caret display and scrolling policy.
    case sci::SCI_SETCARETWIDTH:
      caretWidth = std::clamp(static_cast<int>(wParam), 0, 20);
      return 0;
    case sci::SCI_GETCARETWIDTH:
      return caretWidth;
    case sci::SCI_SETXCARETPOLICY:
      xCaretPolicy = static_cast<int>(wParam);
      xCaretSlop = static_cast<int>(lParam);
      return 0;
    case sci::SCI_SETYCARETPOLICY:
      yCaretPolicy = static_cast<int>(wParam);
      yCaretSlop = static_cast<int>(lParam);
      return 0;
    case sci::SCI_SETCARETLINEVISIBLE:
      caretLineVisible = wParam != 0;
      return 0;
    case sci::SCI_GETCARETLINEVISIBLE:
      return caretLineVisible;
    case sci::SCI_SETCARETLINEVISIBLEALWAYS:
      caretLineVisibleAlways = wParam != 0;
      return 0;
    case sci::SCI_GETCARETLINEVISIBLEALWAYS:
      return caretLineVisibleAlways;

    // Autocompletion and multiple selections.
    case sci::SCI_AUTOCSETDROPRESTOFWORD:
      autoCompleteDropRestOfWord = wParam != 0;
      return 0;
    case sci::SCI_AUTOCGETDROPRESTOFWORD:
      return autoCompleteDropRestOfWord;
    case sci::SCI_SETMULTIPLESELECTION:
      multipleSelection = wParam != 0;
      return 0;
    case sci::SCI_GETMULTIPLESELECTION:
      return multipleSelection;
    case sci::SCI_SETADDITIONALSELECTIONTYPING:
      additionalSelectionTyping = wParam != 0;
      return 0;
    case sci::SCI_GETADDITIONALSELECTIONTYPING:
      return additionalSelectionTyping;
    case sci::SCI_SETMULTIPASTE:
      multiPaste = static_cast<int>(wParam);
      return 0;
    case sci::SCI_GETMULTIPASTE:
      return multiPaste;

    // Indicators.
    case sci::SCI_INDICSETSTYLE:
      if (wParam < indicators.size()) indicators[wParam].style = static_cast<int>(lParam);
      return 0;
    case sci::SCI_INDICGETSTYLE:
      return wParam < indicators.size() ? indicators[wParam].style : 0;
    case sci::SCI_INDICSETFORE:
      if (wParam < indicators.size()) indicators[wParam].fore = static_cast<int>(lParam);
      return 0;
    case sci::SCI_INDICGETFORE:
      return wParam < indicators.size() ? indicators[wParam].fore : 0;
    case sci::SCI_INDICSETALPHA:
      if (wParam < indicators.size())
        indicators[wParam].alpha = std::clamp(static_cast<int>(lParam), 0, 255);
      return 0;
    case sci::SCI_INDICGETALPHA:
      return wParam < indicators.size() ? indicators[wParam].alpha : 0;
    case sci::SCI_INDICSETOUTLINEALPHA:
      if (wParam < indicators.size())
        indicators[wParam].outlineAlpha = std::clamp(static_cast<int>(lParam), 0, 255);
      return 0;
    case sci::SCI_INDICGETOUTLINEALPHA:
      return wParam < indicators.size() ? indicators[wParam].outlineAlpha : 0;
    case sci::SCI_INDICSETUNDER:
      if (wParam < indicators.size()) indicators[wParam].under = lParam != 0;
      return 0;
    case sci::SCI_INDICGETUNDER:
      return wParam < indicators.size() ? indicators[wParam].under : 0;
    case sci::SCI_SETINDICATORCURRENT:
      doc->DecorationSetCurrentIndicator(static_cast<int>(wParam));
      return 0;
    case sci::SCI_GETINDICATORCURRENT:
      return doc->decorations->GetCurrentIndicator();
    case sci::SCI_SETINDICATORVALUE:
      doc->decorations->SetCurrentValue(static_cast<int>(wParam));
      return 0;
    case sci::SCI_GETINDICATORVALUE:
      return doc->decorations->GetCurrentValue();
    case sci::SCI_INDICATORFILLRANGE:
      doc->DecorationFillRange(wPosition, doc->decorations->GetCurrentValue(), lParam);
      return 0;
    case sci::SCI_INDICATORCLEARRANGE:
      doc->DecorationFillRange(wPosition, 0, lParam);
      return 0;
    case sci::SCI_INDICATORVALUEAT:
      return doc->decorations->ValueAt(static_cast<int>(wParam), lParam);
    case sci::SCI_INDICATORALLONFOR:
      return doc->decorations->AllOnFor(wPosition);

    // Style attributes (read by the debug dumps).
    case sci::SCI_STYLESETFORE:
      styles[wParam & 0xFF].fore = static_cast<int>(lParam);
      return 0;
    case sci::SCI_STYLESETBACK:
      styles[wParam & 0xFF].back = static_cast<int>(lParam);
      return 0;
    case sci::SCI_STYLESETBOLD:
      styles[wParam & 0xFF].bold = lParam != 0;
      return 0;
    case sci::SCI_STYLESETITALIC:
      styles[wParam & 0xFF].italic = lParam != 0;
      return 0;
    case sci::SCI_STYLESETUNDERLINE:
      styles[wParam & 0xFF].underline = lParam != 0;
      return 0;
    case sci::SCI_STYLESETCASE:
      styles[wParam & 0xFF].caseForce = static_cast<int>(lParam);
      return 0;
    case sci::SCI_STYLESETVISIBLE:
      styles[wParam & 0xFF].visible = lParam != 0;
      return 0;
    case sci::SCI_STYLESETCHANGEABLE:
      styles[wParam & 0xFF].changeable = lParam != 0;
      return 0;
    case sci::SCI_STYLESETHOTSPOT:
      styles[wParam & 0xFF].hotspot = lParam != 0;
      return 0;
    case sci::SCI_STYLEGETFORE:
      return styles[wParam & 0xFF].fore;
    case sci::SCI_STYLEGETBACK:
      return styles[wParam & 0xFF].back;
    case sci::SCI_STYLEGETBOLD:
      return styles[wParam & 0xFF].bold;
    case sci::SCI_STYLEGETITALIC:
      return styles[wParam & 0xFF].italic;
    case sci::SCI_STYLEGETUNDERLINE:
      return styles[wParam & 0xFF].underline;
    case sci::SCI_STYLEGETCASE:
      return styles[wParam & 0xFF].caseForce;
    case sci::SCI_STYLEGETVISIBLE:
      return styles[wParam & 0xFF].visible;
    case sci::SCI_STYLEGETCHANGEABLE:
      return styles[wParam & 0xFF].changeable;
    case sci::SCI_STYLEGETHOTSPOT:
      return styles[wParam & 0xFF].hotspot;

    // Key map.
    case sci::SCI_ASSIGNCMDKEY:
      keyMap[KeyMapIndex(static_cast<int>(wParam & 0xFFFF),
                         static_cast<int>((wParam >> 16) & 0xFFFF))] =
          static_cast<std::uint32_t>(lParam);
      return 0;
    case sci::SCI_CLEARCMDKEY:
      keyMap.erase(KeyMapIndex(static_cast<int>(wParam & 0xFFFF),
                               static_cast<int>((wParam >> 16) & 0xFFFF)));
      return 0;

    default:
      if (RunCommand(message)) return 0;
      if (UnknownReporter()) UnknownReporter()(window, message);
      return 0;
  }
}

namespace {

// The editor is the window's data (set at its creation, cleared when it is destroyed).
os::LResult EditorWindowProc(void* editor, os::Window, std::uint32_t message, os::WParam wParam,
                             os::LParam lParam) {
  return editor ? static_cast<Editor*>(editor)->Message(message, wParam, lParam) : 0;
}

// Editors by window, so that a window procedure finds its editor.
std::map<os::Window, Editor*>& EditorsByWindow() {
  static std::map<os::Window, Editor*> editors;
  return editors;
}

}  // namespace

Editor* EditorFromWindow(os::Window window) {
  const auto found = EditorsByWindow().find(window);
  return found == EditorsByWindow().end() ? nullptr : found->second;
}

Editor::Editor(os::Window parent, int controlId) : state_(std::make_unique<EditorState>()) {
  state_->parent = parent;
  state_->controlId = controlId;
  os::sim::WindowSpec params;
  params.className = "Scintilla";
  params.parent = parent;
  params.dataProcedure = &EditorWindowProc;
  params.data = this;
  state_->window = os::sim::CreateWindow(params);
  EditorsByWindow()[state_->window] = this;
}

Editor::~Editor() {
  EditorsByWindow().erase(state_->window);
  os::sim::SetWindowData(state_->window, nullptr);
  if (os::IsWindow(state_->window)) os::sim::DestroyWindow(state_->window);
}

os::Window Editor::Window() const { return state_->window; }
int Editor::UndoGroupDepth() const { return state_->undoGroupsOpened; }
int Editor::ControlId() const { return state_->controlId; }

os::LResult Editor::Message(std::uint32_t message, os::WParam wParam, os::LParam lParam) {
  if (message == sci::SCI_SETFOCUS) {
    SetFocus(wParam != 0);
    return 0;
  }
  return state_->Dispatch(message, wParam, lParam);
}

void Editor::TypeCharacter(std::string_view utf8) { state_->InsertCharacter(utf8); }

bool Editor::KeyDown(int key, int modifiers) {
  const auto found = state_->keyMap.find(KeyMapIndex(key, modifiers));
  if (found == state_->keyMap.end() || found->second == 0) return false;
  const std::uint32_t command = found->second;
  if (!state_->RunCommand(command)) Message(command, 0, 0);
  return true;
}

void Editor::SetFocus(bool focused) {
  if (state_->focused == focused) return;
  state_->focused = focused;
  state_->NotifyCode(focused ? sci::SCN_FOCUSIN : static_cast<std::uint32_t>(sci::SCN_FOCUSOUT));
}

bool Editor::HasFocus() const { return state_->focused; }

void Editor::BlinkCaret() { state_->NotifyCode(sci::SCN_PAINTED); }

bool Editor::NeedsPaint() const {
  return state_->needUpdate != 0 ||
         (state_->doc->GetEndStyled() < state_->doc->Length() && !state_->stylingRefused);
}

bool Editor::Paint() {
  EditorState& s = *state_;
  // A container that declined to style is asked again after the next change of the text.
  if (s.doc->GetEndStyled() < s.doc->Length() && !s.stylingRefused) {
    s.doc->EnsureStyledTo(s.doc->Length());
    s.stylingRefused = s.doc->GetEndStyled() < s.doc->Length();
  }
  if (s.needUpdate == 0) return false;
  sci::Notification scn{};
  scn.nmhdr.code = sci::SCN_UPDATEUI;
  scn.updated = s.needUpdate;
  s.Notify(scn);
  // What changed while the update was handled is not reported later.
  s.needUpdate = 0;
  return true;
}

std::string Editor::Text() const { return TextRange(0, Length()); }

std::string Editor::TextRange(std::int64_t start, std::int64_t end) const {
  start = state_->Clamp(start);
  end = std::max(start, state_->Clamp(end));
  std::string text(static_cast<std::size_t>(end - start), '\0');
  state_->doc->GetCharRange(text.data(), start, end - start);
  return text;
}

std::int64_t Editor::Length() const { return state_->doc->Length(); }
std::int64_t Editor::Caret() const { return state_->caret; }
std::int64_t Editor::Anchor() const { return state_->anchor; }

}  // namespace headless
