// The one record of the boat at this instant: winds, current, heading, speeds, angles, position,
// tick count, manoeuvre and pilot flags, the waypoint values, the sea-bed profile. Owned by the
// engine (sim::Simulator::S) and written only by it: the tick, the manoeuvres, the pilot and its
// commands (a configuration's values with Configure); read by the sentence builders, the displays
// and the configuration writer. Values are 32-bit floats, as the
// simulated behaviour depends on their rounding; angles in degrees, speeds in knots, distances
// in nautical miles, depths in metres.
#pragma once

#include <array>
#include <cstdint>

#include "nav/SpherePositions.h"

namespace corvel::sim {

using nav::TPos_elem;

// A polar vector. Winds give the direction they blow from; current and boat motion the direction
// they move towards, so every combination is a plain vector sum.
struct t_vect {
    float mdl = 0;   // magnitude, knots
    float argt = 0;  // direction, degrees 0..360 clockwise from true north
};

// The tack side: wind from the port side (babord) or the starboard side (tribord).
enum class t_amure { babord = 0, tribord = 1 };

inline constexpr int kDepthColumns = 36;
// OriginBearing before it is taken: the next waypoint update takes the bearing then.
inline constexpr float kOriginBearingToTake = 65535;
inline constexpr int kBoatColumn = 17;  // the profile column under the boat

// The best upwind angle before it is computed for the polar in use: far beyond any angle, so that
// no heading is ever taken as close-hauled by it.
inline constexpr float kBestUpwindAngleUnknown = 100000;

struct SimulationState {
    t_vect TrueWind;    // this tick's true wind: mdl = TWS, argt = TWD
    float TWSBase = 0;  // entered by the user
    float TWDBase = 0;
    t_vect Current;      // mdl 0 = no current
    t_vect SurfaceWind;  // TrueWind + Current
    t_vect WaterTrack;   // mdl = BSP, argt = HDG + Leeway
    float HDG = 0;
    float HDM = 0;
    float MagVar = 0;  // East positive
    char MagVarSide = 'E';
    float ReciprocalHDG = 0;
    float Leeway = 0;  // signed: negative on starboard tack
    float HeadingSwing = 0;
    float TWA = 0, SWA = 0;
    float AWS = 0, AWD = 0, AWA = 0, AWA360 = 0;
    float SOG = 0, COG = 0;
    float DriftAngle = 0;
    bool DriftStarboard = false;  // the drift label reads "° TRIBORD"
    float VMGWind = 0;
    TPos_elem Position, PreviousPosition;  // longitude in (0, 360]
    float LongitudeSigned = 0;             // Position.long_ folded to -180..180
    float StepDistance = 0;
    std::int64_t TickCount = 0;  // never reset by a new start
    int TicksPerSecond = 20;
    int PolarPercent = 100;
    float BestUpwindAngle = kBestUpwindAngleUnknown;
    bool CloseHauled = false;
    bool TWSVariable = false, TWDVariable = false, HDGVariable = false;
    bool Tacking = false, Gybing = false, BestHaulRunning = false;
    bool Standby = false;
    bool Paused = false;
    bool Halted = true;
    float ScaleSpeed = 0;  // the fastest of true wind, apparent wind and boat speed: the compass's scale
    std::array<float, kDepthColumns> DepthProfile{};  // sea-bed depths, metres; [0] newest
    float Depth = 0;                                  // DepthProfile[17], metres
    bool DepthSounded = false;                        // a sounding has given Depth its first value
    float WaterTemperature = 13.0f;                   // constant
    bool SounderPing = true;
    float SurfaceOffset = 0, KeelOffset = 0;

    // Alternating current.
    int CurrentTurnStep = 0;
    float CurrentAmplitude = 0;

    // Waypoint.
    TPos_elem Waypoint;  // longitude in (0, 360]
    bool WaypointDefined = false;
    float DTW = 0, BTW = 0, RhumbDistance = 0, WCV = 0;
    float ETEHours = 0;  // H.MMSS
    float OriginBearing = kOriginBearingToTake;

    // Boat category 0..4 (4: to be determined, no leeway table).
    int Category = 4;

    // True when no manoeuvre runs and the boat is not steered by hand.
    bool NoManoeuvre() const { return !Standby && !Tacking && !Gybing && !BestHaulRunning; }
    bool IsSecondTick() const;
    // Simulated time in seconds: TickCount / TicksPerSecond.
    double SimulatedSeconds() const { return static_cast<double>(TickCount) / TicksPerSecond; }
};

}  // namespace corvel::sim
