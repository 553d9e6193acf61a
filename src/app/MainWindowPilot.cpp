// The main-window model: manoeuvres (best close-hauled, tack, gybe) and the pilot (AUTO, STDBY,
// heading changes, tiller).
#include <algorithm>
#include <cmath>

#include "app/MainWindowModel.h"
#include "nav/Conversions.h"

namespace corvel::app {

using namespace corvel::sim;
using nav::FormatFixed;
using nav::Real;

namespace {

// The captions of "Venir au meilleur près", the heading-change notice and the hint of the
// centring picture.
constexpr const char* kCaptionBestHaul = "Venir au meilleur près";
constexpr const char* kCaptionBestHaulAfter = "Venir au meilleur près.";  // the end of a tack or gybe
constexpr const char* kCaptionLuffing = "AU LOF ....";
constexpr const char* kCaptionApproach = "en approche....";
constexpr const char* kCaptionCloseHauled = "AU PRES";
constexpr const char* kCaptionTackStart = "Virement en cours";
constexpr const char* kCaptionTacking = "Virement en cours ...";
constexpr const char* kCaptionGybeStart = "EMPANNAGE EN COURS";
constexpr const char* kCaptionGybing = "Empannage en cours ...";
constexpr const char* kCaptionTiller = "Utiliser la barre";
constexpr const char* kTurnToStarboard = "ON VIRE A TRIBORD DE ";
constexpr const char* kTurnToPort = "ON VIRE A BABORD DE ";
constexpr const char* kDegreesSuffix = " deg.";
constexpr const char* kZeroTillerHint = "Ramène la barre à zéro en mode STDBY";

constexpr Millis kTillerCentringStepMs = 200;

}  // namespace

void TFCorvel::InitPilot() {
    TimerZeroBarre = Timers.Add("TimerZeroBarre", kTillerCentringStepMs, [this] { TimerZeroBarreTimer(); });
    zerolabarre.hint = kZeroTillerHint;
    SpBtAUTOClick();  // the window starts in AUTO
}

// ---------------------------------------------------------------- indicator and enabling

void TFCorvel::EnablePilotCommands(bool enabled) {
    SpBTAUTO.enabled = enabled;
    SpBtStdBY.enabled = enabled;
}

void TFCorvel::MajBtBestHaul() {
    S.CloseHauled = std::fabs(S.SWA - S.BestUpwindAngle) < kCloseHauledTolerance;
    if (S.Standby) {
        SetText(BtBestHaul.caption, kCaptionTiller);
    } else if (S.CloseHauled) {
        SetText(BtBestHaul.caption, kCaptionCloseHauled);
    } else if (S.NoManoeuvre()) {
        SetText(BtBestHaul.caption, kCaptionBestHaul);
    } else if (S.Tacking) {
        SetText(BtBestHaul.caption, kCaptionTacking);
    } else if (S.Gybing) {
        SetText(BtBestHaul.caption, kCaptionGybing);
    }  // a luffing alone keeps the caption it set
    if (!S.CloseHauled) BtBestHaul.fill = colours::LightSalmon;
}

void TFCorvel::ApplyVireEmpRule() {
    if (TimerC.Enabled()) {  // the alternating current is turning
        InhibVire();
        InhibEmp();
    } else if (S.AWA > 90) {
        InhibVire();
        EnabEmp();
    } else {
        EnabVire();
        InhibEmp();
    }
}

// ---------------------------------------------------------------- best upwind angle

float TFCorvel::PolarMinAngle() const { return polar_.RowCount() > 0 ? static_cast<float>(polar_.Angles()[0]) : 0.0f; }

UpwindBest TFCorvel::SpMaxWndWrd(float wsref) {
    const UpwindBest best = sim::SpMaxWndWrd(Manoeuvre.VmgScan, PolarMinAngle(), wsref,
                                             [this](float angle, float ws) { return BoatSpeed(angle, ws); });
    S.BestUpwindAngle = best.angle;
    return best;
}

void TFCorvel::VMG_au_Pres() {
    const UpwindBest best = SpMaxWndWrd(S.SurfaceWind.mdl);
    Manoeuvre.BestUpwindSpeed = best.speed;
    Manoeuvre.BestUpwindVMG = UpwindVMG(best.angle, best.speed);
    LbEdVMGauPres.text = FormatFixed(Manoeuvre.BestUpwindVMG, 4, 2);
    LbEdBestHaul.text = FormatFixed(S.BestUpwindAngle, 4, 1);
}

// ---------------------------------------------------------------- manoeuvres

bool TFCorvel::CanStartManoeuvre() const {
    return !S.Halted && !S.Paused && !S.Standby && !ManoeuvreRunning() && !TillerCentring() && !TimerC.Enabled();
}

void TFCorvel::vire50msec() { TurnHeading(S, Manoeuvre.TurnStep, Manoeuvre.TurnToStarboard); }

void TFCorvel::vire1sec() { TurnHeading(S, Manoeuvre.TurnStep, Manoeuvre.TurnToStarboard); }

void TFCorvel::BtBestHaulClick() {
    if (!CanStartManoeuvre()) return;
    CancelPilotTurn();
    param_.FigeData();
    StartLuffing();
}

void TFCorvel::StartLuffing() {
    ManoeuvreData& m = Manoeuvre;
    BtBestHaul.caption = kCaptionLuffing;
    S.BestHaulRunning = true;
    InhibVire();
    InhibEmp();
    m.TurnStep = kLuffingStep;
    m.FineStep = m.TurnStep / kFineStepRatio;
    VMG_au_Pres();
    const bool towardsWind = SurfaceWindFromStarboard(S);
    m.TurnToStarboard = towardsWind;
    m.BearingAway = S.BestUpwindAngle > S.SWA && std::fabs(S.SWA - S.BestUpwindAngle) > kCloseHauledTolerance;
    if (m.BearingAway) {  // pointing higher than the best angle: bear away in fine steps
        m.TurnStep = m.FineStep * kBearAwayFineSteps;
        m.TurnToStarboard = !towardsWind;
    }
    luffingSteps_ = 0;
    luffingGap_ = S.SWA - S.BestUpwindAngle;
    TimerPres.Start();
    TimerAT.Stop();
}

void TFCorvel::PolarTurnStep(void (TFCorvel::*turn)()) {
    (this->*turn)();
    ShowApparentWind();
    S.WaterTrack.mdl = BoatSpeed(S.SWA, S.SurfaceWind.mdl);
    TimerATTimer();
}

void TFCorvel::LuffingStep() {
    PolarTurnStep(&TFCorvel::vire50msec);
    ++Manoeuvre.TackTicks;
    ++luffingSteps_;
}

void TFCorvel::TimerPresTimer() {
    ManoeuvreData& m = Manoeuvre;
    TimerAT.Stop();  // the manoeuvre drives the tick
    const float gap = S.SWA - S.BestUpwindAngle;
    // Once bearing away, a step that carried the boat over the whole window (a leeway changing by
    // a degree moves the heading with it) ends the luffing there instead of circling round again.
    const bool jumped = m.BearingAway && JumpedOverWindow(luffingGap_, gap);
    luffingGap_ = gap;
    switch (NextLuffingMove(S.SWA, S.BestUpwindAngle, S.Tacking)) {
        case LuffingMove::HandOverToTack:
            StartTackProper();
            return;
        case LuffingMove::Arrive:
            EndLuffing();
            return;
        case LuffingMove::Luff:
            if (jumped) break;
            LuffingStep();
            if (std::fabs(S.SWA - S.BestUpwindAngle) < kApproachThreshold) BtBestHaul.caption = kCaptionApproach;
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
    if (S.Tacking) {
        StartTackProper();
    } else {
        EndLuffing();
    }
}

void TFCorvel::EndLuffing() {
    S.HDG = S.WaterTrack.argt - S.Leeway;
    TimerPres.Stop();
    RestartAfterFreeze();
    RestartMainDriver();
    S.BestHaulRunning = false;
    BtBestHaul.caption = kCaptionCloseHauled;
    BtBestHaul.fill = colours::Yellow;
    S.CloseHauled = true;
}

void TFCorvel::RestartAfterFreeze() {
    // One freeze per arrival, released 10 s later; an arrival within those 10 s releases the
    // earlier one now and waits again.
    if (TimerRestStatusCFVDV.Enabled()) {
        TimerRestStatusCFVDV.Stop();
        param_.RestStData();
    }
    TimerRestStatusCFVDV.Start();
}

void TFCorvel::TimerRestStatusCFVDVTimer() {
    param_.RestStData();
    TimerRestStatusCFVDV.Stop();
}

void TFCorvel::RestartMainDriver() {
    if (!TimerC.Enabled()) TimerAT.Start();  // the alternating current drives the tick while it turns
}

void TFCorvel::SBtVireClick() {
    if (!CanStartManoeuvre()) return;
    ManoeuvreData& m = Manoeuvre;
    CancelPilotTurn();
    S.Tacking = true;
    param_.FigeData();
    m.TackTicks = 0;
    const Real pma = PolarMinAngle();
    m.TackHeadToWindTick = static_cast<int>(nav::Round(S.SWA));
    m.TackNoGoTick = static_cast<int>(nav::Round(S.SWA - pma));
    m.TurnStep = kLuffingStep;
    m.ManoeuvreStartAngle = S.SWA;
    const UpwindBest best = SpMaxWndWrd(S.SurfaceWind.mdl);
    m.BestUpwindSpeed = best.speed;
    m.TackMinSpeed = static_cast<float>(kHeadToWindFactor * best.speed);
    m.MinAngleSpeed = BoatSpeed(static_cast<float>(pma), S.SurfaceWind.mdl);
    TimerAT.Stop();
    startedStarboard_ = SurfaceWindFromStarboard(S);
    tackToStarboard_ = startedStarboard_;  // towards the wind
    m.TurnToStarboard = tackToStarboard_;
    BtBestHaul.caption = kCaptionTackStart;
    StartLuffing();  // the options stay frozen once, by the tack
}

void TFCorvel::StartTackProper() {
    S.HDG = S.WaterTrack.argt - S.Leeway;
    TimerPres.Stop();
    S.BestHaulRunning = false;
    BtBestHaul.caption = kCaptionCloseHauled;
    // Through the wind a degree a step, whatever the luffing did: pressed while pointing higher
    // than the best angle, the luffing had set a bearing-away step and side.
    Manoeuvre.TurnStep = kLuffingStep;
    Manoeuvre.TurnToStarboard = tackToStarboard_;
    tackProperTicks_ = 0;
    TimerV.Start();
}

void TFCorvel::TimerVTimer() {
    ManoeuvreData& m = Manoeuvre;
    TimerAT.Stop();  // the manoeuvre drives the tick
    const int n = ++m.TackTicks;
    ++tackProperTicks_;
    const float pma = PolarMinAngle();
    if (n < m.TackHeadToWindTick) {
        vire50msec();
        ShowApparentWind();
        if (S.SWA >= pma) {
            S.WaterTrack.mdl = BoatSpeed(S.SWA, S.SurfaceWind.mdl);
        } else if (const int x = n - m.TackNoGoTick; x >= 1) {
            S.WaterTrack.mdl = TackApproachSpeed(m.TackMinSpeed, m.MinAngleSpeed, x);
        }
        TimerATTimer();
    } else if (n == m.TackHeadToWindTick) {
        vire50msec();
        ShowApparentWind();
        S.WaterTrack.mdl = m.TackMinSpeed;
    } else if (pma - S.SWA > kTackEndWindow) {
        vire50msec();
        ShowApparentWind();
        S.WaterTrack.mdl = TackRecoverySpeed(m.TackMinSpeed, n - static_cast<Real>(m.ManoeuvreStartAngle));
        TimerATTimer();
    }
    const bool onNewTack = SurfaceWindFromStarboard(S) != startedStarboard_;
    if (!TackComplete(S.SWA, m.ManoeuvreStartAngle, onNewTack) && tackProperTicks_ < kMaxTackTicks) {
        PolarTurnStep(&TFCorvel::vire50msec);
        return;
    }
    S.HDG = S.WaterTrack.argt - S.Leeway;
    TimerV.Stop();
    param_.RestStData();
    RestartMainDriver();
    S.Tacking = false;
    BtBestHaul.caption =
        std::fabs(S.SWA - S.BestUpwindAngle) <= kCloseHauledTolerance ? kCaptionCloseHauled : kCaptionBestHaulAfter;
}

void TFCorvel::SBtEmpClick() {
    if (!CanStartManoeuvre()) return;
    ManoeuvreData& m = Manoeuvre;
    CancelPilotTurn();
    S.Gybing = true;
    param_.FigeData();
    m.ManoeuvreStartAngle = S.SWA;
    m.GybeTicks = 0;
    m.TurnStep = GybeTurnStep(S.SWA);
    TimerAT.Stop();
    TimerE.Start();
    startedStarboard_ = SurfaceWindFromStarboard(S);
    m.TurnToStarboard = !startedStarboard_;  // away from the wind
    BtBestHaul.caption = kCaptionGybeStart;
    InhibVire();
    InhibEmp();
}

void TFCorvel::TimerETimer() {
    ManoeuvreData& m = Manoeuvre;
    TimerAT.Stop();  // the manoeuvre drives the tick
    if (++m.GybeTicks <= kGybeTimedSteps) {
        PolarTurnStep(&TFCorvel::vire1sec);
        return;
    }
    m.TurnStep /= 4;
    for (int i = 0; i < kMaxGybeFinalSteps; ++i) {
        const bool onNewSide = SurfaceWindFromStarboard(S) != startedStarboard_;
        if (GybeComplete(S.SWA, m.ManoeuvreStartAngle, onNewSide)) break;
        PolarTurnStep(&TFCorvel::vire1sec);
    }
    S.HDG = S.WaterTrack.argt - S.Leeway;
    TimerE.Stop();
    param_.RestStData();
    RestartMainDriver();
    S.Gybing = false;
    BtBestHaul.caption = kCaptionBestHaulAfter;
}

// ---------------------------------------------------------------- pause, start, STDBY

namespace {

void RemoveTimer(std::vector<Timer>& timers, const Timer& timer) {
    std::erase_if(timers, [&timer](const Timer& t) { return t.Name() == timer.Name(); });
}

}  // namespace

void TFCorvel::SuspendManoeuvres() {
    for (Timer* t : {&TimerV, &TimerE, &TimerPres, &TimerCHGHDG, &TimerDelaiModCap}) {
        if (!t->Enabled()) continue;
        t->Stop();
        suspendedByPause_.push_back(*t);
    }
}

void TFCorvel::ResumeManoeuvres() {
    for (Timer& t : suspendedByPause_) t.Start();
    suspendedByPause_.clear();
    if (TimerV.Enabled() || TimerE.Enabled() || TimerPres.Enabled()) {
        TimerAT.Stop();  // the manoeuvre drives the tick again
        TimerB.Stop();
    }
    if (ManoeuvreRunning()) {
        InhibVire();
        InhibEmp();
    }
}

void TFCorvel::AbandonManoeuvres() {
    CancelPilotTurn();
    if (ManoeuvreRunning()) {
        TimerV.Stop();
        TimerE.Stop();
        TimerPres.Stop();
        S.HDG = S.WaterTrack.argt - S.Leeway;
        S.Tacking = S.Gybing = S.BestHaulRunning = false;
        param_.RestStData();
    }
    if (TimerRestStatusCFVDV.Enabled()) {
        TimerRestStatusCFVDV.Stop();
        param_.RestStData();
    }
    suspendedByPause_.clear();
}

// ---------------------------------------------------------------- pilot modes

void TFCorvel::SpBtAUTOClick() {
    if (TillerCentring() || ManoeuvreRunning()) return;  // a manoeuvre is the autopilot at work
    const PilotGlyphImages& g = GlyphsFor(PilotSituation::Auto);
    Glyph_AUTO.imageIndex = g.autoImage;
    Glyph_STDBY.imageIndex = g.standbyImage;
    S.Standby = false;
    TrackBarre.enabled = false;
    autoAfterCentring_ = true;
    ZeroTrackBarre();  // AUTO goes on when the tiller is centred
}

void TFCorvel::AutoAfterCentring() {
    CancelPilotTurn();
    EnabVire();
    EnabEmp();
    BtBestHaul.enabled = true;
    BtBestHaul.caption = kCaptionBestHaul;
    TimerB.Stop();
    if (!S.Halted) RestartMainDriver();
    // The bearing from the origin is taken again; before the first start there is no bearing yet,
    // and the first waypoint update takes it.
    S.OriginBearing = S.Halted ? sim::kOriginBearingToTake : S.BTW;
    EnabModHDG();
    S.HDGVariable = HDGVariableSaved;
    param_.SetHDGOption(HDGVariableSaved);
}

void TFCorvel::SpBtStdBYClick() {
    if (TillerCentring()) return;
    AbandonManoeuvres();  // the helmsman takes over where the boat is
    const PilotGlyphImages& g = GlyphsFor(PilotSituation::Standby);
    Glyph_AUTO.imageIndex = g.autoImage;
    Glyph_STDBY.imageIndex = g.standbyImage;
    S.Standby = true;
    FigeHDG();
    TrackBarre.enabled = true;
    InhibVire();
    InhibEmp();
    BtBestHaul.enabled = false;
    BtBestHaul.caption = kCaptionTiller;
    TimerAT.Stop();
    if (!S.Halted && !TimerC.Enabled()) TimerB.Start();
    INhibModHDG();
}

void TFCorvel::FigeHDG() {
    HDGVariableSaved = param_.HDGOption();
    if (S.Standby) param_.SetHDGOption(false);
    S.HDGVariable = param_.ChkB_HDG.checked;
}

void TFCorvel::EnabModHDG() {
    for (Button* b : {&SpBtR, &SpBt10R, &SpBtL, &SpBT10L}) b->enabled = true;
}

void TFCorvel::INhibModHDG() {
    for (Button* b : {&SpBtR, &SpBt10R, &SpBtL, &SpBT10L}) b->enabled = false;
}

// ---------------------------------------------------------------- heading changes

void TFCorvel::SpBtRClick() { RequestHeadingChange(1); }
void TFCorvel::SpBt10RClick() { RequestHeadingChange(10); }
void TFCorvel::SpBtLClick() { RequestHeadingChange(-1); }
void TFCorvel::SpBT10LClick() { RequestHeadingChange(-10); }

bool TFCorvel::AcceptsHeadingChange() const {
    return !(S.Standby || S.Paused || S.Halted || ManoeuvreRunning() || TillerCentring());
}

void TFCorvel::RequestHeadingChange(float change) {
    if (!AcceptsHeadingChange()) return;
    Manoeuvre.PendingHeadingChange += change;
    headingRequest_ = true;
    RelanceTimerDelaiModCap();
}

void TFCorvel::RelanceTimerDelaiModCap() {
    TimerDelaiModCap.Stop();
    TimerDelaiModCap.Start();
    const float change = Manoeuvre.PendingHeadingChange;
    EdModCap.text = std::string(change > 0 ? kTurnToStarboard : kTurnToPort) + nav::FormatGeneral(std::fabs(change)) +
                    kDegreesSuffix;
    EdModCap.visible = true;
}

void TFCorvel::TimerDelaiModCapTimer() {
    ModifCapAutoClick();
    TimerDelaiModCap.Stop();
}

void TFCorvel::ModifCapAutoClick() {
    ManoeuvreData& m = Manoeuvre;
    if (!headingRequest_) return;  // the turn already met every change asked for
    if (pilotTurning_) {
        // A press during the turn moved its target; the turn goes on to it, towards the side where
        // the rest of the change lies, rather than adding the whole sum again from here.
        m.TurnToStarboard = m.PendingHeadingChange - pilotTurned_ > 0;
        return;
    }
    param_.FigeData();
    pilotTurning_ = true;
    m.TurnStep = kPilotTurnStep;
    m.HeadingChangeStart = S.HDG;
    m.TurnToStarboard = m.PendingHeadingChange > 0;
    pilotTurned_ = 0;
    pilotSteps_ = 0;
    TimerCHGHDG.Start();
}

void TFCorvel::TimerCHGHDGTimer() {
    ManoeuvreData& m = Manoeuvre;
    vire50msec();
    ShowApparentWind();
    S.HDG = S.WaterTrack.argt - S.Leeway;
    pilotTurned_ += m.TurnToStarboard ? m.TurnStep : -m.TurnStep;
    ++pilotSteps_;
    const float target = PilotTarget(m.HeadingChangeStart, m.PendingHeadingChange);
    if (PilotTurnComplete(S.HDG, target, m.TurnStep) || pilotSteps_ >= kMaxPilotTurnSteps) EndPilotTurn();
}

void TFCorvel::EndPilotTurn() {
    TimerCHGHDG.Stop();
    pilotTurning_ = false;
    param_.RestStData();
    Manoeuvre.PendingHeadingChange = 0;
    EdModCap.visible = false;
    headingRequest_ = false;
}

void TFCorvel::CancelPilotTurn() {
    TimerDelaiModCap.Stop();
    RemoveTimer(suspendedByPause_, TimerDelaiModCap);
    RemoveTimer(suspendedByPause_, TimerCHGHDG);
    if (pilotTurning_) {
        EndPilotTurn();
    } else {
        Manoeuvre.PendingHeadingChange = 0;
        EdModCap.visible = false;
        headingRequest_ = false;
    }
}

// ---------------------------------------------------------------- helm and tiller

void TFCorvel::TimerBTimer() {
    if (nav::IsTickMultiple(S.TickCount, static_cast<long long>(S.TicksPerSecond))) {
        TillerValue = TrackBarre.value;
        ApplyTiller(S, TillerValue);
    }
    TimerATTimer();
}

void TFCorvel::ZeroTrackBarre() {
    if (TillerCentring()) return;
    TimerB.Stop();
    TillerValue = TrackBarre.value;  // the bar where the user left it
    if (TillerValue == kTillerCentre) {
        FinishCentring();
        return;
    }
    // The tiller walks back a unit every 200 ms; nothing else moves the boat meanwhile.
    for (Timer* t : {&TimerAT, &TimerC, &Timer60, &TimerV, &TimerE, &TimerPres, &TimerDelaiModCap, &TimerCHGHDG}) {
        if (!t->Enabled()) continue;
        t->Stop();
        suspendedByCentring_.push_back(*t);
    }
    TillerValue += TillerValue < kTillerCentre ? 1 : -1;
    TrackBarre.value = TillerValue;
    TimerZeroBarre.Start();
}

void TFCorvel::TimerZeroBarreTimer() {
    if (TillerValue != kTillerCentre) {
        TillerValue += TillerValue < kTillerCentre ? 1 : -1;
        TrackBarre.value = TillerValue;
        return;
    }
    TimerZeroBarre.Stop();
    for (Timer& t : suspendedByCentring_) t.Start();
    suspendedByCentring_.clear();
    FinishCentring();
}

void TFCorvel::FinishCentring() {
    TillerValue = kTillerCentre;
    TrackBarre.value = kTillerCentre;
    if (S.Standby && !S.Paused && !S.Halted && !TimerC.Enabled()) TimerB.Start();
    if (autoAfterCentring_) {
        autoAfterCentring_ = false;
        AutoAfterCentring();
    }
}

}  // namespace corvel::app
