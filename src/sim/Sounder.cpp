// The depth sounder; see Sounder.h.
#include "sim/Sounder.h"

#include <cmath>

#include "nav/Conversions.h"

namespace corvel::sim {

void InitSounder(SimulationState& s) {
    s.DepthProfile = kStartDepthProfile;
    s.Depth = 0;
    s.WaterTemperature = 13.0f;
    s.SounderPing = true;
}

nav::Real NewDepthSample(std::int64_t tickCount, int ticksPerSecond) {
    const nav::Real n = ticksPerSecond > 0 ? static_cast<nav::Real>(tickCount) : 0;
    const nav::Real N = ticksPerSecond > 0 ? ticksPerSecond : 1;
    return 13 + 4 * nav::Sine(n * 0.06981L / N + 0.6283L) + 1.2L * nav::Sine(n * 0.069813L / N * 3 + 0.5796L) +
           0.8L * nav::Sine(n * 0.0698L / N * 5 + 0.2855L);
}

void MajProf(SimulationState& s) {
    for (int i = kDepthColumns - 2; i >= 0; --i) s.DepthProfile[i + 1] = s.DepthProfile[i];
    s.Depth = s.DepthProfile[kBoatColumn] / kPixelsPerMetre;
}

void TakeSounding(SimulationState& s) {
    // Stored as a 32-bit pixel value.
    s.DepthProfile[0] = static_cast<float>(NewDepthSample(s.TickCount, s.TicksPerSecond) * kPixelsPerMetre);
    s.SounderPing = true;
    MajProf(s);
}

SounderPicture ImageProfData(const SimulationState& s) {
    SounderPicture p;
    for (int i = 0; i < kSounderDrawnColumns; ++i) {
        const float top = s.DepthProfile[i];
        const float height = kSounderHeight - top;
        p.columns[i] = {static_cast<float>(kSounderColumnWidth * i), top, static_cast<float>(kSounderColumnWidth),
                        height > 0 ? height : 0};
    }
    p.depthText = nav::FormatFixed(s.Depth, 4, 1) + " m";
    p.temperatureText = nav::FormatFixed(s.WaterTemperature, 3, 1) + " °C";
    p.ping = s.SounderPing;
    p.pingBottom = s.DepthProfile[kBoatColumn];
    return p;
}

}  // namespace corvel::sim
