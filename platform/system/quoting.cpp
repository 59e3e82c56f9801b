#include "platform/system/quoting.h"

#include <cstdio>

namespace platform {

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
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        }
    }
    return out + (text.size() > max_chars ? "\"..." : "\"");
}

} // namespace platform
