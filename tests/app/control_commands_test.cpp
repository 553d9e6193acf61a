// The control port's lines on a whole program in virtual time: one table of lines and their
// answers (commands, SET of every field, STATE, and the garbage a client may send), what a SET does
// to the window's fields and to the running simulation (applied between a pause and a resume, or
// left for REPRISE when the user paused), SET refused while the tiller centres, the commands the
// engine refuses answered with its reason and left undone, a replay's answers, and STATE's values
// (no position past a pole).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/program/Program.h"
#include "app/windows/ControlCommands.h"
#include "support/DataFiles.h"
#include "support/EngineState.h"
#include "support/FakeDialogs.h"

using namespace corvel;
using app::AnswerControlLine;

namespace {

struct ControlFixture : ::testing::Test {
    test::FakeDialogs dialogs;
    std::unique_ptr<app::Program> program;
    app::TFCorvel* w = nullptr;
    sim::Simulator* engine = nullptr;

    void SetUp() override { Sail(); }
    // A new program: "SIMULER" on the window's designed scenario, wind and heading held, then a
    // few seconds.
    void Sail() {
        program.reset();
        program = std::make_unique<app::Program>(dialogs, test::SourceDir() / "data");
        w = &program->FCorvel;
        engine = &program->Engine;
        engine->SetVariableData({});
        w->BtCalCClick();
        w->Timers.Advance(3000);
    }
    std::string Answer(std::string_view line) { return AnswerControlLine(*w, line); }
};

TEST_F(ControlFixture, EachLineGetsOneAnswerFromATable) {
    struct Case {
        std::string line;
        std::string answer;  // whole, or its beginning when it ends with "..."
    };
    const std::string longLine(app::kMaxControlLineBytes + 1, 'A');
    const Case cases[] = {
        // Commands of the window, by the same names as --do, refused when not offered.
        {"VIRER", "OK"},
        {"VIRER\r", "OK"},
        {"  VIRER  ", "OK"},
        {"REPRISE", "ERR commande indisponible à cet instant : REPRISE (la simulation n'est pas en pause)"},
        {"BARRE=20", "ERR commande indisponible à cet instant : BARRE=20 (la barre ne se prend qu'en STDBY)"},
        {"VIRER maintenant", "ERR VIRER s'emploie seul"},
        {"virer", "ERR commande inconnue : virer (VIRER, EMPANNER, ..."},
        {"BARRE=31", "ERR commande inconnue : BARRE=31 ..."},
        // SET: every field, its number of words, its range, its numbers.
        {"SET TWS 12.5", "OK"},
        {"SET TWS 0", "OK"},
        {"SET TWS 200", "OK"},
        {"SET TWS 200.01", "ERR valeur invalide pour SET TWS : 200.01 (vitesse du vent de 0 à 200 nœuds)"},
        {"SET TWS -1", "ERR valeur invalide pour SET TWS : -1 (vitesse du vent de 0 à 200 nœuds)"},
        {"SET TWS nan", "ERR valeur invalide pour SET TWS : nan ..."},
        {"SET TWS inf", "ERR valeur invalide pour SET TWS : inf ..."},
        {"SET TWS 1e999", "ERR valeur invalide pour SET TWS : 1e999 ..."},
        {"SET TWS 12,5", "ERR valeur invalide pour SET TWS : 12,5 ..."},
        // Plain decimals only: no exponent, no "+", a digit on each side of the ".".
        {"SET TWS 1e1", "ERR valeur invalide pour SET TWS : 1e1 (vitesse du vent de 0 à 200 nœuds)"},
        {"SET TWS +1.5e1", "ERR valeur invalide pour SET TWS : +1.5e1 ..."},
        {"SET TWS +15", "ERR valeur invalide pour SET TWS : +15 ..."},
        {"SET TWS 12.", "ERR valeur invalide pour SET TWS : 12. ..."},
        {"SET TWS .5", "ERR valeur invalide pour SET TWS : .5 ..."},
        {"SET TWS 0x10", "ERR valeur invalide pour SET TWS : 0x10 ..."},
        {"SET TWS 012.50", "OK"},
        {"SET HDG -359.5", "OK"},
        {"SET POS 47 3e1 N 002 15.0 W", "ERR valeur invalide pour SET POS : attendu ..."},
        {"SET TWS", "ERR SET TWS attend un nombre"},
        {"SET TWS 12 13", "ERR SET TWS attend un nombre"},
        {"SET TWD 720", "OK"},
        {"SET TWD 720.5", "ERR valeur invalide pour SET TWD : 720.5 (direction du vent de -360 à 720 degrés)"},
        {"SET HDG 120", "OK"},
        {"SET HDG x", "ERR valeur invalide pour SET HDG : x (cap de -360 à 720 degrés)"},
        {"SET CURRENT 1.5 090", "OK"},
        {"SET CURRENT 1.5", "ERR SET CURRENT attend deux nombres"},
        {"SET CURRENT 51 090", "ERR valeur invalide pour SET CURRENT : 51 (vitesse du courant de 0 à 50 nœuds)"},
        {"SET CURRENT 1 1000", "ERR valeur invalide pour SET CURRENT : 1000 (direction du courant ..."},
        {"SET POS 47 30.0 N 002 15.0 W", "OK"},
        {"SET POS 89 00.0 S 179 59.9 E", "OK"},
        {"SET POS 89 00.1 N 002 15.0 W", "ERR valeur invalide pour SET POS : 89 00.1 N (latitude de -89 à 89 degrés)"},
        {"SET POS 47 60 N 002 15.0 W", "ERR valeur invalide pour SET POS : attendu DD MM.M N|S DDD MM.M E|W ..."},
        {"SET POS -47 30 N 002 15.0 W", "ERR valeur invalide pour SET POS : attendu ..."},
        {"SET POS 47 30 E 002 15.0 W", "ERR valeur invalide pour SET POS : attendu ..."},
        {"SET POS 47 30 N 002 15.0 N", "ERR valeur invalide pour SET POS : attendu ..."},
        {"SET POS 47 30 N 1000 15.0 W", "ERR valeur invalide pour SET POS : attendu ..."},
        {"SET POS 47 30 N", "ERR SET POS attend DD MM.M N|S DDD MM.M E|W"},
        {"SET WP Brest 48 22.5 N 004 30.0 W", "OK"},
        {"SET WP Br*st 48 22.5 N 004 30.0 W", "ERR nom de point de route invalide : Br*st ..."},
        {"SET WP 48 22.5 N 004 30.0 W", "ERR SET WP 48 attend DD MM.M N|S DDD MM.M E|W"},
        {"SET WP", "ERR SET WP attend NOM DD MM.M N|S DDD MM.M E|W"},
        {"SET", "ERR SET attend TWS, TWD, HDG, CURRENT, POS ou WP"},
        {"SET BSP 5", "ERR SET inconnu : BSP ..."},
        {"STATE", "{\"time\":..."},
        {"STATE now", "ERR STATE s'emploie seul"},
        // Garbage.
        {"", "ERR ligne vide"},
        {" \t ", "ERR ligne vide"},
        {"\r", "ERR ligne vide"},
        {std::string("VIR\0ER", 6), "ERR caractères non imprimables ..."},
        {"\x01\x02\xff\xfe", "ERR caractères non imprimables ..."},
        {"SET WP Bréhat 48 50 N 3 0 W", "ERR caractères non imprimables ..."},
        {longLine, "ERR ligne trop longue (au plus 256 octets)"},
        {std::string(app::kMaxControlLineBytes, ' ') + "\r", "ERR ligne vide"},  // 256 bytes and the CR
    };
    for (const Case& c : cases) {
        Sail();
        const std::string answer = Answer(c.line);
        if (c.answer.ends_with("...")) {
            EXPECT_TRUE(answer.starts_with(c.answer.substr(0, c.answer.size() - 3))) << c.line << " -> " << answer;
        } else {
            EXPECT_EQ(answer, c.answer) << c.line;
        }
        EXPECT_EQ(answer.find_first_of("\r\n"), std::string::npos) << c.line;
    }
}

// The value of `key` in STATE's flat object, as written.
std::string Field(const std::string& json, const std::string& key) {
    const size_t at = json.find("\"" + key + "\":");
    if (at == std::string::npos) return "<missing>";
    const size_t start = at + key.size() + 3;
    return json.substr(start, json.find_first_of(",}", start) - start);
}

TEST_F(ControlFixture, SetWritesTheFieldsAsTypedAndTheBoatSailsOnWithThemAtOnce) {
    struct Case {
        const char* line;
        std::vector<std::pair<app::EditField app::TFCorvel::*, const char*>> fields;  // texts after the SET
        double (*state)(const sim::SimulationState&);
        double expected, tolerance;  // after one more second of sailing
    };
    using S = sim::SimulationState;
    using T = app::TFCorvel;
    const Case cases[] = {
        {"SET TWS 20", {{&T::EdTWS, "20"}}, [](const S& s) -> double { return s.TrueWind.mdl; }, 20, 1e-4},
        {"SET TWD 200.5", {{&T::EdTWD, "200.5"}}, [](const S& s) -> double { return s.TrueWind.argt; }, 200.5, 1e-4},
        {"SET HDG 120", {{&T::EdHDG, "120"}}, [](const S& s) -> double { return s.HDG; }, 120, 1},
        // Directions are written into 0..360, as the boat takes them.
        {"SET HDG -270", {{&T::EdHDG, "90"}}, [](const S& s) -> double { return s.HDG; }, 90, 1},
        {"SET TWD -360", {{&T::EdTWD, "0"}}, [](const S& s) -> double { return s.TrueWind.argt; }, 0, 1e-4},
        {"SET TWD 540.5", {{&T::EdTWD, "180.5"}}, [](const S& s) -> double { return s.TrueWind.argt; }, 180.5, 1e-4},
        {"SET CURRENT 1.5 450",
         {{&T::EdFCourant, "1.5"}, {&T::EdDirCourant, "90"}},
         [](const S& s) -> double { return s.Current.mdl * 1000 + s.Current.argt; },
         1590,
         1e-2},
        {"SET POS 47 30.0 S 002 15.0 W",
         {{&T::EdLATDeg, "47"}, {&T::EdLATMin, "30"}, {&T::EdLGDEG, "2"}, {&T::EdLGMin, "15"}},
         [](const S& s) -> double { return s.Position.lat * 1000 + s.Position.long_; },
         -47.5 * 1000 + 357.75,
         0.05},
        {"SET WP Brest 48 22.5 N 004 30.0 W",
         {{&T::EdNwpt, "Brest"},
          {&T::EdLatWpDeg, "48"},
          {&T::EDLatWpmin, "22.5"},
          {&T::EDLGWpDeg, "4"},
          {&T::EdLGWpmin, "30"}},
         [](const S& s) -> double { return s.Waypoint.lat * 1000 + s.Waypoint.long_; },
         48.375 * 1000 + 355.5,
         1e-2},
    };
    for (const Case& c : cases) {
        Sail();
        const sim::Millis before = w->Timers.Now();
        ASSERT_EQ(Answer(c.line), "OK") << c.line;
        for (const auto& [field, text] : c.fields) EXPECT_EQ((w->*field).text, text) << c.line;
        // Paused and resumed at once: the simulation runs on from where it was.
        EXPECT_FALSE(engine->S.Paused) << c.line;
        EXPECT_FALSE(engine->S.Halted) << c.line;
        EXPECT_EQ(w->Timers.Now(), before) << c.line;
        w->Timers.Advance(1000);
        EXPECT_NEAR(c.state(engine->S), c.expected, c.tolerance) << c.line;
    }
    // The hemispheres' buttons and the waypoint's name follow the letters.
    EXPECT_TRUE(w->RadioButtonWPW.checked && !w->RadioButtonWPE.checked && w->RadioButtonWPN.checked);
    EXPECT_EQ(engine->S.Waypoint.nom, "Brest");
}

TEST_F(ControlFixture, SetWhilePausedWaitsForRepriseAndIsRefusedWhileTheTillerCentres) {
    const float wind = engine->S.TrueWind.mdl;
    ASSERT_EQ(Answer("PAUSE"), "OK");
    EXPECT_EQ(Answer("SET TWS 25"), "OK");
    EXPECT_TRUE(engine->S.Paused);  // still the user's pause
    EXPECT_EQ(engine->S.TrueWind.mdl, wind);
    EXPECT_EQ(w->EdTWS.text, "25");
    EXPECT_EQ(Field(app::StateJson(*w), "paused"), "true");
    ASSERT_EQ(Answer("REPRISE"), "OK");
    w->Timers.Advance(1000);
    EXPECT_FLOAT_EQ(engine->S.TrueWind.mdl, 25);

    // While the tiller centres, pause is not offered: nor is SET of the conditions.
    ASSERT_EQ(Answer("STDBY"), "OK");
    ASSERT_EQ(Answer("BARRE=25"), "OK");
    w->zerolabarreClick();
    ASSERT_TRUE(engine->TillerCentring());
    const std::string shown = w->EdTWS.text;
    EXPECT_EQ(Answer("SET TWS 10"), "ERR SET indisponible à cet instant (la barre revient au centre)");
    EXPECT_EQ(w->EdTWS.text, shown);
    EXPECT_FALSE(engine->S.Paused);
}

TEST_F(ControlFixture, CommandsTheEngineRefusesAreAnsweredWithItsReasonAndLeftUndone) {
    struct Case {
        const char* situation;
        void (*setup)(app::TFCorvel&);
        const char* line;
        const char* reason;
    };
    const auto pause = [](app::TFCorvel& w) { AnswerControlLine(w, "PAUSE"); };
    const auto tack = [](app::TFCorvel& w) {
        AnswerControlLine(w, "VIRER");
        w.Timers.Advance(50);
    };
    const auto standby = [](app::TFCorvel& w) { AnswerControlLine(w, "STDBY"); };
    const auto centring = [](app::TFCorvel& w) {
        AnswerControlLine(w, "STDBY");
        AnswerControlLine(w, "BARRE=25");
        w.zerolabarreClick();
    };
    const auto alternating = [](app::TFCorvel& w) { AnswerControlLine(w, "ALTERNE"); };
    const auto running = [](app::TFCorvel& w) {
        AnswerControlLine(w, "SET HDG 200");
        w.Timers.Advance(2000);
    };
    const auto none = [](app::TFCorvel&) {};
    const Case cases[] = {
        {"paused", pause, "VIRER", "la simulation est en pause"},
        {"paused", pause, "+1", "la simulation est en pause"},
        {"paused", pause, "PAUSE", "la simulation est en pause"},
        {"tacking", tack, "MEILLEUR_PRES", "une manœuvre est en cours"},
        {"tacking", tack, "AUTO", "une manœuvre est en cours"},
        {"tacking", tack, "-10", "une manœuvre est en cours"},
        {"tiller centring", centring, "PAUSE", "la barre revient au centre"},
        {"tiller centring", centring, "AUTO", "la barre revient au centre"},
        {"tiller centring", centring, "BARRE=3", "la barre revient au centre"},
        {"STDBY", standby, "VIRER", "le pilote est en STDBY"},
        {"STDBY", standby, "+10", "le pilote est en STDBY"},
        {"current turning", alternating, "VIRER", "le courant alterné tourne"},
        {"current turning", alternating, "PAUSE", "le courant alterné tourne"},
        {"current turning", alternating, "ALTERNE", "le courant est déjà alterné"},
        {"running downwind", running, "VIRER", "le vent apparent vient de l'arrière du travers"},
        {"close-hauled", none, "EMPANNER", "le vent apparent vient de l'avant du travers"},
        {"close-hauled", none, "CONSTANT", "le courant est déjà constant"},
    };
    for (const Case& c : cases) {
        Sail();
        c.setup(*w);
        const std::string before = app::StateJson(*w);
        EXPECT_EQ(Answer(c.line),
                  "ERR commande indisponible à cet instant : " + std::string(c.line) + " (" + c.reason + ")")
            << c.situation << ": " << c.line;
        EXPECT_EQ(app::StateJson(*w), before) << c.situation << ": " << c.line;
    }
    // Refused while paused, VIRER has not waited for REPRISE either.
    Sail();
    pause(*w);
    Answer("VIRER");
    ASSERT_EQ(Answer("REPRISE"), "OK");
    w->Timers.Advance(1000);
    EXPECT_FALSE(engine->S.Tacking);
}

// Every command by name is refused, and changes nothing, whenever its control is grey in the
// window: before "SIMULER", paused, in STDBY, tacking, the tiller centring, the current turning.
TEST_F(ControlFixture, ACommandByNameIsRefusedWheneverItsControlIsGrey) {
    const struct {
        const char* situation;
        void (*setup)(ControlFixture&);
    } situations[] = {
        {"before SIMULER",
         [](ControlFixture& f) {
             f.program = std::make_unique<app::Program>(f.dialogs, test::SourceDir() / "data");
             f.w = &f.program->FCorvel;
             f.engine = &f.program->Engine;
         }},
        {"sailing", [](ControlFixture&) {}},
        {"paused", [](ControlFixture& f) { f.Answer("PAUSE"); }},
        {"STDBY", [](ControlFixture& f) { f.Answer("STDBY"); }},
        {"tacking",
         [](ControlFixture& f) {
             f.Answer("VIRER");
             f.w->Timers.Advance(50);
         }},
        {"tiller centring",
         [](ControlFixture& f) {
             f.Answer("STDBY");
             f.Answer("BARRE=25");
             f.w->zerolabarreClick();
         }},
        {"current turning", [](ControlFixture& f) { f.Answer("ALTERNE"); }},
    };
    int grey = 0;
    for (const auto& situation : situations) {
        for (const app::WindowCommand& c : app::WindowCommands()) {
            if (c.name.empty() || c.enabled == nullptr) continue;
            Sail();
            situation.setup(*this);
            if (c.enabled(*w)) continue;
            ++grey;
            const std::string name = c.name == "BARRE=N" ? "BARRE=20" : std::string(c.name);
            const std::string before = app::StateJson(*w);
            EXPECT_TRUE(Answer(name).starts_with("ERR commande indisponible")) << situation.situation << ": " << name;
            EXPECT_EQ(app::StateJson(*w), before) << situation.situation << ": " << name;
        }
    }
    EXPECT_GT(grey, 0);  // the situations do grey some controls
}

TEST_F(ControlFixture, AReplayAnswersStateAsAReplayAndRefusesEveryCommand) {
    program = std::make_unique<app::Program>(dialogs, test::SourceDir() / "data");  // never started
    w = &program->FCorvel;
    engine = &program->Engine;
    const std::string waypoint = w->EdNwpt.text;
    const std::pair<std::string, std::string> cases[] = {
        {"STATE", "{\"replay\":true}"},
        {"VIRER", "ERR rejeu en cours : aucun bateau n'est simulé, VIRER est sans objet"},
        {"AUTO", "ERR rejeu en cours : aucun bateau n'est simulé, AUTO est sans objet"},
        {"BARRE=20", "ERR rejeu en cours : aucun bateau n'est simulé, BARRE=20 est sans objet"},
        {"SET TWS 10", "ERR rejeu en cours : aucun bateau n'est simulé, SET est sans objet"},
        {"SET WP Brest 48 22.5 N 004 30.0 W", "ERR rejeu en cours : aucun bateau n'est simulé, SET est sans objet"},
        {"STATE now", "ERR STATE s'emploie seul"},
        {"FOO",
         "ERR commande inconnue : FOO (VIRER, EMPANNER, MEILLEUR_PRES, AUTO, STDBY, +1, +10, -1, -10, "
         "BARRE=N, PAUSE, REPRISE, ALTERNE, CONSTANT, SET, STATE)"},
    };
    for (const auto& [line, answer] : cases) {
        EXPECT_EQ(AnswerControlLine(*w, line, app::ControlledRun::Replay), answer) << line;
    }
    EXPECT_EQ(w->EdNwpt.text, waypoint);
    EXPECT_TRUE(engine->S.Halted);
}

TEST_F(ControlFixture, StateWritesThePositionAsTheSentencesDoAndHeadingsWithin360) {
    const std::pair<float, std::string> latitudes[] = {
        {89.5f, "89.500000"},   {90.0f, "90.000000"},  // the pole is a position
        {-90.0f, "-90.000000"}, {90.25f, "null"},      // sailed on past the pole
        {-91.0f, "null"},       {std::numeric_limits<float>::quiet_NaN(), "null"},
    };
    for (const auto& [latitude, text] : latitudes) {
        test::EngineState(*engine).Position.lat = latitude;
        const std::string state = app::StateJson(*w);
        EXPECT_EQ(Field(state, "lat"), text) << latitude;
        if (text == "null") {
            EXPECT_EQ(Field(state, "lon"), "null") << latitude;
        }
    }
    Sail();
    ASSERT_EQ(Answer("SET HDG -360"), "OK");
    EXPECT_EQ(Field(app::StateJson(*w), "HDG"), "0.0");
}

TEST_F(ControlFixture, StateFollowsTheTackThePilotAndThePause) {
    const std::string before = app::StateJson(*w);
    EXPECT_TRUE(before.starts_with("{") && before.ends_with("}")) << before;
    EXPECT_EQ(Field(before, "time"), "3.000");
    EXPECT_EQ(Field(before, "pilot"), "\"AUTO\"");
    EXPECT_EQ(Field(before, "manoeuvre"), "null");
    EXPECT_EQ(Field(before, "paused"), "false");
    for (const char* key : {"lat", "lon", "HDG", "COG", "SOG", "BSP", "TWS", "TWD", "AWS", "AWA", "depth"}) {
        const std::string v = Field(before, key);
        EXPECT_TRUE(!v.empty() && v != "<missing>" && v != "null" && v.find_first_not_of("-.0123456789") == v.npos)
            << key << "=" << v;
    }
    EXPECT_NEAR(std::stod(Field(before, "HDG")), engine->S.HDG, 0.051);
    EXPECT_NEAR(std::stod(Field(before, "TWS")), engine->S.TrueWind.mdl, 0.0051);
    const std::string tack = Field(before, "tack");

    ASSERT_EQ(Answer("VIRER"), "OK");
    w->Timers.Advance(50);
    EXPECT_EQ(Field(app::StateJson(*w), "manoeuvre"), "\"VIRER\"");
    for (int i = 0; i < 600 && engine->S.Tacking; ++i) w->Timers.Advance(100);
    w->Timers.Advance(1000);
    const std::string after = app::StateJson(*w);
    EXPECT_EQ(Field(after, "manoeuvre"), "null");
    EXPECT_NE(Field(after, "tack"), tack);
    EXPECT_GT(std::fabs(std::stod(Field(after, "HDG")) - std::stod(Field(before, "HDG"))), 40);

    ASSERT_EQ(Answer("STDBY"), "OK");
    EXPECT_EQ(Field(app::StateJson(*w), "pilot"), "\"STDBY\"");
}

}  // namespace
