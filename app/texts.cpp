#include "app/texts.h"

#include "app/screen_data.h"

namespace app {

namespace {

// The Latin face of the English texts, sized in points as the Japanese one.
constexpr const char* kLatinFamily = "Arial";
constexpr const char* kJapaneseGothic = "ＭＳ Ｐゴシック";

} // namespace

Texts::Texts(platform::Language language)
    : english_(platform::Catalogue::parse(stored_bytes(kEnglishCatalogue))), language_(language),
      installed_before_(platform::install_catalogue(nullptr)) {
    choose(language);
}

Texts::~Texts() {
    platform::install_catalogue(installed_before_);
}

void Texts::choose(platform::Language language) {
    language_ = language;
    platform::install_catalogue(language == platform::Language::English ? &english_ : nullptr);
}

platform::Font Texts::font(const platform::Font& japanese,
                           std::optional<double> english_size_pt) const {
    if (language_ == platform::Language::Japanese || japanese.family != kJapaneseGothic) {
        return japanese;
    }
    platform::Font latin = japanese;
    latin.family = kLatinFamily;
    latin.size_pt = english_size_pt.value_or(japanese.size_pt);
    return latin;
}

} // namespace app
