#pragma once
// Telling the user about an error that stops the program.

#include <string>

namespace platform {

// Writes "title: text" to stderr, then shows a modal error box when a real display is
// in use. Headless (no display, or the dummy or offscreen video driver) it only writes
// the line and returns at once.
void report_error(const std::string& title, const std::string& text);

} // namespace platform
