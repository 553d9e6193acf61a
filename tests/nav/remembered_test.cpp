// The remembered results of a pure function: always the function's own answer, computed again only
// for a new argument, with the argument told apart by its bits (not by ==).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "nav/Remembered.h"

using corvel::nav::Remembered;

namespace {

TEST(Remembered, AnswersAsTheFunctionAndComputesOnlyNewArguments) {
    Remembered<double, double, 3> memo;  // 8 slots: collisions are certain below
    int computed = 0;
    const auto twice = [&](double x) {
        ++computed;
        return 2 * x;
    };
    std::mt19937 rng(9);
    std::uniform_int_distribution<int> pick(0, 40);
    for (int i = 0; i < 5000; ++i) {
        const double x = pick(rng) * 0.25;
        ASSERT_EQ(memo.Get(x, twice), 2 * x);
    }
    EXPECT_LT(computed, 5000);  // some answers came from memory
    // An argument asked again at once is never computed again.
    memo.Get(1.5, twice);
    const int before = computed;
    EXPECT_EQ(memo.Get(1.5, twice), 3.0);
    EXPECT_EQ(computed, before);
}

TEST(Remembered, ArgumentsAreToldApartByTheirBits) {
    Remembered<double, bool> doubles;
    const auto negative = [](double x) { return std::signbit(x); };
    EXPECT_FALSE(doubles.Get(0.0, negative));
    EXPECT_TRUE(doubles.Get(-0.0, negative));  // equal to 0.0, yet another argument
    EXPECT_FALSE(doubles.Get(0.0, negative));

    // The same extended value with different bytes in its padding is the same argument.
    Remembered<long double, long double> extended;
    int computed = 0;
    const auto half = [&](long double x) {
        ++computed;
        return x / 2;
    };
    long double a = 0, b = 0;
    const long double value = 1.25L;
    std::memset(&a, 0x00, sizeof a);
    std::memset(&b, 0xA5, sizeof b);
    std::memcpy(&a, &value, 10);
    std::memcpy(&b, &value, 10);
    EXPECT_EQ(extended.Get(a, half), 0.625L);
    EXPECT_EQ(extended.Get(b, half), 0.625L);
    EXPECT_EQ(computed, 1);
    EXPECT_EQ(extended.Get(-1.25L, half), -0.625L);
    EXPECT_EQ(computed, 2);
}

}  // namespace
