// The headless run; see Headless.h.
#include "main/Headless.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "app/ConfigFiles.h"
#include "app/FMX_UARTManag.h"
#include "app/Program.h"
#include "app/Un_Wifi.h"
#include "config/Folders.h"
#include "links/QtNetLink.h"
#include "links/QtSerialPort.h"
#include "nav/ValidFloat.h"

namespace corvel::headless {

namespace {

std::atomic<bool> g_stop{false};

extern "C" void OnStopSignal(int) { g_stop.store(true); }

// --tcp [ADDRESS:]PORT, --udp ADDRESS:PORT, --serial DEVICE[:BAUD]: the French message refusing
// the value, or "".
std::string ParseTcp(const std::string& text, Options& o) {
    const size_t colon = text.rfind(':');
    const std::string address = colon == std::string::npos ? "" : text.substr(0, colon);
    const auto port = app::ParsePort(colon == std::string::npos ? text : text.substr(colon + 1));
    if (!port || (colon != std::string::npos && !app::ParseIPv4(address))) {
        return "valeur invalide pour --tcp : " + text + " (PORT de 1 à 65535, ou ADRESSE_IPV4:PORT)";
    }
    o.tcpPort = *port;
    o.tcpAddress = address;
    return {};
}

std::string ParseUdp(const std::string& text, Options& o) {
    const size_t colon = text.rfind(':');
    const auto port = colon == std::string::npos ? std::nullopt : app::ParsePort(text.substr(colon + 1));
    if (!port || !app::ParseIPv4(text.substr(0, colon))) {
        return "valeur invalide pour --udp : " + text + " (ADRESSE_IPV4:PORT, par exemple 192.168.137.1:10110)";
    }
    o.udpAddress = text.substr(0, colon);
    o.udpPort = *port;
    return {};
}

std::string ParseSerial(const std::string& text, Options& o) {
    const size_t colon = text.rfind(':');
    std::string device = text;
    if (colon != std::string::npos) {
        const std::string baud = text.substr(colon + 1);
        if (baud.empty() || baud.size() > 6 || baud.find_first_not_of("0123456789") != std::string::npos) {
            return "valeur invalide pour --serial : " + text + " (PERIPHERIQUE ou PERIPHERIQUE:DEBIT)";
        }
        o.serialBaud = std::stoi(baud);
        device = text.substr(0, colon);
    }
    if (device.empty()) return "valeur invalide pour --serial : " + text + " (PERIPHERIQUE ou PERIPHERIQUE:DEBIT)";
    o.serialDevice = device;
    return {};
}

// --do: the commands, each the click of a control of the window, refused at an instant when the
// control is disabled (as the window would refuse it).
struct ButtonCommand {
    const char* name;
    app::Button app::TFCorvel::*button;
    void (app::TFCorvel::*click)();
};
constexpr ButtonCommand kButtonCommands[] = {
    {"VIRER", &app::TFCorvel::SBtVire, &app::TFCorvel::SBtVireClick},
    {"EMPANNER", &app::TFCorvel::SBtEmp, &app::TFCorvel::SBtEmpClick},
    {"MEILLEUR_PRES", &app::TFCorvel::BtBestHaul, &app::TFCorvel::BtBestHaulClick},
    {"AUTO", &app::TFCorvel::SpBTAUTO, &app::TFCorvel::SpBtAUTOClick},
    {"STDBY", &app::TFCorvel::SpBtStdBY, &app::TFCorvel::SpBtStdBYClick},
    {"+1", &app::TFCorvel::SpBtR, &app::TFCorvel::SpBtRClick},
    {"+10", &app::TFCorvel::SpBt10R, &app::TFCorvel::SpBt10RClick},
    {"-1", &app::TFCorvel::SpBtL, &app::TFCorvel::SpBtLClick},
    {"-10", &app::TFCorvel::SpBT10L, &app::TFCorvel::SpBT10LClick},
};
constexpr const char* kPause = "PAUSE";
constexpr const char* kResume = "REPRISE";
constexpr std::string_view kTiller = "BARRE=";

// The tiller position of "BARRE=N", N a whole number 0..30; nothing for another text.
std::optional<int> TillerPosition(std::string_view command) {
    if (!command.starts_with(kTiller)) return std::nullopt;
    const std::string_view digits = command.substr(kTiller.size());
    if (digits.empty() || digits.size() > 2) return std::nullopt;
    int n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n > sim::kTillerMax) return std::nullopt;
    return n;
}

// "TIME:COMMAND" -> the scheduled command, or the French message refusing it.
std::string ParseDo(const std::string& text, ScheduledCommand& out) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos) return "--do attend TEMPS:COMMANDE : " + text;
    const auto seconds = nav::ParseDotNumber(text.substr(0, colon));
    if (!seconds || !std::isfinite(static_cast<double>(*seconds)) || *seconds < 0) {
        return "temps invalide dans --do " + text + " (un nombre de secondes simulées, 0 ou plus)";
    }
    out.seconds = static_cast<double>(*seconds);
    out.command = text.substr(colon + 1);
    const std::string& c = out.command;
    bool known = c == kPause || c == kResume;
    for (const ButtonCommand& b : kButtonCommands) known = known || c == b.name;
    if (known || TillerPosition(c)) return {};
    if (c.starts_with(kTiller)) {
        return "position de barre invalide dans --do " + text + " (BARRE=N, N entier de 0 à 30)";
    }
    return "commande inconnue dans --do " + text +
           " (VIRER, EMPANNER, MEILLEUR_PRES, AUTO, STDBY, +1, +10, -1, -10, BARRE=N, PAUSE, REPRISE)";
}

// Runs one command now, as a click on its control; false when the control is disabled.
bool RunCommand(app::TFCorvel& w, const std::string& command) {
    for (const ButtonCommand& b : kButtonCommands) {
        if (command != b.name) continue;
        if (!(w.*b.button).enabled) return false;
        (w.*b.click)();
        return true;
    }
    if (command == kPause || command == kResume) {
        if (!w.SpBtPauseRes.enabled || w.S.Paused != (command == kResume)) return false;
        w.SpBtPauseResClick();
        return true;
    }
    if (const auto tiller = TillerPosition(command); tiller && w.TrackBarre.enabled) {
        w.TrackBarre.value = *tiller;
        return true;
    }
    return false;
}

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
           "  --do TEMPS:COMMANDE       à TEMPS secondes simulées après le départ, la commande de la\n"
           "                            fenêtre : VIRER, EMPANNER, MEILLEUR_PRES, AUTO, STDBY, +1, +10,\n"
           "                            -1, -10, BARRE=N (0 à 30), PAUSE, REPRISE (option répétable)\n"
           "  --config FICHIER          ouvre ce fichier de configuration (comme « Ouvrir »)\n"
           "  --no-settings             ne lit pas le fichier de réglages CorvelNMEA.ini\n"
           "                            (sortie reproductible)\n"
           "  --tcp [ADRESSE:]PORT      serveur TCP sur PORT (toutes les adresses IPv4 de la machine, ou\n"
           "                            ADRESSE seule) ; chaque phrase au dernier client, suivie de CR LF\n"
           "  --udp ADRESSE:PORT        une trame UDP par phrase vers l'adresse de diffusion d'ADRESSE\n"
           "                            (dernier nombre remplacé par 255)\n"
           "  --serial PERIPH[:DEBIT]   port série (par exemple /dev/ttyUSB0:4800 ; 4800 bauds par défaut),\n"
           "                            8 bits, sans parité, 1 bit de stop ; chaque phrase précédée de CR LF\n"
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
        } else if (a == "--do") {
            if (!value(v)) return r;
            ScheduledCommand c;
            r.error = ParseDo(v, c);
            if (!r.error.empty()) return r;
            o.commands.push_back(std::move(c));
        } else if (a == "--config") {
            if (!value(v)) return r;
            o.config = v;
        } else if (a == "--no-settings") {
            o.noSettings = true;
        } else if (a == "--tcp" || a == "--udp" || a == "--serial") {
            if (!value(v)) return r;
            r.error = a == "--tcp" ? ParseTcp(v, o) : a == "--udp" ? ParseUdp(v, o) : ParseSerial(v, o);
            if (!r.error.empty()) return r;
        } else {
            r.error = "option inconnue : " + a + " (voir --help)";
            return r;
        }
    }
    if (!o.log && !o.logStamped && !o.tcpPort && !o.udpAddress && !o.serialDevice) o.stdoutOutput = true;
    return r;
}

namespace {

// The links of a run, set up as the window's commands set them up: the WiFi dialog launched in
// TCP or in UDP (both may run, each with a dialog of its own), the serial port chosen in the list.
class HeadlessLinks : public app::NetOutput {
public:
    HeadlessLinks(app::TFCorvel& w, app::Dialogs& dialogs, const config::IniFile& settings)
        : w_(w), dialogs_(dialogs), ports_(serial_, dialogs, app::ComDeviceOverrides(settings)) {}

    // 0, or the exit code once one line on standard error said why.
    int Start(const Options& o) {
        if (o.serialDevice) {
            const auto& rates = w_.CBbauds.items;
            const auto rate = std::find(rates.begin(), rates.end(), std::to_string(o.serialBaud));
            if (rate == rates.end()) {
                std::string list;
                for (const auto& r : rates) list += (list.empty() ? "" : ", ") + r;
                std::fprintf(stderr, "corvelnmea: débit invalide pour --serial : %d (%s)\n", o.serialBaud, list.c_str());
                return 2;
            }
            if (!serial_.OpenDevice(*o.serialDevice)) {
                std::fprintf(stderr, "corvelnmea: port série indisponible (absent, occupé ou refusé) : %s\n",
                             o.serialDevice->c_str());
                return 1;
            }
            w_.CBbauds.itemIndex = static_cast<int>(rate - rates.begin());
            ports_.SetDeviceOverrides({{"COM1", *o.serialDevice}});
            w_.AttachComPorts(ports_);
            w_.CBCom.itemIndex = 0;
            w_.CBComSelect();
            if (!w_.ComLinkOpen) return 1;
        }
        if (o.tcpPort) {
            tcpLink_.emplace(o.tcpAddress.empty() ? QHostAddress(QHostAddress::AnyIPv4)
                                                  : QHostAddress(QString::fromStdString(o.tcpAddress)));
            tcp_.emplace(w_, dialogs_);
            tcp_->SetNetLink(&*tcpLink_);
            tcp_->EdPort.text = std::to_string(*o.tcpPort);
            tcp_->BtLanceServeurClick();
            if (!tcpLink_->ServerListening()) return 1;
        }
        if (o.udpAddress) {
            udpLink_.emplace();
            udp_.emplace(w_, dialogs_);
            udp_->SetNetLink(&*udpLink_);
            udp_->RadioButtonUDPChange();
            udp_->EdAdIP.text = *o.udpAddress;
            udp_->EdPort.text = std::to_string(o.udpPort);
            udp_->BtLanceServeurClick();
        }
        if (tcp_ && udp_) {
            w_.Wifi = this;
        } else if (tcp_ || udp_) {
            w_.AttachWifiDialog(tcp_ ? *tcp_ : *udp_);
        }
        return 0;
    }

    // Both network links at once: the sentence to each.
    app::WriteResult TransmitSentence(std::string_view sentence) override {
        const app::WriteResult tcp = tcp_->TransmitSentence(sentence);
        const app::WriteResult udp = udp_->TransmitSentence(sentence);
        return udp.status == app::WriteResult::Status::Failed ? udp : tcp;
    }

private:
    app::TFCorvel& w_;
    app::Dialogs& dialogs_;
    links::QtSerialPlatform serial_;
    app::UARTManag ports_;
    std::optional<links::QtNetLink> tcpLink_, udpLink_;
    std::optional<app::TFParamWIFI> tcp_, udp_;  // after their links: they leave first
};

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
    // Messages go to standard error, questions are answered "N", file choosers are cancelled.
    app::QuietDialogs dialogs([](const std::string& text) { std::fprintf(stderr, "corvelnmea: %s\n", text.c_str()); });
    app::Program program(dialogs, options.noSettings ? config::StartupFolders{programFolder, {}, {}}
                                                     : config::FoldersFromEnvironment(programFolder));
    // Without a polar the boat cannot move: the start-up has said why on standard error.
    if (!program.Polar.Loaded()) return 1;
    app::TFCorvel& w = program.FCorvel;
    if (options.config) w.OpenConfiguration(*options.config, config.file);
    HeadlessLinks links(w, dialogs, program.Settings);
    if (const int code = links.Start(options); code != 0) return code;

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

    // --do: each command at its instant of simulated time, after the timers due then.
    std::vector<app::Timer> commandTimers(options.commands.size());
    auto runCommand = [&w](const ScheduledCommand& c) {
        if (!RunCommand(w, c.command)) {
            std::fprintf(stderr, "corvelnmea: --do %g:%s : commande indisponible à cet instant\n", c.seconds,
                         c.command.c_str());
        }
    };
    for (size_t i = 0; i < options.commands.size(); ++i) {
        const ScheduledCommand& c = options.commands[i];
        const auto at = static_cast<app::Millis>(std::llround(c.seconds * 1000));
        if (at <= 0) {
            runCommand(c);
            continue;
        }
        commandTimers[i] = w.Timers.add("--do", at, [&commandTimers, &runCommand, &c, i] {
            commandTimers[i].stop();
            runCommand(c);
        });
        commandTimers[i].start();
    }

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
