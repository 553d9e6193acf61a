// The local wall clock behind an interface: the system's, or a simulated one that starts at a
// given local instant and follows the virtual time of the timer set, so that a run is
// reproducible sentence for sentence. The machine's time zone behind another: the system's
// clock answers both.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "nav/CalendarTime.h"
#include "nav/Conversions.h"
#include "sim/TimerSet.h"

namespace corvel::app {

using nav::AddMilliseconds;
using nav::LocalDateTime;
using nav::MillisBetween;
using sim::Millis;
using sim::Timer;
using sim::TimerSet;

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() const = 0;
};

// The machine's time zone at the instant it is asked, daylight saving included, as the sentences'
// UTC offset counts it: the hours added to local time to obtain UTC (UTC - local). A machine in
// France: -2 in summer, -1 in winter; set to UTC: 0; in India: -5.5; in Hawaii: 10.
class MachineZone {
public:
    virtual ~MachineZone() = default;
    virtual nav::Real UtcOffsetHours() const = 0;
};

// The system's local time and time zone (the process's TZ, else the system's zone).
class SystemClock : public Clock, public MachineZone {
public:
    LocalDateTime Now() const override;
    nav::Real UtcOffsetHours() const override;
};

// The system's zone, for those given a MachineZone by default.
const MachineZone& SystemZone();

// start + the virtual milliseconds of `timers`.
class SimulatedClock : public Clock {
public:
    SimulatedClock(const TimerSet& timers, LocalDateTime start) : timers_(timers), start_(start) {}
    LocalDateTime Now() const override;

private:
    const TimerSet& timers_;
    LocalDateTime start_;
};

// The last instant a four-digit year can write: dates stay within years 1 to 9999.
inline constexpr LocalDateTime kLastInstant{9999, 12, 31, 23, 59, 59, 999};

// "YYYY-MM-DDTHH:MM:SS" -> the instant; nothing when the text is not a valid date and time of
// years 0001 to 9999.
std::optional<LocalDateTime> ParseLocalDateTime(std::string_view text);

// "yyyy-mm-dd" and "hh:nn:ss.zzz".
std::string FormatDate(const LocalDateTime& t);
std::string FormatTime(const LocalDateTime& t);

}  // namespace corvel::app
