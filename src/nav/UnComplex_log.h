// Plane vectors given by length and direction, added through their cartesian form. Directions use
// the compass convention (clockwise from north): `re` is the north component, `im` the east one.
#pragma once

#include "nav/EXT_CONVERS.h"

namespace corvel::nav {

struct ComplexVector {
    double re = 0;
    double im = 0;
    double modulus = 0;
    double argument = 0;  // radians, in (-pi/2, 3pi/2) after PolarOf
};

// Fills modulus and argument from re and im. A zero vector gets the argument -pi/2.
void PolarOf(ComplexVector& v);
// Fills re and im from modulus and argument.
void CartesianOf(ComplexVector& v);
// Componentwise sum of re and im, then PolarOf.
ComplexVector AddVectors(const ComplexVector& a, const ComplexVector& b);
// Sum of two vectors given by modulus and argument; the inputs are not changed.
ComplexVector SumPolar(ComplexVector a, ComplexVector b);

// Screen angle, radians, of the vector with x component b and y component a (y downward):
// 0 or pi on the horizontal, c / -c / pi - c / pi + c by quadrant with c = atan(|a| / |b|).
// Results smaller than 1e-120 in magnitude are 0.
Real VectorAngle(Real a, Real b);

}  // namespace corvel::nav
