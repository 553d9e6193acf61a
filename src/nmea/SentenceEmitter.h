// The emission of the sentences: every simulated second one group of the selected kinds, in the
// order 1, 3, 2, 1, ... (the group cycle never restarts), with the talkers and the UTC offset of
// the context; each finished sentence goes with its kind to the one output given (the program's
// transmission, which fans it out to its outputs in their order). An output that fails ends the
// group: its remaining sentences are not built, and the next second runs the next group.
#pragma once

#include "nmea/NmeaBuilders.h"
#include "sim/SimulationState.h"

namespace corvel::nmea {

class SentenceEmitter {
public:
    // `context`: the selection, talkers, UTC offset and GGA counter the sentences are built with.
    SentenceEmitter(NmeaContext& context, SentenceOutput& output) : Nmea(context), output_(output) {}
    SentenceEmitter(const SentenceEmitter&) = delete;
    SentenceEmitter& operator=(const SentenceEmitter&) = delete;

    // One second: the group NmeaPhase of `state`, stamped `now`; then the next group.
    void EmitGroup(const sim::SimulationState& state, const LocalDateTime& now);

    NmeaContext& Nmea;
    int NmeaPhase = 1;  // the group of the next second

private:
    SentenceOutput& output_;
};

}  // namespace corvel::nmea
