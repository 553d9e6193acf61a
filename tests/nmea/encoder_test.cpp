// The encoder core: checksum and frame, number and direction fields, latitude and longitude, the
// UTC time and date run fields, and the conversion of free text into sentence bytes.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

#include "nmea/SentenceEncoder.h"

using namespace corvel::nmea;
using corvel::nav::Real;

namespace {

constexpr Real kNaN = std::numeric_limits<Real>::quiet_NaN();
constexpr Real kInf = std::numeric_limits<Real>::infinity();

TEST(Checksum, CoversExactlyTheBytesBetweenDollarAndStar) {
    struct Case {
        const char* body;
        const char* expected;
    };
    const Case cases[] = {
        {"$HCHDT,318.00,T,*", "3F"},
        {"$SDMTW,13.00,C*", "36"},
        {"$SDMTW,0.08,C*", "0C"},     // below 16: the leading zero stays
        {"$SDMTW,13.00,C*36", "36"},  // what follows "*" is not covered
        {"SDMTW,13.00,C*", "36"},     // no "$": from the start
        {"$SDMTW,13.00,C", "36"},     // no "*": to the end
        {"$*", "00"},
        {"$A\xE9*", "A8"},  // a Latin-1 byte counts with its 8 bits
    };
    for (const Case& c : cases) EXPECT_EQ(NmeaChecksum(c.body), c.expected) << c.body;
}

TEST(Checksum, FinishSentenceAppendsTheDigitsAndNothingElse) {
    EXPECT_EQ(FinishSentence("$HCHDT,318.00,T,*"), "$HCHDT,318.00,T,*3F");
    EXPECT_EQ(FinishSentence("$SDMTW,13.00,C*"), "$SDMTW,13.00,C*36");
    EXPECT_EQ(FinishSentence("$SDMTW,13.00,C"), "$SDMTW,13.00,C*36");
}

TEST(Fields, NumbersAndDirections) {
    EXPECT_EQ(NumberField(12.5L, 10, 6), "12.500000");
    EXPECT_EQ(NumberField(-2, 2, 0), "-2");
    EXPECT_EQ(NumberField(kNaN, 5, 2), "");
    EXPECT_EQ(NumberField(-kInf, 5, 2), "");
    EXPECT_EQ(GeneralField(1.5L), "1.5");
    EXPECT_EQ(GeneralField(0), "0");
    EXPECT_EQ(GeneralField(kInf), "");

    struct Case {
        Real degrees;
        const char* expected;
    };
    const Case directions[] = {
        {318.456L, "318.46"}, {-10, "350.00"},   {360, "0.00"},     {725, "5.00"}, {-725, "355.00"}, {359.5L, "359.50"},
        {359.996L, "0.00"},   {-0.001L, "0.00"}, {-1e-30L, "0.00"}, {kNaN, ""},    {kInf, ""},
    };
    for (const Case& c : directions) EXPECT_EQ(DirectionField(c.degrees), c.expected) << static_cast<double>(c.degrees);
}

// No field is written in exponent notation: a value whose text would need it gives an empty field,
// a general value below 1e-5 is written 0.
TEST(Fields, NeverInExponentNotation) {
    const struct {
        const char* name;
        std::string field;
        const char* expected;
    } cases[] = {
        {"more integer digits than the precision", NumberField(12345, 4, 2), ""},
        {"1e18 knots", NumberField(1e18L, 4, 2), ""},
        {"large negative", NumberField(-1e30L, 5, 2), ""},
        {"a rounding that adds a digit", NumberField(9999.6L, 4, 2), ""},
        {"the largest that fits", NumberField(-9999.4L, 4, 2), "-9999.00"},
        {"a zone of 9000 hours", NumberField(9000, 2, 0), ""},
        {"a direction beyond its precision", DirectionField(359.5L, 2, 0), ""},
        {"general, 16 integer digits", GeneralField(1e16L), ""},
        {"general, 15 integer digits", GeneralField(123456789012345.0L), "123456789012345"},
        {"general, below 1e-5", GeneralField(1e-6L), "0"},
        {"general, below 1e-5 and negative", GeneralField(-9.9e-6L), "0"},
        {"general, 1e-5 in decimals", GeneralField(1e-5L), "0.00001"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.field, c.expected) << c.name;
}

struct CoordinateCase {
    Real degrees;
    const char* value;
    const char* hemisphere;
};

TEST(Coordinates, Latitude) {
    const CoordinateCase cases[] = {
        {47.5L, "4730.00000", "N"},
        {5.25L, "0515.00000", "N"},
        {0.5L, "0030.00000", "N"},
        {-5.25L, "0515.00000", "S"},
        {0, "0000.00000", "S"},  // the equator reads "S"
        {90, "9000.00000", "N"},
        {51.103L, "5106.18000", "N"},
        {0.999999999L, "0100.00000", "N"},  // 59.99999994 minutes carry into the degree
        {-47.9999999999L, "4800.00000", "S"},
        {90.5L, "", ""},
        {kNaN, "", ""},
        {-kInf, "", ""},
    };
    for (const CoordinateCase& c : cases) {
        const CoordinateField f = FormatLatitude(c.degrees);
        EXPECT_EQ(f.value, c.value) << static_cast<double>(c.degrees);
        EXPECT_EQ(f.hemisphere, c.hemisphere) << static_cast<double>(c.degrees);
    }
}

TEST(Coordinates, LongitudeInEitherForm) {
    const CoordinateCase cases[] = {
        {123.5L, "12330.00000", "E"},
        {2.5L, "00230.00000", "E"},
        {358, "00200.00000", "W"},
        {359.5L, "00030.00000", "W"},
        {357.75L, "00215.00000", "W"},
        {-2.25L, "00215.00000", "W"},
        {0, "00000.00000", "E"},  // 0 reads "E"
        {360, "00000.00000", "E"},
        {180, "18000.00000", "E"},
        {180.5L, "17930.00000", "W"},
        {-180, "18000.00000", "W"},
        {-181, "17900.00000", "E"},
        {722.5L, "00230.00000", "E"},
        {1.9999999999L, "00200.00000", "E"},
        {kNaN, "", ""},
        {kInf, "", ""},
    };
    for (const CoordinateCase& c : cases) {
        const CoordinateField f = FormatLongitude(c.degrees);
        EXPECT_EQ(f.value, c.value) << static_cast<double>(c.degrees);
        EXPECT_EQ(f.hemisphere, c.hemisphere) << static_cast<double>(c.degrees);
    }
}

// The UTC time and the date that goes with it: the offset moves the date as it moves the time.
TEST(RunFields, UtcTimeAndDate) {
    struct Case {
        LocalDateTime local;
        Real offset;
        const char* time;
        const char* date;
    };
    const Case cases[] = {
        {{2026, 12, 9, 12, 34, 56, 0}, 0, "123456.00", "091226"},
        {{2026, 6, 2, 0, 30, 0, 0}, -2, "223000.00", "010626"},      // back over midnight: the day before
        {{2026, 6, 2, 1, 59, 59, 0}, -2, "235959.00", "010626"},     // still the day before
        {{2026, 6, 2, 2, 0, 0, 0}, -2, "000000.00", "020626"},       // the same day from 02:00
        {{2026, 12, 31, 23, 30, 0, 0}, 2, "013000.00", "010127"},    // forward over the new year
        {{2026, 3, 1, 0, 15, 0, 0}, -1, "231500.00", "280226"},      // back over a month of 28 days
        {{2028, 3, 1, 0, 15, 0, 0}, -1, "231500.00", "290228"},      // and of a leap year
        {{2026, 12, 9, 9, 59, 59, 600}, 0, "100000.00", "091226"},   // the rounding carry reaches the hours
        {{2026, 12, 9, 23, 59, 59, 600}, 0, "000000.00", "101226"},  // and the date
        {{2026, 12, 9, 12, 0, 0, 499}, 0, "120000.00", "091226"},
        {{2026, 12, 9, 12, 0, 0, 500}, 0, "120000.00", "091226"},  // an exact half goes to the even second
        {{2026, 12, 9, 12, 0, 1, 500}, 0, "120002.00", "091226"},
        {{2026, 12, 9, 10, 0, 0, 0}, 5.5L, "153000.00", "091226"},
        {{2026, 12, 9, 10, 0, 0, 0}, -13.75L, "201500.00", "081226"},
        {{2026, 12, 9, 10, 0, 0, 0}, 24, "100000.00", "101226"},
    };
    for (const Case& c : cases) {
        const std::optional<LocalDateTime> utc = UtcInstant(c.local, c.offset);
        ASSERT_TRUE(utc.has_value()) << c.time;
        EXPECT_EQ(UtcTimeField(*utc), c.time)
            << c.local.day << " " << c.local.hour << ":" << c.local.minute << ":" << c.local.second << "."
            << c.local.millisecond << " " << static_cast<double>(c.offset);
        EXPECT_EQ(DateField(*utc), c.date) << c.time << " " << static_cast<double>(c.offset);
    }
    // No zone is a day away from UTC: such an offset, or one that is not a number, gives no time.
    for (const Real offset : {kNaN, kInf, Real{24.01L}, Real{-48}, Real{24e6L}}) {
        EXPECT_FALSE(UtcInstant({2026, 12, 9, 12, 34, 56, 0}, offset).has_value()) << static_cast<double>(offset);
    }
}

TEST(RunFields, DurationAsHoursMinutesSeconds) {
    struct Case {
        Real hours;
        const char* expected;
    };
    const Case cases[] = {
        {0, "000000.00"},
        {2 + 30 / 60.0L + 15 / 3600.0L, "023015.00"},
        {0.5L / 3600, "000001.00"},                  // half a second rounds up
        {59 / 60.0L + 59.6L / 3600, "010000.00"},    // the carry reaches the hours
        {123.75L, "1234500.00"},                     // as many digits of hours as needed
        {999999 + 3599 / 3600.0L, "9999995959.00"},  // the last duration written
        {1e6L, ""},                                  // a million hours: no time to go
        {-1 / 3600.0L, ""},
        {kNaN, ""},
        {kInf, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(DurationField(c.hours), c.expected) << static_cast<double>(c.hours);
}

TEST(SentenceText, KeepsTheFrameWhole) {
    struct Case {
        const char* label;
        std::string text;
        std::string expected;
    };
    // clang-format off
    const Case cases[] = {
        {"plain", "Att_Dover", "Att_Dover"},
        {"frame characters", "a,b*c$d!e\\f^g~h", "a_b_c_d_e_f_g_h"},
        {"controls", std::string("x\r\n\t\x7Fy\0z", 8), "x____y_z"},
        {"accents to their letters", "\xC3\x8Ele d'Yeu \xC3\xA9t\xC3\xA9 \xC3\x80 \xC3\xBF", "Ile d'Yeu ete A y"},
        {"ligatures and sharp s", "\xC3\x86 \xC3\xA6 \xC3\x9F \xC5\x92uvre \xC5\x93il", "AE ae ss OEuvre oeil"},
        {"signs", "\xC2\xAB" "Cap\xC2\xBB 47\xC2\xB0 \xE2\x80\x99 \xE2\x80\x94", "\"Cap\" 47o ' -"},
        {"cedilla and inverted marks become no frame character", "\xC2\xB8\xC2\xA1", "__"},
        {"no-break space", "a\xC2\xA0" "b", "a b"},
        {"C1 control", "a\xC2\x85" "b", "a?b"},
        {"nothing near in ASCII", "\xE2\x82\xAC \xCE\xA9 \xF0\x9F\x9A\xA2", "? ? ?"},
        {"lone Latin-1 byte", "Caf\xE9", "Caf?"},
        {"overlong comma", "\xC0\xAC", "??"},
        {"surrogate", "\xED\xA0\x80", "???"},
        {"cut short", "ab\xC3", "ab?"},
        {"stray continuation", "\x80" "a", "?a"},
    };
    // clang-format on
    for (const Case& c : cases) EXPECT_EQ(SentenceSafeText(c.text), c.expected) << c.label;
}

}  // namespace
