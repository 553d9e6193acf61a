// The program with its window: the command line of the window, the start-up, the event loop.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace corvel::window {

struct Options {
    std::filesystem::path config;  // opened at start as "Ouvrir" opens it (empty: none)
    bool simulate = false;         // "SIMULER" pressed once the window is up
};

struct ParseResult {
    Options options;
    std::string error;  // French, for "corvelnmea: ..." on standard error
};

ParseResult ParseOptions(const std::vector<std::string>& args);

// The usage lines of the window's command line.
std::string Usage();

// Whether a display can be reached (DISPLAY or WAYLAND_DISPLAY set, or a platform named in
// QT_QPA_PLATFORM).
bool DisplayAvailable();

// The start of the message of an exception nobody caught, which ends the program with exit code 1.
inline constexpr const char* kUnexpectedError = "Erreur inattendue : ";

// Opens the window; returns the exit code once it is closed. `argv0` is passed to Qt.
int Run(const Options& options, const std::filesystem::path& programFolder, char* argv0);

}  // namespace corvel::window
