// The wave-file check that stands between game files and the sound library.

#include "platform/system/wave_file.h"
#include "tests/support/wave_bytes.h"

#include <gtest/gtest.h>

#include <cstdint>

using platform::wave_problem;

namespace {

// A file of `chunks` followed by four bytes of data.
std::string wave(const std::string& chunks) {
    return riff_wave(chunks + riff_chunk("data", "\1\2\3\4"));
}

std::string wave(const WaveFormat& f) {
    return wave(fmt_chunk(f));
}

} // namespace

TEST(WaveFile, FormatsTheMixerPlaysPass) {
    EXPECT_EQ(wave_problem(wave(WaveFormat{})), "");
    EXPECT_EQ(wave_problem(wave(WaveFormat{1, 1, 8000, 1, 8})), "");
    EXPECT_EQ(wave_problem(wave(WaveFormat{1, 6, 48000, 18, 24})), "");
    EXPECT_EQ(wave_problem(wave(WaveFormat{3, 2, 96000, 8, 32})), "");
    EXPECT_EQ(wave_problem(wave(WaveFormat{0xFFFE, 2, 44100, 4, 16, 1})), "");
    EXPECT_EQ(wave_problem(wave(WaveFormat{0xFFFE, 1, 44100, 4, 32, 3})), "");
    // Other chunks may come first, of any length (the mixer pads none), even a long one.
    EXPECT_EQ(wave_problem(wave(riff_chunk("junk", "abc") + fmt_chunk(WaveFormat{}))), "");
    EXPECT_EQ(
        wave_problem(wave(riff_chunk("junk", std::string(100000, 'x')) + fmt_chunk(WaveFormat{}))),
        "");
}

TEST(WaveFile, HeadersThatWouldMisleadTheMixerAreRefused) {
    EXPECT_NE(wave_problem(wave(WaveFormat{1, 0, 44100, 0, 16})).find("0 channels"),
              std::string::npos);
    EXPECT_NE(wave_problem(wave(WaveFormat{1, 9, 44100, 18, 16})), "");
    EXPECT_NE(wave_problem(wave(WaveFormat{1, 2, 0, 4, 16})).find("rate of 0"), std::string::npos);
    EXPECT_NE(wave_problem(wave(WaveFormat{1, 2, 4000000, 4, 16})), "");
    // Rates no music uses: the mixer converted each read at 1 Hz to 180 million frames.
    EXPECT_NE(wave_problem(wave(WaveFormat{1, 2, 1, 4, 16})).find("rate of 1 Hz"),
              std::string::npos);
    EXPECT_NE(wave_problem(wave(WaveFormat{1, 2, 7999, 4, 16})), "");
    // What a read costs depends on the rate the mixer converts to.
    const std::string eight_channels = wave(WaveFormat{1, 8, 8000, 16, 16});
    EXPECT_EQ(wave_problem(eight_channels, {192000, 2}), "");
    EXPECT_NE(wave_problem(eight_channels, {384000, 2}).find("KiB at a time"), std::string::npos);
    EXPECT_NE(wave_problem(wave(WaveFormat{1, 2, 44100, 3, 16})).find("block alignment"),
              std::string::npos);
    EXPECT_NE(wave_problem(wave(WaveFormat{1, 2, 44100, 0, 0})), "");
    EXPECT_NE(wave_problem(wave(WaveFormat{1, 2, 44100, 6, 12})), "");
    EXPECT_NE(wave_problem(wave(WaveFormat{3, 2, 44100, 16, 64})), "");
    EXPECT_NE(wave_problem(wave(WaveFormat{2, 2, 44100, 4, 16})).find("sample format 2"),
              std::string::npos);
    EXPECT_NE(wave_problem(wave(WaveFormat{0xFFFE, 2, 44100, 4, 16, 2})), "");
}

TEST(WaveFile, ChunksTheMixerWouldReadDifferentlyAreRefused) {
    // Found by fuzzing: the mixer takes the last format chunk, and a second one declaring
    // 65282 channels made it ask for a buffer of negative size.
    WaveFormat hostile{1, 65282, 0xF4FFFFFF, 2, 8};
    EXPECT_EQ(wave_problem(wave(fmt_chunk(WaveFormat{}) + fmt_chunk(hostile))),
              "more than one format (fmt) chunk");
    // Its loop and text chunks hold lengths of their own that the mixer trusts.
    for (const char* id : {"LIST", "smpl", "id3 "}) {
        EXPECT_NE(wave_problem(wave(fmt_chunk(WaveFormat{}) + riff_chunk(id, "INFOINAM\xFF\xFF"))),
                  "")
            << id;
    }
    // A chunk of length zero ends the mixer's walk: nothing after it counts.
    EXPECT_EQ(wave_problem(wave(fmt_chunk(WaveFormat{}) + riff_chunk("junk", ""))),
              "no data chunk");
    std::string no_data = "RIFF";
    put32(no_data, 100);
    EXPECT_EQ(wave_problem(no_data + "WAVE" + fmt_chunk(WaveFormat{})), "no data chunk");
    // An odd-length chunk padded as RIFF has it: the mixer reads on from the pad byte.
    EXPECT_EQ(wave_problem(wave(fmt_chunk(WaveFormat{}) + riff_chunk("junk", "abc") + '\0')),
              "the player finds no data chunk: it does not skip the pad byte after the "
              "odd-length chunk \"junk\"");
}

TEST(WaveFile, FilesThatAreNotWholeWavesAreRefused) {
    EXPECT_EQ(wave_problem(""), "not a RIFF WAVE file");
    EXPECT_EQ(wave_problem("this is not a sound"), "not a RIFF WAVE file");
    const std::string good = wave(WaveFormat{});
    for (size_t n = 0; n < 12 + 8 + 16; ++n) {
        EXPECT_NE(wave_problem(good.substr(0, n)), "") << "cut to " << n;
    }
    std::string no_fmt = "RIFF";
    put32(no_fmt, 12);
    no_fmt += "WAVEdata";
    put32(no_fmt, 0xFFFFFFF0u); // a chunk larger than the file
    EXPECT_NE(wave_problem(no_fmt), "");
    std::string short_fmt = "fmt ";
    put32(short_fmt, 8);
    EXPECT_NE(wave_problem(wave(short_fmt + "12345678")), "");
}

namespace {

std::string ogg_problem(const std::string& file) {
    return platform::ogg_vorbis_problem([&file](uint64_t offset, char* out, size_t size) {
        if (offset >= file.size()) {
            return size_t{0};
        }
        const size_t n = std::min<uint64_t>(size, file.size() - offset);
        file.copy(out, n, offset);
        return n;
    });
}

// An Ogg page header with `segments` segment lengths, then the first packet's start.
std::string ogg_page(unsigned char segments, const std::string& packet) {
    std::string page = "OggS";
    page += std::string(22, '\0');
    page += static_cast<char>(segments);
    page += std::string(segments, '\x1e');
    return page + packet;
}

} // namespace

TEST(OggFile, OnlyAVorbisStreamPasses) {
    const std::string identification("\x01vorbis", 7);
    EXPECT_EQ(ogg_problem(ogg_page(1, identification + "rest")), "");
    EXPECT_EQ(ogg_problem(ogg_page(255, identification)), "");
    EXPECT_EQ(ogg_problem(ogg_page(1, std::string("\x01opus..", 7))), "not an Ogg Vorbis file");
    // The packet cut short, the segment table running past the end, no page at all.
    EXPECT_EQ(ogg_problem(ogg_page(1, "\x01vor")), "not an Ogg Vorbis file");
    EXPECT_EQ(ogg_problem(ogg_page(200, "")), "not an Ogg Vorbis file");
    EXPECT_EQ(ogg_problem(wave(fmt_chunk(WaveFormat{}))), "not an Ogg file");
    EXPECT_EQ(ogg_problem("OggS"), "not an Ogg file");
    EXPECT_EQ(ogg_problem(""), "not an Ogg file");
    std::string version_one = ogg_page(1, identification);
    version_one[4] = 1;
    EXPECT_EQ(ogg_problem(version_one), "not an Ogg file");
}
