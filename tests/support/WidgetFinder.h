// The view tests find a window's widgets by their object names, the names of their controls.
#pragma once

#include <gtest/gtest.h>

#include <QObject>
#include <QString>
#include <QWidget>

namespace corvel::test {

// The widget named `name` below `root`; a test failure (and nullptr) when there is none.
template <class Widget = QWidget>
Widget* FindWidget(const QObject& root, const char* name) {
    auto* found = root.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

}  // namespace corvel::test
