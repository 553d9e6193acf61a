// The Show functions of the bound widgets; see Binding.h.
#include "ui/Binding.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QSignalBlocker>

namespace corvel::ui {

namespace {

// Passes a wheel turned over a combo box or spin box without focus on to the page that scrolls
// around it (the nearest scroll area), as if the box were not there; without one it is dropped.
class WheelGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::Wheel || widget == nullptr || widget->hasFocus()) return false;
        for (QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
            if (auto* page = qobject_cast<QAbstractScrollArea*>(up)) {
                QCoreApplication::sendEvent(page->viewport(), event);
                break;
            }
        }
        return true;
    }
};

}  // namespace

void WheelOnlyWithFocus(QWidget* root) {
    auto* guard = new WheelGuard(root);
    QList<QWidget*> boxes;
    for (QComboBox* combo : root->findChildren<QComboBox*>()) boxes << combo;
    for (QAbstractSpinBox* spin : root->findChildren<QAbstractSpinBox*>()) boxes << spin;
    for (QWidget* box : boxes) {
        box->setFocusPolicy(Qt::StrongFocus);  // the wheel alone no longer gives the focus
        box->installEventFilter(guard);
    }
}

namespace {

void SetText(QLineEdit* edit, const std::string& text) {
    const QString q = Q(text);
    if (edit->text() != q) edit->setText(q);
}

}  // namespace

void SetColour(QWidget* widget, QPalette::ColorRole role, app::Colour colour) {
    const QColor wanted =
        colour == app::colours::Default ? QApplication::palette(widget).color(role) : QColor::fromRgba(colour);
    if (widget->palette().color(role) == wanted) return;
    QPalette p = widget->palette();
    p.setColor(role, wanted);
    widget->setPalette(p);
}

void SetTip(QWidget* widget, const std::string& hint, const QString& shortcut) {
    QString tip = Q(hint);
    if (!shortcut.isEmpty())
        tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + QStringLiteral("Raccourci : ") + shortcut;
    if (widget->toolTip() != tip) widget->setToolTip(tip);
}

void SetEnabledVisible(QWidget* widget, bool enabled, bool visible) {
    if (widget->isEnabled() != enabled) widget->setEnabled(enabled);
    if (widget->isVisibleTo(widget->parentWidget()) != visible) widget->setVisible(visible);
}

void ShowField(QLineEdit* edit, const app::EditField& f, bool display, const QString& shortcut) {
    const QSignalBlocker quiet(edit);
    // A field the user is typing in keeps what is typed: the display catches up once the user
    // leaves it (the tick would otherwise write over a half-typed number).
    if (!(edit->hasFocus() && edit->isModified() && !edit->isReadOnly())) SetText(edit, f.text);
    SetEnabledVisible(edit, f.enabled, f.visible);
    const bool readOnly = display || f.readOnly;
    if (edit->isReadOnly() != readOnly) edit->setReadOnly(readOnly);
    SetColour(edit, QPalette::Base, f.background);
    SetColour(edit, QPalette::Text, f.textColour);
    if (edit->font().italic() != f.italic) {
        QFont font = edit->font();
        font.setItalic(f.italic);
        edit->setFont(font);
    }
    SetTip(edit, f.hint, shortcut);
}

void ShowLabel(QLabel* label, const app::Label& l, const QString& shortcut) {
    if (label->text() != Q(l.text)) label->setText(Q(l.text));
    SetEnabledVisible(label, true, l.visible);
    SetTip(label, l.hint, shortcut);
}

void ShowButton(QPushButton* button, const app::Button& b, const QString& shortcut) {
    if (button->text() != Q(b.caption)) button->setText(Q(b.caption));
    SetEnabledVisible(button, b.enabled, b.visible);
    SetColour(button, QPalette::Button, b.fill);
    // A greyed button keeps its fill (salmon, green): its text is then written dark enough to be
    // read on it, rather than the style's light grey.
    const QColor greyed = b.fill == app::colours::Default
                              ? QApplication::palette(button).color(QPalette::Disabled, QPalette::ButtonText)
                              : QColor(0x40, 0x40, 0x40);
    if (button->palette().color(QPalette::Disabled, QPalette::ButtonText) != greyed) {
        QPalette p = button->palette();
        p.setColor(QPalette::Disabled, QPalette::ButtonText, greyed);
        button->setPalette(p);
    }
    SetTip(button, b.hint, shortcut);
}

void ShowRadio(QRadioButton* radio, const app::RadioButton& r, const QString& shortcut) {
    const QSignalBlocker quiet(radio);
    if (radio->isChecked() != r.checked) {
        radio->setAutoExclusive(false);  // the model says which of the pair is on
        radio->setChecked(r.checked);
        radio->setAutoExclusive(true);
    }
    SetEnabledVisible(radio, r.enabled, true);
    SetTip(radio, r.hint, shortcut);
}

void ShowSwitch(QCheckBox* box, const app::Switch& s, const QString& shortcut) {
    const QSignalBlocker quiet(box);
    if (box->isChecked() != s.isChecked) box->setChecked(s.isChecked);
    SetEnabledVisible(box, s.enabled, true);
    SetTip(box, s.hint, shortcut);
}

void ShowCheck(QCheckBox* box, const app::CheckBox& c) {
    const QSignalBlocker quiet(box);
    if (box->isChecked() != c.checked) box->setChecked(c.checked);
    SetEnabledVisible(box, c.enabled, true);
}

void ShowCombo(QComboBox* combo, const app::ComboBox& c, const QString& shortcut) {
    const QSignalBlocker quiet(combo);
    QStringList items;
    for (const std::string& item : c.items) items << Q(item);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
    if (shown != items) {
        combo->clear();
        combo->addItems(items);
    }
    if (combo->currentIndex() != c.itemIndex) combo->setCurrentIndex(c.itemIndex);
    SetEnabledVisible(combo, c.enabled, true);
    SetTip(combo, c.hint, shortcut);
}

QLabel* AddCaption(QWidget* parent, const Caption& c) {
    auto* label = new QLabel(Q(c.text), parent);
    label->move(c.x, c.y);
    label->adjustSize();
    return label;
}

void AddCaptions(QWidget* parent, std::initializer_list<Caption> captions) {
    for (const Caption& c : captions) AddCaption(parent, c);
}

QGroupBox* Panel(QWidget* parent, const char* title, QRect geometry) {
    auto* box = new QGroupBox(Q(title), parent);
    box->setGeometry(geometry);
    return box;
}

void ShowDialog(QDialog* dialog, bool visible) {
    if (visible == dialog->isVisible()) return;
    if (!visible) {
        dialog->hide();
        return;
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

}  // namespace corvel::ui
