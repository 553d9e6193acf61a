// The emitter: the group cycle 1, 3, 2 that never restarts, each sentence handed to the output
// with its kind, and an output that fails ending the group at once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nmea/SentenceEmitter.h"
#include "support/SentenceTestSupport.h"

using namespace corvel;
using nmea::testing::RecordingOutput;

namespace {

sim::SimulationState Sailing() {
    sim::SimulationState s;
    s.Position.lat = 47.5f;
    s.Position.long_ = 357.75f;
    s.PreviousPosition = s.Position;
    s.SOG = 6;
    s.COG = 90;
    return s;
}

TEST(Emitter, GroupsCycleOneThreeTwoAndEachSentenceGoesOutWithItsKind) {
    RecordingOutput output;
    nmea::NmeaContext context;
    nmea::SentenceEmitter emitter(context, output);
    const sim::SimulationState s = Sailing();
    std::vector<int> phases, groups;
    for (int second = 0; second < 4; ++second) {
        phases.push_back(emitter.NmeaPhase);
        const size_t before = output.lines.size();
        emitter.EmitGroup(s, {});
        ASSERT_GT(output.lines.size(), before);
        groups.push_back(nmea::InfoOf(*output.kinds[before]).group);
    }
    EXPECT_EQ(phases, (std::vector<int>{1, 3, 2, 1}));
    EXPECT_EQ(groups, phases);
    ASSERT_EQ(output.kinds.size(), output.lines.size());
    for (size_t i = 0; i < output.lines.size(); ++i) {
        ASSERT_TRUE(output.kinds[i].has_value()) << output.lines[i];
        EXPECT_EQ(output.lines[i].substr(3, 3), nmea::InfoOf(*output.kinds[i]).type) << output.lines[i];
    }
}

TEST(Emitter, AFailingOutputEndsTheGroupButNotTheCycle) {
    RecordingOutput output;
    output.failAt = 2;  // refuses the group's second sentence
    nmea::NmeaContext context;
    nmea::SentenceEmitter emitter(context, output);
    emitter.EmitGroup(Sailing(), {});
    EXPECT_EQ(output.lines.size(), 2u);  // no third sentence is built
    EXPECT_EQ(emitter.NmeaPhase, 3);     // the next second runs the next group all the same
}

}  // namespace
