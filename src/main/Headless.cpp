// The headless run; see Headless.h.
#include "main/Headless.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>

#include "app/program/ConfigFiles.h"
#include "app/program/Program.h"
#include "app/program/SimulationTexts.h"
#include "app/program/SystemErrors.h"
#include "app/transmission/ReplayPlayer.h"
#include "app/windows/ControlCommands.h"
#include "config/AtomicWrite.h"
#include "config/FileIdentity.h"
#include "config/Folders.h"
#include "links/QtControlServer.h"
#include "links/QtSerialPort.h"
#include "main/HeadlessLinks.h"
#include "main/LineOutput.h"
#include "nav/Conversions.h"
#include "nav/RegularFile.h"
#include "ui/QtDialogs.h"

namespace corvel::headless {

namespace {

// The first stop signal received (0: none yet); the run reads it between slices of simulated time.
std::atomic<int> g_stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "read and written by a signal handler");

extern "C" void OnStopSignal(int signal) {
    int none = 0;
    g_stopSignal.compare_exchange_strong(none, signal);
}

// SIGINT, SIGTERM, SIGHUP and SIGQUIT stop the run after a whole sentence. A reader that went
// away (SIGPIPE) and a file-size limit (SIGXFSZ) become write errors, reported like any other.
void HandleSignals() {
    struct sigaction stop {};
    stop.sa_handler = OnStopSignal;
    sigemptyset(&stop.sa_mask);
    stop.sa_flags = SA_RESTART;
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(s, &stop, nullptr);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    for (int s : {SIGPIPE, SIGXFSZ}) sigaction(s, &ignore, nullptr);
}

// The exit code of a run stopped by SIGQUIT: the shell's code for a quit.
constexpr int kQuitExitCode = 128 + SIGQUIT;

// The French message refusing two outputs that would write into one file (the two logs, or a log
// and the file standard output goes to), or a log that is the replayed file; or "".
std::string SameFileError(const Options& o) {
    std::vector<std::string> keys, names;  // names: as the message says them
    const auto add = [&](std::string key, std::string name) {
        keys.push_back(std::move(key));
        names.push_back(std::move(name));
    };
    if (o.replay) add(config::FileKey(*o.replay), "--replay " + o.replay->string());
    if (o.log) add(config::FileKey(*o.log), "--log " + o.log->string());
    if (o.logStamped) add(config::FileKey(*o.logStamped), "--log-stamped " + o.logStamped->string());
    if (o.stdoutOutput) add(config::OpenFileKey(STDOUT_FILENO), "la sortie standard");
    const auto same = config::FirstSameFile(keys);
    if (!same) return {};
    return names[same->first] + " et " + names[same->second] +
           (o.replay && same->first == 0 ? " sont le même fichier : le rejeu le lirait en l'écrasant"
                                         : " écriraient dans le même fichier") +
           " (donnez-leur des fichiers différents)";
}

}  // namespace

int Run(const Options& options, const std::filesystem::path& programFolder) {
    if (const std::string error = SameFileError(options); !error.empty()) {
        std::fprintf(stderr, "corvelnmea: %s\n", error.c_str());
        return 2;
    }
    int argc = 1;
    char name[] = "corvelnmea";
    char* argv[] = {name, nullptr};
    QCoreApplication qapp(argc, argv);
    nav::ForceDotSeparator();  // Qt took the user's locale for LC_NUMERIC: "--do 0.5:..." keeps its "."
    // Qt's reasons (a port that cannot listen) in French too; without the translations they stay
    // Qt's, without a word more on standard error.
    ui::InstallQtFrenchTranslations();

    // The control port steers the boat without any authentication: only on an address of this
    // machine, and said aloud when other machines can reach it.
    const QHostAddress controlAddress(QString::fromStdString(options.controlAddress));
    if (options.controlPort) {
        const std::string where = options.controlAddress + ":" + std::to_string(*options.controlPort);
        if (!links::QtControlServer::MachineAddress(controlAddress)) {
            std::fprintf(stderr,
                         "corvelnmea: adresse refusée pour --control : %s n'est pas une adresse de cette machine "
                         "(127.0.0.1, 0.0.0.0 pour toutes ses adresses, ou l'adresse d'une de ses interfaces)\n",
                         options.controlAddress.c_str());
            return 2;
        }
        if (!controlAddress.isLoopback()) {
            std::fprintf(stderr,
                         "corvelnmea: attention : le port de commande écoute sur %s, sans authentification : "
                         "n'importe qui sur le réseau peut piloter le bateau\n",
                         where.c_str());
        }
    }

    // The start-up reads the settings file as the window does, unless told not to. --config is read
    // first, so that a file that cannot be used ends the run before anything starts.
    config::IniLoadResult config;
    if (options.config) {
        config = config::IniFile::Load(*options.config);
        if (config.status != nav::ReadStatus::Ok) {
            const std::string message =
                config.Refused() ? app::RefusalMessage(*options.config, config)
                                 : "fichier de configuration introuvable ou illisible : " + options.config->string();
            std::fprintf(stderr, "corvelnmea: %s\n", message.c_str());
            return 2;
        }
    }
    // The replayed file is opened as the configuration files are: without waiting (a FIFO without
    // writer), and only when it is a regular file (a FIFO or a device would never end).
    nav::OpenResult replayFile;
    if (options.replay) {
        replayFile = nav::OpenRegularFile(*options.replay);
        if (replayFile.status != nav::ReadStatus::Ok) {
            const std::string name = options.replay->string();
            const std::string message =
                replayFile.status == nav::ReadStatus::NotRegular
                    ? "fichier à rejouer refusé : " + name + " (" + std::string(config::kNotRegularFile) + ")"
                    : "fichier à rejouer introuvable ou illisible : " + name;
            std::fprintf(stderr, "corvelnmea: %s\n", message.c_str());
            return 2;
        }
    }
    // Messages go to standard error, questions are answered "N", file choosers are cancelled.
    app::QuietDialogs dialogs([](const std::string& text) { std::fprintf(stderr, "corvelnmea: %s\n", text.c_str()); });
    links::QtSerialPlatform serial;
    app::Program program(dialogs,
                         options.noSettings ? config::StartupFolders{programFolder, {}, {}}
                                            : config::FoldersFromEnvironment(programFolder),
                         serial);
    // Without a polar the boat cannot move: the start-up has said why on standard error.
    if (!program.Polar.Loaded()) return 1;
    app::TFCorvel& w = program.FCorvel;
    w.Shown = false;  // nothing shows the window: the tick writes no display
    if (options.config) w.OpenConfiguration(*options.config, config.file);
    HeadlessLinks links(program, serial);
    if (const int code = links.Start(options); code != 0) return code;
    if (options.faults) program.Out.SetFaults(*options.faults);

    // The wall clock: simulated from --start, or from now when running fast (so that the time
    // stamps follow simulated time); the system's in real time. A simulated clock ends the run
    // at the last instant a date can write.
    std::optional<app::SimulatedClock> simulated;
    sim::Millis clockEnd = -1;
    if (!options.replay && (options.start || options.fast)) {
        const app::LocalDateTime start = options.start ? *options.start : app::SystemClock().Now();
        simulated.emplace(w.Timers, start);
        program.Out.SetClock(*simulated);
        clockEnd = app::MillisBetween(start, app::kLastInstant);
    }

    // Outputs. No log is kept in memory: a headless run's memory does not grow with its duration.
    LineOutput standardOutput, raw, stamped;
    for (auto [path, file] : {std::pair{options.log, &raw}, std::pair{options.logStamped, &stamped}}) {
        if (path && !file->Open(*path)) {
            const int error = errno;
            std::error_code ec;
            const std::string reason = error == ENXIO && std::filesystem::is_fifo(*path, ec)
                                           ? std::string("aucun programme ne lit ce tube nommé")
                                           : app::SystemReason(error);
            std::fprintf(stderr, "corvelnmea: impossible d'écrire le journal %s : %s\n", path->string().c_str(),
                         reason.c_str());
            return 1;
        }
    }
    w.MemoNMEA.SetKeepLines(false);
    w.MemoNMEAHMS.SetKeepLines(false);
    if (options.log) w.MemoNMEA.SetStream([&raw](std::string_view line) { raw.Write(line); });
    if (options.logStamped) w.MemoNMEAHMS.SetStream([&stamped](std::string_view line) { stamped.Write(line); });
    // A serial device that stops taking the sentences is said once; its count comes at the end.
    program.Out.OnSerialStall = [](const std::string& notice) {
        std::fprintf(stderr, "corvelnmea: %s\n", notice.c_str());
    };
    if (options.stdoutOutput) {
        standardOutput.AttachStandardOutput();
        program.Out.OnSentence = [&standardOutput](app::SentenceKindOrNone, std::string_view sentence) {
            standardOutput.Write(sentence);
        };
    }
    LineOutput* const outputs[] = {&standardOutput, &raw, &stamped};
    auto flush = [&] {
        for (LineOutput* o : outputs) o->Flush();
    };
    // With --fast, the simulation waits while a reader is behind (the loop goes on serving the
    // control port and the stop signals).
    auto backlogged = [&] {
        return std::any_of(std::begin(outputs), std::end(outputs), [](LineOutput* o) { return o->Backlogged(); });
    };
    // Once every output has failed, a run without links has nothing left to do.
    const bool anyLink = options.tcpPort || options.udpAddress || options.serialDevice;
    auto outputLeft = [&] { return anyLink || standardOutput.Active() || raw.Active() || stamped.Active(); };

    g_stopSignal.store(0);
    HandleSignals();

    sim::Simulator& engine = program.Engine;
    std::optional<app::ReplayPlayer> replay;
    const std::function<void(std::string_view)> toRoads = [&w](std::string_view sentence) { w.SendSentence(sentence); };
    if (options.replay) {
        // No simulation: the stamped log carries the wall time.
        const app::StopAsked stop = [] { return g_stopSignal.load() != 0; };
        replay.emplace(app::FileSource(std::make_shared<nav::FileDescriptor>(std::move(replayFile.file)), stop),
                       app::ReplayPlayer::Timing{options.fast, options.rate}, stop);
    } else {
        engine.Start(w.ReadConditions());  // "SIMULER"
    }

    // --control: one command a line, answered between slices of simulated time.
    std::optional<links::QtControlServer> control;
    if (options.controlPort) {
        const app::ControlledRun controlled = replay ? app::ControlledRun::Replay : app::ControlledRun::Simulation;
        control.emplace(controlAddress, [&w, controlled](std::string_view line) {
            return app::AnswerControlLine(w, line, controlled);
        });
        if (std::string error; !control->Listen(*options.controlPort, error)) {
            std::fprintf(stderr, "corvelnmea: le port de commande ne peut pas écouter sur %s:%d : %s\n",
                         options.controlAddress.c_str(), *options.controlPort, error.c_str());
            return 1;
        }
    }

    // --do: each command at its instant of simulated time, after the timers due then.
    std::vector<sim::Timer> commandTimers(options.commands.size());
    auto runCommand = [&w](const ScheduledCommand& c) {
        if (!app::RunWindowCommand(w, c.command).empty()) {
            std::fprintf(stderr, "corvelnmea: --do %g:%s : commande indisponible à cet instant\n", c.seconds,
                         c.command.c_str());
        }
    };
    for (size_t i = 0; i < options.commands.size(); ++i) {
        const ScheduledCommand& c = options.commands[i];
        const auto at = static_cast<sim::Millis>(std::llround(c.seconds * 1000));
        if (at <= 0) {
            runCommand(c);
            continue;
        }
        commandTimers[i] = w.Timers.Add("--do", at, [&commandTimers, &runCommand, &c, i] {
            commandTimers[i].Stop();
            runCommand(c);
        });
        commandTimers[i].Start();
    }

    const sim::Millis durationEnd = options.durationSeconds ? DurationMillis(*options.durationSeconds) : -1;
    const sim::Millis end = clockEnd >= 0 && (durationEnd < 0 || clockEnd < durationEnd) ? clockEnd : durationEnd;
    auto finished = [&] {
        return g_stopSignal.load() != 0 || (end >= 0 && w.Timers.Now() >= end) || !outputLeft() ||
               (replay && replay->Done());
    };
    // A replay's slice: the sentences of about a simulated second.
    constexpr int kReplaySlice = 32;
    // The most sentences a real-time replay sends at one pump (every 5 ms): more than --rate's
    // largest 100000 a second needs, and few enough that a file whose stamps repeat or go back,
    // all due at once, still leaves the event loop to the control port and to a stop signal.
    constexpr int kReplayBurst = 1000;
    // Fires everything due up to `limit`, and not past the end.
    auto runUntil = [&](sim::Millis limit) {
        if (end >= 0) limit = std::min(limit, end);
        if (limit > w.Timers.Now()) w.Timers.Advance(limit - w.Timers.Now());
    };

    QTimer pump;
    QElapsedTimer wall;
    sim::Millis flushedAt = 0;
    if (options.fast) {
        // Slices of simulated time between which the event loop serves the links. The outputs go
        // out at least every kFastFlushMillis of wall time (and whenever a buffer fills), so
        // that a run killed abruptly leaves whole lines in order. While a reader is behind, the
        // pump waits for it at most kWaitMillis at a time, then lets the loop serve the rest.
        constexpr sim::Millis kFastFlushMillis = 100;
        constexpr int kWaitMillis = 5;
        constexpr qint64 kFastSliceNanos = 1'000'000;
        pump.setInterval(0);
        QObject::connect(&pump, &QTimer::timeout, [&] {
            if (backlogged()) {
                pollfd ready[std::size(outputs)];
                nfds_t count = 0;
                for (LineOutput* o : outputs) {
                    if (o->Backlogged()) ready[count++] = o->Readiness();
                }
                ::poll(ready, count, kWaitMillis);
                flush();
            }
            if (backlogged()) {
                // nothing more before the reader takes what waits
            } else if (replay) {
                replay->SendDue(toRoads, 0, kReplaySlice);
            } else {
                // Whole simulated seconds for about a millisecond of wall time: the loop's own cost
                // (a dispatch and a look at the sockets) falls on many seconds, and the links and a
                // stop signal are still served every millisecond or so.
                const qint64 sliceEnd = wall.nsecsElapsed() + kFastSliceNanos;
                do {
                    runUntil(w.Timers.Now() + 1000);
                } while (!finished() && !backlogged() && wall.nsecsElapsed() < sliceEnd);
            }
            if (const sim::Millis now = wall.elapsed(); now - flushedAt >= kFastFlushMillis) {
                flush();
                flushedAt = now;
            }
            if (finished()) qapp.quit();
        });
    } else {
        pump.setTimerType(Qt::PreciseTimer);
        pump.setInterval(5);
        QObject::connect(&pump, &QTimer::timeout, [&] {
            // A process that was held (suspended, overloaded) fires its late timers once, as GUI
            // timers do, instead of replaying the lost seconds; never past the end.
            const sim::Millis target = wall.elapsed();
            if (replay) {
                replay->SendDue(toRoads, static_cast<double>(wall.nsecsElapsed()) / 1e6, kReplayBurst);
            } else {
                w.Timers.FollowClock(end >= 0 ? std::min(target, end) : target);
            }
            flush();
            if (finished()) qapp.quit();
        });
    }
    wall.start();
    // A real-time replay sends its first sentences at once: the others keep their distance to them.
    if (replay && !options.fast) replay->SendDue(toRoads, 0, kReplayBurst);
    pump.start();
    if (!finished()) qapp.exec();
    pump.stop();
    // What the readers have not taken yet: waited for while they read, at most a second after a
    // stop signal; what is left is counted on standard error.
    const LineOutput::Clock::time_point until = g_stopSignal.load() != 0
                                                    ? LineOutput::Clock::now() + LineOutput::kDrainIdle
                                                    : LineOutput::Clock::time_point::max();
    for (LineOutput* o : outputs) {
        o->Drain(until);
        o->ReportUnwritten();
    }
    // A sentence begun on the serial port is finished if the device takes it before then.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(
        std::min(until, LineOutput::Clock::now() + LineOutput::kDrainIdle) - LineOutput::Clock::now());
    const bool serialCut = program.ComPorts.FinishWrite(std::max(left, std::chrono::milliseconds(0))).status ==
                           app::WriteResult::Status::Incomplete;
    const long long serialLost = program.Out.SerialLost();
    for (const auto& [said, text] :
         {std::pair{serialLost > 0, app::SerialStallText::Summary}, std::pair{serialCut, app::SerialStallText::Cut}}) {
        if (said) {
            std::fprintf(stderr, "corvelnmea: %s\n",
                         app::SerialStallMessage(text, program.ComPorts.CurrentPortLabel(), serialLost).c_str());
        }
    }
    if (g_stopSignal.load() == 0 && end >= 0 && end != durationEnd && w.Timers.Now() >= end) {
        std::fprintf(stderr,
                     "corvelnmea: l'horloge simulée atteint la fin de l'an 9999, dernière date que les phrases "
                     "savent écrire : fin de la simulation\n");
    }
    if (replay) {
        std::fprintf(stderr, "corvelnmea: %s\n", replay->Summary().c_str());
    }
    if (serialLost > 0 || serialCut || std::any_of(std::begin(outputs), std::end(outputs), [](const LineOutput* o) {
            return o->Failed() || o->Incomplete();
        })) {
        return 1;
    }
    return g_stopSignal.load() == SIGQUIT ? kQuitExitCode : 0;
}

}  // namespace corvel::headless
