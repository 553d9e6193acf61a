// The simulation engine: the boat's state, the polar in use, the virtual timers, the main tick,
// the current, the sounder, the manoeuvres and the pilot, driven by commands named for what they
// do (start, pause, resume, tack, gybe, bear to close-hauled, change the heading, AUTO, STDBY, set
// or centre the tiller, ...) and asked by questions (is the tack offered now? does a heading
// change count now?). No texts, colours or pixels: whoever shows the simulation (the main window
// model, the parameters dialog) listens to its events and reads its state; the sentences are
// built by the emitter on the engine's sentence second.
//
// Timers due at one instant fire in the order they were added: the tick drivers first, then the
// manoeuvres and the pilot, the sounder, the sentence second and last the tiller's centring, so
// that the sentences read a finished tick.
#pragma once

#include <optional>
#include <vector>

#include "sim/Manoeuvres.h"
#include "sim/PolarTable.h"
#include "sim/SimulationState.h"
#include "sim/TimerSet.h"

namespace corvel::sim {

// What a start (or a resume) takes from the window's fields: knots, degrees, metres.
struct StartConditions {
    float boatSpeed = 0;
    float heading = 0;
    float trueWindSpeed = 0, trueWindDirection = 0;
    float currentSpeed = 0, currentDirection = 0;
    Real latitude = 0;   // degrees, north positive
    Real longitude = 0;  // degrees, east positive
    int polarPercent = 100;
    float surfaceOffset = 0, keelOffset = 0;
};

// The commands a user is offered now (the enabled state of their controls). A command that is
// offered may still be refused by the engine's own rules (a tack while another manoeuvre runs).
struct OfferedCommands {
    bool tack = true, gybe = true;  // "VIRER", "EMPANNER"
    bool bestHaul = true;           // "Venir au meilleur près"
    bool pilotModes = true;         // AUTO and STDBY
    bool headingOne = true;         // "+ 1" and "- 1"
    bool headingTen = true;         // "+10" and "-10"
    bool pauseResume = false;
    bool tiller = false;
    bool operator==(const OfferedCommands&) const = default;
};

// The commands a user gives the engine, for the question of why one would be refused now.
enum class Command { Tack, Gybe, BestHaul, Auto, Standby, HeadingOne, HeadingTen, Pause, Resume, Tiller };

// Why the engine refuses a command now (WhyRefused): the first reason that holds, in this order.
enum class Refusal {
    None,               // the command is offered and taken
    TillerCentring,     // the tiller walks back to the centre: no command is taken meanwhile
    NotPaused,          // resume without a pause
    Paused,             // the simulation is paused (a pause, too, is refused then)
    NotStarted,         // before the first start
    Standby,            // the manoeuvres and the heading steps are the autopilot's: not in STDBY
    NotStandby,         // the tiller is the helmsman's: only in STDBY
    ManoeuvreUnderWay,  // a tack, a gybe or a luffing runs
    CurrentTurning,     // the alternating current turns round
    WindAft,            // a tack with the apparent wind aft of the beam
    WindForward,        // a gybe with the apparent wind forward of the beam
    NotOffered,         // none of the above, yet the control is disabled
};

// The variable-data options: the heading, the wind speed and the wind direction vary (true) or
// hold. The manoeuvres freeze them (all held) and give them back when they end.
struct VariableData {
    bool heading = false, windSpeed = false, windDirection = false;
    bool operator==(const VariableData&) const = default;
};

// The stage of a manoeuvre, for the close-hauled indicator.
enum class BestHaulStage {
    Offered,       // nothing under way: the boat may be brought to close-hauled
    OfferedAfter,  // the end of a tack or gybe not close-hauled
    Luffing,       // luffing towards the best angle
    Approaching,   // within 3 degrees of it
    CloseHauled,   // at the best angle
    Arrived,       // the luffing has just arrived there
    TackStarting,
    Tacking,
    GybeStarting,
    Gybing,
    Tiller,  // STDBY: the helmsman steers
};

// The values of one tick at the instants the window shows them: the wind triangle as the tick
// drew it (the surface wind before it was recomputed, the ground vector before the new speed).
// The tick's close-hauled test, drift and apparent wind are final when it ends: the listener reads
// them from the state at TickDone, which tells them all at once.
struct TickRecord {
    bool second = false;       // the tick of a whole second
    bool current = false;      // a current flows
    bool showValues = false;   // the displays are written (each second, and each tick of a tack)
    t_vect surfaceWindDrawn;   // the surface wind the triangle was drawn with
    t_vect groundBeforeSpeed;  // course and speed over the ground before the polar's new speed
};

// What the engine tells those who show it. Each event comes at the point of the tick or command
// where the value it names has just been computed; the listener reads the state then.
class SimulatorEvents {
public:
    virtual ~SimulatorEvents() = default;
    virtual void SentenceSecond() {}                      // one simulated second of sentences
    virtual void AngleAboveTable(float /*windAngle*/) {}  // once per start: beyond the polar's rows
    // The apparent wind outside a tick (a start, a manoeuvre's step); a tick's comes with TickDone.
    virtual void ApparentWindComputed(bool /*showValues*/) {}
    virtual void UpwindBestComputed() {}
    virtual void BestHaulStageChanged(BestHaulStage) {}
    virtual void WaypointUpdated(bool /*eteDefined*/) {}
    // The end of a tick: the wind triangle as drawn, and the tick's close-hauled test, drift and
    // apparent wind (shown when `showValues`) in the state.
    virtual void TickDone(const TickRecord&) {}
    virtual void StartDone() {}  // a start or resume has set the state
    virtual void PauseDone() {}
    virtual void ResumeDone() {}
    virtual void PilotModeChanged() {}  // AUTO or STDBY chosen
    virtual void CommandsChanged() {}   // Offered() changed
    virtual void TillerMoved() {}       // Tiller() changed
    virtual void HeadingChangeShown(float /*change*/, bool /*shown*/) {}
    virtual void VariableDataChanged() {}  // Variable() changed
};

// What a configuration file sets in the engine; an absent value stays as it is.
struct ConfiguredValues {
    std::optional<float> keelOffset, surfaceOffset;  // metres
    bool standby = false;
    std::optional<float> trueWindSpeed, trueWindDirection, heading, currentSpeed, currentDirection;
    std::optional<bool> headingVariable, windSpeedVariable, windDirectionVariable;
};

class Simulator {
public:
    explicit Simulator(const PolarTable& polar);
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Listeners are told in the order they were added; each outlives the engine's use of it.
    void Listen(SimulatorEvents& listener) { listeners_.push_back(&listener); }
    // A listener told only of VariableDataChanged (a dialog showing the options): the tick's
    // events, twenty a second, do not reach it.
    void ListenToVariableData(SimulatorEvents& listener) { optionListeners_.push_back(&listener); }

    // ---- start, pause, resume
    // The simulation starts with `c` ("SIMULER"); while running, manoeuvres under way are
    // abandoned; after a pause they are continued. Refused (false) while the tiller centres.
    bool Start(const StartConditions& c);
    // Pause: the drivers and the sentences stop; manoeuvres are suspended.
    bool Pause();
    // Resume with the conditions read again (the user may have edited them during the pause).
    bool Resume(const StartConditions& c);
    bool Running() const { return !S.Halted; }
    // The program closes: the tick's drivers stop (the main tick and the helm's).
    void StopTicks() {
        TimerAT.Stop();
        TimerB.Stop();
    }

    // ---- settings applied at once
    void SetPolarPercent(int percent) { state_.PolarPercent = percent; }
    // The boat category: 0 "REGATE" .. 3 "Croiseur PTE", 4 to be determined.
    void SetCategory(int category) { state_.Category = category; }
    // A configuration's values: the offsets, STDBY, the wind, heading and current that the state
    // holds until the next start or resume reads the fields, and the variable-data options (the
    // heading option is also the one AUTO gives back).
    void Configure(const ConfiguredValues& v);
    // The current's two choices: constant, or alternating (it turns round once a minute).
    void SetAlternatingCurrent(bool alternating);
    bool AlternatingCurrent() const { return alternating_; }
    // The waypoint (degrees) and its name; the bearing from the origin is taken again.
    void SetWaypoint(const std::string& name, double latitude, double longitude);
    // Magnetic variation, degrees, east or west.
    void SetMagneticVariation(float degrees, bool west);
    // The variable-data options as the user sets them; during a freeze they take effect when it ends.
    void SetVariableData(const VariableData& options);
    VariableData Variable() const { return options_; }
    bool DataFrozen() const { return freezes_ > 0; }
    // The variable-heading option as the user chose it (the option itself, or its saved copy
    // while a freeze or STDBY holds it off).
    bool HeadingOption() const { return freezes_ > 0 ? saved_.heading : options_.heading; }
    // The variable-heading option that AUTO gives back (a configuration sets it).
    void SetSavedHeadingOption(bool variable) { headingKept_ = variable; }
    bool SavedHeadingOption() const { return headingKept_; }

    // ---- manoeuvres (each refused unless running in AUTO with nothing else under way)
    bool BearToCloseHauled();  // "Venir au meilleur près"
    bool Tack();               // "VIRER"
    bool Gybe();               // "EMPANNER"
    bool CanStartManoeuvre() const;
    bool ManoeuvreRunning() const { return S.Tacking || S.Gybing || S.BestHaulRunning; }

    // ---- pilot
    bool Auto();     // AUTO: the tiller is centred first, then the pilot holds the heading
    bool Standby();  // STDBY: the helmsman steers with the tiller
    // A heading change of `degrees` (+ to starboard) after a 2-second delay; further changes
    // within the delay or the turn add to it. False (dropped) unless AcceptsHeadingChange().
    bool ChangeHeading(float degrees);
    // Not in STDBY, paused or stopped, nor during a tack, a gybe, a luffing or the tiller's centring.
    bool AcceptsHeadingChange() const;
    // The tiller as the user sets it, 0..30 (15 centred); the helm reads it once a second in STDBY.
    void SetTiller(int value);
    int Tiller() const { return tiller_; }
    // The tiller back to the centre, a unit every 200 ms; meanwhile no tick runs and no command
    // is taken.
    void CentreTiller();
    bool TillerCentring() const { return TimerZeroBarre.Enabled(); }

    const OfferedCommands& Offered() const { return offered_; }
    // Whether the control of `command` is offered (enabled) now; WhyRefused adds the engine's
    // own rules.
    bool Offers(Command command) const;
    // Whether `command` would be taken now: Refusal::None exactly when it is offered (its control
    // enabled) and its command would not return false; otherwise why not.
    Refusal WhyRefused(Command command) const;
    // The tack of the last start or tick (F_amure then).
    t_amure TackSide() const { return tack_; }

    // ---- questions for the displays
    // The best upwind angle for `windSpeed` (sets BestUpwindAngle), as VMG_au_Pres shows it.
    UpwindBest SpMaxWndWrd(float windSpeed);
    // BoatSpeed of the polar in use for the state's percentage.
    float BoatSpeed(float windAngle, float windSpeed);
    float PolarMinAngle() const;
    // The best upwind angle and its VMG for the surface wind (BestUpwindAngle, the manoeuvre data).
    void VMG_au_Pres();
    // The polar changed: its best angle is not known yet.
    void ForgetBestUpwindAngle() { state_.BestUpwindAngle = kBestUpwindAngleUnknown; }

    // ---- what runs: the questions about the engine's timers
    bool Ticking() const { return TimerAT.Enabled(); }         // the main tick, 20 a second
    bool HelmTicking() const { return TimerB.Enabled(); }      // STDBY: the helm reads the tiller each second
    bool CurrentTurning() const { return TimerC.Enabled(); }   // the alternating current turns round
    bool CurrentWaiting() const { return Timer60.Enabled(); }  // its minute until the next turn
    // A manoeuvre's steps: the tack's or gybe's turn, or the luffing to close-hauled.
    bool ManoeuvreStepping() const { return TimerV.Enabled() || TimerE.Enabled() || TimerPres.Enabled(); }
    // How many of the tick's drivers run (the main tick, the helm's, the current's turn, a
    // manoeuvre's steps): one while the boat sails, none paused or stopped.
    int DriversRunning() const {
        return TimerAT.Enabled() + TimerB.Enabled() + TimerC.Enabled() + TimerV.Enabled() + TimerE.Enabled() +
               TimerPres.Enabled();
    }
    bool PilotTurning() const { return TimerCHGHDG.Enabled(); }  // AUTO turns to a changed heading
    bool Sounding() const { return TimerSondeur.Enabled(); }     // the sounder's pings
    bool SendingSentences() const { return TimerPhNMEA.Enabled(); }

    // ---- state, read by the displays and the sentences
    const SimulationState& S = state_;
    const ManoeuvreData& Manoeuvre = manoeuvre_;
    int TillerValue() const { return tillerRead_; }  // the tiller as the helm last read it
    // The virtual time the engine's timers run on; whoever shows the engine adds its own timers.
    TimerSet Timers;

private:
    // Tests set up states that no command reaches (a boat past a pole, a state to be saved) through
    // it (tests/support/EngineState.h); nothing else does.
    friend struct StateAccess;
    SimulationState state_;
    ManoeuvreData manoeuvre_;
    int tillerRead_ = kTillerCentre;
    Timer TimerAT, TimerB, TimerC, Timer60, TimerV, TimerE, TimerPres, TimerRestStatusCFVDV, TimerDelaiModCap,
        TimerCHGHDG, TimerSondeur, TimerPhNMEA, TimerZeroBarre;

    // ---- the timers' handlers
    void TimerATTimer();  // one main tick
    void TimerBTimer();   // the tick in STDBY: the helm once a second
    void TimerCTimer();   // a step of the alternating current's turn
    void Timer60Timer();  // the minute of the alternating current
    void TimerPresTimer();
    void TimerVTimer();
    void TimerETimer();
    void TimerRestStatusCFVDVTimer();
    void TimerDelaiModCapTimer();
    void TimerCHGHDGTimer();
    void TimerSondeurTimer();
    void TimerZeroBarreTimer();

    template <typename F>
    void Tell(F f) {
        for (SimulatorEvents* l : listeners_) f(*l);
    }
    void Offer(bool OfferedCommands::*command, bool on);
    void OfferTackAndGybe(bool tack, bool gybe);
    void OfferPilotModes(bool on);
    void OfferHeadingChanges(bool on);
    void MoveTiller(int value);
    // The engine's own rule for `command`, apart from whether it is offered.
    bool Accepts(Command command) const;
    void SetStage(BestHaulStage stage) {
        Tell([stage](SimulatorEvents& l) { l.BestHaulStageChanged(stage); });
    }

    // MajAW_SWA, then VIRER / EMPANNER follow the apparent wind angle; ApparentWind also tells it
    // (outside a tick: the tick's own is told with TickDone).
    void ComputeApparentWind();
    void ApparentWind();
    void ApplyVireEmpRule();
    void UpdateWaypoint();
    void StartDriver();
    void ApplyCurrentChoice();  // the alternating current turns, or the drivers run again
    void SetHeadingOption(bool variable);

    // Variable data frozen by the manoeuvres; freezes nest.
    void FigeData();
    void RestStData();
    void SetOptions(const VariableData& options);

    void vire50msec();
    void StartLuffing();
    void PolarTurnStep();
    void LuffingStep();
    void EndLuffing();
    void StartTackProper();
    void RestartMainDriver();
    void RestartAfterFreeze();
    void SuspendManoeuvres();
    void ResumeManoeuvres();
    void AbandonManoeuvres();
    void AutoAfterCentring();
    void FigeHDG();
    void RelanceTimerDelaiModCap();
    void ModifCapAutoClick();
    void EndPilotTurn();
    void CancelPilotTurn();
    void FinishCentring();

    const PolarTable& polar_;
    std::vector<SimulatorEvents*> listeners_, optionListeners_;
    OfferedCommands offered_;
    bool alternating_ = false;
    int tiller_ = kTillerCentre;
    bool angleMessageShown_ = false;
    t_amure tack_ = t_amure::babord;

    VariableData options_{true, true, true};  // all vary until AUTO holds the heading at start-up
    VariableData saved_;
    int freezes_ = 0;
    bool headingKept_ = false;  // the variable-heading option kept while STDBY holds it off

    bool tackToStarboard_ = false;   // towards the wind, the side of the tack proper's turn
    bool startedStarboard_ = false;  // the surface wind's side when VIRER or EMPANNER was pressed
    int luffingSteps_ = 0;
    float luffingGap_ = 0;  // SWA - BestUpwindAngle at the last luffing tick
    int tackProperTicks_ = 0;
    bool headingRequest_ = false;  // a change was asked since the last completed pilot turn
    bool pilotTurning_ = false;    // a pilot turn holds the variable data frozen
    float pilotTurned_ = 0;        // signed degrees turned by the running pilot turn
    int pilotSteps_ = 0;
    bool autoAfterCentring_ = false;  // AUTO goes on once the tiller is centred
    std::vector<Timer> suspendedByPause_;
    std::vector<Timer> suspendedByCentring_;
};

}  // namespace corvel::sim
