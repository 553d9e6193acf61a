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
    // A check box: its state is copied into the control, then `onChange` runs.
    QCheckBox* Check(QWidget* parent, app::CheckBox Model::*control, const char* name, const char* text,
                     std::function<void()> onChange = {}) {
        auto* box = Named(new QCheckBox(Q(text), parent), name);
        QObject::connect(box, &QCheckBox::toggled, owner_, [this, control, onChange](bool on) {
            (model_.*control).checked = on;
            if (onChange) command_(onChange);
        });
        checks_.push_back({control, box, false});
        return box;
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
        for (const auto& c : checks_) ShowCheck(c.widget, model_.*c.control);
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
    std::vector<Bound<app::CheckBox, QCheckBox>> checks_;
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

// The main window's bindings: each widget placed at its pixel position and kept with its control's
// group (app/ControlGroups.h), so that a redraw copies only the groups whose revision moved, twenty
// times a second while the boat sails. `run` runs a handler as a user's command (the main window
// then redraws every group).
template <class Model>
class ControlBindings {
public:
    using Handler = std::function<void()>;
    ControlBindings(Model& model, std::function<void(const Handler&)> run) : model_(model), run_(std::move(run)) {}

    // An input field: its text goes into the control as the user types, then `onEdit` runs.
    QLineEdit* Field(QWidget* parent, app::EditField Model::*control, const char* name, QRect where, int group,
                     Handler onEdit = {}) {
        return MakeField(parent, control, name, where, group, std::move(onEdit), false);
    }
    // A field the program writes and the user only reads.
    QLineEdit* Display(QWidget* parent, app::EditField Model::*control, const char* name, QRect where, int group) {
        QLineEdit* edit = MakeField(parent, control, name, where, group, {}, true);
        edit->setFocusPolicy(Qt::NoFocus);
        return edit;
    }
    QLabel* Text(QWidget* parent, app::Label Model::*control, const char* name, QRect where, int group) {
        auto* label = Named(new QLabel(parent), name);
        label->setGeometry(where);
        entries_.push_back({group, [this, control, label] { ShowLabel(label, model_.*control); }});
        return label;
    }
    // `shortcut`: the key named in the tooltip.
    QPushButton* Push(QWidget* parent, app::Button Model::*control, const char* name, QRect where, int group,
                      Handler onClick, QString shortcut = {}) {
        auto* button = Named(new QPushButton(parent), name);
        button->setGeometry(where);
        QObject::connect(button, &QPushButton::clicked, button, [this, onClick] { run_(onClick); });
        entries_.push_back(
            {group, [this, control, button, shortcut] { ShowButton(button, model_.*control, shortcut); }});
        return button;
    }
    // A choice of a group of radio buttons; `onChoice` runs when it becomes the chosen one.
    QRadioButton* Radio(QWidget* parent, app::RadioButton Model::*control, const char* name, const char* text,
                        QPoint at, int group, Handler onChoice = {}) {
        auto* radio = Named(new QRadioButton(Q(text), parent), name);
        radio->move(at);
        radio->adjustSize();
        QObject::connect(radio, &QRadioButton::toggled, radio, [this, control, onChoice](bool on) {
            (model_.*control).checked = on;
            if (on && onChoice) run_(onChoice);
        });
        entries_.push_back({group, [this, control, radio] {
                                const QSignalBlocker quiet(radio);
                                ShowRadio(radio, model_.*control);
                            }});
        return radio;
    }
    // A switch: its state goes into the control, then `onSwitch` runs.
    QCheckBox* Switch(QWidget* parent, app::Switch Model::*control, const char* name, QPoint at, int group,
                      Handler onSwitch = {}) {
        auto* box = Named(new QCheckBox(parent), name);
        box->move(at);
        box->adjustSize();
        QObject::connect(box, &QCheckBox::toggled, box, [this, control, onSwitch](bool on) {
            (model_.*control).isChecked = on;
            if (onSwitch) run_(onSwitch);
        });
        entries_.push_back({group, [this, control, box] {
                                const QSignalBlocker quiet(box);
                                ShowSwitch(box, model_.*control);
                            }});
        return box;
    }
    // A drop-down list: the chosen index goes into the control, then `onChoice` runs. With `onOpen`,
    // the model is asked for the items again each time the list opens.
    QComboBox* List(QWidget* parent, app::ComboBox Model::*control, const char* name, QRect where, int group,
                    Handler onChoice = {}, Handler onOpen = {}) {
        auto* list = Named(new RefreshingList(parent), name);
        list->setGeometry(where);
        QObject::connect(list, &QComboBox::activated, list, [this, control, onChoice](int index) {
            (model_.*control).itemIndex = index;
            if (onChoice) run_(onChoice);
        });
        const auto show = [this, control, list] {
            const QSignalBlocker quiet(list);
            ShowCombo(list, model_.*control);
        };
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

private:
    struct Entry {
        int group;
        std::function<void()> show;
    };
    template <class W>
    static W* Named(W* widget, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    }
    QLineEdit* MakeField(QWidget* parent, app::EditField Model::*control, const char* name, QRect where, int group,
                         Handler onEdit, bool display) {
        auto* edit = Named(new QLineEdit(parent), name);
        edit->setGeometry(where);
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

}  // namespace corvel::ui
