// Pictures of the main window: the whole window while the boat sails upwind in a current,
// written as FOLDER/main_window.png (the README's and the help pages' screenshot, kept in
// data/Help/images/), the help laid over it (help_view.png) and the about box (about.png); and, with
// --boat FILE, the boat seen from above that the program ships as iconbatTRANS.png (drawn by
// PaintBoatFromAbove). The window is a new user's (NewUserProgram.h: the first run's start at sea and
// offsets), sailing a wind of 12 knots and a current of 1.5 knots.
// Usage: window_picture [--seconds N] FOLDER | window_picture --boat FILE.
// Runs offscreen: QT_QPA_PLATFORM=offscreen.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QMenuBar>
#include <QPainter>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "NewUserProgram.h"
#include "app/program/Program.h"
#include "nav/Conversions.h"
#include "ui/CompassWidget.h"
#include "ui/MainWindow.h"

using namespace corvel;

namespace {

int BoatPictureFile(const QString& path) {
    constexpr int kSide = 2 * ui::BoatPicture::kSide;  // sharp on screens of two pixels per point
    QImage image(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    ui::PaintBoatFromAbove(p, QRectF(0, 0, kSide, kSide));
    p.end();
    if (!image.save(path)) {
        std::fprintf(stderr, "window_picture: cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}

int WindowPicture(const QString& folder, int seconds) {
    QDir().mkpath(folder);
    tools::NewUserProgram newUser;
    app::Program& program = newUser.program;
    app::TFCorvel& w = program.FCorvel;
    w.EdTWS.text = "12";
    w.EdFCourant.text = "1.5";
    w.InitCateg("CC");
    const QPixmap boat(QCoreApplication::applicationDirPath() + QStringLiteral("/iconbatTRANS.png"));
    // The layout at 100 %: the first run's zoom is chosen for a screen that holds the window, not
    // for the offscreen one.
    program.Zoom.FitScreen(4 * ui::MainWindow::kClientWidth, 4 * ui::MainWindow::kClientHeight, {});
    ui::MainWindow window(program, boat);
    window.Simulate();
    w.Timers.Advance(seconds * 1000L);
    window.Refresh();
    window.show();
    // The whole client area, whatever the size of the offscreen screen.
    window.resize(ui::MainWindow::kClientWidth + 4, ui::MainWindow::kClientHeight + 4 + window.menuBar()->height());
    QApplication::processEvents();
    // The slide show's fade, which runs in real time once the window shows, played to its end.
    while (w.Slides.FadeFrameInterval() > 0) w.Slides.FadeFrame();
    window.Refresh();
    QApplication::processEvents();
    const auto save = [&folder](QWidget& widget, const char* name) {
        const QString path = folder + QLatin1Char('/') + QLatin1String(name);
        if (widget.grab().save(path)) return true;
        std::fprintf(stderr, "window_picture: cannot write %s\n", qPrintable(path));
        return false;
    };
    if (!save(window, "main_window.png")) return 1;
    // The help laid over the window, then the about box.
    window.Command([&program] { program.Help.GENERALITESClick(); });
    QApplication::processEvents();
    if (!save(window, "help_view.png")) return 1;
    window.Command([&program] { program.Help.BtCloseHelpClick(); });
    window.findChild<QAction*>(QStringLiteral("MenuAPropos"))->trigger();
    QApplication::processEvents();
    auto* about = window.findChild<QDialog*>(QStringLiteral("TFAbout"));
    return about && save(*about, "about.png") ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    nav::ForceDotSeparator();
    if (argc == 3 && std::string_view(argv[1]) == "--boat") return BoatPictureFile(QString::fromLocal8Bit(argv[2]));
    if (argc == 4 && std::string_view(argv[1]) == "--seconds") {
        return WindowPicture(QString::fromLocal8Bit(argv[3]), std::atoi(argv[2]));
    }
    if (argc == 2) return WindowPicture(QString::fromLocal8Bit(argv[1]), 60);
    std::fprintf(stderr, "usage: window_picture [--seconds N] FOLDER | window_picture --boat FILE\n");
    return 2;
}
