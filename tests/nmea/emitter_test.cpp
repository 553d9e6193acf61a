// The emitter: the group cycle 1, 3, 2 that never restarts, the outputs in their order, and an
// output that fails ending the group at once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nmea/SentenceEmitter.h"

using namespace corvel;

namespace {

// Records each sentence's type ("GGA") under its name; refuses from the n-th sentence on.
struct Recorder : nmea::SentenceOutput {
    Recorder(std::string n, std::vector<std::string>& l, int refuseFrom = -1)
        : name(std::move(n)), log(l), refuse(refuseFrom) {}
    bool Send(std::string_view sentence) override {
        log.push_back(name + ":" + std::string(sentence.substr(3, 3)));
        return refuse < 0 || ++sent < refuse;
    }
    std::string name;
    std::vector<std::string>& log;
    int refuse;
    int sent = 0;
};

sim::SimulationState Sailing() {
    sim::SimulationState s;
    s.Position.lat = 47.5f;
    s.Position.long_ = 357.75f;
    s.PreviousPosition = s.Position;
    s.SOG = 6;
    s.COG = 90;
    return s;
}

std::vector<std::string> Types(const std::vector<std::string>& log, const std::string& name) {
    std::vector<std::string> types;
    for (const std::string& l : log) {
        if (l.starts_with(name + ":")) types.push_back(l.substr(name.size() + 1));
    }
    return types;
}

TEST(Emitter, GroupsCycleOneThreeTwoAndEachSentenceReachesEveryOutputInOrder) {
    std::vector<std::string> log;
    Recorder first("a", log), second("b", log);
    nmea::NmeaContext context;
    nmea::SentenceEmitter emitter(context, {&first, &second});
    const sim::SimulationState s = Sailing();
    std::vector<int> phases;
    for (int second = 0; second < 4; ++second) {
        phases.push_back(emitter.NmeaPhase);
        emitter.EmitGroup(s, {});
    }
    EXPECT_EQ(phases, (std::vector<int>{1, 3, 2, 1}));
    ASSERT_FALSE(log.empty());
    for (size_t i = 0; i + 1 < log.size(); i += 2) {  // a:X then b:X, sentence after sentence
        EXPECT_EQ(log[i].substr(2), log[i + 1].substr(2));
        EXPECT_EQ(log[i][0], 'a');
    }
    EXPECT_EQ(Types(log, "a"), Types(log, "b"));
}

TEST(Emitter, AFailingOutputEndsTheGroupBeforeTheOutputsAfterIt) {
    std::vector<std::string> log;
    Recorder first("a", log, 2), second("b", log);  // a refuses its second sentence
    nmea::NmeaContext context;
    nmea::SentenceEmitter emitter(context, {&first, &second});
    emitter.EmitGroup(Sailing(), {});
    const std::vector<std::string> a = Types(log, "a"), b = Types(log, "b");
    ASSERT_EQ(a.size(), 2u);  // no third sentence is built
    ASSERT_EQ(b.size(), 1u);  // the refused one never reached b
    EXPECT_EQ(b[0], a[0]);
    EXPECT_EQ(emitter.NmeaPhase, 3);  // the next second runs the next group all the same
}

}  // namespace
