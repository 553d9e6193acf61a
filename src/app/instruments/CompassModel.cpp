// The compass model; see CompassModel.h.
#include "app/instruments/CompassModel.h"

#include "app/instruments/CompassArrows.h"
#include "nav/Conversions.h"

namespace corvel::app {

namespace {

// Copies the caller's place and gives the arrow its kind's look; a width that follows the speed
// is the caller's.
void Assign(TArrow& target, const TArrow& given, ArrowKind kind) {
    const ArrowLook& look = LookOf(kind);
    target.Org = given.Org;
    target.Ext = given.Ext;
    target.Angle = given.Angle;
    target.Len = given.Len;
    target.Styltrait = look.style;
    target.Epaiss = look.widthPerKnot != 0 ? given.Epaiss : look.width;
    target.ArrCol = look.colour;
    target.Typ = look.typ;
}

}  // namespace

void TFMXCompass::SetArrowBoatSpeed(const TArrow& a) { Assign(ArrowBoatSpeed, a, ArrowKind::BoatSpeed); }
void TFMXCompass::SetArrowHeading(const TArrow& a) { Assign(ArrowHeading, a, ArrowKind::Heading); }
void TFMXCompass::SetArrowTrueWind(const TArrow& a) { Assign(ArrowTrueWind, a, ArrowKind::TrueWind); }
void TFMXCompass::SetArrowApparWind(const TArrow& a) { Assign(ArrowApparWind, a, ArrowKind::ApparentWind); }
void TFMXCompass::SetArrowBoatVelocityWind(const TArrow& a) {
    Assign(ArrowBoatVelocityWind, a, ArrowKind::BoatVelocityWind);
}
void TFMXCompass::SetArrowSurfaceWind(const TArrow& a) { Assign(ArrowSurfaceWind, a, ArrowKind::SurfaceWind); }
void TFMXCompass::SetArrowCurrent(const TArrow& a) { Assign(ArrowCurrent, a, ArrowKind::Current); }
void TFMXCompass::SetArrowCOGSOG(const TArrow& a) { Assign(ArrowCOGSOG, a, ArrowKind::CourseOverGround); }
void TFMXCompass::SetArrowGVW(const TArrow& a) { Assign(ArrowGVW, a, ArrowKind::GroundVelocityWind); }
void TFMXCompass::SetArrowDirWP(const TArrow& a) { Assign(ArrowDirWP, a, ArrowKind::Waypoint); }

// ---------------------------------------------------------------- the window's compass

CompassPanel::CompassPanel(TFMXCompass& compass) : compass_(compass) {
    radius_ = static_cast<int>(nav::Round(compass.Width / 2.0)) - 1;
    compass.GraduationMineure = 5;
    compass.GraduationMajeure = 30;
    compass.CentreXY = {static_cast<float>(nav::Round(compass.Width / 2.0)),
                        static_cast<float>(nav::Round(compass.Height / 2.0))};
}

PointF CompassPanel::AtBearing(float speed, float bearing) const {
    const float length = scale_ * speed;
    const nav::CosSin a = nav::CosSinOf(nav::Radians(450 - bearing));
    return {static_cast<float>(nav::Round(a.cos * length) + Centre().x),
            static_cast<float>(Centre().y - nav::Round(length * a.sin))};
}

void CompassPanel::SetScale(float scaleSpeed) {
    static constexpr float kSteps[] = {5, 10, 15, 20, 25, 30, 35, 40};
    float step = 40;
    for (float candidate : kSteps) {
        if (scaleSpeed <= candidate) {
            step = candidate;
            break;
        }
    }
    scale_ = (static_cast<float>(radius_) - 12) / step;
    compass_.Setetalon(scaleSpeed);
    compass_.SetFactConvers(scale_);
}

void CompassPanel::Start(bool current) {
    compass_.ShowHint = current;
    if (current) return;
    TArrow hidden;
    hidden.Org = hidden.Ext = Centre();
    compass_.SetArrowSurfaceWind(hidden);
    compass_.SetArrowCurrent(hidden);
    compass_.SetArrowGVW(hidden);
    compass_.SetArrowCOGSOG(hidden);
}

void CompassPanel::Tick(const sim::SimulationState& s, const sim::TickRecord& r) {
    ++compass_.repaints;
    // The wind triangle.
    const PointF centre = Centre();
    const PointF w0 = AtBearing(s.TrueWind.mdl, s.TrueWind.argt);
    arrow_.Org = w0;
    arrow_.Ext = centre;
    arrow_.Angle = 450 - s.TrueWind.argt;
    arrow_.Len = scale_ * s.TrueWind.mdl;
    compass_.SetArrowTrueWind(arrow_);
    PointF e1 = w0;
    if (r.current) {
        const float a = 450 - s.Current.argt;
        const float l = scale_ * s.Current.mdl;
        const nav::CosSin cs = nav::CosSinOf(nav::Radians(a));
        e1 = {static_cast<float>(w0.x + cs.cos * l), static_cast<float>(w0.y - cs.sin * l)};
        arrow_.Org = w0;
        arrow_.Ext = e1;
        arrow_.Angle = a;
        arrow_.Len = l;
        arrow_.Epaiss = ArrowWidth(ArrowKind::Current, s.Current.mdl);
        compass_.SetArrowCurrent(arrow_);
        arrow_.Org = e1;
        arrow_.Ext = centre;
        arrow_.Angle = 450 - r.surfaceWindDrawn.argt;
        arrow_.Len = scale_ * r.surfaceWindDrawn.mdl;
        compass_.SetArrowSurfaceWind(arrow_);
    }
    // The apparent wind, and the wind of the boat's own speed.
    const PointF a0 = AtBearing(s.AWS, s.AWD);
    arrow_.Org = a0;
    arrow_.Ext = centre;
    arrow_.Angle = 450 - s.AWD;
    arrow_.Len = scale_ * s.AWS;
    compass_.SetArrowApparWind(arrow_);
    arrow_.Org = a0;
    arrow_.Ext = e1;
    compass_.SetArrowBoatVelocityWind(arrow_);
    // Over the ground as the tick found it before the polar's new speed.
    if (r.current) {
        arrow_.Org = a0;
        arrow_.Ext = w0;
        compass_.SetArrowGVW(arrow_);
        arrow_.Org = centre;
        arrow_.Angle = 450 - r.groundBeforeSpeed.argt;
        arrow_.Len = scale_ * r.groundBeforeSpeed.mdl;
        compass_.SetArrowCOGSOG(arrow_);
    }
    // The boat's speed through the water and its heading.
    arrow_.Org = centre;
    arrow_.Angle = 450 - s.WaterTrack.argt;
    arrow_.Len = scale_ * s.WaterTrack.mdl;
    compass_.SetArrowBoatSpeed(arrow_);
    arrow_.Angle = 450 - s.HDG;
    compass_.SetArrowHeading(arrow_);
    SetScale(s.ScaleSpeed);
}

void CompassPanel::ShowWaypoint(float bearing) {
    TArrow wp;
    wp.Org = Centre();
    wp.Angle = 450 - bearing;
    wp.Len = static_cast<float>(radius_ - 12);
    compass_.SetArrowDirWP(wp);
}

}  // namespace corvel::app
