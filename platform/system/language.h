#pragma once
// Which of the game's two text sets a player gets: the original Japanese, or the English
// translation for everyone whose system speaks another language.

#include <functional>
#include <string_view>

namespace platform {

enum class Language { Japanese, English };

// "ja" or "en".
std::string_view language_code(Language language);

// The language of one locale name as the system gives it ("ja_JP.UTF-8", "en_GB", "fr"):
// Japanese for Japanese and for "C", "POSIX" or nothing (the original); English for every
// other language.
Language language_of_locale(std::string_view locale);

// The language the environment asks for, by the variables gettext reads in their order:
// LANGUAGE (a list: its first Japanese or English entry), LC_ALL, LC_MESSAGES, LANG.
Language language_of_environment(const std::function<const char*(const char*)>& variable);

// The user's language: Windows' interface language there, the environment elsewhere.
Language user_language();

} // namespace platform
