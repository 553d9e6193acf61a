// The executable: the window, or the headless run with --headless.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/Configuration.h"
#include "main/Headless.h"
#include "main/WindowRun.h"

namespace {

// The folder holding the program's data files: beside the executable in a build tree, or
// ../share/corvelnmea when installed.
std::filesystem::path ProgramFolder(const char* argv0) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) exe = std::filesystem::absolute(argv0, ec);
    const std::filesystem::path dir = exe.parent_path();
    if (std::filesystem::exists(dir / "DefPolars", ec)) return dir;
    const std::filesystem::path installed = dir.parent_path() / "share" / "corvelnmea";
    if (std::filesystem::exists(installed / "DefPolars", ec)) return installed;
    return dir;
}

// "corvelnmea 4.6": the project's version.
void PrintVersion() {
    const std::string_view version = corvel::config::kProgramVersion;
    std::printf("corvelnmea %.*s\n", static_cast<int>(version.size()), version.data());
}

// Whether the run is headless: "--headless" wherever it stands as an option (not as an option's
// value), taken out of `args`; -h and -V become --help and --version there too.
bool TakeHeadless(std::vector<std::string>& args) {
    bool headless = false;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--headless") {
            headless = true;
            continue;
        }
        const corvel::headless::OptionRow* row = corvel::headless::FindOption(args[i]);
        rest.push_back(row != nullptr ? std::string(row->name) : args[i]);
        if (row != nullptr && row->flag == nullptr && i + 1 < args.size()) rest.push_back(args[++i]);
    }
    args = std::move(rest);
    return headless;
}

// The program: the window, or the headless run with --headless.
int Main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!TakeHeadless(args)) {
        for (const std::string& a : args) {
            if (a == "--version") {
                PrintVersion();
                return 0;
            }
            if (a == "--help") {
                std::printf("%s%s", corvel::window::Usage().c_str(), corvel::headless::Usage().c_str());
                return 0;
            }
        }
        const corvel::window::ParseResult parsed = corvel::window::ParseOptions(args);
        if (!parsed.error.empty()) {
            std::fprintf(stderr, "corvelnmea: %s\n", parsed.error.c_str());
            return 2;
        }
        if (!corvel::window::DisplayAvailable()) {
            std::fprintf(stderr,
                         "corvelnmea: aucun écran (ni DISPLAY ni WAYLAND_DISPLAY) : la fenêtre ne peut pas "
                         "s'ouvrir ; sans fenêtre : corvelnmea --headless (voir --help)\n");
            return 1;
        }
        return corvel::window::Run(parsed.options, ProgramFolder(argv[0]), argv[0]);
    }

    const corvel::headless::ParseResult parsed = corvel::headless::ParseOptions(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "corvelnmea: %s\n", parsed.error.c_str());
        return 2;
    }
    if (parsed.options.help) {
        std::printf("%s", corvel::headless::Usage().c_str());
        return 0;
    }
    if (parsed.options.version) {
        PrintVersion();
        return 0;
    }
    return corvel::headless::Run(parsed.options, ProgramFolder(argv[0]));
}

}  // namespace

// An exception nobody caught (memory exhausted ...) ends the program with its French message and
// exit code 1, never with an abort.
int main(int argc, char** argv) {
    try {
        return Main(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "corvelnmea: %s%s\n", corvel::window::kUnexpectedError, e.what());
    } catch (...) {
        std::fprintf(stderr, "corvelnmea: %sexception inconnue\n", corvel::window::kUnexpectedError);
    }
    return 1;
}
