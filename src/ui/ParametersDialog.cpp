// The parameters dialog's widgets; see ParametersDialog.h.
#include "ui/ParametersDialog.h"

#include <QGroupBox>

#include "ui/Artwork.h"

namespace corvel::ui {

namespace {

struct Caption {
    const char* text;
    int x, y;
};

void AddCaptions(QWidget* parent, std::initializer_list<Caption> captions) {
    for (const Caption& c : captions) {
        auto* label = new QLabel(Q(c.text), parent);
        label->move(c.x, c.y);
        label->adjustSize();
    }
}

QGroupBox* Panel(QWidget* parent, const char* title, QRect geometry) {
    auto* box = new QGroupBox(Q(title), parent);
    box->setGeometry(geometry);
    return box;
}

}  // namespace

#define CONTROL(name) &app::TFParam::name, #name

ParametersDialog::ParametersDialog(app::TFParam& model, std::function<void(const std::function<void()>&)> run,
                                   QWidget* parent)
    : ModelDialog(model.Visible, parent), model_(model), controls_(model, std::move(run)) {
    setObjectName(QStringLiteral("FParam"));
    setWindowTitle(Q(model.Caption));
    setFixedSize(580, 520);
    ControlBindings<app::TFParam>& m = controls_;

    QGroupBox* offsets = Panel(this, "Offsets pour la profondeur", {10, 10, 290, 196});
    AddCaptions(offsets, {{"Tirant d'eau", 10, 32},
                          {"Profondeur du capteur", 10, 64},
                          {"Capteur surface", 10, 96},
                          {"Capteur quille", 10, 128},
                          {"m", 246, 32},
                          {"m", 246, 64},
                          {"m", 246, 96},
                          {"m", 246, 128}});
    m.Field(offsets, CONTROL(EDTirando), {166, 28, 74, 24});
    m.Field(offsets, CONTROL(EdProfCapt), {166, 60, 74, 24});
    m.Field(offsets, CONTROL(EdCS), {166, 92, 74, 24});
    m.Field(offsets, CONTROL(EdCQ), {166, 124, 74, 24});
    m.Push(offsets, CONTROL(BtValidCSCQ), {166, 158, 74, 28}, 0, [this] { model_.BtValidCSCQClick(); });

    QGroupBox* variable = Panel(this, "Données variables", {310, 10, 260, 196});
    AddCaptions(variable, {{"Décocher pour rendre constant", 12, 28}});
    m.Check(variable, CONTROL(ChkB_HDG), "Cap vrai", {16, 60}, 0, [this] { model_.ChkB_HDGChange(); });
    m.Check(variable, CONTROL(ChkB_TWS), "Force du vent réel", {16, 96}, 0, [this] { model_.ChkB_TWSChange(); });
    m.Check(variable, CONTROL(ChkB_TWD), "Direction du vent réel", {16, 132}, 0, [this] { model_.ChkB_TWDChange(); });

    QGroupBox* time = Panel(this, "Décalage heure locale / heure TU", {10, 214, 560, 62});
    AddCaptions(time, {{"Heure locale = heure TU ", 10, 32}, {"H.MS", 256, 32}});
    m.Field(time, CONTROL(LbEdTU), {176, 28, 74, 24});

    QGroupBox* polars = Panel(this, "Polaires", {10, 284, 560, 184});
    AddCaptions(
        polars,
        {{"Dossier des fichiers de polaires", 10, 28}, {"Parcourir", 460, 28}, {"Polaire sélectionnée", 10, 86}});
    m.Field(polars, CONTROL(EdRepPol), {10, 48, 440, 24});
    m.Push(polars, CONTROL(BtDirSel), {460, 46, 90, 28}, 0, [this] { model_.BtDirSelClick(); });
    m.Display(polars, CONTROL(EdPolSel), {10, 106, 200, 24});
    QPushButton* choose =
        m.Push(polars, CONTROL(SpeedBtModPol), {216, 102, 40, 32}, 0, [this] { model_.SpeedBtModPolClick(); });
    choose->setIcon(QIcon(PolarButtonPicture({28, 28})));
    choose->setIconSize({28, 28});
    QGroupBox* category = Panel(polars, "Catégorie", {290, 80, 260, 96});
    category->setToolTip(Q(model.CategoryHint));
    m.Radio(category, CONTROL(RdREGATE), "REGATE", {12, 28}, 0, [this] { model_.RdREGATEChange(); });
    m.Radio(category, CONTROL(RdCourCrois), "Course-croisière", {120, 28}, 0, [this] { model_.RdCourCroisChange(); });
    m.Radio(category, CONTROL(RdCroiseur), "Croiseur", {12, 60}, 0, [this] { model_.RdCroiseurChange(); });
    m.Radio(category, CONTROL(RdCroisPTE), "Croiseur PTE", {120, 60}, 0, [this] { model_.RdCroisPTEChange(); });

    m.Push(this, CONTROL(BtOK_enregistrer), {10, 478, 130, 32}, 0, [this] { model_.BtOK_enregistrerClick(); });
    QLabel* warning = m.Text(this, CONTROL(LabWarningCat), {150, 484, 290, 20});
    warning->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    m.Push(this, CONTROL(BtParNMEA), {440, 478, 130, 32}, 0, [this] { model_.BtParNMEAClick(); });
}

#undef CONTROL

void ParametersDialog::Refresh() { controls_.RefreshAll(); }

}  // namespace corvel::ui
