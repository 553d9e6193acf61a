// The tolerant number parser; see ValidFloat.h.
#include "nav/ValidFloat.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace corvel::nav {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Blanks, sign, digits with at most one ".", exponent, blanks; "." is the only separator.
std::optional<Real> ParseDot(const std::string& text) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::string number;
    size_t mantissaDigits = 0;
    bool separator = false;
    for (; i < n; ++i) {
        if (IsDigit(text[i])) {
            number += text[i];
            ++mantissaDigits;
        } else if (text[i] == '.' && !separator) {
            number += '.';
            separator = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        number += 'e';
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) number += text[i++];
        size_t expDigits = 0;
        while (i < n && IsDigit(text[i])) {
            number += text[i++];
            ++expDigits;
        }
        if (expDigits == 0) return std::nullopt;
    }
    while (i < n && IsBlank(text[i])) ++i;
    if (i != n) return std::nullopt;

    Real value = 0;
    const auto res = std::from_chars(number.data(), number.data() + number.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is not a usable number.
        if (number.find("e-") != std::string::npos) return 0.0L;
        return std::nullopt;
    }
    if (res.ec != std::errc() || res.ptr != number.data() + number.size()) return std::nullopt;
    if (!std::isfinite(value) || std::fabs(value) > DBL_MAX) return std::nullopt;
    return negative ? -value : value;
}

}  // namespace

std::optional<Real> ParseDotNumber(std::string_view text) {
    if (text.size() > kNumberTextLength) return std::nullopt;
    return ParseDot(std::string(text));
}

std::optional<Real> ParsePlainDecimal(std::string_view text) {
    const auto digits = [](std::string_view part) {
        return !part.empty() && std::all_of(part.begin(), part.end(), IsDigit);
    };
    const std::string_view magnitude = text.starts_with('-') ? text.substr(1) : text;
    const size_t dot = magnitude.find('.');
    const bool plain =
        digits(magnitude.substr(0, dot)) && (dot == std::string_view::npos || digits(magnitude.substr(dot + 1)));
    if (!plain) return std::nullopt;
    return ParseDotNumber(text);
}

Real ValidFloat(std::string_view input) {
    std::string text(input.substr(0, kNumberTextLength));
    if (text.empty()) return 0;
    // Swap the separators until the text reads as a number. Only a text with a single separator
    // can ever succeed, and it does within one swap; the bound ends the cycles that the swapping
    // runs into for every other text (letters, "1.2.3", "1,2.3"), which read as 0.
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (const auto value = ParseDot(text)) return *value;
        if (const auto dot = text.find('.'); dot != std::string::npos) {
            text[dot] = ',';
        } else if (const auto comma = text.find(','); comma != std::string::npos) {
            text[comma] = '.';
        } else {
            break;
        }
    }
    return 0;
}

}  // namespace corvel::nav
