// The compass model; see CompassModel.h.
#include "app/CompassModel.h"

#include "app/CompassArrows.h"

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

}  // namespace corvel::app
