#include "platform/system/font_families.h"

#include "platform/system/quoting.h"

#include <algorithm>
#include <iterator>

namespace platform {

namespace {

struct StandIn {
    const char* windows_family;
    const char* ipa_family;
    const char* package;
};

constexpr StandIn kStandIns[] = {
    {"ＭＳ 明朝", "IPAMincho", "fonts-ipafont-mincho"},
    {"ＭＳ Ｐ明朝", "IPAPMincho", "fonts-ipafont-mincho"},
    {"ＭＳ ゴシック", "IPAGothic", "fonts-ipafont-gothic"},
    {"ＭＳ Ｐゴシック", "IPAPGothic", "fonts-ipafont-gothic"},
};

const StandIn* stand_in(const std::string& family) {
    const auto* it = std::find_if(std::begin(kStandIns), std::end(kStandIns),
                                  [&](const StandIn& s) { return family == s.windows_family; });
    return it != std::end(kStandIns) ? it : nullptr;
}

} // namespace

std::string stand_in_family(const std::string& family) {
    const StandIn* s = stand_in(family);
    return s ? s->ipa_family : family;
}

std::string needed_font(const std::string& family) {
    const StandIn* s = stand_in(family);
    if (!s) {
        return "a font named " + quoted(family);
    }
    return std::string("the IPA font ") + s->ipa_family + " (Debian package " + s->package + ")";
}

} // namespace platform
