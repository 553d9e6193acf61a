// The depth sounder: the start profile, the sample law and its 32-bit depths, and the scroll of the
// profile under the boat.
#include "sim/Sounder.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace corvel::sim;

namespace {

class SounderTest : public ::testing::Test {
protected:
    void SetUp() override { InitSounder(s); }
    SimulationState s;
};

// The original's start profile, in pixels at 5 per metre: the depths it gave are those pixels
// divided by 5 in 32 bits, to the bit.
TEST_F(SounderTest, StartProfileIsTheOriginalsToTheBit) {
    constexpr std::array<float, kDepthColumns> kPixels = {
        41.86f, 50.97f, 59.68f, 68.73f, 77.33f, 82.27f, 83.73f, 85.74f, 83.24f, 76.34f, 70.47f, 66.69f,
        58.31f, 54.0f,  52.58f, 51.24f, 52.63f, 56.32f, 62.29f, 67.68f, 71.63f, 77.39f, 80.2f,  78.99f,
        75.55f, 69.14f, 62.62f, 54.33f, 44.62f, 35.45f, 26.71f, 21.92f, 18.64f, 18.23f, 20.94f, 26.17f};
    for (int i = 0; i < kDepthColumns; ++i) EXPECT_EQ(s.DepthProfile[i], kPixels[i] / 5.0f) << i;
    EXPECT_EQ(s.Depth, 0);
    EXPECT_EQ(s.WaterTemperature, 13.0f);
    EXPECT_TRUE(s.SounderPing);
}

TEST(SounderLaw, SampleValues) {
    EXPECT_NEAR(static_cast<double>(NewDepthSample(20, 20)), 16.897, 5e-4);
    // Only the time counts: tick 40 at 40 ticks per second is the same second.
    EXPECT_EQ(NewDepthSample(40, 40), NewDepthSample(20, 20));
    for (int second = 0; second < 2 * 3600; ++second) {
        const double depth = static_cast<double>(NewDepthSample(20LL * second, 20));
        ASSERT_GE(depth, 7) << second;
        ASSERT_LE(depth, 19) << second;
    }
    EXPECT_TRUE(std::isfinite(static_cast<double>(NewDepthSample(20, 0)))) << "no division by zero";
}

// The depth of a sounding is rounded as the original rounded its pixels; on these seconds rounding
// the metres straight to 32 bits gives another depth.
TEST(SounderLaw, SoundingDepthsAreTheOriginals) {
    const struct {
        int second;
        float depth;
    } cases[] = {{4, 18.132969f}, {6, 18.17435f}, {12, 16.259228f}, {14, 15.846304f}, {22, 16.04433f}};
    for (const auto& c : cases) {
        const corvel::nav::Real sample = NewDepthSample(20LL * c.second, 20);
        EXPECT_EQ(SoundingDepth(sample), c.depth) << c.second;
        EXPECT_NE(static_cast<float>(sample), c.depth) << c.second;
    }
}

TEST_F(SounderTest, FirstSampleShiftsTheStartProfile) {
    s.TickCount = 20;
    s.SounderPing = false;
    TakeSounding(s);
    EXPECT_EQ(s.DepthProfile[0], SoundingDepth(NewDepthSample(20, 20)));
    EXPECT_NEAR(s.DepthProfile[0], 16.896f, 1e-3);
    EXPECT_EQ(s.DepthProfile[1], s.DepthProfile[0]) << "entry 0 keeps its value";
    EXPECT_EQ(s.DepthProfile[2], kStartDepthProfile[1]);
    EXPECT_EQ(s.DepthProfile[35], kStartDepthProfile[34]) << "the last entry is lost";
    EXPECT_EQ(s.Depth, 52.63f / 5) << "the start profile's column 16, to the bit";
    EXPECT_TRUE(s.SounderPing);
}

TEST_F(SounderTest, SampleReachesTheBoatAtTheSeventeenthSecond) {
    s.TickCount = 20;
    TakeSounding(s);
    const float first = s.DepthProfile[0];
    for (int second = 2; second <= 17; ++second) {
        EXPECT_NE(s.Depth, first) << "not under the boat yet at second " << second - 1;
        s.TickCount = 20LL * second;
        TakeSounding(s);
    }
    EXPECT_EQ(s.DepthProfile[kBoatColumn], first);
    EXPECT_EQ(s.Depth, first);
}

}  // namespace
