#include "ui/SlidePicture.h"

#include <QImageReader>
#include <QPainter>
#include <QTimer>

namespace corvel::ui {

SlidePicture::SlidePicture(app::SlideShow& model, QWidget* parent)
    : QWidget(parent), model_(model), frames_(new QTimer(this)) {
    setObjectName(QStringLiteral("ImgDiapo"));
    setFixedSize(400, 547);
    setAutoFillBackground(true);
    QPalette blue = palette();
    blue.setColor(QPalette::Window, QColor(0, 0, 255));  // the plain picture without slides
    setPalette(blue);
    frames_->setObjectName(QStringLiteral("SlideFrames"));
    connect(frames_, &QTimer::timeout, this, &SlidePicture::Frame);
}

bool SlidePicture::IsPicture(const std::filesystem::path& file) {
    QImageReader reader(QString::fromStdString(file.string()));
    return reader.canRead();
}

QPixmap SlidePicture::Picture(const std::filesystem::path& file) const {
    if (file.empty()) return {};
    QImage image(QString::fromStdString(file.string()));
    if (image.isNull()) return {};
    const qreal ratio = devicePixelRatioF();
    QPixmap picture = QPixmap::fromImage(image.scaled(size() * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picture.setDevicePixelRatio(ratio);
    return picture;
}

void SlidePicture::Refresh() {
    if (!first_ && shown_ == model_.Revision) return;
    first_ = false;
    shown_ = model_.Revision;
    // The slide leaving is most often the one shown until now: its picture is kept.
    if (model_.Leaving() == comingFile_) {
        leaving_ = std::move(coming_);
    } else {
        leaving_ = Picture(model_.Leaving());
    }
    leavingFile_ = model_.Leaving();
    comingFile_ = model_.Shown();
    coming_ = Picture(comingFile_);
    scaledTo_ = size();
    update();
    FollowFade();
}

void SlidePicture::FollowFade() {
    const sim::Millis interval = model_.FadeFrameInterval();
    if (interval == 0) {
        frames_->stop();
    } else if (!frames_->isActive()) {
        frames_->start(static_cast<int>(interval));
    }
}

void SlidePicture::Frame() {
    model_.FadeFrame();
    update();
    FollowFade();
}

void SlidePicture::Shown(bool shown) {
    model_.WindowShown(shown);
    FollowFade();
}

void SlidePicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The slide coming first, the slide leaving over it, each centred (the blue background is the
    // widget's own).
    for (const auto& [picture, opacity] :
         {std::pair{&coming_, model_.ComingOpacity()}, std::pair{&leaving_, model_.LeavingOpacity()}}) {
        if (picture->isNull() || opacity <= 0) continue;
        const QSize size = picture->deviceIndependentSize().toSize();
        painter.setOpacity(opacity);
        painter.drawPixmap((width() - size.width()) / 2, (height() - size.height()) / 2, *picture);
    }
}

void SlidePicture::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (size() == scaledTo_) return;
    scaledTo_ = size();
    coming_ = Picture(comingFile_);
    leaving_ = Picture(leavingFile_);
}

void SlidePicture::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Shown(!window()->isMinimized());
}

void SlidePicture::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    Shown(false);  // a minimised window hides its widgets too (a spontaneous hide)
}

}  // namespace corvel::ui
