// The tolerant number parser of every input field and file value: "4,14" and "4.14" both read
// 4.14, whatever the process locale.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "nav/Conversions.h"

namespace corvel::nav {

// The characters of a number's text: ValidFloat reads no further, ParseDotNumber refuses a longer
// text.
inline constexpr std::size_t kNumberTextLength = 255;

// Parses text of at most 255 characters (longer text is cut there): optional blanks, optional
// sign, digits with at most one separator ("." or ","), optional exponent, optional blanks.
// Empty text, text that is not a number with either separator, and values beyond the range of a
// 64-bit float give 0. Never reads past `text`; always terminates.
Real ValidFloat(std::string_view text);

// The strict parse under ValidFloat: "." as the only separator, no swapping; nothing when the text
// is not such a number, lies beyond the range of a 64-bit float, or is longer than 255 characters
// (never cut: "10.<260 zeros>x" is no number, not 10).
std::optional<Real> ParseDotNumber(std::string_view text);

// A plain decimal: an optional "-", digits, and optionally "." followed by digits; nothing else
// (no blank, "+", exponent, NaN or infinity). Nothing for any other text.
std::optional<Real> ParsePlainDecimal(std::string_view text);

}  // namespace corvel::nav
