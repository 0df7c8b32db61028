#include "core/integer_text.h"

#include <limits>

namespace core {
namespace {

int DigitValue(char c, int base) noexcept {
  int value;
  if (c >= '0' && c <= '9') {
    value = c - '0';
  } else if (c >= 'a' && c <= 'f') {
    value = c - 'a' + 10;
  } else if (c >= 'A' && c <= 'F') {
    value = c - 'A' + 10;
  } else {
    return -1;
  }
  return value < base ? value : -1;
}

// Reads an optionally signed number at `at` (after the blanks), its digits in `base` or, with
// `prefixes`, in the base that a "$" or "%" names. Saturates at the nearest limit.
std::int64_t ReadNumber(std::string_view text, std::size_t* consumed, bool prefixes) noexcept {
  std::size_t at = 0;
  if (consumed) *consumed = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;

  bool negative = false;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
    negative = text[at] == '-';
    ++at;
  }

  int base = 10;
  if (prefixes && at < text.size() && text[at] == '$') {
    base = 16;
    ++at;
  } else if (prefixes && at < text.size() && text[at] == '%') {
    base = 2;
    ++at;
  }

  // The magnitude is gathered unsigned; the limit differs by one between the two signs.
  constexpr std::uint64_t kMaxPositive = std::numeric_limits<std::int64_t>::max();
  const std::uint64_t limit = negative ? kMaxPositive + 1 : kMaxPositive;
  std::uint64_t magnitude = 0;
  bool saturated = false;
  const std::size_t firstDigit = at;
  for (; at < text.size(); ++at) {
    const int digit = DigitValue(text[at], base);
    if (digit < 0) break;
    if (saturated) continue;
    if (magnitude >
        (limit - static_cast<std::uint64_t>(digit)) / static_cast<std::uint64_t>(base)) {
      saturated = true;
      magnitude = limit;
    } else {
      magnitude = magnitude * base + digit;
    }
  }
  if (at == firstDigit) return 0;
  if (consumed) *consumed = at;

  if (!negative) return static_cast<std::int64_t>(magnitude);
  if (magnitude == kMaxPositive + 1) return std::numeric_limits<std::int64_t>::min();
  return -static_cast<std::int64_t>(magnitude);
}

}  // namespace

std::int64_t ReadIntegerText(std::string_view text, std::size_t* consumed) noexcept {
  return ReadNumber(text, consumed, true);
}

std::int64_t ReadIntegerText(std::string_view text) noexcept {
  return ReadIntegerText(text, nullptr);
}

std::int64_t ReadDecimalText(std::string_view text) noexcept {
  return ReadNumber(text, nullptr, false);
}

}  // namespace core
