// The one reader of the files the program loads: only regular files, never more than the limit,
// never blocked by a FIFO or a device.
#include <gtest/gtest.h>

#include <functional>

#include "nav/RegularFile.h"
#include "support/TempFolder.h"
#include "support/Watchdog.h"

using namespace corvel;
using nav::ReadStatus;
namespace fs = std::filesystem;

namespace {

struct ReadCase {
    const char* name;
    // Makes the file to read in `folder` and returns its path.
    std::function<fs::path(const fs::path& folder)> make;
    std::size_t maxBytes;
    ReadStatus status;
    std::string text;  // with Ok
};

fs::path Written(const fs::path& folder, std::string_view bytes) {
    test::WriteFile(folder / "f", bytes);
    return folder / "f";
}

class ReadRegularFile : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadRegularFile, ReadsOnlyWhatItMay) {
    const ReadCase& c = GetParam();
    test::TempFolder folder;
    const fs::path path = c.make(folder.path());
    const nav::ReadResult r = test::WithinSeconds(c.name, [&] { return nav::ReadRegularFile(path, c.maxBytes); });
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.text, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadRegularFile,
    ::testing::Values(
        ReadCase{"Whole", [](const fs::path& d) { return Written(d, std::string("a\nb\0c", 5)); }, 100, ReadStatus::Ok,
                 std::string("a\nb\0c", 5)},
        ReadCase{"Empty", [](const fs::path& d) { return Written(d, ""); }, 100, ReadStatus::Ok, ""},
        ReadCase{"ExactlyTheLimit", [](const fs::path& d) { return Written(d, "12345"); }, 5, ReadStatus::Ok, "12345"},
        ReadCase{"OneByteOver", [](const fs::path& d) { return Written(d, "123456"); }, 5, ReadStatus::TooLarge, ""},
        ReadCase{"HugeSparseFile",
                 [](const fs::path& d) {
                     const fs::path p = Written(d, "");
                     fs::resize_file(p, 8ull << 30);
                     return p;
                 },
                 64 * 1024, ReadStatus::TooLarge, ""},
        // /proc files state a size of 0 and hold more: the reader still stops at the limit.
        ReadCase{"SizeThatLies", [](const fs::path&) { return fs::path("/proc/self/maps"); }, 100, ReadStatus::TooLarge,
                 ""},
        ReadCase{"Missing", [](const fs::path& d) { return d / "none"; }, 100, ReadStatus::Missing, ""},
        ReadCase{"BelowAFile", [](const fs::path& d) { return Written(d, "x") / "below"; }, 100, ReadStatus::Missing,
                 ""},
        ReadCase{"Folder", [](const fs::path& d) { return d; }, 100, ReadStatus::NotRegular, ""},
        ReadCase{"Fifo",
                 [](const fs::path& d) {
                     test::MakeFifo(d / "fifo");
                     return d / "fifo";
                 },
                 100, ReadStatus::NotRegular, ""},
        ReadCase{"LinkToDevZero",
                 [](const fs::path& d) {
                     fs::create_symlink("/dev/zero", d / "zero");
                     return d / "zero";
                 },
                 100, ReadStatus::NotRegular, ""},
        ReadCase{"LinkToAFile",
                 [](const fs::path& d) {
                     fs::create_symlink(Written(d, "linked"), d / "link");
                     return d / "link";
                 },
                 100, ReadStatus::Ok, "linked"},
        ReadCase{"LinkLoop",
                 [](const fs::path& d) {
                     fs::create_symlink(d / "b", d / "a");
                     fs::create_symlink(d / "a", d / "b");
                     return d / "a";
                 },
                 100, ReadStatus::Unreadable, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadRegularFileMemory, TheBufferNeverPassesTheLimit) {
    test::TempFolder folder;
    const std::size_t limit = 100 * 1024;
    const nav::ReadResult whole = nav::ReadRegularFile(Written(folder.path(), std::string(limit, 'x')), limit);
    ASSERT_EQ(whole.status, ReadStatus::Ok);
    EXPECT_EQ(whole.text.size(), limit);
    EXPECT_LE(whole.text.capacity(), limit + 1);
    // A size of 0 stated, more held: the buffer grows, within the limit.
    const nav::ReadResult grown = nav::ReadRegularFile("/proc/self/maps", 1024 * 1024 + 5);
    ASSERT_EQ(grown.status, ReadStatus::Ok);
    EXPECT_FALSE(grown.text.empty());
    EXPECT_LE(grown.text.capacity(), 1024 * 1024 + 6);
}

TEST(ReadRegularFileErrors, AFailureKeepsTheSystemsReason) {
    test::TempFolder folder;
    EXPECT_EQ(nav::ReadRegularFile(folder / "none", 10).error, ENOENT);
    fs::create_symlink(folder / "loop", folder / "loop");
    EXPECT_EQ(nav::ReadRegularFile(folder / "loop", 10).error, ELOOP);
    EXPECT_EQ(nav::ReadRegularFile(folder.path(), 10).error, 0);
}

}  // namespace
