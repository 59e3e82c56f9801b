#include "platform/system/image.h"

#include <utility>

namespace platform {

namespace {

constinit ImageCodec* installed_codec = nullptr;

ImageCodec& codec() {
    if (!installed_codec) {
        throw std::logic_error("no image codec is installed: hold a platform::SdlServices "
                               "or call install_image_codec()");
    }
    return *installed_codec;
}

} // namespace

ImageCodec* install_image_codec(ImageCodec* codec) {
    return std::exchange(installed_codec, codec);
}

std::shared_ptr<Bitmap> load_image_file(const std::string& path) {
    return codec().load_file(path);
}

std::shared_ptr<Bitmap> decode_image(const void* data, size_t size) {
    return codec().decode(data, size);
}

void save_png(const Bitmap& bitmap, const std::string& path) {
    if (bitmap.bits_per_pixel() != 32) {
        throw ImageError("cannot write \"" + path + "\": only 32-bit pictures are saved");
    }
    codec().save_png(bitmap, path);
}

} // namespace platform
