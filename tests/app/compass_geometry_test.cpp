// The compass's geometry: the dial's labels and ticks, the speed rings and their labels, and each
// arrow's end after the centre clearance and its head, for the cases that decide the picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "app/instruments/CompassGeometry.h"

namespace corvel::app {
// A point in a failure message as (x, y).
void PrintTo(const PointF& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
}  // namespace corvel::app

using namespace corvel;
using app::ArrowDrawing;
using app::PointF;
using app::TArrow;
using app::TArrowTyp;

namespace {

constexpr app::ZerosSize kZeros{21, 15};
constexpr PointF kCentre{270, 287};

std::vector<std::string> LabelTexts(const app::DialDrawing& d) {
    std::vector<std::string> texts;
    for (const auto& l : d.labels) texts.push_back(l.text);
    return texts;
}

TEST(CompassDial, LabelsAndTicksFollowTheGraduations) {
    app::TFMXCompass c;  // 45 and 5 at creation
    app::DialDrawing d = app::DrawDial(c, 540, 574, kZeros);
    EXPECT_EQ(LabelTexts(d), (std::vector<std::string>{"000", "045", "090", "135", "180", "225", "270", "315"}));
    EXPECT_EQ(d.radius, 270);
    EXPECT_EQ(d.majorTicks.size(), 8u);
    EXPECT_EQ(d.minorTicks.size(), 8u * 8);
    // "090": east of the centre, inside the major ticks, turned a quarter clockwise.
    const app::DialLabel& east = d.labels[2];
    EXPECT_NEAR(east.centre.x, 270 + 270 - 16 - 10.5, 1e-3);
    EXPECT_NEAR(east.centre.y, 287, 1e-3);
    EXPECT_EQ(east.rotation, 90);
    EXPECT_EQ(east.side, 42);

    c.GraduationMajeure = 30;  // as the window sets it
    d = app::DrawDial(c, 540, 574, kZeros);
    EXPECT_EQ(d.labels.size(), 12u);
    EXPECT_EQ(d.labels[11].text, "330");
    EXPECT_EQ(d.minorTicks.size(), 12u * 5);  // five between two majors
    // The first minor tick of "030" is at 35 degrees, 8 pixels long from the rim.
    const app::Segment& m = d.minorTicks[5];
    EXPECT_NEAR(m.from.x - m.to.x, 8 * std::sin(35 * M_PI / 180), 1e-3);

    c.MontreGraduationMajeure = false;  // hides the minor ticks too, not the labels
    d = app::DrawDial(c, 540, 574, kZeros);
    EXPECT_TRUE(d.majorTicks.empty());
    EXPECT_TRUE(d.minorTicks.empty());
    EXPECT_EQ(d.labels.size(), 12u);

    c.MontreGraduationMajeure = true;
    c.GraduationMineure = 0;  // no minor ticks; a spacing that is not positive draws no labels
    EXPECT_TRUE(app::DrawDial(c, 540, 574, kZeros).minorTicks.empty());
    c.GraduationMajeure = 0;
    EXPECT_TRUE(app::DrawDial(c, 540, 574, kZeros).labels.empty());
}

TEST(CompassOverlay, RingsFollowTheReferenceSpeedAndNothingShowsWithoutAScale) {
    app::TFMXCompass c;
    c.CentreXY = kCentre;
    c.SetArrowBoatSpeed({kCentre, {}, 90, 100});
    c.etalon = 5;
    EXPECT_TRUE(app::DrawOverlay(c, kZeros).rings.empty());  // FactConvers 0: the dial alone
    EXPECT_TRUE(app::DrawOverlay(c, kZeros).arrows.empty());

    c.FactConvers = 25.5f;
    const struct {
        float etalon;
        std::vector<std::string> labels;
    } cases[] = {
        {5, {"1 nd", "2 nds", "3 nds", "4 nds", "5 nds"}},
        {5.1f, {"5 nds", "10 nds", "15 nds", "20 nds", "25 nds", "30 nds", "35 nds", "40 nds"}},
    };
    for (const auto& k : cases) {
        c.etalon = k.etalon;
        const app::CompassOverlay o = app::DrawOverlay(c, kZeros);
        std::vector<std::string> labels;
        for (const auto& r : o.rings) labels.push_back(r.label);
        EXPECT_EQ(labels, k.labels) << k.etalon;
    }
    c.etalon = 5;
    const app::CompassOverlay o = app::DrawOverlay(c, kZeros);
    EXPECT_EQ(o.rings[0].radius, 26);  // 25.5 rounded to even
    EXPECT_EQ(o.rings[1].radius, 51);
    EXPECT_EQ(o.rings[0].labelTopLeft, (PointF{kCentre.x - 10, kCentre.y - 26 - 12}));
    EXPECT_EQ(o.rings[1].labelTopLeft, (PointF{kCentre.x - 15, kCentre.y - 51 - 12}));
    EXPECT_EQ(o.rings[0].labelWidth, 42);
    EXPECT_EQ(o.rings[0].labelHeight, 10);
    ASSERT_EQ(o.arrows.size(), 1u);
    EXPECT_EQ(o.arrows[0].arrow, &c.ArrowBoatSpeed);
}

// The window's scale puts the outermost rings on the dial's bearing labels or beyond the rim: their
// labels move inside the ring, or go, rather than cover "000" and the rim. The dial is 540 x 574
// (R 270), the bearing labels' squares start 16 + 1.5 x 21 = 47.5 pixels inside the rim.
TEST(CompassOverlay, RingLabelsStayClearOfTheBearingLabels) {
    app::TFMXCompass c;
    c.CentreXY = kCentre;
    c.etalon = 35;
    c.FactConvers = 257.0f / 35;  // the window's scale for 35 knots: 257 pixels
    const struct {
        const char* label;
        float radius;
        bool labelled;
        float top;  // the label box's top, from the centre
    } cases[] = {
        {"25 nds", 184, true, -184 - 12},  // well inside: above the ring
        {"30 nds", 220, true, -220 + 2},   // above would reach the bearing labels: just inside
        {"35 nds", 257, false, 0},         // on the ticks
        {"40 nds", 294, false, 0},         // beyond the dial: the ring alone
    };
    const std::vector<app::RingDrawing> rings = app::DrawRings(c, kZeros);
    for (const auto& k : cases) {
        const auto ring = std::find_if(rings.begin(), rings.end(), [&](const auto& r) { return r.label == k.label; });
        ASSERT_NE(ring, rings.end()) << k.label;
        EXPECT_EQ(ring->radius, k.radius) << k.label;
        EXPECT_EQ(ring->labelled, k.labelled) << k.label;
        if (k.labelled) {
            EXPECT_EQ(ring->labelTopLeft.y - kCentre.y, k.top) << k.label;
        }
    }
    for (const app::RingDrawing& r : rings) {
        if (r.labelled) {
            EXPECT_LE(kCentre.y - r.labelTopLeft.y, 270 - 16 - 1.5 * kZeros.width) << r.label;
        }
    }
}

TEST(CompassOverlay, ArrowsAreDrawnInTheirOrderWithTheirLooks) {
    app::TFMXCompass c;
    c.CentreXY = kCentre;
    c.FactConvers = 10;
    const TArrow long_{kCentre, {kCentre.x, kCentre.y - 50}, 45, 50};
    c.SetArrowGVW({{100, 100}, {160, 100}, 0, 0});
    c.SetArrowHeading(long_);
    c.SetArrowTrueWind({{kCentre.x, kCentre.y - 60}, kCentre, 270, 60});
    c.SetArrowDirWP(long_);
    const app::CompassOverlay o = app::DrawOverlay(c, kZeros);
    ASSERT_EQ(o.arrows.size(), 4u);
    EXPECT_EQ(o.arrows[0].arrow, &c.ArrowTrueWind);
    EXPECT_EQ(o.arrows[1].arrow, &c.ArrowHeading);
    EXPECT_EQ(o.arrows[2].arrow, &c.ArrowDirWP);
    EXPECT_EQ(o.arrows[3].arrow, &c.ArrowGVW);
    EXPECT_EQ(o.arrows[1].colour, 0xFFD2691Eu);
    EXPECT_EQ(o.arrows[1].style, app::TStyltrait::tiret);
    EXPECT_EQ(o.arrows[2].style, app::TStyltrait::pointill);
    EXPECT_EQ(o.arrows[2].width, 0.5f);
}

struct ArrowCase {
    const char* what;
    TArrow arrow;
    bool drawn;
    PointF end;
    std::array<PointF, 4> head;  // checked when its first point is not (0, 0)
};

TEST(CompassArrow, EndsAndHeads) {
    const float x = kCentre.x, y = kCentre.y;
    const TArrow east{kCentre, {}, 0, 30, app::TStyltrait::plein, 2, 0xFF0000FF, TArrowTyp::divergente};
    TArrow shortEast = east;
    shortEast.Len = 15;
    TArrow ten = east;
    ten.Len = 10;
    TArrow tenAndAHalf = east;
    tenAndAHalf.Len = 10.5f;
    TArrow south = east;
    south.Angle = -90;  // 270 once folded
    south.Len = 40;
    // The window gives 450 - bearing: north is 450, a bearing of 30 is 420.
    TArrow north = shortEast;
    north.Angle = 450;
    TArrow bearing30 = shortEast;
    bearing30.Angle = 420;
    // The wind from the north: its tail above the centre, its angle pointing back up to the tail.
    const TArrow trueWind{{x, y - 60}, kCentre, 90, 60, app::TStyltrait::plein, 2, 0xFF808080, TArrowTyp::convergente};
    const TArrow freeUp{{x + 50, y + 40}, {x + 50, y}, 0, 0, app::TStyltrait::tiret, 1, 0xFF0000FF, TArrowTyp::libre};
    const TArrow freeDown{{x + 50, y - 40}, {x + 50, y}, 0, 0, app::TStyltrait::tiret, 1, 0, TArrowTyp::libre};
    const TArrow freeToCentre{{x - 60, y}, kCentre, 0, 0, app::TStyltrait::plein, 1, 0, TArrowTyp::libre};
    const ArrowCase cases[] = {
        {"length 10: not drawn", ten, false, {}, {}},
        {"length 10.5: drawn, its end pulled back past the centre", tenAndAHalf, true, {x - 10, y}, {}},
        {"30 east: in full, head pointing east",
         east,
         true,
         {x + 30, y},
         {{{x + 30, y}, {x + 30 - 11, y - 5}, {x + 30 - 6, y}, {x + 30 - 11, y + 5}}}},
        {"15 east: pulled back 20, 5 west of the centre", shortEast, true, {x - 5, y}, {}},
        {"negative angle folded: 40 south", south, true, {x, y + 40}, {}},
        {"15 north given as 450: pulled back 20, 5 south of the centre", north, true, {x, y + 5}, {}},
        {"15 at bearing 30 given as 420: pulled back 23.1, the square's half-side along it",
         bearing30,
         true,
         {x - 4, y + 7},
         {}},
        {"true wind: head at the centre, barbs towards its tail",
         trueWind,
         true,
         kCentre,
         {{kCentre, {x + 5, y - 11}, {x, y - 6}, {x - 5, y - 11}}}},
        {"free, no x difference, upwards: 90",
         freeUp,
         true,
         {x + 50, y},
         {{{x + 50, y}, {x + 45, y + 11}, {x + 50, y + 6}, {x + 55, y + 11}}}},
        {"free, no x difference, downwards: 270",
         freeDown,
         true,
         {x + 50, y},
         {{{x + 50, y}, {x + 55, y - 11}, {x + 50, y - 6}, {x + 45, y - 11}}}},
        {"free to the centre: stops 20 short", freeToCentre, true, {x - 20, y}, {}},
    };
    for (const ArrowCase& k : cases) {
        SCOPED_TRACE(k.what);
        bool drawn = true;
        const ArrowDrawing d = app::DrawArrow(k.arrow, kCentre, drawn);
        EXPECT_EQ(drawn, k.drawn);
        if (!k.drawn) continue;
        EXPECT_EQ(d.from, k.arrow.Org);
        EXPECT_EQ(d.to, k.end);
        EXPECT_EQ(d.head[0], k.end);
        if (!(k.head[0] == PointF{})) {
            EXPECT_EQ(d.head, k.head);
        }
    }
}

}  // namespace
