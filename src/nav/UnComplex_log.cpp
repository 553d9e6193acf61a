// Plane vectors; see UnComplex_log.h.
#include "nav/UnComplex_log.h"

#include <cmath>

namespace corvel::nav {

void PolarOf(ComplexVector& v) {
    v.modulus = static_cast<double>(std::sqrt(static_cast<Real>(v.re) * v.re + static_cast<Real>(v.im) * v.im));
    if (v.re == 0) {
        v.argument = static_cast<double>(v.im > 0 ? Pi / 2 : -Pi / 2);
    } else {
        Real a = std::atan(static_cast<Real>(v.im) / v.re);
        if (v.re < 0) a += Pi;
        v.argument = static_cast<double>(a);
    }
}

void CartesianOf(ComplexVector& v) {
    v.re = static_cast<double>(std::cos(static_cast<Real>(v.argument)) * v.modulus);
    v.im = static_cast<double>(std::sin(static_cast<Real>(v.argument)) * v.modulus);
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
