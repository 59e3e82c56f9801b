#include "platform/system/paths.h"
#include "tests/support/fifo.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using platform::kDataFolderVariable;
using platform::missing_file_message;
using platform::resolve_game_file;

namespace {

void touch(const fs::path& p) {
    std::ofstream(p) << "x";
}

class DataFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(root_ / "data" / "Music");
        touch(root_ / "data" / "TarnChar.gif");
        touch(root_ / "data" / "Music" / "Theme.wav");
        touch(root_ / "secret.txt"); // beside the data folder, never reachable
        env_.emplace(kDataFolderVariable, data().c_str());
    }
    void TearDown() override { env_.reset(); }
    std::string data() const { return (root_ / "data").string(); }

    ScratchDir scratch_{"skarvelin-paths"};
    const fs::path& root_ = scratch_.path();
    std::optional<ScopedEnv> env_;
};

TEST_F(DataFolder, GameNamesResolveIntoTheDataFolderInAnyCaseAndSeparator) {
    const std::string expected = (root_ / "data" / "TarnChar.gif").string();
    for (const char* name : {"c:\\TarnChar.gif", "C:\\TarnChar.gif", "c:/TarnChar.gif",
                             "c:\\tarnchar.GIF", "TarnChar.gif"}) {
        platform::Resolved r = resolve_game_file(name);
        EXPECT_TRUE(r.found) << name;
        EXPECT_EQ(r.path, expected) << name;
        EXPECT_TRUE(r.rejection.empty()) << name;
    }
    platform::Resolved nested = resolve_game_file("c:\\music\\THEME.wav");
    EXPECT_TRUE(nested.found);
    EXPECT_EQ(nested.path, (root_ / "data" / "Music" / "Theme.wav").string());
}

TEST_F(DataFolder, MissingFileNamesEveryPlaceTried) {
    platform::Resolved r = resolve_game_file("c:\\risinghigh.wav");
    EXPECT_FALSE(r.found);
    ASSERT_EQ(r.tried.size(), 1u);
    EXPECT_EQ(r.tried[0], (root_ / "data" / "risinghigh.wav").string());
    std::string message = missing_file_message(r);
    EXPECT_NE(message.find("c:\\risinghigh.wav"), std::string::npos) << message;
    EXPECT_NE(message.find(r.tried[0]), std::string::npos) << message;
    EXPECT_NE(message.find(kDataFolderVariable), std::string::npos) << message;
}

TEST_F(DataFolder, AFolderOrAFifoIsNotAFileAndIsSaidToBeWhatItIs) {
    SKIP_WITHOUT_FIFOS();
    platform::Resolved r = resolve_game_file("c:\\Music");
    EXPECT_FALSE(r.found);
    EXPECT_EQ(missing_file_message(r), "cannot use the game file \"c:\\Music\": \"" +
                                           (root_ / "data" / "Music").string() +
                                           "\" is a folder, not a file");
    ASSERT_TRUE(make_fifo(root_ / "data" / "briefing.wav"));
    r = resolve_game_file("c:\\BRIEFING.wav");
    EXPECT_FALSE(r.found);
    EXPECT_NE(missing_file_message(r).find("briefing.wav\" is a FIFO"), std::string::npos)
        << missing_file_message(r);
}

TEST_F(DataFolder, NamesThatWouldLeaveTheDataFolderAreRejected) {
    for (const char* name : {"c:\\..\\secret.txt", "c:\\Music\\..\\..\\secret.txt",
                             "..\\secret.txt", "c:\\.\\TarnChar.gif", "c:\\\\tmp\\secret.txt",
                             "/etc/passwd", "\\secret.txt", "d:\\TarnChar.gif", "c:TarnChar.gif",
                             "c:\\", "c:", "", "c:\\Music\\\\Theme.wav", "c:\\Music\\"}) {
        platform::Resolved r = resolve_game_file(name);
        EXPECT_FALSE(r.found) << name;
        EXPECT_TRUE(r.tried.empty()) << name;
        EXPECT_FALSE(r.rejection.empty()) << name;
        EXPECT_NE(missing_file_message(r).find(r.rejection), std::string::npos) << name;
    }
}

TEST(GameDataFolders, TheVariableNamesTheOnlyFolderAndAnEmptyOneCountsAsUnset) {
    EXPECT_EQ(platform::game_data_folders_for("/games/data", "/opt/skarvelin/bin"),
              std::vector<std::string>{"/games/data"});
    const auto unset = platform::game_data_folders_for(nullptr, "/opt/skarvelin/bin");
    ASSERT_EQ(unset.size(), 2u);
    EXPECT_EQ(unset[0], (fs::path("/opt/skarvelin/bin") / "data").string());
    EXPECT_EQ(platform::game_data_folders_for("", "/opt/skarvelin/bin"), unset);
    EXPECT_EQ(platform::game_data_folders_for(nullptr, ""), std::vector<std::string>{"data"});
}

TEST(GameDataFolders, TheBuildTreeDataComesFirstForTheRunningProgram) {
    ScopedEnv unset(kDataFolderVariable, nullptr);
    const auto folders = platform::game_data_folders();
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_TRUE(fs::equivalent(folders[0], SKARVELIN_GAME_DATA_DIR));
    ScopedEnv empty(kDataFolderVariable, "");
    EXPECT_EQ(platform::game_data_folders(), folders);
}

// A tree laid out as the install lays it out, under a prefix that can be moved.
class InstalledTree : public ::testing::Test {
  protected:
    void SetUp() override {
        if (fs::path(SKARVELIN_INSTALL_BINDIR).is_absolute() ||
            fs::path(SKARVELIN_INSTALL_DATADIR).is_absolute()) {
            GTEST_SKIP() << "an absolute install folder does not move with the prefix";
        }
        fs::create_directories(bin_folder(prefix()));
        fs::create_directories(installed_data(prefix()));
        touch(installed_data(prefix()) / "TarnChar.gif");
    }
    fs::path prefix() const { return scratch_.path() / "prefix"; }
    static fs::path bin_folder(const fs::path& prefix) { return prefix / SKARVELIN_INSTALL_BINDIR; }
    static fs::path installed_data(const fs::path& prefix) {
        return prefix / SKARVELIN_INSTALL_DATADIR / "skarvelin";
    }
    static platform::Resolved resolve_from(const fs::path& bin, const char* name) {
        return platform::resolve_game_file_in(name, platform::game_data_folders_for(nullptr, bin));
    }

    ScratchDir scratch_{"skarvelin-installed"};
};

TEST_F(InstalledTree, FindsItsDataRelativeToTheExecutableEvenAfterAMove) {
    platform::Resolved r = resolve_from(bin_folder(prefix()), "c:\\tarnchar.gif");
    ASSERT_TRUE(r.found) << missing_file_message(r);
    EXPECT_TRUE(fs::equivalent(r.path, installed_data(prefix()) / "TarnChar.gif"));

    const fs::path moved = scratch_.path() / "elsewhere" / "prefix";
    fs::create_directories(moved.parent_path());
    fs::rename(prefix(), moved);
    r = resolve_from(bin_folder(moved), "c:\\TarnChar.gif");
    ASSERT_TRUE(r.found) << missing_file_message(r);
    EXPECT_TRUE(fs::equivalent(r.path, installed_data(moved) / "TarnChar.gif"));
}

TEST_F(InstalledTree, DataBesideTheExecutableWinsOverTheInstalledFolder) {
    fs::create_directories(bin_folder(prefix()) / "data");
    touch(bin_folder(prefix()) / "data" / "tarnchar.GIF");
    platform::Resolved r = resolve_from(bin_folder(prefix()), "c:\\TarnChar.gif");
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.path, (bin_folder(prefix()) / "data" / "tarnchar.GIF").string());
    EXPECT_EQ(r.tried.size(), 1u);
}

TEST_F(InstalledTree, AFileInNeitherFolderNamesBothOnOneLine) {
    platform::Resolved r = resolve_from(bin_folder(prefix()), "c:\\briefing.wav");
    EXPECT_FALSE(r.found);
    ASSERT_EQ(r.tried.size(), 2u);
    EXPECT_EQ(r.tried[0], (bin_folder(prefix()) / "data" / "briefing.wav").string());
    EXPECT_TRUE(fs::equivalent(fs::path(r.tried[1]).parent_path(), installed_data(prefix())));
    EXPECT_EQ(r.path, r.tried[0]);
    const std::string message = missing_file_message(r);
    EXPECT_NE(message.find("\"" + r.tried[0] + "\", \"" + r.tried[1] + "\""), std::string::npos)
        << message;
    EXPECT_EQ(message.find('\n'), std::string::npos) << message;
}

TEST_F(InstalledTree, RejectedNamesLookNowhere) {
    platform::Resolved r = resolve_from(bin_folder(prefix()), "c:\\..\\share\\skarvelin\\x");
    EXPECT_FALSE(r.found);
    EXPECT_TRUE(r.tried.empty());
    EXPECT_FALSE(r.rejection.empty());
}

} // namespace
