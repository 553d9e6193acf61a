// The main window's zoom: the client area, laid out in pixels at 100 %, shown at one of a few
// steps from 50 % to 150 % so that a laptop's screen holds the compass and the sentence list
// together. The model holds the step in force, the entries of the "Zoom" menu and their states,
// the rule that picks the step of a first run from the screen's size, and the step saved in the
// settings file ([FENETRE] Zoom=80). The view scales the whole client area by Factor().
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "app/program/Dialogs.h"
#include "app/windows/Controls.h"
#include "config/IniFile.h"

namespace corvel::app {

// The main window's client area at 100 %, in pixels.
inline constexpr int kClientWidth = 1600;
inline constexpr int kClientHeight = 940;

// The steps, in percent, from the smallest; 100 % is the layout as built.
inline constexpr std::array<int, 9> kZoomSteps{50, 60, 70, 80, 90, 100, 110, 125, 150};
inline constexpr int kNormalZoom = 100;

// The settings' key of the step: [FENETRE] Zoom, the percentage.
inline constexpr std::string_view kZoomSection = "FENETRE";
inline constexpr std::string_view kZoomKey = "Zoom";

// What the window adds around its client area, in pixels: frames, menu bar, title bar.
struct WindowChrome {
    int width = 0;
    int height = 0;
};

// The largest step, never above 100 %, at which the client area with `chrome` around it fits
// within `availableWidth` x `availableHeight` (the screen's free area); the smallest step when
// none fits.
int FittingZoom(int availableWidth, int availableHeight, WindowChrome chrome);

// The step saved in `settings`; nothing when the key is absent or its value is no step.
std::optional<int> SavedZoom(const config::IniFile& settings);

class WindowZoom {
public:
    explicit WindowZoom(Dialogs& dialogs);

    // The start-up: the step saved in `settings` (100 % without one). `firstRun`: the program
    // started without a settings file, so the view picks the step for the screen (FitScreen).
    // `settingsPath` (empty: nothing is saved) receives each step chosen.
    void Load(const config::IniFile& settings, std::filesystem::path settingsPath, bool firstRun);
    // A first run: the step the screen holds (FittingZoom), saved. Nothing on other runs.
    void FitScreen(int availableWidth, int availableHeight, WindowChrome chrome);
    bool FirstRun() const { return firstRun_; }

    int Percent() const { return percent_; }
    double Factor() const { return percent_ / 100.0; }

    // The menu's commands: one step up, one step down (nothing at the ends), 100 %, a step by its
    // percentage (another number changes nothing). A new step is saved in the settings file.
    void ZoomIn();
    void ZoomOut();
    void NormalSize() { Choose(kNormalZoom); }
    void Choose(int percent);

    // The "Zoom" menu: its title, "Agrandir" and "Réduire" (greyed at the ends), "Taille normale
    // (100 %)", then one checkable entry per step ("50 %" ...), the step in force checked.
    static constexpr std::string_view kMenuTitle = "Zoom";
    MenuItem MenuAgrandir, MenuReduire, MenuTailleNormale;
    std::array<MenuItem, kZoomSteps.size()> MenuSteps;
    // Moves whenever the step or an entry's state changes.
    std::uint64_t Revision = 0;

private:
    void Show(int percent);
    void Save() const;

    Dialogs& dialogs_;
    std::filesystem::path settingsPath_;
    bool firstRun_ = false;
    int percent_ = kNormalZoom;
};

}  // namespace corvel::app
