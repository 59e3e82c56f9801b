#include "ico_file.h"

#include "icon.h"
#include "tools/file_output/file_output.h"

#include <limits>
#include <string>

namespace icongen {
namespace {

// Unlike PNG, the icon's own headers are little-endian.
void put_u16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put_u16(out, value & 0xffff);
    put_u16(out, value >> 16);
}

std::uint8_t side_byte(int side) {
    if (side < 1 || side > kLargestIcoImage) {
        throw IconError("an icon file holds images of 1 to " + std::to_string(kLargestIcoImage) +
                        " pixels a side, not " + std::to_string(side));
    }
    return static_cast<std::uint8_t>(side == kLargestIcoImage ? 0 : side);
}

void put_entry(std::vector<std::uint8_t>& out, const RgbaImage& image, std::size_t bytes,
               std::size_t offset) {
    if (offset + bytes > std::numeric_limits<std::uint32_t>::max()) {
        throw IconError("the images are too large for one icon file");
    }
    constexpr std::uint8_t true_colour = 0, reserved = 0;
    constexpr std::uint32_t planes = 1, bits_per_pixel = 32;
    out.insert(out.end(),
               {side_byte(image.width()), side_byte(image.height()), true_colour, reserved});
    put_u16(out, planes);
    put_u16(out, bits_per_pixel);
    put_u32(out, static_cast<std::uint32_t>(bytes));
    put_u32(out, static_cast<std::uint32_t>(offset));
}

} // namespace

std::vector<std::uint8_t> encode_ico(const std::vector<RgbaImage>& images) {
    if (images.empty() || images.size() > std::numeric_limits<std::uint16_t>::max()) {
        throw IconError("an icon file holds 1 to 65535 images, not " +
                        std::to_string(images.size()));
    }
    constexpr std::uint32_t reserved = 0, icon_type = 1;
    constexpr std::size_t header_bytes = 6, entry_bytes = 16;
    std::vector<std::uint8_t> out;
    put_u16(out, reserved);
    put_u16(out, icon_type);
    put_u16(out, static_cast<std::uint32_t>(images.size()));

    std::vector<std::uint8_t> pngs;
    const std::size_t first_image = header_bytes + entry_bytes * images.size();
    for (const RgbaImage& image : images) {
        const std::vector<std::uint8_t> png = encode_png(image);
        put_entry(out, image, png.size(), first_image + pngs.size());
        pngs.insert(pngs.end(), png.begin(), png.end());
    }
    out.insert(out.end(), pngs.begin(), pngs.end());
    return out;
}

void write_ico(const std::filesystem::path& file, const std::vector<RgbaImage>& images) {
    tools::write_file_whole(file, encode_ico(images));
}

} // namespace icongen
