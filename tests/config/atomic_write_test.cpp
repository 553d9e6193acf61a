// Atomic saving: the target is replaced whole or not at all, keeps its permissions and its link,
// and a failure leaves no temporary file behind.
#include <gtest/gtest.h>

#include "config/AtomicWrite.h"
#include "config/TempFolder.h"

using namespace corvel;
namespace fs = std::filesystem;

namespace {

std::size_t Entries(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

TEST(AtomicWrite, ReplacesTheFileAndKeepsItsPermissions) {
    test::TempFolder dir;
    const fs::path target = dir / "a.ini";
    test::WriteFile(target, "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(config::WriteFileAtomically(target, "new").ok);
    EXPECT_EQ(test::ReadFile(target), "new");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Entries(dir.path()), 1u);
}

TEST(AtomicWrite, ALinkStaysALinkAndItsFileIsReplaced) {
    test::TempFolder dir;
    test::WriteFile(dir / "real" / "a.ini", "old");
    fs::create_symlink(dir / "real" / "a.ini", dir / "link.ini");
    ASSERT_TRUE(config::WriteFileAtomically(dir / "link.ini", "new").ok);
    EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
    EXPECT_EQ(test::ReadFile(dir / "real" / "a.ini"), "new");
}

TEST(AtomicWrite, FailuresReportTheSystemsReasonAndLeaveNothingBehind) {
    test::TempFolder dir;
    fs::create_directory(dir / "folder");
    const config::FileWriteResult onFolder = config::WriteFileAtomically(dir / "folder", "x");
    EXPECT_FALSE(onFolder.ok);
    EXPECT_FALSE(onFolder.error.empty());
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_EQ(Entries(dir.path()), 1u);

    const config::FileWriteResult noFolder = config::WriteFileAtomically(dir / "missing" / "a.ini", "x");
    EXPECT_FALSE(noFolder.ok);
    EXPECT_FALSE(noFolder.error.empty());
}

}  // namespace
