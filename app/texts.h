#pragma once
// The screens' texts in the player's language: the original Japanese, or English from the
// translators' catalogue the program carries. Choosing a language installs its catalogue
// for tr().

#include "platform/system/catalogue.h"
#include "platform/system/language.h"
#include "platform/system/text.h"

#include <optional>

namespace app {

class Texts {
  public:
    explicit Texts(platform::Language language);
    ~Texts();
    Texts(const Texts&) = delete;
    Texts& operator=(const Texts&) = delete;

    platform::Language language() const { return language_; }
    void choose(platform::Language language);

    // A screen's font in the chosen language: in English the Latin face takes the place
    // of the Japanese Gothic, at `english_size_pt` where the Japanese size would not fit.
    platform::Font font(const platform::Font& japanese,
                        std::optional<double> english_size_pt = {}) const;

  private:
    platform::Catalogue english_;
    platform::Language language_;
    const platform::Catalogue* installed_before_;
};

} // namespace app
