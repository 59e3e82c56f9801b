#include "platform/system/font_families.h"

#include "platform/system/quoting.h"
#include "platform/system/text.h"

#include <algorithm>
#include <iterator>

namespace platform {

namespace {

struct StandIn {
    const char* windows_family;
    const char* family;
    const char* package;
    bool japanese;
};

constexpr StandIn kStandIns[] = {
    {"ＭＳ 明朝", "IPAMincho", "fonts-ipafont-mincho", true},
    {"ＭＳ Ｐ明朝", "IPAPMincho", "fonts-ipafont-mincho", true},
    {"ＭＳ ゴシック", "IPAGothic", "fonts-ipafont-gothic", true},
    {"ＭＳ Ｐゴシック", "IPAPGothic", "fonts-ipafont-gothic", true},
    {"Arial", "Liberation Sans", "fonts-liberation2", false},
};

const StandIn* stand_in(const std::string& family) {
    const auto* it = std::find_if(std::begin(kStandIns), std::end(kStandIns),
                                  [&](const StandIn& s) { return family == s.windows_family; });
    return it != std::end(kStandIns) ? it : nullptr;
}

} // namespace

std::string stand_in_family(const std::string& family) {
    const StandIn* s = stand_in(family);
    return s ? s->family : family;
}

bool has_bold_face(const std::string& family) {
    const StandIn* s = stand_in(family);
    return s && !s->japanese;
}

bool is_japanese_family(const std::string& family) {
    const StandIn* s = stand_in(family);
    return !s || s->japanese;
}

std::string needed_font(const std::string& family) {
    const StandIn* s = stand_in(family);
    if (!s) {
        return "a font named " + quoted(family);
    }
    return std::string(s->japanese ? "the IPA font " : "the font ") + s->family +
           " (Debian package " + s->package + ")";
}

} // namespace platform
