// The program without a window: the same models, started as "SIMULER" would start them, the
// sentences sent to standard output, files and links, in real time or as fast as the CPU allows.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/Clock.h"

namespace corvel::headless {

struct Options {
    bool stdoutOutput = false;
    std::optional<double> durationSeconds;  // simulated seconds; none: until SIGINT/SIGTERM
    bool fast = false;
    std::optional<app::LocalDateTime> start;
    std::optional<std::filesystem::path> log, logStamped;
    bool help = false, version = false;
};

struct ParseResult {
    Options options;
    std::string error;  // empty when the command line is valid
};

// Parses the arguments that follow "--headless".
ParseResult ParseOptions(const std::vector<std::string>& args);

// The text of --help.
std::string Usage();

// Runs until the duration has passed or a stop signal arrives; returns the exit code.
int Run(const Options& options, const std::filesystem::path& programFolder);

}  // namespace corvel::headless
