#pragma once
// Wave files made in memory, for the tests of the format check and the player.

#include <cstdint>
#include <string>

// Little-endian 16- and 32-bit values appended to `out`.
void put16(std::string& out, uint32_t v);
void put32(std::string& out, uint32_t v);

struct WaveFormat {
    uint16_t tag = 1;
    uint16_t channels = 2;
    uint32_t rate = 44100;
    uint16_t block_align = 4;
    uint16_t bits = 16;
    uint16_t sub_tag = 1; // for the extensible header (tag 0xFFFE)
};

// A chunk: its four-letter id, its length and its body.
std::string riff_chunk(const std::string& id, const std::string& body);

// The `fmt ` chunk of `f`, with the extensible header's 22 more bytes for tag 0xFFFE.
std::string fmt_chunk(const WaveFormat& f);

// A RIFF WAVE file holding `chunks`.
std::string riff_wave(const std::string& chunks);
