// The compass model and its table of arrows: each setter gives its arrow the look of its kind, and
// an arrow whose width follows its speed gets it.
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "app/instruments/CompassArrows.h"
#include "app/instruments/CompassModel.h"

using namespace corvel;
using app::ArrowKind;

namespace {

TEST(CompassArrows, EachSetterGivesItsArrowTheLookOfItsKind) {
    using Setter = void (app::TFMXCompass::*)(const app::TArrow&);
    const struct {
        ArrowKind kind;
        Setter set;
        app::TArrow app::TFMXCompass::*arrow;
    } cases[] = {
        {ArrowKind::TrueWind, &app::TFMXCompass::SetArrowTrueWind, &app::TFMXCompass::ArrowTrueWind},
        {ArrowKind::SurfaceWind, &app::TFMXCompass::SetArrowSurfaceWind, &app::TFMXCompass::ArrowSurfaceWind},
        {ArrowKind::ApparentWind, &app::TFMXCompass::SetArrowApparWind, &app::TFMXCompass::ArrowApparWind},
        {ArrowKind::BoatVelocityWind, &app::TFMXCompass::SetArrowBoatVelocityWind,
         &app::TFMXCompass::ArrowBoatVelocityWind},
        {ArrowKind::GroundVelocityWind, &app::TFMXCompass::SetArrowGVW, &app::TFMXCompass::ArrowGVW},
        {ArrowKind::Current, &app::TFMXCompass::SetArrowCurrent, &app::TFMXCompass::ArrowCurrent},
        {ArrowKind::BoatSpeed, &app::TFMXCompass::SetArrowBoatSpeed, &app::TFMXCompass::ArrowBoatSpeed},
        {ArrowKind::Heading, &app::TFMXCompass::SetArrowHeading, &app::TFMXCompass::ArrowHeading},
        {ArrowKind::CourseOverGround, &app::TFMXCompass::SetArrowCOGSOG, &app::TFMXCompass::ArrowCOGSOG},
        {ArrowKind::Waypoint, &app::TFMXCompass::SetArrowDirWP, &app::TFMXCompass::ArrowDirWP},
    };
    ASSERT_EQ(std::size(cases), app::kCompassArrows.size());
    for (const auto& c : cases) {
        const app::ArrowLook& look = app::LookOf(c.kind);
        SCOPED_TRACE(std::string(look.caption));
        EXPECT_EQ(look.kind, c.kind);
        app::TFMXCompass compass;
        // The caller's look is not the arrow's, but for the width of an arrow whose width follows
        // its speed.
        const app::TArrow given{
            {1, 2}, {3, 4}, 30, 40, app::TStyltrait::pointill, 7, 0xFF123456, app::TArrowTyp::libre};
        (compass.*c.set)(given);
        const app::TArrow& a = compass.*c.arrow;
        EXPECT_EQ(a.Org, given.Org);
        EXPECT_EQ(a.Ext, given.Ext);
        EXPECT_EQ(a.Len, given.Len);
        EXPECT_EQ(a.ArrCol, look.colour);
        EXPECT_EQ(a.Styltrait, look.style);
        EXPECT_EQ(a.Typ, look.typ);
        EXPECT_EQ(a.Epaiss, look.widthPerKnot != 0 ? 7 : look.width);
    }
    // The current's width follows its speed: half a pixel a knot, as the window gave it.
    EXPECT_EQ(app::ArrowWidth(ArrowKind::Current, 3), 1.5f);
    EXPECT_EQ(app::ArrowWidth(ArrowKind::TrueWind, 3), 2);
}

}  // namespace
