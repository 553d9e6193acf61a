// The program's start-up; see Program.h.
#include "app/program/Program.h"

#include <system_error>

#include "app/program/ConfigFiles.h"
#include "config/Configuration.h"
#include "config/PolarLibrary.h"

namespace corvel::app {

namespace fs = std::filesystem;

Program::Program(Dialogs& d, std::filesystem::path programFolder, SerialPlatform& serial, const MachineZone& zone)
    : Program(d, config::StartupFolders{std::move(programFolder), {}, {}}, serial, zone) {}

Program::Program(Dialogs& d, const config::StartupFolders& folders, SerialPlatform& serial, const MachineZone& zone)
    : dialogs(d),
      Zone(zone),
      ProgramFolder(folders.ProgramFolder),
      SettingsPath(config::SettingsPath(folders.AppDataFolder)),
      ComPorts(serial, d) {
    // Before the windows: the folders, the settings file, the polar. A missing settings file is a
    // first run; a refused one is said and the start-up goes on as a first run, without touching it.
    bool firstRun = false;
    if (!SettingsPath.empty()) {
        // A first run's settings: its scenario with the depth offsets the parameters dialog shows at
        // its creation, and the machine's UTC offset of this moment.
        const auto firstRunSettings = [this] {
            const SensorOffsets shown = FParam.Offsets();
            return config::FirstRunSettings(Zone.UtcOffsetHours(), {.surface = shown.surface, .keel = shown.keel});
        };
        config::IniLoadResult load = config::IniFile::Load(SettingsPath);
        if (load.status == nav::ReadStatus::Missing) {
            // A new user, or a folder left without its file (a first run that could not write it):
            // the folder and a settings file holding the window's scenario, started at sea near its
            // waypoint, so that a first "SIMULER" sails, and the machine's UTC offset of this
            // moment, so that its sentences carry the right UTC. A failed save is said; this run sails that scenario
            // all the same, and the next start tries again.
            std::error_code ec;
            fs::create_directories(SettingsPath.parent_path(), ec);  // a failure shows in the save
            Settings = firstRunSettings();
            firstRun = true;
            ReportSave(dialogs, Settings.Save(SettingsPath), SettingsPath,
                       "Impossible d'écrire " + SettingsPath.string() + " : ");
        } else if (load.Refused()) {
            dialogs.ShowMessage(RefusalMessage(SettingsPath, load));
            Settings = firstRunSettings();
        } else {
            Settings = std::move(load.file);
        }
    }
    config::PolarFiles polar = config::StartupPolar(Settings, ProgramFolder);
    const std::string brisel = config::BriselPolarFolder(folders.DocumentsFolder);
    if (!brisel.empty() && brisel != polar.PolarFolder &&
        dialogs.GetConfirmation(std::string(config::kBriselQuestion)) == "O") {
        polar = config::AcceptBriselPolars(polar, brisel);
    }
    FCorvel.ProgramFolder = ProgramFolder;
    FParamWIFI.OpenHelp = [this] { Help.UtilWifiHELP(); };
    FCorvel.AppDataFolder = folders.AppDataFolder;
    FCorvel.DocumentsFolder = folders.DocumentsFolder;
    ChosenPolar = polar;
    // The devices the settings name for the ports (the port list looks them up when it is shown:
    // asking the system is slow, and a run without a serial link never needs it).
    ComPorts.SetDeviceOverrides(ComDeviceOverrides(Settings));

    // 1. The main window.
    FCorvel.Caption += "   Version : " + std::string(config::kProgramVersion);
    FCorvel.ShowPolarName();
    // 2. The parameters dialog.
    FParam.FormCreate();
    // 3. The polar: the only polar table loaded at start-up. One that cannot be loaded gives way to
    // the default polar, which the polar names then follow (also when it fails in turn).
    const config::PolarFiles defaultPolar = config::DefaultPolar(ProgramFolder);
    FPolaire.FormCreate(ChosenPolar.PolarPath, defaultPolar.PolarPath);
    const bool onDefault = FPolaire.LoadedPath != fs::path(ChosenPolar.PolarPath);
    const auto nameTheDefaultPolar = [this, &defaultPolar] {
        ChosenPolar = defaultPolar;
        FCorvel.ShowPolarName();
        FParam.ShowPolarFolder();
    };
    if (onDefault) nameTheDefaultPolar();
    // 4. The settings file (or the first run's, in its place) loaded whole.
    if (!SettingsPath.empty()) {
        FCorvel.LoadConfig(Settings, SettingsPath);
        if (onDefault) nameTheDefaultPolar();  // the settings name the polar that was refused
    } else {
        // No load: the category stays to be determined, and no choice of the dialog says otherwise.
        FParam.MarkCategory(Engine.S.Category);
        FParNMEA.ShowContext();
    }
    // 5. The WiFi dialog, with the address, port and datagrams' line ends that load read; it saves
    // them into the settings.
    if (!FCorvel.WifiAddress.empty()) FParamWIFI.EdAdIP.text = FCorvel.WifiAddress;
    if (!FCorvel.WifiPort.empty()) FParamWIFI.EdPort.text = FCorvel.WifiPort;
    FParamWIFI.ChkCRLF.checked = FCorvel.WifiDatagramLineEnds;
    FParamWIFI.SettingsPath = SettingsPath;
    FParamWIFI.FormCreate();
    // 6. The window's zoom.
    Zoom.Load(Settings, SettingsPath, firstRun);
}

}  // namespace corvel::app
