// The sounder's picture widget; see DepthPictureWidget.h.
#include "ui/DepthPictureWidget.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include "nav/Conversions.h"
#include "ui/CanvasZoom.h"

namespace corvel::ui {

DepthPictureWidget::DepthPictureWidget(const sim::SimulationState& state, QWidget* parent)
    : QWidget(parent), state_(state) {
    setFixedSize(app::kSounderWidth, app::kSounderHeight);
    PaintsAtNormalSize(this, size());
}

void DepthPictureWidget::Render(QPainter& p) const {
    const app::SounderPicture d = app::ImageProfData(state_);
    p.fillRect(QRectF(0, 0, app::kSounderWidth, app::kSounderHeight), QColor::fromRgba(app::kSounderWaterColour));
    for (const app::SounderRect& c : d.columns) {
        p.fillRect(QRectF(c.left, c.top, c.width, c.height), QColor::fromRgba(app::kSounderBedColour));
    }
    // Each text centred in a box of twice the width of "000" by its height less 5 pixels, in a
    // small font so that the temperature fits the picture.
    QFont small = p.font();
    small.setPixelSize(11);
    p.setFont(small);
    const QFontMetricsF m(small);
    const qreal boxWidth = static_cast<qreal>(nav::Round(2 * m.horizontalAdvance(QStringLiteral("000"))));
    const qreal boxHeight = static_cast<qreal>(nav::Round(m.height())) - 5;
    p.setPen(QColor::fromRgba(app::kSounderTextColour));
    p.drawText(QRectF(d.depthTextX, d.depthTextY, boxWidth, boxHeight), Qt::AlignCenter | Qt::TextDontClip,
               QString::fromStdString(d.depthText));
    p.drawText(QRectF(d.temperatureTextX, d.temperatureTextY, boxWidth, boxHeight), Qt::AlignCenter | Qt::TextDontClip,
               QString::fromStdString(d.temperatureText));
    if (d.ping) {
        p.setOpacity(app::kSounderPingOpacity);
        p.setPen(QPen(QColor::fromRgba(app::kSounderPingColour), 1, Qt::DashLine));
        p.drawLine(QPointF(d.pingX, d.pingTop), QPointF(d.pingX, d.pingBottom));
        p.setOpacity(1);
    }
}

void DepthPictureWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setTransform(NormalSizeTransform(*this));  // the window's zoom
    Render(p);
}

BoatSilhouette::BoatSilhouette(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(app::kSounderWidth, kHeight);
    PaintsAtNormalSize(this, size());
}

void BoatSilhouette::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setTransform(NormalSizeTransform(*this));  // the window's zoom
    // Over the middle of the picture, where the ping line falls: the sounder is under the boat.
    constexpr qreal kBoatLength = 80;
    PaintBoatFromSide(p, QRectF((app::kSounderWidth - kBoatLength) / 2, 0, kBoatLength, kHeight));
}

void PaintBoatFromSide(QPainter& p, const QRectF& box) {
    const qreal w = box.width(), h = box.height();
    const qreal x = box.left(), y = box.top();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath hull;  // a low hull, bow to the right
    hull.moveTo(x + w * 0.05, y + h * 0.72);
    hull.lineTo(x + w * 0.95, y + h * 0.72);
    hull.cubicTo(x + w * 0.85, y + h * 0.95, x + w * 0.25, y + h * 0.98, x + w * 0.12, y + h * 0.88);
    hull.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1B, 0x2A, 0x49));
    p.drawPath(hull);
    QPainterPath main;  // the mainsail behind the mast, the jib before it
    main.moveTo(x + w * 0.45, y + h * 0.05);
    main.lineTo(x + w * 0.45, y + h * 0.68);
    main.lineTo(x + w * 0.15, y + h * 0.68);
    main.closeSubpath();
    QPainterPath jib;
    jib.moveTo(x + w * 0.48, y + h * 0.10);
    jib.lineTo(x + w * 0.85, y + h * 0.68);
    jib.lineTo(x + w * 0.48, y + h * 0.68);
    jib.closeSubpath();
    p.setBrush(QColor(0xF4, 0xF1, 0xE8));
    p.setPen(QPen(QColor(0x1B, 0x2A, 0x49), 1));
    p.drawPath(main);
    p.drawPath(jib);
}

}  // namespace corvel::ui
