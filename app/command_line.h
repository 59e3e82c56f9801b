#pragma once
// The questions the program answers without starting anything: --version, and --help or -h.

#include <optional>
#include <ostream>

namespace app {

// Answers the first question among the arguments on `out` and gives the status to end
// with; nothing when none is asked and the game is to start. Other arguments are ignored.
std::optional<int> answer_question(int argc, const char* const* argv, std::ostream& out);

} // namespace app
