// Waypoint navigation and magnetic variation; see Waypoint.h.
#include "sim/Waypoint.h"

#include <cmath>

#include "nav/Conversions.h"
#include "nav/SpherePositions.h"

namespace corvel::sim {

using namespace corvel::nav;

WaypointCoordinates WaypointFromDegreesMinutes(double latDeg, double latMin, bool north, double lonDeg, double lonMin,
                                               bool east) {
    Real lat = latDeg + latMin / 100;
    if (!north) lat = -lat;
    Real lon = lonDeg + lonMin / 100;
    if (!east) lon = -lon;
    return {static_cast<float>(DMToDegrees(lat)), static_cast<float>(To0_360(DMToDegrees(lon)))};
}

bool WpMajDistRel(SimulationState& s) {
    const TPos_elem& w = s.Waypoint;
    const TPos_elem& p = s.Position;
    s.DTW = GreatCircleDistance(w.long_, w.lat, p.long_, p.lat);
    s.BTW = static_cast<float>(GreatCircleCourse(w.long_, w.lat, p.long_, p.lat));
    s.RhumbDistance = RhumbLine(w.long_, w.lat, p.long_, p.lat).first;
    if (s.OriginBearing == kOriginBearingToTake) s.OriginBearing = s.BTW;
    Real a = static_cast<Real>(s.COG) - s.BTW;
    if (a < 0) a += 360;
    s.WCV = static_cast<float>(s.SOG * Cosine(DegToRad(a)));
    if (s.WCV > 0) {
        s.ETEHours = static_cast<float>(DegreesToDMS(static_cast<Real>(s.DTW) / s.WCV));
        return true;
    }
    return false;
}

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
