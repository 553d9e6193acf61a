// The catalogue as the selection dialog and the configuration files see it: the description lines
// with their obsolete marks, and the configuration keys.
#include <gtest/gtest.h>

#include <string>

#include "nmea/NmeaCatalogue.h"

using namespace corvel::nmea;

namespace {

TEST(Catalogue, SelectionLinesInListOrder) {
    const char* expected[kSentenceKindCount] = {
        " APB   Pilote automatique phrase B",
        " BWC   Relevé et distance au waypoint - orthodromie",
        " BWR   Relevé et distance au waypoint - loxodromie",
        " DBK*  Profondeur sous la quille",
        " DBS*  Profondeur sous la surface",
        " DBT   Profondeur sous le capteur",
        " DPT   Profondeur d'eau  (sous le capteur)",
        " GGA   Données de correction GPS",
        " GLL   Position géographique   Latitude/Longitude",
        " GSA   GPS DOP et satellites actifs (précision syst.)",
        " GSV   Satellites en vue",
        " HDG   Cap magnétique - déviation et déclinaison",
        " HDM*  Cap magnétique ",
        " HDT*  Cap vrai",
        " MTW   Température moyenne de l'eau",
        " MWD   Vitesse et direction du vent réel",
        " MWV   Vitesse et angle du vent",
        " RMB   Information minimale de navigation demandée",
        " RMC   Information minimale de navigation demandée",
        " VHW   Vitesse sur l'eau et cap",
        " VTG   Route et vitesse sur le fond",
        " VWR*  Vent apparent en vitesse et angle",
        " WCV   VMG d'approche du waypoint",
        " WNC   Distance de waypoint à waypoint",
        " WPL   Localisation du waypoint",
        " ZDA   Date et heure TU , J,M,A et zone d'horaire local",
        " ZTG   TU et temps restant pour atteindre le waypoint",
    };
    for (std::size_t i = 0; i < kSentenceKindCount; ++i) {
        EXPECT_EQ(SelectionLine(kSentenceCatalogue[i]), expected[i]) << i;
    }
    EXPECT_EQ(kObsoleteNote,
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
