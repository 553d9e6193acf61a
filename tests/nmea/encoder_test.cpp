// The encoder core: checksum and frame, number and direction fields, latitude and longitude, the
// UTC time and date run fields, and the conversion of free text into sentence bytes.
#include <gtest/gtest.h>

#include <limits>
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

TEST(RunFields, UtcTime) {
    struct Case {
        LocalDateTime local;
        Real offset;
        const char* expected;
    };
    const Case cases[] = {
        {{2026, 12, 9, 12, 34, 56, 0}, 0, "123456.00"},
        {{2026, 12, 9, 0, 30, 0, 0}, -2, "223000.00"},     // wraps back over midnight
        {{2026, 12, 9, 23, 30, 0, 0}, 2, "013000.00"},     // and forward
        {{2026, 12, 9, 9, 59, 59, 600}, 0, "100000.00"},   // the rounding carry reaches the hours
        {{2026, 12, 9, 23, 59, 59, 600}, 0, "000000.00"},  // 24 h read 00
        {{2026, 12, 9, 12, 0, 0, 499}, 0, "120000.00"},
        {{2026, 12, 9, 12, 0, 0, 500}, 0, "120000.00"},  // an exact half goes to the even second
        {{2026, 12, 9, 12, 0, 1, 500}, 0, "120002.00"},
        {{2026, 12, 9, 10, 0, 0, 0}, 5.5L, "153000.00"},
        {{2026, 12, 9, 10, 0, 0, 0}, -13.75L, "201500.00"},
        {{2026, 12, 9, 10, 0, 0, 0}, 48, "100000.00"},
        {{2026, 12, 9, 10, 0, 0, 0}, 24e6L, "100000.00"},  // whole days of offset change nothing
        {{2026, 12, 9, 10, 0, 0, 0}, kNaN, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UtcTimeField(c.local, c.offset), c.expected)
            << c.local.hour << ":" << c.local.minute << ":" << c.local.second << "." << c.local.millisecond << " "
            << static_cast<double>(c.offset);
    }
}

TEST(RunFields, DateIsTheLocalDate) {
    EXPECT_EQ(DateField({2026, 12, 9, 0, 30, 0, 0}), "091226");
    EXPECT_EQ(DateField({2000, 1, 31, 23, 59, 59, 999}), "310100");
    EXPECT_EQ(DateField({1999, 7, 4, 0, 0, 0, 0}), "040799");
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
        {"accents to Latin-1", "\xC3\x8Ele d'Yeu \xC3\xA9t\xC3\xA9", "\xCEle d'Yeu \xE9t\xE9"},
        {"no-break space", "a\xC2\xA0" "b", "a\xA0" "b"},
        {"C1 control", "a\xC2\x85" "b", "a?b"},
        {"beyond Latin-1", "\xE2\x82\xAC \xC5\x93 \xF0\x9F\x9A\xA2", "? ? ?"},
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
