// The main-window model; see MainWindowModel.h.
#include "app/MainWindowModel.h"

#include <algorithm>
#include <cmath>

#include "app/SentenceSelectionModel.h"
#include "app/SimulationTexts.h"
#include "nav/Conversions.h"
#include "nav/SpherePositions.h"
#include "nav/ValidFloat.h"
#include "sim/Sounder.h"
#include "sim/WindCurrentLeeway.h"
#include "sim/Waypoint.h"

namespace corvel::app {

using namespace corvel::nav;
using namespace corvel::sim;

namespace {

std::string Fixed(Real x, int precision, int digits) { return FormatFixed(x, precision, digits); }

// Sines and cosines of the tick run in 64 bits: their results are stored as 32-bit values or
// rounded to whole pixels, and the extended-precision ones cost about a microsecond each, more
// than the whole tick is allowed.
double Radians(double degrees) { return degrees * static_cast<double>(Pi) / 180; }
float Parse(const EditField& f) { return static_cast<float>(ValidFloat(f.text)); }

}  // namespace

void TFCorvel::FixedText::Show(std::string& field, Real x, int precision, int digits) {
    if (!(range.low <= x && x <= range.high)) text = FormatFixed(x, precision, digits, &range);
    SetText(field, text);
}

TFCorvel::TFCorvel(Dialogs& dialogs, TFParam& param, const PolarTable& polar)
    : dialogs_(dialogs), param_(param), polar_(polar) {
    Caption = "Simulateur de Navigation et Générateur de phrases NMEA 0183";
    auto add = [this](const char* name, Millis interval, void (TFCorvel::*handler)()) {
        return Timers.add(name, interval, handler ? TimerSet::Handler([this, handler] { (this->*handler)(); })
                                                  : TimerSet::Handler());
    };
    TimerAT = add("TimerAT", 1000 / S.TicksPerSecond, &TFCorvel::TimerATTimer);
    TimerB = add("TimerB", 1000 / S.TicksPerSecond, &TFCorvel::TimerBTimer);
    TimerC = add("TimerC", 1000, &TFCorvel::TimerCTimer);
    Timer60 = add("Timer60", 60000, &TFCorvel::Timer60Timer);
    TimerV = add("TimerV", 100, &TFCorvel::TimerVTimer);
    TimerE = add("TimerE", 50, &TFCorvel::TimerETimer);
    TimerPres = add("TimerPres", 100, &TFCorvel::TimerPresTimer);
    TimerRestStatusCFVDV = add("TimerRestStatusCFVDV", 10000, &TFCorvel::TimerRestStatusCFVDVTimer);
    TimerDelaiModCap = add("TimerDelaiModCap", 2000, &TFCorvel::TimerDelaiModCapTimer);
    TimerCHGHDG = add("TimerCHGHDG", 50, &TFCorvel::TimerCHGHDGTimer);
    TimerSondeur = add("TimerSondeur", 200, &TFCorvel::TimerSondeurTimer);
    TimerPhNMEA = add("TimerPhNMEA", 1000, &TFCorvel::TimerPhNMEATimer);
    TimerDiapo = add("TimerDiapo", 12000, nullptr);
    TimerLoadCFG = add("TimerLoadCFG", 10000, &TFCorvel::TimerLoadCFGTimer);

    // Inputs and their first texts.
    EdHDG.text = "318";
    EdTWS.text = "6";
    EdTWD.text = "20";
    EdFCourant.text = "1";
    EdDirCourant.text = "075";
    for (EditField* f : {&EdHDG, &EdTWS, &EdTWD, &EdFCourant, &EdDirCourant, &EdBFT}) {
        f->background = colours::DarkSlateBlue;
        f->textColour = colours::White;
    }
    SpBPolPerc = {100, 50, 100, true};
    RdBtCourConst.checked = true;
    EdLATDeg.text = "51";
    EdLATMin.text = "4,14";
    EdLGDEG.text = "12";
    EdLGMin.text = "23,08";
    RadioButtonN.checked = true;
    RadioButtonE.checked = true;
    EdBSP.text = "6.78";

    EdNwpt.text = "Att_Dover";
    EdLatWpDeg.text = "51";
    EDLatWpmin.text = "6,18";
    EDLGWpDeg.text = "1";
    EdLGWpmin.text = "19,88";
    RadioButtonWPN.checked = true;
    RadioButtonWPE.checked = true;
    BtModWp.caption = "Modif";
    EdDTW.text = "40";
    LabEddistortho.text = "0";
    LabEdDistLoxo.text = "0";
    LbEdWCV.text = "0";
    LbEDETE.text = "0";

    EdiDECL.text = "1.50";
    RdgDeclE.checked = true;
    Ed2HDGT.text = "335";
    EdHDM.text = "1";

    LabTypVent.text = "Vent réel TW";
    LabCateg.text = "Catégorie ";
    LabCateg.hint = "La catégorie est à définir dans les paramètres si elle est indéfinie";
    BtCalC.caption = "SIMULER";
    BtBestHaul.caption = "Venir au meilleur près";
    EdAM.text = "BABORD AMURE";
    EdModCap.text = "On vire à ";
    EdModCap.visible = false;
    SBtVire.caption = "VIRER";
    SBtEmp.caption = "EMPANNER";
    SpBtL.caption = "- 1";
    SpBT10L.caption = "-10";
    SpBt10R.caption = "+10";
    SpBtR.caption = "+ 1";
    TrackBarre = {15, 0, 30, false};
    SwWIFI.hint = "Mettre en pause avant d'accéder aux paramètres";
    MenuParametres.text = "Paramètres";
    MenuOuvrir.text = "Ouvrir";

    // The state at program start.
    S.TickCount = 0;
    S.TicksPerSecond = 20;
    S.BestUpwindAngle = 10000;
    S.Halted = true;
    S.DepthProfile = kStartDepthProfile;
    S.CompassRadius = static_cast<int>(Round(FMXCompass1.Width / 2.0)) - 1;
    S.CompassCentreX = static_cast<int>(compassOrigin_.x) + static_cast<int>(Round(FMXCompass1.Width / 2.0));
    S.CompassCentreY = static_cast<int>(compassOrigin_.y) + static_cast<int>(Round(FMXCompass1.Height / 2.0));
    FMXCompass1.GraduationMineure = 5;
    FMXCompass1.GraduationMajeure = 30;
    FMXCompass1.CentreXY = {static_cast<float>(Round(FMXCompass1.Width / 2.0)),
                            static_cast<float>(Round(FMXCompass1.Height / 2.0))};
    SpBtPauseRes.enabled = false;

    Init_WP();
    InitDeclinaison();
    InitPilot();
}

// ---------------------------------------------------------------- start, pause, tick

float TFCorvel::BoatSpeed(float wa, float ws) {
    const BoatSpeedResult r = polar_.BoatSpeed(wa, ws, S.PolarPercent);
    if (r.angleAboveTable && !angleMessageShown_) {
        angleMessageShown_ = true;  // once per start, not at every tick
        dialogs_.ShowMessage(AngleAboveTableMessage(wa));
    }
    return r.speed;
}

void TFCorvel::BtCalCClick() {
    if (TillerCentring()) return;        // no command while the tiller centres
    if (!S.Paused) AbandonManoeuvres();  // a new start; resume continues them
    // 1. Talkers, commands and flags.
    if (FParNMEA_) FParNMEA_->Talker_IDs();
    Nmea.GgaCycleCount = 0;
    EnablePilotCommands(true);
    SpBtPauseRes.enabled = true;
    S.Paused = false;
    MenuParametres.enabled = false;
    MenuOuvrir.enabled = false;
    SwWIFI.enabled = false;
    SwWIFI.hint = "Mettre en pause avant d'accéder aux paramètres";
    if (!S.Standby) BtBestHaul.enabled = true;
    angleMessageShown_ = false;

    // 2. Offsets and polar efficiency.
    S.SurfaceOffset = static_cast<float>(param_.SurfaceOffset);
    S.KeelOffset = static_cast<float>(param_.KeelOffset);
    S.PolarPercent = static_cast<int>(Round(SpBPolPerc.value));

    // 3. Boat and wind.
    S.WaterTrack.mdl = Parse(EdBSP);
    S.HDG = Parse(EdHDG);
    S.WaterTrack.argt = S.HDG;
    S.TrueWind.mdl = Parse(EdTWS);
    S.TrueWind.argt = Parse(EdTWD);
    S.TWSBase = S.TrueWind.mdl;
    S.TWA = FindWindAngle(S.TrueWind, S.HDG);

    // 4. Current; without one its arrows are hidden.
    S.Current.mdl = Parse(EdFCourant);
    S.Current.argt = Parse(EdDirCourant);
    const bool current = S.Current.mdl != 0;
    FMXCompass1.ShowHint = current;
    if (!current) {
        TArrow hidden;
        hidden.Org = hidden.Ext = CentrePoint();
        FMXCompass1.SetArrowSurfaceWind(hidden);
        FMXCompass1.SetArrowCurrent(hidden);
        FMXCompass1.SetArrowGVW(hidden);
        FMXCompass1.SetArrowCOGSOG(hidden);
    }

    // 5. Labels and surface wind.
    const WindLabels labels = MajLabTWSW(current);
    LabTypVent.text = std::string(labels.LabTypVent);
    LabBestHAul.text = std::string(labels.LabBestHAul);
    S.SurfaceWind = Sigma_vect(S.TrueWind, S.Current);
    S.SWA = FindWindAngle(S.SurfaceWind, S.HDG);

    // 6. Leeway and the course through the water.
    if (current) {
        SetLeeway(S, S.SWA, S.SurfaceWind.mdl);
    } else {
        SetLeeway(S, S.TWA, S.TWSBase);
    }
    MajRouteSurface(S);

    // 7. Speed, apparent wind, wind force.
    S.WaterTrack.mdl = BoatSpeed(S.SWA, S.SurfaceWind.mdl);
    ShowApparentWind();
    EdTWSChange();
    EdBFT.text = std::to_string(WindClass(S.SurfaceWind.mdl));

    // 8. Reciprocal heading and tack.
    S.ReciprocalHDG = S.HDG - 180;
    if (S.ReciprocalHDG < 0) S.ReciprocalHDG += 360;
    ShowTack();

    // 9. Position.
    Real lat = ValidFloat(EdLATDeg.text) + ValidFloat(EdLATMin.text) / 60;
    if (RadioButtonS.checked) lat = -lat;
    Real lon = ValidFloat(EdLGDEG.text) + ValidFloat(EdLGMin.text) / 60;
    if (RadioButtonW.checked) lon = -lon;
    S.Position.lat = static_cast<float>(lat);
    S.Position.long_ = static_cast<float>(To0_360(lon));
    S.PreviousPosition = S.Position;
    if (S.WaypointDefined) WpMajDistRel();

    // 10.
    S.WaterTrack.argt = static_cast<float>(Wrap360(static_cast<Real>(S.HDG) + S.Leeway));
    S.HDM = S.HDG - S.MagVar;
    S.TWSBase = S.TrueWind.mdl;
    S.TWDBase = S.TrueWind.argt;

    // 11. Speeds over the ground.
    S.WaterTrack.mdl = BoatSpeed(S.SWA, S.SurfaceWind.mdl);
    EdBSP.text = FormatGeneral(S.WaterTrack.mdl);
    const t_vect ground = Sigma_vect(S.Current, S.WaterTrack);
    S.SOG = ground.mdl;
    S.COG = ground.argt;
    EdSOG.text = Fixed(S.SOG, 4, 2);
    EdCOG.text = Fixed(S.COG, 5, 2);

    // 12. Drivers.
    GlyphResPause.imageIndex = 0;
    StartDriver();
    TimerPhNMEA.start();
    S.Halted = false;
    if (ComLinkValid) EdMouch.text = "Com tjrs valide";
    ResumeManoeuvres();
}

void TFCorvel::StartDriver() {
    if (!S.Standby) {
        TimerAT.start();
        TimerB.stop();
        BtBestHaul.enabled = true;
        TrackBarre.value = 15;
        TrackBarre.enabled = false;
    } else {
        TimerB.start();
        TimerAT.stop();
        TrackBarre.enabled = true;
        BtBestHaul.enabled = false;
    }
}

void TFCorvel::SpBtPauseResClick() {
    if (TillerCentring()) return;
    if (!S.Paused) {
        if (S.Standby) {
            TimerB.stop();
            Glyph_STDBY.imageIndex = 2;
            TrackBarre.enabled = false;
            SpBtR.enabled = false;
            SpBtL.enabled = false;
        } else {
            TimerAT.stop();
            Glyph_AUTO.imageIndex = 2;
            TrackBarre.value = 15;
        }
        TimerPhNMEA.stop();
        EnablePilotCommands(false);
        GlyphResPause.imageIndex = 5;
        MenuParametres.enabled = true;
        MenuOuvrir.enabled = true;
        BtBestHaul.enabled = false;
        S.Paused = true;
        SwWIFI.enabled = true;
        S.Halted = true;
        SuspendManoeuvres();
        return;
    }
    BtCalCClick();
    TimerPhNMEA.start();
    EnablePilotCommands(true);
    GlyphResPause.imageIndex = 0;
    if (S.Standby) {
        Glyph_STDBY.imageIndex = 0;
    } else {
        Glyph_AUTO.imageIndex = 0;
    }
    S.Paused = false;
    SwWIFI.enabled = false;
    RdBtCourConstChange();
    if (S.Standby) {
        SpBtR.enabled = true;
        SpBtL.enabled = true;
    } else {
        S.Halted = false;
    }
    ResumeManoeuvres();
}

PointF TFCorvel::CoordORIgW(float len, float angl) const {
    const CosSin a = CosSinOf(Radians(angl));
    return {static_cast<float>(Round(a.cos * len) + S.CompassCentreX),
            static_cast<float>(S.CompassCentreY - Round(len * a.sin))};
}

PointF TFCorvel::CoordComp(PointF p) const { return {p.x - compassOrigin_.x, p.y - compassOrigin_.y}; }

PointF TFCorvel::CentrePoint() const {
    return CoordComp({static_cast<float>(S.CompassCentreX), static_cast<float>(S.CompassCentreY)});
}

PointF TFCorvel::BearingPoint(float speed, float bearing) const {
    return CoordComp(CoordORIgW(S.ArrowScale * speed, 450 - bearing));
}

t_amure TFCorvel::ShowTack() {
    const t_amure tack = F_amure(S);
    if (tack == t_amure::tribord) {
        SetText(EdAM.text, "TRIBORD AMURE");
        EdAM.background = colours::Green;
    } else {
        SetText(EdAM.text, "BABORD AMURE");
        EdAM.background = colours::Red;
    }
    return tack;
}

void TFCorvel::ShowDrift() {
    sim::Affiche_derive(S);
    driftText_.Show(EdDeriv.text, S.DriftAngle, 3, 1);
    SetText(LDeriv.text, DriftSideText(S.DriftStarboard));
}

void TFCorvel::ShowApparentWind() {
    const bool second = S.IsSecondTick();
    const bool show = second || S.Tacking;
    sim::MajAW_SWA(S);
    if (show) {
        EdAWS.text = Fixed(S.AWS, 3, 1);
        EdAWD.text = Fixed(S.AWD, 3, 1);
        EdAWA.text = Fixed(S.AWA, 3, 1);
    }
    if (S.NoManoeuvre()) ApplyVireEmpRule();
    if (show) {
        const bool current = S.Current.mdl != 0;
        const Colour c = current ? colours::Black : colours::Grey;
        EdVRS_S.textColour = EdVRS_D.textColour = EdVRS_A.textColour = c;
        EdVRS_S.italic = EdVRS_D.italic = !current;
    }
    if (show || S.BestHaulRunning) {
        EdVRS_S.text = Fixed(S.SurfaceWind.mdl, 3, 1);
        EdVRS_D.text = Fixed(S.SurfaceWind.argt, 3, 1);
        EdVRS_A.text = Fixed(S.SWA, 3, 1);
    }
}

void TFCorvel::TimerATTimer() {
    SimulationState& s = S;
    const bool current = s.Current.mdl != 0;
    // 1. Without a current the surface wind is the true wind.
    if (!current) {
        ShowDrift();
        s.SWA = s.TWA;
        s.SurfaceWind = s.TrueWind;
    }
    // 2. Repaint the compass; the boat picture follows below.
    ++FMXCompass1.repaints;
    // 3. Close-hauled test and its indicator.
    s.CloseHauled = std::fabs(s.SWA - s.BestUpwindAngle) < 0.3f;
    MajBtBestHaul();
    // 4. Tick count; t in simulated seconds.
    ++s.TickCount;
    const bool second = s.IsSecondTick();
    const bool showST = second || s.Tacking;
    const Real t = static_cast<Real>(s.TickCount) / s.TicksPerSecond;

    // 5. Once per second, the position moves by the distance run at the last speed over ground.
    if (second) {
        s.StepDistance = s.Gybing ? s.SOG / 18000 : s.SOG / 3600;
        RhumbStep(s.PreviousPosition, s.Position, s.StepDistance, s.COG);
        s.PreviousPosition = s.Position;
        if (s.WaypointDefined) WpMajDistRel();
        EdLATDeg.text = FormatGeneral(std::fabs(Int(s.Position.lat)));
        EdLATMin.text = Fixed(std::fabs(Frac(DegreesToDM(s.Position.lat))) * 100, 7, 4);
        s.LongitudeSigned = static_cast<float>(Fold180(s.Position.long_));
        EdLGDEG.text = FormatGeneral(std::fabs(Int(s.LongitudeSigned)));
        EdLGMin.text = Fixed(std::fabs(Frac(DegreesToDM(s.LongitudeSigned))) * 100, 7, 4);
        RadioButtonS.checked = s.Position.lat < 0;
        RadioButtonN.checked = !RadioButtonS.checked;
        RadioButtonW.checked = s.LongitudeSigned < 0;
        RadioButtonE.checked = !RadioButtonW.checked;
    }

    // 6. True wind speed.
    s.TWSVariable = param_.ChkB_TWS.checked;
    SetTrueWindSpeed(s, t);
    if (second) {
        EdTWS.text = Fixed(s.TrueWind.mdl, 3, 1);
        EdBFT.text = std::to_string(WindClass(s.TrueWind.mdl));
    }
    // 7. Leeway from the previous tick's true wind angle.
    SetLeeway(s, s.TWA, s.TrueWind.mdl);
    // 8. True wind direction.
    s.TWDVariable = param_.ChkB_TWD.checked;
    SetTrueWindDirection(s, t);
    if (second) EdTWD.text = Fixed(s.TrueWind.argt, 4, 1);

    // 9. Wind-triangle arrows, then the surface wind.
    const PointF centre = CentrePoint();
    const PointF w0 = BearingPoint(s.TrueWind.mdl, s.TrueWind.argt);
    arrow_.Org = w0;
    arrow_.Ext = centre;
    arrow_.Angle = 450 - s.TrueWind.argt;
    arrow_.Len = s.ArrowScale * s.TrueWind.mdl;
    FMXCompass1.SetArrowTrueWind(arrow_);
    PointF e1 = w0;
    if (current) {
        const float a = 450 - s.Current.argt;
        const float l = s.ArrowScale * s.Current.mdl;
        const CosSin cs = CosSinOf(Radians(a));
        e1 = {static_cast<float>(w0.x + cs.cos * l), static_cast<float>(w0.y - cs.sin * l)};
        arrow_.Org = w0;
        arrow_.Ext = e1;
        arrow_.Angle = a;
        arrow_.Len = l;
        arrow_.Epaiss = s.Current.mdl * 0.5f;
        FMXCompass1.SetArrowCurrent(arrow_);
        arrow_.Org = e1;
        arrow_.Ext = centre;
        arrow_.Angle = 450 - s.SurfaceWind.argt;
        arrow_.Len = s.ArrowScale * s.SurfaceWind.mdl;
        FMXCompass1.SetArrowSurfaceWind(arrow_);
        s.SurfaceWind = Sigma_vect(s.TrueWind, s.Current);
        currentSpeedText_.Show(EdFCourant.text, s.Current.mdl, 3, 1);
        currentDirectionText_.Show(EdDirCourant.text, s.Current.argt, 4, 1);
    } else {
        s.SurfaceWind = s.TrueWind;
    }

    // 10. Heading: held through the course through the water.
    s.HDGVariable = param_.ChkB_HDG.checked;
    if (s.NoManoeuvre() && !s.HDGVariable) s.WaterTrack.argt = s.HDG + s.Leeway;
    if (s.HDGVariable && second) {
        s.WaterTrack.argt -= s.HeadingSwing;
        s.HDG -= s.HeadingSwing;
        const double td = static_cast<double>(t);
        s.HeadingSwing = static_cast<float>(std::sin(0.08 * td) + 0.3 * std::sin(0.16 * td) + 0.5 * std::sin(0.24 * td));
        s.WaterTrack.argt = s.HDG + s.Leeway + s.HeadingSwing;
    }
    s.WaterTrack.argt = static_cast<float>(Wrap360(s.WaterTrack.argt));
    s.HDG = s.WaterTrack.argt - s.Leeway;
    if (showST) EdHDG.text = Fixed(s.HDG, 4, 1);
    capText_.Show(EdCAP.text, Round(s.HDG), 3, 0);
    s.HDM = s.HDG - s.MagVar;
    if (showST) {
        Ed2HDGT.text = EdHDG.text;
        EdHDM.text = Fixed(s.HDM, 4, 1);
    }
    ImageBatDYNRotation = s.HDG;

    // 11. Apparent wind.
    ShowApparentWind();

    // 12. Reciprocal heading, apparent-wind arrows, tack.
    s.ReciprocalHDG = s.HDG - 180;
    if (s.ReciprocalHDG < 0) s.ReciprocalHDG += 360;
    const PointF a0 = BearingPoint(s.AWS, s.AWD);
    arrow_.Org = a0;
    arrow_.Ext = centre;
    arrow_.Angle = 450 - s.AWD;
    arrow_.Len = s.ArrowScale * s.AWS;
    FMXCompass1.SetArrowApparWind(arrow_);
    const t_amure tack = ShowTack();
    arrow_.Org = a0;
    arrow_.Ext = e1;
    FMXCompass1.SetArrowBoatVelocityWind(arrow_);

    // 13. Speed and course over the ground.
    t_vect ground = Sigma_vect(s.Current, s.WaterTrack);
    s.SOG = ground.mdl;
    s.COG = ground.argt;
    if (showST) {
        EdSOG.text = Fixed(s.SOG, 4, 2);
        EdCOG.text = Fixed(s.COG, 5, 1);
    }
    if (current) {
        arrow_.Org = a0;
        arrow_.Ext = w0;
        FMXCompass1.SetArrowGVW(arrow_);
        arrow_.Org = centre;
        arrow_.Angle = 450 - s.COG;
        arrow_.Len = s.ArrowScale * s.SOG;
        FMXCompass1.SetArrowCOGSOG(arrow_);
        ShowDrift();
    }

    // 14. Boat speed from the polar, unless a manoeuvre sets it.
    if (s.NoManoeuvre() || s.Standby) s.WaterTrack.mdl = BoatSpeed(s.SWA, s.SurfaceWind.mdl);
    if (showST) {
        EdBSP.text = Fixed(s.WaterTrack.mdl, 4, 2);
        if (!current) EdSOG.text = EdBSP.text;
    }

    // 15. Over the ground again, with the new speed.
    ground = Sigma_vect(s.Current, s.WaterTrack);
    s.SOG = ground.mdl;
    s.COG = ground.argt;
    arrow_.Org = centre;
    arrow_.Angle = 450 - s.WaterTrack.argt;
    arrow_.Len = s.ArrowScale * s.WaterTrack.mdl;
    FMXCompass1.SetArrowBoatSpeed(arrow_);
    arrow_.Angle = 450 - s.HDG;
    FMXCompass1.SetArrowHeading(arrow_);

    // 16. Velocity made good towards the wind.
    s.VMGWind = static_cast<float>(CosSinOf(Radians(s.SWA)).cos * s.WaterTrack.mdl);
    if (showST) EdVMGVent.text = Fixed(s.VMGWind, 4, 2);
    // 17. Apparent wind angle measured round from the bow, on the tack of step 12 (heading and
    // true wind have not changed since).
    s.AWA360 = tack == t_amure::tribord ? s.AWA : 360 - s.AWA;
    // 18.
    SetFactEch();
    // 19. A new sea-bed sample under the sounder.
    if (second) {
        TakeSounding(s);
        TimerSondeur.start();
    }
}

void TFCorvel::SetFactEch() {
    S.ScaleSpeed = std::max(std::max(S.TrueWind.mdl, S.AWS), S.WaterTrack.mdl);
    static constexpr float kSteps[] = {5, 10, 15, 20, 25, 30, 35, 40};
    float step = 40;
    for (float candidate : kSteps) {
        if (S.ScaleSpeed <= candidate) {
            step = candidate;
            break;
        }
    }
    S.ArrowScale = (static_cast<float>(S.CompassRadius) - 12) / step;
    FMXCompass1.Setetalon(S.ScaleSpeed);
    FMXCompass1.SetFactConvers(S.ArrowScale);
}

void TFCorvel::EdTWSChange() {
    VMG_au_Pres();
    EdBFT.text = std::to_string(WindClass(S.TrueWind.mdl));
}

void TFCorvel::SpBPolPercChange() { S.PolarPercent = static_cast<int>(Round(SpBPolPerc.value)); }

// ---------------------------------------------------------------- current

void TFCorvel::RdBtCourConstChange() {
    if (S.Paused) return;
    if (RdBtCourAlt.checked) {
        S.CurrentTurnStep = 0;
        S.CurrentAmplitude = S.Current.mdl;
        TimerC.start();
        TimerAT.stop();
        TimerB.stop();
        SBtVire.enabled = false;
        SBtEmp.enabled = false;
        SpBtPauseRes.enabled = false;
    } else {
        Timer60.stop();
        TimerC.stop();
        if (S.Standby) {
            TimerB.start();
        } else {
            TimerAT.start();
        }
        SBtVire.enabled = true;
        SBtEmp.enabled = true;
        SpBtPauseRes.enabled = true;
    }
}

void TFCorvel::TimerCTimer() {
    ++S.CurrentTurnStep;
    if (S.CurrentTurnStep > kCurrentTurnSteps) {
        TimerC.stop();
        Timer60.start();
        if (S.Standby) {
            TimerB.start();
        } else {
            TimerAT.start();
        }
        SpBtPauseRes.enabled = true;
        return;
    }
    AlternatingCurrentStep(S);
    TimerATTimer();
}

void TFCorvel::Timer60Timer() { RdBtCourConstChange(); }

// ---------------------------------------------------------------- waypoint and variation

void TFCorvel::Init_WP() {
    if (EdLatWpDeg.text.empty() || EDLGWpDeg.text.empty()) return;
    S.WaypointDefined = true;
    const WaypointCoordinates c =
        WaypointFromDegreesMinutes(static_cast<double>(ValidFloat(EdLatWpDeg.text)),
                                   static_cast<double>(ValidFloat(EDLatWpmin.text)), RadioButtonWPN.checked,
                                   static_cast<double>(ValidFloat(EDLGWpDeg.text)),
                                   static_cast<double>(ValidFloat(EdLGWpmin.text)), RadioButtonWPE.checked);
    S.Waypoint.Init(EdNwpt.text, "", "", c.lat, c.lon);
    S.OriginBearing = sim::kOriginBearingToTake;
}

void TFCorvel::WpMajDistRel() {
    const bool eteDefined = sim::WpMajDistRel(S);
    EdDTW.text = Fixed(S.DTW, 5, 2);
    LabEddistortho.text = "    " + Fixed(S.DTW, 8, 4);
    LabEdDistLoxo.text = "    " + Fixed(S.RhumbDistance, 8, 4);
    TArrow wp;
    wp.Org = CentrePoint();
    wp.Angle = 450 - S.BTW;
    wp.Len = static_cast<float>(S.CompassRadius - 12);
    FMXCompass1.SetArrowDirWP(wp);
    EdBTW.text = Fixed(S.BTW, 4, 1);
    LbEdWCV.text = Fixed(S.WCV, 3, 1);
    LbEDETE.text = eteDefined ? EteText(S.ETEHours) : " ";
}

void TFCorvel::InitDeclinaison() {
    S.MagVar = std::fabs(Parse(EdiDECL));
    if (RdgDeclW.checked) {
        S.MagVar = -S.MagVar;
        S.MagVarSide = 'W';
    } else {
        S.MagVarSide = 'E';
    }
}

// ---------------------------------------------------------------- sounder

void TFCorvel::MajProf() { sim::MajProf(S); }

void TFCorvel::TimerSondeurTimer() {
    S.SounderPing = false;
    TimerSondeur.stop();
}

// ---------------------------------------------------------------- sentences

void TFCorvel::TimerPhNMEATimer() {
    nmea::BuildGroup(NmeaPhase, S, Nmea, clock_->Now(), *this);
    NmeaPhase = ((NmeaPhase + 1) % 3) + 1;
}

bool TFCorvel::EmitSentence(std::string_view sentence) {
    MemoNMEA.Append(sentence);
    MemoNMEAFollowsEnd = !S.Halted;
    if (WifiActive && Wifi) {
        const WriteResult r = Wifi->TransmitSentence(sentence);
        if (r.status == WriteResult::Status::Failed) {
            dialogs_.ShowMessage(r.error);
            return false;  // the rest of this group waits for the next run
        }
    }
    if (ComLinkOpen && Serial) {
        std::string text = "\r\n";
        text += sentence;
        const WriteResult r = Serial->WriteComText(text);
        if (r.status == WriteResult::Status::Failed) {
            dialogs_.ShowMessage(r.error);
            return false;
        }
        if (r.status == WriteResult::Status::Incomplete) {
            MemoNMEA.Append(" *** erreur de transmission  sur le COM : écriture incomplète ***");
            EdMouch.text += "NON OK";
        }
    }
    if (OnSentence) OnSentence(sentence);
    if (!MemoNMEAHMS.Wanted()) return true;  // nothing keeps the time-stamped copy
    const LocalDateTime now = clock_->Now();
    std::string& stamped = stampedLine_;
    stamped = "NMEA183:";
    stamped += FormatDate(now);
    stamped += 'Z';
    stamped += FormatTime(now);
    stamped += ':';
    stamped += sentence;
    MemoNMEAHMS.Append(stamped);
    return true;
}

}  // namespace corvel::app
