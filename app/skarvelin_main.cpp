// The game's entry: the answers to the command line's questions, the platform services, the
// chain of screens that leads to the game window, and the one place where errors end the
// program with a message to the user.

#include "app/Screens.h"
#include "app/command_line.h"
#include "app/frmMain.h"
#include "engine/sys/errors.h"
#include "platform/legacy/events.h"
#include "platform/legacy/media.h"
#include "platform/sdl/browser_host.h"
#include "platform/sdl/input.h"
#include "platform/sdl/media_player.h"
#include "platform/sdl/message_box.h"
#include "platform/sdl/services.h"
#include "platform/sdl/window_system.h"

#include <exception>
#include <iostream>
#include <optional>

namespace {

// Stops the music, tells the user, and gives the exit status.
int fail(platform::MediaPlayer& media, const std::string& text) {
    media.send_command("close all");
    platform::report_error("Skarvelin", text);
    return 1;
}

// The page's language switch shows the screens in the language chosen while they exist.
class LanguageSwitch {
  public:
    explicit LanguageSwitch(app::Screens& screens) {
        platform::on_language_switch(
            [&screens](platform::Language language) { screens.choose_language(language); });
    }
    ~LanguageSwitch() { platform::on_language_switch({}); }
    LanguageSwitch(const LanguageSwitch&) = delete;
    LanguageSwitch& operator=(const LanguageSwitch&) = delete;
};

int play() {
    // Declared first, destroyed last: every device closes while SDL still runs.
    platform::SdlWindowSystem windows;
    platform::SdlKeyState keys{windows.event_pump()};
    platform::SdlJoystick joystick;
    platform::SdlMediaPlayer media;
    platform::SystemClock clock;
    nox::SeededRnd rnd;
    app::Services services{clock,
                           keys,
                           joystick,
                           windows,
                           media,
                           rnd,
                           &windows,
                           app::resolve_game_path,
                           platform::chosen_language()};
    try {
        app::Screens screens(services);
        const LanguageSwitch language_switch(screens);
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
    if (const std::optional<int> status = app::answer_question(argc, argv, std::cout)) {
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
