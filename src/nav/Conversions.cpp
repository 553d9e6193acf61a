// Angle and number conversions; see Conversions.h.
#include "nav/Conversions.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace corvel::nav {

Real Int(Real x) { return std::trunc(x); }
Real Frac(Real x) { return x - std::trunc(x); }
// The default floating-point rounding mode (to nearest, ties to even) is never changed here, so
// adding and removing 2^(p-1) (p the significand's bits) rounds a smaller magnitude to an integer,
// halves to even, exactly as nearbyint does: the sum keeps no fraction bit.
template <typename T>
T RoundHalfEven(T x) {
    constexpr T kHalfUlpOne = T(1ULL << (std::numeric_limits<T>::digits - 2)) * 2;  // 2^(p-1)
    const T magnitude = std::fabs(x);
    if (!(magnitude < kHalfUlpOne)) return x;  // already whole, infinite or NaN
    return std::copysign((magnitude + kHalfUlpOne) - kHalfUlpOne, x);
}

Real Round(Real x) { return RoundHalfEven(x); }
double Round(double x) { return RoundHalfEven(x); }

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

namespace {

// Reduces x by k quarter turns to r, |r| about pi/4 at most (k mod 4 returned), for |x| < 2^20.
// pi/2 is split in 33-bit pieces (the classic fdlibm constants): k times each of the first three
// is exact in the 64-bit significand, so r keeps the full extended precision.
int Quadrant(Real x, Real& r) {
    constexpr Real Pio2_1 = 1.57079632673412561417e+00L;   // first 33 bits of pi/2
    constexpr Real Pio2_2 = 6.07710050630396597660e-11L;   // next 33 bits
    constexpr Real Pio2_3 = 2.02226624871116645580e-21L;   // next 33 bits
    constexpr Real Pio2_3t = 8.47842766036889956997e-32L;  // pi/2 - (Pio2_1 + Pio2_2 + Pio2_3)
    const double k = Round(static_cast<double>(x) * 0.63661977236758134308);
    const Real kl = k;
    r = ((x - kl * Pio2_1) - kl * Pio2_2) - kl * Pio2_3 - kl * Pio2_3t;
    return static_cast<int>(static_cast<long long>(k) & 3);
}

Real ComputeSine(Real x) {
    if (!(std::fabs(x) < 1048576)) return std::sin(x);
    Real r = 0;
    switch (Quadrant(x, r)) {
        case 0: return std::sin(r);
        case 1: return std::cos(r);
        case 2: return -std::sin(r);
        default: return -std::cos(r);
    }
}

Real ComputeCosine(Real x) {
    if (!(std::fabs(x) < 1048576)) return std::cos(x);
    Real r = 0;
    switch (Quadrant(x, r)) {
        case 0: return std::cos(r);
        case 1: return -std::sin(r);
        case 2: return -std::cos(r);
        default: return std::sin(r);
    }
}

constinit thread_local Remembered<Real, Real> sines, cosines;

}  // namespace

Real Sine(Real x) { return sines.Get(x, ComputeSine); }
Real Cosine(Real x) { return cosines.Get(x, ComputeCosine); }

namespace detail {
constinit thread_local Remembered<double, CosSin> cosSinOf;
}  // namespace detail

Real ArcCosine(Real x) {
    x = std::clamp(x, -1.0L, 1.0L);  // rounding may carry a cosine sum just past 1
    if (x == 0) return Pi / 2;
    const Real a = std::atan(std::sqrt(1 / (x * x) - 1));
    return x < 0 ? Pi - a : a;
}

Real TanGuarded(Real radians) {
    const Real c = Cosine(radians);
    if (std::fabs(c) < 1e-7L) return Sine(radians) / 1e-7L * SignOf(c);
    return Sine(radians) / c;
}

Real Wrap360(Real degrees) {
    if (degrees > 360) degrees -= 360;
    if (degrees < 0) degrees += 360;
    return degrees;
}

Real LinearInterpolate(Real x, Real x1, Real y1, Real x2, Real y2) { return y1 + (y2 - y1) * (x - x1) / (x2 - x1); }

bool IsTickMultiple(long long count, long long n) { return n != 0 && count % n == 0; }

void ForceDotSeparator() { std::setlocale(LC_NUMERIC, "C"); }

namespace {

// A finite non-negative value as 0.d1d2d3... x 10^exp10 with 18 significant digits, the precision
// of the extended type the displays were designed around. Fixed storage: no allocation.
struct Decimal {
    char digits[24] = {};
    int count = 0;  // significant digits kept; 0 for zero
    int exp10 = 0;  // count of digits before the decimal point
};

// Reads the digits and exponent of a scientific text "d.ddde+NN" (or "de-NN").
Decimal ParseScientific(const char* p, const char* end) {
    Decimal d;
    d.digits[d.count++] = *p++;
    if (p < end && *p == '.') ++p;
    while (p < end && *p != 'e') d.digits[d.count++] = *p++;
    int e = 0;
    std::from_chars(p[1] == '+' ? p + 2 : p + 1, end, e);
    d.exp10 = e + 1;
    while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
    return d;
}

// The exact expansion to 18 significant digits, correctly rounded.
Decimal ToDecimal(Real magnitude) {
    if (magnitude == 0) return {};
    char buf[64];
    // Values that a 64-bit float holds exactly (every widened 32-bit state value) take the
    // 64-bit conversion; its 18 digits are the exact expansion's all the same.
    const double narrow = static_cast<double>(magnitude);
    const auto res = static_cast<Real>(narrow) == magnitude
                         ? std::to_chars(buf, buf + sizeof buf, narrow, std::chars_format::scientific, 17)
                         : std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 17);
    return ParseScientific(buf, res.ptr);
}

// The digits of `magnitude` that are to be rounded to `keep(exp10)` significant digits, half away
// from zero on the 18-digit expansion. The shortest text that reads back as the same 64-bit value
// is much cheaper than the 18-digit expansion and rounds the same way, except when it stops one
// digit after the rounding place on a 5: there a tie of the short text may not be one of the
// expansion (2.675 is 2.67499999999999982...), and the expansion decides.
template <typename Keep>
Decimal DigitsToRound(Real magnitude, Keep keep) {
    if (magnitude == 0) return {};
    const double narrow = static_cast<double>(magnitude);
    if (static_cast<Real>(narrow) != magnitude) return ToDecimal(magnitude);
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, narrow, std::chars_format::scientific);
    Decimal d = ParseScientific(buf, res.ptr);
    const int n = keep(d.exp10);
    if (d.count == n + 1 && d.digits[n] == '5') return ToDecimal(magnitude);
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

namespace {

constexpr std::uint64_t kPow10[] = {1ULL,       10ULL,       100ULL,       1000ULL,       10000ULL,      100000ULL,
                                    1000000ULL, 10000000ULL, 100000000ULL, 1000000000ULL, 10000000000ULL};

__extension__ typedef unsigned __int128 Wide;  // products of a 64-bit significand and 10^k

// 10^n for -24 <= n <= 9, each the literal's correctly rounded extended value.
Real PowerOfTen(int n) {
    static constexpr Real kPowers[] = {1e-24L, 1e-23L, 1e-22L, 1e-21L, 1e-20L, 1e-19L, 1e-18L, 1e-17L, 1e-16L,
                                       1e-15L, 1e-14L, 1e-13L, 1e-12L, 1e-11L, 1e-10L, 1e-9L,  1e-8L,  1e-7L,
                                       1e-6L,  1e-5L,  1e-4L,  1e-3L,  1e-2L,  1e-1L,  1e0L,   1e1L,   1e2L,
                                       1e3L,   1e4L,   1e5L,   1e6L,   1e7L,   1e8L,   1e9L};
    return kPowers[n + 24];
}

// floor(n log2(10)): 2^result <= 10^n, for 0 <= n <= 30.
constexpr int Log2Floor10(int n) { return n * 3321928 / 1000000; }

// The fixed format of a value between 1e-6 and 1e9 with at most 9 decimals, the displays' and
// sentences' usual case, done in integers on the exact binary value a = m / 2^q (m the 64-bit
// significand). The definition rounds the 18-significant-digit expansion, which moves a by less
// than half a unit of its 18th digit: wherever a lies further than that from a decimal tie, rounding
// the exact value half away from zero gives the same digits. An exact tie with at most 18
// significant digits is its own expansion. The rest (a value within 1e-18 of a tie, which a 32-bit
// or 64-bit value never is but an extended one may be) goes the general way. Returns false there
// and wherever this does not apply.
bool FixedOfBinary(Real x, int precision, int digits, std::string& out, FixedRange* range) {
    static_assert(std::numeric_limits<Real>::digits == 64 && sizeof(Real) >= 10, "x87 extended layout");
    const Real a = std::fabs(x);
    if (!(a >= 1e-6L && a < 1e9L) || digits > 9 || precision > 18) return false;
    std::uint64_t m = 0;
    std::uint16_t biased = 0;
    std::memcpy(&m, &a, sizeof m);
    std::memcpy(&biased, reinterpret_cast<const unsigned char*>(&a) + 8, sizeof biased);
    const int q = 16383 + 63 - biased;  // a = m / 2^q; 34 <= q <= 83 in this range
    const Wide Q = Wide{1} << q;
    // Digits before the point (<= 0 for values below 1, counting the zeros after the point).
    int exp10 = 0;
    if (a >= 1) {
        const std::uint64_t whole = m >> q;
        while (exp10 < 10 && whole >= kPow10[exp10]) ++exp10;
    } else {
        // The largest exp10 <= 0 with a >= 10^(exp10 - 1), that is m 10^(1 - exp10) >= 2^q.
        while (exp10 > -7 && Wide{m} * kPow10[1 - exp10] < Q) --exp10;
    }
    if (exp10 > precision) return false;
    const int k = std::min(precision - exp10, digits);  // decimals actually kept
    if (k < 0 || k > 9) return false;
    const Wide n = Wide{m} * kPow10[k];  // a 10^k = n / 2^q
    const Wide twiceFrac = (n & (Q - 1)) << 1;
    const Wide offTie = twiceFrac > Q ? twiceFrac - Q : Q - twiceFrac;  // 2^(q+1) x distance to the tie
    const int wholeDigitsOfN = exp10 + k;                               // digits of a 10^k before the point
    if (offTie == 0) {
        if (wholeDigitsOfN + 1 > 18) return false;  // a tie beyond the 18th digit
    } else if (offTie <= ((Q << 1) >> Log2Floor10(18 - wholeDigitsOfN))) {
        // Within 10^(E - 18) of the tie (at most twice that, to spare a wide division), E being
        // the digits of a 10^k before the point: the 18-digit expansion may be on the other side.
        return false;
    }
    // Half up on the magnitude: half away from zero. Below 1e18, so 64 bits hold it.
    const auto r = static_cast<std::uint64_t>((n + (Q >> 1)) >> q);
    if (range && wholeDigitsOfN <= 15) {
        // Every magnitude between the ties around r, kept clear of them by 10^(E - 17) (ten times
        // the 18-digit rule's reach), and within this decade and this road, rounds to r with the
        // same decimals, so it is written the same (on the same side of 0). The bounds, computed
        // in the extended type, err by far less than the margins.
        const Real unit = static_cast<Real>(kPow10[k]);
        const Real margin = PowerOfTen(wholeDigitsOfN - 17);
        const Real decade = PowerOfTen(exp10 - 1);
        const Real low =
            std::max({(static_cast<Real>(r) - 0.5L + margin) / unit, decade * (1 + 1e-15L), 1e-6L * (1 + 1e-15L)});
        const Real high =
            std::min({(static_cast<Real>(r) + 0.5L - margin) / unit, decade * 10 * (1 - 1e-15L), 1e9L * (1 - 1e-15L)});
        if (low <= a && a <= high) *range = x < 0 ? FixedRange{-high, -low} : FixedRange{low, high};
    }
    const std::uint64_t scale = kPow10[k];
    const std::uint64_t whole = r / scale;
    // A carry that adds an integer digit beyond the precision needs the exponent form.
    int wholeDigits = 0;
    for (std::uint64_t w = whole; w > 0; w /= 10) ++wholeDigits;
    if (wholeDigits > precision) return false;

    char buf[48];
    char* p = buf;
    if (x < 0 && r != 0) *p++ = '-';
    p = std::to_chars(p, buf + sizeof buf, whole).ptr;
    if (digits > 0) {
        *p++ = '.';
        std::uint64_t frac = r % scale;
        for (int i = k - 1; i >= 0; --i) {
            p[i] = static_cast<char>('0' + frac % 10);
            frac /= 10;
        }
        p += k;
        for (int i = k; i < digits; ++i) *p++ = '0';
    }
    out.assign(buf, p);
    return true;
}

// FormatFixed by the 18-digit expansion, for finite x, precision >= 1 and digits >= 0.
std::string FixedOfDigits(Real x, int precision, int digits) {
    Decimal d = DigitsToRound(
        std::fabs(x), [&](int exp10) { return exp10 > precision ? precision : std::min(precision, exp10 + digits); });
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

}  // namespace

std::string FormatFixed(Real x, int precision, int digits, FixedRange* range) {
    if (range) *range = {x, x};  // what is known without the integer road: x itself
    if (!std::isfinite(x)) x = 0;
    precision = std::max(precision, 1);
    digits = std::max(digits, 0);
    // One string returned from every road, built in place (a display or a sentence field per call).
    std::string out;
    if (!FixedOfBinary(x, precision, digits, out, range)) out = FixedOfDigits(x, precision, digits);
    return out;
}

std::string FormatGeneral(Real x) {
    if (!std::isfinite(x)) x = 0;
    Decimal d = DigitsToRound(std::fabs(x), [](int) { return 15; });
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
