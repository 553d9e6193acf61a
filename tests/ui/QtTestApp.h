// The one QApplication of the UI tests, made on first use (offscreen: test_main sets the platform).
#pragma once

#include <QApplication>

namespace corvel::test {

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "tests_ui";
    static char* argv[] = {name, nullptr};
    static QApplication* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app) app = new QApplication(argc, argv);
    return *app;
}

}  // namespace corvel::test
