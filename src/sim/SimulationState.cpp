// The simulation state; see SimulationState.h.
#include "sim/SimulationState.h"

#include "nav/Conversions.h"

namespace corvel::sim {

bool SimulationState::IsSecondTick() const { return nav::IsTickMultiple(TickCount, TicksPerSecond); }

}  // namespace corvel::sim
