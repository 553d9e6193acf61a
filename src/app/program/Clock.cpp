// Local clocks; see Clock.h.
#include "app/program/Clock.h"

#include <chrono>
#include <ctime>

namespace corvel::app {

using namespace std::chrono;

LocalDateTime SystemClock::Now() const {
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&secs, &local);
    LocalDateTime t;
    t.year = local.tm_year + 1900;
    t.month = local.tm_mon + 1;
    t.day = local.tm_mday;
    t.hour = local.tm_hour;
    t.minute = local.tm_min;
    t.second = local.tm_sec;
    t.millisecond = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return t;
}

nav::Real SystemClock::UtcOffsetHours() const {
    tzset();  // the zone as the system has it now (a user may have changed it since the start)
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return -static_cast<nav::Real>(local.tm_gmtoff) / 3600;  // tm_gmtoff: seconds east of UTC
}

const MachineZone& SystemZone() {
    static const SystemClock system;
    return system;
}

LocalDateTime SimulatedClock::Now() const { return AddMilliseconds(start_, timers_.Now()); }

std::optional<LocalDateTime> ParseLocalDateTime(std::string_view text) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':') {
        return std::nullopt;
    }
    auto number = [&](size_t at, size_t len, int& out) {
        out = 0;
        for (size_t i = at; i < at + len; ++i) {
            if (text[i] < '0' || text[i] > '9') return false;
            out = out * 10 + (text[i] - '0');
        }
        return true;
    };
    LocalDateTime t;
    if (!number(0, 4, t.year) || !number(5, 2, t.month) || !number(8, 2, t.day) || !number(11, 2, t.hour) ||
        !number(14, 2, t.minute) || !number(17, 2, t.second)) {
        return std::nullopt;
    }
    const year_month_day ymd{year{t.year}, month{static_cast<unsigned>(t.month)}, day{static_cast<unsigned>(t.day)}};
    if (!ymd.ok() || t.year < 1 || t.hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
    return t;
}

namespace {

// Writes v as exactly n decimal digits (leading zeros), its low digits when it has more.
char* Digits(char* p, int v, int n) {
    if (v < 0) v = -v;
    for (int i = n - 1; i >= 0; --i) {
        p[i] = static_cast<char>('0' + v % 10);
        v /= 10;
    }
    return p + n;
}

}  // namespace

std::string FormatDate(const LocalDateTime& t) {
    char buf[10];
    char* p = Digits(buf, t.year, 4);
    *p++ = '-';
    p = Digits(p, t.month, 2);
    *p++ = '-';
    p = Digits(p, t.day, 2);
    return std::string(buf, p);
}

std::string FormatTime(const LocalDateTime& t) {
    char buf[12];
    char* p = Digits(buf, t.hour, 2);
    *p++ = ':';
    p = Digits(p, t.minute, 2);
    *p++ = ':';
    p = Digits(p, t.second, 2);
    *p++ = '.';
    p = Digits(p, t.millisecond, 3);
    return std::string(buf, p);
}

}  // namespace corvel::app
