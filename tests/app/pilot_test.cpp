// What the main window shows of the manoeuvres and the pilot, in virtual time: the captions and
// colour of "Venir au meilleur près", the heading-change notice, the pilot's glyphs and the rows of
// the controls' enabling rules. The engine's own behaviour is tested in tests/sim/pilot_test.cpp.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/program/Program.h"
#include "support/DataFiles.h"
#include "support/FakeDialogs.h"

using namespace corvel;
using app::TFCorvel;

namespace {

struct PilotFixture : ::testing::Test {
    test::FakeDialogs dialogs;
    std::unique_ptr<app::Program> program;
    sim::Simulator* engine = nullptr;
    app::TFParam* param = nullptr;
    TFCorvel* w = nullptr;

    void SetUp() override { Reset(); }
    // A new program on the default polar; wind and heading constant.
    void Reset() {
        program.reset();
        program = std::make_unique<app::Program>(dialogs, test::SourceDir() / "data");
        ASSERT_TRUE(program->Polar.Loaded());
        engine = &program->Engine;
        param = &program->FParam;
        w = &program->FCorvel;
        engine->SetVariableData({});
    }
    // Wind from the north, no current unless asked, no leeway (category 4) unless asked; one tick.
    void Start(double hdg, double tws = 12, int category = 4, double current = 0, double twd = 0) {
        w->Engine.SetCategory(category);
        w->EdHDG.text = std::to_string(hdg);
        w->EdTWS.text = std::to_string(tws);
        w->EdTWD.text = std::to_string(twd);
        w->EdFCourant.text = std::to_string(current);
        w->BtCalCClick();
        Advance(50);
    }
    void Advance(sim::Millis ms) { w->Timers.Advance(ms); }
    // The timers that drive the main tick.
    int Drivers() const { return w->Engine.DriversRunning(); }
};

// ---------------------------------------------------------------- best close-hauled and tack

TEST_F(PilotFixture, BestCloseHauledCaptions) {
    Start(60);
    w->BtBestHaulClick();
    EXPECT_EQ(w->BtBestHaul.caption, "AU LOF ....");
    bool approached = false;
    for (int i = 0; i < 100 && w->Engine.S.BestHaulRunning; ++i) {
        Advance(100);
        approached = approached || w->BtBestHaul.caption == "en approche....";
    }
    EXPECT_TRUE(approached);
    EXPECT_EQ(w->BtBestHaul.caption, "AU PRES");
    EXPECT_EQ(w->BtBestHaul.fill, app::colours::Yellow);
    Advance(9950);
    EXPECT_EQ(w->BtBestHaul.caption, "AU PRES");  // the tick keeps it while close-hauled
}

TEST_F(PilotFixture, TackCaptions) {
    Start(50);
    w->SBtVireClick();
    EXPECT_EQ(w->BtBestHaul.caption, "AU LOF ....");
    Advance(100);
    EXPECT_EQ(w->BtBestHaul.caption, "Virement en cours ...");  // set by the tick
    while (w->Engine.S.Tacking) Advance(50);
    EXPECT_EQ(w->BtBestHaul.caption, "Venir au meilleur près.");  // SWA 50 is not close-hauled
    Advance(50);
    EXPECT_EQ(w->BtBestHaul.caption, "Venir au meilleur près");
    EXPECT_EQ(w->BtBestHaul.fill, app::colours::LightSalmon);
}

// ---------------------------------------------------------------- autopilot

TEST_F(PilotFixture, HeadingChangeNotices) {
    Start(100);
    for (const char* announced :
         {"ON VIRE A TRIBORD DE 10 deg.", "ON VIRE A TRIBORD DE 20 deg.", "ON VIRE A TRIBORD DE 30 deg."}) {
        w->SpBt10RClick();
        EXPECT_EQ(w->EdModCap.text, announced);
        EXPECT_TRUE(w->EdModCap.visible);
        Advance(500);
    }
    Advance(1500 + 2950);
    EXPECT_TRUE(w->EdModCap.visible);
    Advance(50);  // the turn ends
    EXPECT_FALSE(w->EdModCap.visible);

    w->SpBtRClick();
    w->SpBtLClick();
    EXPECT_EQ(w->EdModCap.text, "ON VIRE A BABORD DE 0 deg.");
    EXPECT_TRUE(w->EdModCap.visible);
}

// ---------------------------------------------------------------- the controls' rows

TEST_F(PilotFixture, ModesFollowTheirRowsOfTheEnablingRules) {
    param->ChkB_HDG.checked = true;
    param->ChkB_HDGChange();
    w->SpBtStdBYClick();  // before the first start: the mode, but no helm timer
    EXPECT_FALSE(w->Engine.HelmTicking());
    w->SpBtAUTOClick();
    param->ChkB_HDG.checked = true;
    param->ChkB_HDGChange();
    Start(100);

    w->SpBtStdBYClick();
    EXPECT_EQ(w->Glyph_AUTO.imageIndex, 1);
    EXPECT_EQ(w->Glyph_STDBY.imageIndex, 0);
    EXPECT_TRUE(w->TrackBarre.enabled);
    for (const app::Button* b :
         {&w->SBtVire, &w->SBtEmp, &w->BtBestHaul, &w->SpBtR, &w->SpBt10R, &w->SpBtL, &w->SpBT10L}) {
        EXPECT_FALSE(b->enabled);
    }
    EXPECT_TRUE(w->Engine.HelmTicking());
    EXPECT_EQ(Drivers(), 1);
    EXPECT_FALSE(param->ChkB_HDG.checked);  // the heading holds still under the tiller
    EXPECT_TRUE(engine->SavedHeadingOption());
    w->SpBt10RClick();  // ignored in STDBY
    EXPECT_FALSE(w->EdModCap.visible);
    Advance(1000);
    EXPECT_EQ(w->BtBestHaul.caption, "Utiliser la barre");

    w->TrackBarre.value = 17;
    w->TrackBarreChange();
    w->SpBtAUTOClick();  // the tiller centres first: AUTO goes on 400 ms later
    EXPECT_EQ(Drivers(), 0);
    Advance(400);
    EXPECT_EQ(Drivers(), 1);
    EXPECT_TRUE(w->Engine.Ticking());
    EXPECT_EQ(w->Glyph_AUTO.imageIndex, 0);
    EXPECT_EQ(w->Glyph_STDBY.imageIndex, 1);
    EXPECT_FALSE(w->TrackBarre.enabled);
    EXPECT_EQ(w->TrackBarre.value, 15);
    for (const app::Button* b : {&w->BtBestHaul, &w->SpBtR, &w->SpBt10R, &w->SpBtL, &w->SpBT10L}) {
        EXPECT_TRUE(b->enabled);
    }
    EXPECT_TRUE(param->ChkB_HDG.checked);
    EXPECT_FLOAT_EQ(w->Engine.S.OriginBearing, w->Engine.S.BTW);

    w->SpBtPauseResClick();
    EXPECT_EQ(w->Glyph_AUTO.imageIndex, 2);
    EXPECT_FALSE(w->SpBTAUTO.enabled || w->SpBtStdBY.enabled);
    w->SpBt10RClick();
    w->BtBestHaulClick();
    EXPECT_FALSE(w->EdModCap.visible);
    EXPECT_FALSE(w->Engine.S.BestHaulRunning);
    w->SpBtPauseResClick();
    EXPECT_EQ(w->Glyph_AUTO.imageIndex, 0);
    EXPECT_EQ(Drivers(), 1);

    // Paused, then "SIMULER" instead of the resume: the boat sails in AUTO again, and the glyphs
    // say so rather than keep the pause's grey AUTO.
    w->SpBtPauseResClick();
    EXPECT_EQ(w->Glyph_AUTO.imageIndex, 2);
    w->BtCalCClick();
    EXPECT_FALSE(w->Engine.S.Standby);
    EXPECT_EQ(w->Glyph_AUTO.imageIndex, 0);
    EXPECT_EQ(w->Glyph_STDBY.imageIndex, 1);
}

}  // namespace
