// The about box: a borderless 349 x 402 window centred on the main window, not modal, with the
// program's name on a navy band, its version, what it does, and "OK".
#pragma once

#include <QDialog>

namespace corvel::ui {

class AboutBox : public QDialog {
public:
    explicit AboutBox(QWidget* mainWindow);
    // Shows it centred on the main window ("A Propos").
    void AboutClick();
};

}  // namespace corvel::ui
