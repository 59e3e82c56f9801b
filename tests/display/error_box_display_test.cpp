// The error box ends with the game: a signal to the game closes it, and so does the game's
// death, however it dies.

#include "platform/sdl/message_box.h"
#include "tests/display/x_session.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <optional>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr const char* kBoxTitle = "Skarvelin box test";

// A game whose last act is its error box; it exits 7 if the box ever returns.
pid_t game_showing_its_box() {
    const pid_t game = fork();
    if (game == 0) {
        platform::report_error(kBoxTitle, "the sheet is missing");
        _exit(7);
    }
    return game;
}

bool eventually(const std::function<bool()>& condition, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

bool box_on_screen(const xtest::XSession& session) {
    return session.run(std::string("xwininfo -name '") + kBoxTitle +
                       "' >/dev/null 2>&1 && echo shown") == "shown\n";
}

// The game's wait status once it has ended, or nothing (and it is killed) if it runs on.
std::optional<int> end_of(pid_t game, std::chrono::seconds limit) {
    int status = 0;
    if (eventually([&] { return waitpid(game, &status, WNOHANG) == game; }, limit)) {
        return status;
    }
    kill(game, SIGKILL);
    waitpid(game, &status, 0);
    return std::nullopt;
}

class ErrorBox : public ::testing::TestWithParam<int> {};

TEST_P(ErrorBox, ASignalEndsTheGameWithTheErrorStatusAndTakesTheBox) {
    xtest::XSession session(false);
    const pid_t game = game_showing_its_box();
    ASSERT_TRUE(eventually([&] { return box_on_screen(session); }, std::chrono::seconds(20)));
    kill(game, GetParam());
    const std::optional<int> status = end_of(game, std::chrono::seconds(5));
    ASSERT_TRUE(status) << "the game ran on behind its box";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1);
    EXPECT_TRUE(eventually([&] { return !box_on_screen(session); }, std::chrono::seconds(10)));
}

INSTANTIATE_TEST_SUITE_P(Signals, ErrorBox, ::testing::Values(SIGTERM, SIGINT));

TEST(ErrorBoxOfAKilledGame, GoesWithIt) {
    xtest::XSession session(false);
    const pid_t game = game_showing_its_box();
    ASSERT_TRUE(eventually([&] { return box_on_screen(session); }, std::chrono::seconds(20)));
    kill(game, SIGKILL);
    end_of(game, std::chrono::seconds(5));
    EXPECT_TRUE(eventually([&] { return !box_on_screen(session); }, std::chrono::seconds(10)))
        << "the box outlived the game";
}

} // namespace
