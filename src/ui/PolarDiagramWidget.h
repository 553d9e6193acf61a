// The polar diagram as a Qt widget: boat speed against true wind angle on a half-disc, one curve
// per wind-speed column in its own colour with its legend, the best upwind and downwind VMG angles
// marked on each curve, and the polar percentage in force. It paints what app/instruments/PolarDiagram says at
// its size and font; it keeps the curves it was given (not the table), so it may be used alone.
#pragma once

#include <QWidget>
#include <vector>

#include "app/instruments/PolarDiagram.h"
#include "sim/PolarTable.h"

namespace corvel::ui {

class PolarDiagramWidget : public QWidget {
public:
    explicit PolarDiagramWidget(QWidget* parent = nullptr);

    // The curves of `table` with `percent` applied, drawn at the next repaint.
    void SetPolar(const sim::PolarTable& table, int percent);
    const std::vector<app::PolarCurve>& Curves() const { return curves_; }
    int Percent() const { return percent_; }
    // The geometry at the widget's size and font.
    app::PolarDiagramDrawing Drawing() const;
    // The whole diagram at the widget's size.
    void Render(QPainter& painter) const;

    QSize sizeHint() const override { return {560, 600}; }
    QSize minimumSizeHint() const override { return {360, 380}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<app::PolarCurve> curves_;
    int percent_ = 100;
};

}  // namespace corvel::ui
