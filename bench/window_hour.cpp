// One simulated hour of the main window, every sentence selected: the engine advanced by 50 ms
// steps, the widgets redrawn after each step as the window's timer does, as fast as it goes.
// Prints the process's resident memory (now and peak) every ten simulated minutes, and the
// sentence log's size, so that what grows with time shows. Run offscreen:
// QT_QPA_PLATFORM=offscreen build/bin/window_hour
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/program/Program.h"
#include "nav/Conversions.h"
#include "ui/MainWindow.h"

using namespace corvel;

namespace {

// "VmRSS" or "VmHWM" of this process, kB.
long StatusKb(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0) return std::stol(line.substr(key.size() + 1));
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    nav::ForceDotSeparator();
    app::QuietDialogs dialogs;
    app::Program program(dialogs, QCoreApplication::applicationDirPath().toStdString());
    app::TFCorvel& w = program.FCorvel;
    ui::MainWindow window(program, QPixmap());
    window.show();
    QApplication::processEvents();
    std::printf("minutes  rss_kB  peak_kB  log_lines  log_MB  wall_s\n");
    QElapsedTimer wall;
    wall.start();
    window.Simulate();
    for (int minute = 0; minute <= 60; ++minute) {
        if (minute % 10 == 0) {
            std::size_t bytes = 0;
            for (const std::string& line : w.MemoNMEA.Lines()) bytes += line.size();
            std::printf("%7d  %6ld  %7ld  %9zu  %6.2f  %6.1f\n", minute, StatusKb("VmRSS"), StatusKb("VmHWM"),
                        w.MemoNMEA.Lines().size(), static_cast<double>(bytes) / 1e6, wall.elapsed() / 1000.0);
            std::fflush(stdout);
        }
        if (minute == 60) break;
        for (int step = 0; step < 60 * 20; ++step) {
            w.Timers.Advance(50);
            window.Refresh();
            QApplication::processEvents();  // the repaints a screen would ask for
        }
    }
    return 0;
}
