#include "ui/SlidePicture.h"

#include <QGraphicsOpacityEffect>
#include <QImageReader>
#include <QLabel>
#include <QPropertyAnimation>

namespace corvel::ui {

namespace {

QLabel* Layer(QWidget* parent, QPropertyAnimation*& fade, int millis) {
    auto* label = new QLabel(parent);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(parent->rect());
    auto* opacity = new QGraphicsOpacityEffect(label);
    label->setGraphicsEffect(opacity);
    fade = new QPropertyAnimation(opacity, "opacity", label);
    fade->setDuration(millis);
    fade->setEasingCurve(QEasingCurve::Linear);
    return label;
}

void SetOpacity(QLabel* label, double opacity) {
    static_cast<QGraphicsOpacityEffect*>(label->graphicsEffect())->setOpacity(opacity);
}
double Opacity(const QLabel* label) { return static_cast<QGraphicsOpacityEffect*>(label->graphicsEffect())->opacity(); }

}  // namespace

SlidePicture::SlidePicture(const app::SlideShow& model, QWidget* parent) : QWidget(parent), model_(model) {
    setObjectName(QStringLiteral("ImgDiapo"));
    setFixedSize(400, 547);
    setAutoFillBackground(true);
    QPalette blue = palette();
    blue.setColor(QPalette::Window, QColor(0, 0, 255));  // the plain picture without slides
    setPalette(blue);
    coming_ = Layer(this, fadeIn_, static_cast<int>(app::SlideShow::kFadeIn));
    leaving_ = Layer(this, fadeOut_, static_cast<int>(app::SlideShow::kFadeOut));
    coming_->setObjectName(QStringLiteral("SlideComing"));
    leaving_->setObjectName(QStringLiteral("SlideLeaving"));
    SetOpacity(leaving_, 0);
}

bool SlidePicture::IsPicture(const std::filesystem::path& file) {
    QImageReader reader(QString::fromStdString(file.string()));
    return reader.canRead();
}

QPixmap SlidePicture::Picture(const std::filesystem::path& file) const {
    if (file.empty()) return {};
    QImage image(QString::fromStdString(file.string()));
    if (image.isNull()) return {};
    return QPixmap::fromImage(image.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void SlidePicture::resizeEvent(QResizeEvent*) {
    for (QLabel* layer : {coming_, leaving_}) layer->setGeometry(rect());
    if (first_) return;
    coming_->setPixmap(Picture(model_.Shown()));
    // The slide fading out, for the seconds it still shows.
    const QPixmap leaving = leaving_->pixmap();
    if (!leaving.isNull()) leaving_->setPixmap(leaving.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void SlidePicture::Refresh() {
    if (!first_ && shown_ == model_.Revision) return;
    shown_ = model_.Revision;
    const QPixmap next = Picture(model_.Shown());
    if (first_) {
        first_ = false;
        coming_->setPixmap(next);
        return;
    }
    // The slide leaving takes the picture and the opacity shown now, and fades out over the new one.
    fadeOut_->stop();
    fadeIn_->stop();
    leaving_->setPixmap(coming_->pixmap());
    SetOpacity(leaving_, Opacity(coming_));
    coming_->setPixmap(next);
    SetOpacity(coming_, 0);
    fadeOut_->setStartValue(Opacity(leaving_));
    fadeOut_->setEndValue(0.0);
    fadeIn_->setStartValue(0.0);
    fadeIn_->setEndValue(1.0);
    fadeOut_->start();
    fadeIn_->start();
}

}  // namespace corvel::ui
