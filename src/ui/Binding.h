// Widgets bound to a window model's controls, shared by the main window and the dialogs. Each
// widget is named after its control. The Show functions copy a control's text, colours, enabled
// and visible states and hint into its widget, with the widget's signals blocked where it would
// take the change for the user's; `DialogBindings` holds a dialog's tables of bound widgets, copies
// the user's edits and clicks into the model before the handler runs, and shows the model again;
// `BoundDialog` is a non-modal dialog shown and hidden as its model's `Visible` says.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "app/Controls.h"
#include "ui/QtDialogs.h"

namespace corvel::ui {

// A palette role's colour; app::colours::Default gives the style's own. Unchanged colours cost
// nothing (a new palette costs a repaint and a style pass).
void SetColour(QWidget* widget, QPalette::ColorRole role, app::Colour colour);
// The hint as tooltip, followed by "Raccourci : " and the shortcut when there is one.
void SetTip(QWidget* widget, const std::string& hint, const QString& shortcut);
void SetEnabledVisible(QWidget* widget, bool enabled, bool visible);

// `display`: a field the view shows read-only whatever the model says (a computed value); other
// fields are read-only exactly when the model says so.
void ShowField(QLineEdit* edit, const app::EditField& field, bool display, const QString& shortcut = {});
void ShowLabel(QLabel* label, const app::Label& text, const QString& shortcut = {});
void ShowButton(QPushButton* button, const app::Button& control, const QString& shortcut = {});
// The model says which radio button of a pair is on: both are written, exclusivity aside.
void ShowRadio(QRadioButton* radio, const app::RadioButton& control, const QString& shortcut = {});
void ShowSwitch(QCheckBox* box, const app::Switch& control, const QString& shortcut = {});
void ShowCombo(QComboBox* combo, const app::ComboBox& control, const QString& shortcut = {});
// A non-modal dialog as its model's `Visible` says: shown and brought to the front, or hidden.
void ShowDialog(QDialog* dialog, bool visible);

// The bound widgets of one dialog whose model is `Model`. `command` runs a handler and then shows
// the model again (the dialog's own, which calls Refresh).
template <class Model>
class DialogBindings {
public:
    using Command = std::function<void(const std::function<void()>&)>;

    DialogBindings(Model& model, QObject* owner, Command command)
        : model_(model), owner_(owner), command_(std::move(command)) {}

    // An editable field: each edit is copied into the control, then `onEdit` runs.
    QLineEdit* Field(QWidget* parent, app::EditField Model::*control, const char* name,
                     std::function<void()> onEdit = {}) {
        auto* edit = Named(new QLineEdit(parent), name);
        QObject::connect(edit, &QLineEdit::textEdited, owner_, [this, control, onEdit](const QString& text) {
            (model_.*control).text = S(text);
            if (onEdit) command_(onEdit);
        });
        fields_.push_back({control, edit, false});
        return edit;
    }
    // A field that shows a value: read-only, out of the tab order.
    QLineEdit* Display(QWidget* parent, app::EditField Model::*control, const char* name) {
        QLineEdit* edit = Field(parent, control, name);
        edit->setFocusPolicy(Qt::NoFocus);
        fields_.back().display = true;
        return edit;
    }
    QLabel* Text(QWidget* parent, app::Label Model::*control, const char* name) {
        auto* label = Named(new QLabel(parent), name);
        labels_.push_back({control, label, false});
        return label;
    }
    QPushButton* Push(QWidget* parent, app::Button Model::*control, const char* name, std::function<void()> onClick) {
        auto* button = Named(new QPushButton(parent), name);
        QObject::connect(button, &QPushButton::clicked, owner_, [this, onClick] { command_(onClick); });
        buttons_.push_back({control, button, false});
        return button;
    }
    // A radio button: its state is copied into the control; `onChoice` runs when it is chosen.
    QRadioButton* Radio(QWidget* parent, app::RadioButton Model::*control, const char* name, const char* text,
                        std::function<void()> onChoice = {}) {
        auto* radio = Named(new QRadioButton(Q(text), parent), name);
        QObject::connect(radio, &QRadioButton::toggled, owner_, [this, control, onChoice](bool on) {
            (model_.*control).checked = on;
            if (on && onChoice) command_(onChoice);
        });
        radios_.push_back({control, radio, false});
        return radio;
    }
    // A list to choose from: the chosen index is copied into the control, then `onSelect` runs.
    QComboBox* Combo(QWidget* parent, app::ComboBox Model::*control, const char* name, std::function<void()> onSelect) {
        auto* combo = Named(new QComboBox(parent), name);
        QObject::connect(combo, &QComboBox::activated, owner_, [this, control, onSelect](int index) {
            (model_.*control).itemIndex = index;
            command_(onSelect);
        });
        combos_.push_back({control, combo, false});
        return combo;
    }

    // Every bound widget shows its control.
    void Refresh() const {
        for (const auto& f : fields_) ShowField(f.widget, model_.*f.control, f.display);
        for (const auto& l : labels_) ShowLabel(l.widget, model_.*l.control);
        for (const auto& b : buttons_) ShowButton(b.widget, model_.*b.control);
        for (const auto& r : radios_) ShowRadio(r.widget, model_.*r.control);
        for (const auto& c : combos_) ShowCombo(c.widget, model_.*c.control);
    }

private:
    template <class Widget>
    static Widget* Named(Widget* widget, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    }
    template <class Control, class Widget>
    struct Bound {
        Control Model::*control;
        Widget* widget;
        bool display;
    };

    Model& model_;
    QObject* owner_;
    Command command_;
    std::vector<Bound<app::EditField, QLineEdit>> fields_;
    std::vector<Bound<app::Label, QLabel>> labels_;
    std::vector<Bound<app::Button, QPushButton>> buttons_;
    std::vector<Bound<app::RadioButton, QRadioButton>> radios_;
    std::vector<Bound<app::ComboBox, QComboBox>> combos_;
};

// A non-modal dialog over a model with `Caption`, `Visible` and `Show()`. Its commands run the
// model's handler, show the model again and then call `commandDone` (the main window redraws what
// the handler wrote there). Escape and the close box hide it as the model's own close does.
template <class Model>
class BoundDialog : public QDialog {
public:
    // Copies the model into the widgets, the dialog's title and visibility included.
    void Refresh() {
        ShowOwnWidgets();
        bind_.Refresh();
        const QString caption = Q(model_.Caption);
        if (windowTitle() != caption) setWindowTitle(caption);
        ShowDialog(this, model_.Visible);
    }
    // Shows the dialog: the model's Show, then the model as it is.
    void Open() {
        model_.Show();
        Refresh();
    }

protected:
    BoundDialog(Model& model, QWidget* parent, std::function<void()> commandDone)
        : QDialog(parent),
          model_(model),
          commandDone_(std::move(commandDone)),
          bind_(model, this, [this](const std::function<void()>& handler) { Command(handler); }) {}

    void done(int result) override {
        model_.Visible = false;
        QDialog::done(result);
    }
    void Command(const std::function<void()>& handler) {
        handler();
        Refresh();
        if (commandDone_) commandDone_();
    }
    // The widgets the bindings do not hold, shown before them.
    virtual void ShowOwnWidgets() {}

    Model& model_;
    std::function<void()> commandDone_;
    DialogBindings<Model> bind_;
};

}  // namespace corvel::ui
