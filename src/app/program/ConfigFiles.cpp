// Messages about refused configuration files; see ConfigFiles.h.
#include "app/program/ConfigFiles.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "app/program/SystemErrors.h"
#include "nav/Conversions.h"
#include "nav/Utf8Text.h"
#include "nav/ValidFloat.h"

namespace corvel::app {

namespace {

// What each ranged quantity is called in a refusal, and the unit of its bounds.
struct QuantityWords {
    config::Quantity quantity;
    std::string_view name;
    std::string_view unit;
};
constexpr std::array<QuantityWords, 11> kQuantityWords{{
    {config::Quantity::WindSpeed, "vitesse du vent", "nœuds"},
    {config::Quantity::WindDirection, "direction du vent", "degrés"},
    {config::Quantity::Heading, "cap", "degrés"},
    {config::Quantity::CurrentSpeed, "vitesse du courant", "nœuds"},
    {config::Quantity::CurrentDirection, "direction du courant", "degrés"},
    {config::Quantity::Latitude, "latitude", "degrés"},
    {config::Quantity::Longitude, "longitude", "degrés"},
    {config::Quantity::MagneticVariation, "déclinaison magnétique", "degrés"},
    {config::Quantity::UtcOffset, "décalage horaire", "heures"},
    {config::Quantity::KeelOffset, "offset de quille", "mètres"},
    {config::Quantity::SurfaceOffset, "offset de surface", "mètres"},
}};

const QuantityWords& WordsOf(config::Quantity quantity) {
    return *std::find_if(kQuantityWords.begin(), kQuantityWords.end(),
                         [quantity](const QuantityWords& w) { return w.quantity == quantity; });
}

}  // namespace

std::string RangeText(const config::KeyRange& range) {
    const QuantityWords& words = WordsOf(range.quantity);
    return std::string(words.name) + " de " + nav::FormatGeneral(range.low) + " à " + nav::FormatGeneral(range.high) +
           ' ' + std::string(words.unit);
}

std::string RefusalReason(const config::IniLoadResult& load) {
    if (load.binary) return "fichier binaire : il contient un octet nul";
    switch (load.status) {
        case nav::ReadStatus::Ok:
        case nav::ReadStatus::Missing: break;
        case nav::ReadStatus::TooLarge:
            return "plus de " + std::to_string(config::IniFile::kMaxFileBytes / (1024 * 1024)) + " Mo";
        case nav::ReadStatus::NotRegular: return "pas un fichier ordinaire";
        case nav::ReadStatus::Unreadable: return "illisible : " + SystemReason(load.error);
    }
    return {};
}

std::string RefusalMessage(const std::filesystem::path& path, const config::IniLoadResult& load) {
    if (!load.Refused()) return {};
    return "Fichier de configuration refusé : " + path.string() + " (" + RefusalReason(load) + ")";
}

std::string ExistingFileRefused(const config::IniLoadResult& load) {
    return "le fichier existant ne peut pas être lu (" + RefusalReason(load) + ")";
}

bool MaySaveOver(Dialogs& dialogs, const std::filesystem::path& path, config::IniLoadResult& load,
                 const std::string& failure) {
    if (!load.Refused()) return true;
    if (load.status != nav::ReadStatus::NotRegular &&
        dialogs.GetConfirmation("Le fichier " + path.string() + " ne peut pas être lu (" + RefusalReason(load) +
                                "). Le remplacer ? Ce qu'il contient sera perdu.") == "O") {
        load.file = config::IniFile();
        return true;
    }
    dialogs.ShowMessage(failure + ExistingFileRefused(load));
    return false;
}

void UpdateSettings(Dialogs& dialogs, const std::filesystem::path& path,
                    const std::function<void(config::IniFile&)>& write) {
    if (path.empty()) return;
    const std::string failure = "Impossible d'écrire " + path.string() + " : ";
    config::IniLoadResult settings = config::IniFile::Load(path);
    // Saving over a file that was not read would lose what it holds: only when the user says so.
    if (!MaySaveOver(dialogs, path, settings, failure)) return;
    write(settings.file);
    ReportSave(dialogs, settings.file.Save(path), path, failure);
}

// « Valeur hors limites ignorée dans FILE : iPOSLat=9000 (latitude de -89 à 89 degrés) », every
// refused number named with its range.
std::string RefusedValuesMessage(const std::filesystem::path& file, const std::vector<config::RefusedValue>& refused) {
    std::string text =
        refused.size() == 1 ? "Valeur hors limites ignorée dans " : "Valeurs hors limites ignorées dans ";
    text += file.string();
    text += " : ";
    for (std::size_t i = 0; i < refused.size(); ++i) {
        const config::RefusedValue& r = refused[i];
        if (i > 0) text += ", ";
        text += r.key;
        text += '=';
        text += r.text;
        text += " (" + RangeText({r.quantity, r.low, r.high}) + ')';
    }
    return text;
}

std::string FieldRefusal(std::string_view field, std::string_view text, nav::Real value, std::string_view key) {
    const config::KeyRange range = *config::RangeOfKey(key);
    if (range.low <= value && value <= range.high) return {};
    return "Valeur hors limites refusée pour « " + std::string(field) +
           " » : " + std::string(nav::FirstBytes(text, nav::kNumberTextLength)) + " (" + RangeText(range) + ")";
}

}  // namespace corvel::app
