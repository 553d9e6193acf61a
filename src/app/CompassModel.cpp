// The compass model; see CompassModel.h.
#include "app/CompassModel.h"

namespace corvel::app {

namespace {

struct Look {
    TStyltrait style;
    float width;
    Colour colour;
    TArrowTyp typ;
};

void Assign(TArrow& target, const TArrow& given, const Look& look) {
    target.Org = given.Org;
    target.Ext = given.Ext;
    target.Angle = given.Angle;
    target.Len = given.Len;
    target.Styltrait = look.style;
    target.Epaiss = look.width;
    target.ArrCol = look.colour;
    target.Typ = look.typ;
}

constexpr Look kBoatSpeed{TStyltrait::plein, 2, 0xFF0000FF, TArrowTyp::divergente};
constexpr Look kHeading{TStyltrait::tiret, 2, 0xFFD2691E, TArrowTyp::divergente};
constexpr Look kTrueWind{TStyltrait::plein, 2, 0xFF808080, TArrowTyp::convergente};
constexpr Look kApparWind{TStyltrait::plein, 2, 0xFFFF0000, TArrowTyp::convergente};
constexpr Look kBoatVelocityWind{TStyltrait::tiret, 1, 0xFF0000FF, TArrowTyp::libre};
constexpr Look kSurfaceWind{TStyltrait::plein, 2, 0xFF000000, TArrowTyp::convergente};
constexpr Look kCOGSOG{TStyltrait::plein, 2, 0xFFFF00FF, TArrowTyp::divergente};
constexpr Look kGVW{TStyltrait::tiret, 1, 0xFFFF00FF, TArrowTyp::libre};
constexpr Look kDirWP{TStyltrait::pointill, 0.5f, 0xFF000000, TArrowTyp::divergente};

}  // namespace

void TFMXCompass::SetArrowBoatSpeed(const TArrow& a) { Assign(ArrowBoatSpeed, a, kBoatSpeed); }
void TFMXCompass::SetArrowHeading(const TArrow& a) { Assign(ArrowHeading, a, kHeading); }
void TFMXCompass::SetArrowTrueWind(const TArrow& a) { Assign(ArrowTrueWind, a, kTrueWind); }
void TFMXCompass::SetArrowApparWind(const TArrow& a) { Assign(ArrowApparWind, a, kApparWind); }
void TFMXCompass::SetArrowBoatVelocityWind(const TArrow& a) { Assign(ArrowBoatVelocityWind, a, kBoatVelocityWind); }
void TFMXCompass::SetArrowSurfaceWind(const TArrow& a) { Assign(ArrowSurfaceWind, a, kSurfaceWind); }
void TFMXCompass::SetArrowCurrent(const TArrow& a) {
    Assign(ArrowCurrent, a, {TStyltrait::plein, a.Epaiss, 0xFF008000, TArrowTyp::libre});
}
void TFMXCompass::SetArrowCOGSOG(const TArrow& a) { Assign(ArrowCOGSOG, a, kCOGSOG); }
void TFMXCompass::SetArrowGVW(const TArrow& a) { Assign(ArrowGVW, a, kGVW); }
void TFMXCompass::SetArrowDirWP(const TArrow& a) { Assign(ArrowDirWP, a, kDirWP); }

}  // namespace corvel::app
