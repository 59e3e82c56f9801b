// The SDL text rasteriser and image codec, installed before main() runs, so that
// linking the backend is all a program does to get real text and pictures. The
// build links this file into every program that links the backend, although
// nothing refers to it.

#include "platform/image.h"
#include "platform/sdl/image_codec.h"
#include "platform/sdl/text_rasterizer.h"
#include "platform/text.h"

namespace platform {

namespace {

SdlTextRasterizer sdl_text;
SdlImageCodec sdl_images;

// Declared after the services, so that it withdraws them before they are destroyed.
struct Installation {
    Installation() {
        install_text_rasterizer(&sdl_text);
        install_image_codec(&sdl_images);
    }
    ~Installation() {
        install_text_rasterizer(nullptr);
        install_image_codec(nullptr);
    }
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;
} installation;

} // namespace

} // namespace platform
