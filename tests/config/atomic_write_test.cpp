// Atomic saving: the target is replaced whole or not at all, keeps its permissions and its link,
// reaches the disk before and after the rename, and a failure leaves no temporary file behind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "config/AtomicWrite.h"
#include "support/TempFolder.h"

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
    EXPECT_TRUE(onFolder.notRegularFile);
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_EQ(Entries(dir.path()), 1u);

    const config::FileWriteResult noFolder = config::WriteFileAtomically(dir / "missing" / "a.ini", "x");
    EXPECT_FALSE(noFolder.ok);
    EXPECT_EQ(noFolder.error, ENOENT);
}

// A save never replaces what is not a regular file: a link to a FIFO (as a link to /dev/zero
// named as the settings file would be, without a device in the test) stays a link to a FIFO, and
// nothing is written beside it.
TEST(AtomicWrite, WhatIsNotARegularFileIsNeverReplaced) {
    test::TempFolder dir;
    test::MakeFifo(dir / "fifo");
    fs::create_symlink(dir / "fifo", dir / "link.ini");
    const config::FileWriteResult result = config::WriteFileAtomically(dir / "link.ini", "new");
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.notRegularFile);
    EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
    EXPECT_EQ(Entries(dir.path()), 2u);
}

// The steps of a save as the disk sees them, each flush failing with the error given (0: it
// succeeds): the content is written and flushed while the target still holds the old file, then
// renamed, then the folder is flushed. A file that cannot be flushed fails the save and leaves the
// old file; a folder that cannot be flushed leaves the new file in place and says so.
TEST(AtomicWrite, TheFileReachesTheDiskBeforeTheRenameAndTheFolderAfter) {
    struct Case {
        const char* name;
        int fileError, folderError;
        bool ok;
        std::vector<std::string> steps;
        const char* content;  // of the target afterwards
        bool folderNotFlushed;
    };
    const Case cases[] = {
        {"flushed", 0, 0, true, {"write", "flush file (old)", "flush folder (new)"}, "new", false},
        {"file flush fails", EIO, 0, false, {"write", "flush file (old)"}, "old", false},
        {"folder flush fails", 0, EIO, true, {"write", "flush file (old)", "flush folder (new)"}, "new", true},
        {"no folder flush here", 0, EINVAL, true, {"write", "flush file (old)", "flush folder (new)"}, "new", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder dir;
        const fs::path target = dir / "a.ini";
        test::WriteFile(target, "old");
        std::vector<std::string> steps;
        const config::ChunkWriter writer = [&](std::FILE* file, std::string_view chunk) {
            steps.push_back("write");
            return std::fwrite(chunk.data(), 1, chunk.size(), file);
        };
        const config::DiskFlush flush = [&](int descriptor) {
            struct stat what {};
            ::fstat(descriptor, &what);
            const bool folder = S_ISDIR(what.st_mode);
            steps.push_back(std::string(folder ? "flush folder" : "flush file") + " (" + test::ReadFile(target) + ")");
            errno = folder ? c.folderError : c.fileError;
            return errno == 0 ? ::fsync(descriptor) : -1;
        };
        const config::FileWriteResult r = config::WriteFileAtomically(target, "new", writer, flush);
        EXPECT_EQ(steps, c.steps);
        EXPECT_EQ(r.ok, c.ok);
        EXPECT_EQ(r.error, c.ok ? 0 : c.fileError);
        EXPECT_EQ(r.folderNotFlushed, c.folderNotFlushed ? c.folderError : 0);
        EXPECT_EQ(test::ReadFile(target), c.content);
        EXPECT_EQ(Entries(dir.path()), 1u);  // no temporary file left
    }
}

}  // namespace
