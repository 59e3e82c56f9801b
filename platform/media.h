#pragma once
// Music driven by text commands in the manner of the classic media control interface,
// the form in which the game sends them:
//   open c:\NAME.wav type WaveAudio alias ALIAS    (type is optional)
//   play ALIAS    stop ALIAS    close ALIAS    close all
// Keywords, aliases and the device type are case-insensitive; words are separated by any
// run of blanks; a file name with blanks may be written in double quotes.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Result codes of send_command, numbered like the classic interface's errors for the
// same faults. Nothing is changed by a command that fails.
enum MediaResult : int {
    kMediaOk = 0,
    kMediaUnrecognizedKeyword = 259,   // a word the command does not take
    kMediaUnrecognizedCommand = 261,   // unknown verb
    kMediaHardware = 262,              // the mixer refused to start playing
    kMediaInvalidDeviceName = 263,     // the alias is not open
    kMediaCannotLoadDriver = 266,      // no audio at all, or a device type other than WaveAudio
    kMediaMissingCommandString = 267,  // empty command
    kMediaMissingStringArgument = 269, // "type" or "alias" without its value
    kMediaMissingParameter = 273,      // open without an alias
    kMediaFileNotFound = 275,          // the file is missing, or its name leaves the data folder
    kMediaCannotUseAll = 279,          // "all" with anything but close, or as an alias
    kMediaDuplicateAlias = 289,        // open of an alias that is already open
    kMediaMissingDeviceName = 292,     // play, stop or close without an alias
    kMediaNoClosingQuote = 294,        // a quoted file name without its closing quote
    kMediaDuplicateFlags = 295,        // "type" or "alias" given twice
    kMediaInvalidFile = 296,           // the file exists but is not playable audio
    kMediaFilenameRequired = 304,      // open without a file name
};

class MediaPlayer {
  public:
    virtual ~MediaPlayer() = default;
    // Carries out one command: kMediaOk, or one of the codes above.
    virtual int send_command(std::string_view command) = 0;
};

struct MediaCommand {
    enum class Verb { Open, Play, Stop, Close, CloseAll };
    Verb verb = Verb::CloseAll;
    std::string file;  // as written, for open
    std::string alias; // in lower case
};

struct ParsedMediaCommand {
    int result = kMediaOk; // kMediaOk when `command` is valid
    std::string problem;   // what is wrong, for the message
    MediaCommand command;
};

ParsedMediaCommand parse_media_command(std::string_view text);

// Records every command and succeeds: for tests and runs without sound.
class RecordingMediaPlayer : public MediaPlayer {
  public:
    int send_command(std::string_view command) override {
        commands.emplace_back(command);
        return kMediaOk;
    }
    std::vector<std::string> commands;
};

// Plays through SDL_mixer, streaming each piece from its file. The mixer plays one piece
// at a time, so playing one alias stops any other that is playing. Files resolve through
// resolve_game_file. Without a sound device it switches to SDL's silent dummy driver so
// that every command still works; each failing command writes one line to stderr.
class SdlMediaPlayer : public MediaPlayer {
  public:
    SdlMediaPlayer();
    ~SdlMediaPlayer() override;
    SdlMediaPlayer(const SdlMediaPlayer&) = delete;
    SdlMediaPlayer& operator=(const SdlMediaPlayer&) = delete;

    int send_command(std::string_view command) override;

    // True while the piece opened under `alias` is sounding.
    bool is_playing(std::string_view alias) const;
    // False when not even the dummy driver could be opened: every command then fails.
    bool has_audio() const;
    // Why the last failing command failed.
    const std::string& last_error() const { return last_error_; }

  private:
    struct Mixer;
    int fail(std::string_view command, int result, std::string problem);
    int execute(const MediaCommand& command, std::string& problem);

    std::unique_ptr<Mixer> mixer_;
    std::string last_error_;
};

} // namespace platform
