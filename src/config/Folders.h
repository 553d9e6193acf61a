// The folders the program starts from: its own data folder, the per-user data folder that holds
// the settings file, and the user's documents folder, found the XDG way:
// - data: $XDG_DATA_HOME, else $HOME/.local/share; the settings file is
//   <data>/CorvelNMEA/CorvelNMEA.ini;
// - documents: $XDG_DOCUMENTS_DIR, else the XDG_DOCUMENTS_DIR line of
//   ($XDG_CONFIG_HOME, else $HOME/.config)/user-dirs.dirs (read only when it is a regular file of
//   at most kMaxUserDirsBytes), else $HOME/Documents.
// A relative XDG value is ignored, as the XDG rules say. A folder that cannot be determined (no
// HOME) stays empty: without a data folder there is no settings file, without a documents folder
// no other simulator's polars are looked for.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace corvel::config {

// A user-dirs.dirs larger than this is not read (the real one holds a few hundred bytes).
inline constexpr std::size_t kMaxUserDirsBytes = 64 * 1024;

struct StartupFolders {
    std::filesystem::path ProgramFolder;    // the program's data files (DefPolars/ ...)
    std::filesystem::path AppDataFolder;    // empty: no settings file
    std::filesystem::path DocumentsFolder;  // empty: unknown
};

// Reads one environment variable; nothing when it is not set.
using Environment = std::function<std::optional<std::string>(const char* name)>;

// The process's environment.
std::optional<std::string> ProcessEnvironment(const char* name);

StartupFolders FoldersFromEnvironment(std::filesystem::path programFolder,
                                      const Environment& environment = ProcessEnvironment);

// <appData>/CorvelNMEA, where the settings file and the configurations are kept; empty when
// appData is.
std::filesystem::path SettingsFolder(const std::filesystem::path& appData);
// <appData>/CorvelNMEA/CorvelNMEA.ini; empty when appData is.
std::filesystem::path SettingsPath(const std::filesystem::path& appData);

// The folder as a text ending with exactly one "/" ("" stays "").
std::string WithSeparator(const std::filesystem::path& folder);

}  // namespace corvel::config
