// The parameters dialog model; see TFParam.h.
#include "app/TFParam.h"

namespace corvel::app {

TFParam::TFParam() {
    EDTirando.text = "1,90";
    EdProfCapt.text = "0,30";
    EdCS.text = "0,30";
    EdCQ.text = "1,60";
    ChkB_HDG.checked = true;
    ChkB_TWS.checked = true;
    ChkB_TWD.checked = true;
}

}  // namespace corvel::app
