#include "host/host_text.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "core/utf.h"

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// Accumulates digits of `base` from text[i]; saturates the magnitude at what the sign allows.
std::int64_t ReadDigits(const std::string& text, std::size_t i, int base, bool negative) {
  // Magnitude limit: 2^63 for a negative result, 2^63 - 1 for a positive one.
  const std::uint64_t limit = negative ? std::uint64_t(kMax) + 1 : std::uint64_t(kMax);
  std::uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    int digit = DigitValue(text[i]);
    if (digit >= base) break;
    if (magnitude > (limit - digit) / base) {
      magnitude = limit;  // saturate; keep consuming digits
      continue;
    }
    magnitude = magnitude * base + digit;
  }
  if (!negative) return std::int64_t(magnitude);
  return magnitude == std::uint64_t(kMax) + 1 ? kMin : -std::int64_t(magnitude);
}

std::size_t SkipSign(const std::string& text, std::size_t i, bool* negative) {
  *negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    *negative = text[i] == '-';
    ++i;
  }
  return i;
}

}  // namespace

std::int64_t ReadDecimalText(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) ++i;
  bool negative;
  i = SkipSign(text, i, &negative);
  return ReadDigits(text, i, 10, negative);
}

std::int64_t ReadRoundedNumber(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::string number;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) number += text[i++];
  bool digits = false, point = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
    number += c;
  }
  if (!digits) return 0;
  double value = std::strtod(number.c_str(), nullptr);
  if (!(value < 9.2e18)) return kMax;
  if (!(value > -9.2e18)) return kMin;
  return std::int64_t(std::nearbyint(value));  // default rounding: ties to even
}

std::string UpperHexPadded(std::int64_t value, int digits) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::uint64_t bits = std::uint64_t(value);
  std::string text;
  do {
    text.insert(text.begin(), kDigits[bits & 15]);
    bits >>= 4;
  } while (bits);
  if (int(text.size()) < digits) text.insert(0, std::size_t(digits) - text.size(), '0');
  return text;
}
std::string PluginText(const char16_t* text) {
  return text ? core::Utf16ToUtf8(std::u16string_view(text)) : std::string();
}
