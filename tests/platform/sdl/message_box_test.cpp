// Errors told to the user: on stderr always, in a box only where someone can see it.

#include "platform/sdl/message_box.h"
#include "platform/system/paths.h"
#include "tests/support/scoped_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

TEST(ReportError, WritesTheLineAndReturnsWithoutADisplay) {
    for (const char* driver : {"dummy", "offscreen"}) {
        ScopedEnv video("SDL_VIDEODRIVER", driver);
        ScopedEnv display("DISPLAY", ":0");
        ::testing::internal::CaptureStderr();
        platform::report_error("Skarvelin", "cannot find c:\\TarnChar.gif");
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  "Skarvelin: cannot find c:\\TarnChar.gif\n");
    }
    ScopedEnv no_display("DISPLAY", nullptr);
    ScopedEnv no_wayland("WAYLAND_DISPLAY", nullptr);
    ScopedEnv video("SDL_VIDEODRIVER", nullptr);
    ::testing::internal::CaptureStderr();
    platform::report_error("T", "x");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "T: x\n");
}

TEST(ReportError, TheBoxForAMissingSheetFitsTheScreenAndStderrKeepsTheMessage) {
    ScopedEnv data("SKARVELIN_DATA",
                   "/home/player/games/skarvelin-install/share/skarvelin/a/rather/deep/data");
    const std::string text =
        "Run-time error '53':\n" +
        platform::missing_file_message(platform::resolve_game_file("c:\\TarnChar.gif"));
    const std::string box = platform::error_box_text(text);

    std::istringstream lines(box);
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line, "Run-time error '53':");
    size_t count = 1;
    for (; std::getline(lines, line); ++count) {
        EXPECT_TRUE(line.size() <= platform::kErrorBoxLineChars ||
                    line.find(' ') == std::string::npos)
            << line;
    }
    EXPECT_GT(count, 2u) << box;
    const std::filesystem::path file =
        std::filesystem::path("/home/player/games/skarvelin-install/share/skarvelin/a/rather/deep/"
                              "data") /
        "TarnChar.gif";
    EXPECT_NE(box.find("\"" + file.string() + "\""), std::string::npos) << box;

    ScopedEnv video("SDL_VIDEODRIVER", "dummy");
    ::testing::internal::CaptureStderr();
    platform::report_error("Skarvelin", text);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Skarvelin: " + text + "\n");
}
