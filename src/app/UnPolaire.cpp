// The polar window model; see UnPolaire.h.
#include "app/UnPolaire.h"

namespace corvel::app {

TFPolaire::TFPolaire(Dialogs& dialogs, sim::PolarTable& table) : dialogs_(dialogs), table_(table) {
    BtSelPol.caption = "Sélectionner la polaire";
}

bool TFPolaire::Load(const std::filesystem::path& path) {
    const sim::PolarLoadResult result = table_.LoadFromFile(path);
    if (!result.ok) {
        dialogs_.ShowMessage(result.message);
        return false;
    }
    LoadedPath = path;
    return true;
}

void TFPolaire::FormCreate(const std::filesystem::path& path) { Load(path); }

std::optional<std::filesystem::path> TFPolaire::BtSelPolClick(const std::filesystem::path& folder) {
    const auto chosen = dialogs_.OpenFile("Sélectionner la polaire", "Fichier polaire|*.pol", folder);
    if (!chosen || !Load(*chosen)) return std::nullopt;
    return chosen;
}

}  // namespace corvel::app
