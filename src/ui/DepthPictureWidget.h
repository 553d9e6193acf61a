// The sounder's picture (ImageProf, 175 x 129) as a Qt widget: the water, the sea-bed columns, the
// depth and temperature texts in yellow and the dashed ping line, as app::ImageProfData describes
// them. The window places the boat's silhouette (ImageVoilierProf, BoatSilhouette below) above
// it. It repaints when told that the sounder changed. Both paint in their 175-pixel coordinates,
// scaled to their size (the window's zoom).
#pragma once

#include <QWidget>

#include "app/instruments/DepthPictureModel.h"
#include "sim/SimulationState.h"

namespace corvel::ui {

class DepthPictureWidget : public QWidget {
public:
    explicit DepthPictureWidget(const sim::SimulationState& state, QWidget* parent = nullptr);
    void ModelChanged() { update(); }
    void Render(QPainter& painter) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const sim::SimulationState& state_;
};

// The small sailing boat seen from the side that sits just above the sounder's picture
// (ImageVoilierProf): as wide as the picture, the boat over its middle, where the ping line is.
class BoatSilhouette : public QWidget {
public:
    explicit BoatSilhouette(QWidget* parent = nullptr);
    static constexpr int kHeight = 60;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The boat from the side, bow to the right, in `box` (drawn in code: the program's own artwork).
void PaintBoatFromSide(QPainter& painter, const QRectF& box);

}  // namespace corvel::ui
