#include "platform/system/line_breaks.h"

#include <linebreak.h>

namespace platform {

std::vector<BreakMark> computed_line_break_marks(std::string_view utf8) {
    static const bool initialised = (init_linebreak(), true);
    (void)initialised;
    std::vector<char> breaks(utf8.size());
    set_linebreaks_utf8(reinterpret_cast<const utf8_t*>(utf8.data()), utf8.size(), "ja",
                        breaks.data());
    std::vector<BreakMark> marks(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        switch (breaks[i]) {
        case LINEBREAK_MUSTBREAK:
            marks[i] = BreakMark::Must;
            break;
        case LINEBREAK_ALLOWBREAK:
            marks[i] = BreakMark::Allow;
            break;
        case LINEBREAK_NOBREAK:
            marks[i] = BreakMark::None;
            break;
        default:
            marks[i] = BreakMark::InsideChar;
            break;
        }
    }
    return marks;
}

std::vector<BreakMark> line_break_marks(std::string_view utf8) {
    return computed_line_break_marks(utf8);
}

} // namespace platform
