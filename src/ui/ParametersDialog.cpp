// The parameters dialog's widgets; see ParametersDialog.h.
#include "ui/ParametersDialog.h"

#include <QGroupBox>

#include "ui/Artwork.h"

namespace corvel::ui {

#define CONTROL(name) &app::TFParam::name, #name

ParametersDialog::ParametersDialog(app::TFParam& model, QWidget* parent, std::function<void()> commandDone)
    : BoundDialog(model, parent, std::move(commandDone)) {
    setObjectName(QStringLiteral("FParam"));
    setFixedSize(580, 520);
    DialogBindings<app::TFParam>& m = bind_;
    const auto at = [](QWidget* widget, QRect where) { widget->setGeometry(where); };

    QGroupBox* offsets = Panel(this, "Offsets pour la profondeur", {10, 10, 290, 196});
    AddCaptions(offsets, {{"Tirant d'eau", 10, 32},
                          {"Profondeur du capteur", 10, 64},
                          {"Capteur surface", 10, 96},
                          {"Capteur quille", 10, 128},
                          {"m", 246, 32},
                          {"m", 246, 64},
                          {"m", 246, 96},
                          {"m", 246, 128}});
    at(m.Field(offsets, CONTROL(EDTirando)), {166, 28, 74, 24});
    at(m.Field(offsets, CONTROL(EdProfCapt)), {166, 60, 74, 24});
    at(m.Field(offsets, CONTROL(EdCS)), {166, 92, 74, 24});
    at(m.Field(offsets, CONTROL(EdCQ)), {166, 124, 74, 24});
    at(m.Push(offsets, CONTROL(BtValidCSCQ), [this] { model_.BtValidCSCQClick(); }), {166, 158, 74, 28});

    QGroupBox* variable = Panel(this, "Données variables", {310, 10, 260, 196});
    AddCaptions(variable, {{"Décocher pour rendre constant", 12, 28}});
    const auto check = [](QCheckBox* box, QPoint where) {
        box->move(where);
        box->adjustSize();
    };
    check(m.Check(variable, CONTROL(ChkB_HDG), "Cap vrai", [this] { model_.ChkB_HDGChange(); }), {16, 60});
    check(m.Check(variable, CONTROL(ChkB_TWS), "Force du vent réel", [this] { model_.ChkB_TWSChange(); }), {16, 96});
    check(m.Check(variable, CONTROL(ChkB_TWD), "Direction du vent réel", [this] { model_.ChkB_TWDChange(); }),
          {16, 132});

    QGroupBox* time = Panel(this, "Décalage heure locale / heure TU", {10, 214, 560, 62});
    AddCaptions(time, {{"Heure locale = heure TU ", 10, 32}, {"H.MS", 256, 32}});
    at(m.Field(time, CONTROL(LbEdTU)), {176, 28, 74, 24});
    at(m.Text(time, CONTROL(LabTUSysteme)), {310, 28, 240, 24});

    QGroupBox* polars = Panel(this, "Polaires", {10, 284, 560, 184});
    AddCaptions(
        polars,
        {{"Dossier des fichiers de polaires", 10, 28}, {"Parcourir", 460, 28}, {"Polaire sélectionnée", 10, 86}});
    at(m.Field(polars, CONTROL(EdRepPol)), {10, 48, 440, 24});
    at(m.Push(polars, CONTROL(BtDirSel), [this] { model_.BtDirSelClick(); }), {460, 46, 90, 28});
    at(m.Display(polars, CONTROL(EdPolSel)), {10, 106, 200, 24});
    QPushButton* choose = m.Push(polars, CONTROL(SpeedBtModPol), [this] { model_.SpeedBtModPolClick(); });
    at(choose, {216, 102, 40, 32});
    choose->setIcon(QIcon(PolarButtonPicture({28, 28})));
    choose->setIconSize({28, 28});
    QGroupBox* category = Panel(polars, "Catégorie", {290, 80, 260, 96});
    category->setToolTip(Q(model.CategoryHint));
    const auto radio = [](QRadioButton* button, QPoint where) {
        button->move(where);
        button->adjustSize();
    };
    radio(m.Radio(category, CONTROL(RdREGATE), "REGATE", [this] { model_.RdREGATEChange(); }), {12, 28});
    radio(m.Radio(category, CONTROL(RdCourCrois), "Course-croisière", [this] { model_.RdCourCroisChange(); }),
          {120, 28});
    radio(m.Radio(category, CONTROL(RdCroiseur), "Croiseur", [this] { model_.RdCroiseurChange(); }), {12, 60});
    radio(m.Radio(category, CONTROL(RdCroisPTE), "Croiseur PTE", [this] { model_.RdCroisPTEChange(); }), {120, 60});

    at(m.Push(this, CONTROL(BtOK_enregistrer), [this] { model_.BtOK_enregistrerClick(); }), {10, 478, 130, 32});
    QLabel* warning = m.Text(this, CONTROL(LabWarningCat));
    // Two lines between the two buttons.
    at(warning, {148, 474, 286, 40});
    warning->setWordWrap(true);
    warning->setAlignment(Qt::AlignCenter);
    warning->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    at(m.Push(this, CONTROL(BtParNMEA), [this] { model_.BtParNMEAClick(); }), {440, 478, 130, 32});
}

#undef CONTROL

}  // namespace corvel::ui
