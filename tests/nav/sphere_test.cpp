// Vectors and positions on the sphere: the edge cases of each operation, an independent oracle
// (GeographicLib on a sphere of exactly 60 miles per degree) and a round-trip property.
#include <gtest/gtest.h>

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/Rhumb.hpp>
#include <cmath>
#include <random>

#include "nav/PlaneVectors.h"
#include "nav/SpherePositions.h"

using namespace corvel::nav;

namespace {

constexpr double kRadiusNM = 3437.7467707849;  // 60 * 180 / pi: one mile per minute of arc

double AngleDiff(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180) d -= 360;
    if (d < -180) d += 360;
    return std::fabs(d);
}

TEST(Vectors, SumsAndZeroVector) {
    ComplexVector a{0, 0, 5, 0};
    ComplexVector b{0, 0, 5, static_cast<double>(Pi / 2)};
    const ComplexVector s = SumPolar(a, b);
    EXPECT_NEAR(s.modulus, 7.0710678, 1e-6);
    EXPECT_NEAR(s.argument, static_cast<double>(Pi / 4), 1e-12);
    EXPECT_EQ(a.re, 0);  // inputs untouched

    const ComplexVector zero = SumPolar({}, {});
    EXPECT_EQ(zero.modulus, 0);
    EXPECT_NEAR(zero.argument, -static_cast<double>(Pi / 2), 1e-15);

    // Pointing south-west: argument in (pi/2, 3pi/2).
    ComplexVector sw{-1, -1, 0, 0};
    PolarOf(sw);
    EXPECT_NEAR(sw.argument, static_cast<double>(5 * Pi / 4), 1e-12);
}

TEST(Vectors, VectorAngleQuadrants) {
    const struct {
        Real a, b, expected;
    } cases[] = {
        {0, 1, 0},           {0, -1, Pi}, {-1, 1, Pi / 4},   {1, 1, -Pi / 4}, {-1, -1, 3 * Pi / 4},
        {1, -1, 5 * Pi / 4}, {1, 0, 0},   {1e-130L, -1, Pi},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(static_cast<double>(VectorAngle(c.a, c.b)), static_cast<double>(c.expected), 1e-15)
            << "a=" << static_cast<double>(c.a) << " b=" << static_cast<double>(c.b);
    }
}

TEST(Angles, FoldingTable) {
    float x = 4;
    NormalisePi(x);
    EXPECT_FLOAT_EQ(x, 4 - 6.2831855f);
    x = -4;
    NormalisePi(x);
    EXPECT_FLOAT_EQ(x, 6.2831855f - 4);
    EXPECT_EQ(Fold180(180), 180);
    EXPECT_EQ(Fold180(180.5L), -179.5L);
    EXPECT_EQ(To0_360(0), 360);
    EXPECT_EQ(To0_360(-4.5L), 355.5L);
    EXPECT_EQ(To0_360(12), 12);
}

TEST(NamedPosition, NameKeepsWholeCharactersWithin255Bytes) {
    const std::string two = "\xC3\xA9";  // one character, two bytes
    const struct {
        std::string name, kept;
    } cases[] = {
        {std::string(255, 'a'), std::string(255, 'a')},
        {std::string(300, 'a'), std::string(255, 'a')},
        {std::string(254, 'a') + two, std::string(254, 'a')},  // the character would end at byte 256
        {std::string(253, 'a') + two + "b", std::string(253, 'a') + two},
        {"Att_Dover", "Att_Dover"},
    };
    for (const auto& c : cases) {
        TPos_elem p;
        p.Init(c.name, 1, 2);
        EXPECT_EQ(p.nom, c.kept) << c.name.size() << " bytes";
    }
}

TEST(RhumbStepTest, EdgeCases) {
    TPos_elem from;
    from.Init("", 60, 10);
    TPos_elem to;
    to.nom = "kept";

    RhumbStep(from, to, 3, 90);  // cos 60 = 0.5: 3 miles is 0.1 degree
    EXPECT_EQ(to.lat, 60.0f);
    EXPECT_NEAR(to.long_, 10.1f, 1e-5);
    EXPECT_EQ(to.nom, "kept");

    RhumbStep(from, to, 3, 270);
    EXPECT_NEAR(to.long_, 9.9f, 1e-5);

    RhumbStep(from, to, 6, 0);  // due north: longitude copied exactly
    EXPECT_EQ(to.long_, from.long_);
    EXPECT_NEAR(to.lat, 60.1f, 1e-5);

    RhumbStep(from, to, 6, 180);
    EXPECT_EQ(to.long_, from.long_);
    EXPECT_NEAR(to.lat, 59.9f, 1e-5);

    // Eastwards past 360 wraps to a small positive longitude.
    from.Init("", 0, 359.99f);
    RhumbStep(from, to, 1.2f, 90);
    EXPECT_NEAR(to.long_, 0.01f, 1e-4);
    EXPECT_GT(to.long_, 0);
}

TEST(RhumbStepTest, OneSecondAtThreePointSixKnots) {
    TPos_elem from;
    from.Init("", 51.069f, 12.3847f);
    TPos_elem to;
    RhumbStep(from, to, 3.6f / 3600, 0);
    EXPECT_NEAR((to.lat - from.lat) * 60.0, 0.001, 2e-4);  // float steps move by a few ulps
}

TEST(GreatCircle, IdenticalPointsAndMeridians) {
    EXPECT_EQ(GreatCircleDistance(12.5L, 51.07L, 12.5L, 51.07L), 0.0f);
    EXPECT_EQ(GreatCircleCourse(3, 50, 3, 40), 0);
    EXPECT_EQ(GreatCircleCourse(3, 40, 3, 50), 180);
    // Point 1 half a mile due east of point 2: the bearing is east, not 0 or 180.
    EXPECT_NEAR(static_cast<double>(GreatCircleCourse(3 + 0.5 / 60 / std::cos(0.8), static_cast<Real>(RadToDeg(0.8)), 3,
                                                      static_cast<Real>(RadToDeg(0.8)))),
                90.0, 0.05);
}

TEST(RhumbLineTest, MeridianLegs) {
    auto [d1, c1] = RhumbLine(3, 50 + 1.0L / 60, 3, 50);
    EXPECT_NEAR(d1, 1.0f, 1e-4);
    EXPECT_NEAR(c1, 0.0f, 1e-5);
    auto [d2, c2] = RhumbLine(3, 50 - 1.0L / 60, 3, 50);
    EXPECT_NEAR(d2, 1.0f, 1e-4);
    EXPECT_NEAR(c2, 180.0f, 1e-4);
    auto [d3, c3] = RhumbLine(3, 50.1L, 3, 50);  // 6 miles due north: the solver gives 360
    EXPECT_NEAR(d3, 6.0f, 1e-3);
    EXPECT_NEAR(c3, 360.0f, 1e-4);
}

// A spread of legs: both hemispheres, all quadrants, across the antimeridian, 0.05 to 3000 miles.
// Absolute error, radians, of a longitude difference as the 32-bit code holds it: the raw
// difference is rounded to a float (half an ulp, 6e-8 of it) before it is folded with the 32-bit
// two pi (1.75e-7 from the true one) when the leg crosses the antimeridian.
double LongitudeDiffError(double lon1, double lon2) {
    const double raw = std::fabs(lon1 - lon2) * M_PI / 180;
    return raw * 6e-8 + (raw >= M_PI ? 1.75e-7 : 0);
}

struct Leg {
    double lat2, lon2, lat1, lon1;  // boat (point 2) and waypoint (point 1), degrees
};

std::vector<Leg> Legs() {
    const GeographicLib::Geodesic sphere(kRadiusNM, 0);
    std::vector<Leg> legs = {
        {10, 179.9, 10.5, 180.6},     {-20, 180.5, -21, 179.2}, {45, 0.05, 46, 359.5},
        {-45, 359.98, -45.002, 0.03}, {69.5, 120, 69.9, 121},   {0, 10, 0.001, 10.001},
    };
    std::mt19937 rng(20261210);
    std::uniform_real_distribution<double> lat(-60, 60), lon(0.001, 359.999), azi(0, 360),
        logd(std::log(0.05), std::log(3000));
    while (legs.size() < 400) {
        const double la = lat(rng), lo = lon(rng), az = azi(rng), d = std::exp(logd(rng));
        double la1 = 0, lo1 = 0;
        sphere.Direct(la, lo, az, d, la1, lo1);
        if (std::fabs(la1) > 70) continue;
        if (lo1 <= 0) lo1 += 360;
        // Stored positions are 32-bit floats: give both sides the same float inputs.
        legs.push_back(
            {static_cast<float>(la), static_cast<float>(lo), static_cast<float>(la1), static_cast<float>(lo1)});
    }
    return legs;
}

TEST(Oracle, GreatCircleDistanceAndCourseAgreeWithGeographicLib) {
    const GeographicLib::Geodesic sphere(kRadiusNM, 0);
    for (const Leg& l : Legs()) {
        double s12 = 0, azi1 = 0, azi2 = 0;
        sphere.Inverse(l.lat2, l.lon2, l.lat1, l.lon1, s12, azi1, azi2);
        const double dist = GreatCircleDistance(l.lon1, l.lat1, l.lon2, l.lat2);
        const double dlonRad = std::fabs(std::remainder(l.lon1 - l.lon2, 360.0)) * M_PI / 180;
        const double dlonErr = LongitudeDiffError(l.lon1, l.lon2);
        // Tolerance: the 32-bit longitude difference (its error times the radius) and the 32-bit
        // result (6e-8 of it).
        const double tolD = 1.2e-7 * s12 + dlonErr * kRadiusNM + 1e-7;
        EXPECT_NEAR(dist, s12, tolD) << l.lat2 << "," << l.lon2 << " -> " << l.lat1 << "," << l.lon1;

        const double course = static_cast<double>(GreatCircleCourse(l.lon1, l.lat1, l.lon2, l.lat2));
        // Tolerance: the course is taken towards a point a ten-thousandth of the way along, where
        // the great circle has turned by about tan(lat) * sigma / 1e4 / 2 rad; on very short
        // longitude differences the whole leg's rhumb course stands in (meridian convergence
        // dlon * sin(lat) / 2); the 32-bit longitude difference seen across the leg; plus the
        // 32-bit course (5e-7 rad).
        const double sigma = s12 / kRadiusNM;
        const double maxLat = std::max(std::fabs(l.lat1), std::fabs(l.lat2)) * M_PI / 180;
        const double tolC =
            (std::tan(maxLat) * sigma / 1e4 + dlonRad * std::sin(maxLat) / 2 + dlonErr / sigma + 1e-6) * 180 / M_PI +
            1e-4;
        EXPECT_LE(AngleDiff(course, azi1), tolC) << l.lat2 << "," << l.lon2 << " -> " << l.lat1 << "," << l.lon1
                                                 << " course " << course << " oracle " << azi1;
    }
}

TEST(Oracle, RhumbLineAgreesWithGeographicLib) {
    const GeographicLib::Rhumb rhumb(kRadiusNM, 0);
    for (const Leg& l : Legs()) {
        double s12 = 0, azi12 = 0;
        rhumb.Inverse(l.lat2, l.lon2, l.lat1, l.lon1, s12, azi12);
        const auto [dist, course] = RhumbLine(l.lon1, l.lat1, l.lon2, l.lat2);
        const double lat1 = l.lat1 * M_PI / 180, lat2 = l.lat2 * M_PI / 180;
        const double dlat = lat1 - lat2;
        const double dlon = std::remainder(l.lon1 - l.lon2, 360.0) * M_PI / 180;
        const double maxLat = std::max(std::fabs(lat1), std::fabs(lat2));
        const double dlonErr = LongitudeDiffError(l.lon1, l.lon2);
        double tolD = 0, tolC = 0;
        if (s12 < 3) {
            // Plane sailing: the departure is taken at point 1's latitude instead of the middle
            // one, an error of tan(lat) * dlat / 2 relative; plus the 32-bit longitude difference
            // and roundings.
            const double rel = std::tan(maxLat) * std::fabs(dlat) / 2 + 1e-6;
            tolD = rel * s12 + dlonErr * kRadiusNM + 1e-6;
            tolC = (rel + dlonErr * kRadiusNM / s12) * 180 / M_PI + 1e-4;
        } else {
            // Mercator sailing with both Mercator latitudes rounded to 32 bits (an error up to
            // 2.4e-7 in their difference), the 32-bit longitude difference and a 32-bit course
            // (5e-7 rad): the course moves by that much through atan, and the distance, which is
            // dlat / cos(course), by tan(course) times it.
            const double dpsi = std::fabs(std::asinh(std::tan(lat1)) - std::asinh(std::tan(lat2)));
            const double dC = (std::fabs(dlon) * 2.4e-7 + dpsi * dlonErr) / (dlon * dlon + dpsi * dpsi) + 5e-7;
            const double tanC = std::fabs(std::tan(azi12 * M_PI / 180));
            tolC = dC * 180 / M_PI + 1e-5;
            tolD = s12 * (tanC * dC + 1e-6) + 1e-5;
            if (std::fabs(dlat) < 3e-6) tolD = s12 * (std::tan(maxLat) * std::fabs(dlat) + 1e-6) + dlonErr * kRadiusNM;
        }
        EXPECT_NEAR(dist, s12, tolD) << l.lat2 << "," << l.lon2 << " -> " << l.lat1 << "," << l.lon1;
        EXPECT_LE(AngleDiff(course, azi12), tolC) << l.lat2 << "," << l.lon2 << " -> " << l.lat1 << "," << l.lon1
                                                  << " course " << course << " oracle " << azi12;
    }
}

TEST(Property, RhumbStepThenRhumbLineReturnsTheLeg) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> lat(-65, 65), lon(0.01, 360), course(0, 360), dist(0.5, 40);
    for (int i = 0; i < 2000; ++i) {
        TPos_elem from;
        from.Init("", static_cast<float>(lat(rng)), static_cast<float>(lon(rng)));
        const float c = static_cast<float>(course(rng));
        const float d = static_cast<float>(dist(rng));
        TPos_elem to;
        RhumbStep(from, to, d, c);
        const auto [back, cBack] = RhumbLine(to.long_, to.lat, from.long_, from.lat);
        // Both ways hold latitude and longitude as 32-bit floats (half an ulp: up to 1.6e-5
        // degree of longitude near 360, 4e-6 of latitude) and round each Mercator latitude to 32 bits, an error
        // of 1.2e-7 that the longitude step multiplies by tan(course): near east and west that is the largest term.
        const double cosLat = std::cos(from.lat * M_PI / 180);
        const double tanC = std::min(std::fabs(std::tan(c * M_PI / 180)), 1e6);
        const double posErr = 60 * (1.6e-5 * cosLat + 4e-6) + kRadiusNM * cosLat * tanC * 5e-7;
        EXPECT_NEAR(back, d, posErr + d * 1e-3) << "from " << from.lat << "," << from.long_ << " d=" << d << " c=" << c;
        EXPECT_LE(AngleDiff(cBack, c), posErr / d * 180 / M_PI + 0.01)
            << "from " << from.lat << "," << from.long_ << " d=" << d << " c=" << c;
    }
}

}  // namespace
