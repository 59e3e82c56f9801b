#pragma once
// Hard line breaks for messages shown where nothing wraps them (a simple message box
// grows as wide as its longest line).

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Breaks UTF-8 text into lines of at most `max_chars` characters (code points, not bytes).
// Lines break at blanks, and in Japanese text between characters, but never before a
// closing mark such as "、" or after an opening bracket. Words without blanks (paths)
// stay whole: one longer than the limit stands alone on its line. Existing newlines are
// kept, text that already fits is returned unchanged, and bytes that are not valid UTF-8
// pass through as one character each.
std::string wrap_message(std::string_view utf8, size_t max_chars);

} // namespace platform
