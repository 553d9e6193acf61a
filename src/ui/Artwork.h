// The main window's pictures, drawn in code with QPainter (antialiased, no image files): the
// glyphs of the pause and pilot buttons, the compass legend, the tiled background and the
// tiller-centring picture. Every function is pure: the same arguments give the same pixels. The
// pictures are at a pixel ratio of 1.
#pragma once

#include <QLineF>
#include <QPixmap>
#include <QRectF>
#include <QSize>
#include <vector>

#include "app/instruments/CompassArrows.h"

class QPainter;

namespace corvel::ui {

enum class GlyphList { PauseResume, Auto, Standby };

// One image of a glyph list, `side` x `side` pixels on a transparent background.
// PauseResume: 0 two bars (shown while running), 5 a play triangle (shown while paused), 1..4 the
// bars again. Auto / Standby: 0 the mode in force (a lit lamp, green for AUTO, amber for STDBY, over
// the mode's letters), 1 available (the lamp out, letters in slate), 2 greyed while paused. An index
// out of range gives image 0; a side below 1 gives an empty pixmap.
QPixmap GlyphImage(GlyphList list, int index, int side);

// The compass legend: on an ivory card under a navy title band, one row per arrow kind of
// app::kCompassArrows in its order, a sample arrow pointing right painted with the compass's colour,
// dash style and width (the current's width for a 3-knot current), and its French caption.
QPixmap LegendPicture(QSize size = {377, 292});

// Where LegendPicture draws each row: the sample's shaft (its head's point is shaft.p2(); the head
// covers the last kBarbLength pixels) and the caption's box, the text fitted to it.
struct LegendRow {
    app::ArrowKind kind;
    QLineF shaft;
    QRectF caption;
};
std::vector<LegendRow> LegendLayout(QSize size);
// The knots of the current the legend's current sample is drawn for.
inline constexpr float kLegendCurrentKnots = 3;

// The window's background: a 128 x 128 tile of a pale chart (faint grid and wave strokes) that
// repeats without a seam.
QPixmap BackgroundTile();

// The tiller-centring picture (`zerolabarre`): a tiller seen from above, centred on a red mark of
// its arc, on a transparent background.
QPixmap CentreTillerPicture(QSize size = {60, 40});

// The polar button's picture (`SpeedBtModPol`): a half polar curve of boat speed over its speed
// rings, on a transparent background.
QPixmap PolarButtonPicture(QSize size = {28, 28});

}  // namespace corvel::ui
