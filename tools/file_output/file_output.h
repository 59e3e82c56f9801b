#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace tools {

// Writes beside the target and renames, so a failed run never leaves a truncated file that
// looks finished. Throws std::runtime_error naming the file.
void write_file_whole(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

} // namespace tools
