// The program with its window; see WindowRun.h.
#include "main/WindowRun.h"

#include <QApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QStyleFactory>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/program/Program.h"
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

// The screen the window was to open on, as the environment names it ("DISPLAY=:0").
std::string ScreenNamed() {
    std::string named;
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"}) {
        if (!Set(name)) continue;
        named += (named.empty() ? "" : ", ") + std::string(name) + "=" + std::getenv(name);
    }
    return named;
}

QtMessageHandler qtMessages = nullptr;  // Qt's own handler, for every message but a fatal one
bool qtStarting = false;                // while the application connects to the screen

// Qt aborts the program after a fatal message: a screen that cannot be reached (a display that
// went away, a virtual screen that is not ready yet) or a broken state. The program says it in
// French and ends with exit code 1 instead.
void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        if (qtMessages) qtMessages(type, context, text);
        return;
    }
    if (qtStarting) {
        std::fprintf(stderr,
                     "corvelnmea: écran injoignable (%s) : la fenêtre ne peut pas s'ouvrir ; sans fenêtre : "
                     "corvelnmea --headless (voir --help)\n",
                     ScreenNamed().c_str());
    } else {
        std::fprintf(stderr, "corvelnmea: %s%s\n", kUnexpectedError, text.toStdString().c_str());
    }
    std::_Exit(1);
}

// A message that ends the program: on standard error, and on a screen in a box too (nobody could
// answer one offscreen).
void TellFailure(const QString& message) {
    std::fprintf(stderr, "corvelnmea: %s\n", message.toStdString().c_str());
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
        QMessageBox::critical(nullptr, QStringLiteral("CorvelNMEA"), message);
    }
}

// The application whose event handlers may not end the program by an exception: one thrown from a
// handler (memory exhausted, a file system error) ends the event loop with exit code 1, and the
// program says what it was instead of aborting.
class GuardedApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            if (failure_.isEmpty()) failure_ = QString::fromLocal8Bit(e.what());
        } catch (...) {
            if (failure_.isEmpty()) failure_ = QStringLiteral("exception inconnue");
        }
        exit(1);
        return false;
    }

    // What ended the event loop, empty when it ended normally.
    const QString& Failure() const { return failure_; }

private:
    QString failure_;
};

QString Unexpected(const QString& what) { return QString::fromUtf8(kUnexpectedError) + what; }

// The window over the program, until it is closed.
int ShowWindow(const Options& options, const std::filesystem::path& programFolder, const QPixmap& boat) {
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
           "Ouvre la fenêtre du simulateur. Son menu « Zoom » la réduit ou l'agrandit tout entière\n"
           "(Ctrl+- réduit, Ctrl+= ou Ctrl++ agrandit, Ctrl+0 revient à 100 %) ; au premier lancement,\n"
           "elle prend le plus grand zoom, jusqu'à 100 %, qui tient sur l'écran.\n"
           "\n"
           "  --config FICHIER          ouvre ce fichier de configuration au départ (comme « Ouvrir »)\n"
           "  --simulate                appuie sur « SIMULER » dès que la fenêtre est ouverte\n"
           "\n";
}

bool DisplayAvailable() { return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM"); }

int Run(const Options& options, const std::filesystem::path& programFolder, char* argv0) {
    int argc = 1;
    char* argv[] = {argv0, nullptr};
    qtMessages = qInstallMessageHandler(OnQtMessage);
    qtStarting = true;
    GuardedApplication qt(argc, argv);
    qtStarting = false;
    QApplication::setApplicationName(QStringLiteral("CorvelNMEA"));
    QGuiApplication::setDesktopFileName(QStringLiteral("corvelnmea"));  // the desktop entry's icon and name
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    nav::ForceDotSeparator();  // Qt took the user's locale for LC_NUMERIC
    if (const std::string missing = ui::InstallQtFrenchTranslations(); !missing.empty()) {
        std::fprintf(stderr, "corvelnmea: %s\n", missing.c_str());
    }

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
        TellFailure(message);
        return 1;
    }
    try {
        const int code = ShowWindow(options, programFolder, boat);
        if (!qt.Failure().isEmpty()) TellFailure(Unexpected(qt.Failure()));
        return code;
    } catch (const std::exception& e) {
        TellFailure(Unexpected(QString::fromLocal8Bit(e.what())));
        return 1;
    }
}

}  // namespace corvel::window
