#include "platform/system/line_breaks.h"

namespace platform {

std::vector<BreakMark> line_break_marks(std::string_view utf8) {
    return table_line_break_marks(utf8, game_text_breaks());
}

} // namespace platform
