// Plane vectors; see UnComplex_log.h.
#include "nav/UnComplex_log.h"

#include <cmath>

namespace corvel::nav {

// The vector holds 64-bit values, so its operations compute in 64 bits: a wider type would be
// rounded away on every store, and these run several times per tick.
constexpr double PiD = static_cast<double>(Pi);

void PolarOf(ComplexVector& v) {
    v.modulus = std::sqrt(v.re * v.re + v.im * v.im);
    if (v.re == 0) {
        v.argument = v.im > 0 ? PiD / 2 : -PiD / 2;
    } else {
        v.argument = std::atan(v.im / v.re);
        if (v.re < 0) v.argument += PiD;
    }
}

void CartesianOf(ComplexVector& v) {
    const CosSin cs = CosSinOf(v.argument);
    v.re = cs.cos * v.modulus;
    v.im = cs.sin * v.modulus;
}

ComplexVector AddVectors(const ComplexVector& a, const ComplexVector& b) {
    ComplexVector sum;
    sum.re = a.re + b.re;
    sum.im = a.im + b.im;
    PolarOf(sum);
    return sum;
}

ComplexVector SumPolar(ComplexVector a, ComplexVector b) {
    CartesianOf(a);
    CartesianOf(b);
    return AddVectors(a, b);
}

Real VectorAngle(Real a, Real b) {
    constexpr Real eps = 1e-120L;
    Real result = 0;
    if (std::fabs(a) < eps) {
        result = b > 0 ? 0 : (b < 0 ? Pi : 0);
    } else if (b == 0) {
        result = 0;
    } else {
        const Real c = std::atan(std::fabs(a) / std::fabs(b));
        if (b > 0) {
            result = a < 0 ? c : -c;
        } else {
            result = a < 0 ? Pi - c : Pi + c;
        }
    }
    return std::fabs(result) < eps ? 0 : result;
}

}  // namespace corvel::nav
