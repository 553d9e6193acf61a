// The engine alone, without a window: a start sails the boat and beats the sentence seconds, the
// commands it offers follow the pilot mode, the wind and the current, its commands refuse what
// its rules forbid (and why: WhyRefused agrees with the commands), and the manoeuvres freeze the
// variable data and give it back.
#include <gtest/gtest.h>

#include <cmath>

#include "sim/Simulator.h"
#include "support/DataFiles.h"

using namespace corvel;
using sim::OfferedCommands;
using sim::Simulator;

namespace {

struct Counter : sim::SimulatorEvents {
    int seconds = 0, ticks = 0, starts = 0, offers = 0;
    void SentenceSecond() override { ++seconds; }
    void TickDone(const sim::TickRecord&) override { ++ticks; }
    void StartDone() override { ++starts; }
    void CommandsChanged() override { ++offers; }
};

struct EngineFixture : ::testing::Test {
    sim::PolarTable polar;
    std::unique_ptr<Simulator> engine;
    Counter events;

    void SetUp() override {
        ASSERT_TRUE(polar.LoadFromFile(test::DefaultPolar()).ok());
        engine = std::make_unique<Simulator>(polar);
        engine->Listen(events);
        engine->SetVariableData({});  // wind and heading hold still
    }
    // Wind 12 kn from the north, no current; `heading` true.
    void Start(float heading, float current = 0) {
        sim::StartConditions c;
        c.heading = heading;
        c.trueWindSpeed = 12;
        c.currentSpeed = current;
        c.currentDirection = 90;
        c.latitude = 47.5;
        c.longitude = 3;  // east of Greenwich: a 32-bit longitude near 360 would round each step
        ASSERT_TRUE(engine->Start(c));
    }
    void Advance(sim::Millis ms) { engine->Timers.Advance(ms); }
};

TEST_F(EngineFixture, AStartSailsAtThePolarsSpeedAndBeatsOneSentenceSecondPerSecond) {
    Start(90);  // a beam reach
    Advance(60'000);
    EXPECT_EQ(events.starts, 1);
    EXPECT_EQ(events.seconds, 60);
    EXPECT_EQ(events.ticks, 60 * 20);
    const sim::SimulationState& s = engine->S;
    EXPECT_GT(s.WaterTrack.mdl, 4.0f);  // the polar's speed, not the 0 of the conditions
    // A minute of sailing east moves the boat by its speed over a minute, in nautical miles.
    const double run = (static_cast<double>(s.Position.long_) - 3.0) * 60 * std::cos(47.5 * M_PI / 180);
    EXPECT_NEAR(run, s.SOG / 60.0, 0.01);
    EXPECT_TRUE(engine->Running());
}

TEST_F(EngineFixture, TheCommandsOfferedFollowTheModeTheWindAndThePause) {
    struct Case {
        const char* what;
        float heading;
        void (*act)(Simulator&);
        OfferedCommands offered;
    };
    // tack, gybe, bestHaul, pilotModes, headingOne, headingTen, pauseResume, tiller
    const Case cases[] = {
        {"upwind in AUTO", 45, [](Simulator&) {}, {true, false, true, true, true, true, true, false}},
        {"downwind in AUTO", 150, [](Simulator&) {}, {false, true, true, true, true, true, true, false}},
        {"STDBY", 45, [](Simulator& e) { e.Standby(); }, {false, false, false, true, false, false, true, true}},
        {"paused in AUTO", 45, [](Simulator& e) { e.Pause(); }, {true, false, false, false, true, true, true, false}},
        {"alternating current",
         45,
         [](Simulator& e) { e.SetAlternatingCurrent(true); },
         {false, false, true, true, true, true, false, false}},
    };
    for (const Case& c : cases) {
        SetUp();
        Start(c.heading, 1);
        Advance(1000);
        c.act(*engine);
        EXPECT_EQ(engine->Offered(), c.offered) << c.what;
    }
}

TEST_F(EngineFixture, CommandsRefusedByTheRules) {
    Start(45);
    Advance(1000);
    EXPECT_TRUE(engine->Tack());
    EXPECT_FALSE(engine->Gybe());  // a manoeuvre is under way
    EXPECT_FALSE(engine->AcceptsHeadingChange());
    EXPECT_FALSE(engine->ChangeHeading(10));
    EXPECT_FALSE(engine->Auto());  // the manoeuvre is the autopilot at work
    Advance(60'000);
    EXPECT_FALSE(engine->ManoeuvreRunning());
    EXPECT_TRUE(engine->Pause());
    EXPECT_FALSE(engine->Pause());  // already paused
    EXPECT_FALSE(engine->Tack());
    EXPECT_FALSE(engine->ChangeHeading(1));
}

TEST_F(EngineFixture, WhyRefusedSaysNoneExactlyWhenTheCommandIsOfferedAndTaken) {
    struct Situation {
        const char* what;
        float heading;
        void (*act)(Simulator&);
    };
    const Situation situations[] = {
        {"upwind", 45, [](Simulator&) {}},
        {"downwind", 150, [](Simulator&) {}},
        {"STDBY", 45, [](Simulator& e) { e.Standby(); }},
        {"paused", 45, [](Simulator& e) { e.Pause(); }},
        {"tacking", 45,
         [](Simulator& e) {
             e.Tack();
             e.Timers.Advance(50);
         }},
        {"tiller centring", 45,
         [](Simulator& e) {
             e.Standby();
             e.SetTiller(25);
             e.CentreTiller();
         }},
        {"alternating current turning", 45, [](Simulator& e) { e.SetAlternatingCurrent(true); }},
    };
    using sim::Command;
    struct Taken {
        Command command;
        bool OfferedCommands::*offered;
        bool (*run)(Simulator&);
    };
    const Taken commands[] = {
        {Command::Tack, &OfferedCommands::tack, [](Simulator& e) { return e.Tack(); }},
        {Command::Gybe, &OfferedCommands::gybe, [](Simulator& e) { return e.Gybe(); }},
        {Command::BestHaul, &OfferedCommands::bestHaul, [](Simulator& e) { return e.BearToCloseHauled(); }},
        {Command::Auto, &OfferedCommands::pilotModes, [](Simulator& e) { return e.Auto(); }},
        {Command::Standby, &OfferedCommands::pilotModes, [](Simulator& e) { return e.Standby(); }},
        {Command::HeadingOne, &OfferedCommands::headingOne, [](Simulator& e) { return e.ChangeHeading(1); }},
        {Command::HeadingTen, &OfferedCommands::headingTen, [](Simulator& e) { return e.ChangeHeading(10); }},
        {Command::Pause, &OfferedCommands::pauseResume, [](Simulator& e) { return e.Pause(); }},
        {Command::Resume, &OfferedCommands::pauseResume, [](Simulator& e) { return e.Resume({}); }},
    };
    for (const Situation& situation : situations) {
        for (const Taken& c : commands) {
            SetUp();
            Start(situation.heading, 1);
            Advance(1000);
            situation.act(*engine);
            const sim::Refusal why = engine->WhyRefused(c.command);
            const bool offered = engine->Offered().*c.offered;
            EXPECT_EQ(why == sim::Refusal::None, offered && c.run(*engine))
                << situation.what << ", command " << static_cast<int>(c.command);
        }
    }
    // Before the first start nothing sails: the manoeuvres are refused as such.
    SetUp();
    EXPECT_EQ(engine->WhyRefused(Command::Tack), sim::Refusal::NotStarted);
}

TEST_F(EngineFixture, AManoeuvreFreezesTheVariableDataAndGivesItBack) {
    engine->SetVariableData({true, true, false});
    Start(45);
    Advance(1000);
    ASSERT_TRUE(engine->Tack());
    EXPECT_TRUE(engine->DataFrozen());
    EXPECT_EQ(engine->Variable(), sim::VariableData{});  // all held during the tack
    Advance(60'000);
    EXPECT_FALSE(engine->DataFrozen());
    EXPECT_EQ(engine->Variable(), (sim::VariableData{true, true, false}));
    EXPECT_TRUE(engine->HeadingOption());
}

// A new engine and a new polar leave the best upwind angle unknown the same way: a value no heading
// is close-hauled to, until the angle is computed.
TEST_F(EngineFixture, TheBestUpwindAngleIsUnknownTheSameWayAtStartAndAfterAPolarChange) {
    EXPECT_EQ(engine->S.BestUpwindAngle, sim::kBestUpwindAngleUnknown);
    Start(45);
    engine->BearToCloseHauled();
    Advance(1'000);
    EXPECT_LT(engine->S.BestUpwindAngle, 90.0f);  // computed for the wind
    engine->ForgetBestUpwindAngle();
    EXPECT_EQ(engine->S.BestUpwindAngle, Simulator(polar).S.BestUpwindAngle);
}

}  // namespace
