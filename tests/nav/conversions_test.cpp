// Angle and number conversions: each operation against a table of the cases that matter.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "nav/Conversions.h"
#include "nav/ValidFloat.h"

using namespace corvel::nav;

namespace {

struct Case {
    const char* name;
    Real (*fn)(Real);
    Real in;
    Real out;
    Real tol;
};

Real Tan(Real x) { return TanGuarded(x); }

TEST(Conversions, UnaryOperationsTable) {
    const Case cases[] = {
        {"SignOf negative", SignOf, -0.5L, -1, 0},
        {"SignOf zero", SignOf, 0, 1, 0},
        {"SignOf minus zero", SignOf, -0.0L, 1, 0},
        {"Round half to even down", Round, 2.5L, 2, 0},
        {"Round half to even up", Round, 3.5L, 4, 0},
        {"Round negative half", Round, -2.5L, -2, 0},
        {"Int truncates toward zero", Int, -2.7L, -2, 0},
        {"Frac keeps the sign", Frac, -2.75L, -0.75L, 1e-15L},
        {"DMSToDegrees 45.3015", DMSToDegrees, 45.3015L, 45.504166666666667L, 1e-9L},
        {"DMSToDegrees negative", DMSToDegrees, -12.0509L, -12.085833333333333L, 1e-9L},
        {"DMSToDegrees 45.30 stored as 45.2999...", DMSToDegrees, static_cast<double>(45.3), 45.5L, 1e-9L},
        {"DegreesToDMS 45.504166667", DegreesToDMS, 45.504166667L, 45.3015L, 1e-12L},
        {"DegreesToDMS -0.5", DegreesToDMS, -0.5L, -0.3L, 1e-12L},
        {"DegreesToDMS carries into the degree", DegreesToDMS, 10.99999L, 11.0L, 1e-12L},
        {"DegreesToDMS 360 wraps to 0", DegreesToDMS, 359.99999L, 0, 0},
        {"DegreesToDMS 2.5 hours", DegreesToDMS, 2.5L, 2.3L, 1e-12L},
        {"DegreesToDM 45.5", DegreesToDM, 45.5L, 45.3L, 1e-12L},
        {"DegreesToDM -3.25", DegreesToDM, -3.25L, -3.15L, 1e-12L},
        {"DegreesToDM hair below a degree", DegreesToDM, 12.0L - 1e-13L, 12.0L, 1e-12L},
        {"DMToDegrees 45.3", DMToDegrees, 45.3L, 45.5L, 1e-12L},
        {"DMToDegrees 51.0618", DMToDegrees, 51.0618L, 51.103L, 1e-12L},
        {"Wrap360 one correction only", Wrap360, 725, 365, 0},
        {"Wrap360 negative", Wrap360, -10, 350, 0},
        {"Wrap360 keeps 360", Wrap360, 360, 360, 0},
        {"ArcCosine 0", ArcCosine, 0, Pi / 2, 1e-18L},
        {"ArcCosine 1", ArcCosine, 1, 0, 0},
        {"ArcCosine -1", ArcCosine, -1, Pi, 1e-18L},
        {"ArcCosine 0.5", ArcCosine, 0.5L, Pi / 3, 1e-18L},
        {"ArcCosine just above 1 is clamped", ArcCosine, 1 + 1e-18L, 0, 0},
        {"TanGuarded pi/4", Tan, Pi / 4, 1, 1e-18L},
        {"DegToRad 180", DegToRad, 180, Pi, 0},
        {"RadToDeg pi", RadToDeg, Pi, 180, 0},
    };
    for (const Case& c : cases) {
        const Real got = c.fn(c.in);
        EXPECT_NEAR(static_cast<double>(got), static_cast<double>(c.out), static_cast<double>(c.tol)) << c.name;
    }
}

TEST(Conversions, TanGuardedStaysFiniteAtRightAngle) {
    const Real t = TanGuarded(Pi / 2);
    EXPECT_TRUE(std::isfinite(t));
    EXPECT_NEAR(std::fabs(static_cast<double>(t)), 1e7, 1.0);
    // Just past pi/2 the cosine is negative: the sign follows it.
    EXPECT_LT(TanGuarded(Pi / 2 + 1e-9L), -9e6L);
}

TEST(Conversions, SmallHelpers) {
    EXPECT_DOUBLE_EQ(static_cast<double>(LinearInterpolate(5, 4, 10, 6, 20)), 15.0);
    EXPECT_TRUE(IsTickMultiple(20, 20));
    EXPECT_FALSE(IsTickMultiple(21, 20));
    EXPECT_TRUE(IsTickMultiple(0, 20));
}

struct FixedCase {
    Real x;
    int precision;
    int digits;
    const char* text;
};

TEST(Conversions, FormatFixedTable) {
    const FixedCase cases[] = {
        {318.46L, 4, 1, "318.5"},
        {5.678L, 3, 1, "5.7"},
        {123.7L, 3, 1, "124.0"},  // precision reached before the decimals
        {12, 4, 2, "12.00"},
        {335.4L, 3, 0, "335"},
        {0, 4, 2, "0.00"},
        {-0.001L, 4, 2, "0.00"},  // no "-" on a result that rounds to zero
        {-7.25L, 4, 1, "-7.3"},   // halves go away from zero
        {0.125L, 4, 2, "0.13"},
        {0.004L, 4, 2, "0.00"},
        {0.006L, 4, 2, "0.01"},
        {9.996L, 4, 2, "10.00"},  // carry adds an integer digit
        {999.96L, 4, 1, "1000.0"},
        {4.14L, 7, 4, "4.1400"},
        {0.5L, 3, 0, "1"},
        {359.96L, 4, 1, "360.0"},
        {static_cast<float>(6.78), 4, 2, "6.78"},
        {12345, 3, 1, "1.23E+4"},  // more integer digits than the precision
        {std::nanl(""), 4, 2, "0.00"},
        {-HUGE_VALL, 4, 1, "0.0"},
    };
    for (const FixedCase& c : cases) {
        EXPECT_EQ(FormatFixed(c.x, c.precision, c.digits), c.text)
            << "FormatFixed(" << static_cast<double>(c.x) << ", " << c.precision << ", " << c.digits << ")";
    }
}

TEST(Conversions, FormatGeneralTable) {
    const std::pair<Real, const char*> cases[] = {
        {6.78L, "6.78"},
        {static_cast<float>(6.78), "6.78000020980835"},  // a 32-bit value widened shows its digits
        {318, "318"},
        {-2.5L, "-2.5"},
        {0, "0"},
        {-0.0L, "0"},
        {0.00001L, "0.00001"},
        {0.000001L, "1E-6"},
        {1.5e-7L, "1.5E-7"},
        {123456789012345.0L, "123456789012345"},
        {1e20L, "1E20"},
        {0.1L + 0.2L, "0.3"},
        {1.0L / 3, "0.333333333333333"},
        {2.0L / 3, "0.666666666666667"},
    };
    for (const auto& [x, text] : cases) EXPECT_EQ(FormatGeneral(x), text) << static_cast<double>(x);
}

TEST(ValidFloatTest, ReadsBothSeparatorsAndRejectsNonNumbersAsZero) {
    // clang-format off
    const std::pair<std::string, Real> cases[] = {
        {"", 0},
        {"4,14", 4.14L},
        {"4.14", 4.14L},
        {"23,08", 23.08L},
        {"075", 75},
        {"  -12.5  ", -12.5L},
        {"+3", 3},
        {"1e3", 1000},
        {"2,5E-1", 0.25L},
        {".5", 0.5L},
        {"5.", 5},
        {"abc", 0},
        {"1.2.3", 0},
        {"1,2.3", 0},
        {"1,,2", 0},
        {"..", 0},
        {",", 0},
        {"   ", 0},
        {"-", 0},
        {"1e", 0},
        {"1e999", 0},
        {"-1e999", 0},
        {"1e-99999", 0},
        {"nan", 0},
        {"inf", 0},
        {"12 34", 0},
        {"0x10", 0},
    };
    // clang-format on
    for (const auto& [text, value] : cases) {
        EXPECT_NEAR(static_cast<double>(ValidFloat(text)), static_cast<double>(value), 1e-15) << '"' << text << '"';
    }
}

TEST(ValidFloatTest, LongTextIsCutAt255Characters) {
    // 300 digits: only the first 255 are read, and nothing past the text.
    const Real v = ValidFloat(std::string(300, '1'));
    EXPECT_TRUE(std::isfinite(v));
    EXPECT_EQ(v, ValidFloat(std::string(255, '1')));
    EXPECT_NE(v, ValidFloat(std::string(254, '1')));
    // A view into a larger buffer is read only up to its own end.
    const std::string buffer = "12.5xyz";
    EXPECT_EQ(ValidFloat(std::string_view(buffer).substr(0, 4)), 12.5L);
    // Only separators, long.
    EXPECT_EQ(ValidFloat(std::string(400, ',')), 0);
    EXPECT_EQ(ValidFloat(std::string(400, '.')), 0);
}

TEST(ParseDotNumberTest, TextLongerThan255CharactersIsNoNumber) {
    // Never cut: the command line and the control port refuse what they cannot read whole.
    const std::string zeros(260, '0');
    const struct {
        std::string text;
        std::optional<Real> value;
    } cases[] = {
        {std::string(253, '0') + "10", 10},            // 255 characters
        {std::string(254, '0') + "10", std::nullopt},  // 256
        {"10." + zeros + "garbage", std::nullopt},     // a number in its first 255 characters
        {"10." + std::string(252, '0'), 10},           // 255
        {std::string(300, ' ') + "1", std::nullopt},   // blanks count
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.size());
        EXPECT_EQ(ParseDotNumber(c.text), c.value);
    }
}

}  // namespace

namespace {

// The definition of the fixed format, written the plain way: the value's 18 significant digits
// from the C library, rounded half away from zero. FormatFixed takes a faster road for most
// values; both must agree everywhere.
std::string ReferenceFixed(Real x, int precision, int digits) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17Le", std::fabs(x));
    std::string mant = std::string(1, buf[0]) + std::string(buf + 2, buf + 19);
    int exp10 = std::atoi(buf + 20) + 1;
    if (exp10 > precision) return "";  // exponent notation: not compared here
    const int n = std::min(precision, exp10 + digits);
    std::string kept = n > 0 ? mant.substr(0, static_cast<size_t>(n)) : "";
    const bool up = n >= 0 && n < 18 && mant[static_cast<size_t>(n)] >= '5';
    // Integer of the kept digits, plus one when rounding up, then placed with exp10.
    std::string number = kept.empty() ? "0" : kept;
    if (up) {
        int i = static_cast<int>(number.size()) - 1;
        if (kept.empty()) {
            number = "1";
        } else {
            while (i >= 0 && number[static_cast<size_t>(i)] == '9') number[static_cast<size_t>(i--)] = '0';
            if (i < 0) {
                number.insert(number.begin(), '1');
                ++exp10;
            } else {
                ++number[static_cast<size_t>(i)];
            }
        }
        if (kept.empty()) ++exp10;
    }
    if (exp10 > precision) return "";
    // number holds the significant digits starting at 10^(exp10-1).
    std::string intPart, frac;
    for (int pos = exp10 - 1; pos >= 0; --pos) {
        const int idx = exp10 - 1 - pos;
        intPart +=
            idx < static_cast<int>(number.size()) && (up || !kept.empty()) ? number[static_cast<size_t>(idx)] : '0';
    }
    if (intPart.empty()) intPart = "0";
    for (int k = 1; k <= digits; ++k) {
        const int idx = exp10 - 1 + k;
        frac += idx >= 0 && idx < static_cast<int>(number.size()) && (up || !kept.empty())
                    ? number[static_cast<size_t>(idx)]
                    : '0';
    }
    const bool zero = (intPart + frac).find_first_not_of('0') == std::string::npos;
    return (x < 0 && !zero ? "-" : "") + intPart + (digits > 0 ? "." + frac : "");
}

TEST(Conversions, FormatFixedAgreesWithItsDefinitionEverywhere) {
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> mag(-6, 5);
    std::uniform_int_distribution<int> prec(1, 10), dig(0, 7);
    std::vector<Real> values = {2.675, 1.005, 0.125, 318.45f, 6.78f, 0.5, 1.5, 2.5, 9.995, 99.995, 0.045, 1e-7, 5e-5};
    for (int i = 0; i < 20000; ++i) {
        const double v = std::pow(10.0, mag(rng)) * (rng() % 2 ? 1 : -1);
        values.push_back(i % 2 ? static_cast<Real>(static_cast<float>(v)) : static_cast<Real>(v));
    }
    for (int i = 0; i < 2000; ++i) values.push_back(std::round(mag(rng) * 1000) / 1000 + 0.0005);  // near ties
    // Extended values that no 64-bit float holds: products and quotients made in the wide type,
    // and ties of 1 to 6 decimals missed by one to a few units of the 64-bit significand, on both
    // sides (the 18-digit expansion of these sits on the tie, the exact value does not).
    for (int i = 0; i < 4000; ++i) {
        const Real v = static_cast<Real>(std::pow(10.0, mag(rng))) * 3.2808398950131233596L / 3;
        values.push_back(i % 2 ? v : -v);
    }
    for (int i = 0; i < 3000; ++i) {
        const int decimals = 1 + i % 6;
        const Real scale = std::pow(10.0L, decimals);
        const Real tie = (std::round(static_cast<Real>(mag(rng)) * scale) + 0.5L) / scale;
        Real v = tie;
        for (int u = 0; u < 1 + i % 3; ++u) v = i % 2 ? std::nextafter(v, 1e30L) : std::nextafter(v, -1e30L);
        values.push_back(v);
        values.push_back(tie);
    }
    for (Real v : values) {
        for (int k = 0; k < 3; ++k) {
            const int p = prec(rng), d = dig(rng);
            const std::string expected = ReferenceFixed(v, p, d);
            if (expected.empty()) continue;
            ASSERT_EQ(FormatFixed(v, p, d), expected)
                << std::setprecision(20) << static_cast<double>(v) << " " << p << " " << d;
        }
    }
}

}  // namespace

namespace {

TEST(Conversions, SineAndCosineKeepTheExtendedPrecision) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> small(-7, 7), large(-1e6, 1e6);
    for (int i = 0; i < 20000; ++i) {
        const Real x = i % 2 ? static_cast<Real>(small(rng)) : static_cast<Real>(large(rng)) + 0.123456789L;
        // Within a few units of the extended type's last place (1e-19 relative) of the library.
        EXPECT_NEAR(static_cast<double>(Sine(x) - std::sin(x)), 0.0, 4e-19) << static_cast<double>(x);
        EXPECT_NEAR(static_cast<double>(Cosine(x) - std::cos(x)), 0.0, 4e-19) << static_cast<double>(x);
    }
    EXPECT_EQ(Sine(0), 0);
    EXPECT_EQ(Cosine(0), 1);
    EXPECT_NEAR(static_cast<double>(Sine(1e12L) - std::sin(1e12L)), 0.0, 1e-18);  // beyond the reduction: the library
}

}  // namespace

namespace {

// Round replaces the library's nearbyint for speed: it must agree bit for bit, signs of zero,
// halves, the edges of the 64-bit significand and the non-finite values included.
TEST(Conversions, RoundIsNearbyintEverywhere) {
    // clang-format off
    const Real edges[] = {0.0L, -0.0L, 0.5L, -0.5L, 1.5L, -1.5L, 0.49999999999999999995L, -0.3L,
                          4503599627370495.5L, 9223372036854775807.0L, -9223372036854775807.0L,
                          9223372036854775808.0L, 4611686018427387903.5L, -4611686018427387904.5L,
                          1e30L, -1e30L, INFINITY, -INFINITY, 1e-4940L};
    // clang-format on
    std::vector<Real> xs(std::begin(edges), std::end(edges));
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> wide(-1e7, 1e7);
    for (int i = 0; i < 20000; ++i) {
        const Real x = static_cast<Real>(wide(rng)) / 7;
        xs.push_back(x);
        xs.push_back(std::trunc(x) + (i % 2 ? 0.5L : -0.5L));  // exact halves, both parities
    }
    for (Real x : xs) {
        const Real want = std::nearbyint(x);
        const Real got = Round(x);
        EXPECT_TRUE(got == want && std::signbit(got) == std::signbit(want)) << static_cast<double>(x);
        // The 64-bit form, on the 64-bit value and its neighbours at the edge of its significand.
        for (double d : {static_cast<double>(x), static_cast<double>(x) * 1e-3, 4503599627370495.5, -4503599627370497.0,
                         2251799813685248.5}) {
            const double w = std::nearbyint(d), g = Round(d);
            EXPECT_TRUE(g == w && std::signbit(g) == std::signbit(w)) << d;
        }
    }
    EXPECT_TRUE(std::isnan(Round(NAN)));
    EXPECT_TRUE(std::isnan(Round(static_cast<double>(NAN))));
    EXPECT_EQ(Round(static_cast<double>(INFINITY)), INFINITY);
}

// The remembered cosine and sine are the library's own, whatever was asked before: repeated
// arguments, arguments that share a slot, both zeros, and NaN.
TEST(Conversions, CosSinOfIsTheLibrarysValue) {
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> angle(-10, 10);
    std::vector<double> xs = {0.0, -0.0, 1.0, -1.0, 1e300, std::nextafter(1.0, 2.0)};
    for (int i = 0; i < 3000; ++i) xs.push_back(angle(rng));
    for (int pass = 0; pass < 3; ++pass) {
        for (size_t i = 0; i < xs.size(); ++i) {
            const double x = xs[pass == 1 ? xs.size() - 1 - i : i];
            const CosSin cs = CosSinOf(x);
            EXPECT_EQ(std::bit_cast<std::uint64_t>(cs.cos), std::bit_cast<std::uint64_t>(std::cos(x))) << x;
            EXPECT_EQ(std::bit_cast<std::uint64_t>(cs.sin), std::bit_cast<std::uint64_t>(std::sin(x))) << x;
        }
    }
    const CosSin nan = CosSinOf(NAN);
    EXPECT_TRUE(std::isnan(nan.cos) && std::isnan(nan.sin));
}

}  // namespace

namespace {

// The range FormatFixed gives holds x, and every value in it is written as x is: its ends, the
// values just inside them, and values between, across magnitudes, signs, precisions and digits,
// near ties and near powers of ten.
TEST(Conversions, FormatFixedRangeWritesTheSameText) {
    std::mt19937 rng(23);
    std::uniform_real_distribution<double> mag(-7, 10), unit(0, 1);
    std::uniform_int_distribution<int> prec(1, 12), dig(0, 9);
    std::vector<Real> values = {0.05L, 0.95L,         9.95L,   99.95L, 999.95L, 0.0999999L,
                                1e-6L, 9.99999999e8L, 318.45f, -2.5L,  0};
    for (int i = 0; i < 20000; ++i) {
        const Real v = static_cast<Real>(std::pow(10.0, mag(rng))) * (i % 3 ? 1 : -1);
        values.push_back(i % 2 ? static_cast<Real>(static_cast<float>(v)) : v);
    }
    int widened = 0;
    for (Real x : values) {
        const int p = prec(rng), d = dig(rng);
        FixedRange range;
        const std::string text = FormatFixed(x, p, d, &range);
        ASSERT_EQ(text, FormatFixed(x, p, d));
        ASSERT_TRUE(range.low <= x && x <= range.high) << static_cast<double>(x);
        if (range.low == range.high) continue;
        ++widened;
        // clang-format off
        const Real inside[] = {range.low, range.high, std::nextafter(range.low, range.high),
                               std::nextafter(range.high, range.low), (range.low + range.high) / 2,
                               range.low + (range.high - range.low) * static_cast<Real>(unit(rng))};
        // clang-format on
        for (Real y : inside) {
            ASSERT_EQ(FormatFixed(y, p, d), text) << std::setprecision(21) << static_cast<double>(x) << " -> "
                                                  << static_cast<double>(y) << " " << p << " " << d;
        }
    }
    EXPECT_GT(widened, 10000);  // the integer road gives a range for most values
}

}  // namespace
