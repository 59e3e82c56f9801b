#include "platform/paths.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <unistd.h>

namespace fs = std::filesystem;
using platform::kDataFolderVariable;
using platform::missing_file_message;
using platform::resolve_game_file;

namespace {

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
    static void touch(const fs::path& p) { std::ofstream(p) << "x"; }
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

TEST_F(DataFolder, AFolderIsNotAFile) {
    EXPECT_FALSE(resolve_game_file("c:\\Music").found);
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

TEST(GameDataFolder, DefaultsToDataBesideTheExecutable) {
    ScopedEnv unset(kDataFolderVariable, nullptr);
    EXPECT_TRUE(fs::equivalent(platform::game_data_folder(), SKARVELIN_GAME_DATA_DIR));
    ScopedEnv empty(kDataFolderVariable, "");
    EXPECT_TRUE(fs::equivalent(platform::game_data_folder(), SKARVELIN_GAME_DATA_DIR));
}

} // namespace
