#pragma once
// A wave file checked before it reaches the sound library, whose reader trusts what the
// file says: a header declaring no channels divides by zero there, and lengths inside
// its metadata chunks are read without bounds.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

// Reads up to `size` bytes at `offset` of the file into `out`; returns how many it read.
using WaveReader = std::function<size_t(uint64_t offset, char* out, size_t size)>;

// What the mixer converts every file to: by default the rate and channels it is opened with.
struct WaveOutput {
    uint32_t rate = 44100;
    uint16_t channels = 2;
};

// Why the file cannot be played, or an empty string when it can. Its chunks are walked
// the way the mixer walks them (one after another, unpadded, until a chunk of length
// zero or the end of the file). A playable file has one `fmt ` chunk holding PCM of 8,
// 16, 24 or 32 bits or 32-bit IEEE float (plain or in the extensible header), 1 to 8
// channels, a rate of 8 kHz to 384 kHz and a block alignment of one whole frame; it has
// a `data` chunk, no metadata chunk the mixer would parse (`LIST`, `smpl`, `id3 `), and
// at most 4096 chunks. The mixer converts each read of the file to `output` in one
// piece, so a format whose read would grow past a few megabytes is refused too: a
// rate of 1 Hz made one read of 8 KB cost gigabytes.
std::string wave_problem(const WaveReader& read, const WaveOutput& output = {});

// The same for a whole file held in memory.
std::string wave_problem(std::string_view file, const WaveOutput& output = {});

// Why a piece of the browser page's music, which is Ogg Vorbis, cannot be played, or an
// empty string when it can: it must begin with an Ogg page whose first packet is a Vorbis
// identification header. The mixer's decoder checks the stream from there, with bounds.
std::string ogg_vorbis_problem(const WaveReader& read);

} // namespace platform
