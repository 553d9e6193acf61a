// The compass widget; see CompassWidget.h.
#include "ui/CompassWidget.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

#include "ui/CanvasZoom.h"

namespace corvel::ui {

namespace {

constexpr QRgb kIvory = 0xFFFFFFF0;
constexpr QRgb kRingGrey = 0xFF808080;

QPointF ToQt(app::PointF p) { return {p.x, p.y}; }

Qt::PenStyle Dash(app::TStyltrait style) {
    switch (style) {
        case app::TStyltrait::tiret: return Qt::DashLine;
        case app::TStyltrait::pointill: return Qt::DashDotLine;
        case app::TStyltrait::plein: break;
    }
    return Qt::SolidLine;
}

}  // namespace

CompassWidget::CompassWidget(const app::TFMXCompass& model, QWidget* parent) : QWidget(parent), model_(model) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    resize(model.Width, model.Height);
    PaintsAtNormalSize(this, size());  // the model's pixels, scaled to the widget's size
}

QFont CompassWidget::LabelFont() const {
    QFont f = font();
    const auto& t = model_.TextSettings;
    if (!t.family.empty()) f.setFamily(QString::fromStdString(t.family));
    if (t.size > 0) f.setPointSizeF(t.size);
    f.setBold(t.bold);
    f.setItalic(t.italic);
    return f;
}

app::ZerosSize CompassWidget::Zeros() const {
    const QFontMetricsF m(LabelFont());
    return {static_cast<float>(m.horizontalAdvance(QStringLiteral("000"))), static_cast<float>(m.height())};
}

CompassWidget::DialKey CompassWidget::KeyNow() const {
    return {size(),
            devicePixelRatioF(),
            model_.GraduationMajeure,
            model_.GraduationMineure,
            model_.LongueurGraduationMajeure,
            model_.LongueurGraduationMineure,
            model_.MontreGraduationMajeure,
            model_.MontreGraduationMineure,
            font(),
            model_.TextSettings,
            model_.FactConvers,
            app::SlowRings(model_),
            model_.CentreXY};
}

void CompassWidget::PaintDial(QPainter& p, const app::ZerosSize& zeros) const {
    const app::DialDrawing d = app::DrawDial(model_, model_.Width, model_.Height, zeros);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(Qt::black));
    p.drawEllipse(ToQt(d.centre), d.radius, d.radius);
    p.setBrush(QColor::fromRgba(kIvory));
    p.drawEllipse(ToQt(d.centre), d.radius - d.rimWidth, d.radius - d.rimWidth);
    // Each label in its ivory square, turned about the square's centre.
    p.setFont(LabelFont());
    for (const app::DialLabel& l : d.labels) {
        p.save();
        p.translate(ToQt(l.centre));
        p.rotate(l.rotation);
        const QRectF box(-l.side / 2, -l.side / 2, l.side, l.side);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgba(kIvory));
        p.drawRect(box);
        p.setPen(QColor::fromRgba(model_.TextSettings.FontColor));
        p.drawText(box, Qt::AlignCenter, QString::fromStdString(l.text));
        p.restore();
    }
    p.setPen(QPen(Qt::black, 1));
    for (const auto* ticks : {&d.majorTicks, &d.minorTicks}) {
        for (const app::Segment& s : *ticks) p.drawLine(ToQt(s.from), ToQt(s.to));
    }
}

void CompassWidget::PaintRings(QPainter& p, const app::ZerosSize& zeros) const {
    const QPointF c = ToQt(model_.CentreXY);
    for (const app::RingDrawing& r : app::DrawRings(model_, zeros)) {
        if (r.labelled) {
            const QRectF box(r.labelTopLeft.x, r.labelTopLeft.y, r.labelWidth, r.labelHeight);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor::fromRgba(kIvory));
            p.drawRect(box);
            p.setPen(QColor::fromRgba(kRingGrey));
            p.setFont(font());
            p.drawText(box, Qt::AlignCenter, QString::fromStdString(r.label));
        }
        p.setPen(QColor::fromRgba(kRingGrey));
        p.setOpacity(0.2);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, r.radius, r.radius);
        p.setOpacity(1);
    }
}

void CompassWidget::PaintArrows(QPainter& p) const {
    for (const app::ArrowDrawing& a : app::DrawArrows(model_)) PaintArrow(p, a);
}

void PaintArrow(QPainter& p, const app::ArrowDrawing& a) {
    const QColor colour = QColor::fromRgba(a.colour);
    QPen pen(colour, a.width, Dash(a.style));
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawLine(ToQt(a.from), ToQt(a.to));
    pen.setStyle(Qt::SolidLine);
    p.setPen(pen);
    p.setBrush(colour);
    const QPointF head[4] = {ToQt(a.head[0]), ToQt(a.head[1]), ToQt(a.head[2]), ToQt(a.head[3])};
    p.drawPolygon(head, 4);
}

namespace {

// The area an arrow covers: its line and head, with its pen's width and the antialiased edge.
QRect ArrowArea(const app::ArrowDrawing& a) {
    const qreal margin = a.width + 2;
    qreal left = a.from.x, top = a.from.y, right = a.from.x, bottom = a.from.y;
    for (const app::PointF& point : {a.to, a.head[1], a.head[3]}) {
        left = std::min<qreal>(left, point.x);
        top = std::min<qreal>(top, point.y);
        right = std::max<qreal>(right, point.x);
        bottom = std::max<qreal>(bottom, point.y);
    }
    return QRectF(QPointF(left - margin, top - margin), QPointF(right + margin, bottom + margin)).toAlignedRect();
}

// Whether an arrow drawn as `b` still shows `a`: same looks, and no end moved by a fifth of a pixel
// or more (a smaller move does not show; the drawn arrow is kept until the moves add up to it).
bool SameLook(const app::ArrowDrawing& a, const app::ArrowDrawing& b) {
    constexpr float kUnseen = 0.2f;
    const auto near = [](app::PointF p, app::PointF q) {
        return std::fabs(p.x - q.x) < kUnseen && std::fabs(p.y - q.y) < kUnseen;
    };
    return a.arrow == b.arrow && near(a.from, b.from) && near(a.to, b.to) && a.width == b.width &&
           a.colour == b.colour && a.style == b.style;
}

}  // namespace

void CompassWidget::ModelChanged() {
    std::vector<app::ArrowDrawing> arrows = app::DrawArrows(model_);
    if (dial_.isNull() || !(KeyNow() == dialKey_)) {
        update();
    } else {
        // Only the arrows that moved: where each was drawn and where it is now.
        if (arrows.size() == arrowsDrawn_.size()) {
            const QTransform zoom = NormalSizeTransform(*this);
            const auto area = [&zoom](const app::ArrowDrawing& a) {
                return zoom.mapRect(QRectF(ArrowArea(a))).toAlignedRect();
            };
            QRegion dirty;
            for (std::size_t i = 0; i < arrows.size(); ++i) {
                if (SameLook(arrows[i], arrowsDrawn_[i])) continue;
                dirty += area(arrows[i]);
                dirty += area(arrowsDrawn_[i]);
                arrowsDrawn_[i] = arrows[i];
            }
            if (!dirty.isEmpty()) update(dirty);
            return;
        }
        update();  // an arrow appeared or went
    }
    arrowsDrawn_ = std::move(arrows);
}

void CompassWidget::Render(QPainter& p, bool cachedDial) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // The model's pixels at the widget's size (the window's zoom).
    const QTransform zoom = NormalSizeTransform(*this);
    if (!cachedDial) {
        p.save();
        p.setTransform(zoom, true);
        const app::ZerosSize zeros = Zeros();
        PaintDial(p, zeros);
        PaintRings(p, zeros);
        p.restore();
    } else {
        const DialKey key = KeyNow();
        if (dial_.isNull() || !(key == dialKey_)) {
            dial_ = QPixmap(size() * key.ratio);
            dial_.setDevicePixelRatio(key.ratio);
            dial_.fill(Qt::transparent);
            QPainter dp(&dial_);
            dp.setTransform(zoom);
            dp.setRenderHint(QPainter::Antialiasing);
            dp.setRenderHint(QPainter::TextAntialiasing);
            const app::ZerosSize zeros = Zeros();
            PaintDial(dp, zeros);
            PaintRings(dp, zeros);
            dialKey_ = key;
            ++dialBuilds_;
        }
        p.drawPixmap(0, 0, dial_);
    }
    p.save();
    p.setTransform(zoom, true);
    PaintArrows(p);
    p.restore();
}

void CompassWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Render(p);
}

// ---------------------------------------------------------------- the boat picture

BoatPicture::BoatPicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(kSide, kSide);
}

void BoatPicture::SetHeading(float degrees) {
    if (degrees == heading_) return;
    heading_ = degrees;
    update();
}

void BoatPicture::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void BoatPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    p.translate(width() / 2.0, height() / 2.0);
    p.rotate(heading_);
    const QRectF box(-width() / 2.0, -height() / 2.0, width(), height());
    if (picture_.isNull()) {
        PaintBoatFromAbove(p, box);
    } else {
        p.drawPixmap(box, picture_, QRectF(picture_.rect()));
    }
}

void PaintBoatFromAbove(QPainter& p, const QRectF& box) {
    // A hull pointed at the bow, round at the stern, with its deck line, mast and boom.
    const qreal w = box.width(), h = box.height();
    const qreal x = box.left(), y = box.top();
    QPainterPath hull;
    hull.moveTo(x + w * 0.5, y + h * 0.02);
    hull.cubicTo(x + w * 0.78, y + h * 0.25, x + w * 0.80, y + h * 0.62, x + w * 0.70, y + h * 0.96);
    hull.lineTo(x + w * 0.30, y + h * 0.96);
    hull.cubicTo(x + w * 0.20, y + h * 0.62, x + w * 0.22, y + h * 0.25, x + w * 0.5, y + h * 0.02);
    p.setPen(QPen(QColor(0x1B, 0x2A, 0x49), 1.2));
    p.setBrush(QColor(0xF4, 0xF1, 0xE8));
    p.drawPath(hull);
    p.setPen(QPen(QColor(0x1B, 0x2A, 0x49), 1.5));
    p.drawLine(QPointF(x + w * 0.5, y + h * 0.38), QPointF(x + w * 0.5, y + h * 0.82));  // boom
    p.setBrush(QColor(0xC0, 0x39, 0x2B));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(x + w * 0.5, y + h * 0.38), w * 0.07, w * 0.07);  // mast
}

}  // namespace corvel::ui
