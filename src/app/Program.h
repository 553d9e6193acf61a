// The program's windows, created once in their order and kept until the end: the main window,
// the parameters dialog, the polar, the sentence-selection dialog. Both the Qt window and the
// headless run are built on one Program.
#pragma once

#include <filesystem>

#include "app/Dialogs.h"
#include "app/FMX_UnParNMEA.h"
#include "app/TFParam.h"
#include "app/UnCorvelNMEA_MUL.h"
#include "sim/UnPolaire.h"

namespace corvel::app {

class Program {
public:
    // `programFolder` holds the data files (DefPolars/ ...).
    Program(Dialogs& dialogs, std::filesystem::path programFolder);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Dialogs& dialogs;
    const std::filesystem::path ProgramFolder;
    TFParam FParam;
    sim::PolarTable Polar;
    TFCorvel FCorvel;
    TFParNMEA FParNMEA;
};

// The default polar beside the program.
std::filesystem::path DefaultPolarPath(const std::filesystem::path& programFolder);

}  // namespace corvel::app
