// The slide show's picture (ImgDiapo, 400 x 547): the slide shown, scaled to fit on the plain blue
// picture. At each new slide the one leaving fades out over 4 s while the one coming, beneath it,
// fades in over 2 s, so that the two mix for two seconds and the new one then stands alone: the
// widget draws the two pictures at the opacities of the model's fade (app::SlideShow), scaled once
// when a slide comes (again only when the widget is resized), and runs a frame timer only while
// the model asks for frames. It tells the model when it is hidden or shown again (minimising the
// window hides it too), and the model stops or starts its timers.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <cstdint>
#include <filesystem>

#include "app/windows/SlideShow.h"

class QTimer;

namespace corvel::ui {

class SlidePicture : public QWidget {
public:
    SlidePicture(app::SlideShow& model, QWidget* parent);

    // Takes the model's slides when they moved since last shown.
    void Refresh();
    // The size the slide shown is drawn at: as large as the widget holds, its proportions kept.
    QSize PictureSize() const { return coming_.size(); }
    // True when `file` holds a picture this view can show.
    static bool IsPicture(const std::filesystem::path& file);

protected:
    void paintEvent(QPaintEvent* event) override;
    // A new size (the window's zoom): both slides scaled again to it, once.
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // `file` scaled to fit the widget, keeping its proportions; null when it is no picture.
    QPixmap Picture(const std::filesystem::path& file) const;
    void Shown(bool shown);
    // The frame timer started or stopped as the model says.
    void FollowFade();
    void Frame();

    app::SlideShow& model_;
    QTimer* frames_;
    std::filesystem::path comingFile_, leavingFile_;
    QPixmap coming_;   // the slide shown, fading in
    QPixmap leaving_;  // the slide before, fading out over it
    QSize scaledTo_;   // the widget's size the pictures were scaled to
    std::uint64_t shown_ = 0;
    bool first_ = true;
};

}  // namespace corvel::ui
