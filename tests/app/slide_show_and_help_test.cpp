// The slide show in virtual time (the order of the slides, the switch, folders without pictures or
// with too many, the fade's frames and what runs while the window is not shown), and which help
// page opens, one at a time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/windows/HelpPages.h"
#include "app/windows/SlideShow.h"
#include "support/TempFolder.h"

using namespace corvel;
namespace fs = std::filesystem;

namespace {

// Every file is a picture unless its name ends in ".txt".
bool NotText(const fs::path& file) { return file.extension() != ".txt"; }

class Slides : public ::testing::Test {
protected:
    sim::TimerSet timers;
    app::SlideShow show{timers};
    test::TempFolder folder;

    void Load(const std::vector<std::string>& names) {
        for (const std::string& name : names) test::WriteFile(folder / "ImgShips" / name, "x");
        show.InitSlideShow();
        show.LoadSlides(folder / "ImgShips", NotText);
        show.StartSlideShow();
    }
    std::string Shown() const { return show.Shown().filename().string(); }
};

TEST_F(Slides, ThreePicturesCycleOneStepEveryTwelveSeconds) {
    Load({"c.png", "a.png", "b.png"});  // shown in the order of their names
    EXPECT_EQ(Shown(), "a.png");
    timers.Advance(11999);
    EXPECT_EQ(Shown(), "a.png");
    std::vector<std::string> seen;
    for (int i = 0; i < 4; ++i) {
        timers.Advance(i == 0 ? 1 : 12000);
        seen.push_back(Shown());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"b.png", "c.png", "a.png", "b.png"}));
}

TEST_F(Slides, TheSwitchStopsOnTheSlideShownAndResumesFromIt) {
    Load({"a.png", "b.png", "c.png"});
    timers.Advance(12000);
    ASSERT_EQ(Shown(), "b.png");
    show.SwitchDiaposSwitch(false);
    EXPECT_FALSE(show.SlideShowRunning);
    timers.Advance(60000);
    EXPECT_EQ(Shown(), "b.png");
    show.SwitchDiaposSwitch(true);
    timers.Advance(11999);
    EXPECT_EQ(Shown(), "b.png");  // a whole interval from the switch
    timers.Advance(1);
    EXPECT_EQ(Shown(), "c.png");
}

TEST_F(Slides, AFolderWithoutPicturesShowsNothingAndNeverFails) {
    for (const std::vector<std::string>& names : {std::vector<std::string>{}, {"notes.txt", "readme.txt"}}) {
        Load(names);
        EXPECT_TRUE(show.SlideFiles.empty());
        timers.Advance(36000);
        EXPECT_TRUE(show.Shown().empty());
    }
    show.LoadSlides(folder / "missing", NotText);
    EXPECT_TRUE(show.SlideFiles.empty());
    timers.Advance(12000);
    EXPECT_TRUE(show.Shown().empty());
}

TEST_F(Slides, FilesThatAreNoPictureAreSkippedAndTheFirst255PicturesKept) {
    std::vector<std::string> names{"000.txt"};
    for (int i = 0; i < 300; ++i)
        names.push_back("p" + std::string(i < 10 ? "00" : i < 100 ? "0" : "") + std::to_string(i) + ".png");
    Load(names);
    ASSERT_EQ(show.SlideFiles.size(), app::SlideShow::kMaxSlides);
    EXPECT_EQ(Shown(), "p000.png");
    EXPECT_EQ(show.SlideFiles.back().filename(), "p254.png");
    show.SlideIndex = 254;
    timers.Advance(12000);
    EXPECT_EQ(Shown(), "p000.png");  // after the last one, the first again
}

TEST_F(Slides, AFadeRunsInFramesOfFiftyMillisecondsAndNothingRunsBetweenFades) {
    Load({"a.png", "b.png", "c.png"});
    // Loaded: the first slide alone, no frame due, only the slide timer waiting.
    EXPECT_EQ(show.FadeFrameInterval(), 0);
    EXPECT_EQ(show.ComingOpacity(), 1.0);
    EXPECT_EQ(show.LeavingOpacity(), 0.0);
    EXPECT_EQ(timers.NextDue(), 12000);
    timers.Advance(12000);
    EXPECT_EQ(Shown(), "b.png");
    EXPECT_EQ(show.Leaving().filename(), "a.png");
    // The slide leaving over the one coming: out over 4 s, the one coming in over 2 s.
    struct Frame {
        int frames;  // since the slide came
        double coming, leaving;
        sim::Millis interval;
    };
    int done = 0;
    for (const Frame& f :
         {Frame{0, 0.0, 1.0, 50}, Frame{1, 0.025, 0.9875, 50}, Frame{20, 0.5, 0.75, 50}, Frame{40, 1.0, 0.5, 50},
          Frame{79, 1.0, 0.0125, 50}, Frame{80, 1.0, 0.0, 0}, Frame{90, 1.0, 0.0, 0}}) {
        for (; done < f.frames; ++done) show.FadeFrame();
        EXPECT_NEAR(show.ComingOpacity(), f.coming, 1e-12) << f.frames;
        EXPECT_NEAR(show.LeavingOpacity(), f.leaving, 1e-12) << f.frames;
        EXPECT_EQ(show.FadeFrameInterval(), f.interval) << f.frames;
    }
    EXPECT_EQ(timers.NextDue(), 24000);  // the frames are the view's: the slide timer alone runs
    // A slide that comes while the one before is still coming: that one leaves from where it was.
    timers.Advance(12000);
    for (int i = 0; i < 10; ++i) show.FadeFrame();
    show.TimerDiapoTimer();
    EXPECT_EQ(show.Leaving().filename(), "c.png");
    EXPECT_DOUBLE_EQ(show.LeavingOpacity(), 0.25);
    EXPECT_DOUBLE_EQ(show.ComingOpacity(), 0.0);
    // A new folder shows its first slide at once.
    show.LoadSlides(folder / "ImgShips", NotText);
    EXPECT_EQ(show.FadeFrameInterval(), 0);
    EXPECT_EQ(show.ComingOpacity(), 1.0);
    EXPECT_TRUE(show.Leaving().empty());
}

TEST_F(Slides, NotShownNothingRunsAndShownAgainItGoesOnWhereItStopped) {
    Load({"a.png", "b.png", "c.png"});
    timers.Advance(12000);
    for (int i = 0; i < 10; ++i) show.FadeFrame();
    show.WindowShown(false);
    EXPECT_EQ(show.FadeFrameInterval(), 0);
    EXPECT_EQ(timers.NextDue(), -1);
    timers.Advance(60000);
    EXPECT_EQ(Shown(), "b.png");
    show.WindowShown(false);  // told twice
    EXPECT_EQ(timers.NextDue(), -1);
    show.WindowShown(true);
    EXPECT_EQ(show.FadeFrameInterval(), 50);
    EXPECT_DOUBLE_EQ(show.ComingOpacity(), 0.25);  // the fade goes on from where it stopped
    EXPECT_EQ(timers.NextDue(), timers.Now() + 12000);
    timers.Advance(12000);
    EXPECT_EQ(Shown(), "c.png");

    // The switch while the window is not shown: on, nothing runs until the window is shown; off, the
    // window shown again starts nothing.
    show.WindowShown(false);
    show.SwitchDiaposSwitch(true);
    EXPECT_EQ(timers.NextDue(), -1);
    show.WindowShown(true);
    EXPECT_EQ(timers.NextDue(), timers.Now() + 12000);
    show.WindowShown(false);
    show.SwitchDiaposSwitch(false);
    show.WindowShown(true);
    EXPECT_EQ(timers.NextDue(), -1);
    EXPECT_FALSE(show.SlideShowRunning);
}

// ---------------------------------------------------------------- help

TEST(HelpPages, EachEntryOpensItsPageAndOnlyCloseEndsTheView) {
    struct Case {
        void (app::HelpViewer::*open)();
        const char* file;
    };
    for (const Case& c : {Case{&app::HelpViewer::AideWifiClick, "CVN_ConnexWifi_p1.html"},
                          Case{&app::HelpViewer::UtilWifiHELP, "CVN_ConnexWIFI_p3.html"},
                          Case{&app::HelpViewer::parRubriqueClick, "CVN_Aide par rubrique.html"},
                          Case{&app::HelpViewer::GENERALITESClick, "CVN_generalites.html"}}) {
        bool wifiVisible = false;
        app::HelpViewer help("/opt/corvel", wifiVisible);
        EXPECT_FALSE(help.BtCloseHelp.visible || help.BtGoBackHELP.visible || help.BtAvanceHelp.visible);
        (help.*c.open)();
        EXPECT_EQ(help.Page, fs::path("/opt/corvel/Help") / c.file);
        EXPECT_TRUE(help.BtCloseHelp.visible && help.BtGoBackHELP.visible && help.BtAvanceHelp.visible);
        // Another entry while it is open changes nothing.
        help.GENERALITESClick();
        help.AideWifiClick();
        EXPECT_EQ(help.Page, fs::path("/opt/corvel/Help") / c.file) << c.file;
        help.BtCloseHelpClick();
        EXPECT_FALSE(help.Open());
        EXPECT_FALSE(help.BtCloseHelp.visible || help.BtGoBackHELP.visible || help.BtAvanceHelp.visible);
    }
}

TEST(HelpPages, TheNetworkDialogsHelpHidesItUntilTheHelpIsClosed) {
    bool wifiVisible = true;
    app::HelpViewer help("/opt/corvel", wifiVisible);
    help.UtilWifiHELP();
    EXPECT_FALSE(wifiVisible);
    EXPECT_TRUE(help.HelpHidWifiDialog);
    help.BtCloseHelpClick();
    EXPECT_TRUE(wifiVisible);
    EXPECT_FALSE(help.HelpHidWifiDialog);
    // Help from the menu leaves the dialog alone, open or closed.
    wifiVisible = false;
    help.parRubriqueClick();
    help.BtCloseHelpClick();
    EXPECT_FALSE(wifiVisible);
}

}  // namespace
