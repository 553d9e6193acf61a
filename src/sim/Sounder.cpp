// The depth sounder; see Sounder.h.
#include "sim/Sounder.h"

#include <cmath>

#include "nav/Conversions.h"

namespace corvel::sim {

void InitSounder(SimulationState& s) {
    s.DepthProfile = kStartDepthProfile;
    s.Depth = 0;
    s.DepthSounded = false;
    s.WaterTemperature = 13.0f;
    s.SounderPing = true;
}

nav::Real NewDepthSample(std::int64_t tickCount, int ticksPerSecond) {
    const nav::Real n = ticksPerSecond > 0 ? static_cast<nav::Real>(tickCount) : 0;
    const nav::Real N = ticksPerSecond > 0 ? ticksPerSecond : 1;
    return 13 + 4 * nav::Sine(n * 0.06981L / N + 0.6283L) + 1.2L * nav::Sine(n * 0.069813L / N * 3 + 0.5796L) +
           0.8L * nav::Sine(n * 0.0698L / N * 5 + 0.2855L);
}

float SoundingDepth(nav::Real metres) {
    constexpr float kFifths = 5;
    return static_cast<float>(metres * kFifths) / kFifths;  // the stored depth is a 32-bit float
}

void MajProf(SimulationState& s) {
    for (int i = kDepthColumns - 2; i >= 0; --i) s.DepthProfile[i + 1] = s.DepthProfile[i];
    s.Depth = s.DepthProfile[kBoatColumn];
}

void TakeSounding(SimulationState& s) {
    s.DepthProfile[0] = SoundingDepth(NewDepthSample(s.TickCount, s.TicksPerSecond));
    s.SounderPing = true;
    MajProf(s);
    s.DepthSounded = true;
}

}  // namespace corvel::sim
