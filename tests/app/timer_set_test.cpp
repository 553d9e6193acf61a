// The virtual timer set: firing order, intervals, stop/start from inside a handler, catch-up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/TimerSet.h"

using corvel::app::Timer;
using corvel::app::TimerSet;

namespace {

struct Recorder {
    TimerSet set;
    std::vector<std::string> log;
    Timer add(const std::string& name, int interval) {
        return set.add(name, interval, [this, name] { log.push_back(name + "@" + std::to_string(set.now())); });
    }
};

TEST(TimerSetTest, FiresInDueOrderAtTheirOwnInstants) {
    Recorder r;
    Timer fast = r.add("A", 50);
    Timer slow = r.add("B", 120);
    slow.start();
    fast.start();
    r.set.advance(250);
    const std::vector<std::string> expected = {"A@50", "A@100", "B@120", "A@150", "A@200", "B@240", "A@250"};
    EXPECT_EQ(r.log, expected);
    EXPECT_EQ(r.set.now(), 250);
}

TEST(TimerSetTest, EqualInstantsFireInTheOrderTheTimersWereAdded) {
    Recorder r;
    Timer tick = r.add("tick", 50);
    Timer second = r.add("second", 1000);
    second.start();  // started first, still fires after the timer added before it
    tick.start();
    r.set.advance(1000);
    ASSERT_GE(r.log.size(), 2u);
    EXPECT_EQ(r.log[r.log.size() - 2], "tick@1000");
    EXPECT_EQ(r.log.back(), "second@1000");
}

TEST(TimerSetTest, StoppedTimersDoNotFireAndRestartFromNow) {
    Recorder r;
    Timer t = r.add("T", 100);
    r.set.advance(500);
    EXPECT_TRUE(r.log.empty());
    t.start();
    r.set.advance(150);
    t.stop();
    r.set.advance(1000);
    t.start();
    r.set.advance(100);
    EXPECT_EQ(r.log, (std::vector<std::string>{"T@600", "T@1750"}));
    EXPECT_EQ(r.set.nextDue(), 1850);
}

TEST(TimerSetTest, HandlersMayStopStartAndRetimeTimers) {
    TimerSet set;
    std::vector<std::string> log;
    Timer other;
    Timer once = set.add("once", 100, [&] {
        log.push_back("once@" + std::to_string(set.now()));
        once.stop();   // a one-shot timer
        other.start(); // starts another one from this instant
    });
    other = set.add("other", 30, [&] {
        log.push_back("other@" + std::to_string(set.now()));
        other.setInterval(70);  // re-timing restarts from now
    });
    once.start();
    set.advance(400);
    EXPECT_EQ(log, (std::vector<std::string>{"once@100", "other@130", "other@200", "other@270", "other@340"}));
}

// A handler that adds timers goes on running with what it captured: the timers already there,
// its own included, stay where they are (the sanitizer build sees any use of a moved handler).
TEST(TimerSetTest, HandlersMayAddTimers) {
    TimerSet set;
    std::vector<Timer> added;
    const std::string label = "a label longer than any small-string buffer";
    std::string seen;
    Timer grow = set.add("grow", 10, [&, label] {
        for (int i = 0; i < 100; ++i) added.push_back(set.add("added", 1000, [] {}));
        seen = label;  // after the additions
        grow.stop();
    });
    grow.start();
    set.advance(20);
    EXPECT_EQ(seen, label);
    EXPECT_EQ(added.size(), 100u);
    EXPECT_FALSE(grow.enabled());
    EXPECT_EQ(grow.name(), "grow");
}

TEST(TimerSetTest, CatchUpFiresEachLateTimerOnceWithoutQueuing) {
    Recorder r;
    Timer t = r.add("T", 50);
    t.start();
    r.set.catchUp(1000);  // twenty intervals late: one firing, not twenty
    EXPECT_EQ(r.log, (std::vector<std::string>{"T@1000"}));
    EXPECT_EQ(r.set.nextDue(), 1050);
}

TEST(TimerSetTest, AnHourOfTicksInVirtualTime) {
    TimerSet set;
    long ticks = 0;
    Timer t = set.add("tick", 50, [&] { ++ticks; });
    t.start();
    set.advance(3600 * 1000);
    EXPECT_EQ(ticks, 72000);
    EXPECT_FALSE(set.fireNext() == false);
    EXPECT_EQ(ticks, 72001);
}

}  // namespace
