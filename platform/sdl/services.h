#pragma once
// The SDL text rasteriser and image codec, made the ones that text and pictures use
// for as long as this object lives. Each program's main() holds one.

#include "platform/sdl/image_codec.h"
#include "platform/sdl/text_rasterizer.h"

namespace platform {

class SdlServices {
  public:
    SdlServices();
    ~SdlServices();
    SdlServices(const SdlServices&) = delete;
    SdlServices& operator=(const SdlServices&) = delete;

  private:
    SdlTextRasterizer text_;
    SdlImageCodec images_;
};

} // namespace platform
