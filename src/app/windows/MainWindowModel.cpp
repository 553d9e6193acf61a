// The main-window model; see MainWindowModel.h.
#include "app/windows/MainWindowModel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <string>

#include "app/instruments/CompassArrows.h"
#include "app/program/ConfigFiles.h"
#include "app/program/SimulationTexts.h"
#include "nav/Conversions.h"
#include "nav/SpherePositions.h"
#include "nav/ValidFloat.h"
#include "sim/Waypoint.h"
#include "sim/WindCurrentLeeway.h"

namespace corvel::app {

using namespace corvel::nav;
using namespace corvel::sim;

namespace {

std::string Fixed(Real x, int precision, int digits) { return FormatFixed(x, precision, digits); }

// Sines and cosines of the tick run in 64 bits: their results are stored as 32-bit values or
// rounded to whole pixels, and the extended-precision ones cost about a microsecond each, more
// than the whole tick is allowed.
float Parse(const EditField& f) { return static_cast<float>(ValidFloat(f.text)); }

// The window's texts as it opens: the fields' first values, the labels, the button captions, the
// menu entries and the hints. The captions that change as the simulation runs are in the tables
// of their handlers (the close-hauled button's by stage, in MainWindowPilot.cpp).
constexpr std::string_view kCaption = "Simulateur de Navigation et Générateur de phrases NMEA 0183";

template <class Control>
struct Text {
    Control TFCorvel::*control;
    std::string_view text;
};

constexpr Text<EditField> kFieldTexts[] = {
    // Conditions
    {&TFCorvel::EdHDG, "318"},
    {&TFCorvel::EdTWS, "6"},
    {&TFCorvel::EdTWD, "20"},
    {&TFCorvel::EdFCourant, "1"},
    {&TFCorvel::EdDirCourant, "075"},
    {&TFCorvel::EdLATDeg, "51"},
    {&TFCorvel::EdLATMin, "4,14"},
    {&TFCorvel::EdLGDEG, "12"},
    {&TFCorvel::EdLGMin, "23,08"},
    {&TFCorvel::EdBSP, "6.78"},
    // Waypoint
    {&TFCorvel::EdNwpt, "Att_Dover"},
    {&TFCorvel::EdLatWpDeg, "51"},
    {&TFCorvel::EDLatWpmin, "6,18"},
    {&TFCorvel::EDLGWpDeg, "1"},
    {&TFCorvel::EdLGWpmin, "19,88"},
    {&TFCorvel::EdDTW, "40"},
    // Variation
    {&TFCorvel::EdiDECL, "1.50"},
    {&TFCorvel::Ed2HDGT, "335"},
    {&TFCorvel::EdHDM, "1"},
    // Centre and compass columns, transmission
    {&TFCorvel::EdAM, "BABORD AMURE"},
    {&TFCorvel::EdModCap, "On vire à "},
    {&TFCorvel::EdConnex, "Pas de connexion"},
};

constexpr Text<Label> kLabelTexts[] = {
    {&TFCorvel::LabEddistortho, "0"}, {&TFCorvel::LabEdDistLoxo, "0"},         {&TFCorvel::LbEdWCV, "0"},
    {&TFCorvel::LbEDETE, "0"},        {&TFCorvel::LabTypVent, "Vent réel TW"}, {&TFCorvel::LabCateg, "Catégorie "},
};

constexpr Text<Button> kCaptions[] = {
    {&TFCorvel::BtModWp, "Modif"},  {&TFCorvel::BtCalC, "SIMULER"},
    {&TFCorvel::SBtVire, "VIRER"},  {&TFCorvel::SBtEmp, "EMPANNER"},
    {&TFCorvel::SpBtL, "- 1"},      {&TFCorvel::SpBT10L, "-10"},
    {&TFCorvel::SpBt10R, "+10"},    {&TFCorvel::SpBtR, "+ 1"},
    {&TFCorvel::RAZCom, "RAZ"},     {&TFCorvel::BtParamWIFI, "PARAMETRES WIFI"},
    {&TFCorvel::SpBtZoomNMEA, "+"},
};

constexpr Text<MenuItem> kMenuTexts[] = {
    {&TFCorvel::MenuOuvrir, "Ouvrir"},
    {&TFCorvel::MenuEnregistrer, "Enregistrer"},
    {&TFCorvel::MenuAutomatique, "Automatique"},
    {&TFCorvel::MenuSvraw, "Enregistrer NMEA brut"},
    {&TFCorvel::MenuSvTimst, "Enregistrer NMEA horodaté"},
    {&TFCorvel::MenuParametres, "Paramètres"},
    {&TFCorvel::MenuQuitter, "Quitter"},
};

constexpr std::string_view kCategoryHint = "La catégorie est à définir dans les paramètres si elle est indéfinie";
constexpr std::string_view kPauseFirstHint = "Mettre en pause avant d'accéder aux paramètres";
constexpr std::string_view kTillerZeroHint = "Ramène la barre à zéro en mode STDBY";
constexpr std::string_view kComFirstHint = "Sélectionner un COM valide avant d'activer la liaison filaire";
constexpr std::string_view kComBeforeSwitchHint = "Sélectionner un COM au préalable";
constexpr std::string_view kAlternatingHint = "Le courant effectue une rotation de 180° toutes les 30 secondes";
constexpr std::string_view kBestHaulHint =
    "Force et direction du vent sont figés pendant l'auloffée et pendant 10 secondes après le virement. Ensuite ils "
    "reprennent leur état antérieur ( variable ou constant)";
constexpr std::string_view kZoomHint = "Dérouler la liste des messages sur la page";

}  // namespace

void TFCorvel::FixedText::Show(std::string& field, Real x, int precision, int digits) {
    if (!(range.low <= x && x <= range.high)) text = FormatFixed(x, precision, digits, &range);
    SetText(field, text);
}

TFCorvel::TFCorvel(const MainWindowParts& parts)
    : Engine(parts.engine),
      Timers(parts.engine.Timers),
      Out(parts.transmission),
      Nmea(parts.transmission.Emitter.Nmea),
      MemoNMEA(parts.transmission.Log()),
      MemoNMEAHMS(parts.transmission.StampedLog()),
      ComPorts(parts.comPorts),
      FParamWIFI(parts.networkDialog),
      ChosenPolar(parts.chosenPolar),
      dialogs_(parts.dialogs),
      param_(parts.parameters),
      selection_(parts.selection),
      S(parts.engine.S) {
    Caption = kCaption;
    Out.Listen(this);
    TimerLoadCFG = Timers.Add("TimerLoadCFG", 10000, [this] { TimerLoadCFGTimer(); });

    for (const auto& [field, text] : kFieldTexts) (this->*field).text = text;
    for (const auto& [label, text] : kLabelTexts) (this->*label).text = text;
    for (const auto& [button, caption] : kCaptions) (this->*button).caption = caption;
    for (const auto& [item, text] : kMenuTexts) (this->*item).text = text;
    LabCateg.hint = kCategoryHint;
    SwWIFI.hint = BtParamWIFI.hint = kPauseFirstHint;
    zerolabarre.hint = kTillerZeroHint;
    CBCom.hint = kComFirstHint;
    SwActivNMEA_com.hint = kComBeforeSwitchHint;
    RdBtCourAlt.hint = kAlternatingHint;
    SpBtZoomNMEA.hint = kZoomHint;
    BtBestHaul.hint = kBestHaulHint;

    // The inputs' colours and first choices.
    for (EditField* f : {&EdHDG, &EdTWS, &EdTWD, &EdFCourant, &EdDirCourant, &EdBFT}) {
        f->background = colours::DarkSlateBlue;
        f->textColour = colours::White;
    }
    EdAWA.textColour = colours::Red;
    SpBPolPerc = {100, 50, 100, true};
    RdBtCourConst.checked = true;
    RadioButtonN.checked = true;
    RadioButtonE.checked = true;
    RadioButtonWPN.checked = true;
    RadioButtonWPE.checked = true;
    RdgDeclE.checked = true;
    EdModCap.visible = false;
    EdModCap.textColour = colours::DarkBlue;
    TrackBarre = {sim::kTillerCentre, 0, sim::kTillerMax, false};
    BestHaulStageChanged(sim::BestHaulStage::Offered);

    // The engine as it stands (in AUTO), then everything it says.
    ShowOfferedCommands();
    TrackBarre.value = Engine.Tiller();
    ShowPilotGlyphs(sim::PilotSituation::Auto);
    Engine.Listen(*this);

    Init_WP();
    InitDeclinaison();
    CBCom.items.assign(kComNames.begin(), kComNames.end());  // the devices once the list is shown
}

// ---------------------------------------------------------------- start and pause

namespace {

// The fields "SIMULER" and the resume read, and "Modif" the waypoint's, each with the key whose range
// the configuration loader holds it to (RangeOfKey) and the name its refusal gives it.
struct RangedField {
    EditField TFCorvel::*field;
    std::string_view name;
    std::string_view key;
};
constexpr RangedField kVariationField{&TFCorvel::EdiDECL, "Déclinaison magnétique", "iDeclMag"};
constexpr std::array<RangedField, 6> kConditionFields{{
    {&TFCorvel::EdHDG, "Cap vrai", "iHDG"},
    {&TFCorvel::EdTWS, "Vent réel, vitesse", "iTWS"},
    {&TFCorvel::EdTWD, "Vent réel, direction", "iTWD"},
    {&TFCorvel::EdFCourant, "Courant, force", "iCUR"},
    {&TFCorvel::EdDirCourant, "Courant, direction", "iCURDir"},
    kVariationField,
}};

// A latitude or longitude as degrees, minutes and its hemisphere's buttons (the second one negative).
struct RangedPosition {
    EditField TFCorvel::*degrees;
    EditField TFCorvel::*minutes;
    RadioButton TFCorvel::*negative;
    std::string_view name;
    std::string_view key;
};
constexpr std::array<RangedPosition, 2> kStartPosition{{
    {&TFCorvel::EdLATDeg, &TFCorvel::EdLATMin, &TFCorvel::RadioButtonS, "Position géographique, LAT", "iPOSLat"},
    {&TFCorvel::EdLGDEG, &TFCorvel::EdLGMin, &TFCorvel::RadioButtonW, "Position géographique, LG", "iPOSLong"},
}};
constexpr std::array<RangedPosition, 2> kWaypointPosition{{
    {&TFCorvel::EdLatWpDeg, &TFCorvel::EDLatWpmin, &TFCorvel::RadioButtonWPS, "Waypoint, LAT", "iWpLat"},
    {&TFCorvel::EDLGWpDeg, &TFCorvel::EdLGWpmin, &TFCorvel::RadioButtonWPW, "Waypoint, LG", "iWpLong"},
}};

// Signed degrees: degrees plus minutes over 60, negative in the south and the west.
Real Degrees(const TFCorvel& w, const RangedPosition& p) {
    const Real degrees = ValidFloat((w.*p.degrees).text) + ValidFloat((w.*p.minutes).text) / 60;
    return (w.*p.negative).checked ? -degrees : degrees;
}

// The first field out of its range, as the loader words it; "" when every one is within.
std::string FirstRefusal(const TFCorvel& w, std::span<const RangedField> fields,
                         std::span<const RangedPosition> positions) {
    for (const RangedField& f : fields) {
        const std::string& text = (w.*f.field).text;
        if (std::string refusal = FieldRefusal(f.name, text, ValidFloat(text), f.key); !refusal.empty()) return refusal;
    }
    for (const RangedPosition& p : positions) {
        const std::string text = (w.*p.degrees).text + ' ' + (w.*p.minutes).text;
        if (std::string refusal = FieldRefusal(p.name, text, Degrees(w, p), p.key); !refusal.empty()) return refusal;
    }
    return {};
}

}  // namespace

bool TFCorvel::FieldsInRange(bool waypoint) {
    const std::string refusal =
        waypoint ? FirstRefusal(*this, {}, kWaypointPosition) : FirstRefusal(*this, kConditionFields, kStartPosition);
    if (refusal.empty()) return true;
    dialogs_.ShowMessage(refusal);
    return false;
}

sim::StartConditions TFCorvel::ReadConditions() const {
    sim::StartConditions c;
    const SensorOffsets offsets = param_.Offsets();
    c.surfaceOffset = static_cast<float>(offsets.surface);
    c.keelOffset = static_cast<float>(offsets.keel);
    c.polarPercent = static_cast<int>(Round(SpBPolPerc.value));
    c.boatSpeed = Parse(EdBSP);
    c.heading = Parse(EdHDG);
    c.trueWindSpeed = Parse(EdTWS);
    c.trueWindDirection = Parse(EdTWD);
    c.currentSpeed = Parse(EdFCourant);
    c.currentDirection = Parse(EdDirCourant);
    c.latitude = Degrees(*this, kStartPosition[0]);
    c.longitude = Degrees(*this, kStartPosition[1]);
    return c;
}

void TFCorvel::BtCalCClick() {
    WriteStartFields();
    if (FieldsInRange(false)) Engine.Start(ReadConditions());
}

void TFCorvel::SpBtPauseResClick() {
    if (S.Paused) {
        if (FieldsInRange(false)) Engine.Resume(ReadConditions());
    } else {
        Engine.Pause();
    }
}

void TFCorvel::StartDone() {
    Changes.BumpAll();
    // A start after a pause leaves the pause's grey glyph otherwise: show the mode in force.
    ShowPilotGlyphs(S.Standby ? sim::PilotSituation::Standby : sim::PilotSituation::Auto);
    // Talkers and the GGA cycle start again; the settings wait for a pause.
    selection_.Talker_IDs();
    Nmea.GgaCycleCount = 0;
    MenuParametres.enabled = false;
    param_.Close();
    MenuOuvrir.enabled = false;
    SwWIFI.enabled = false;
    SwWIFI.hint = kPauseFirstHint;
    // Without a current its arrows are hidden.
    const bool current = S.Current.mdl != 0;
    Compass.Start(current);
    const WindLabels labels = MajLabTWSW(current);
    LabTypVent.text = std::string(labels.LabTypVent);
    LabBestHAul.text = std::string(labels.LabBestHAul);
    EdBFT.text = std::to_string(WindClass(S.SurfaceWind.mdl));
    ShowTack();
    EdBSP.text = FormatGeneral(S.WaterTrack.mdl);
    EdSOG.text = Fixed(S.SOG, 4, 2);
    EdCOG.text = Fixed(S.COG, 5, 2);
    GlyphResPause.imageIndex = 0;
    if (Out.SerialOpen()) EdMouch.text = "Com tjrs valide";
}

void TFCorvel::PauseDone() {
    WriteStartFields();  // the user (or SET) edits them now; the resume reads them
    Changes.BumpAll();
    ShowPilotGlyphs(S.Standby ? sim::PilotSituation::PausedStandby : sim::PilotSituation::PausedAuto);
    GlyphResPause.imageIndex = 5;
    MenuParametres.enabled = true;
    MenuOuvrir.enabled = true;
    SwWIFI.enabled = true;
}

void TFCorvel::ResumeDone() {
    Changes.BumpAll();
    GlyphResPause.imageIndex = 0;
    ShowPilotGlyphs(S.Standby ? sim::PilotSituation::ResumedStandby : sim::PilotSituation::ResumedAuto);
    SwWIFI.enabled = false;
}

// ---------------------------------------------------------------- displays

void TFCorvel::AngleAboveTable(float windAngle) { dialogs_.ShowMessage(AngleAboveTableMessage(windAngle)); }

void TFCorvel::ShowTack() {
    if (Engine.TackSide() == t_amure::tribord) {
        SetText(EdAM.text, "TRIBORD AMURE");
        EdAM.background = colours::Green;
    } else {
        SetText(EdAM.text, "BABORD AMURE");
        EdAM.background = colours::Red;
    }
}

void TFCorvel::ShowDrift() {
    driftText_.Show(EdDeriv.text, S.DriftAngle, 3, 1);
    SetText(LDeriv.text, DriftSideText(S.DriftStarboard));
}

void TFCorvel::ShowApparentWind(bool show) {
    if (!show && !S.BestHaulRunning) return;
    Changes.Bump(ControlGroup::ComputedData);
    if (show) {
        EdAWS.text = Fixed(S.AWS, 3, 1);
        EdAWD.text = Fixed(S.AWD, 3, 1);
        EdAWA.text = Fixed(S.AWA, 3, 1);
        const bool current = S.Current.mdl != 0;
        const Colour c = current ? colours::Black : colours::Grey;
        EdVRS_S.textColour = EdVRS_D.textColour = EdVRS_A.textColour = c;
        EdVRS_S.italic = EdVRS_D.italic = !current;
    }
    EdVRS_S.text = Fixed(S.SurfaceWind.mdl, 3, 1);
    EdVRS_D.text = Fixed(S.SurfaceWind.argt, 3, 1);
    EdVRS_A.text = Fixed(S.SWA, 3, 1);
}

void TFCorvel::UpwindBestComputed() {
    Changes.Bump(ControlGroup::ComputedData);
    LbEdVMGauPres.text = FormatFixed(Engine.Manoeuvre.BestUpwindVMG, 4, 2);
    LbEdBestHaul.text = FormatFixed(S.BestUpwindAngle, 4, 1);
}

void TFCorvel::TakeStartFields(const sim::TickRecord& r) {
    const SimulationState& s = S;
    StartFieldValues& v = startFields_;
    if (r.second) {
        v.second = true;
        v.lat = s.Position.lat;
        v.lon = s.LongitudeSigned;
        v.tws = s.TrueWind.mdl;
        v.twd = s.TrueWind.argt;
    }
    if (r.current) {
        v.current = true;
        v.currentSpeed = s.Current.mdl;
        v.currentDirection = s.Current.argt;
    }
    if (r.showValues) {
        v.values = true;
        v.hdg = s.HDG;
        v.bsp = s.WaterTrack.mdl;
    }
}

void TFCorvel::WriteStartFields() {
    StartFieldValues& v = startFields_;
    // The position and the wind, once per second.
    if (v.second) {
        EdLATDeg.text = FormatGeneral(std::fabs(Int(v.lat)));
        EdLATMin.text = Fixed(std::fabs(Frac(DegreesToDM(v.lat))) * 100, 7, 4);
        EdLGDEG.text = FormatGeneral(std::fabs(Int(v.lon)));
        EdLGMin.text = Fixed(std::fabs(Frac(DegreesToDM(v.lon))) * 100, 7, 4);
        RadioButtonS.checked = v.lat < 0;
        RadioButtonN.checked = !RadioButtonS.checked;
        RadioButtonW.checked = v.lon < 0;
        RadioButtonE.checked = !RadioButtonW.checked;
        EdTWS.text = Fixed(v.tws, 3, 1);
        EdBFT.text = std::to_string(WindClass(v.tws));
        EdTWD.text = Fixed(v.twd, 4, 1);
    }
    if (v.current) {
        currentSpeedText_.Show(EdFCourant.text, v.currentSpeed, 3, 1);
        currentDirectionText_.Show(EdDirCourant.text, v.currentDirection, 4, 1);
    }
    if (v.values) {
        EdHDG.text = Fixed(v.hdg, 4, 1);
        EdBSP.text = Fixed(v.bsp, 4, 2);
    }
    v.second = v.current = v.values = false;
}

void TFCorvel::TickDone(const sim::TickRecord& r) {
    TakeStartFields(r);
    if (!Shown) return;  // written when a pause or a start is about to read them
    WriteStartFields();
    Changes.Bump(ControlGroup::Compass);
    Changes.Bump(ControlGroup::Centre);
    if (r.showValues || r.current) Changes.Bump(ControlGroup::Conditions);
    if (r.showValues) Changes.Bump(ControlGroup::ComputedData);
    const SimulationState& s = S;
    // What the tick computed on its way: the close-hauled test, the drift, the apparent wind.
    MajBtBestHaul();
    ShowDrift();
    ShowApparentWind(r.showValues);

    // Heading (its field, with the position, the wind, the current and the boat speed, is kept above).
    capText_.Show(EdCAP.text, Round(s.HDG), 3, 0);
    if (r.showValues) {
        Ed2HDGT.text = EdHDG.text;
        EdHDM.text = Fixed(s.HDM, 4, 1);
    }
    ImageBatDYNRotation = s.HDG;

    ShowTack();

    // Over the ground as the tick found it before the polar's new speed.
    if (r.showValues) {
        EdSOG.text = Fixed(r.groundBeforeSpeed.mdl, 4, 2);
        EdCOG.text = Fixed(r.groundBeforeSpeed.argt, 5, 1);
    }

    // Boat speed.
    if (r.showValues && !r.current) EdSOG.text = EdBSP.text;
    if (r.showValues) EdVMGVent.text = Fixed(s.VMGWind, 4, 2);
    Compass.Tick(s, r);
}

void TFCorvel::EdTWSChange() {
    Engine.VMG_au_Pres();
    EdBFT.text = std::to_string(WindClass(S.TrueWind.mdl));
}

void TFCorvel::SpBPolPercChange() { Engine.SetPolarPercent(static_cast<int>(Round(SpBPolPerc.value))); }

void TFCorvel::RdBtCourConstChange() { Engine.SetAlternatingCurrent(RdBtCourAlt.checked); }

// ---------------------------------------------------------------- waypoint and variation

void TFCorvel::Init_WP() {
    if (EdLatWpDeg.text.empty() || EDLGWpDeg.text.empty()) return;
    const WaypointCoordinates c = WaypointFromDegreesMinutes(
        static_cast<double>(ValidFloat(EdLatWpDeg.text)), static_cast<double>(ValidFloat(EDLatWpmin.text)),
        RadioButtonWPN.checked, static_cast<double>(ValidFloat(EDLGWpDeg.text)),
        static_cast<double>(ValidFloat(EdLGWpmin.text)), RadioButtonWPE.checked);
    Engine.SetWaypoint(EdNwpt.text, c.lat, c.lon);
}

void TFCorvel::WaypointUpdated(bool eteDefined) {
    if (!Shown) return;
    Changes.Bump(ControlGroup::Waypoint);
    Changes.Bump(ControlGroup::Compass);
    EdDTW.text = Fixed(S.DTW, 5, 2);
    LabEddistortho.text = "    " + Fixed(S.DTW, 8, 4);
    LabEdDistLoxo.text = "    " + Fixed(S.RhumbDistance, 8, 4);
    Compass.ShowWaypoint(S.BTW);
    EdBTW.text = Fixed(S.BTW, 4, 1);
    LbEdWCV.text = Fixed(S.WCV, 3, 1);
    LbEDETE.text = eteDefined ? EteText(S.ETEHours) : " ";
}

void TFCorvel::InitDeclinaison() {
    // Followed as it is typed: a value out of range leaves the variation in force, and "SIMULER" or
    // the resume names the field.
    if (!FieldRefusal(kVariationField.name, EdiDECL.text, ValidFloat(EdiDECL.text), kVariationField.key).empty()) {
        return;
    }
    Engine.SetMagneticVariation(Parse(EdiDECL), RdgDeclW.checked);
}

// ---------------------------------------------------------------- sentences

void TFCorvel::TimerPhNMEATimer() { Out.EmitGroup(S, Timers.Now()); }

void TFCorvel::SentenceLogged() {
    Changes.Bump(ControlGroup::Transmission);
    MemoNMEAFollowsEnd = !S.Halted;
}

void TFCorvel::SerialSentenceLost(bool stallBegins) {
    if (stallBegins) {
        EdMouch.text += "NON OK";
        connectionText_ = EdConnex.text;  // shown again when the port takes sentences again
    }
    ShowLinkStatus();
}

void TFCorvel::ShowLinkStatus() {
    EdConnex.text =
        Out.SerialStalled() ? SerialStallMessage(SerialStallText::Status, {}, Out.SerialLost()) : connectionText_;
    Changes.Bump(ControlGroup::Transmission);
}

}  // namespace corvel::app
