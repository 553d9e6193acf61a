// The program's start-up: the folders and the settings file, the choice of the polar, then the
// windows, created once and kept until the end. Each window model receives at construction what it
// asks of the others (app/windows/WindowInterfaces.h): the dialogs come first (the polar window, the
// sentence selection, the network dialog, the parameters), the main window last. What the
// dialogs show in the main window reaches it through the Program, which passes it on. The start-up
// then fills them in their order: the main window's caption, the parameters, the polar table, the
// settings file loaded whole, the network dialog's address. Both the Qt window and the headless run
// are built on one Program.
#pragma once

#include <filesystem>

#include "app/program/Clock.h"
#include "app/program/Dialogs.h"
#include "app/transmission/SerialPorts.h"
#include "app/transmission/Transmission.h"
#include "app/windows/HelpPages.h"
#include "app/windows/MainWindowModel.h"
#include "app/windows/NetworkDialogModel.h"
#include "app/windows/ParametersDialogModel.h"
#include "app/windows/PolarWindowModel.h"
#include "app/windows/SentenceSelectionModel.h"
#include "app/windows/WindowInterfaces.h"
#include "app/windows/WindowZoom.h"
#include "config/Folders.h"
#include "config/IniFile.h"
#include "config/PolarLibrary.h"
#include "sim/PolarTable.h"
#include "sim/Simulator.h"

namespace corvel::app {

class Program : private MainWindowLabels {
public:
    // The whole start-up. With a data folder: the settings file chooses the polar and is then loaded
    // whole. A missing one is a first run: the folder and the file are made, holding
    // config::FirstRunSettings (a failed save is said, and the run goes on with them); a refused
    // one is said (RefusalMessage) and left as it is, and the run starts as a first run does (but for
    // the window's zoom, which only a missing file leaves to the screen's size). With a
    // documents folder holding the other simulator's polars, the user is asked whether to use them.
    // A polar that cannot be loaded is said and the default polar is loaded instead; when that
    // fails too, it is said and Polar.Loaded() stays false (a headless run stops there).
    // `serial`: the machine's serial devices, behind the port names. `zone`: the machine's time zone,
    // whose UTC offset a new user's settings file carries and the parameters dialog shows.
    Program(Dialogs& dialogs, const config::StartupFolders& folders, SerialPlatform& serial = NoSerialDevices(),
            const MachineZone& zone = SystemZone());
    // The program without settings file or documents folder: the windows keep their first values
    // (the UTC offset -2 among them) and the default polar is used (reproducible runs, tests).
    Program(Dialogs& dialogs, std::filesystem::path programFolder, SerialPlatform& serial = NoSerialDevices(),
            const MachineZone& zone = SystemZone());
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Dialogs& dialogs;
    const MachineZone& Zone;
    const std::filesystem::path ProgramFolder;
    // The settings file as read at start-up (a first run's when it was missing or refused; empty
    // without a data folder); its section "COM" names the serial devices.
    const std::filesystem::path SettingsPath;
    config::IniFile Settings;
    sim::PolarTable Polar;
    sim::Simulator Engine{Polar};
    // The polar in use: folder, path and name (the main window and the parameters dialog change it).
    config::PolarFiles ChosenPolar;
    // What the sentences are built with: selection, talkers, UTC offset, GGA counter.
    nmea::NmeaContext Nmea;
    UARTManag ComPorts;
    // The way out of the sentences: the emitter, the injected faults, the logs and the links, which
    // the window's port list and network dialog open, or the headless run directly.
    Transmission Out{Nmea, dialogs, ComPorts};
    TFPolaire FPolaire{dialogs, Polar};
    TFParNMEA FParNMEA{Nmea};
    // Its network link is given by whoever runs the program (TFParamWIFI::SetNetLink).
    TFParamWIFI FParamWIFI{*this, dialogs, Out};
    TFParam FParam{dialogs, Engine, ChosenPolar, Nmea, FPolaire, FParNMEA, *this, Zone};
    TFCorvel FCorvel{{.dialogs = dialogs,
                      .engine = Engine,
                      .chosenPolar = ChosenPolar,
                      .nmea = Nmea,
                      .parameters = FParam,
                      .selection = FParNMEA,
                      .networkDialog = FParamWIFI,
                      .comPorts = ComPorts,
                      .transmission = Out}};
    // The help view over the main window; the network dialog's "AIDE" opens its page.
    HelpViewer Help{ProgramFolder, FParamWIFI.Visible};
    // The main window's zoom, as the settings file saved it; a first run's is chosen by the window
    // for its screen.
    WindowZoom Zoom{dialogs};

private:
    // What the dialogs show in the main window, passed on to it.
    void ShowPolarName() override { FCorvel.ShowPolarName(); }
    void ShowCategory() override { FCorvel.ShowCategory(); }
    void ShowConnection(std::string text) override { FCorvel.ShowConnection(std::move(text)); }
    void SetNetworkActive() override { FCorvel.SetNetworkActive(); }
};

}  // namespace corvel::app
