// What the program answers without starting.

#include "app/command_line.h"
#include "app/frmMain.h"
#include "app/version.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

std::string answer(std::vector<const char*> arguments, std::optional<int> status = 0) {
    arguments.insert(arguments.begin(), "skarvelin");
    std::ostringstream out;
    const int count = static_cast<int>(arguments.size());
    EXPECT_EQ(app::answer_question(count, arguments.data(), out), status);
    return out.str();
}

TEST(CommandLine, AnswersVersionAndHelpAndLeavesAnythingElseToTheGame) {
    // Players quote the version the windows' titles show, which the release's differs from.
    const std::string shown = app::title_text(false).substr(std::string("Skarvelin ").size());
    EXPECT_EQ(answer({"--version"}),
              "skarvelin " + std::string(app::kVersion) + " (shown as " + shown + ")\n");
    const std::string help = answer({"--help"});
    EXPECT_NE(help.find("Usage: skarvelin [-h | --help | --version]\n"), std::string::npos);
    EXPECT_EQ(answer({"--fullscreen", "-h", "--version"}), help);
    EXPECT_EQ(answer({"-x", "-help", "h"}, std::nullopt), "");
}

} // namespace
