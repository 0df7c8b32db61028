// Integer text: how the host reads a number from a text (dialog attributes, colour fields,
// preferences, PB_TOOL_MainWindow).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace core {

// Leading blanks and tabs are skipped, then an optional "-" or "+", then "$" and hexadecimal
// digits (either case), "%" and binary digits, or decimal digits. Reading stops at the first
// other character; no digits gives 0. A value beyond the signed 64-bit range saturates at the
// nearest limit instead of wrapping, so an absurd handle or colour never turns into a plausible
// one of the other sign.
std::int64_t ReadIntegerText(std::string_view text) noexcept;

// As above; `consumed` receives the number of characters read (0 when no digit was found).
std::int64_t ReadIntegerText(std::string_view text, std::size_t* consumed) noexcept;

// The same for decimal digits alone ("$" and "%" are no digits): leading blanks and tabs, an
// optional sign, the digits up to the first other character; no digits gives 0; saturating.
std::int64_t ReadDecimalText(std::string_view text) noexcept;

}  // namespace core
