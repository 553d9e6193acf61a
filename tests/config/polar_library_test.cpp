// Polar names, the polar chosen at start-up, the other simulator's polars and the categories.
#include <gtest/gtest.h>

#include "config/PolarLibrary.h"
#include "support/TempFolder.h"

using namespace corvel;
namespace fs = std::filesystem;

namespace {

TEST(NomPolaire, UpperCaseNameWithoutItsLastFourCharacters) {
    const std::pair<const char*, const char*> cases[] = {
        {"First31_7.pol", "FIRST31_7"},
        {"/home/u/Polars/First 31.7.pol", "FIRST 31.7"},
        {"C:\\Polars\\Sun Odyssey.pol", "SUN ODYSSEY"},
        {"abcdef", "AB"},                                         // no extension: four characters all the same
        {"/p/\xC3\xA9lan \xC3\xBF.pol", "\xC3\x89LAN \xC5\xB8"},  // élan ÿ -> ÉLAN Ÿ
        {"/p/\xC3\xA9t\xC3\xA9", ""},                             // "été": three characters, not bytes
        {"/p/", ""},
    };
    for (const auto& [path, name] : cases) EXPECT_EQ(config::NomPolaire(path), name) << path;
}

struct PolarFixture : ::testing::Test {
    test::TempFolder dir;
    const fs::path program = dir / "prog";
    const std::string polars = (dir / "polars").string() + "/";
    void SetUp() override {
        test::WriteFile(program / "DefPolars" / "First31_7.pol", "TWA\t6\t8\n52\t5\t6\n180\t4\t5\n");
        test::WriteFile(fs::path(polars) / "MyBoat.pol", "TWA\t6\t8\n52\t5\t6\n180\t4\t5\n");
    }
    config::IniFile Settings(const std::string& folder, const std::string& file) {
        return config::IniFile::FromText("[REPERTOIRES]\nPolars=" + folder + "\n[Parametres]\nPolaireAct=" + file +
                                         "\n");
    }
};

TEST_F(PolarFixture, StartupTakesTheSettingsPolarWhateverTheLetterCaseOfItsName) {
    const config::PolarFiles p = config::StartupPolar(Settings(polars, "MYBOAT.pol"), program);
    EXPECT_EQ(p.PolarFolder, polars);
    EXPECT_EQ(p.PolarPath, polars + "MyBoat.pol");
    EXPECT_EQ(p.PolarName, "MYBOAT");
}

TEST_F(PolarFixture, StartupFallsBackToTheDefaultPolar) {
    const std::string defaultPath = (program / "DefPolars" / "First31_7.pol").string();
    for (const config::IniFile& settings :
         {config::IniFile(), Settings(polars, "Missing.pol"), Settings((dir / "nowhere/").string(), "MyBoat.pol"),
          Settings(polars, "")}) {
        const config::PolarFiles p = config::StartupPolar(settings, program);
        EXPECT_EQ(p.PolarFolder, (program / "DefPolars").string() + "/");
        EXPECT_EQ(p.PolarPath, defaultPath);
        EXPECT_EQ(p.PolarName, "FIRST31_7");
    }
}

TEST_F(PolarFixture, AConfigurationSetsFolderAndPathWithoutCheckingThem) {
    const config::PolarFiles current{polars, polars + "MyBoat.pol", "MYBOAT"};
    const config::PolarFiles missing = config::PolarOfConfiguration(Settings("/elsewhere/", "Other.pol"), current);
    EXPECT_EQ(missing.PolarPath, "/elsewhere/Other.pol");
    EXPECT_EQ(missing.PolarName, "OTHER");
    const config::PolarFiles none = config::PolarOfConfiguration(config::IniFile::FromText("[A]\n"), current);
    EXPECT_EQ(none.PolarFolder, current.PolarFolder);
    EXPECT_EQ(none.PolarPath, current.PolarPath);
}

TEST_F(PolarFixture, TheOtherSimulatorsPolars) {
    const fs::path documents = dir / "Documents";
    EXPECT_EQ(config::BriselPolarFolder(documents), "");  // not there
    fs::create_directories(documents / "Brisel" / "Polars");
    const std::string brisel = (documents / "Brisel" / "Polars").string() + "/";
    EXPECT_EQ(config::BriselPolarFolder(documents), brisel);
    EXPECT_EQ(config::BriselPolarFolder(documents.string() + "/"), brisel);  // no doubled separator
    EXPECT_EQ(config::BriselPolarFolder(""), "");

    // Accepted without their First 31.7: their folder, and the polar in use stays.
    const config::PolarFiles current = config::DefaultPolar(program);
    config::PolarFiles p = config::AcceptBriselPolars(current, brisel);
    EXPECT_EQ(p.PolarFolder, brisel);
    EXPECT_EQ(p.PolarPath, current.PolarPath);
    test::WriteFile(fs::path(brisel) / "First 31.7.pol", "x");
    p = config::AcceptBriselPolars(current, brisel);
    EXPECT_EQ(p.PolarPath, brisel + "First 31.7.pol");
    EXPECT_EQ(p.PolarName, "FIRST 31.7");
}

TEST(Category, CodesAndLabels) {
    EXPECT_EQ(config::CategoryFromCode("R"), 0);
    EXPECT_EQ(config::CategoryFromCode("CC"), 1);
    EXPECT_EQ(config::CategoryFromCode("CR"), 2);
    EXPECT_EQ(config::CategoryFromCode("CPTE"), 3);
    EXPECT_EQ(config::CategoryFromCode("ind"), 4);
    for (const char* other : {"cc", "r", "", " CC", "IND"}) EXPECT_FALSE(config::CategoryFromCode(other)) << other;
    EXPECT_EQ(config::CategoryLabel(0), "Catégorie régate");
    EXPECT_EQ(config::CategoryLabel(3), " Croiseur à PTE");
    EXPECT_EQ(config::CategoryLabel(4), "Catégorie à déterminer");
    EXPECT_EQ(config::CategoryLabel(-1), "Catégorie à déterminer");
}

}  // namespace
