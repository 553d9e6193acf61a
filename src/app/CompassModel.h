// What the compass instrument draws: the ten arrows of the wind triangle, current, courses and
// waypoint, the reference speed and the scale. The main-window model fills it every tick; the
// view draws it. Each arrow keeps its own look whatever the caller passes.
#pragma once

#include <string>

#include "app/Controls.h"

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

}  // namespace corvel::app
