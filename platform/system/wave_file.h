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

// Why the file cannot be played, or an empty string when it can. Its chunks are walked
// the way the mixer walks them (one after another, unpadded, until a chunk of length
// zero or the end of the file). A playable file has one `fmt ` chunk holding PCM of 8,
// 16, 24 or 32 bits or 32-bit IEEE float (plain or in the extensible header), 1 to 8
// channels, a rate of 1 Hz to 384 kHz and a block alignment of one whole frame; it has
// a `data` chunk, no metadata chunk the mixer would parse (`LIST`, `smpl`, `id3 `), and
// at most 4096 chunks.
std::string wave_problem(const WaveReader& read);

// The same for a whole file held in memory.
std::string wave_problem(std::string_view file);

// Why a piece of the browser page's music, which is Ogg Vorbis, cannot be played, or an
// empty string when it can: it must begin with an Ogg page whose first packet is a Vorbis
// identification header. The mixer's decoder checks the stream from there, with bounds.
std::string ogg_vorbis_problem(const WaveReader& read);

} // namespace platform
