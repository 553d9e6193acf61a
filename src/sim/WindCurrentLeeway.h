// Wind, current and leeway: the variation laws of the true wind, the vector sums that give the
// surface and apparent winds, the tack side, the leeway tables of the boat categories, the drift
// shown to the user and the alternating current's turn. Pure functions on SimulationState; the
// window model owns the timers and the displays and formats what these compute (the captions are in
// app/program/SimulationTexts).
#pragma once

#include "nav/Conversions.h"
#include "sim/SimulationState.h"

namespace corvel::sim {

using nav::Real;

inline constexpr int kLeewayCategories = 4;  // categories 0..3 have a table; 4 has none
inline constexpr int kLeewayRows = 181;      // one row per whole degree of wind angle, 0..180
inline constexpr int kWindClasses = 7;

// Vector sum of two polar vectors: mdl knots, argt degrees clockwise from north. The result's
// argt is in [0, 360); a zero sum points to 270 (the argument of a zero vector is -pi/2).
t_vect Sigma_vect(t_vect V1, t_vect V2);

// Wind class (Beaufort-like force) of a wind speed in knots: below 4 -> 1, [4, 7) -> 2,
// [7, 11) -> 3, [11, 17) -> 4, [17, 22) -> 5, [22, 29) -> 6, 29 or more -> 7. The last class has
// no upper bound: 34 knots and more (and infinity) are class 7, the last column of the leeway
// tables, and EdBFT shows 7. Negative speeds and NaN are class 1.
int WindClass(Real tws);

// Leeway table value, whole degrees (negative at wind angles 2 to 14, towards the other side):
// category 0..3, wind angle in degrees (row = Round(angle), clamped to 0..180), wind speed in
// knots (column = WindClass). Category 4 or any other category, and a non-finite angle, give 0
// (no leeway). The caller negates the value on starboard tack (see SetLeeway).
int LeewayOf(int category, Real angle, Real tws);

// Unsigned angle, degrees in [0, 180], between a direction and the heading (both degrees, any
// value: a heading below 0 or above 360, which the tick allows, is folded first).
float AngleOffHeading(Real direction, Real hdg);

// Angle between the heading and where the wind comes from, degrees in [0, 180].
float FindWindAngle(t_vect Wind, float hdg);

// TWA := FindWindAngle(TrueWind, HDG), in place.
void TrueWindAngle(SimulationState& s);

// True when `direction` lies in the half-circle that starts at `hdg` and runs clockwise to
// `reciprocal` (start included, end excluded), degrees. The three are first folded into
// [0, 360) (a heading of -10 is 350); then, with H > R, the direction is outside [R, H), and with
// H <= R it is inside [H, R).
bool InStarboardSector(Real hdg, Real reciprocal, Real direction);

// Tack side: runs TrueWindAngle, then tribord when TrueWind.argt lies in the starboard sector of
// (HDG, ReciprocalHDG) as they stand, babord otherwise.
t_amure F_amure(SimulationState& s);

// Leeway := LeewayOf(Category, angle, tws), negated when F_amure returns tribord. The angle is
// taken by value before F_amure recomputes TWA, so passing s.TWA looks up the previous TWA.
// Returns the new Leeway (degrees).
float SetLeeway(SimulationState& s, Real angle, Real tws);

// WaterTrack.argt := Wrap360(HDG + Leeway).
void MajRouteSurface(SimulationState& s);

// True wind speed variation factor at simulated time t (seconds):
// 1 + 0.4 sin(0.2094 t + 0.6283) + 0.07 sin(0.6282 t + 3.695) + 0.09 sin(1.047 t + 0.285),
// within about 0.44..1.56.
Real WindSpeedLaw(Real t);

// The two clamps of the true wind speed, in this order: speed / base > 1.4 -> 1.3 base; then
// base / speed > 2 -> 0.5 base. Knots. A zero base gives 0 (the clamps would divide by zero and
// mean nothing without a base); a zero speed on a non-zero base counts as an infinite ratio.
float ClampWindSpeed(float speed, float base);

// TrueWind.mdl := TWSBase, or TWSBase x WindSpeedLaw(t) when TWSVariable; then ClampWindSpeed.
// t in seconds (TickCount / TicksPerSecond).
void SetTrueWindSpeed(SimulationState& s, Real t);

// True wind direction, degrees: TWDBase, or when TWDVariable
// (TWDBase - 5) + 15 sin(0.069 t) + 6 sin(3 x 0.0698 t + 0.579) + 2 sin(5 x 0.06981 t + 0.285);
// stored as a float, then folded: a negative value gains 360 once; a value above 360 becomes
// Round(value) mod 360, a whole number of degrees. Sets TrueWind.argt.
void SetTrueWindDirection(SimulationState& s, Real t);

// The computing part of MajAW_SWA: (AWS, AWD) := Sigma_vect(WaterTrack, SurfaceWind);
// AWA := angle of AWD off HDG, 0..180; SWA := angle between the heading (WaterTrack.argt -
// Leeway) and SurfaceWind.argt, 0..180. The displays are the caller's.
void MajAW_SWA(SimulationState& s);

// The computing part of Affiche_derive: DriftAngle := angle of COG off HDG, 0..180;
// DriftStarboard := COG lies in the starboard sector of (HDG, ReciprocalHDG).
void Affiche_derive(SimulationState& s);

// Alternating current: one turn turns the current by 180 degrees in 13 steps.
inline constexpr int kCurrentTurnSteps = 13;
// Speed factor of step n (1..13): 0.0223 n^2 - 0.3124 n + 1.2996 (1.0095 at 1, 0.2055 at 7,
// 1.0071 at 13); a parabola, defined for any n.
Real AlternatingCurrentFactor(int n);
// One step with n = CurrentTurnStep (already advanced by the caller): Current.argt += 180 / 13,
// minus 360 when above 360; Current.mdl := AlternatingCurrentFactor(n) x CurrentAmplitude.
void AlternatingCurrentStep(SimulationState& s);

}  // namespace corvel::sim
