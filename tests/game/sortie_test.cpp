// The sortie as a whole: preparation, the frame, release.

#include "game/sortie.h"
#include "tests/support/fake_input.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct SortieFrame : ::testing::Test {
    platform::FakeKeys keys;
    platform::FakeJoystick joystick;
    // Three draws for each star, then per frame the enemy's kind and a chance that
    // lets no enemy enter (0.5 * 20 is not below 4).
    nox::ListRnd rnd{std::vector<float>(3 * game::Sortie::kStarCount + 20, 0.5f)};
    game::Sortie sortie{keys, joystick, rnd};
    std::shared_ptr<platform::PictureBox> stage =
        std::make_shared<platform::PictureBox>(0, 0, 512, 300);

    void SetUp() override {
        auto sheet_area = [] { return std::make_shared<platform::PictureBox>(0, 0, 320, 600); };
        sortie.Create({stage, sheet_area(), sheet_area()});
        sortie.Prepare();
        sortie.PlaceMy();
    }
};

} // namespace

TEST_F(SortieFrame, PreparationPlacesTheStarsAndStartsTheCount) {
    EXPECT_EQ(rnd.draws(), 3 * static_cast<long>(game::Sortie::kStarCount));
    EXPECT_EQ(sortie.frameCt(), 0);
    EXPECT_EQ(sortie.grpEne()->ItemCount(), 0);
}

TEST_F(SortieFrame, EveryFrameCoversThePlayfieldAndCountsItself) {
    stage->hdc().bitmap().fill(0x00FF00FF);
    sortie.Frame();
    EXPECT_EQ(sortie.frameCt(), 1);
    // The field's black reached every corner the stars and the aircraft leave alone.
    const platform::Bitmap& shown = stage->screen();
    for (auto [x, y] : {std::pair{0, 299}, {511, 0}, {511, 299}, {400, 250}}) {
        EXPECT_EQ(shown.pixel(x, y), 0u) << x << "," << y;
    }
    sortie.Frame();
    EXPECT_EQ(sortie.frameCt(), 2);
}

TEST_F(SortieFrame, ReleaseLetsGoOfEveryObject) {
    const std::weak_ptr<nox::clsNoxField> field = sortie.fldStage();
    const std::weak_ptr<nox::clsNoxSprite> sprite = sortie.sprMy();
    sortie.ReleaseReaders();
    EXPECT_EQ(sortie.plyInput(), nullptr);
    sortie.Release();
    EXPECT_TRUE(field.expired());
    EXPECT_TRUE(sprite.expired());
    EXPECT_EQ(sortie.grpEne(), nullptr);
    EXPECT_EQ(sortie.chrMy(), nullptr);
}
