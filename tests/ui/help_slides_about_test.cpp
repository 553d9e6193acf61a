// The main window's help view, slide show and about box, through the widgets: the help laid over
// the window with its buttons and history, the network dialog hidden by its help page, the slides
// following the virtual timer with their fades, and the about box.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QGraphicsOpacityEffect>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTextBrowser>
#include <cstdlib>

#include "app/Program.h"
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
    // The colour in the middle of a layer's picture, to the nearest of the pictures' colours (a
    // JPEG's colours are near).
    Qt::GlobalColor SlideColour(const char* layer) {
        const QPixmap pixmap = Find<QLabel>(layer)->pixmap();
        if (pixmap.isNull()) return Qt::transparent;
        const QColor c = pixmap.toImage().pixelColor(200, 270);
        for (Qt::GlobalColor known : {Qt::red, Qt::green, Qt::yellow}) {
            const QColor k(known);
            if (std::abs(c.red() - k.red()) + std::abs(c.green() - k.green()) + std::abs(c.blue() - k.blue()) < 24) {
                return known;
            }
        }
        return Qt::transparent;
    }
    double Opacity(const char* layer) {
        return static_cast<QGraphicsOpacityEffect*>(Find<QLabel>(layer)->graphicsEffect())->opacity();
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
    ASSERT_EQ(program.FCorvel.Slides.SlideFiles.size(), 3u);  // the text and the false picture skipped
    EXPECT_EQ(SlideColour("SlideComing"), Qt::red);
    const auto advance = [this](sim::Millis ms) {
        program.FCorvel.Timers.Advance(ms);
        window.Refresh();
    };
    advance(12000);
    // The new slide comes in from transparent beneath the old one, which fades out.
    EXPECT_EQ(SlideColour("SlideComing"), Qt::green);
    EXPECT_EQ(SlideColour("SlideLeaving"), Qt::red);
    EXPECT_LT(Opacity("SlideComing"), 0.5);
    EXPECT_GT(Opacity("SlideLeaving"), 0.5);
    QTest::qWait(2300);
    EXPECT_DOUBLE_EQ(Opacity("SlideComing"), 1.0);
    EXPECT_LT(Opacity("SlideLeaving"), 0.6);

    // Off: the slide stays; on again: the next one a whole interval later.
    Click("SwitchDiapos");
    EXPECT_FALSE(program.FCorvel.Slides.SlideShowRunning);
    advance(60000);
    EXPECT_EQ(SlideColour("SlideComing"), Qt::green);
    Click("SwitchDiapos");
    advance(12000);
    EXPECT_EQ(SlideColour("SlideComing"), Qt::yellow);
    advance(12000);
    EXPECT_EQ(SlideColour("SlideComing"), Qt::red);
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
