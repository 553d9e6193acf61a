// The configuration record and its file: the layout a save writes, the defaults of a file without
// keys, the sentence keys' chain of defaults, the number forms of positions and time offsets, and
// the UTC offset of a new user's settings.
#include <gtest/gtest.h>

#include "config/Configuration.h"
#include "nav/SpherePositions.h"

using namespace corvel;
using config::Configuration;
using config::IniFile;
using nmea::IndexOf;
using nmea::SentenceKind;

namespace {

TEST(Configuration, ASaveWritesTheLayoutInItsOrder) {
    Configuration c = config::ReadConfiguration(IniFile());
    c.PolarFolder = "/p/";
    c.PolarFile = "FIRST31_7.pol";
    c.KeelOffset = 1.6;
    c.SurfaceOffset = 0.3;
    c.PolarPercent = 100;
    c.TWS = 6.78f;  // a 32-bit value, widened
    c.StartLatitude = config::PackedPosition("51", "4,14", false);
    c.WaypointName = "Att_Dover";
    c.MagVar = -1.5;
    c.UtcOffsetHours = 5.5;
    c.HDGVariable = true;
    c.BaudRate = "4800";
    c.WifiDatagramLineEnds = true;
    c.Selection.fill(true);
    c.TalkerPosition = "GP";
    IniFile f;
    config::WriteConfiguration(c, f);
    const std::string text = f.Text();
    const std::string expectedStart =
        "[Version]\nName=CorvelNMEA\nVersion=4.6\n"
        "[REPERTOIRES]\nPolars=/p/\n"
        "[Parametres]\nPolaireAct=FIRST31_7.pol\niOFFS_Keel=1.6\niOFFS_Surf=0.3\niPolPerc=100\niModPil=AUTO\n"
        "[NavDATA]\niTWS=6.78000020980835\niTWD=0\niHDG=0\niCUR=0\niCURDir=0\niPOSLat=5104.14\niPOSLong=0\n"
        "iWpID=Att_Dover\niWpLat=0\niWpLong=0\niDeclMag=-1.5\nidTU=5.3\niHDGvar=1\n"
        "[COM]\niVit=4800\n"
        "[WIFI]\niAdIP=192.168.137.1\niPort=10110\niUDPCRLF=1\n"
        "[NMEA]\niAPB=1\niBWC=1\niBWR=1\niDBK=1\n";
    EXPECT_EQ(text.substr(0, expectedStart.size()), expectedStart);
    EXPECT_EQ(text.find("iGGA"), std::string::npos);
    const std::string expectedEnd = "iZDA=1\niZTG=1\niDevPOS=GP\niInst=II\niPilot=AP\niCompas=HC\n";
    EXPECT_EQ(text.substr(text.size() - expectedEnd.size()), expectedEnd);
}

TEST(Configuration, AFileWithoutKeysReadsAsTheDefaults) {
    const Configuration c = config::ReadConfiguration(IniFile::FromText("junk\n"));
    EXPECT_FALSE(c.PolarFolder || c.PolarFile || c.CategoryCode || c.WaypointName || c.BaudRate);
    EXPECT_FALSE(c.HDGVariable || c.TWSVariable || c.TWDVariable);
    EXPECT_FALSE(c.TalkerPosition || c.TalkerSounder || c.TalkerSpeed || c.TalkerWind);
    EXPECT_FALSE(c.Standby);
    EXPECT_EQ(c.TWS, 0);
    EXPECT_EQ(c.StartLatitude, 0);
    EXPECT_EQ(c.PolarPercent, 100);
    EXPECT_EQ(c.WifiAddress, "192.168.137.1");
    EXPECT_EQ(c.WifiPort, "10110");
    EXPECT_FALSE(c.WifiDatagramLineEnds);
    for (const auto& info : nmea::kSentenceCatalogue) {
        EXPECT_EQ(c.Selection[IndexOf(info.kind)], info.kind == SentenceKind::GGA ? std::nullopt : std::optional(true));
    }
}

TEST(Configuration, AMissingSentenceKeyTakesTheOneBeforeIt) {
    const Configuration c = config::ReadConfiguration(IniFile::FromText("[NMEA]\niAPB=0\niDBT=1\niGSA=x\n"));
    EXPECT_EQ(c.Selection[IndexOf(SentenceKind::APB)], false);
    EXPECT_EQ(c.Selection[IndexOf(SentenceKind::BWC)], false);
    EXPECT_EQ(c.Selection[IndexOf(SentenceKind::DBS)], false);
    EXPECT_EQ(c.Selection[IndexOf(SentenceKind::DBT)], true);
    EXPECT_EQ(c.Selection[IndexOf(SentenceKind::GLL)], true);  // across GGA, which has no key
    EXPECT_EQ(c.Selection[IndexOf(SentenceKind::GSA)], true);  // not an integer: the one before
    EXPECT_EQ(c.Selection[IndexOf(SentenceKind::ZTG)], true);
    EXPECT_EQ(c.Selection[IndexOf(SentenceKind::GGA)], std::nullopt);
}

TEST(Configuration, ValuesAsTheLoaderReadsThem) {
    const Configuration c =
        config::ReadConfiguration(IniFile::FromText("[Parametres]\niModPil=auto\niPolPerc=80,4\niCateg=\n"
                                                    "[NavDATA]\niTWS=6,5\nidTU=-2\niHDGvar=0\niTWSvar=yes\n"
                                                    "[NMEA]\niDevPOS=ECX\niSound=S\niSpeedo=$$\niWind=II\n"));
    EXPECT_TRUE(c.Standby);  // anything but "AUTO" exactly
    EXPECT_DOUBLE_EQ(static_cast<double>(c.PolarPercent), 80.4);
    EXPECT_FALSE(c.CategoryCode);  // empty: undetermined
    EXPECT_DOUBLE_EQ(static_cast<double>(c.TWS.value()), 6.5);
    EXPECT_EQ(c.UtcOffsetHours, -2);
    EXPECT_EQ(c.HDGVariable, false);
    EXPECT_EQ(c.TWSVariable, std::nullopt);    // not an integer: unchanged
    EXPECT_EQ(c.TalkerPosition, "EC");         // the first two characters
    EXPECT_EQ(c.TalkerSounder, std::nullopt);  // too short for a talker
    EXPECT_EQ(c.TalkerSpeed, std::nullopt);    // not letters
    EXPECT_EQ(c.TalkerWind, "II");
}

TEST(Configuration, PositionsPackedAsDegreesTimesHundredPlusMinutes) {
    EXPECT_EQ(nav::FormatGeneral(config::PackedPosition("51", "4,14", false)), "5104.14");
    EXPECT_EQ(nav::FormatGeneral(config::PackedPosition("45", "12.5", true)), "-4512.5");
    // clang-format off
    const std::tuple<nav::Real, const char*, const char*, bool> cases[] = {
        {5104.14L, "51", "4.14", false},
        {-4512.5L, "45", "12.5", true},
        {-0.5L, "0", "0.5", true},
        {0, "0", "0", false},
        {17959.99L, "179", "59.99", false},
    };
    // clang-format on
    for (const auto& [packed, degrees, minutes, negative] : cases) {
        const config::PositionFields f = config::UnpackPosition(packed);
        EXPECT_EQ(f.degrees, degrees);
        EXPECT_EQ(f.minutes, minutes);
        EXPECT_EQ(f.negative, negative);
    }
}

TEST(Configuration, TimeOffsetsAsHoursMinutesSeconds) {
    // clang-format off
    const std::tuple<nav::Real, const char*> cases[] = {
        {-2, "-2.0"}, {5.5L, "5.3"}, {0, "0.0"}, {-9.5L, "-9.3"},
        {5.75L, "5.45"},  // one decimal would make it 5 h 50
        {12.75L, "12.45"},
    };
    // clang-format on
    for (const auto& [hours, text] : cases) {
        EXPECT_EQ(config::UtcOffsetText(hours), text);
        EXPECT_NEAR(static_cast<double>(config::UtcOffsetFromText(text)), static_cast<double>(hours), 1e-9);
    }
    EXPECT_NEAR(static_cast<double>(config::UtcOffsetFromText("5,3")), 5.5, 1e-12);
}

// The machine's offset given at the first start reaches the file in its H.MMSS form and reads back
// as it was given; the rest of the scenario does not depend on it.
TEST(Configuration, ANewUsersSettingsCarryTheGivenUtcOffset) {
    // clang-format off
    const std::tuple<nav::Real, const char*> cases[] = {
        {-2, "idTU=-2\n"},       // France in summer
        {0, "idTU=0\n"},         // a machine set to UTC
        {-5.5L, "idTU=-5.3\n"},  // India, 5 h 30 east
        {10, "idTU=10\n"},       // Hawaii
        {5.75L, "idTU=5.45\n"},  // 5 h 45 west: the minutes as minutes
    };
    // clang-format on
    for (const auto& [hours, line] : cases) {
        const std::string text = config::FirstRunSettings(hours, {}).Text();
        EXPECT_NE(text.find(line), std::string::npos) << text;
        const Configuration read = config::ReadConfiguration(IniFile::FromText(text));
        EXPECT_TRUE(read.Refused.empty()) << line;
        ASSERT_TRUE(read.UtcOffsetHours) << line;
        EXPECT_NEAR(static_cast<double>(*read.UtcOffsetHours), static_cast<double>(hours), 1e-12) << line;
        EXPECT_EQ(read.TWS, 6) << line;
        EXPECT_EQ(read.WaypointName, "Att_Dover") << line;
    }
}

// A new user starts at sea in the Strait of Dover, 3 miles from the waypoint "Att_Dover", with the
// depth offsets given (the parameters dialog's first values); the window's own start, near
// Leipzig, is 416 miles inland.
TEST(Configuration, ANewUserStartsAtSeaNearTheWaypointWithTheGivenOffsets) {
    const Configuration c = config::ReadConfiguration(config::FirstRunSettings(-2, {.surface = 0.3L, .keel = 1.6L}));
    EXPECT_TRUE(c.Refused.empty());
    EXPECT_EQ(c.StartLatitude, 5104.14L);
    EXPECT_EQ(c.StartLongitude, 123.08L);
    ASSERT_TRUE(c.StartLatitude && c.StartLongitude && c.WaypointLatitude && c.WaypointLongitude);
    const auto degrees = [](const config::RangedNumber& packed) { return nav::DMToDegrees(*packed / 100); };
    const float miles = nav::GreatCircleDistance(degrees(c.StartLongitude), degrees(c.StartLatitude),
                                                 degrees(c.WaypointLongitude), degrees(c.WaypointLatitude));
    EXPECT_GT(miles, 2.5f);
    EXPECT_LT(miles, 3.5f);
    ASSERT_TRUE(c.SurfaceOffset && c.KeelOffset);
    EXPECT_NEAR(static_cast<double>(*c.SurfaceOffset), 0.3, 1e-12);
    EXPECT_NEAR(static_cast<double>(*c.KeelOffset), 1.6, 1e-12);
}

}  // namespace
