// The command line of the headless run: its options as one table, which yields the parser and the
// text of --help.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/program/Clock.h"
#include "nmea/FaultInjector.h"
#include "sim/TimerSet.h"

namespace corvel::headless {

// The longest simulated time a command line may give (--duration, the TIME of --do): 100 years
// of 365.25 days, in seconds.
inline constexpr double kMaxSimulatedSeconds = 3155760000.0;

// --do TIME:COMMAND: a command of the window, run at an instant of simulated time.
struct ScheduledCommand {
    double seconds = 0;   // simulated seconds after the start, 0 to kMaxSimulatedSeconds
    std::string command;  // VIRER, EMPANNER, MEILLEUR_PRES, AUTO, STDBY, +1, +10, -1, -10, BARRE=N, PAUSE, REPRISE,
                          // ALTERNE, CONSTANT
};

struct Options {
    bool stdoutOutput = false;
    std::optional<double> durationSeconds;  // simulated seconds, 0 to kMaxSimulatedSeconds; none: until a stop signal
    bool fast = false;
    std::optional<app::LocalDateTime> start;
    std::optional<std::filesystem::path> log, logStamped;
    std::optional<std::filesystem::path> config;  // opened as "Ouvrir" does, after the start-up
    bool noSettings = false;                      // the settings file is not read
    std::vector<ScheduledCommand> commands;       // --do, in the order given
    // --tcp [ADDRESS:]PORT: TCP server; the address it listens on ("": every local IPv4 address).
    std::optional<int> tcpPort;
    std::string tcpAddress;
    bool tcpAll = false;  // --tcp-all: every client receives the sentences, not the last one only
    // --control [ADDRESS:]PORT: the control port, on the loopback unless an address is given.
    std::optional<int> controlPort;
    std::string controlAddress = "127.0.0.1";
    // --udp ADDRESS:PORT: datagrams to the broadcast address made from ADDRESS.
    std::optional<std::string> udpAddress;
    int udpPort = 0;
    bool udpLineEnds = false;  // --udp-crlf: each datagram is the sentence followed by CR LF, not alone
    // --serial DEVICE[:BAUD].
    std::optional<std::string> serialDevice;
    int serialBaud = 4800;
    std::optional<nmea::FaultSettings> faults;  // --faults LIST
    // --replay FILE: the file's sentences instead of a simulation, at their recorded instants or at
    // --rate sentences a second (a plain file without --rate: 1).
    std::optional<std::filesystem::path> replay;
    std::optional<double> rate;
    bool help = false, version = false;
};

struct ParseResult {
    Options options;
    std::string error;  // empty when the command line is valid
};

// One option of the command line: its row yields the parser, the lines of --help and the list the
// manual page is checked against.
struct OptionRow {
    std::string_view name;       // "--log"
    std::string_view shortName;  // "-h", or ""
    std::string_view argument;   // the value's name in --help, "FICHIER"; "" for a flag
    std::string_view usage;      // its lines in --help, "\n" between them, without the indent
    bool Options::*flag;         // a flag: the member it sets
    // An option with a value: sets the value, or returns the French message refusing it.
    std::string (*set)(const std::string& value, Options& o);
    bool repeatable = false;  // may be given again (--do); every other option with a value, once
};

// The options of the headless run, in the order of --help.
std::span<const OptionRow> OptionTable();

// The row of an option named by `argument` ("--help" or "-h"), or null.
const OptionRow* FindOption(std::string_view argument);

// Parses the arguments of the headless run ("--headless" taken out). Each option that takes a
// value, --do apart, may be given once; with --start and --duration the run must end by
// app::kLastInstant.
ParseResult ParseOptions(const std::vector<std::string>& args);

// The text of --help.
std::string Usage();

// The simulated milliseconds after which a run of `seconds` ends.
sim::Millis DurationMillis(double seconds);

}  // namespace corvel::headless
