#include "platform/media.h"

#include "platform/paths.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

namespace platform {

namespace {

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

struct Words {
    std::vector<std::string> words;
    bool unclosed_quote = false;
};

// Splits on runs of blanks; a double-quoted word keeps its blanks.
Words split_words(std::string_view text) {
    Words out;
    size_t i = 0;
    while (i < text.size()) {
        if (is_blank(text[i])) {
            ++i;
            continue;
        }
        if (text[i] == '"') {
            size_t close = text.find('"', i + 1);
            if (close == std::string_view::npos) {
                out.unclosed_quote = true;
                return out;
            }
            out.words.emplace_back(text.substr(i + 1, close - i - 1));
            i = close + 1;
            continue;
        }
        size_t end = i;
        while (end < text.size() && !is_blank(text[end])) {
            ++end;
        }
        out.words.emplace_back(text.substr(i, end - i));
        i = end;
    }
    return out;
}

ParsedMediaCommand failure(int result, std::string problem) {
    ParsedMediaCommand parsed;
    parsed.result = result;
    parsed.problem = std::move(problem);
    return parsed;
}

ParsedMediaCommand parse_open(const std::vector<std::string>& words) {
    if (words.size() < 2 || lower(words[1]) == "type" || lower(words[1]) == "alias") {
        return failure(kMediaFilenameRequired, "open needs a file name");
    }
    ParsedMediaCommand parsed;
    parsed.command.verb = MediaCommand::Verb::Open;
    parsed.command.file = words[1];
    bool typed = false;
    for (size_t i = 2; i < words.size(); i += 2) {
        std::string keyword = lower(words[i]);
        if (keyword != "type" && keyword != "alias") {
            return failure(kMediaUnrecognizedKeyword, "open does not take \"" + words[i] + "\"");
        }
        if (i + 1 >= words.size()) {
            return failure(kMediaMissingStringArgument, "\"" + keyword + "\" needs a value");
        }
        std::string value = lower(words[i + 1]);
        bool repeated = keyword == "type" ? typed : !parsed.command.alias.empty();
        if (repeated) {
            return failure(kMediaDuplicateFlags, "\"" + keyword + "\" is given twice");
        }
        if (keyword == "type") {
            if (value != "waveaudio") {
                return failure(kMediaCannotLoadDriver, "only the WaveAudio device type is played");
            }
            typed = true;
        } else if (value == "all") {
            return failure(kMediaCannotUseAll, "\"all\" cannot be an alias");
        } else {
            parsed.command.alias = value;
        }
    }
    if (parsed.command.alias.empty()) {
        return failure(kMediaMissingParameter, "open needs an alias");
    }
    return parsed;
}

ParsedMediaCommand parse_on_alias(MediaCommand::Verb verb, const std::vector<std::string>& words) {
    if (words.size() < 2) {
        return failure(kMediaMissingDeviceName, words[0] + " needs an alias");
    }
    if (words.size() > 2) {
        return failure(kMediaUnrecognizedKeyword, words[0] + " does not take \"" + words[2] + "\"");
    }
    ParsedMediaCommand parsed;
    parsed.command.alias = lower(words[1]);
    if (parsed.command.alias == "all") {
        if (verb != MediaCommand::Verb::Close) {
            return failure(kMediaCannotUseAll, "only close takes \"all\"");
        }
        verb = MediaCommand::Verb::CloseAll;
        parsed.command.alias.clear();
    }
    parsed.command.verb = verb;
    return parsed;
}

} // namespace

ParsedMediaCommand parse_media_command(std::string_view text) {
    Words split = split_words(text);
    if (split.unclosed_quote) {
        return failure(kMediaNoClosingQuote, "a quoted name has no closing quote");
    }
    const std::vector<std::string>& words = split.words;
    if (words.empty()) {
        return failure(kMediaMissingCommandString, "the command is empty");
    }
    std::string verb = lower(words[0]);
    if (verb == "open") {
        return parse_open(words);
    }
    if (verb == "play") {
        return parse_on_alias(MediaCommand::Verb::Play, words);
    }
    if (verb == "stop") {
        return parse_on_alias(MediaCommand::Verb::Stop, words);
    }
    if (verb == "close") {
        return parse_on_alias(MediaCommand::Verb::Close, words);
    }
    return failure(kMediaUnrecognizedCommand, "unknown command \"" + words[0] + "\"");
}

namespace {

struct MusicDeleter {
    void operator()(Mix_Music* music) const { Mix_FreeMusic(music); }
};
using MusicPtr = std::unique_ptr<Mix_Music, MusicDeleter>;

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

} // namespace

// The opened mixer and the pieces opened on it. Declared before the pieces so that
// they are freed while the mixer is still open.
struct SdlMediaPlayer::Mixer {
    Mixer() {
        subsystem = init_audio_subsystem();
        if (!subsystem) {
            std::fprintf(stderr, "sound: no audio driver at all (%s); music is off\n",
                         SDL_GetError());
            return;
        }
        if (open_mixer()) {
            opened = true;
            return;
        }
        std::fprintf(stderr, "sound: no sound device (%s); music plays silently\n", Mix_GetError());
        // Restarts the subsystem's driver in place, so the reference taken above still holds.
        opened = SDL_AudioInit("dummy") == 0 && open_mixer();
        if (!opened) {
            std::fprintf(stderr, "sound: the dummy driver failed too (%s); music is off\n",
                         SDL_GetError());
        }
    }
    ~Mixer() {
        close_all();
        if (opened) {
            Mix_CloseAudio();
        }
        if (subsystem) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    void stop(const std::string& alias) {
        if (playing == alias) {
            Mix_HaltMusic();
            playing.clear();
        }
    }
    void close_all() {
        if (!playing.empty()) {
            Mix_HaltMusic();
            playing.clear();
        }
        pieces.clear();
    }

    bool subsystem = false;
    bool opened = false;
    std::map<std::string, MusicPtr> pieces; // by lower-case alias
    std::string playing;                    // the alias last started, until stopped
};

SdlMediaPlayer::SdlMediaPlayer() : mixer_(std::make_unique<Mixer>()) {}

SdlMediaPlayer::~SdlMediaPlayer() = default;

bool SdlMediaPlayer::has_audio() const {
    return mixer_->opened;
}

bool SdlMediaPlayer::is_playing(std::string_view alias) const {
    return !mixer_->playing.empty() && mixer_->playing == lower(alias) && Mix_PlayingMusic();
}

int SdlMediaPlayer::send_command(std::string_view command) {
    ParsedMediaCommand parsed = parse_media_command(command);
    if (parsed.result != kMediaOk) {
        return fail(command, parsed.result, parsed.problem);
    }
    if (!mixer_->opened) {
        return fail(command, kMediaCannotLoadDriver, "there is no audio");
    }
    std::string problem;
    int result = execute(parsed.command, problem);
    return result == kMediaOk ? kMediaOk : fail(command, result, problem);
}

int SdlMediaPlayer::fail(std::string_view command, int result, std::string problem) {
    last_error_ = std::move(problem);
    std::fprintf(stderr, "media command \"%.*s\" failed (%d): %s\n",
                 static_cast<int>(command.size()), command.data(), result, last_error_.c_str());
    return result;
}

int SdlMediaPlayer::execute(const MediaCommand& command, std::string& problem) {
    Mixer& m = *mixer_;
    if (command.verb == MediaCommand::Verb::CloseAll) {
        m.close_all();
        return kMediaOk;
    }
    auto piece = m.pieces.find(command.alias);
    if (command.verb == MediaCommand::Verb::Open) {
        if (piece != m.pieces.end()) {
            problem = "\"" + command.alias + "\" is already open";
            return kMediaDuplicateAlias;
        }
        Resolved file = resolve_game_file(command.file);
        if (!file.found) {
            problem = missing_file_message(file);
            return kMediaFileNotFound;
        }
        MusicPtr music(Mix_LoadMUS(file.path.c_str()));
        if (!music) {
            problem = "cannot play \"" + file.path + "\": " + Mix_GetError();
            return kMediaInvalidFile;
        }
        m.pieces.emplace(command.alias, std::move(music));
        return kMediaOk;
    }
    if (piece == m.pieces.end()) {
        problem = "\"" + command.alias + "\" is not open";
        return kMediaInvalidDeviceName;
    }
    switch (command.verb) {
    case MediaCommand::Verb::Play:
        if (Mix_PlayMusic(piece->second.get(), 0) != 0) {
            problem = std::string("the mixer would not play: ") + Mix_GetError();
            return kMediaHardware;
        }
        m.playing = command.alias;
        return kMediaOk;
    case MediaCommand::Verb::Stop:
        m.stop(command.alias);
        return kMediaOk;
    default: // Close
        m.stop(command.alias);
        m.pieces.erase(piece);
        return kMediaOk;
    }
}

} // namespace platform
