// The picture functions and the codec behind them.

#include "platform/system/image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Puts a codec in for one scope, then the one before back.
class Installed {
  public:
    explicit Installed(platform::ImageCodec* c) : before_(platform::install_image_codec(c)) {}
    ~Installed() { platform::install_image_codec(before_); }
    Installed(const Installed&) = delete;
    Installed& operator=(const Installed&) = delete;
    platform::ImageCodec* before() const { return before_; }

  private:
    platform::ImageCodec* before_;
};

} // namespace

TEST(ImageCodecs, WithoutOneEveryPictureFunctionSaysWhatIsMissing) {
    Installed none(nullptr);
    EXPECT_NE(none.before(), nullptr); // linking the SDL backend installed its own
    const unsigned char bytes[] = {0x47, 0x49, 0x46};
    EXPECT_THROW(platform::load_image_file("c.gif"), std::logic_error);
    EXPECT_THROW(platform::decode_image(bytes, sizeof bytes), std::logic_error);
    EXPECT_THROW(platform::save_png(platform::Bitmap(2, 2), "c.png"), std::logic_error);
}

TEST(ImageCodecs, OnlyThirtyTwoBitPicturesAreWritten) {
    const fs::path file =
        fs::temp_directory_path() / ("skarvelin_eight_bit_" + std::to_string(getpid()) + ".png");
    EXPECT_THROW(platform::save_png(platform::Bitmap(4, 4, 8), file.string()),
                 platform::ImageError);
    EXPECT_FALSE(fs::exists(file));
}
