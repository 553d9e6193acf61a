// Plane vectors given by length and direction, added through their cartesian form. Directions use
// the compass convention (clockwise from north): `re` is the north component, `im` the east one.
#pragma once

#include <cmath>

#include "nav/Conversions.h"

namespace corvel::nav {

struct ComplexVector {
    double re = 0;
    double im = 0;
    double modulus = 0;
    double argument = 0;  // radians, in (-pi/2, 3pi/2) after PolarOf
};

// These run several times per tick: they are defined here, inline. The vector holds 64-bit values,
// so its operations compute in 64 bits: a wider type would be rounded away on every store.

// Fills modulus and argument from re and im. A zero vector gets the argument -pi/2.
inline void PolarOf(ComplexVector& v) {
    constexpr double PiD = static_cast<double>(Pi);
    v.modulus = std::sqrt(v.re * v.re + v.im * v.im);
    if (v.re == 0) {
        v.argument = v.im > 0 ? PiD / 2 : -PiD / 2;
    } else {
        v.argument = std::atan(v.im / v.re);
        if (v.re < 0) v.argument += PiD;
    }
}

// Fills re and im from modulus and argument.
inline void CartesianOf(ComplexVector& v) {
    const CosSin cs = CosSinOf(v.argument);
    v.re = cs.cos * v.modulus;
    v.im = cs.sin * v.modulus;
}

// Componentwise sum of re and im, then PolarOf.
inline ComplexVector AddVectors(const ComplexVector& a, const ComplexVector& b) {
    ComplexVector sum;
    sum.re = a.re + b.re;
    sum.im = a.im + b.im;
    PolarOf(sum);
    return sum;
}

// Sum of two vectors given by modulus and argument; the inputs are not changed.
inline ComplexVector SumPolar(ComplexVector a, ComplexVector b) {
    CartesianOf(a);
    CartesianOf(b);
    return AddVectors(a, b);
}

// Screen angle, radians, of the vector with x component b and y component a (y downward):
// 0 or pi on the horizontal, c / -c / pi - c / pi + c by quadrant with c = atan(|a| / |b|).
// Results smaller than 1e-120 in magnitude are 0.
Real VectorAngle(Real a, Real b);

}  // namespace corvel::nav
