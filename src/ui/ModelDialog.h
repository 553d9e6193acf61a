// A dialog window that shows a GUI-free dialog model: shown and hidden as the model's `Visible`
// says (Sync, which the main window calls after every command), its widgets copied from the model
// while it is shown (Refresh). Closing it with the close box is the model's hiding it.
#pragma once

#include <QCloseEvent>
#include <QDialog>

namespace corvel::ui {

class ModelDialog : public QDialog {
public:
    ModelDialog(bool& visible, QWidget* parent) : QDialog(parent), visible_(visible) {}

    void Sync() {
        if (visible_) {
            Refresh();
            if (!isVisible()) {
                show();
                raise();
            }
        } else if (isVisible()) {
            hide();
        }
    }
    // The widgets copied from the model.
    virtual void Refresh() = 0;

protected:
    void closeEvent(QCloseEvent* event) override {
        visible_ = false;
        QDialog::closeEvent(event);
    }
    // Escape closes the dialog as the close box does.
    void reject() override {
        visible_ = false;
        QDialog::reject();
    }

private:
    bool& visible_;
};

}  // namespace corvel::ui
