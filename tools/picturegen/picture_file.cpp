#include "picture_file.h"

#include "platform/sdl/handles.h"
#include "source_text.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <system_error>

namespace picturegen {

namespace {

constexpr int kJpegQuality = 93;

// 8 x 8 Bayer matrix.
constexpr int kBayer[8][8] = {{0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
                              {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
                              {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
                              {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};

std::uint8_t to_byte(float value, float threshold) {
    const float scaled = std::clamp(value, 0.0f, 1.0f) * 255.0f + threshold;
    return static_cast<std::uint8_t>(std::clamp(std::floor(scaled), 0.0f, 255.0f));
}

std::string lower_extension(const std::filesystem::path& file) {
    std::string ext = file.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

using sdl::SurfacePtr;

SurfacePtr to_surface(const Picture& picture) {
    SurfacePtr surface(SDL_CreateRGBSurfaceWithFormat(0, picture.width, picture.height, 24,
                                                      SDL_PIXELFORMAT_RGB24));
    if (!surface) {
        throw PictureError(std::string("cannot make an image: ") + SDL_GetError());
    }
    const std::size_t row = static_cast<std::size_t>(picture.width) * 3;
    for (int y = 0; y < picture.height; ++y) {
        std::memcpy(static_cast<std::uint8_t*>(surface->pixels) +
                        static_cast<std::size_t>(y) * static_cast<std::size_t>(surface->pitch),
                    picture.rgb.data() + static_cast<std::size_t>(y) * row, row);
    }
    return surface;
}

void write_file(SDL_Surface* surface, const std::filesystem::path& file, bool jpeg) {
    const int result = jpeg ? IMG_SaveJPG(surface, file.c_str(), kJpegQuality)
                            : SDL_SaveBMP(surface, file.c_str());
    if (result != 0) {
        throw PictureError(file.string() + ": cannot write: " + SDL_GetError());
    }
}

} // namespace

Picture quantize(const Canvas& canvas) {
    Picture picture{canvas.width(), canvas.height(), {}};
    picture.rgb.reserve(static_cast<std::size_t>(canvas.width()) *
                        static_cast<std::size_t>(canvas.height()) * 3);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const float threshold = (static_cast<float>(kBayer[y & 7][x & 7]) + 0.5f) / 64.0f;
            const Rgba& p = canvas.at(x, y); // premultiplied, so already laid over black
            picture.rgb.push_back(to_byte(p.r, threshold));
            picture.rgb.push_back(to_byte(p.g, threshold));
            picture.rgb.push_back(to_byte(p.b, threshold));
        }
    }
    return picture;
}

bool is_supported_output(const std::filesystem::path& file) {
    const std::string ext = lower_extension(file);
    return ext == ".bmp" || ext == ".jpg" || ext == ".jpeg";
}

void save_picture(const Picture& picture, const std::filesystem::path& file) {
    if (!is_supported_output(file)) {
        throw PictureError(file.string() + ": unsupported picture type (use .bmp or .jpg)");
    }
    const bool jpeg = lower_extension(file) != ".bmp";
    const SurfacePtr surface = to_surface(picture);
    std::filesystem::path temporary = file;
    temporary += ".part";
    try {
        write_file(surface.get(), temporary, jpeg);
        std::filesystem::rename(temporary, file);
    } catch (const std::exception& e) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw PictureError(e.what());
    }
}

} // namespace picturegen
