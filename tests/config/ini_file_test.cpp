// The initialisation files: how keys are found and read, how a save updates a file in place, that
// no readable file, however broken, fails to load, and which files are not read at all.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "config/IniFile.h"
#include "support/TempFolder.h"
#include "support/Watchdog.h"

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

// clang-format off
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
// clang-format on

TEST(IniFile, TypedReadsAndTheirFallbacks) {
    const IniFile f = IniFile::FromText("[S]\nf=6,78\ne=\nt=abc\ni= -12 \nx=1.5\nb=0\n");
    EXPECT_DOUBLE_EQ(static_cast<double>(f.ReadFloat("S", "f", 9)), 6.78);
    EXPECT_EQ(f.ReadFloat("S", "e", 9), 9);  // empty: the fallback
    EXPECT_EQ(f.ReadFloat("S", "t", 9), 0);  // no number: 0
    EXPECT_EQ(f.ReadFloat("S", "m", 9), 9);  // missing
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

TEST(IniFile, EveryReadableFileLoads) {
    test::TempFolder dir;
    std::mt19937 random(12345);
    std::string noise(64 * 1024, '\0');
    for (char& c : noise) c = static_cast<char>(random() & 0xFF);
    test::WriteFile(dir / "noise.ini", noise);
    const config::IniLoadResult binary = IniFile::Load(dir / "noise.ini");
    EXPECT_TRUE(binary.binary);  // refused, never taken as an empty file
    EXPECT_TRUE(binary.Refused());
    EXPECT_FALSE(binary.file.HasKey("NavDATA", "iTWS"));

    // Random bytes without a NUL are read as lines of Latin-1: nothing breaks.
    for (char& c : noise) c = static_cast<char>(1 + random() % 255);
    noise += "\n[NavDATA]\niTWS=6\n";
    test::WriteFile(dir / "text-noise.ini", noise);
    EXPECT_EQ(IniFile::Load(dir / "text-noise.ini").file.Value("NavDATA", "iTWS"), "6");
}

// Files that are not read: each is refused with its reason, never blocks and reads as empty; a
// missing file is not refused (a save creates it).
struct RefusedCase {
    const char* name;
    std::function<void(const std::filesystem::path& file)> make;
    nav::ReadStatus status;
    bool binary = false;
};

class IniRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(IniRefused, SaysWhyAndReadsNothing) {
    const RefusedCase& c = GetParam();
    test::TempFolder dir;
    const auto path = dir / "x.ini";
    c.make(path);
    const config::IniLoadResult r = test::WithinSeconds(c.name, [&] { return IniFile::Load(path); });
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.binary, c.binary);
    EXPECT_EQ(r.Refused(), c.status != nav::ReadStatus::Missing);
    EXPECT_FALSE(r.file.HasKey("NavDATA", "iTWS"));
    EXPECT_EQ(r.file.Text(), "");
}

const std::string kKeyFirst = "[NavDATA]\niTWS=6\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, IniRefused,
    ::testing::Values(
        RefusedCase{"OneByteOverTheLimit",
                    [](const auto& f) {
                        const std::size_t fill = IniFile::kMaxFileBytes - kKeyFirst.size() + 1;
                        test::WriteFile(f, kKeyFirst + std::string(fill, '\n'));
                    },
                    nav::ReadStatus::TooLarge},
        RefusedCase{"ThirtyMegabytesOfHeaders",
                    [](const auto& f) {
                        std::string text;
                        text.reserve(30u << 20);
                        while (text.size() < (30u << 20)) text += "[a]\n";
                        test::WriteFile(f, kKeyFirst + text);
                    },
                    nav::ReadStatus::TooLarge},
        RefusedCase{"Fifo", [](const auto& f) { test::MakeFifo(f); }, nav::ReadStatus::NotRegular},
        RefusedCase{"LinkToDevZero", [](const auto& f) { std::filesystem::create_symlink("/dev/zero", f); },
                    nav::ReadStatus::NotRegular},
        RefusedCase{"Folder", [](const auto& f) { std::filesystem::create_directory(f); }, nav::ReadStatus::NotRegular},
        RefusedCase{"Missing", [](const auto&) {}, nav::ReadStatus::Missing},
        // A settings file whole but for one NUL byte in a comment: not a text file, whatever the
        // keys around it say.
        RefusedCase{
            "NulInAComment",
            [](const auto& f) { test::WriteFile(f, kKeyFirst + std::string("; note\0\n[WIFI]\niPort=2000\n", 26)); },
            nav::ReadStatus::Unreadable, true}),
    [](const auto& info) { return std::string(info.param.name); });

// Files of the largest size read, made of the shortest lines: each loads, finds its keys and takes
// a write.
struct CrowdedCase {
    const char* name;
    std::string line;  // repeated up to the limit, after kKeyFirst
};

class IniCrowded : public ::testing::TestWithParam<CrowdedCase> {};

TEST_P(IniCrowded, LoadsAtTheLimit) {
    const CrowdedCase& c = GetParam();
    test::TempFolder dir;
    std::string text = kKeyFirst;
    while (text.size() + c.line.size() <= IniFile::kMaxFileBytes) text += c.line;
    test::WriteFile(dir / "x.ini", text);
    config::IniLoadResult r = IniFile::Load(dir / "x.ini");
    ASSERT_EQ(r.status, nav::ReadStatus::Ok);
    EXPECT_EQ(r.file.Value("NavDATA", "iTWS"), "6");
    EXPECT_EQ(r.file.Value("NavDATA", "k"), c.line == "k=1\n" ? std::optional<std::string>("1") : std::nullopt);
    r.file.WriteString("navdata", "iTWD", "20");
    r.file.WriteString("a", "k", "2");
    const std::string saved = r.file.Text();
    const IniFile back = IniFile::FromText(saved);
    EXPECT_EQ(back.Value("NavDATA", "iTWS"), "6");
    EXPECT_EQ(back.Value("NavDATA", "iTWD"), "20");
    EXPECT_EQ(back.Value("A", "K"), "2");
    // Nothing else changed: the two lines (and the header of a new section) were added.
    const std::string added = c.line == "[a]\n" ? "iTWD=20\nk=2\n" : "iTWD=20\n[a]\nk=2\n";
    EXPECT_EQ(saved.size(), text.size() + added.size());
}

INSTANTIATE_TEST_SUITE_P(Cases, IniCrowded,
                         ::testing::Values(CrowdedCase{"Headers", "[a]\n"}, CrowdedCase{"Keys", "k=1\n"},
                                           CrowdedCase{"BlankLines", "\n"}, CrowdedCase{"Comments", ";\n"},
                                           CrowdedCase{"ShortestHeaders", "[\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Writes change the lengths of lines and add lines in the middle of the file: every key is still
// found where it is, and the text is exactly the file with the changes.
TEST(IniFile, EveryKeyIsFoundAfterEdits) {
    IniFile f = IniFile::FromText(
        "top=0\r\n"
        "[A]\r\n"
        "k=1\r\n"
        "\r\n"
        "[B]\r\n"
        "k=2\r\n"
        "K=hidden\r\n"
        "[a]\r\n"
        "k=3\r\n"
        "j=4\r\n");
    f.WriteString("A", "k", "a much longer value than before");
    f.WriteString("b", "k", "");
    f.WriteString("A", "new", "5");
    f.WriteString("B", "other", "6");
    f.WriteString("C", "c", "7");
    f.WriteString("a", "NEW", "8");
    EXPECT_EQ(f.Value("A", "k"), "a much longer value than before");
    EXPECT_EQ(f.Value("A", "new"), "8");
    EXPECT_EQ(f.Value("A", "j"), std::nullopt);  // in the second [a], never read
    EXPECT_EQ(f.Value("B", "k"), "");
    EXPECT_EQ(f.Value("B", "other"), "6");
    EXPECT_EQ(f.Value("C", "c"), "7");
    EXPECT_EQ(f.Value("", "top"), std::nullopt);
    EXPECT_EQ(f.Text(),
              "top=0\r\n"
              "[A]\r\n"
              "k=a much longer value than before\r\n"
              "NEW=8\r\n"
              "\r\n"
              "[B]\r\n"
              "k=\r\n"
              "K=hidden\r\n"
              "other=6\r\n"
              "[a]\r\n"
              "k=3\r\n"
              "j=4\r\n"
              "[C]\r\n"
              "c=7\r\n");
}

TEST(IniFile, ASaveInterruptedHalfWayLeavesThePreviousFile) {
    test::TempFolder dir;
    const auto path = dir / "CorvelNMEA.ini";
    const std::string before = "[NavDATA]\r\niTWS=6\r\n; the user's note\r\n";
    test::WriteFile(path, before);

    IniFile f = IniFile::Load(path).file;
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
    EXPECT_EQ(r.error, ENOSPC);
    EXPECT_EQ(test::ReadFile(path), before);
    // Nothing is left behind but the file itself.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    ASSERT_TRUE(f.Save(path).ok);
    EXPECT_EQ(IniFile::Load(path).file.Value("Big", "k4999"), std::string(40, 'x'));
    EXPECT_EQ(IniFile::Load(path).file.Value("NavDATA", "iTWS"), "6");
}

}  // namespace
