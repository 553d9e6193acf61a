// Plane vectors; see PlaneVectors.h.
#include "nav/PlaneVectors.h"

#include <cmath>

namespace corvel::nav {

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
