#include "platform/system/font_families.h"
#include "platform/system/text.h"

#include <fontconfig/fontconfig.h>

#include <memory>
#include <stdexcept>

namespace platform {

std::string font_file(const std::string& family) {
    // One fontconfig configuration of our own, released at exit.
    static const std::unique_ptr<FcConfig, void (*)(FcConfig*)> config(FcInitLoadConfigAndFonts(),
                                                                       FcConfigDestroy);
    const std::string wanted = stand_in_family(family);
    std::unique_ptr<FcPattern, void (*)(FcPattern*)> pattern(
        FcNameParse(reinterpret_cast<const FcChar8*>(wanted.c_str())), FcPatternDestroy);
    std::string file;
    if (config && pattern) {
        FcConfigSubstitute(config.get(), pattern.get(), FcMatchPattern);
        FcDefaultSubstitute(pattern.get());
        FcResult result = FcResultNoMatch;
        std::unique_ptr<FcPattern, void (*)(FcPattern*)> match(
            FcFontMatch(config.get(), pattern.get(), &result), FcPatternDestroy);
        FcChar8* path = nullptr;
        if (match && FcPatternGetString(match.get(), FC_FILE, 0, &path) == FcResultMatch) {
            file = reinterpret_cast<const char*>(path);
        }
    }
    if (file.empty()) {
        throw std::runtime_error("no font found for \"" + family + "\"");
    }
    return file;
}

} // namespace platform
