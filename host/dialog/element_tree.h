// The parsed form of a dialog description: an element tree with UTF-8 texts.
//
// Element and attribute names keep the case they were written in; every lookup compares them
// without regard to (ASCII) case. Only element nodes are kept (text between elements is dropped).
// The host reads the tree (and writes generated `name` attributes into it) before the dialog
// engine builds a window from it.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dialog {

struct Attribute {
  std::string name;   // as written
  std::string value;  // after entity expansion, UTF-8
};

struct Element {
  std::string name;  // as written
  std::vector<Attribute> attributes;
  std::vector<std::unique_ptr<Element>> children;  // element children, in document order
  int line = 0;                                    // 1-based line of the start tag
  int depth = 1;                                   // the root is at depth 1

  Element() = default;
  Element(const Element&) = delete;
  Element& operator=(const Element&) = delete;
  ~Element();  // iterative: a deep tree must not exhaust the stack
};

// Deepest level kept by the parser. Elements below it are dropped (the document records how deep
// the text went); the engine refuses any tree deeper than kMaxNestingDepth, so a tree cut here
// always fails the build with the nesting error instead of being silently shortened.
constexpr int kMaxNestingDepth = 256;
constexpr int kMaxStoredDepth = kMaxNestingDepth + 1;

struct Document {
  std::unique_ptr<Element> root;  // null when parsing failed
  std::string errorText;          // the parser's own text (XML_ErrorString) when parsing failed
  int errorLine = 0;              // 1-based line of the error
  int deepestLevel = 0;           // nesting depth of the text, also beyond kMaxStoredDepth

  bool ok() const { return root != nullptr; }
};

// Parses a UTF-16 description (as the host holds it) with Expat, as UTF-16LE.
Document ParseDescription(const std::u16string& text);
// Same for a UTF-8 text (tools and tests).
Document ParseDescriptionUtf8(std::string_view text);

// ASCII case-insensitive comparison, used for element names, attribute names and keywords.
bool SameName(std::string_view a, std::string_view b);
std::string LowerAscii(std::string_view text);

bool IsElement(const Element& element, std::string_view name);  // without regard to case
const Attribute* FindAttribute(const Element& element, std::string_view name);
bool HasAttribute(const Element& element, std::string_view name);
// The value, or empty when the attribute is absent.
std::string GetAttribute(const Element& element, std::string_view name);
// Replaces the value of an existing attribute (found without regard to case), else appends one.
void SetAttribute(Element& element, std::string_view name, std::string_view value);

// UTF-16 <-> UTF-8 (invalid sequences become U+FFFD).
std::string Utf16ToUtf8(const std::u16string& text);
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace dialog
