// UTF-8 <-> UTF-16 conversion. Texts are UTF-16 towards Windows and in dialog descriptions,
// UTF-8 inside the editors and at the OS boundary. Malformed input never throws: each broken
// sequence (or lone surrogate) becomes U+FFFD, so a bad byte costs one character, not the text.
#pragma once

#include <string>
#include <string_view>

namespace core {

std::u16string Utf8ToUtf16(std::string_view text) noexcept;
std::string Utf16ToUtf8(std::u16string_view text) noexcept;
// ISO-8859-1 (each byte one character) to UTF-8.
std::string Latin1ToUtf8(std::string_view text) noexcept;
// True when `text` is well-formed UTF-8.
bool IsValidUtf8(std::string_view text) noexcept;

constexpr char32_t kReplacementCharacter = 0xFFFD;

}  // namespace core
