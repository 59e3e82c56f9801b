#include "platform/sdl/message_box.h"

#include "platform/sdl/browser/page.h"

#include <cstdio>

namespace platform {

// In a browser the box is part of the page; the program ends behind it.
void report_error(const std::string& title, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    std::fflush(stderr);
    page::show_error(title, error_box_text(text));
}

} // namespace platform
