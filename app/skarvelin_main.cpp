// The game's entry: the answers to --version and --help, the platform services, the chain
// of screens that leads to the game window, and the one place where errors end the program
// with a message to the user.

#include "app/Screens.h"
#include "app/frmMain.h"
#include "app/version.h"
#include "engine/sys/errors.h"
#include "platform/legacy/events.h"
#include "platform/legacy/media.h"
#include "platform/sdl/browser_host.h"
#include "platform/sdl/input.h"
#include "platform/sdl/media_player.h"
#include "platform/sdl/message_box.h"
#include "platform/sdl/services.h"
#include "platform/sdl/window_system.h"
#include "platform/system/paths.h"

#include <exception>
#include <iostream>
#include <optional>
#include <string_view>

namespace {

// Stops the music, tells the user, and gives the exit status.
int fail(platform::MediaPlayer& media, const std::string& text) {
    media.send_command("close all");
    platform::report_error("Skarvelin", text);
    return 1;
}

void print_help() {
    std::cout << "skarvelin " << app::kVersion
              << ": a side-scrolling shooter. Fly the jet fighter and fire at the enemy craft.\n"
                 "Usage: skarvelin [--help | --version]\n"
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
        std::cout << "  " << folder << "\n";
    }
}

// --version and --help are answered without starting anything; other arguments are ignored.
std::optional<int> answer_question(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--version") {
            std::cout << "skarvelin " << app::kVersion << "\n";
            return 0;
        }
        if (argument == "--help") {
            print_help();
            return 0;
        }
    }
    return std::nullopt;
}

int play() {
    // Declared first, destroyed last: every device closes while SDL still runs.
    platform::SdlWindowSystem windows;
    platform::SdlKeyState keys{windows.event_pump()};
    platform::SdlJoystick joystick;
    platform::SdlMediaPlayer media;
    platform::SystemClock clock;
    nox::SeededRnd rnd;
    app::Services services{clock, keys, joystick, windows,
                           media, rnd,  &windows, app::resolve_game_path};
    try {
        app::Screens screens(services);
        screens.start();
        windows.run();
        return 0;
    } catch (const platform::ProgramExit& e) {
        return e.status;
    } catch (const nox::NoxError& e) {
        return fail(media, "Run-time error '" + std::to_string(e.code()) + "':\n" + e.what());
    } catch (const std::exception& e) {
        return fail(media, e.what());
    }
}

int run(int argc, char** argv) {
    if (const std::optional<int> status = answer_question(argc, argv)) {
        return *status;
    }
    try {
        return play();
    } catch (const platform::ProgramExit& e) {
        return e.status;
    } catch (const std::exception& e) {
        std::cerr << "skarvelin: " << e.what() << "\n";
        return 1;
    }
}

} // namespace

int main(int argc, char** argv) {
    platform::SdlServices services;
    return platform::end_in_browser(run(argc, argv));
}
