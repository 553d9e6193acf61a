// Widgets bound to the controls of a window model (app/Controls.h). Each widget is made by one
// call that names it after its control, places it, and remembers the pair with the control's
// group; Refresh copies the controls of the groups that changed into their widgets (texts,
// colours, enabled and visible states, hints), with the widgets' signals blocked. A user's edit
// or click copies the widget's value into its control, then runs the model's handler through
// the window's `run`, which redraws afterwards. The main window and the dialogs all bind this way.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <functional>
#include <vector>

#include "app/Controls.h"
#include "ui/QtDialogs.h"

namespace corvel::ui {

// The widget shows the control (each function changes only what differs). `tipSuffix`: a line
// added to the hint in the tooltip (a keyboard shortcut).
void ShowControl(const app::EditField& control, QLineEdit* widget, const QString& tipSuffix);
void ShowControl(const app::Label& control, QLabel* widget, const QString& tipSuffix);
void ShowControl(const app::Button& control, QPushButton* widget, const QString& tipSuffix);
void ShowControl(const app::RadioButton& control, QRadioButton* widget, const QString& tipSuffix);
void ShowControl(const app::Switch& control, QCheckBox* widget, const QString& tipSuffix);
void ShowControl(const app::CheckBox& control, QCheckBox* widget, const QString& tipSuffix);
void ShowControl(const app::ComboBox& control, QComboBox* widget, const QString& tipSuffix);

// A colour of the model on a palette role, when it differs (Default: the style's own).
void SetColour(QWidget* widget, QPalette::ColorRole role, app::Colour colour);
// The tooltip: the hint, then `suffix` on a line of its own.
void SetTip(QWidget* widget, const std::string& hint, const QString& suffix);

// A drop-down list that asks for its items again each time it is opened (`onOpen`, then `show`).
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

template <class Model>
class ControlBindings {
public:
    using Handler = std::function<void()>;
    // `run` runs a handler as a user's command (then the window redraws).
    ControlBindings(Model& model, std::function<void(const Handler&)> run) : model_(model), run_(std::move(run)) {}

    // An input field: its text goes into the control as the user types, then `onEdit` runs.
    QLineEdit* Field(QWidget* parent, app::EditField Model::*control, const char* name, QRect where, int group = 0,
                     Handler onEdit = {}) {
        auto* edit = Named(new QLineEdit(parent), name);
        edit->setGeometry(where);
        QObject::connect(edit, &QLineEdit::textEdited, edit, [this, control, onEdit](const QString& text) {
            (model_.*control).text = S(text);
            if (onEdit) run_(onEdit);
        });
        Add(control, edit, group);
        return edit;
    }
    // A field the program writes and the user only reads.
    QLineEdit* Display(QWidget* parent, app::EditField Model::*control, const char* name, QRect where, int group = 0) {
        QLineEdit* edit = Field(parent, control, name, where, group);
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
        return edit;
    }
    QLabel* Text(QWidget* parent, app::Label Model::*control, const char* name, QRect where, int group = 0) {
        auto* label = Named(new QLabel(parent), name);
        label->setGeometry(where);
        Add(control, label, group);
        return label;
    }
    QPushButton* Push(QWidget* parent, app::Button Model::*control, const char* name, QRect where, int group,
                      Handler onClick, QString tipSuffix = {}) {
        auto* button = Named(new QPushButton(parent), name);
        button->setGeometry(where);
        QObject::connect(button, &QPushButton::clicked, button, [this, onClick] { run_(onClick); });
        Add(control, button, group, std::move(tipSuffix));
        return button;
    }
    // A choice of a group of radio buttons; `onChoice` runs when it becomes the chosen one.
    QRadioButton* Radio(QWidget* parent, app::RadioButton Model::*control, const char* name, const char* text,
                        QPoint at, int group = 0, Handler onChoice = {}) {
        auto* radio = Named(new QRadioButton(Q(text), parent), name);
        radio->move(at);
        radio->adjustSize();
        QObject::connect(radio, &QRadioButton::toggled, radio, [this, control, onChoice](bool on) {
            (model_.*control).checked = on;
            if (on && onChoice) run_(onChoice);
        });
        Add(control, radio, group);
        return radio;
    }
    // A switch or a check box: `onChange` runs at each change.
    template <class Box>
    QCheckBox* Check(QWidget* parent, Box Model::*control, const char* name, const char* text, QPoint at, int group = 0,
                     Handler onChange = {}) {
        auto* box = Named(new QCheckBox(Q(text), parent), name);
        box->move(at);
        box->adjustSize();
        QObject::connect(box, &QCheckBox::toggled, box, [this, control, onChange](bool on) {
            Checked(model_.*control) = on;
            if (onChange) run_(onChange);
        });
        Add(control, box, group);
        return box;
    }
    // A drop-down list: the chosen index goes into the control, then `onChoice` runs. With `onOpen`,
    // the model is asked for the items again each time the list opens.
    QComboBox* List(QWidget* parent, app::ComboBox Model::*control, const char* name, QRect where, int group = 0,
                    Handler onChoice = {}, Handler onOpen = {}) {
        auto* list = Named(new RefreshingList(parent), name);
        if (onOpen) {
            list->onOpen = [this, control, list, onOpen] {
                onOpen();
                const QSignalBlocker quiet(list);
                ShowControl(model_.*control, list, {});
            };
        }
        list->setGeometry(where);
        QObject::connect(list, &QComboBox::activated, list, [this, control, onChoice](int index) {
            (model_.*control).itemIndex = index;
            if (onChoice) run_(onChoice);
        });
        Add(control, list, group);
        return list;
    }

    // Copies the controls of the groups for which `changed` says true into their widgets.
    template <class Changed>
    void Refresh(const Changed& changed) {
        for (const Entry& e : entries_) {
            if (changed(e.group)) e.show();
        }
    }
    void RefreshAll() {
        Refresh([](int) { return true; });
    }

private:
    struct Entry {
        int group;
        std::function<void()> show;
    };
    static bool& Checked(app::Switch& s) { return s.isChecked; }
    static bool& Checked(app::CheckBox& c) { return c.checked; }
    template <class W>
    static W* Named(W* widget, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    }
    template <class Control, class Widget>
    void Add(Control Model::*control, Widget* widget, int group, QString tipSuffix = {}) {
        entries_.push_back({group, [this, control, widget, tip = std::move(tipSuffix)] {
                                const QSignalBlocker quiet(widget);
                                ShowControl(model_.*control, widget, tip);
                            }});
    }

    Model& model_;
    std::function<void(const Handler&)> run_;
    std::vector<Entry> entries_;
};

}  // namespace corvel::ui
