// Pictures of the dialogs, each as it first shows on the program's data (the default polar ...),
// written as FOLDER/<dialog>.png for the README and the help pages. Usage: dialog_pictures FOLDER.
// Runs offscreen: QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QDir>
#include <QStyleFactory>
#include <QWidget>
#include <cstdio>
#include <functional>
#include <memory>

#include "app/Program.h"
#include "nav/Conversions.h"
#include "ui/PolarWindow.h"

using namespace corvel;

namespace {

// The polar window on the default polar, the percentage at 100.
std::unique_ptr<QWidget> PolarWindowPicture(app::Program& program) {
    return std::make_unique<ui::PolarWindow>(program.FPolaire, program.Engine.S);
}

struct DialogPicture {
    const char* file;
    std::function<std::unique_ptr<QWidget>(app::Program&)> make;
};

const DialogPicture kPictures[] = {
    {"polar_window.png", PolarWindowPicture},
};

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    nav::ForceDotSeparator();
    if (argc != 2) {
        std::fprintf(stderr, "usage: dialog_pictures FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    app::QuietDialogs dialogs;
    app::Program program(dialogs, QCoreApplication::applicationDirPath().toStdString());
    int status = 0;
    for (const DialogPicture& picture : kPictures) {
        const std::unique_ptr<QWidget> dialog = picture.make(program);
        dialog->show();
        QApplication::processEvents();
        const QString path = folder + QLatin1Char('/') + QString::fromLatin1(picture.file);
        if (!dialog->grab().save(path)) {
            std::fprintf(stderr, "dialog_pictures: cannot write %s\n", qPrintable(path));
            status = 1;
        }
    }
    return status;
}
