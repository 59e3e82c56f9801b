#include "platform/system/font_families.h"
#include "platform/system/paths.h"
#include "platform/system/text.h"

#include <map>
#include <utility>

namespace platform {

namespace {

// Where the game carries its faces: the page's data package in a browser, the fonts
// folder beside the program on Windows.
std::string font_folder() {
#ifdef _WIN32
    return utf8_of(executable_folder() / "fonts");
#else
    return "/fonts";
#endif
}

} // namespace

// The game carries the faces, cut to the game's characters and named as their licence
// requires: there is no font configuration to ask.
std::string font_file(const std::string& family, bool bold) {
    static const std::map<std::pair<std::string, bool>, std::string> files = {
        {{"IPAMincho", false}, "skarvelin-mincho.ttf"},
        {{"IPAPMincho", false}, "skarvelin-pmincho.ttf"},
        {{"IPAGothic", false}, "skarvelin-gothic.ttf"},
        {{"IPAPGothic", false}, "skarvelin-pgothic.ttf"},
        {{"Liberation Sans", false}, "skarvelin-sans.ttf"},
        {{"Liberation Sans", true}, "skarvelin-sans-bold.ttf"},
    };
    const auto it = files.find({stand_in_family(family), bold && has_bold_face(family)});
    if (it == files.end()) {
        throw FontNotFound("no font found for the game's text: it needs " + needed_font(family));
    }
    return font_folder() + "/" + it->second;
}

} // namespace platform
