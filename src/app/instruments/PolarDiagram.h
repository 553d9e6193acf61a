// The polar diagram as geometry, without a canvas: boat speed against true wind angle on a
// half-disc (0 degrees at the top, 180 at the bottom, the boat's speed as the distance from the
// centre), one curve per wind-speed column of the polar in force, each in its own colour, with
// its best upwind and downwind VMG angles marked, and the polar percentage applied. The curves do
// not depend on the canvas (PolarCurves); DrawPolarDiagram places them, the speed rings, the angle
// spokes and the legend in pixels. A view paints these shapes as they are; tests check them by
// value.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/instruments/CompassGeometry.h"
#include "app/windows/Controls.h"
#include "sim/PolarTable.h"

namespace corvel::app {

// A point of a curve: wind angle (degrees off the bow) and boat speed (knots).
struct PolarPoint {
    float angle = 0;
    float speed = 0;
};

// The best VMG of a curve on one side of the beam: its angle, the boat speed there and the VMG,
// speed x cos(angle), knots (negative downwind).
struct VmgMark {
    bool found = false;
    float angle = 0;
    float speed = 0;
    float vmg = 0;
};

struct PolarCurve {
    float windSpeed = 0;  // knots, the column's header value
    std::string legend;   // "6 nds"
    Colour colour = 0;
    // One point per angle row of the polar within 0..180 degrees, in file order, its speed the
    // table's times the percentage; between two rows of increasing angle, points about a degree
    // apart on the straight line between them (the engine's interpolation along the angle).
    std::vector<PolarPoint> points;
    VmgMark upwind;    // the largest speed x cos(angle) below 90 degrees, when positive
    VmgMark downwind;  // the most negative speed x cos(angle) above 90 degrees
};

// Spacing of the VMG search along a curve, degrees: the marks lie within this of the best angle
// of the interpolated curve.
inline constexpr float kVmgSearchStep = 0.1f;

// The curves of `table` (none for a table never loaded), boat speeds scaled by percent / 100.
// Colours run from blue (the lightest wind) to red (the strongest), all different.
std::vector<PolarCurve> PolarCurves(const sim::PolarTable& table, int percent);

// The caption of the percentage in force: "Polaire à 100 %".
std::string PolarPercentCaption(int percent);

// A text placed on the canvas: its box (top-left corner and size, from the measure given).
struct PlacedText {
    std::string text;
    PointF topLeft;
    float width = 0;
    float height = 0;
};

struct PolarRingDrawing {
    float speed = 0;   // knots
    float radius = 0;  // pixels
    PlacedText label;  // "4 nds", left of the top of the axis
};

struct PolarSpokeDrawing {
    float angle = 0;   // degrees
    Segment line;      // from the centre to the outer ring
    PlacedText label;  // "30°", outside the outer ring
};

// A VMG mark: a dot of radius kVmgDotRadius on the curve and a short tick across it, along the
// spoke of its angle.
struct VmgMarkDrawing {
    PointF dot;
    Segment tick;
};

struct PolarCurveDrawing {
    std::vector<PointF> line;  // the curve's points in pixels, in order
    Colour colour = 0;
    bool hasUpwind = false, hasDownwind = false;
    VmgMarkDrawing upwind, downwind;
    Segment legendSample;  // a short stroke in the curve's colour, before its legend text
    PlacedText legend;
};

struct PolarDiagramDrawing {
    PointF centre;     // the centre of the half-disc, on its left edge
    float radius = 0;  // the outer ring, pixels
    float pixelsPerKnot = 0;
    std::vector<PolarRingDrawing> rings;    // inner to outer; the outer one is the rim
    std::vector<PolarSpokeDrawing> spokes;  // every 30 degrees, 0 to 180
    std::vector<PolarCurveDrawing> curves;  // in the order of the curves given
    PlacedText percent;                     // the percentage in force, top left
    PlacedText legendTitle;                 // "Vent réel" (or "Aucune polaire chargée")
};

// The size of a text in the canvas's font, pixels.
struct TextMeasure {
    float height = 0;
    std::function<float(std::string_view)> width;
};

inline constexpr float kPolarMargin = 8;
inline constexpr float kVmgDotRadius = 3.5f;
inline constexpr float kVmgTickLength = 14;
inline constexpr float kLegendSampleLength = 22;

// The whole diagram on a canvas of width x height pixels: the speed rings at a round step (1, 2, 5,
// 10 or 20 knots, at most 6 rings) reaching past the fastest point, the half-disc as large as the
// canvas allows once the ring labels (left), the angle labels (around) and the legend column
// (right) have their room. An empty `curves` still draws the rings of 0..1 knot and says that no
// polar is loaded. A canvas too small for anything gives a radius of 0.
PolarDiagramDrawing DrawPolarDiagram(const std::vector<PolarCurve>& curves, int percent, float width, float height,
                                     const TextMeasure& measure);

}  // namespace corvel::app
