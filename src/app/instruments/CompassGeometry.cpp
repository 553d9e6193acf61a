// The compass instrument's geometry; see CompassGeometry.h.
#include "app/instruments/CompassGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/program/SimulationTexts.h"
#include "nav/Conversions.h"
#include "nav/PlaneVectors.h"

namespace corvel::app {

namespace {

float Round(double x) { return static_cast<float>(nav::Round(x)); }

// The point at bearing `b` (degrees clockwise from north) and radius `r` from `c`.
PointF AtBearing(PointF c, double b, double r) {
    return {static_cast<float>(c.x + r * std::sin(nav::Radians(b))),
            static_cast<float>(c.y - r * std::cos(nav::Radians(b)))};
}

bool NearCentre(PointF p, PointF centre) {
    return std::fabs(p.x - centre.x) <= kNearCentre && std::fabs(p.y - centre.y) <= kNearCentre;
}

// How far an end near the centre is pulled back along an arrow of angle `a` so that it stops on
// the border of the square of side 40 about the centre. The side it crosses is chosen on the
// direction, so any turn of the angle counts: the window gives 450 - bearing, up to 450.
double Clearance(double angle) {
    const double a = angle - 360 * std::floor(angle / 360);
    double towards = -a;
    if (a >= 45 && a < 135) {
        towards = 90 - a;
    } else if (a >= 135 && a < 225) {
        towards = 180 - a;
    } else if (a >= 225 && a < 315) {
        towards = 270 - a;
    }
    return std::fabs(kCentreClearance / std::cos(nav::Radians(towards)));
}

// `from` moved by `length` along angle `a` (counter-clockwise from the screen's x axis, y down),
// each coordinate change rounded.
PointF Along(PointF from, double a, double length) {
    return {from.x + Round(std::cos(nav::Radians(a)) * length), from.y - Round(std::sin(nav::Radians(a)) * length)};
}

struct RingSet {
    std::array<float, 8> speeds;
    int count;
};
constexpr RingSet kSlowRings{{1, 2, 3, 4, 5}, 5};
constexpr RingSet kFastRings{{5, 10, 15, 20, 25, 30, 35, 40}, 8};

}  // namespace

DialDrawing DrawDial(const TFMXCompass& compass, float width, float height, ZerosSize zeros) {
    DialDrawing d;
    d.centre = {width / 2, height / 2};
    d.radius = std::min(width, height) / 2;
    const double major = compass.GraduationMajeure;
    const double minor = compass.GraduationMineure;
    const int majors = major > 0 ? static_cast<int>(std::trunc(360 / major)) : 0;
    const int minors = minor > 0 ? static_cast<int>(std::trunc(major / minor)) : 0;
    const double R = d.radius;
    for (int k = 0; k < majors; ++k) {
        const double b = k * major;
        char text[16];
        std::snprintf(text, sizeof text, "%.3d", static_cast<int>(nav::Round(b)));
        d.labels.push_back({text, AtBearing(d.centre, b, R - compass.LongueurGraduationMajeure - zeros.width / 2),
                            Round(2.0 * zeros.width), static_cast<float>(b)});
        if (!compass.MontreGraduationMajeure) continue;
        d.majorTicks.push_back(
            {AtBearing(d.centre, b, R), AtBearing(d.centre, b, R - compass.LongueurGraduationMajeure)});
        if (!compass.MontreGraduationMineure || minor <= 0) continue;
        for (int j = 1; j < minors; ++j) {
            const double m = b + j * minor;
            d.minorTicks.push_back(
                {AtBearing(d.centre, m, R), AtBearing(d.centre, m, R - compass.LongueurGraduationMineure)});
        }
    }
    return d;
}

ArrowDrawing DrawArrow(const TArrow& arrow, PointF centre, bool& drawn) {
    TArrow a = arrow;
    if (a.Typ == TArrowTyp::libre) {
        const double dx = static_cast<double>(a.Ext.x) - a.Org.x;
        const double dy = static_cast<double>(a.Ext.y) - a.Org.y;
        if (std::fabs(dx) <= 1e-120) {
            a.Angle = dy <= 0 ? 90 : 270;
        } else {
            a.Angle = static_cast<float>(nav::RadToDeg(nav::VectorAngle(dy, dx)));
        }
        a.Len = static_cast<float>(std::sqrt(dx * dx + dy * dy));
        if (NearCentre(a.Ext, centre)) a.Ext = Along(a.Org, a.Angle, a.Len - Clearance(a.Angle));
    }
    if (a.Angle < 0) a.Angle += 360;
    ArrowDrawing d;
    d.arrow = &arrow;
    d.from = a.Org;
    d.style = a.Styltrait;
    d.width = a.Epaiss;
    d.colour = a.ArrCol;
    drawn = a.Len > kMinimumArrowLength;
    if (!drawn) return d;
    PointF p = a.Ext;
    if (a.Typ == TArrowTyp::divergente) {
        p = Along(a.Org, a.Angle, a.Len);
        if (NearCentre(p, centre)) p = Along(a.Org, a.Angle, a.Len - Clearance(a.Angle));
    }
    d.to = p;
    // The head's points lie on the Org side of P: back along the angle for an arrow that points
    // away from Org, forward for a convergent one, whose angle points back towards Org.
    const double sense = a.Typ == TArrowTyp::convergente ? 1 : -1;
    const auto headPoint = [&](double angle, double distance) { return Along(p, angle, sense * distance); };
    d.head = {p, headPoint(a.Angle - kBarbAngle, kBarbLength), headPoint(a.Angle, kNotchDepth),
              headPoint(a.Angle + kBarbAngle, kBarbLength)};
    return d;
}

std::vector<RingDrawing> DrawRings(const TFMXCompass& compass, ZerosSize zeros) {
    std::vector<RingDrawing> rings;
    if (compass.FactConvers == 0) return rings;
    const RingSet& set = SlowRings(compass) ? kSlowRings : kFastRings;
    const PointF c = compass.CentreXY;
    // The inner edge of the bearing labels' squares (side 2 x "000", centred at R - major tick -
    // half a "000"): a ring label stays within this radius.
    const double clear = std::min(compass.Width, compass.Height) / 2.0 - compass.LongueurGraduationMajeure -
                         1.5 * static_cast<double>(zeros.width);
    for (int i = 0; i < set.count; ++i) {
        const float v = set.speeds[static_cast<std::size_t>(i)];
        const float r = Round(static_cast<double>(compass.FactConvers) * v);
        RingDrawing ring{r,
                         KnotsText(static_cast<int>(v)),
                         {c.x - (i == 0 ? 10.0f : 15.0f), c.y - r - 12},
                         Round(2.0 * zeros.width),
                         Round(zeros.height) - 5};
        if (r + 12 > clear) {
            ring.labelTopLeft.y = c.y - r + 2;  // inside the ring, just below its line
            ring.labelled = r - 2 <= clear;
        }
        rings.push_back(std::move(ring));
    }
    return rings;
}

std::vector<ArrowDrawing> DrawArrows(const TFMXCompass& compass) {
    std::vector<ArrowDrawing> arrows;
    if (compass.FactConvers == 0) return arrows;
    for (const TArrow* arrow :
         {&compass.ArrowTrueWind, &compass.ArrowBoatSpeed, &compass.ArrowHeading, &compass.ArrowApparWind,
          &compass.ArrowBoatVelocityWind, &compass.ArrowDirWP, &compass.ArrowCurrent, &compass.ArrowSurfaceWind,
          &compass.ArrowCOGSOG, &compass.ArrowGVW}) {
        bool drawn = false;
        ArrowDrawing d = DrawArrow(*arrow, compass.CentreXY, drawn);
        if (drawn) arrows.push_back(d);
    }
    return arrows;
}

CompassOverlay DrawOverlay(const TFMXCompass& compass, ZerosSize zeros) {
    return {DrawRings(compass, zeros), DrawArrows(compass)};
}

}  // namespace corvel::app
