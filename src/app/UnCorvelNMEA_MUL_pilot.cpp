// The main-window model: manoeuvres (best close-hauled, tack, gybe) and the pilot (AUTO, STDBY,
// heading changes, tiller).
#include "app/UnCorvelNMEA_MUL.h"

namespace corvel::app {

void TFCorvel::EnablePilotCommands(bool enabled) {
    SpBTAUTO.enabled = enabled;
    SpBtStdBY.enabled = enabled;
}

void TFCorvel::MajBtBestHaul() {}

void TFCorvel::ApplyVireEmpRule() {}

void TFCorvel::TimerBTimer() { TimerATTimer(); }

}  // namespace corvel::app
