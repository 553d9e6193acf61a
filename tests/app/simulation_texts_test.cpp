// The French texts composed from simulation values and errors: each refusal of a polar, with and
// without a file, the message of a wind angle above the polar, the ETE, the drift side and the wind
// captions.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "app/program/SimulationTexts.h"
#include "sim/PolarTable.h"

using namespace corvel;
using sim::PolarLoadResult;
using sim::PolarRefusal;

namespace {

PolarLoadResult Refused(PolarRefusal why, std::string file = "", std::size_t count = 0, std::size_t line = 0,
                        std::string text = "") {
    return {why, std::move(file), count, line, std::move(text)};
}

TEST(PolarRefusalMessage, NamesTheFileAndWhyForEachRefusal) {
    const std::string file = "/home/marin/Polaires/First 31.7.pol";
    const std::string refused = "Polaire refusée (" + file + ") : ";
    const struct {
        const char* name;
        PolarLoadResult result;
        std::string message;
    } cases[] = {
        {"loaded", {}, ""},
        {"unreadable", Refused(PolarRefusal::Unreadable, file), "Impossible de lire le fichier polaire : " + file},
        {"too large", Refused(PolarRefusal::TooLarge, file), refused + "le fichier dépasse 1 Mo."},
        {"empty", Refused(PolarRefusal::Empty, file), refused + "le fichier est vide."},
        {"empty text", Refused(PolarRefusal::Empty), "Polaire refusée : le fichier est vide."},
        {"too many rows", Refused(PolarRefusal::TooManyRows, "", 52),
         "Polaire refusée : 52 lignes d'angles, 51 au maximum."},
        {"too many rows in a file", Refused(PolarRefusal::TooManyRows, file, 1048575),
         refused + "1048575 lignes d'angles, 51 au maximum."},
        {"too few rows", Refused(PolarRefusal::TooFewRows, "", 1),
         "Polaire refusée : il faut au moins 2 lignes d'angles (1 trouvée)."},
        {"no row", Refused(PolarRefusal::TooFewRows, file, 0),
         refused + "il faut au moins 2 lignes d'angles (0 trouvée)."},
        {"too many columns", Refused(PolarRefusal::TooManyColumns, "", 1000),
         "Polaire refusée : 1000 vitesses de vent dans l'en-tête, 41 au maximum."},
        {"too few columns", Refused(PolarRefusal::TooFewColumns, "", 1),
         "Polaire refusée : il faut au moins 2 vitesses de vent dans l'en-tête (1 trouvée)."},
        {"no column", Refused(PolarRefusal::TooFewColumns, file, 0),
         refused + "il faut au moins 2 vitesses de vent dans l'en-tête (0 trouvée)."},
        {"speed out of range", Refused(PolarRefusal::SpeedOutOfRange, "", 0, 3, "-0.01"),
         "Polaire refusée : ligne 3, la vitesse -0.01 n'est pas comprise entre 0 et 100 nœuds."},
        {"speed out of range in a file", Refused(PolarRefusal::SpeedOutOfRange, file, 0, 2, "1e300"),
         refused + "ligne 2, la vitesse 1e300 n'est pas comprise entre 0 et 100 nœuds."},
        // The values are written as they are: braces in them are no place for another value.
        {"braces in the file", Refused(PolarRefusal::TooFewRows, "/tmp/{count}{limit}.pol", 0),
         "Polaire refusée (/tmp/{count}{limit}.pol) : il faut au moins 2 lignes d'angles (0 trouvée)."},
        {"braces in the field", Refused(PolarRefusal::SpeedOutOfRange, "", 0, 4, "{line}"),
         "Polaire refusée : ligne 4, la vitesse {line} n'est pas comprise entre 0 et 100 nœuds."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(app::PolarRefusalMessage(c.result), c.message);
    }
}

// The typed refusal of a real load and its text, end to end.
TEST(PolarRefusalMessage, OfARefusedLoad) {
    sim::PolarTable polar;
    EXPECT_EQ(app::PolarRefusalMessage(polar.LoadFromText("TWA\t6\t8\n40\t4\t5\n90\t100,001\t6\n")),
              "Polaire refusée : ligne 3, la vitesse 100,001 n'est pas comprise entre 0 et 100 nœuds.");
    const std::filesystem::path missing = "/nonexistent/polar.pol";
    EXPECT_EQ(app::PolarRefusalMessage(polar.LoadFromFile(missing)),
              "Impossible de lire le fichier polaire : /nonexistent/polar.pol");
}

TEST(AngleAboveTableMessage, AngleWithOneDecimal) {
    EXPECT_EQ(app::AngleAboveTableMessage(170.0f), "Angle avec le vent = 170.0");
    EXPECT_EQ(app::AngleAboveTableMessage(185.04), "Angle avec le vent = 185.0");
}

TEST(EteText, HoursAndMinutesWithSecondsRounded) {
    const struct {
        double hours;
        const char* text;
    } cases[] = {
        {2.5, "2 h 30"},
        {2 + 30 / 60.0 + 45 / 3600.0, "2 h 30"},
        {2 + 30 / 60.0 + 55 / 3600.0, "2 h 31"},
        {0.25, "0 h 15"},
        {10.99999, "11 h 0"},  // the seconds carry into the hour
    };
    for (const auto& c : cases) {
        const float ete = static_cast<float>(nav::DegreesToDMS(c.hours));
        EXPECT_EQ(app::EteText(ete), c.text) << c.hours;
    }
}

TEST(Captions, DriftSideAndWindWithAndWithoutCurrent) {
    EXPECT_EQ(app::DriftSideText(true), "° TRIBORD");
    EXPECT_EQ(app::DriftSideText(false), "° BABORD");
    const app::WindLabels withCurrent = app::MajLabTWSW(true);
    EXPECT_EQ(withCurrent.LabTypVent, " Vent surface SW");
    EXPECT_EQ(withCurrent.LabBestHAul, "Meilleur SWA");
    const app::WindLabels without = app::MajLabTWSW(false);
    EXPECT_EQ(without.LabTypVent, " Vent réel TW");
    EXPECT_EQ(without.LabBestHAul, "Meilleur TWA");
}

}  // namespace
