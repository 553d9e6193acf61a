// The wall clocks: calendar arithmetic of the simulated clock, the --start format, the stamps, the
// system's zone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "app/program/Clock.h"

using namespace corvel::app;

namespace {

bool Same(const LocalDateTime& a, const LocalDateTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute &&
           a.second == b.second && a.millisecond == b.millisecond;
}

TEST(ClockTest, AddingMillisecondsCrossesDaysMonthsYearsAndLeapDays) {
    const struct {
        LocalDateTime from;
        long long ms;
        LocalDateTime to;
    } cases[] = {
        {{2026, 12, 31, 23, 59, 59, 900}, 100, {2027, 1, 1, 0, 0, 0, 0}},
        {{2028, 2, 28, 12, 0, 0, 0}, 86400000LL, {2028, 2, 29, 12, 0, 0, 0}},  // leap year
        {{2026, 2, 28, 12, 0, 0, 0}, 86400000LL, {2026, 3, 1, 12, 0, 0, 0}},
        {{2026, 3, 1, 0, 0, 0, 0}, -1, {2026, 2, 28, 23, 59, 59, 999}},
        {{2026, 12, 10, 9, 30, 0, 0}, 86400LL * 1000 * 400, {2028, 1, 14, 9, 30, 0, 0}},
    };
    for (const auto& c : cases) EXPECT_TRUE(Same(AddMilliseconds(c.from, c.ms), c.to)) << c.ms;
}

TEST(ClockTest, SimulatedClockFollowsVirtualTime) {
    TimerSet timers;
    const SimulatedClock clock(timers, {2026, 12, 10, 23, 59, 59, 0});
    timers.Advance(1500);
    EXPECT_TRUE(Same(clock.Now(), {2026, 12, 11, 0, 0, 0, 500}));
}

TEST(ClockTest, StartInstantsAreCheckedWhole) {
    ASSERT_TRUE(ParseLocalDateTime("2026-12-10T09:30:05"));
    EXPECT_TRUE(Same(*ParseLocalDateTime("2028-02-29T23:59:59"), {2028, 2, 29, 23, 59, 59, 0}));
    for (const char* bad : {"2026-02-29T00:00:00", "2026-13-01T00:00:00", "2026-12-10T24:00:00", "2026-12-10 09:30:05",
                            "2026-12-10T09:30", "2026-12-1OT09:30:05", "0000-01-01T00:00:00", ""}) {
        EXPECT_FALSE(ParseLocalDateTime(bad)) << bad;
    }
}

TEST(ClockTest, MillisBetweenInstantsUndoesAddingThem) {
    const struct {
        LocalDateTime from;
        long long ms;
    } cases[] = {
        {{9999, 12, 31, 23, 59, 59, 0}, 999},  // up to the last instant a date can write
        {{1, 1, 1, 0, 0, 0, 0}, 315537897599999LL},
        {{2026, 3, 1, 0, 0, 0, 0}, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MillisBetween(c.from, AddMilliseconds(c.from, c.ms)), c.ms) << c.ms;
    }
    EXPECT_TRUE(Same(AddMilliseconds({9999, 12, 31, 23, 59, 59, 0}, 999), kLastInstant));
    EXPECT_EQ(AddMilliseconds(kLastInstant, 1).year, 10000);
}

TEST(ClockTest, StampTextsAreZeroPadded) {
    const LocalDateTime t{2026, 1, 2, 3, 4, 5, 6};
    EXPECT_EQ(FormatDate(t), "2026-01-02");
    EXPECT_EQ(FormatTime(t), "03:04:05.006");
}

// The system's zone is the process's: TZ in its POSIX form, which needs no zone file, for zones
// without summer time (a summer or winter date cannot be forced on the system clock).
TEST(ClockTest, TheSystemZoneIsTheHoursAddedToLocalTimeToObtainUtc) {
    const char* was = std::getenv("TZ");
    const std::optional<std::string> saved = was ? std::optional<std::string>(was) : std::nullopt;
    const struct {
        const char* tz;
        double hours;
    } cases[] = {
        {"UTC0", 0}, {"CEST-2", -2}, {"IST-5:30", -5.5}, {"HST10", 10}, {"NPT-5:45", -5.75}, {"LINT-14", -14},
    };
    for (const auto& c : cases) {
        ::setenv("TZ", c.tz, 1);
        EXPECT_NEAR(static_cast<double>(SystemClock().UtcOffsetHours()), c.hours, 1e-12) << c.tz;
        EXPECT_NEAR(static_cast<double>(SystemZone().UtcOffsetHours()), c.hours, 1e-12) << c.tz;
    }
    if (saved) {
        ::setenv("TZ", saved->c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}

}  // namespace
