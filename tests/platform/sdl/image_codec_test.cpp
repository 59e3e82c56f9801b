// Pictures through SDL_image, the codec that linking the backend installs.

#include "platform/system/image.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class SdlPictures : public ::testing::Test {
  protected:
    std::string file(const char* name) const { return (scratch_.path() / name).string(); }

    ScratchDir scratch_{"skarvelin-pictures"};
};

} // namespace

TEST_F(SdlPictures, AWrittenPngReadsBackPixelForPixel) {
    platform::Bitmap picture(3, 2);
    const uint32_t colours[] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF, 0, 0x00123456};
    for (int i = 0; i < 6; ++i) {
        picture.set_pixel(i % 3, i / 3, colours[i]);
    }
    platform::save_png(picture, file("three.png"));
    const auto back = platform::load_image_file(file("three.png"));
    ASSERT_EQ(back->width(), 3);
    ASSERT_EQ(back->height(), 2);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(back->pixel(i % 3, i / 3), colours[i]) << i;
    }

    std::ifstream in(file("three.png"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto decoded = platform::decode_image(bytes.data(), bytes.size());
    EXPECT_EQ(decoded->pixel(2, 1), 0x00123456u);
}

TEST_F(SdlPictures, UnreadablePicturesAreErrorsNamingTheFile) {
    std::ofstream(file("junk.gif")) << "not a picture";
    for (const std::string& name : {file("junk.gif"), file("missing.gif")}) {
        try {
            platform::load_image_file(name);
            FAIL() << "loaded " << name;
        } catch (const platform::ImageError& e) {
            EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
        }
    }
    const char junk[] = "not a picture";
    EXPECT_THROW(platform::decode_image(junk, sizeof junk), platform::ImageError);
    EXPECT_THROW(platform::save_png(platform::Bitmap(2, 2), file("no/such/folder.png")),
                 platform::ImageError);
}
