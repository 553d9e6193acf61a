// The compass instrument's drawing as geometry, without a canvas: the dial (the disc, its ticks
// and bearing labels), which changes only with the size, the graduations and the label font; and
// what changes with every tick, the speed rings and the ten arrows in their drawing order, each
// with its end point after the centre clearance and its 4-point head. A view paints these shapes
// as they are; tests check them by value.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/instruments/CompassModel.h"

namespace corvel::app {

// The size of the text "000" in a font, pixels.
struct ZerosSize {
    float width = 0;
    float height = 0;
};

struct Segment {
    PointF from;
    PointF to;
};

// A bearing label: its text centred in an ivory square of side `side` whose centre is `centre`,
// turned clockwise by `rotation` degrees about it (the text's top faces outwards).
struct DialLabel {
    std::string text;
    PointF centre;
    float side = 0;
    float rotation = 0;
};

struct DialDrawing {
    PointF centre;  // the dial's centre (W/2, H/2)
    float radius = 0;
    float rimWidth = 2;  // the black rim inside the radius
    std::vector<DialLabel> labels;
    std::vector<Segment> majorTicks;
    std::vector<Segment> minorTicks;
};

// A speed ring: a circle of `radius` about CentreXY, and its label in a box whose top-left corner
// is `labelTopLeft`. The label sits just above the ring, or just inside it when above would reach
// the dial's bearing labels; a ring that runs through them or beyond the dial has no label
// (`labelled` false), so that no ring label ever covers a bearing label or the rim.
struct RingDrawing {
    float radius = 0;
    std::string label;
    PointF labelTopLeft;
    float labelWidth = 0;
    float labelHeight = 0;
    bool labelled = true;
};

struct ArrowDrawing {
    const TArrow* arrow = nullptr;  // the model's arrow this one draws
    PointF from;                    // Org
    PointF to;                      // P, the end after the centre clearance; the head's point
    std::array<PointF, 4> head;     // P, a barb, the notch, the other barb
    TStyltrait style = TStyltrait::plein;
    float width = 0;
    Colour colour = 0;
};

struct CompassOverlay {
    std::vector<RingDrawing> rings;
    std::vector<ArrowDrawing> arrows;  // the drawn ones, in drawing order
};

// Constants of the drawing, pixels and degrees.
inline constexpr float kBarbAngle = 23;
inline constexpr float kBarbLength = 12;
inline constexpr float kNotchDepth = 6;
inline constexpr float kMinimumArrowLength = 10;  // an arrow this long or shorter is not drawn
inline constexpr float kNearCentre = 19;          // an end this close to CentreXY, in x and in y ...
inline constexpr float kCentreClearance = 20;     // ... stops on the border of a 40-pixel square

// Which rings show: 1 to 5 knots when the reference speed `etalon` is 5 or less, else 5 to 40. The
// rings change with this choice and with FactConvers, not with every move of the reference speed.
inline bool SlowRings(const TFMXCompass& compass) { return compass.etalon <= 5; }

// The dial of a compass `width` x `height` pixels whose label font writes "000" in `zeros`.
DialDrawing DrawDial(const TFMXCompass& compass, float width, float height, ZerosSize zeros);

// The speed rings; none when FactConvers is 0. `zeros`: the label font's "000", which sizes the
// ring labels' boxes.
std::vector<RingDrawing> DrawRings(const TFMXCompass& compass, ZerosSize zeros);
// The arrows that are drawn, in drawing order; none when FactConvers is 0.
std::vector<ArrowDrawing> DrawArrows(const TFMXCompass& compass);
// Both.
CompassOverlay DrawOverlay(const TFMXCompass& compass, ZerosSize zeros);

// One arrow as drawn about `centre` (CentreXY); `drawn` false when it is 10 pixels long or less.
ArrowDrawing DrawArrow(const TArrow& arrow, PointF centre, bool& drawn);

}  // namespace corvel::app
