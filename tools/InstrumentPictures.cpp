// Writes pictures of the instruments as a simulation draws them: the compass close-hauled with a
// current, running without one, and without a scale (the dial alone), each with the boat picture
// over its centre; and the sounder's picture of the close-hauled run, the boat's silhouette above it. Usage: instrument_pictures FOLDER
// (the data folder is found beside the program). With --window SECONDS, a small window shows the
// instruments of a live simulation (close-hauled in a current) for that long, then its picture is
// written as FOLDER/window.png (0 seconds: until it is closed). The main window's artwork is
// written too: legend.png (the compass legend) and glyphs.png (the pause and pilot glyphs in each
// of their images and the tiller-centring picture, on the window's background).
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <filesystem>

#include "app/program/Program.h"
#include "ui/Artwork.h"
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

// The glyphs as the window shows them, on its background: pause and play with the tiller-centring
// picture, then AUTO and STDBY each in force, available and greyed.
QImage GlyphSheet() {
    constexpr int kSide = 40, kGap = 12;
    struct Cell {
        ui::GlyphList list;
        int index;
    };
    constexpr Cell kRows[2][3] = {{{ui::GlyphList::Auto, 0}, {ui::GlyphList::Auto, 1}, {ui::GlyphList::Auto, 2}},
                                  {{ui::GlyphList::Standby, 0}, {ui::GlyphList::Standby, 1}, {ui::GlyphList::Standby, 2}}};
    const QPixmap tiller = ui::CentreTillerPicture();
    QImage image(kGap + 3 * (kSide + kGap) + tiller.width() + kGap, kGap + 3 * (kSide + kGap),
                 QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.fillRect(image.rect(), QBrush(ui::BackgroundTile()));
    p.drawPixmap(kGap, kGap, ui::GlyphImage(ui::GlyphList::PauseResume, 0, kSide));
    p.drawPixmap(2 * kGap + kSide, kGap, ui::GlyphImage(ui::GlyphList::PauseResume, 5, kSide));
    p.drawPixmap(3 * kGap + 2 * kSide, kGap + (kSide - tiller.height()) / 2, tiller);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column) {
            const Cell& c = kRows[row][column];
            p.drawPixmap(kGap + column * (kSide + kGap), kGap + (row + 1) * (kSide + kGap),
                         ui::GlyphImage(c.list, c.index, kSide));
        }
    }
    return image;
}

// The instruments of a running simulation in a window of their own, refreshed on the model's
// compass revision as the main window's view will be.
int LiveWindow(const std::filesystem::path& data, const QString& folder, int seconds) {
    app::QuietDialogs dialogs;
    app::Program program(dialogs, data);
    app::TFCorvel& w = program.FCorvel;
    w.EdTWS.text = "14";
    w.EdFCourant.text = "1.5";
    w.BtCalCClick();
    w.BtBestHaulClick();

    QWidget window;
    window.setWindowTitle(QStringLiteral("Compas et sondeur"));
    auto* layout = new QVBoxLayout(&window);
    auto* compass = new ui::CompassWidget(w.FMXCompass1);
    compass->setFixedSize(w.FMXCompass1.Width, w.FMXCompass1.Height);
    auto* boat = new ui::BoatPicture(compass);
    boat->move(static_cast<int>(w.FMXCompass1.CentreXY.x) - ui::BoatPicture::kSide / 2,
               static_cast<int>(w.FMXCompass1.CentreXY.y) - ui::BoatPicture::kSide / 2);
    auto* depth = new ui::DepthPictureWidget(w.Engine.S);
    layout->addWidget(compass, 0, Qt::AlignHCenter);
    auto* sounder = new QVBoxLayout;
    sounder->setSpacing(0);
    sounder->addWidget(new ui::BoatSilhouette, 0, Qt::AlignHCenter);
    sounder->addWidget(depth, 0, Qt::AlignHCenter);
    layout->addLayout(sounder);
    window.setStyleSheet(QStringLiteral("background: #dfe6ee;"));

    std::uint64_t drawn = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        w.Timers.Advance(50);
        const std::uint64_t now = w.Changes.Of(app::ControlGroup::Compass);
        if (now == drawn) return;  // stopped or paused: nothing to draw
        drawn = now;
        compass->ModelChanged();
        boat->SetHeading(w.ImageBatDYNRotation);
        depth->ModelChanged();
    });
    tick.start(50);
    window.show();
    if (seconds > 0) {
        QTimer::singleShot(seconds * 1000, [&] {
            window.grab().save(folder + "/window.png");
            QApplication::quit();
        });
    }
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    const bool live = argc == 4 && std::string_view(argv[1]) == "--window";
    if (argc != 2 && !live) {
        std::fprintf(stderr, "usage: instrument_pictures [--window SECONDS] FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[argc - 1]);
    QDir().mkpath(folder);
    const std::filesystem::path data = QCoreApplication::applicationDirPath().toStdString();
    if (live) return LiveWindow(data, folder, std::atoi(argv[2]));
    if (!ui::LegendPicture().save(folder + "/legend.png") || !GlyphSheet().save(folder + "/glyphs.png")) {
        std::fprintf(stderr, "instrument_pictures: cannot write the artwork into %s\n", qPrintable(folder));
        return 1;
    }
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
            // The boat's silhouette on a transparent strip, the sounder's picture below it.
            ui::DepthPictureWidget depth(w.Engine.S);
            ui::BoatSilhouette boat;
            QImage image(depth.width(), boat.height() + depth.height(), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            boat.render(&image);
            QPainter p(&image);
            p.translate(0, boat.height());
            depth.Render(p);
            p.end();
            if (!image.save(folder + "/depth_picture.png")) return 1;
        }
    }
    return 0;
}
