// The virtual timer set: firing order, intervals, stop/start from inside a handler, catch-up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/TimerSet.h"

using corvel::sim::Timer;
using corvel::sim::TimerSet;

namespace {

struct Recorder {
    TimerSet set;
    std::vector<std::string> log;
    Timer Add(const std::string& name, int interval) {
        return set.Add(name, interval, [this, name] { log.push_back(name + "@" + std::to_string(set.Now())); });
    }
};

TEST(TimerSetTest, FiresInDueOrderAtTheirOwnInstants) {
    Recorder r;
    Timer fast = r.Add("A", 50);
    Timer slow = r.Add("B", 120);
    slow.Start();
    fast.Start();
    r.set.Advance(250);
    const std::vector<std::string> expected = {"A@50", "A@100", "B@120", "A@150", "A@200", "B@240", "A@250"};
    EXPECT_EQ(r.log, expected);
    EXPECT_EQ(r.set.Now(), 250);
}

TEST(TimerSetTest, EqualInstantsFireInTheOrderTheTimersWereAdded) {
    Recorder r;
    Timer tick = r.Add("tick", 50);
    Timer second = r.Add("second", 1000);
    second.Start();  // started first, still fires after the timer added before it
    tick.Start();
    r.set.Advance(1000);
    ASSERT_GE(r.log.size(), 2u);
    EXPECT_EQ(r.log[r.log.size() - 2], "tick@1000");
    EXPECT_EQ(r.log.back(), "second@1000");
}

TEST(TimerSetTest, StoppedTimersDoNotFireAndRestartFromNow) {
    Recorder r;
    Timer t = r.Add("T", 100);
    r.set.Advance(500);
    EXPECT_TRUE(r.log.empty());
    t.Start();
    r.set.Advance(150);
    t.Stop();
    r.set.Advance(1000);
    t.Start();
    r.set.Advance(100);
    EXPECT_EQ(r.log, (std::vector<std::string>{"T@600", "T@1750"}));
    EXPECT_EQ(r.set.NextDue(), 1850);
}

TEST(TimerSetTest, HandlersMayStopStartAndRetimeTimers) {
    TimerSet set;
    std::vector<std::string> log;
    Timer other;
    Timer once = set.Add("once", 100, [&] {
        log.push_back("once@" + std::to_string(set.Now()));
        once.Stop();    // a one-shot timer
        other.Start();  // starts another one from this instant
    });
    other = set.Add("other", 30, [&] {
        log.push_back("other@" + std::to_string(set.Now()));
        other.SetInterval(70);  // re-timing restarts from now
    });
    once.Start();
    set.Advance(400);
    EXPECT_EQ(log, (std::vector<std::string>{"once@100", "other@130", "other@200", "other@270", "other@340"}));
}

// A handler that adds timers goes on running with what it captured: the timers already there,
// its own included, stay where they are (the sanitizer build sees any use of a moved handler).
TEST(TimerSetTest, HandlersMayAddTimers) {
    TimerSet set;
    std::vector<Timer> added;
    const std::string label = "a label longer than any small-string buffer";
    std::string seen;
    Timer grow = set.Add("grow", 10, [&, label] {
        for (int i = 0; i < 100; ++i) added.push_back(set.Add("added", 1000, [] {}));
        seen = label;  // after the additions
        grow.Stop();
    });
    grow.Start();
    set.Advance(20);
    EXPECT_EQ(seen, label);
    EXPECT_EQ(added.size(), 100u);
    EXPECT_FALSE(grow.Enabled());
    EXPECT_EQ(grow.Name(), "grow");
}

TEST(TimerSetTest, CatchUpFiresEachLateTimerOnceWithoutQueuing) {
    Recorder r;
    Timer t = r.Add("T", 50);
    t.Start();
    r.set.CatchUp(1000);  // twenty intervals late: one firing, not twenty
    EXPECT_EQ(r.log, (std::vector<std::string>{"T@1000"}));
    EXPECT_EQ(r.set.NextDue(), 1050);
}

TEST(TimerSetTest, FollowingAClockPlaysEachFiringUnlessTheSetFellMoreThanTwoSecondsBehind) {
    Recorder r;
    Timer t = r.Add("T", 500);
    t.Start();
    r.set.FollowClock(1000);  // on time: each firing at its instant
    EXPECT_EQ(r.log, (std::vector<std::string>{"T@500", "T@1000"}));
    r.set.FollowClock(900);  // a clock read before the last one changes nothing
    EXPECT_EQ(r.set.Now(), 1000);
    r.set.FollowClock(1000 + TimerSet::kStallMillis);  // exactly the limit: still every firing
    EXPECT_EQ(r.log.size(), 6u);
    r.set.FollowClock(3000 + TimerSet::kStallMillis + 1);  // a stall: one late firing, no burst
    EXPECT_EQ(r.log.back(), "T@5001");
    EXPECT_EQ(r.log.size(), 7u);
    EXPECT_EQ(r.set.NextDue(), 5501);
}

TEST(TimerSetTest, AnHourOfTicksInVirtualTime) {
    TimerSet set;
    long ticks = 0;
    Timer t = set.Add("tick", 50, [&] { ++ticks; });
    t.Start();
    set.Advance(3600 * 1000);
    EXPECT_EQ(ticks, 72000);
    EXPECT_FALSE(set.FireNext() == false);
    EXPECT_EQ(ticks, 72001);
}

}  // namespace
