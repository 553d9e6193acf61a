// The sentence-selection dialog model; see SentenceSelectionModel.h.
#include "app/windows/SentenceSelectionModel.h"

#include "nmea/NmeaCatalogue.h"

namespace corvel::app {

TFParNMEA::TFParNMEA(nmea::NmeaContext& context) : context_(context) {
    for (const nmea::SentenceInfo& info : nmea::kSentenceCatalogue) {
        ChkLBNMEA[nmea::IndexOf(info.kind)].text = std::string(info.type);
        MemoPNMEA.push_back(nmea::SelectionLine(info));
    }
    NoteObsolete = std::string(nmea::kObsoleteNote);
    // The first button of each pair, as the dialog is designed; the start-up configuration then
    // selects the ones matching the loaded talkers.
    RdBtDevPos_EC.checked = true;
    RdBtDevSond_1.checked = true;
    RdBtInst_Speed.checked = true;
    RdBtWI_1.checked = true;
    BtSelAll.caption = "Sélectionner tout";
    BtDeselAll.caption = "Déselectionner tout";
    BtParNMEA_VALIDE.caption = "VALIDER";
    BtSelAllClick();
}

void TFParNMEA::BtSelAllClick() {
    for (auto& item : ChkLBNMEA) item.checked = true;
}

void TFParNMEA::BtDeselAllClick() {
    for (auto& item : ChkLBNMEA) item.checked = false;
}

void TFParNMEA::BtParNMEA_VALIDEClick() {
    for (size_t i = 0; i < ChkLBNMEA.size(); ++i) {
        context_.switches[i] = ChkLBNMEA[i].checked ? nmea::t_switch::ON : nmea::t_switch::OFF;
    }
    Talker_IDs();
    Visible = false;
}

TalkerCodes TFParNMEA::Talkers() const {
    return {RdBtDevPos_EC.checked ? "EC" : "GP", RdBtDevSond_1.checked ? "SD" : "II",
            RdBtInst_Speed.checked ? "DM" : "II", RdBtWI_1.checked ? "WI" : "II"};
}

void TFParNMEA::Talker_IDs() {
    TalkerCodes t = Talkers();
    context_.TalkerPosition = std::move(t.position);
    context_.TalkerSounder = std::move(t.sounder);
    context_.TalkerSpeed = std::move(t.speed);
    context_.TalkerWind = std::move(t.wind);
}

void TFParNMEA::RefreshNMEAParam() {
    for (size_t i = 0; i < ChkLBNMEA.size(); ++i) ChkLBNMEA[i].checked = context_.switches[i] == nmea::t_switch::ON;
}

void TFParNMEA::SelectTalkerButtons() {
    auto select = [](const std::string& talker, const char* first, RadioButton& a, const char* second, RadioButton& b) {
        if (talker == first) {
            a.checked = true;
            b.checked = false;
        } else if (talker == second) {
            a.checked = false;
            b.checked = true;
        }
    };
    select(context_.TalkerPosition, "EC", RdBtDevPos_EC, "GP", RdBtDevPos_GP);
    select(context_.TalkerSounder, "SD", RdBtDevSond_1, "II", RdBtDevSond_2);
    select(context_.TalkerSpeed, "DM", RdBtInst_Speed, "II", RdBtInst_II);
    select(context_.TalkerWind, "WI", RdBtWI_1, "II", RdBtWI_2);
}

}  // namespace corvel::app
