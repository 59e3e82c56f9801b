#pragma once
// Telling the user about an error that stops the program.

#include "platform/system/message_wrap.h"

#include <cstddef>
#include <string>

namespace platform {

// The box is as wide as its longest line: this keeps it well inside any screen.
inline constexpr size_t kErrorBoxLineChars = 70;

// What the box shows for `text`: the same words, wrapped to kErrorBoxLineChars.
inline std::string error_box_text(const std::string& text) {
    return wrap_message(text, kErrorBoxLineChars);
}

// Writes "title: text" to stderr as given, unwrapped (a terminal wraps to its own width,
// and a search of a log finds the whole message on its lines), then shows a modal error
// box with error_box_text(text) when a real display is in use. Headless (no display, or
// the dummy or offscreen video driver) it only writes the line and returns at once.
// SIGINT or SIGTERM while the box shows ends the program at once with status 1, and the
// box never outlives the program.
void report_error(const std::string& title, const std::string& text);

} // namespace platform
