// The polar window as a model ("SAISIE POLAIRE"): it holds the polar table of the program, shows
// the polar file's lines, and loads a polar file at creation and when the user chooses one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/program/Dialogs.h"
#include "app/windows/Controls.h"
#include "sim/PolarTable.h"

namespace corvel::app {

class TFPolaire {
public:
    TFPolaire(Dialogs& dialogs, sim::PolarTable& table);
    TFPolaire(const TFPolaire&) = delete;
    TFPolaire& operator=(const TFPolaire&) = delete;

    // Creation, at start-up: loads the polar file at `path`. A file that cannot be loaded shows its
    // message and the default polar `fallback` is loaded instead; when that cannot be loaded either,
    // « Impossible de charger la polaire par défaut : <fallback> » is shown (once, also when `path`
    // is `fallback`) and no table is loaded (PolarTable::Loaded is false).
    void FormCreate(const std::filesystem::path& path, const std::filesystem::path& fallback);
    // "Sélectionner la polaire" (ChargePolaire): asks for a polar file, starting in `folder`, and
    // loads it. Returns the file when it was loaded; nothing when the user cancelled or the file was
    // refused (its message shown): the table in force stays.
    std::optional<std::filesystem::path> BtSelPolClick(const std::filesystem::path& folder);
    // Loads the polar file at `path` (a configuration's polar); false when it is refused: its
    // message is shown and the table in force stays.
    bool Load(const std::filesystem::path& path);

    // The memo: the lines of the polar in force.
    const std::vector<std::string>& MemoPolaire() const { return table_.Lines(); }
    // The polar in force, which the window draws.
    const sim::PolarTable& Table() const { return table_; }
    // How many polars were loaded: moves with each load, not with a refused file (a view redraws
    // when it moved).
    std::uint64_t Loads() const { return loads_; }

    std::string Caption = "SAISIE POLAIRE";
    bool Visible = false;
    Button BtSelPol;  // "Sélectionner la polaire"
    // The file of the table in force; empty before the first load.
    std::filesystem::path LoadedPath;

private:
    Dialogs& dialogs_;
    sim::PolarTable& table_;
    std::uint64_t loads_ = 0;
};

}  // namespace corvel::app
