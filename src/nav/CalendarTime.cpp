// Calendar arithmetic; see CalendarTime.h.
#include "nav/CalendarTime.h"

#include <chrono>

namespace corvel::nav {

namespace {

using namespace std::chrono;

constexpr long long kDayMs = 86'400'000;

long long ToMillis(const LocalDateTime& t) {
    const sys_days day = year_month_day{year{t.year}, month{static_cast<unsigned>(t.month)},
                                        std::chrono::day{static_cast<unsigned>(t.day)}};
    return day.time_since_epoch().count() * kDayMs + ((t.hour * 60LL + t.minute) * 60 + t.second) * 1000 +
           t.millisecond;
}

LocalDateTime FromMillis(long long ms) {
    long long days = ms / kDayMs;
    long long rest = ms % kDayMs;
    if (rest < 0) {
        rest += kDayMs;
        --days;
    }
    const year_month_day ymd{sys_days{std::chrono::days{days}}};
    LocalDateTime t;
    t.year = static_cast<int>(ymd.year());
    t.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    t.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    t.hour = static_cast<int>(rest / 3600000);
    t.minute = static_cast<int>(rest / 60000 % 60);
    t.second = static_cast<int>(rest / 1000 % 60);
    t.millisecond = static_cast<int>(rest % 1000);
    return t;
}

}  // namespace

LocalDateTime AddMilliseconds(const LocalDateTime& instant, long long ms) { return FromMillis(ToMillis(instant) + ms); }

long long MillisBetween(const LocalDateTime& from, const LocalDateTime& to) { return ToMillis(to) - ToMillis(from); }

}  // namespace corvel::nav
