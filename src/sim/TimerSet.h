// The program's timers on one virtual millisecond clock. Every timer of the windows is an entry
// here (interval, enabled, handler); whoever drives the program advances the clock: the window
// from the monotonic clock, a headless run at the pace of real time or as fast as it can, a test
// by hand. Handlers may start, stop or re-time any timer, including their own.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace corvel::sim {

using Millis = std::int64_t;

class TimerSet;

// A handle on one timer of a set, used like a GUI timer: Enabled, Interval, OnTimer.
class Timer {
public:
    Timer() = default;
    Timer(TimerSet* set, int id) : set_(set), id_(id) {}

    // Enabling a stopped timer schedules its first firing one interval from now; enabling a
    // running one changes nothing. Disabling forgets the pending firing.
    void SetEnabled(bool enabled);
    bool Enabled() const;
    // Changing the interval of a running timer restarts it from now.
    void SetInterval(Millis interval);
    Millis Interval() const;
    void Start() { SetEnabled(true); }
    void Stop() { SetEnabled(false); }
    const std::string& Name() const;

private:
    TimerSet* set_ = nullptr;
    int id_ = -1;
};

class TimerSet {
public:
    using Handler = std::function<void()>;

    // Adds a stopped timer. The set must outlive its handles.
    Timer Add(std::string name, Millis interval, Handler handler);

    // Virtual time: fires every firing due up to now + ms, each at its own instant, in due-time
    // order, then leaves the clock at now + ms. Timers due at the same instant fire in the order
    // they were added: the simulation's drivers, added first, finish their tick before the
    // sentence timer reads the state.
    void Advance(Millis ms);
    // Runs the next due firing only, moving the clock to its instant; false when no timer runs.
    bool FireNext();
    // Real-time catch-up after a stall (as GUI timers behave): moves the clock to now + ms, and
    // each timer that was due by then fires once, not once per missed interval.
    void CatchUp(Millis ms);
    // Follows a real clock that reads `target` milliseconds: the firings due by then, each at its
    // own instant (Advance); or, when the set is more than kStallMillis behind (the process was
    // held), each late timer once (CatchUp) rather than a burst of queued ticks. An earlier
    // target changes nothing.
    static constexpr Millis kStallMillis = 2000;
    void FollowClock(Millis target);

    Millis Now() const { return now_; }
    // Instant of the next firing, or -1 when no timer runs.
    Millis NextDue() const;
    bool AnyEnabled() const { return NextDue() >= 0; }

private:
    friend class Timer;
    struct Entry {
        std::string name;
        Millis interval = 0;
        bool enabled = false;
        Millis due = 0;
    };
    void Schedule(Entry& e, Millis from);
    int NextIndex(Millis limit) const;
    void Fire(int index);

    std::vector<Entry> entries_;
    // Beside the entries, in a deque: adding a timer (a handler may) leaves the running handler in
    // place, and a firing need not copy it.
    std::deque<Handler> handlers_;
    Millis now_ = 0;
};

}  // namespace corvel::sim
