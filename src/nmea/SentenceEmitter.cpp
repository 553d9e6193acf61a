// The emission of the sentences; see SentenceEmitter.h.
#include "nmea/SentenceEmitter.h"

namespace corvel::nmea {

void SentenceEmitter::EmitGroup(const sim::SimulationState& state, const LocalDateTime& now) {
    BuildGroup(NmeaPhase, state, Nmea, now, *this);
    NmeaPhase = ((NmeaPhase + 1) % 3) + 1;
}

bool SentenceEmitter::EmitSentence(std::string_view sentence) {
    for (SentenceOutput* output : outputs_) {
        if (!output->Send(sentence)) return false;
    }
    return true;
}

}  // namespace corvel::nmea
