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
// of the extended type the displays were designed around. Fixed storage: no allocation.
struct Decimal {
    char digits[24] = {};
    int count = 0;   // significant digits kept; 0 for zero
    int exp10 = 0;   // count of digits before the decimal point
};

Decimal ToDecimal(Real magnitude) {
    Decimal d;
    if (magnitude == 0) return d;
    char buf[64];
    // Values that a 64-bit float holds exactly (every widened 32-bit state value) take the fast
    // 64-bit conversion; its 18 digits are the exact expansion's, correctly rounded.
    const double narrow = static_cast<double>(magnitude);
    const auto res = static_cast<Real>(narrow) == magnitude
                         ? std::to_chars(buf, buf + sizeof buf, narrow, std::chars_format::scientific, 17)
                         : std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 17);
    // "d.ddddddddddddddddde+NN"
    const char* p = buf;
    d.digits[d.count++] = *p++;
    ++p;  // the point
    while (p < res.ptr && *p != 'e') d.digits[d.count++] = *p++;
    int e = 0;
    std::from_chars(p[1] == '+' ? p + 2 : p + 1, res.ptr, e);
    d.exp10 = e + 1;
    while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
    return d;
}

// Keeps the first n significant digits, rounding half away from zero; n <= 0 rounds at or above
// the first digit.
void RoundDigits(Decimal& d, int n) {
    if (d.count == 0 || n >= d.count) return;
    if (n < 0) {
        d.count = 0;
        return;
    }
    const bool up = d.digits[n] >= '5';
    d.count = n;
    if (up) {
        int i = n - 1;
        while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
        if (i >= 0) {
            ++d.digits[i];
        } else {
            // All nines (or nothing kept): the value becomes 1 at the next power of ten.
            d.digits[0] = '1';
            d.count = 1;
            ++d.exp10;
        }
    }
    while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
}

char DigitAt(const Decimal& d, int index) { return index >= 0 && index < d.count ? d.digits[index] : '0'; }

// Mantissa with at most `significant` digits (trailing zeros dropped), "E", signed exponent.
std::string Exponent(Decimal d, int significant, bool plusSign) {
    RoundDigits(d, significant);
    std::string out(1, DigitAt(d, 0));
    if (d.count > 1) {
        out += '.';
        out.append(d.digits + 1, static_cast<size_t>(d.count - 1));
    }
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
    out.reserve(static_cast<size_t>(std::max(d.exp10, 1) + digits + 2));
    if (d.count > 0 && x < 0) out += '-';
    if (d.count == 0 || d.exp10 <= 0) out += '0';
    for (int i = 0; d.count > 0 && i < d.exp10; ++i) out += DigitAt(d, i);
    if (digits > 0) {
        out += '.';
        for (int i = 0; i < digits; ++i) out += d.count == 0 ? '0' : DigitAt(d, d.exp10 + i);
    }
    return out;
}

std::string FormatGeneral(Real x) {
    if (!std::isfinite(x)) x = 0;
    Decimal d = ToDecimal(std::fabs(x));
    RoundDigits(d, 15);
    if (d.count == 0) return "0";
    const std::string sign = x < 0 ? "-" : "";
    if (d.exp10 > 15 || d.exp10 < -4) return sign + Exponent(d, 15, false);
    std::string out = sign;
    if (d.exp10 <= 0) {
        out += "0.";
        out.append(static_cast<size_t>(-d.exp10), '0');
        out.append(d.digits, static_cast<size_t>(d.count));
    } else {
        for (int i = 0; i < d.exp10; ++i) out += DigitAt(d, i);
        if (d.count > d.exp10) {
            out += '.';
            out.append(d.digits + d.exp10, static_cast<size_t>(d.count - d.exp10));
        }
    }
    return out;
}

}  // namespace corvel::nav
