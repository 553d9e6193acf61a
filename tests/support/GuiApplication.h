// The one QApplication of a test executable that shows widgets, made on first use (offscreen under
// CTest).
#pragma once

#include <QApplication>

namespace corvel::test {

inline QApplication& GuiApplication() {
    static int argc = 1;
    static char name[] = "tests_ui";
    static char* argv[] = {name, nullptr};
    static QApplication* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app) app = new QApplication(argc, argv);
    return *app;
}

}  // namespace corvel::test
