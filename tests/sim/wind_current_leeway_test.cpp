// Wind, current and leeway: the shape of every leeway table and a few of its cells, the rows
// shared by all categories, the wind classes, the tack side, the vector sums, the
// variation laws with their clamps and fold, the apparent wind, the drift and the alternating
// current's turn.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "sim/WindCurrentLeeway.h"

using namespace corvel::sim;

namespace {

// A wind speed inside each class 1..7, knots.
constexpr double kSpeedOfClass[8] = {0, 2, 5, 9, 12, 19, 25, 31};

// A table cell through LeewayOf: the row's whole angle, a wind inside the class.
int Cell(int category, int row, int windClass) { return LeewayOf(category, row, kSpeedOfClass[windClass]); }

// What holds over every cell of every category, whatever the values: rows 0 to 24 are shared,
// from 25 degrees on the leeway is towards leeward and under 25 degrees, more wind never gives less
// leeway, beyond 160 degrees there is none, and no category repeats another's table.
TEST(Leeway, EveryTableKeepsItsShape) {
    constexpr int kFirstOwnRow = 25;
    for (int category = 0; category < kLeewayCategories; ++category) {
        for (int row = 0; row < kLeewayRows; ++row) {
            for (int cls = 1; cls <= kWindClasses; ++cls) {
                const int value = Cell(category, row, cls);
                SCOPED_TRACE(testing::Message() << "category " << category << " row " << row << " class " << cls);
                if (row < kFirstOwnRow) {
                    EXPECT_EQ(value, Cell(0, row, cls));
                } else {
                    EXPECT_GE(value, 0);
                    EXPECT_LT(value, 25);
                }
                if (cls > 1) {
                    EXPECT_LE(std::abs(Cell(category, row, cls - 1)), std::abs(value));
                }
                if (row > 160) {
                    EXPECT_EQ(value, 0);
                }
            }
        }
        for (int other = 0; other < category; ++other) {
            bool differ = false;
            for (int row = kFirstOwnRow; row < kLeewayRows; ++row) {
                for (int cls = 1; cls <= kWindClasses; ++cls) {
                    differ |= Cell(category, row, cls) != Cell(other, row, cls);
                }
            }
            EXPECT_TRUE(differ) << "categories " << other << " and " << category << " have one table";
        }
    }
}

// A few cells read by hand from the original program's leeway tables: the close-hauled row 25 of
// each category in the lightest and the strongest class (the corners of its own rows); category
// 0's worked case, a true wind angle of 45 degrees in 12 knots (rows 45-49, class 4); its last
// row with leeway (160); the row where category 2's leeway is largest (42, not 25); and category
// 3's rows 59 and 60, where its leeway grows again with the angle (category 1's does not).
TEST(Leeway, CellsReadFromTheOriginalTables) {
    const struct {
        int category, row, cls, expected;
    } cases[] = {
        {0, 25, 1, 12}, {0, 25, 7, 20}, {1, 25, 1, 14}, {1, 25, 7, 23}, {2, 25, 1, 8}, {2, 25, 7, 10}, {3, 25, 1, 14},
        {3, 25, 7, 23}, {0, 45, 4, 5},  {0, 160, 7, 1}, {2, 42, 7, 12}, {3, 59, 4, 4}, {3, 60, 4, 5},  {1, 60, 4, 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Cell(c.category, c.row, c.cls), c.expected)
            << "category " << c.category << " row " << c.row << " class " << c.cls;
    }
}

// Rows 0 to 24 are the same in every category; at angles 2 to 14 the leeway is negative except
// in the lightest wind.
TEST(Leeway, SharedRowsInEveryCategory) {
    const struct {
        int row, cls, expected;
    } cases[] = {
        {0, 1, 0},   {0, 7, 0},   {1, 4, 0},  {2, 1, 0},  {2, 2, -13}, {2, 7, -13}, {8, 5, -7}, {14, 1, 0},
        {14, 2, -1}, {14, 7, -1}, {15, 1, 0}, {15, 7, 0}, {16, 1, 1},  {24, 1, 9},  {24, 7, 9},
    };
    for (int category = 0; category < 4; ++category) {
        for (const auto& c : cases) {
            EXPECT_EQ(Cell(category, c.row, c.cls), c.expected)
                << "category " << category << " row " << c.row << " class " << c.cls;
        }
    }
}

TEST(Leeway, RowRoundingAndOutOfRangeInputs) {
    // Round halves to even: 42.5 reads row 42, 43.5 row 44; 42.6 row 43.
    EXPECT_EQ(LeewayOf(0, 42.5, 2), 2);
    EXPECT_EQ(LeewayOf(0, 42.6, 2), 1);
    EXPECT_EQ(LeewayOf(0, 43.5, 2), 1);
    // Angles beyond the table are clamped to its first and last rows.
    EXPECT_EQ(LeewayOf(0, -3, 12), 0);
    EXPECT_EQ(LeewayOf(1, 181, 31), 0);
    EXPECT_EQ(LeewayOf(0, std::nan(""), 12), 0);
    // Category 4 and unknown categories make no leeway.
    EXPECT_EQ(LeewayOf(4, 30, 12), 0);
    EXPECT_EQ(LeewayOf(-1, 30, 12), 0);
    EXPECT_EQ(LeewayOf(7, 30, 12), 0);
    // 34 knots and more use the last class.
    EXPECT_EQ(LeewayOf(0, 25, 34), 20);
    EXPECT_EQ(LeewayOf(0, 25, 60), 20);
}

TEST(Wind, ClassBoundaries) {
    const struct {
        double tws;
        int cls;
    } cases[] = {
        {-1, 1}, {0, 1},     {3.9, 1}, {4, 2},    {6.99, 2}, {7, 3},     {10, 3}, {10.99, 3}, {11, 4},       {16.99, 4},
        {17, 5}, {21.99, 5}, {22, 6},  {28.5, 6}, {29, 7},   {33.99, 7}, {34, 7}, {50, 7},    {INFINITY, 7}, {NAN, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(WindClass(c.tws), c.cls) << c.tws;
}

// A heading and the reciprocal the tick would have stored for it.
SimulationState Heading(float hdg) {
    SimulationState s;
    s.HDG = hdg;
    s.ReciprocalHDG = hdg - 180 < 0 ? hdg - 180 + 360 : hdg - 180;
    return s;
}

TEST(Wind, WindAngleOffHeading) {
    // clang-format off
    const struct {
        float argt, hdg, expected;
    } cases[] = {
        {10, 350, 20}, {350, 10, 20}, {190, 0, 170}, {180, 0, 180}, {0, 0, 0},
        {360, 0, 0},   {20, 318, 62}, {300, 20, 80}, {355, -10, 5},  // a heading below 0, as the tick leaves it while
                                                                     // leeway carries the course across north
        {5, 370, 5},
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_NEAR(FindWindAngle({6, c.argt}, c.hdg), c.expected, 1e-4) << c.argt << " off " << c.hdg;
        SimulationState s = Heading(c.hdg);
        s.TrueWind = {6, c.argt};
        TrueWindAngle(s);
        EXPECT_NEAR(s.TWA, c.expected, 1e-4);
    }
}

TEST(Wind, TackSide) {
    const struct {
        float hdg, twd;
        t_amure expected;
    } cases[] = {
        {350, 10, t_amure::tribord},  {350, 340, t_amure::babord},    {350, 170, t_amure::babord},
        {350, 350, t_amure::tribord}, {350, 0, t_amure::tribord},     {350, 360, t_amure::tribord},
        {90, 90, t_amure::tribord},   {90, 269.9f, t_amure::tribord}, {90, 270, t_amure::babord},
        {90, 0, t_amure::babord},     {90, 45, t_amure::babord},      {180, 180, t_amure::tribord},
        {180, 0, t_amure::babord},    {180, 90, t_amure::babord},     {180, 270, t_amure::tribord},
        {-10, 355, t_amure::tribord},  // stray heading -10 is 350: wind 5 degrees to starboard
        {-10, 340, t_amure::babord},
    };
    for (const auto& c : cases) {
        SimulationState s = Heading(c.hdg);
        s.TrueWind = {8, c.twd};
        s.TWA = 999;
        EXPECT_EQ(F_amure(s), c.expected) << "HDG " << c.hdg << " TWD " << c.twd;
        EXPECT_EQ(s.TWA, FindWindAngle(s.TrueWind, s.HDG)) << "F_amure recomputes TWA";
    }
}

TEST(Wind, SignedLeewayUsesTheAngleGivenBeforeTheTackTest) {
    SimulationState s = Heading(0);
    s.Category = 0;
    s.TrueWind = {12, 45};  // starboard tack, TWA 45, class 4
    EXPECT_EQ(SetLeeway(s, 45, 12), -5);
    EXPECT_EQ(s.Leeway, -5);

    s.TrueWind = {12, 315};  // port tack
    EXPECT_EQ(SetLeeway(s, 45, 12), 5);

    // The tick passes the TWA left by the previous tick; F_amure then updates it.
    s.TrueWind = {12, 45};
    s.TWA = 100;
    EXPECT_EQ(SetLeeway(s, s.TWA, 12), -2);  // row 100, class 4
    EXPECT_FLOAT_EQ(s.TWA, 45);

    s.Category = 4;
    EXPECT_EQ(SetLeeway(s, 45, 12), 0);
    EXPECT_FALSE(std::signbit(s.Leeway)) << "no leeway is +0, never shown as -0.0";
}

TEST(Wind, CourseThroughTheWater) {
    const struct {
        float hdg, leeway, expected;
    } cases[] = {{350, 15, 5}, {10, -15, 355}, {318, -5, 313}, {180, 0, 180}};
    for (const auto& c : cases) {
        SimulationState s;
        s.HDG = c.hdg;
        s.Leeway = c.leeway;
        MajRouteSurface(s);
        EXPECT_NEAR(s.WaterTrack.argt, c.expected, 1e-4);
    }
}

TEST(Wind, VectorSums) {
    const struct {
        t_vect a, b;
        float mdl, argt;
    } cases[] = {
        {{5, 0}, {5, 90}, 7.0710678f, 45},     {{10, 0}, {2, 180}, 8, 0},
        {{1, 350}, {1, 350}, 2, 350},          {{3, 270}, {0, 0}, 3, 270},
        {{6, 20}, {1, 75}, 6.6244f, 27.1032f}, {{0, 0}, {0, 0}, 0, 270},  // a zero sum points to 270
    };
    for (const auto& c : cases) {
        const t_vect r = Sigma_vect(c.a, c.b);
        EXPECT_NEAR(r.mdl, c.mdl, 1e-3) << c.a.argt << " + " << c.b.argt;
        EXPECT_NEAR(r.argt, c.argt, 1e-3) << c.a.argt << " + " << c.b.argt;
        EXPECT_GE(r.argt, 0);
        EXPECT_LT(r.argt, 360);
    }
}

TEST(WindLaw, SpeedClamps) {
    const struct {
        float speed, base, expected;
    } cases[] = {
        {15.6f, 10, 13}, {14.01f, 10, 13}, {14, 10, 14}, {12, 10, 12}, {5.01f, 10, 5.01f}, {5, 10, 5},
        {4.99f, 10, 5},  {4.4f, 10, 5},    {0, 10, 5},   {0, 0, 0},    {5, 0, 0},  // no base: no wind, and no division
                                                                                   // by zero
    };
    for (const auto& c : cases) EXPECT_FLOAT_EQ(ClampWindSpeed(c.speed, c.base), c.expected) << c.speed;
}

TEST(WindLaw, VariableSpeedFollowsTheLawWithinTheClamps) {
    SimulationState s;
    s.TWSBase = 10;
    s.TrueWind = {99, 0};
    SetTrueWindSpeed(s, 100);
    EXPECT_EQ(s.TrueWind.mdl, 10) << "the option off keeps the base speed";

    s.TWSVariable = true;
    SetTrueWindSpeed(s, 0);
    // 1 + 0.4 sin 0.6283 + 0.07 sin 3.695 + 0.09 sin 0.285
    EXPECT_NEAR(s.TrueWind.mdl, 12.2362, 1e-3);

    bool peakCut = false, troughCut = false;
    for (int tick = 0; tick < 20 * 3600; ++tick) {
        const double t = tick / 20.0;
        SetTrueWindSpeed(s, t);
        const double law = static_cast<double>(WindSpeedLaw(t));
        ASSERT_GE(s.TrueWind.mdl, 5) << t;
        ASSERT_LE(s.TrueWind.mdl, 14) << t;
        if (law > 1.4001) {
            ASSERT_FLOAT_EQ(s.TrueWind.mdl, 13) << t;
            peakCut = true;
        }
        if (law < 0.4999) {
            ASSERT_FLOAT_EQ(s.TrueWind.mdl, 5) << t;
            troughCut = true;
        }
    }
    EXPECT_TRUE(peakCut && troughCut) << "the law reaches both clamps within an hour";

    s.TWSBase = 0;
    SetTrueWindSpeed(s, 12.5);
    EXPECT_EQ(s.TrueWind.mdl, 0);
}

TEST(WindLaw, DirectionFold) {
    const struct {
        float base, expected;
    } cases[] = {
        {20, 20}, {361.6f, 2}, {360.4f, 0}, {360, 360}, {-3, 357}, {0, 0}, {719.5f, 0},
    };
    for (const auto& c : cases) {
        SimulationState s;
        s.TWDBase = c.base;
        SetTrueWindDirection(s, 50);
        EXPECT_NEAR(s.TrueWind.argt, c.expected, 1e-4) << c.base;
    }
}

TEST(WindLaw, VariableDirectionStaysInRange) {
    SimulationState s;
    s.TWDVariable = true;
    s.TWDBase = 20;
    SetTrueWindDirection(s, 0);
    // 15 + 6 sin 0.579 + 2 sin 0.285
    EXPECT_NEAR(s.TrueWind.argt, 18.8452, 1e-3);

    // Near north the law crosses 0 and comes back above 300; near 360 it crosses 360 and comes
    // back as whole degrees.
    for (const float base : {2.0f, 355.0f}) {
        s.TWDBase = base;
        bool wrapped = false;
        for (int second = 0; second < 3600; ++second) {
            SetTrueWindDirection(s, second);
            ASSERT_GE(s.TrueWind.argt, 0) << second;
            ASSERT_LE(s.TrueWind.argt, 360) << second;
            if (base < 180 && s.TrueWind.argt > 300) wrapped = true;
            if (base > 180 && s.TrueWind.argt < 300) {
                wrapped = true;
                ASSERT_EQ(s.TrueWind.argt, std::round(s.TrueWind.argt)) << second;
            }
        }
        EXPECT_TRUE(wrapped) << base;
    }
}

TEST(ApparentWind, AnglesAndSums) {
    const struct {
        const char* name;
        float hdg, leeway;
        t_vect water, surface;
        float aws, awd, awa, swa;
    } cases[] = {
        {"beam reach", 0, 0, {6, 0}, {10, 90}, 11.6619f, 59.0362f, 59.0362f, 90},
        {"AWD 10 off HDG 350", 350, -15, {0, 335}, {8, 10}, 8, 10, 20, 20},
        {"stray heading -10", -10, 15, {0, 5}, {8, 355}, 8, 355, 5, 5},
        {"port tack, angles folded", 100, -5, {5, 95}, {12, 300}, 7.7616f, 315.7981f, 144.2019f, 160},
    };
    for (const auto& c : cases) {
        SimulationState s;
        s.HDG = c.hdg;
        s.Leeway = c.leeway;
        s.WaterTrack = c.water;
        s.SurfaceWind = c.surface;
        MajAW_SWA(s);
        EXPECT_NEAR(s.AWS, c.aws, 1e-3) << c.name;
        EXPECT_NEAR(s.AWD, c.awd, 1e-3) << c.name;
        EXPECT_NEAR(s.AWA, c.awa, 1e-3) << c.name;
        EXPECT_NEAR(s.SWA, c.swa, 1e-3) << c.name;
    }
}

TEST(ApparentWind, WithoutCurrentSurfaceAngleIsTrueAngle) {
    for (const float hdg : {0.0f, 45.0f, 318.0f, 359.5f}) {
        for (const float twd : {0.0f, 20.0f, 170.0f, 190.0f, 300.0f}) {
            SimulationState s = Heading(hdg);
            s.Category = 0;
            s.TrueWind = {12, twd};
            s.SurfaceWind = s.TrueWind;
            s.WaterTrack.mdl = 6;
            SetLeeway(s, FindWindAngle(s.TrueWind, hdg), s.TrueWind.mdl);
            MajRouteSurface(s);
            MajAW_SWA(s);
            EXPECT_NEAR(s.SWA, s.TWA, 1e-3) << hdg << " " << twd;
        }
    }
}

TEST(Drift, AngleAndSide) {
    const struct {
        float hdg, cog, angle;
        bool starboard;
    } cases[] = {
        {350, 10, 20, true}, {350, 340, 10, false}, {90, 90, 0, true},    {90, 270, 180, false},
        {90, 100, 10, true}, {200, 190, 10, false}, {200, 10, 170, true}, {-10, 355, 5, true},
    };
    for (const auto& c : cases) {
        SimulationState s = Heading(c.hdg);
        s.COG = c.cog;
        Affiche_derive(s);
        EXPECT_NEAR(s.DriftAngle, c.angle, 1e-4) << c.hdg << " " << c.cog;
        EXPECT_EQ(s.DriftStarboard, c.starboard) << c.hdg << " " << c.cog;
    }
}

TEST(AlternatingCurrent, OneTurnOfThirteenSteps) {
    SimulationState s;
    s.Current = {2, 350};
    s.CurrentAmplitude = 2;
    s.CurrentTurnStep = 0;
    const struct {
        int step;
        float factor, argt;
    } checkpoints[] = {{1, 1.0095f, 3.846154f}, {7, 0.2055f, 86.92308f}, {13, 1.0071f, 170}};
    int next = 0;
    for (int step = 1; step <= kCurrentTurnSteps; ++step) {
        s.CurrentTurnStep = step;
        AlternatingCurrentStep(s);
        ASSERT_GE(s.Current.argt, 0);
        ASSERT_LE(s.Current.argt, 360);
        if (step == checkpoints[next].step) {
            EXPECT_NEAR(s.Current.mdl, checkpoints[next].factor * 2, 1e-5) << step;
            EXPECT_NEAR(s.Current.argt, checkpoints[next].argt, 1e-3) << step;
            ++next;
        }
    }
    EXPECT_EQ(next, 3);
    EXPECT_NEAR(AlternatingCurrentFactor(7), 0.2055, 1e-12);
}

}  // namespace
