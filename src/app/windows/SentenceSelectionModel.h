// The sentence-selection dialog as a model: which of the 27 kinds are sent and which talker
// identifier each instrument uses. The choices take effect with "VALIDER".
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/windows/Controls.h"
#include "app/windows/WindowInterfaces.h"
#include "nmea/NmeaBuilders.h"

namespace corvel::app {

class TFParNMEA : public SelectionSettings {
public:
    // `context` holds the switches and talkers the sentence builders read.
    explicit TFParNMEA(nmea::NmeaContext& context);

    void BtSelAllClick();
    void BtDeselAllClick();
    void BtParNMEA_VALIDEClick();
    TalkerCodes Talkers() const override;
    void Talker_IDs() override;
    void RefreshNMEAParam();
    // Selects the radio buttons that match the talker strings of the context ("EC" or "GP", ...);
    // a string matching neither button leaves its pair as it is.
    void SelectTalkerButtons();
    void ShowContext() override {
        SelectTalkerButtons();
        RefreshNMEAParam();
    }
    void Show() { Visible = true; }

    std::string Caption = "Sélection des phrases NMEA à générer";
    bool Visible = false;
    // The check list, one item per kind in catalogue order.
    struct CheckListItem {
        std::string text;
        bool checked = true;
    };
    std::array<CheckListItem, nmea::kSentenceKindCount> ChkLBNMEA;
    std::vector<std::string> MemoPNMEA;  // the description lines
    std::string NoteObsolete;
    RadioButton RdBtDevPos_EC, RdBtDevPos_GP, RdBtDevSond_1, RdBtDevSond_2, RdBtInst_Speed, RdBtInst_II, RdBtWI_1,
        RdBtWI_2;
    Button BtSelAll, BtDeselAll, BtParNMEA_VALIDE;

private:
    nmea::NmeaContext& context_;
};

}  // namespace corvel::app
