// A calendar date and time of day with milliseconds, and the arithmetic on it: moving an instant
// by a number of milliseconds across days, months and years, and the milliseconds between two
// instants. Proleptic Gregorian calendar, no time zone: the caller says whether an instant is
// local time or UTC.
#pragma once

namespace corvel::nav {

struct LocalDateTime {
    int year = 2000;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;   // 0..23
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// `instant` moved by `ms` milliseconds (either sign), across days, months and years.
LocalDateTime AddMilliseconds(const LocalDateTime& instant, long long ms);

// Milliseconds from `from` to `to`, negative when `to` comes first.
long long MillisBetween(const LocalDateTime& from, const LocalDateTime& to);

}  // namespace corvel::nav
