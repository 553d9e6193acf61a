// Two names of one file are known as one, whatever leads to it (links, "..", a file not yet
// there), and character devices, which keep nothing, are never one file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "config/FileIdentity.h"
#include "support/TempFolder.h"

using namespace corvel;
namespace fs = std::filesystem;

namespace {

TEST(FileIdentity, TwoNamesOfOneFileHaveOneKey) {
    const struct {
        const char* what;
        std::function<void(const fs::path& d)> make;  // the files, in folder d
        const char *first, *second;                   // names relative to d
        bool same;
    } cases[] = {
        {"one existing file", [](const fs::path& d) { test::WriteFile(d / "a.log", "x"); }, "a.log", "a.log", true},
        {"a hard link",
         [](const fs::path& d) {
             test::WriteFile(d / "a.log", "x");
             fs::create_hard_link(d / "a.log", d / "b.log");
         },
         "a.log", "b.log", true},
        {"a link to an existing file",
         [](const fs::path& d) {
             test::WriteFile(d / "a.log", "x");
             fs::create_symlink(d / "a.log", d / "l.log");
         },
         "l.log", "a.log", true},
        {"a file not yet there, through ..", [](const fs::path& d) { fs::create_directory(d / "sub"); }, "new.log",
         "sub/../new.log", true},
        {"a dangling link and the file it would create",
         [](const fs::path& d) { fs::create_symlink("new.log", d / "l.log"); }, "l.log", "new.log", true},
        {"a chain of dangling links",
         [](const fs::path& d) {
             fs::create_symlink("l2.log", d / "l1.log");
             fs::create_symlink(d / "new.log", d / "l2.log");
         },
         "l1.log", "new.log", true},
        {"a FIFO stores what it passes", [](const fs::path& d) { test::MakeFifo(d / "pipe"); }, "pipe", "pipe", true},
        {"two files",
         [](const fs::path& d) {
             test::WriteFile(d / "a.log", "x");
             test::WriteFile(d / "b.log", "x");
         },
         "a.log", "b.log", false},
        {"two files not yet there", [](const fs::path&) {}, "a.log", "b.log", false},
        {"a file and the one its name would create elsewhere",
         [](const fs::path& d) { test::WriteFile(d / "sub/a.log", "x"); }, "sub/a.log", "a.log", false},
    };
    for (const auto& c : cases) {
        test::TempFolder dir;
        c.make(dir.path());
        const std::string first = config::FileKey(dir / c.first), second = config::FileKey(dir / c.second);
        EXPECT_FALSE(first.empty()) << c.what;
        EXPECT_EQ(first == second, c.same) << c.what << ": " << first << " / " << second;
    }
}

TEST(FileIdentity, CharacterDevicesAreNeverOneFile) {
    EXPECT_EQ(config::FileKey("/dev/null"), "");
    const int fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(config::OpenFileKey(fd), "");
    ::close(fd);
    EXPECT_EQ(config::FirstSameFile({config::FileKey("/dev/null"), config::FileKey("/dev/null")}), std::nullopt);
}

TEST(FileIdentity, AnOpenFileHasTheKeyOfItsName) {
    test::TempFolder dir;
    test::WriteFile(dir / "out.nmea", "");
    const int fd = ::open((dir / "out.nmea").c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(config::OpenFileKey(fd), config::FileKey(dir / "out.nmea"));
    ::close(fd);
    EXPECT_EQ(config::OpenFileKey(-1), "");
}

TEST(FileIdentity, TheFirstPairThatIsOneFile) {
    using Pair = std::pair<std::size_t, std::size_t>;
    EXPECT_EQ(config::FirstSameFile({}), std::nullopt);
    EXPECT_EQ(config::FirstSameFile({"a", "b", "c"}), std::nullopt);
    EXPECT_EQ(config::FirstSameFile({"a", "b", "a", "b"}), Pair(0, 2));
    EXPECT_EQ(config::FirstSameFile({"a", "b", "b", "a"}), Pair(0, 3));
    EXPECT_EQ(config::FirstSameFile({"", "b", "", "b"}), Pair(1, 3));  // empty keys: devices, never one file
}

}  // namespace
