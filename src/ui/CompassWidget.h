// The compass instrument (TFMXCompass) as a Qt widget: it paints what the model's geometry
// (app/instruments/CompassGeometry) says, in the model's pixels scaled to the widget's size (the window's
// zoom), antialiased, transparent outside the dial. The dial, its ticks and
// labels change only with the size, the screen's pixel ratio, the graduations and the label font,
// and the speed rings only with the scale: they are drawn once into a pixmap and copied at each
// frame; the arrows are drawn each frame. The widget repaints when told that its model changed (ModelChanged), never on
// its own.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <vector>

#include "app/instruments/CompassGeometry.h"
#include "app/instruments/CompassModel.h"

namespace corvel::ui {

class CompassWidget : public QWidget {
public:
    explicit CompassWidget(const app::TFMXCompass& model, QWidget* parent = nullptr);

    // The model changed: one repaint is scheduled, of the areas each arrow that moved covered and
    // now covers (the whole widget when the dial or the rings must be drawn again).
    void ModelChanged();
    // One whole frame at the widget's size; without the cache the dial is drawn again (for the
    // benchmark and the pictures).
    void Render(QPainter& painter, bool cachedDial = true);
    // How many times the dial and rings were drawn into their pixmap.
    int DialBuilds() const { return dialBuilds_; }

    // The label font of the model's TextSettings, and its "000".
    QFont LabelFont() const;
    app::ZerosSize Zeros() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct DialKey {
        QSize size;
        qreal ratio = 0;
        float major = 0, minor = 0;
        int majorLength = 0, minorLength = 0;
        bool showMajor = false, showMinor = false;
        QFont font;  // the widget's: the ring labels' font and the base of the labels'
        app::TFMXCompass::LabelFont labelFont;
        float scale = 0;
        bool slowRings = false;
        app::PointF ringCentre;
        bool operator==(const DialKey&) const = default;
    };
    DialKey KeyNow() const;
    void PaintDial(QPainter& painter, const app::ZerosSize& zeros) const;
    void PaintRings(QPainter& painter, const app::ZerosSize& zeros) const;
    void PaintArrows(QPainter& painter) const;

    const app::TFMXCompass& model_;
    std::vector<app::ArrowDrawing> arrowsDrawn_;  // the arrows at the last repaint asked for
    QPixmap dial_;
    DialKey dialKey_;
    int dialBuilds_ = 0;
};

// The boat seen from above (ImageBatDYN, 37 x 37): laid over the compass's centre by the main
// window, turned to the heading. It shows the picture it is given (the program's
// iconbatTRANS.png), else PaintBoatFromAbove.
class BoatPicture : public QWidget {
public:
    explicit BoatPicture(QWidget* parent = nullptr);
    void SetHeading(float degrees);
    void SetPicture(const QPixmap& picture);
    static constexpr int kSide = 37;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    float heading_ = 0;
    QPixmap picture_;
};

// One arrow as the compass paints it: its line in its colour, width and dash style, its head
// outlined solid and filled (the legend's samples are painted by it too).
void PaintArrow(QPainter& painter, const app::ArrowDrawing& arrow);

// The boat from above, pointing up, in `box` (drawn in code: the program's own artwork).
void PaintBoatFromAbove(QPainter& painter, const QRectF& box);

}  // namespace corvel::ui
