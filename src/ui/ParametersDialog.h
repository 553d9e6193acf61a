// "Paramètres de simulation" (TFParam) as a Qt dialog, not modal: the depth-sensor offsets with
// "Valider", the three "Données variables" boxes (a change applies at once), the local time offset,
// the polar folder and file, the boat's category, "Enregistrer" and "Paramètres NMEA".
#pragma once

#include <functional>
#include <memory>

#include "app/ParametersDialogModel.h"
#include "ui/Binding.h"
#include "ui/ModelDialog.h"

namespace corvel::ui {

class ParametersDialog : public ModelDialog {
public:
    // `run` runs a handler as a user's command of the program (the main window's Command).
    ParametersDialog(app::TFParam& model, std::function<void(const std::function<void()>&)> run, QWidget* parent);
    void Refresh() override;

private:
    app::TFParam& model_;
    ControlBindings<app::TFParam> controls_;
};

}  // namespace corvel::ui
