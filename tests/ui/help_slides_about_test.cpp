// The main window's help view, slide show and about box, through the widgets: the help laid over
// the window with its buttons and history, the network dialog hidden by its help page, the slides
// following the virtual timer with their fades drawn, nothing of them running while the window is
// hidden or minimised, and the about box.
#include <gtest/gtest.h>

#include <QAbstractAnimation>
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <cstdlib>

#include "app/program/Program.h"
#include "support/DataFiles.h"
#include "support/FakeDialogs.h"
#include "support/GuiApplication.h"
#include "support/TempFolder.h"
#include "ui/HelpView.h"
#include "ui/MainWindow.h"

using namespace corvel;
namespace fs = std::filesystem;

namespace {

// A page titled `title` linking to `link`.
std::string Page(const std::string& title, const std::string& link) {
    return "<html><head><title>" + title + "</title></head><body><h1>" + title + "</h1><p><a href=\"" + link +
           "\">suite</a></p></body></html>";
}

void WritePicture(const fs::path& file, QColor colour) {
    QImage image(400, 547, QImage::Format_RGB32);
    image.fill(colour);
    fs::create_directories(file.parent_path());
    ASSERT_TRUE(image.save(QString::fromStdString(file.string())));
}

// The program's data folder of one test: the default polar, two help pages linked to each other,
// three pictures of one colour each, a text file and a file named as a picture that is none.
class DataFolder {
public:
    DataFolder() {
        fs::copy(test::DefaultPolar().parent_path(), folder / "DefPolars");
        test::WriteFile(folder / "Help" / "CVN_generalites.html", Page("Généralités", "CVN_Aide par rubrique.html"));
        test::WriteFile(folder / "Help" / "CVN_Aide par rubrique.html",
                        Page("Aide par rubrique", "CVN_generalites.html"));
        test::WriteFile(folder / "Help" / "CVN_ConnexWIFI_p3.html", Page("Paramètres WiFi", "CVN_generalites.html"));
        WritePicture(folder / "ImgShips" / "1.png", Qt::red);
        WritePicture(folder / "ImgShips" / "2.jpg", Qt::green);
        WritePicture(folder / "ImgShips" / "3.png", Qt::yellow);
        test::WriteFile(folder / "ImgShips" / "2b.png", "not a picture");
        test::WriteFile(folder / "ImgShips" / "notes.txt", "the pictures' sources");
    }
    fs::path path() const { return folder.path(); }

private:
    test::TempFolder folder;
};

class HelpSlidesAbout : public ::testing::Test {
protected:
    HelpSlidesAbout() { window.show(); }

    QApplication& qt = test::GuiApplication();
    DataFolder data;
    test::FakeDialogs dialogs;
    app::Program program{dialogs, data.path()};
    ui::MainWindow window{program, QPixmap()};

    template <class Widget = QWidget>
    Widget* Find(const char* name) {
        return window.findChild<Widget*>(QString::fromLatin1(name));
    }
    void Menu(const char* name) { Find<QAction>(name)->trigger(); }
    void Click(const char* name) { QTest::mouseClick(Find(name), Qt::LeftButton); }
    QString Title() { return Find<QTextBrowser>("HelpBrowser")->documentTitle(); }
    // The colour the slide picture shows in its middle.
    QColor Painted() { return Find("ImgDiapo")->grab().toImage().pixelColor(200, 270); }
    // The nearest of the pictures' colours to `c` (a JPEG's colours are near); transparent when
    // none is.
    static Qt::GlobalColor Nearest(QColor c) {
        for (Qt::GlobalColor known : {Qt::red, Qt::green, Qt::yellow}) {
            if (Distance(c, known) < 24) return known;
        }
        return Qt::transparent;
    }
    static int Distance(QColor a, QColor b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
    }
    // The slide come: the fade played to its end at once.
    Qt::GlobalColor Settled() {
        app::SlideShow& slides = program.FCorvel.Slides;
        while (slides.FadeFrameInterval() > 0) slides.FadeFrame();
        return Nearest(Painted());
    }
    // Nothing runs for the slides: no timer, no animation under the picture, no slide timer.
    bool SlidesIdle() {
        for (const QTimer* timer : Find("ImgDiapo")->findChildren<QTimer*>()) {
            if (timer->isActive()) return false;
        }
        for (const QAbstractAnimation* animation : Find("ImgDiapo")->findChildren<QAbstractAnimation*>()) {
            if (animation->state() == QAbstractAnimation::Running) return false;
        }
        return !program.FCorvel.Slides.TimerDiapo.Enabled();
    }
};

TEST_F(HelpSlidesAbout, HelpLiesOverTheWindowWithItsButtonsAndHistory) {
    for (const char* button : {"BtCloseHelp", "BtGoBackHELP", "BtAvanceHelp"}) {
        EXPECT_FALSE(Find(button)->isVisible()) << button;
    }
    EXPECT_EQ(Find("HelpBrowser"), nullptr);
    Menu("MenuGeneralites");
    auto* browser = Find<QTextBrowser>("HelpBrowser");
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(Title(), "Généralités");
    const QRect area = Find<QScrollArea>("ScrollBox")->rect();
    EXPECT_EQ(browser->geometry(), area.adjusted(150, 10, -150, -10));
    for (const char* button : {"BtCloseHelp", "BtGoBackHELP", "BtAvanceHelp"}) {
        EXPECT_TRUE(Find(button)->isVisible()) << button;
        EXPECT_GE(Find(button)->x(), browser->geometry().right()) << button << " lies in the right margin";
    }
    EXPECT_EQ(Find<QPushButton>("BtCloseHelp")->text(), "Fermer l'aide");

    // No history yet: "RETOUR" and "AVANCE" do nothing.
    Click("BtGoBackHELP");
    Click("BtAvanceHelp");
    EXPECT_EQ(Title(), "Généralités");
    // A link, then back and forward.
    browser->setSource(
        QUrl::fromLocalFile(QString::fromStdString((data.path() / "Help" / "CVN_Aide par rubrique.html").string())));
    EXPECT_EQ(Title(), "Aide par rubrique");
    Click("BtGoBackHELP");
    EXPECT_EQ(Title(), "Généralités");
    Click("BtAvanceHelp");
    EXPECT_EQ(Title(), "Aide par rubrique");

    // Another help entry while one is shown changes nothing; "Fermer l'aide" ends it.
    Menu("MenuAideRubrique");
    EXPECT_EQ(Find<QTextBrowser>("HelpBrowser"), browser);
    EXPECT_EQ(Title(), "Aide par rubrique");
    Click("BtCloseHelp");
    EXPECT_EQ(Find("HelpBrowser"), nullptr);
    EXPECT_FALSE(Find("BtCloseHelp")->isVisible());
    // The WiFi page is missing from this folder: the view says so in French.
    Menu("MenuWifi");
    EXPECT_TRUE(Find<QTextBrowser>("HelpBrowser")->toPlainText().contains("Page d'aide introuvable"));
    EXPECT_TRUE(Find<QTextBrowser>("HelpBrowser")->toPlainText().contains("CVN_ConnexWifi_p1.html"));
}

TEST_F(HelpSlidesAbout, TheNetworkDialogsHelpHidesItAndCloseBringsItBack) {
    auto* dialog = Find("FParamWIFI");
    window.Command([this] { program.FParamWIFI.Visible = true; });
    ASSERT_TRUE(dialog->isVisible());
    QTest::mouseClick(dialog->findChild<QWidget*>(QStringLiteral("BtUtilWIFI")), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Title(), "Paramètres WiFi");
    Menu("MenuGeneralites");  // refused: the dialog's page stays
    EXPECT_EQ(Title(), "Paramètres WiFi");
    Click("BtCloseHelp");
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(HelpSlidesAbout, TheSlidesFollowTheTimerAndFadeIntoEachOther) {
    EXPECT_EQ(Find("ImgDiapo")->size(), QSize(400, 547));
    EXPECT_TRUE(Find<QCheckBox>("SwitchDiapos")->isChecked());
    const app::SlideShow& slides = program.FCorvel.Slides;
    ASSERT_EQ(slides.SlideFiles.size(), 3u);  // the text and the false picture skipped
    EXPECT_EQ(Nearest(Painted()), Qt::red);
    const auto advance = [this](sim::Millis ms) {
        program.FCorvel.Timers.Advance(ms);
        window.Refresh();
    };
    advance(12000);
    // The old slide over the new one, which comes in from transparent beneath it as it fades out,
    // one frame every 50 ms on the widget's timer: half-way in, the two mix over the blue.
    EXPECT_EQ(Nearest(Painted()), Qt::red);
    ASSERT_TRUE(QTest::qWaitFor([&slides] { return slides.Faded >= 1000; }, 10000));
    const double coming = slides.ComingOpacity(), leaving = slides.LeavingOpacity();
    ASSERT_GT(coming, 0.4);
    ASSERT_LT(coming, 0.9);
    const auto mix = [](double o, QColor over, QColor under) {
        return QColor::fromRgbF(o * over.redF() + (1 - o) * under.redF(), o * over.greenF() + (1 - o) * under.greenF(),
                                o * over.blueF() + (1 - o) * under.blueF());
    };
    const QColor seen = Painted();
    const QColor wanted = mix(leaving, Qt::red, mix(coming, Qt::green, Qt::blue));
    EXPECT_LT(Distance(seen, wanted), 24) << seen.name().toStdString() << " for " << wanted.name().toStdString();
    // At the end the new slide alone, and the widget's frames stop.
    ASSERT_TRUE(QTest::qWaitFor([&slides] { return slides.FadeFrameInterval() == 0; }, 10000));
    EXPECT_EQ(Nearest(Painted()), Qt::green);
    EXPECT_FALSE(window.findChild<QTimer*>(QStringLiteral("SlideFrames"))->isActive());

    // Off: the slide stays; on again: the next one a whole interval later.
    Click("SwitchDiapos");
    EXPECT_FALSE(slides.SlideShowRunning);
    advance(60000);
    EXPECT_EQ(Settled(), Qt::green);
    Click("SwitchDiapos");
    advance(12000);
    EXPECT_EQ(Settled(), Qt::yellow);
    advance(12000);
    EXPECT_EQ(Settled(), Qt::red);
}

TEST_F(HelpSlidesAbout, HiddenOrMinimisedTheSlidesRunNothingAndShownAgainTheyGoOn) {
    app::SlideShow& slides = program.FCorvel.Slides;
    // A slide every 300 ms (a fade always running), in real time through the window's clock.
    slides.TimerDiapo.SetInterval(300);
    window.Command([] {});
    struct Case {
        const char* how;
        void (QWidget::*leave)();
        void (QWidget::*back)();
    };
    for (const Case& c : {Case{"hidden", &QWidget::hide, &QWidget::show},
                          Case{"minimised", &QWidget::showMinimized, &QWidget::showNormal}}) {
        std::uint64_t revision = slides.Revision;
        ASSERT_TRUE(QTest::qWaitFor([&] { return slides.Revision != revision; }, 10000)) << c.how;
        EXPECT_FALSE(SlidesIdle()) << c.how;
        (window.*c.leave)();
        EXPECT_TRUE(SlidesIdle()) << c.how;
        revision = slides.Revision;
        QTest::qWait(700);
        EXPECT_EQ(slides.Revision, revision) << c.how;
        EXPECT_TRUE(SlidesIdle()) << c.how;
        (window.*c.back)();
        ASSERT_TRUE(QTest::qWaitFor([&] { return slides.Revision != revision; }, 10000)) << c.how;
        EXPECT_FALSE(SlidesIdle()) << c.how;
    }
}

TEST_F(HelpSlidesAbout, TheAboutBoxShowsTheVersionOfTheCaptionAndIsNotModal) {
    Menu("MenuAPropos");
    auto* about = Find<QDialog>("TFAbout");
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_TRUE(about->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(about->size(), QSize(349, 402));
    EXPECT_EQ(about->findChild<QLabel*>(QStringLiteral("LabTitle"))->text(), "CorvelNMEA");
    const QString version = about->findChild<QLabel*>(QStringLiteral("LabVersion"))->text();
    ASSERT_TRUE(version.startsWith("VERSION : "));
    EXPECT_TRUE(window.windowTitle().endsWith("Version : " + version.mid(10))) << window.windowTitle().toStdString();
    // The main window still takes commands while it is shown.
    Click("BtCalC");
    EXPECT_TRUE(program.Engine.S.Halted == false);
    QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("BtAboutOK")), Qt::LeftButton);
    EXPECT_FALSE(about->isVisible());
}

}  // namespace
