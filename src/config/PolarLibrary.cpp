// Polar names, the start-up polar and the categories; see PolarLibrary.h.
#include "config/PolarLibrary.h"

#include <system_error>

#include "config/Configuration.h"
#include "config/Folders.h"
#include "nav/Utf8Text.h"

namespace corvel::config {

namespace fs = std::filesystem;

std::string NomPolaire(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view file = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t count = nav::CharacterCount(file);
    return nav::UpperCase(nav::FirstCharacters(file, count > 4 ? count - 4 : 0));
}

bool IsFile(std::string_view path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(fs::path(path), ec);
}

bool IsFolder(std::string_view path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(fs::path(path), ec);
}

bool IsEntry(std::string_view path) {
    std::error_code ec;
    return !path.empty() && fs::exists(fs::symlink_status(fs::path(path), ec));
}

std::string PolarFileIn(std::string_view folder, std::string_view name) {
    std::string exact = std::string(folder) + std::string(name);
    if (name.empty() || IsFile(exact) || !IsFolder(folder)) return exact;
    // The smallest matching name, so that the choice does not depend on the listing's order.
    std::string found;
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(folder), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (nav::EqualsIgnoringCase(candidate, name) && (found.empty() || candidate < found) &&
            IsFile(std::string(folder) + candidate)) {
            found = candidate;
        }
    }
    return found.empty() ? exact : std::string(folder) + found;
}

PolarFiles DefaultPolar(const fs::path& programFolder) {
    PolarFiles p;
    p.PolarFolder = WithSeparator(programFolder / kDefaultPolarFolder);
    p.PolarPath = p.PolarFolder + std::string(kDefaultPolarFile);
    p.PolarName = NomPolaire(p.PolarPath);
    return p;
}

PolarFiles StartupPolar(const IniFile& settings, const fs::path& programFolder) {
    PolarFiles p;
    p.PolarFolder = settings.ReadString(kSectionFolders, "Polars", "");
    const std::string name = settings.ReadString(kSectionParameters, "PolaireAct", "");
    if (IsFolder(p.PolarFolder) && !name.empty()) p.PolarPath = PolarFileIn(p.PolarFolder, name);
    if (!IsEntry(p.PolarPath)) return DefaultPolar(programFolder);
    p.PolarName = NomPolaire(p.PolarPath);
    return p;
}

PolarFiles PolarOfConfiguration(const IniFile& file, const PolarFiles& current) {
    PolarFiles p = current;
    p.PolarFolder = file.ReadString(kSectionFolders, "Polars", current.PolarFolder);
    if (const auto name = file.Value(kSectionParameters, "PolaireAct")) p.PolarPath = PolarFileIn(p.PolarFolder, *name);
    p.PolarName = NomPolaire(p.PolarPath);
    return p;
}

std::string BriselPolarFolder(const fs::path& documents) {
    if (documents.empty()) return {};
    const std::string folder = WithSeparator(documents) + "Brisel/Polars/";
    return IsFolder(folder) ? folder : std::string();
}

PolarFiles AcceptBriselPolars(const PolarFiles& current, const std::string& briselFolder) {
    PolarFiles p = current;
    p.PolarFolder = briselFolder;
    const std::string path = PolarFileIn(briselFolder, kBriselPolarFile);
    if (IsFile(path)) {
        p.PolarPath = path;
        p.PolarName = NomPolaire(path);
    }
    return p;
}

std::optional<int> CategoryFromCode(std::string_view code) {
    for (const CategoryInfo& c : kCategories) {
        if (c.code == code) return c.category;
    }
    return std::nullopt;
}

std::string_view CategoryCode(int category) {
    for (const CategoryInfo& c : kCategories) {
        if (c.category == category) return c.code;
    }
    return kCategories.back().code;
}

std::string_view CategoryLabel(int category) {
    for (const CategoryInfo& c : kCategories) {
        if (c.category == category) return c.label;
    }
    return kCategories.back().label;
}

}  // namespace corvel::config
