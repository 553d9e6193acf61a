// The emission of the sentences; see SentenceEmitter.h.
#include "nmea/SentenceEmitter.h"

namespace corvel::nmea {

void SentenceEmitter::EmitGroup(const sim::SimulationState& state, const LocalDateTime& now) {
    BuildGroup(NmeaPhase, state, Nmea, now, output_);
    NmeaPhase = ((NmeaPhase + 1) % 3) + 1;
}

}  // namespace corvel::nmea
