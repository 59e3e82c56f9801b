#include "png_file.h"

#include "tools/file_output/file_output.h"

#include <zlib.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace icongen {
namespace {

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

// A chunk's checksum covers its type and data, not its length.
void put_chunk(std::vector<std::uint8_t>& out, std::string_view type,
               const std::vector<std::uint8_t>& data) {
    put_u32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t type_start = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc =
        crc32(0L, out.data() + type_start, static_cast<uInt>(out.size() - type_start));
    put_u32(out, static_cast<std::uint32_t>(crc));
}

std::vector<std::uint8_t> header_data(const RgbaImage& image) {
    std::vector<std::uint8_t> data;
    put_u32(data, static_cast<std::uint32_t>(image.width()));
    put_u32(data, static_cast<std::uint32_t>(image.height()));
    constexpr std::uint8_t bit_depth = 8, rgba = 6, deflate = 0, adaptive = 0, progressive = 0;
    data.insert(data.end(), {bit_depth, rgba, deflate, adaptive, progressive});
    return data;
}

// Every row led by filter type 0: the icons are small and mostly flat, so the
// compressor alone keeps them small.
std::vector<std::uint8_t> compressed_rows(const RgbaImage& image) {
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(image.height()) *
                (1 + 4 * static_cast<std::size_t>(image.width())));
    for (int y = 0; y < image.height(); ++y) {
        raw.push_back(0);
        for (int x = 0; x < image.width(); ++x) {
            const Rgba& p = image.at(x, y);
            raw.insert(raw.end(), {p.r, p.g, p.b, p.a});
        }
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(size);
    if (compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        throw std::runtime_error("cannot compress the image");
    }
    packed.resize(size);
    return packed;
}

} // namespace

RgbaImage::RgbaImage(int width, int height)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {}

std::vector<std::uint8_t> encode_png(const RgbaImage& image) {
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    put_chunk(out, "IHDR", header_data(image));
    put_chunk(out, "IDAT", compressed_rows(image));
    put_chunk(out, "IEND", {});
    return out;
}

void write_png(const std::filesystem::path& file, const RgbaImage& image) {
    tools::write_file_whole(file, encode_png(image));
}

} // namespace icongen
