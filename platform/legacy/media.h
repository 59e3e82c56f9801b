#pragma once
// Music driven by text commands in the manner of the classic media control interface,
// the form in which the game sends them:
//   open c:\NAME.wav type WaveAudio alias ALIAS    (type is optional)
//   play ALIAS    stop ALIAS    close ALIAS    close all
// Keywords, aliases and the device type are case-insensitive; words are separated by any
// run of blanks; a file name with blanks may be written in double quotes. The commands
// are interpreted here; the sound itself comes from a MusicOutput (the SDL backend's
// SdlMediaPlayer puts the two together).

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// Result codes of send_command, numbered like the classic interface's errors for the
// same faults. Nothing is changed by a command that fails.
enum MediaResult : int {
    kMediaOk = 0,
    kMediaUnrecognizedKeyword = 259,   // a word the command does not take
    kMediaUnrecognizedCommand = 261,   // unknown verb
    kMediaHardware = 262,              // the output refused to start playing
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

// The sound output a MediaInterpreter drives. It plays one piece at a time:
// starting one stops any other.
class MusicOutput {
  public:
    // A piece loaded for playing, released with the object. Only the output that
    // loaded a piece plays it.
    class Piece {
      public:
        virtual ~Piece() = default;
    };

    virtual ~MusicOutput() = default;
    // False when there is no audio at all: every command then fails.
    virtual bool has_audio() const = 0;
    // The piece in a file; null, with `problem` said, when it is not playable audio.
    virtual std::unique_ptr<Piece> load(const std::string& path, std::string& problem) = 0;
    // Plays a piece once from its start; false, with `problem` said, when it cannot.
    virtual bool play(Piece& piece, std::string& problem) = 0;
    virtual void halt() = 0;
    // Whether anything is sounding now.
    virtual bool is_playing() const = 0;
};

// Carries out media commands on a MusicOutput: the aliases, what is open, what
// plays, and the result codes. Files resolve through resolve_game_file. Each
// failing command writes one line to stderr.
class MediaInterpreter : public MediaPlayer {
  public:
    explicit MediaInterpreter(std::unique_ptr<MusicOutput> output);
    ~MediaInterpreter() override;
    MediaInterpreter(const MediaInterpreter&) = delete;
    MediaInterpreter& operator=(const MediaInterpreter&) = delete;

    int send_command(std::string_view command) override;

    // True while the piece opened under `alias` is sounding.
    bool is_playing(std::string_view alias) const;
    // False when the output has no audio at all: every command then fails.
    bool has_audio() const;
    // Why the last failing command failed.
    const std::string& last_error() const { return last_error_; }

  private:
    int fail(std::string_view command, int result, std::string problem);
    int execute(const MediaCommand& command, std::string& problem);
    int open(const MediaCommand& command, std::string& problem);
    void stop(const std::string& alias);
    void close_all();

    std::unique_ptr<MusicOutput> output_;
    std::map<std::string, std::unique_ptr<MusicOutput::Piece>> pieces_; // by lower-case alias
    std::string playing_; // the alias last started, until stopped
    std::string last_error_;
};

} // namespace platform
