// The depth sounder: the start profile and its picture, the sample law, the scroll of the profile
// under the boat and the picture's columns, texts and ping line.
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

TEST_F(SounderTest, StartProfileAndPicture) {
    EXPECT_FLOAT_EQ(s.DepthProfile[0], 41.86f);
    EXPECT_FLOAT_EQ(s.DepthProfile[kBoatColumn], 56.32f);
    EXPECT_FLOAT_EQ(s.DepthProfile[35], 26.17f);
    EXPECT_EQ(s.Depth, 0);
    EXPECT_TRUE(s.SounderPing);

    const SounderPicture p = ImageProfData(s);
    EXPECT_EQ(p.depthText, "0.0 m");
    EXPECT_EQ(p.temperatureText, "13.0 °C");
    EXPECT_TRUE(p.ping) << "the ping line shows until the first sample's timer";
    EXPECT_FLOAT_EQ(p.pingX, 87.5f);
    EXPECT_FLOAT_EQ(p.pingTop, 0);
    EXPECT_FLOAT_EQ(p.pingBottom, 56.32f);

    ASSERT_EQ(p.columns.size(), 35u) << "the 36th entry is not drawn";
    const SounderRect first = p.columns[0];
    EXPECT_FLOAT_EQ(first.left, 0);
    EXPECT_FLOAT_EQ(first.top, 41.86f);
    EXPECT_FLOAT_EQ(first.width, 5);
    EXPECT_FLOAT_EQ(first.height, 129 - 41.86f);
    const SounderRect last = p.columns[34];
    EXPECT_FLOAT_EQ(last.left, 170);
    EXPECT_FLOAT_EQ(last.top, 20.94f);
    EXPECT_FLOAT_EQ(last.top + last.height, kSounderHeight) << "columns reach the bottom of the picture";
}

TEST(SounderLaw, SampleValues) {
    EXPECT_NEAR(static_cast<double>(NewDepthSample(20, 20)), 16.897, 5e-4);
    EXPECT_NEAR(static_cast<double>(NewDepthSample(20, 20)) * 5, 84.48, 5e-3);
    // Only the time counts: tick 40 at 40 ticks per second is the same second.
    EXPECT_EQ(NewDepthSample(40, 40), NewDepthSample(20, 20));
    for (int second = 0; second < 2 * 3600; ++second) {
        const double depth = static_cast<double>(NewDepthSample(20LL * second, 20));
        ASSERT_GE(depth, 7) << second;
        ASSERT_LE(depth, 19) << second;
    }
    EXPECT_TRUE(std::isfinite(static_cast<double>(NewDepthSample(20, 0)))) << "no division by zero";
}

TEST_F(SounderTest, FirstSampleShiftsTheStartProfile) {
    s.TickCount = 20;
    s.SounderPing = false;
    TakeSounding(s);
    EXPECT_NEAR(s.DepthProfile[0], 84.48f, 5e-3);
    EXPECT_EQ(s.DepthProfile[1], s.DepthProfile[0]) << "entry 0 keeps its value";
    EXPECT_FLOAT_EQ(s.DepthProfile[2], 50.97f);
    EXPECT_FLOAT_EQ(s.DepthProfile[35], 20.94f) << "the last entry is lost";
    EXPECT_FLOAT_EQ(s.Depth, 52.63f / 5);
    EXPECT_TRUE(s.SounderPing);
    EXPECT_EQ(ImageProfData(s).depthText, "10.5 m");
}

TEST_F(SounderTest, SampleReachesTheBoatAtTheSeventeenthSecond) {
    s.TickCount = 20;
    TakeSounding(s);
    const float first = s.DepthProfile[0];
    for (int second = 2; second <= 17; ++second) {
        EXPECT_NE(s.Depth, first / 5) << "not under the boat yet at second " << second - 1;
        s.TickCount = 20LL * second;
        TakeSounding(s);
    }
    EXPECT_EQ(s.DepthProfile[kBoatColumn], first);
    EXPECT_EQ(s.Depth, first / 5);
    EXPECT_EQ(ImageProfData(s).pingBottom, first);
}

TEST_F(SounderTest, PictureAfterThePingAndBelowTheFrame) {
    s.SounderPing = false;
    s.Depth = 11.27f;
    s.DepthProfile[3] = 140;  // deeper than the picture: an empty column, never a negative height
    const SounderPicture p = ImageProfData(s);
    EXPECT_FALSE(p.ping);
    EXPECT_EQ(p.depthText, "11.3 m");
    EXPECT_FLOAT_EQ(p.columns[3].left, 15);
    EXPECT_EQ(p.columns[3].height, 0);
}

}  // namespace
