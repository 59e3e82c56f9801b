#include "tests/support/gif_bytes.h"

#include <gif_lib.h>

#include <bit>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace {

int append_bytes(GifFileType* gif, const GifByteType* data, int size) {
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), size);
    return size;
}

struct ColourMapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

int colour_index(int x, int y, int colours) {
    return (x + 2 * y) % colours;
}

void put16(std::string& out, int v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

} // namespace

uint32_t gif_pixel(int x, int y, int colours) {
    const auto i = static_cast<uint32_t>(colour_index(x, y, colours));
    return i << 16 | (255 - i) << 8 | (7 * i % 256);
}

std::string gif_bytes(int w, int h, int colours, bool interlaced) {
    std::unique_ptr<ColorMapObject, ColourMapDeleter> map(GifMakeMapObject(colours, nullptr));
    for (int i = 0; i < colours; ++i) {
        map->Colors[i] = {static_cast<GifByteType>(i), static_cast<GifByteType>(255 - i),
                          static_cast<GifByteType>(7 * i % 256)};
    }
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, append_bytes, &error);
    const int bits = std::bit_width(static_cast<unsigned>(colours - 1));
    bool ok = gif && EGifPutScreenDesc(gif, w, h, bits, 0, map.get()) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, w, h, interlaced, nullptr) == GIF_OK;
    // An interlaced picture is stored in its passes' row order.
    std::vector<int> rows;
    if (interlaced) {
        for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
            for (int y = start; y < h; y += step) {
                rows.push_back(y);
            }
        }
    } else {
        for (int y = 0; y < h; ++y) {
            rows.push_back(y);
        }
    }
    std::vector<GifPixelType> line(static_cast<size_t>(w));
    for (int y : rows) {
        for (int x = 0; x < w; ++x) {
            line[static_cast<size_t>(x)] = static_cast<GifPixelType>(colour_index(x, y, colours));
        }
        ok = ok && EGifPutLine(gif, line.data(), w) == GIF_OK;
    }
    if (!gif || EGifCloseFile(gif, &error) != GIF_OK || !ok) {
        throw std::runtime_error("cannot make a test GIF");
    }
    return out;
}

std::string gif_header_claiming(int w, int h) {
    std::string out = "GIF89a";
    put16(out, w);
    put16(out, h);
    out += "\x80";                               // a global table of two colours
    out += std::string("\0\0", 2);               // background, aspect
    out += std::string("\0\0\0\xFF\xFF\xFF", 6); // black, white
    out += ",";                                  // a picture descriptor begins
    put16(out, 0);
    put16(out, 0);
    put16(out, w);
    put16(out, h);
    out += std::string("\0", 1); // no local table, not interlaced
    out += "\x02\x02\x44\x01";   // code size 2, one block of two bytes of pixels
    out += std::string("\0", 1); // end of the picture (the trailer is optional)
    return out;
}
