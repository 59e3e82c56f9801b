#pragma once
// What a browser asks of a program that a desktop does not. It keeps a program that has
// waited alive after main returns: the exit status must be handed to the page explicitly.
// And the page chooses the language, with a switch of its own.

#include "platform/system/language.h"

#include <functional>

namespace platform {

#ifdef __EMSCRIPTEN__
// Ends the program with `status` for the page to see; does not return.
int end_in_browser(int status);
// The language the page shows: the player's choice on its switch, else the browser's.
Language chosen_language();
// Calls `show` with the language each time the player turns the page's switch.
void on_language_switch(std::function<void(Language)> show);
#else
// The status main returns.
inline int end_in_browser(int status) {
    return status;
}
// The user's language.
inline Language chosen_language() {
    return user_language();
}
// A desktop has no switch: the language stays the one the system gave at the start.
inline void on_language_switch(std::function<void(Language)>) {}
#endif

} // namespace platform
