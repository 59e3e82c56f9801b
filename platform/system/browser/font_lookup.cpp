#include "platform/system/font_families.h"
#include "platform/system/text.h"

#include <map>

namespace platform {

// The page's data package carries the faces in /fonts, cut to the game's characters and
// named as their licence requires: there is no font configuration to ask in a browser.
std::string font_file(const std::string& family) {
    static const std::map<std::string, std::string> files = {
        {"IPAMincho", "/fonts/skarvelin-mincho.ttf"},
        {"IPAPMincho", "/fonts/skarvelin-pmincho.ttf"},
        {"IPAGothic", "/fonts/skarvelin-gothic.ttf"},
        {"IPAPGothic", "/fonts/skarvelin-pgothic.ttf"},
    };
    const auto it = files.find(stand_in_family(family));
    if (it == files.end()) {
        throw FontNotFound("no font found for the game's text: it needs " + needed_font(family));
    }
    return it->second;
}

} // namespace platform
