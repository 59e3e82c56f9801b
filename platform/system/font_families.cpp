#include "platform/system/font_families.h"

#include <map>

namespace platform {

std::string stand_in_family(const std::string& family) {
    static const std::map<std::string, std::string> map = {
        {"ＭＳ 明朝", "IPAMincho"},
        {"ＭＳ Ｐ明朝", "IPAPMincho"},
        {"ＭＳ ゴシック", "IPAGothic"},
        {"ＭＳ Ｐゴシック", "IPAPGothic"},
    };
    const auto it = map.find(family);
    return it != map.end() ? it->second : family;
}

} // namespace platform
