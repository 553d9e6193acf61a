// The compass's ten arrows as one table: for each kind its look on the compass (colour, dash style,
// width, how its head is placed) and its French caption. The compass model gives its arrows these
// looks and the legend draws its samples from the same rows, so the two cannot disagree.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "app/instruments/CompassModel.h"

namespace corvel::app {

// In the legend's order (winds, current, then the boat's own arrows).
enum class ArrowKind {
    TrueWind,
    SurfaceWind,
    ApparentWind,
    BoatVelocityWind,
    GroundVelocityWind,
    Current,
    BoatSpeed,
    Heading,
    CourseOverGround,
    Waypoint,
};

struct ArrowLook {
    ArrowKind kind;
    Colour colour;
    TStyltrait style;
    // Pixels; when widthPerKnot is not 0 the width follows the speed drawn instead: widthPerKnot
    // pixels a knot, given by the caller (ArrowWidth), and `width` is not used.
    float width;
    float widthPerKnot;
    TArrowTyp typ;
    std::string_view caption;
};

// clang-format off
inline constexpr std::array<ArrowLook, 10> kCompassArrows = {{
    {ArrowKind::TrueWind,           0xFF808080, TStyltrait::plein,    2,    0,    TArrowTyp::convergente, "Vent réel TW"},
    {ArrowKind::SurfaceWind,        0xFF000000, TStyltrait::plein,    2,    0,    TArrowTyp::convergente, "Vent surface SW"},
    {ArrowKind::ApparentWind,       0xFFFF0000, TStyltrait::plein,    2,    0,    TArrowTyp::convergente, "Vent apparent AW"},
    {ArrowKind::BoatVelocityWind,   0xFF0000FF, TStyltrait::tiret,    1,    0,    TArrowTyp::libre,       "Vent dû à la vitesse surface"},
    {ArrowKind::GroundVelocityWind, 0xFFFF00FF, TStyltrait::tiret,    1,    0,    TArrowTyp::libre,       "Vent dû à la vitesse fond"},
    {ArrowKind::Current,            0xFF008000, TStyltrait::plein,    0,    0.5f, TArrowTyp::libre,       "Courant"},
    {ArrowKind::BoatSpeed,          0xFF0000FF, TStyltrait::plein,    2,    0,    TArrowTyp::divergente,  "Route et vitesse surface"},
    {ArrowKind::Heading,            0xFFD2691E, TStyltrait::tiret,    2,    0,    TArrowTyp::divergente,  "Cap HDG"},
    {ArrowKind::CourseOverGround,   0xFFFF00FF, TStyltrait::plein,    2,    0,    TArrowTyp::divergente,  "Route et vitesse fond COG SOG"},
    {ArrowKind::Waypoint,           0xFF000000, TStyltrait::pointill, 0.5f, 0,    TArrowTyp::divergente,  "Direction du waypoint BTW"},
}};
// clang-format on

constexpr const ArrowLook& LookOf(ArrowKind kind) { return kCompassArrows[static_cast<std::size_t>(kind)]; }

// The width of an arrow of `kind` drawing a speed of `knots`: the fixed width, or the one that
// follows the speed.
constexpr float ArrowWidth(ArrowKind kind, float knots) {
    const ArrowLook& look = LookOf(kind);
    return look.widthPerKnot != 0 ? knots * look.widthPerKnot : look.width;
}

namespace detail {
constexpr bool RowsFollowTheKinds() {
    for (std::size_t i = 0; i < kCompassArrows.size(); ++i) {
        if (static_cast<std::size_t>(kCompassArrows[i].kind) != i) return false;
    }
    return true;
}
}  // namespace detail
static_assert(detail::RowsFollowTheKinds(), "kCompassArrows lists the kinds in their order");

}  // namespace corvel::app
