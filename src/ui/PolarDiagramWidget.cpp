// The polar diagram widget; see PolarDiagramWidget.h.
#include "ui/PolarDiagramWidget.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "ui/QtDialogs.h"

namespace corvel::ui {

namespace {

constexpr QRgb kPaper = 0xFFFFFFFF;
constexpr QRgb kRingGrey = 0xFFB4B4B4;
constexpr QRgb kSpokeGrey = 0xFFD2D2D2;
constexpr QRgb kLabelGrey = 0xFF505050;

QPointF ToQt(app::PointF p) { return {p.x, p.y}; }

void PaintText(QPainter& p, const app::PlacedText& t) {
    p.drawText(QRectF(ToQt(t.topLeft), QSizeF(t.width + 1, t.height)),
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, Q(t.text));
}

void PaintMark(QPainter& p, const app::VmgMarkDrawing& mark, const QColor& colour) {
    p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(ToQt(mark.tick.from), ToQt(mark.tick.to));
    p.setPen(QPen(QColor(Qt::white), 1));
    p.setBrush(colour);
    p.drawEllipse(ToQt(mark.dot), app::kVmgDotRadius, app::kVmgDotRadius);
    p.setBrush(Qt::NoBrush);
}

}  // namespace

PolarDiagramWidget::PolarDiagramWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PolarDiagram"));
}

void PolarDiagramWidget::SetPolar(const sim::PolarTable& table, int percent) {
    curves_ = app::PolarCurves(table, percent);
    percent_ = percent;
    update();
}

app::PolarDiagramDrawing PolarDiagramWidget::Drawing() const {
    const QFontMetricsF metrics(font());
    const app::TextMeasure measure{static_cast<float>(std::ceil(metrics.height())), [&metrics](std::string_view text) {
                                       return static_cast<float>(std::ceil(metrics.horizontalAdvance(Q(text))));
                                   }};
    return app::DrawPolarDiagram(curves_, percent_, static_cast<float>(width()), static_cast<float>(height()), measure);
}

void PolarDiagramWidget::Render(QPainter& p) const {
    const app::PolarDiagramDrawing d = Drawing();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor::fromRgba(kPaper));
    p.setFont(font());

    // Spokes, then the rings as half circles from the top to the bottom, on the right.
    p.setPen(QPen(QColor::fromRgba(kSpokeGrey), 1));
    for (const app::PolarSpokeDrawing& s : d.spokes) p.drawLine(ToQt(s.line.from), ToQt(s.line.to));
    for (const app::PolarRingDrawing& r : d.rings) {
        p.setPen(QPen(QColor::fromRgba(kRingGrey), &r == &d.rings.back() ? 1.5 : 1));
        const QRectF box(d.centre.x - r.radius, d.centre.y - r.radius, 2 * r.radius, 2 * r.radius);
        p.drawArc(box, 90 * 16, -180 * 16);
    }
    p.setPen(QColor::fromRgba(kLabelGrey));
    for (const app::PolarRingDrawing& r : d.rings) PaintText(p, r.label);
    for (const app::PolarSpokeDrawing& s : d.spokes) PaintText(p, s.label);

    // The curves, then their marks over every curve.
    for (const app::PolarCurveDrawing& c : d.curves) {
        QPainterPath path;
        for (std::size_t i = 0; i < c.line.size(); ++i) {
            if (i == 0) {
                path.moveTo(ToQt(c.line[i]));
            } else {
                path.lineTo(ToQt(c.line[i]));
            }
        }
        p.setPen(QPen(QColor::fromRgba(c.colour), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
    }
    for (const app::PolarCurveDrawing& c : d.curves) {
        const QColor colour = QColor::fromRgba(c.colour);
        if (c.hasUpwind) PaintMark(p, c.upwind, colour);
        if (c.hasDownwind) PaintMark(p, c.downwind, colour);
    }

    // The percentage and the legend.
    p.setPen(QColor(Qt::black));
    PaintText(p, d.percent);
    PaintText(p, d.legendTitle);
    for (const app::PolarCurveDrawing& c : d.curves) {
        p.setPen(QPen(QColor::fromRgba(c.colour), 3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(ToQt(c.legendSample.from), ToQt(c.legendSample.to));
        p.setPen(QColor(Qt::black));
        PaintText(p, c.legend);
    }
    p.restore();
}

void PolarDiagramWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Render(p);
}

}  // namespace corvel::ui
