#include "platform/sdl/media_player.h"

#include "platform/sdl/handles.h"
#include "platform/system/quoting.h"
#include "platform/system/wave_file.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

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

// The rate and channels the opened mixer converts every piece to.
WaveOutput mixer_output() {
    int rate = 0, channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&rate, &format, &channels) == 0) {
        return {};
    }
    return {static_cast<uint32_t>(rate), static_cast<uint16_t>(channels)};
}

#ifdef _WIN32
// Whether the file starts as an Ogg file does.
bool looks_like_ogg(SDL_RWops& rw) {
    char magic[4] = {};
    return reader_of(rw)(0, magic, sizeof magic) == sizeof magic &&
           std::string_view(magic, sizeof magic) == "OggS";
}
#endif

// A browser's page carries its music as Ogg Vorbis (see the media interpreter), and so do
// the Windows packages, where a wave file asked for by name plays too.
std::string format_problem(SDL_RWops& rw) {
#if defined(__EMSCRIPTEN__)
    return ogg_vorbis_problem(reader_of(rw));
#else
#if defined(_WIN32)
    if (looks_like_ogg(rw)) {
        return ogg_vorbis_problem(reader_of(rw));
    }
#endif
    return wave_problem(reader_of(rw), mixer_output());
#endif
}

struct MixerPiece : MusicOutput::Piece {
    sdl::MusicPtr music;
};

bool open_mixer() {
    return Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) == 0;
}

// Music cut off in mid-sound clicks: a stop takes it down to nothing over a few
// milliseconds first, short enough that what follows the stop keeps its timing.
// The mixer's output passes through apply(), on the audio thread (the browser's main
// thread between turns), so a fade begins with the next buffer the mixer fills.
class FadeOut {
  public:
    FadeOut(uint32_t rate, uint16_t channels)
        : frames_(std::max<int>(1, static_cast<int>(rate) * kMilliseconds / 1000)),
          channels_(std::max<uint16_t>(1, channels)) {}

    // The mixer's post-mix hook. Mix_OpenAudio keeps the format asked for: 16-bit samples.
    static void SDLCALL apply(void* fade, Uint8* stream, int bytes) {
        static_cast<FadeOut*>(fade)->take_down(reinterpret_cast<Sint16*>(stream),
                                               static_cast<size_t>(bytes) / sizeof(Sint16));
    }

    // Takes the sound down and returns once it is silent, or, when the mixer does not run
    // (a device that failed, a page not yet allowed to sound), after a few of its buffers'
    // time. The sound stays silent until pass().
    void run() {
        left_.store(frames_);
        state_.store(State::Fading);
        const Uint64 give_up = SDL_GetTicks64() + kWaitLimitMs;
        while (state_.load() != State::Silent && SDL_GetTicks64() < give_up) {
            SDL_Delay(1);
        }
    }

    // Lets the sound through again, once the faded music has been halted.
    void pass() { state_.store(State::Passing); }

  private:
    enum class State { Passing, Fading, Silent };
    static constexpr int kMilliseconds = 8;
    static constexpr Uint64 kWaitLimitMs = 250;

    void take_down(Sint16* samples, size_t count) {
        const State state = state_.load();
        if (state == State::Passing) {
            return;
        }
        size_t at = 0;
        if (state == State::Fading) {
            int left = left_.load();
            for (; left > 0 && at + channels_ <= count; at += channels_, --left) {
                for (size_t c = at; c < at + channels_; ++c) {
                    samples[c] = static_cast<Sint16>(samples[c] * left / (frames_ + 1));
                }
            }
            left_.store(left);
            State fading = State::Fading;
            // A stop that gave up waiting has halted the music and let the sound through.
            if (left > 0 || !state_.compare_exchange_strong(fading, State::Silent)) {
                return;
            }
        }
        std::fill(samples + at, samples + count, Sint16{0});
    }

    const int frames_;
    const size_t channels_;
    std::atomic<int> left_{0}; // frames of the fade still to come
    std::atomic<State> state_{State::Passing};
};

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
        opened_ = open_mixer();
        if (!opened_) {
            std::fprintf(stderr, "sound: no sound device (%s); music plays silently\n",
                         Mix_GetError());
            // Restarts the subsystem's driver in place, so the reference taken above still holds.
            opened_ = SDL_AudioInit("dummy") == 0 && open_mixer();
        }
        if (!opened_) {
            std::fprintf(stderr, "sound: the dummy driver failed too (%s); music is off\n",
                         SDL_GetError());
            return;
        }
        const WaveOutput output = mixer_output();
        fade_.emplace(output.rate, output.channels);
        Mix_SetPostMix(&FadeOut::apply, &*fade_);
    }
    ~MixerOutput() override {
        if (opened_) {
            // The hook outlives a closed mixer: the next one would call it.
            Mix_SetPostMix(nullptr, nullptr);
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
        // The mixer would cut what plays.
        halt();
        // Every piece handed to play() came from load() above.
        if (Mix_PlayMusic(static_cast<MixerPiece&>(piece).music.get(), 0) != 0) {
            problem = std::string("the mixer would not play: ") + Mix_GetError();
            return false;
        }
        return true;
    }

    void halt() override {
        if (fade_ && Mix_PlayingMusic() != 0) {
            fade_->run();
        }
        Mix_HaltMusic();
        if (fade_) {
            fade_->pass();
        }
    }

    bool is_playing() const override { return Mix_PlayingMusic() != 0; }

  private:
    bool subsystem_ = false;
    bool opened_ = false;
    std::optional<FadeOut> fade_; // while the mixer is open
};

} // namespace

SdlMediaPlayer::SdlMediaPlayer() : MediaInterpreter(std::make_unique<MixerOutput>()) {}

} // namespace platform
