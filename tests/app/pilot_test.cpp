// The manoeuvres and the pilot on the main-window model in virtual time: best close-hauled, tack,
// gybe, pause during a manoeuvre, the autopilot's heading changes, STDBY and the tiller, the mode
// rows of the enabling rules, and a sweep of start conditions where every manoeuvre must end with a
// finite state.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/Program.h"
#include "sim/WindCurrentLeeway.h"
#include "support/DataFiles.h"
#include "support/FakeDialogs.h"

using namespace corvel;
using app::TFCorvel;
using sim::t_amure;

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
        w->Engine.S.Category = category;
        w->EdHDG.text = std::to_string(hdg);
        w->EdTWS.text = std::to_string(tws);
        w->EdTWD.text = std::to_string(twd);
        w->EdFCourant.text = std::to_string(current);
        w->BtCalCClick();
        Advance(50);
    }
    void Advance(sim::Millis ms) { w->Timers.Advance(ms); }
    t_amure Tack() { return sim::F_amure(w->Engine.S); }
    // The timers that drive the main tick.
    int Drivers() const {
        int n = 0;
        for (const sim::Timer* t : {&w->Engine.TimerAT, &w->Engine.TimerB, &w->Engine.TimerC, &w->Engine.TimerV,
                                    &w->Engine.TimerE, &w->Engine.TimerPres}) {
            n += t->Enabled();
        }
        return n;
    }
    bool Finite() const {
        const sim::SimulationState& s = w->Engine.S;
        for (float v : {s.HDG, s.SWA, s.AWA, s.AWS, s.WaterTrack.mdl, s.WaterTrack.argt, s.SOG, s.COG, s.Leeway,
                        s.Position.lat, s.Position.long_, s.VMGWind}) {
            if (!std::isfinite(v)) return false;
        }
        return true;
    }
};

// ---------------------------------------------------------------- best close-hauled

TEST_F(PilotFixture, BestCloseHauledFromBelowFromAboveAndAlreadyThere) {
    struct Case {
        double hdg;                // = SWA with the wind from the north
        std::vector<float> steps;  // SWA change at each luffing tick, degrees
    };
    std::vector<float> luffThenBack(19, -1.0f);         // 60 -> 41, past 41.33 by more than 0.3
    luffThenBack.insert(luffThenBack.end(), 4, 0.01f);  // reversed once, back in fine steps
    const Case cases[] = {
        {60, luffThenBack},
        {36, std::vector<float>(13, 0.4f)},  // pointing higher: bears away, no reversal
        {41.4, {}},                          // within 0.3: arrives at the first luffing tick
    };
    for (const Case& c : cases) {
        Reset();
        param->ChkB_HDG.checked = true;  // a heading option that the luffing freezes
        param->ChkB_HDGChange();
        Start(c.hdg);
        w->BtBestHaulClick();
        ASSERT_TRUE(w->Engine.S.BestHaulRunning);
        EXPECT_EQ(w->BtBestHaul.caption, "AU LOF ....");
        EXPECT_FALSE(param->ChkB_HDG.checked);
        EXPECT_FALSE(w->Engine.TimerAT.Enabled());
        EXPECT_FALSE(w->SBtVire.enabled);
        const float best = w->Engine.S.BestUpwindAngle;
        EXPECT_NEAR(best, 41.333, 0.01);
        std::vector<float> steps;
        bool approached = false;
        for (int i = 0; i < 100 && w->Engine.S.BestHaulRunning; ++i) {
            const float before = w->Engine.S.SWA;
            Advance(100);
            approached = approached || w->BtBestHaul.caption == "en approche....";
            if (w->Engine.S.BestHaulRunning) steps.push_back(w->Engine.S.SWA - before);
        }
        ASSERT_EQ(steps.size(), c.steps.size()) << c.hdg;
        for (size_t i = 0; i < steps.size(); ++i) EXPECT_NEAR(steps[i], c.steps[i], 1e-3) << c.hdg << " step " << i;
        EXPECT_EQ(approached, c.hdg == 60);
        // Arrived: close-hauled, yellow, the main tick back; the options return 10 s later.
        EXPECT_LE(std::fabs(w->Engine.S.SWA - best), 0.3f) << c.hdg;
        EXPECT_EQ(w->BtBestHaul.caption, "AU PRES");
        EXPECT_EQ(w->BtBestHaul.fill, app::colours::Yellow);
        EXPECT_TRUE(w->Engine.S.CloseHauled);
        EXPECT_TRUE(w->Engine.TimerAT.Enabled());
        EXPECT_EQ(Drivers(), 1);
        Advance(9950);
        EXPECT_EQ(w->BtBestHaul.caption, "AU PRES");  // the tick keeps it while close-hauled
        EXPECT_FALSE(param->ChkB_HDG.checked) << c.hdg;
        Advance(100);
        EXPECT_TRUE(param->ChkB_HDG.checked) << c.hdg;
    }
}

TEST_F(PilotFixture, ATackSoonAfterALuffingKeepsTheUsersOptions) {
    param->ChkB_HDG.checked = true;
    param->ChkB_HDGChange();
    param->ChkB_TWD.checked = false;
    param->ChkB_TWDChange();
    Start(50);
    w->BtBestHaulClick();
    Advance(2000);  // arrived; the options are held 10 s
    ASSERT_FALSE(w->Engine.S.BestHaulRunning);
    w->SBtVireClick();
    ASSERT_TRUE(w->Engine.S.Tacking);
    for (int i = 0; i < 300 && w->Engine.S.Tacking; ++i) Advance(50);
    ASSERT_FALSE(w->Engine.S.Tacking);
    Advance(10000);
    EXPECT_TRUE(param->ChkB_HDG.checked);  // not the cleared boxes the tack found
    EXPECT_FALSE(param->ChkB_TWD.checked);
    EXPECT_FALSE(engine->DataFrozen());
}

// ---------------------------------------------------------------- tack

TEST_F(PilotFixture, TackEndsOnTheOtherTackAtItsStartAngle) {
    struct Case {
        double hdg;
        int category;
        double current;
        float tolerance;  // leeway changing by whole degrees can carry the angle over the window
    };
    const Case cases[] = {
        {50, 4, 0, 0.5f},                    // from SWA 50, best 41.3
        {36, 4, 0, 0.5f},                    // pointing higher than the best angle
        {50, 0, 0, 2.0f},                    // with the racing category's leeway
        {85, 0, 0, 2.0f}, {60, 1, 2, 2.0f},  // with a current
    };
    for (const Case& c : cases) {
        Reset();
        param->ChkB_HDG.checked = true;
        param->ChkB_HDGChange();
        Start(c.hdg, 12, c.category, c.current);
        const float start = w->Engine.S.SWA;
        const t_amure before = Tack();
        w->SBtVireClick();
        ASSERT_TRUE(w->Engine.S.Tacking) << c.hdg;
        EXPECT_FALSE(param->ChkB_HDG.checked);
        float minSpeed = 1e9f;
        int ticks = 0;
        for (; ticks < 400 && w->Engine.S.Tacking; ++ticks) {
            Advance(50);
            ASSERT_TRUE(Finite()) << c.hdg << " at " << ticks;
            minSpeed = std::min(minSpeed, w->Engine.S.WaterTrack.mdl);
            if (w->Engine.S.Tacking) {
                EXPECT_FALSE(w->SBtVire.enabled);
                EXPECT_FALSE(w->SBtEmp.enabled);
            }
        }
        ASSERT_FALSE(w->Engine.S.Tacking) << c.hdg << ": no end in 20 s";
        EXPECT_NE(Tack(), before) << c.hdg;
        EXPECT_NEAR(w->Engine.S.SWA, start, c.tolerance) << c.hdg;
        EXPECT_GE(minSpeed, 0) << c.hdg;                // through head to wind the boat slows, never reverses
        EXPECT_TRUE(param->ChkB_HDG.checked) << c.hdg;  // restored at once
        EXPECT_TRUE(w->Engine.TimerAT.Enabled());
        EXPECT_EQ(Drivers(), 1);
        Advance(50);
        EXPECT_TRUE(w->SBtVire.enabled != w->SBtEmp.enabled);  // the apparent wind rule again
    }
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

TEST_F(PilotFixture, APausedTackWaitsAndGoesOnAfterResume) {
    Start(50);
    const t_amure before = Tack();
    w->SBtVireClick();
    Advance(2000);
    ASSERT_TRUE(w->Engine.S.Tacking);
    w->SpBtPauseResClick();
    const float hdg = w->Engine.S.HDG;
    const auto ticks = w->Engine.S.TickCount;
    Advance(5000);
    EXPECT_EQ(w->Engine.S.HDG, hdg);
    EXPECT_EQ(w->Engine.S.TickCount, ticks);
    EXPECT_EQ(Drivers(), 0);
    w->SBtVireClick();  // paused: nothing
    w->SpBtPauseResClick();
    EXPECT_EQ(Drivers(), 1);
    EXPECT_TRUE(w->Engine.TimerV.Enabled());
    for (int i = 0; i < 200 && w->Engine.S.Tacking; ++i) Advance(50);
    EXPECT_FALSE(w->Engine.S.Tacking);
    EXPECT_NE(Tack(), before);
    EXPECT_NEAR(w->Engine.S.SWA, 50, 0.5);
    EXPECT_EQ(Drivers(), 1);
}

TEST_F(PilotFixture, SimulerDuringATackStartsAfresh) {
    param->ChkB_HDG.checked = true;
    param->ChkB_HDGChange();
    Start(50);
    w->SBtVireClick();
    Advance(1000);
    w->EdHDG.text = "50";
    w->BtCalCClick();
    EXPECT_FALSE(w->Engine.S.Tacking);
    EXPECT_FALSE(w->Engine.S.BestHaulRunning);
    EXPECT_TRUE(param->ChkB_HDG.checked);
    EXPECT_TRUE(w->Engine.TimerAT.Enabled());
    EXPECT_EQ(Drivers(), 1);
}

// ---------------------------------------------------------------- gybe

TEST_F(PilotFixture, GybeFrom150) {
    Start(150);
    ASSERT_EQ(Tack(), t_amure::babord);
    w->SBtEmpClick();
    ASSERT_TRUE(w->Engine.S.Gybing);
    EXPECT_FLOAT_EQ(w->Engine.Manoeuvre.TurnStep, 60.0f / 65);
    EXPECT_FALSE(w->SBtVire.enabled || w->SBtEmp.enabled);
    // 63 timed steps, one tick each, 50 ms apart; the position runs a fifth of the distance.
    int secondTicks = 0;
    for (int i = 0; i < 63; ++i) {
        const float sog = w->Engine.S.SOG;
        const auto tick = w->Engine.S.TickCount;
        Advance(50);
        ASSERT_EQ(w->Engine.S.TickCount, tick + 1);
        if (w->Engine.S.TickCount % 20 == 0) {
            ++secondTicks;
            EXPECT_FLOAT_EQ(w->Engine.S.StepDistance, sog / 18000);
        }
    }
    EXPECT_EQ(secondTicks, 3);
    EXPECT_TRUE(w->Engine.S.Gybing);
    EXPECT_EQ(w->Engine.Manoeuvre.GybeTicks, 63);
    EXPECT_NEAR(w->Engine.S.HDG, 150 + 63 * 60.0 / 65, 1e-3);
    // The 64th tick finishes in quarter steps: 1.85 degrees left, 0.23 a step, six steps.
    const auto tick = w->Engine.S.TickCount;
    Advance(50);
    EXPECT_FALSE(w->Engine.S.Gybing);
    EXPECT_FLOAT_EQ(w->Engine.Manoeuvre.TurnStep, 60.0f / 65 / 4);
    EXPECT_EQ(w->Engine.S.TickCount, tick + 6);
    EXPECT_NEAR(w->Engine.S.SWA, 150, 0.5);
    EXPECT_EQ(Tack(), t_amure::tribord);
    EXPECT_EQ(w->BtBestHaul.caption, "Venir au meilleur près.");
    EXPECT_EQ(Drivers(), 1);
    EXPECT_TRUE(w->Engine.TimerAT.Enabled());
}

TEST_F(PilotFixture, GybeWithQuarterStepsWiderThanTheWindowEnds) {
    // From SWA 20 a quarter step is 1.23 degrees and can jump the 1-degree window; with the racing
    // leeway at these angles the heading also jumps by whole degrees as the leeway changes. The
    // final loop ends in its tick, on the other side, once it has reached or passed the angle.
    struct Case {
        double hdg;
        int category;
        float tolerance;
    };
    const Case cases[] = {{20, 4, 1.3f}, {21, 4, 1.3f}, {22.5, 4, 1.3f}, {23, 4, 1.3f},
                          {20, 0, 20},   {22.5, 0, 20}, {23, 0, 20}};
    for (const Case& c : cases) {
        Reset();
        Start(c.hdg, 12, c.category);
        const t_amure before = Tack();
        w->SBtEmpClick();
        Advance(64 * 50);
        EXPECT_FALSE(w->Engine.S.Gybing) << c.hdg;
        EXPECT_NE(Tack(), before) << c.hdg;
        EXPECT_NEAR(w->Engine.S.SWA, c.hdg, c.tolerance) << c.hdg << " category " << c.category;
        EXPECT_TRUE(Finite());
    }
}

// ---------------------------------------------------------------- autopilot

TEST_F(PilotFixture, PlusTenThreeTimesTurnsThirtyDegreesInThreeSeconds) {
    param->ChkB_TWS.checked = true;  // frozen during the turn
    param->ChkB_TWSChange();
    Start(100);
    const float start = w->Engine.S.HDG;
    for (const char* announced :
         {"ON VIRE A TRIBORD DE 10 deg.", "ON VIRE A TRIBORD DE 20 deg.", "ON VIRE A TRIBORD DE 30 deg."}) {
        w->SpBt10RClick();
        EXPECT_EQ(w->EdModCap.text, announced);
        EXPECT_TRUE(w->EdModCap.visible);
        Advance(500);
    }
    Advance(1500);  // 2 s after the third press the turn starts
    EXPECT_FLOAT_EQ(w->Engine.S.HDG, start);
    EXPECT_TRUE(w->Engine.TimerCHGHDG.Enabled());
    EXPECT_FALSE(param->ChkB_TWS.checked);
    Advance(2950);
    EXPECT_FLOAT_EQ(w->Engine.S.HDG, start + 29.5f);
    EXPECT_TRUE(w->EdModCap.visible);
    Advance(50);
    EXPECT_FLOAT_EQ(w->Engine.S.HDG, start + 30);
    EXPECT_FALSE(w->EdModCap.visible);
    EXPECT_FALSE(w->Engine.TimerCHGHDG.Enabled());
    EXPECT_EQ(w->Engine.Manoeuvre.PendingHeadingChange, 0);
    EXPECT_TRUE(param->ChkB_TWS.checked);
    Advance(5000);
    EXPECT_FLOAT_EQ(w->Engine.S.HDG, start + 30);
}

TEST_F(PilotFixture, PlusOneMinusOneTurnsAFullCircleToPort) {
    Start(100);
    w->SpBtRClick();
    w->SpBtLClick();
    EXPECT_EQ(w->EdModCap.text, "ON VIRE A BABORD DE 0 deg.");
    Advance(2000 + 18000);
    EXPECT_NEAR(w->Engine.S.HDG, 280, 1e-3);  // half way round, to port
    Advance(17950);
    EXPECT_TRUE(w->Engine.TimerCHGHDG.Enabled());
    Advance(50);
    EXPECT_FALSE(w->Engine.TimerCHGHDG.Enabled());
    EXPECT_NEAR(w->Engine.S.HDG, 100, 1e-3);
}

TEST_F(PilotFixture, TurnsAcrossNorthMeetTheirTarget) {
    Start(355);
    w->SpBt10RClick();
    Advance(2000 + 1000);
    EXPECT_FALSE(w->Engine.TimerCHGHDG.Enabled());
    EXPECT_NEAR(w->Engine.S.HDG, 5, 1e-3);

    // Heading 350 with 15 degrees of leeway: the tick holds it at -10. "+ 1" aims at 351 and meets
    // it as -9, still held below 0; "-10" aims at 340.
    const struct {
        void (*press)(TFCorvel&);
        float target;
    } cases[] = {{[](TFCorvel& t) { t.SpBtRClick(); }, 351}, {[](TFCorvel& t) { t.SpBT10LClick(); }, 340}};
    for (const auto& [press, target] : cases) {
        Reset();
        Start(350, 12, 0, 0, 325);
        ASSERT_FLOAT_EQ(w->Engine.S.HDG, -10);
        press(*w);
        Advance(2000 + 1500);
        EXPECT_FALSE(w->Engine.TimerCHGHDG.Enabled()) << target;
        EXPECT_LT(sim::AngleOffHeading(w->Engine.S.HDG, target), 0.5f) << w->Engine.S.HDG;
    }
}

TEST_F(PilotFixture, PressesDuringATurnMoveItsTargetWithoutAddingTheSumAgain) {
    Start(100);
    // The turn meets the new target before the delay of the last press runs out: no new turn.
    w->SpBt10RClick();
    Advance(2500);
    w->SpBt10RClick();
    Advance(1500);
    EXPECT_FLOAT_EQ(w->Engine.S.HDG, 120);
    Advance(5000);
    EXPECT_FLOAT_EQ(w->Engine.S.HDG, 120);

    // The delay runs out while the turn is still on its way: it goes on to the sum asked.
    for (int i = 0; i < 3; ++i) w->SpBt10RClick();
    Advance(2500);  // 5 degrees turned
    w->SpBtRClick();
    Advance(6000);
    EXPECT_FALSE(w->Engine.TimerCHGHDG.Enabled());
    EXPECT_FLOAT_EQ(w->Engine.S.HDG, 151);
}

// ---------------------------------------------------------------- STDBY and the tiller

TEST_F(PilotFixture, TillerTurnsTheBoatByItsOffsetEverySecond) {
    for (const auto& [tiller, perSecond] : {std::pair{20, -5.0f}, std::pair{10, 5.0f}}) {
        Reset();
        Start(100);
        w->SpBtStdBYClick();
        w->TrackBarre.value = tiller;
        w->TrackBarreChange();
        Advance(950);  // to the next whole second
        for (int s = 0; s < 5; ++s) {
            const float before = w->Engine.S.HDG;
            Advance(1000);
            EXPECT_FLOAT_EQ(w->Engine.S.HDG - before, perSecond) << tiller << " second " << s;
        }
        EXPECT_EQ(w->Engine.TillerValue, tiller);
    }
}

TEST_F(PilotFixture, CentringWalksTheTillerBackWhileNothingElseMoves) {
    Start(100);
    w->SpBtStdBYClick();
    w->TrackBarre.value = 18;
    w->TrackBarreChange();
    Advance(1000);
    const auto ticks = w->Engine.S.TickCount;
    const float hdg = w->Engine.S.HDG;
    w->zerolabarreClick();
    EXPECT_EQ(w->TrackBarre.value, 17);
    EXPECT_TRUE(w->Engine.TillerCentring());
    w->SpBtAUTOClick();      // refused while the tiller centres
    w->SpBtPauseResClick();  // refused too
    EXPECT_TRUE(w->Engine.S.Standby);
    EXPECT_FALSE(w->Engine.S.Paused);
    Advance(200);
    EXPECT_EQ(w->TrackBarre.value, 16);
    Advance(200);
    EXPECT_EQ(w->TrackBarre.value, 15);
    EXPECT_EQ(w->Engine.S.TickCount, ticks);  // no tick ran
    EXPECT_EQ(Drivers(), 0);
    Advance(200);
    EXPECT_FALSE(w->Engine.TillerCentring());
    EXPECT_TRUE(w->Engine.TimerB.Enabled());
    EXPECT_EQ(w->Engine.S.HDG, hdg);
    Advance(1000);
    EXPECT_EQ(w->Engine.S.TickCount, ticks + 20);
    EXPECT_FLOAT_EQ(w->Engine.S.HDG, hdg);  // centred: straight on

    // In AUTO the picture centres the tiller without starting the helm timer.
    w->SpBtAUTOClick();
    w->zerolabarreClick();
    EXPECT_FALSE(w->Engine.TimerB.Enabled());
    EXPECT_EQ(Drivers(), 1);
}

TEST_F(PilotFixture, ModesFollowTheirRowsOfTheEnablingRules) {
    param->ChkB_HDG.checked = true;
    param->ChkB_HDGChange();
    w->SpBtStdBYClick();  // before the first start: the mode, but no helm timer
    EXPECT_FALSE(w->Engine.TimerB.Enabled());
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
    EXPECT_TRUE(w->Engine.TimerB.Enabled());
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
    EXPECT_TRUE(w->Engine.TimerAT.Enabled());
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

TEST_F(PilotFixture, StandbyDuringATackHandsTheHelmOverWhereTheBoatIs) {
    param->ChkB_HDG.checked = true;
    param->ChkB_HDGChange();
    Start(50);
    w->SBtVireClick();
    Advance(2000);
    w->SpBtStdBYClick();
    EXPECT_FALSE(w->Engine.S.Tacking || w->Engine.S.BestHaulRunning);
    EXPECT_TRUE(w->Engine.TimerB.Enabled());
    EXPECT_EQ(Drivers(), 1);
    EXPECT_FALSE(param->ChkB_HDG.checked);  // frozen by STDBY now, not by the tack
    EXPECT_FALSE(engine->DataFrozen());
    EXPECT_TRUE(engine->SavedHeadingOption());
    const float hdg = w->Engine.S.HDG;
    Advance(3000);
    EXPECT_FLOAT_EQ(w->Engine.S.HDG, hdg);
}

// ---------------------------------------------------------------- every start condition

TEST_F(PilotFixture, EveryManoeuvreEndsWithAFiniteStateFromAnyStart) {
    enum Command { Vire, Emp, BestHaul, PilotTurn };
    for (int category : {4, 0}) {
        for (int angle = 0; angle <= 180; angle += 15) {
            for (double tws : {0.0, 3.0, 12.0, 25.0, 40.0}) {
                for (Command command : {Vire, Emp, BestHaul, PilotTurn}) {
                    Reset();
                    // Variable wind and heading, and a current on the leeway runs.
                    engine->SetVariableData({true, true, true});
                    Start(angle, tws, category, category == 0 ? 2 : 0);
                    switch (command) {
                        case Vire: w->SBtVireClick(); break;
                        case Emp: w->SBtEmpClick(); break;
                        case BestHaul: w->BtBestHaulClick(); break;
                        case PilotTurn: w->SpBT10LClick(); break;
                    }
                    for (int i = 0; i < 60 * 20; ++i) {
                        Advance(50);
                        ASSERT_TRUE(Finite()) << angle << " " << tws << " " << category << " " << command;
                    }
                    const auto& s = w->Engine.S;
                    const std::string where = std::to_string(angle) + " deg, " + std::to_string(tws) +
                                              " kn, category " + std::to_string(category) + ", command " +
                                              std::to_string(command);
                    EXPECT_FALSE(s.Tacking || s.Gybing || s.BestHaulRunning) << where;
                    EXPECT_FALSE(w->Engine.TimerCHGHDG.Enabled()) << where;
                    EXPECT_EQ(Drivers(), 1) << where;
                    EXPECT_TRUE(w->Engine.TimerAT.Enabled()) << where;
                    EXPECT_FALSE(engine->DataFrozen()) << where;
                }
            }
        }
    }
}

}  // namespace
