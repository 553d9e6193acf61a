// Angle and number conversions used everywhere: sign, degrees/radians, the packed sexagesimal
// forms (DD.MMSS and DD.MMmm), guarded trigonometry, folding, interpolation, the tick test and
// the two number formats of every display and sentence. Pure functions; no locale is consulted.
#pragma once

#include <cmath>
#include <string>

#include "nav/Remembered.h"

namespace corvel::nav {

// The widest real type: every intermediate computation is done in it.
using Real = long double;

inline constexpr Real Pi = 3.1415926535897932385L;

// Truncation toward zero, as a real number.
Real Int(Real x);
// x - Int(x), with the sign of x.
Real Frac(Real x);
// Nearest integer, halves to the even neighbour: Round(2.5) = 2, Round(3.5) = 4. Exactly
// std::nearbyint in the default rounding mode, without its cost (a library call that saves and
// restores the floating-point environment); the 64-bit form serves the tick's pixel roundings.
Real Round(Real x);
double Round(double x);

// -1 when x is negative, else 1 (-0 and 0 give 1).
Real SignOf(Real x);
// degrees -> radians.
Real DegToRad(Real degrees);
// The same in 64 bits, for drawing and for the tick's sines (results kept as 32-bit values or
// whole pixels).
inline double Radians(double degrees) { return degrees * static_cast<double>(Pi) / 180; }
// radians -> degrees.
Real RadToDeg(Real radians);

// DD.MMSS (degrees or hours, minutes, seconds packed) -> decimal degrees (or hours); keeps the sign.
Real DMSToDegrees(Real packed);
// decimal degrees (or hours) -> DD.MMSS, seconds rounded half-even with carries; 360 degrees wraps to 0.
Real DegreesToDMS(Real degrees);
// decimal degrees -> DD.MMmm (minutes / 100 in the fraction); minutes are not rounded.
Real DegreesToDM(Real degrees);
// DD.MMmm -> decimal degrees.
Real DMToDegrees(Real packed);

// Sine and cosine in the widest type (radians). For the small arguments of navigation (|x| < 2^20)
// the argument is brought within pi/4 first, which keeps the extended precision and avoids the
// library's slow general reduction (about a microsecond a call); larger ones go to the library.
// The sphere computations of each second take the sines of the same latitudes again: the last
// results are remembered (Remembered.h).
Real Sine(Real radians);
Real Cosine(Real radians);

// Cosine and sine in 64 bits (radians), exactly std::cos and std::sin of the same argument. The
// tick turns the same few directions many times (the current, its arrow, the course through the
// water): the last results are remembered (Remembered.h).
struct CosSin {
    double cos = 1;
    double sin = 0;
};
namespace detail {
extern thread_local constinit Remembered<double, CosSin> cosSinOf;
}  // namespace detail
inline CosSin CosSinOf(double radians) {
    return detail::cosSinOf.Get(radians, [](double x) { return CosSin{std::cos(x), std::sin(x)}; });
}

// cosine -> radians in 0..pi. Defined for -1 <= x <= 1; values outside are clamped to that range.
Real ArcCosine(Real x);
// radians -> tangent; where |cos x| < 1e-7 the cosine is replaced by 1e-7 with its sign, so the
// result stays finite (about 1e7 in magnitude at pi/2).
Real TanGuarded(Real radians);
// degrees -> degrees: one correction each way (x > 360 loses 360, then x < 0 gains 360); 360 stays.
Real Wrap360(Real degrees);
// y1 + (y2 - y1)(x - x1)/(x2 - x1). The caller guarantees x1 != x2.
Real LinearInterpolate(Real x, Real x1, Real y1, Real x2, Real y2);
// count mod n = 0 (n > 0).
bool IsTickMultiple(long long count, long long n);

// Numbers are always written with "." and read with "." or ","; the formatting and parsing of
// this program never consult the process locale, so this only documents the call sites where the
// original behaviour fixed the separator. It also sets LC_NUMERIC to "C" for any library code.
void ForceDotSeparator();

// Fixed-point text: x rounded (half away from zero, on its 18 significant decimal digits) to at
// most `precision` significant digits and at most `digits` decimals, whichever comes first; a "-"
// for negative non-zero results, at least one digit before ".", exactly `digits` decimals. When
// the integer part has more digits than `precision`, exponent notation "d.dddE+NNN" is used.
// Non-finite values give "0" followed by the decimals (nothing non-finite reaches a display).
// Examples: (318.46, 4, 1) -> "318.5"; (123.7, 3, 1) -> "124.0"; (12, 4, 2) -> "12.00".
// With `range`, also the values that are written exactly as x is (with the same precision and
// digits): every value from `low` to `high`. The range always holds x; it may be narrower than
// all such values (x alone when nothing more is known cheaply). A display written at every tick
// skips the formatting while its value stays inside.
struct FixedRange {
    Real low = 0;
    Real high = 0;
};
std::string FormatFixed(Real x, int precision, int digits, FixedRange* range = nullptr);

// Shortest text with at most 15 significant digits, no trailing zeros, no "." for whole numbers;
// exponent notation ("1.5E-6", "1E20") when there are more than 15 integer digits or |x| < 1e-5.
// A 32-bit 6.78 widened shows "6.78000020980835".
std::string FormatGeneral(Real x);

}  // namespace corvel::nav
