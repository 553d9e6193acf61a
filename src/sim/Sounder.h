// The depth sounder: a synthetic sea-bed sampled once per simulated second from three slow sine
// waves, scrolled through a 36-column profile whose column 17 lies under the boat, and the data
// of the small picture that draws it (columns, depth and temperature texts, ping line). The
// window model owns TimerSondeur and paints what SounderPicture describes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "nav/Conversions.h"
#include "sim/SimulationState.h"

namespace corvel::sim {

inline constexpr float kPixelsPerMetre = 5;

// The sea-bed profile at program start, pixels below the top of the picture, newest first.
inline constexpr std::array<float, kDepthColumns> kStartDepthProfile = {
    41.86f, 50.97f, 59.68f, 68.73f, 77.33f, 82.27f, 83.73f, 85.74f, 83.24f, 76.34f, 70.47f, 66.69f,
    58.31f, 54.0f,  52.58f, 51.24f, 52.63f, 56.32f, 62.29f, 67.68f, 71.63f, 77.39f, 80.2f,  78.99f,
    75.55f, 69.14f, 62.62f, 54.33f, 44.62f, 35.45f, 26.71f, 21.92f, 18.64f, 18.23f, 20.94f, 26.17f};

// Program start: DepthProfile := kStartDepthProfile, Depth := 0, WaterTemperature := 13,
// SounderPing := true.
void InitSounder(SimulationState& s);

// Sea-bed depth in metres for tick n with N ticks per second (angles in radians):
// 13 + 4 sin(n 0.06981/N + 0.6283) + 1.2 sin(n 0.069813/N 3 + 0.5796) + 0.8 sin(n 0.0698/N 5 + 0.2855),
// between about 7 and 19 m. N <= 0 is treated as time 0 (no division by zero).
nav::Real NewDepthSample(std::int64_t tickCount, int ticksPerSecond);

// Shifts the profile one column to the right (entry 35 is lost, entry 0 keeps its value), then
// Depth := DepthProfile[17] / 5.
void MajProf(SimulationState& s);

// The Second tick's sounding: DepthProfile[0] := 5 x NewDepthSample(TickCount, TicksPerSecond),
// SounderPing := true, then MajProf. The caller starts TimerSondeur and repaints.
void TakeSounding(SimulationState& s);

// ---- The picture ImageProf -------------------------------------------------------------------

inline constexpr int kSounderWidth = 175;
inline constexpr int kSounderHeight = 129;
inline constexpr int kSounderColumnWidth = 5;
inline constexpr int kSounderDrawnColumns = kDepthColumns - 1;  // the 36th entry is not drawn

// Colours, ARGB.
inline constexpr std::uint32_t kSounderWaterColour = 0xFF0000FF;  // background
inline constexpr std::uint32_t kSounderBedColour = 0xFF808000;    // olive columns
inline constexpr std::uint32_t kSounderTextColour = 0xFFFFFF00;   // yellow texts
inline constexpr std::uint32_t kSounderPingColour = 0xFFFFFFFF;   // dashed line, 1 px
inline constexpr float kSounderPingOpacity = 0.5f;

struct SounderRect {
    float left = 0, top = 0, width = 0, height = 0;  // pixels
};

struct SounderPicture {
    std::array<SounderRect, kSounderDrawnColumns> columns;  // sea-bed, left to right
    std::string depthText;                                  // FormatFixed(Depth, 4, 1) + " m", box at (10, 8)
    std::string temperatureText;  // FormatFixed(WaterTemperature, 3, 1) + " °C", box at (130, 8)
    float depthTextX = 10, depthTextY = 8;
    float temperatureTextX = 130, temperatureTextY = 8;
    bool ping = false;  // draw the ping line
    float pingX = kSounderWidth / 2.0f, pingTop = 0, pingBottom = 0;
};

// What ImageProfPaint draws: column i has left 5 i, top DepthProfile[i], width 5 and height
// 129 - top (0 when the top lies below the picture); the ping line runs from (87.5, 0) to
// (87.5, DepthProfile[17]) when SounderPing.
SounderPicture ImageProfData(const SimulationState& s);

}  // namespace corvel::sim
