// The main window's zoom; see WindowZoom.h.
#include "app/windows/WindowZoom.h"

#include <algorithm>
#include <string>

#include "app/program/ConfigFiles.h"

namespace corvel::app {

namespace {

// The index of a step in kZoomSteps; nothing for another number.
std::optional<std::size_t> StepIndex(long percent) {
    const auto* found = std::find(kZoomSteps.begin(), kZoomSteps.end(), percent);
    if (found == kZoomSteps.end()) return std::nullopt;
    return static_cast<std::size_t>(found - kZoomSteps.begin());
}

}  // namespace

int FittingZoom(int availableWidth, int availableHeight, WindowChrome chrome) {
    int chosen = kZoomSteps.front();
    for (const int step : kZoomSteps) {
        if (step > kNormalZoom) break;
        // Whole pixels, as the view rounds the scaled client area.
        const long width = (static_cast<long>(kClientWidth) * step + 50) / 100 + chrome.width;
        const long height = (static_cast<long>(kClientHeight) * step + 50) / 100 + chrome.height;
        if (width <= availableWidth && height <= availableHeight) chosen = step;
    }
    return chosen;
}

std::optional<int> SavedZoom(const config::IniFile& settings) {
    const std::optional<long> value = settings.IntegerValue(kZoomSection, kZoomKey);
    if (!value || !StepIndex(*value)) return std::nullopt;
    return static_cast<int>(*value);
}

WindowZoom::WindowZoom(Dialogs& dialogs) : dialogs_(dialogs) {
    MenuAgrandir.text = "Agrandir";
    MenuReduire.text = "Réduire";
    MenuTailleNormale.text = "Taille normale (100 %)";
    for (std::size_t i = 0; i < kZoomSteps.size(); ++i) MenuSteps[i].text = std::to_string(kZoomSteps[i]) + " %";
    Show(kNormalZoom);
}

void WindowZoom::Load(const config::IniFile& settings, std::filesystem::path settingsPath, bool firstRun) {
    settingsPath_ = std::move(settingsPath);
    firstRun_ = firstRun;
    Show(SavedZoom(settings).value_or(kNormalZoom));
}

void WindowZoom::FitScreen(int availableWidth, int availableHeight, WindowChrome chrome) {
    if (!firstRun_) return;
    firstRun_ = false;
    Show(FittingZoom(availableWidth, availableHeight, chrome));
    Save();
}

void WindowZoom::ZoomIn() {
    const std::size_t i = *StepIndex(percent_);
    if (i + 1 < kZoomSteps.size()) Choose(kZoomSteps[i + 1]);
}

void WindowZoom::ZoomOut() {
    const std::size_t i = *StepIndex(percent_);
    if (i > 0) Choose(kZoomSteps[i - 1]);
}

void WindowZoom::Choose(int percent) {
    if (percent == percent_ || !StepIndex(percent)) return;
    Show(percent);
    Save();
}

void WindowZoom::Show(int percent) {
    percent_ = percent;
    const std::size_t i = *StepIndex(percent);
    MenuReduire.enabled = i > 0;
    MenuAgrandir.enabled = i + 1 < kZoomSteps.size();
    for (std::size_t s = 0; s < MenuSteps.size(); ++s) MenuSteps[s].checked = s == i;
    ++Revision;
}

void WindowZoom::Save() const {
    UpdateSettings(dialogs_, settingsPath_,
                   [this](config::IniFile& file) { file.WriteInteger(kZoomSection, kZoomKey, percent_); });
}

}  // namespace corvel::app
