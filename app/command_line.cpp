#include "app/command_line.h"

#include "app/frmMain.h"
#include "app/version.h"
#include "platform/system/paths.h"

#include <string>
#include <string_view>

namespace app {

namespace {

// The version as the windows' titles show it: "1.01" for 1.1.
std::string shown_version() {
    const std::string title = version_title(kVersionMajor, kVersionMinor);
    return title.substr(title.rfind(' ') + 1);
}

void print_help(std::ostream& out) {
    out << "skarvelin " << kVersion
        << ": a side-scrolling shooter. Fly the jet fighter and fire at the enemy craft.\n"
           "Usage: skarvelin [-h | --help | --version]\n"
           "\n"
           "Title and story windows: the mouse, or Tab and Enter or space on a button.\n"
           "Game window: S or F2 starts the sortie; cursor keys, keypad 2 4 6 8 or a\n"
           "joystick fly; Z, space or joystick button 1 fire; N before the sortie runs\n"
           "the frames back to back; Esc ends the program. F11: fullscreen on and off.\n"
           "\n"
           "SKARVELIN_SCALE=N   magnifies every window N times (default: from the display)\n"
           "SKARVELIN_DATA=DIR  names the one folder the game's data is looked up in\n"
           "The game's data is looked up in, first to last:\n";
    for (const std::string& folder : platform::game_data_folders()) {
        out << "  " << folder << "\n";
    }
}

} // namespace

std::optional<int> answer_question(int argc, const char* const* argv, std::ostream& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--version") {
            out << "skarvelin " << kVersion << " (shown as " << shown_version() << ")\n";
            return 0;
        }
        if (argument == "--help" || argument == "-h") {
            print_help(out);
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace app
