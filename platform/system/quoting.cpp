#include "platform/system/quoting.h"

#include <algorithm>
#include <cstdio>

namespace platform {

namespace {

std::string escaped(unsigned char c) {
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02X", c);
    return text;
}

// The length of the UTF-8 character that starts `text`, or 0 when it starts with a byte
// that begins no character or a character that is cut short, overlong or a surrogate.
size_t utf8_length(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const size_t n = lead < 0x80                   ? 1
                     : lead >= 0xC2 && lead < 0xE0 ? 2
                     : lead >= 0xE0 && lead < 0xF0 ? 3
                     : lead >= 0xF0 && lead < 0xF5 ? 4
                                                   : 0;
    if (n == 0 || n > text.size()) {
        return 0;
    }
    for (size_t i = 1; i < n; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    const auto second = static_cast<unsigned char>(text.size() > 1 ? text[1] : 0);
    const bool overlong = (lead == 0xE0 && second < 0xA0) || (lead == 0xF0 && second < 0x90);
    const bool surrogate_or_beyond =
        (lead == 0xED && second >= 0xA0) || (lead == 0xF4 && second >= 0x90);
    return overlong || surrogate_or_beyond ? 0 : n;
}

// C0 and C1 controls and DEL, which terminals act on.
bool is_control(std::string_view character) {
    const auto lead = static_cast<unsigned char>(character[0]);
    return lead < 0x20 || lead == 0x7F ||
           (lead == 0xC2 && static_cast<unsigned char>(character[1]) < 0xA0);
}

} // namespace

std::string quoted(std::string_view text, size_t max_chars) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size() && i < max_chars; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            out += escaped(c);
        }
    }
    return out + (text.size() > max_chars ? "\"..." : "\"");
}

std::string quoted_path(std::string_view path) {
    std::string out = "\"";
    while (!path.empty()) {
        const size_t length = utf8_length(path);
        const std::string_view character = path.substr(0, std::max<size_t>(length, 1));
        if (length == 0 || is_control(character)) {
            for (const char c : character) {
                out += escaped(static_cast<unsigned char>(c));
            }
        } else {
            out += character;
        }
        path.remove_prefix(character.size());
    }
    return out + "\"";
}

} // namespace platform
