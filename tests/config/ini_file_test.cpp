// The initialisation files: how keys are found and read, how a save updates a file in place, and
// that no file, however broken, fails to load.
#include <gtest/gtest.h>

#include <random>

#include "config/IniFile.h"
#include "config/TempFolder.h"

using namespace corvel;
using config::IniFile;

namespace {

struct ReadCase {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

class IniRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniRead, FindsTheValue) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(IniFile::FromText(c.text).Value(c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniRead,
    ::testing::Values(
        ReadCase{"KeyAndSectionIgnoreCase", "[navdata]\nITWS=6\n", "NavDATA", "iTWS", "6"},
        ReadCase{"BlanksAroundKeyAndValue", "  [ NavDATA ]  \n  iTWS  =  6,5  \n", "NavDATA", "iTWS", "6,5"},
        ReadCase{"QuotesTakenOff", "[A]\nk=\"a b\"\n", "A", "k", "a b"},
        ReadCase{"EqualsInsideTheValue", "[A]\nk=a=b\n", "A", "k", "a=b"},
        ReadCase{"EmptyValueIsPresent", "[A]\nk=\n", "A", "k", ""},
        ReadCase{"FirstOccurrenceWins", "[A]\nk=1\nk=2\n[a]\nk=3\n", "A", "k", "1"},
        ReadCase{"OtherSectionNotSearched", "[A]\nk=1\n[B]\n", "B", "k", std::nullopt},
        ReadCase{"KeysBeforeAnyHeaderBelongNowhere", "k=1\n[A]\n", "A", "k", std::nullopt},
        ReadCase{"CommentIsNoKey", "[A]\n;k=1\n", "A", ";k", std::nullopt},
        ReadCase{"LineWithoutEqualsIgnored", "[A]\njunk line\nk=2\n", "A", "k", "2"},
        ReadCase{"CrLf", "[A]\r\nk=1\r\nj=2\r\n", "A", "j", "2"},
        ReadCase{"CrOnly", "[A]\rk=1\rj=2\r", "A", "j", "2"},
        ReadCase{"NoFinalLineEnd", "[A]\nk=1", "A", "k", "1"},
        ReadCase{"Utf8Bom", "\xEF\xBB\xBF[A]\nk=1\n", "A", "k", "1"},
        ReadCase{"Latin1ReadAsUtf8", "[A]\nk=\xC9t\xE9\n", "A", "k", "\xC3\x89t\xC3\xA9"},
        ReadCase{"Utf8KeptAsItIs", "[A]\nk=\xC3\xA9t\xC3\xA9\n", "A", "k", "\xC3\xA9t\xC3\xA9"},
        ReadCase{"NulByteMakesItBinary", std::string("[A]\nk=1\n\0\n", 10), "A", "k", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniFile, TypedReadsAndTheirFallbacks) {
    const IniFile f = IniFile::FromText("[S]\nf=6,78\ne=\nt=abc\ni= -12 \nx=1.5\nb=0\n");
    EXPECT_DOUBLE_EQ(static_cast<double>(f.ReadFloat("S", "f", 9)), 6.78);
    EXPECT_EQ(f.ReadFloat("S", "e", 9), 9);   // empty: the fallback
    EXPECT_EQ(f.ReadFloat("S", "t", 9), 0);   // no number: 0
    EXPECT_EQ(f.ReadFloat("S", "m", 9), 9);   // missing
    EXPECT_EQ(f.ReadInteger("S", "i", 5), -12);
    EXPECT_EQ(f.ReadInteger("S", "x", 5), 5);  // not an integer
    EXPECT_FALSE(f.ReadBool("S", "b", true));
    EXPECT_TRUE(f.ReadBool("S", "t", true));  // not an integer: the fallback
    EXPECT_TRUE(f.ReadBool("S", "i", false));
}

TEST(IniFile, SavingUpdatesInPlaceAndKeepsEverythingElse) {
    IniFile f = IniFile::FromText(
        "; made by hand\r\n"
        "[NavDATA]\r\n"
        "iTWS=6\r\n"
        "iMine=keep me\r\n"
        "\r\n"
        "[Other]\r\n"
        "x=1\r\n");
    f.WriteString("navdata", "ITWS", "7");  // found whatever its case, written as given
    f.WriteString("NavDATA", "iTWD", "20");
    f.WriteString("COM", "iVit", "4800");
    EXPECT_EQ(f.Text(),
              "; made by hand\r\n"
              "[NavDATA]\r\n"
              "ITWS=7\r\n"
              "iMine=keep me\r\n"
              "iTWD=20\r\n"
              "\r\n"
              "[Other]\r\n"
              "x=1\r\n"
              "[COM]\r\n"
              "iVit=4800\r\n");
}

TEST(IniFile, ANewFileHasItsSectionsInTheOrderOfTheirFirstKey) {
    IniFile f;
    f.WriteString("B", "k1", "1");
    f.WriteString("A", "k2", "2");
    f.WriteString("B", "k3", "3");
    f.WriteFloat("A", "w", 6.78f);
    f.WriteBool("A", "on", true);
    EXPECT_EQ(f.Text(), "[B]\nk1=1\nk3=3\n[A]\nk2=2\nw=6.78000020980835\non=1\n");
    EXPECT_EQ(IniFile::FromText(f.Text()).Value("A", "w"), "6.78000020980835");
}

TEST(IniFile, AValueCannotAddLines) {
    IniFile f;
    f.WriteString("NavDATA", "iWpID", "Dover\r\n[NMEA]\niDevPOS=EC");
    const IniFile back = IniFile::FromText(f.Text());
    EXPECT_EQ(back.Value("NavDATA", "iWpID"), "Dover  [NMEA] iDevPOS=EC");
    EXPECT_FALSE(back.HasKey("NMEA", "iDevPOS"));
}

TEST(IniFile, TheByteOrderMarkStaysOnSaving) {
    IniFile f = IniFile::FromText("\xEF\xBB\xBF[A]\nk=1\n");
    f.WriteString("A", "k", "2");
    EXPECT_EQ(f.Text(), "\xEF\xBB\xBF[A]\nk=2\n");
}

TEST(IniFile, NoFileFailsToLoad) {
    test::TempFolder dir;
    std::mt19937 random(12345);
    std::string noise(64 * 1024, '\0');
    for (char& c : noise) c = static_cast<char>(random() & 0xFF);
    test::WriteFile(dir / "noise.ini", noise);
    EXPECT_FALSE(IniFile::Load(dir / "noise.ini").HasKey("NavDATA", "iTWS"));

    // Random bytes without a NUL are read as lines of Latin-1: nothing breaks.
    for (char& c : noise) c = static_cast<char>(1 + random() % 255);
    noise += "\n[NavDATA]\niTWS=6\n";
    test::WriteFile(dir / "text-noise.ini", noise);
    EXPECT_EQ(IniFile::Load(dir / "text-noise.ini").Value("NavDATA", "iTWS"), "6");

    // 10 MB of lines, the key at the end.
    std::string big;
    big.reserve(10u << 20);
    while (big.size() < (10u << 20)) big += "line without equals sign, and again and again\n";
    big += "[NavDATA]\niTWS=7\n";
    test::WriteFile(dir / "big.ini", big);
    EXPECT_EQ(IniFile::Load(dir / "big.ini").Value("NavDATA", "iTWS"), "7");

    EXPECT_FALSE(IniFile::Load(dir / "missing.ini").HasKey("A", "k"));
    EXPECT_FALSE(IniFile::Load(dir.path()).HasKey("A", "k"));  // a folder
}

TEST(IniFile, ASaveInterruptedHalfWayLeavesThePreviousFile) {
    test::TempFolder dir;
    const auto path = dir / "CorvelNMEA.ini";
    const std::string before = "[NavDATA]\r\niTWS=6\r\n; the user's note\r\n";
    test::WriteFile(path, before);

    IniFile f = IniFile::Load(path);
    for (int i = 0; i < 5000; ++i) f.WriteString("Big", "k" + std::to_string(i), std::string(40, 'x'));
    // The disk fills up in the middle of the second chunk.
    int chunks = 0;
    const config::ChunkWriter failing = [&](std::FILE* file, std::string_view chunk) -> std::size_t {
        if (++chunks < 2) return std::fwrite(chunk.data(), 1, chunk.size(), file);
        const std::size_t half = std::fwrite(chunk.data(), 1, chunk.size() / 2, file);
        errno = ENOSPC;
        return half;
    };
    const config::FileWriteResult r = f.Save(path, failing);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(test::ReadFile(path), before);
    // Nothing is left behind but the file itself.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    ASSERT_TRUE(f.Save(path).ok);
    EXPECT_EQ(IniFile::Load(path).Value("Big", "k4999"), std::string(40, 'x'));
    EXPECT_EQ(IniFile::Load(path).Value("NavDATA", "iTWS"), "6");
}

}  // namespace
