// The simulation engine: start, pause, the main tick, the current, the waypoint and the
// variation, the sounder; see Simulator.h. The manoeuvres and the pilot are in SimulatorPilot.cpp.
#include "sim/Simulator.h"

#include <algorithm>
#include <cmath>

#include "nav/Conversions.h"
#include "nav/SpherePositions.h"
#include "sim/Sounder.h"
#include "sim/Waypoint.h"
#include "sim/WindCurrentLeeway.h"

namespace corvel::sim {

using namespace corvel::nav;

namespace {

// Sines and cosines of the tick run in 64 bits: their results are stored as 32-bit values, and
// the extended-precision ones cost about a microsecond each, more than the whole tick is allowed.

}  // namespace

Simulator::Simulator(const PolarTable& polar) : polar_(polar) {
    auto add = [this](const char* name, Millis interval, void (Simulator::*handler)()) {
        return Timers.Add(name, interval,
                          handler ? TimerSet::Handler([this, handler] { (this->*handler)(); }) : TimerSet::Handler());
    };
    TimerAT = add("TimerAT", 1000 / state_.TicksPerSecond, &Simulator::TimerATTimer);
    TimerB = add("TimerB", 1000 / state_.TicksPerSecond, &Simulator::TimerBTimer);
    TimerC = add("TimerC", 1000, &Simulator::TimerCTimer);
    Timer60 = add("Timer60", 60000, &Simulator::Timer60Timer);
    TimerV = add("TimerV", 100, &Simulator::TimerVTimer);
    TimerE = add("TimerE", 50, &Simulator::TimerETimer);
    TimerPres = add("TimerPres", 100, &Simulator::TimerPresTimer);
    TimerRestStatusCFVDV = add("TimerRestStatusCFVDV", 10000, &Simulator::TimerRestStatusCFVDVTimer);
    TimerDelaiModCap = add("TimerDelaiModCap", 2000, &Simulator::TimerDelaiModCapTimer);
    TimerCHGHDG = add("TimerCHGHDG", 50, &Simulator::TimerCHGHDGTimer);
    TimerSondeur = add("TimerSondeur", 200, &Simulator::TimerSondeurTimer);
    TimerPhNMEA = Timers.Add("TimerPhNMEA", 1000, [this] { Tell([](SimulatorEvents& l) { l.SentenceSecond(); }); });
    TimerZeroBarre = add("TimerZeroBarre", 200, &Simulator::TimerZeroBarreTimer);

    state_.TickCount = 0;
    state_.TicksPerSecond = 20;
    state_.BestUpwindAngle = kBestUpwindAngleUnknown;
    state_.Halted = true;
    state_.DepthProfile = kStartDepthProfile;
    Auto();  // the simulation starts in AUTO
}

// ---------------------------------------------------------------- offers

void Simulator::Offer(bool OfferedCommands::*command, bool on) {
    if (offered_.*command == on) return;
    offered_.*command = on;
    Tell([](SimulatorEvents& l) { l.CommandsChanged(); });
}

void Simulator::OfferTackAndGybe(bool tack, bool gybe) {
    Offer(&OfferedCommands::tack, tack);
    Offer(&OfferedCommands::gybe, gybe);
}

void Simulator::OfferPilotModes(bool on) { Offer(&OfferedCommands::pilotModes, on); }

void Simulator::OfferHeadingChanges(bool on) {
    Offer(&OfferedCommands::headingOne, on);
    Offer(&OfferedCommands::headingTen, on);
}

void Simulator::MoveTiller(int value) {
    if (tiller_ == value) return;
    tiller_ = value;
    Tell([](SimulatorEvents& l) { l.TillerMoved(); });
}

void Simulator::SetTiller(int value) { tiller_ = std::clamp(value, 0, kTillerMax); }

// ---------------------------------------------------------------- start, pause, tick

float Simulator::BoatSpeed(float wa, float ws) {
    const BoatSpeedResult r = polar_.BoatSpeed(wa, ws, state_.PolarPercent);
    if (r.angleAboveTable && !angleMessageShown_) {
        angleMessageShown_ = true;  // once per start, not at every tick
        Tell([wa](SimulatorEvents& l) { l.AngleAboveTable(wa); });
    }
    return r.speed;
}

bool Simulator::Start(const StartConditions& c) {
    if (TillerCentring()) return false;       // no command while the tiller centres
    if (!state_.Paused) AbandonManoeuvres();  // a new start; resume continues them
    OfferPilotModes(true);
    Offer(&OfferedCommands::pauseResume, true);
    state_.Paused = false;
    if (!state_.Standby) Offer(&OfferedCommands::bestHaul, true);
    angleMessageShown_ = false;

    // Offsets and polar efficiency.
    state_.SurfaceOffset = c.surfaceOffset;
    state_.KeelOffset = c.keelOffset;
    state_.PolarPercent = c.polarPercent;

    // Boat and wind.
    state_.WaterTrack.mdl = c.boatSpeed;
    state_.HDG = c.heading;
    state_.WaterTrack.argt = state_.HDG;
    state_.TrueWind.mdl = c.trueWindSpeed;
    state_.TrueWind.argt = c.trueWindDirection;
    state_.TWSBase = state_.TrueWind.mdl;
    state_.TWA = FindWindAngle(state_.TrueWind, state_.HDG);

    // Current and surface wind.
    state_.Current.mdl = c.currentSpeed;
    state_.Current.argt = c.currentDirection;
    const bool current = state_.Current.mdl != 0;
    state_.SurfaceWind = Sigma_vect(state_.TrueWind, state_.Current);
    state_.SWA = FindWindAngle(state_.SurfaceWind, state_.HDG);

    // Leeway and the course through the water.
    if (current) {
        SetLeeway(state_, state_.SWA, state_.SurfaceWind.mdl);
    } else {
        SetLeeway(state_, state_.TWA, state_.TWSBase);
    }
    MajRouteSurface(state_);

    // Speed, apparent wind, best upwind angle.
    state_.WaterTrack.mdl = BoatSpeed(state_.SWA, state_.SurfaceWind.mdl);
    ApparentWind();
    VMG_au_Pres();

    // Reciprocal heading and tack.
    state_.ReciprocalHDG = state_.HDG - 180;
    if (state_.ReciprocalHDG < 0) state_.ReciprocalHDG += 360;
    tack_ = F_amure(state_);

    // Position.
    state_.Position.lat = static_cast<float>(c.latitude);
    state_.Position.long_ = static_cast<float>(To0_360(c.longitude));
    state_.PreviousPosition = state_.Position;
    if (state_.WaypointDefined) UpdateWaypoint();

    // The course through the water and the bases of the wind laws.
    state_.WaterTrack.argt = static_cast<float>(Wrap360(static_cast<Real>(state_.HDG) + state_.Leeway));
    state_.HDM = state_.HDG - state_.MagVar;
    state_.TWSBase = state_.TrueWind.mdl;
    state_.TWDBase = state_.TrueWind.argt;

    // Speeds over the ground.
    state_.WaterTrack.mdl = BoatSpeed(state_.SWA, state_.SurfaceWind.mdl);
    const t_vect ground = Sigma_vect(state_.Current, state_.WaterTrack);
    state_.SOG = ground.mdl;
    state_.COG = ground.argt;

    // Drivers.
    StartDriver();
    TimerPhNMEA.Start();
    state_.Halted = false;
    ResumeManoeuvres();
    Tell([](SimulatorEvents& l) { l.StartDone(); });
    return true;
}

void Simulator::StartDriver() {
    if (!state_.Standby) {
        TimerAT.Start();
        TimerB.Stop();
        Offer(&OfferedCommands::bestHaul, true);
        MoveTiller(kTillerCentre);
        Offer(&OfferedCommands::tiller, false);
    } else {
        TimerB.Start();
        TimerAT.Stop();
        Offer(&OfferedCommands::tiller, true);
        Offer(&OfferedCommands::bestHaul, false);
    }
}

bool Simulator::Pause() {
    if (!Accepts(Command::Pause)) return false;
    if (state_.Standby) {
        TimerB.Stop();
        Offer(&OfferedCommands::tiller, false);
        Offer(&OfferedCommands::headingOne, false);
    } else {
        TimerAT.Stop();
        MoveTiller(kTillerCentre);
    }
    TimerPhNMEA.Stop();
    OfferPilotModes(false);
    Offer(&OfferedCommands::bestHaul, false);
    state_.Paused = true;
    state_.Halted = true;
    SuspendManoeuvres();
    Tell([](SimulatorEvents& l) { l.PauseDone(); });
    return true;
}

bool Simulator::Resume(const StartConditions& c) {
    if (!Accepts(Command::Resume)) return false;
    Start(c);  // the sentences, the pilot modes and the manoeuvres go on from there
    ApplyCurrentChoice();
    if (state_.Standby) {
        Offer(&OfferedCommands::headingOne, true);
    } else {
        state_.Halted = false;
    }
    ResumeManoeuvres();  // again: the current's choice may have started the main driver
    Tell([](SimulatorEvents& l) { l.ResumeDone(); });
    return true;
}

void Simulator::ComputeApparentWind() {
    MajAW_SWA(state_);
    if (state_.NoManoeuvre()) ApplyVireEmpRule();
}

void Simulator::ApparentWind() {
    const bool show = state_.IsSecondTick() || state_.Tacking;
    ComputeApparentWind();
    Tell([show](SimulatorEvents& l) { l.ApparentWindComputed(show); });
}

void Simulator::TimerATTimer() {
    SimulationState& s = state_;
    TickRecord r;
    r.current = s.Current.mdl != 0;
    // Without a current the surface wind is the true wind.
    if (!r.current) {
        Affiche_derive(s);
        s.SWA = s.TWA;
        s.SurfaceWind = s.TrueWind;
    }
    // Close-hauled test.
    s.CloseHauled = std::fabs(s.SWA - s.BestUpwindAngle) < kCloseHauledTolerance;
    // Tick count; t in simulated seconds.
    ++s.TickCount;
    r.second = s.IsSecondTick();
    r.showValues = r.second || s.Tacking;
    const Real t = static_cast<Real>(s.TickCount) / s.TicksPerSecond;

    // Once per second, the position moves by the distance run at the last speed over ground.
    if (r.second) {
        s.StepDistance = s.Gybing ? s.SOG / 18000 : s.SOG / 3600;
        RhumbStep(s.PreviousPosition, s.Position, s.StepDistance, s.COG);
        s.PreviousPosition = s.Position;
        if (s.WaypointDefined) UpdateWaypoint();
        s.LongitudeSigned = static_cast<float>(Fold180(s.Position.long_));
    }

    // True wind speed, leeway from the previous tick's true wind angle, true wind direction.
    s.TWSVariable = options_.windSpeed;
    SetTrueWindSpeed(s, t);
    SetLeeway(s, s.TWA, s.TrueWind.mdl);
    s.TWDVariable = options_.windDirection;
    SetTrueWindDirection(s, t);

    // The surface wind (the triangle is drawn with the previous one).
    r.surfaceWindDrawn = s.SurfaceWind;
    s.SurfaceWind = r.current ? Sigma_vect(s.TrueWind, s.Current) : s.TrueWind;

    // Heading: held through the course through the water.
    s.HDGVariable = options_.heading;
    if (s.NoManoeuvre() && !s.HDGVariable) s.WaterTrack.argt = s.HDG + s.Leeway;
    if (s.HDGVariable && r.second) {
        s.WaterTrack.argt -= s.HeadingSwing;
        s.HDG -= s.HeadingSwing;
        const double td = static_cast<double>(t);
        s.HeadingSwing =
            static_cast<float>(std::sin(0.08 * td) + 0.3 * std::sin(0.16 * td) + 0.5 * std::sin(0.24 * td));
        s.WaterTrack.argt = s.HDG + s.Leeway + s.HeadingSwing;
    }
    s.WaterTrack.argt = static_cast<float>(Wrap360(s.WaterTrack.argt));
    s.HDG = s.WaterTrack.argt - s.Leeway;
    s.HDM = s.HDG - s.MagVar;

    // Apparent wind, reciprocal heading, tack.
    ComputeApparentWind();
    s.ReciprocalHDG = s.HDG - 180;
    if (s.ReciprocalHDG < 0) s.ReciprocalHDG += 360;
    tack_ = F_amure(s);

    // Speed and course over the ground.
    t_vect ground = Sigma_vect(s.Current, s.WaterTrack);
    s.SOG = ground.mdl;
    s.COG = ground.argt;
    r.groundBeforeSpeed = ground;
    if (r.current) Affiche_derive(s);

    // Boat speed from the polar, unless a manoeuvre sets it; over the ground again with it.
    if (s.NoManoeuvre() || s.Standby) s.WaterTrack.mdl = BoatSpeed(s.SWA, s.SurfaceWind.mdl);
    ground = Sigma_vect(s.Current, s.WaterTrack);
    s.SOG = ground.mdl;
    s.COG = ground.argt;

    // Velocity made good towards the wind.
    s.VMGWind = static_cast<float>(CosSinOf(Radians(s.SWA)).cos * s.WaterTrack.mdl);
    // Apparent wind angle measured round from the bow, on this tick's tack (heading and true wind
    // have not changed since).
    s.AWA360 = tack_ == t_amure::tribord ? s.AWA : 360 - s.AWA;
    // The fastest of the three speeds sets the compass's scale.
    s.ScaleSpeed = std::max(std::max(s.TrueWind.mdl, s.AWS), s.WaterTrack.mdl);
    // A new sea-bed sample under the sounder.
    if (r.second) {
        TakeSounding(s);
        TimerSondeur.Start();
    }
    Tell([&r](SimulatorEvents& l) { l.TickDone(r); });
}

// ---------------------------------------------------------------- current

void Simulator::SetAlternatingCurrent(bool alternating) {
    alternating_ = alternating;
    ApplyCurrentChoice();
}

void Simulator::ApplyCurrentChoice() {
    if (state_.Paused) return;
    if (alternating_) {
        state_.CurrentTurnStep = 0;
        state_.CurrentAmplitude = state_.Current.mdl;
        TimerC.Start();
        TimerAT.Stop();
        TimerB.Stop();
        OfferTackAndGybe(false, false);
        Offer(&OfferedCommands::pauseResume, false);
    } else {
        Timer60.Stop();
        TimerC.Stop();
        (state_.Standby ? TimerB : TimerAT).Start();  // the tick's driver of the pilot mode
        OfferTackAndGybe(true, true);
        Offer(&OfferedCommands::pauseResume, true);
    }
}

void Simulator::TimerCTimer() {
    ++state_.CurrentTurnStep;
    if (state_.CurrentTurnStep > kCurrentTurnSteps) {
        TimerC.Stop();
        Timer60.Start();
        (state_.Standby ? TimerB : TimerAT).Start();  // the tick's driver of the pilot mode
        Offer(&OfferedCommands::pauseResume, true);
        return;
    }
    AlternatingCurrentStep(state_);
    TimerATTimer();
}

void Simulator::Timer60Timer() { ApplyCurrentChoice(); }

// ---------------------------------------------------------------- waypoint and variation

void Simulator::SetWaypoint(const std::string& name, double latitude, double longitude) {
    state_.WaypointDefined = true;
    state_.Waypoint.Init(name, latitude, longitude);
    state_.OriginBearing = kOriginBearingToTake;
}

void Simulator::UpdateWaypoint() {
    const bool eteDefined = sim::WpMajDistRel(state_);
    Tell([eteDefined](SimulatorEvents& l) { l.WaypointUpdated(eteDefined); });
}

void Simulator::SetMagneticVariation(float degrees, bool west) {
    state_.MagVar = std::fabs(degrees);
    if (west) {
        state_.MagVar = -state_.MagVar;
        state_.MagVarSide = 'W';
    } else {
        state_.MagVarSide = 'E';
    }
}

// ---------------------------------------------------------------- sounder

void Simulator::TimerSondeurTimer() {
    state_.SounderPing = false;
    TimerSondeur.Stop();
}

// ---------------------------------------------------------------- variable data

void Simulator::Configure(const ConfiguredValues& v) {
    if (v.keelOffset) state_.KeelOffset = *v.keelOffset;
    if (v.surfaceOffset) state_.SurfaceOffset = *v.surfaceOffset;
    state_.Standby = v.standby;
    if (v.trueWindSpeed) state_.TrueWind.mdl = state_.TWSBase = *v.trueWindSpeed;
    if (v.trueWindDirection) state_.TrueWind.argt = state_.TWDBase = *v.trueWindDirection;
    if (v.heading) state_.HDG = *v.heading;
    if (v.currentSpeed) state_.Current.mdl = *v.currentSpeed;
    if (v.currentDirection) state_.Current.argt = *v.currentDirection;
    if (v.headingVariable) {
        state_.HDGVariable = *v.headingVariable;
        headingKept_ = *v.headingVariable;
    }
    if (v.windSpeedVariable) state_.TWSVariable = *v.windSpeedVariable;
    if (v.windDirectionVariable) state_.TWDVariable = *v.windDirectionVariable;
    SetVariableData({state_.HDGVariable, state_.TWSVariable, state_.TWDVariable});
}

void Simulator::SetVariableData(const VariableData& options) {
    if (options.heading != options_.heading) state_.HDGVariable = options.heading;
    if (options.windSpeed != options_.windSpeed) state_.TWSVariable = options.windSpeed;
    if (options.windDirection != options_.windDirection) state_.TWDVariable = options.windDirection;
    SetOptions(options);
}

void Simulator::SetOptions(const VariableData& options) {
    if (options_ == options) return;
    options_ = options;
    Tell([](SimulatorEvents& l) { l.VariableDataChanged(); });
    for (SimulatorEvents* l : optionListeners_) l->VariableDataChanged();
}

void Simulator::FigeData() {
    if (freezes_ == 0) saved_ = options_;
    ++freezes_;
    SetOptions({});
}

void Simulator::RestStData() {
    if (freezes_ > 0 && --freezes_ > 0) return;
    SetOptions(saved_);
}

void Simulator::SetHeadingOption(bool variable) {
    if (freezes_ > 0) {
        saved_.heading = variable;
    } else {
        VariableData o = options_;
        o.heading = variable;
        SetOptions(o);
    }
}

}  // namespace corvel::sim
