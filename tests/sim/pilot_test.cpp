// The manoeuvres and the pilot of the engine in virtual time: best close-hauled, tack, gybe, pause
// during a manoeuvre, the autopilot's heading changes, STDBY and the tiller, and a sweep of start
// conditions where every manoeuvre must end with a finite state. What the window shows of them
// (captions, notices, glyphs, the controls' rows) is tested in tests/app/pilot_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/Simulator.h"
#include "sim/WindCurrentLeeway.h"
#include "support/DataFiles.h"

using namespace corvel;
using sim::BestHaulStage;
using sim::Simulator;
using sim::t_amure;

namespace {

// What the engine tells a window: the stage of the close-hauled indicator and the heading-change
// notice.
struct Told : sim::SimulatorEvents {
    std::optional<BestHaulStage> stage;
    float notice = 0;  // the change the notice announces, degrees (+ to starboard)
    bool noticeShown = false;
    void BestHaulStageChanged(BestHaulStage s) override { stage = s; }
    void HeadingChangeShown(float change, bool shown) override {
        if (shown) notice = change;
        noticeShown = shown;
    }
};

struct PilotFixture : ::testing::Test {
    sim::PolarTable polar;
    std::unique_ptr<Simulator> engine;
    Told told;
    sim::StartConditions conditions;  // the last start's, which a resume reads again

    void SetUp() override {
        ASSERT_TRUE(polar.LoadFromFile(test::DefaultPolar()).ok());
        Reset();
    }
    // A new engine on the default polar; wind and heading constant.
    void Reset() {
        engine = std::make_unique<Simulator>(polar);
        told = Told();
        engine->Listen(told);
        engine->SetVariableData({});
    }
    void SetOptions(const sim::VariableData& options) { engine->SetVariableData(options); }
    // The window's start: wind from the north, no current unless asked, no leeway (category 4)
    // unless asked, a boat speed of 6.78 kn and a current towards 075 at 51 04.14 N 12 23.08 E; one
    // tick.
    void Start(double hdg, double tws = 12, int category = 4, double current = 0, double twd = 0) {
        engine->SetCategory(category);
        conditions = {};
        conditions.boatSpeed = 6.78f;
        conditions.heading = static_cast<float>(hdg);
        conditions.trueWindSpeed = static_cast<float>(tws);
        conditions.trueWindDirection = static_cast<float>(twd);
        conditions.currentSpeed = static_cast<float>(current);
        conditions.currentDirection = 75;
        conditions.latitude = 51 + 4.14L / 60;
        conditions.longitude = 12 + 23.08L / 60;
        engine->Start(conditions);
        Advance(50);
    }
    // The pause button: a pause, or a resume with the conditions of the start.
    void PauseOrResume() {
        if (engine->S.Paused) {
            engine->Resume(conditions);
        } else {
            engine->Pause();
        }
    }
    void Advance(sim::Millis ms) { engine->Timers.Advance(ms); }
    t_amure Tack() { return engine->TackSide(); }
    // The timers that drive the main tick.
    int Drivers() const { return engine->DriversRunning(); }
    bool Finite() const {
        const sim::SimulationState& s = engine->S;
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
        SetOptions({true, false, false});  // a heading option that the luffing freezes
        Start(c.hdg);
        engine->BearToCloseHauled();
        ASSERT_TRUE(engine->S.BestHaulRunning);
        EXPECT_EQ(told.stage, BestHaulStage::Luffing);
        EXPECT_FALSE(engine->Variable().heading);
        EXPECT_FALSE(engine->Ticking());
        EXPECT_FALSE(engine->Offered().tack);
        const float best = engine->S.BestUpwindAngle;
        EXPECT_NEAR(best, 41.333, 0.01);
        std::vector<float> steps;
        bool approached = false;
        for (int i = 0; i < 100 && engine->S.BestHaulRunning; ++i) {
            const float before = engine->S.SWA;
            Advance(100);
            approached = approached || told.stage == BestHaulStage::Approaching;
            if (engine->S.BestHaulRunning) steps.push_back(engine->S.SWA - before);
        }
        ASSERT_EQ(steps.size(), c.steps.size()) << c.hdg;
        for (size_t i = 0; i < steps.size(); ++i) EXPECT_NEAR(steps[i], c.steps[i], 1e-3) << c.hdg << " step " << i;
        EXPECT_EQ(approached, c.hdg == 60);
        // Arrived: close-hauled, the main tick back; the options return 10 s later.
        EXPECT_LE(std::fabs(engine->S.SWA - best), 0.3f) << c.hdg;
        EXPECT_EQ(told.stage, BestHaulStage::Arrived);
        EXPECT_TRUE(engine->S.CloseHauled);
        EXPECT_TRUE(engine->Ticking());
        EXPECT_EQ(Drivers(), 1);
        Advance(9950);
        EXPECT_TRUE(engine->S.CloseHauled);  // the tick keeps it
        EXPECT_FALSE(engine->Variable().heading) << c.hdg;
        Advance(100);
        EXPECT_TRUE(engine->Variable().heading) << c.hdg;
    }
}

TEST_F(PilotFixture, ATackSoonAfterALuffingKeepsTheUsersOptions) {
    SetOptions({true, false, false});
    Start(50);
    engine->BearToCloseHauled();
    Advance(2000);  // arrived; the options are held 10 s
    ASSERT_FALSE(engine->S.BestHaulRunning);
    engine->Tack();
    ASSERT_TRUE(engine->S.Tacking);
    for (int i = 0; i < 300 && engine->S.Tacking; ++i) Advance(50);
    ASSERT_FALSE(engine->S.Tacking);
    Advance(10000);
    EXPECT_TRUE(engine->Variable().heading);  // not the cleared boxes the tack found
    EXPECT_FALSE(engine->Variable().windDirection);
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
        SetOptions({true, false, false});
        Start(c.hdg, 12, c.category, c.current);
        const float start = engine->S.SWA;
        const t_amure before = Tack();
        engine->Tack();
        ASSERT_TRUE(engine->S.Tacking) << c.hdg;
        EXPECT_FALSE(engine->Variable().heading);
        float minSpeed = 1e9f;
        int ticks = 0;
        for (; ticks < 400 && engine->S.Tacking; ++ticks) {
            Advance(50);
            ASSERT_TRUE(Finite()) << c.hdg << " at " << ticks;
            minSpeed = std::min(minSpeed, engine->S.WaterTrack.mdl);
            if (engine->S.Tacking) {
                EXPECT_FALSE(engine->Offered().tack);
                EXPECT_FALSE(engine->Offered().gybe);
            }
        }
        ASSERT_FALSE(engine->S.Tacking) << c.hdg << ": no end in 20 s";
        EXPECT_NE(Tack(), before) << c.hdg;
        EXPECT_NEAR(engine->S.SWA, start, c.tolerance) << c.hdg;
        EXPECT_GE(minSpeed, 0) << c.hdg;                   // through head to wind the boat slows, never reverses
        EXPECT_TRUE(engine->Variable().heading) << c.hdg;  // restored at once
        EXPECT_TRUE(engine->Ticking());
        EXPECT_EQ(Drivers(), 1);
        Advance(50);
        EXPECT_TRUE(engine->Offered().tack != engine->Offered().gybe);  // the apparent wind rule again
    }
}

TEST_F(PilotFixture, APausedTackWaitsAndGoesOnAfterResume) {
    Start(50);
    const t_amure before = Tack();
    engine->Tack();
    Advance(2000);
    ASSERT_TRUE(engine->S.Tacking);
    PauseOrResume();
    const float hdg = engine->S.HDG;
    const auto ticks = engine->S.TickCount;
    Advance(5000);
    EXPECT_EQ(engine->S.HDG, hdg);
    EXPECT_EQ(engine->S.TickCount, ticks);
    EXPECT_EQ(Drivers(), 0);
    engine->Tack();  // paused: nothing
    PauseOrResume();
    EXPECT_EQ(Drivers(), 1);
    EXPECT_TRUE(engine->ManoeuvreStepping());
    for (int i = 0; i < 200 && engine->S.Tacking; ++i) Advance(50);
    EXPECT_FALSE(engine->S.Tacking);
    EXPECT_NE(Tack(), before);
    EXPECT_NEAR(engine->S.SWA, 50, 0.5);
    EXPECT_EQ(Drivers(), 1);
}

TEST_F(PilotFixture, SimulerDuringATackStartsAfresh) {
    SetOptions({true, false, false});
    Start(50);
    engine->Tack();
    Advance(1000);
    engine->Start(conditions);  // "SIMULER" again, the fields as they were
    EXPECT_FALSE(engine->S.Tacking);
    EXPECT_FALSE(engine->S.BestHaulRunning);
    EXPECT_TRUE(engine->Variable().heading);
    EXPECT_TRUE(engine->Ticking());
    EXPECT_EQ(Drivers(), 1);
}

// ---------------------------------------------------------------- gybe

TEST_F(PilotFixture, GybeFrom150) {
    Start(150);
    ASSERT_EQ(Tack(), t_amure::babord);
    engine->Gybe();
    ASSERT_TRUE(engine->S.Gybing);
    EXPECT_FLOAT_EQ(engine->Manoeuvre.TurnStep, 60.0f / 65);
    EXPECT_FALSE(engine->Offered().tack || engine->Offered().gybe);
    // 63 timed steps, one tick each, 50 ms apart; the position runs a fifth of the distance.
    int secondTicks = 0;
    for (int i = 0; i < 63; ++i) {
        const float sog = engine->S.SOG;
        const auto tick = engine->S.TickCount;
        Advance(50);
        ASSERT_EQ(engine->S.TickCount, tick + 1);
        if (engine->S.TickCount % 20 == 0) {
            ++secondTicks;
            EXPECT_FLOAT_EQ(engine->S.StepDistance, sog / 18000);
        }
    }
    EXPECT_EQ(secondTicks, 3);
    EXPECT_TRUE(engine->S.Gybing);
    EXPECT_EQ(engine->Manoeuvre.GybeTicks, 63);
    EXPECT_NEAR(engine->S.HDG, 150 + 63 * 60.0 / 65, 1e-3);
    // The 64th tick finishes in quarter steps: 1.85 degrees left, 0.23 a step, six steps.
    const auto tick = engine->S.TickCount;
    Advance(50);
    EXPECT_FALSE(engine->S.Gybing);
    EXPECT_FLOAT_EQ(engine->Manoeuvre.TurnStep, 60.0f / 65 / 4);
    EXPECT_EQ(engine->S.TickCount, tick + 6);
    EXPECT_NEAR(engine->S.SWA, 150, 0.5);
    EXPECT_EQ(Tack(), t_amure::tribord);
    EXPECT_EQ(told.stage, BestHaulStage::OfferedAfter);
    EXPECT_EQ(Drivers(), 1);
    EXPECT_TRUE(engine->Ticking());
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
        engine->Gybe();
        Advance(64 * 50);
        EXPECT_FALSE(engine->S.Gybing) << c.hdg;
        EXPECT_NE(Tack(), before) << c.hdg;
        EXPECT_NEAR(engine->S.SWA, c.hdg, c.tolerance) << c.hdg << " category " << c.category;
        EXPECT_TRUE(Finite());
    }
}

// ---------------------------------------------------------------- autopilot

TEST_F(PilotFixture, PlusTenThreeTimesTurnsThirtyDegreesInThreeSeconds) {
    SetOptions({false, true, false});  // the wind speed, frozen during the turn
    Start(100);
    const float start = engine->S.HDG;
    for (float announced : {10.0f, 20.0f, 30.0f}) {
        engine->ChangeHeading(10);
        EXPECT_EQ(told.notice, announced);
        EXPECT_TRUE(told.noticeShown);
        Advance(500);
    }
    Advance(1500);  // 2 s after the third press the turn starts
    EXPECT_FLOAT_EQ(engine->S.HDG, start);
    EXPECT_TRUE(engine->PilotTurning());
    EXPECT_FALSE(engine->Variable().windSpeed);
    Advance(2950);
    EXPECT_FLOAT_EQ(engine->S.HDG, start + 29.5f);
    EXPECT_TRUE(told.noticeShown);
    Advance(50);
    EXPECT_FLOAT_EQ(engine->S.HDG, start + 30);
    EXPECT_FALSE(told.noticeShown);
    EXPECT_FALSE(engine->PilotTurning());
    EXPECT_EQ(engine->Manoeuvre.PendingHeadingChange, 0);
    EXPECT_TRUE(engine->Variable().windSpeed);
    Advance(5000);
    EXPECT_FLOAT_EQ(engine->S.HDG, start + 30);
}

TEST_F(PilotFixture, PlusOneMinusOneTurnsAFullCircleToPort) {
    Start(100);
    engine->ChangeHeading(1);
    engine->ChangeHeading(-1);
    EXPECT_EQ(told.notice, 0);  // announced as a turn of 0 degrees to port
    EXPECT_TRUE(told.noticeShown);
    Advance(2000 + 18000);
    EXPECT_NEAR(engine->S.HDG, 280, 1e-3);  // half way round, to port
    Advance(17950);
    EXPECT_TRUE(engine->PilotTurning());
    Advance(50);
    EXPECT_FALSE(engine->PilotTurning());
    EXPECT_NEAR(engine->S.HDG, 100, 1e-3);
}

TEST_F(PilotFixture, TurnsAcrossNorthMeetTheirTarget) {
    Start(355);
    engine->ChangeHeading(10);
    Advance(2000 + 1000);
    EXPECT_FALSE(engine->PilotTurning());
    EXPECT_NEAR(engine->S.HDG, 5, 1e-3);

    // Heading 350 with 15 degrees of leeway: the tick holds it at -10. "+ 1" aims at 351 and meets
    // it as -9, still held below 0; "-10" aims at 340.
    const struct {
        float change;
        float target;
    } cases[] = {{1, 351}, {-10, 340}};
    for (const auto& [change, target] : cases) {
        Reset();
        Start(350, 12, 0, 0, 325);
        ASSERT_FLOAT_EQ(engine->S.HDG, -10);
        engine->ChangeHeading(change);
        Advance(2000 + 1500);
        EXPECT_FALSE(engine->PilotTurning()) << target;
        EXPECT_LT(sim::AngleOffHeading(engine->S.HDG, target), 0.5f) << engine->S.HDG;
    }
}

TEST_F(PilotFixture, PressesDuringATurnMoveItsTargetWithoutAddingTheSumAgain) {
    Start(100);
    // The turn meets the new target before the delay of the last press runs out: no new turn.
    engine->ChangeHeading(10);
    Advance(2500);
    engine->ChangeHeading(10);
    Advance(1500);
    EXPECT_FLOAT_EQ(engine->S.HDG, 120);
    Advance(5000);
    EXPECT_FLOAT_EQ(engine->S.HDG, 120);

    // The delay runs out while the turn is still on its way: it goes on to the sum asked.
    for (int i = 0; i < 3; ++i) engine->ChangeHeading(10);
    Advance(2500);  // 5 degrees turned
    engine->ChangeHeading(1);
    Advance(6000);
    EXPECT_FALSE(engine->PilotTurning());
    EXPECT_FLOAT_EQ(engine->S.HDG, 151);
}

// ---------------------------------------------------------------- STDBY and the tiller

TEST_F(PilotFixture, TillerTurnsTheBoatByItsOffsetEverySecond) {
    for (const auto& [tiller, perSecond] : {std::pair{20, -5.0f}, std::pair{10, 5.0f}}) {
        Reset();
        Start(100);
        engine->Standby();
        engine->SetTiller(tiller);
        Advance(950);  // to the next whole second
        for (int s = 0; s < 5; ++s) {
            const float before = engine->S.HDG;
            Advance(1000);
            EXPECT_FLOAT_EQ(engine->S.HDG - before, perSecond) << tiller << " second " << s;
        }
        EXPECT_EQ(engine->TillerValue(), tiller);
    }
}

TEST_F(PilotFixture, CentringWalksTheTillerBackWhileNothingElseMoves) {
    Start(100);
    engine->Standby();
    engine->SetTiller(18);
    Advance(1000);
    const auto ticks = engine->S.TickCount;
    const float hdg = engine->S.HDG;
    engine->CentreTiller();
    EXPECT_EQ(engine->Tiller(), 17);
    EXPECT_TRUE(engine->TillerCentring());
    engine->Auto();   // refused while the tiller centres
    PauseOrResume();  // refused too
    EXPECT_TRUE(engine->S.Standby);
    EXPECT_FALSE(engine->S.Paused);
    Advance(200);
    EXPECT_EQ(engine->Tiller(), 16);
    Advance(200);
    EXPECT_EQ(engine->Tiller(), 15);
    EXPECT_EQ(engine->S.TickCount, ticks);  // no tick ran
    EXPECT_EQ(Drivers(), 0);
    Advance(200);
    EXPECT_FALSE(engine->TillerCentring());
    EXPECT_TRUE(engine->HelmTicking());
    EXPECT_EQ(engine->S.HDG, hdg);
    Advance(1000);
    EXPECT_EQ(engine->S.TickCount, ticks + 20);
    EXPECT_FLOAT_EQ(engine->S.HDG, hdg);  // centred: straight on

    // In AUTO the picture centres the tiller without starting the helm timer.
    engine->Auto();
    engine->CentreTiller();
    EXPECT_FALSE(engine->HelmTicking());
    EXPECT_EQ(Drivers(), 1);
}

TEST_F(PilotFixture, StandbyDuringATackHandsTheHelmOverWhereTheBoatIs) {
    SetOptions({true, false, false});
    Start(50);
    engine->Tack();
    Advance(2000);
    engine->Standby();
    EXPECT_FALSE(engine->S.Tacking || engine->S.BestHaulRunning);
    EXPECT_TRUE(engine->HelmTicking());
    EXPECT_EQ(Drivers(), 1);
    EXPECT_FALSE(engine->Variable().heading);  // frozen by STDBY now, not by the tack
    EXPECT_FALSE(engine->DataFrozen());
    EXPECT_TRUE(engine->SavedHeadingOption());
    const float hdg = engine->S.HDG;
    Advance(3000);
    EXPECT_FLOAT_EQ(engine->S.HDG, hdg);
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
                        case Vire: engine->Tack(); break;
                        case Emp: engine->Gybe(); break;
                        case BestHaul: engine->BearToCloseHauled(); break;
                        case PilotTurn: engine->ChangeHeading(-10); break;
                    }
                    for (int i = 0; i < 60 * 20; ++i) {
                        Advance(50);
                        ASSERT_TRUE(Finite()) << angle << " " << tws << " " << category << " " << command;
                    }
                    const auto& s = engine->S;
                    const std::string where = std::to_string(angle) + " deg, " + std::to_string(tws) +
                                              " kn, category " + std::to_string(category) + ", command " +
                                              std::to_string(command);
                    EXPECT_FALSE(s.Tacking || s.Gybing || s.BestHaulRunning) << where;
                    EXPECT_FALSE(engine->PilotTurning()) << where;
                    EXPECT_EQ(Drivers(), 1) << where;
                    EXPECT_TRUE(engine->Ticking()) << where;
                    EXPECT_FALSE(engine->DataFrozen()) << where;
                }
            }
        }
    }
}

}  // namespace
