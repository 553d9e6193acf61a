// Positions on the sphere of 60 nautical miles per degree: the named position, angle folding, the
// one-second dead-reckoning step along a rhumb line, and the great-circle and rhumb-line distance
// and course. Angles are degrees at the interfaces, radians inside. The 32-bit roundings named
// below are part of the simulated behaviour: they shape the boat's track.
#pragma once

#include <string>
#include <utility>

#include "nav/Conversions.h"

namespace corvel::nav {

// A named position: latitude north positive, longitude east positive, decimal degrees. In the
// simulation the longitude is held in (0, 360].
struct TPos_elem {
    std::string nom;  // at most 255 bytes of whole UTF-8 characters
    float lat = 0;
    float long_ = 0;  // "long" in the original record; a keyword here

    // The name (cut at 255 bytes, whole characters) and the position.
    void Init(const std::string& nm, float lt, float lg);
};

// Two pi as a 32-bit float: the constant of the angle folding.
inline constexpr float TwoPiF = 6.2831855f;

// Radians, in place, in 32-bit arithmetic: x >= pi loses 6.2831855, then x <= -pi gains it.
void NormalisePi(float& x);
// degrees: x when x <= 180, else x - 360.
Real Fold180(Real x);
// degrees: x + 360 when x <= 0, else x (so 0 becomes 360).
Real To0_360(Real x);

// Mercator latitude of phi (radians): ln(TanGuarded(phi / 2 + pi/4)). Infinite at the poles.
Real MercatorLatitude(Real phi);

// The position reached from `from` after d miles on course c (degrees), longitudes in (0, 360].
// to.nom is left as it is. Due east or west (within 1e-6 degree) keeps the latitude; course
// exactly 0 or 180 keeps the longitude. Latitude, the two Mercator latitudes and their difference
// are rounded to 32-bit floats.
void RhumbStep(const TPos_elem& from, TPos_elem& to, float d, float c);

// Great-circle distance in miles between point 1 and point 2 (degrees), as a 32-bit float;
// 0 for identical points.
float GreatCircleDistance(Real lon1, Real lat1, Real lon2, Real lat2);

// Initial great-circle course, degrees in [0, 360], from point 2 towards point 1: the rhumb course
// towards the point of the great circle a ten-thousandth of the longitude difference away. Where
// that point is closer than the solver can resolve (longitude differences under about 3e-4 rad),
// the rhumb course of the whole leg is returned instead, which is the great circle's to within the
// solver's precision on such a leg. Undefined at the poles.
Real GreatCircleCourse(Real lon1, Real lat1, Real lon2, Real lat2);

// Rhumb-line distance (miles) and course (degrees, 0..360) from point 2 towards point 1.
// Intermediate results are 32-bit floats; legs under 3 miles use plane sailing. A leg of 3 miles
// or more due north gives 360. Undefined at the poles.
std::pair<float, float> RhumbLine(Real lon1, Real lat1, Real lon2, Real lat2);

}  // namespace corvel::nav
