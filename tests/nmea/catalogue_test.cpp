// The catalogue as the selection dialog and the configuration files see it: the types in list
// order, the descriptions and a few of their lines with the obsolete marks, and the configuration
// keys.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "nav/Utf8Text.h"
#include "nmea/NmeaCatalogue.h"

using namespace corvel::nmea;

namespace {

// The list is in alphabetical order of the types, each kind once; every description is readable
// text of its own, except that RMB and RMC share one, as the original dialog shows them.
TEST(Catalogue, TypesInOrderAndDescriptionsOfTheirOwn) {
    std::set<std::string_view> descriptions;
    for (std::size_t i = 0; i < kSentenceCatalogue.size(); ++i) {
        const SentenceInfo& info = kSentenceCatalogue[i];
        SCOPED_TRACE(std::string(info.type));
        ASSERT_EQ(info.type.size(), 3u);
        for (char c : info.type) EXPECT_TRUE(c >= 'A' && c <= 'Z');
        if (i > 0) {
            EXPECT_LT(kSentenceCatalogue[i - 1].type, info.type);
        }
        EXPECT_FALSE(info.description.empty());
        EXPECT_TRUE(corvel::nav::IsValidUtf8(info.description));
        EXPECT_NE(info.description.front(), ' ');
        const bool shared = descriptions.count(info.description) != 0;
        EXPECT_EQ(shared, info.kind == SentenceKind::RMC);
        descriptions.insert(info.description);
    }
    EXPECT_EQ(InfoOf(SentenceKind::RMB).description, InfoOf(SentenceKind::RMC).description);
}

// A few lines read from the original selection dialog: the first and the last of the list, the
// first with the obsolete mark, HDM, whose description ends in a space that the line keeps, and
// RMC, which shows RMB's description. The note under the list keeps the original's spelling.
TEST(Catalogue, SelectionLinesReadFromTheOriginalDialog) {
    const std::pair<SentenceKind, const char*> cases[] = {
        {SentenceKind::APB, " APB   Pilote automatique phrase B"},
        {SentenceKind::DBK, " DBK*  Profondeur sous la quille"},
        {SentenceKind::HDM, " HDM*  Cap magnétique "},
        {SentenceKind::RMC, " RMC   Information minimale de navigation demandée"},
        {SentenceKind::ZTG, " ZTG   TU et temps restant pour atteindre le waypoint"},
    };
    for (const auto& [kind, line] : cases) EXPECT_EQ(SelectionLine(InfoOf(kind)), line);
    EXPECT_EQ(
        kObsoleteNote,
        "* phrases réputées obsolètes pour le matériel postérieur à 2010 mais utilsées sur le matériel antérieur");
}

TEST(Catalogue, ConfigurationKeysAreIPlusTypeAndGgaHasNone) {
    for (const SentenceInfo& info : kSentenceCatalogue) {
        if (info.kind == SentenceKind::GGA) {
            EXPECT_TRUE(info.configKey.empty());
        } else {
            EXPECT_EQ(info.configKey, "i" + std::string(info.type));
        }
    }
}

}  // namespace
