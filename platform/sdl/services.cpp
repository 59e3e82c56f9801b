#include "platform/sdl/services.h"

#include "platform/system/image.h"
#include "platform/system/text.h"

namespace platform {

SdlServices::SdlServices() {
    install_text_rasterizer(&text_);
    install_image_codec(&images_);
}

SdlServices::~SdlServices() {
    install_text_rasterizer(nullptr);
    install_image_codec(nullptr);
}

} // namespace platform
