// The sounder's picture; see DepthPictureModel.h.
#include "app/instruments/DepthPictureModel.h"

#include "app/program/SimulationTexts.h"

namespace corvel::app {

SounderPicture ImageProfData(const sim::SimulationState& s) {
    SounderPicture p;
    for (int i = 0; i < kSounderDrawnColumns; ++i) {
        const float top = s.DepthProfile[i] * kPixelsPerMetre;
        const float height = kSounderHeight - top;
        p.columns[i] = {static_cast<float>(kSounderColumnWidth * i), top, static_cast<float>(kSounderColumnWidth),
                        height > 0 ? height : 0};
    }
    p.depthText = DepthText(s.Depth);
    p.temperatureText = TemperatureText(s.WaterTemperature);
    p.ping = s.SounderPing;
    p.pingBottom = s.DepthProfile[sim::kBoatColumn] * kPixelsPerMetre;
    return p;
}

}  // namespace corvel::app
