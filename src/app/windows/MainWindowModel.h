// The main window as a model: its controls as plain data, their texts and colours, and the
// handlers under the window's names, which read the fields, call the simulation engine and write
// the displays in their formats when the engine says a value changed. The sentences leave through
// the program's Transmission, whose state the window shows. The Qt view copies it to widgets;
// tests and the headless runner drive it and its engine in virtual time.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "app/instruments/CompassModel.h"
#include "app/program/Clock.h"
#include "app/program/Dialogs.h"
#include "app/transmission/Links.h"
#include "app/transmission/SerialPorts.h"
#include "app/transmission/TextLog.h"
#include "app/transmission/Transmission.h"
#include "app/windows/ControlGroups.h"
#include "app/windows/Controls.h"
#include "app/windows/SlideShow.h"
#include "app/windows/WindowInterfaces.h"
#include "config/IniFile.h"
#include "config/PolarLibrary.h"
#include "nmea/NmeaBuilders.h"
#include "sim/Manoeuvres.h"
#include "sim/PolarTable.h"
#include "sim/SimulationState.h"
#include "sim/Simulator.h"
#include "sim/TimerSet.h"

namespace corvel::app {

// What the main window works with, each given once by whoever assembles the program (Program).
struct MainWindowParts {
    Dialogs& dialogs;
    sim::Simulator& engine;           // the simulation the window shows and drives
    config::PolarFiles& chosenPolar;  // the program's record of the polar in use
    nmea::NmeaContext& nmea;          // selection, talkers, UTC offset, GGA counter
    ParameterSettings& parameters;    // the parameters dialog
    SelectionSettings& selection;     // the sentence-selection dialog
    NetworkSettings& networkDialog;   // the network dialog
    UARTManag& comPorts;              // the serial ports (their devices, for the port list)
    Transmission& transmission;       // the way out of the sentences, which the window shows
};

class TFCorvel : public MainWindowLabels, private sim::SimulatorEvents, private TransmissionEvents {
public:
    // The window listens to the engine from its construction on.
    explicit TFCorvel(const MainWindowParts& parts);
    TFCorvel(const TFCorvel&) = delete;
    TFCorvel& operator=(const TFCorvel&) = delete;

    // --- commands and handlers
    void BtCalCClick();        // "SIMULER": the fields read, the engine started
    void SpBtPauseResClick();  // pause / resume (resume reads the fields again)
    // The start conditions as the fields show them (what "SIMULER" and resume read).
    sim::StartConditions ReadConditions() const;
    // The fields "SIMULER" and the resume read (conditions, position, variation), or the waypoint's,
    // against the configuration loader's ranges: the first one outside is told to the user, with
    // the loader's words, and false is returned (the command is not done).
    bool FieldsInRange(bool waypoint);

    void EdTWSChange();  // the best upwind angle shown again, and the wind force
    void SpBPolPercChange();
    void RdBtCourConstChange();  // "Constant" / "Alterné"

    void Init_WP();  // the waypoint fields to the engine
    // "Modif": the waypoint's fields to the engine, once within the loader's ranges.
    void BtModWpClick() {
        if (FieldsInRange(true)) Init_WP();
    }
    void InitDeclinaison();
    void EdiDECLChange() { InitDeclinaison(); }

    // Sentences: one group per second, in the order 1, 3, 2, through the transmission.
    void TimerPhNMEATimer();
    // One recorded line through the transmission (a replay's).
    bool SendSentence(std::string_view sentence) { return Out.Send(std::nullopt, sentence); }

    // Which groups of controls changed since a view last drew them.
    Revisions Changes;
    // Whether a view shows the window. A run with nothing to show (headless) sets it false: the
    // tick then writes no display and no compass arrow, and the fields that a start or a resume
    // reads back (position, wind, heading, current, boat speed) only when a pause or a start comes.
    bool Shown = true;

    // --- the engine the window shows and drives
    sim::Simulator& Engine;
    sim::TimerSet& Timers;  // the engine's: the window's own timers are there too
    // The way out of the sentences: the window shows its logs, its links' state and calls it.
    Transmission& Out;
    nmea::NmeaContext& Nmea;  // the emitter's: selection, talkers, UTC offset, GGA counter
    Timer TimerLoadCFG;
    // The right column's slide show (its TimerDiapo in the engine's set) and its switch.
    SlideShow Slides{Timers};
    void SwitchDiaposSwitch() { Slides.SwitchDiaposSwitch(SwitchDiapos.isChecked); }
    TFMXCompass FMXCompass1;
    CompassPanel Compass{FMXCompass1};  // fills it from the state

    // --- controls
    std::string Caption;
    // Conditions
    EditField EdHDG, EdTWS, EdTWD, EdBFT, EdFCourant, EdDirCourant;
    SpinBox SpBPolPerc;
    RadioButton RdBtCourConst, RdBtCourAlt;
    EditField EdLATDeg, EdLATMin, EdLGDEG, EdLGMin;
    RadioButton RadioButtonN, RadioButtonS, RadioButtonE, RadioButtonW;
    // Waypoint
    EditField EdNwpt, EdLatWpDeg, EDLatWpmin, EDLGWpDeg, EdLGWpmin, EdDTW, EdBTW;
    RadioButton RadioButtonWPN, RadioButtonWPS, RadioButtonWPE, RadioButtonWPW;
    Button BtModWp;
    Label LabEddistortho, LabEdDistLoxo, LbEdWCV, LbEDETE;
    // Computed data
    EditField EdBSP, EdVMGVent, EdAWS, EdAWD, EdAWA, EdVRS_S, EdVRS_D, EdVRS_A;
    Label LbEdBestHaul, LbEdVMGauPres, LabTypVent, LabBestHAul;
    // Variation
    EditField EdiDECL, Ed2HDGT, EdHDM;
    RadioButton RdgDeclE, RdgDeclW;
    // Centre column
    Label StxNomPol, LabCateg;
    Button BtCalC, SpBtPauseRes, BtBestHaul;
    Glyph GlyphResPause;
    EditField EdAM, EdCOG, EdSOG, EdDeriv;
    Label LDeriv;
    // Compass column
    EditField EdCAP, EdModCap;
    Button SpBTAUTO, SpBtStdBY, SpBtL, SpBT10L, SpBt10R, SpBtR, SBtVire, SBtEmp;
    Glyph Glyph_AUTO, Glyph_STDBY;
    TrackBar TrackBarre;
    float ImageBatDYNRotation = 0;  // the boat picture turns with the heading
    // Transmission
    Switch SwWIFI;
    EditField EdMouch;
    TextLog& MemoNMEA;                // the transmission's sentence log, with its error lines
    TextLog& MemoNMEAHMS;             // the transmission's time-stamped log
    bool MemoNMEAFollowsEnd = false;  // scrolled to its last line
    // "+": the sentence list laid over the compass column, whose compass, boat picture, large
    // heading and tack and gybe buttons are hidden meanwhile; a second press brings them back.
    void SpBtZoomNMEAClick();
    Button SpBtZoomNMEA;
    bool NmeaListZoomed = false;
    // Right column: the slide show's switch, on from the start.
    Switch SwitchDiapos{.isChecked = true, .enabled = true, .hint = {}};
    // Menus
    MenuItem MenuParametres, MenuOuvrir;

    // ===== manoeuvres and pilot (MainWindowPilot.cpp) =====
public:
    // The clicks: each asks the engine, which may refuse it.
    void BtBestHaulClick();  // "Venir au meilleur près"
    void SBtVireClick();     // "VIRER"
    void SBtEmpClick();      // "EMPANNER"
    void SpBtAUTOClick();
    void SpBtStdBYClick();
    void SpBtRClick();    // "+ 1"
    void SpBt10RClick();  // "+10"
    void SpBtLClick();    // "- 1"
    void SpBT10LClick();  // "-10"
    void zerolabarreClick() { Engine.CentreTiller(); }
    void TrackBarreChange() { Engine.SetTiller(TrackBarre.value); }  // the user moved the tiller
    Button zerolabarre;

private:
    void MajBtBestHaul();  // the close-hauled indicator, refreshed by every tick
    void ShowOfferedCommands();
    void ShowPilotGlyphs(sim::PilotSituation situation);
    // ===== end of manoeuvres and pilot =====

    // ===== links and recording (MainWindowLinks.cpp) =====
public:
    // The serial ports (the port list shows the twelve names with their devices; the transmission
    // writes the sentences to them) and the network dialog.
    UARTManag& ComPorts;
    NetworkSettings& FParamWIFI;

    // Serial link, opened and closed through the transmission.
    void CBComSelect();  // the port list changed: opens the chosen port
    void SwActivNMEA_comEnable();
    void RAZComClick();  // "RAZ"
    // The devices behind the names, asked of the system: when the view shows the list, and again
    // when a device is plugged in.
    void RefreshComList();
    ComboBox CBCom;
    ComboBox CBbauds{.items = {kBaudRates.begin(), kBaudRates.end()}, .itemIndex = 5, .hint = {}};
    Switch SwActivNMEA_com{.enabled = false, .hint = {}};
    Button RAZCom;

    // Network link.
    void SwWIFISwitch();
    void BtParamWIFIClick();  // shows the dialog, only while paused
    Button BtParamWIFI{.caption = {}, .enabled = false, .hint = {}};
    EditField EdConnex;

    // Recording: the sentence log and the time-stamped log to text files, CR LF line ends; the save
    // dialog opens in the settings folder.
    void MenuSvrawClick();    // "Enregistrer NMEA brut"
    void MenuSvTimstClick();  // "Enregistrer NMEA horodaté"
    MenuItem MenuSvraw, MenuSvTimst;

private:
    void SaveNmeaLog(const TextLog& log);
    // ===== end of links and recording =====

    // ===== configuration (MainWindowConfiguration.cpp) =====
public:
    // The folders of the start-up (the program's data files, the per-user data folder holding the
    // settings, the documents) and the current polar (the program's record, given at construction).
    std::filesystem::path ProgramFolder, AppDataFolder, DocumentsFolder;
    config::PolarFiles& ChosenPolar;
    // Where the configuration dialogs open: the settings folder (empty without a data folder).
    std::filesystem::path SettingsFolder() const;

    // "Configuration" › "Enregistrer": the save dialog, then every key of the configuration into
    // the chosen file, updated in place and saved atomically (an error is shown, the old file stays).
    // A file there that is refused (IniLoadResult::Refused) is not saved over: a message says why.
    void EnregistrerCFG();
    // "Configuration" › "Ouvrir": the open dialog, then OpenConfigFile.
    void Ouvrir2Click();
    // Opens a configuration as "Ouvrir" does once the file is chosen: reads it once, then applies
    // it (ApplyConfiguration), the caption, the file's age. False, nothing changed and one message
    // shown, when no file is there (« Fichier de configuration introuvable : ... ») or it is
    // refused (RefusalMessage).
    bool OpenConfigFile(const std::filesystem::path& ConfigFile);
    // What OpenConfigFile does with the file once read.
    void OpenConfiguration(const std::filesystem::path& ConfigFile, const config::IniFile& file);
    // Applies a configuration to the state and the windows, key by key in the loader's order;
    // missing keys take their defaults; numbers out of their range keep the value in force and are
    // named, with `ConfigFile`, in one message. No polar table is loaded.
    void LoadConfig(const config::IniFile& file, const std::filesystem::path& ConfigFile);
    // A configuration opened or reloaded: the polar it names loaded (LoadPolaire), then the whole
    // file (LoadConfig). A refused polar keeps the polar in force and its names.
    void ApplyConfiguration(const config::IniFile& file, const std::filesystem::path& ConfigFile);
    // The polar a configuration names ("PolaireAct", in its "Polars" folder or the one in force)
    // loaded, unless it is the polar in force; false when it is refused (its message shown).
    bool LoadPolaire(const config::IniFile& file);
    // The display name of a polar path (FIRST31_7 for ".../First31_7.pol").
    static std::string NomPolaire(std::string_view path);
    // The category of a file's code ("R", "CC", "CR", "CPTE", "ind"; another code changes nothing),
    // then the parameters dialog's choices and the label follow it.
    void InitCateg(const std::string& CategoryCode);
    // LabCateg shows the label of the category in force.
    void AfficheCateg();

    // What the dialogs show here (MainWindowLabels).
    void ShowPolarName() override {
        StxNomPol.text = ChosenPolar.PolarName;
        Changes.Bump(ControlGroup::Centre);
    }
    void ShowCategory() override {
        AfficheCateg();
        Changes.Bump(ControlGroup::Centre);
    }
    // The network's state, in « Stat » unless a stalled serial port shows there.
    void ShowConnection(std::string text) override {
        connectionText_ = std::move(text);
        ShowLinkStatus();
    }
    void SetNetworkActive() override { Out.OpenNetwork(); }
    // "Automatique": ticked, the last opened configuration is read again each time its file changes,
    // checked every 10 s by TimerLoadCFG (a running simulation is paused around the reload). A
    // changed file that is refused is reported once and the values in force stay.
    void MenuAutomatiqueClick();
    void TimerLoadCFGTimer();
    // "Quitter": asks whether to save the configuration, closes the serial port, clears the
    // sentence list and closes the window.
    void MenuQuitClick();
    // The window is closed: the program ends.
    void FormClose() { Closed = true; }
    bool Closed = false;

    // The last configuration opened and its modification time then.
    std::filesystem::path ConfigFilePath;
    std::filesystem::file_time_type ConfigFileAge{};
    // The WiFi address and port read by the last load, which the start-up gives the network
    // dialog (empty: not read), and whether its datagrams end in CR LF.
    std::string WifiAddress, WifiPort;
    bool WifiDatagramLineEnds = false;
    MenuItem MenuEnregistrer, MenuAutomatique, MenuQuitter;
    // ===== end of configuration =====

private:
    // What the engine says, written to the displays.
    void SentenceSecond() override { TimerPhNMEATimer(); }
    void AngleAboveTable(float windAngle) override;
    void ApparentWindComputed(bool showValues) override {
        if (Shown) ShowApparentWind(showValues);
    }
    void UpwindBestComputed() override;
    void BestHaulStageChanged(sim::BestHaulStage stage) override;
    void WaypointUpdated(bool eteDefined) override;
    void TickDone(const sim::TickRecord& tick) override;
    // The fields a start or a resume reads back (position, wind, current, heading, boat speed): the
    // values each tick leaves in them, taken at the tick and written as text at once when a view
    // shows the window, else when a pause or a start is about to read them.
    struct StartFieldValues {
        bool second = false, current = false, values = false;  // the groups taken since last written
        float lat = 0, lon = 0, tws = 0, twd = 0, currentSpeed = 0, currentDirection = 0, hdg = 0, bsp = 0;
    } startFields_;
    void TakeStartFields(const sim::TickRecord& tick);
    void WriteStartFields();
    void StartDone() override;
    void PauseDone() override;
    void ResumeDone() override;
    void PilotModeChanged() override;
    void CommandsChanged() override { ShowOfferedCommands(); }
    void TillerMoved() override {
        TrackBarre.value = Engine.Tiller();
        Changes.Bump(ControlGroup::Pilot);
    }
    void HeadingChangeShown(float change, bool shown) override;

    // The tick's displays that TickDone writes from the state besides the wind triangle.
    void ShowApparentWind(bool showValues);
    void ShowDrift();
    void ShowTack();

    Dialogs& dialogs_;
    ParameterSettings& param_;
    SelectionSettings& selection_;
    const sim::SimulationState& S;  // the engine's state, which the displays read
    // The texts written at every tick remember the values they show: a value written as the last
    // one was is not formatted again, and a field that already shows the text is not written again.
    // Each one always has the same precision and digits.
    struct FixedText {
        nav::FixedRange range{1, -1};  // the values written as `text` (none yet)
        std::string text;
        void Show(std::string& field, nav::Real x, int precision, int digits);
    };
    FixedText capText_, currentSpeedText_, currentDirectionText_, driftText_;
    // « Stat »: the stalled serial port while it loses sentences, else the network's state.
    void ShowLinkStatus();
    std::string connectionText_;  // the network's state, kept while the serial port shows
    // What the transmission says, shown.
    void SentenceLogged() override;
    void SerialSentenceLost(bool stallBegins) override;
    void SerialStallEnded() override { ShowLinkStatus(); }
    void SerialFailed() override;
    bool angleMessageShown_ = false;
};

}  // namespace corvel::app
