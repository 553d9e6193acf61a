// Widgets bound to a window model's controls, shared by the main window and the dialogs. Each
// widget is named after its control. The Show functions copy a control's text, colours, enabled
// and visible states and hint into its widget, with the widget's signals blocked where it would
// take the change for the user's; `ControlBindings` keeps a window's bound widgets, copies the
// user's edits and clicks into the model before the handler runs, and shows the model again
// (`DialogBindings`: a dialog's, placed by its layouts); `BoundDialog` is a non-modal dialog shown
// and hidden as its model's `Visible` says.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QString>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "app/windows/Controls.h"
#include "ui/QtDialogs.h"

namespace corvel::ui {

// Combo boxes and spin boxes under `root` take the mouse wheel only once they have the keyboard
// focus (a click or Tab gives it): a wheel turned over them while the page scrolls goes on
// scrolling the page instead of choosing a serial port or changing a value.
void WheelOnlyWithFocus(QWidget* root);

// A palette role's colour; app::colours::Default gives the style's own. Unchanged colours cost
// nothing (a new palette costs a repaint and a style pass).
void SetColour(QWidget* widget, QPalette::ColorRole role, app::Colour colour);
// The hint as tooltip, followed by "Raccourci : " and the shortcut when there is one.
void SetTip(QWidget* widget, const std::string& hint, const QString& shortcut);
void SetEnabledVisible(QWidget* widget, bool enabled, bool visible);

// `display`: a field the view shows read-only whatever the model says (a computed value); other
// fields are read-only exactly when the model says so. The text of a field the user is typing in
// (focused and edited) is left as typed until the user leaves it.
void ShowField(QLineEdit* edit, const app::EditField& field, bool display, const QString& shortcut = {});
void ShowLabel(QLabel* label, const app::Label& text, const QString& shortcut = {});
void ShowButton(QPushButton* button, const app::Button& control, const QString& shortcut = {});
// The model says which radio button of a pair is on: both are written, exclusivity aside.
void ShowRadio(QRadioButton* radio, const app::RadioButton& control, const QString& shortcut = {});
void ShowSwitch(QCheckBox* box, const app::Switch& control, const QString& shortcut = {});
void ShowCheck(QCheckBox* box, const app::CheckBox& control);
void ShowCombo(QComboBox* combo, const app::ComboBox& control, const QString& shortcut = {});
// A fixed text of a window (a caption beside a field, a unit) at its pixel position.
struct Caption {
    const char* text;
    int x, y;
};
QLabel* AddCaption(QWidget* parent, const Caption& caption);
void AddCaptions(QWidget* parent, std::initializer_list<Caption> captions);
// A titled group of controls at its pixel position.
QGroupBox* Panel(QWidget* parent, const char* title, QRect geometry);

// A non-modal dialog as its model's `Visible` says: shown and brought to the front, or hidden.
void ShowDialog(QDialog* dialog, bool visible);

// A drop-down list that asks for its items again each time it is opened (`onOpen`).
class RefreshingList : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> onOpen;

protected:
    void showPopup() override {
        if (onOpen) onOpen();
        QComboBox::showPopup();
    }
};

// Where a bound widget goes on its parent: a rectangle, a position (the widget takes its own
// size), or nowhere (a layout places it).
struct Place {
    Place() = default;
    Place(QRect r) : rect(r) {}
    Place(QPoint p) : at(p) {}
    Place(int x, int y) : at(QPoint(x, y)) {}
    Place(int x, int y, int w, int h) : rect(QRect(x, y, w, h)) {}
    std::optional<QRect> rect;
    std::optional<QPoint> at;
};

// The widgets bound to the controls of one window model, each kept with its control's group
// (app/windows/ControlGroups.h for the main window; a dialog puts all in one), so that a redraw copies only
// the groups whose revision moved (the main window, twenty times a second while the boat sails).
// The user's edits and clicks are copied into the control before `run` runs the handler as a
// user's command (the window then shows the model again).
template <class Model>
class ControlBindings {
public:
    using Handler = std::function<void()>;
    ControlBindings(Model& model, std::function<void(const Handler&)> run) : model_(model), run_(std::move(run)) {}

    // An input field: its text goes into the control as the user types, then `onEdit` runs.
    QLineEdit* Field(QWidget* parent, app::EditField Model::*control, const char* name, Place where, int group,
                     Handler onEdit = {}) {
        return MakeField(parent, control, name, where, group, std::move(onEdit), false);
    }
    // A field the program writes and the user only reads: read-only, out of the tab order.
    QLineEdit* Display(QWidget* parent, app::EditField Model::*control, const char* name, Place where, int group) {
        QLineEdit* edit = MakeField(parent, control, name, where, group, {}, true);
        edit->setFocusPolicy(Qt::NoFocus);
        return edit;
    }
    QLabel* Text(QWidget* parent, app::Label Model::*control, const char* name, Place where, int group) {
        auto* label = Made(new QLabel(parent), name, where);
        entries_.push_back({group, [this, control, label] { ShowLabel(label, model_.*control); }});
        return label;
    }
    // `shortcut`: the key named in the tooltip.
    QPushButton* Push(QWidget* parent, app::Button Model::*control, const char* name, Place where, int group,
                      Handler onClick, QString shortcut = {}) {
        auto* button = Made(new QPushButton(parent), name, where);
        QObject::connect(button, &QPushButton::clicked, button, [this, onClick] { run_(onClick); });
        entries_.push_back(
            {group, [this, control, button, shortcut] { ShowButton(button, model_.*control, shortcut); }});
        return button;
    }
    // A choice of a group of radio buttons; `onChoice` runs when it becomes the chosen one.
    QRadioButton* Radio(QWidget* parent, app::RadioButton Model::*control, const char* name, const char* text,
                        Place where, int group, Handler onChoice = {}) {
        auto* radio = Made(new QRadioButton(Q(text), parent), name, where);
        QObject::connect(radio, &QRadioButton::toggled, radio, [this, control, onChoice](bool on) {
            (model_.*control).checked = on;
            if (on && onChoice) run_(onChoice);
        });
        entries_.push_back({group, [this, control, radio] { ShowRadio(radio, model_.*control); }});
        return radio;
    }
    // A switch: its state goes into the control, then `onSwitch` runs.
    QCheckBox* Switch(QWidget* parent, app::Switch Model::*control, const char* name, Place where, int group,
                      Handler onSwitch = {}) {
        auto* box = Made(new QCheckBox(parent), name, where);
        QObject::connect(box, &QCheckBox::toggled, box, [this, control, onSwitch](bool on) {
            (model_.*control).isChecked = on;
            if (onSwitch) run_(onSwitch);
        });
        entries_.push_back({group, [this, control, box] { ShowSwitch(box, model_.*control); }});
        return box;
    }
    // A check box: its state goes into the control, then `onChange` runs.
    QCheckBox* Check(QWidget* parent, app::CheckBox Model::*control, const char* name, const char* text, Place where,
                     int group, Handler onChange = {}) {
        auto* box = Made(new QCheckBox(Q(text), parent), name, where);
        QObject::connect(box, &QCheckBox::toggled, box, [this, control, onChange](bool on) {
            (model_.*control).checked = on;
            if (onChange) run_(onChange);
        });
        entries_.push_back({group, [this, control, box] { ShowCheck(box, model_.*control); }});
        return box;
    }
    // A drop-down list: the chosen index goes into the control, then `onChoice` runs. With `onOpen`,
    // the model is asked for the items again each time the list opens.
    QComboBox* List(QWidget* parent, app::ComboBox Model::*control, const char* name, Place where, int group,
                    Handler onChoice = {}, Handler onOpen = {}) {
        auto* list = Made(new RefreshingList(parent), name, where);
        QObject::connect(list, &QComboBox::activated, list, [this, control, onChoice](int index) {
            (model_.*control).itemIndex = index;
            if (onChoice) run_(onChoice);
        });
        const auto show = [this, control, list] { ShowCombo(list, model_.*control); };
        if (onOpen) {
            list->onOpen = [onOpen, show] {
                onOpen();
                show();
            };
        }
        entries_.push_back({group, show});
        return list;
    }

    // Copies the controls of the groups for which `changed` says true into their widgets.
    template <class Changed>
    void Refresh(const Changed& changed) const {
        for (const Entry& e : entries_) {
            if (changed(e.group)) e.show();
        }
    }
    // Every bound widget shows its control.
    void Refresh() const {
        Refresh([](int) { return true; });
    }

private:
    struct Entry {
        int group;
        std::function<void()> show;
    };
    template <class W>
    static W* Made(W* widget, const char* name, const Place& where) {
        widget->setObjectName(QString::fromLatin1(name));
        if (where.rect) widget->setGeometry(*where.rect);
        if (where.at) {
            widget->move(*where.at);
            widget->adjustSize();
        }
        return widget;
    }
    QLineEdit* MakeField(QWidget* parent, app::EditField Model::*control, const char* name, Place where, int group,
                         Handler onEdit, bool display) {
        auto* edit = Made(new QLineEdit(parent), name, where);
        QObject::connect(edit, &QLineEdit::textEdited, edit, [this, control, onEdit](const QString& text) {
            (model_.*control).text = S(text);
            if (onEdit) run_(onEdit);
        });
        entries_.push_back({group, [this, control, edit, display] { ShowField(edit, model_.*control, display); }});
        return edit;
    }

    Model& model_;
    std::function<void(const Handler&)> run_;
    std::vector<Entry> entries_;
};

// A dialog's bindings: the same, its widgets placed by the dialog's layouts and redrawn whole.
template <class Model>
class DialogBindings : public ControlBindings<Model> {
    using Base = ControlBindings<Model>;

public:
    using Handler = typename Base::Handler;
    using Base::Base;
    using Base::Refresh;

    QLineEdit* Field(QWidget* parent, app::EditField Model::*control, const char* name, Handler onEdit = {}) {
        return Base::Field(parent, control, name, {}, 0, std::move(onEdit));
    }
    QLineEdit* Display(QWidget* parent, app::EditField Model::*control, const char* name) {
        return Base::Display(parent, control, name, {}, 0);
    }
    QLabel* Text(QWidget* parent, app::Label Model::*control, const char* name) {
        return Base::Text(parent, control, name, {}, 0);
    }
    QPushButton* Push(QWidget* parent, app::Button Model::*control, const char* name, Handler onClick) {
        return Base::Push(parent, control, name, {}, 0, std::move(onClick));
    }
    QRadioButton* Radio(QWidget* parent, app::RadioButton Model::*control, const char* name, const char* text,
                        Handler onChoice = {}) {
        return Base::Radio(parent, control, name, text, {}, 0, std::move(onChoice));
    }
    QCheckBox* Check(QWidget* parent, app::CheckBox Model::*control, const char* name, const char* text,
                     Handler onChange = {}) {
        return Base::Check(parent, control, name, text, {}, 0, std::move(onChange));
    }
    QComboBox* Combo(QWidget* parent, app::ComboBox Model::*control, const char* name, Handler onSelect) {
        return Base::List(parent, control, name, {}, 0, std::move(onSelect));
    }
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
          bind_(model, [this](const std::function<void()>& handler) { Command(handler); }) {}

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
