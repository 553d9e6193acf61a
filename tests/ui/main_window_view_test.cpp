// The main window's widgets over the whole program: which controls are enabled after each sequence
// of commands, the texts and colours the widgets show, the "+" zoom, the sentence list, the
// keyboard shortcuts, and quitting.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTextBlock>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/program/Program.h"
#include "support/DataFiles.h"
#include "support/FakeDialogs.h"
#include "support/FakeSerialPlatform.h"
#include "support/GuiApplication.h"
#include "support/TempFolder.h"
#include "ui/CompassWidget.h"
#include "ui/MainWindow.h"

using namespace corvel;

namespace {

class MainWindowView : public ::testing::Test {
protected:
    MainWindowView() {
        serial.devices = {"/dev/ttyUSB0"};
        window.show();
    }

    QApplication& qt = test::GuiApplication();  // before any widget or picture
    test::FakeDialogs dialogs;
    test::FakeSerialPlatform serial;  // before the program, which closes its ports on leaving
    app::Program program{dialogs, test::SourceDir() / "data", serial};
    app::TFCorvel& w = program.FCorvel;
    ui::MainWindow window{program, QPixmap()};

    template <class Widget = QWidget>
    Widget* Find(const char* name) {
        auto* found = window.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // A control's enabled state: a widget, or a menu command.
    bool Enabled(const std::string& name) {
        if (auto* action = window.findChild<QAction*>(QString::fromStdString(name))) return action->isEnabled();
        return Find(name.c_str())->isEnabled();
    }
    void Click(const char* name) { QTest::mouseClick(Find(name), Qt::LeftButton); }
    std::string Text(const char* name) { return Find<QLineEdit>(name)->text().toStdString(); }
    // Virtual time, then the window's redraw as its timer does it.
    void Advance(sim::Millis ms) {
        w.Timers.Advance(ms);
        window.Refresh();
    }
};

// ---------------------------------------------------------------- enabling rules

struct EnablingCase {
    std::vector<std::string> events;
    std::map<std::string, bool> enabled;
};

const EnablingCase kEnablingCases[] = {
    {{},
     {{"SwActivNMEA_com", false},
      {"BtParamWIFI", false},
      {"TrackBarre", false},
      {"SBtVire", true},
      {"SBtEmp", true},
      {"BtBestHaul", true},
      {"SpBtL", true},
      {"SpBtR", true},
      {"SpBT10L", true},
      {"SpBt10R", true},
      {"BtCalC", true},
      {"SwWIFI", true},
      {"MenuParametres", true},
      {"MenuOuvrir", true}}},
    {{"SIMULER"},
     {{"SpBtPauseRes", true},
      {"MenuParametres", false},
      {"MenuOuvrir", false},
      {"SwWIFI", false},
      {"SpBTAUTO", true},
      {"SpBtStdBY", true},
      {"BtBestHaul", true},
      {"TrackBarre", false}}},
    {{"SIMULER", "STDBY"},
     {{"TrackBarre", true},
      {"BtBestHaul", false},
      {"SBtVire", false},
      {"SBtEmp", false},
      {"SpBT10L", false},
      {"SpBt10R", false}}},
    {{"SIMULER", "STDBY", "AUTO"},
     {{"TrackBarre", false},
      {"BtBestHaul", true},
      {"SBtVire", true},
      {"SBtEmp", true},
      {"SpBtL", true},
      {"SpBtR", true},
      {"SpBT10L", true},
      {"SpBt10R", true}}},
    {{"SIMULER", "pause"},
     {{"SpBTAUTO", false},
      {"SpBtStdBY", false},
      {"MenuParametres", true},
      {"MenuOuvrir", true},
      {"BtBestHaul", false},
      {"SwWIFI", true},
      {"SpBtPauseRes", true}}},
    {{"SIMULER", "STDBY", "pause"}, {{"TrackBarre", false}, {"SpBtR", false}, {"SpBtL", false}}},
    {{"SIMULER", "pause", "resume"},
     {{"SpBTAUTO", true},
      {"SpBtStdBY", true},
      {"MenuParametres", false},
      {"MenuOuvrir", false},
      {"SwWIFI", false},
      {"BtBestHaul", true}}},
    {{"SIMULER", "STDBY", "pause", "resume"},
     {{"SpBtR", true}, {"SpBtL", true}, {"TrackBarre", true}, {"SwWIFI", false}}},
    {{"SIMULER", "VIRER"}, {{"SBtVire", false}, {"SBtEmp", false}}},
    {{"SIMULER", "VIRER", "tick", "tick", "tick", "tick", "tick", "tick", "tick", "tick", "tick",
      "tick",    "tick",  "tick", "tick", "tick", "tick", "tick", "tick", "tick", "tick", "tick"},
     {{"SBtVire", true}}},
    {{"port"}, {{"SwActivNMEA_com", true}}},
    {{"wifi"}, {{"BtParamWIFI", true}}},
    {{"wifi", "wifi"}, {{"BtParamWIFI", false}}},
};

TEST(MainWindowEnabling, EachSequenceOfCommandsLeavesTheControlsEnabledAsTheRulesSay) {
    test::GuiApplication();
    // The widget each command is given to.
    const std::map<std::string, const char*> widgets = {
        {"SIMULER", "BtCalC"},  {"pause", "SpBtPauseRes"}, {"resume", "SpBtPauseRes"}, {"AUTO", "SpBTAUTO"},
        {"STDBY", "SpBtStdBY"}, {"VIRER", "SBtVire"},      {"wifi", "SwWIFI"}};
    for (const EnablingCase& c : kEnablingCases) {
        // A fresh program and window for each sequence.
        test::FakeDialogs d;
        test::FakeSerialPlatform s;
        s.devices = {"/dev/ttyUSB0"};
        std::string sequence;
        for (const std::string& e : c.events) sequence += e + " ";
        SCOPED_TRACE("after: " + sequence);
        app::Program p{d, test::SourceDir() / "data", s};
        ui::MainWindow view{p, QPixmap()};
        view.show();
        for (const std::string& e : c.events) {
            if (e == "tick") {
                p.FCorvel.Timers.Advance(1000);
                view.Refresh();
            } else if (e == "port") {
                auto* ports = view.findChild<QComboBox*>(QStringLiteral("CBCom"));
                ports->setCurrentIndex(0);
                emit ports->activated(0);
            } else {
                QWidget* target = view.findChild<QWidget*>(QString::fromLatin1(widgets.at(e)));
                ASSERT_NE(target, nullptr) << e;
                QTest::mouseClick(target, Qt::LeftButton);
            }
        }
        for (const auto& [name, enabled] : c.enabled) {
            const QString q = QString::fromStdString(name);
            bool actual;
            if (auto* action = view.findChild<QAction*>(q)) {
                actual = action->isEnabled();
            } else {
                QWidget* widget = view.findChild<QWidget*>(q);
                ASSERT_NE(widget, nullptr) << name;
                actual = widget->isEnabled();
            }
            EXPECT_EQ(actual, enabled) << name;
        }
    }
}

// ---------------------------------------------------------------- what the widgets show

TEST_F(MainWindowView, TheWidgetsShowTheModelsTextsAndColours) {
    EXPECT_EQ(window.windowTitle().toStdString(), w.Caption);
    EXPECT_NE(window.windowTitle().indexOf(QStringLiteral("   Version : ")), -1);
    EXPECT_EQ(Text("EdTWS"), "6");
    EXPECT_EQ(Text("EdDirCourant"), "075");
    EXPECT_EQ(Text("EdLATMin"), "4,14");
    EXPECT_EQ(Text("EdNwpt"), "Att_Dover");
    EXPECT_EQ(Text("EdConnex"), "Pas de connexion");
    EXPECT_EQ(Find<QPushButton>("BtCalC")->text().toStdString(), "SIMULER");
    for (const char* input : {"EdHDG", "EdTWS", "EdTWD", "EdFCourant", "EdDirCourant", "EdBFT"}) {
        const QPalette p = Find(input)->palette();
        EXPECT_EQ(p.color(QPalette::Base), QColor(0x48, 0x3D, 0x8B)) << input;
        EXPECT_EQ(p.color(QPalette::Text), QColor(Qt::white)) << input;
    }
    EXPECT_EQ(Find("SwActivNMEA_com")->toolTip().toStdString(), "Sélectionner un COM au préalable");
    EXPECT_EQ(Find("RdBtCourAlt")->toolTip().toStdString(),
              "Le courant effectue une rotation de 180° toutes les 30 secondes");

    // Sailing: the tack indicator takes its side's colour, the apparent wind angle is red.
    Find<QLineEdit>("EdHDG")->clear();
    QTest::keyClicks(Find("EdHDG"), "318.46");
    EXPECT_EQ(w.EdHDG.text, "318.46");  // typed text reaches the model
    Click("BtCalC");
    Advance(1000);
    EXPECT_EQ(Text("EdHDG"), "318.5");
    EXPECT_EQ(Text("EdCAP"), "318");
    const std::string tack = Text("EdAM");
    const QColor side = tack == "TRIBORD AMURE" ? QColor(0x00, 0x80, 0x00) : QColor(0xFF, 0x00, 0x00);
    EXPECT_EQ(Find("EdAM")->palette().color(QPalette::Base), side) << tack;
    EXPECT_EQ(Find("EdAWA")->palette().color(QPalette::Text), QColor(Qt::red));
    EXPECT_EQ(Text("EdAWS"), w.EdAWS.text);
    EXPECT_EQ(Text("EdSOG"), w.EdSOG.text);
}

TEST_F(MainWindowView, AHeadingLoadedFromAConfigurationShowsOneDecimal) {
    test::TempFolder folder;
    const std::filesystem::path file = folder.path() / "cap.ini";
    std::ofstream(file) << "[NavDATA]\niHDG=318.46\n";
    QAction* open = window.findChild<QAction*>(QStringLiteral("MenuOuvrir"));
    ASSERT_NE(open, nullptr);
    dialogs.files.push_back(file);
    open->trigger();
    EXPECT_EQ(Text("EdHDG"), "318.0");
    EXPECT_NE(window.windowTitle().indexOf(QStringLiteral("cap.ini")), -1) << window.windowTitle().toStdString();
}

TEST_F(MainWindowView, PlusLaysTheSentenceListOverTheCompassAndASecondPressBringsItBack) {
    QWidget* compass = Find("FMXCompass1");
    QWidget* list = Find("MemoNMEA");
    auto* plus = Find<QPushButton>("SpBtZoomNMEA");
    const int height = list->height();
    EXPECT_EQ(plus->text().toStdString(), "+");
    Click("SpBtZoomNMEA");
    EXPECT_EQ(plus->text().toStdString(), "-");
    EXPECT_FALSE(compass->isVisible());
    for (const char* hidden : {"SBtVire", "SBtEmp", "EdCAP", "ImageBatDYN"})
        EXPECT_FALSE(Find(hidden)->isVisible()) << hidden;
    EXPECT_GT(list->height(), 3 * height);
    // The raised list hides what lies beneath it: the pilot's buttons do not show through.
    QWidget* panel = list->parentWidget();
    EXPECT_TRUE(panel->autoFillBackground());
    for (const char* beneath : {"SpBTAUTO", "SpBtStdBY"}) {
        QWidget* button = Find(beneath);
        QWidget* top = button->parentWidget()->childAt(button->geometry().center());
        EXPECT_TRUE(top == panel || panel->isAncestorOf(top)) << beneath;
    }
    Click("SpBtZoomNMEA");
    EXPECT_EQ(plus->text().toStdString(), "+");
    EXPECT_TRUE(compass->isVisible());
    for (const char* shown : {"SBtVire", "SBtEmp", "EdCAP", "ImageBatDYN"})
        EXPECT_TRUE(Find(shown)->isVisible()) << shown;
    EXPECT_EQ(list->height(), height);
}

// The announcement of a pilot turn: whole, centred, dark blue, inside the dial and clear of its
// rim (the graduations and their numbers lie in the outer 40 pixels).
TEST_F(MainWindowView, TheHeadingChangeNoticeIsWholeCentredAndDarkBlueInsideTheDial) {
    Click("BtCalC");
    Advance(1000);
    for (int press = 0; press < 4; ++press) Click("SpBt10R");
    window.Refresh();
    auto* notice = Find<QLineEdit>("EdModCap");
    ASSERT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->text().toStdString(), "ON VIRE A TRIBORD DE 40 deg.");
    EXPECT_LE(notice->fontMetrics().horizontalAdvance(notice->text()) + 8, notice->contentsRect().width());
    EXPECT_EQ(notice->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(notice->palette().color(QPalette::Text), QColor(0x00, 0x00, 0x8b));
    QWidget* compass = Find("FMXCompass1");
    const QPointF centre = compass->geometry().topLeft() + QPointF(w.FMXCompass1.CentreXY.x, w.FMXCompass1.CentreXY.y);
    const double radius = std::min(compass->width(), compass->height()) / 2.0;
    const QRect box = notice->geometry();
    for (const QPointF corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
        EXPECT_LT(std::hypot(corner.x() - centre.x(), corner.y() - centre.y()), radius - 40);
    }
    EXPECT_NEAR(box.center().x(), centre.x(), 1);
}

// The controls laid in the compass's corners leave the whole dial to be seen: the rim, its ticks
// and its bearing labels (a disc of the compass's half-size, a little margin for the rim's edge).
TEST_F(MainWindowView, TheControlsInTheCompassCornersLeaveTheDialClear) {
    QWidget* compass = Find("FMXCompass1");
    const QPointF centre = QRectF(compass->geometry()).center();
    const double radius = std::min(compass->width(), compass->height()) / 2.0 + 2;
    for (const char* name :
         {"EdCAP", "SpBTAUTO", "SpBtStdBY", "SpBtL", "SpBT10L", "SpBt10R", "SpBtR", "SBtVire", "SBtEmp"}) {
        const QRectF box = Find(name)->geometry();
        const double dx = std::max({box.left() - centre.x(), 0.0, centre.x() - box.right()});
        const double dy = std::max({box.top() - centre.y(), 0.0, centre.y() - box.bottom()});
        EXPECT_GT(std::hypot(dx, dy), radius) << name;
    }
}

TEST_F(MainWindowView, TheSentenceListShowsTheNewestLinesAndKeepsABoundedHistory) {
    auto* list = Find<QPlainTextEdit>("MemoNMEA");
    Click("BtCalC");
    Advance(3000);
    ASSERT_FALSE(w.MemoNMEA.Lines().empty());
    EXPECT_EQ(list->document()->lastBlock().text().toStdString(), w.MemoNMEA.Lines().back());
    EXPECT_EQ(static_cast<std::size_t>(list->blockCount()), w.MemoNMEA.Lines().size());
    // An hour: the model keeps every line for saving, the list only the newest.
    for (int minute = 0; minute < 60; ++minute) Advance(60'000);
    EXPECT_GT(w.MemoNMEA.Lines().size(), 10'000u);
    EXPECT_LE(list->blockCount(), 2000);
    EXPECT_EQ(list->document()->lastBlock().text().toStdString(), w.MemoNMEA.Lines().back());
    // "RAZ" empties both.
    Click("RAZCom");
    EXPECT_TRUE(list->toPlainText().isEmpty());
}

// What is on screen: while sailing, the list shows its newest line at the bottom, second after
// second, unless the user scrolled up; back at the bottom it follows again, and after "RAZ" too.
TEST_F(MainWindowView, TheSentenceListFollowsTheNewestLineUnlessTheUserScrolledUp) {
    auto* list = Find<QPlainTextEdit>("MemoNMEA");
    QScrollBar* bar = list->verticalScrollBar();
    const auto bottomLine = [&] {
        QApplication::processEvents();
        return list->cursorForPosition(QPoint(4, list->viewport()->height() - 4)).block().text().toStdString();
    };
    const auto sail = [&](int seconds) {
        for (int s = 0; s < seconds; ++s) {
            for (int step = 0; step < 20; ++step) Advance(50);  // the window's redraws
            QApplication::processEvents();
        }
    };
    Click("BtCalC");
    sail(60);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(bottomLine(), w.MemoNMEA.Lines().back());

    bar->triggerAction(QAbstractSlider::SliderPageStepSub);  // the user scrolls up
    const std::string read = bottomLine();
    sail(10);
    EXPECT_LT(bar->value(), bar->maximum());
    EXPECT_EQ(bottomLine(), read) << "the lines the user reads stay put";
    sail(160);  // while the bounded list lets its oldest lines go (2,000 lines are kept)
    EXPECT_GT(w.MemoNMEA.Lines().size(), static_cast<std::size_t>(list->blockCount()));
    EXPECT_EQ(bottomLine(), read) << "the lines the user reads stay put";

    bar->triggerAction(QAbstractSlider::SliderToMaximum);  // and back to the bottom
    sail(10);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(bottomLine(), w.MemoNMEA.Lines().back());

    Click("RAZCom");
    sail(10);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(bottomLine(), w.MemoNMEA.Lines().back());
}

// A wheel turned over the port list or the polar's spin box while the page scrolls goes on
// scrolling the page: it neither chooses (and opens) a serial port nor changes the percentage.
// Once the box has the focus, the wheel is its own.
TEST_F(MainWindowView, TheWheelChangesAComboOrSpinBoxOnlyOnceItHasTheFocus) {
    window.resize(900, 500);  // a small screen: the page scrolls
    QApplication::processEvents();
    QScrollBar* page = Find<QAbstractScrollArea>("ScrollBox")->verticalScrollBar();
    ASSERT_GT(page->maximum(), 0);
    const auto wheel = [](QWidget* over, int notches) {
        const QPointF at(over->width() / 2.0, over->height() / 2.0);
        QWheelEvent event(at, over->mapToGlobal(at), {}, {0, -120 * notches}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &event);
    };
    auto* ports = Find<QComboBox>("CBCom");
    auto* percent = Find<QSpinBox>("SpBPolPerc");
    const int portBefore = ports->currentIndex();
    page->setValue(0);
    wheel(ports, 2);
    wheel(percent, 2);
    EXPECT_EQ(ports->currentIndex(), portBefore);
    EXPECT_FALSE(w.Out.SerialOpen());
    EXPECT_EQ(percent->value(), 100);
    EXPECT_GT(page->value(), 0) << "the page scrolled";

    percent->setFocus();
    wheel(percent, 1);
    EXPECT_EQ(percent->value(), 99);
}

// Typing while sailing: the twenty redraws a second never write over what the user is typing;
// the field shows the simulation again once the user leaves it.
TEST_F(MainWindowView, TheTickNeverWritesOverAFieldBeingTyped) {
    QApplication::setActiveWindow(&window);
    Click("BtCalC");
    Advance(1000);
    const auto typeSlowly = [&](QWidget* into, const char* text) {
        for (const char* c = text; *c != '\0'; ++c) {
            QTest::keyClicks(into, QString(QLatin1Char(*c)));
            for (int redraw = 0; redraw < 10; ++redraw) Advance(50);
        }
    };
    auto* speed = Find<QLineEdit>("EdTWS");
    speed->setFocus();
    speed->selectAll();
    typeSlowly(speed, "12");
    EXPECT_EQ(speed->text().toStdString(), "12");
    Find("BtCalC")->setFocus();  // the user leaves the field
    Advance(1000);
    EXPECT_EQ(speed->text().toStdString(), w.EdTWS.text);

    auto* percent = Find<QSpinBox>("SpBPolPerc");
    percent->setFocus();
    percent->selectAll();
    typeSlowly(percent, "97");
    EXPECT_EQ(percent->text().toStdString(), "97");
    QTest::keyClick(percent, Qt::Key_Return);
    Advance(1000);
    EXPECT_EQ(percent->value(), 97);
    EXPECT_EQ(w.SpBPolPerc.value, 97);
}

// In STDBY, a click in the tiller's groove puts the tiller where it is clicked.
TEST_F(MainWindowView, AClickInTheTillersGroovePutsTheTillerThere) {
    Click("BtCalC");
    Advance(1000);
    Click("SpBtStdBY");
    Advance(1000);
    auto* tiller = Find<QSlider>("TrackBarre");
    ASSERT_TRUE(tiller->isEnabled());
    QTest::mouseClick(tiller, Qt::LeftButton, {}, QPoint(tiller->width() - 4, tiller->height() / 2));
    Advance(100);
    EXPECT_GE(tiller->value(), tiller->maximum() - 1);
    EXPECT_EQ(w.TrackBarre.value, tiller->value());
    QTest::mouseClick(tiller, Qt::LeftButton, {}, QPoint(4, tiller->height() / 2));
    Advance(100);
    EXPECT_LE(tiller->value(), tiller->minimum() + 1);
}

// In STDBY the best close-hauled button says "Utiliser la barre", greyed on its salmon fill: its
// text must still be read (a contrast of at least 4.5 to 1 between text and fill).
TEST_F(MainWindowView, AGreyedButtonOnItsFillCanBeRead) {
    Click("BtCalC");
    Advance(1000);
    Click("SpBtStdBY");
    Advance(1000);
    auto* button = Find<QPushButton>("BtBestHaul");
    ASSERT_EQ(button->text().toStdString(), "Utiliser la barre");
    ASSERT_FALSE(button->isEnabled());
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double text = luminance(button->palette().color(QPalette::Disabled, QPalette::ButtonText));
    const double fill = luminance(button->palette().color(QPalette::Disabled, QPalette::Button));
    EXPECT_GE((std::max(text, fill) + 0.05) / (std::min(text, fill) + 0.05), 4.5);
}

// A field out of the range the configuration loader allows is refused by the command that reads it,
// with the loader's words and the field's name: nothing starts, resumes or moves.
TEST_F(MainWindowView, AFieldOutOfItsRangeIsNamedAndTheCommandNotDone) {
    struct Case {
        const char* field;
        const char* typed;
        const char* message;
    };
    const auto type = [&](const char* field, const char* text) {
        auto* edit = Find<QLineEdit>(field);
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromUtf8(text));
    };
    // clang-format off
    const Case startCases[] = {
        {"EdHDG", "99999999", "Valeur hors limites refusée pour « Cap vrai » : 99999999 (cap de -360 à 720 degrés)"},
        {"EdTWS", "1e300", "Valeur hors limites refusée pour « Vent réel, vitesse » : 1e300 (vitesse du vent de 0 à 200 nœuds)"},
        {"EdDirCourant", "-361", "Valeur hors limites refusée pour « Courant, direction » : -361 (direction du courant de -360 à 720 degrés)"},
        {"EdiDECL", "181", "Valeur hors limites refusée pour « Déclinaison magnétique » : 181 (déclinaison magnétique de -180 à 180 degrés)"},
        {"EdLATMin", "3000", "Valeur hors limites refusée pour « Position géographique, LAT » : 51 3000 (latitude de -89 à 89 degrés)"},
    };
    // clang-format on
    for (const Case& c : startCases) {
        const std::string before = Text(c.field);
        type(c.field, c.typed);
        dialogs.messages.clear();
        Click("BtCalC");
        ASSERT_EQ(dialogs.messages.size(), 1U) << c.field;
        EXPECT_EQ(dialogs.messages[0], c.message);
        EXPECT_TRUE(Enabled("MenuParametres")) << c.field;  // not sailing
        EXPECT_FALSE(Enabled("SpBtPauseRes")) << c.field;
        type(c.field, before.c_str());
    }
    EXPECT_FLOAT_EQ(program.Engine.S.MagVar, 1.5F);  // the variation typed out of range was never taken

    // Within the ranges it starts; the resume reads the fields again under the same rule.
    dialogs.messages.clear();
    Click("BtCalC");
    EXPECT_TRUE(dialogs.messages.empty());
    Click("SpBtPauseRes");
    type("EdHDG", "99999999");
    Click("SpBtPauseRes");
    EXPECT_EQ(dialogs.messages.size(), 1U);
    EXPECT_TRUE(program.Engine.S.Paused);
    EXPECT_EQ(Text("EdAWA").find("E+"), std::string::npos) << Text("EdAWA");

    // "Modif" keeps the waypoint in force.
    const auto waypoint = program.Engine.S.Waypoint;
    type("EDLGWpDeg", "400");
    Click("BtModWp");
    ASSERT_EQ(dialogs.messages.size(), 2U);
    EXPECT_EQ(dialogs.messages[1],
              "Valeur hors limites refusée pour « Waypoint, LG » : 400 19,88 (longitude de -360 à 360 degrés)");
    EXPECT_EQ(program.Engine.S.Waypoint.lat, waypoint.lat);
    EXPECT_EQ(program.Engine.S.Waypoint.long_, waypoint.long_);
}

TEST_F(MainWindowView, ShortcutsPressEnabledButtonsButNeverTakeAFieldsKeys) {
    QApplication::setActiveWindow(&window);
    Click("BtCalC");
    Advance(1000);
    // Ctrl+Right typed in a field moves its cursor: no heading change is announced.
    QLineEdit* field = Find<QLineEdit>("EdTWD");
    field->setFocus();
    field->setCursorPosition(0);
    QTest::keyClick(field, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_FALSE(w.EdModCap.visible);
    EXPECT_GT(field->cursorPosition(), 0);
    // Elsewhere it is "+ 1": the change is announced.
    Find("BtCalC")->setFocus();
    QTest::keyClick(Find("BtCalC"), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_TRUE(w.EdModCap.visible);
    // F7 is "VIRER".
    QTest::keyClick(Find("BtCalC"), Qt::Key_F7);
    EXPECT_TRUE(w.Engine.S.Tacking);
    EXPECT_NE(Find("SpBtR")->toolTip().indexOf(QStringLiteral("Ctrl+Right")), -1)
        << Find("SpBtR")->toolTip().toStdString();
}

// Every file under `folder` with its size and time.
std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>> Files(
    const std::filesystem::path& folder) {
    std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
        if (e.is_regular_file()) files[e.path().string()] = {e.file_size(), e.last_write_time()};
    }
    return files;
}

TEST(MainWindowQuit, QuitAnsweredNoWritesNothingAndClosesTheWindow) {
    test::GuiApplication();
    test::TempFolder data;
    test::FakeDialogs dialogs;
    app::Program program{dialogs, config::StartupFolders{test::SourceDir() / "data", data.path(), {}}};
    ui::MainWindow window{program, QPixmap()};
    window.show();
    const auto before = Files(data.path());
    dialogs.answers = {"N"};
    dialogs.files.push_back(data.path() / "would_be_saved.ini");  // a save would write here
    QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("BtCalC")), Qt::LeftButton);
    program.FCorvel.Timers.Advance(2000);
    window.findChild<QAction*>(QStringLiteral("MenuQuitter"))->trigger();
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0], "Voulez-vous sauvegarder la configuration ( O/N) ?");
    EXPECT_TRUE(program.FCorvel.Closed);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(Files(data.path()), before);
}

}  // namespace

namespace {

TEST_F(MainWindowView, TheWifiSettingsOpenOnlyOnceTheSimulationWasStartedAndPaused) {
    QWidget* dialog = window.findChild<QWidget*>(QStringLiteral("FParamWIFI"));
    ASSERT_NE(dialog, nullptr);
    Click("SwWIFI");
    ASSERT_TRUE(Find("BtParamWIFI")->isEnabled());
    Click("BtParamWIFI");
    EXPECT_FALSE(dialog->isVisible());  // never started
    Click("BtCalC");
    Click("SpBtPauseRes");
    Click("SwWIFI");  // the switch is usable again while paused
    Click("SwWIFI");
    Click("BtParamWIFI");
    EXPECT_TRUE(dialog->isVisible());
}

}  // namespace

namespace {

// The texts of the main window's fields that a configuration holds, "," read as ".". The heading is
// saved without the boat's leeway and shows so when opened.
std::vector<std::string> ConfigurationTexts(ui::MainWindow& window) {
    std::vector<std::string> texts;
    for (const char* name : {"EdTWS", "EdTWD", "EdFCourant", "EdDirCourant", "EdLATDeg", "EdLATMin", "EdLGDEG",
                             "EdLGMin", "EdNwpt", "EdLatWpDeg", "EDLatWpmin", "EDLGWpDeg", "EdLGWpmin", "EdiDECL"}) {
        texts.push_back(name + std::string("=") +
                        window.findChild<QLineEdit*>(QString::fromLatin1(name))
                            ->text()
                            .replace(QLatin1Char(','), QLatin1Char('.'))
                            .toStdString());
    }
    texts.push_back("LabCateg=" + window.findChild<QLabel*>(QStringLiteral("LabCateg"))->text().toStdString());
    return texts;
}

TEST(MainWindowConfiguration, AConfigurationSavedThenOpenedGivesTheSameWindow) {
    test::GuiApplication();
    test::TempFolder folder;
    const std::filesystem::path file = folder.path() / "voyage.ini";
    std::vector<std::string> saved;
    {
        test::FakeDialogs dialogs;
        app::Program program{dialogs, test::SourceDir() / "data"};
        program.FCorvel.InitCateg("CR");
        ui::MainWindow window{program, QPixmap()};
        window.show();
        QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("BtCalC")), Qt::LeftButton);
        program.FCorvel.Timers.Advance(30'000);
        QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("SpBtPauseRes")), Qt::LeftButton);
        dialogs.files.push_back(file);
        window.findChild<QAction*>(QStringLiteral("MenuEnregistrer"))->trigger();
        ASSERT_TRUE(std::filesystem::exists(file));
        saved = ConfigurationTexts(window);
    }
    test::FakeDialogs dialogs;
    app::Program program{dialogs, test::SourceDir() / "data"};
    ui::MainWindow window{program, QPixmap()};
    window.show();
    dialogs.files.push_back(file);
    window.findChild<QAction*>(QStringLiteral("MenuOuvrir"))->trigger();
    EXPECT_EQ(ConfigurationTexts(window), saved);
    EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
