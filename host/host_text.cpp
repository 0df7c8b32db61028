#include "host/host_text.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "core/integer_text.h"
#include "core/utf.h"

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

}  // namespace

std::int64_t ReadDecimalText(const std::string& text) {
  // The white space in front may hold line ends here.
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  return first == std::string::npos ? 0
                                    : core::ReadDecimalText(std::string_view(text).substr(first));
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
