// The sentence-selection dialog model: the list and its texts, "VALIDER", the talkers, refresh.
#include <gtest/gtest.h>

#include "app/windows/SentenceSelectionModel.h"
#include "nmea/NmeaCatalogue.h"

using namespace corvel;

namespace {

// The dialog lists the catalogue in its order, one box and one description line per kind; the
// catalogue's own tests check the texts themselves.
TEST(SelectionDialog, ListTextsAndDescriptionsInListOrder) {
    nmea::NmeaContext context;
    app::TFParNMEA dialog(context);
    ASSERT_EQ(dialog.MemoPNMEA.size(), nmea::kSentenceKindCount);
    for (size_t i = 0; i < nmea::kSentenceKindCount; ++i) {
        EXPECT_EQ(dialog.ChkLBNMEA[i].text, nmea::kSentenceCatalogue[i].type);
        EXPECT_TRUE(dialog.ChkLBNMEA[i].checked);
        EXPECT_EQ(dialog.MemoPNMEA[i], nmea::SelectionLine(nmea::kSentenceCatalogue[i]));
    }
    EXPECT_EQ(dialog.MemoPNMEA.front(), " APB   Pilote automatique phrase B");
    EXPECT_EQ(dialog.MemoPNMEA[3], " DBK*  Profondeur sous la quille");
    EXPECT_EQ(dialog.MemoPNMEA.back(), " ZTG   TU et temps restant pour atteindre le waypoint");
    EXPECT_EQ(dialog.Caption, "Sélection des phrases NMEA à générer");
}

TEST(SelectionDialog, ChoicesTakeEffectOnlyWithValider) {
    nmea::NmeaContext context;
    app::TFParNMEA dialog(context);
    dialog.BtDeselAllClick();
    dialog.ChkLBNMEA[nmea::IndexOf(nmea::SentenceKind::RMC)].checked = true;
    dialog.RdBtDevPos_EC.checked = false;
    dialog.RdBtDevPos_GP.checked = true;
    EXPECT_TRUE(context.Selected(nmea::SentenceKind::GLL));  // nothing applied yet
    dialog.Visible = true;
    dialog.BtParNMEA_VALIDEClick();
    EXPECT_FALSE(dialog.Visible);
    for (const auto& info : nmea::kSentenceCatalogue) {
        EXPECT_EQ(context.Selected(info.kind), info.kind == nmea::SentenceKind::RMC) << info.type;
    }
    EXPECT_EQ(context.TalkerPosition, "GP");
    EXPECT_EQ(context.TalkerSounder, "SD");
}

TEST(SelectionDialog, RefreshShowsEachSwitchAndTalkerButtonsFollowTheStrings) {
    nmea::NmeaContext context;
    app::TFParNMEA dialog(context);
    context.Select(nmea::SentenceKind::GGA, false);
    context.Select(nmea::SentenceKind::GLL, false);
    dialog.RefreshNMEAParam();
    EXPECT_FALSE(dialog.ChkLBNMEA[nmea::IndexOf(nmea::SentenceKind::GGA)].checked);
    EXPECT_FALSE(dialog.ChkLBNMEA[nmea::IndexOf(nmea::SentenceKind::GLL)].checked);
    EXPECT_TRUE(dialog.ChkLBNMEA[nmea::IndexOf(nmea::SentenceKind::RMC)].checked);

    context.TalkerPosition = "GP";
    context.TalkerWind = "II";
    context.TalkerSounder = "XX";  // matches neither button: the pair stays
    dialog.SelectTalkerButtons();
    EXPECT_TRUE(dialog.RdBtDevPos_GP.checked);
    EXPECT_FALSE(dialog.RdBtDevPos_EC.checked);
    EXPECT_TRUE(dialog.RdBtWI_2.checked);
    EXPECT_TRUE(dialog.RdBtDevSond_1.checked);
    dialog.Talker_IDs();
    EXPECT_EQ(context.TalkerSounder, "SD");
    EXPECT_EQ(context.TalkerWind, "II");
}

}  // namespace
