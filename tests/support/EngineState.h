// The engine's state as a test sets it up, for what no command reaches: a boat sailed past a pole,
// values to be saved in a configuration.
#pragma once

#include "sim/Simulator.h"

namespace corvel::sim {

struct StateAccess {
    static SimulationState& Of(Simulator& engine) { return engine.state_; }
};

}  // namespace corvel::sim

namespace corvel::test {

inline sim::SimulationState& EngineState(sim::Simulator& engine) { return sim::StateAccess::Of(engine); }

}  // namespace corvel::test
