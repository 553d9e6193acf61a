// "Paramètres de simulation" through its widgets, opened from the main window's menu: the offsets
// and "Valider", the local time offset and the machine's beside it, the category that "Enregistrer"
// requires after a polar is chosen, and the "Données variables" boxes that apply at once.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/program/Program.h"
#include "config/Folders.h"
#include "support/DataFiles.h"
#include "support/FakeDialogs.h"
#include "support/FakeZone.h"
#include "support/GuiApplication.h"
#include "support/TempFolder.h"
#include "ui/MainWindow.h"

using namespace corvel;

namespace {

class ParametersDialogView : public ::testing::Test {
protected:
    ParametersDialogView() { window.show(); }

    QApplication& qt = test::GuiApplication();  // before any widget
    test::FakeDialogs dialogs;
    test::FakeZone zone;
    app::Program program{dialogs, test::SourceDir() / "data", app::NoSerialDevices(), zone};
    ui::MainWindow window{program, QPixmap()};

    QWidget* Dialog() { return window.findChild<QWidget*>(QStringLiteral("FParam")); }
    template <class Widget = QWidget>
    Widget* Find(const char* name) {
        auto* found = Dialog()->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void Open() { window.findChild<QAction*>(QStringLiteral("MenuParametres"))->trigger(); }
    void Click(const char* name) { QTest::mouseClick(Find(name), Qt::LeftButton); }
    void Type(const char* name, const char* text) {
        auto* edit = Find<QLineEdit>(name);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    std::string Text(const char* name) { return Find<QLineEdit>(name)->text().toStdString(); }
};

TEST_F(ParametersDialogView, TheMenuOpensItWithTheOffsetsOfItsCreationOnlyWhileStopped) {
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_FALSE(Dialog()->isVisible());
    Open();
    ASSERT_TRUE(Dialog()->isVisible());
    EXPECT_EQ(Dialog()->windowTitle().toStdString(), "Paramètres de simulation");
    EXPECT_EQ(Text("EDTirando"), "1.90");
    EXPECT_EQ(Text("EdProfCapt"), "0.30");
    EXPECT_DOUBLE_EQ(program.FParam.Offsets().surface, 0.3);
    EXPECT_DOUBLE_EQ(program.FParam.Offsets().keel, 1.6);
    EXPECT_EQ(Text("EdPolSel"), "FIRST31_7");
    EXPECT_FALSE(Find("LabWarningCat")->isVisible());

    // Closed with its close box, then out of reach while the boat sails.
    Dialog()->close();
    EXPECT_FALSE(program.FParam.Visible);
    QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("BtCalC")), Qt::LeftButton);
    EXPECT_FALSE(window.findChild<QAction*>(QStringLiteral("MenuParametres"))->isEnabled());
}

TEST_F(ParametersDialogView, ValiderSetsTheOffsetsFromTheDraughtAndTheSensorDepth) {
    Open();
    Type("EDTirando", "2,5");
    Type("EdProfCapt", "0.4");
    Click("BtValidCSCQ");
    EXPECT_EQ(Text("EdCQ"), "2.1");
    EXPECT_EQ(Text("EdCS"), "0.4");
    EXPECT_DOUBLE_EQ(program.FParam.Offsets().keel, 2.1);
    EXPECT_DOUBLE_EQ(program.FParam.Offsets().surface, 0.4);
}

// "Capteur surface" and "Capteur quille" are what "Valider" makes of the draught and the sensor's
// depth: typing there would change nothing the simulation uses.
TEST_F(ParametersDialogView, TheSensorOffsetsAreReadOnlyResultsOfValider) {
    Open();
    for (const char* name : {"EdCS", "EdCQ"}) {
        auto* edit = Find<QLineEdit>(name);
        EXPECT_TRUE(edit->isReadOnly()) << name;
        const QString before = edit->text();
        Type(name, "5");
        EXPECT_EQ(edit->text(), before) << name;
    }
    EXPECT_DOUBLE_EQ(program.FParam.Offsets().surface, 0.3);
    EXPECT_DOUBLE_EQ(program.FParam.Offsets().keel, 1.6);
}

// A value the configuration loader would refuse is refused by the button that takes it, in the
// loader's words with the field's name; the dialog stays open and the value in force stays.
TEST_F(ParametersDialogView, ValiderAndEnregistrerRefuseAValueOutOfTheLoadersRange) {
    struct Case {
        const char* field;
        const char* typed;
        const char* button;
        const char* message;
    };
    // clang-format off
    const Case cases[] = {
        {"EDTirando", "1e300", "BtValidCSCQ", "Valeur hors limites refusée pour « Capteur quille (tirant d'eau moins profondeur du capteur) » : 1E300 (offset de quille de -100 à 100 mètres)"},
        {"EdProfCapt", "-101", "BtValidCSCQ", "Valeur hors limites refusée pour « Profondeur du capteur » : -101 (offset de surface de -100 à 100 mètres)"},
        {"LbEdTU", "99", "BtOK_enregistrer", "Valeur hors limites refusée pour « Heure locale = heure TU » : 99 (décalage horaire de -14 à 14 heures)"},
        {"LbEdTU", "-14.01", "BtOK_enregistrer", "Valeur hors limites refusée pour « Heure locale = heure TU » : -14.01 (décalage horaire de -14 à 14 heures)"},
    };
    // clang-format on
    for (const Case& c : cases) {
        Open();
        Click("RdCourCrois");  // started without settings: no category yet
        const std::string before = Text(c.field);
        Type(c.field, c.typed);
        dialogs.messages.clear();
        Click(c.button);
        ASSERT_EQ(dialogs.messages.size(), 1U) << c.typed;
        EXPECT_EQ(dialogs.messages[0], c.message);
        EXPECT_TRUE(Dialog()->isVisible()) << c.typed;
        EXPECT_DOUBLE_EQ(program.FParam.Offsets().surface, 0.3) << c.typed;
        EXPECT_DOUBLE_EQ(program.FParam.Offsets().keel, 1.6) << c.typed;
        EXPECT_EQ(program.Nmea.UtcOffsetHours, -2) << c.typed;
        Type(c.field, before.c_str());
    }
    // The bounds themselves are taken.
    dialogs.messages.clear();
    Type("LbEdTU", "14");
    Click("BtOK_enregistrer");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(program.Nmea.UtcOffsetHours, 14);
}

TEST_F(ParametersDialogView, EnregistrerTakesTheLocalTimeOffsetAsHoursMinutesSeconds) {
    struct Case {
        const char* typed;
        double hours;
    };
    for (const Case& c : {Case{"5.3", 5.5}, Case{"-2", -2.0}, Case{"5.4530", 5.7583333333}}) {
        Open();
        Click("RdCourCrois");  // started without settings: no category yet
        Type("LbEdTU", c.typed);
        Click("BtOK_enregistrer");
        EXPECT_NEAR(program.Nmea.UtcOffsetHours, c.hours, 1e-9) << c.typed;
        EXPECT_FALSE(Dialog()->isVisible()) << c.typed;
    }
}

// Read only beside the offset field: the machine's offset as it is each time the dialog opens, in
// hours and minutes; it changes neither the field nor the sentences' offset, and it fits its place.
TEST_F(ParametersDialogView, TheMachinesOffsetShowsBesideTheFieldEachTimeTheDialogOpens) {
    struct Case {
        nav::Real hours;
        const char* text;
    };
    // clang-format off
    const Case cases[] = {
        {-2, "Décalage du système : -2 h"},        // France in summer
        {0, "Décalage du système : 0 h"},          // a machine at UTC
        {-5.5L, "Décalage du système : -5 h 30"},  // India
        {5.75L, "Décalage du système : 5 h 45"},
        {10, "Décalage du système : 10 h"},
        {-13.75L, "Décalage du système : -13 h 45"},  // the longest: the Chatham Islands in summer
        {-0.5L, "Décalage du système : -0 h 30"},  // the sign without whole hours
        {-(5 + 44 / 60.0L + 59.9L / 3600), "Décalage du système : -5 h 45"},  // to the nearest minute
    };
    // clang-format on
    for (const Case& c : cases) {
        zone.hours = c.hours;
        Open();
        auto* label = Find<QLabel>("LabTUSysteme");
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text().toStdString(), c.text);
        EXPECT_TRUE(label->isVisible());
        EXPECT_LE(label->sizeHint().width(), label->width()) << c.text;
        Dialog()->close();
    }
    EXPECT_EQ(Text("LbEdTU"), "-2");
    EXPECT_EQ(program.Nmea.UtcOffsetHours, -2);

    // Within its panel, clear of the field and of its unit.
    auto* label = Find<QLabel>("LabTUSysteme");
    QWidget* panel = label->parentWidget();
    EXPECT_TRUE(panel->rect().contains(label->geometry()));
    for (QWidget* other : panel->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (other == label) continue;
        const auto* caption = qobject_cast<QLabel*>(other);
        EXPECT_FALSE(other->geometry().intersects(label->geometry()))
            << (caption ? caption->text() : other->objectName()).toStdString();
    }
}

TEST_F(ParametersDialogView, AfterAPolarIsChosenEnregistrerWaitsForACategory) {
    Open();
    dialogs.files.push_back(test::DefaultPolar());
    Click("SpeedBtModPol");
    for (const char* choice : {"RdREGATE", "RdCourCrois", "RdCroiseur", "RdCroisPTE"}) {
        EXPECT_FALSE(Find<QRadioButton>(choice)->isChecked()) << choice;
    }
    Click("BtOK_enregistrer");
    EXPECT_TRUE(Dialog()->isVisible());
    EXPECT_TRUE(Find("LabWarningCat")->isVisible());
    auto* warning = Find<QLabel>("LabWarningCat");
    EXPECT_EQ(warning->text().toStdString(), "Sélectionner une catégorie avant d'enregistrer");
    // Whole, in its bold type, and clear of the buttons beside it.
    const QRect room = warning->contentsRect();
    const QRect needed = warning->fontMetrics().boundingRect(
        room, static_cast<int>(warning->alignment()) | (warning->wordWrap() ? Qt::TextWordWrap : 0), warning->text());
    EXPECT_TRUE(room.contains(needed)) << needed.width() << "x" << needed.height();
    for (const char* button : {"BtOK_enregistrer", "BtParNMEA"}) {
        EXPECT_FALSE(Find(button)->geometry().intersects(warning->geometry())) << button;
    }
    Click("RdCroiseur");
    Click("BtOK_enregistrer");
    EXPECT_FALSE(Dialog()->isVisible());
    EXPECT_EQ(program.Engine.S.Category, 2);
    EXPECT_EQ(program.FCorvel.LabCateg.text, " Croiseur");
}

// The menu is out of reach while the boat sails; a dialog left open closes as "SIMULER" starts, so
// that nothing in it (the polar, the offsets) changes during the run.
TEST_F(ParametersDialogView, ADialogLeftOpenClosesWhenTheBoatSails) {
    Open();
    ASSERT_TRUE(Dialog()->isVisible());
    QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("BtCalC")), Qt::LeftButton);
    EXPECT_FALSE(Dialog()->isVisible());
    EXPECT_FALSE(program.FParam.Visible);
}

// A polar picked in another folder takes the polar folder along: the dialog shows it and a saved
// configuration names that folder with the file, so that it finds the polar again.
TEST_F(ParametersDialogView, APolarPickedInAnotherFolderMovesThePolarFolder) {
    test::TempFolder temp;
    const std::filesystem::path other = temp / "autres polaires";
    std::filesystem::create_directories(other);
    std::filesystem::copy_file(test::DefaultPolar(), other / "Mer.pol");
    Open();
    dialogs.files.push_back(other / "Mer.pol");
    Click("SpeedBtModPol");
    EXPECT_EQ(Text("EdPolSel"), "MER");
    EXPECT_EQ(Text("EdRepPol"), config::WithSeparator(other));
    Click("RdCroiseur");
    Click("BtOK_enregistrer");

    dialogs.files.push_back(temp / "sortie.ini");
    window.findChild<QAction*>(QStringLiteral("MenuEnregistrer"))->trigger();
    std::ifstream saved(temp / "sortie.ini");
    std::stringstream text;
    text << saved.rdbuf();
    EXPECT_NE(text.str().find("Polars=" + config::WithSeparator(other)), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("PolaireAct=MER.pol"), std::string::npos) << text.str();
}

TEST_F(ParametersDialogView, TheVariableDataBoxesApplyAtOnceAndFollowTheManoeuvres) {
    Open();
    auto* windSpeed = Find<QCheckBox>("ChkB_TWS");
    ASSERT_TRUE(windSpeed->isChecked());
    Click("ChkB_TWS");
    EXPECT_FALSE(program.Engine.Variable().windSpeed);
    EXPECT_TRUE(Dialog()->isVisible());  // no "Enregistrer" needed
    Click("ChkB_TWS");
    EXPECT_TRUE(program.Engine.Variable().windSpeed);

    // A tack freezes the wind: the boxes, which the dialog shows once the boat stops (it closes
    // as she sails), show it, then show the options back.
    QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("BtCalC")), Qt::LeftButton);
    QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("SBtVire")), Qt::LeftButton);
    program.Engine.Timers.Advance(100);
    window.Pump();
    EXPECT_FALSE(program.FParam.ChkB_TWS.checked);
    program.Engine.Timers.Advance(60'000);
    window.Pump();
    EXPECT_TRUE(program.FParam.ChkB_TWS.checked);
    QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("SpBtPauseRes")), Qt::LeftButton);
    Open();
    EXPECT_TRUE(windSpeed->isChecked());
}

}  // namespace
