// The slide show of the main window's right column: the pictures of a folder, one after the other
// every 12 s, on a virtual timer of the engine's set (so that tests run it in virtual time). The
// view shows `Shown()` (nothing: the plain blue picture) over `Leaving()` each time `Revision`
// moves, at the opacities the fade gives.
//
// The fade (from a slide to the next) is counted in frames of kFadeFrame: the slide leaving fades
// out over kFadeOut above the slide coming, which fades in over kFadeIn beneath it. The view asks
// for a frame every FadeFrameInterval() and calls FadeFrame() for each. While the window is not
// shown (hidden, minimised) nothing runs: no frame, no slide timer; shown again, the fade goes on
// where it stopped and the next slide comes a whole interval later.
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
    static constexpr sim::Millis kFadeFrame = 50;    // 20 frames a second, only while a fade runs

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
    void TimerDiapoTimer();            // the next slide, fading in
    // The view's window shown (true) or hidden or minimised (false).
    void WindowShown(bool shown);
    // The delay to the fade's next frame; 0 when none is due (no fade running, or the window not
    // shown).
    sim::Millis FadeFrameInterval() const;
    // One frame of the fade: kFadeFrame further into it.
    void FadeFrame();
    // The opacities (0 to 1) the fade gives now to the slide coming and to the slide leaving.
    double ComingOpacity() const;
    double LeavingOpacity() const;

    std::vector<std::filesystem::path> SlideFiles;
    std::size_t SlideIndex = 0;
    bool SlideShowRunning = false;
    sim::Timer TimerDiapo;
    std::uint64_t Revision = 0;    // moves at every slide shown
    bool Visible = true;           // the view's window shown
    sim::Millis Faded = kFadeOut;  // into the fade; kFadeOut once it is over
    double LeavingFrom = 0;        // the slide leaving's opacity when it began to fade out

    // The file of the slide shown; empty when there is none.
    std::filesystem::path Shown() const;
    // The file of the slide before, fading out over it; empty when there is none.
    const std::filesystem::path& Leaving() const { return leaving_; }

private:
    void EndFade();  // no fade: the slide shown alone

    std::filesystem::path leaving_;
};

}  // namespace corvel::app
