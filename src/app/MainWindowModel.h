// The main window as a model: its controls as plain data, the simulation state, every timer, and
// the commands and timer handlers of the simulation (start, pause, the main tick, the current,
// the waypoint and variation, the sounder). The Qt view copies it to widgets; tests drive it
// directly in virtual time.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "app/Clock.h"
#include "app/Controls.h"
#include "app/Dialogs.h"
#include "app/CompassModel.h"
#include "app/Links.h"
#include "app/ParametersDialogModel.h"
#include "app/TextLog.h"
#include "sim/TimerSet.h"
#include "config/IniFile.h"
#include "nmea/NmeaBuilders.h"
#include "sim/Manoeuvres.h"
#include "sim/SimulationState.h"
#include "sim/PolarTable.h"

namespace corvel::app {

class TFParNMEA;

class TFCorvel : private nmea::SentenceSink {
public:
    TFCorvel(Dialogs& dialogs, TFParam& param, const sim::PolarTable& polar);
    TFCorvel(const TFCorvel&) = delete;
    TFCorvel& operator=(const TFCorvel&) = delete;

    // --- commands and handlers
    void BtCalCClick();        // "SIMULER"
    void SpBtPauseResClick();  // pause / resume
    void TimerATTimer();       // one main tick
    void TimerBTimer();        // the tick in STDBY
    void SetFactEch();
    PointF CoordORIgW(float len, float angl) const;
    PointF CoordComp(PointF windowPoint) const;

    void EdTWSChange();
    void SpBPolPercChange();
    void RdBtCourConstChange();
    void TimerCTimer();
    void Timer60Timer();

    void Init_WP();
    void BtModWpClick() { Init_WP(); }
    void WpMajDistRel();
    void InitDeclinaison();
    void EdiDECLChange() { InitDeclinaison(); }

    void MajProf();
    void TimerSondeurTimer();

    // Sentences: one group per second, in the order 1, 3, 2; every sentence leaves through
    // EmitSentence to the log, the network link, the serial link and the time-stamped log.
    void TimerPhNMEATimer();
    bool EmitSentence(std::string_view sentence) override;

    // The wall clock of the sentences and the time stamps (the system's unless set).
    void SetClock(const Clock& clock) { clock_ = &clock; }
    // The selection dialog whose talker buttons "SIMULER" reads.
    void SetSelectionDialog(TFParNMEA* dialog) { FParNMEA_ = dialog; }

    // --- state
    sim::SimulationState S;
    nmea::NmeaContext Nmea;  // selection, talkers, UTC offset, GGA counter
    int NmeaPhase = 1;       // the group of the next sentence run; never reset
    // The links, looked up at every sentence.
    SerialOutput* Serial = nullptr;
    bool ComLinkOpen = false;
    NetOutput* Wifi = nullptr;
    bool WifiActive = false;
    bool ComLinkValid = false;  // the chosen port opened once
    // Every sentence, after the links (a headless run's standard output).
    std::function<void(std::string_view)> OnSentence;
    TimerSet Timers;
    Timer TimerAT, TimerB, TimerC, Timer60, TimerV, TimerE, TimerPres, TimerRestStatusCFVDV, TimerDelaiModCap,
        TimerCHGHDG, TimerSondeur, TimerPhNMEA, TimerDiapo, TimerLoadCFG;
    TFMXCompass FMXCompass1;

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
    TextLog MemoNMEA;     // the sentence log, with the transmission error lines
    TextLog MemoNMEAHMS;  // the time-stamped log
    bool MemoNMEAFollowsEnd = false;  // scrolled to its last line
    // Menus
    MenuItem MenuParametres, MenuOuvrir;

    // ===== manoeuvres and pilot (MainWindowPilot.cpp) =====
public:
    void MajBtBestHaul();     // the close-hauled indicator, refreshed by every tick
    void ApplyVireEmpRule();  // VIRER / EMPANNER follow the apparent wind angle
    void EnablePilotCommands(bool enabled);  // SpBTAUTO and SpBtStdBY (EnabCmdPilot, InhibCmdPilot)

    // Best upwind angle: SpMaxWndWrd sets BestUpwindAngle and returns (speed, angle) for a wind
    // speed; VMG_au_Pres shows the angle and its VMG for the surface wind.
    sim::UpwindBest SpMaxWndWrd(float wsref);
    void VMG_au_Pres();

    // Manoeuvres. Each is refused unless the simulation runs in AUTO with no manoeuvre under way.
    void BtBestHaulClick();  // "Venir au meilleur près"
    void TimerPresTimer();   // one luffing step
    void SBtVireClick();     // "VIRER"
    void TimerVTimer();      // the tack proper
    void SBtEmpClick();      // "EMPANNER"
    void TimerETimer();      // the gybe
    void TimerRestStatusCFVDVTimer();  // the variable data back, 10 s after a luffing
    void vire50msec();  // one turn step (luffing, tack, pilot)
    void vire1sec();    // the same step, for the gybe
    void InhibVire() { SBtVire.enabled = false; }
    void InhibEmp() { SBtEmp.enabled = false; }
    void EnabVire() { SBtVire.enabled = true; }
    void EnabEmp() { SBtEmp.enabled = true; }

    // Pilot.
    void SpBtAUTOClick();
    void SpBtStdBYClick();
    void SpBtRClick();    // "+ 1"
    void SpBt10RClick();  // "+10"
    void SpBtLClick();    // "- 1"
    void SpBT10LClick();  // "-10"
    // Whether a press of "+ 1", "+10", "- 1" or "-10" now counts: not in STDBY, paused or stopped,
    // nor during a tack, a gybe, a luffing or the tiller's centring (such a press is dropped).
    bool AcceptsHeadingChange() const;
    void RelanceTimerDelaiModCap();
    void TimerDelaiModCapTimer();
    void ModifCapAutoClick();
    void TimerCHGHDGTimer();
    void EnabModHDG();   // the four change buttons
    void INhibModHDG();
    void FigeHDG();
    // Tiller centring (the click on zerolabarre, and AUTO): one unit towards 15 every 200 ms on
    // TimerZeroBarre. Meanwhile no tick runs and no command is taken.
    void ZeroTrackBarre();
    void zerolabarreClick() { ZeroTrackBarre(); }
    void TimerZeroBarreTimer();
    bool TillerCentring() const { return TimerZeroBarre.Enabled(); }

    // Hooks of start and pause: a pause suspends a manoeuvre and a pilot turn, resume continues
    // them; "SIMULER" while running abandons them.
    void SuspendManoeuvres();
    void ResumeManoeuvres();
    void AbandonManoeuvres();

    sim::ManoeuvreData Manoeuvre;
    int TillerValue = sim::kTillerCentre;  // the tiller as the helm last read it
    Timer TimerZeroBarre;
    Button zerolabarre;

private:
    void InitPilot();  // from the constructor: the centring timer, then AUTO
    bool ManoeuvreRunning() const { return S.Tacking || S.Gybing || S.BestHaulRunning; }
    bool CanStartManoeuvre() const;
    float PolarMinAngle() const;
    void StartLuffing();
    // A turn step, the apparent wind, the polar's speed, one main tick.
    void PolarTurnStep(void (TFCorvel::*turn)());
    void LuffingStep();
    void EndLuffing();
    void StartTackProper();
    void RestartMainDriver();
    void RestartAfterFreeze();
    void RequestHeadingChange(float change);
    void EndPilotTurn();
    void CancelPilotTurn();
    void FinishCentring();
    void AutoAfterCentring();

    bool tackToStarboard_ = false;   // towards the wind, the side of the tack proper's turn
    bool startedStarboard_ = false;  // the surface wind's side when VIRER or EMPANNER was pressed
    int luffingSteps_ = 0;
    float luffingGap_ = 0;           // SWA - BestUpwindAngle at the last luffing tick
    int tackProperTicks_ = 0;
    bool headingRequest_ = false;    // a change was asked since the last completed pilot turn
    bool pilotTurning_ = false;      // a pilot turn holds the variable data frozen
    float pilotTurned_ = 0;          // signed degrees turned by the running pilot turn
    int pilotSteps_ = 0;
    bool autoAfterCentring_ = false; // AUTO goes on once the tiller is centred
    std::vector<Timer> suspendedByPause_;
    std::vector<Timer> suspendedByCentring_;

public:
    // ===== end of manoeuvres and pilot =====

    // ===== links and recording (MainWindowLinks.cpp) =====
public:
    // The serial ports and the network dialog, given by whoever assembles the program: the port
    // list then shows the twelve names with their devices, sentences go to the ports through
    // WriteComText and to the dialog's TransmitSentence.
    void AttachComPorts(class UARTManag& ports);
    void AttachWifiDialog(class TFParamWIFI& dialog);
    class UARTManag* ComPorts = nullptr;
    class TFParamWIFI* FParamWIFI = nullptr;

    // Serial link. OpenComPort: 8 data bits, no parity, one stop bit.
    bool OpenComPort(std::string_view name, int baudRate);
    // Writes to the open port; a device that failed closes the link (Failed, with its message).
    WriteResult WriteComText(std::string_view text);
    void CloseComPort(std::string_view name);
    void CBComSelect();  // the port list changed: opens the chosen port
    void SwActivNMEA_comEnable();
    void SwActivNMEA_comSwitch();
    void RAZComClick();  // "RAZ"
    void RefreshComList();  // the devices behind the names, read again (a device plugged in)
    int LastComIndex = 0;  // the port whose open last succeeded
    ComboBox CBCom{.items = {}, .hint = "Sélectionner un COM valide avant d'activer la liaison filaire"};
    ComboBox CBbauds{.items = {"150", "300", "600", "1200", "2400", "4800", "9600", "19200", "38400", "57600",
                               "115200", "230400"},
                     .itemIndex = 5,
                     .hint = {}};
    Switch SwActivNMEA_com{.enabled = false, .hint = "Sélectionner un COM au préalable"};
    Button RAZCom{.caption = "RAZ", .hint = {}};

    // Network link.
    void SwWIFISwitch();
    void BtParamWIFIClick();  // shows the dialog, only while paused
    Button BtParamWIFI{.caption = "PARAMETRES WIFI",
                       .enabled = false,
                       .hint = "Mettre en pause avant d'accéder aux paramètres"};
    EditField EdConnex{.text = "Pas de connexion", .hint = {}};

    // Recording: the sentence log and the time-stamped log to text files, CR LF line ends.
    void MenuSvrawClick();    // "Enregistrer NMEA brut"
    void MenuSvTimstClick();  // "Enregistrer NMEA horodaté"
    MenuItem MenuSvraw{.text = "Enregistrer NMEA brut"}, MenuSvTimst{.text = "Enregistrer NMEA horodaté"};
    std::filesystem::path SaveDialogNMEAFolder;  // where the save dialog opens

private:
    void SaveNmeaLog(const TextLog& log);
    // The serial output the emitter sees: the model's WriteComText.
    struct ComOutput : SerialOutput {
        explicit ComOutput(TFCorvel& w) : window(w) {}
        WriteResult WriteComText(std::string_view text) override { return window.WriteComText(text); }
        TFCorvel& window;
    } comOutput_{*this};
    // ===== end of links and recording =====

    // ===== configuration (MainWindowConfiguration.cpp) =====
public:
    // The folders of the start-up (the program's data files, the per-user data folder holding the
    // settings, the documents) and the current polar: its folder (ending with "/"), full path and
    // display name.
    std::filesystem::path ProgramFolder, AppDataFolder, DocumentsFolder;
    std::string PolarFolder, PolarPath, PolarName;
    // Where the configuration dialogs open: the settings folder (empty without a data folder).
    std::filesystem::path SettingsFolder() const;

    // "Configuration" › "Enregistrer": the save dialog, then every key of the configuration into
    // the chosen file, updated in place and saved atomically (an error is shown, the old file stays).
    // A file there that is refused (IniLoadResult::Refused) is not saved over: a message says why.
    void EnregistrerCFG();
    // "Configuration" › "Ouvrir": the open dialog, then OpenConfigFile.
    void Ouvrir2Click();
    // Opens a configuration as "Ouvrir" does once the file is chosen: reads it once, then its polar
    // keys (LoadPolaire), the whole file (LoadConfig), the caption, the file's age. False, nothing
    // changed and one message shown, when no file is there (« Fichier de configuration
    // introuvable : ... ») or it is refused (RefusalMessage).
    bool OpenConfigFile(const std::filesystem::path& ConfigFile);
    // What OpenConfigFile does with the file once read.
    void OpenConfiguration(const std::filesystem::path& ConfigFile, const config::IniFile& file);
    // Applies a configuration to the state and the windows, key by key in the loader's order;
    // missing keys take their defaults; numbers out of their range keep the value in force and are
    // named, with `ConfigFile`, in one message. No polar table is loaded.
    void LoadConfig(const config::IniFile& file, const std::filesystem::path& ConfigFile);
    // The polar keys of a configuration: PolarFolder, PolarPath and PolarName.
    void LoadPolaire(const config::IniFile& file);
    // The display name of a polar path (FIRST31_7 for ".../First31_7.pol").
    static std::string NomPolaire(std::string_view path);
    // The category of a file's code ("R", "CC", "CR", "CPTE", "ind"; another code changes nothing),
    // then the parameters dialog's choices and the label follow it.
    void InitCateg(const std::string& CategoryCode);
    // LabCateg shows the label of the category in force.
    void AfficheCateg();
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

    // The variable-heading option, kept while STDBY holds it off; a configuration sets it.
    bool HDGVariableSaved = false;
    // The last configuration opened and its modification time then.
    std::filesystem::path ConfigFilePath;
    std::filesystem::file_time_type ConfigFileAge{};
    // The WiFi address and port read by the last load, for the WiFi dialog created after the
    // start-up load (empty: not read).
    std::string WifiAddress, WifiPort;
    MenuItem MenuEnregistrer{.text = "Enregistrer"}, MenuAutomatique{.text = "Automatique"},
        MenuQuitter{.text = "Quitter"};
    // ===== end of configuration =====

private:
    sim::t_amure ShowTack();  // shows and returns the tack
    void ShowDrift();
    void ShowApparentWind();
    float BoatSpeed(float wa, float ws);
    PointF CentrePoint() const;
    PointF BearingPoint(float speed, float bearing) const;
    void StartDriver();

    Dialogs& dialogs_;
    SystemClock systemClock_;
    const Clock* clock_ = &systemClock_;
    TFParNMEA* FParNMEA_ = nullptr;
    TFParam& param_;
    const sim::PolarTable& polar_;
    // The texts written at every tick remember the values they show: a value written as the last
    // one was is not formatted again, and a field that already shows the text is not written again.
    // Each one always has the same precision and digits.
    struct FixedText {
        nav::FixedRange range{1, -1};  // the values written as `text` (none yet)
        std::string text;
        void Show(std::string& field, nav::Real x, int precision, int digits);
    };
    FixedText capText_, currentSpeedText_, currentDirectionText_, driftText_;
    std::string stampedLine_;  // the time-stamped log line, built in the same buffer each time
    TArrow arrow_;  // one record reused for every arrow handed to the compass, as the tick fills it
    bool angleMessageShown_ = false;
    PointF compassOrigin_{630, 18};  // the compass's top-left corner in the window
};

}  // namespace corvel::app
