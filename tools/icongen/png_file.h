#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace icongen {

// Straight (not premultiplied) alpha, as PNG stores it.
struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Rgba&) const = default;
};

// Pixels row by row from the top; every pixel starts fully transparent.
class RgbaImage {
  public:
    RgbaImage(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    const Rgba& at(int x, int y) const { return pixels_[index(x, y)]; }
    Rgba& at(int x, int y) { return pixels_[index(x, y)]; }

  private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }

    int width_;
    int height_;
    std::vector<Rgba> pixels_;
};

// A complete 8-bit RGBA PNG file: the header, one compressed data chunk, the end.
std::vector<std::uint8_t> encode_png(const RgbaImage& image);

// Writes beside the target and renames, so that a failed run never leaves a truncated
// icon that looks finished. Throws std::runtime_error naming the file.
void write_png(const std::filesystem::path& file, const RgbaImage& image);

} // namespace icongen
