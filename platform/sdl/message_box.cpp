#include "platform/sdl/message_box.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace platform {

namespace {

bool has_value(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

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
    return has_value("DISPLAY") || has_value("WAYLAND_DISPLAY");
}

} // namespace

void report_error(const std::string& title, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    std::fflush(stderr);
    if (display_available()) {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), error_box_text(text).c_str(),
                                 nullptr);
    }
}

} // namespace platform
