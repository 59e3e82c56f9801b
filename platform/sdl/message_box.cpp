#include "platform/sdl/message_box.h"

#include <SDL.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#ifndef _WIN32
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

#ifndef _WIN32
bool has_value(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}
#endif

// A box needs a display someone can see and click: without one SDL's message box either
// fails or, under a virtual driver, could wait for a click that never comes.
bool display_available() {
    const char* driver =
        SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetCurrentVideoDriver() : std::getenv("SDL_VIDEODRIVER");
    if (driver) {
        std::string_view name(driver);
        if (name == "dummy" || name == "offscreen") {
            return false;
        }
    }
#ifdef _WIN32
    return true; // every Windows session has its desktop
#else
    return has_value("DISPLAY") || has_value("WAYLAND_DISPLAY");
#endif
}

#ifdef _WIN32

// Windows shows the box itself, in this process: it goes when the program goes.
void show_box(const std::string& title, const std::string& text) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr);
}

#else

// The game while its box shows (0: no box), for the box's process to watch.
std::atomic<pid_t> game_behind_box{0};
static_assert(std::atomic<pid_t>::is_always_lock_free, "read in a forked child");

// SDL shows the box from a process it forks: that process dies with the game, however
// the game dies, even by SIGKILL.
extern "C" void box_process_started() {
    const pid_t game = game_behind_box;
    if (game != 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != game) {
            _exit(1);
        }
    }
}

// SDL waits for the box deaf to signals; a request to end the program ends it here, with
// the status of any error, and the box goes with it.
extern "C" void end_behind_box(int) {
    _exit(1);
}

void show_box(const std::string& title, const std::string& text) {
    static const bool watched = pthread_atfork(nullptr, nullptr, &box_process_started) == 0;
    struct sigaction ending {};
    ending.sa_handler = end_behind_box;
    sigemptyset(&ending.sa_mask);
    struct sigaction old_int {};
    struct sigaction old_term {};
    sigaction(SIGINT, &ending, &old_int);
    sigaction(SIGTERM, &ending, &old_term);
    game_behind_box = watched ? getpid() : 0;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr);
    game_behind_box = 0;
    sigaction(SIGINT, &old_int, nullptr);
    sigaction(SIGTERM, &old_term, nullptr);
}

#endif

} // namespace

void report_error(const std::string& title, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    std::fflush(stderr);
    if (display_available()) {
        show_box(title, error_box_text(text));
    }
}

} // namespace platform
