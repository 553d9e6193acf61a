// The headless run; see Headless.h.
#include "main/Headless.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <set>

#include "app/ConfigFiles.h"
#include "app/ControlCommands.h"
#include "app/NetworkDialogModel.h"
#include "app/Program.h"
#include "app/ReplayFeed.h"
#include "app/SerialPorts.h"
#include "config/Folders.h"
#include "links/QtControlServer.h"
#include "links/QtNetLink.h"
#include "links/QtSerialPort.h"
#include "nav/ValidFloat.h"

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

// --tcp and --control [ADDRESS:]PORT, --udp ADDRESS:PORT, --serial DEVICE[:BAUD]: the French
// message refusing the value, or "".
std::string ParseServer(const std::string& option, const std::string& text, std::optional<int>& port,
                        std::string& address) {
    const size_t colon = text.rfind(':');
    const std::string host = colon == std::string::npos ? "" : text.substr(0, colon);
    const auto number = app::ParsePort(colon == std::string::npos ? text : text.substr(colon + 1));
    if (!number || (colon != std::string::npos && !app::ParseIPv4(host))) {
        return "valeur invalide pour " + option + " : " + text + " (PORT de 1 à 65535, ou ADRESSE_IPV4:PORT)";
    }
    port = *number;
    if (colon != std::string::npos) address = host;
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

// --duration and the TIME of --do: a number of simulated seconds, 0 to kMaxSimulatedSeconds, so
// that its milliseconds fit the timer set's clock.
constexpr const char* kSecondsRange = "un nombre de secondes simulées, de 0 à 3155760000, soit 100 ans";

std::optional<double> ParseSimulatedSeconds(std::string_view text) {
    const auto seconds = nav::ParseDotNumber(text);
    if (!seconds || *seconds < 0 || *seconds > kMaxSimulatedSeconds) return std::nullopt;
    return static_cast<double>(*seconds);
}

// The simulated milliseconds after which a run of `seconds` ends.
sim::Millis DurationMillis(double seconds) { return static_cast<sim::Millis>(seconds * 1000 + 0.5); }

// "TIME:COMMAND" -> the scheduled command, or the French message refusing it.
std::string ParseDo(const std::string& text, ScheduledCommand& out) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos) return "--do attend TEMPS:COMMANDE : " + text;
    const auto seconds = ParseSimulatedSeconds(text.substr(0, colon));
    if (!seconds) return "temps invalide dans --do " + text + " (" + kSecondsRange + ")";
    out.seconds = *seconds;
    out.command = text.substr(colon + 1);
    const std::string& c = out.command;
    if (app::IsWindowCommand(c)) return {};
    if (c.starts_with("BARRE=")) {
        return "position de barre invalide dans --do " + text + " (BARRE=N, N entier de 0 à 30)";
    }
    return "commande inconnue dans --do " + text + " (" + app::kWindowCommandNames + ")";
}

// --faults LIST: the French message refusing the list, naming its bad item, or "".
std::string ParseFaults(const std::string& text, Options& o) {
    using E = nmea::FaultListError;
    const nmea::FaultListParse r = nmea::ParseFaultList(text, kMaxSimulatedSeconds);
    const std::string item = "« " + r.item + " »";
    switch (r.error) {
        case E::None: o.faults = r.settings; return {};
        case E::Empty: return "élément vide dans --faults " + text + " (NOM=VALEUR séparés par des virgules)";
        case E::UnknownKind:
            return "défaut inconnu dans --faults : " + item +
                   " (checksum, drop, truncate, duplicate, garbage, nofix ou seed)";
        case E::NoValue: return "valeur manquante dans --faults : " + item + " (NOM=VALEUR)";
        case E::Repeated: return "défaut donné deux fois dans --faults : " + item;
        case E::BadProbability: return "probabilité invalide dans --faults : " + item + " (un nombre de 0 à 1)";
        case E::BadWindow:
            return "perte de position invalide dans --faults : " + item + " (nofix=DEBUT:DUREE, " + kSecondsRange + ")";
        case E::BadSeed: return "graine invalide dans --faults : " + item + " (un entier de 0 à 18446744073709551615)";
        case E::ProbabilitiesOver:
            return "les probabilités de --faults dépassent 1 au total : " + item + " (un seul défaut par phrase)";
    }
    return {};
}

// --rate: sentences per second of a replay.
std::optional<double> ParseRate(std::string_view text) {
    const auto rate = nav::ParseDotNumber(text);
    if (!rate || !(*rate >= 0.001L && *rate <= 100000)) return std::nullopt;
    return static_cast<double>(*rate);
}

// The options that have no meaning with --replay (or without it): the French message, or "".
std::string ReplayConflict(const Options& o) {
    const bool replay = o.replay.has_value();
    if (!replay) return o.rate ? "--rate ne s'emploie qu'avec --replay" : "";
    const struct {
        bool given;
        const char* option;
        const char* why;
    } conflicts[] = {
        {!o.commands.empty(), "--do", "le rejeu ne simule pas le bateau"},
        {o.config.has_value(), "--config", "le rejeu ne simule pas le bateau"},
        {o.start.has_value(), "--start", "les phrases rejouées portent leurs propres heures"},
        {o.durationSeconds.has_value(), "--duration", "le rejeu s'arrête à la fin du fichier"},
        {o.faults && o.faults->noFix, "--faults nofix", "les phrases rejouées sont celles du fichier"},
        {o.fast && o.rate, "--rate", "--fast envoie déjà les phrases aussi vite que possible"},
    };
    for (const auto& c : conflicts) {
        if (c.given) return std::string(c.option) + " ne s'emploie pas avec --replay (" + c.why + ")";
    }
    return {};
}

}  // namespace

std::string Usage() {
    return "Utilisation : corvelnmea --headless [options]\n"
           "Simule le voilier sans fenêtre et émet les phrases NMEA 0183 choisies.\n"
           "\n"
           "  --stdout                  chaque phrase sur la sortie standard, suivie de CR LF\n"
           "                            (par défaut quand aucune autre sortie n'est nommée)\n"
           "  --duration SECONDES       durée simulée, puis fin (code 0) ; au plus 3155760000 (100 ans) ;\n"
           "                            sans elle, jusqu'à SIGINT, SIGTERM ou SIGHUP (code 0), SIGQUIT (code\n"
           "                            131) ou la fin de l'an 9999 ; chaque fois après une phrase entière\n"
           "  --fast                    aussi vite que possible au lieu du temps réel\n"
           "  --start AAAA-MM-JJTHH:MM:SS  heure locale simulée du départ (sortie reproductible) ; la\n"
           "                            simulation reste entre les années 0001 et 9999\n"
           "  --log FICHIER             journal NMEA brut, écrit au fil de l'eau (lignes CR LF)\n"
           "  --log-stamped FICHIER     journal NMEA horodaté, écrit au fil de l'eau\n"
           "  --do TEMPS:COMMANDE       à TEMPS secondes simulées après le départ (au plus 3155760000),\n"
           "                            la commande de la fenêtre : VIRER, EMPANNER, MEILLEUR_PRES, AUTO,\n"
           "                            STDBY, +1, +10, -1, -10, BARRE=N (0 à 30), PAUSE, REPRISE ; le\n"
           "                            courant : ALTERNE, CONSTANT\n"
           "                            (option répétable)\n"
           "  --config FICHIER          ouvre ce fichier de configuration et charge sa polaire (comme\n"
           "                            « Ouvrir »)\n"
           "  --no-settings             ne lit pas le fichier de réglages CorvelNMEA.ini\n"
           "                            (sortie reproductible)\n"
           "  --tcp [ADRESSE:]PORT      serveur TCP sur PORT (toutes les adresses IPv4 de la machine, ou\n"
           "                            ADRESSE seule) ; chaque phrase au dernier client, suivie de CR LF\n"
           "  --tcp-all                 avec --tcp, chaque phrase à tous les clients (au plus 8) ; un client\n"
           "                            qui ne lit pas est déconnecté quand 64 Kio l'attendent\n"
           "  --udp ADRESSE:PORT        une trame UDP par phrase vers l'adresse de diffusion d'ADRESSE\n"
           "                            (dernier nombre remplacé par 255), sans fin de ligne\n"
           "  --udp-crlf                avec --udp, chaque trame suivie de CR LF (pour gpsd)\n"
           "  --serial PERIPH[:DEBIT]   port série (par exemple /dev/ttyUSB0:4800 ; 4800 bauds par défaut),\n"
           "                            8 bits, sans parité, 1 bit de stop ; chaque phrase suivie de CR LF\n"
           "  --faults LISTE            défauts injectés dans les phrases envoyées, NOM=VALEUR séparés par des\n"
           "                            virgules : checksum=P (somme de contrôle fausse), drop=P (phrase\n"
           "                            supprimée), truncate=P (phrase tronquée), duplicate=P (phrase répétée),\n"
           "                            garbage=P (ligne d'octets au hasard), P probabilité par phrase de 0 à\n"
           "                            1, un défaut au plus par phrase ; nofix=DEBUT:DUREE (récepteur sans\n"
           "                            position de DEBUT à DEBUT+DUREE secondes simulées) ; seed=N (graine,\n"
           "                            1 par défaut : mêmes graine et départ, mêmes octets)\n"
           "  --replay FICHIER          rejoue un voyage enregistré au lieu de simuler : un journal horodaté\n"
           "                            du programme à ses heures enregistrées (aussi vite que possible\n"
           "                            avec --fast), ou un fichier NMEA simple à --rate ; les lignes qui\n"
           "                            ne sont pas des phrases sont ignorées et comptées ; sans --do,\n"
           "                            --config, --start, --duration ni nofix\n"
           "  --rate N                  avec --replay, N phrases par seconde (0.001 à 100000 ; 1 par défaut\n"
           "                            pour un fichier simple) au lieu des heures enregistrées\n"
           "  --control [ADRESSE:]PORT  port de commande TCP (sur 127.0.0.1 sauf ADRESSE donnée, 4 clients) :\n"
           "                            une ligne par commande (celles de --do, SET TWS|TWD|HDG|CURRENT|POS|WP,\n"
           "                            STATE), une ligne de réponse (OK, ERR raison, ou l'état en JSON)\n"
           "  --help                    cette aide\n"
           "  --version                 la version\n"
           "\n"
           "Chaque option à valeur, sauf --do, se donne une seule fois ; les journaux et la sortie standard\n"
           "vont dans des fichiers distincts. Une sortie qui ne peut plus être écrite est signalée aussitôt\n"
           "et s'arrête sur sa dernière phrase entière ; les autres continuent et la fin rend le code 1.\n";
}

ParseResult ParseOptions(const std::vector<std::string>& args) {
    ParseResult r;
    Options& o = r.options;
    std::set<std::string> given;  // the options with a value seen so far
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        // The option's value; only --do may come again.
        auto value = [&](std::string& out) {
            if (a != "--do" && !given.insert(a).second) {
                r.error = "l'option " + a + " est donnée deux fois (elle n'accepte qu'une valeur)";
                return false;
            }
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
        } else if (a == "--tcp-all") {
            o.tcpAll = true;
        } else if (a == "--udp-crlf") {
            o.udpLineEnds = true;
        } else if (a == "--help") {
            o.help = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "--duration") {
            if (!value(v)) return r;
            o.durationSeconds = ParseSimulatedSeconds(v);
            if (!o.durationSeconds) {
                r.error = "durée invalide : " + v + " (" + kSecondsRange + ")";
                return r;
            }
        } else if (a == "--start") {
            if (!value(v)) return r;
            o.start = app::ParseLocalDateTime(v);
            if (!o.start) {
                r.error = "heure de départ invalide : " + v + " (attendu AAAA-MM-JJTHH:MM:SS, années 0001 à 9999)";
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
        } else if (a == "--replay") {
            if (!value(v)) return r;
            o.replay = v;
        } else if (a == "--rate") {
            if (!value(v)) return r;
            o.rate = ParseRate(v);
            if (!o.rate) {
                r.error = "cadence invalide : " + v + " (phrases par seconde, de 0.001 à 100000)";
                return r;
            }
        } else if (a == "--no-settings") {
            o.noSettings = true;
        } else if (a == "--tcp" || a == "--control" || a == "--udp" || a == "--serial" || a == "--faults") {
            if (!value(v)) return r;
            r.error = a == "--tcp"       ? ParseServer(a, v, o.tcpPort, o.tcpAddress)
                      : a == "--control" ? ParseServer(a, v, o.controlPort, o.controlAddress)
                      : a == "--udp"     ? ParseUdp(v, o)
                      : a == "--serial"  ? ParseSerial(v, o)
                                         : ParseFaults(v, o);
            if (!r.error.empty()) return r;
        } else {
            r.error = "option inconnue : " + a + " (voir --help)";
            return r;
        }
    }
    if (o.start && o.durationSeconds &&
        DurationMillis(*o.durationSeconds) > app::MillisBetween(*o.start, app::kLastInstant)) {
        r.error =
            "--start et --duration mènent au-delà du 9999-12-31T23:59:59, dernière date que les phrases "
            "savent écrire";
        return r;
    }
    if (o.tcpAll && !o.tcpPort) {
        r.error = "--tcp-all demande --tcp [ADRESSE:]PORT";
        return r;
    }
    if (o.udpLineEnds && !o.udpAddress) {
        r.error = "--udp-crlf demande --udp ADRESSE:PORT";
        return r;
    }
    r.error = ReplayConflict(o);
    if (!o.log && !o.logStamped && !o.tcpPort && !o.udpAddress && !o.serialDevice) o.stdoutOutput = true;
    return r;
}

namespace {

// The links of a run, set up as the window's commands set them up: the WiFi dialog launched in
// TCP or in UDP (both may run, each with a dialog of its own), the serial port chosen in the list.
class HeadlessLinks : public app::NetOutput {
public:
    HeadlessLinks(app::Program& program, links::QtSerialPlatform& serial)
        : w_(program.FCorvel), dialogs_(program.dialogs), ports_(program.ComPorts), serial_(serial) {}

    // 0, or the exit code once one line on standard error said why.
    int Start(const Options& o) {
        if (o.serialDevice) {
            const auto& rates = w_.CBbauds.items;
            const auto rate = std::find(rates.begin(), rates.end(), std::to_string(o.serialBaud));
            if (rate == rates.end()) {
                std::string list;
                for (const auto& r : rates) list += (list.empty() ? "" : ", ") + r;
                std::fprintf(stderr, "corvelnmea: débit invalide pour --serial : %d (%s)\n", o.serialBaud,
                             list.c_str());
                return 2;
            }
            if (!serial_.OpenDevice(*o.serialDevice)) {
                std::fprintf(stderr, "corvelnmea: port série indisponible (absent, occupé ou refusé) : %s\n",
                             o.serialDevice->c_str());
                return 1;
            }
            w_.CBbauds.itemIndex = static_cast<int>(rate - rates.begin());
            ports_.SetDeviceOverrides({{"COM1", *o.serialDevice}});
            w_.RefreshComList();
            w_.CBCom.itemIndex = 0;
            w_.CBComSelect();
            if (!w_.ComLinkOpen) return 1;
        }
        if (o.tcpPort) {
            tcpLink_.emplace(o.tcpAddress.empty() ? QHostAddress(QHostAddress::AnyIPv4)
                                                  : QHostAddress(QString::fromStdString(o.tcpAddress)));
            tcp_.emplace(w_, dialogs_);
            tcp_->SetNetLink(&*tcpLink_);
            if (o.tcpAll) {
                tcp_->ChkTousClients.checked = true;  // the dialog's box ticked
                tcp_->ChkTousClientsClick();
            }
            tcp_->EdPort.text = std::to_string(*o.tcpPort);
            tcp_->BtLanceServeurClick();
            if (!tcpLink_->ServerListening()) return 1;
        }
        if (o.udpAddress) {
            udpLink_.emplace();
            udp_.emplace(w_, dialogs_);
            udp_->SetNetLink(&*udpLink_);
            udp_->RadioButtonUDPChange();
            if (o.udpLineEnds) {
                udp_->ChkCRLF.checked = true;  // the dialog's box ticked
                udp_->ChkCRLFClick();
            }
            udp_->EdAdIP.text = *o.udpAddress;
            udp_->EdPort.text = std::to_string(o.udpPort);
            udp_->BtLanceServeurClick();
        }
        if (tcp_ && udp_) {
            w_.Wifi = this;
        } else if (tcp_ || udp_) {
            w_.Wifi = tcp_ ? &*tcp_ : &*udp_;
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
    app::UARTManag& ports_;
    links::QtSerialPlatform& serial_;
    std::optional<links::QtNetLink> tcpLink_, udpLink_;
    std::optional<app::TFParamWIFI> tcp_, udp_;  // after their links: they leave first
};

// An output of lines, each followed by CR LF (standard output, a log), written with write(2).
// The lines gather in a buffer that goes out when it passes kFlushAt or on Flush, so the file only
// ever receives whole lines. The first failed write is reported at once on standard error with
// the system's reason; the part of a line it left is taken back (the file is truncated after the
// last whole line, where the file can be truncated) and the output writes nothing more.
class LineOutput {
public:
    static constexpr size_t kFlushAt = 64 * 1024;

    LineOutput() = default;
    LineOutput(const LineOutput&) = delete;
    LineOutput& operator=(const LineOutput&) = delete;
    ~LineOutput() {
        if (owned_) ::close(fd_);
    }

    // Creates or empties the log file; false, errno set, when it cannot be opened for writing.
    bool Open(const std::filesystem::path& path) {
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        owned_ = fd_ >= 0;
        Attach(fd_, "dans le journal " + path.string());
        return owned_;
    }
    // `where`, for the message: "sur la sortie standard".
    void Attach(int fd, std::string where) {
        fd_ = fd;
        where_ = std::move(where);
        buffer_.reserve(kFlushAt + 1024);
    }

    // Written to, and not failed.
    bool Active() const { return fd_ >= 0 && !failed_; }
    bool Failed() const { return failed_; }

    void Write(std::string_view line) {
        if (!Active()) return;
        buffer_.append(line);
        buffer_.append("\r\n", 2);
        if (buffer_.size() >= kFlushAt) Flush();
    }

    void Flush() {
        size_t written = 0;
        while (Active() && written < buffer_.size()) {
            const ssize_t n = ::write(fd_, buffer_.data() + written, buffer_.size() - written);
            if (n > 0) {
                written += static_cast<size_t>(n);
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                pollfd ready{fd_, POLLOUT, 0};  // a descriptor left non-blocking by whoever started us
                ::poll(&ready, 1, -1);
            } else if (n == 0 || errno != EINTR) {
                Fail(n == 0 ? EIO : errno, written);
            }
        }
        buffer_.clear();
    }

private:
    // `written`: the bytes of the buffer that went out before the failure.
    void Fail(int error, size_t written) {
        failed_ = true;
        const size_t lineEnd = std::string_view(buffer_.data(), written).rfind('\n');
        const auto cut = static_cast<off_t>(written - (lineEnd == std::string_view::npos ? 0 : lineEnd + 1));
        if (const off_t at = ::lseek(fd_, 0, SEEK_CUR); cut > 0 && at >= cut) {
            if (::ftruncate(fd_, at - cut) != 0) {
                // A device that cannot be truncated (/dev/full) keeps the part of a line.
            }
        }
        std::fprintf(stderr, "corvelnmea: écriture impossible %s : %s\n", where_.c_str(), std::strerror(error));
    }

    int fd_ = -1;
    bool owned_ = false;
    bool failed_ = false;
    std::string where_;
    std::string buffer_;
};

// --replay: the sentences of a recorded file handed to the window's roads, at their recorded
// instants (a time-stamped log), at a rate (a plain file, or --rate), or as fast as possible. The
// first sentence of the file decides: stamped, the recorded timing; plain, the rate. A stamp that
// goes back in time sends its sentence at once; a plain sentence in a stamped file goes with the
// one before. Lines are read as they are needed: memory does not grow with the file.
class Replayer {
public:
    static constexpr size_t kLongestLine = 4096;  // longer lines are skipped without being kept

    Replayer(std::istream& in, const Options& o) : in_(in), fast_(o.fast), rate_(o.rate) { ReadNext(); }

    bool Done() const { return !pending_; }
    long long Sent() const { return sent_; }
    long long Skipped() const { return skipped_; }

    // Sends the sentences due `elapsedMillis` after the first one (every one with --fast), at most
    // `limit` of them; stops early when an output fails the sentence's group, as the emitter does.
    void SendDue(app::TFCorvel& w, double elapsedMillis, int limit) {
        for (int n = 0; n < limit && pending_ && (fast_ || dueMillis_ <= elapsedMillis); ++n) {
            w.SendSentence(pending_->sentence);
            ++sent_;
            ReadNext();
        }
    }

private:
    // The next sentence of the file and its instant, skipping (and counting) the other lines.
    void ReadNext() {
        pending_.reset();
        std::streambuf& in = *in_.rdbuf();
        while (!pending_) {
            line_.clear();
            bool tooLong = false;
            int c = in.sbumpc();
            if (c == std::char_traits<char>::eof()) return;
            for (; c != std::char_traits<char>::eof() && c != '\n'; c = in.sbumpc()) {
                if (line_.size() < kLongestLine) {
                    line_ += static_cast<char>(c);
                } else {
                    tooLong = true;
                }
            }
            if (!tooLong) pending_ = app::ReadReplayLine(line_);
            if (!pending_) ++skipped_;
        }
        if (!firstStamp_ && !rate_) {
            // The first sentence chooses the timing: its stamp, or a plain file's one a second.
            if (pending_->stampMillis) {
                firstStamp_ = *pending_->stampMillis;
            } else {
                rate_ = 1;
            }
        }
        if (rate_) {
            dueMillis_ = static_cast<double>(sent_) * 1000 / *rate_;
        } else if (pending_->stampMillis) {
            dueMillis_ = std::max(dueMillis_, static_cast<double>(*pending_->stampMillis - *firstStamp_));
        }
    }

    std::istream& in_;
    const bool fast_;
    std::optional<double> rate_;
    std::optional<std::int64_t> firstStamp_;
    std::string line_;
    std::optional<app::ReplayLine> pending_;  // its view is into line_
    double dueMillis_ = 0;
    long long sent_ = 0, skipped_ = 0;
};

// A key for the file a name leads to, equal for two names of one file: its device and inode when
// it exists, else the path it would be created at (links followed, a link to a file not yet there
// too); empty for a character device (a terminal, /dev/null), which keeps nothing.
std::string KeyOf(const struct stat& st) {
    if (S_ISCHR(st.st_mode)) return {};
    return "inode " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

std::string FileKey(const std::filesystem::path& name) {
    if (struct stat st{}; ::stat(name.c_str(), &st) == 0) return KeyOf(st);
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path path = fs::absolute(name, ec);
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(path, ec)); ++hops) {
        const fs::path target = fs::read_symlink(path, ec);
        if (ec) break;
        path = path.parent_path() / target;  // an absolute target replaces the whole path
    }
    const fs::path canonical = fs::weakly_canonical(path, ec);
    return "path " + (ec ? path.lexically_normal() : canonical).string();
}

// The French message refusing two outputs that would write into one file (the two logs, or a log
// and the file standard output goes to), or "".
std::string SameFileError(const Options& o) {
    std::vector<std::pair<std::string, std::string>> outputs;  // key, name in the message
    if (o.replay) outputs.emplace_back(FileKey(*o.replay), "--replay " + o.replay->string());
    if (o.log) outputs.emplace_back(FileKey(*o.log), "--log " + o.log->string());
    if (o.logStamped) outputs.emplace_back(FileKey(*o.logStamped), "--log-stamped " + o.logStamped->string());
    if (struct stat st{}; o.stdoutOutput && ::fstat(STDOUT_FILENO, &st) == 0) {
        outputs.emplace_back(KeyOf(st), "la sortie standard");
    }
    for (size_t i = 0; i < outputs.size(); ++i) {
        for (size_t j = i + 1; j < outputs.size(); ++j) {
            if (!outputs[i].first.empty() && outputs[i].first == outputs[j].first) {
                return outputs[i].second + " et " + outputs[j].second +
                       (o.replay && i == 0 ? " sont le même fichier : le rejeu le lirait en l'écrasant"
                                           : " écriraient dans le même fichier") +
                       " (donnez-leur des fichiers différents)";
            }
        }
    }
    return {};
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
    std::ifstream replayFile;
    if (options.replay) {
        std::error_code ec;
        if (!std::filesystem::is_directory(*options.replay, ec)) replayFile.open(*options.replay, std::ios::binary);
        if (!replayFile.is_open()) {
            std::fprintf(stderr, "corvelnmea: fichier à rejouer introuvable ou illisible : %s\n",
                         options.replay->string().c_str());
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
    if (options.config) w.OpenConfiguration(*options.config, config.file);
    HeadlessLinks links(program, serial);
    if (const int code = links.Start(options); code != 0) return code;
    std::optional<nmea::FaultInjector> faults;
    if (options.faults) w.SetFaults(&faults.emplace(*options.faults));

    // The wall clock: simulated from --start, or from now when running fast (so that the time
    // stamps follow simulated time); the system's in real time. A simulated clock ends the run
    // at the last instant a date can write.
    std::optional<app::SimulatedClock> simulated;
    sim::Millis clockEnd = -1;
    if (!options.replay && (options.start || options.fast)) {
        const app::LocalDateTime start = options.start ? *options.start : app::SystemClock().Now();
        simulated.emplace(w.Timers, start);
        w.SetClock(*simulated);
        clockEnd = app::MillisBetween(start, app::kLastInstant);
    }

    // Outputs. No log is kept in memory: a headless run's memory does not grow with its duration.
    LineOutput standardOutput, raw, stamped;
    for (auto [path, file] : {std::pair{options.log, &raw}, std::pair{options.logStamped, &stamped}}) {
        if (path && !file->Open(*path)) {
            std::fprintf(stderr, "corvelnmea: impossible d'écrire le journal %s : %s\n", path->string().c_str(),
                         std::strerror(errno));
            return 1;
        }
    }
    w.MemoNMEA.SetKeepLines(false);
    w.MemoNMEAHMS.SetKeepLines(false);
    if (options.log) w.MemoNMEA.SetStream([&raw](std::string_view line) { raw.Write(line); });
    if (options.logStamped) w.MemoNMEAHMS.SetStream([&stamped](std::string_view line) { stamped.Write(line); });
    if (options.stdoutOutput) {
        standardOutput.Attach(STDOUT_FILENO, "sur la sortie standard");
        w.OnSentence = [&standardOutput](std::string_view sentence) { standardOutput.Write(sentence); };
    }
    auto flush = [&] {
        standardOutput.Flush();
        raw.Flush();
        stamped.Flush();
    };
    // Once every output has failed, a run without links has nothing left to do.
    const bool anyLink = options.tcpPort || options.udpAddress || options.serialDevice;
    auto outputLeft = [&] { return anyLink || standardOutput.Active() || raw.Active() || stamped.Active(); };

    g_stopSignal.store(0);
    HandleSignals();

    sim::Simulator& engine = program.Engine;
    std::optional<Replayer> replay;
    if (options.replay) {
        replay.emplace(replayFile, options);  // no simulation: the stamped log carries the wall time
    } else {
        engine.Start(w.ReadConditions());  // "SIMULER"
    }

    // --control: one command a line, answered between slices of simulated time.
    std::optional<links::QtControlServer> control;
    if (options.controlPort) {
        control.emplace(QHostAddress(QString::fromStdString(options.controlAddress)),
                        [&w](std::string_view line) { return app::AnswerControlLine(w, line); });
        if (std::string error; !control->Listen(*options.controlPort, error)) {
            std::fprintf(stderr, "corvelnmea: le port de commande ne peut pas écouter sur %s:%d : %s\n",
                         options.controlAddress.c_str(), *options.controlPort, error.c_str());
            return 1;
        }
    }

    // --do: each command at its instant of simulated time, after the timers due then.
    std::vector<sim::Timer> commandTimers(options.commands.size());
    auto runCommand = [&w](const ScheduledCommand& c) {
        if (!app::RunWindowCommand(w, c.command)) {
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
        // that a run killed abruptly leaves whole lines in order.
        constexpr sim::Millis kFastFlushMillis = 100;
        pump.setInterval(0);
        QObject::connect(&pump, &QTimer::timeout, [&] {
            if (replay) {
                replay->SendDue(w, 0, kReplaySlice);
            } else {
                runUntil(w.Timers.Now() + 1000);
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
                replay->SendDue(w, static_cast<double>(wall.nsecsElapsed()) / 1e6, std::numeric_limits<int>::max());
            } else {
                w.Timers.FollowClock(end >= 0 ? std::min(target, end) : target);
            }
            flush();
            if (finished()) qapp.quit();
        });
    }
    wall.start();
    // A real-time replay sends its first sentences at once: the others keep their distance to them.
    if (replay && !options.fast) replay->SendDue(w, 0, std::numeric_limits<int>::max());
    pump.start();
    if (!finished()) qapp.exec();
    pump.stop();
    flush();
    if (g_stopSignal.load() == 0 && end >= 0 && end != durationEnd && w.Timers.Now() >= end) {
        std::fprintf(stderr,
                     "corvelnmea: l'horloge simulée atteint la fin de l'an 9999, dernière date que les phrases "
                     "savent écrire : fin de la simulation\n");
    }
    if (replay) {
        const auto plural = [](long long n, const char* one, const char* many) {
            return std::to_string(n) + (n <= 1 ? one : many);
        };
        std::fprintf(stderr, "corvelnmea: rejeu terminé : %s, %s\n",
                     plural(replay->Sent(), " phrase envoyée", " phrases envoyées").c_str(),
                     plural(replay->Skipped(), " ligne ignorée", " lignes ignorées").c_str());
    }
    if (standardOutput.Failed() || raw.Failed() || stamped.Failed()) return 1;
    return g_stopSignal.load() == SIGQUIT ? kQuitExitCode : 0;
}

}  // namespace corvel::headless
