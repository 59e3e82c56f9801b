// The media commands played through SDL_mixer, on the dummy and disk audio drivers.

#include "platform/sdl/media_player.h"
#include "platform/system/paths.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/wave_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace platform;
using namespace std::chrono_literals;

namespace {

// A 16-bit PCM file holding a 440 Hz tone, its header declaring `channels` channels.
void write_tone_wav(const fs::path& path, double seconds, uint16_t channels = 1) {
    const uint32_t rate = 22050;
    const auto samples = static_cast<uint32_t>(rate * seconds);
    std::string pcm;
    for (uint32_t i = 0; i < samples; ++i) {
        put16(pcm, static_cast<uint16_t>(
                       static_cast<int16_t>(12000 * std::sin(2 * 3.14159265 * 440 * i / rate))));
    }
    const WaveFormat format{1, channels, rate, 2, 16};
    std::ofstream(path, std::ios::binary) << riff_wave(fmt_chunk(format) + riff_chunk("data", pcm));
}

template <typename Done> bool wait_until(Done done, std::chrono::milliseconds limit) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

class SdlMedia : public ::testing::Test {
  protected:
    void SetUp() override {
        write_tone_wav(dir_ / "tone.wav", 0.2);
        write_tone_wav(dir_ / "other.wav", 0.2);
        std::ofstream(dir_ / "junk.wav") << "this is not a sound";
        // The sound library's own reader divides by the channel count.
        write_tone_wav(dir_ / "silent.wav", 0.2, 0);
        fs::create_directory(dir_ / "folder");
        data_.emplace(kDataFolderVariable, dir_.c_str());
    }
    void TearDown() override { data_.reset(); }

    ScratchDir scratch_{"skarvelin-sdl-media"};
    const fs::path& dir_ = scratch_.path();
    std::optional<ScopedEnv> data_;
};

TEST_F(SdlMedia, OpenPlayStopCloseAndNothingAfterClose) {
    SdlMediaPlayer player;
    ASSERT_TRUE(player.has_audio());
    EXPECT_EQ(player.send_command("open c:\\TONE.wav type WaveAudio alias sov"), kMediaOk);
    EXPECT_FALSE(player.is_playing("sov"));
    EXPECT_EQ(player.send_command("play sov"), kMediaOk);
    EXPECT_TRUE(player.is_playing("SOV"));
    EXPECT_EQ(player.send_command("stop sov"), kMediaOk);
    EXPECT_FALSE(player.is_playing("sov"));
    EXPECT_EQ(player.send_command("play sov"), kMediaOk);
    EXPECT_EQ(player.send_command("close sov"), kMediaOk);
    EXPECT_FALSE(player.is_playing("sov"));
    EXPECT_EQ(player.send_command("play sov"), kMediaInvalidDeviceName);
    EXPECT_EQ(player.send_command("stop sov"), kMediaInvalidDeviceName);
    EXPECT_EQ(player.send_command("close sov"), kMediaInvalidDeviceName);
}

TEST_F(SdlMedia, FailedOpensOpenNothing) {
    SdlMediaPlayer player;
    EXPECT_EQ(player.send_command("open c:\\missing.wav type WaveAudio alias sov"),
              kMediaFileNotFound);
    EXPECT_NE(player.last_error().find((dir_ / "missing.wav").string()), std::string::npos)
        << player.last_error();
    EXPECT_EQ(player.send_command("open c:\\..\\tone.wav alias sov"), kMediaFileNotFound);
    EXPECT_EQ(player.send_command("open c:\\junk.wav alias sov"), kMediaInvalidFile);
    EXPECT_EQ(player.send_command("open c:\\silent.wav alias sov"), kMediaInvalidFile);
    EXPECT_NE(player.last_error().find("0 channels"), std::string::npos) << player.last_error();
    EXPECT_EQ(player.send_command("open c:\\folder alias sov"), kMediaFileNotFound);
    EXPECT_NE(player.last_error().find("is a folder"), std::string::npos) << player.last_error();
    EXPECT_EQ(player.send_command("play sov"), kMediaInvalidDeviceName);
    // The alias is still free.
    EXPECT_EQ(player.send_command("open c:\\tone.wav alias sov"), kMediaOk);
}

TEST_F(SdlMedia, BadCommandsLeaveWhatIsOpenAndPlayingAlone) {
    SdlMediaPlayer player;
    ASSERT_EQ(player.send_command("open c:\\tone.wav alias sov"), kMediaOk);
    ASSERT_EQ(player.send_command("play sov"), kMediaOk);
    EXPECT_EQ(player.send_command("open c:\\other.wav alias SOV"), kMediaDuplicateAlias);
    EXPECT_EQ(player.send_command("play nothing"), kMediaInvalidDeviceName);
    EXPECT_EQ(player.send_command("close nothing"), kMediaInvalidDeviceName);
    EXPECT_EQ(player.send_command("close sov please"), kMediaUnrecognizedKeyword);
    EXPECT_EQ(player.send_command("eject sov"), kMediaUnrecognizedCommand);
    EXPECT_EQ(player.send_command(""), kMediaMissingCommandString);
    EXPECT_TRUE(player.is_playing("sov"));
}

TEST_F(SdlMedia, CloseAllStopsAndClosesEverything) {
    SdlMediaPlayer player;
    EXPECT_EQ(player.send_command("close all"), kMediaOk); // nothing open yet
    ASSERT_EQ(player.send_command("open c:\\tone.wav alias a"), kMediaOk);
    ASSERT_EQ(player.send_command("open c:\\other.wav alias b"), kMediaOk);
    ASSERT_EQ(player.send_command("play b"), kMediaOk);
    EXPECT_EQ(player.send_command("close all"), kMediaOk);
    EXPECT_FALSE(player.is_playing("b"));
    EXPECT_EQ(player.send_command("play a"), kMediaInvalidDeviceName);
    EXPECT_EQ(player.send_command("play b"), kMediaInvalidDeviceName);
    // The screens reopen the same alias after each close all.
    EXPECT_EQ(player.send_command("open c:\\other.wav alias a"), kMediaOk);
}

TEST_F(SdlMedia, APiecePlaysOnceAndDoesNotRepeat) {
    SdlMediaPlayer player;
    ASSERT_EQ(player.send_command("open c:\\tone.wav alias sov"), kMediaOk);
    ASSERT_EQ(player.send_command("play sov"), kMediaOk);
    EXPECT_TRUE(wait_until([&] { return !player.is_playing("sov"); }, 3000ms));
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(player.is_playing("sov"));
    EXPECT_EQ(player.send_command("play sov"), kMediaOk); // and can be played again
    EXPECT_TRUE(player.is_playing("sov"));
}

// The disk driver writes what the mixer produced: music that plays leaves sound in the
// file, an opened piece that is never played leaves silence.
TEST_F(SdlMedia, MusicReallyReachesTheSoundOutput) {
    auto mixed_output = [&](bool play) {
        fs::path out = dir_ / (play ? "played.raw" : "silent.raw");
        ScopedEnv driver("SDL_AUDIODRIVER", "disk");
        ScopedEnv file("SDL_DISKAUDIOFILE", out.c_str());
        {
            SdlMediaPlayer player;
            EXPECT_EQ(player.send_command("open c:\\tone.wav alias sov"), kMediaOk);
            if (play) {
                EXPECT_EQ(player.send_command("play sov"), kMediaOk);
            }
            std::this_thread::sleep_for(300ms);
        }
        std::ifstream in(out, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_GT(bytes.size(), 4096u);
        return bytes.find_first_not_of('\0') != std::string::npos;
    };
    EXPECT_TRUE(mixed_output(true));
    EXPECT_FALSE(mixed_output(false));
}

// The disk driver's output, 16-bit samples of two channels, and silence after it.
std::vector<int> mixed_samples(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<int> samples;
    for (int16_t sample = 0; in.read(reinterpret_cast<char*>(&sample), 2);) {
        samples.push_back(sample);
    }
    samples.resize(samples.size() + 4000);
    return samples;
}

// A stop, a close, "close all" and the player's end take a loud tone down over its last
// few milliseconds instead of cutting it, and leave the mixer ready to sound again.
TEST_F(SdlMedia, EveryStopTakesTheMusicDownInsteadOfCuttingIt) {
    write_tone_wav(dir_ / "long.wav", 2);
    const auto ms = [](double time) { return 2 * static_cast<ptrdiff_t>(time * 44.1); };
    for (const std::string stop : {"stop sov", "close sov", "close all", ""}) {
        SCOPED_TRACE(stop);
        ScopedEnv driver("SDL_AUDIODRIVER", "disk");
        ScopedEnv file("SDL_DISKAUDIOFILE", dir_ / "out.raw");
        {
            SdlMediaPlayer player;
            ASSERT_EQ(player.send_command("open c:\\long.wav alias sov"), kMediaOk);
            ASSERT_EQ(player.send_command("play sov"), kMediaOk);
            std::this_thread::sleep_for(200ms);
            if (!stop.empty()) {
                EXPECT_EQ(player.send_command(stop), kMediaOk);
                std::this_thread::sleep_for(100ms);
                EXPECT_EQ(player.send_command("open c:\\long.wav alias again"), kMediaOk);
                EXPECT_EQ(player.send_command("play again"), kMediaOk);
                std::this_thread::sleep_for(200ms);
            }
        }
        const std::vector<int> out = mixed_samples(dir_ / "out.raw");
        const auto sound = std::find_if(out.begin(), out.end(), [](int s) { return s != 0; });
        const auto end = std::search_n(sound, out.end(), ms(20), 0); // the first stop
        ASSERT_GT(end - sound, ms(30));
        const auto peak = [&](ptrdiff_t from, ptrdiff_t to) {
            return std::abs(*std::max_element(
                end + from, end + to, [](int a, int b) { return std::abs(a) < std::abs(b); }));
        };
        int step = 0;
        for (auto s = end - ms(10); s <= end; ++s) {
            step = std::max(step, std::abs(*s - *(s - 2)));
        }
        EXPECT_GT(peak(-ms(25), -ms(10)), 9000) << "at full level until 10 ms before the stop";
        EXPECT_LT(peak(-ms(2), 0), 3000) << "nearly silent in the last 2 ms";
        EXPECT_LT(step, 1000) << "no jump; the 440 Hz tone changes by up to 760 a frame";
        if (!stop.empty()) {
            EXPECT_GT(peak(0, out.end() - end), 9000) << "the next piece is heard";
        }
    }
}

TEST_F(SdlMedia, WithoutAUsableDriverItFallsBackToSilence) {
    {
        ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
        SdlMediaPlayer player;
        EXPECT_TRUE(player.has_audio());
        EXPECT_EQ(player.send_command("open c:\\tone.wav alias sov"), kMediaOk);
        EXPECT_EQ(player.send_command("play sov"), kMediaOk);
        EXPECT_EQ(player.send_command("close all"), kMediaOk);
    }
    {
        // A driver that starts but cannot open its device, like ALSA without a sound card.
        ScopedEnv driver("SDL_AUDIODRIVER", "disk");
        ScopedEnv file("SDL_DISKAUDIOFILE", (dir_ / "no" / "such" / "dir.raw").c_str());
        SdlMediaPlayer player;
        EXPECT_TRUE(player.has_audio());
        EXPECT_EQ(player.send_command("open c:\\tone.wav alias sov"), kMediaOk);
        EXPECT_EQ(player.send_command("play sov"), kMediaOk);
        EXPECT_TRUE(player.is_playing("sov"));
    }
}

} // namespace
