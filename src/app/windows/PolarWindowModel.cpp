// The polar window model; see PolarWindowModel.h.
#include "app/windows/PolarWindowModel.h"

#include "app/program/SimulationTexts.h"

namespace corvel::app {

TFPolaire::TFPolaire(Dialogs& dialogs, sim::PolarTable& table) : dialogs_(dialogs), table_(table) {
    BtSelPol.caption = "Sélectionner la polaire";
}

bool TFPolaire::Load(const std::filesystem::path& path) {
    const sim::PolarLoadResult result = table_.LoadFromFile(path);
    if (!result.ok()) {
        dialogs_.ShowMessage(PolarRefusalMessage(result));
        return false;
    }
    LoadedPath = path;
    ++loads_;
    return true;
}

void TFPolaire::FormCreate(const std::filesystem::path& path, const std::filesystem::path& fallback) {
    if (path != fallback && Load(path)) return;
    if (table_.LoadFromFile(fallback).ok()) {
        LoadedPath = fallback;
        ++loads_;
        return;
    }
    dialogs_.ShowMessage("Impossible de charger la polaire par défaut : " + fallback.string());
}

std::optional<std::filesystem::path> TFPolaire::BtSelPolClick(const std::filesystem::path& folder) {
    const auto chosen = dialogs_.OpenFile("Sélectionner la polaire", "Fichier polaire|*.pol", folder);
    if (!chosen || !Load(*chosen)) return std::nullopt;
    return chosen;
}

}  // namespace corvel::app
