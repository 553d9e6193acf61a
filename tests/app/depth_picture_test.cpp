// The sounder's picture: the columns of the profile in pixels, the depth and temperature texts and
// the ping line, at start, after soundings and with a sea bed below the frame.
#include <gtest/gtest.h>

#include "app/instruments/DepthPictureModel.h"
#include "sim/Sounder.h"

using namespace corvel;
using app::ImageProfData;
using app::SounderPicture;
using app::SounderRect;

namespace {

class DepthPictureTest : public ::testing::Test {
protected:
    void SetUp() override { sim::InitSounder(s); }
    sim::SimulationState s;
};

TEST_F(DepthPictureTest, StartPicture) {
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
    EXPECT_FLOAT_EQ(last.top + last.height, app::kSounderHeight) << "columns reach the bottom of the picture";
}

TEST_F(DepthPictureTest, SoundingsScrollThePictureAndTheDepth) {
    s.TickCount = 20;
    sim::TakeSounding(s);
    SounderPicture p = ImageProfData(s);
    EXPECT_EQ(p.depthText, "10.5 m");
    EXPECT_NEAR(p.columns[0].top, 84.48f, 5e-3) << "the new sample, 5 pixels per metre";
    EXPECT_FLOAT_EQ(p.columns[2].top, 50.97f);
    EXPECT_FLOAT_EQ(p.pingBottom, 52.63f);
    const float first = p.columns[0].top;
    for (int second = 2; second <= 17; ++second) {
        s.TickCount = 20LL * second;
        sim::TakeSounding(s);
    }
    p = ImageProfData(s);
    EXPECT_FLOAT_EQ(p.pingBottom, first) << "the first sample is under the boat";
    EXPECT_FLOAT_EQ(p.columns[sim::kBoatColumn].top, first);
}

TEST_F(DepthPictureTest, AfterThePingAndBelowTheFrame) {
    s.SounderPing = false;
    s.Depth = 11.27f;
    s.DepthProfile[3] = 28;  // deeper than the picture: an empty column, never a negative height
    const SounderPicture p = ImageProfData(s);
    EXPECT_FALSE(p.ping);
    EXPECT_EQ(p.depthText, "11.3 m");
    EXPECT_FLOAT_EQ(p.columns[3].left, 15);
    EXPECT_FLOAT_EQ(p.columns[3].top, 140);
    EXPECT_EQ(p.columns[3].height, 0);
}

}  // namespace
