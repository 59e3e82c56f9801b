#include "font_lookup_fontconfig.h"

#include "platform/system/font_families.h"
#include "platform/system/quoting.h"
#include "platform/system/text.h"

#include <cstdio>

namespace platform {

namespace {

using PatternPtr = std::unique_ptr<FcPattern, void (*)(FcPattern*)>;

FcConfig* load_config(const std::string& config_file) {
    if (config_file.empty()) {
        return FcInitLoadConfigAndFonts();
    }
    FcConfig* config = FcConfigCreate();
    if (config && (!FcConfigParseAndLoad(
                       config, reinterpret_cast<const FcChar8*>(config_file.c_str()), FcTrue) ||
                   !FcConfigBuildFonts(config))) {
        FcConfigDestroy(config);
        return nullptr;
    }
    return config;
}

PatternPtr best_match(FcConfig* config, const std::string& family) {
    PatternPtr pattern(FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str())),
                       FcPatternDestroy);
    if (!config || !pattern) {
        return {nullptr, FcPatternDestroy};
    }
    FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    return {FcFontMatch(config, pattern.get(), &result), FcPatternDestroy};
}

std::string text_of(const FcPattern* face, const char* property) {
    FcChar8* text = nullptr;
    return FcPatternGetString(face, property, 0, &text) == FcResultMatch
               ? reinterpret_cast<const char*>(text)
               : "";
}

// Whether the face has the kana and kanji of the game's texts, checked by a few of them.
bool has_japanese(const FcPattern* face) {
    FcCharSet* characters = nullptr;
    if (FcPatternGetCharSet(face, FC_CHARSET, 0, &characters) != FcResultMatch) {
        return false;
    }
    for (const FcChar32 c : {0x30A2u /* ア */, 0x3042u /* あ */, 0x6A5Fu /* 機 */}) {
        if (!FcCharSetHasChar(characters, c)) {
            return false;
        }
    }
    return true;
}

} // namespace

FontconfigLookup::FontconfigLookup(const std::string& config_file)
    : config_(load_config(config_file), FcConfigDestroy) {}

std::string FontconfigLookup::file(const std::string& family, bool bold) {
    const PatternPtr face =
        best_match(config_.get(), stand_in_family(family) + (bold ? ":bold" : ""));
    const std::string file = face ? text_of(face.get(), FC_FILE) : "";
    if (file.empty()) {
        throw FontNotFound("no font found for the game's text: it needs " + needed_font(family));
    }
    if (is_japanese_family(family) && !has_japanese(face.get()) && warned_.insert(family).second) {
        std::fprintf(stderr,
                     "fonts: the game's Japanese text needs %s; %s stands in for it without "
                     "Japanese characters, which show as empty boxes\n",
                     needed_font(family).c_str(), quoted(text_of(face.get(), FC_FAMILY)).c_str());
    }
    return file;
}

std::string font_file(const std::string& family, bool bold) {
    // One configuration of our own, released at exit.
    static FontconfigLookup lookup;
    return lookup.file(family, bold);
}

} // namespace platform
