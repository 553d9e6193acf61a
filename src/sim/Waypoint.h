// The destination waypoint and the magnetic variation: distances, bearing, WCV and ETE of the
// boat towards the waypoint, and the magnetic heading to steer to it.
#pragma once

#include "sim/SimulationState.h"

namespace corvel::sim {

// Magnetic heading to steer to the waypoint, degrees in [0, 360): the bearing corrected by the
// drift (when there is a current) and the variation.
float HdGMagToDest(const SimulationState& s);

}  // namespace corvel::sim
