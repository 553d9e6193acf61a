// The parameters dialog as a model: depth-sensor offsets and the variable-data options that the
// main tick reads.
#pragma once

#include "app/Controls.h"

namespace corvel::app {

class TFParam {
public:
    TFParam();

    // "Offsets pour la profondeur", metres, as typed.
    EditField EDTirando, EdProfCapt, EdCS, EdCQ;
    // "Données variables": ticked = the quantity varies.
    CheckBox ChkB_HDG, ChkB_TWS, ChkB_TWD;

    // ===== variable data frozen by the manoeuvres (TFParam_data.cpp) =====
    // ===== end of variable data =====

    // ===== the dialog: folders, polar, category, offsets, UTC offset (TFParam.cpp) =====
    // ===== end of the dialog =====
};

}  // namespace corvel::app
