// The wave-file check that stands between game files and the sound library.

#include "platform/wave_file.h"

#include <gtest/gtest.h>

#include <cstdint>

using platform::wave_problem;

namespace {

void put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

struct Format {
    uint16_t tag = 1;
    uint16_t channels = 2;
    uint32_t rate = 44100;
    uint16_t block_align = 4;
    uint16_t bits = 16;
    uint16_t sub_tag = 1; // for the extensible header
};

std::string fmt_chunk(const Format& f) {
    std::string body;
    put16(body, f.tag);
    put16(body, f.channels);
    put32(body, f.rate);
    put32(body, f.rate * f.block_align);
    put16(body, f.block_align);
    put16(body, f.bits);
    if (f.tag == 0xFFFE) {
        put16(body, 22);
        put16(body, f.bits);
        put32(body, 3);
        put16(body, f.sub_tag);
        body += std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    }
    std::string chunk = "fmt ";
    put32(chunk, static_cast<uint32_t>(body.size()));
    return chunk + body;
}

std::string chunk(const std::string& id, const std::string& body) {
    std::string out = id;
    put32(out, static_cast<uint32_t>(body.size()));
    return out + body;
}

std::string wave(const std::string& chunks) {
    std::string out = "RIFF";
    put32(out, static_cast<uint32_t>(4 + chunks.size()));
    return out + "WAVE" + chunks + "data" + std::string("\x04\0\0\0\1\2\3\4", 8);
}

std::string wave(const Format& f) {
    return wave(fmt_chunk(f));
}

} // namespace

TEST(WaveFile, FormatsTheMixerPlaysPass) {
    EXPECT_EQ(wave_problem(wave(Format{})), "");
    EXPECT_EQ(wave_problem(wave(Format{1, 1, 22050, 1, 8})), "");
    EXPECT_EQ(wave_problem(wave(Format{1, 6, 48000, 18, 24})), "");
    EXPECT_EQ(wave_problem(wave(Format{3, 2, 96000, 8, 32})), "");
    EXPECT_EQ(wave_problem(wave(Format{0xFFFE, 2, 44100, 4, 16, 1})), "");
    EXPECT_EQ(wave_problem(wave(Format{0xFFFE, 1, 44100, 4, 32, 3})), "");
    // Other chunks may come first, of any length (the mixer pads none), even a long one.
    EXPECT_EQ(wave_problem(wave(chunk("junk", "abc") + fmt_chunk(Format{}))), "");
    EXPECT_EQ(wave_problem(wave(chunk("junk", std::string(100000, 'x')) + fmt_chunk(Format{}))),
              "");
}

TEST(WaveFile, HeadersThatWouldMisleadTheMixerAreRefused) {
    EXPECT_NE(wave_problem(wave(Format{1, 0, 44100, 0, 16})).find("0 channels"), std::string::npos);
    EXPECT_NE(wave_problem(wave(Format{1, 9, 44100, 18, 16})), "");
    EXPECT_NE(wave_problem(wave(Format{1, 2, 0, 4, 16})).find("rate of 0"), std::string::npos);
    EXPECT_NE(wave_problem(wave(Format{1, 2, 4000000, 4, 16})), "");
    EXPECT_NE(wave_problem(wave(Format{1, 2, 44100, 3, 16})).find("block alignment"),
              std::string::npos);
    EXPECT_NE(wave_problem(wave(Format{1, 2, 44100, 0, 0})), "");
    EXPECT_NE(wave_problem(wave(Format{1, 2, 44100, 6, 12})), "");
    EXPECT_NE(wave_problem(wave(Format{3, 2, 44100, 16, 64})), "");
    EXPECT_NE(wave_problem(wave(Format{2, 2, 44100, 4, 16})).find("sample format 2"),
              std::string::npos);
    EXPECT_NE(wave_problem(wave(Format{0xFFFE, 2, 44100, 4, 16, 2})), "");
}

TEST(WaveFile, ChunksTheMixerWouldReadDifferentlyAreRefused) {
    // Found by fuzzing: the mixer takes the last format chunk, and a second one declaring
    // 65282 channels made it ask for a buffer of negative size.
    Format hostile{1, 65282, 0xF4FFFFFF, 2, 8};
    EXPECT_EQ(wave_problem(wave(fmt_chunk(Format{}) + fmt_chunk(hostile))),
              "more than one format (fmt) chunk");
    // Its loop and text chunks hold lengths of their own that the mixer trusts.
    for (const char* id : {"LIST", "smpl", "id3 "}) {
        EXPECT_NE(wave_problem(wave(fmt_chunk(Format{}) + chunk(id, "INFOINAM\xFF\xFF"))), "")
            << id;
    }
    // A chunk of length zero ends the mixer's walk: nothing after it counts.
    EXPECT_EQ(wave_problem(wave(fmt_chunk(Format{}) + chunk("junk", ""))), "no data chunk");
    std::string no_data = "RIFF";
    put32(no_data, 100);
    EXPECT_EQ(wave_problem(no_data + "WAVE" + fmt_chunk(Format{})), "no data chunk");
}

TEST(WaveFile, FilesThatAreNotWholeWavesAreRefused) {
    EXPECT_EQ(wave_problem(""), "not a RIFF WAVE file");
    EXPECT_EQ(wave_problem("this is not a sound"), "not a RIFF WAVE file");
    const std::string good = wave(Format{});
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
