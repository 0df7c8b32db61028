#include "core/utf.h"

#include <new>

namespace core {
namespace {

// Decodes one character at `at` and advances past it. A malformed sequence yields U+FFFD and
// advances over its maximal valid prefix (at least one byte), as Unicode recommends.
char32_t DecodeUtf8(std::string_view text, std::size_t& at) noexcept {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) {
    ++at;
    return lead;
  }
  int length;
  char32_t value;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    ++at;
    return kReplacementCharacter;
  }
  ++at;
  for (int i = 1; i < length; ++i) {
    if (at >= text.size()) return kReplacementCharacter;
    const unsigned char next = byte(at);
    const unsigned char min = i == 1 ? low : 0x80;
    const unsigned char max = i == 1 ? high : 0xBF;
    if (next < min || next > max) return kReplacementCharacter;
    value = (value << 6) | (next & 0x3F);
    ++at;
  }
  return value;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

bool IsAscii(std::string_view text) noexcept {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) noexcept {
  try {
    std::u16string out;
    out.reserve(text.size());
    if (IsAscii(text)) {
      for (char c : text) out.push_back(static_cast<char16_t>(c));
      return out;
    }
    std::size_t at = 0;
    while (at < text.size()) {
      const char32_t c = DecodeUtf8(text, at);
      if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
      } else {
        out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
      }
    }
    return out;
  } catch (const std::bad_alloc&) {
    return {};
  }
}

std::string Utf16ToUtf8(std::u16string_view text) noexcept {
  try {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
      char32_t c = text[at];
      if (c >= 0xD800 && c <= 0xDBFF) {
        if (at + 1 < text.size() && text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF) {
          c = 0x10000 + ((c - 0xD800) << 10) + (text[at + 1] - 0xDC00);
          ++at;
        } else {
          c = kReplacementCharacter;
        }
      } else if (c >= 0xDC00 && c <= 0xDFFF) {
        c = kReplacementCharacter;
      }
      AppendUtf8(out, c);
    }
    return out;
  } catch (const std::bad_alloc&) {
    return {};
  }
}

std::string Latin1ToUtf8(std::string_view text) noexcept {
  try {
    std::string out;
    out.reserve(text.size());
    for (char c : text) AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
  } catch (const std::bad_alloc&) {
    return {};
  }
}

bool IsValidUtf8(std::string_view text) noexcept {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t start = at;
    if (DecodeUtf8(text, at) == kReplacementCharacter) {
      // A real U+FFFD is EF BF BD; anything else decoding to it was malformed.
      if (at - start != 3 || text.substr(start, 3) != "\xEF\xBF\xBD") return false;
    }
  }
  return true;
}

}  // namespace core
