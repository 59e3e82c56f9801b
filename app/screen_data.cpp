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

std::string stored_text(std::string_view name) {
    const EmbeddedFile file = embedded_file(name);
    if (!file.data) {
        throw std::runtime_error("no stored text \"" + std::string(name) + "\"");
    }
    std::string text(reinterpret_cast<const char*>(file.data), file.size);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

} // namespace app
