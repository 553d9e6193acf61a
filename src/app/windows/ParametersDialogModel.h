// The parameters dialog as a model: depth-sensor offsets and the variable-data options that the
// main tick reads.
#pragma once

#include "app/program/Clock.h"
#include "app/program/Dialogs.h"
#include "app/windows/Controls.h"
#include "app/windows/WindowInterfaces.h"
#include "config/PolarLibrary.h"
#include "nmea/NmeaBuilders.h"
#include "sim/Simulator.h"

namespace corvel::app {

class TFPolaire;
class TFParNMEA;

class TFParam : public ParameterSettings, private sim::SimulatorEvents {
public:
    // What the dialog acts on, given once: the engine, whose options the "Données variables" boxes
    // show from construction on; `chosenPolar`, the program's record of the polar in use, which
    // the folder and polar buttons change; the sentences' UTC offset; the polar window that loads
    // a chosen file; the selection dialog that "Paramètres NMEA" shows; the main window's labels;
    // the machine's time zone, whose offset the dialog shows beside the UTC offset.
    TFParam(Dialogs& dialogs, sim::Simulator& engine, config::PolarFiles& chosenPolar, nmea::NmeaContext& nmea,
            TFPolaire& polar, TFParNMEA& selection, MainWindowLabels& mainWindow, const MachineZone& zone);

    // "Offsets pour la profondeur", metres, as typed.
    EditField EDTirando, EdProfCapt, EdCS, EdCQ;
    // "Données variables": ticked = the quantity varies; the manoeuvres untick them while they
    // run (the engine freezes the options) and tick them back.
    CheckBox ChkB_HDG, ChkB_TWS, ChkB_TWD;

    // ===== the dialog: folders, polar, category, offsets, UTC offset (ParametersDialogModel.cpp) =====
public:
    // Creation: the folder and polar shown, the offsets and the UTC offset from the fields, "Cap vrai"
    // from the option kept while STDBY holds it (not ticked at start-up).
    void FormCreate();
    // "Paramètres": the dialog shown with the current polar folder and name, and the machine's UTC
    // offset of this moment in LabTUSysteme.
    void Show();
    // Show and every repaint: EdRepPol and EdPolSel show the chosen polar's folder and name.
    void ShowRepPol_Pol();
    // The three "Données variables" boxes: the option follows its box at once.
    void ChkB_HDGChange();
    void ChkB_TWSChange();
    void ChkB_TWDChange();
    // "......." ("Parcourir"): clears the polar, then asks for the polar folder.
    void BtDirSelClick();
    // The polar button: clears the category choice, then asks for a polar file in EdRepPol and loads
    // it.
    void SpeedBtModPolClick();
    // The four category choices: the view sets `checked`, then calls the change event.
    void RdREGATEChange();
    void RdCourCroisChange();
    void RdCroiseurChange();
    void RdCroisPTEChange();
    // True when none of the four category choices is marked.
    bool CategIndet() const;
    // Unmarks the four choices (the category in force stays).
    void ForceCategIndet();
    // Marks the choice of `category` and unmarks the others (none marked for 4 or another value).
    void MarkCategory(int category) override;
    // "Paramètres NMEA": shows the sentence-selection dialog.
    void BtParNMEAClick();
    // "Enregistrer": refused with LabWarningCat while no category is marked; otherwise the UTC
    // offset is taken from LbEdTU, the main window shows the polar name and the dialog closes.
    void BtOK_enregistrerClick();
    // "Valider": keel := draught - sensor depth, surface := sensor depth, written back into
    // "Capteur quille" and "Capteur surface".
    void BtValidCSCQClick();
    // The offsets in force (metres), shown in the four offset fields.
    void SetOffsets(double surface, double keel) override;
    SensorOffsets Offsets() const override { return {SurfaceOffset, KeelOffset}; }
    // The chosen polar's folder in EdRepPol; a UTC offset in LbEdTU.
    void ShowPolarFolder() override { EdRepPol.text = chosenPolar_.PolarFolder; }
    void ShowUtcOffset(nav::Real hours) override;
    bool LoadPolar(const std::filesystem::path& path) override;
    void Close() override { Visible = false; }

    std::string Caption = "Paramètres de simulation";
    bool Visible = false;
    // The offsets in force, metres: "Capteur surface" and "Capteur quille".
    double SurfaceOffset = 0;
    double KeelOffset = 0;
    // "Heure locale = heure TU ", H.MMSS.
    EditField LbEdTU;
    // Beside it, read only: the machine's offset when the dialog was shown, in hours and minutes
    // rounded to the minute, "-" when negative: "Décalage du système : -2 h", "... : -5 h 30".
    Label LabTUSysteme;
    // "Dossier des fichiers de polaires", "Polaire sélectionnée".
    EditField EdRepPol, EdPolSel;
    Button BtValidCSCQ, BtDirSel, SpeedBtModPol, BtOK_enregistrer, BtParNMEA;
    // "Catégorie": "REGATE", "Course-croisière", "Croiseur", "Croiseur PTE"; at most one marked.
    RadioButton RdREGATE, RdCourCrois, RdCroiseur, RdCroisPTE;
    Label LabWarningCat;
    // The hint of the "Catégorie" group.
    std::string CategoryHint = "Sélection une catégorie pour ce voilier";

private:
    void VariableDataChanged() override;  // the boxes follow the engine's options
    void ApplyVariableData();             // the engine's options follow the boxes
    void ReadOffsetFields();
    void CategoryChange(RadioButton TFParam::*choice, int category);
    Dialogs& dialogs_;
    sim::Simulator& engine_;
    config::PolarFiles& chosenPolar_;
    nmea::NmeaContext& nmea_;
    TFPolaire& polar_;
    TFParNMEA& selection_;
    MainWindowLabels& mainWindow_;
    const MachineZone& zone_;
    // ===== end of the dialog =====
};

}  // namespace corvel::app
