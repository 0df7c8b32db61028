// Text helpers of the host beyond core's integer text: preference values, combo numbers,
// colour text and plugin (UTF-16) texts.
#pragma once

#include <cstdint>
#include <string>

// Decimal integer with optional leading white space and sign (the preferences' values);
// saturating; no digits gives 0.
std::int64_t ReadDecimalText(const std::string& text);
// The leading decimal number of `text` (blanks, sign and a fraction allowed) rounded to the
// nearest integer, ties to even; no number gives 0; saturating.
std::int64_t ReadRoundedNumber(const std::string& text);

// Upper-case hexadecimal, padded with "0" on the left to `digits`.
std::string UpperHexPadded(std::int64_t value, int digits);

// A text returned by a plugin (UTF-16, owned by the plugin), copied at once; null gives "".
std::string PluginText(const char16_t* text);
