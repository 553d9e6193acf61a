// The main window's zoom as a model: the step a first run takes for the screen, the menu's
// commands and their states, and the step saved in the settings file and found there again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/program/Program.h"
#include "app/windows/WindowZoom.h"
#include "config/Configuration.h"
#include "support/DataFiles.h"
#include "support/FakeDialogs.h"
#include "support/FakeZone.h"
#include "support/TempFolder.h"

using namespace corvel;
namespace fs = std::filesystem;

namespace {

// A window manager's frame and a menu bar: 1600 x 940 at 100 % needs 1614 x 1006.
constexpr app::WindowChrome kChrome{14, 66};

struct FitCase {
    int width, height;
    int percent;
};

// The largest step that fits the free area, never above 100 %; the smallest when none fits.
TEST(WindowZoom, AFirstRunTakesTheLargestStepTheScreenHolds) {
    const FitCase cases[] = {
        {1920, 1080, 100}, {3840, 2160, 100},                    // never above 100 % by itself
        {1366, 768, 70},   {1366, 741, 70},                      // with a desktop's top bar
        {1280, 720, 60},   {1440, 900, 80},   {1600, 1006, 90},  // 1614 wide does not fit
        {1614, 1006, 100}, {1134, 724, 70},   {1133, 724, 60},   // to the pixel
        {1134, 723, 60},   {800, 600, 50},    {640, 480, 50},    // nothing fits: 50 %
        {0, 0, 50},
    };
    for (const FitCase& c : cases) {
        EXPECT_EQ(app::FittingZoom(c.width, c.height, kChrome), c.percent) << c.width << " x " << c.height;
    }
}

// The menu's states after each command: "Agrandir" and "Réduire" move one step and are greyed at
// the ends, one step is checked, a number that is no step changes nothing.
TEST(WindowZoom, TheMenuMovesOneStepAndGreysItsEnds) {
    test::FakeDialogs dialogs;
    app::WindowZoom zoom(dialogs);
    const auto checked = [&zoom] {
        std::vector<std::string> on;
        for (const app::MenuItem& m : zoom.MenuSteps) {
            if (m.checked) on.push_back(m.text);
        }
        return on;
    };
    EXPECT_EQ(zoom.Percent(), 100);
    EXPECT_EQ(checked(), std::vector<std::string>{"100 %"});
    EXPECT_EQ(zoom.MenuTailleNormale.text, "Taille normale (100 %)");
    const struct {
        void (app::WindowZoom::*command)();
        int percent;
        bool in, out;
    } steps[] = {
        {&app::WindowZoom::ZoomIn, 110, true, true},     {&app::WindowZoom::ZoomIn, 125, true, true},
        {&app::WindowZoom::ZoomIn, 150, false, true},    {&app::WindowZoom::ZoomIn, 150, false, true},
        {&app::WindowZoom::NormalSize, 100, true, true}, {&app::WindowZoom::ZoomOut, 90, true, true},
        {&app::WindowZoom::ZoomOut, 80, true, true},     {&app::WindowZoom::ZoomOut, 70, true, true},
        {&app::WindowZoom::ZoomOut, 60, true, true},     {&app::WindowZoom::ZoomOut, 50, true, false},
        {&app::WindowZoom::ZoomOut, 50, true, false},    {&app::WindowZoom::ZoomIn, 60, true, true},
    };
    for (const auto& s : steps) {
        (zoom.*s.command)();
        EXPECT_EQ(zoom.Percent(), s.percent);
        EXPECT_EQ(zoom.MenuAgrandir.enabled, s.in) << s.percent;
        EXPECT_EQ(zoom.MenuReduire.enabled, s.out) << s.percent;
        EXPECT_EQ(checked(), std::vector<std::string>{std::to_string(s.percent) + " %"});
    }
    for (const int other : {0, 55, 100000, -80}) {
        zoom.Choose(other);
        EXPECT_EQ(zoom.Percent(), 60) << other;
    }
    zoom.Choose(125);
    EXPECT_DOUBLE_EQ(zoom.Factor(), 1.25);
    EXPECT_TRUE(dialogs.messages.empty());  // without a settings file nothing is saved, nothing said
}

struct ZoomSettings : ::testing::Test {
    test::TempFolder home;
    test::FakeDialogs dialogs;
    test::FakeZone zone;

    fs::path SettingsFile() const { return config::SettingsPath(home / "share"); }
    std::unique_ptr<app::Program> Start() {
        return std::make_unique<app::Program>(
            dialogs, config::StartupFolders{test::SourceDir() / "data", home / "share", home / "Documents"},
            app::NoSerialDevices(), zone);
    }
};

// A first run leaves the step to the screen and saves it; the next start finds it there, and each
// step chosen replaces it, the other keys kept.
TEST_F(ZoomSettings, TheStepIsSavedAndFoundAgain) {
    {
        auto first = Start();
        EXPECT_TRUE(first->Zoom.FirstRun());
        first->Zoom.FitScreen(1366, 768, kChrome);
        EXPECT_EQ(first->Zoom.Percent(), 70);
        EXPECT_FALSE(first->Zoom.FirstRun());
        first->Zoom.FitScreen(3840, 2160, kChrome);  // once only
        EXPECT_EQ(first->Zoom.Percent(), 70);
    }
    EXPECT_NE(test::ReadFile(SettingsFile()).find("\n[FENETRE]\nZoom=70\n"), std::string::npos);
    {
        auto second = Start();
        EXPECT_FALSE(second->Zoom.FirstRun());
        EXPECT_EQ(second->Zoom.Percent(), 70);
        second->Zoom.ZoomIn();
    }
    const std::string saved = test::ReadFile(SettingsFile());
    EXPECT_NE(saved.find("\nZoom=80\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\niPOSLat=5104.14\n"), std::string::npos) << saved;
    EXPECT_EQ(Start()->Zoom.Percent(), 80);
    for (const std::string& m : dialogs.messages) ADD_FAILURE() << m;
}

// A settings file without the key, or with a value that is no step, opens at 100 % as before the
// zoom existed, and is not written at start-up.
TEST_F(ZoomSettings, AFileWithoutAStepOpensAtNormalSize) {
    for (const char* section : {"", "[FENETRE]\n", "[FENETRE]\nZoom=85\n", "[FENETRE]\nZoom=quatre-vingts\n",
                                "[FENETRE]\nZoom=\n", "[FENETRE]\nZoom=1e2\n"}) {
        const std::string text = config::FirstRunSettings(0, {}).Text() + section;
        test::WriteFile(SettingsFile(), text);
        auto p = Start();
        EXPECT_FALSE(p->Zoom.FirstRun()) << section;
        EXPECT_EQ(p->Zoom.Percent(), 100) << section;
        p->Zoom.FitScreen(800, 600, kChrome);  // not a first run: nothing
        EXPECT_EQ(p->Zoom.Percent(), 100) << section;
        EXPECT_EQ(test::ReadFile(SettingsFile()), text);
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

// A settings file that cannot be written is said, naming it; the step is taken all the same.
TEST_F(ZoomSettings, AStepThatCannotBeSavedIsSaid) {
    auto p = Start();
    fs::remove(SettingsFile());
    fs::create_directory(SettingsFile());  // a folder where the file was
    p->Zoom.ZoomOut();
    EXPECT_EQ(p->Zoom.Percent(), 90);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("Impossible d'écrire " + SettingsFile().string()), std::string::npos)
        << dialogs.messages[0];
}

}  // namespace
