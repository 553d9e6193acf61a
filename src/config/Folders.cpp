// Start-up folders; see Folders.h.
#include "config/Folders.h"

#include <cstdlib>
#include <string_view>

#include "nav/RegularFile.h"

namespace corvel::config {

namespace fs = std::filesystem;

namespace {

// An absolute path from a variable, or nothing (unset, empty or relative).
std::optional<fs::path> AbsoluteVariable(const Environment& environment, const char* name) {
    const std::optional<std::string> value = environment(name);
    if (!value || value->empty() || value->front() != '/') return std::nullopt;
    return fs::path(*value);
}

// XDG_DOCUMENTS_DIR="$HOME/Documents" in user-dirs.dirs: the value with $HOME replaced. The file
// is read only when it is a regular file of at most kMaxUserDirsBytes.
std::optional<fs::path> DocumentsFromUserDirs(const fs::path& file, const std::string& home) {
    const nav::ReadResult read = nav::ReadRegularFile(file, kMaxUserDirsBytes);
    if (read.status != nav::ReadStatus::Ok) return std::nullopt;
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=";
    std::string_view rest = read.text;
    while (!rest.empty()) {
        const std::size_t lf = rest.find('\n');
        const std::string_view line = rest.substr(0, lf);
        rest = lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1);
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string_view::npos || line.compare(start, kKey.size(), kKey) != 0) continue;
        std::string value(line.substr(start + kKey.size()));
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r')) {
            value.pop_back();
        }
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
        if (value.empty() || value.front() != '/') return std::nullopt;
        return fs::path(value);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ProcessEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
}

StartupFolders FoldersFromEnvironment(fs::path programFolder, const Environment& environment) {
    StartupFolders folders;
    folders.ProgramFolder = std::move(programFolder);
    const std::optional<fs::path> home = AbsoluteVariable(environment, "HOME");

    if (auto data = AbsoluteVariable(environment, "XDG_DATA_HOME")) {
        folders.AppDataFolder = *data;
    } else if (home) {
        folders.AppDataFolder = *home / ".local" / "share";
    }

    if (auto documents = AbsoluteVariable(environment, "XDG_DOCUMENTS_DIR")) {
        folders.DocumentsFolder = *documents;
    } else if (home) {
        const std::optional<fs::path> config = AbsoluteVariable(environment, "XDG_CONFIG_HOME");
        const fs::path userDirs = (config ? *config : *home / ".config") / "user-dirs.dirs";
        const std::optional<fs::path> listed = DocumentsFromUserDirs(userDirs, home->string());
        folders.DocumentsFolder = listed ? *listed : *home / "Documents";
    }
    return folders;
}

fs::path SettingsFolder(const fs::path& appData) { return appData.empty() ? fs::path() : appData / "CorvelNMEA"; }

fs::path SettingsPath(const fs::path& appData) {
    return appData.empty() ? fs::path() : SettingsFolder(appData) / "CorvelNMEA.ini";
}

std::string WithSeparator(const fs::path& folder) {
    std::string text = folder.string();
    if (text.empty()) return text;
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    if (text != "/") text += '/';
    return text;
}

}  // namespace corvel::config
