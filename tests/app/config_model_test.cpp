// Configuration on the models: the start-up (folders, settings file, the polar and the other
// simulator's polars), saving and opening configurations, the loader's keys, the category, the
// parameters dialog and quitting. Every home, settings and polar folder is a temporary folder.
#include <gtest/gtest.h>

#include <functional>
#include <iomanip>
#include <sstream>

#include "app/program/Program.h"
#include "config/Configuration.h"
#include "support/DataFiles.h"
#include "support/EngineState.h"
#include "support/FakeDialogs.h"
#include "support/FakeZone.h"
#include "support/TempFolder.h"
#include "support/Watchdog.h"

using namespace corvel;
namespace fs = std::filesystem;
using nmea::SentenceKind;

namespace {

struct ConfigModel : ::testing::Test {
    test::TempFolder home;
    test::FakeDialogs dialogs;
    test::FakeZone zone;  // the machine at UTC, whatever the zone of the one running the tests

    config::StartupFolders Folders() const { return {test::SourceDir() / "data", home / "share", home / "Documents"}; }
    fs::path SettingsFile() const { return config::SettingsPath(home / "share"); }
    std::unique_ptr<app::Program> Start() {
        return std::make_unique<app::Program>(dialogs, Folders(), app::NoSerialDevices(), zone);
    }
    // The program without settings, then `text` opened as a configuration.
    std::unique_ptr<app::Program> Opened(const std::string& text) {
        auto p = std::make_unique<app::Program>(dialogs, test::SourceDir() / "data");
        test::WriteFile(home / "c.ini", text);
        EXPECT_TRUE(p->FCorvel.OpenConfigFile(home / "c.ini"));
        return p;
    }
    // The depth offsets the parameters dialog shows at its creation (a program without settings).
    config::DepthOffsets WindowOffsets() {
        const app::Program bare(dialogs, test::SourceDir() / "data");
        const app::SensorOffsets shown = bare.FParam.Offsets();
        return {.surface = shown.surface, .keel = shown.keel};
    }
    std::string DefaultPolar() const { return (test::SourceDir() / "data" / "DefPolars" / "First31_7.pol").string(); }
};

// A new user starts on the window's scenario, but at sea: in the Strait of Dover, 3 miles from the
// waypoint, where the window's own texts start inland; and with the depth offsets of the window.
TEST_F(ConfigModel, ANewUserStartsOnTheWindowsScenarioSavedAsTheSettings) {
    auto p = Start();
    app::TFCorvel& w = p->FCorvel;
    ASSERT_TRUE(fs::is_regular_file(SettingsFile()));
    const std::string settings = test::ReadFile(SettingsFile());
    for (const char* line :
         {"\niPOSLat=5104.14\n", "\niPOSLong=123.08\n", "\niOFFS_Surf=0.3\n", "\niOFFS_Keel=1.6\n"}) {
        EXPECT_NE(settings.find(line), std::string::npos) << line << settings;
    }
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(w.EdTWS.text, "6.0");
    EXPECT_EQ(w.EdTWD.text, "20.0");
    EXPECT_EQ(w.EdHDG.text, "318.0");
    EXPECT_EQ(w.EdFCourant.text, "1.0");
    EXPECT_EQ(w.EdDirCourant.text, "75.0");
    EXPECT_EQ(w.EdLATDeg.text + " " + w.EdLATMin.text, "51 4.14");
    EXPECT_EQ(w.EdLGDEG.text + " " + w.EdLGMin.text, "1 23.08");
    EXPECT_TRUE(w.RadioButtonN.checked && w.RadioButtonE.checked);
    const config::DepthOffsets window = WindowOffsets();
    EXPECT_EQ(p->FParam.SurfaceOffset, window.surface);
    EXPECT_EQ(p->FParam.KeelOffset, window.keel);
    EXPECT_EQ(w.EdNwpt.text, "Att_Dover");
    EXPECT_EQ(w.EdiDECL.text, "1.50");
    EXPECT_TRUE(w.RdgDeclE.checked);
    EXPECT_EQ(w.LabCateg.text, "Course - croisière");
    EXPECT_EQ(w.ChosenPolar.PolarPath, DefaultPolar());
    EXPECT_EQ(w.Nmea.switches, nmea::AllSwitches(nmea::t_switch::ON));
    // A first "SIMULER" sails.
    w.BtCalCClick();
    w.Timers.Advance(30'000);
    EXPECT_GT(w.Engine.S.WaterTrack.mdl, 1.0f);
    EXPECT_NE(w.EdLATMin.text, "4.14");
    EXPECT_LT(w.Engine.S.DTW, 5.0f);
    EXPECT_EQ(w.Engine.S.SurfaceOffset, static_cast<float>(window.surface));
    EXPECT_EQ(w.Engine.S.KeelOffset, static_cast<float>(window.keel));
    // The next start reads the same file and writes nothing more.
    const auto written = fs::last_write_time(SettingsFile());
    p.reset();
    auto again = Start();
    EXPECT_EQ(again->FCorvel.EdTWS.text, "6.0");
    EXPECT_EQ(fs::last_write_time(SettingsFile()), written);
}

// The sentences' UTC is right from a new user's first "SIMULER": the settings carry the machine's
// offset of the first start, which later starts read back whatever the zone has become; without
// settings the window keeps its -2.
TEST_F(ConfigModel, ANewUserStartsOnTheMachinesUtcOffset) {
    zone.hours = -5.5L;  // India
    auto p = Start();
    EXPECT_NE(test::ReadFile(SettingsFile()).find("\nidTU=-5.3\n"), std::string::npos);
    EXPECT_NEAR(static_cast<double>(p->Nmea.UtcOffsetHours), -5.5, 1e-12);
    EXPECT_EQ(p->FParam.LbEdTU.text, "-5.3");
    EXPECT_TRUE(dialogs.messages.empty());

    p.reset();
    zone.hours = 0;  // the machine moved to UTC: the user's settings stay
    p = Start();
    EXPECT_NEAR(static_cast<double>(p->Nmea.UtcOffsetHours), -5.5, 1e-12);
    EXPECT_NE(test::ReadFile(SettingsFile()).find("\nidTU=-5.3\n"), std::string::npos);

    const app::Program bare(dialogs, test::SourceDir() / "data", app::NoSerialDevices(), zone);
    EXPECT_EQ(bare.Nmea.UtcOffsetHours, -2);
    EXPECT_EQ(bare.FParam.LbEdTU.text, "-2");
}

TEST_F(ConfigModel, OuvrirAddsTheIniExtensionToANameTypedWithoutOne) {
    auto p = Start();
    test::WriteFile(home / "voyage.ini", "[NavDATA]\niTWS=12\n");
    test::WriteFile(home / "brut", "[NavDATA]\niTWS=3\n");
    dialogs.files.push_back(home / "voyage");  // no such file: voyage.ini
    p->FCorvel.Ouvrir2Click();
    EXPECT_EQ(p->FCorvel.EdTWS.text, "12.0");
    dialogs.files.push_back(home / "brut");  // a file of that very name is opened as it is
    p->FCorvel.Ouvrir2Click();
    EXPECT_EQ(p->FCorvel.EdTWS.text, "3.0");
    EXPECT_TRUE(dialogs.messages.empty());
}

// A settings folder without its file (left by a first run that could not write it, or the file
// deleted) is a first run: the file is written, and the boat starts from the window's scenario.
TEST_F(ConfigModel, ASettingsFolderWithoutItsFileIsAFirstRun) {
    fs::create_directories(SettingsFile().parent_path());
    zone.hours = -1;
    auto p = Start();
    app::TFCorvel& w = p->FCorvel;
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(test::ReadFile(SettingsFile()), config::FirstRunSettings(-1, WindowOffsets()).Text());
    EXPECT_EQ(w.EdTWS.text, "6.0");
    EXPECT_EQ(w.EdHDG.text, "318.0");
    EXPECT_EQ(w.EdLATDeg.text + " " + w.EdLATMin.text, "51 4.14");
    EXPECT_EQ(w.LabCateg.text, "Course - croisière");
    EXPECT_EQ(w.Nmea.UtcOffsetHours, -1);
    // The default polar, loaded and named.
    EXPECT_EQ(w.ChosenPolar.PolarPath, DefaultPolar());
    EXPECT_EQ(w.StxNomPol.text, "FIRST31_7");
    EXPECT_EQ(p->FPolaire.LoadedPath, DefaultPolar());
}

// A first run whose settings file cannot be written (here a file stands where the folder should be;
// a full disk fails the same save) says so, naming the file, and sails the first run's scenario all
// the same; the next start tries again.
TEST_F(ConfigModel, AFirstRunThatCannotWriteItsSettingsSaysSoAndSailsAllTheSame) {
    test::WriteFile(SettingsFile().parent_path(), "");
    auto p = Start();
    app::TFCorvel& w = p->FCorvel;
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].rfind("Impossible d'écrire " + SettingsFile().string() + " : ", 0), 0u)
        << dialogs.messages[0];
    EXPECT_EQ(w.EdTWS.text, "6.0");
    EXPECT_EQ(w.LabCateg.text, "Course - croisière");
    w.BtCalCClick();
    w.Timers.Advance(30'000);
    EXPECT_GT(w.Engine.S.WaterTrack.mdl, 1.0f);

    fs::remove(SettingsFile().parent_path());
    p.reset();
    dialogs.messages.clear();
    Start();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(fs::is_regular_file(SettingsFile()));
}

TEST_F(ConfigModel, SaveThenOpenRestoresTheSimulation) {
    auto p = Start();
    app::TFCorvel& w = p->FCorvel;
    // A set-up unlike the defaults.
    w.EdLATDeg.text = "45";
    w.EdLATMin.text = "12,5";
    w.RadioButtonS.checked = true;
    w.RadioButtonN.checked = false;
    w.EdLGDEG.text = "3";
    w.EdLGMin.text = "7.25";
    w.RadioButtonW.checked = true;
    w.RadioButtonE.checked = false;
    w.EdNwpt.text = "Île d'Yeu";
    w.EdLatWpDeg.text = "46";
    w.EDLatWpmin.text = "43.1";
    w.EDLGWpDeg.text = "2";
    w.EdLGWpmin.text = "20.5";
    w.RadioButtonWPW.checked = true;
    w.RadioButtonWPE.checked = false;
    w.Init_WP();
    test::EngineState(w.Engine).TrueWind = {12.3f, 250};
    test::EngineState(w.Engine).Current = {1.5f, 75};
    test::EngineState(w.Engine).HDG = 100;
    test::EngineState(w.Engine).Leeway = -5;
    w.EdiDECL.text = "1.5";
    w.RdgDeclW.checked = true;
    w.RdgDeclE.checked = false;
    w.InitDeclinaison();
    test::EngineState(w.Engine).Standby = true;
    test::EngineState(w.Engine).PolarPercent = 80;
    p->FParam.RdCroiseur.checked = true;
    p->FParam.RdCroiseurChange();
    ASSERT_EQ(w.Engine.S.Category, 2);
    p->FParam.LbEdTU.text = "5.3";
    p->FParam.BtOK_enregistrerClick();  // a category is marked: accepted, 5 h 30 in force
    p->FParam.ChkB_TWS.checked = false;
    p->FParam.ChkB_TWSChange();
    p->FParam.SetOffsets(0.5, 2.1);
    w.CBbauds.itemIndex = 6;  // 9600
    w.Nmea.Select(SentenceKind::RMB, false);
    w.Nmea.Select(SentenceKind::ZDA, false);
    w.Nmea.Select(SentenceKind::GGA, false);  // not saved
    p->FParNMEA.RdBtDevPos_EC.checked = true;
    p->FParNMEA.RdBtDevPos_GP.checked = false;
    p->FParNMEA.RdBtWI_1.checked = false;
    p->FParNMEA.RdBtWI_2.checked = true;

    const fs::path file = home / "share" / "CorvelNMEA" / "voyage.ini";
    dialogs.files.push_back(file);
    w.EnregistrerCFG();
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages.front();
    const std::string saved = test::ReadFile(file);
    EXPECT_NE(saved.find("PolaireAct=FIRST31_7.pol\n"), std::string::npos);
    EXPECT_NE(saved.find("iDeclMag=-1.5\n"), std::string::npos);
    EXPECT_NE(saved.find("idTU=5.3\n"), std::string::npos);
    EXPECT_NE(saved.find("iPOSLat=-4512.5\n"), std::string::npos);

    auto q = std::make_unique<app::Program>(dialogs, test::SourceDir() / "data");
    app::TFCorvel& r = q->FCorvel;
    dialogs.files.push_back(file);
    r.Ouvrir2Click();
    EXPECT_EQ(r.EdLATDeg.text, "45");
    EXPECT_EQ(r.EdLATMin.text, "12.5");
    EXPECT_TRUE(r.RadioButtonS.checked && !r.RadioButtonN.checked);
    EXPECT_EQ(r.EdLGDEG.text, "3");
    EXPECT_EQ(r.EdLGMin.text, "7.25");
    EXPECT_TRUE(r.RadioButtonW.checked && !r.RadioButtonE.checked);
    EXPECT_EQ(r.Engine.S.Waypoint.nom, "Île d'Yeu");
    EXPECT_EQ(r.Engine.S.Waypoint.lat, w.Engine.S.Waypoint.lat);
    EXPECT_EQ(r.Engine.S.Waypoint.long_, w.Engine.S.Waypoint.long_);
    EXPECT_EQ(r.Engine.S.TrueWind.mdl, 12.3f);
    EXPECT_EQ(r.EdTWS.text, "12.3");
    EXPECT_EQ(r.EdTWD.text, "250.0");
    EXPECT_EQ(r.Engine.S.Current.mdl, 1.5f);
    EXPECT_EQ(r.Engine.S.Current.argt, 75);
    EXPECT_EQ(r.Engine.S.HDG, 105);  // the heading without its leeway
    EXPECT_EQ(r.EdHDG.text, "105.0");
    EXPECT_EQ(r.Engine.S.MagVar, -1.5f);
    EXPECT_EQ(r.Engine.S.MagVarSide, 'W');
    EXPECT_EQ(r.EdiDECL.text, "1.50");
    EXPECT_EQ(r.EdHDM.text, "107.0");
    EXPECT_NEAR(static_cast<double>(r.Nmea.UtcOffsetHours), 5.5, 1e-9);
    EXPECT_EQ(q->FParam.LbEdTU.text, "5.3");
    EXPECT_TRUE(r.Engine.S.Standby);
    EXPECT_EQ(r.Engine.S.PolarPercent, 80);
    EXPECT_FALSE(q->FParam.ChkB_TWS.checked);
    EXPECT_FALSE(r.Engine.S.TWSVariable);
    EXPECT_EQ(q->FParam.SurfaceOffset, 0.5);
    EXPECT_EQ(q->FParam.KeelOffset, 2.1);
    EXPECT_EQ(q->FParam.EDTirando.text, "2.60");
    EXPECT_EQ(r.CBbauds.text(), "9600");
    for (const auto& info : nmea::kSentenceCatalogue) {
        const bool expected = info.kind != SentenceKind::RMB && info.kind != SentenceKind::ZDA;
        EXPECT_EQ(r.Nmea.Selected(info.kind), expected) << info.type;  // GGA: as the program started
        EXPECT_EQ(q->FParNMEA.ChkLBNMEA[nmea::IndexOf(info.kind)].checked, expected) << info.type;
    }
    EXPECT_TRUE(q->FParNMEA.RdBtDevPos_EC.checked && !q->FParNMEA.RdBtDevPos_GP.checked);
    EXPECT_TRUE(q->FParNMEA.RdBtWI_2.checked && !q->FParNMEA.RdBtWI_1.checked);
    EXPECT_TRUE(q->FParNMEA.RdBtDevSond_1.checked);
    // The category is saved with the rest and comes back.
    EXPECT_EQ(r.Engine.S.Category, 2);
    EXPECT_TRUE(q->FParam.RdCroiseur.checked);
    EXPECT_EQ(r.LabCateg.text, " Croiseur");
    EXPECT_EQ(
        r.Caption,
        "Simulateur de Navigation et Générateur de phrases NMEA 0183   Version : 4.6      Configuration : voyage.ini");
}

struct KeyCase {
    const char* name;
    std::string file;
    std::function<void(app::Program&)> check;
};

class ConfigKey : public ConfigModel, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(ConfigKey, SetsWhatItNames) { GetParam().check(*Opened(GetParam().file)); }

std::string FirstSentenceOf(app::Program& p, std::string_view type) {
    p.FCorvel.BtCalCClick();
    p.FCorvel.Timers.Advance(3000);
    for (const std::string& line : p.FCorvel.MemoNMEA.Lines()) {
        if (line.substr(3, 3) == type) return line;
    }
    return {};
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ConfigKey,
    ::testing::Values(KeyCase{"CommaDecimals", "[NavDATA]\niTWS=6,5\niCURDir=75,25\n",
                              [](app::Program& p) {
                                  EXPECT_EQ(p.FCorvel.EdTWS.text, "6.5");
                                  EXPECT_EQ(p.Engine.S.TWSBase, 6.5f);
                                  EXPECT_EQ(p.FCorvel.EdDirCourant.text, "75.3");
                              }},
                      KeyCase{"AutoInLowerCaseIsStandby", "[Parametres]\niModPil=auto\n",
                              [](app::Program& p) { EXPECT_TRUE(p.Engine.S.Standby); }},
                      KeyCase{"SouthernLatitude", "[NavDATA]\niPOSLat=-4512.5\n",
                              [](app::Program& p) {
                                  EXPECT_EQ(p.FCorvel.EdLATDeg.text, "45");
                                  EXPECT_EQ(p.FCorvel.EdLATMin.text, "12.5");
                                  EXPECT_TRUE(p.FCorvel.RadioButtonS.checked);
                                  EXPECT_FALSE(p.FCorvel.RadioButtonN.checked);
                              }},
                      KeyCase{"SerialSpeed", "[COM]\niVit=9600\n",
                              [](app::Program& p) { EXPECT_EQ(p.FCorvel.CBbauds.text(), "9600"); }},
                      KeyCase{"UnknownSerialSpeedIsTheNmeaRate", "[COM]\niVit=12345\n",
                              [](app::Program& p) { EXPECT_EQ(p.FCorvel.CBbauds.text(), "4800"); }},
                      KeyCase{"PositionTalker", "[NMEA]\niDevPOS=EC\n",
                              [](app::Program& p) {
                                  EXPECT_EQ(FirstSentenceOf(p, "GLL").substr(0, 6), "$ECGLL");
                                  EXPECT_EQ(FirstSentenceOf(p, "RMC").substr(0, 6), "$ECRMC");
                              }},
                      KeyCase{"CategoryCode", "[Parametres]\niCateg=CPTE\n",
                              [](app::Program& p) {
                                  EXPECT_EQ(p.Engine.S.Category, 3);
                                  EXPECT_TRUE(p.FParam.RdCroisPTE.checked);
                                  EXPECT_FALSE(p.FParam.RdCourCrois.checked);
                                  EXPECT_EQ(p.FCorvel.LabCateg.text, " Croiseur à PTE");
                              }},
                      KeyCase{"WesternVariation", "[NavDATA]\niDeclMag=-1.5\niHDG=10\n",
                              [](app::Program& p) {
                                  EXPECT_EQ(p.FCorvel.EdiDECL.text, "1.50");
                                  EXPECT_TRUE(p.FCorvel.RdgDeclW.checked);
                                  EXPECT_EQ(p.Engine.S.MagVar, -1.5f);
                                  EXPECT_EQ(p.FCorvel.EdHDM.text, "11.5");
                              }},
                      KeyCase{"SentencesOffFromTheFirstKeyOn", "[NMEA]\niAPB=0\n",
                              [](app::Program& p) {
                                  for (const auto& info : nmea::kSentenceCatalogue) {
                                      EXPECT_EQ(p.FCorvel.Nmea.Selected(info.kind), info.kind == SentenceKind::GGA)
                                          << info.type;
                                  }
                              }},
                      KeyCase{"PolarPercentRoundedIntoTheBox", "[Parametres]\niPolPerc=80,5\n",
                              [](app::Program& p) {
                                  EXPECT_EQ(p.FCorvel.SpBPolPerc.value, 80);  // halves to even
                                  EXPECT_EQ(p.Engine.S.PolarPercent, 80);
                              }},
                      KeyCase{"PolarPercentHeldInTheBox", "[Parametres]\niPolPerc=20\n",
                              [](app::Program& p) { EXPECT_EQ(p.Engine.S.PolarPercent, 50); }},
                      KeyCase{"LongWaypointNameCut", "[NavDATA]\niWpID=\xC3\xA9" + std::string(300, 'x') + "\n",
                              [](app::Program& p) {
                                  EXPECT_EQ(p.FCorvel.EdNwpt.text, "\xC3\xA9" + std::string(253, 'x'));  // 255 bytes
                                  EXPECT_EQ(p.Engine.S.Waypoint.nom, p.FCorvel.EdNwpt.text);
                              }}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- out-of-range numbers

// Every ranged key at an in-range value unlike the windows' designed ones.
const std::vector<std::pair<std::string, std::string>> kRangedBase = {
    {"iOFFS_Keel", "1.4"}, {"iOFFS_Surf", "0.4"}, {"iTWS", "12"},         {"iTWD", "250"},         {"iHDG", "100"},
    {"iCUR", "1.5"},       {"iCURDir", "75"},     {"iPOSLat", "-4512.5"}, {"iPOSLong", "-307.25"}, {"iWpLat", "4643.1"},
    {"iWpLong", "-220.5"}, {"iDeclMag", "-1.5"},  {"idTU", "5.3"},
};

// kRangedBase with some values replaced, the offsets in "Parametres", the others in "NavDATA".
std::string RangedFile(const std::vector<std::pair<std::string, std::string>>& changes = {}) {
    std::string parameters = "[Parametres]\n", navigation = "[NavDATA]\niWpID=Cap\n";
    for (auto [key, value] : kRangedBase) {
        for (const auto& [changed, to] : changes) {
            if (changed == key) value = to;
        }
        (key.rfind("iOFFS", 0) == 0 ? parameters : navigation) += key + "=" + value + "\n";
    }
    return parameters + navigation;
}

// Everything a ranged key sets, in the windows and in the state.
std::string RangedValues(const app::Program& p) {
    const app::TFCorvel& w = p.FCorvel;
    std::ostringstream out;
    out << std::setprecision(20);
    for (const app::EditField* f : {&w.EdTWS,
                                    &w.EdBFT,
                                    &w.EdTWD,
                                    &w.EdHDG,
                                    &w.EdCAP,
                                    &w.Ed2HDGT,
                                    &w.EdHDM,
                                    &w.EdFCourant,
                                    &w.EdDirCourant,
                                    &w.EdLATDeg,
                                    &w.EdLATMin,
                                    &w.EdLGDEG,
                                    &w.EdLGMin,
                                    &w.EdLatWpDeg,
                                    &w.EDLatWpmin,
                                    &w.EDLGWpDeg,
                                    &w.EdLGWpmin,
                                    &w.EdiDECL,
                                    &p.FParam.LbEdTU,
                                    &p.FParam.EDTirando,
                                    &p.FParam.EdProfCapt}) {
        out << f->text << '|';
    }
    for (const app::RadioButton* b :
         {&w.RadioButtonS, &w.RadioButtonW, &w.RadioButtonWPS, &w.RadioButtonWPW, &w.RdgDeclW}) {
        out << b->checked;
    }
    const sim::SimulationState& s = w.Engine.S;
    for (const double v : {double{s.TWSBase}, double{s.TrueWind.mdl}, double{s.TWDBase}, double{s.TrueWind.argt},
                           double{s.HDG}, double{s.Current.mdl}, double{s.Current.argt}, double{s.Waypoint.lat},
                           double{s.Waypoint.long_}, double{s.MagVar}, double{s.KeelOffset}, double{s.SurfaceOffset},
                           static_cast<double>(w.Nmea.UtcOffsetHours), p.FParam.KeelOffset, p.FParam.SurfaceOffset}) {
        out << '|' << v;
    }
    return out.str();
}

// A number outside its range: one message naming the file, the key, its value and its range; the
// value in force stays, in the window and in the state, and so does everything else.
TEST_F(ConfigModel, AnOutOfRangeNumberIsRefusedAndTheValueInForceStays) {
    const struct {
        const char* key;
        const char* value;
        const char* range;
    } cases[] = {
        {"iPOSLat", "9000", "latitude de -89 à 89 degrés"},  // the pole
        {"iPOSLat", "-8900.5", "latitude de -89 à 89 degrés"},
        {"iWpLat", "8860.5", "latitude de -89 à 89 degrés"},  // 88 degrees and 60.5 minutes
        {"iPOSLong", "36000.5", "longitude de -360 à 360 degrés"},
        {"iWpLong", "-1e300", "longitude de -360 à 360 degrés"},
        {"iTWS", "1e300", "vitesse du vent de 0 à 200 nœuds"},
        {"iTWS", "-0,5", "vitesse du vent de 0 à 200 nœuds"},
        {"iCUR", "1e18", "vitesse du courant de 0 à 50 nœuds"},
        {"iTWD", "720.01", "direction du vent de -360 à 720 degrés"},
        {"iHDG", "-361", "cap de -360 à 720 degrés"},
        {"iCURDir", "1e300", "direction du courant de -360 à 720 degrés"},
        {"iDeclMag", "180.5", "déclinaison magnétique de -180 à 180 degrés"},
        {"idTU", "9000", "décalage horaire de -14 à 14 heures"},
        {"idTU", "-14.0001", "décalage horaire de -14 à 14 heures"},  // 14 h 0 min 1 s
        {"iOFFS_Keel", "100.01", "offset de quille de -100 à 100 mètres"},
        {"iOFFS_Surf", "-1e300", "offset de surface de -100 à 100 mètres"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        auto p = Opened(RangedFile());
        ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages.front();
        const std::string before = RangedValues(*p);
        const fs::path bad = home / "bad.ini";
        test::WriteFile(bad, RangedFile({{c.key, c.value}}));
        ASSERT_TRUE(p->FCorvel.OpenConfigFile(bad));
        EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Valeur hors limites ignorée dans " + bad.string() +
                                                             " : " + c.key + "=" + c.value + " (" + c.range + ")"});
        EXPECT_EQ(RangedValues(*p), before);
        dialogs.messages.clear();
    }
}

TEST_F(ConfigModel, SeveralRefusedNumbersMakeOneMessageAndTheOtherKeysApply) {
    auto p = Opened(RangedFile());
    test::WriteFile(home / "bad.ini", "[Parametres]\niOFFS_Surf=200\n[NavDATA]\niTWS=7\nidTU=9000\niPOSLat=9000\n");
    ASSERT_TRUE(p->FCorvel.OpenConfigFile(home / "bad.ini"));
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{
                                    "Valeurs hors limites ignorées dans " + (home / "bad.ini").string() +
                                    " : iOFFS_Surf=200 (offset de surface de -100 à 100 mètres), iPOSLat=9000 "
                                    "(latitude de -89 à 89 degrés), idTU=9000 (décalage horaire de -14 à 14 heures)"});
    EXPECT_EQ(p->FCorvel.EdTWS.text, "7.0");
    EXPECT_EQ(p->FCorvel.EdLATDeg.text, "45");
    EXPECT_TRUE(p->FCorvel.RadioButtonS.checked);
    EXPECT_EQ(p->FParam.EdProfCapt.text, "0.40");
    EXPECT_NEAR(static_cast<double>(p->FCorvel.Nmea.UtcOffsetHours), 5.5, 1e-9);
    // A missing number still reads 0, as it always did.
    EXPECT_EQ(p->FCorvel.EdHDG.text, "0.0");
    EXPECT_EQ(p->Engine.S.KeelOffset, 0);
}

TEST_F(ConfigModel, TheBoundsOfEveryRangeLoad) {
    auto p = Opened(RangedFile({{"iTWS", "200"},
                                {"iCUR", "50"},
                                {"iTWD", "-360"},
                                {"iHDG", "720"},
                                {"iCURDir", "-360"},
                                {"iPOSLat", "-8900"},
                                {"iPOSLong", "36000"},
                                {"iWpLat", "8860"},
                                {"iWpLong", "-36000"},
                                {"iDeclMag", "180"},
                                {"idTU", "-14"},
                                {"iOFFS_Keel", "100"},
                                {"iOFFS_Surf", "-100"}}));
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages.front();
    const app::TFCorvel& w = p->FCorvel;
    EXPECT_EQ(w.EdTWS.text, "200.0");
    EXPECT_EQ(w.Engine.S.Current.mdl, 50);
    EXPECT_EQ(w.Engine.S.TrueWind.argt, -360);
    EXPECT_EQ(w.Engine.S.HDG, 720);
    EXPECT_EQ(w.EdLATDeg.text, "89");
    EXPECT_TRUE(w.RadioButtonS.checked);
    EXPECT_EQ(w.EdLGDEG.text, "360");
    EXPECT_EQ(w.Engine.S.Waypoint.lat, 89);  // 88 degrees 60 minutes
    EXPECT_EQ(w.EdiDECL.text, "180.00");
    EXPECT_EQ(w.Nmea.UtcOffsetHours, -14);
    EXPECT_EQ(w.Engine.S.KeelOffset, 100);
    EXPECT_EQ(w.Engine.S.SurfaceOffset, -100);
    // The polar percentage is held in its box whatever the file says.
    for (const auto& [percent, held] : {std::pair{"1e300", 100}, {"-1e300", 50}}) {
        test::WriteFile(home / "c.ini", std::string("[Parametres]\niPolPerc=") + percent + "\n");
        ASSERT_TRUE(p->FCorvel.OpenConfigFile(home / "c.ini"));
        EXPECT_EQ(p->Engine.S.PolarPercent, held) << percent;
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ConfigModel, AnOutOfRangeNumberInTheSettingsKeepsTheStartValue) {
    test::WriteFile(SettingsFile(), "[NavDATA]\niTWS=500\niHDG=45\n");
    auto p = Start();
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Valeur hors limites ignorée dans " + SettingsFile().string() +
                                                         " : iTWS=500 (vitesse du vent de 0 à 200 nœuds)"});
    EXPECT_EQ(p->FCorvel.EdTWS.text, "6");  // the window's designed wind: the start-up load did not set it
    EXPECT_EQ(p->FCorvel.EdHDG.text, "45.0");
}

TEST_F(ConfigModel, AnUnknownCategoryCodeKeepsTheCategoryAndRefreshesItsDisplay) {
    auto p = std::make_unique<app::Program>(dialogs, test::SourceDir() / "data");
    p->FParam.RdCroiseur.checked = true;
    p->FParam.RdCroiseurChange();
    p->FParam.RdCroiseur.checked = false;  // the display drifts from the category in force
    test::WriteFile(home / "c.ini", "[Parametres]\niCateg=cc\n");
    ASSERT_TRUE(p->FCorvel.OpenConfigFile(home / "c.ini"));
    EXPECT_EQ(p->Engine.S.Category, 2);
    EXPECT_TRUE(p->FParam.RdCroiseur.checked);
    EXPECT_EQ(p->FCorvel.LabCateg.text, " Croiseur");
}

TEST_F(ConfigModel, TheWifiDialogTakesTheAddressAndPortOfTheSettings) {
    test::WriteFile(SettingsFile(), "[WIFI]\niAdIP=10.0.0.5\niPort=2000\n");
    auto p = Start();
    EXPECT_EQ(p->FParamWIFI.EdAdIP.text, "10.0.0.5");
    EXPECT_EQ(p->FParamWIFI.UnitAddress, "10.0.0.5");
    EXPECT_EQ(p->FParamWIFI.EdPort.text, "2000");
    EXPECT_EQ(p->FParamWIFI.SettingsPath, SettingsFile());
    EXPECT_EQ(&p->FCorvel.FParamWIFI, static_cast<app::NetworkSettings*>(&p->FParamWIFI));
    // An open later stores its values for the next start; the dialog keeps its own.
    test::WriteFile(home / "c.ini", "[WIFI]\niAdIP=10.0.0.9\n");
    ASSERT_TRUE(p->FCorvel.OpenConfigFile(home / "c.ini"));
    EXPECT_EQ(p->FCorvel.WifiAddress, "10.0.0.9");
    EXPECT_EQ(p->FParamWIFI.UnitAddress, "10.0.0.5");
    // A save writes the address in use.
    dialogs.files.push_back(home / "saved.ini");
    p->FCorvel.EnregistrerCFG();
    EXPECT_EQ(config::IniFile::Load(home / "saved.ini").file.Value("WIFI", "iAdIP"), "10.0.0.5");
    EXPECT_EQ(config::IniFile::Load(home / "saved.ini").file.Value("WIFI", "iPort"), "2000");
}

// "CR LF en fin de trame" from the settings' "iUDPCRLF": a file without the key starts unticked, as
// before the key existed; a configuration save writes the box as it is.
TEST_F(ConfigModel, TheDatagramLineEndsBoxTakesTheSettingsKeyAndASaveWritesIt) {
    const struct {
        const char* what;
        const char* settings;
        bool ticked;
    } cases[] = {
        {"no key", "[WIFI]\niAdIP=10.0.0.5\niPort=2000\n", false},
        {"ticked", "[WIFI]\niAdIP=10.0.0.5\niPort=2000\niUDPCRLF=1\n", true},
        {"unticked", "[WIFI]\niUDPCRLF=0\n", false},
        {"no integer", "[WIFI]\niUDPCRLF=oui\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::WriteFile(SettingsFile(), c.settings);
        auto p = Start();
        EXPECT_EQ(p->FParamWIFI.ChkCRLF.checked, c.ticked);
        EXPECT_FALSE(p->FParamWIFI.ChkCRLF.enabled);  // TCP at first: the box is UDP's
        EXPECT_TRUE(dialogs.messages.empty());
        dialogs.files.push_back(home / "saved.ini");
        p->FCorvel.EnregistrerCFG();
        EXPECT_EQ(config::IniFile::Load(home / "saved.ini").file.Value("WIFI", "iUDPCRLF"), c.ticked ? "1" : "0");
    }
}

TEST_F(ConfigModel, SettingsNamingAMissingPolarStartOnTheDefaultOne) {
    const fs::path polars = home / "polars";
    fs::create_directories(polars);
    test::WriteFile(SettingsFile(),
                    "[REPERTOIRES]\nPolars=" + polars.string() + "/\n[Parametres]\nPolaireAct=Gone.pol\n");
    auto p = Start();
    EXPECT_EQ(p->FPolaire.LoadedPath, DefaultPolar());
    EXPECT_EQ(p->FCorvel.StxNomPol.text, "FIRST31_7");
    // The start-up load then names the settings' polar, which the parameters dialog shows.
    EXPECT_EQ(p->FCorvel.ChosenPolar.PolarName, "GONE");
    EXPECT_EQ(p->FCorvel.ChosenPolar.PolarFolder, polars.string() + "/");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ConfigModel, TheSettingsPolarIsFoundWhateverTheLetterCaseOfItsName) {
    const fs::path polars = home / "polars";
    fs::create_directories(polars);
    fs::copy_file(DefaultPolar(), polars / "Mon Bateau.pol");
    test::WriteFile(SettingsFile(),
                    "[REPERTOIRES]\nPolars=" + polars.string() + "/\n[Parametres]\nPolaireAct=MON BATEAU.pol\n");
    auto p = Start();
    EXPECT_EQ(p->FPolaire.LoadedPath, polars / "Mon Bateau.pol");
    EXPECT_EQ(p->FCorvel.ChosenPolar.PolarPath, (polars / "Mon Bateau.pol").string());
    EXPECT_EQ(p->FCorvel.StxNomPol.text, "MON BATEAU");
}

TEST_F(ConfigModel, TheOtherSimulatorsPolarsAreOfferedUntilTaken) {
    const fs::path brisel = home / "Documents" / "Brisel" / "Polars";
    fs::create_directories(brisel);
    fs::copy_file(DefaultPolar(), brisel / "First 31.7.pol");
    const std::string question =
        "Les polaires de BRISEL sont disponibles sur votre machine - Voulez-vous les utiliser maintenant ?";

    dialogs.answers = {"N"};
    Start();
    ASSERT_EQ(dialogs.questions, std::vector<std::string>{question});
    dialogs.answers = {"O"};
    auto p = Start();  // asked again at the next start
    EXPECT_EQ(dialogs.questions.size(), 2u);
    EXPECT_EQ(p->FPolaire.LoadedPath, (brisel / "First 31.7.pol").string());
    EXPECT_EQ(p->FCorvel.StxNomPol.text, "FIRST 31.7");

    // Saved in the settings, they are the folder in use: no more question.
    dialogs.files.push_back(SettingsFile());
    p->FCorvel.EnregistrerCFG();
    Start();
    EXPECT_EQ(dialogs.questions.size(), 2u);
}

TEST_F(ConfigModel, TakingTheOtherSimulatorsPolarsWithoutTheirDefaultKeepsAPolarLoaded) {
    fs::create_directories(home / "Documents" / "Brisel" / "Polars");
    dialogs.answers = {"O"};
    auto p = Start();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(p->FPolaire.LoadedPath, DefaultPolar());
    EXPECT_EQ(p->FCorvel.ChosenPolar.PolarFolder, (home / "Documents" / "Brisel" / "Polars").string() + "/");
}

TEST_F(ConfigModel, QuitAsksWhetherToSave) {
    auto p = Start();
    app::TFCorvel& w = p->FCorvel;
    const std::string firstRun = test::ReadFile(SettingsFile());
    w.BtCalCClick();
    w.Timers.Advance(2000);
    ASSERT_FALSE(w.MemoNMEA.Lines().empty());
    dialogs.answers = {"N"};
    w.MenuQuitClick();
    EXPECT_EQ(dialogs.questions.back(), "Voulez-vous sauvegarder la configuration ( O/N) ?");
    EXPECT_FALSE(w.Engine.Ticking());
    EXPECT_TRUE(w.MemoNMEA.Lines().empty());
    EXPECT_TRUE(w.Closed);
    EXPECT_EQ(test::ReadFile(SettingsFile()), firstRun);

    auto q = Start();
    fs::remove(SettingsFile());
    dialogs.answers = {"O"};
    dialogs.files.push_back(SettingsFile());
    q->FCorvel.MenuQuitClick();
    EXPECT_TRUE(q->FCorvel.Closed);
    EXPECT_EQ(config::IniFile::Load(SettingsFile()).file.Value("Version", "Name"), "CorvelNMEA");
}

TEST_F(ConfigModel, ASaveThatFailsIsReportedAndChangesNothing) {
    auto p = Start();
    fs::create_directories(home / "taken.ini");  // a folder where the file should go
    dialogs.files.push_back(home / "taken.ini");
    p->FCorvel.EnregistrerCFG();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].rfind("Impossible d'enregistrer la configuration dans ", 0), 0u);
    EXPECT_TRUE(fs::is_directory(home / "taken.ini"));

    // A cancelled dialog writes nothing and says nothing.
    p->FCorvel.EnregistrerCFG();
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(ConfigModel, ASaveKeepsWhatItDoesNotWrite) {
    auto p = Start();
    const std::string mine = "; my serial devices\n[COM]\nCOM1=/dev/ttyUSB0\niVit=4800\n[Mine]\nkey=value\n";
    test::WriteFile(SettingsFile(), mine);
    dialogs.files.push_back(SettingsFile());
    p->FCorvel.EnregistrerCFG();
    const std::string text = test::ReadFile(SettingsFile());
    EXPECT_EQ(text.rfind("; my serial devices\n[COM]\nCOM1=/dev/ttyUSB0\niVit=4800\n[Mine]\nkey=value\n", 0), 0u);
    EXPECT_NE(text.find("[NMEA]"), std::string::npos);
}

TEST_F(ConfigModel, EachOpenAddsItsNameToTheCaption) {
    auto p = Start();
    test::WriteFile(home / "a.ini", "[NavDATA]\niTWS=5\n");
    test::WriteFile(home / "b.ini", "[NavDATA]\niTWS=7\n");
    dialogs.files = {home / "a.ini", home / "b.ini"};
    p->FCorvel.MenuAutomatique.checked = true;
    p->FCorvel.Ouvrir2Click();
    EXPECT_FALSE(p->FCorvel.MenuAutomatique.checked);
    p->FCorvel.Ouvrir2Click();
    EXPECT_EQ(p->FCorvel.Caption,
              "Simulateur de Navigation et Générateur de phrases NMEA 0183   Version : 4.6"
              "      Configuration : a.ini      Configuration : b.ini");
    EXPECT_EQ(p->FCorvel.EdTWS.text, "7.0");
    EXPECT_FALSE(p->FCorvel.OpenConfigFile(home / "none.ini"));
}

TEST_F(ConfigModel, AutomaticReloadFollowsTheFileWhileTheBoatSails) {
    auto p = Start();
    app::TFCorvel& w = p->FCorvel;
    const fs::path file = home / "live.ini";
    test::WriteFile(file, "[NavDATA]\niTWS=6\niTWD=20\niHDG=318\n");
    ASSERT_TRUE(w.OpenConfigFile(file));
    w.MenuAutomatiqueClick();
    EXPECT_TRUE(w.TimerLoadCFG.Enabled());
    w.BtCalCClick();
    w.Timers.Advance(2000);

    w.TimerLoadCFGTimer();  // unchanged: nothing happens
    EXPECT_EQ(w.Engine.S.TWSBase, 6);
    test::WriteFile(file, "[NavDATA]\niTWS=15\niTWD=20\niHDG=318\n");
    fs::last_write_time(file, w.ConfigFileAge + std::chrono::seconds(10));
    w.TimerLoadCFGTimer();
    EXPECT_EQ(w.Engine.S.TWSBase, 15);
    EXPECT_FALSE(w.Engine.S.Paused);  // paused for the reload, then resumed
    EXPECT_TRUE(w.Engine.SendingSentences());

    w.MenuAutomatiqueClick();
    EXPECT_FALSE(w.TimerLoadCFG.Enabled());
}

// ---------------------------------------------------------------- files that are refused

// A settings file that is there but not read whole: one message naming it, the start-up goes on
// as a first run does without writing the file, never blocks, and no save writes over the file
// unless the user, asked, says so (a file that is no regular file is never replaced).
// A file made by `make`, and the reason its refusal gives.
struct RefusedFileCase {
    const char* name;
    std::function<void(const fs::path& file)> make;
    const char* reason;
};

struct RefusedSettings : ConfigModel, ::testing::WithParamInterface<RefusedFileCase> {};

TEST_P(RefusedSettings, AreSaidKeptAndNeverSavedOver) {
    const RefusedFileCase& c = GetParam();
    const fs::path file = SettingsFile();
    fs::create_directories(file.parent_path());
    c.make(file);
    const auto contents = [&] { return fs::is_regular_file(file) ? test::ReadFile(file) : std::string("not a file"); };
    const std::string before = contents();

    auto p = test::WithinSeconds(c.name, [&] { return Start(); });
    const std::string reason = std::string(" (") + c.reason + ")";
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>{"Fichier de configuration refusé : " + file.string() + reason});
    // A first run's values, not the zeros of an empty file.
    EXPECT_EQ(p->FCorvel.EdTWS.text, "6.0");
    EXPECT_EQ(p->FCorvel.LabCateg.text, "Course - croisière");
    EXPECT_TRUE(p->Polar.Loaded());
    EXPECT_EQ(contents(), before);

    dialogs.messages.clear();
    dialogs.files.push_back(file);
    test::WithinSeconds(c.name, [&] { p->FCorvel.EnregistrerCFG(); });
    p->FParamWIFI.EdPort.text = "2000";
    test::WithinSeconds(c.name, [&] { p->FParamWIFI.SaveDataWifi(); });
    const std::string unread = " : le fichier existant ne peut pas être lu" + reason;
    EXPECT_EQ(dialogs.messages,
              (std::vector<std::string>{"Impossible d'enregistrer la configuration dans " + file.string() + unread,
                                        "Impossible d'écrire " + file.string() + unread}));
    // A regular file is offered for replacing (and kept, the answer being no); another is not.
    const std::string replace = "Le fichier " + file.string() + " ne peut pas être lu" + reason +
                                ". Le remplacer ? Ce qu'il contient sera perdu.";
    const bool regular = std::string_view(c.reason) != "pas un fichier ordinaire";
    const std::vector<std::string> asked =
        regular ? std::vector<std::string>{replace, replace} : std::vector<std::string>{};
    EXPECT_EQ(dialogs.questions, asked);
    EXPECT_EQ(contents(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedSettings,
    ::testing::Values(RefusedFileCase{"Fifo", [](const fs::path& f) { test::MakeFifo(f); }, "pas un fichier ordinaire"},
                      RefusedFileCase{"LinkToDevZero", [](const fs::path& f) { fs::create_symlink("/dev/zero", f); },
                                      "pas un fichier ordinaire"},
                      RefusedFileCase{"Folder", [](const fs::path& f) { fs::create_directory(f); },
                                      "pas un fichier ordinaire"},
                      RefusedFileCase{"OverTheLimit",
                                      [](const fs::path& f) {
                                          std::string text = "[NavDATA]\niTWS=9\n";
                                          text.resize(config::IniFile::kMaxFileBytes + 1, '\n');
                                          test::WriteFile(f, text);
                                      },
                                      "plus de 1 Mo"},
                      // A settings file whole but for one NUL byte in a comment.
                      RefusedFileCase{"NulInAComment",
                                      [](const fs::path& f) {
                                          test::WriteFile(
                                              f, config::FirstRunSettings(0, {}).Text() + std::string("; a\0b\n", 6));
                                      },
                                      "fichier binaire : il contient un octet nul"}),
    [](const auto& info) { return std::string(info.param.name); });

// Confirmed, a save replaces a binary settings file (the WiFi dialog's starts a new file).
TEST_F(ConfigModel, ABinarySettingsFileIsReplacedWhenTheUserSaysSo) {
    fs::create_directories(SettingsFile().parent_path());
    test::WriteFile(SettingsFile(), std::string("[NavDATA]\niTWS=9\n\0", 19));
    auto p = Start();
    dialogs.messages.clear();
    dialogs.answers = {"O"};
    p->FParamWIFI.EdPort.text = "2000";
    p->FParamWIFI.SaveDataWifi();
    EXPECT_EQ(dialogs.questions.size(), 1u);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(test::ReadFile(SettingsFile()), "[WIFI]\niAdIP=192.168.137.1\niPort=2000\niUDPCRLF=0\n");
}

TEST_F(ConfigModel, ARefusedConfigurationIsNeitherOpenedNorReloaded) {
    auto p = Start();
    app::TFCorvel& w = p->FCorvel;
    const fs::path file = home / "live.ini";
    std::string big = "[NavDATA]\niTWS=15\n";
    big.resize(config::IniFile::kMaxFileBytes + 1, ';');
    test::WriteFile(file, big);
    const std::string refused = "Fichier de configuration refusé : " + file.string() + " (plus de 1 Mo)";
    EXPECT_FALSE(w.OpenConfigFile(file));
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{refused});
    EXPECT_EQ(w.EdTWS.text, "6.0");

    // Opened while it was fine, then grown past the limit: said once, the values in force stay.
    test::WriteFile(file, "[NavDATA]\niTWS=6\n");
    ASSERT_TRUE(w.OpenConfigFile(file));
    w.MenuAutomatiqueClick();
    test::WriteFile(file, big);
    fs::last_write_time(file, w.ConfigFileAge + std::chrono::seconds(10));
    w.TimerLoadCFGTimer();
    w.TimerLoadCFGTimer();
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{refused, refused}));
    EXPECT_EQ(w.EdTWS.text, "6.0");
    EXPECT_TRUE(w.TimerLoadCFG.Enabled());

    // A binary file (a NUL byte) is no empty configuration that would zero every field.
    test::WriteFile(home / "binary.ini", std::string("[NavDATA]\niTWS=15\n\0", 19));
    EXPECT_FALSE(w.OpenConfigFile(home / "binary.ini"));
    EXPECT_EQ(dialogs.messages.back(), "Fichier de configuration refusé : " + (home / "binary.ini").string() +
                                           " (fichier binaire : il contient un octet nul)");
    EXPECT_EQ(w.EdTWS.text, "6.0");

    // A missing file keeps the message it always had.
    EXPECT_FALSE(w.OpenConfigFile(home / "none.ini"));
    EXPECT_EQ(dialogs.messages.back(), "Fichier de configuration introuvable : " + (home / "none.ini").string());
}

// The polar a configuration names is loaded, by "Ouvrir" (and --config, which opens it the same
// way) as at start-up: the table and every name follow it.
TEST_F(ConfigModel, OpeningAConfigurationLoadsItsPolar) {
    auto p = Start();
    const fs::path polars = home / "polars";
    fs::create_directories(polars);
    test::WriteFile(polars / "Slow.pol", "TWA\t4\t30\n30\t2.5\t2.5\n180\t2.5\t2.5\n");
    test::WriteFile(home / "c.ini",
                    "[REPERTOIRES]\nPolars=" + polars.string() +
                        "/\n[Parametres]\nPolaireAct=SLOW.pol\n[NavDATA]\niTWS=10\niTWD=20\niHDG=318\n");
    ASSERT_TRUE(p->FCorvel.OpenConfigFile(home / "c.ini"));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(p->FPolaire.LoadedPath, polars / "Slow.pol");
    EXPECT_EQ(p->FCorvel.ChosenPolar.PolarPath, (polars / "Slow.pol").string());
    EXPECT_EQ(p->FCorvel.StxNomPol.text, "SLOW");
    EXPECT_EQ(p->FParam.EdRepPol.text, polars.string() + "/");
    p->FCorvel.BtCalCClick();
    p->FCorvel.Timers.Advance(30'000);
    EXPECT_NEAR(p->Engine.S.WaterTrack.mdl, 2.5, 0.01);

    // A configuration naming no polar file keeps the polar in force, without a word.
    test::WriteFile(home / "d.ini", "[REPERTOIRES]\nPolars=" + home.path().string() + "/\n[Parametres]\nPolaireAct=\n");
    ASSERT_TRUE(p->FCorvel.OpenConfigFile(home / "d.ini"));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(p->FPolaire.LoadedPath, polars / "Slow.pol");
}

// Polars a boat cannot sail with, named by the settings or by an opened configuration: refused with
// a message naming the file and why, never blocking. At start-up the default polar is loaded and
// named; an opened configuration leaves the polar in force and its names.
struct UnsailablePolar : ConfigModel, ::testing::WithParamInterface<RefusedFileCase> {};

TEST_P(UnsailablePolar, IsRefusedWithItsReason) {
    const RefusedFileCase& c = GetParam();
    const fs::path polars = home / "polars";
    const fs::path mine = polars / "Mine.pol";
    fs::create_directories(polars);
    c.make(mine);
    const std::string keys = "[REPERTOIRES]\nPolars=" + polars.string() + "/\n[Parametres]\nPolaireAct=Mine.pol\n";
    const std::string refused = "Polaire refusée (" + mine.string() + ") : " + c.reason;

    test::WriteFile(SettingsFile(), keys);
    auto p = test::WithinSeconds(c.name, [&] { return Start(); });
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{refused});
    EXPECT_EQ(p->FPolaire.LoadedPath, DefaultPolar());
    EXPECT_EQ(p->FCorvel.ChosenPolar.PolarPath, DefaultPolar());
    EXPECT_EQ(p->FCorvel.StxNomPol.text, "FIRST31_7");

    test::WriteFile(home / "c.ini", keys);
    test::WithinSeconds(c.name, [&] { p->FCorvel.OpenConfigFile(home / "c.ini"); });
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{refused, refused}));
    EXPECT_EQ(p->FPolaire.LoadedPath, DefaultPolar());
    EXPECT_EQ(p->FCorvel.ChosenPolar.PolarPath, DefaultPolar());
    EXPECT_EQ(p->FCorvel.StxNomPol.text, "FIRST31_7");
    EXPECT_EQ(p->FParam.EdRepPol.text, fs::path(DefaultPolar()).parent_path().string() + "/");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnsailablePolar,
    ::testing::Values(
        RefusedFileCase{"Fifo", [](const fs::path& f) { test::MakeFifo(f); },
                        "pas un fichier ordinaire (dossier, tube ou périphérique)."},
        RefusedFileCase{"Folder", [](const fs::path& f) { fs::create_directory(f); },
                        "pas un fichier ordinaire (dossier, tube ou périphérique)."},
        RefusedFileCase{"LinkToDevZero", [](const fs::path& f) { fs::create_symlink("/dev/zero", f); },
                        "pas un fichier ordinaire (dossier, tube ou périphérique)."},
        RefusedFileCase{"LinkToNothing", [](const fs::path& f) { fs::create_symlink(f.string() + ".gone", f); },
                        "le lien symbolique ne mène à aucun fichier."},
        RefusedFileCase{"DecreasingWind",
                        [](const fs::path& f) { test::WriteFile(f, "TWA\t6\t12\t8\n40\t4\t5\t6\n90\t5\t6\t7\n"); },
                        "les vitesses de vent de l'en-tête doivent croître (12 puis 8)."},
        RefusedFileCase{"HugeWind",
                        [](const fs::path& f) { test::WriteFile(f, "TWA\t6\t1e300\n40\t4\t5\n90\t5\t6\n"); },
                        "la vitesse de vent 1E300 de l'en-tête n'est pas comprise entre 0 et 200 nœuds."},
        RefusedFileCase{"HugeAngle",
                        [](const fs::path& f) { test::WriteFile(f, "TWA\t6\t8\n40\t4\t5\n1e300\t5\t6\n"); },
                        "ligne 3, l'angle 1e300 n'est pas compris entre -360 et 360 degrés."}),
    [](const auto& info) { return std::string(info.param.name); });

// The polar at start-up: one that cannot be loaded gives way to the default polar, which the names
// then follow; without a default polar the program says so and has no polar.
struct StartupPolarCase {
    const char* name;
    const char* settingsPolar;  // the text of the settings' polar file; nullptr: no settings polar
    bool withDefault;           // the program folder holds DefPolars/First31_7.pol
    bool loaded;
};

struct StartupPolar : ConfigModel, ::testing::WithParamInterface<StartupPolarCase> {};

TEST_P(StartupPolar, FallsBackToTheDefaultPolar) {
    const StartupPolarCase& c = GetParam();
    const fs::path program = home / "program";
    const fs::path defaultPolar = program / "DefPolars" / "First31_7.pol";
    fs::create_directories(program);
    if (c.withDefault) {
        fs::create_directories(defaultPolar.parent_path());
        fs::copy_file(DefaultPolar(), defaultPolar);
    }
    const fs::path mine = home / "polars" / "Mine.pol";
    std::vector<std::string> expected;
    if (c.settingsPolar) {
        test::WriteFile(mine, c.settingsPolar);
        test::WriteFile(SettingsFile(), "[REPERTOIRES]\nPolars=" + mine.parent_path().string() +
                                            "/\n[Parametres]\nPolaireAct=Mine.pol\n");
    }
    const bool mineLoads = c.settingsPolar && std::string_view(c.settingsPolar).starts_with("TWA");
    if (c.settingsPolar && !mineLoads) {
        expected.push_back("Polaire refusée (" + mine.string() + ") : il faut au moins 2 lignes d'angles (0 trouvée).");
    }
    if (!c.loaded) expected.push_back("Impossible de charger la polaire par défaut : " + defaultPolar.string());

    app::Program p(dialogs, config::StartupFolders{program, home / "share", home / "Documents"});
    EXPECT_EQ(dialogs.messages, expected);
    EXPECT_EQ(p.Polar.Loaded(), c.loaded);
    const fs::path named = mineLoads ? mine : defaultPolar;
    EXPECT_EQ(p.FPolaire.LoadedPath, c.loaded ? named : fs::path());
    EXPECT_EQ(p.FCorvel.ChosenPolar.PolarPath, named.string());
    EXPECT_EQ(p.FCorvel.ChosenPolar.PolarFolder, named.parent_path().string() + "/");
    EXPECT_EQ(p.FCorvel.ChosenPolar.PolarName, mineLoads ? "MINE" : "FIRST31_7");
    EXPECT_EQ(p.FCorvel.StxNomPol.text, p.FCorvel.ChosenPolar.PolarName);
    EXPECT_EQ(p.FParam.EdRepPol.text, p.FCorvel.ChosenPolar.PolarFolder);
}

const char* const kGarbage = "garbage, not a polar";
const char* const kGoodPolar = "TWA\t6\t8\n40\t4\t5\n90\t5\t6\n";

INSTANTIATE_TEST_SUITE_P(Cases, StartupPolar,
                         ::testing::Values(StartupPolarCase{"RefusedPolar", kGarbage, true, true},
                                           StartupPolarCase{"NoDefaultPolar", nullptr, false, false},
                                           StartupPolarCase{"RefusedPolarAndNoDefault", kGarbage, false, false},
                                           StartupPolarCase{"GoodPolarWithoutDefault", kGoodPolar, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- parameters dialog

TEST_F(ConfigModel, ParametersDialogCreation) {
    auto bare = std::make_unique<app::Program>(dialogs, test::SourceDir() / "data");  // no settings to load
    EXPECT_EQ(bare->FParam.Caption, "Paramètres de simulation");
    EXPECT_DOUBLE_EQ(bare->FParam.SurfaceOffset, 0.3);
    EXPECT_DOUBLE_EQ(bare->FParam.KeelOffset, 1.6);
    EXPECT_EQ(bare->FParam.EDTirando.text, "1.90");
    EXPECT_EQ(bare->FParam.EdProfCapt.text, "0.30");
    EXPECT_EQ(bare->FCorvel.Nmea.UtcOffsetHours, -2);
    EXPECT_FALSE(bare->FParam.ChkB_HDG.checked);  // "Cap vrai" from the option kept for STDBY
    EXPECT_FALSE(bare->Engine.S.HDGVariable);
    EXPECT_TRUE(bare->FParam.ChkB_TWS.checked);
    EXPECT_EQ(bare->FParam.EdRepPol.text, (test::SourceDir() / "data" / "DefPolars").string() + "/");
    EXPECT_EQ(bare->FParam.EdPolSel.text, "FIRST31_7");
}

TEST_F(ConfigModel, ParametersDialogConfirmation) {
    auto p = std::make_unique<app::Program>(dialogs, test::SourceDir() / "data");
    app::TFParam& d = p->FParam;
    d.Show();
    d.RdCroiseur.checked = true;
    d.RdCroiseurChange();
    for (const auto& [text, hours] : {std::pair{"5.3", 5.5}, {"-2", -2.0}, {"5,45", 5.75}}) {
        d.LbEdTU.text = text;
        d.BtOK_enregistrerClick();
        EXPECT_NEAR(static_cast<double>(p->FCorvel.Nmea.UtcOffsetHours), hours, 1e-9) << text;
    }
    EXPECT_FALSE(d.Visible);

    // Unchecking "Force du vent réel" holds the wind at once, without "Enregistrer".
    test::EngineState(p->Engine).TWSVariable = true;
    d.ChkB_TWS.checked = false;
    d.ChkB_TWSChange();
    EXPECT_FALSE(p->Engine.S.TWSVariable);

    // "Valider" makes the offsets from the draught and the sensor depth.
    d.EDTirando.text = "2,5";
    d.EdProfCapt.text = "0.5";
    d.BtValidCSCQClick();
    EXPECT_EQ(d.EdCQ.text, "2");
    EXPECT_EQ(d.EdCS.text, "0.5");
    EXPECT_DOUBLE_EQ(d.KeelOffset, 2);
    EXPECT_DOUBLE_EQ(d.SurfaceOffset, 0.5);
}

TEST_F(ConfigModel, ChoosingAPolarFileAsksForTheCategoryAgain) {
    auto p = std::make_unique<app::Program>(dialogs, test::SourceDir() / "data");
    app::TFParam& d = p->FParam;
    app::TFCorvel& w = p->FCorvel;
    d.Show();
    EXPECT_TRUE(d.CategIndet());  // no category in force, none shown
    d.RdCourCrois.checked = true;
    d.RdCourCroisChange();
    ASSERT_EQ(w.Engine.S.Category, 1);

    // Cancelled: the category choice is cleared all the same, the category in force stays.
    d.SpeedBtModPolClick();
    EXPECT_TRUE(d.CategIndet());
    EXPECT_EQ(w.Engine.S.Category, 1);
    EXPECT_EQ(w.ChosenPolar.PolarName, "FIRST31_7");
    EXPECT_EQ(w.Engine.S.BestUpwindAngle, sim::kBestUpwindAngleUnknown);
    d.Visible = true;
    d.BtOK_enregistrerClick();
    EXPECT_TRUE(d.LabWarningCat.visible);
    EXPECT_EQ(d.LabWarningCat.text, "Sélectionner une catégorie avant d'enregistrer");
    EXPECT_TRUE(d.Visible);

    // A file that is no polar: refused, the polar in force keeps its name.
    test::WriteFile(home / "bad.pol", "not a polar\n");
    dialogs.files.push_back(home / "bad.pol");
    d.SpeedBtModPolClick();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(w.ChosenPolar.PolarName, "FIRST31_7");

    // A polar loaded: its path and name; the main window names it once the dialog is confirmed.
    fs::copy_file(DefaultPolar(), home / "Autre.pol");
    dialogs.files.push_back(home / "Autre.pol");
    d.SpeedBtModPolClick();
    EXPECT_EQ(w.ChosenPolar.PolarPath, (home / "Autre.pol").string());
    EXPECT_EQ(d.EdPolSel.text, "AUTRE");
    EXPECT_EQ(p->FPolaire.LoadedPath, home / "Autre.pol");
    EXPECT_EQ(w.StxNomPol.text, "FIRST31_7");
    d.RdREGATE.checked = true;
    d.RdREGATEChange();
    EXPECT_EQ(w.Engine.S.Category, 0);
    EXPECT_EQ(w.LabCateg.text, "Catégorie régate");
    d.BtOK_enregistrerClick();
    EXPECT_FALSE(d.LabWarningCat.visible);
    EXPECT_FALSE(d.Visible);
    EXPECT_EQ(w.StxNomPol.text, "AUTRE");
}

TEST_F(ConfigModel, ChoosingThePolarFolder) {
    auto p = std::make_unique<app::Program>(dialogs, test::SourceDir() / "data");
    app::TFParam& d = p->FParam;
    app::TFCorvel& w = p->FCorvel;
    dialogs.files.push_back(home / "polars");
    d.BtDirSelClick();
    EXPECT_EQ(d.EdRepPol.text, (home / "polars").string());
    EXPECT_EQ(w.ChosenPolar.PolarFolder, (home / "polars").string() + "/");
    EXPECT_EQ(w.ChosenPolar.PolarName, "");
    // Cancelled: the folder field and the polar name stay empty.
    d.BtDirSelClick();
    EXPECT_EQ(d.EdRepPol.text, "");
    EXPECT_EQ(d.EdPolSel.text, "");
    EXPECT_EQ(w.ChosenPolar.PolarName, "");
    EXPECT_EQ(w.ChosenPolar.PolarFolder, "/");
}

// The dialogs come before the main window and reach it through what they were given at
// construction: nothing is wired afterwards, and each choice shows where the user looks for it.
TEST_F(ConfigModel, TheDialogsChoicesReachTheMainWindowAndEachOther) {
    auto p = std::make_unique<app::Program>(dialogs, test::SourceDir() / "data");
    app::TFCorvel& w = p->FCorvel;
    p->FParam.RdREGATE.checked = true;
    p->FParam.RdREGATEChange();
    EXPECT_EQ(p->Engine.S.Category, 0);
    EXPECT_EQ(w.LabCateg.text, config::CategoryLabel(0));

    p->FParam.BtParNMEAClick();
    EXPECT_TRUE(p->FParNMEA.Visible);

    // Another polar: the main window names it once the dialog is closed with "Enregistrer".
    fs::copy_file(DefaultPolar(), home / "Other.pol");
    p->FParam.EdRepPol.text = home.path().string();
    dialogs.files.push_back(home / "Other.pol");
    p->FParam.SpeedBtModPolClick();
    EXPECT_EQ(p->FParam.EdPolSel.text, "OTHER");
    EXPECT_EQ(w.StxNomPol.text, "FIRST31_7");
    p->FParam.RdCroiseur.checked = true;
    p->FParam.RdCroiseurChange();
    p->FParam.LbEdTU.text = "3";
    p->FParam.BtOK_enregistrerClick();
    EXPECT_EQ(w.StxNomPol.text, "OTHER");
    EXPECT_EQ(w.Nmea.UtcOffsetHours, 3);

    // The network dialog opens from the main window while paused only.
    w.BtParamWIFIClick();
    EXPECT_FALSE(p->FParamWIFI.Visible);
    w.BtCalCClick();
    w.SpBtPauseResClick();
    w.BtParamWIFIClick();
    EXPECT_TRUE(p->FParamWIFI.Visible);
}

}  // namespace
