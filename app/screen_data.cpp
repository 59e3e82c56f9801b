#include "app/screen_data.h"

#include "app/embedded_data.h"
#include "platform/system/image.h"

#include <stdexcept>

namespace app {

std::shared_ptr<platform::Bitmap> stored_picture(std::string_view name) {
    const EmbeddedFile file = embedded_file(name);
    if (!file.data) {
        throw platform::ImageError("no stored picture \"" + std::string(name) + "\"");
    }
    return platform::decode_image(file.data, file.size);
}

std::span<const unsigned char> stored_bytes(std::string_view name) {
    const EmbeddedFile file = embedded_file(name);
    if (!file.data) {
        throw std::runtime_error("no stored file \"" + std::string(name) + "\"");
    }
    return {file.data, file.size};
}

std::string stored_text(std::string_view name) {
    const std::span<const unsigned char> bytes = stored_bytes(name);
    std::string text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

} // namespace app
