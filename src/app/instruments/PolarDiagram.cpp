// The polar diagram's geometry; see PolarDiagram.h.
#include "app/instruments/PolarDiagram.h"

#include <algorithm>
#include <cmath>

#include "app/program/SimulationTexts.h"

namespace corvel::app {

namespace {

// Hue (degrees), saturation and value (0..1) as an opaque colour.
Colour FromHsv(double hue, double saturation, double value) {
    const double c = value * saturation;
    const double h = hue / 60;
    const double x = c * (1 - std::fabs(std::fmod(h, 2) - 1));
    double r = 0, g = 0, b = 0;
    if (h < 1) {
        r = c, g = x;
    } else if (h < 2) {
        r = x, g = c;
    } else if (h < 3) {
        g = c, b = x;
    } else if (h < 4) {
        g = x, b = c;
    } else if (h < 5) {
        r = x, b = c;
    } else {
        r = c, b = x;
    }
    const double m = value - c;
    auto byte = [m](double v) { return static_cast<Colour>(std::lround((v + m) * 255)); };
    return 0xFF000000u | byte(r) << 16 | byte(g) << 8 | byte(b);
}

// Curve i of n: blue for the lightest wind, through green and amber, to red for the strongest.
Colour CurveColour(int i, int n) {
    const double hue = n <= 1 ? 240 : 240 * (1 - static_cast<double>(i) / (n - 1));
    return FromHsv(hue, 0.9, 0.8);
}

// The point of a straight segment from (a0, s0) to (a1, s1) at step k of n (k = n is the end
// exactly).
PolarPoint Between(PolarPoint p0, PolarPoint p1, int k, int n) {
    if (k == n) return p1;
    const float t = static_cast<float>(k) / static_cast<float>(n);
    return {p0.angle + (p1.angle - p0.angle) * t, p0.speed + (p1.speed - p0.speed) * t};
}

// Keeps the best VMG of each side: the largest positive below the beam, the most negative above;
// the first one found on a tie.
void ConsiderVmg(PolarCurve& curve, PolarPoint p) {
    const float vmg = static_cast<float>(std::cos(nav::Radians(p.angle)) * p.speed);
    if (p.angle < 90 && vmg > (curve.upwind.found ? curve.upwind.vmg : 0.0f)) {
        curve.upwind = {true, p.angle, p.speed, vmg};
    } else if (p.angle > 90 && vmg < (curve.downwind.found ? curve.downwind.vmg : 0.0f)) {
        curve.downwind = {true, p.angle, p.speed, vmg};
    }
}

PolarCurve Curve(const sim::PolarTable& table, int column, int percent) {
    PolarCurve curve;
    curve.windSpeed = static_cast<float>(table.WindSpeeds()[static_cast<std::size_t>(column)]);
    curve.legend = KnotsText(table.WindSpeeds()[static_cast<std::size_t>(column)]);
    curve.colour = CurveColour(column, table.WindCount());
    bool havePrevious = false;
    PolarPoint previous;
    for (int row = 0; row < table.RowCount(); ++row) {
        const nav::Real angle = table.Angles()[static_cast<std::size_t>(row)];
        if (!(angle >= 0 && angle <= 180)) continue;
        const PolarPoint p{static_cast<float>(angle),
                           static_cast<float>(table.Speeds(row)[static_cast<std::size_t>(column)] * percent / 100)};
        if (havePrevious && p.angle > previous.angle) {
            const float span = p.angle - previous.angle;
            const int drawn = std::max(1, static_cast<int>(std::ceil(span)));
            for (int k = 1; k < drawn; ++k) curve.points.push_back(Between(previous, p, k, drawn));
            const int searched = std::max(1, static_cast<int>(std::ceil(span / kVmgSearchStep)));
            for (int k = 1; k < searched; ++k) ConsiderVmg(curve, Between(previous, p, k, searched));
        }
        curve.points.push_back(p);
        ConsiderVmg(curve, p);
        previous = p;
        havePrevious = true;
    }
    return curve;
}

PointF AtAngle(PointF centre, double angle, double radius) {
    return {static_cast<float>(centre.x + radius * std::sin(nav::Radians(angle))),
            static_cast<float>(centre.y - radius * std::cos(nav::Radians(angle)))};
}

PlacedText Place(std::string text, PointF topLeft, const TextMeasure& measure) {
    const float w = measure.width(text);
    return {std::move(text), topLeft, w, measure.height};
}

VmgMarkDrawing MarkAt(PointF centre, float pixelsPerKnot, const VmgMark& mark) {
    const double r = static_cast<double>(mark.speed) * pixelsPerKnot;
    return {AtAngle(centre, mark.angle, r),
            {AtAngle(centre, mark.angle, r - kVmgTickLength / 2), AtAngle(centre, mark.angle, r + kVmgTickLength / 2)}};
}

constexpr float kRingSteps[] = {1, 2, 5, 10, 20};
constexpr int kMaxRings = 6;
constexpr int kSpokeStep = 30;
constexpr float kGap = 4;
constexpr float kLegendGap = 6;  // between a sample and its text, and between legend columns

}  // namespace

std::vector<PolarCurve> PolarCurves(const sim::PolarTable& table, int percent) {
    std::vector<PolarCurve> curves;
    if (!table.Loaded()) return curves;
    for (int column = 0; column < table.WindCount(); ++column) curves.push_back(Curve(table, column, percent));
    return curves;
}

std::string PolarPercentCaption(int percent) { return "Polaire à " + std::to_string(percent) + " %"; }

PolarDiagramDrawing DrawPolarDiagram(const std::vector<PolarCurve>& curves, int percent, float width, float height,
                                     const TextMeasure& measure) {
    PolarDiagramDrawing d;
    const float th = measure.height;
    d.percent = Place(PolarPercentCaption(percent), {kPolarMargin, kPolarMargin}, measure);

    // The rings: the first round step that reaches past the fastest point in at most six rings.
    float fastest = 0;
    for (const PolarCurve& c : curves) {
        for (const PolarPoint& p : c.points) fastest = std::max(fastest, p.speed);
    }
    float step = kRingSteps[std::size(kRingSteps) - 1];
    int rings = 1;
    for (const float s : kRingSteps) {
        rings = std::max(1, static_cast<int>(std::ceil(fastest / s)));
        if (rings <= kMaxRings) {
            step = s;
            break;
        }
    }
    std::vector<std::string> ringTexts;
    float ringLabelWidth = 0;
    for (int k = 1; k <= rings; ++k) {
        ringTexts.push_back(KnotsText(step * static_cast<float>(k)));
        ringLabelWidth = std::max(ringLabelWidth, measure.width(ringTexts.back()));
    }
    float angleLabelWidth = 0;
    for (int a = 0; a <= 180; a += kSpokeStep) {
        angleLabelWidth = std::max(angleLabelWidth, measure.width(std::to_string(a) + "°"));
    }

    // The legend: a title, then one row per curve, in as many columns as the height needs.
    const float rowHeight = th + kGap;
    const float legendTop = kPolarMargin + th + kGap;
    const int rowsPerColumn = std::max(1, static_cast<int>((height - kPolarMargin - legendTop) / rowHeight) - 1);
    const int legendColumns =
        curves.empty() ? 1 : (static_cast<int>(curves.size()) + rowsPerColumn - 1) / rowsPerColumn;
    float entryWidth = 0;
    for (const PolarCurve& c : curves) entryWidth = std::max(entryWidth, measure.width(c.legend));
    const float columnWidth = kLegendSampleLength + kLegendGap + entryWidth;
    const std::string title = curves.empty() ? "Aucune polaire chargée" : "Vent réel";
    const float legendWidth =
        std::max(measure.width(title), static_cast<float>(legendColumns) * (columnWidth + kLegendGap) - kLegendGap);
    const float legendLeft = width - kPolarMargin - legendWidth;
    d.legendTitle = Place(title, {legendLeft, legendTop}, measure);

    // The half-disc: centred vertically between the angle labels, its centre right of the ring labels.
    const float top = kPolarMargin + th + kGap + th + kGap;
    const float bottom = height - kPolarMargin - th - kGap;
    const float right = legendLeft - 2 * kLegendGap - angleLabelWidth - kGap;
    d.centre = {kPolarMargin + ringLabelWidth + kGap, (top + bottom) / 2};
    d.radius = std::max(0.0f, std::min(right - d.centre.x, (bottom - top) / 2));
    d.pixelsPerKnot = d.radius / (step * static_cast<float>(rings));

    for (int k = 1; k <= rings; ++k) {
        const float r = d.pixelsPerKnot * step * static_cast<float>(k);
        // Left of the axis, just below the ring's top.
        PlacedText label = Place(ringTexts[static_cast<std::size_t>(k - 1)], {}, measure);
        label.topLeft = {d.centre.x - kGap - label.width, d.centre.y - r + 2};
        d.rings.push_back({step * static_cast<float>(k), r, std::move(label)});
    }
    for (int a = 0; a <= 180; a += kSpokeStep) {
        PlacedText label = Place(std::to_string(a) + "°", {}, measure);
        const double s = std::fabs(std::sin(nav::Radians(a))), c = std::fabs(std::cos(nav::Radians(a)));
        const PointF mid = AtAngle(d.centre, a, d.radius + kGap + s * label.width / 2 + c * th / 2);
        label.topLeft = {mid.x - label.width / 2, mid.y - th / 2};
        d.spokes.push_back({static_cast<float>(a), {d.centre, AtAngle(d.centre, a, d.radius)}, std::move(label)});
    }
    for (std::size_t i = 0; i < curves.size(); ++i) {
        const PolarCurve& c = curves[i];
        PolarCurveDrawing drawn;
        drawn.colour = c.colour;
        for (const PolarPoint& p : c.points)
            drawn.line.push_back(AtAngle(d.centre, p.angle, p.speed * d.pixelsPerKnot));
        drawn.hasUpwind = c.upwind.found;
        drawn.hasDownwind = c.downwind.found;
        if (c.upwind.found) drawn.upwind = MarkAt(d.centre, d.pixelsPerKnot, c.upwind);
        if (c.downwind.found) drawn.downwind = MarkAt(d.centre, d.pixelsPerKnot, c.downwind);
        const int column = static_cast<int>(i) / rowsPerColumn;
        const int row = static_cast<int>(i) % rowsPerColumn;
        const float x = legendLeft + static_cast<float>(column) * (columnWidth + kLegendGap);
        const float y = legendTop + static_cast<float>(row + 1) * rowHeight;
        drawn.legendSample = {{x, y + th / 2}, {x + kLegendSampleLength, y + th / 2}};
        drawn.legend = Place(c.legend, {x + kLegendSampleLength + kLegendGap, y}, measure);
        d.curves.push_back(std::move(drawn));
    }
    return d;
}

}  // namespace corvel::app
