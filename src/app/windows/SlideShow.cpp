#include "app/windows/SlideShow.h"

#include <algorithm>
#include <system_error>

namespace corvel::app {

namespace fs = std::filesystem;

SlideShow::SlideShow(sim::TimerSet& timers)
    : TimerDiapo(timers.Add("TimerDiapo", kInterval, [this] { TimerDiapoTimer(); })) {}

void SlideShow::InitSlideShow() {
    TimerDiapo.Stop();
    TimerDiapo.SetInterval(kInterval);
    SlideIndex = 0;
    SlideShowRunning = false;
    EndFade();
    ++Revision;
}

void SlideShow::LoadSlides(const fs::path& folder, const PictureTest& isPicture) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec)) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    SlideFiles.clear();
    for (const fs::path& file : files) {
        if (SlideFiles.size() == kMaxSlides) break;
        if (isPicture(file)) SlideFiles.push_back(file);
    }
    SlideIndex = 0;
    EndFade();
    ++Revision;
}

void SlideShow::EndFade() {
    Faded = kFadeOut;
    LeavingFrom = 0;
    leaving_.clear();
}

void SlideShow::StartSlideShow() {
    SlideShowRunning = true;
    if (Visible) TimerDiapo.Start();
}

void SlideShow::StopSlideShow() {
    SlideShowRunning = false;
    TimerDiapo.Stop();
}

void SlideShow::SwitchDiaposSwitch(bool on) {
    if (on) {
        StartSlideShow();
    } else {
        StopSlideShow();
    }
}

void SlideShow::TimerDiapoTimer() {
    if (SlideFiles.empty()) return;  // the blue picture stays
    // The slide shown leaves at the opacity it has now (it may be still coming).
    LeavingFrom = ComingOpacity();
    leaving_ = Shown();
    Faded = 0;
    SlideIndex = (SlideIndex + 1) % kMaxSlides;
    if (SlideIndex >= SlideFiles.size()) SlideIndex = 0;
    ++Revision;
}

void SlideShow::WindowShown(bool shown) {
    Visible = shown;
    if (!shown) {
        TimerDiapo.Stop();
    } else if (SlideShowRunning) {
        TimerDiapo.Start();
    }
}

sim::Millis SlideShow::FadeFrameInterval() const { return Visible && Faded < kFadeOut ? kFadeFrame : 0; }

void SlideShow::FadeFrame() { Faded = std::min(Faded + kFadeFrame, kFadeOut); }

double SlideShow::ComingOpacity() const {
    return std::min(1.0, static_cast<double>(Faded) / static_cast<double>(kFadeIn));
}

double SlideShow::LeavingOpacity() const {
    return LeavingFrom * (1.0 - static_cast<double>(Faded) / static_cast<double>(kFadeOut));
}

fs::path SlideShow::Shown() const { return SlideIndex < SlideFiles.size() ? SlideFiles[SlideIndex] : fs::path(); }

}  // namespace corvel::app
