#include "platform/system/language.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using platform::Language;

namespace {

Language language_of(const std::map<std::string, std::string>& environment) {
    return platform::language_of_environment([&](const char* name) -> const char* {
        const auto it = environment.find(name);
        return it == environment.end() ? nullptr : it->second.c_str();
    });
}

} // namespace

TEST(Language, JapaneseForJapaneseAndForNoLanguageAtAllEnglishForEveryOther) {
    for (const char* original : {"ja_JP.UTF-8", "ja", "ja_JP.eucJP", "C", "C.UTF-8", "POSIX", ""}) {
        EXPECT_EQ(platform::language_of_locale(original), Language::Japanese) << original;
    }
    for (const char* other : {"en_US.UTF-8", "en", "fr_FR.UTF-8", "de", "zh_CN.UTF-8", "jv_ID"}) {
        EXPECT_EQ(platform::language_of_locale(other), Language::English) << other;
    }
}

TEST(Language, TheVariablesDecideInGettextsOrder) {
    EXPECT_EQ(language_of({}), Language::Japanese);
    EXPECT_EQ(language_of({{"LANG", "en_GB.UTF-8"}}), Language::English);
    EXPECT_EQ(language_of({{"LANG", "en_GB.UTF-8"}, {"LC_MESSAGES", "ja_JP.UTF-8"}}),
              Language::Japanese);
    EXPECT_EQ(language_of({{"LC_MESSAGES", "ja_JP.UTF-8"}, {"LC_ALL", "de_DE.UTF-8"}}),
              Language::English);
    EXPECT_EQ(language_of({{"LC_ALL", "de_DE.UTF-8"}, {"LANGUAGE", "ja"}}), Language::Japanese);
    // An empty variable is as good as none.
    EXPECT_EQ(language_of({{"LANG", "fr_FR.UTF-8"}, {"LC_ALL", ""}, {"LANGUAGE", ""}}),
              Language::English);
}

TEST(Language, ALanguageListTakesItsFirstJapaneseOrEnglishEntry) {
    EXPECT_EQ(language_of({{"LANGUAGE", "fr:ja:en"}}), Language::Japanese);
    EXPECT_EQ(language_of({{"LANGUAGE", "fr:en_GB:ja"}}), Language::English);
    EXPECT_EQ(language_of({{"LANGUAGE", "fr:de"}}), Language::English);
    EXPECT_EQ(language_of({{"LANGUAGE", "::ja"}, {"LANG", "en_US"}}), Language::Japanese);
}
