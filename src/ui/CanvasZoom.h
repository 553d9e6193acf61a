// The zoom of a client area laid out in pixels at 100 %: the geometry, size limits, font and icon
// size of every widget under the area are recorded once, as built, and each zoom sets them again
// times the factor (rounded edges, so that neighbours stay neighbours; fonts by their point or
// pixel size; a widget built at its size hint, a caption or a radio button, is never made smaller
// than its hint at the new font, since the style's indicators keep their size). At a factor of 1 every widget has
// exactly what it was built with. Widgets that paint themselves in their 100 % coordinates (the compass, the sounder's
// picture) keep their 100 % font and scale their painter (ScaleToNormalSize).
#pragma once

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QTransform>
#include <QWidget>
#include <optional>
#include <vector>

namespace corvel::ui {

class CanvasZoom {
public:
    // Records `area` and the widgets under it, as built. The inside of the widgets that lay out
    // their own parts (scroll areas, spin boxes, lists) is theirs.
    explicit CanvasZoom(QWidget* area);

    // Every recorded widget at `factor` times its 100 % geometry, font and icon size.
    void Apply(double factor);
    double Factor() const { return factor_; }

    // A geometry the window gives a widget after it is built, in its parent's 100 % coordinates:
    // kept as the widget's 100 % geometry and set at the zoom in force.
    void Place(QWidget* widget, QRect normal);
    // A rectangle of 100 % coordinates at the zoom in force.
    QRect Scaled(QRect normal) const;
    QSize Scaled(QSize normal) const;

private:
    struct Recorded {
        QPointer<QWidget> widget;
        QRect geometry;
        bool fixed = false;          // built with a fixed size
        bool fitsContent = false;    // built at its size hint (a caption, a radio button)
        bool ownFont = false;        // a font of its own, not its parent's
        std::optional<QFont> font;   // the font the zoom sets, at 100 %
        std::optional<QSize> icons;  // a button's icon size
    };
    Recorded* Find(QWidget* widget);
    void Show(const Recorded& r) const;

    std::vector<Recorded> widgets_;  // parents before their children
    double factor_ = 1;
};

// Marks a widget that paints in the coordinates of its size at 100 % (`normal`): the zoom leaves
// its font at 100 %, and its painter is scaled by NormalSizeTransform.
void PaintsAtNormalSize(QWidget* widget, QSize normal);
// From a marked widget's 100 % coordinates to its pixels now: its size now over its size at 100 %
// (the identity for a widget that is not marked).
QTransform NormalSizeTransform(const QWidget& widget);

}  // namespace corvel::ui
