// The manoeuvres and the pilot without their timers: the best upwind angle of a polar, the turn
// step, the speed model of a tack through the wind, the step of a gybe, the tests that end a
// luffing, a tack, a gybe and a pilot turn, the tiller, and the images of the two mode glyphs.
// The main-window model owns the timers, the captions and the order of the steps. Angles in
// degrees, speeds in knots.
#pragma once

#include <array>
#include <functional>

#include "nav/Conversions.h"
#include "sim/SimulationState.h"

namespace corvel::sim {

using nav::Real;

inline constexpr float kCloseHauledTolerance = 0.3f;  // SWA this close to the best angle is close-hauled
inline constexpr float kApproachThreshold = 3.0f;     // the luffing caption turns to "en approche...."
inline constexpr float kTackEndWindow = 0.5f;         // a tack or gybe ends this close to its start angle
inline constexpr Real kHeadToWindFactor = 0.3377L;    // TackMinSpeed = factor x BestUpwindSpeed
inline constexpr int kGybeSteps = 65;                 // TurnStep of a gybe = (360 - 2 SWA) / 65
inline constexpr int kGybeTimedSteps = 63;            // then the rest in quarter steps, in the 64th tick
inline constexpr int kScanAngles = 151;               // best upwind angle: 151 angles 1/3 degree apart
inline constexpr float kLuffingStep = 1.0f;           // TurnStep of a luffing and of a tack
inline constexpr float kFineStepRatio = 100;          // FineStep = TurnStep / 100
inline constexpr int kBearAwayFineSteps = 40;         // bearing away to the best angle: 40 fine steps
inline constexpr float kPilotTurnStep = 0.5f;         // autopilot heading change, per 50 ms
inline constexpr int kTillerCentre = 15;              // TrackBarre 0..30, 15 = centred
inline constexpr int kTillerMax = 30;

// Bounds of the turns, so that none runs for ever whatever the wind, the leeway and the start
// angle (a leeway that changes by a whole degree can carry the heading over an end window).
// Luffing steps of one luffing (the longest real one turns a full circle at 1 degree a step, then
// about a hundred fine steps).
inline constexpr int kMaxLuffingSteps = 1000;
// Ticks of the tack proper (a real one needs about 2 x the start angle).
inline constexpr int kMaxTackTicks = 1000;
// Quarter steps of the gybe's final loop, all inside one tick (a real one needs about 8).
inline constexpr int kMaxGybeFinalSteps = 200;
// Steps of one pilot turn: two full circles (a change summing to 0 turns one full circle).
inline constexpr int kMaxPilotTurnSteps = static_cast<int>(2 * 360 / kPilotTurnStep);

// The manoeuvre and pilot fields of the main window.
struct ManoeuvreData {
    std::array<float, kScanAngles> VmgScan{};  // upwind VMG at PolarMinAngle + i/3
    float BestUpwindSpeed = 0;                 // boat speed at BestUpwindAngle
    float BestUpwindVMG = 0;                   // cos(BestUpwindAngle) x BestUpwindSpeed
    float TackMinSpeed = 0;                    // boat speed head to wind during a tack
    float MinAngleSpeed = 0;                   // BoatSpeed(PolarMinAngle) when VIRER was pressed
    float TurnStep = 0;                        // degrees of one turn step
    float FineStep = 0;                        // TurnStep / 100 at the start of a luffing
    bool TurnToStarboard = false;              // a turn step adds TurnStep to HDG
    bool BearingAway = false;                  // the luffing has turned away from the wind
    int TackTicks = 0;
    int GybeTicks = 0;
    float ManoeuvreStartAngle = 0;  // SWA when VIRER or EMPANNER was pressed
    int TackHeadToWindTick = 0;     // Round(ManoeuvreStartAngle)
    int TackNoGoTick = 0;           // Round(ManoeuvreStartAngle - PolarMinAngle)
    // Autopilot.
    float PendingHeadingChange = 0;  // requested since the last completed turn; > 0 to starboard
    float HeadingChangeStart = 0;    // HDG when the pilot turn started
};

// One turn step (vire50msec, vire1sec): HDG := HDG +- step (+ when toStarboard), wrapped once into
// 0..360; WaterTrack.argt := HDG + Leeway, wrapped once. Nothing else is recomputed.
void TurnHeading(SimulationState& s, float step, bool toStarboard);

// The boat speed of the polar, knots, for a wind angle and a wind speed.
using BoatSpeedFunction = std::function<float(float angle, float windSpeed)>;

// Velocity made good towards the wind, knots: cos(angle) x speed, angle in degrees (the cosine
// in 64 bits: the result is stored as a 32-bit value).
float UpwindVMG(float angle, float speed);

struct UpwindBest {
    float speed = 0;  // knots
    float angle = 0;  // degrees
};

// Best upwind angle (SpMaxWndWrd): VmgScan[i] := cos(a) x speed(a, wsref) for the 151 angles a from
// PolarMinAngle in steps of 1/3 degree (a accumulated in single precision); the angle of the
// largest value, the first (smallest angle) on a tie. A best angle more than 50 degrees above
// PolarMinAngle cannot be found: a VMG still growing there gives PolarMinAngle + 50.
UpwindBest SpMaxWndWrd(std::array<float, kScanAngles>& VmgScan, float PolarMinAngle, float wsref,
                       const BoatSpeedFunction& speed);

// The speed factors of a tack, extended precision, constants as written:
// before head to wind, p(x) = -0.00001 x^3 + 0.0016 x^2 - 0.0733 x + 1.0749 (1.0032 at 1, its
// least value 0.039 near 33, negative beyond about 94);
// after head to wind, q(y) = 0.00002 y^3 - 0.00007 y^2 + 0.0019 y + 0.9966 (increasing, 0.9966 at 0).
Real TackApproachFactor(Real x);
Real TackRecoveryFactor(Real y);
// TackMinSpeed + p(x) x (MinAngleSpeed - TackMinSpeed), and q(y) x TackMinSpeed, knots. A boat
// does not sail backwards through a tack: a negative result (p beyond its root, on a polar whose
// first angle lies far off the wind) is 0.
float TackApproachSpeed(float tackMinSpeed, float minAngleSpeed, Real x);
float TackRecoverySpeed(float tackMinSpeed, Real y);

// TurnStep of a gybe: (360 - 2 x swa) / 65, degrees.
float GybeTurnStep(float swa);

// True when the surface wind (the wind of SWA) comes from the starboard side of the heading: the
// side the boat turns to in order to luff, and the one it leaves to gybe. The heading may stray
// below 0 or above 360.
bool SurfaceWindFromStarboard(const SimulationState& s);

// What a luffing tick does with d = swa - best: d > 0.3 luff one more step; otherwise a tack
// hands over to the tack proper; |d| <= 0.3 the boat has arrived; d < -0.3 it bears away.
enum class LuffingMove { Luff, HandOverToTack, Arrive, BearAway };
LuffingMove NextLuffingMove(float swa, float best, bool tacking);

// True when one step took the gap swa - best from one side of the close-hauled window to the other
// without landing in it.
bool JumpedOverWindow(float previousGap, float gap);

// The tack proper ends on the new tack once SWA is within 0.5 degree of the start angle or has
// passed it (a step of a whole degree, checked every other step, can jump the window).
bool TackComplete(float swa, float startAngle, bool onNewTack);
// The gybe's final loop ends within 0.5 degree of the start angle, or once the boat, on the new
// side, has passed it (a quarter step may be wider than the window).
bool GybeComplete(float swa, float startAngle, bool onNewTack);

// Target of a pilot turn: start + change, brought once into 0..360 (360 or more loses 360, a
// negative value gains 360).
float PilotTarget(float start, float change);
// A pilot turn ends when the heading is less than a step from its target, both taken modulo 360
// (a heading held below 0 or above 360 by the leeway still meets its target).
bool PilotTurnComplete(float hdg, float target, float step);

// The helm once per second: HDG := HDG - (tiller - 15), less 360 above 360; WaterTrack.argt :=
// HDG + Leeway (the tick wraps it).
void ApplyTiller(SimulationState& s, int tiller);

// Images of the mode glyphs (0 active, 1 passive, 2 greyed; kGlyphUnchanged leaves it).
inline constexpr int kGlyphUnchanged = -1;
enum class PilotSituation { Auto, Standby, PausedAuto, PausedStandby, ResumedAuto, ResumedStandby };
struct PilotGlyphImages {
    PilotSituation situation;
    int autoImage;     // Glyph_AUTO
    int standbyImage;  // Glyph_STDBY
};
inline constexpr std::array<PilotGlyphImages, 6> kPilotGlyphs = {{
    {PilotSituation::Auto, 0, 1},
    {PilotSituation::Standby, 1, 0},
    {PilotSituation::PausedAuto, 2, kGlyphUnchanged},
    {PilotSituation::PausedStandby, kGlyphUnchanged, 2},
    {PilotSituation::ResumedAuto, 0, kGlyphUnchanged},
    {PilotSituation::ResumedStandby, kGlyphUnchanged, 0},
}};
const PilotGlyphImages& GlyphsFor(PilotSituation situation);

}  // namespace corvel::sim
