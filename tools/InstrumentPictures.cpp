// Writes pictures of the instruments as a simulation draws them: the compass close-hauled with a
// current, running without one, and without a scale (the dial alone), each with the boat picture
// over its centre; and the sounder's picture after a minute. Usage: instrument_pictures FOLDER
// (the data folder is found beside the program).
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <filesystem>

#include "app/Program.h"
#include "ui/CompassWidget.h"
#include "ui/DepthPictureWidget.h"

using namespace corvel;

namespace {

struct Scene {
    const char* file;
    const char* heading;
    const char* current;
    bool closeHauled;
    int seconds;
};

constexpr Scene kScenes[] = {
    {"compass_close_hauled_current.png", "318", "1.5", true, 40},
    {"compass_running.png", "190", "0", false, 10},
    {"compass_dial_only.png", "318", "0", false, 0},
};

QImage CompassPicture(app::TFCorvel& w) {
    ui::CompassWidget compass(w.FMXCompass1);
    QImage image(compass.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    compass.Render(p);
    const float side = ui::BoatPicture::kSide;
    p.translate(w.FMXCompass1.CentreXY.x, w.FMXCompass1.CentreXY.y);
    p.rotate(w.ImageBatDYNRotation);
    p.setRenderHint(QPainter::Antialiasing);
    ui::PaintBoatFromAbove(p, QRectF(-side / 2, -side / 2, side, side));
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: instrument_pictures FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    const std::filesystem::path data = QCoreApplication::applicationDirPath().toStdString();
    for (const Scene& scene : kScenes) {
        app::QuietDialogs dialogs;
        app::Program program(dialogs, data);
        app::TFCorvel& w = program.FCorvel;
        w.EdHDG.text = scene.heading;
        w.EdTWS.text = "14";
        w.EdFCourant.text = scene.current;
        if (scene.seconds > 0) {
            w.BtCalCClick();
            if (scene.closeHauled) w.BtBestHaulClick();
            w.Timers.Advance(scene.seconds * 1000L);
        }
        const QString path = folder + "/" + scene.file;
        if (!CompassPicture(w).save(path)) {
            std::fprintf(stderr, "instrument_pictures: cannot write %s\n", qPrintable(path));
            return 1;
        }
        if (scene.closeHauled) {
            ui::DepthPictureWidget depth(w.Engine.S);
            QImage image(depth.size(), QImage::Format_ARGB32_Premultiplied);
            QPainter p(&image);
            depth.Render(p);
            p.end();
            if (!image.save(folder + "/depth_picture.png")) return 1;
        }
    }
    return 0;
}
