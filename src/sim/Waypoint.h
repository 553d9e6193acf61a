// The destination waypoint and the magnetic variation: distances, bearing, WCV and ETE of the
// boat towards the waypoint, and the magnetic heading to steer to it. Point 1 of the sphere
// functions is always the waypoint, point 2 the boat.
#pragma once

#include "sim/SimulationState.h"

namespace corvel::sim {

// Waypoint coordinates as typed: whole degrees and decimal minutes, read as DD.MMmm (minutes / 100
// added to the degrees), negated unless north (east), then converted to decimal degrees; the
// longitude is returned in (0, 360].
struct WaypointCoordinates {
    float lat = 0;
    float lon = 0;
};
WaypointCoordinates WaypointFromDegreesMinutes(double latDeg, double latMin, bool north, double lonDeg, double lonMin,
                                               bool east);

// Recomputes DTW, BTW, RhumbDistance, OriginBearing (when 65535), WCV and, when WCV > 0, ETEHours
// (H.MMSS). Returns true when the ETE is defined (WCV > 0).
bool WpMajDistRel(SimulationState& s);

// Magnetic heading to steer to the waypoint, degrees in [0, 360): the bearing corrected by the
// drift (when there is a current) and the variation.
float HdGMagToDest(const SimulationState& s);

}  // namespace corvel::sim
