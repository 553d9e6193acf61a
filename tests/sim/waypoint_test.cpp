// Waypoint values: reading the typed coordinates, distances and bearing, WCV, ETE, and the
// magnetic heading to steer.
#include <gtest/gtest.h>

#include <cmath>

#include "nav/Conversions.h"
#include "nav/SpherePositions.h"
#include "sim/Waypoint.h"

using namespace corvel::sim;
using corvel::nav::Real;

namespace {

TEST(WaypointTest, TypedCoordinatesAreDegreesAndDecimalMinutes) {
    const auto dover = WaypointFromDegreesMinutes(51, 6.18, true, 1, 19.88, true);
    EXPECT_NEAR(dover.lat, 51 + 6.18 / 60, 1e-5);
    EXPECT_NEAR(dover.lon, 1 + 19.88 / 60, 1e-5);
    const auto west = WaypointFromDegreesMinutes(45, 30, false, 4, 30, false);
    EXPECT_NEAR(west.lat, -45.5, 1e-5);
    EXPECT_NEAR(west.lon, 355.5, 1e-4);
    const auto greenwich = WaypointFromDegreesMinutes(0, 0, true, 0, 0, true);
    EXPECT_EQ(greenwich.lon, 360.0f);  // 0 or less is held as +360
}

struct WaypointFixture : ::testing::Test {
    SimulationState s;
    void SetUp() override {
        s.Position.Init("", 50, 3);
        s.Waypoint.Init("W", 50.5f, 3);  // 30 miles due north
        s.SOG = 6;
        s.COG = 0;
    }
};

TEST_F(WaypointFixture, SailingTowardsGivesDistanceBearingWcvAndEte) {
    ASSERT_TRUE(WpMajDistRel(s));
    EXPECT_NEAR(s.DTW, 30, 1e-3);
    EXPECT_NEAR(s.RhumbDistance, 30, 1e-3);
    EXPECT_EQ(s.BTW, 0);
    EXPECT_EQ(s.OriginBearing, 0);  // taken at the first update
    EXPECT_NEAR(s.WCV, 6, 1e-5);
    EXPECT_NEAR(s.ETEHours, 5.0, 1e-4);  // 5 h 00 min 00 s
}

TEST_F(WaypointFixture, SailingAwayBlanksTheEteAndKeepsItsLastValue) {
    ASSERT_TRUE(WpMajDistRel(s));
    const float ete = s.ETEHours;
    s.COG = 180;
    EXPECT_FALSE(WpMajDistRel(s));
    EXPECT_LT(s.WCV, 0);
    EXPECT_EQ(s.ETEHours, ete);
    s.COG = 90;  // across: WCV about 0
    s.OriginBearing = 12;
    WpMajDistRel(s);
    EXPECT_NEAR(s.WCV, 0, 1e-5);
    EXPECT_EQ(s.OriginBearing, 12);  // only 65535 is replaced
}

TEST_F(WaypointFixture, PassingOverTheWaypoint) {
    s.Position = s.Waypoint;
    WpMajDistRel(s);
    EXPECT_EQ(s.DTW, 0);
    EXPECT_TRUE(std::isfinite(s.BTW));
    s.Position.lat = 50.51f;  // just past it: the bearing swings round
    WpMajDistRel(s);
    EXPECT_NEAR(s.BTW, 180, 1e-3);
}

TEST(WaypointTest, MagneticHeadingToSteer) {
    SimulationState s;
    s.BTW = 0.5f;
    s.MagVar = 1.5f;
    EXPECT_FLOAT_EQ(HdGMagToDest(s), 359.0f);
    s.Current.mdl = 1;
    s.DriftAngle = 10;
    s.DriftStarboard = true;
    s.BTW = 355;
    s.MagVar = -3;                           // West
    EXPECT_FLOAT_EQ(HdGMagToDest(s), 8.0f);  // 355 + 10 + 3 - 360
    s.DriftStarboard = false;
    EXPECT_FLOAT_EQ(HdGMagToDest(s), 348.0f);
}

}  // namespace
