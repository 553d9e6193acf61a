// The headless run; see Headless.h.
#include "main/Headless.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "app/Program.h"
#include "nav/ValidFloat.h"

namespace corvel::headless {

namespace {

std::atomic<bool> g_stop{false};

extern "C" void OnStopSignal(int) { g_stop.store(true); }

// Messages go to standard error, questions are answered "N", file choosers are cancelled.
class ConsoleDialogs : public app::Dialogs {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "corvelnmea: %s\n", text.c_str()); }
    std::string GetConfirmation(const std::string&) override { return "N"; }
    std::optional<std::filesystem::path> OpenFile(const std::string&, const std::string&,
                                                  const std::filesystem::path&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> SaveFile(const std::string&, const std::string&, const std::string&,
                                                  const std::filesystem::path&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> ChooseFolder(const std::string&, const std::filesystem::path&) override {
        return std::nullopt;
    }
};

// Options of the complete command line that this version does not offer yet.
constexpr const char* kLaterOptions[] = {"--config", "--no-settings", "--tcp", "--udp", "--serial", "--do"};

}  // namespace

std::string Usage() {
    return "Utilisation : corvelnmea --headless [options]\n"
           "Simule le voilier sans fenêtre et émet les phrases NMEA 0183 choisies.\n"
           "\n"
           "  --stdout                  chaque phrase sur la sortie standard, suivie de CR LF\n"
           "                            (par défaut quand aucune autre sortie n'est nommée)\n"
           "  --duration SECONDES       durée simulée, puis fin (code 0) ; sans elle, jusqu'à SIGINT/SIGTERM\n"
           "  --fast                    aussi vite que possible au lieu du temps réel\n"
           "  --start AAAA-MM-JJTHH:MM:SS  heure locale simulée du départ (sortie reproductible)\n"
           "  --log FICHIER             journal NMEA brut, écrit au fil de l'eau (lignes CR LF)\n"
           "  --log-stamped FICHIER     journal NMEA horodaté, écrit au fil de l'eau\n"
           "  --help                    cette aide\n"
           "  --version                 la version\n";
}

ParseResult ParseOptions(const std::vector<std::string>& args) {
    ParseResult r;
    Options& o = r.options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                r.error = "l'option " + a + " attend une valeur";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--stdout") {
            o.stdoutOutput = true;
        } else if (a == "--fast") {
            o.fast = true;
        } else if (a == "--help") {
            o.help = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "--duration") {
            if (!value(v)) return r;
            const auto seconds = nav::ParseDotNumber(v);
            if (!seconds || *seconds < 0) {
                r.error = "durée invalide : " + v + " (un nombre de secondes simulées, 0 ou plus)";
                return r;
            }
            o.durationSeconds = static_cast<double>(*seconds);
        } else if (a == "--start") {
            if (!value(v)) return r;
            o.start = app::ParseLocalDateTime(v);
            if (!o.start) {
                r.error = "heure de départ invalide : " + v + " (attendu AAAA-MM-JJTHH:MM:SS)";
                return r;
            }
        } else if (a == "--log") {
            if (!value(v)) return r;
            o.log = v;
        } else if (a == "--log-stamped") {
            if (!value(v)) return r;
            o.logStamped = v;
        } else {
            for (const char* later : kLaterOptions) {
                if (a == later) {
                    r.error = "l'option " + a + " n'est pas encore disponible dans cette version";
                    return r;
                }
            }
            r.error = "option inconnue : " + a + " (voir --help)";
            return r;
        }
    }
    if (!o.log && !o.logStamped) o.stdoutOutput = true;
    return r;
}

namespace {

// A log file written as the log grows, with CR LF line ends.
class LogFile {
public:
    bool Open(const std::filesystem::path& path) {
        out_.open(path, std::ios::binary | std::ios::trunc);
        return static_cast<bool>(out_);
    }
    void Write(std::string_view line) {
        out_.write(line.data(), static_cast<std::streamsize>(line.size()));
        out_.write("\r\n", 2);
    }
    void Flush() { out_.flush(); }
    bool Good() const { return static_cast<bool>(out_); }

private:
    std::ofstream out_;
};

}  // namespace

int Run(const Options& options, const std::filesystem::path& programFolder) {
    int argc = 1;
    char name[] = "corvelnmea";
    char* argv[] = {name, nullptr};
    QCoreApplication qapp(argc, argv);

    ConsoleDialogs dialogs;
    app::Program program(dialogs, programFolder);
    app::TFCorvel& w = program.FCorvel;

    // The wall clock: simulated from --start, or from now when running fast (so that the time
    // stamps follow simulated time); the system's in real time.
    std::optional<app::SimulatedClock> simulated;
    if (options.start || options.fast) {
        simulated.emplace(w.Timers, options.start ? *options.start : app::SystemClock().Now());
        w.SetClock(*simulated);
    }

    // Outputs. No log is kept in memory: a headless run's memory does not grow with its duration.
    static char stdoutBuffer[1 << 16];
    std::setvbuf(stdout, stdoutBuffer, _IOFBF, sizeof stdoutBuffer);
    LogFile raw, stamped;
    for (auto [path, file] : {std::pair{options.log, &raw}, std::pair{options.logStamped, &stamped}}) {
        if (path && !file->Open(*path)) {
            std::fprintf(stderr, "corvelnmea: impossible d'écrire le journal %s\n", path->string().c_str());
            return 1;
        }
    }
    w.MemoNMEA.SetKeepLines(false);
    w.MemoNMEAHMS.SetKeepLines(false);
    if (options.log) w.MemoNMEA.SetStream([&raw](std::string_view line) { raw.Write(line); });
    if (options.logStamped) w.MemoNMEAHMS.SetStream([&stamped](std::string_view line) { stamped.Write(line); });
    if (options.stdoutOutput) {
        w.OnSentence = [](std::string_view sentence) {
            std::fwrite(sentence.data(), 1, sentence.size(), stdout);
            std::fwrite("\r\n", 1, 2, stdout);
        };
    }
    auto flush = [&] {
        std::fflush(stdout);
        raw.Flush();
        stamped.Flush();
    };

    g_stop.store(false);
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    std::signal(SIGPIPE, SIG_IGN);

    w.BtCalCClick();  // "SIMULER"

    const app::Millis end =
        options.durationSeconds ? static_cast<app::Millis>(*options.durationSeconds * 1000 + 0.5) : -1;
    auto finished = [&] { return g_stop.load() || (end >= 0 && w.Timers.now() >= end); };
    // Fires everything due up to `limit`, and not past the end.
    auto runUntil = [&](app::Millis limit) {
        if (end >= 0) limit = std::min(limit, end);
        if (limit > w.Timers.now()) w.Timers.advance(limit - w.Timers.now());
    };

    QTimer pump;
    QElapsedTimer wall;
    if (options.fast) {
        // Slices of simulated time between which the event loop serves the links.
        pump.setInterval(0);
        QObject::connect(&pump, &QTimer::timeout, [&] {
            runUntil(w.Timers.now() + 1000);
            if (finished()) qapp.quit();
        });
    } else {
        pump.setTimerType(Qt::PreciseTimer);
        pump.setInterval(5);
        QObject::connect(&pump, &QTimer::timeout, [&] {
            const app::Millis target = wall.elapsed();
            const app::Millis lag = target - w.Timers.now();
            if (lag > 2000) {
                // The process was held (suspended, overloaded): late timers fire once, as GUI
                // timers do, instead of replaying the lost seconds.
                w.Timers.catchUp(lag);
            } else {
                runUntil(target);
            }
            flush();
            if (finished()) qapp.quit();
        });
    }
    wall.start();
    pump.start();
    if (!finished()) qapp.exec();
    pump.stop();
    flush();
    const bool ok = raw.Good() && stamped.Good() && !std::ferror(stdout);
    if (!ok) std::fprintf(stderr, "corvelnmea: erreur d'écriture d'une sortie\n");
    return ok ? 0 : 1;
}

}  // namespace corvel::headless
