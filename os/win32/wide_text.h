// Text towards and from the wide Win32 functions: their wchar_t is UTF-16, the program's text is
// UTF-8. Malformed input becomes U+FFFD (core/utf.h), never an exception or a cut text.
#pragma once

#include <string>
#include <string_view>

#include "core/utf.h"

namespace os {

inline std::wstring Wide(std::string_view text) {
  const std::u16string wide = core::Utf8ToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

inline std::string Narrow(std::wstring_view text) {
  return core::Utf16ToUtf8(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

}  // namespace os
