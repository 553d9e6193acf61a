// The manoeuvres and the pilot without their timers; see Manoeuvres.h.
#include "sim/Manoeuvres.h"

#include <algorithm>
#include <cmath>

#include "sim/WindCurrentLeeway.h"

namespace corvel::sim {

namespace {

float Wrapped(Real degrees) { return static_cast<float>(nav::Wrap360(degrees)); }

}  // namespace

void TurnHeading(SimulationState& s, float step, bool toStarboard) {
    s.HDG = Wrapped(toStarboard ? static_cast<Real>(s.HDG) + step : static_cast<Real>(s.HDG) - step);
    s.WaterTrack.argt = Wrapped(static_cast<Real>(s.HDG) + s.Leeway);
}

float UpwindVMG(float angle, float speed) {
    return static_cast<float>(std::cos(static_cast<double>(angle) * static_cast<double>(nav::Pi) / 180) * speed);
}

UpwindBest SpMaxWndWrd(std::array<float, kScanAngles>& VmgScan, float PolarMinAngle, float wsref,
                       const BoatSpeedFunction& speed) {
    constexpr Real kThird = 1.0L / 3;
    float a = PolarMinAngle;  // accumulated in single precision
    for (float& vmg : VmgScan) {
        vmg = UpwindVMG(a, speed(a, wsref));
        a = static_cast<float>(a + kThird);
    }
    float best = VmgScan[0];
    float angle = PolarMinAngle;
    for (int i = 1; i < kScanAngles; ++i) {
        if (VmgScan[static_cast<size_t>(i)] > best) {
            best = VmgScan[static_cast<size_t>(i)];
            angle = static_cast<float>(i * kThird + PolarMinAngle);
        }
    }
    return {speed(angle, wsref), angle};
}

Real TackApproachFactor(Real x) { return -0.00001L * x * x * x + 0.0016L * x * x - 0.0733L * x + 1.0749L; }

Real TackRecoveryFactor(Real y) { return 0.00002L * y * y * y - 0.00007L * y * y + 0.0019L * y + 0.9966L; }

float TackApproachSpeed(float tackMinSpeed, float minAngleSpeed, Real x) {
    const Real v = tackMinSpeed + TackApproachFactor(x) * (static_cast<Real>(minAngleSpeed) - tackMinSpeed);
    return static_cast<float>(std::max<Real>(v, 0));
}

float TackRecoverySpeed(float tackMinSpeed, Real y) {
    return static_cast<float>(std::max<Real>(TackRecoveryFactor(y) * tackMinSpeed, 0));
}

float GybeTurnStep(float swa) { return static_cast<float>((360 - 2 * static_cast<Real>(swa)) / kGybeSteps); }

bool SurfaceWindFromStarboard(const SimulationState& s) {
    return InStarboardSector(s.HDG, static_cast<Real>(s.HDG) - 180, s.SurfaceWind.argt);
}

LuffingMove NextLuffingMove(float swa, float best, bool tacking) {
    const float d = swa - best;
    if (d > kCloseHauledTolerance) return LuffingMove::Luff;
    if (tacking) return LuffingMove::HandOverToTack;
    if (std::fabs(d) <= kCloseHauledTolerance) return LuffingMove::Arrive;
    return LuffingMove::BearAway;
}

bool JumpedOverWindow(float previousGap, float gap) {
    return (previousGap < -kCloseHauledTolerance && gap > kCloseHauledTolerance) ||
           (previousGap > kCloseHauledTolerance && gap < -kCloseHauledTolerance);
}

bool TackComplete(float swa, float startAngle, bool onNewTack) {
    return onNewTack && (std::fabs(startAngle - swa) <= kTackEndWindow || swa > startAngle);
}

bool GybeComplete(float swa, float startAngle, bool onNewTack) {
    return std::fabs(startAngle - swa) <= kTackEndWindow || (onNewTack && swa < startAngle);
}

float PilotTarget(float start, float change) {
    float target = start + change;
    if (target >= 360) target -= 360;
    if (target < 0) target += 360;
    return target;
}

bool PilotTurnComplete(float hdg, float target, float step) { return AngleOffHeading(hdg, target) < step; }

void ApplyTiller(SimulationState& s, int tiller) {
    s.HDG -= static_cast<float>(tiller - kTillerCentre);
    if (s.HDG > 360) s.HDG -= 360;
    s.WaterTrack.argt = s.HDG + s.Leeway;
}

const PilotGlyphImages& GlyphsFor(PilotSituation situation) {
    return *std::find_if(kPilotGlyphs.begin(), kPilotGlyphs.end(),
                         [situation](const PilotGlyphImages& g) { return g.situation == situation; });
}

}  // namespace corvel::sim
