#pragma once
// What the windows and the headless runner need from the world outside them.

#include "platform/system/language.h"

#include <functional>
#include <string>
#include <string_view>

namespace nox {
class Rnd;
}

namespace platform {
class Clock;
class EventPump;
class Joystick;
class KeyState;
class MediaPlayer;
class WindowSystem;
} // namespace platform

namespace app {

// Tests and the headless runner hand in doubles; `windows` is null when there is no
// window system.
struct Services {
    platform::Clock& clock;
    platform::KeyState& keys;
    platform::Joystick& joystick;
    platform::EventPump& events;
    platform::MediaPlayer& media;
    nox::Rnd& rnd;
    platform::WindowSystem* windows = nullptr;
    // Turns a game path ("c:\TarnChar.gif") into a file to open; throws
    // nox::FileError naming every place tried when there is none.
    std::function<std::string(std::string_view)> resolve;
    // The language of the screens' texts.
    platform::Language language = platform::Language::Japanese;
};

// The file behind a game path ("c:\TarnChar.gif") in the game's data folder;
// throws nox::FileError naming every place tried when it is missing.
std::string resolve_game_path(std::string_view path);

} // namespace app
