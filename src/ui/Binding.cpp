// Showing the controls in their widgets; see Binding.h.
#include "ui/Binding.h"

#include <QApplication>
#include <QSignalBlocker>
#include <QStringList>

namespace corvel::ui {

namespace {

void SetEnabledVisible(QWidget* widget, bool enabled, bool visible) {
    if (widget->isEnabled() != enabled) widget->setEnabled(enabled);
    if (widget->isVisibleTo(widget->parentWidget()) != visible) widget->setVisible(visible);
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

void SetTip(QWidget* widget, const std::string& hint, const QString& suffix) {
    QString tip = Q(hint);
    if (!suffix.isEmpty()) tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + suffix;
    if (widget->toolTip() != tip) widget->setToolTip(tip);
}

void ShowControl(const app::EditField& f, QLineEdit* edit, const QString& tipSuffix) {
    const QString text = Q(f.text);
    if (edit->text() != text) edit->setText(text);
    SetEnabledVisible(edit, f.enabled, f.visible);
    if (f.readOnly && !edit->isReadOnly()) edit->setReadOnly(true);
    SetColour(edit, QPalette::Base, f.background);
    SetColour(edit, QPalette::Text, f.textColour);
    if (edit->font().italic() != f.italic) {
        QFont font = edit->font();
        font.setItalic(f.italic);
        edit->setFont(font);
    }
    SetTip(edit, f.hint, tipSuffix);
}

void ShowControl(const app::Label& l, QLabel* label, const QString& tipSuffix) {
    const QString text = Q(l.text);
    if (label->text() != text) label->setText(text);
    SetEnabledVisible(label, true, l.visible);
    SetTip(label, l.hint, tipSuffix);
}

void ShowControl(const app::Button& b, QPushButton* button, const QString& tipSuffix) {
    const QString caption = Q(b.caption);
    if (button->text() != caption) button->setText(caption);
    SetEnabledVisible(button, b.enabled, b.visible);
    SetColour(button, QPalette::Button, b.fill);
    SetTip(button, b.hint, tipSuffix);
}

void ShowControl(const app::RadioButton& r, QRadioButton* radio, const QString& tipSuffix) {
    if (radio->isChecked() != r.checked) {
        radio->setAutoExclusive(false);  // the model says which of the group is chosen, none included
        radio->setChecked(r.checked);
        radio->setAutoExclusive(true);
    }
    SetEnabledVisible(radio, r.enabled, true);
    SetTip(radio, r.hint, tipSuffix);
}

void ShowControl(const app::Switch& s, QCheckBox* box, const QString& tipSuffix) {
    if (box->isChecked() != s.isChecked) box->setChecked(s.isChecked);
    SetEnabledVisible(box, s.enabled, true);
    SetTip(box, s.hint, tipSuffix);
}

void ShowControl(const app::CheckBox& c, QCheckBox* box, const QString&) {
    if (box->isChecked() != c.checked) box->setChecked(c.checked);
    SetEnabledVisible(box, c.enabled, true);
}

void ShowControl(const app::ComboBox& c, QComboBox* combo, const QString& tipSuffix) {
    QStringList items;
    for (const std::string& item : c.items) items << Q(item);
    bool same = combo->count() == items.size();
    for (int i = 0; same && i < combo->count(); ++i) same = combo->itemText(i) == items[i];
    if (!same) {
        combo->clear();
        combo->addItems(items);
    }
    if (combo->currentIndex() != c.itemIndex) combo->setCurrentIndex(c.itemIndex);
    SetEnabledVisible(combo, c.enabled, true);
    SetTip(combo, c.hint, tipSuffix);
}

}  // namespace corvel::ui
