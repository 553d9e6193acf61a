// The virtual timer set; see TimerSet.h.
#include "sim/TimerSet.h"

#include <algorithm>

namespace corvel::sim {

void Timer::SetEnabled(bool enabled) {
    auto& e = set_->entries_[static_cast<size_t>(id_)];
    if (enabled == e.enabled) return;
    e.enabled = enabled;
    if (enabled) set_->Schedule(e, set_->now_);
}

bool Timer::Enabled() const { return set_->entries_[static_cast<size_t>(id_)].enabled; }

void Timer::SetInterval(Millis interval) {
    auto& e = set_->entries_[static_cast<size_t>(id_)];
    e.interval = std::max<Millis>(interval, 1);
    if (e.enabled) set_->Schedule(e, set_->now_);
}

Millis Timer::Interval() const { return set_->entries_[static_cast<size_t>(id_)].interval; }

const std::string& Timer::Name() const { return set_->entries_[static_cast<size_t>(id_)].name; }

Timer TimerSet::Add(std::string name, Millis interval, Handler handler) {
    Entry e;
    e.name = std::move(name);
    e.interval = std::max<Millis>(interval, 1);
    entries_.push_back(std::move(e));
    handlers_.push_back(std::move(handler));
    return Timer(this, static_cast<int>(entries_.size() - 1));
}

void TimerSet::Schedule(Entry& e, Millis from) { e.due = from + e.interval; }

int TimerSet::NextIndex(Millis limit) const {
    // The earliest due time at or before the limit; on a tie the timer added first.
    int best = -1;
    Millis bestDue = limit;
    for (size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        if (e.enabled && (e.due < bestDue || (best < 0 && e.due == bestDue))) {
            best = static_cast<int>(i);
            bestDue = e.due;
        }
    }
    return best;
}

void TimerSet::Fire(int index) {
    Entry& e = entries_[static_cast<size_t>(index)];
    Schedule(e, now_);  // before the handler, which may stop or re-time it
    const Handler& handler = handlers_[static_cast<size_t>(index)];
    if (handler) handler();
}

void TimerSet::Advance(Millis ms) {
    const Millis target = now_ + std::max<Millis>(ms, 0);
    for (int i = NextIndex(target); i >= 0; i = NextIndex(target)) {
        now_ = entries_[static_cast<size_t>(i)].due;
        Fire(i);
    }
    now_ = target;
}

bool TimerSet::FireNext() {
    const int i = NextIndex(INT64_MAX);
    if (i < 0) return false;
    now_ = entries_[static_cast<size_t>(i)].due;
    Fire(i);
    return true;
}

void TimerSet::FollowClock(Millis target) {
    const Millis lag = target - now_;
    if (lag > kStallMillis) {
        CatchUp(lag);
    } else if (lag > 0) {
        Advance(lag);
    }
}

void TimerSet::CatchUp(Millis ms) {
    now_ += std::max<Millis>(ms, 0);
    // Everything due by now fires once; a firing reschedules one interval after now, so nothing
    // that fired comes due again within this call.
    for (int i = NextIndex(now_); i >= 0; i = NextIndex(now_)) Fire(i);
}

Millis TimerSet::NextDue() const {
    const int i = NextIndex(INT64_MAX);
    return i < 0 ? -1 : entries_[static_cast<size_t>(i)].due;
}

}  // namespace corvel::sim
