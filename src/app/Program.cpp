// The program's windows; see Program.h.
#include "app/Program.h"

namespace corvel::app {

std::filesystem::path DefaultPolarPath(const std::filesystem::path& programFolder) {
    return programFolder / "DefPolars" / "First31_7.pol";
}

Program::Program(Dialogs& d, std::filesystem::path programFolder)
    : dialogs(d), ProgramFolder(std::move(programFolder)), FCorvel(d, FParam, Polar), FParNMEA(FCorvel.Nmea) {
    const sim::PolarLoadResult loaded = Polar.LoadFromFile(DefaultPolarPath(ProgramFolder));
    if (!loaded.ok) dialogs.ShowMessage(loaded.message);
    FCorvel.SetSelectionDialog(&FParNMEA);
    // The talkers start as "GP", "SD", "DM", "WI"; the dialog shows the matching buttons.
    FParNMEA.SelectTalkerButtons();
    FParNMEA.RefreshNMEAParam();
}

}  // namespace corvel::app
