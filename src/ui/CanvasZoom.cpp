// The zoom of a client area; see CanvasZoom.h.
#include "ui/CanvasZoom.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QVariant>
#include <algorithm>
#include <cmath>

namespace corvel::ui {

namespace {

constexpr const char* kNormalSize = "corvelNormalSize";

int Times(int pixels, double factor) { return static_cast<int>(std::lround(pixels * factor)); }

// Widgets that place their own parts: the zoom sets their geometry, they lay out their inside.
bool LaysOutItsParts(const QWidget* widget) {
    return qobject_cast<const QAbstractScrollArea*>(widget) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(widget) != nullptr ||
           qobject_cast<const QComboBox*>(widget) != nullptr;
}

bool PaintsAtNormal(const QWidget* widget) { return widget->property(kNormalSize).isValid(); }

QFont ScaledFont(QFont font, double factor) {
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * factor);
    } else if (font.pixelSize() > 0) {
        font.setPixelSize(std::max(1, Times(font.pixelSize(), factor)));
    }
    return font;
}

}  // namespace

CanvasZoom::CanvasZoom(QWidget* area) {
    // Parents before their children: a fixed size set on a parent never clips a child's new place.
    std::vector<QWidget*> pending{area};
    while (!pending.empty()) {
        QWidget* w = pending.back();
        pending.pop_back();
        Recorded r;
        r.widget = w;
        r.geometry = w->geometry();
        r.fixed = w->minimumSize() == w->maximumSize();
        const auto* label = qobject_cast<const QLabel*>(w);
        r.fitsContent = !r.fixed && w->size() == w->sizeHint() &&
                        ((label && label->pixmap().isNull()) || qobject_cast<const QAbstractButton*>(w));
        r.ownFont = w->testAttribute(Qt::WA_SetFont);
        // Its font: its own, or the one it inherits for the area, the widgets painting at 100 %
        // and those whose style sheet sets a font property (their font follows no parent's).
        if (r.ownFont || w == area || PaintsAtNormal(w) || !w->styleSheet().isEmpty()) {
            r.font = w->font();
            r.font->setResolveMask(QFont::AllPropertiesResolved);
        }
        if (const auto* button = qobject_cast<const QAbstractButton*>(w)) r.icons = button->iconSize();
        widgets_.push_back(r);
        if (LaysOutItsParts(w)) continue;
        const QList<QWidget*> children = w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            if (!(*it)->isWindow()) pending.push_back(*it);
        }
    }
}

QRect CanvasZoom::Scaled(QRect normal) const {
    // The edges, rounded: widgets side by side at 100 % stay side by side.
    const int left = Times(normal.left(), factor_), top = Times(normal.top(), factor_);
    const int right = Times(normal.left() + normal.width(), factor_);
    const int bottom = Times(normal.top() + normal.height(), factor_);
    return {left, top, right - left, bottom - top};
}

QSize CanvasZoom::Scaled(QSize normal) const {
    return {Times(normal.width(), factor_), Times(normal.height(), factor_)};
}

void CanvasZoom::Apply(double factor) {
    factor_ = factor;
    for (const Recorded& r : widgets_) Show(r);
}

void CanvasZoom::Show(const Recorded& r) const {
    QWidget* w = r.widget;
    if (w == nullptr) return;
    const QRect place = Scaled(r.geometry);
    if (r.fixed) w->setFixedSize(place.size());
    if (&r == &widgets_.front()) {
        w->resize(place.size());  // the area itself: its holder places it
    } else {
        w->setGeometry(place);
    }
    if (r.font) {
        if (factor_ == 1 && !r.ownFont) {
            w->setFont(QFont());  // the font it inherited, as built
        } else {
            w->setFont(PaintsAtNormal(w) ? *r.font : ScaledFont(*r.font, factor_));
        }
    }
    if (r.icons) static_cast<QAbstractButton*>(w)->setIconSize(Scaled(*r.icons));
    // A caption or a radio button sized to its text and the style's unscaled indicator: sized
    // again to them, never cut.
    if (r.fitsContent && factor_ != 1) w->resize(w->sizeHint().expandedTo(place.size()));
}

CanvasZoom::Recorded* CanvasZoom::Find(QWidget* widget) {
    const auto found =
        std::find_if(widgets_.begin(), widgets_.end(), [widget](const Recorded& r) { return r.widget == widget; });
    return found == widgets_.end() ? nullptr : &*found;
}

void CanvasZoom::Place(QWidget* widget, QRect normal) {
    Recorded* r = Find(widget);
    if (r == nullptr) {
        r = &widgets_.emplace_back();
        r->widget = widget;
    }
    r->geometry = normal;
    Show(*r);
}

void PaintsAtNormalSize(QWidget* widget, QSize normal) { widget->setProperty(kNormalSize, normal); }

QTransform NormalSizeTransform(const QWidget& widget) {
    const QSize normal = widget.property(kNormalSize).toSize();
    if (normal.isEmpty() || normal == widget.size()) return {};
    return QTransform::fromScale(static_cast<qreal>(widget.width()) / normal.width(),
                                 static_cast<qreal>(widget.height()) / normal.height());
}

}  // namespace corvel::ui
