#pragma once
// skarvelin-sim: the game window's sortie run headless, with the very same game
// rules and engine, writing what happened frame by frame.

#include <iosfwd>
#include <string>
#include <vector>

namespace app {

// Exit statuses of the runner.
inline constexpr int kSimOk = 0;
inline constexpr int kSimBadArguments = 2;
inline constexpr int kSimOutOfDraws = 3;
inline constexpr int kSimEngineError = 4;

int run_sim(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace app
