// The virtual timer set; see TimerSet.h.
#include "app/TimerSet.h"

#include <algorithm>

namespace corvel::app {

void Timer::setEnabled(bool enabled) {
    auto& e = set_->entries_[static_cast<size_t>(id_)];
    if (enabled == e.enabled) return;
    e.enabled = enabled;
    if (enabled) set_->schedule(e, set_->now_);
}

bool Timer::enabled() const { return set_->entries_[static_cast<size_t>(id_)].enabled; }

void Timer::setInterval(Millis interval) {
    auto& e = set_->entries_[static_cast<size_t>(id_)];
    e.interval = std::max<Millis>(interval, 1);
    if (e.enabled) set_->schedule(e, set_->now_);
}

Millis Timer::interval() const { return set_->entries_[static_cast<size_t>(id_)].interval; }

const std::string& Timer::name() const { return set_->entries_[static_cast<size_t>(id_)].name; }

Timer TimerSet::add(std::string name, Millis interval, Handler handler) {
    Entry e;
    e.name = std::move(name);
    e.interval = std::max<Millis>(interval, 1);
    entries_.push_back(std::move(e));
    handlers_.push_back(std::move(handler));
    return Timer(this, static_cast<int>(entries_.size() - 1));
}

void TimerSet::schedule(Entry& e, Millis from) { e.due = from + e.interval; }

int TimerSet::nextIndex(Millis limit) const {
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

void TimerSet::fire(int index) {
    Entry& e = entries_[static_cast<size_t>(index)];
    schedule(e, now_);  // before the handler, which may stop or re-time it
    const Handler& handler = handlers_[static_cast<size_t>(index)];
    if (handler) handler();
}

void TimerSet::advance(Millis ms) {
    const Millis target = now_ + std::max<Millis>(ms, 0);
    for (int i = nextIndex(target); i >= 0; i = nextIndex(target)) {
        now_ = entries_[static_cast<size_t>(i)].due;
        fire(i);
    }
    now_ = target;
}

bool TimerSet::fireNext() {
    const int i = nextIndex(INT64_MAX);
    if (i < 0) return false;
    now_ = entries_[static_cast<size_t>(i)].due;
    fire(i);
    return true;
}

void TimerSet::catchUp(Millis ms) {
    now_ += std::max<Millis>(ms, 0);
    // Everything due by now fires once; a firing reschedules one interval after now, so nothing
    // that fired comes due again within this call.
    for (int i = nextIndex(now_); i >= 0; i = nextIndex(now_)) fire(i);
}

Millis TimerSet::nextDue() const {
    const int i = nextIndex(INT64_MAX);
    return i < 0 ? -1 : entries_[static_cast<size_t>(i)].due;
}

}  // namespace corvel::app
