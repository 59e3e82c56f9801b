#include "platform/legacy/media.h"

#include "platform/system/paths.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <utility>
#include <vector>

namespace platform {

namespace {

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

#if defined(__EMSCRIPTEN__) || defined(_WIN32)
// The music as a browser's page and the Windows packages carry it: compressed, as Ogg
// Vorbis files named as the wave files are but for the extension (43 MB of waves would be
// most of their download).
std::string compressed_music_name(std::string_view name) {
    constexpr std::string_view wave = ".wav";
    if (lower(name).ends_with(wave)) {
        return std::string(name.substr(0, name.size() - wave.size())) + ".ogg";
    }
    return std::string(name);
}
#endif

// The page has only the compressed music; on Windows a wave file by the asked name, where
// one is found, plays as it is.
Resolved resolve_music(std::string_view name) {
#if defined(__EMSCRIPTEN__)
    return resolve_game_file(compressed_music_name(name));
#elif defined(_WIN32)
    Resolved wave = resolve_game_file(name);
    if (wave.found) {
        return wave;
    }
    Resolved compressed = resolve_game_file(compressed_music_name(name));
    return compressed.found ? compressed : wave;
#else
    return resolve_game_file(name);
#endif
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

MediaInterpreter::MediaInterpreter(std::unique_ptr<MusicOutput> output)
    : output_(std::move(output)) {}

// Every piece is released while the output is still there to release it on.
MediaInterpreter::~MediaInterpreter() {
    close_all();
}

bool MediaInterpreter::has_audio() const {
    return output_->has_audio();
}

bool MediaInterpreter::is_playing(std::string_view alias) const {
    return !playing_.empty() && playing_ == lower(alias) && output_->is_playing();
}

int MediaInterpreter::send_command(std::string_view command) {
    ParsedMediaCommand parsed = parse_media_command(command);
    if (parsed.result != kMediaOk) {
        return fail(command, parsed.result, parsed.problem);
    }
    if (!output_->has_audio()) {
        return fail(command, kMediaCannotLoadDriver, "there is no audio");
    }
    std::string problem;
    int result = execute(parsed.command, problem);
    return result == kMediaOk ? kMediaOk : fail(command, result, problem);
}

int MediaInterpreter::fail(std::string_view command, int result, std::string problem) {
    last_error_ = std::move(problem);
    std::fprintf(stderr, "media command \"%.*s\" failed (%d): %s\n",
                 static_cast<int>(command.size()), command.data(), result, last_error_.c_str());
    return result;
}

void MediaInterpreter::stop(const std::string& alias) {
    if (playing_ == alias) {
        output_->halt();
        playing_.clear();
    }
}

void MediaInterpreter::close_all() {
    if (!playing_.empty()) {
        output_->halt();
        playing_.clear();
    }
    pieces_.clear();
}

int MediaInterpreter::open(const MediaCommand& command, std::string& problem) {
    if (pieces_.contains(command.alias)) {
        problem = "\"" + command.alias + "\" is already open";
        return kMediaDuplicateAlias;
    }
    Resolved file = resolve_music(command.file);
    if (!file.found) {
        problem = missing_file_message(file);
        return kMediaFileNotFound;
    }
    std::unique_ptr<MusicOutput::Piece> piece = output_->load(file.path, problem);
    if (!piece) {
        return kMediaInvalidFile;
    }
    pieces_.emplace(command.alias, std::move(piece));
    return kMediaOk;
}

int MediaInterpreter::execute(const MediaCommand& command, std::string& problem) {
    if (command.verb == MediaCommand::Verb::CloseAll) {
        close_all();
        return kMediaOk;
    }
    if (command.verb == MediaCommand::Verb::Open) {
        return open(command, problem);
    }
    auto piece = pieces_.find(command.alias);
    if (piece == pieces_.end()) {
        problem = "\"" + command.alias + "\" is not open";
        return kMediaInvalidDeviceName;
    }
    switch (command.verb) {
    case MediaCommand::Verb::Play:
        if (!output_->play(*piece->second, problem)) {
            return kMediaHardware;
        }
        playing_ = command.alias;
        return kMediaOk;
    case MediaCommand::Verb::Stop:
        stop(command.alias);
        return kMediaOk;
    default: // Close
        stop(command.alias);
        pieces_.erase(piece);
        return kMediaOk;
    }
}

} // namespace platform
