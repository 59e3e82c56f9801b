#include "engine/actor/clsNoxCharacter.h"
#include "engine/draw/clsNoxField.h"
#include "engine/sys/numbers.h"
#include "platform/legacy/form.h"

#include <gtest/gtest.h>

#include <memory>

using namespace nox;

namespace {

class CharacterTest : public ::testing::Test {
  protected:
    void SetUp() override { field->Create(stage, 0, 0); }

    // A sprite of `count` patterns; pattern n is 16 + n pixels wide and 8 high.
    std::shared_ptr<clsNoxSprite> sprite(int16_t count) {
        auto s = std::make_shared<clsNoxSprite>();
        s->Create(field, sheet, mask, count);
        for (int16_t n = 0; n < count; ++n) {
            s->SetPtnPic(n, 0, 0, static_cast<int16_t>(16 + n), 8);
        }
        return s;
    }

    std::shared_ptr<clsNoxCharacter> at(float left, float top, int16_t patterns = 1) {
        auto c = std::make_shared<clsNoxCharacter>();
        c->Create(sprite(patterns), 0, 0, 1, 0);
        c->Left(left);
        c->Top(top);
        return c;
    }

    std::shared_ptr<platform::PictureBox> stage =
        std::make_shared<platform::PictureBox>(0, 0, 512, 300);
    std::shared_ptr<platform::PictureBox> sheet =
        std::make_shared<platform::PictureBox>(0, 0, 64, 16);
    std::shared_ptr<platform::PictureBox> mask =
        std::make_shared<platform::PictureBox>(0, 0, 64, 16);
    std::shared_ptr<clsNoxField> field = std::make_shared<clsNoxField>();
};

} // namespace

TEST_F(CharacterTest, CreateRestartsLookButKeepsMotion) {
    clsNoxCharacter c;
    EXPECT_EQ(c.Sprite(), nullptr);
    EXPECT_EQ(c.Tag(), "");
    auto path = std::make_shared<clsNoxMQL>();
    path->Add(-3, 0, 5, 0);
    c.MQL(path);
    c.LeftAccel(0.25f);
    c.MoveMQL();
    c.Num(9);
    c.Tag("burst");
    c.Create(sprite(3), 100, 50, 4, 2);
    c.PtNo(2);
    c.AutoAnime(0);

    c.Create(sprite(3), 200, 60, 7, 3);
    EXPECT_EQ(c.Left(), 200.0f);
    EXPECT_EQ(c.Top(), 60.0f);
    EXPECT_EQ(c.Hp(), 7);
    EXPECT_EQ(c.AniSp(), 3);
    EXPECT_EQ(c.AniCt(), 0);
    EXPECT_EQ(c.PtNo(), 0);
    EXPECT_EQ(c.LeftTrans(), -2.75f);
    EXPECT_EQ(c.LeftAccel(), 0.25f);
    EXPECT_EQ(c.MqlCt(), 4);
    EXPECT_EQ(c.Num(), 9);
    EXPECT_EQ(c.Tag(), "burst");
}

TEST_F(CharacterTest, ChangeSpriteRestartsAnimationAndReplacingAloneDoesNot) {
    auto c = at(30, 40, 4);
    c->LeftTrans(2);
    c->PtNo(3);
    EXPECT_EQ(c->Width(), 19);
    c->ChangeSprite(sprite(2), 5);
    EXPECT_EQ(c->PtNo(), 0);
    EXPECT_EQ(c->AniSp(), 5);
    EXPECT_EQ(c->Width(), 16);
    EXPECT_EQ(c->Left(), 30.0f);
    EXPECT_EQ(c->LeftTrans(), 2.0f);

    c->Sprite(sprite(4));
    c->PtNo(3);
    c->Sprite(sprite(2));
    EXPECT_EQ(c->PtNo(), 3);
    EXPECT_THROW(c->Width(), SubscriptError);
}

TEST_F(CharacterTest, PatternNumberOutsideTheSpriteIsIgnored) {
    auto c = at(0, 0, 3);
    c->PtNo(-1);
    EXPECT_EQ(c->PtNo(), 0);
    c->PtNo(3);
    EXPECT_EQ(c->PtNo(), 0);
    c->PtNo(2);
    EXPECT_EQ(c->PtNo(), 2);
    EXPECT_EQ(c->Width(), 18);
    EXPECT_EQ(c->Height(), 8);
}

TEST_F(CharacterTest, WithoutSpriteDrawingTestsAndSteppingRaise) {
    clsNoxCharacter c;
    auto other = at(0, 0);
    EXPECT_THROW(c.PtNo(0), MissingObjectError);
    EXPECT_THROW(c.Width(), MissingObjectError);
    EXPECT_THROW(c.Height(), MissingObjectError);
    EXPECT_THROW(c.Paint(), MissingObjectError);
    EXPECT_THROW(c.PaintEx(), MissingObjectError);
    EXPECT_THROW(c.PosCheck(), MissingObjectError);
    EXPECT_THROW(c.VerPosCheck(0, 0), MissingObjectError);
    EXPECT_THROW(c.PileCheck(*other), MissingObjectError);
    EXPECT_THROW(other->PileCheckLt(c), MissingObjectError);
    EXPECT_THROW(c.PileCheckPoint(0, 0), MissingObjectError);
    EXPECT_THROW(c.SetNextPt(), MissingObjectError);
    EXPECT_THROW(c.SetBeforePt(), MissingObjectError);
    EXPECT_THROW(c.SetNextPtLp(), MissingObjectError);
    EXPECT_THROW(c.SetBeforePtLp(), MissingObjectError);
    EXPECT_EQ(c.PtNo(), 0);
}

TEST_F(CharacterTest, SteppersStopOrWrapAtBothEnds) {
    auto c = at(0, 0, 3);
    EXPECT_EQ(c->SetBeforePt(), kTrue);
    EXPECT_EQ(c->PtNo(), 0);
    EXPECT_EQ(c->SetNextPt(), kFalse);
    EXPECT_EQ(c->SetNextPt(), kFalse);
    EXPECT_EQ(c->SetNextPt(), kTrue);
    EXPECT_EQ(c->PtNo(), 2);
    EXPECT_EQ(c->SetBeforePt(), kFalse);
    EXPECT_EQ(c->PtNo(), 1);

    EXPECT_EQ(c->SetNextPtLp(), kFalse);
    EXPECT_EQ(c->SetNextPtLp(), kTrue);
    EXPECT_EQ(c->PtNo(), 0);
    EXPECT_EQ(c->SetBeforePtLp(), kTrue);
    EXPECT_EQ(c->PtNo(), 2);
    EXPECT_EQ(c->SetBeforePtLp(), kFalse);
    EXPECT_EQ(c->PtNo(), 1);
}

TEST_F(CharacterTest, AutoAnimeStepsEveryIntervalByType) {
    auto c = at(0, 0, 3);
    // Interval 0: every call steps; type 2 wraps, type 0 stops at the end.
    EXPECT_EQ(c->AutoAnime(2), kFalse);
    EXPECT_EQ(c->AutoAnime(2), kFalse);
    EXPECT_EQ(c->AutoAnime(2), kTrue);
    EXPECT_EQ(c->PtNo(), 0);
    c->AutoAnime(0);
    c->AutoAnime(0);
    EXPECT_EQ(c->AutoAnime(0), kTrue);
    EXPECT_EQ(c->PtNo(), 2);
    c->AutoAnime(1);
    EXPECT_EQ(c->PtNo(), 1);
    EXPECT_EQ(c->AutoAnime(3), kFalse);
    EXPECT_EQ(c->AutoAnime(3), kTrue);
    EXPECT_EQ(c->PtNo(), 2);

    c->ChangeSprite(c->Sprite(), 3);
    std::vector<int> pt;
    for (int call = 0; call < 6; ++call) {
        c->AutoAnime(0);
        pt.push_back(c->PtNo());
    }
    EXPECT_EQ(pt, (std::vector<int>{0, 0, 1, 1, 1, 2}));

    // An unknown type times the interval but never steps.
    c->ChangeSprite(c->Sprite(), 2);
    EXPECT_EQ(c->AutoAnime(7), kFalse);
    EXPECT_EQ(c->AniCt(), 1);
    EXPECT_EQ(c->AutoAnime(7), kFalse);
    EXPECT_EQ(c->AniCt(), 0);
    EXPECT_EQ(c->PtNo(), 0);
}

TEST_F(CharacterTest, PositionReachesPatternsRoundedHalfToEven) {
    // A 16-wide pattern at x covers the points x .. x + 16.
    auto c = at(10.5f, -0.5f);
    EXPECT_EQ(c->PileCheckPoint(9, 0), 1);
    EXPECT_EQ(c->PileCheckPoint(10, 0), 0);
    EXPECT_EQ(c->PileCheckPoint(26, 0), 0);
    EXPECT_EQ(c->PileCheckPoint(27, 0), 1);
    EXPECT_EQ(c->PileCheckPoint(10, -1), 1);
    c->Left(11.5f);
    EXPECT_EQ(c->PileCheckPoint(11, 0), 1);
    EXPECT_EQ(c->PileCheckPoint(12, 0), 0);

    c->Left(40000);
    EXPECT_THROW(c->PosCheck(), OverflowError);
}

TEST_F(CharacterTest, PaintDrawsAtTheRoundedPosition) {
    sheet->hdc().bitmap().fill(0xFFFFFF);
    field->ClsB();
    auto c = at(10.5f, 20);
    c->Paint();
    const platform::Bitmap& out = field->Hdc()->bitmap();
    EXPECT_EQ(out.pixel(9, 20), 0u);
    EXPECT_EQ(out.pixel(10, 20), 0xFFFFFFu);
    EXPECT_EQ(out.pixel(25, 27), 0xFFFFFFu);
    EXPECT_EQ(out.pixel(26, 20), 0u);
}

TEST_F(CharacterTest, PlayfieldTestsAtOwnOrTrialPosition) {
    auto c = at(-16, 0);
    EXPECT_EQ(c->PosCheck(), 2);
    EXPECT_EQ(c->VerPosCheck(-17, 0), 1);
    EXPECT_EQ(c->VerPosCheck(0, 0), 0);
    EXPECT_EQ(c->Left(), -16.0f);
}

TEST_F(CharacterTest, OverlapTestsUseTheOtherCharactersRoundedRectangle) {
    auto self = at(0, 0);
    auto touching = at(16.5f, 0); // rounds to 16: edges touch
    auto apart = at(17.5f, 0);    // rounds to 18
    auto same = at(0, 0);
    EXPECT_EQ(self->PileCheck(*touching), 2);
    EXPECT_EQ(self->PileCheckLt(*touching), 2);
    EXPECT_EQ(self->PileCheck(*apart), 1);
    EXPECT_EQ(self->PileCheckLt(*apart), 1);
    EXPECT_EQ(self->PileCheck(*same), 0);
    EXPECT_EQ(self->PileCheckLt(*same), 2);
}
