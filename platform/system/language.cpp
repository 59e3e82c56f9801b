#include "platform/system/language.h"

#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace platform {

namespace {

bool starts_with(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// "ja_JP.UTF-8@x" -> "ja": the language part of a locale name.
std::string_view language_part(std::string_view locale) {
    return locale.substr(0, locale.find_first_of("_.@"));
}

bool is_original(std::string_view locale) {
    const std::string_view language = language_part(locale);
    return language.empty() || language == "ja" || language == "C" || language == "POSIX";
}

// The first entry of a LANGUAGE list that names one of the game's languages, where there is
// one; otherwise its first entry.
std::string_view preferred_entry(std::string_view list) {
    std::string_view first;
    while (!list.empty()) {
        const size_t colon = list.find(':');
        const std::string_view entry = list.substr(0, colon);
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
        if (entry.empty()) {
            continue;
        }
        if (starts_with(entry, "ja") || starts_with(entry, "en")) {
            return entry;
        }
        if (first.empty()) {
            first = entry;
        }
    }
    return first;
}

} // namespace

std::string_view language_code(Language language) {
    return language == Language::Japanese ? "ja" : "en";
}

Language language_of_locale(std::string_view locale) {
    return is_original(locale) ? Language::Japanese : Language::English;
}

Language language_of_environment(const std::function<const char*(const char*)>& variable) {
    const char* list = variable("LANGUAGE");
    const std::string_view entry = preferred_entry(list ? list : "");
    if (!entry.empty()) {
        return language_of_locale(entry);
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = variable(name);
        if (value && *value) {
            return language_of_locale(value);
        }
    }
    return Language::Japanese;
}

Language user_language() {
#ifdef _WIN32
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? Language::Japanese
                                                                      : Language::English;
#else
    return language_of_environment([](const char* name) { return std::getenv(name); });
#endif
}

} // namespace platform
