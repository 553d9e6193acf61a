// The parameters dialog: the variable-data options that the manoeuvres freeze and restore.
#include "app/ParametersDialogModel.h"

namespace corvel::app {

void TFParam::MemoStData() {
    SavedHDG = ChkB_HDG.checked;
    SavedTWS = ChkB_TWS.checked;
    SavedTWD = ChkB_TWD.checked;
}

void TFParam::FigeData() {
    if (freezes_ == 0) MemoStData();
    ++freezes_;
    ChkB_HDG.checked = false;
    ChkB_TWS.checked = false;
    ChkB_TWD.checked = false;
}

void TFParam::RestStData() {
    if (freezes_ > 0 && --freezes_ > 0) return;
    ChkB_HDG.checked = SavedHDG;
    ChkB_TWS.checked = SavedTWS;
    ChkB_TWD.checked = SavedTWD;
}

bool TFParam::HDGOption() const { return DataFrozen() ? SavedHDG : ChkB_HDG.checked; }

void TFParam::SetHDGOption(bool variable) {
    if (DataFrozen()) {
        SavedHDG = variable;
    } else {
        ChkB_HDG.checked = variable;
    }
}

}  // namespace corvel::app
