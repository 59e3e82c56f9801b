#pragma once
// SDL's handles as owning pointers, each released by its own SDL call. Everything that
// holds an SDL object (the backend, the data tools, tests and benchmarks) uses these.

#include <SDL.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>

#include <memory>

namespace sdl {

struct WindowDeleter {
    void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
};
struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
struct FontDeleter {
    void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
};
struct MusicDeleter {
    void operator()(Mix_Music* m) const { Mix_FreeMusic(m); }
};
struct GameControllerCloser {
    void operator()(SDL_GameController* c) const { SDL_GameControllerClose(c); }
};
struct JoystickCloser {
    void operator()(SDL_Joystick* j) const { SDL_JoystickClose(j); }
};
struct RwCloser {
    void operator()(SDL_RWops* rw) const { SDL_RWclose(rw); }
};

using WindowPtr = std::unique_ptr<SDL_Window, WindowDeleter>;
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;
using FontPtr = std::unique_ptr<TTF_Font, FontDeleter>;
using MusicPtr = std::unique_ptr<Mix_Music, MusicDeleter>;
using GameControllerPtr = std::unique_ptr<SDL_GameController, GameControllerCloser>;
using JoystickPtr = std::unique_ptr<SDL_Joystick, JoystickCloser>;
using RwPtr = std::unique_ptr<SDL_RWops, RwCloser>;

} // namespace sdl
