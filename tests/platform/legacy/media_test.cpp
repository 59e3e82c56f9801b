// The media-command interpreter on a fake sound output: parsing, aliases, what
// plays, and the result codes, without any audio.

#include "platform/legacy/media.h"
#include "platform/system/paths.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace platform;

namespace {

TEST(MediaParser, AcceptsTheGamesCommandsInAnyCaseAndSpacing) {
    ParsedMediaCommand open =
        parse_media_command("  OPEN \t c:\\risinghigh.wav  Type waveaudio   ALIAS Sov ");
    ASSERT_EQ(open.result, kMediaOk) << open.problem;
    EXPECT_EQ(open.command.verb, MediaCommand::Verb::Open);
    EXPECT_EQ(open.command.file, "c:\\risinghigh.wav");
    EXPECT_EQ(open.command.alias, "sov");

    ParsedMediaCommand quoted = parse_media_command("open \"c:\\my music.wav\" alias a");
    ASSERT_EQ(quoted.result, kMediaOk);
    EXPECT_EQ(quoted.command.file, "c:\\my music.wav");

    EXPECT_EQ(parse_media_command("play SOV").command.verb, MediaCommand::Verb::Play);
    EXPECT_EQ(parse_media_command("play SOV").command.alias, "sov");
    EXPECT_EQ(parse_media_command("Stop sov").command.verb, MediaCommand::Verb::Stop);
    EXPECT_EQ(parse_media_command("close sov").command.verb, MediaCommand::Verb::Close);
    EXPECT_EQ(parse_media_command("CLOSE  ALL").command.verb, MediaCommand::Verb::CloseAll);
}

TEST(MediaParser, MalformedCommandsGetTheirCodes) {
    const std::pair<const char*, int> cases[] = {
        {"", kMediaMissingCommandString},
        {"   ", kMediaMissingCommandString},
        {"rewind sov", kMediaUnrecognizedCommand},
        {"play", kMediaMissingDeviceName},
        {"stop", kMediaMissingDeviceName},
        {"close", kMediaMissingDeviceName},
        {"play sov now", kMediaUnrecognizedKeyword},
        {"play all", kMediaCannotUseAll},
        {"stop all", kMediaCannotUseAll},
        {"open", kMediaFilenameRequired},
        {"open alias sov", kMediaFilenameRequired},
        {"open c:\\a.wav", kMediaMissingParameter},
        {"open c:\\a.wav type waveaudio", kMediaMissingParameter},
        {"open c:\\a.wav alias", kMediaMissingStringArgument},
        {"open c:\\a.wav type", kMediaMissingStringArgument},
        {"open c:\\a.wav alias a alias b", kMediaDuplicateFlags},
        {"open c:\\a.wav type waveaudio type waveaudio alias a", kMediaDuplicateFlags},
        {"open c:\\a.wav type sequencer alias a", kMediaCannotLoadDriver},
        {"open c:\\a.wav alias all", kMediaCannotUseAll},
        {"open c:\\a.wav loudly alias a", kMediaUnrecognizedKeyword},
        {"open \"c:\\a.wav alias a", kMediaNoClosingQuote},
    };
    for (const auto& [text, code] : cases) {
        ParsedMediaCommand parsed = parse_media_command(text);
        EXPECT_EQ(parsed.result, code) << '"' << text << '"';
        EXPECT_FALSE(parsed.problem.empty()) << '"' << text << '"';
    }
}

// Plays nothing; keeps a log of what it was asked, and which of its pieces still exist.
class FakeOutput : public MusicOutput {
  public:
    struct Log {
        std::vector<std::string> calls;
        int live_pieces = 0;
        bool output_gone = false;
    };

    explicit FakeOutput(Log& log) : log_(log) {}
    ~FakeOutput() override { log_.output_gone = true; }

    bool has_audio() const override { return audio; }

    std::unique_ptr<Piece> load(const std::string& path, std::string& problem) override {
        const std::string name = fs::path(path).filename().string();
        log_.calls.push_back("load " + name);
        if (name == "junk.wav") {
            problem = "not audio";
            return nullptr;
        }
        return std::make_unique<FakePiece>(log_, name);
    }
    bool play(Piece& piece, std::string& problem) override {
        const std::string& name = static_cast<FakePiece&>(piece).name;
        log_.calls.push_back("play " + name);
        if (refuse_to_play) {
            problem = "refused";
            return false;
        }
        sounding = true;
        return true;
    }
    void halt() override {
        log_.calls.push_back("halt");
        sounding = false;
    }
    bool is_playing() const override { return sounding; }

    bool audio = true;
    bool refuse_to_play = false;
    bool sounding = false;

  private:
    struct FakePiece : Piece {
        FakePiece(Log& owner, std::string file) : log(owner), name(std::move(file)) {
            ++log.live_pieces;
        }
        ~FakePiece() override {
            EXPECT_FALSE(log.output_gone) << "a piece outlived its output";
            --log.live_pieces;
        }
        Log& log;
        std::string name;
    };

    Log& log_;
};

class Interpreter : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"tone.wav", "other.wav", "junk.wav"}) {
            std::ofstream(dir_ / name) << "x";
        }
        data_.emplace(kDataFolderVariable, dir_.c_str());
        auto fake = std::make_unique<FakeOutput>(log_);
        output_ = fake.get();
        player_.emplace(std::move(fake));
    }
    void TearDown() override {
        player_.reset();
        data_.reset();
    }
    int send(const char* command) { return player_->send_command(command); }

    ScratchDir scratch_{"skarvelin-media"};
    const fs::path& dir_ = scratch_.path();
    std::optional<ScopedEnv> data_;
    FakeOutput::Log log_;
    FakeOutput* output_ = nullptr;
    std::optional<MediaInterpreter> player_;
};

} // namespace

TEST_F(Interpreter, OpenPlayStopCloseAndNothingAfterClose) {
    EXPECT_EQ(send("open c:\\TONE.wav type WaveAudio alias sov"), kMediaOk);
    EXPECT_FALSE(player_->is_playing("sov"));
    EXPECT_EQ(send("play sov"), kMediaOk);
    EXPECT_TRUE(player_->is_playing("SOV"));
    EXPECT_EQ(send("stop sov"), kMediaOk);
    EXPECT_FALSE(player_->is_playing("sov"));
    EXPECT_EQ(send("play sov"), kMediaOk);
    EXPECT_EQ(send("close sov"), kMediaOk);
    EXPECT_FALSE(player_->is_playing("sov"));
    EXPECT_EQ(log_.live_pieces, 0);
    EXPECT_EQ(send("play sov"), kMediaInvalidDeviceName);
    EXPECT_EQ(send("stop sov"), kMediaInvalidDeviceName);
    EXPECT_EQ(send("close sov"), kMediaInvalidDeviceName);
    EXPECT_EQ(log_.calls, (std::vector<std::string>{"load tone.wav", "play tone.wav", "halt",
                                                    "play tone.wav", "halt"}));
}

TEST_F(Interpreter, OnePiecePlaysAtATime) {
    ASSERT_EQ(send("open c:\\tone.wav alias a"), kMediaOk);
    ASSERT_EQ(send("open c:\\other.wav alias b"), kMediaOk);
    ASSERT_EQ(send("play a"), kMediaOk);
    ASSERT_EQ(send("play b"), kMediaOk);
    EXPECT_FALSE(player_->is_playing("a"));
    EXPECT_TRUE(player_->is_playing("b"));
    // Stopping the one that no longer plays leaves the other playing.
    EXPECT_EQ(send("stop a"), kMediaOk);
    EXPECT_TRUE(player_->is_playing("b"));
    // A piece that ended on its own is not playing, though nobody stopped it.
    output_->sounding = false;
    EXPECT_FALSE(player_->is_playing("b"));
}

TEST_F(Interpreter, FailedCommandsChangeNothingAndSayWhy) {
    ASSERT_EQ(send("open c:\\tone.wav alias sov"), kMediaOk);
    ASSERT_EQ(send("play sov"), kMediaOk);
    const std::pair<const char*, int> cases[] = {
        {"open c:\\other.wav alias SOV", kMediaDuplicateAlias},
        {"open c:\\missing.wav alias m", kMediaFileNotFound},
        {"open c:\\..\\tone.wav alias up", kMediaFileNotFound},
        {"open c:\\junk.wav alias junk", kMediaInvalidFile},
        {"play nothing", kMediaInvalidDeviceName},
        {"close nothing", kMediaInvalidDeviceName},
        {"close sov please", kMediaUnrecognizedKeyword},
        {"eject sov", kMediaUnrecognizedCommand},
        {"", kMediaMissingCommandString},
    };
    for (const auto& [command, code] : cases) {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(send(command), code) << command;
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(player_->last_error().empty()) << command;
        EXPECT_EQ(said, "media command \"" + std::string(command) + "\" failed (" +
                            std::to_string(code) + "): " + player_->last_error() + "\n");
    }
    EXPECT_TRUE(player_->is_playing("sov"));
    EXPECT_EQ(log_.live_pieces, 1);
    // The aliases that failed to open are still free.
    EXPECT_EQ(send("open c:\\other.wav alias junk"), kMediaOk);
    EXPECT_EQ(send("play m"), kMediaInvalidDeviceName);
}

TEST_F(Interpreter, APieceTheOutputWillNotPlayIsNotPlaying) {
    ASSERT_EQ(send("open c:\\tone.wav alias a"), kMediaOk);
    ASSERT_EQ(send("open c:\\other.wav alias b"), kMediaOk);
    ASSERT_EQ(send("play a"), kMediaOk);
    output_->refuse_to_play = true;
    EXPECT_EQ(send("play b"), kMediaHardware);
    EXPECT_EQ(player_->last_error(), "refused");
    EXPECT_FALSE(player_->is_playing("b"));
}

TEST_F(Interpreter, WithoutAudioEveryValidCommandFails) {
    output_->audio = false;
    EXPECT_FALSE(player_->has_audio());
    EXPECT_EQ(send("open c:\\tone.wav alias a"), kMediaCannotLoadDriver);
    EXPECT_EQ(send("close all"), kMediaCannotLoadDriver);
    EXPECT_EQ(send("rewind a"), kMediaUnrecognizedCommand); // a bad command is still bad
    EXPECT_TRUE(log_.calls.empty());
}

TEST_F(Interpreter, CloseAllAndTheEndStopTheMusicAndFreeEveryPiece) {
    EXPECT_EQ(send("close all"), kMediaOk); // nothing open yet
    EXPECT_TRUE(log_.calls.empty());
    ASSERT_EQ(send("open c:\\tone.wav alias a"), kMediaOk);
    ASSERT_EQ(send("open c:\\other.wav alias b"), kMediaOk);
    ASSERT_EQ(send("play b"), kMediaOk);
    EXPECT_EQ(send("CLOSE ALL"), kMediaOk);
    EXPECT_EQ(log_.calls.back(), "halt");
    EXPECT_EQ(log_.live_pieces, 0);
    EXPECT_EQ(send("play a"), kMediaInvalidDeviceName);

    // The pieces go before the output they were loaded on.
    ASSERT_EQ(send("open c:\\tone.wav alias a"), kMediaOk);
    ASSERT_EQ(send("play a"), kMediaOk);
    player_.reset();
    EXPECT_EQ(log_.calls.back(), "halt");
    EXPECT_EQ(log_.live_pieces, 0);
    EXPECT_TRUE(log_.output_gone);
}
