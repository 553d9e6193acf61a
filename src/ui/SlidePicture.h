// The slide show's picture (ImgDiapo, 400 x 547): the slide shown, scaled to fit on the plain blue
// picture. At each new slide the one leaving fades out over 4 s while the one coming, beneath it,
// fades in over 2 s, so that the two mix for two seconds and the new one then stands alone.
#pragma once

#include <QWidget>
#include <cstdint>

#include "app/SlideShow.h"

class QLabel;
class QPropertyAnimation;

namespace corvel::ui {

class SlidePicture : public QWidget {
public:
    SlidePicture(const app::SlideShow& model, QWidget* parent);

    // Shows the model's slide when it moved since last shown.
    void Refresh();
    // True when `file` holds a picture this view can show.
    static bool IsPicture(const std::filesystem::path& file);

    QLabel* Coming() const { return coming_; }
    QLabel* Leaving() const { return leaving_; }

protected:
    // A new size (the window's zoom): the slide shown again at it.
    void resizeEvent(QResizeEvent* event) override;

private:
    QPixmap Picture(const std::filesystem::path& file) const;

    const app::SlideShow& model_;
    QLabel* coming_;   // the slide shown, fading in
    QLabel* leaving_;  // the slide before, fading out over it
    QPropertyAnimation *fadeIn_, *fadeOut_;
    std::uint64_t shown_ = 0;
    bool first_ = true;
};

}  // namespace corvel::ui
