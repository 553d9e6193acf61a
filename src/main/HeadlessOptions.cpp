// The command line of the headless run; see HeadlessOptions.h.
#include "main/HeadlessOptions.h"

#include <algorithm>
#include <set>

#include "app/windows/ControlCommands.h"
#include "app/windows/NetworkDialogModel.h"
#include "nav/ValidFloat.h"

namespace corvel::headless {

namespace {

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
    return "commande inconnue dans --do " + text + " (" + app::WindowCommandNames() + ")";
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

// An option whose value is a file's name, kept as given.
template <std::optional<std::filesystem::path> Options::*member>
std::string SetPath(const std::string& value, Options& o) {
    o.*member = value;
    return {};
}

// clang-format off
const OptionRow kOptions[] = {
    {"--stdout", "", "",
     "chaque phrase sur la sortie standard, suivie de CR LF\n"
     "(par défaut quand aucune autre sortie n'est nommée)",
     &Options::stdoutOutput, nullptr},
    {"--duration", "", "SECONDES",
     "durée simulée, puis fin (code 0) ; au plus 3155760000 (100 ans) ;\n"
     "sans elle, jusqu'à SIGINT, SIGTERM ou SIGHUP (code 0), SIGQUIT (code\n"
     "131) ou la fin de l'an 9999 ; chaque fois après une phrase entière",
     nullptr, [](const std::string& v, Options& o) {
         o.durationSeconds = ParseSimulatedSeconds(v);
         return o.durationSeconds ? "" : "durée invalide : " + v + " " + Expected(v, kSecondsRange);
     }},
    {"--fast", "", "",
     "aussi vite que possible au lieu du temps réel",
     &Options::fast, nullptr},
    {"--start", "", "AAAA-MM-JJTHH:MM:SS",
     "heure locale simulée du départ (sortie reproductible) ; la\n"
     "simulation reste entre les années 0001 et 9999",
     nullptr, [](const std::string& v, Options& o) {
         o.start = app::ParseLocalDateTime(v);
         return o.start ? "" : "heure de départ invalide : " + v + " (attendu AAAA-MM-JJTHH:MM:SS, années 0001 à 9999)";
     }},
    {"--log", "", "FICHIER",
     "journal NMEA brut, écrit au fil de l'eau (lignes CR LF)",
     nullptr, SetPath<&Options::log>},
    {"--log-stamped", "", "FICHIER",
     "journal NMEA horodaté, écrit au fil de l'eau",
     nullptr, SetPath<&Options::logStamped>},
    {"--do", "", "TEMPS:COMMANDE",
     "à TEMPS secondes simulées après le départ (au plus 3155760000),\n"
     "la commande de la fenêtre : VIRER, EMPANNER, MEILLEUR_PRES, AUTO,\n"
     "STDBY, +1, +10, -1, -10, BARRE=N (0 à 30), PAUSE, REPRISE ; le\n"
     "courant : ALTERNE, CONSTANT ; une commande que la simulation refuse à\n"
     "cet instant donne une ligne sur la sortie d'erreur (option répétable)",
     nullptr, [](const std::string& v, Options& o) {
         ScheduledCommand c;
         std::string error = ParseDo(v, c);
         if (error.empty()) o.commands.push_back(std::move(c));
         return error;
     },
     true},
    {"--config", "", "FICHIER",
     "ouvre ce fichier de configuration et charge sa polaire (comme\n"
     "« Ouvrir »)",
     nullptr, SetPath<&Options::config>},
    {"--no-settings", "", "",
     "ne lit pas le fichier de réglages CorvelNMEA.ini\n"
     "(sortie reproductible)",
     &Options::noSettings, nullptr},
    {"--tcp", "", "[ADRESSE:]PORT",
     "serveur TCP sur PORT (toutes les adresses IPv4 de la machine, ou\n"
     "ADRESSE seule) ; chaque phrase au dernier client, suivie de CR LF",
     nullptr, [](const std::string& v, Options& o) { return ParseServer("--tcp", v, o.tcpPort, o.tcpAddress); }},
    {"--tcp-all", "", "",
     "avec --tcp, chaque phrase à tous les clients (au plus 8) ; un client\n"
     "qui ne lit pas est déconnecté quand 64 Kio l'attendent",
     &Options::tcpAll, nullptr},
    {"--udp", "", "ADRESSE:PORT",
     "une trame UDP par phrase vers l'adresse de diffusion d'ADRESSE\n"
     "(dernier nombre remplacé par 255), sans fin de ligne",
     nullptr, ParseUdp},
    {"--udp-crlf", "", "",
     "avec --udp, chaque trame suivie de CR LF (pour gpsd)",
     &Options::udpLineEnds, nullptr},
    {"--serial", "", "PERIPH[:DEBIT]",
     "port série (par exemple /dev/ttyUSB0:4800 ; 4800 bauds par défaut),\n"
     "8 bits, sans parité, 1 bit de stop ; chaque phrase suivie de CR LF",
     nullptr, ParseSerial},
    {"--faults", "", "LISTE",
     "défauts injectés dans les phrases envoyées, NOM=VALEUR séparés par des\n"
     "virgules : checksum=P (somme de contrôle fausse), drop=P (phrase\n"
     "supprimée), truncate=P (phrase tronquée), duplicate=P (phrase répétée),\n"
     "garbage=P (ligne d'octets au hasard), P probabilité par phrase de 0 à\n"
     "1, un défaut au plus par phrase ; nofix=DEBUT:DUREE (récepteur sans\n"
     "position de DEBUT à DEBUT+DUREE secondes simulées) ; seed=N (graine,\n"
     "1 par défaut : mêmes graine et départ, mêmes octets)",
     nullptr, ParseFaults},
    {"--replay", "", "FICHIER",
     "rejoue un voyage enregistré au lieu de simuler : un journal horodaté\n"
     "du programme à ses heures enregistrées (aussi vite que possible\n"
     "avec --fast), ou un fichier NMEA simple à --rate ; un fichier\n"
     "ordinaire, aux lignes finies par CR, LF ou CR LF ; les lignes qui\n"
     "ne sont pas des phrases sont ignorées et comptées ; sans --do,\n"
     "--config, --start, --duration ni nofix",
     nullptr, SetPath<&Options::replay>},
    {"--rate", "", "N",
     "avec --replay, N phrases par seconde (0.001 à 100000 ; 1 par défaut\n"
     "pour un fichier simple) au lieu des heures enregistrées",
     nullptr, [](const std::string& v, Options& o) {
         o.rate = ParseRate(v);
         return o.rate ? "" : "cadence invalide : " + v + " " + Expected(v, "phrases par seconde, de 0.001 à 100000");
     }},
    {"--control", "", "[ADRESSE:]PORT",
     "port de commande TCP (sur 127.0.0.1 sauf ADRESSE donnée, 4 clients) :\n"
     "une ligne par commande (celles de --do, SET TWS|TWD|HDG|CURRENT|POS|WP,\n"
     "STATE), une ligne de réponse (OK, ERR raison, ou l'état en JSON) ; un\n"
     "client muet pendant 60 s est déconnecté ; ADRESSE est une adresse de\n"
     "la machine : ailleurs qu'en 127.0.0.1, sans authentification, n'importe\n"
     "qui sur le réseau peut piloter le bateau (un avertissement le rappelle)",
     nullptr, [](const std::string& v, Options& o) {
         return ParseServer("--control", v, o.controlPort, o.controlAddress);
     }},
    {"--help", "-h", "",
     "cette aide",
     &Options::help, nullptr},
    {"--version", "-V", "",
     "la version",
     &Options::version, nullptr},
};
// clang-format on

}  // namespace

std::span<const OptionRow> OptionTable() { return kOptions; }

const OptionRow* FindOption(std::string_view argument) {
    const auto row = std::find_if(std::begin(kOptions), std::end(kOptions), [argument](const OptionRow& r) {
        return r.name == argument || (!r.shortName.empty() && r.shortName == argument);
    });
    return row == std::end(kOptions) ? nullptr : row;
}

sim::Millis DurationMillis(double seconds) { return static_cast<sim::Millis>(seconds * 1000 + 0.5); }

std::string Usage() {
    // Each option: its name and value in a column of 24 characters, then its lines, the following
    // ones under the first.
    constexpr std::size_t kColumn = 24;
    const std::string indent(2 + kColumn + 2, ' ');
    std::string text =
        "Utilisation : corvelnmea --headless [options]\n"
        "Simule le voilier sans fenêtre et émet les phrases NMEA 0183 choisies.\n"
        "\n";
    for (const OptionRow& row : kOptions) {
        std::string head = row.shortName.empty() ? "" : std::string(row.shortName) + ", ";
        head += row.name;
        if (!row.argument.empty()) head += " " + std::string(row.argument);
        text += "  " + head + std::string(head.size() < kColumn ? kColumn - head.size() : 0, ' ') + "  ";
        for (std::size_t from = 0; from <= row.usage.size();) {
            const std::size_t end = std::min(row.usage.find('\n', from), row.usage.size());
            text += (from == 0 ? "" : indent) + std::string(row.usage.substr(from, end - from)) + "\n";
            from = end + 1;
        }
    }
    return text +
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
    std::set<std::string_view> given;  // the options with a value seen so far
    for (size_t i = 0; i < args.size(); ++i) {
        const OptionRow* row = FindOption(args[i]);
        if (row == nullptr) {
            r.error = "option inconnue : " + args[i] + " (voir --help)";
            return r;
        }
        const std::string name(row->name);
        if (row->flag != nullptr) {
            o.*(row->flag) = true;
            continue;
        }
        if (!row->repeatable && !given.insert(row->name).second) {
            r.error = "l'option " + name + " est donnée deux fois (elle n'accepte qu'une valeur)";
            return r;
        }
        if (i + 1 >= args.size()) {
            r.error = "l'option " + name + " attend une valeur";
            return r;
        }
        r.error = row->set(args[++i], o);
        if (!r.error.empty()) return r;
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

}  // namespace corvel::headless
