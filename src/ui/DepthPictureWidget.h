// The sounder's picture (ImageProf, 175 x 129) as a Qt widget: the water, the sea-bed columns, the
// depth and temperature texts in yellow and the dashed ping line, as app::ImageProfData describes
// them, with the boat's silhouette (ImageVoilierProf) drawn above the picture by the window. It
// repaints when told that the sounder changed.
#pragma once

#include <QWidget>

#include "app/DepthPictureModel.h"
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

// The small sailing boat seen from the side that sits above the sounder's picture (drawn in code:
// the program's own artwork).
void PaintBoatFromSide(QPainter& painter, const QRectF& box);

}  // namespace corvel::ui
