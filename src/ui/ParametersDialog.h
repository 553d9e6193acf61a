// "Paramètres de simulation" (TFParam) as a Qt dialog, not modal: the depth-sensor offsets with
// "Valider", the three "Données variables" boxes (a change applies at once), the local time offset
// with the machine's own beside it, the polar folder and file, the boat's category, "Enregistrer"
// and "Paramètres NMEA".
#pragma once

#include <functional>

#include "app/windows/ParametersDialogModel.h"
#include "ui/Binding.h"

namespace corvel::ui {

class ParametersDialog : public BoundDialog<app::TFParam> {
public:
    // `commandDone` runs after each of the dialog's commands (the main window redraws: the polar
    // name, the category, the selection dialog shown).
    explicit ParametersDialog(app::TFParam& model, QWidget* parent = nullptr, std::function<void()> commandDone = {});
};

}  // namespace corvel::ui
