#pragma once
// Pictures read and written with SDL_image.

#include "platform/system/image.h"

namespace platform {

class SdlImageCodec : public ImageCodec {
  public:
    std::shared_ptr<Bitmap> load_file(const std::string& path) override;
    std::shared_ptr<Bitmap> decode(const void* data, size_t size) override;
    void save_png(const Bitmap& bitmap, const std::string& path) override;
};

} // namespace platform
