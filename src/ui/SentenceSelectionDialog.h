// The sentence-selection dialog "Sélection des phrases NMEA à générer" as Qt widgets: a thin view
// of app::TFParNMEA. The check list of the 27 kinds beside their descriptions with the obsolete
// marks, the note, the four talker choices, "Sélectionner tout", "Déselectionner tout" and
// "VALIDER", each widget named after its control. Ticks and talker choices go into the model at
// once; only "VALIDER" applies them to the sentences, and closing the dialog otherwise changes
// nothing. Non-modal.
#pragma once

#include "app/windows/SentenceSelectionModel.h"
#include "ui/Binding.h"

class QListWidget;

namespace corvel::ui {

class SentenceSelectionDialog : public BoundDialog<app::TFParNMEA> {
public:
    // `commandDone` runs after each of the dialog's commands (the main window redraws itself).
    explicit SentenceSelectionDialog(app::TFParNMEA& model, QWidget* parent = nullptr,
                                     std::function<void()> commandDone = {});

private:
    void ShowOwnWidgets() override;  // the check list

    QListWidget* list_ = nullptr;
};

}  // namespace corvel::ui
