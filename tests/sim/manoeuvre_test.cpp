// The pure steps of the manoeuvres and the pilot: the best upwind angle of a polar, the speed
// model of a tack, the gybe step, the turn step across north, the end tests of the turns (with the
// windows a step can jump) and the tiller.
#include <gtest/gtest.h>

#include <cmath>

#include "sim/Manoeuvres.h"

using namespace corvel::sim;

namespace {

double Radians(double degrees) { return degrees * 3.14159265358979323846 / 180; }

TEST(BestUpwindAngle, PeakOnTheGridIsFoundAndItsSpeedReturned) {
    // VMG = 1 - (a - 42)^2 / 1000: its peak lies on the grid point 30 + 36/3.
    const BoatSpeedFunction speed = [](float a, float) {
        return static_cast<float>((1 - (a - 42.0) * (a - 42.0) / 1000) / std::cos(Radians(a)));
    };
    std::array<float, kScanAngles> scan{};
    const UpwindBest best = SpMaxWndWrd(scan, 30, 12, speed);
    EXPECT_FLOAT_EQ(best.angle, 42);
    EXPECT_FLOAT_EQ(best.speed, speed(42, 12));
    EXPECT_NEAR(scan[0], 1 - 144.0 / 1000, 1e-5);          // 30 degrees
    EXPECT_NEAR(scan[150], 1 - 38.0 * 38.0 / 1000, 1e-3);  // 80 degrees, after 150 single-precision sums
}

TEST(BestUpwindAngle, EdgesOfTheSpan) {
    std::array<float, kScanAngles> scan{};
    // A VMG growing over the whole span: the last angle, 50 degrees above the polar's first.
    const UpwindBest growing =
        SpMaxWndWrd(scan, 30, 10, [](float a, float) { return static_cast<float>(a / std::cos(Radians(a))); });
    EXPECT_FLOAT_EQ(growing.angle, 80);
    // No speed anywhere (no wind, no polar): every VMG ties at 0 and the smallest angle stays.
    const UpwindBest calm = SpMaxWndWrd(scan, 30, 0, [](float, float) { return 0.0f; });
    EXPECT_FLOAT_EQ(calm.angle, 30);
    EXPECT_FLOAT_EQ(calm.speed, 0);
}

TEST(TackSpeedModel, PolynomialsAsWrittenAndNeverBackwards) {
    struct Case {
        double x, p, q;
    };
    const Case cases[] = {
        {0, 1.0749, 0.9966},
        {1, 1.00319, 0.99845},  // -0.00001 + 0.0016 - 0.0733 + 1.0749;  0.00002 - 0.00007 + 0.0019 + 0.9966
        {10, 0.4919, 1.0286},
        {30, 0.0459, 1.5306},  // the approach factor's low region
        {100, -0.2551, 20.4866},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(static_cast<double>(TackApproachFactor(c.x)), c.p, 1e-9) << c.x;
        EXPECT_NEAR(static_cast<double>(TackRecoveryFactor(c.x)), c.q, 1e-9) << c.x;
    }
    // Speeds, knots: TackMinSpeed 1.5, speed at the polar's first angle 2.5.
    EXPECT_NEAR(TackApproachSpeed(1.5f, 2.5f, 1), 1.5 + 1.00319, 1e-6);
    EXPECT_NEAR(TackRecoverySpeed(1.5f, 10), 1.5 * 1.0286, 1e-6);
    // Far past the approach factor's root (a polar starting far off the wind) the model would sail
    // backwards; the boat stops instead.
    EXPECT_EQ(TackApproachSpeed(1.5f, 2.5f, 150), 0);
    for (int x = 1; x <= 90; ++x) {
        EXPECT_GT(TackApproachSpeed(1.5f, 2.5f, x), 1.5f) << x;
        EXPECT_GE(TackRecoverySpeed(1.5f, x - 0.5), 1.5f * 0.995f) << x;
    }
}

TEST(TurnStep, WrapsOnceAcrossNorthAndCarriesTheLeeway) {
    struct Case {
        float hdg, leeway, step;
        bool starboard;
        float hdgAfter, courseAfter;
    };
    const Case cases[] = {
        {359.5f, 0, 1, true, 0.5f, 0.5f}, {0.3f, 0, 1, false, 359.3f, 359.3f},
        {355, 10, 1, true, 356, 6},                                             // course through the water across north
        {5, -10, 1, false, 4, 354},       {-10, 15, 0.5f, true, 350.5f, 5.5f},  // a heading the tick held below 0
    };
    for (const Case& c : cases) {
        SimulationState s;
        s.HDG = c.hdg;
        s.Leeway = c.leeway;
        TurnHeading(s, c.step, c.starboard);
        EXPECT_NEAR(s.HDG, c.hdgAfter, 1e-4) << c.hdg;
        EXPECT_NEAR(s.WaterTrack.argt, c.courseAfter, 1e-4) << c.hdg;
    }
}

TEST(GybeStep, SixtyFifthOfTheTurnThroughDownwind) {
    EXPECT_FLOAT_EQ(GybeTurnStep(150), 60.0f / 65);
    EXPECT_FLOAT_EQ(GybeTurnStep(180), 0);
    EXPECT_FLOAT_EQ(GybeTurnStep(20), 320.0f / 65);  // a quarter step wider than the 1-degree window
}

TEST(Luffing, MovesOfTheLuffingTick) {
    struct Case {
        float swa;
        bool tacking;
        LuffingMove move;
    };
    const float best = 41.333f;
    const Case cases[] = {
        {45, false, LuffingMove::Luff},
        {41.7f, false, LuffingMove::Luff},
        {41.6f, false, LuffingMove::Arrive},
        {41.04f, false, LuffingMove::Arrive},
        {41.0f, false, LuffingMove::BearAway},
        {36, false, LuffingMove::BearAway},
        {41.6f, true, LuffingMove::HandOverToTack},
        {36, true, LuffingMove::HandOverToTack},
        {45, true, LuffingMove::Luff},
    };
    for (const Case& c : cases) EXPECT_EQ(NextLuffingMove(c.swa, best, c.tacking), c.move) << c.swa;
    EXPECT_TRUE(JumpedOverWindow(-0.31f, 0.7f));
    EXPECT_TRUE(JumpedOverWindow(0.5f, -0.5f));
    EXPECT_FALSE(JumpedOverWindow(-0.31f, -0.29f));
    EXPECT_FALSE(JumpedOverWindow(-0.31f, 0.3f));
}

TEST(TurnEnds, TackAndGybeEndNearTheStartAngleOrOnceTheyPassedIt) {
    struct Case {
        float swa, start;
        bool onNewTack, tackDone, gybeDone;
    };
    const Case cases[] = {
        {49.6f, 50, true, true, true},      {50.5f, 50, true, true, true},
        {49.6f, 50, false, false, true},  // the old tack: a tack has not begun (a leeway jump)
        {51.2f, 50, true, true, false},   // a tack that jumped its window has still passed it
        {48.0f, 50, true, false, true},   // a gybe coming down from 180 has passed it
        {148.9f, 150, false, false, false}, {151.0f, 150, true, true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TackComplete(c.swa, c.start, c.onNewTack), c.tackDone) << c.swa << " " << c.onNewTack;
        EXPECT_EQ(GybeComplete(c.swa, c.start, c.onNewTack), c.gybeDone) << c.swa << " " << c.onNewTack;
    }
}

TEST(PilotTurn, TargetsAndHeadingsAreComparedModulo360) {
    EXPECT_FLOAT_EQ(PilotTarget(355, 10), 5);
    EXPECT_FLOAT_EQ(PilotTarget(5, -10), 355);
    EXPECT_FLOAT_EQ(PilotTarget(-10, -10), 340);  // a start the leeway held below 0
    EXPECT_TRUE(PilotTurnComplete(-20, 340, 0.5f));
    EXPECT_TRUE(PilotTurnComplete(365, 5, 0.5f));
    EXPECT_TRUE(PilotTurnComplete(359.8f, 0.1f, 0.5f));
    EXPECT_FALSE(PilotTurnComplete(349.5f, 350, 0.5f));  // a whole step away
    EXPECT_FALSE(PilotTurnComplete(170, 350, 0.5f));
}

TEST(Tiller, TurnsByItsOffsetFromTheCentre) {
    struct Case {
        float hdg;
        int tiller;
        float after;
    };
    const Case cases[] = {{100, 20, 95}, {100, 10, 105}, {100, 15, 100}, {358, 10, 3}, {2, 20, -3}, {1, 30, -14}};
    for (const Case& c : cases) {
        SimulationState s;
        s.HDG = c.hdg;
        s.Leeway = 4;
        ApplyTiller(s, c.tiller);
        EXPECT_FLOAT_EQ(s.HDG, c.after) << c.hdg << " " << c.tiller;
        EXPECT_FLOAT_EQ(s.WaterTrack.argt, c.after + 4);
    }
}

TEST(WindSide, SurfaceWindSideOfAHeadingOutOfRange) {
    SimulationState s;
    s.HDG = 350;
    s.SurfaceWind.argt = 10;
    EXPECT_TRUE(SurfaceWindFromStarboard(s));
    s.SurfaceWind.argt = 340;
    EXPECT_FALSE(SurfaceWindFromStarboard(s));
    s.HDG = -10;  // held below 0 by the leeway: the same heading as 350
    s.SurfaceWind.argt = 355;
    EXPECT_TRUE(SurfaceWindFromStarboard(s));
    s.HDG = 370;
    s.SurfaceWind.argt = 5;
    EXPECT_FALSE(SurfaceWindFromStarboard(s));
}

}  // namespace
