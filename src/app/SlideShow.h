// The slide show of the main window's right column: the pictures of a folder, one after the other
// every 12 s, on a virtual timer of the engine's set (so that tests run it in virtual time). The
// view shows `Shown()` (nothing: the plain blue picture) and fades from one slide to the next each
// time `Revision` moves.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

#include "sim/TimerSet.h"

namespace corvel::app {

class SlideShow {
public:
    static constexpr std::size_t kMaxSlides = 255;
    static constexpr sim::Millis kInterval = 12000;  // TimerDiapo
    static constexpr sim::Millis kFadeOut = 4000;    // the slide leaving
    static constexpr sim::Millis kFadeIn = 2000;     // the slide coming

    explicit SlideShow(sim::TimerSet& timers);

    // Tells whether a file holds a picture the view can show.
    using PictureTest = std::function<bool(const std::filesystem::path&)>;

    // The timer stopped at 12 s, the first slide, not running; no slides until LoadSlides.
    void InitSlideShow();
    // The pictures of `folder`, in the order of their names, files that are no picture skipped,
    // the first kMaxSlides kept; slide 0 shown. A missing or empty folder leaves no slide.
    void LoadSlides(const std::filesystem::path& folder, const PictureTest& isPicture);
    void StartSlideShow();
    void StopSlideShow();
    void SwitchDiaposSwitch(bool on);  // "Diaporama"
    void TimerDiapoTimer();            // the next slide

    std::vector<std::filesystem::path> SlideFiles;
    std::size_t SlideIndex = 0;
    bool SlideShowRunning = false;
    sim::Timer TimerDiapo;
    std::uint64_t Revision = 0;  // moves at every slide shown

    // The file of the slide shown; empty when there is none.
    std::filesystem::path Shown() const;
};

}  // namespace corvel::app
