// What the compass instrument draws: the ten arrows of the wind triangle, current, courses and
// waypoint, the reference speed and the scale. The main-window model fills it every tick; the
// view draws it. Each arrow keeps its own look whatever the caller passes.
#pragma once

#include <string>

#include "app/windows/Controls.h"
#include "nav/Conversions.h"
#include "sim/SimulationState.h"
#include "sim/Simulator.h"

namespace corvel::app {

struct PointF {
    float x = 0;
    float y = 0;
    bool operator==(const PointF&) const = default;
};

enum class TStyltrait { plein, tiret, pointill };
enum class TArrowTyp { divergente, convergente, libre };

struct TArrow {
    PointF Org;
    PointF Ext;
    float Angle = 0;  // degrees counter-clockwise from the screen's x axis (450 - bearing)
    float Len = 0;    // pixels
    TStyltrait Styltrait = TStyltrait::plein;
    float Epaiss = 0;
    Colour ArrCol = 0;
    TArrowTyp Typ = TArrowTyp::divergente;
};

class TFMXCompass {
public:
    // The setters copy Org, Ext, Angle and Len and impose the arrow's look (the current alone
    // takes its width from the caller).
    void SetArrowBoatSpeed(const TArrow& a);
    void SetArrowHeading(const TArrow& a);
    void SetArrowTrueWind(const TArrow& a);
    void SetArrowApparWind(const TArrow& a);
    void SetArrowBoatVelocityWind(const TArrow& a);
    void SetArrowSurfaceWind(const TArrow& a);
    void SetArrowCurrent(const TArrow& a);
    void SetArrowCOGSOG(const TArrow& a);
    void SetArrowGVW(const TArrow& a);
    void SetArrowDirWP(const TArrow& a);
    void Setetalon(float knots) { etalon = knots; }
    void SetFactConvers(float pixelsPerKnot) { FactConvers = pixelsPerKnot; }

    TArrow ArrowBoatSpeed, ArrowHeading, ArrowTrueWind, ArrowApparWind, ArrowBoatVelocityWind, ArrowSurfaceWind,
        ArrowCurrent, ArrowCOGSOG, ArrowGVW, ArrowDirWP;
    // The dial: tick lengths in pixels, the spacing of the ticks in degrees, which ticks show, and
    // the labels' font.
    int LongueurGraduationMajeure = 16;
    int LongueurGraduationMineure = 8;
    bool MontreGraduationMineure = true;
    bool MontreGraduationMajeure = true;
    struct LabelFont {
        std::string family;  // empty: the toolkit's
        float size = 0;      // points; 0: the toolkit's
        bool bold = false;
        bool italic = false;
        Colour FontColor = 0xFF000000;
        bool operator==(const LabelFont&) const = default;
    } TextSettings;
    PointF CentreXY;
    float etalon = 0;
    float FactConvers = 0;  // 0 hides the rings and the arrows
    float GraduationMajeure = 45;
    float GraduationMineure = 5;
    int Width = 540;
    int Height = 574;
    bool ShowHint = false;  // the hint shows only when there is a current
    // Incremented at each repaint request, so a view knows when to redraw.
    long repaints = 0;
};

// The main window's compass: fills the instrument from the engine's state, in the instrument's own
// coordinates (the dial's centre is CentreXY): the scale, the wind triangle, the current, the
// courses and the waypoint's direction. A bearing B is given to an arrow as the angle 450 - B.
class CompassPanel {
public:
    // Sets the dial as the window shows it: a major tick every 30 degrees, a minor one every 5, the
    // centre in the middle.
    explicit CompassPanel(TFMXCompass& compass);
    // The scale from the fastest speed shown (knots): the dial's radius less 12 pixels for the
    // next step of 5 knots at or above it, up to 40.
    void SetScale(float scaleSpeed);
    // A start: the hint shows with a current; without one, its four arrows are hidden.
    void Start(bool current);
    // A tick's triangle and courses as the tick drew them, then the scale for the next tick.
    void Tick(const sim::SimulationState& s, const sim::TickRecord& r);
    // The waypoint's direction: an arrow from the centre to 12 pixels inside the rim.
    void ShowWaypoint(float bearing);

private:
    PointF Centre() const { return compass_.CentreXY; }
    // The tail of a vector of `speed` knots coming from `bearing`, each coordinate rounded.
    PointF AtBearing(float speed, float bearing) const;

    TFMXCompass& compass_;
    int radius_ = 0;   // the dial's radius less the rim's pixel
    float scale_ = 0;  // pixels per knot
    TArrow arrow_;     // one record reused for every arrow handed to the compass, as a tick fills it
};

}  // namespace corvel::app
