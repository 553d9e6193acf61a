// The main window's zoom on the widgets: Ctrl+- scales the whole client area (geometry, fonts,
// instruments), Ctrl+0 brings back the exact layout at 100 %, and a click at a scaled position
// reaches what it reaches at 100 %.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTest>
#include <cmath>
#include <map>
#include <string>

#include "app/program/Program.h"
#include "support/DataFiles.h"
#include "support/FakeDialogs.h"
#include "support/GuiApplication.h"
#include "support/WidgetFinder.h"
#include "ui/MainWindow.h"
#include "ui/SlidePicture.h"

using namespace corvel;

namespace {

class WindowZoomView : public ::testing::Test {
protected:
    WindowZoomView() {
        window.show();
        QApplication::setActiveWindow(&window);
    }

    QApplication& qt = test::GuiApplication();
    test::FakeDialogs dialogs;
    app::Program program{dialogs, test::SourceDir() / "data"};
    app::TFCorvel& w = program.FCorvel;
    ui::MainWindow window{program, QPixmap()};
    QWidget* canvas = window.Canvas();

    template <class Widget = QWidget>
    Widget* Find(const char* name) {
        return test::FindWidget<Widget>(window, name);
    }
    void Key(int key) { QTest::keyClick(&window, static_cast<Qt::Key>(key), Qt::ControlModifier); }
    QAction* Action(const char* name) { return window.findChild<QAction*>(QString::fromLatin1(name)); }
    // What every widget of the client area has: geometry, font and, for buttons, icon size.
    struct Looks {
        QRect geometry;
        QFont font;
        QSize icons;
        bool operator==(const Looks&) const = default;
    };
    std::map<QWidget*, Looks> Snapshot() {
        std::map<QWidget*, Looks> all{{canvas, {canvas->geometry(), canvas->font(), {}}}};
        for (QWidget* child : canvas->findChildren<QWidget*>()) {
            if (child->window() != &window) continue;  // the lists' popups
            const auto* button = qobject_cast<QAbstractButton*>(child);
            all[child] = {child->geometry(), child->font(), button ? button->iconSize() : QSize()};
        }
        return all;
    }
    // The widget a click at `point` of the client area reaches, clicked there.
    QWidget* ClickAt(QPoint point) {
        QWidget* hit = canvas->childAt(point);
        if (hit) QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFrom(canvas, point));
        return hit;
    }
    void Advance(sim::Millis ms) {
        w.Timers.Advance(ms);
        window.Refresh();
    }
};

QPoint Scaled(QPoint p, double factor) {
    return {static_cast<int>(std::lround(p.x() * factor)), static_cast<int>(std::lround(p.y() * factor))};
}

TEST_F(WindowZoomView, CtrlMinusScalesTheClientAreaAndCtrl0BringsBackTheLayout) {
    const std::map<QWidget*, Looks> normal = Snapshot();
    const QSize slide = Find<ui::SlidePicture>("ImgDiapo")->PictureSize();
    ASSERT_FALSE(slide.isEmpty());
    const double points = canvas->font().pointSizeF();
    EXPECT_EQ(canvas->size(), QSize(1600, 940));
    EXPECT_TRUE(Action("MenuZoom100")->isChecked());

    Key(Qt::Key_Minus);
    Key(Qt::Key_Minus);
    EXPECT_EQ(program.Zoom.Percent(), 80);
    EXPECT_TRUE(Action("MenuZoom80")->isChecked());
    EXPECT_FALSE(Action("MenuZoom100")->isChecked());
    EXPECT_EQ(canvas->size(), QSize(1280, 752));
    EXPECT_EQ(Find<QScrollArea>("ScrollBox")->widget(), canvas);
    // Each edge times 0.8, rounded, in its parent's coordinates.
    const struct {
        const char* name;
        QRect at80;
    } places[] = {
        {"FMXCompass1", {504, 14, 432, 460}},  // 630, 18, 540 x 574
        {"EdHDG", {62, 21, 56, 19}},           // 78, 26, 70 x 24 in its panel
        {"TrackBarre", {560, 477, 208, 21}},   // 700, 596, 260 x 26
        {"ImgDiapo", {954, 13, 320, 437}},     // 1193, 16, 400 x 547
        {"ImageProf", {0, 0, 140, 103}},       // the sounder's 175 x 129, placed in its frame below
        {"MemoNMEA", {6, 74, 444, 156}},       // 8, 92, 555 x 195 in the transmission panel
        {"Legende", {973, 503, 301, 234}},     // 1216, 629, 377 x 292
    };
    for (const auto& p : places) {
        QWidget* widget = Find(p.name);
        if (p.at80.topLeft() == QPoint(0, 0)) {
            EXPECT_EQ(widget->size(), p.at80.size()) << p.name;
        } else {
            EXPECT_EQ(widget->geometry(), p.at80) << p.name;
        }
    }
    EXPECT_EQ(Find<QLabel>("Legende")->pixmap().size(), QSize(301, 234));
    // The slide shown again at the picture's new size, as large as it fits.
    const QSize slide80 = Find<ui::SlidePicture>("ImgDiapo")->PictureSize();
    EXPECT_TRUE(slide80.width() == 320 || slide80.height() == 437) << slide80.width() << " x " << slide80.height();
    EXPECT_TRUE(slide80.width() <= 320 && slide80.height() <= 437) << slide80.width() << " x " << slide80.height();
    // The fonts: the window's, and those of their own (the large heading, the sentence list, the
    // polar's name), bold kept; the instruments draw theirs at 100 % on a scaled painter.
    EXPECT_DOUBLE_EQ(Find("EdHDG")->font().pointSizeF(), points * 0.8);
    EXPECT_DOUBLE_EQ(Find("BtCalC")->font().pointSizeF(), points * 0.8);
    EXPECT_TRUE(Find("BtCalC")->font().bold());
    EXPECT_DOUBLE_EQ(Find("EdCAP")->font().pointSizeF(), 16);
    EXPECT_TRUE(Find("EdCAP")->font().bold());
    EXPECT_DOUBLE_EQ(Find("MemoNMEA")->font().pointSizeF(), 9 * 0.8);
    EXPECT_EQ(Find("StxNomPol")->font().pixelSize(), 12);
    EXPECT_DOUBLE_EQ(Find("FMXCompass1")->font().pointSizeF(), points);
    EXPECT_EQ(Find<QPushButton>("SpBTAUTO")->iconSize(), QSize(64, 22));  // 80 x 28 at 100 %

    // The sentence list laid over the compass column, and back, at the zoom in force.
    Find<QPushButton>("SpBtZoomNMEA")->click();
    EXPECT_EQ(Find("Transmission")->geometry(), QRect(503, 6, 457, 732));
    Find<QPushButton>("SpBtZoomNMEA")->click();
    EXPECT_EQ(Find("Transmission")->geometry(), QRect(503, 504, 457, 234));

    Key(Qt::Key_0);
    EXPECT_EQ(program.Zoom.Percent(), 100);
    EXPECT_EQ(Find<ui::SlidePicture>("ImgDiapo")->PictureSize(), slide);
    const std::map<QWidget*, Looks> back = Snapshot();
    for (const auto& [widget, looks] : normal) {
        EXPECT_TRUE(back.at(widget) == looks)
            << widget->objectName().toStdString() << " " << widget->metaObject()->className();
    }
    for (const auto& [widget, looks] : back) {
        EXPECT_TRUE(normal.contains(widget))
            << widget->metaObject()->className() << " " << widget->parentWidget()->metaObject()->className();
    }
}

TEST_F(WindowZoomView, AgrandirAndReduireAreGreyedAtTheEnds) {
    const struct {
        int key;
        int presses;
        int percent;
        bool in, out;
    } steps[] = {
        {Qt::Key_Minus, 5, 50, true, false},
        {Qt::Key_Equal, 1, 60, true, true},
        {Qt::Key_Plus, 8, 150, false, true},
        {Qt::Key_0, 1, 100, true, true},
    };
    for (const auto& s : steps) {
        for (int i = 0; i < s.presses; ++i) Key(s.key);
        EXPECT_EQ(program.Zoom.Percent(), s.percent);
        EXPECT_EQ(Action("MenuZoomAgrandir")->isEnabled(), s.in) << s.percent;
        EXPECT_EQ(Action("MenuZoomReduire")->isEnabled(), s.out) << s.percent;
        int checked = 0;
        for (int percent : app::kZoomSteps) {
            checked += Action(("MenuZoom" + std::to_string(percent)).c_str())->isChecked() ? 1 : 0;
        }
        EXPECT_EQ(checked, 1);
        EXPECT_TRUE(Action(("MenuZoom" + std::to_string(s.percent)).c_str())->isChecked());
    }
    Action("MenuZoom125")->trigger();
    EXPECT_EQ(canvas->size(), QSize(2000, 1175));
}

// Clicks at the same places of the layout, at 100 % and at 80 %: the compass's dial (under the
// boat, which lets clicks through), the pilot buttons beside it, the tiller's groove.
TEST_F(WindowZoomView, AClickAtAScaledPlaceReachesWhatItReachesAtNormalSize) {
    const QPoint places[] = {{900, 300}, {770, 200}, {630 + 270, 18 + 287}, {1118, 44}, {1140, 506}, {662, 506}};
    std::map<int, std::string> reached;
    for (const double factor : {1.0, 0.8}) {
        if (factor != 1) Key(Qt::Key_Minus), Key(Qt::Key_Minus);
        for (std::size_t i = 0; i < std::size(places); ++i) {
            QWidget* hit = canvas->childAt(Scaled(places[i], factor));
            ASSERT_NE(hit, nullptr) << i;
            if (factor == 1) {
                reached[static_cast<int>(i)] = hit->objectName().toStdString();
            } else {
                EXPECT_EQ(hit->objectName().toStdString(), reached[static_cast<int>(i)]) << i;
            }
        }
    }
    EXPECT_EQ(reached[0], "FMXCompass1");
    EXPECT_EQ(reached[2], "FMXCompass1");
    EXPECT_EQ(reached[3], "SpBTAUTO");
    EXPECT_EQ(reached[4], "SpBtR");
}

TEST_F(WindowZoomView, TheTillerTakesAClickInItsGrooveAtTheScaledPlace) {
    Find<QPushButton>("BtCalC")->click();
    Advance(1000);
    Find<QPushButton>("SpBtStdBY")->click();
    Advance(1000);
    auto* tiller = Find<QSlider>("TrackBarre");
    ASSERT_TRUE(tiller->isEnabled());
    const int y = 596 + 13;
    const int places[] = {712, 765, 830, 900, 948};  // along the groove, 700 to 960
    std::map<int, int> at100;
    for (const double factor : {1.0, 0.8}) {
        if (factor != 1) Key(Qt::Key_Minus), Key(Qt::Key_Minus);
        for (const int x : places) {
            EXPECT_EQ(ClickAt(Scaled({x, y}, factor)), tiller) << x;
            Advance(100);
            if (factor == 1) {
                at100[x] = w.TrackBarre.value;
            } else {
                EXPECT_EQ(w.TrackBarre.value, at100[x]) << x;
            }
        }
    }
    EXPECT_LT(at100[712], at100[830]);
    EXPECT_LT(at100[830], at100[948]);
}

}  // namespace
