#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace musicgen {

// A canonical 44-byte-header RIFF/WAVE file of 16-bit PCM; samples interleaved by channel.
std::vector<std::uint8_t> encode_wav(std::span<const std::int16_t> samples, int channels,
                                     int sample_rate);

// Writes beside the target and renames, so a failed run never leaves a truncated file that
// looks finished. Throws std::runtime_error naming the file.
void write_file(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

} // namespace musicgen
