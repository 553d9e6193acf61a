// The polar diagram's geometry: one curve per wind column following the engine's speeds with the
// percentage applied, the VMG marks at the best angles of the interpolated curve, and a layout
// where every text stays on the canvas and clear of the others.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "app/instruments/PolarDiagram.h"
#include "support/DataFiles.h"

using namespace corvel;
using app::PolarCurve;

namespace {

sim::PolarTable Loaded(const std::string& text) {
    sim::PolarTable table;
    EXPECT_TRUE(table.LoadFromText(text).ok());
    return table;
}

sim::PolarTable DefaultPolar() {
    sim::PolarTable table;
    EXPECT_TRUE(table.LoadFromFile(test::DefaultPolar()).ok());
    return table;
}

// A small polar whose best VMG angles fall between rows, with a row beyond 180 degrees (not drawn)
// and a second column where the best upwind VMG is at a row.
const char* const kSmallPolar =
    "TWA\t6\t12\n"
    "40\t3\t6.5\n"
    "60\t5\t7\n"
    "100\t6\t7.5\n"
    "160\t3\t6.5\n"
    "180\t2\t5\n"
    "190\t2\t5\n";

// The best VMG of the engine's own speeds, searched every 0.01 degree between `from` and `to`:
// the largest speed x cos(angle) (`upwind`) or the most negative.
app::VmgMark BestVmg(const sim::PolarTable& table, float windSpeed, int percent, double from, double to, bool upwind) {
    app::VmgMark best;
    for (double a = from; a <= to + 1e-9; a += 0.01) {
        const float s = table.BoatSpeed(a, windSpeed, percent).speed;
        const float vmg = static_cast<float>(std::cos(a * M_PI / 180) * s);
        if (!best.found || (upwind ? vmg > best.vmg : vmg < best.vmg)) best = {true, static_cast<float>(a), s, vmg};
    }
    return best;
}

TEST(PolarCurves, OneCurvePerWindColumnOnTheEngineSpeedsTimesThePercentage) {
    const sim::PolarTable table = DefaultPolar();
    for (const int percent : {100, 80, 50}) {
        SCOPED_TRACE(percent);
        const std::vector<PolarCurve> curves = app::PolarCurves(table, percent);
        ASSERT_EQ(curves.size(), static_cast<std::size_t>(table.WindCount()));
        std::set<app::Colour> colours;
        for (int col = 0; col < table.WindCount(); ++col) {
            const PolarCurve& c = curves[static_cast<std::size_t>(col)];
            const float ws = static_cast<float>(table.WindSpeeds()[static_cast<std::size_t>(col)]);
            EXPECT_EQ(c.windSpeed, ws);
            colours.insert(c.colour);
            // Each row is a point, its cell times the percentage, as the engine answers there.
            for (int row = 0; row < table.RowCount(); ++row) {
                const float angle = static_cast<float>(table.Angles()[static_cast<std::size_t>(row)]);
                const auto at = std::find_if(c.points.begin(), c.points.end(),
                                             [angle](const app::PolarPoint& p) { return p.angle == angle; });
                ASSERT_NE(at, c.points.end()) << "row " << row;
                EXPECT_FLOAT_EQ(at->speed, table.Speeds(row)[static_cast<std::size_t>(col)] * percent / 100);
                EXPECT_FLOAT_EQ(at->speed, table.BoatSpeed(angle, ws, percent).speed);
            }
            // Between the rows, at most a degree apart, the engine's speeds along the angle.
            EXPECT_EQ(c.points.front().angle, 30);
            EXPECT_EQ(c.points.back().angle, 180);
            for (std::size_t i = 1; i < c.points.size(); ++i) {
                const app::PolarPoint& p = c.points[i];
                EXPECT_GT(p.angle, c.points[i - 1].angle);
                EXPECT_LE(p.angle - c.points[i - 1].angle, 1.0f + 1e-4f);
                EXPECT_NEAR(p.speed, table.BoatSpeed(p.angle, ws, percent).speed, 1e-4) << "at " << p.angle;
            }
        }
        EXPECT_EQ(colours.size(), curves.size()) << "each curve in its own colour";
        EXPECT_EQ(curves.front().legend, "4 nds");
        EXPECT_EQ(curves.back().legend, "25 nds");
    }
}

TEST(PolarCurves, RowsOutsideTheHalfDiscAreLeftOutAndANeverLoadedTableHasNoCurve) {
    const std::vector<PolarCurve> curves = app::PolarCurves(Loaded(kSmallPolar), 100);
    ASSERT_EQ(curves.size(), 2u);
    EXPECT_EQ(curves[0].points.back().angle, 180);
    EXPECT_EQ(curves[0].points.back().speed, 2);
    EXPECT_EQ(curves[1].legend, "12 nds");
    EXPECT_TRUE(app::PolarCurves(sim::PolarTable{}, 100).empty());
}

struct VmgCase {
    const char* name;
    std::string polar;  // "" for the default polar
    int percent;
};

const VmgCase kVmgCases[] = {
    {"default polar", "", 100},
    {"default polar at 70 %", "", 70},
    {"best angles between rows", kSmallPolar, 100},
    {"best angles between rows at 50 %", kSmallPolar, 50},
};

TEST(PolarCurves, VmgMarksAtTheAnglesThatMaximiseSpeedTimesCosine) {
    for (const VmgCase& k : kVmgCases) {
        SCOPED_TRACE(k.name);
        const sim::PolarTable table = k.polar.empty() ? DefaultPolar() : Loaded(k.polar);
        const double first = table.Angles()[0];
        for (const PolarCurve& c : app::PolarCurves(table, k.percent)) {
            SCOPED_TRACE(c.legend);
            const app::VmgMark up = BestVmg(table, c.windSpeed, k.percent, first, 89.99, true);
            const app::VmgMark down = BestVmg(table, c.windSpeed, k.percent, 90.01, 180, false);
            ASSERT_TRUE(c.upwind.found);
            ASSERT_TRUE(c.downwind.found);
            EXPECT_NEAR(c.upwind.angle, up.angle, app::kVmgSearchStep);
            EXPECT_NEAR(c.upwind.vmg, up.vmg, 1e-3);
            EXPECT_NEAR(c.downwind.angle, down.angle, app::kVmgSearchStep);
            EXPECT_NEAR(c.downwind.vmg, down.vmg, 1e-3);
            // The mark lies on the curve: its speed is the engine's at its angle.
            EXPECT_NEAR(c.upwind.speed, table.BoatSpeed(c.upwind.angle, c.windSpeed, k.percent).speed, 1e-4);
            EXPECT_NEAR(c.downwind.speed, table.BoatSpeed(c.downwind.angle, c.windSpeed, k.percent).speed, 1e-4);
        }
    }
    // The small polar's 6-knot curve has its best angles inside a row's interval, not on a row.
    const PolarCurve six = app::PolarCurves(Loaded(kSmallPolar), 100)[0];
    EXPECT_GT(six.upwind.angle, 40);
    EXPECT_LT(six.upwind.angle, 60);
    EXPECT_GT(six.downwind.angle, 100);
    EXPECT_LT(six.downwind.angle, 160);
}

TEST(PolarCurves, NoMarkOnASideTheTableDoesNotReach) {
    const std::vector<PolarCurve> reaching = app::PolarCurves(Loaded("TWA\t6\t8\n95\t5\t6\n180\t3\t4\n"), 100);
    EXPECT_FALSE(reaching[0].upwind.found);
    EXPECT_TRUE(reaching[0].downwind.found);
    const std::vector<PolarCurve> beating = app::PolarCurves(Loaded("TWA\t6\t8\n30\t2\t3\n90\t5\t6\n"), 100);
    EXPECT_TRUE(beating[0].upwind.found);
    EXPECT_FALSE(beating[0].downwind.found);
}

// A measure of 7 pixels per character (UTF-8 bytes: "°" counts twice) and 15-pixel lines.
const app::TextMeasure kMeasure{15, [](std::string_view text) { return 7.0f * static_cast<float>(text.size()); }};

// Curves whose fastest point is `fastest` knots, beam reach.
std::vector<PolarCurve> Fastest(float fastest) {
    PolarCurve c;
    c.legend = "6 nds";
    c.points = {{0, 0}, {90, fastest}, {180, 0}};
    return {c};
}

struct RingCase {
    float fastest;
    std::vector<std::string> labels;
};

const RingCase kRingCases[] = {
    {8.48f, {"2 nds", "4 nds", "6 nds", "8 nds", "10 nds"}},  // the default polar
    {6, {"1 nd", "2 nds", "3 nds", "4 nds", "5 nds", "6 nds"}},
    {6.01f, {"2 nds", "4 nds", "6 nds", "8 nds"}},
    {12.1f, {"5 nds", "10 nds", "15 nds"}},
    {100, {"20 nds", "40 nds", "60 nds", "80 nds", "100 nds"}},
    {0, {"1 nd"}},
};

TEST(PolarDiagramLayout, RingsAtARoundStepReachPastTheFastestPoint) {
    for (const RingCase& k : kRingCases) {
        SCOPED_TRACE(k.fastest);
        const app::PolarDiagramDrawing d = app::DrawPolarDiagram(Fastest(k.fastest), 100, 560, 600, kMeasure);
        std::vector<std::string> labels;
        for (const app::PolarRingDrawing& r : d.rings) labels.push_back(r.label.text);
        EXPECT_EQ(labels, k.labels);
        EXPECT_FLOAT_EQ(d.rings.back().radius, d.radius);
        EXPECT_FLOAT_EQ(d.rings.back().speed * d.pixelsPerKnot, d.radius);
    }
}

TEST(PolarDiagramLayout, ZeroDegreesUpOneEightyDownSpeedAsTheDistance) {
    PolarCurve c;
    c.points = {{0, 4}, {90, 8}, {180, 2}};
    c.upwind = {true, 0, 4, 4};
    const app::PolarDiagramDrawing d = app::DrawPolarDiagram({c}, 80, 560, 600, kMeasure);
    const float k = d.pixelsPerKnot;
    ASSERT_GT(k, 0);
    const std::vector<app::PointF>& line = d.curves[0].line;
    EXPECT_NEAR(line[0].x, d.centre.x, 1e-3);
    EXPECT_NEAR(line[0].y, d.centre.y - 4 * k, 1e-3);
    EXPECT_NEAR(line[1].x, d.centre.x + 8 * k, 1e-3);
    EXPECT_NEAR(line[1].y, d.centre.y, 1e-3);
    EXPECT_NEAR(line[2].y, d.centre.y + 2 * k, 1e-3);
    // The mark's tick runs along its spoke, across the curve.
    const app::VmgMarkDrawing& m = d.curves[0].upwind;
    EXPECT_NEAR(m.dot.y, d.centre.y - 4 * k, 1e-3);
    EXPECT_NEAR(m.tick.from.y - m.tick.to.y, app::kVmgTickLength, 1e-3);
    EXPECT_TRUE(d.curves[0].hasUpwind);
    EXPECT_FALSE(d.curves[0].hasDownwind);
    EXPECT_EQ(d.percent.text, "Polaire à 80 %");
    EXPECT_EQ(d.spokes.size(), 7u);
    EXPECT_EQ(d.spokes[3].label.text, "90°");
}

bool Overlap(const app::PlacedText& a, const app::PlacedText& b) {
    return a.topLeft.x < b.topLeft.x + b.width && b.topLeft.x < a.topLeft.x + a.width &&
           a.topLeft.y < b.topLeft.y + b.height && b.topLeft.y < a.topLeft.y + a.height;
}

struct LayoutCase {
    int columns;
    float width, height;
};

const LayoutCase kLayoutCases[] = {{9, 560, 600}, {9, 360, 380}, {41, 560, 600}, {41, 900, 400}, {0, 560, 600}};

TEST(PolarDiagramLayout, EveryTextOnTheCanvasAndClearOfTheOthersAndOfTheDisc) {
    for (const LayoutCase& k : kLayoutCases) {
        SCOPED_TRACE(std::to_string(k.columns) + " columns on " + std::to_string(k.width) + " x " +
                     std::to_string(k.height));
        std::string polar = "TWA";
        for (int c = 0; c < k.columns; ++c) polar += "\t" + std::to_string(2 + c);
        polar += "\n40";
        for (int c = 0; c < k.columns; ++c) polar += "\t" + std::to_string(4 + c * 0.4);
        polar += "\n180";
        for (int c = 0; c < k.columns; ++c) polar += "\t3";
        sim::PolarTable table;
        if (k.columns > 0) table = Loaded(polar + "\n");
        const app::PolarDiagramDrawing d =
            app::DrawPolarDiagram(app::PolarCurves(table, 100), 100, k.width, k.height, kMeasure);
        ASSERT_GT(d.radius, 100);
        std::vector<app::PlacedText> texts = {d.percent, d.legendTitle};
        for (const auto& r : d.rings) texts.push_back(r.label);
        for (const auto& s : d.spokes) texts.push_back(s.label);
        float legendLeft = d.legendTitle.topLeft.x;
        for (const auto& c : d.curves) {
            texts.push_back(c.legend);
            legendLeft = std::min(legendLeft, c.legendSample.from.x);
        }
        EXPECT_EQ(d.legendTitle.text, k.columns > 0 ? "Vent réel" : "Aucune polaire chargée");
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const app::PlacedText& t = texts[i];
            EXPECT_GE(t.topLeft.x, 0) << t.text;
            EXPECT_GE(t.topLeft.y, 0) << t.text;
            EXPECT_LE(t.topLeft.x + t.width, k.width) << t.text;
            EXPECT_LE(t.topLeft.y + t.height, k.height) << t.text;
            for (std::size_t j = i + 1; j < texts.size(); ++j) {
                EXPECT_FALSE(Overlap(t, texts[j])) << t.text << " over " << texts[j].text;
            }
        }
        // The disc and its angle labels end before the legend begins.
        EXPECT_LT(d.spokes[3].label.topLeft.x + d.spokes[3].label.width, legendLeft);
    }
}

}  // namespace
