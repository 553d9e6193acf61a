// The parameters dialog model; see ParametersDialogModel.h.
#include "app/windows/ParametersDialogModel.h"

#include <array>
#include <cmath>

#include "app/program/ConfigFiles.h"
#include "app/windows/PolarWindowModel.h"
#include "app/windows/SentenceSelectionModel.h"
#include "config/Configuration.h"
#include "config/Folders.h"
#include "config/PolarLibrary.h"
#include "nav/Conversions.h"
#include "nav/ValidFloat.h"

namespace corvel::app {

namespace {

struct CategoryChoice {
    RadioButton TFParam::*choice;
    int category;
};
constexpr std::array<CategoryChoice, 4> kCategoryChoices{{
    {&TFParam::RdREGATE, 0},
    {&TFParam::RdCourCrois, 1},
    {&TFParam::RdCroiseur, 2},
    {&TFParam::RdCroisPTE, 3},
}};

// Offsets are shown with 2 decimals (3 significant digits).
std::string OffsetText(nav::Real metres) { return nav::FormatFixed(metres, 3, 2); }

constexpr std::string_view kSystemOffset = "Décalage du système : ";

// Hours as a sailor reads an offset: whole hours, then the minutes when there are any, rounded to
// the minute ("-2 h", "0 h", "-5 h 30", "5 h 45", "-0 h 30").
std::string HoursMinutesText(nav::Real hours) {
    const long long minutes = static_cast<long long>(nav::Round(std::fabs(hours) * 60));
    std::string text = hours < 0 && minutes > 0 ? "-" : "";
    text += std::to_string(minutes / 60) + " h";
    if (const long long rest = minutes % 60; rest != 0) text += (rest < 10 ? " 0" : " ") + std::to_string(rest);
    return text;
}

}  // namespace

TFParam::TFParam(Dialogs& dialogs, sim::Simulator& engine, config::PolarFiles& chosenPolar, nmea::NmeaContext& nmea,
                 TFPolaire& polar, TFParNMEA& selection, MainWindowLabels& mainWindow, const MachineZone& zone)
    : dialogs_(dialogs),
      engine_(engine),
      chosenPolar_(chosenPolar),
      nmea_(nmea),
      polar_(polar),
      selection_(selection),
      mainWindow_(mainWindow),
      zone_(zone) {
    EDTirando.text = "1,90";
    EdProfCapt.text = "0,30";
    EdCS.text = "0,30";
    EdCQ.text = "1,60";
    VariableDataChanged();
    engine_.ListenToVariableData(*this);
    LbEdTU.text = "-2";
    // Results of "Valider", from the draught and the sensor's depth that the user knows.
    EdCS.readOnly = true;
    EdCQ.readOnly = true;
    EdRepPol.readOnly = true;
    EdPolSel.readOnly = true;
    BtValidCSCQ.caption = "Valider";
    BtDirSel.caption = ".......";
    BtOK_enregistrer.caption = "Enregistrer";
    BtParNMEA.caption = "Paramètres NMEA";
    RdCourCrois.checked = true;
    LabWarningCat.text = "Sélectionner une catégorie avant d'enregistrer";
    LabWarningCat.visible = false;
    ReadOffsetFields();
}

void TFParam::ReadOffsetFields() {
    const nav::Real surface = nav::ValidFloat(EdCS.text);
    const nav::Real keel = nav::ValidFloat(EdCQ.text);
    const nav::Real draught = surface + keel;
    EDTirando.text = OffsetText(draught);
    EdProfCapt.text = OffsetText(draught - keel);
    SurfaceOffset = static_cast<double>(surface);
    KeelOffset = static_cast<double>(keel);
}

void TFParam::FormCreate() {
    ShowRepPol_Pol();
    ReadOffsetFields();
    nmea_.UtcOffsetHours = config::UtcOffsetFromText(LbEdTU.text);
    ChkB_HDG.checked = engine_.SavedHeadingOption();
    ChkB_HDGChange();
}

void TFParam::Show() {
    ShowRepPol_Pol();
    LabTUSysteme.text = std::string(kSystemOffset) + HoursMinutesText(zone_.UtcOffsetHours());
    Visible = true;
}

void TFParam::ShowRepPol_Pol() {
    EdRepPol.text = chosenPolar_.PolarFolder;
    EdPolSel.text = chosenPolar_.PolarName;
}

void TFParam::VariableDataChanged() {
    const sim::VariableData o = engine_.Variable();
    ChkB_HDG.checked = o.heading;
    ChkB_TWS.checked = o.windSpeed;
    ChkB_TWD.checked = o.windDirection;
}

void TFParam::ApplyVariableData() { engine_.SetVariableData({ChkB_HDG.checked, ChkB_TWS.checked, ChkB_TWD.checked}); }

void TFParam::ChkB_HDGChange() { ApplyVariableData(); }
void TFParam::ChkB_TWSChange() { ApplyVariableData(); }
void TFParam::ChkB_TWDChange() { ApplyVariableData(); }

void TFParam::BtDirSelClick() {
    const std::string previous = chosenPolar_.PolarFolder;
    chosenPolar_.PolarFolder.clear();
    chosenPolar_.PolarPath.clear();
    chosenPolar_.PolarName.clear();
    ShowRepPol_Pol();
    if (const auto folder = dialogs_.ChooseFolder("Sélectionner le répertoire", previous)) {
        EdRepPol.text = folder->string();
    }
    // Cancelled: the field stays empty and the folder is a lone separator.
    chosenPolar_.PolarFolder = EdRepPol.text.empty() ? std::string("/") : config::WithSeparator(EdRepPol.text);
}

void TFParam::SpeedBtModPolClick() {
    ForceCategIndet();
    // Only a file that loaded names the polar: a refused one leaves the table, and its name, in force.
    if (const auto chosen = polar_.BtSelPolClick(EdRepPol.text)) {
        // Picked in another folder: the polar folder is the file's.
        chosenPolar_.PolarFolder = config::WithSeparator(chosen->parent_path());
        EdRepPol.text = chosenPolar_.PolarFolder;
        chosenPolar_.PolarPath = chosen->string();
        chosenPolar_.PolarName = config::NomPolaire(chosenPolar_.PolarPath);
    }
    EdPolSel.text = chosenPolar_.PolarName;
    engine_.ForgetBestUpwindAngle();  // not known for this polar yet
}

bool TFParam::LoadPolar(const std::filesystem::path& path) {
    if (polar_.LoadedPath == path) return true;
    if (!polar_.Load(path)) return false;
    engine_.ForgetBestUpwindAngle();  // not known for this polar yet
    return true;
}

void TFParam::CategoryChange(RadioButton TFParam::*choice, int category) {
    if ((this->*choice).checked) {
        for (const CategoryChoice& c : kCategoryChoices) {
            if (c.choice != choice) (this->*c.choice).checked = false;
        }
        engine_.SetCategory(category);
    }
    mainWindow_.ShowCategory();
}

void TFParam::RdREGATEChange() { CategoryChange(&TFParam::RdREGATE, 0); }
void TFParam::RdCourCroisChange() { CategoryChange(&TFParam::RdCourCrois, 1); }
void TFParam::RdCroiseurChange() { CategoryChange(&TFParam::RdCroiseur, 2); }
void TFParam::RdCroisPTEChange() { CategoryChange(&TFParam::RdCroisPTE, 3); }

bool TFParam::CategIndet() const {
    for (const CategoryChoice& c : kCategoryChoices) {
        if ((this->*c.choice).checked) return false;
    }
    return true;
}

void TFParam::ForceCategIndet() {
    if (!CategIndet()) MarkCategory(config::kCategoryUndetermined);
}

void TFParam::MarkCategory(int category) {
    for (const CategoryChoice& c : kCategoryChoices) (this->*c.choice).checked = c.category == category;
}

void TFParam::BtParNMEAClick() { selection_.Show(); }

void TFParam::BtOK_enregistrerClick() {
    if (CategIndet()) {
        LabWarningCat.visible = true;
        return;
    }
    LabWarningCat.visible = false;
    const nav::Real utcOffset = config::UtcOffsetFromText(LbEdTU.text);
    if (const std::string refusal = FieldRefusal("Heure locale = heure TU", LbEdTU.text, utcOffset, "idTU");
        !refusal.empty()) {
        dialogs_.ShowMessage(refusal);
        return;
    }
    nmea_.UtcOffsetHours = utcOffset;
    mainWindow_.ShowPolarName();
    Visible = false;
}

void TFParam::BtValidCSCQClick() {
    const nav::Real draught = nav::ValidFloat(EDTirando.text);
    const nav::Real sensor = nav::ValidFloat(EdProfCapt.text);
    const nav::Real keel = draught - sensor;
    for (const std::string& refusal : {FieldRefusal("Profondeur du capteur", EdProfCapt.text, sensor, "iOFFS_Surf"),
                                       FieldRefusal("Capteur quille (tirant d'eau moins profondeur du capteur)",
                                                    nav::FormatGeneral(keel), keel, "iOFFS_Keel")}) {
        if (!refusal.empty()) {
            dialogs_.ShowMessage(refusal);
            return;
        }
    }
    SurfaceOffset = static_cast<double>(sensor);
    KeelOffset = static_cast<double>(draught - sensor);
    EdCS.text = nav::FormatGeneral(SurfaceOffset);
    EdCQ.text = nav::FormatGeneral(KeelOffset);
}

void TFParam::ShowUtcOffset(nav::Real hours) { LbEdTU.text = config::UtcOffsetText(hours); }

void TFParam::SetOffsets(double surface, double keel) {
    SurfaceOffset = surface;
    KeelOffset = keel;
    EdCS.text = nav::FormatGeneral(surface);
    EdCQ.text = nav::FormatGeneral(keel);
    EDTirando.text = OffsetText(static_cast<nav::Real>(surface) + keel);
    EdProfCapt.text = OffsetText(surface);
}

}  // namespace corvel::app
