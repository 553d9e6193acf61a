// The simulation engine: the manoeuvres (best close-hauled, tack, gybe) and the pilot (AUTO,
// STDBY, heading changes, tiller); see Simulator.h.
#include <algorithm>
#include <cmath>

#include "nav/Conversions.h"
#include "sim/Simulator.h"

namespace corvel::sim {

void Simulator::ApplyVireEmpRule() {
    // Every tick; nearly always the offers stand as they are, and then this costs a comparison.
    const bool turning = TimerC.Enabled();  // the alternating current is turning
    const bool downwind = state_.AWA > 90;
    const bool tack = !turning && !downwind, gybe = !turning && downwind;
    if (offered_.tack != tack || offered_.gybe != gybe) OfferTackAndGybe(tack, gybe);
}

// ---------------------------------------------------------------- the commands' refusals

bool Simulator::Accepts(Command command) const {
    switch (command) {
        case Command::Tack:
        case Command::Gybe:
        case Command::BestHaul: return CanStartManoeuvre();
        case Command::HeadingOne:
        case Command::HeadingTen: return AcceptsHeadingChange();
        case Command::Auto: return !TillerCentring() && !ManoeuvreRunning();  // a manoeuvre is the autopilot at work
        case Command::Standby:
        case Command::Tiller: return !TillerCentring();
        case Command::Pause: return !TillerCentring() && !state_.Paused;
        case Command::Resume: return !TillerCentring() && state_.Paused;
    }
    return false;
}

bool Simulator::Offers(Command command) const {
    static constexpr bool OfferedCommands::*kOffered[] = {&OfferedCommands::tack,        &OfferedCommands::gybe,
                                                          &OfferedCommands::bestHaul,    &OfferedCommands::pilotModes,
                                                          &OfferedCommands::pilotModes,  &OfferedCommands::headingOne,
                                                          &OfferedCommands::headingTen,  &OfferedCommands::pauseResume,
                                                          &OfferedCommands::pauseResume, &OfferedCommands::tiller};
    return offered_.*kOffered[static_cast<int>(command)];
}

Refusal Simulator::WhyRefused(Command command) const {
    if (Offers(command) && Accepts(command)) return Refusal::None;
    const bool autopilot = command == Command::Tack || command == Command::Gybe || command == Command::BestHaul ||
                           command == Command::HeadingOne || command == Command::HeadingTen;
    if (TillerCentring()) return Refusal::TillerCentring;
    if (command == Command::Resume && !state_.Paused) return Refusal::NotPaused;
    if (state_.Paused && command != Command::Resume) return Refusal::Paused;
    if (state_.Halted && !state_.Paused) return Refusal::NotStarted;
    if (autopilot && state_.Standby) return Refusal::Standby;
    if (command == Command::Tiller && !state_.Standby) return Refusal::NotStandby;
    if ((autopilot || command == Command::Auto) && ManoeuvreRunning()) return Refusal::ManoeuvreUnderWay;
    if (TimerC.Enabled()) return Refusal::CurrentTurning;
    if (command == Command::Tack) return Refusal::WindAft;
    if (command == Command::Gybe) return Refusal::WindForward;
    return Refusal::NotOffered;
}

// ---------------------------------------------------------------- best upwind angle

float Simulator::PolarMinAngle() const { return polar_.RowCount() > 0 ? static_cast<float>(polar_.Angles()[0]) : 0.0f; }

UpwindBest Simulator::SpMaxWndWrd(float wsref) {
    const UpwindBest best = sim::SpMaxWndWrd(manoeuvre_.VmgScan, PolarMinAngle(), wsref,
                                             [this](float angle, float ws) { return BoatSpeed(angle, ws); });
    state_.BestUpwindAngle = best.angle;
    return best;
}

void Simulator::VMG_au_Pres() {
    const UpwindBest best = SpMaxWndWrd(state_.SurfaceWind.mdl);
    manoeuvre_.BestUpwindSpeed = best.speed;
    manoeuvre_.BestUpwindVMG = UpwindVMG(best.angle, best.speed);
    Tell([](SimulatorEvents& l) { l.UpwindBestComputed(); });
}

// ---------------------------------------------------------------- manoeuvres

bool Simulator::CanStartManoeuvre() const {
    return !state_.Halted && !state_.Paused && !state_.Standby && !ManoeuvreRunning() && !TillerCentring() &&
           !TimerC.Enabled();
}

void Simulator::vire50msec() { TurnHeading(state_, manoeuvre_.TurnStep, manoeuvre_.TurnToStarboard); }

bool Simulator::BearToCloseHauled() {
    if (!CanStartManoeuvre()) return false;
    CancelPilotTurn();
    FigeData();
    StartLuffing();
    return true;
}

void Simulator::StartLuffing() {
    ManoeuvreData& m = manoeuvre_;
    SetStage(BestHaulStage::Luffing);
    state_.BestHaulRunning = true;
    OfferTackAndGybe(false, false);
    m.TurnStep = kLuffingStep;
    m.FineStep = m.TurnStep / kFineStepRatio;
    VMG_au_Pres();
    const bool towardsWind = SurfaceWindFromStarboard(state_);
    m.TurnToStarboard = towardsWind;
    m.BearingAway =
        state_.BestUpwindAngle > state_.SWA && std::fabs(state_.SWA - state_.BestUpwindAngle) > kCloseHauledTolerance;
    if (m.BearingAway) {  // pointing higher than the best angle: bear away in fine steps
        m.TurnStep = m.FineStep * kBearAwayFineSteps;
        m.TurnToStarboard = !towardsWind;
    }
    luffingSteps_ = 0;
    luffingGap_ = state_.SWA - state_.BestUpwindAngle;
    TimerPres.Start();
    TimerAT.Stop();
}

void Simulator::PolarTurnStep() {
    vire50msec();
    ApparentWind();
    state_.WaterTrack.mdl = BoatSpeed(state_.SWA, state_.SurfaceWind.mdl);
    TimerATTimer();
}

void Simulator::LuffingStep() {
    PolarTurnStep();
    ++manoeuvre_.TackTicks;
    ++luffingSteps_;
}

void Simulator::TimerPresTimer() {
    ManoeuvreData& m = manoeuvre_;
    TimerAT.Stop();  // the manoeuvre drives the tick
    const float gap = state_.SWA - state_.BestUpwindAngle;
    // Once bearing away, a step that carried the boat over the whole window (a leeway changing by
    // a degree moves the heading with it) ends the luffing there instead of circling round again.
    const bool jumped = m.BearingAway && JumpedOverWindow(luffingGap_, gap);
    luffingGap_ = gap;
    switch (NextLuffingMove(state_.SWA, state_.BestUpwindAngle, state_.Tacking)) {
        case LuffingMove::HandOverToTack: StartTackProper(); return;
        case LuffingMove::Arrive: EndLuffing(); return;
        case LuffingMove::Luff:
            if (jumped) break;
            LuffingStep();
            if (std::fabs(state_.SWA - state_.BestUpwindAngle) < kApproachThreshold)
                SetStage(BestHaulStage::Approaching);
            break;
        case LuffingMove::BearAway:
            if (jumped) break;
            if (!m.BearingAway) {  // overshot at a degree a step: back in fine steps
                m.TurnStep = m.FineStep;
                m.TurnToStarboard = !m.TurnToStarboard;
                m.BearingAway = true;
            }
            LuffingStep();
            break;
    }
    if (!jumped && luffingSteps_ < kMaxLuffingSteps) return;
    if (state_.Tacking) {
        StartTackProper();
    } else {
        EndLuffing();
    }
}

void Simulator::EndLuffing() {
    state_.HDG = state_.WaterTrack.argt - state_.Leeway;
    TimerPres.Stop();
    RestartAfterFreeze();
    RestartMainDriver();
    state_.BestHaulRunning = false;
    state_.CloseHauled = true;
    SetStage(BestHaulStage::Arrived);
}

void Simulator::RestartAfterFreeze() {
    // One freeze per arrival, released 10 s later; an arrival within those 10 s releases the
    // earlier one now and waits again.
    if (TimerRestStatusCFVDV.Enabled()) {
        TimerRestStatusCFVDV.Stop();
        RestStData();
    }
    TimerRestStatusCFVDV.Start();
}

void Simulator::TimerRestStatusCFVDVTimer() {
    RestStData();
    TimerRestStatusCFVDV.Stop();
}

void Simulator::RestartMainDriver() {
    if (!TimerC.Enabled()) TimerAT.Start();  // the alternating current drives the tick while it turns
}

bool Simulator::Tack() {
    if (!CanStartManoeuvre()) return false;
    ManoeuvreData& m = manoeuvre_;
    CancelPilotTurn();
    state_.Tacking = true;
    FigeData();
    m.TackTicks = 0;
    const Real pma = PolarMinAngle();
    m.TackHeadToWindTick = static_cast<int>(nav::Round(state_.SWA));
    m.TackNoGoTick = static_cast<int>(nav::Round(state_.SWA - pma));
    m.TurnStep = kLuffingStep;
    m.ManoeuvreStartAngle = state_.SWA;
    const UpwindBest best = SpMaxWndWrd(state_.SurfaceWind.mdl);
    m.BestUpwindSpeed = best.speed;
    m.TackMinSpeed = static_cast<float>(kHeadToWindFactor * best.speed);
    m.MinAngleSpeed = BoatSpeed(static_cast<float>(pma), state_.SurfaceWind.mdl);
    TimerAT.Stop();
    startedStarboard_ = SurfaceWindFromStarboard(state_);
    tackToStarboard_ = startedStarboard_;  // towards the wind
    m.TurnToStarboard = tackToStarboard_;
    SetStage(BestHaulStage::TackStarting);
    StartLuffing();  // the options stay frozen once, by the tack
    return true;
}

void Simulator::StartTackProper() {
    state_.HDG = state_.WaterTrack.argt - state_.Leeway;
    TimerPres.Stop();
    state_.BestHaulRunning = false;
    SetStage(BestHaulStage::CloseHauled);
    // Through the wind a degree a step, whatever the luffing did: pressed while pointing higher
    // than the best angle, the luffing had set a bearing-away step and side.
    manoeuvre_.TurnStep = kLuffingStep;
    manoeuvre_.TurnToStarboard = tackToStarboard_;
    tackProperTicks_ = 0;
    TimerV.Start();
}

void Simulator::TimerVTimer() {
    ManoeuvreData& m = manoeuvre_;
    TimerAT.Stop();  // the manoeuvre drives the tick
    const int n = ++m.TackTicks;
    ++tackProperTicks_;
    const float pma = PolarMinAngle();
    if (n < m.TackHeadToWindTick) {
        vire50msec();
        ApparentWind();
        if (state_.SWA >= pma) {
            state_.WaterTrack.mdl = BoatSpeed(state_.SWA, state_.SurfaceWind.mdl);
        } else if (const int x = n - m.TackNoGoTick; x >= 1) {
            state_.WaterTrack.mdl = TackApproachSpeed(m.TackMinSpeed, m.MinAngleSpeed, x);
        }
        TimerATTimer();
    } else if (n == m.TackHeadToWindTick) {
        vire50msec();
        ApparentWind();
        state_.WaterTrack.mdl = m.TackMinSpeed;
    } else if (pma - state_.SWA > kTackEndWindow) {
        vire50msec();
        ApparentWind();
        state_.WaterTrack.mdl = TackRecoverySpeed(m.TackMinSpeed, n - static_cast<Real>(m.ManoeuvreStartAngle));
        TimerATTimer();
    }
    const bool onNewTack = SurfaceWindFromStarboard(state_) != startedStarboard_;
    if (!TackComplete(state_.SWA, m.ManoeuvreStartAngle, onNewTack) && tackProperTicks_ < kMaxTackTicks) {
        PolarTurnStep();
        return;
    }
    state_.HDG = state_.WaterTrack.argt - state_.Leeway;
    TimerV.Stop();
    RestStData();
    RestartMainDriver();
    state_.Tacking = false;
    SetStage(std::fabs(state_.SWA - state_.BestUpwindAngle) <= kCloseHauledTolerance ? BestHaulStage::CloseHauled
                                                                                     : BestHaulStage::OfferedAfter);
}

bool Simulator::Gybe() {
    if (!CanStartManoeuvre()) return false;
    ManoeuvreData& m = manoeuvre_;
    CancelPilotTurn();
    state_.Gybing = true;
    FigeData();
    m.ManoeuvreStartAngle = state_.SWA;
    m.GybeTicks = 0;
    m.TurnStep = GybeTurnStep(state_.SWA);
    TimerAT.Stop();
    TimerE.Start();
    startedStarboard_ = SurfaceWindFromStarboard(state_);
    m.TurnToStarboard = !startedStarboard_;  // away from the wind
    SetStage(BestHaulStage::GybeStarting);
    OfferTackAndGybe(false, false);
    return true;
}

void Simulator::TimerETimer() {
    ManoeuvreData& m = manoeuvre_;
    TimerAT.Stop();  // the manoeuvre drives the tick
    if (++m.GybeTicks <= kGybeTimedSteps) {
        PolarTurnStep();
        return;
    }
    m.TurnStep /= 4;
    for (int i = 0; i < kMaxGybeFinalSteps; ++i) {
        const bool onNewSide = SurfaceWindFromStarboard(state_) != startedStarboard_;
        if (GybeComplete(state_.SWA, m.ManoeuvreStartAngle, onNewSide)) break;
        PolarTurnStep();
    }
    state_.HDG = state_.WaterTrack.argt - state_.Leeway;
    TimerE.Stop();
    RestStData();
    RestartMainDriver();
    state_.Gybing = false;
    SetStage(BestHaulStage::OfferedAfter);
}

// ---------------------------------------------------------------- pause, start, STDBY

namespace {

void RemoveTimer(std::vector<Timer>& timers, const Timer& timer) {
    std::erase_if(timers, [&timer](const Timer& t) { return t.Name() == timer.Name(); });
}

}  // namespace

void Simulator::SuspendManoeuvres() {
    for (Timer* t : {&TimerV, &TimerE, &TimerPres, &TimerCHGHDG, &TimerDelaiModCap}) {
        if (!t->Enabled()) continue;
        t->Stop();
        suspendedByPause_.push_back(*t);
    }
}

void Simulator::ResumeManoeuvres() {
    for (Timer& t : suspendedByPause_) t.Start();
    suspendedByPause_.clear();
    if (TimerV.Enabled() || TimerE.Enabled() || TimerPres.Enabled()) {
        TimerAT.Stop();  // the manoeuvre drives the tick again
        TimerB.Stop();
    }
    if (ManoeuvreRunning()) OfferTackAndGybe(false, false);
}

void Simulator::AbandonManoeuvres() {
    CancelPilotTurn();
    if (ManoeuvreRunning()) {
        TimerV.Stop();
        TimerE.Stop();
        TimerPres.Stop();
        state_.HDG = state_.WaterTrack.argt - state_.Leeway;
        state_.Tacking = state_.Gybing = state_.BestHaulRunning = false;
        RestStData();
    }
    if (TimerRestStatusCFVDV.Enabled()) {
        TimerRestStatusCFVDV.Stop();
        RestStData();
    }
    suspendedByPause_.clear();
}

// ---------------------------------------------------------------- pilot modes

bool Simulator::Auto() {
    if (!Accepts(Command::Auto)) return false;
    state_.Standby = false;
    Offer(&OfferedCommands::tiller, false);
    Tell([](SimulatorEvents& l) { l.PilotModeChanged(); });
    autoAfterCentring_ = true;
    CentreTiller();  // AUTO goes on when the tiller is centred
    return true;
}

void Simulator::AutoAfterCentring() {
    CancelPilotTurn();
    OfferTackAndGybe(true, true);
    Offer(&OfferedCommands::bestHaul, true);
    SetStage(BestHaulStage::Offered);
    TimerB.Stop();
    if (!state_.Halted) RestartMainDriver();
    // The bearing from the origin is taken again; before the first start there is no bearing yet,
    // and the first waypoint update takes it.
    state_.OriginBearing = state_.Halted ? kOriginBearingToTake : state_.BTW;
    OfferHeadingChanges(true);
    state_.HDGVariable = headingKept_;
    SetHeadingOption(headingKept_);
}

bool Simulator::Standby() {
    if (!Accepts(Command::Standby)) return false;
    AbandonManoeuvres();  // the helmsman takes over where the boat is
    state_.Standby = true;
    Tell([](SimulatorEvents& l) { l.PilotModeChanged(); });
    FigeHDG();
    Offer(&OfferedCommands::tiller, true);
    OfferTackAndGybe(false, false);
    Offer(&OfferedCommands::bestHaul, false);
    SetStage(BestHaulStage::Tiller);
    TimerAT.Stop();
    if (!state_.Halted && !TimerC.Enabled()) TimerB.Start();
    OfferHeadingChanges(false);
    return true;
}

void Simulator::FigeHDG() {
    headingKept_ = HeadingOption();
    if (state_.Standby) SetHeadingOption(false);
    state_.HDGVariable = options_.heading;
}

// ---------------------------------------------------------------- heading changes

bool Simulator::AcceptsHeadingChange() const {
    return !(state_.Standby || state_.Paused || state_.Halted || ManoeuvreRunning() || TillerCentring());
}

bool Simulator::ChangeHeading(float change) {
    if (!AcceptsHeadingChange()) return false;
    manoeuvre_.PendingHeadingChange += change;
    headingRequest_ = true;
    RelanceTimerDelaiModCap();
    return true;
}

void Simulator::RelanceTimerDelaiModCap() {
    TimerDelaiModCap.Stop();
    TimerDelaiModCap.Start();
    const float change = manoeuvre_.PendingHeadingChange;
    Tell([change](SimulatorEvents& l) { l.HeadingChangeShown(change, true); });
}

void Simulator::TimerDelaiModCapTimer() {
    ModifCapAutoClick();
    TimerDelaiModCap.Stop();
}

void Simulator::ModifCapAutoClick() {
    ManoeuvreData& m = manoeuvre_;
    if (!headingRequest_) return;  // the turn already met every change asked for
    if (pilotTurning_) {
        // A press during the turn moved its target; the turn goes on to it, towards the side where
        // the rest of the change lies, rather than adding the whole sum again from here.
        m.TurnToStarboard = m.PendingHeadingChange - pilotTurned_ > 0;
        return;
    }
    FigeData();
    pilotTurning_ = true;
    m.TurnStep = kPilotTurnStep;
    m.HeadingChangeStart = state_.HDG;
    m.TurnToStarboard = m.PendingHeadingChange > 0;
    pilotTurned_ = 0;
    pilotSteps_ = 0;
    TimerCHGHDG.Start();
}

void Simulator::TimerCHGHDGTimer() {
    ManoeuvreData& m = manoeuvre_;
    vire50msec();
    ApparentWind();
    state_.HDG = state_.WaterTrack.argt - state_.Leeway;
    pilotTurned_ += m.TurnToStarboard ? m.TurnStep : -m.TurnStep;
    ++pilotSteps_;
    const float target = PilotTarget(m.HeadingChangeStart, m.PendingHeadingChange);
    if (PilotTurnComplete(state_.HDG, target, m.TurnStep) || pilotSteps_ >= kMaxPilotTurnSteps) EndPilotTurn();
}

void Simulator::EndPilotTurn() {
    TimerCHGHDG.Stop();
    pilotTurning_ = false;
    RestStData();
    manoeuvre_.PendingHeadingChange = 0;
    Tell([](SimulatorEvents& l) { l.HeadingChangeShown(0, false); });
    headingRequest_ = false;
}

void Simulator::CancelPilotTurn() {
    TimerDelaiModCap.Stop();
    RemoveTimer(suspendedByPause_, TimerDelaiModCap);
    RemoveTimer(suspendedByPause_, TimerCHGHDG);
    if (pilotTurning_) {
        EndPilotTurn();
    } else {
        manoeuvre_.PendingHeadingChange = 0;
        Tell([](SimulatorEvents& l) { l.HeadingChangeShown(0, false); });
        headingRequest_ = false;
    }
}

// ---------------------------------------------------------------- helm and tiller

void Simulator::TimerBTimer() {
    if (nav::IsTickMultiple(state_.TickCount, static_cast<long long>(state_.TicksPerSecond))) {
        tillerRead_ = tiller_;
        ApplyTiller(state_, tillerRead_);
    }
    TimerATTimer();
}

void Simulator::CentreTiller() {
    if (TillerCentring()) return;
    TimerB.Stop();
    tillerRead_ = tiller_;  // the bar where the user left it
    if (tillerRead_ == kTillerCentre) {
        FinishCentring();
        return;
    }
    // The tiller walks back a unit every 200 ms; nothing else moves the boat meanwhile.
    for (Timer* t : {&TimerAT, &TimerC, &Timer60, &TimerV, &TimerE, &TimerPres, &TimerDelaiModCap, &TimerCHGHDG}) {
        if (!t->Enabled()) continue;
        t->Stop();
        suspendedByCentring_.push_back(*t);
    }
    tillerRead_ += tillerRead_ < kTillerCentre ? 1 : -1;
    MoveTiller(tillerRead_);
    TimerZeroBarre.Start();
}

void Simulator::TimerZeroBarreTimer() {
    if (tillerRead_ != kTillerCentre) {
        tillerRead_ += tillerRead_ < kTillerCentre ? 1 : -1;
        MoveTiller(tillerRead_);
        return;
    }
    TimerZeroBarre.Stop();
    for (Timer& t : suspendedByCentring_) t.Start();
    suspendedByCentring_.clear();
    FinishCentring();
}

void Simulator::FinishCentring() {
    tillerRead_ = kTillerCentre;
    MoveTiller(kTillerCentre);
    if (state_.Standby && !state_.Paused && !state_.Halted && !TimerC.Enabled()) TimerB.Start();
    if (autoAfterCentring_) {
        autoAfterCentring_ = false;
        AutoAfterCentring();
    }
}

}  // namespace corvel::sim
