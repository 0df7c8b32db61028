#include "core/ascii.h"

namespace core {

std::string AsciiToLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

std::string AsciiToUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

int CompareIgnoreCase(std::string_view a, std::string_view b) noexcept {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(AsciiLower(a[i]));
    const auto y = static_cast<unsigned char>(AsciiLower(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) noexcept {
  return a.size() == b.size() && CompareIgnoreCase(a, b) == 0;
}

std::size_t FindIgnoreCase(std::string_view haystack, std::string_view needle,
                           std::size_t from) noexcept {
  if (from > haystack.size() || needle.size() > haystack.size() - from) {
    return std::string_view::npos;
  }
  const std::size_t last = haystack.size() - needle.size();
  for (std::size_t at = from; at <= last; ++at) {
    if (EqualsIgnoreCase(haystack.substr(at, needle.size()), needle)) return at;
  }
  return std::string_view::npos;
}

}  // namespace core
