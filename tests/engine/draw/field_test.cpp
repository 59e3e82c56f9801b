#include "engine/draw/clsNoxField.h"
#include "engine/draw/clsNoxStar.h"
#include "engine/sys/errors.h"
#include "engine/sys/numbers.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using nox::clsNoxField;
using nox::clsNoxStar;
using nox::ListRnd;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kTeal = 0x30B0B0;

std::shared_ptr<platform::PictureBox> picture(int width, int height) {
    return std::make_shared<platform::PictureBox>(0, 0, width, height);
}

// One row as '#' where it has the colour and '.' elsewhere.
std::string row(const platform::Bitmap& bm, int y, uint32_t colour) {
    std::string out;
    for (int x = 0; x < bm.width(); ++x) {
        out += bm.pixel(x, y) == colour ? '#' : '.';
    }
    return out;
}

int count(const platform::Bitmap& bm, uint32_t colour) {
    int n = 0;
    for (int y = 0; y < bm.height(); ++y) {
        for (char c : row(bm, y, colour)) {
            n += c == '#';
        }
    }
    return n;
}

// A black 20 x 10 field with the stars' teal pen.
struct StarField {
    StarField() {
        field->Create(picture(20, 10), 0, 0);
        field->ForeColor(platform::rgb(48, 176, 176));
        field->ClsB();
    }
    std::string row(int y) const { return ::row(field->Hdc()->bitmap(), y, kTeal); }
    int teal() const { return count(field->Hdc()->bitmap(), kTeal); }
    std::shared_ptr<clsNoxField> field = std::make_shared<clsNoxField>();
};

} // namespace

TEST(Field, ExtraAmountsEnlargeTheSurfaceAndPaintIsClippedToThePicture) {
    auto pic = picture(40, 30);
    clsNoxField field;
    field.Create(pic, 16, 8);
    EXPECT_EQ(field.Width(), 56);
    EXPECT_EQ(field.Height(), 38);
    EXPECT_EQ(field.Hdc()->bitmap().width(), 56);
    EXPECT_EQ(field.Hdc()->bitmap().height(), 38);
    field.ClsW();
    field.Paint();
    EXPECT_EQ(count(pic->hdc().bitmap(), kWhite), 40 * 30);
    field.ClsB();
    field.Paint();
    EXPECT_EQ(count(pic->hdc().bitmap(), 0), 40 * 30);
}

TEST(Field, WrittenWidthLimitsClearAndPaintToAStrip) {
    auto pic = picture(512, 300);
    clsNoxField field;
    field.Create(pic, 0, 0);
    field.ClsW();
    field.Width(100);
    field.ClsB();
    pic->hdc().bitmap().fill(0x123456);
    field.Paint();
    EXPECT_EQ(field.Hdc()->bitmap().width(), 512);
    EXPECT_EQ(count(field.Hdc()->bitmap(), 0), 100 * 300);
    EXPECT_EQ(count(pic->hdc().bitmap(), 0), 100 * 300);
    EXPECT_EQ(count(pic->hdc().bitmap(), 0x123456), 412 * 300);
}

TEST(Field, LinePaintsItsStartButNotItsEndPoint) {
    StarField s;
    s.field->LineEx(10, 9, 13, 9);
    EXPECT_EQ(s.row(9), "..........###.......");
    s.field->LineEx(5, 5, 5, 5);
    s.field->LineEx(-9, 10, 30, 10); // the row below the last
    EXPECT_EQ(s.teal(), 3);
}

TEST(Field, EmptyOrReleasedFieldDrawsNothingAndCannotBeCopied) {
    clsNoxField empty;
    empty.ClsB();
    empty.ClsW();
    empty.ForeColor(0x123456);
    empty.LineEx(0, 0, 5, 5);
    EXPECT_THROW(empty.Paint(), nox::MissingObjectError);
    EXPECT_THROW(empty.GetPicture(), nox::MissingObjectError);
    EXPECT_THROW(empty.Create(nullptr, 0, 0), nox::MissingObjectError);

    auto pic = picture(5, 5);
    auto field = std::make_shared<clsNoxField>();
    field->Create(pic, 0, 0);
    std::weak_ptr<platform::Bitmap> surface = field->Hdc()->bitmap_ptr();
    field->Delete();
    EXPECT_TRUE(surface.expired());
    EXPECT_EQ(pic.use_count(), 1);
    EXPECT_THROW(field->Paint(), nox::MissingObjectError);
    field->Create(pic, 0, 0);
    field.reset(); // the last reference deletes the surface
    EXPECT_EQ(pic.use_count(), 1);
}

TEST(Star, InitPlacesWithFloatProductsRoundedHalfToEven) {
    StarField s;
    struct Case {
        float x, y, speed;
        int x_want, y_want, px_want;
    };
    // 0.175f * 20 is 3.5 as a float product (3.4999999 in double): 4.
    // 0.8333334f * 3 is 2.5 as a float product (2.5000001 in double): 2, so -9.
    for (const Case& c :
         {Case{0.175f, 0.25f, 0.8333334f, 4, 2, -9}, Case{0.0f, 0.0f, 0.1666f, 0, 0, -3},
          Case{0.5f, 0.5f, 0.17f, 10, 5, -6}, Case{0.99999f, 0.99999f, 0.99999f, 20, 10, -12}}) {
        ListRnd rnd({c.x, c.y, c.speed});
        clsNoxStar star(rnd);
        EXPECT_EQ(star.Init(s.field, 0), nox::kTrue);
        EXPECT_EQ(star.X(), c.x_want);
        EXPECT_EQ(star.Y(), c.y_want);
        EXPECT_EQ(star.pX(), c.px_want);
        EXPECT_EQ(star.pY(), 0);
    }
}

TEST(Star, DrawsFromTheLeftEdgeThenWrapsJustBeyondTheRightEdge) {
    StarField s;
    ListRnd rnd({0.0f, 0.0f, 0.0f, 0.75f});
    clsNoxStar star(rnd);
    star.Init(s.field, 0); // pX -3
    star.X(3);
    star.Y(4);
    star.MovePaint();
    EXPECT_EQ(star.X(), 0);
    EXPECT_EQ(s.row(4), "###.................");
    s.field->ClsB();
    star.MovePaint();
    EXPECT_EQ(star.X(), 20);
    EXPECT_EQ(star.Y(), 8); // 7.5 -> 8
    EXPECT_EQ(s.teal(), 0);
    star.Move();
    EXPECT_EQ(star.X(), 17);
    EXPECT_EQ(rnd.draws(), 4); // no draw without a wrap
}

TEST(Star, StreakLengthIsTheSumOfBothSpeeds) {
    StarField s;
    ListRnd rnd({});
    clsNoxStar star(rnd);
    star.Stage(s.field);
    star.pX(-5);
    star.pY(2);
    star.PaintEx();
    EXPECT_EQ(s.row(0), "#######.............");
    star.pY(0);
    star.Y(1);
    star.PaintEx();
    EXPECT_EQ(s.row(1), "#####...............");
}

TEST(Star, OtherTypesAreNotPlacedAndOnlyMovePaintDrifts) {
    StarField s;
    ListRnd rnd({});
    clsNoxStar star(rnd);
    star.Init(s.field, 1);
    EXPECT_EQ(star.X(), 0);
    EXPECT_EQ(star.pX(), 0);
    star.MovePaint(); // a zero-length streak
    EXPECT_EQ(s.teal(), 0);
    star.X(5);
    star.pX(-2);
    star.Move();
    EXPECT_EQ(star.X(), 5);
    star.MovePaint();
    EXPECT_EQ(s.row(0), "...##...............");
}

TEST(Star, MissingFieldAndSixteenBitOverflowRaise) {
    ListRnd rnd({0.0f, 0.0f, 0.0f});
    clsNoxStar star(rnd);
    EXPECT_THROW(star.Init(nullptr, 0), nox::MissingObjectError);
    EXPECT_THROW(star.MovePaint(), nox::MissingObjectError);
    StarField s;
    s.field->Width(32768);
    EXPECT_THROW(star.Stage(s.field), nox::OverflowError);
    s.field->Width(20);
    star.Init(s.field, 0);
    star.X(32767);
    EXPECT_THROW(star.PaintEx(), nox::OverflowError); // X + length
    star.X(-32768);
    EXPECT_THROW(star.Move(), nox::OverflowError); // X + pX
    EXPECT_THROW(star.pX(-32768), nox::OverflowError);
}
