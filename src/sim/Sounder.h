// The depth sounder: a synthetic sea-bed sampled once per simulated second from three slow sine
// waves and scrolled through a 36-column profile whose column 17 lies under the boat. Depths in
// metres; the window model owns TimerSondeur, and app/instruments/DepthPictureModel draws the profile.
#pragma once

#include <array>
#include <cstdint>

#include "nav/Conversions.h"
#include "sim/SimulationState.h"

namespace corvel::sim {

// The sea-bed profile at program start, metres, newest first: the original's start profile to the
// bit (it was given in pixels at 5 per metre, and divided by 5 in 32 bits; hence 15.466001).
inline constexpr std::array<float, kDepthColumns> kStartDepthProfile = {
    8.372f,  10.194f, 11.936f,    13.746f,    15.466001f, 16.453999f, 16.746f,    17.147999f, 16.647999f,
    15.268f, 14.094f, 13.338f,    11.662001f, 10.8f,      10.516001f, 10.248f,    10.526f,    11.264f,
    12.458f, 13.536f, 14.325999f, 15.478f,    16.039999f, 15.797999f, 15.110001f, 13.828f,    12.524f,
    10.866f, 8.924f,  7.09f,      5.342f,     4.384f,     3.728f,     3.646f,     4.188f,     5.234f};

// Program start: DepthProfile := kStartDepthProfile, Depth := 0 and not yet sounded,
// WaterTemperature := 13, SounderPing := true.
void InitSounder(SimulationState& s);

// Sea-bed depth in metres for tick n with N ticks per second (angles in radians):
// 13 + 4 sin(n 0.06981/N + 0.6283) + 1.2 sin(n 0.069813/N 3 + 0.5796) + 0.8 sin(n 0.0698/N 5 + 0.2855),
// between about 7 and 19 m. N <= 0 is treated as time 0 (no division by zero).
nav::Real NewDepthSample(std::int64_t tickCount, int ticksPerSecond);

// The 32-bit depth of a sample, metres: the sample rounded to 32 bits at five times its value, then
// divided by 5 in 32 bits, as the original rounded its profile of pixels (5 per metre). Rounding
// the metres directly would move about a quarter of the depths by a unit in the last place.
float SoundingDepth(nav::Real metres);

// Shifts the profile one column to the right (entry 35 is lost, entry 0 keeps its value), then
// Depth := DepthProfile[17].
void MajProf(SimulationState& s);

// The Second tick's sounding: DepthProfile[0] := SoundingDepth(NewDepthSample(TickCount,
// TicksPerSecond)), SounderPing := true, then MajProf; Depth is then sounded. The caller starts
// TimerSondeur and repaints.
void TakeSounding(SimulationState& s);

}  // namespace corvel::sim
