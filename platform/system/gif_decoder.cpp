#include "platform/system/gif_decoder.h"

#include "platform/system/image.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace platform {

namespace {

struct MemorySource {
    std::string_view bytes;
    size_t at = 0;
};

int read_from_memory(GifFileType* gif, GifByteType* out, int wanted) {
    auto& source = *static_cast<MemorySource*>(gif->UserData);
    const size_t n =
        std::min(static_cast<size_t>(std::max(wanted, 0)), source.bytes.size() - source.at);
    std::memcpy(out, source.bytes.data() + source.at, n);
    source.at += n;
    return static_cast<int>(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using GifPtr = std::unique_ptr<GifFileType, GifCloser>;

[[noreturn]] void refuse(const std::string& reason) {
    throw ImageError(reason);
}

// giflib has no text for some of its failures (and for none at all).
std::string error_text(int code) {
    const char* text = GifErrorString(code);
    return text ? text : "error " + std::to_string(code);
}

[[noreturn]] void refuse_decoding(const GifFileType& gif) {
    refuse("it is not a readable GIF picture (" + error_text(gif.Error) + ")");
}

void check_size(const char* what, int width, int height, const GifLimits& limits) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width > limits.max_width || height > limits.max_height) {
        refuse(std::string(what) + " is " + size + " pixels, larger than the " +
               std::to_string(limits.max_width) + " x " + std::to_string(limits.max_height) +
               " allowed");
    }
    if (width < limits.min_width || height < limits.min_height) {
        refuse(std::string(what) + " is " + size + " pixels, smaller than the " +
               std::to_string(limits.min_width) + " x " + std::to_string(limits.min_height) +
               " needed");
    }
}

// Skips extensions up to the first picture's descriptor, which it reads.
void read_first_descriptor(GifFileType& gif) {
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(&gif, &record) != GIF_OK) {
            refuse_decoding(gif);
        }
        if (record == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(&gif) != GIF_OK) {
                refuse_decoding(gif);
            }
            return;
        }
        if (record != EXTENSION_RECORD_TYPE) {
            refuse("it holds no picture");
        }
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(&gif, &code, &block) != GIF_OK) {
            refuse_decoding(gif);
        }
        while (block) {
            if (DGifGetExtensionNext(&gif, &block) != GIF_OK) {
                refuse_decoding(gif);
            }
        }
    }
}

// Row numbers in the order an interlaced picture stores them: every eighth row from
// 0, every eighth from 4, every fourth from 2, every second from 1.
std::vector<int> stored_row_order(int height, bool interlaced) {
    std::vector<int> order;
    order.reserve(static_cast<size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y) {
            order.push_back(y);
        }
        return order;
    }
    constexpr int kStart[] = {0, 4, 2, 1};
    constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = kStart[pass]; y < height; y += kStep[pass]) {
            order.push_back(y);
        }
    }
    return order;
}

std::shared_ptr<Bitmap> decode_pixels(GifFileType& gif) {
    const GifImageDesc& desc = gif.Image;
    const ColorMapObject* colours = desc.ColorMap ? desc.ColorMap : gif.SColorMap;
    if (!colours || colours->ColorCount < 1) {
        refuse("it has no colour table");
    }
    auto bitmap = std::make_shared<Bitmap>(desc.Width, desc.Height);
    std::vector<GifPixelType> line(static_cast<size_t>(desc.Width));
    for (int y : stored_row_order(desc.Height, desc.Interlace)) {
        if (DGifGetLine(&gif, line.data(), desc.Width) != GIF_OK) {
            refuse_decoding(gif);
        }
        uint32_t* row = bitmap->row(y);
        for (int x = 0; x < desc.Width; ++x) {
            if (line[static_cast<size_t>(x)] >= colours->ColorCount) {
                refuse("a pixel names colour " + std::to_string(line[static_cast<size_t>(x)]) +
                       " of a table of " + std::to_string(colours->ColorCount));
            }
            const GifColorType& c = colours->Colors[line[static_cast<size_t>(x)]];
            row[x] = uint32_t{c.Red} << 16 | uint32_t{c.Green} << 8 | c.Blue;
        }
    }
    return bitmap;
}

} // namespace

std::shared_ptr<Bitmap> decode_gif(std::string_view bytes, const GifLimits& limits) {
    MemorySource source{bytes};
    int error = 0;
    GifPtr gif(DGifOpen(&source, read_from_memory, &error));
    if (!gif) {
        refuse("it is not a GIF picture (" + error_text(error) + ")");
    }
    check_size("its declared size", gif->SWidth, gif->SHeight, limits);
    read_first_descriptor(*gif);
    check_size("its picture", gif->Image.Width, gif->Image.Height, limits);
    return decode_pixels(*gif);
}

} // namespace platform
