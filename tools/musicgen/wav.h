#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace musicgen {

// A canonical 44-byte-header RIFF/WAVE file of 16-bit PCM; samples interleaved by channel.
std::vector<std::uint8_t> encode_wav(std::span<const std::int16_t> samples, int channels,
                                     int sample_rate);

} // namespace musicgen
