#pragma once
// A wave file's format, checked before the file reaches the sound library, whose
// reader trusts the header (a file declaring no channels divides by zero there).

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// How much of a file's start wave_problem needs: its `fmt ` chunk must lie within it.
inline constexpr size_t kWaveHeadBytes = 65536;

// Why the RIFF WAVE file starting with `head` cannot be played, or an empty string when
// its format is one the mixer plays: PCM of 8, 16, 24 or 32 bits or 32-bit IEEE float
// (plain or in the extensible header), 1 to 8 channels, a rate of 1 Hz to 384 kHz and
// a block alignment of one whole frame.
std::string wave_problem(std::string_view head);

} // namespace platform
