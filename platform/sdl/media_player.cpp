#include "platform/sdl/media_player.h"

#include "platform/sdl/handles.h"
#include "platform/system/quoting.h"
#include "platform/system/wave_file.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace platform {

namespace {

using sdl::RwPtr;

// The open file as the format check reads it.
WaveReader reader_of(SDL_RWops& rw) {
    return [&rw](uint64_t offset, char* out, size_t size) -> size_t {
        if (offset > static_cast<uint64_t>(INT64_MAX) ||
            SDL_RWseek(&rw, static_cast<Sint64>(offset), RW_SEEK_SET) < 0) {
            return 0;
        }
        return SDL_RWread(&rw, out, 1, size);
    };
}

#ifndef __EMSCRIPTEN__
// The rate and channels the opened mixer converts every piece to.
WaveOutput mixer_output() {
    int rate = 0, channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&rate, &format, &channels) == 0) {
        return {};
    }
    return {static_cast<uint32_t>(rate), static_cast<uint16_t>(channels)};
}
#endif

// A browser's page carries its music as Ogg Vorbis (see the media interpreter).
std::string format_problem(SDL_RWops& rw) {
#ifdef __EMSCRIPTEN__
    return ogg_vorbis_problem(reader_of(rw));
#else
    return wave_problem(reader_of(rw), mixer_output());
#endif
}

struct MixerPiece : MusicOutput::Piece {
    sdl::MusicPtr music;
};

bool open_mixer() {
    return Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) == 0;
}

// The audio subsystem, with the silent dummy driver when the usual one cannot start.
bool init_audio_subsystem() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        return true;
    }
    std::fprintf(stderr, "sound: %s; trying the silent dummy driver\n", SDL_GetError());
    // Override, because an SDL_AUDIODRIVER variable would win over an ordinary hint.
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    bool ok = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    return ok;
}

// The opened mixer. Its pieces are freed by their owner before the mixer closes.
class MixerOutput : public MusicOutput {
  public:
    MixerOutput() {
        subsystem_ = init_audio_subsystem();
        if (!subsystem_) {
            std::fprintf(stderr, "sound: no audio driver at all (%s); music is off\n",
                         SDL_GetError());
            return;
        }
        if (open_mixer()) {
            opened_ = true;
            return;
        }
        std::fprintf(stderr, "sound: no sound device (%s); music plays silently\n", Mix_GetError());
        // Restarts the subsystem's driver in place, so the reference taken above still holds.
        opened_ = SDL_AudioInit("dummy") == 0 && open_mixer();
        if (!opened_) {
            std::fprintf(stderr, "sound: the dummy driver failed too (%s); music is off\n",
                         SDL_GetError());
        }
    }
    ~MixerOutput() override {
        if (opened_) {
            Mix_CloseAudio();
        }
        if (subsystem_) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }
    MixerOutput(const MixerOutput&) = delete;
    MixerOutput& operator=(const MixerOutput&) = delete;

    bool has_audio() const override { return opened_; }

    std::unique_ptr<Piece> load(const std::string& path, std::string& problem) override {
        RwPtr rw(SDL_RWFromFile(path.c_str(), "rb"));
        if (!rw) {
            problem = "cannot open " + quoted_path(path) + ": " + SDL_GetError();
            return nullptr;
        }
        if (const std::string why = format_problem(*rw); !why.empty()) {
            problem = "cannot play " + quoted_path(path) + ": " + why;
            return nullptr;
        }
        // The same open file goes on to the mixer, which streams it and closes it.
        SDL_RWseek(rw.get(), 0, RW_SEEK_SET);
        auto piece = std::make_unique<MixerPiece>();
        piece->music.reset(Mix_LoadMUS_RW(rw.release(), 1));
        if (!piece->music) {
            problem = "cannot play " + quoted_path(path) + ": " + Mix_GetError();
            return nullptr;
        }
        return piece;
    }

    bool play(Piece& piece, std::string& problem) override {
        // Every piece handed to play() came from load() above.
        if (Mix_PlayMusic(static_cast<MixerPiece&>(piece).music.get(), 0) != 0) {
            problem = std::string("the mixer would not play: ") + Mix_GetError();
            return false;
        }
        return true;
    }

    void halt() override { Mix_HaltMusic(); }

    bool is_playing() const override { return Mix_PlayingMusic() != 0; }

  private:
    bool subsystem_ = false;
    bool opened_ = false;
};

} // namespace

SdlMediaPlayer::SdlMediaPlayer() : MediaInterpreter(std::make_unique<MixerOutput>()) {}

} // namespace platform
