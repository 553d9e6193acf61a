// The main-window model in virtual time: start, the main tick and its once-per-second rules,
// pause and resume, the alternating current, the waypoint displays, the sounder and the compass.
#include <gtest/gtest.h>

#include <GeographicLib/Rhumb.hpp>
#include <cmath>
#include <regex>

#include "app/program/Program.h"
#include "app/program/SimulationTexts.h"
#include "app/windows/ControlCommands.h"
#include "app/windows/MainWindowModel.h"
#include "nav/SpherePositions.h"
#include "support/DataFiles.h"
#include "support/EngineState.h"
#include "support/FakeDialogs.h"

using namespace corvel;
using app::TFCorvel;

namespace {

struct CorvelFixture : ::testing::Test {
    test::FakeDialogs dialogs;
    app::Program program{dialogs, test::SourceDir() / "data"};
    sim::PolarTable& polar = program.Polar;
    sim::Simulator& engine = program.Engine;
    TFCorvel* const w = &program.FCorvel;

    void SetUp() override { ASSERT_TRUE(polar.Loaded()); }
    void Steady() {  // no variable data: the wind and heading hold still
        engine.SetVariableData({});
    }
    void Ticks(int n) { w->Timers.Advance(50L * n); }
};

bool Matches(const std::string& text, const char* pattern) { return std::regex_match(text, std::regex(pattern)); }

TEST_F(CorvelFixture, FirstTextsAndTheDefaultWaypoint) {
    EXPECT_EQ(w->EdBSP.text, "6.78");
    EXPECT_EQ(w->EdHDG.text, "318");
    EXPECT_EQ(w->EdTWS.text, "6");
    EXPECT_EQ(w->EdTWD.text, "20");
    EXPECT_EQ(w->EdFCourant.text, "1");
    EXPECT_EQ(w->EdDirCourant.text, "075");
    EXPECT_EQ(w->EdLATMin.text, "4,14");
    EXPECT_EQ(w->EdLGMin.text, "23,08");
    EXPECT_EQ(w->EdiDECL.text, "1.50");
    EXPECT_TRUE(w->Engine.S.Halted);
    EXPECT_FALSE(w->Timers.AnyEnabled());  // idle until "SIMULER"
    ASSERT_TRUE(w->Engine.S.WaypointDefined);
    EXPECT_EQ(w->Engine.S.Waypoint.nom, "Att_Dover");
    EXPECT_NEAR(w->Engine.S.Waypoint.lat, 51 + 6.18 / 60, 1e-5);
    EXPECT_NEAR(w->Engine.S.Waypoint.long_, 1 + 19.88 / 60, 1e-5);
    EXPECT_FLOAT_EQ(w->Engine.S.MagVar, 1.5f);
    EXPECT_EQ(w->Engine.S.MagVarSide, 'E');
}

TEST_F(CorvelFixture, SimulerReadsTheInputsAndStartsTheDrivers) {
    w->BtCalCClick();
    const auto& s = w->Engine.S;
    EXPECT_FLOAT_EQ(s.HDG, 318);
    EXPECT_FLOAT_EQ(s.TWSBase, 6);
    EXPECT_FLOAT_EQ(s.Current.argt, 75);
    EXPECT_NEAR(s.Position.lat, 51 + 4.14 / 60, 1e-5);
    EXPECT_NEAR(s.Position.long_, 12 + 23.08 / 60, 1e-5);
    EXPECT_TRUE(w->Engine.Ticking());
    EXPECT_TRUE(w->Engine.SendingSentences());
    EXPECT_FALSE(w->Engine.HelmTicking());
    EXPECT_FALSE(s.Halted);
    EXPECT_FALSE(w->MenuParametres.enabled);
    EXPECT_FALSE(w->MenuOuvrir.enabled);
    EXPECT_FALSE(w->SwWIFI.enabled);
    EXPECT_TRUE(w->SpBtPauseRes.enabled);
    EXPECT_EQ(w->TrackBarre.value, 15);
    EXPECT_FALSE(w->TrackBarre.enabled);
    EXPECT_EQ(w->LabTypVent.text, " Vent surface SW");  // there is a current
    EXPECT_EQ(w->EdBSP.text, nav::FormatGeneral(s.WaterTrack.mdl));
    EXPECT_TRUE(Matches(w->EdSOG.text, R"(\d+\.\d\d)"));
    EXPECT_TRUE(Matches(w->EdCOG.text, R"(\d+\.\d\d)"));
    EXPECT_TRUE(w->EdAM.text == "TRIBORD AMURE" || w->EdAM.text == "BABORD AMURE");
    EXPECT_EQ(w->EdAM.background, w->EdAM.text == "TRIBORD AMURE" ? app::colours::Green : app::colours::Red);
    EXPECT_GT(s.WaterTrack.mdl, 1);  // the polar answered
}

TEST_F(CorvelFixture, AnHourOfSailingMovesTheBoatAlongTheCourseOverGround) {
    Steady();
    w->BtCalCClick();
    Ticks(1);  // one tick settles the speed and course over the ground
    const nav::TPos_elem start = w->Engine.S.Position;
    const float sog = w->Engine.S.SOG, cog = w->Engine.S.COG;
    Ticks(72000 - 1);
    const auto& s = w->Engine.S;
    EXPECT_EQ(s.TickCount, 72000);
    EXPECT_FLOAT_EQ(s.SOG, sog);  // steady conditions
    EXPECT_FLOAT_EQ(s.COG, cog);

    // The independent reference: the rhumb line from the start, SOG miles in one hour on COG.
    const GeographicLib::Rhumb sphere(3437.7467707849, 0);
    double lat = 0, lon = 0;
    // 3599 steps of one second: the position moved on the Second ticks after the first tick.
    const double dist = sog * 3599.0 / 3600.0;
    sphere.Direct(start.lat, start.long_, cog, dist, lat, lon);
    // Each one-second step rounds latitude and Mercator latitude to 32 bits, a few units of their
    // last place per step: over 3599 steps the track drifts by a few percent of the distance (2.2%
    // on this leg, measured).
    const auto [err, errCourse] = nav::RhumbLine(lon, lat, s.Position.long_, s.Position.lat);
    (void)errCourse;
    EXPECT_LT(err, 0.05 * dist) << "end " << s.Position.lat << "," << s.Position.long_ << " expected " << lat << ","
                                << lon;

    // Displays in their formats.
    EXPECT_TRUE(Matches(w->EdLATMin.text, R"(\d+\.\d{4})")) << w->EdLATMin.text;
    EXPECT_TRUE(Matches(w->EdLGMin.text, R"(\d+\.\d{4})")) << w->EdLGMin.text;
    EXPECT_EQ(w->EdLATDeg.text, nav::FormatGeneral(std::trunc(s.Position.lat)));
    EXPECT_TRUE(Matches(w->EdHDG.text, R"(-?\d+\.\d)"));
    EXPECT_EQ(w->EdCAP.text, nav::FormatFixed(std::nearbyint(s.HDG), 3, 0));
    EXPECT_TRUE(Matches(w->EdCOG.text, R"(\d+\.\d)"));
    EXPECT_TRUE(Matches(w->EdTWS.text, R"(\d+\.\d)"));
    EXPECT_EQ(w->EdBFT.text, "2");
    EXPECT_TRUE(Matches(w->EdDTW.text, R"(\d+\.\d\d)"));
    EXPECT_EQ(w->LabEddistortho.text.substr(0, 4), "    ");
}

TEST_F(CorvelFixture, DisplaysAndPositionChangeOnSecondTicksOnly) {
    Steady();
    w->BtCalCClick();
    const nav::TPos_elem start = w->Engine.S.Position;
    w->EdTWS.text = "x";
    Ticks(19);
    EXPECT_EQ(w->Engine.S.Position.lat, start.lat);
    EXPECT_EQ(w->EdTWS.text, "x");
    EXPECT_FALSE(w->Engine.S.IsSecondTick());
    Ticks(1);  // tick 20: the first Second tick, t = 1.0
    EXPECT_EQ(w->Engine.S.TickCount, 20);
    EXPECT_EQ(w->Engine.S.SimulatedSeconds(), 1.0);
    EXPECT_NE(w->Engine.S.Position.lat, start.lat);
    EXPECT_EQ(w->EdTWS.text, "6.0");
    EXPECT_EQ(w->EdCAP.text, "318");  // written on every tick
}

TEST_F(CorvelFixture, PauseStopsEverythingAndResumeReadsTheEditedInputs) {
    w->BtCalCClick();
    Ticks(30);
    w->SpBtPauseResClick();
    EXPECT_TRUE(w->Engine.S.Paused);
    EXPECT_TRUE(w->Engine.S.Halted);
    EXPECT_TRUE(w->MenuParametres.enabled);
    EXPECT_TRUE(w->SwWIFI.enabled);
    EXPECT_EQ(w->GlyphResPause.imageIndex, 5);
    EXPECT_FALSE(w->Engine.Ticking());
    EXPECT_FALSE(w->Engine.SendingSentences());
    const auto ticks = w->Engine.S.TickCount;
    w->Timers.Advance(60000);
    EXPECT_EQ(w->Engine.S.TickCount, ticks);

    w->EdTWS.text = "12";
    w->SpBtPauseResClick();
    EXPECT_FALSE(w->Engine.S.Paused);
    EXPECT_FLOAT_EQ(w->Engine.S.TWSBase, 12);
    EXPECT_EQ(w->GlyphResPause.imageIndex, 0);
    EXPECT_TRUE(w->Engine.Ticking());
    Ticks(10);
    EXPECT_EQ(w->Engine.S.TickCount, ticks + 10);  // the count, and so the wind laws, go on
}

TEST_F(CorvelFixture, HeadingReadsBelowZeroWhileTheLeewayCarriesTheCourseAcrossNorth) {
    Steady();
    w->Engine.SetCategory(0);
    w->EdHDG.text = "350";
    w->EdTWS.text = "12";   // class 4
    w->EdTWD.text = "324";  // 26 degrees off the bow, port tack: leeway +15
    w->EdFCourant.text = "0";
    w->BtCalCClick();
    EXPECT_FLOAT_EQ(w->Engine.S.Leeway, 15);
    Ticks(20);
    EXPECT_FLOAT_EQ(w->Engine.S.WaterTrack.argt, 5);
    EXPECT_FLOAT_EQ(w->Engine.S.HDG, -10);
    EXPECT_EQ(w->EdHDG.text, "-10.0");
    Ticks(40);
    EXPECT_FLOAT_EQ(w->Engine.S.HDG, -10);  // held there
}

TEST_F(CorvelFixture, WithoutCurrentTheSurfaceWindIsTheTrueWind) {
    w->EdFCourant.text = "0";
    w->BtCalCClick();
    Ticks(20);
    const auto& s = w->Engine.S;
    EXPECT_EQ(s.SurfaceWind.mdl, s.TrueWind.mdl);
    EXPECT_EQ(s.SurfaceWind.argt, s.TrueWind.argt);
    EXPECT_EQ(s.SWA, s.TWA);
    EXPECT_EQ(w->EdSOG.text, w->EdBSP.text);
    EXPECT_EQ(w->LabTypVent.text, " Vent réel TW");
    EXPECT_EQ(w->EdVRS_S.textColour, app::colours::Grey);
    EXPECT_TRUE(w->EdVRS_S.italic);
    for (const app::TArrow* a : {&w->FMXCompass1.ArrowCurrent, &w->FMXCompass1.ArrowSurfaceWind,
                                 &w->FMXCompass1.ArrowGVW, &w->FMXCompass1.ArrowCOGSOG}) {
        EXPECT_EQ(a->Len, 0);
        EXPECT_EQ(a->Org, a->Ext);
    }
    // The true wind arrow always ends at the centre.
    EXPECT_EQ(w->FMXCompass1.ArrowTrueWind.Ext, w->FMXCompass1.CentreXY);
}

// The tick's close-hauled test, drift and apparent wind reach the window with its end (TickDone):
// after every tick their displays show the values the tick left, with or without a current, and
// the surface wind at every tick of a luffing.
TEST_F(CorvelFixture, EveryTickShowsItsDriftApparentWindAndCloseHauledState) {
    struct Case {
        const char* what;
        const char* current;
        bool luff;
    };
    const Case cases[] = {{"with a current", "1", false}, {"without a current", "0", false}, {"luffing", "1", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        w->EdFCourant.text = c.current;
        w->BtCalCClick();
        if (c.luff) w->BtBestHaulClick();
        const sim::SimulationState& s = w->Engine.S;
        int luffingTicks = 0;
        for (int i = 0; i < 60; ++i) {
            const std::int64_t tick = s.TickCount;
            Ticks(1);
            if (s.TickCount == tick) continue;  // the luffing ticks every 100 ms
            ASSERT_EQ(w->EdDeriv.text, nav::FormatFixed(s.DriftAngle, 3, 1)) << s.TickCount;
            ASSERT_EQ(w->LDeriv.text, app::DriftSideText(s.DriftStarboard)) << s.TickCount;
            if (s.IsSecondTick()) {
                ASSERT_EQ(w->EdAWA.text, nav::FormatFixed(s.AWA, 3, 1)) << s.TickCount;
            }
            if (s.IsSecondTick() || s.BestHaulRunning) {
                ASSERT_EQ(w->EdVRS_A.text, nav::FormatFixed(s.SWA, 3, 1)) << s.TickCount;
            }
            if (s.CloseHauled) {
                ASSERT_EQ(w->BtBestHaul.caption, "AU PRES") << s.TickCount;
            }
            if (s.BestHaulRunning) ++luffingTicks;
        }
        EXPECT_EQ(luffingTicks > 0, c.luff);
    }
}

TEST_F(CorvelFixture, ScaleStepsOfTheCompass) {
    const struct {
        float speed;
        float step;
    } cases[] = {{5, 5}, {5.01f, 10}, {20, 20}, {35, 35}, {35.5f, 40}, {60, 40}};
    for (const auto& c : cases) {
        w->Compass.SetScale(c.speed);  // the fastest of true wind, apparent wind and boat speed
        EXPECT_FLOAT_EQ(w->FMXCompass1.FactConvers, (269.0f - 12) / c.step) << c.speed;
        EXPECT_EQ(w->FMXCompass1.etalon, c.speed);
    }
}

TEST_F(CorvelFixture, AlternatingCurrentTurnsInThirteenOneSecondSteps) {
    Steady();
    w->BtCalCClick();
    const float startDirection = w->Engine.S.Current.argt;
    const float amplitude = w->Engine.S.Current.mdl;
    w->RdBtCourAlt.checked = true;
    w->RdBtCourConst.checked = false;
    w->RdBtCourConstChange();
    EXPECT_TRUE(w->Engine.CurrentTurning());
    EXPECT_FALSE(w->Engine.Ticking());
    EXPECT_FALSE(w->SpBtPauseRes.enabled);
    const auto ticks = w->Engine.S.TickCount;
    w->Timers.Advance(13000);
    EXPECT_EQ(w->Engine.S.TickCount, ticks + 13);  // one tick per step
    EXPECT_NEAR(w->Engine.S.Current.argt, std::fmod(startDirection + 180, 360), 1e-3);
    EXPECT_NEAR(w->Engine.S.Current.mdl, 1.0071 * amplitude, 1e-4);
    w->Timers.Advance(1000);  // the 14th firing ends the turn
    EXPECT_FALSE(w->Engine.CurrentTurning());
    EXPECT_TRUE(w->Engine.CurrentWaiting());
    EXPECT_TRUE(w->Engine.Ticking());
    EXPECT_TRUE(w->SpBtPauseRes.enabled);
    w->Timers.Advance(60000);  // and a new turn a minute later
    EXPECT_TRUE(w->Engine.CurrentTurning());
    EXPECT_FALSE(w->Engine.Ticking());
}

TEST_F(CorvelFixture, SounderPingsForTwoHundredMillisecondsAfterEachSample) {
    w->BtCalCClick();
    Ticks(20);
    EXPECT_TRUE(w->Engine.S.SounderPing);
    EXPECT_TRUE(w->Engine.Sounding());
    EXPECT_NEAR(w->Engine.S.Depth, 52.63f / 5, 1e-4);
    w->Timers.Advance(200);
    EXPECT_FALSE(w->Engine.S.SounderPing);
    EXPECT_FALSE(w->Engine.Sounding());
}

TEST_F(CorvelFixture, AnAngleAboveThePolarIsReportedOnce) {
    ASSERT_TRUE(polar.LoadFromText("TWA\t6\t10\n40\t4\t5\n90\t5\t6\n120\t5.5\t6.5\n").ok());
    Steady();
    w->EdTWD.text = "160";  // 158 degrees off a heading of 318
    w->BtCalCClick();
    Ticks(100);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].rfind("Angle avec le vent = ", 0), 0u);
    EXPECT_TRUE(std::isfinite(w->Engine.S.WaterTrack.mdl));
    EXPECT_GT(w->Engine.S.WaterTrack.mdl, 0);  // the last row's speed
}

TEST_F(CorvelFixture, WaypointModifAndVariationSide) {
    w->EdLatWpDeg.text = "";
    w->EdNwpt.text = "Ignored";
    w->BtModWpClick();
    EXPECT_EQ(w->Engine.S.Waypoint.nom, "Att_Dover");  // an empty degree field keeps the waypoint
    w->EdLatWpDeg.text = "50";
    w->EdNwpt.text = "Nouveau";
    test::EngineState(w->Engine).OriginBearing = 12;
    w->BtModWpClick();
    EXPECT_EQ(w->Engine.S.Waypoint.nom, "Nouveau");
    EXPECT_EQ(w->Engine.S.OriginBearing, 65535);

    w->EdiDECL.text = "-3";
    w->EdiDECLChange();
    EXPECT_FLOAT_EQ(w->Engine.S.MagVar, 3);  // the sign comes from E/W only
    w->RdgDeclW.checked = true;
    w->RdgDeclE.checked = false;
    w->EdiDECLChange();
    EXPECT_FLOAT_EQ(w->Engine.S.MagVar, -3);
    EXPECT_EQ(w->Engine.S.MagVarSide, 'W');
}

}  // namespace

namespace {

// A view repaints the groups whose revision moved: the compass at every tick while the boat sails,
// nothing while the simulation is stopped or paused.
TEST_F(CorvelFixture, ChangeSignalsMoveOnlyWhileTheBoatSails) {
    using app::ControlGroup;
    const auto compass = [this] { return w->Changes.Of(ControlGroup::Compass); };
    const auto transmission = [this] { return w->Changes.Of(ControlGroup::Transmission); };
    auto before = compass();
    Ticks(40);  // stopped: time passes, nothing is drawn
    EXPECT_EQ(compass(), before);

    w->BtCalCClick();
    before = compass();
    const auto sent = transmission();
    Ticks(20);
    EXPECT_GE(compass(), before + 20);  // a repaint per tick (and the waypoint arrow each second)
    EXPECT_GT(transmission(), sent);    // the sentences of the second reached the log

    w->SpBtPauseResClick();
    const auto paused = w->Changes;
    Ticks(200);
    for (std::size_t g = 0; g < app::kControlGroupCount; ++g) {
        EXPECT_EQ(w->Changes.Of(static_cast<ControlGroup>(g)), paused.Of(static_cast<ControlGroup>(g))) << g;
    }
}

}  // namespace

// A window that nothing shows (the headless run) writes no display at the tick, and sails exactly as
// a shown one: the same sentences through a pause caught between two seconds, a resume, fields set
// by the control port and a tack, with a current; the fields a resume reads back are written when
// a pause comes, as the shown window's were at the ticks before it.
TEST(UnshownWindow, SailsAsTheShownOneWithoutWritingItsDisplays) {
    struct Run {
        test::FakeDialogs dialogs;
        app::Program program{dialogs, test::SourceDir() / "data"};
        app::TFCorvel& w = program.FCorvel;
        app::SimulatedClock clock{w.Timers, {2026, 6, 1, 8, 0, 0, 0}};
        explicit Run(bool shown) {
            w.Shown = shown;
            program.Out.SetClock(clock);
        }
        std::vector<std::string> Sail() {
            w.BtCalCClick();
            w.Timers.Advance(7350);
            for (const char* line : {"PAUSE", "SET TWS 14", "SET HDG 300", "REPRISE"}) {
                EXPECT_EQ(app::AnswerControlLine(w, line), "OK") << line;
            }
            w.Timers.Advance(20'000);
            EXPECT_EQ(app::AnswerControlLine(w, "VIRER"), "OK");
            w.Timers.Advance(60'000);
            return {w.MemoNMEA.Lines().begin(), w.MemoNMEA.Lines().end()};
        }
    };
    Run shown(true), unshown(false);
    const auto displays = [](const app::TFCorvel& w) {
        return std::vector<std::string>{w.EdAWS.text, w.EdCAP.text, w.EdDTW.text, w.LbEDETE.text,
                                        std::to_string(w.FMXCompass1.repaints)};
    };
    const std::vector<std::string> before = displays(unshown.w);
    const std::vector<std::string> expected = shown.Sail();
    EXPECT_EQ(unshown.Sail(), expected);
    EXPECT_GT(expected.size(), 500u);
    // The displays stayed as they were before "SIMULER"; at a pause, the fields a resume reads back
    // hold what the shown window's hold.
    EXPECT_EQ(displays(unshown.w), before);
    EXPECT_NE(displays(shown.w), before);
    for (Run* run : {&shown, &unshown}) run->w.Timers.Advance(350);
    for (Run* run : {&shown, &unshown}) EXPECT_EQ(app::AnswerControlLine(run->w, "PAUSE"), "OK");
    for (const app::EditField app::TFCorvel::*field :
         {&app::TFCorvel::EdHDG, &app::TFCorvel::EdTWS, &app::TFCorvel::EdLATMin, &app::TFCorvel::EdBSP}) {
        EXPECT_EQ((unshown.w.*field).text, (shown.w.*field).text);
    }
}
