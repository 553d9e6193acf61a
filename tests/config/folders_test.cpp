// Where the program looks for its settings and the user's documents, from the environment alone.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "config/Folders.h"
#include "support/TempFolder.h"
#include "support/Watchdog.h"

using namespace corvel;
namespace fs = std::filesystem;

namespace {

config::Environment From(std::map<std::string, std::string> variables) {
    return [variables](const char* name) -> std::optional<std::string> {
        const auto it = variables.find(name);
        if (it == variables.end()) return std::nullopt;
        return it->second;
    };
}

struct FolderCase {
    const char* name;
    std::map<std::string, std::string> environment;
    fs::path appData;
    fs::path documents;
};

class StartupFolders : public ::testing::TestWithParam<FolderCase> {};

TEST_P(StartupFolders, FollowTheXdgRules) {
    const FolderCase& c = GetParam();
    const config::StartupFolders f = config::FoldersFromEnvironment("/opt/corvel", From(c.environment));
    EXPECT_EQ(f.ProgramFolder, "/opt/corvel");
    EXPECT_EQ(f.AppDataFolder, c.appData);
    EXPECT_EQ(f.DocumentsFolder, c.documents);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartupFolders,
    ::testing::Values(FolderCase{"HomeOnly", {{"HOME", "/home/u"}}, "/home/u/.local/share", "/home/u/Documents"},
                      FolderCase{"XdgVariables",
                                 {{"HOME", "/home/u"}, {"XDG_DATA_HOME", "/data"}, {"XDG_DOCUMENTS_DIR", "/docs"}},
                                 "/data",
                                 "/docs"},
                      FolderCase{"RelativeXdgIgnored",
                                 {{"HOME", "/home/u"}, {"XDG_DATA_HOME", "rel"}, {"XDG_DOCUMENTS_DIR", "docs"}},
                                 "/home/u/.local/share",
                                 "/home/u/Documents"},
                      FolderCase{"NoHome", {}, "", ""},
                      FolderCase{"NoHomeButXdgData", {{"XDG_DATA_HOME", "/data"}}, "/data", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StartupFoldersUserDirs, TheDocumentsFolderOfUserDirsIsTaken) {
    test::TempFolder home;
    test::WriteFile(home / ".config" / "user-dirs.dirs",
                    "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Bureau\"\n"
                    "XDG_DOCUMENTS_DIR=\"$HOME/Mes documents\"\n");
    const config::StartupFolders f = config::FoldersFromEnvironment("/p", From({{"HOME", home.path().string()}}));
    EXPECT_EQ(f.DocumentsFolder, home / "Mes documents");
}

// A user-dirs.dirs that is no small regular file is not read, and never holds the start-up: the
// documents folder is then ~/Documents.
struct UserDirsCase {
    const char* name;
    std::function<void(const fs::path& file)> make;
};

class HostileUserDirs : public ::testing::TestWithParam<UserDirsCase> {};

TEST_P(HostileUserDirs, AreNotReadAndNeverBlock) {
    test::TempFolder home;
    const fs::path file = home / ".config" / "user-dirs.dirs";
    fs::create_directories(file.parent_path());
    GetParam().make(file);
    const config::StartupFolders f = test::WithinSeconds(GetParam().name, [&] {
        return config::FoldersFromEnvironment("/p", From({{"HOME", home.path().string()}}));
    });
    EXPECT_EQ(f.DocumentsFolder, home / "Documents");
}

const std::string kDocumentsLine = "XDG_DOCUMENTS_DIR=\"$HOME/Mes documents\"\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, HostileUserDirs,
    ::testing::Values(
        UserDirsCase{"Fifo", [](const fs::path& f) { test::MakeFifo(f); }},
        UserDirsCase{"LinkToDevZero", [](const fs::path& f) { fs::create_symlink("/dev/zero", f); }},
        // Over the limit, even with the key in its first line.
        UserDirsCase{"OverTheLimit",
                     [](const fs::path& f) {
                         test::WriteFile(f, kDocumentsLine + std::string(config::kMaxUserDirsBytes, '#'));
                     }},
        UserDirsCase{"HugeSparseFile",
                     [](const fs::path& f) {
                         test::WriteFile(f, kDocumentsLine);
                         fs::resize_file(f, 4ull << 30);
                     }},
        UserDirsCase{"Folder", [](const fs::path& f) { fs::create_directory(f); }},
        UserDirsCase{"Missing", [](const fs::path&) {}},
        UserDirsCase{"Binary",
                     [](const fs::path& f) { test::WriteFile(f, std::string("\0\xFF\x01XDG_\0\n=\"\n", 11)); }}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(StartupFoldersUserDirs, AFileAtTheLimitIsRead) {
    test::TempFolder home;
    const std::string text = kDocumentsLine + std::string(config::kMaxUserDirsBytes - kDocumentsLine.size(), '#');
    test::WriteFile(home / ".config" / "user-dirs.dirs", text);
    const config::StartupFolders f = config::FoldersFromEnvironment("/p", From({{"HOME", home.path().string()}}));
    EXPECT_EQ(f.DocumentsFolder, home / "Mes documents");
}

TEST(StartupFoldersPaths, SettingsFileAndSeparators) {
    EXPECT_EQ(config::SettingsPath("/data"), "/data/CorvelNMEA/CorvelNMEA.ini");
    EXPECT_EQ(config::SettingsFolder("/data"), "/data/CorvelNMEA");
    EXPECT_TRUE(config::SettingsPath("").empty());
    EXPECT_EQ(config::WithSeparator("/a/b"), "/a/b/");
    EXPECT_EQ(config::WithSeparator("/a/b//"), "/a/b/");
    EXPECT_EQ(config::WithSeparator("/"), "/");
    EXPECT_EQ(config::WithSeparator(""), "");
}

}  // namespace
