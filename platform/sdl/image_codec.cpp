#include "platform/sdl/image_codec.h"
#include "platform/sdl/handles.h"

#include <SDL.h>
#include <SDL_image.h>

#include <climits>
#include <cstring>

namespace platform {

namespace {

using sdl::SurfacePtr;

std::shared_ptr<Bitmap> to_bitmap(SDL_Surface* loaded) {
    SurfacePtr owned(loaded);
    SurfacePtr xrgb(SDL_ConvertSurfaceFormat(owned.get(), SDL_PIXELFORMAT_XRGB8888, 0));
    if (!xrgb) {
        return nullptr;
    }
    auto bitmap = std::make_shared<Bitmap>(xrgb->w, xrgb->h);
    for (int y = 0; y < xrgb->h; ++y) {
        const auto* src = static_cast<const uint8_t*>(xrgb->pixels) + ptrdiff_t(y) * xrgb->pitch;
        uint32_t* dst = bitmap->row(y);
        std::memcpy(dst, src, size_t(xrgb->w) * 4);
        for (int x = 0; x < xrgb->w; ++x) {
            dst[x] &= 0x00FFFFFFu;
        }
    }
    return bitmap;
}

} // namespace

std::shared_ptr<Bitmap> SdlImageCodec::load_file(const std::string& path) {
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded) {
        throw ImageError("cannot load picture \"" + path + "\": " + IMG_GetError());
    }
    auto bitmap = to_bitmap(loaded);
    if (!bitmap) {
        throw ImageError("cannot convert picture \"" + path + "\": " + SDL_GetError());
    }
    return bitmap;
}

std::shared_ptr<Bitmap> SdlImageCodec::decode(const void* data, size_t size) {
    if (size > static_cast<size_t>(INT_MAX)) {
        throw ImageError("cannot decode embedded picture: it is too large");
    }
    SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
    SDL_Surface* loaded = rw ? IMG_Load_RW(rw, 1) : nullptr;
    if (!loaded) {
        throw ImageError(std::string("cannot decode embedded picture: ") + IMG_GetError());
    }
    auto bitmap = to_bitmap(loaded);
    if (!bitmap) {
        throw ImageError(std::string("cannot convert embedded picture: ") + SDL_GetError());
    }
    return bitmap;
}

void SdlImageCodec::save_png(const Bitmap& bitmap, const std::string& path) {
    SurfacePtr s(SDL_CreateRGBSurfaceWithFormat(0, bitmap.width(), bitmap.height(), 32,
                                                SDL_PIXELFORMAT_XRGB8888));
    if (!s) {
        throw ImageError(std::string("cannot make picture: ") + SDL_GetError());
    }
    for (int y = 0; y < bitmap.height(); ++y) {
        std::memcpy(static_cast<uint8_t*>(s->pixels) + ptrdiff_t(y) * s->pitch, bitmap.row(y),
                    size_t(bitmap.width()) * 4);
    }
    SDL_RWops* file = SDL_RWFromFile(path.c_str(), "wb");
    if (!file) {
        throw ImageError("cannot write \"" + path + "\": " + SDL_GetError());
    }
    // Closing flushes the last buffered bytes: a full disk may show only there.
    const bool written = IMG_SavePNG_RW(s.get(), file, 0) == 0;
    const bool closed = SDL_RWclose(file) == 0;
    if (!written || !closed) {
        throw ImageError("cannot write \"" + path + "\" completely: " + IMG_GetError());
    }
}

} // namespace platform
