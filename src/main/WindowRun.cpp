// The program with its window; see WindowRun.h.
#include "main/WindowRun.h"

#include <QApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QStyleFactory>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/Program.h"
#include "config/Folders.h"
#include "links/QtNetLink.h"
#include "links/QtSerialPort.h"
#include "nav/Conversions.h"
#include "ui/MainWindow.h"
#include "ui/QtDialogs.h"

namespace corvel::window {

namespace {

constexpr const char* kBoatPicture = "iconbatTRANS.png";

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

ParseResult ParseOptions(const std::vector<std::string>& args) {
    ParseResult r;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--simulate") {
            r.options.simulate = true;
        } else if (a == "--config") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                r.error = "l'option --config attend un fichier de configuration";
                return r;
            }
            if (!r.options.config.empty()) {
                r.error = "l'option --config est donnée deux fois (elle n'accepte qu'une valeur)";
                return r;
            }
            r.options.config = args[++i];
        } else {
            r.error = "option inconnue : " + a + " (voir --help)";
            return r;
        }
    }
    return r;
}

std::string Usage() {
    return "Utilisation : corvelnmea [--config FICHIER] [--simulate]\n"
           "Ouvre la fenêtre du simulateur.\n"
           "\n"
           "  --config FICHIER          ouvre ce fichier de configuration au départ (comme « Ouvrir »)\n"
           "  --simulate                appuie sur « SIMULER » dès que la fenêtre est ouverte\n"
           "\n";
}

bool DisplayAvailable() { return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM"); }

int Run(const Options& options, const std::filesystem::path& programFolder, char* argv0) {
    int argc = 1;
    char* argv[] = {argv0, nullptr};
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("CorvelNMEA"));
    QGuiApplication::setDesktopFileName(QStringLiteral("corvelnmea"));  // the desktop entry's icon and name
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    nav::ForceDotSeparator();  // Qt took the user's locale for LC_NUMERIC

    // The boat drawn over the compass: a file supplied with the program, without which the window
    // is not built.
    const std::filesystem::path boatPath = programFolder / kBoatPicture;
    QPixmap boat(QString::fromStdString(boatPath.string()));
    if (boat.isNull()) {
        const QString message =
            QStringLiteral(
                "Image du bateau introuvable ou illisible : %1\nLa fenêtre ne peut pas être créée ; "
                "réinstallez CorvelNMEA.")
                .arg(QString::fromStdString(boatPath.string()));
        std::fprintf(stderr, "corvelnmea: %s\n", message.toStdString().c_str());
        // On a screen, said in a box too (nobody could answer one offscreen).
        const QString platform = QGuiApplication::platformName();
        if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
            QMessageBox::critical(nullptr, QStringLiteral("CorvelNMEA"), message);
        }
        return 1;
    }

    ui::QtDialogs dialogs;
    links::QtSerialPlatform serial;
    links::QtNetLink network;  // before the program, which leaves first
    app::Program program(dialogs, config::FoldersFromEnvironment(programFolder), serial);
    program.FParamWIFI.SetNetLink(&network);
    if (!options.config.empty()) program.FCorvel.OpenConfigFile(options.config);

    ui::MainWindow window(program, boat);
    dialogs.SetParent(&window);
    window.show();
    if (options.simulate) QTimer::singleShot(0, &window, [&window] { window.Simulate(); });
    return QApplication::exec();
}

}  // namespace corvel::window
