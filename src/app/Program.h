// The program's start-up: the folders and the settings file, the choice of the polar, then the
// windows, created once in their order and kept until the end (the main window, the parameters
// dialog, the polar, the sentence-selection dialog, which loads the settings file whole, the WiFi
// dialog). Both the Qt window and the headless run are built on one Program.
#pragma once

#include <filesystem>

#include "app/Dialogs.h"
#include "app/MainWindowModel.h"
#include "app/NetworkDialogModel.h"
#include "app/ParametersDialogModel.h"
#include "app/PolarWindowModel.h"
#include "app/SentenceSelectionModel.h"
#include "config/Folders.h"
#include "config/IniFile.h"
#include "config/PolarLibrary.h"
#include "sim/PolarTable.h"
#include "sim/Simulator.h"

namespace corvel::app {

class Program {
public:
    // The whole start-up. With a data folder: its settings folder is created when missing, the
    // settings file chooses the polar and is then loaded whole (a missing file loads as empty:
    // every key takes its default; a refused one is said, RefusalMessage, and read as none). With a
    // documents folder holding the other simulator's polars, the user is asked whether to use them.
    // A polar that cannot be loaded is said and the default polar is loaded instead; when that
    // fails too, it is said and Polar.Loaded() stays false (a headless run stops there).
    Program(Dialogs& dialogs, const config::StartupFolders& folders);
    // The program without settings file or documents folder: the windows keep their first values
    // and the default polar is used (reproducible runs, tests).
    Program(Dialogs& dialogs, std::filesystem::path programFolder);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Dialogs& dialogs;
    const std::filesystem::path ProgramFolder;
    // The settings file as read at start-up (empty without one, or when it was refused); its
    // section "COM" names the serial devices.
    const std::filesystem::path SettingsPath;
    config::IniFile Settings;
    sim::PolarTable Polar;
    sim::Simulator Engine{Polar};
    // The polar in use: folder, path and name (the main window and the parameters dialog change it).
    config::PolarFiles ChosenPolar;
    TFParam FParam{Engine, ChosenPolar};
    TFPolaire FPolaire;
    TFCorvel FCorvel;
    TFParNMEA FParNMEA;
    // Its network link is given by whoever runs the program (TFParamWIFI::SetNetLink).
    TFParamWIFI FParamWIFI;
};

}  // namespace corvel::app
