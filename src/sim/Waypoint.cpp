// Waypoint navigation and magnetic variation; see Waypoint.h.
#include "sim/Waypoint.h"

namespace corvel::sim {

float HdGMagToDest(const SimulationState& s) {
    float result = 0;
    if (s.Current.mdl == 0) {
        result = s.BTW - s.MagVar;
    } else {
        result = s.DriftStarboard ? s.BTW + s.DriftAngle : s.BTW - s.DriftAngle;
        result = result - s.MagVar;
    }
    if (result >= 360) result -= 360;
    if (result < 0) result += 360;
    return result;
}

}  // namespace corvel::sim
