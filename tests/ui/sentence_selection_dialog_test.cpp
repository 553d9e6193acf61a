// The sentence-selection dialog's widgets over a whole program and its main window: the list and
// the talker buttons reach the sentences through "VALIDER" only, and closing the dialog otherwise
// changes nothing.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/program/Program.h"
#include "nmea/NmeaCatalogue.h"
#include "support/DataFiles.h"
#include "support/FakeDialogs.h"
#include "support/GuiApplication.h"
#include "support/TempFolder.h"
#include "support/WidgetFinder.h"
#include "ui/MainWindow.h"
#include "ui/SentenceSelectionDialog.h"

using namespace corvel;

namespace {

// A click on a radio button's indicator (a short caption leaves the button's middle empty).
void ClickRadio(QWidget* radio) { QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(8, radio->height() / 2)); }

// The sentence type of a log line ("$IIDPT,..." gives "DPT"), empty for the log's other lines.
std::string TypeOf(const std::string& line) { return line.size() > 6 && line[0] == '$' ? line.substr(3, 3) : ""; }

class SentenceSelectionView : public ::testing::Test {
protected:
    SentenceSelectionView() { window.show(); }

    QApplication& qt = test::GuiApplication();  // before any widget
    test::FakeDialogs dialogs;
    app::Program program{dialogs, test::SourceDir() / "data"};
    app::TFCorvel& w = program.FCorvel;
    ui::MainWindow window{program, QPixmap()};
    ui::SentenceSelectionDialog dialog{program.FParNMEA, &window, [this] { window.Refresh(); }};

    template <class Widget = QWidget>
    Widget* Find(const char* name) {
        return test::FindWidget<Widget>(dialog, name);
    }
    void Click(const char* name) { QTest::mouseClick(Find(name), Qt::LeftButton); }
    void ClickInWindow(const char* name) {
        QTest::mouseClick(window.findChild<QWidget*>(QString::fromLatin1(name)), Qt::LeftButton);
    }
    void Advance(sim::Millis ms) {
        w.Timers.Advance(ms);
        window.Refresh();
    }
    // The sentences logged since line `from`, by type, with their talkers ("DPT" -> {"$IIDPT", ...}).
    std::vector<std::string> Sent(std::size_t from = 0) const {
        std::vector<std::string> lines;
        const auto& log = w.MemoNMEA.Lines();
        for (std::size_t i = from; i < log.size(); ++i) {
            if (!TypeOf(log[i]).empty()) lines.push_back(log[i]);
        }
        return lines;
    }
    bool SentKind(const std::vector<std::string>& lines, const std::string& type) const {
        for (const std::string& line : lines) {
            if (TypeOf(line) == type) return true;
        }
        return false;
    }
};

TEST_F(SentenceSelectionView, TheListShowsTheModelsKindsAndAKindUntickedInItIsNoLongerSent) {
    dialog.Open();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Sélection des phrases NMEA à générer");
    auto* list = Find<QListWidget>("ChkLBNMEA");
    auto* memo = Find<QListWidget>("MemoPNMEA");
    ASSERT_EQ(list->count(), static_cast<int>(nmea::kSentenceKindCount));
    ASSERT_EQ(memo->count(), static_cast<int>(nmea::kSentenceKindCount));
    for (int i = 0; i < list->count(); ++i) {
        const auto& info = nmea::kSentenceCatalogue[static_cast<std::size_t>(i)];
        EXPECT_EQ(list->item(i)->text().toStdString(), info.type) << i;
        EXPECT_EQ(list->item(i)->checkState(), Qt::Checked) << i;
        // The description beside its kind, marked when obsolete.
        const std::string line = memo->item(i)->text().toStdString();
        EXPECT_EQ(line.substr(0, 5), " " + std::string(info.type) + (info.obsolete ? "*" : " ")) << line;
    }
    EXPECT_EQ(
        Find<QLabel>("NoteObsolete")->text().toStdString(),
        "* phrases réputées obsolètes pour le matériel postérieur à 2010 mais utilsées sur le matériel antérieur");
    for (const auto& [name, caption] :
         {std::pair{"BtSelAll", "Sélectionner tout"}, std::pair{"BtDeselAll", "Déselectionner tout"},
          std::pair{"BtParNMEA_VALIDE", "VALIDER"}}) {
        EXPECT_EQ(Find<QPushButton>(name)->text().toStdString(), caption);
    }

    // GGA unticked as the user's click does it, then "VALIDER": GGA alone is left out.
    const int gga = static_cast<int>(nmea::IndexOf(nmea::SentenceKind::GGA));
    list->item(gga)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(program.FParNMEA.ChkLBNMEA[static_cast<std::size_t>(gga)].checked);
    EXPECT_EQ(program.Nmea.switches[static_cast<std::size_t>(gga)], nmea::t_switch::ON);  // not before "VALIDER"
    Click("BtParNMEA_VALIDE");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(program.FParNMEA.Visible);
    ClickInWindow("BtCalC");
    Advance(3000);  // the three groups
    const auto sent = Sent();
    EXPECT_FALSE(SentKind(sent, "GGA"));
    for (const char* kept : {"GLL", "RMC", "DPT", "HDG", "VHW", "MWV", "ZDA"})
        EXPECT_TRUE(SentKind(sent, kept)) << kept;
}

TEST_F(SentenceSelectionView, DeselectingAllAndValidatingSilencesEveryOutputWhileTheTimerRuns) {
    std::vector<std::string> printed;
    w.Out.OnSentence = [&printed](app::SentenceKindOrNone, std::string_view s) { printed.emplace_back(s); };
    ClickInWindow("BtCalC");
    Advance(3000);
    ASSERT_FALSE(printed.empty());
    ClickInWindow("SpBtPauseRes");
    dialog.Open();
    Click("BtDeselAll");
    for (int i = 0; i < Find<QListWidget>("ChkLBNMEA")->count(); ++i)
        EXPECT_EQ(Find<QListWidget>("ChkLBNMEA")->item(i)->checkState(), Qt::Unchecked) << i;
    Click("BtParNMEA_VALIDE");
    ClickInWindow("SpBtPauseRes");  // resume
    const std::size_t logged = w.MemoNMEA.Lines().size(), stamped = w.MemoNMEAHMS.Lines().size(), out = printed.size();
    const auto position = w.Engine.S.Position;
    Advance(10'000);
    EXPECT_EQ(w.MemoNMEA.Lines().size(), logged);
    EXPECT_EQ(w.MemoNMEAHMS.Lines().size(), stamped);
    EXPECT_EQ(printed.size(), out);
    // The simulation goes on: the timers still run and the boat moves.
    EXPECT_GE(w.Timers.NextDue(), 0);
    EXPECT_TRUE(w.Engine.S.Position.lat != position.lat || w.Engine.S.Position.long_ != position.long_);
    // "Sélectionner tout" and "VALIDER" bring every kind back at the next groups.
    ClickInWindow("SpBtPauseRes");
    dialog.Open();
    Click("BtSelAll");
    Click("BtParNMEA_VALIDE");
    ClickInWindow("SpBtPauseRes");
    Advance(3000);
    EXPECT_GT(printed.size(), out + 20);
}

// Each talker button, chosen and validated, gives its talker to its instrument's sentences; the
// heading sentences keep the compass's "HC" and the other instruments their own.
struct TalkerCase {
    const char* button;
    std::vector<const char*> kinds;  // the sentences of that instrument
    const char* talker;
};
const TalkerCase kTalkerCases[] = {
    {"RdBtDevSond_2", {"DPT", "DBS", "DBT", "DBK", "MTW"}, "II"},
    {"RdBtDevSond_1", {"DPT", "DBS", "DBT", "DBK", "MTW"}, "SD"},
    {"RdBtInst_II", {"VHW"}, "II"},
    {"RdBtInst_Speed", {"VHW"}, "DM"},
    {"RdBtWI_2", {"MWV", "MWD", "VWR"}, "II"},
    {"RdBtWI_1", {"MWV", "MWD", "VWR"}, "WI"},
    {"RdBtDevPos_EC", {"GGA", "GLL", "RMC", "VTG", "ZDA", "RMB", "APB"}, "EC"},
    {"RdBtDevPos_GP", {"GGA", "GLL", "RMC", "VTG", "ZDA", "RMB", "APB"}, "GP"},
};

TEST(SentenceSelectionTalkers, EachButtonValidatedGivesItsTalkerToItsInstrumentsSentences) {
    test::GuiApplication();
    for (const TalkerCase& c : kTalkerCases) {
        SCOPED_TRACE(c.button);
        test::FakeDialogs dialogs;
        app::Program program{dialogs, test::SourceDir() / "data"};
        ui::MainWindow window{program, QPixmap()};
        ui::SentenceSelectionDialog dialog{program.FParNMEA, &window};
        dialog.Open();
        // The other button of the pair first, so that the click is a change.
        const std::string name = c.button;
        auto* radio = dialog.findChild<QRadioButton*>(QString::fromStdString(name));
        ASSERT_NE(radio, nullptr);
        for (QRadioButton* other : radio->parentWidget()->findChildren<QRadioButton*>()) {
            if (other != radio) ClickRadio(other);
        }
        EXPECT_FALSE(radio->isChecked());
        ClickRadio(radio);
        EXPECT_TRUE(radio->isChecked());
        QTest::mouseClick(dialog.findChild<QWidget*>(QStringLiteral("BtParNMEA_VALIDE")), Qt::LeftButton);
        QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("BtCalC")), Qt::LeftButton);
        program.FCorvel.Timers.Advance(3000);
        std::set<std::string> seen;
        for (const std::string& line : program.FCorvel.MemoNMEA.Lines()) {
            const std::string type = TypeOf(line);
            if (type.empty()) continue;
            bool ofInstrument = false;
            for (const char* kind : c.kinds) ofInstrument = ofInstrument || type == kind;
            if (ofInstrument) {
                EXPECT_EQ(line.substr(1, 2), c.talker) << line;
                seen.insert(type);
            } else if (type == "HDG" || type == "HDM" || type == "HDT") {
                EXPECT_EQ(line.substr(1, 2), "HC") << line;
            } else if (c.talker == std::string("II")) {
                EXPECT_NE(line.substr(1, 2), "II") << line;  // the other instruments keep their own
            }
        }
        for (const char* kind : c.kinds) EXPECT_EQ(seen.count(kind), 1u) << kind << " was sent";
    }
}

// Escape or the close box: the ticks and the talker choice stay unapplied. (The next start or
// resume takes the talkers from the buttons, as it always does.)
TEST_F(SentenceSelectionView, ClosingWithoutValidatingChangesNeitherTheSelectionNorTheTalkers) {
    ClickInWindow("BtCalC");
    Advance(3000);
    ClickInWindow("SpBtPauseRes");
    const std::pair<const char*, std::function<void()>> closings[] = {
        {"close box", [this] { dialog.close(); }},
        {"Escape", [this] { QTest::keyClick(&dialog, Qt::Key_Escape); }},
    };
    for (const auto& [how, close] : closings) {
        SCOPED_TRACE(how);
        dialog.Open();
        Click("BtDeselAll");
        ClickRadio(Find("RdBtDevSond_2"));
        close();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(program.FParNMEA.Visible);
        for (nmea::t_switch s : program.Nmea.switches) EXPECT_EQ(s, nmea::t_switch::ON);
        EXPECT_EQ(program.Nmea.TalkerSounder, "SD");
        // Opened again, it shows the ticks it was left with.
        dialog.Open();
        EXPECT_EQ(Find<QListWidget>("ChkLBNMEA")->item(0)->checkState(), Qt::Unchecked);
        EXPECT_TRUE(Find<QRadioButton>("RdBtDevSond_2")->isChecked());
        close();
    }
    ClickInWindow("SpBtPauseRes");  // resume
    const std::size_t from = w.MemoNMEA.Lines().size();
    Advance(3000);
    const auto sent = Sent(from);
    for (const char* kind : {"DPT", "GGA", "HDG", "VHW", "MWV"}) EXPECT_TRUE(SentKind(sent, kind)) << kind;
}

// Every row of the list has a check box that a click and the space bar turn on and off, whether
// the kind starts selected, switched off by the settings file, or switched off by a configuration
// opened afterwards.
TEST(SentenceSelectionStart, EveryKindCanBeSwitchedOnAndOffWhateverItsStart) {
    test::GuiApplication();
    enum class Start { AllOn, OffInTheSettings, OffInAConfiguration };
    for (const Start start : {Start::AllOn, Start::OffInTheSettings, Start::OffInAConfiguration}) {
        SCOPED_TRACE(static_cast<int>(start));
        test::TempFolder home;
        std::filesystem::create_directories(home / "CorvelNMEA");
        const std::string glloff = "[NMEA]\niGLL=0\niGSA=1\n";
        if (start == Start::OffInTheSettings) std::ofstream(home / "CorvelNMEA" / "CorvelNMEA.ini") << glloff;
        test::FakeDialogs dialogs;
        app::Program program{dialogs, config::StartupFolders{test::SourceDir() / "data", home.path(), {}}};
        ui::MainWindow window{program, QPixmap()};
        window.show();
        if (start == Start::OffInAConfiguration) {
            std::ofstream(home / "gll_off.ini") << glloff;
            dialogs.files.push_back(home / "gll_off.ini");
            window.findChild<QAction*>(QStringLiteral("MenuOuvrir"))->trigger();
        }
        ui::SentenceSelectionDialog dialog{program.FParNMEA, &window, [&window] { window.Refresh(); }};
        dialog.Open();
        auto* list = test::FindWidget<QListWidget>(dialog, "ChkLBNMEA");
        const int gll = static_cast<int>(nmea::IndexOf(nmea::SentenceKind::GLL));
        QListWidgetItem* item = list->item(gll);
        const bool onAtStart = start == Start::AllOn;
        ASSERT_TRUE(item->data(Qt::CheckStateRole).isValid()) << "the row has a check box";
        EXPECT_EQ(item->checkState(), onAtStart ? Qt::Checked : Qt::Unchecked);

        const QRect row = list->visualItemRect(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(row.left() + 10, row.center().y()));
        EXPECT_EQ(item->checkState(), onAtStart ? Qt::Unchecked : Qt::Checked) << "a click on the box";
        list->setFocus();
        list->setCurrentItem(item);
        QTest::keyClick(list, Qt::Key_Space);
        EXPECT_EQ(item->checkState(), onAtStart ? Qt::Checked : Qt::Unchecked) << "the space bar";
        QTest::keyClick(list, Qt::Key_Space);
        EXPECT_EQ(program.FParNMEA.ChkLBNMEA[static_cast<std::size_t>(gll)].checked, !onAtStart);
    }
}

}  // namespace
