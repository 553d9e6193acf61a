// The sounder's picture (ImageProf) of the main window: the sea-bed profile drawn as columns of
// the 175 x 129 picture at 5 pixels per metre, the depth and temperature texts and the ping line,
// in pixels and colours. The sounder (sim/Sounder) gives the profile in metres; the window model
// owns TimerSondeur, and the view paints what SounderPicture describes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "sim/SimulationState.h"

namespace corvel::app {

inline constexpr float kPixelsPerMetre = 5;
inline constexpr int kSounderWidth = 175;
inline constexpr int kSounderHeight = 129;
inline constexpr int kSounderColumnWidth = 5;
inline constexpr int kSounderDrawnColumns = sim::kDepthColumns - 1;  // the 36th entry is not drawn

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
    std::string depthText;                                  // DepthText(Depth), box at (10, 8)
    std::string temperatureText;                            // TemperatureText(WaterTemperature), box at (130, 8)
    float depthTextX = 10, depthTextY = 8;
    float temperatureTextX = 130, temperatureTextY = 8;
    bool ping = false;  // draw the ping line
    float pingX = kSounderWidth / 2.0f, pingTop = 0, pingBottom = 0;
};

// What ImageProfPaint draws: column i has left 5 i, top 5 DepthProfile[i] (metres to pixels),
// width 5 and height 129 - top (0 when the top lies below the picture); the ping line runs from
// (87.5, 0) down to the sea bed under the boat, 5 DepthProfile[17], when SounderPing.
SounderPicture ImageProfData(const sim::SimulationState& s);

}  // namespace corvel::app
