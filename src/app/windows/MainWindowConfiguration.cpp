// The main-window model: configuration files (save, open, the loader and its polar part, the
// automatic reload), the boat category display and quitting.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <system_error>
#include <vector>

#include "app/program/ConfigFiles.h"
#include "app/windows/MainWindowModel.h"
#include "config/Configuration.h"
#include "config/Folders.h"
#include "config/PolarLibrary.h"
#include "nav/Conversions.h"
#include "nav/Utf8Text.h"
#include "sim/WindCurrentLeeway.h"

namespace corvel::app {

namespace fs = std::filesystem;
using nav::FormatFixed;
using nav::Real;

namespace {

// A packed position (degrees x 100 + minutes) into its degree and minute fields and its pair of
// hemisphere buttons (`negative`: south or west).
void ShowPosition(Real packed, EditField& degrees, EditField& minutes, RadioButton& positive, RadioButton& negative) {
    config::PositionFields f = config::UnpackPosition(packed);
    degrees.text = std::move(f.degrees);
    minutes.text = std::move(f.minutes);
    negative.checked = f.negative;
    positive.checked = !f.negative;
}

// The rate-list entry whose text is `rate` (letter case ignored), else the default rate's.
int BaudRateIndex(const ComboBox& list, const std::optional<std::string>& rate) {
    const std::string named = rate.value_or("");
    for (const std::string_view wanted : {std::string_view(named), config::kDefaultBaudRate}) {
        for (std::size_t i = 0; i < list.items.size(); ++i) {
            if (nav::EqualsIgnoringCase(list.items[i], wanted)) return static_cast<int>(i);
        }
    }
    return list.itemIndex;
}

bool IsInteger(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

fs::path TFCorvel::SettingsFolder() const { return config::SettingsFolder(AppDataFolder); }

std::string TFCorvel::NomPolaire(std::string_view path) { return config::NomPolaire(path); }

// ---------------------------------------------------------------- category

void TFCorvel::InitCateg(const std::string& CategoryCode) {
    if (const auto category = config::CategoryFromCode(CategoryCode)) Engine.SetCategory(*category);
    param_.MarkCategory(S.Category);
    AfficheCateg();
}

void TFCorvel::AfficheCateg() { LabCateg.text = std::string(config::CategoryLabel(S.Category)); }

// ---------------------------------------------------------------- load

bool TFCorvel::LoadPolaire(const config::IniFile& file) {
    if (file.ReadString(config::kSectionParameters, "PolaireAct", "").empty()) return true;  // none named
    return param_.LoadPolar(config::PolarOfConfiguration(file, ChosenPolar).PolarPath);
}

void TFCorvel::ApplyConfiguration(const config::IniFile& file, const fs::path& ConfigFile) {
    const config::PolarFiles inForce = ChosenPolar;
    const bool polarLoaded = LoadPolaire(file);
    LoadConfig(file, ConfigFile);
    if (!polarLoaded) {
        ChosenPolar = inForce;
        param_.ShowPolarFolder();
    }
    ShowPolarName();
}

void TFCorvel::LoadConfig(const config::IniFile& file, const fs::path& ConfigFile) {
    const config::Configuration c = config::ReadConfiguration(file);

    // Polar and category. A file without a category leaves it to be determined, and the dialog's
    // choices and the label say so: no choice stays marked for a category not in force.
    if (c.PolarFolder) {
        ChosenPolar.PolarFolder = *c.PolarFolder;
        param_.ShowPolarFolder();
    }
    if (c.PolarFile) {
        ChosenPolar.PolarPath = config::PolarFileIn(ChosenPolar.PolarFolder, *c.PolarFile);
        ChosenPolar.PolarName = NomPolaire(ChosenPolar.PolarPath);
    }
    InitCateg(c.CategoryCode.value_or(std::string(config::kCategories.back().code)));

    // Offsets (the dialog's fields show the values in force), polar percentage, pilot mode. A
    // refused number leaves its value in force, in the state and in the window.
    const SensorOffsets inForce = param_.Offsets();
    param_.SetOffsets(c.SurfaceOffset ? static_cast<double>(*c.SurfaceOffset) : inForce.surface,
                      c.KeelOffset ? static_cast<double>(*c.KeelOffset) : inForce.keel);
    SpBPolPerc.value = std::clamp(static_cast<double>(nav::Round(c.PolarPercent)), SpBPolPerc.min, SpBPolPerc.max);
    SpBPolPercChange();

    // The engine's values, then the wind, heading and current shown.
    const auto single = [](const std::optional<Real>& x) -> std::optional<float> {
        if (x) return static_cast<float>(*x);
        return std::nullopt;
    };
    Engine.Configure({.keelOffset = single(c.KeelOffset),
                      .surfaceOffset = single(c.SurfaceOffset),
                      .standby = c.Standby,
                      .trueWindSpeed = single(c.TWS),
                      .trueWindDirection = single(c.TWD),
                      .heading = single(c.HDG),
                      .currentSpeed = single(c.CurrentSpeed),
                      .currentDirection = single(c.CurrentDirection),
                      .headingVariable = c.HDGVariable,
                      .windSpeedVariable = c.TWSVariable,
                      .windDirectionVariable = c.TWDVariable});
    if (c.TWS) {
        EdTWS.text = FormatFixed(S.TrueWind.mdl, 3, 1);
        EdBFT.text = std::to_string(sim::WindClass(S.TrueWind.mdl));
    }
    if (c.TWD) {
        EdTWD.text = FormatFixed(S.TrueWind.argt, 4, 1);
    }
    if (c.HDG) {
        EdHDG.text = FormatFixed(S.HDG, 3, 1);
        EdCAP.text = EdHDG.text;
        Ed2HDGT.text = EdHDG.text;
    }
    if (c.CurrentSpeed) {
        EdFCourant.text = FormatFixed(S.Current.mdl, 3, 1);
    }
    if (c.CurrentDirection) {
        EdDirCourant.text = FormatFixed(S.Current.argt, 4, 1);
    }

    // Start position and waypoint.
    if (c.StartLatitude) ShowPosition(*c.StartLatitude, EdLATDeg, EdLATMin, RadioButtonN, RadioButtonS);
    if (c.StartLongitude) ShowPosition(*c.StartLongitude, EdLGDEG, EdLGMin, RadioButtonE, RadioButtonW);
    // A name holds 255 bytes at most; a character is never cut.
    if (c.WaypointName) EdNwpt.text = std::string(nav::FirstBytes(*c.WaypointName, 255));
    if (c.WaypointLatitude) ShowPosition(*c.WaypointLatitude, EdLatWpDeg, EDLatWpmin, RadioButtonWPN, RadioButtonWPS);
    if (c.WaypointLongitude) ShowPosition(*c.WaypointLongitude, EDLGWpDeg, EdLGWpmin, RadioButtonWPE, RadioButtonWPW);
    Init_WP();

    // Magnetic variation, then the magnetic heading.
    if (c.MagVar) {
        EdiDECL.text = FormatFixed(std::fabs(*c.MagVar), 5, 2);
        RdgDeclW.checked = *c.MagVar < 0;
        RdgDeclE.checked = !RdgDeclW.checked;
        InitDeclinaison();
    }
    EdHDM.text = FormatFixed(static_cast<Real>(S.HDG) - S.MagVar, 3, 1);

    // UTC offset.
    if (c.UtcOffsetHours) {
        Nmea.UtcOffsetHours = *c.UtcOffsetHours;
        param_.ShowUtcOffset(*c.UtcOffsetHours);
    }

    // Serial speed, WiFi address, port and datagrams' line ends (for the WiFi dialog created after
    // the start-up load).
    CBbauds.itemIndex = BaudRateIndex(CBbauds, c.BaudRate);
    WifiAddress = c.WifiAddress;
    WifiPort = c.WifiPort;
    WifiDatagramLineEnds = c.WifiDatagramLineEnds;

    // Sentences and talkers; the selection dialog shows them.
    for (std::size_t i = 0; i < c.Selection.size(); ++i) {
        if (c.Selection[i]) Nmea.switches[i] = *c.Selection[i] ? nmea::t_switch::ON : nmea::t_switch::OFF;
    }
    if (c.TalkerPosition) Nmea.TalkerPosition = *c.TalkerPosition;
    if (c.TalkerSounder) Nmea.TalkerSounder = *c.TalkerSounder;
    if (c.TalkerSpeed) Nmea.TalkerSpeed = *c.TalkerSpeed;
    if (c.TalkerWind) Nmea.TalkerWind = *c.TalkerWind;
    selection_.ShowContext();
    if (!c.Refused.empty()) dialogs_.ShowMessage(RefusedValuesMessage(ConfigFile, c.Refused));
}

bool TFCorvel::OpenConfigFile(const fs::path& ConfigFile) {
    const config::IniLoadResult load = config::IniFile::Load(ConfigFile);
    if (load.status != nav::ReadStatus::Ok) {
        dialogs_.ShowMessage(load.Refused() ? RefusalMessage(ConfigFile, load)
                                            : "Fichier de configuration introuvable : " + ConfigFile.string());
        return false;
    }
    OpenConfiguration(ConfigFile, load.file);
    return true;
}

void TFCorvel::OpenConfiguration(const fs::path& ConfigFile, const config::IniFile& file) {
    ApplyConfiguration(file, ConfigFile);
    Caption += "      Configuration : " + ConfigFile.filename().string();
    ConfigFilePath = ConfigFile;
    std::error_code ec;
    ConfigFileAge = fs::last_write_time(ConfigFile, ec);
}

void TFCorvel::Ouvrir2Click() {
    MenuAutomatique.checked = false;
    TimerLoadCFG.Stop();
    if (auto chosen = dialogs_.OpenFile("Ouvrir une configuration", "Fichier ini|*.ini", SettingsFolder())) {
        // The dialog's default extension: a name typed without one that names no file is the ".ini".
        std::error_code ec;
        if (!chosen->has_extension() && !fs::exists(*chosen, ec)) chosen->replace_extension(".ini");
        OpenConfigFile(*chosen);
    }
}

// ---------------------------------------------------------------- save

namespace {

// The configuration of this moment, as the save writes it.
config::Configuration CurrentConfiguration(const TFCorvel& w, const SensorOffsets& offsets,
                                           const TalkerCodes& talkers) {
    config::Configuration c;
    c.PolarFolder = w.ChosenPolar.PolarFolder;
    c.PolarFile = w.ChosenPolar.PolarName + ".pol";
    c.CategoryCode = std::string(config::CategoryCode(w.Engine.S.Category));
    c.KeelOffset = offsets.keel;
    c.SurfaceOffset = offsets.surface;
    c.PolarPercent = w.Engine.S.PolarPercent;
    c.Standby = w.Engine.S.Standby;
    c.TWS = w.Engine.S.TrueWind.mdl;
    c.TWD = w.Engine.S.TrueWind.argt;
    c.HDG = static_cast<Real>(w.Engine.S.HDG) - w.Engine.S.Leeway;
    c.CurrentSpeed = w.Engine.S.Current.mdl;
    c.CurrentDirection = w.Engine.S.Current.argt;
    c.StartLatitude = config::PackedPosition(w.EdLATDeg.text, w.EdLATMin.text, w.RadioButtonS.checked);
    c.StartLongitude = config::PackedPosition(w.EdLGDEG.text, w.EdLGMin.text, w.RadioButtonW.checked);
    c.WaypointName = w.Engine.S.Waypoint.nom;
    c.WaypointLatitude = config::PackedPosition(w.EdLatWpDeg.text, w.EDLatWpmin.text, w.RadioButtonWPS.checked);
    c.WaypointLongitude = config::PackedPosition(w.EDLGWpDeg.text, w.EdLGWpmin.text, w.RadioButtonWPW.checked);
    c.MagVar = w.Engine.S.MagVar;
    c.UtcOffsetHours = w.Nmea.UtcOffsetHours;
    const sim::VariableData variable = w.Engine.Variable();  // as the dialog's boxes show it
    c.HDGVariable = variable.heading;
    c.TWSVariable = variable.windSpeed;
    c.TWDVariable = variable.windDirection;
    if (const std::string rate = w.CBbauds.text(); IsInteger(rate)) c.BaudRate = rate;
    const std::string address = w.FParamWIFI.Address();
    const std::string port = w.FParamWIFI.Port();
    if (!address.empty()) c.WifiAddress = address;
    if (!port.empty()) c.WifiPort = port;
    c.WifiDatagramLineEnds = w.FParamWIFI.DatagramLineEnds();
    for (std::size_t i = 0; i < c.Selection.size(); ++i) c.Selection[i] = w.Nmea.switches[i] == nmea::t_switch::ON;
    c.TalkerPosition = talkers.position;
    c.TalkerSounder = talkers.sounder;
    c.TalkerSpeed = talkers.speed;
    c.TalkerWind = talkers.wind;
    return c;
}

}  // namespace

void TFCorvel::EnregistrerCFG() {
    MenuAutomatique.checked = false;
    TimerLoadCFG.Stop();
    const auto chosen = dialogs_.SaveFile("Sauvegarder la configuration", "Fichier INI|*.ini", "ini", SettingsFolder());
    if (chosen) {
        const std::string failure = "Impossible d'enregistrer la configuration dans " + chosen->string() + " : ";
        config::IniLoadResult load = config::IniFile::Load(*chosen);
        // Saving over a file that was not read would lose what it holds: only when the user says so.
        if (MaySaveOver(dialogs_, *chosen, load, failure)) {
            config::WriteConfiguration(CurrentConfiguration(*this, param_.Offsets(), selection_.Talkers()), load.file);
            const config::FileWriteResult written = load.file.Save(*chosen);
            ReportSave(dialogs_, written, *chosen, failure);
        }
    }
}

// ---------------------------------------------------------------- automatic reload

void TFCorvel::MenuAutomatiqueClick() {
    MenuAutomatique.checked = !MenuAutomatique.checked;
    if (MenuAutomatique.checked && !ConfigFilePath.empty()) {
        TimerLoadCFG.Start();
    } else {
        TimerLoadCFG.Stop();
    }
}

void TFCorvel::TimerLoadCFGTimer() {
    if (!MenuAutomatique.checked || ConfigFilePath.empty()) {
        TimerLoadCFG.Stop();
        return;
    }
    std::error_code ec;
    const fs::file_time_type age = fs::last_write_time(ConfigFilePath, ec);
    if (ec || age == ConfigFileAge) return;  // gone for now, or unchanged
    const config::IniLoadResult load = config::IniFile::Load(ConfigFilePath);
    if (load.status == nav::ReadStatus::Missing) return;  // gone since
    ConfigFileAge = age;
    if (load.Refused()) {
        // Said once for this version of the file; the values in force stay.
        dialogs_.ShowMessage(RefusalMessage(ConfigFilePath, load));
        return;
    }
    // A running simulation is paused around the reload, as the pause button does; the resume then
    // starts from the fields the file set.
    const bool running = !S.Halted && !S.Paused;
    if (running) SpBtPauseResClick();
    ApplyConfiguration(load.file, ConfigFilePath);
    if (running) SpBtPauseResClick();
}

// ---------------------------------------------------------------- quit

void TFCorvel::MenuQuitClick() {
    Engine.StopTicks();
    if (dialogs_.GetConfirmation("Voulez-vous sauvegarder la configuration ( O/N) ?") == "O") EnregistrerCFG();
    if (Out.SerialOpen()) Out.CloseSerial();
    MemoNMEA.Clear();
    FormClose();
}

}  // namespace corvel::app
