#include "platform/sdl/services.h"

#include "platform/system/image.h"
#include "platform/system/text.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Sets aside the services the test program's main() installed, and puts them back.
class WithoutServices {
  public:
    WithoutServices()
        : text_(platform::install_text_rasterizer(nullptr)),
          images_(platform::install_image_codec(nullptr)) {}
    ~WithoutServices() {
        platform::install_text_rasterizer(text_);
        platform::install_image_codec(images_);
    }
    WithoutServices(const WithoutServices&) = delete;
    WithoutServices& operator=(const WithoutServices&) = delete;

  private:
    platform::TextRasterizer* text_;
    platform::ImageCodec* images_;
};

TEST(SdlServices, ServeTextAndPicturesWhileHeldAndNoLonger) {
    const WithoutServices aside;
    const platform::Font font;
    {
        const platform::SdlServices services;
        EXPECT_GT(platform::line_height(font), 0);
        EXPECT_THROW(platform::load_image_file("/nonexistent/picture.png"), platform::ImageError);
    }
    EXPECT_THROW(platform::line_height(font), std::logic_error);
    EXPECT_THROW(platform::load_image_file("/nonexistent/picture.png"), std::logic_error);
}

} // namespace
