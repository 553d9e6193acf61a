// The headless run; see Headless.h.
#include "main/Headless.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>

#include "app/ConfigFiles.h"
#include "app/ControlCommands.h"
#include "app/NetworkDialogModel.h"
#include "app/Program.h"
#include "app/ReplayFeed.h"
#include "app/SerialPorts.h"
#include "app/SimulationTexts.h"
#include "app/SystemErrors.h"
#include "config/AtomicWrite.h"
#include "config/Folders.h"
#include "links/QtControlServer.h"
#include "links/QtNetLink.h"
#include "links/QtSerialPort.h"
#include "nav/RegularFile.h"
#include "nav/ValidFloat.h"
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

// The parenthesis of a message refusing a number: what is expected, unless one of the numbers of
// `text` (between "=" and ":") is longer than any number may be written (it is not cut: "10.<260
// zeros>x" is no 10).
std::string Expected(std::string_view text, std::string_view expected) {
    size_t longest = 0;
    for (size_t from = 0; from <= text.size();) {
        const size_t end = std::min(text.find_first_of("=:", from), text.size());
        longest = std::max(longest, end - from);
        from = end + 1;
    }
    if (longest <= nav::kNumberTextLength) return "(" + std::string(expected) + ")";
    return "(" + std::to_string(longest) + " caractères : un nombre en compte " +
           std::to_string(nav::kNumberTextLength) + " au plus)";
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
    if (!seconds) return "temps invalide dans --do " + text + " " + Expected(text.substr(0, colon), kSecondsRange);
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
        case E::BadProbability:
            return "probabilité invalide dans --faults : " + item + " " + Expected(r.item, "un nombre de 0 à 1");
        case E::BadWindow:
            return "perte de position invalide dans --faults : " + item + " " +
                   Expected(r.item, std::string("nofix=DEBUT:DUREE, ") + kSecondsRange);
        case E::BadSeed:
            return "graine invalide dans --faults : " + item + " " +
                   Expected(r.item, "un entier de 0 à 18446744073709551615");
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
           "                            courant : ALTERNE, CONSTANT ; une commande que la simulation refuse à\n"
           "                            cet instant donne une ligne sur la sortie d'erreur (option répétable)\n"
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
           "                            avec --fast), ou un fichier NMEA simple à --rate ; un fichier\n"
           "                            ordinaire, aux lignes finies par CR, LF ou CR LF ; les lignes qui\n"
           "                            ne sont pas des phrases sont ignorées et comptées ; sans --do,\n"
           "                            --config, --start, --duration ni nofix\n"
           "  --rate N                  avec --replay, N phrases par seconde (0.001 à 100000 ; 1 par défaut\n"
           "                            pour un fichier simple) au lieu des heures enregistrées\n"
           "  --control [ADRESSE:]PORT  port de commande TCP (sur 127.0.0.1 sauf ADRESSE donnée, 4 clients) :\n"
           "                            une ligne par commande (celles de --do, SET TWS|TWD|HDG|CURRENT|POS|WP,\n"
           "                            STATE), une ligne de réponse (OK, ERR raison, ou l'état en JSON) ; un\n"
           "                            client muet pendant 60 s est déconnecté ; ADRESSE est une adresse de\n"
           "                            la machine : ailleurs qu'en 127.0.0.1, sans authentification, n'importe\n"
           "                            qui sur le réseau peut piloter le bateau (un avertissement le rappelle)\n"
           "  --help                    cette aide\n"
           "  --version                 la version\n"
           "\n"
           "Chaque option à valeur, sauf --do, se donne une seule fois ; les journaux et la sortie standard\n"
           "vont dans des fichiers distincts. Une sortie qui ne peut plus être écrite est signalée aussitôt\n"
           "et s'arrête sur sa dernière phrase entière ; les autres continuent et la fin rend le code 1.\n"
           "Un lecteur qui ne lit plus (sortie standard, journal dans un tube, port série) ne retient rien :\n"
           "les phrases qu'il ne prend pas sont perdues entières (une phrase commencée est terminée avant\n"
           "toute autre) ; la sortie d'erreur le dit une fois, puis compte à la fin ce qui n'a pas été écrit\n"
           "(code 1). Avec --fast, la simulation attend la sortie standard et les journaux. Après un signal\n"
           "d'arrêt, la fin attend au plus une seconde ce qui reste à écrire. Un journal dans un tube\n"
           "nommé que nul programme ne lit est refusé (code 1). Un nombre s'écrit en 255 caractères au plus.\n"
           "Les raisons du système sont dites en français ; une erreur que le programme n'attendait pas\n"
           "(mémoire épuisée ...) est dite par « Erreur inattendue : » et sa raison (code 1).\n";
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
                r.error = "durée invalide : " + v + " " + Expected(v, kSecondsRange);
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
                r.error = "cadence invalide : " + v + " " + Expected(v, "phrases par seconde, de 0.001 à 100000");
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

// The links of a run, opened through the transmission: the serial port, the TCP server and the
// datagrams (both may run, each on a link of its own).
class HeadlessLinks {
public:
    HeadlessLinks(app::Program& program, links::QtSerialPlatform& serial)
        : out_(program.Out), ports_(program.ComPorts), serial_(serial) {}
    HeadlessLinks(const HeadlessLinks&) = delete;
    HeadlessLinks& operator=(const HeadlessLinks&) = delete;
    // The transmission lets go of the links before they go.
    ~HeadlessLinks() {
        out_.SetTcpLink(nullptr);
        out_.SetDatagramLink(nullptr);
    }

    // 0, or the exit code once one line on standard error said why.
    int Start(const Options& o) {
        if (o.serialDevice) {
            const auto& rates = app::kBaudRates;
            if (std::find(rates.begin(), rates.end(), std::to_string(o.serialBaud)) == rates.end()) {
                std::string list;
                for (const auto& r : rates) list += (list.empty() ? "" : ", ") + std::string(r);
                std::fprintf(stderr, "corvelnmea: débit invalide pour --serial : %d (%s)\n", o.serialBaud,
                             list.c_str());
                return 2;
            }
            bool opened = serial_.OpenDevice(*o.serialDevice) != nullptr;  // the device can be used
            if (opened) {
                ports_.SetDeviceOverrides({{"COM1", *o.serialDevice}});
                opened = out_.OpenSerial("COM1", o.serialBaud);
            }
            if (!opened) {
                std::fprintf(stderr, "corvelnmea: port série indisponible (absent, occupé ou refusé) : %s\n",
                             o.serialDevice->c_str());
                return 1;
            }
        }
        if (o.tcpPort || o.udpAddress) out_.OpenNetwork();
        if (o.tcpPort) {
            tcpLink_.emplace(o.tcpAddress.empty() ? QHostAddress(QHostAddress::AnyIPv4)
                                                  : QHostAddress(QString::fromStdString(o.tcpAddress)));
            out_.SetTcpLink(&*tcpLink_);
            out_.SetEveryClient(o.tcpAll);
            if (!out_.StartTcpServer(*o.tcpPort)) return 1;
        }
        if (o.udpAddress) {
            udpLink_.emplace();
            out_.SetDatagramLink(&*udpLink_);
            out_.SetDatagramLineEnds(o.udpLineEnds);
            // To the broadcast address of the address given (checked as IPv4 with the options).
            out_.StartDatagrams(app::BroadcastAddress(*o.udpAddress).value_or(*o.udpAddress), o.udpPort);
        }
        return 0;
    }

private:
    app::Transmission& out_;
    app::UARTManag& ports_;
    links::QtSerialPlatform& serial_;
    std::optional<links::QtNetLink> tcpLink_, udpLink_;
};

// "1 ligne", "2 lignes": a count and its noun.
std::string Counted(long long n, const char* one, const char* many) {
    return std::to_string(n) + (n <= 1 ? one : many);
}

// An output of lines, each followed by CR LF (standard output, a log), written with write(2)
// without ever waiting for the reader, so that a reader that stops reading holds nothing else.
// The lines gather in a buffer; Flush sends what the reader takes now and keeps the rest for the
// next Flush. Where the output is no regular file it writes chunks of whole lines of at most
// PIPE_BUF bytes: a pipe takes such a chunk whole or not at all, so its reader never finds a line
// cut. A buffer that reaches kFlushAt is flushed at once and makes the output Backlogged (a --fast
// run waits for it); past kMaxQueued the lines are lost, counted, and reported once at the first.
// The first failed write is reported at once on standard error with the system's reason; the part
// of a line it left is taken back (the file is truncated after the last whole line, where the file
// can be truncated) and the output writes nothing more.
class LineOutput {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr size_t kFlushAt = 64 * 1024;
    static constexpr size_t kMaxQueued = 4 * kFlushAt;
    static constexpr std::chrono::seconds kDrainIdle{1};

    LineOutput() = default;
    LineOutput(const LineOutput&) = delete;
    LineOutput& operator=(const LineOutput&) = delete;
    ~LineOutput() {
        if (owned_) ::close(fd_);
    }

    // Creates or empties the log file; false, errno set, when it cannot be opened for writing. The
    // open does not wait: a FIFO that no program reads fails at once (ENXIO). The writes do not
    // wait either (a FIFO's reader may stall): what the reader does not take waits in the buffer.
    bool Open(const std::filesystem::path& path) {
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
        owned_ = fd_ >= 0;
        if (!owned_) return false;  // errno says why
        Attach(fd_, "dans le journal " + path.string());
        return true;
    }
    // Standard output. Its descriptor is shared with whoever started the program (a shell's
    // terminal), so its flags stay as they are: a pipe, FIFO or terminal is opened again, with a
    // description of its own, non-blocking; a socket is written with MSG_DONTWAIT; a file as it is.
    void AttachStandardOutput() {
        int fd = STDOUT_FILENO;
        if (struct stat st{}; ::fstat(fd, &st) == 0) {
            socket_ = S_ISSOCK(st.st_mode);
            if (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode)) {
                const int again = ::open("/proc/self/fd/1", O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
                owned_ = again >= 0;  // else (no /proc, a FIFO already without reader) the one given
                if (owned_) fd = again;
            }
        }
        Attach(fd, "sur la sortie standard");
    }

    // Written to, and not failed.
    bool Active() const { return fd_ >= 0 && !failed_; }
    bool Failed() const { return failed_; }
    // Lines lost or left unwritten: the output did not carry everything.
    bool Incomplete() const { return lost_ > 0 || !buffer_.empty(); }
    bool Backlogged() const { return Active() && buffer_.size() >= kFlushAt; }
    // What poll(2) waits on for room to write.
    pollfd Readiness() const { return {fd_, POLLOUT, 0}; }

    void Write(std::string_view line) {
        if (!Active()) return;
        if (buffer_.size() + line.size() + 2 > kMaxQueued) {
            if (lost_++ == 0) {
                std::fprintf(stderr,
                             "corvelnmea: écriture bloquée %s (plus rien n'y est lu) : les lignes sont "
                             "perdues tant qu'elle le reste\n",
                             where_.c_str());
            }
            return;
        }
        buffer_.append(line);
        buffer_.append("\r\n", 2);
        if (buffer_.size() >= kFlushAt) Flush();
    }

    // Writes what the reader takes now.
    void Flush() {
        size_t written = 0;
        while (Active() && written < buffer_.size()) {
            const ssize_t n = WriteSome(std::string_view(buffer_).substr(written));
            if (n > 0) {
                written += static_cast<size_t>(n);
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                break;  // the reader is behind: the rest waits for the next Flush
            } else if (n == 0 || errno != EINTR) {
                Fail(n == 0 ? EIO : errno, written);
            }
        }
        if (!Active()) {
            buffer_.clear();
            return;
        }
        const size_t lineEnd = std::string_view(buffer_.data(), written).rfind('\n');
        lineWritten_ = lineEnd == std::string_view::npos ? lineWritten_ + written : written - lineEnd - 1;
        buffer_.erase(0, written);
    }

    // At the end: waits for the reader to take what is left, giving up once it has taken nothing
    // for kDrainIdle, and at `until` in any case.
    void Drain(Clock::time_point until) {
        Clock::time_point idleEnd = Clock::now() + kDrainIdle;
        for (;;) {
            const size_t before = buffer_.size();
            Flush();
            if (buffer_.empty()) return;
            const Clock::time_point now = Clock::now();
            if (buffer_.size() < before) idleEnd = now + kDrainIdle;
            const Clock::time_point stop = std::min(idleEnd, until);
            if (now >= stop) return;
            pollfd ready = Readiness();
            ::poll(&ready, 1, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(stop - now).count()));
        }
    }

    // The lines lost and left unwritten, on standard error.
    void ReportUnwritten() const {
        const long long left = lost_ + std::count(buffer_.begin(), buffer_.end(), '\n');
        if (left == 0) return;
        std::fprintf(stderr, "corvelnmea: %s %s : son lecteur ne lisait plus\n",
                     Counted(left, " ligne non écrite", " lignes non écrites").c_str(), where_.c_str());
    }

private:
    void Attach(int fd, std::string where) {
        fd_ = fd;
        where_ = std::move(where);
        buffer_.reserve(kFlushAt + 1024);
        struct stat st {};
        chunked_ = ::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode);
    }

    // One write: to a file, all of `bytes`; else the whole lines at their start that fit in
    // PIPE_BUF (or the first line alone, when it is longer).
    ssize_t WriteSome(std::string_view bytes) const {
        size_t size = bytes.size();
        if (chunked_ && size > PIPE_BUF) {
            const size_t lineEnd = bytes.substr(0, PIPE_BUF).rfind('\n');
            size = lineEnd != std::string_view::npos ? lineEnd + 1 : bytes.find('\n') + 1;
        }
        return socket_ ? ::send(fd_, bytes.data(), size, MSG_DONTWAIT | MSG_NOSIGNAL)
                       : ::write(fd_, bytes.data(), size);
    }

    // `written`: the bytes of the buffer that went out in this Flush before the failure.
    void Fail(int error, size_t written) {
        failed_ = true;
        const size_t lineEnd = std::string_view(buffer_.data(), written).rfind('\n');
        const auto cut =
            static_cast<off_t>(lineEnd == std::string_view::npos ? lineWritten_ + written : written - lineEnd - 1);
        if (const off_t at = ::lseek(fd_, 0, SEEK_CUR); cut > 0 && at >= cut) {
            if (::ftruncate(fd_, at - cut) != 0) {
                // A device that cannot be truncated (/dev/full) keeps the part of a line.
            }
        }
        std::fprintf(stderr, "corvelnmea: écriture impossible %s : %s\n", where_.c_str(),
                     app::SystemReason(error).c_str());
    }

    int fd_ = -1;
    bool owned_ = false;
    bool socket_ = false;
    bool chunked_ = false;  // not a regular file: written in chunks of whole lines
    bool failed_ = false;
    std::string where_;
    std::string buffer_;
    size_t lineWritten_ = 0;  // the bytes of the buffer's first line that earlier Flushes wrote
    long long lost_ = 0;
};

// --replay: the sentences of a recorded file handed to the window's roads, at their recorded
// instants (a time-stamped log), at a rate (a plain file, or --rate), or as fast as possible. The
// first sentence of the file decides: stamped, the recorded timing; plain, the rate. A stamp that
// goes back in time sends its sentence at once; a plain sentence in a stamped file goes with the
// one before. Lines are read as they are needed: memory does not grow with the file.
class Replayer {
public:
    // Reads `file` from where it stands; a stop signal ends the reading between two reads.
    Replayer(nav::FileDescriptor file, const Options& o)
        : file_(std::move(file)),
          lines_([this](char* buffer, size_t size) { return Read(buffer, size); }),
          fast_(o.fast),
          rate_(o.rate) {
        ReadNext();
    }
    Replayer(const Replayer&) = delete;
    Replayer& operator=(const Replayer&) = delete;

    bool Done() const { return !pending_; }
    long long Sent() const { return sent_; }
    long long Skipped() const { return skipped_; }

    // Sends the sentences due `elapsedMillis` after the first one (every one with --fast), at most
    // `limit` of them and none after a stop signal; stops early when an output fails the
    // sentence's group, as the emitter does.
    void SendDue(app::TFCorvel& w, double elapsedMillis, int limit) {
        for (int n = 0; n < limit && pending_ && g_stopSignal.load() == 0 && (fast_ || dueMillis_ <= elapsedMillis);
             ++n) {
            w.SendSentence(pending_->sentence);
            ++sent_;
            ReadNext();
        }
    }

private:
    // The file's next bytes; none once a stop signal came (a file of gigabytes without a sentence
    // would otherwise hold the run), or after a read error.
    size_t Read(char* buffer, size_t size) {
        for (;;) {
            if (g_stopSignal.load() != 0) return 0;
            const ssize_t got = ::read(file_.get(), buffer, size);
            if (got >= 0) return static_cast<size_t>(got);
            if (errno != EINTR) return 0;
        }
    }

    // The next sentence of the file and its instant, skipping (and counting) the other lines.
    void ReadNext() {
        pending_.reset();
        while (!pending_) {
            const auto line = lines_.Next();
            if (!line) return;
            if (!line->tooLong) pending_ = app::ReadReplayLine(line->text);
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

    nav::FileDescriptor file_;
    app::FileLines lines_;
    const bool fast_;
    std::optional<double> rate_;
    std::optional<std::int64_t> firstStamp_;
    std::optional<app::ReplayLine> pending_;  // its view is into lines_' line
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
    std::optional<Replayer> replay;
    if (options.replay) {
        replay.emplace(std::move(replayFile.file), options);  // no simulation: the stamped log carries the wall time
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
                replay->SendDue(w, static_cast<double>(wall.nsecsElapsed()) / 1e6, kReplayBurst);
            } else {
                w.Timers.FollowClock(end >= 0 ? std::min(target, end) : target);
            }
            flush();
            if (finished()) qapp.quit();
        });
    }
    wall.start();
    // A real-time replay sends its first sentences at once: the others keep their distance to them.
    if (replay && !options.fast) replay->SendDue(w, 0, kReplayBurst);
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
        std::fprintf(stderr, "corvelnmea: rejeu terminé : %s, %s\n",
                     Counted(replay->Sent(), " phrase envoyée", " phrases envoyées").c_str(),
                     Counted(replay->Skipped(), " ligne ignorée", " lignes ignorées").c_str());
    }
    if (serialLost > 0 || serialCut || std::any_of(std::begin(outputs), std::end(outputs), [](const LineOutput* o) {
            return o->Failed() || o->Incomplete();
        })) {
        return 1;
    }
    return g_stopSignal.load() == SIGQUIT ? kQuitExitCode : 0;
}

}  // namespace corvel::headless
