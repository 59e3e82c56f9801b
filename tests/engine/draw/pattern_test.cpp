#include "engine/draw/clsNoxSprite.h"
#include "engine/draw/mdlNoxEffect.h"
#include "engine/sys/errors.h"
#include "engine/sys/numbers.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

using nox::clsNoxField;
using nox::clsNoxPattern;
using nox::clsNoxSprite;
using platform::PictureBox;

namespace {

using PixelMap = std::vector<std::string>;

const std::map<char, uint32_t> kLegend = {
    {'.', 0x000000}, {'W', 0xFFFFFF}, {'R', 0xFF0000}, {'G', 0x00FF00}, {'M', 0xFF00FF}};

std::shared_ptr<PictureBox> sheet(const PixelMap& map) {
    auto pic = std::make_shared<PictureBox>(0, 0, static_cast<int>(map[0].size()),
                                            static_cast<int>(map.size()));
    for (size_t y = 0; y < map.size(); ++y) {
        for (size_t x = 0; x < map[y].size(); ++x) {
            pic->hdc().bitmap().set_pixel(int(x), int(y), kLegend.at(map[y][x]));
        }
    }
    return pic;
}

// A colour outside the legend shows as '?'.
PixelMap drawn(const clsNoxField& field) {
    const platform::Bitmap& bm = field.Hdc()->bitmap();
    PixelMap map(static_cast<size_t>(bm.height()), std::string(size_t(bm.width()), '?'));
    for (int y = 0; y < bm.height(); ++y) {
        for (int x = 0; x < bm.width(); ++x) {
            for (const auto& [key, colour] : kLegend) {
                map[size_t(y)][size_t(x)] =
                    bm.pixel(x, y) == colour ? key : map[size_t(y)][size_t(x)];
            }
        }
    }
    return map;
}

std::shared_ptr<clsNoxField> field_of(int width, int height) {
    auto field = std::make_shared<clsNoxField>();
    field->CreateEx(std::make_shared<PictureBox>(0, 0, 1, 1), width, height);
    return field;
}

// The sprite is the right half of the sheet; the green left half shows only
// if the sheet rectangle is ignored.
struct Sheet {
    std::shared_ptr<PictureBox> colour = sheet({"GGGG.R..", "GGGG.RR.", "GGGG.RRR", "GGGG...."});
    std::shared_ptr<PictureBox> mask = sheet({"....W.WW", "....W..W", "....W...", "....WWWW"});
    std::shared_ptr<clsNoxField> field = field_of(6, 5);
    clsNoxSprite sprite;
    Sheet() {
        sprite.Create(field, colour, mask, 5);
        sprite.SetPtnPic(4, 4, 0, 4, 4);
    }
};

clsNoxPattern rect_16(std::shared_ptr<clsNoxField> field) {
    clsNoxPattern p;
    p.Field(std::move(field));
    p.Width(16);
    p.Height(16);
    return p;
}

} // namespace

TEST(PatternDraw, MaskedDrawKeepsTheFieldAroundTheSpriteAndOpaqueDrawShowsABlackBox) {
    Sheet s;
    s.field->ClsW();
    s.sprite.PaintEx(4, 1, 1);
    EXPECT_EQ(drawn(*s.field), (PixelMap{"WWWWWW", "WWRWWW", "WWRRWW", "WWRRRW", "WWWWWW"}));
    s.field->ClsB();
    s.sprite.PaintEx(4, 1, 1);
    EXPECT_EQ(drawn(*s.field), (PixelMap{"......", "..R...", "..RR..", "..RRR.", "......"}));
    s.field->ClsW();
    s.sprite.Paint(4, 1, 1);
    EXPECT_EQ(drawn(*s.field), (PixelMap{"WWWWWW", "W.R..W", "W.RR.W", "W.RRRW", "W....W"}));
    s.field->ClsW();
    s.sprite.PaintEx(4, -2, 3); // clipped at the left and bottom edges
    s.sprite.PaintEx(4, -32768, 32767);
    EXPECT_EQ(drawn(*s.field), (PixelMap{"WWWWWW", "WWWWWW", "WWWWWW", "WWWWWW", "RWWWWW"}));
}

TEST(PatternDraw, SheetsPreparedFromAKeyedImageDrawWithoutAFringe) {
    auto colour = sheet({"MMMM", "MRRM", "MRGM", "MMMM"});
    auto mask = sheet({"MMMM", "MRRM", "MRGM", "MMMM"});
    nox::KeyToBlack(colour->hdc().bitmap());
    nox::MakeMask(mask->hdc().bitmap());
    auto field = field_of(4, 4);
    clsNoxSprite sprite;
    sprite.Create(field, colour, mask, 1);
    sprite.SetPtnPic(0, 0, 0, 4, 4);
    field->ClsW();
    sprite.PaintEx(0, 0, 0);
    EXPECT_EQ(drawn(*field), (PixelMap{"WWWW", "WRRW", "WRGW", "WWWW"}));
}

TEST(PatternDraw, MissingFieldOrSheetRaisesBeforeDrawing) {
    Sheet s;
    s.field->ClsW();
    clsNoxPattern p;
    p.Picture(s.colour);
    EXPECT_THROW(p.Paint(0, 0), nox::MissingObjectError);
    EXPECT_THROW(p.Field(nullptr), nox::MissingObjectError);
    p.Field(s.field);
    p.Width(4);
    p.Height(4);
    EXPECT_THROW(p.PaintEx(0, 0), nox::MissingObjectError); // no mask
    EXPECT_EQ(drawn(*s.field)[0], "WWWWWW");
    p.Mask(s.mask);
    p.Field(std::make_shared<clsNoxField>()); // empty: nothing to draw on
    p.PaintEx(0, 0);
}

TEST(PatternGeometry, TouchingEdgesCountAsContactAndOnePixelBeyondDoesNot) {
    auto field = field_of(512, 300);
    clsNoxPattern p = rect_16(field);
    EXPECT_EQ(p.PosCheck(-16, 100), 2);
    EXPECT_EQ(p.PosCheck(-17, 100), 1);
    EXPECT_EQ(p.PosCheck(512, 100), 2);
    EXPECT_EQ(p.PosCheck(513, 100), 1);
    EXPECT_EQ(p.PosCheck(100, 300), 2);
    EXPECT_EQ(p.PosCheck(100, -17), 1);
    EXPECT_EQ(p.PosCheck(496, 284), 0);
    EXPECT_EQ(p.PileCheck(0, 0, 16, 0, 16, 16), 2);
    EXPECT_EQ(p.PileCheckLt(0, 0, 16, 0, 16, 16), 2);
    EXPECT_EQ(p.PileCheck(0, 0, 17, 0, 16, 16), 1);
    EXPECT_EQ(p.PileCheckLt(0, 0, 17, 0, 16, 16), 1);
    EXPECT_EQ(p.PileCheck(0, 17, 0, 0, 16, 16), 1);
    EXPECT_EQ(p.PileCheck(5, 5, 5, 5, 16, 16), 0);
    EXPECT_EQ(p.PileCheckLt(5, 5, 5, 5, 16, 16), 2);
    EXPECT_EQ(p.PileCheck(6, 5, 5, 5, 16, 16), 2);
    EXPECT_EQ(p.PileCheckPoint(100, 50, 100, 50), 0);
    EXPECT_EQ(p.PileCheckPoint(100, 50, 116, 66), 0);
    EXPECT_EQ(p.PileCheckPoint(100, 50, 117, 50), 1);
    EXPECT_EQ(p.PileCheckPoint(100, 50, 100, 49), 1);
}

TEST(PatternGeometry, SixteenBitSumsRaiseOverflow) {
    clsNoxPattern p = rect_16(field_of(512, 300));
    EXPECT_THROW(p.PosCheck(32760, 0), nox::OverflowError);
    EXPECT_THROW(p.PosCheck(-100, 32760), nox::OverflowError); // decided, but both sums formed
    EXPECT_THROW(p.PileCheck(0, 0, 32760, 0, 16, 16), nox::OverflowError);
    EXPECT_THROW(p.PileCheckPoint(0, 32760, 0, 0), nox::OverflowError);
    EXPECT_EQ(p.PileCheckLt(0, 32760, 100, 0, 16, 16), 1); // apart before the vertical sums
}

TEST(PatternGeometry, SizesBelowOneStoreOneAndTheFieldSizeIsACopy) {
    auto field = field_of(512, 300);
    clsNoxPattern p = rect_16(field);
    field->Width(100);
    EXPECT_EQ(p.PosCheck(200, 0), 0); // still 512 wide until set again
    p.Field(field);
    EXPECT_EQ(p.PosCheck(200, 0), 1);
    field->Height(32768);
    EXPECT_THROW(p.Field(field), nox::OverflowError);
    p.Width(0);
    p.Height(-5);
    EXPECT_EQ(p.Width(), 1);
    EXPECT_EQ(p.Height(), 1);
}

TEST(Sprite, CreateBindsEveryPatternAndSetPtnPicAcceptsOnlyValidNumbers) {
    Sheet s;
    EXPECT_EQ(s.sprite.PtNoMax(), 4);
    for (int16_t n = 0; n <= 4; ++n) {
        EXPECT_EQ(s.sprite.Pattern(n).Field(), s.field);
        EXPECT_EQ(s.sprite.Pattern(n).Mask(), s.mask);
    }
    EXPECT_EQ(s.sprite.SetPtnPic(5, 1, 1, 1, 1), nox::kFalse);
    EXPECT_EQ(s.sprite.SetPtnPic(-1, 1, 1, 1, 1), nox::kFalse);
    EXPECT_EQ(s.sprite.SetPtnPic(0, 240, 0, 16, 16), nox::kTrue);
    EXPECT_EQ(s.sprite.Width(0), 16);
    EXPECT_EQ(s.sprite.Pattern(0).Left(), 240);
    s.sprite.SetPtnPic(0, 0, 0, 0, 0);
    EXPECT_EQ(s.sprite.Height(0), 1);
    EXPECT_EQ(s.sprite.PosCheck(4, 2, 1), 0);
    EXPECT_EQ(s.sprite.PosCheck(4, 3, 1), 2);
}

TEST(Sprite, NumbersOutsideTheSetRaiseSubscript) {
    Sheet s;
    EXPECT_THROW(s.sprite.Paint(5, 0, 0), nox::SubscriptError);
    EXPECT_THROW(s.sprite.PaintEx(-1, 0, 0), nox::SubscriptError);
    EXPECT_THROW(s.sprite.PosCheck(5, 0, 0), nox::SubscriptError);
    EXPECT_THROW(s.sprite.Height(32767), nox::SubscriptError);
    EXPECT_THROW(clsNoxSprite().Pattern(0), nox::SubscriptError);
}

TEST(Sprite, SecondCreateReplacesThePatterns) {
    Sheet s;
    auto other = std::make_shared<PictureBox>(0, 0, 1, 1);
    s.sprite.Create(s.field, other, other, 2);
    EXPECT_EQ(s.sprite.PtNoMax(), 1);
    EXPECT_EQ(s.sprite.Width(1), 0);
    EXPECT_THROW(s.sprite.Pattern(2), nox::SubscriptError);
    EXPECT_EQ(s.colour.use_count(), 1);
    EXPECT_THROW(s.sprite.Create(s.field, other, other, 0), nox::SubscriptError);
    EXPECT_EQ(s.sprite.PtNoMax(), -1);
    EXPECT_EQ(other.use_count(), 1);
    EXPECT_EQ(s.field.use_count(), 1);
}
