#include "platform/system/line_breaks.h"

#include <algorithm>

namespace platform {

namespace {

bool is_newline(char c) {
    return c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool is_continuation_byte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

std::vector<BreakMark> fallback_line_break_marks(std::string_view utf8) {
    std::vector<BreakMark> marks(utf8.size(), BreakMark::Allow);
    for (size_t i = 0; i < utf8.size(); ++i) {
        const bool last_byte = i + 1 == utf8.size() || !is_continuation_byte(utf8[i + 1]);
        if (!last_byte) {
            marks[i] = BreakMark::InsideChar;
        } else if (is_newline(utf8[i]) &&
                   !(utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')) {
            marks[i] = BreakMark::Must;
        } else if (utf8[i] == '\r') {
            marks[i] = BreakMark::None; // CR LF is one line break
        }
    }
    if (!marks.empty()) {
        marks.back() = BreakMark::Must;
    }
    return marks;
}

std::vector<BreakMark> table_line_break_marks(std::string_view utf8,
                                              const std::vector<BreakTableEntry>& table) {
    const auto it = std::lower_bound(
        table.begin(), table.end(), utf8,
        [](const BreakTableEntry& e, std::string_view text) { return e.text < text; });
    if (it == table.end() || it->text != utf8 || it->marks.size() != utf8.size()) {
        return fallback_line_break_marks(utf8);
    }
    std::vector<BreakMark> marks(utf8.size());
    std::transform(it->marks.begin(), it->marks.end(), marks.begin(),
                   [](char c) { return static_cast<BreakMark>(c); });
    return marks;
}

} // namespace platform
