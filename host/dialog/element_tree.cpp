#include "host/dialog/element_tree.h"

#include <expat.h>

#include <algorithm>

namespace dialog {

Element::~Element() {
  // Move every descendant into a flat list before it is destroyed, so that destruction never
  // recurses more than one level.
  std::vector<std::unique_ptr<Element>> pending;
  for (auto& child : children) pending.push_back(std::move(child));
  children.clear();
  while (!pending.empty()) {
    std::unique_ptr<Element> element = std::move(pending.back());
    pending.pop_back();
    for (auto& child : element->children) pending.push_back(std::move(child));
    element->children.clear();
  }
}

namespace {

char LowerChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

struct TreeBuilder {
  XML_Parser parser = nullptr;
  std::unique_ptr<Element> root;
  std::vector<Element*> open;  // stored elements from the root to the innermost one
  int depth = 0;               // current depth, counting elements that are not stored
  int deepest = 0;
};

void XMLCALL OnStart(void* userData, const XML_Char* name, const XML_Char** attributes) {
  auto* builder = static_cast<TreeBuilder*>(userData);
  ++builder->depth;
  builder->deepest = std::max(builder->deepest, builder->depth);
  if (builder->depth > kMaxStoredDepth) return;
  auto element = std::make_unique<Element>();
  element->name = name;
  element->line = static_cast<int>(XML_GetCurrentLineNumber(builder->parser));
  element->depth = builder->depth;
  for (int i = 0; attributes[i] != nullptr; i += 2)
    element->attributes.push_back(Attribute{attributes[i], attributes[i + 1]});
  Element* raw = element.get();
  if (builder->open.empty()) {
    builder->root = std::move(element);
  } else {
    builder->open.back()->children.push_back(std::move(element));
  }
  builder->open.push_back(raw);
}

void XMLCALL OnEnd(void* userData, const XML_Char*) {
  auto* builder = static_cast<TreeBuilder*>(userData);
  if (builder->depth <= kMaxStoredDepth) builder->open.pop_back();
  --builder->depth;
}

Document Parse(const char* bytes, size_t length, const char* encoding) {
  Document document;
  TreeBuilder builder;
  builder.parser = XML_ParserCreate(encoding);
  if (builder.parser == nullptr) {
    document.errorText = "out of memory";
    return document;
  }
  XML_SetUserData(builder.parser, &builder);
  XML_SetElementHandler(builder.parser, OnStart, OnEnd);
  // Feed in slices: XML_Parse takes an int length.
  const size_t slice = 1 << 20;
  bool ok = true;
  size_t offset = 0;
  do {
    size_t part = std::min(slice, length - offset);
    bool last = offset + part == length;
    if (XML_Parse(builder.parser, bytes + offset, static_cast<int>(part), last) ==
        XML_STATUS_ERROR) {
      ok = false;
      break;
    }
    offset += part;
  } while (offset < length);
  if (ok && builder.root == nullptr) ok = false;  // cannot happen after a successful last call
  if (ok) {
    document.root = std::move(builder.root);
  } else {
    const XML_LChar* text = XML_ErrorString(XML_GetErrorCode(builder.parser));
    document.errorText = text != nullptr ? text : "unknown error";
    document.errorLine = static_cast<int>(XML_GetCurrentLineNumber(builder.parser));
  }
  document.deepestLevel = builder.deepest;
  XML_ParserFree(builder.parser);
  return document;
}

}  // namespace

Document ParseDescription(const std::u16string& text) {
  // Little-endian bytes whatever the machine's byte order.
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return Parse(bytes.data(), bytes.size(), "UTF-16LE");
}

Document ParseDescriptionUtf8(std::string_view text) {
  return Parse(text.data(), text.size(), "UTF-8");
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerChar(a[i]) != LowerChar(b[i])) return false;
  return true;
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = LowerChar(c);
  return lower;
}

bool IsElement(const Element& element, std::string_view name) {
  return SameName(element.name, name);
}

const Attribute* FindAttribute(const Element& element, std::string_view name) {
  for (const Attribute& attribute : element.attributes)
    if (SameName(attribute.name, name)) return &attribute;
  return nullptr;
}

bool HasAttribute(const Element& element, std::string_view name) {
  return FindAttribute(element, name) != nullptr;
}

std::string GetAttribute(const Element& element, std::string_view name) {
  const Attribute* attribute = FindAttribute(element, name);
  return attribute != nullptr ? attribute->value : std::string();
}

void SetAttribute(Element& element, std::string_view name, std::string_view value) {
  for (Attribute& attribute : element.attributes) {
    if (SameName(attribute.name, name)) {
      attribute.value = std::string(value);
      return;
    }
  }
  element.attributes.push_back(Attribute{std::string(name), std::string(value)});
}

std::string Utf16ToUtf8(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = 0xFFFD;
    }
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (code >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    char32_t code = 0xFFFD;
    size_t extra = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
      code = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      code = lead & 0x1F, extra = 1, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      code = lead & 0x0F, extra = 2, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      code = lead & 0x07, extra = 3, minimum = 0x10000;
    } else {
      extra = 0, code = 0xFFFD;
    }
    size_t consumed = 1;
    bool valid = true;
    for (size_t k = 1; k <= extra; ++k) {
      if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
      ++consumed;
    }
    if (!valid ||
        (extra > 0 && (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))))
      code = 0xFFFD;
    i += consumed;
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
  }
  return out;
}

}  // namespace dialog
