// Wind, current and leeway; see WindCurrentLeeway.h.
#include "sim/WindCurrentLeeway.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <span>

#include "nav/PlaneVectors.h"

namespace corvel::sim {

namespace {

// ---- Leeway tables -------------------------------------------------------------------------

// One line of a category's table: the wind angles first..last share the leeway of classes 1..7.
struct LeewayRange {
    int first;
    int last;
    std::array<std::int8_t, kWindClasses> byClass;
};

// Rows 0 to 24 are the same in every category: 0 at rows 0, 1 and 15; row - 15 elsewhere,
// except class 1 at rows 2 to 14, which stays 0.
constexpr std::int8_t SharedLeeway(int row, int windClass) {
    if (row <= 1 || row == 15 || (row <= 14 && windClass == 1)) return 0;
    return static_cast<std::int8_t>(row - 15);
}

// clang-format off
// Category 0, "Catégorie régate", rows 25 to 180.
constexpr LeewayRange kRegate[] = {
    {25, 27, {12, 12, 13, 15, 17, 18, 20}}, {28, 28, {11, 11, 12, 14, 16, 17, 19}},
    {29, 29, {10, 10, 11, 13, 15, 16, 18}}, {30, 30, {9, 9, 10, 12, 14, 15, 17}},
    {31, 32, {8, 8, 9, 11, 13, 14, 16}},    {33, 34, {7, 7, 8, 10, 12, 13, 15}},
    {35, 35, {6, 6, 7, 9, 11, 12, 14}},     {36, 36, {5, 5, 6, 9, 11, 12, 14}},
    {37, 37, {4, 4, 5, 8, 10, 11, 13}},     {38, 38, {3, 3, 4, 8, 10, 11, 13}},
    {39, 39, {3, 3, 4, 7, 9, 10, 12}},      {40, 41, {2, 2, 3, 6, 8, 9, 12}},
    {42, 42, {2, 2, 3, 6, 8, 9, 11}},       {43, 44, {1, 1, 2, 6, 8, 9, 11}},
    {45, 49, {1, 1, 2, 5, 7, 8, 10}},       {50, 52, {1, 1, 2, 5, 7, 8, 9}},
    {53, 54, {1, 1, 2, 4, 6, 7, 9}},        {55, 57, {1, 1, 2, 4, 6, 7, 8}},
    {58, 60, {1, 1, 2, 4, 5, 6, 8}},        {61, 64, {1, 1, 2, 4, 5, 6, 7}},
    {65, 78, {1, 1, 2, 3, 4, 5, 6}},        {79, 85, {1, 1, 2, 3, 3, 4, 6}},
    {86, 92, {1, 1, 2, 3, 3, 4, 5}},        {93, 99, {1, 1, 2, 2, 2, 3, 4}},
    {100, 104, {0, 0, 2, 2, 2, 2, 3}},      {105, 114, {0, 0, 1, 2, 2, 2, 3}},
    {115, 125, {0, 0, 1, 2, 2, 2, 2}},      {126, 139, {0, 0, 1, 1, 1, 2, 2}},
    {140, 140, {0, 0, 1, 1, 1, 1, 1}},      {141, 154, {0, 0, 0, 1, 1, 1, 1}},
    {155, 160, {0, 0, 0, 0, 0, 0, 1}},      {161, 180, {0, 0, 0, 0, 0, 0, 0}},
};

// Category 1, "Course - croisière".
constexpr LeewayRange kCourseCroisiere[] = {
    {25, 25, {14, 15, 16, 19, 21, 22, 23}}, {26, 26, {13, 14, 15, 18, 20, 21, 22}},
    {27, 27, {12, 13, 14, 17, 19, 20, 21}}, {28, 28, {11, 12, 13, 16, 18, 19, 20}},
    {29, 29, {10, 11, 12, 15, 17, 18, 19}}, {30, 30, {9, 10, 11, 14, 16, 17, 18}},
    {31, 31, {8, 9, 10, 13, 15, 16, 17}},   {32, 33, {7, 8, 9, 12, 14, 15, 16}},
    {34, 35, {6, 7, 8, 11, 13, 14, 15}},    {36, 36, {3, 4, 7, 10, 12, 13, 14}},
    {37, 37, {2, 3, 6, 9, 11, 12, 13}},     {38, 38, {1, 2, 6, 9, 11, 12, 13}},
    {39, 39, {1, 1, 6, 9, 11, 12, 13}},     {40, 40, {1, 1, 5, 8, 11, 12, 13}},
    {41, 41, {1, 1, 4, 7, 11, 12, 13}},     {42, 43, {1, 1, 3, 6, 10, 11, 13}},
    {44, 44, {1, 1, 2, 5, 10, 11, 12}},     {45, 47, {1, 1, 2, 5, 8, 10, 11}},
    {48, 49, {1, 1, 2, 5, 7, 9, 10}},       {50, 51, {1, 1, 2, 4, 7, 9, 10}},
    {52, 57, {1, 1, 2, 4, 7, 8, 9}},        {58, 58, {1, 1, 2, 4, 6, 8, 9}},
    {59, 61, {1, 1, 2, 4, 6, 7, 8}},        {62, 64, {1, 1, 2, 3, 6, 7, 8}},
    {65, 75, {1, 1, 2, 3, 5, 6, 7}},        {76, 80, {1, 1, 2, 3, 5, 5, 6}},
    {81, 81, {1, 1, 2, 3, 4, 5, 6}},        {82, 87, {1, 1, 2, 2, 4, 5, 6}},
    {88, 91, {1, 1, 2, 2, 4, 5, 5}},        {92, 92, {1, 1, 2, 2, 4, 4, 4}},
    {93, 94, {0, 1, 2, 2, 4, 4, 4}},        {95, 96, {0, 1, 2, 2, 3, 4, 4}},
    {97, 99, {0, 1, 2, 2, 3, 3, 4}},        {100, 104, {0, 1, 2, 2, 3, 3, 3}},
    {105, 106, {0, 1, 1, 2, 3, 3, 3}},      {107, 108, {0, 1, 1, 1, 2, 3, 3}},
    {109, 112, {0, 1, 1, 1, 2, 2, 3}},      {113, 116, {0, 1, 1, 1, 2, 2, 2}},
    {117, 125, {0, 0, 1, 1, 2, 2, 2}},      {126, 127, {0, 0, 1, 1, 1, 2, 2}},
    {128, 133, {0, 0, 0, 1, 1, 1, 2}},      {134, 134, {0, 0, 0, 1, 1, 1, 1}},
    {135, 160, {0, 0, 0, 0, 1, 1, 1}},      {161, 180, {0, 0, 0, 0, 0, 0, 0}},
};

// Category 2, " Croiseur".
constexpr LeewayRange kCroiseur[] = {
    {25, 25, {8, 8, 8, 8, 8, 9, 10}},     {26, 34, {3, 3, 3, 3, 8, 9, 10}},
    {35, 41, {3, 3, 3, 4, 9, 10, 11}},    {42, 43, {3, 3, 3, 5, 10, 11, 12}},
    {44, 44, {3, 3, 3, 5, 9, 11, 12}},    {45, 45, {1, 1, 3, 5, 9, 11, 12}},
    {46, 49, {1, 1, 3, 5, 9, 10, 12}},    {50, 52, {1, 1, 3, 5, 8, 9, 11}},
    {53, 54, {1, 1, 3, 5, 7, 9, 11}},     {55, 59, {1, 1, 3, 5, 7, 9, 10}},
    {60, 60, {1, 1, 3, 5, 7, 8, 9}},      {61, 61, {1, 1, 3, 4, 7, 8, 9}},
    {62, 64, {1, 1, 3, 4, 6, 7, 9}},      {65, 70, {1, 1, 3, 4, 5, 6, 8}},
    {71, 72, {1, 1, 3, 4, 5, 6, 7}},      {73, 77, {1, 1, 3, 4, 4, 6, 7}},
    {78, 84, {1, 1, 3, 4, 4, 5, 6}},      {85, 94, {1, 1, 3, 4, 4, 5, 5}},
    {95, 109, {0, 1, 2, 3, 3, 4, 4}},     {110, 110, {0, 1, 2, 2, 3, 4, 4}},
    {111, 113, {0, 1, 2, 2, 3, 3, 4}},    {114, 114, {0, 1, 2, 2, 3, 3, 3}},
    {115, 115, {0, 1, 1, 2, 2, 3, 3}},    {116, 119, {0, 0, 1, 2, 2, 3, 3}},
    {120, 130, {0, 0, 1, 1, 2, 3, 3}},    {131, 134, {0, 0, 1, 1, 2, 2, 3}},
    {135, 139, {0, 0, 1, 1, 1, 2, 2}},    {140, 160, {0, 0, 0, 1, 1, 2, 2}},
    {161, 180, {0, 0, 0, 0, 0, 0, 0}},
};

// Category 3, " Croiseur à PTE".
constexpr LeewayRange kCroiseurPTE[] = {
    {25, 25, {14, 15, 16, 19, 21, 22, 23}}, {26, 26, {12, 13, 13, 16, 20, 21, 21}},
    {27, 27, {10, 11, 11, 14, 18, 19, 20}}, {28, 28, {9, 10, 10, 13, 17, 18, 19}},
    {29, 29, {8, 9, 9, 12, 16, 17, 18}},    {30, 30, {7, 8, 8, 11, 15, 16, 17}},
    {31, 31, {6, 7, 7, 10, 14, 15, 16}},    {32, 32, {5, 6, 6, 9, 13, 14, 15}},
    {33, 36, {4, 5, 5, 8, 12, 13, 15}},     {37, 41, {3, 4, 4, 7, 11, 12, 15}},
    {42, 44, {2, 3, 3, 6, 10, 11, 15}},     {45, 45, {1, 2, 2, 5, 9, 10, 15}},
    {46, 48, {1, 2, 2, 5, 9, 10, 14}},      {49, 49, {1, 2, 2, 5, 9, 10, 13}},
    {50, 51, {1, 2, 2, 4, 8, 10, 13}},      {52, 52, {1, 2, 2, 4, 8, 9, 13}},
    {53, 59, {1, 2, 2, 4, 8, 9, 12}},       {60, 60, {1, 2, 2, 5, 7, 9, 11}},
    {61, 64, {1, 2, 2, 5, 7, 8, 11}},       {65, 70, {1, 2, 2, 5, 7, 8, 10}},
    {71, 75, {1, 2, 2, 4, 6, 7, 9}},        {76, 76, {1, 2, 2, 4, 6, 7, 8}},
    {77, 78, {1, 2, 2, 3, 5, 7, 8}},        {79, 79, {1, 2, 2, 3, 5, 7, 7}},
    {80, 80, {1, 2, 2, 3, 5, 6, 7}},        {81, 82, {1, 1, 2, 3, 5, 6, 7}},
    {83, 83, {1, 1, 2, 3, 5, 6, 6}},        {84, 87, {1, 1, 2, 2, 4, 6, 6}},
    {88, 95, {1, 1, 2, 2, 4, 5, 6}},        {96, 99, {0, 1, 2, 2, 4, 5, 5}},
    {100, 110, {0, 1, 2, 2, 3, 4, 5}},      {111, 111, {0, 0, 2, 2, 3, 4, 5}},
    {112, 112, {0, 0, 2, 2, 2, 4, 5}},      {113, 114, {0, 0, 1, 2, 2, 4, 5}},
    {115, 116, {0, 0, 1, 1, 2, 4, 5}},      {117, 131, {0, 0, 1, 1, 2, 3, 4}},
    {132, 133, {0, 0, 0, 1, 2, 3, 4}},      {134, 139, {0, 0, 0, 1, 1, 2, 4}},
    {140, 160, {0, 0, 0, 0, 1, 1, 3}},      {161, 180, {0, 0, 0, 0, 0, 0, 0}},
};
// clang-format on

using LeewayRows = std::array<std::array<std::int8_t, kWindClasses>, kLeewayRows>;

constexpr int kFirstOwnRow = 25;  // rows below are shared by every category

// The ranges of a category cover rows 25 to 180 in order, each row once.
constexpr bool CoversOwnRows(std::span<const LeewayRange> ranges) {
    int next = kFirstOwnRow;
    for (const LeewayRange& r : ranges) {
        if (r.first != next || r.last < r.first) return false;
        next = r.last + 1;
    }
    return next == kLeewayRows;
}
static_assert(CoversOwnRows(kRegate) && CoversOwnRows(kCourseCroisiere) && CoversOwnRows(kCroiseur) &&
              CoversOwnRows(kCroiseurPTE));

// The 181 x 7 table of one category.
constexpr LeewayRows Expand(std::span<const LeewayRange> ranges) {
    LeewayRows rows{};
    for (int row = 0; row < kFirstOwnRow; ++row) {
        for (int c = 1; c <= kWindClasses; ++c) rows[row][c - 1] = SharedLeeway(row, c);
    }
    for (const LeewayRange& r : ranges) {
        for (int row = r.first; row <= r.last; ++row) rows[row] = r.byClass;
    }
    return rows;
}

constexpr std::array<LeewayRows, kLeewayCategories> kLeeway = {Expand(kRegate), Expand(kCourseCroisiere),
                                                               Expand(kCroiseur), Expand(kCroiseurPTE)};

// Lower bounds (knots) of wind classes 2..7.
constexpr Real kWindClassFloors[] = {4, 7, 11, 17, 22, 29};

// Degrees folded into [0, 360). The angles compared here are 32-bit values and their differences,
// which 64 bits hold exactly.
double Fold0To360Slow(double degrees) {
    if (degrees >= -360 && degrees < 0) return degrees + 360 < 360 ? degrees + 360 : 0;
    if (degrees >= 360 && degrees < 720) return degrees - 360;
    double a = std::fmod(degrees, 360.0);
    if (a < 0) a += 360;
    return a < 360 ? a : 0;  // a tiny negative value gains 360 and may round to 360
}

// Called a dozen times per tick: the usual case, already folded, costs a comparison.
inline double Fold0To360(double degrees) { return degrees >= 0 && degrees < 360 ? degrees : Fold0To360Slow(degrees); }

}  // namespace

// ---- Vectors, angles and tack ----------------------------------------------------------------

t_vect Sigma_vect(t_vect V1, t_vect V2) {
    // The vectors hold 64-bit values: degrees and radians convert in 64 bits.
    constexpr double kRadPerDeg = static_cast<double>(nav::Pi) / 180;
    nav::ComplexVector a;
    a.modulus = V1.mdl;
    a.argument = V1.argt * kRadPerDeg;
    nav::ComplexVector b;
    b.modulus = V2.mdl;
    b.argument = V2.argt * kRadPerDeg;
    const nav::ComplexVector sum = nav::SumPolar(a, b);
    double argt = sum.argument / kRadPerDeg;
    if (argt < 0) argt += 360;
    // The state holds 32-bit values: the sum is rounded here.
    return {static_cast<float>(sum.modulus), static_cast<float>(argt)};
}

int WindClass(Real tws) {
    int windClass = 1;
    for (Real floor : kWindClassFloors) {
        if (tws >= floor) ++windClass;
    }
    return windClass;
}

int LeewayOf(int category, Real angle, Real tws) {
    if (category < 0 || category >= kLeewayCategories || !std::isfinite(angle)) return 0;
    Real row = nav::Round(angle);
    if (row < 0) row = 0;
    if (row > kLeewayRows - 1) row = kLeewayRows - 1;
    return kLeeway[static_cast<std::size_t>(category)][static_cast<std::size_t>(row)]
                  [static_cast<std::size_t>(WindClass(tws) - 1)];
}

float AngleOffHeading(Real direction, Real hdg) {
    // Within 0..360 both inputs give a difference in [-360, 360], where this equals the plain
    // "plus 360 when negative, 360 minus it above 180"; the full fold also serves headings that
    // the tick lets stray below 0 or above 360.
    double a = Fold0To360(static_cast<double>(direction) - static_cast<double>(hdg));
    if (a > 180) a = 360 - a;
    return static_cast<float>(a);
}

float FindWindAngle(t_vect Wind, float hdg) { return AngleOffHeading(Wind.argt, hdg); }

void TrueWindAngle(SimulationState& s) { s.TWA = FindWindAngle(s.TrueWind, s.HDG); }

namespace {

// InStarboardSector of 32-bit state values, which 64 bits hold exactly: inlined in the tick, twice
// per tick, where a call passing three extended values cost more than the test.
inline bool StarboardSector(double hdg, double reciprocal, double direction) {
    // Folding changes nothing for inputs in [0, 360) (and 360 reads as 0 either way); it keeps the
    // test right for a heading that the tick lets stray below 0 or above 360.
    const double h = Fold0To360(hdg);
    const double r = Fold0To360(reciprocal);
    const double w = Fold0To360(direction);
    if (h > r) return !(r <= w && w < h);
    return h <= w && w < r;
}

}  // namespace

bool InStarboardSector(Real hdg, Real reciprocal, Real direction) {
    return StarboardSector(static_cast<double>(hdg), static_cast<double>(reciprocal), static_cast<double>(direction));
}

t_amure F_amure(SimulationState& s) {
    TrueWindAngle(s);
    return StarboardSector(s.HDG, s.ReciprocalHDG, s.TrueWind.argt) ? t_amure::tribord : t_amure::babord;
}

float SetLeeway(SimulationState& s, Real angle, Real tws) {
    const int value = LeewayOf(s.Category, angle, tws);
    s.Leeway = static_cast<float>(F_amure(s) == t_amure::tribord ? -value : value);
    return s.Leeway;
}

void MajRouteSurface(SimulationState& s) {
    s.WaterTrack.argt = static_cast<float>(nav::Wrap360(static_cast<Real>(s.HDG) + s.Leeway));
}

// ---- True wind variation ---------------------------------------------------------------------

// The laws' sines run in 64 bits: their results are stored as 32-bit values, and the extended-
// precision sine costs about a microsecond, more than a whole tick may take.
Real WindSpeedLaw(Real t) {
    const double td = static_cast<double>(t);
    return 1 + 0.4 * std::sin(0.2094 * td + 0.6283) + 0.07 * std::sin(0.6282 * td + 3.695) +
           0.09 * std::sin(1.047 * td + 0.285);
}

float ClampWindSpeed(float speed, float base) {
    if (base == 0) return 0;
    if (static_cast<Real>(speed) / base > 1.4L) speed = static_cast<float>(1.3L * base);
    if (speed == 0 || static_cast<Real>(base) / speed > 2) speed = static_cast<float>(0.5L * base);
    return speed;
}

void SetTrueWindSpeed(SimulationState& s, Real t) {
    // The law's value is stored as a 32-bit speed before the clamps read it.
    const float speed = s.TWSVariable ? static_cast<float>(s.TWSBase * WindSpeedLaw(t)) : s.TWSBase;
    s.TrueWind.mdl = ClampWindSpeed(speed, s.TWSBase);
}

void SetTrueWindDirection(SimulationState& s, Real t) {
    float direction = s.TWDBase;
    if (s.TWDVariable) {
        // Stored as a 32-bit direction before it is folded.
        const double td = static_cast<double>(t);
        direction = static_cast<float>((s.TWDBase - 5.0) + 15 * std::sin(0.069 * td) +
                                       6 * std::sin(3 * 0.0698 * td + 0.579) + 2 * std::sin(5 * 0.06981 * td + 0.285));
    }
    if (direction < 0) direction += 360;
    if (direction > 360) direction = static_cast<float>(std::fmod(nav::Round(direction), 360.0L));
    s.TrueWind.argt = direction;
}

// ---- Apparent wind and drift -----------------------------------------------------------------

void MajAW_SWA(SimulationState& s) {
    const t_vect apparent = Sigma_vect(s.WaterTrack, s.SurfaceWind);
    s.AWS = apparent.mdl;
    s.AWD = apparent.argt;
    s.AWA = AngleOffHeading(s.AWD, s.HDG);

    Real swa = static_cast<Real>(s.WaterTrack.argt) - s.Leeway - s.SurfaceWind.argt;
    if (swa < -180) swa += 360;
    if (swa > 180) swa = 360 - swa;
    s.SWA = static_cast<float>(std::fabs(swa));
}

void Affiche_derive(SimulationState& s) {
    s.DriftAngle = AngleOffHeading(s.COG, s.HDG);
    s.DriftStarboard = StarboardSector(s.HDG, s.ReciprocalHDG, s.COG);
}

// ---- Alternating current ---------------------------------------------------------------------

Real AlternatingCurrentFactor(int n) {
    const Real x = n;
    return 0.0223L * x * x - 0.3124L * x + 1.2996L;
}

void AlternatingCurrentStep(SimulationState& s) {
    constexpr Real kTurnStep = 13.846153846153846154L;  // 180 / 13 degrees
    Real argt = s.Current.argt + kTurnStep;
    if (argt > 360) argt -= 360;
    s.Current.argt = static_cast<float>(argt);
    s.Current.mdl = static_cast<float>(AlternatingCurrentFactor(s.CurrentTurnStep) * s.CurrentAmplitude);
}

}  // namespace corvel::sim
