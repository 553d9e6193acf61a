// Which polar file is the current one, and the boat category: the display name of a polar, the
// polar chosen at start-up (the settings' one, else the default polar beside the program), the
// other simulator's polar folder that may be offered, and the table of the five categories with
// their file codes, dialog choices and labels.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "config/IniFile.h"

namespace corvel::config {

inline constexpr std::string_view kDefaultPolarFolder = "DefPolars";
inline constexpr std::string_view kDefaultPolarFile = "First31_7.pol";
inline constexpr std::string_view kBriselPolarFile = "First 31.7.pol";
inline constexpr std::string_view kBriselQuestion =
    "Les polaires de BRISEL sont disponibles sur votre machine - Voulez-vous les utiliser maintenant ?";

// The display name of a polar path: its file name (after the last "/" or "\"), without its last
// four characters (the ".pol"), in upper case, accented letters included. "First31_7.pol" gives
// "FIRST31_7"; "abcdef" gives "AB"; a name of four characters or fewer gives "".
std::string NomPolaire(std::string_view path);

// folder + name, as the file is on disk: when no file has exactly that name but one of the
// folder's files differs from it only in letter case, that file (the name is stored in upper
// case). Otherwise folder + name unchanged.
std::string PolarFileIn(std::string_view folder, std::string_view name);

// Existence tests on texts of paths (links followed).
bool IsFile(std::string_view path);
bool IsFolder(std::string_view path);
// Something is there by that name, whatever it is (a link to nothing counts).
bool IsEntry(std::string_view path);

// The current polar: its folder (ending with "/"), its full path and its display name.
struct PolarFiles {
    std::string PolarFolder;
    std::string PolarPath;
    std::string PolarName;
};

// The default polar: <program>/DefPolars/First31_7.pol.
PolarFiles DefaultPolar(const std::filesystem::path& programFolder);

// The polar of the start-up: section "REPERTOIRES" key "Polars" (the folder) and section
// "Parametres" key "PolaireAct" (the file name) of the settings, when that folder exists and
// something is there by that name (letter case of the name not counting): a folder, a FIFO, a
// device or a link to nothing is kept, so that its load says why it is refused. Otherwise the
// default polar.
PolarFiles StartupPolar(const IniFile& settings, const std::filesystem::path& programFolder);

// The polar keys of a configuration: the folder of "Polars" (absent: the current folder), the
// file of "PolaireAct" in it (absent: the current path; letter case as in PolarFileIn), and the
// display name of the path.
PolarFiles PolarOfConfiguration(const IniFile& file, const PolarFiles& current);

// The other simulator's polars: <documents>/Brisel/Polars/, when that folder exists; "" otherwise
// (also when documents is empty).
std::string BriselPolarFolder(const std::filesystem::path& documents);

// The polar taken when the user accepts the other simulator's polars: their folder, and
// "First 31.7.pol" in it when that file is there; when it is not, the polar in use stays (a polar
// table must load), and its folder is the offered one, to choose from in the parameters dialog.
PolarFiles AcceptBriselPolars(const PolarFiles& current, const std::string& briselFolder);

// ---------------------------------------------------------------- category

inline constexpr int kCategoryUndetermined = 4;

struct CategoryInfo {
    int category;
    std::string_view code;    // in the configuration files
    std::string_view choice;  // the parameters dialog's choice ("" for none)
    std::string_view label;   // the main window's label
};

// In the order in which a file's code is compared.
inline constexpr std::array<CategoryInfo, 5> kCategories{{
    {1, "CC", "Course-croisière", "Course - croisière"},
    {0, "R", "REGATE", "Catégorie régate"},
    {2, "CR", "Croiseur", " Croiseur"},
    {3, "CPTE", "Croiseur PTE", " Croiseur à PTE"},
    {kCategoryUndetermined, "ind", "", "Catégorie à déterminer"},
}};

// The category of a file's code, compared exactly (letter case counts); nothing for another code.
std::optional<int> CategoryFromCode(std::string_view code);
// The code a file holds for a category; that of an undetermined one for a value outside 0..4.
std::string_view CategoryCode(int category);
// The main window's label of a category; that of an undetermined one for a value outside 0..4.
std::string_view CategoryLabel(int category);

}  // namespace corvel::config
