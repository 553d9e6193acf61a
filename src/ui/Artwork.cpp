// The main window's pictures; see Artwork.h.
#include "ui/Artwork.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "app/instruments/CompassGeometry.h"
#include "ui/CompassWidget.h"

namespace corvel::ui {

namespace {

// The palette: navy ink, the compass dial's ivory, slate for what is available, greys for what is not.
const QColor kNavy(0x1B, 0x2A, 0x49);
const QColor kIvory(0xFF, 0xFF, 0xF0);
const QColor kSlate(0x5A, 0x6B, 0x80);
const QColor kGreyInk(0xB4, 0xB8, 0xBE);
const QColor kGreyFill(0xE4, 0xE6, 0xE9);
const QColor kRedMark(0xC0, 0x39, 0x2B);

// A transparent pixmap of `size` painted by `paint` with antialiasing; null when `size` is empty.
template <typename Paint>
QPixmap Painted(QSize size, Paint paint) {
    if (size.isEmpty()) return {};
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paint(p);
    p.end();
    return pixmap;
}

QFont Font(qreal pixels, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    f.setBold(bold);
    return f;
}

// ---------------------------------------------------------------- glyphs

void PaintPause(QPainter& p, qreal s) {
    p.setPen(Qt::NoPen);
    p.setBrush(kNavy);
    const qreal w = s * 0.17, h = s * 0.56, gap = s * 0.14, top = (s - h) / 2;
    p.drawRoundedRect(QRectF(s / 2 - gap / 2 - w, top, w, h), w * 0.3, w * 0.3);
    p.drawRoundedRect(QRectF(s / 2 + gap / 2, top, w, h), w * 0.3, w * 0.3);
}

void PaintPlay(QPainter& p, qreal s) {
    QPainterPath triangle;
    triangle.moveTo(s * 0.30, s * 0.20);
    triangle.lineTo(s * 0.80, s * 0.50);
    triangle.lineTo(s * 0.30, s * 0.80);
    triangle.closeSubpath();
    p.setPen(QPen(QColor(0x15, 0x6B, 0x2D), std::max(1.0, s * 0.04), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0x2E, 0xA0, 0x4A));
    p.drawPath(triangle);
}

struct ModeLook {
    QColor lampCentre, lampEdge, lampRim, letters;
    bool lit;
};

// A lamp over the mode's letters: lit in the mode's colour, out (pale with a navy rim), or greyed.
void PaintMode(QPainter& p, qreal s, const QString& letters, const ModeLook& look) {
    const QPointF centre(s / 2, s * 0.34);
    const qreal r = s * 0.22;
    if (look.lit) {
        // A soft halo around the lit lamp.
        QRadialGradient halo(centre, r * 1.45);
        halo.setColorAt(0.6, QColor(look.lampEdge.red(), look.lampEdge.green(), look.lampEdge.blue(), 90));
        halo.setColorAt(1, Qt::transparent);
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawEllipse(centre, r * 1.45, r * 1.45);
        QRadialGradient glass(centre - QPointF(r * 0.35, r * 0.35), r * 1.3);
        glass.setColorAt(0, look.lampCentre);
        glass.setColorAt(1, look.lampEdge);
        p.setBrush(glass);
    } else {
        p.setBrush(look.lampCentre);
    }
    p.setPen(QPen(look.lampRim, std::max(1.0, s * 0.045)));
    p.drawEllipse(centre, r, r);
    if (look.lit) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 170));
        p.drawEllipse(centre - QPointF(r * 0.38, r * 0.38), r * 0.28, r * 0.22);
    }
    // The letters fill the lower part, shrunk to fit the width.
    QFont f = Font(s * 0.25, true);
    const qreal width = QFontMetricsF(f).horizontalAdvance(letters);
    if (width > s * 0.94) f.setPixelSize(std::max(1, static_cast<int>(std::floor(f.pixelSize() * s * 0.94 / width))));
    p.setFont(f);
    p.setPen(look.letters);
    p.drawText(QRectF(0, s * 0.62, s, s * 0.36), Qt::AlignHCenter | Qt::AlignVCenter, letters);
}

ModeLook LookFor(GlyphList list, int index) {
    const bool autoMode = list == GlyphList::Auto;
    switch (index) {
        case 1: return {QColor(0xEE, 0xF2, 0xF5), {}, kSlate, kSlate, false};
        case 2: return {kGreyFill, {}, kGreyInk, kGreyInk, false};
        default: break;
    }
    if (autoMode) return {QColor(0xB8, 0xFF, 0xB0), QColor(0x1E, 0x9E, 0x3A), QColor(0x0F, 0x5C, 0x22), kNavy, true};
    return {QColor(0xFF, 0xE6, 0x8A), QColor(0xE0, 0x8E, 0x00), QColor(0x8A, 0x55, 0x00), kNavy, true};
}

// ---------------------------------------------------------------- legend

struct LegendFrame {
    QRectF card;
    QRectF title;
    qreal rowTop = 0;
    qreal rowHeight = 0;
    qreal sampleLeft = 0, sampleRight = 0, captionLeft = 0, captionRight = 0;
};

LegendFrame FrameOf(QSize size) {
    LegendFrame f;
    f.card = QRectF(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    const qreal titleHeight = std::clamp(size.height() * 0.085, 14.0, 26.0);
    f.title = QRectF(f.card.left(), f.card.top(), f.card.width(), titleHeight);
    const qreal margin = std::clamp(size.height() * 0.02, 3.0, 8.0);
    f.rowTop = f.title.bottom() + margin;
    f.rowHeight = (f.card.bottom() - margin - f.rowTop) / static_cast<qreal>(app::kCompassArrows.size());
    f.sampleLeft = std::round(size.width() * 0.04);
    f.sampleRight = std::round(size.width() * 0.27);
    f.captionLeft = f.sampleRight + std::round(size.width() * 0.04);
    f.captionRight = size.width() - std::round(size.width() * 0.03);
    return f;
}

QString CaptionOf(const app::ArrowLook& look) {
    return QString::fromUtf8(look.caption.data(), static_cast<int>(look.caption.size()));
}

// One font for every caption: from the row height, shrunk until the longest caption fits.
QFont CaptionFont(const LegendFrame& f) {
    QFont font = Font(std::min(14.0, f.rowHeight * 0.55), false);
    const qreal room = f.captionRight - f.captionLeft;
    while (font.pixelSize() > 6) {
        const QFontMetricsF m(font);
        const bool fits = std::all_of(app::kCompassArrows.begin(), app::kCompassArrows.end(),
                                      [&](const auto& a) { return m.horizontalAdvance(CaptionOf(a)) <= room; });
        if (fits) break;
        font.setPixelSize(font.pixelSize() - 1);
    }
    return font;
}

// ---------------------------------------------------------------- background

constexpr int kTile = 128;

// Paints `draw` at every offset of the tile that can reach into it, so a stroke that leaves one
// edge comes back through the opposite one.
template <typename Draw>
void Wrapped(QPainter& p, Draw draw) {
    for (int dx : {-kTile, 0, kTile}) {
        for (int dy : {-kTile, 0, kTile}) {
            p.save();
            p.translate(dx, dy);
            draw();
            p.restore();
        }
    }
}

}  // namespace

QPixmap GlyphImage(GlyphList list, int index, int side) {
    return Painted({side, side}, [&](QPainter& p) {
        const qreal s = side;
        if (list == GlyphList::PauseResume) {
            if (index == 5) {
                PaintPlay(p, s);
            } else {
                PaintPause(p, s);  // 0..4, and any index out of range
            }
            return;
        }
        const int image = index < 0 || index > 2 ? 0 : index;
        PaintMode(p, s, list == GlyphList::Auto ? QStringLiteral("AUTO") : QStringLiteral("STDBY"),
                  LookFor(list, image));
    });
}

std::vector<LegendRow> LegendLayout(QSize size) {
    const LegendFrame f = FrameOf(size);
    std::vector<LegendRow> rows;
    for (std::size_t i = 0; i < app::kCompassArrows.size(); ++i) {
        const app::ArrowLook& look = app::kCompassArrows[i];
        const qreal top = f.rowTop + f.rowHeight * static_cast<qreal>(i);
        // A line of an odd whole width lies on a pixel's middle, an even one between two rows.
        const float width = app::ArrowWidth(look.kind, kLegendCurrentKnots);
        const qreal y = std::floor(top + f.rowHeight / 2) + (std::lround(width) % 2 == 1 ? 0.5 : 0);
        rows.push_back({look.kind, QLineF(f.sampleLeft, y, f.sampleRight, y),
                        QRectF(f.captionLeft, top, f.captionRight - f.captionLeft, f.rowHeight)});
    }
    return rows;
}

QPixmap LegendPicture(QSize size) {
    return Painted(size, [size](QPainter& p) {
        const LegendFrame f = FrameOf(size);
        const qreal radius = std::min(8.0, f.title.height() / 2);

        // The card, its navy title band and border.
        p.setPen(Qt::NoPen);
        p.setBrush(kIvory);
        p.drawRoundedRect(f.card, radius, radius);
        QPainterPath band;
        band.addRoundedRect(f.title.adjusted(0, 0, 0, radius), radius, radius);
        QPainterPath below;
        below.addRect(f.title.left(), f.title.bottom(), f.title.width(), radius);
        p.setBrush(kNavy);
        p.drawPath(band.subtracted(below));
        p.setFont(Font(f.title.height() * 0.55, true));
        p.setPen(kIvory);
        p.drawText(f.title, Qt::AlignCenter, QStringLiteral("Légende du compas"));
        p.setPen(QPen(kNavy, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(f.card, radius, radius);

        // The rows: each sample drawn as the compass draws its arrow, pointing right.
        const QFont captionFont = CaptionFont(f);
        for (const LegendRow& row : LegendLayout(size)) {
            const app::ArrowLook& look = app::LookOf(row.kind);
            app::TArrow sample;
            sample.Org = {static_cast<float>(row.shaft.x1()), static_cast<float>(row.shaft.y1())};
            sample.Ext = {static_cast<float>(row.shaft.x2()), static_cast<float>(row.shaft.y2())};
            sample.Styltrait = look.style;
            sample.Epaiss = app::ArrowWidth(row.kind, kLegendCurrentKnots);
            sample.ArrCol = look.colour;
            sample.Typ = app::TArrowTyp::libre;  // from Org to Ext as given
            bool drawn = false;
            const app::ArrowDrawing d = app::DrawArrow(sample, {-1e6f, -1e6f}, drawn);
            if (drawn) PaintArrow(p, d);
            p.setFont(captionFont);
            p.setPen(kNavy);
            p.drawText(row.caption, Qt::AlignLeft | Qt::AlignVCenter, CaptionOf(look));
        }
    });
}

QPixmap BackgroundTile() {
    return Painted({kTile, kTile}, [](QPainter& p) {
        p.fillRect(0, 0, kTile, kTile, QColor(0xE2, 0xEA, 0xF1));
        // A chart's faint grid every 64 pixels, its lines on the tile's edges and middle.
        p.setPen(QPen(QColor(0x1B, 0x2A, 0x49, 22), 1));
        for (int at : {0, kTile / 2, kTile}) {
            p.drawLine(QPointF(at, 0), QPointF(at, kTile));
            p.drawLine(QPointF(0, at), QPointF(kTile, at));
        }
        // Short wave strokes, pale on the pale sea, placed by hand so the tile looks scattered.
        struct Wave {
            qreal x, y, length;
        };
        constexpr Wave kWaves[] = {{14, 22, 18}, {84, 12, 14},  {40, 52, 16},  {104, 70, 20},
                                   {20, 94, 14}, {70, 104, 18}, {118, 116, 16}};
        p.setPen(QPen(QColor(0xFF, 0xFF, 0xFF, 150), 1.4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        for (const Wave& w : kWaves) {
            Wrapped(p, [&] {
                QPainterPath path(QPointF(w.x, w.y));
                path.cubicTo(w.x + w.length * 0.25, w.y - 3, w.x + w.length * 0.25, w.y + 3, w.x + w.length * 0.5, w.y);
                path.cubicTo(w.x + w.length * 0.75, w.y - 3, w.x + w.length * 0.75, w.y + 3, w.x + w.length, w.y);
                p.drawPath(path);
            });
        }
        p.setPen(QPen(QColor(0x1B, 0x2A, 0x49, 26), 1.2, Qt::SolidLine, Qt::RoundCap));
        for (const Wave& w : kWaves) {
            Wrapped(p, [&] {
                QPainterPath path(QPointF(w.x + 2, w.y + 2.2));
                path.cubicTo(w.x + w.length * 0.3, w.y - 0.8, w.x + w.length * 0.3, w.y + 5.2, w.x + w.length * 0.55,
                             w.y + 2.2);
                p.drawPath(path);
            });
        }
    });
}

QPixmap CentreTillerPicture(QSize size) {
    return Painted(size, [size](QPainter& p) {
        const qreal w = size.width(), h = size.height();
        const QPointF pivot(w / 2, h * 0.86);
        const qreal reach = h * 0.74;
        // The tiller's arc with ticks every 15 degrees, the middle one a red mark.
        const QRectF arc(pivot.x() - reach, pivot.y() - reach, 2 * reach, 2 * reach);
        p.setPen(QPen(kSlate, 1.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(arc, 50 * 16, 80 * 16);
        for (int degrees = 60; degrees <= 120; degrees += 15) {
            const qreal a = degrees * M_PI / 180;
            const QPointF dir(std::cos(a), -std::sin(a));
            p.drawLine(pivot + dir * (reach - 3), pivot + dir * (reach + 3));
        }
        QPainterPath mark;
        mark.moveTo(pivot.x(), pivot.y() - reach + 1);
        mark.lineTo(pivot.x() - 4, pivot.y() - reach - 5);
        mark.lineTo(pivot.x() + 4, pivot.y() - reach - 5);
        mark.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(kRedMark);
        p.drawPath(mark);
        // Two small arrows bringing the tiller back to the middle.
        p.setPen(QPen(kRedMark, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        for (int side : {-1, 1}) {
            const qreal x0 = pivot.x() + side * w * 0.40, x1 = pivot.x() + side * w * 0.20, y = h * 0.52;
            p.drawLine(QPointF(x0, y), QPointF(x1, y));
            p.drawLine(QPointF(x1, y), QPointF(x1 + side * 3, y - 3));
            p.drawLine(QPointF(x1, y), QPointF(x1 + side * 3, y + 3));
        }
        // The tiller: a wooden bar tapering from the rudder head to a rounded grip.
        QPainterPath tiller;
        const qreal tip = pivot.y() - reach + 5;
        tiller.moveTo(pivot.x() - 3.2, pivot.y());
        tiller.lineTo(pivot.x() - 1.8, tip + 2);
        tiller.quadTo(pivot.x(), tip - 1.5, pivot.x() + 1.8, tip + 2);
        tiller.lineTo(pivot.x() + 3.2, pivot.y());
        tiller.closeSubpath();
        p.setPen(QPen(QColor(0x5C, 0x3A, 0x1A), 1));
        p.setBrush(QColor(0xB5, 0x7A, 0x3C));
        p.drawPath(tiller);
        // The rudder head.
        p.setPen(QPen(kNavy, 1.2));
        p.setBrush(kIvory);
        p.drawEllipse(pivot, 4, 4);
    });
}

QPixmap PolarButtonPicture(QSize size) {
    return Painted(size, [size](QPainter& p) {
        const qreal w = size.width(), h = size.height();
        const QPointF centre(w * 0.18, h / 2);
        const qreal reach = std::min(w * 0.78, h * 0.48);
        p.setPen(QPen(QColor(0x9a, 0xa8, 0xb8), 1));
        p.setBrush(Qt::NoBrush);
        for (const qreal r : {reach / 3, 2 * reach / 3, reach})
            p.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), -90 * 16, 180 * 16);
        p.drawLine(centre + QPointF(0, -reach), centre + QPointF(0, reach));
        // Speed against the wind's angle: nothing head to wind, most on a reach, less downwind.
        QPainterPath curve;
        for (int angle = 30; angle <= 180; angle += 10) {
            const qreal a = angle * 3.14159265358979 / 180;
            const qreal speed = reach * (0.55 + 0.4 * std::sin(a * 0.9)) * (angle < 45 ? (angle - 25) / 20.0 : 1);
            const QPointF point = centre + QPointF(speed * std::sin(a), -speed * std::cos(a));
            if (angle == 30) {
                curve.moveTo(point);
            } else {
                curve.lineTo(point);
            }
        }
        p.setPen(
            QPen(QColor(0x1f, 0x4e, 0x8c), std::max<qreal>(1.5, w / 14), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(curve);
    });
}

}  // namespace corvel::ui
