// ASCII-only case folding: window class names, property names (atoms), environment names,
// keywords and file patterns are compared this way; bytes above 0x7F are left as they are.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace core {

constexpr char AsciiLower(char c) noexcept {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr char AsciiUpper(char c) noexcept {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string AsciiToLower(std::string_view text);
std::string AsciiToUpper(std::string_view text);

// <0, 0, >0 like strcmp, comparing the lower-case forms.
int CompareIgnoreCase(std::string_view a, std::string_view b) noexcept;
bool EqualsIgnoreCase(std::string_view a, std::string_view b) noexcept;
// Position of the first occurrence of `needle` at or after `from`, or std::string_view::npos.
std::size_t FindIgnoreCase(std::string_view haystack, std::string_view needle,
                           std::size_t from = 0) noexcept;

// Ordering for maps keyed without regard to case; transparent, so a lookup by string_view
// does not build a std::string.
struct LessIgnoreCase {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept {
    return CompareIgnoreCase(a, b) < 0;
  }
};

}  // namespace core
