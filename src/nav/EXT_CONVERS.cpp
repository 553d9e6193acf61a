// Angle and number conversions; see EXT_CONVERS.h.
#include "nav/EXT_CONVERS.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <string>

namespace corvel::nav {

Real Int(Real x) { return std::trunc(x); }
Real Frac(Real x) { return x - std::trunc(x); }
// The default floating-point rounding mode (to nearest, ties to even) is never changed here.
Real Round(Real x) { return std::nearbyint(x); }

Real SignOf(Real x) { return x < 0 ? -1.0L : 1.0L; }
Real DegToRad(Real degrees) { return degrees * Pi / 180.0L; }
Real RadToDeg(Real radians) { return radians * 180.0L / Pi; }

Real DMSToDegrees(Real packed) {
    const Real s = SignOf(packed);
    const Real x = std::fabs(packed);
    const Real f = x - Int(x);
    const Real m = Int(f * 100 + 1e-9L);  // absorbs representation error such as 45.2999999
    const Real sec = f * 10000 - m * 100;
    return (Int(x) + m / 60 + sec / 3600) * s;
}

Real DegreesToDMS(Real degrees) {
    Real a = std::fabs(degrees);
    Real d = Int(a);
    a = (a - d) * 60;
    Real m = Int(a);
    Real sec = Round((a - m) * 60);
    if (sec == 60) {
        sec = 0;
        m += 1;
    }
    if (m == 60) {
        m = 0;
        d += 1;
    }
    if (d == 360) d = 0;
    return SignOf(degrees) * (d + m / 100 + sec / 10000);
}

Real DegreesToDM(Real degrees) {
    const Real s = SignOf(degrees);
    const Real x = std::fabs(degrees);
    const Real d = Int(x + 1e-12L);
    return ((x - d) * 3 / 5 + d) * s;
}

Real DMToDegrees(Real packed) {
    const Real s = SignOf(packed);
    const Real x = std::fabs(packed);
    const Real d = Int(x + 1e-12L);
    return ((x - d) * 5 / 3 + d) * s;
}

Real ArcCosine(Real x) {
    x = std::clamp(x, -1.0L, 1.0L);  // rounding may carry a cosine sum just past 1
    if (x == 0) return Pi / 2;
    const Real a = std::atan(std::sqrt(1 / (x * x) - 1));
    return x < 0 ? Pi - a : a;
}

Real TanGuarded(Real radians) {
    const Real c = std::cos(radians);
    if (std::fabs(c) < 1e-7L) return std::sin(radians) / 1e-7L * SignOf(c);
    return std::sin(radians) / c;
}

Real Wrap360(Real degrees) {
    if (degrees > 360) degrees -= 360;
    if (degrees < 0) degrees += 360;
    return degrees;
}

Real LinearInterpolate(Real x, Real x1, Real y1, Real x2, Real y2) {
    return y1 + (y2 - y1) * (x - x1) / (x2 - x1);
}

bool IsTickMultiple(long long count, long long n) { return n != 0 && count % n == 0; }

void ForceDotSeparator() { std::setlocale(LC_NUMERIC, "C"); }

namespace {

// A finite non-negative value as 0.d1d2d3... x 10^exp10 with 18 significant digits, the precision
// of the extended type the displays were designed around.
struct Decimal {
    std::string digits;  // empty for zero
    int exp10 = 0;       // count of digits before the decimal point
};

Decimal ToDecimal(Real magnitude) {
    Decimal d;
    if (magnitude == 0) return d;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 17);
    const std::string text(buf, res.ptr);
    const auto e = text.find('e');
    d.digits = text.substr(0, 1) + text.substr(2, e - 2);
    d.exp10 = std::stoi(text.substr(e + 1)) + 1;
    return d;
}

// Keeps the first n significant digits, rounding half away from zero; n <= 0 rounds at or above
// the first digit.
void RoundDigits(Decimal& d, int n) {
    if (d.digits.empty() || n >= static_cast<int>(d.digits.size())) return;
    if (n < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[static_cast<size_t>(n)] >= '5';
    d.digits.resize(static_cast<size_t>(n));
    if (up) {
        int i = n - 1;
        while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') d.digits[static_cast<size_t>(i--)] = '0';
        if (i >= 0) {
            ++d.digits[static_cast<size_t>(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exp10;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

char DigitAt(const Decimal& d, int index) {
    return index >= 0 && index < static_cast<int>(d.digits.size()) ? d.digits[static_cast<size_t>(index)] : '0';
}

// Mantissa with at most `significant` digits (trailing zeros dropped), "E", signed exponent.
std::string Exponent(Decimal d, int significant, bool plusSign) {
    RoundDigits(d, significant);
    std::string out(1, DigitAt(d, 0));
    if (d.digits.size() > 1) out += "." + d.digits.substr(1);
    const int e = d.exp10 - 1;
    out += 'E';
    if (e < 0) {
        out += '-';
    } else if (plusSign) {
        out += '+';
    }
    out += std::to_string(std::abs(e));
    return out;
}

}  // namespace

std::string FormatFixed(Real x, int precision, int digits) {
    if (!std::isfinite(x)) x = 0;
    precision = std::max(precision, 1);
    digits = std::max(digits, 0);
    Decimal d = ToDecimal(std::fabs(x));
    const std::string sign = x < 0 ? "-" : "";
    if (d.exp10 > precision) return sign + Exponent(d, precision, true);
    RoundDigits(d, std::min(precision, d.exp10 + digits));
    if (d.exp10 > precision) return sign + Exponent(d, precision, true);

    std::string out;
    if (d.digits.empty()) {
        out = "0";
    } else {
        if (d.exp10 <= 0) out = "0";
        for (int i = 0; i < d.exp10; ++i) out += DigitAt(d, i);
    }
    if (digits > 0) {
        out += '.';
        for (int i = 0; i < digits; ++i) out += d.digits.empty() ? '0' : DigitAt(d, d.exp10 + i);
    }
    return (d.digits.empty() ? "" : sign) + out;
}

std::string FormatGeneral(Real x) {
    if (!std::isfinite(x)) x = 0;
    Decimal d = ToDecimal(std::fabs(x));
    RoundDigits(d, 15);
    if (d.digits.empty()) return "0";
    const std::string sign = x < 0 ? "-" : "";
    if (d.exp10 > 15 || d.exp10 < -4) return sign + Exponent(d, 15, false);
    std::string out;
    if (d.exp10 <= 0) {
        out = "0." + std::string(static_cast<size_t>(-d.exp10), '0') + d.digits;
    } else {
        for (int i = 0; i < d.exp10; ++i) out += DigitAt(d, i);
        if (static_cast<int>(d.digits.size()) > d.exp10) out += "." + d.digits.substr(static_cast<size_t>(d.exp10));
    }
    return sign + out;
}

}  // namespace corvel::nav
