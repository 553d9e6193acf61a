// The polar window "SAISIE POLAIRE" (app::TFPolaire) as a non-modal Qt dialog: the lines of the
// polar file in force as the model keeps them (read-only, monospace, tab columns aligned), and
// beside them the polar diagram (PolarDiagramWidget) with the engine's polar percentage applied.
// It shows the polar in force; polars are chosen in the parameters dialog.
#pragma once

#include <QDialog>
#include <cstdint>

#include "app/windows/PolarWindowModel.h"
#include "sim/SimulationState.h"

class QLabel;
class QPlainTextEdit;

namespace corvel::ui {

class PolarDiagramWidget;

class PolarWindow : public QDialog {
public:
    // `state`: the engine's state, whose PolarPercent the diagram applies.
    PolarWindow(const app::TFPolaire& model, const sim::SimulationState& state, QWidget* parent = nullptr);

    // Copies the model into the widgets when a polar was loaded or the percentage changed since
    // they were last drawn (a refused file loads nothing: the window stays as it was).
    void Refresh();
    PolarDiagramWidget* Diagram() const { return diagram_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    const app::TFPolaire& model_;
    const sim::SimulationState& state_;
    QLabel* file_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    PolarDiagramWidget* diagram_ = nullptr;
    bool drawnOnce_ = false;
    std::uint64_t drawnLoads_ = 0;
    int drawnPercent_ = 0;
};

}  // namespace corvel::ui
