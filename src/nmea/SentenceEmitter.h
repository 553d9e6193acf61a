// The emission of the sentences: every simulated second one group of the selected kinds, in the
// order 1, 3, 2, 1, ... (the group cycle never restarts), with the talkers and the UTC offset of
// the context; each finished sentence goes to the outputs in the order they were given (the
// sentence log, the network link, the serial link, standard output, the time-stamped log). An
// output that fails ends the group: its remaining sentences are not built, and the next second
// runs the next group.
#pragma once

#include <string_view>
#include <vector>

#include "nmea/NmeaBuilders.h"
#include "sim/SimulationState.h"

namespace corvel::nmea {

// One place a sentence goes ("$" to the checksum digits, without a line end).
class SentenceOutput {
public:
    virtual ~SentenceOutput() = default;
    // False ends the group at once (a link failed).
    virtual bool Send(std::string_view sentence) = 0;
};

class SentenceEmitter : private SentenceSink {
public:
    // `context`: the selection, talkers, UTC offset and GGA counter the sentences are built with.
    SentenceEmitter(NmeaContext& context, std::vector<SentenceOutput*> outputs)
        : Nmea(context), outputs_(std::move(outputs)) {}
    SentenceEmitter(const SentenceEmitter&) = delete;
    SentenceEmitter& operator=(const SentenceEmitter&) = delete;

    // One second: the group NmeaPhase of `state`, stamped `now`; then the next group.
    void EmitGroup(const sim::SimulationState& state, const LocalDateTime& now);

    NmeaContext& Nmea;
    int NmeaPhase = 1;  // the group of the next second

private:
    bool EmitSentence(std::string_view sentence) override;
    std::vector<SentenceOutput*> outputs_;
};

}  // namespace corvel::nmea
