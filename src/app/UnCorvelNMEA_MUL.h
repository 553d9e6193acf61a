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
#include "app/FMX_Compass.h"
#include "app/Links.h"
#include "app/TFParam.h"
#include "app/TextLog.h"
#include "app/TimerSet.h"
#include "nmea/NmeaBuilders.h"
#include "sim/SimulationState.h"
#include "sim/UnPolaire.h"

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

    // ===== manoeuvres and pilot (UnCorvelNMEA_MUL_pilot.cpp) =====
public:
    void MajBtBestHaul();            // the close-hauled indicator, refreshed by every tick
    void ApplyVireEmpRule();         // VIRER / EMPANNER follow the apparent wind angle
    void EnablePilotCommands(bool enabled);
    // ===== end of manoeuvres and pilot =====

    // ===== links and recording (UnCorvelNMEA_MUL_links.cpp) =====
public:
    // ===== end of links and recording =====

    // ===== configuration (UnCorvelNMEA_MUL_config.cpp) =====
public:
    // ===== end of configuration =====

private:
    void ShowTack();
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
    // The texts written at every tick remember the value they show: an unchanged value is not
    // formatted again.
    struct FixedText {
        nav::Real value = -1e300L;
        std::string text;
        const std::string& operator()(nav::Real x, int precision, int digits);
    };
    FixedText capText_, currentSpeedText_, currentDirectionText_, driftText_;
    TArrow arrow_;  // one record reused for every arrow handed to the compass, as the tick fills it
    bool angleMessageShown_ = false;
    PointF compassOrigin_{630, 18};  // the compass's top-left corner in the window
};

}  // namespace corvel::app
