// The game rules, one step at a time, on a sortie with an empty sheet.

#include "game/sortie.h"
#include "platform/legacy/virtual_keys.h"
#include "tests/support/fake_input.h"

#include <gtest/gtest.h>

#include <vector>

using nox::clsNoxCharacter;
namespace vk = platform::vk;

namespace {

struct Rules : ::testing::Test {
    platform::FakeKeys keys;
    platform::FakeJoystick joystick;
    std::unique_ptr<nox::ListRnd> scripted;
    std::unique_ptr<game::Sortie> sortie;

    // A prepared sortie whose generator hands out exactly `draws`.
    void start(std::vector<float> draws = {}) {
        scripted = std::make_unique<nox::ListRnd>(std::move(draws));
        sortie = std::make_unique<game::Sortie>(keys, joystick, *scripted);
        auto area = [](int w, int h) { return std::make_shared<platform::PictureBox>(0, 0, w, h); };
        sortie->Create({area(512, 300), area(320, 600), area(320, 600)});
        sortie->SpriteInit();
        sortie->EneMqlInit();
        sortie->PlaceMy();
    }
    void SetUp() override { start(); }

    std::shared_ptr<clsNoxCharacter> enemy(int16_t slot) { return sortie->grpEne()->Item(slot); }
    std::shared_ptr<clsNoxCharacter> add_enemy(int kind, float x, float y, int16_t hp) {
        auto e = std::make_shared<clsNoxCharacter>();
        e->Create(sortie->sprEne()[static_cast<size_t>(kind + 3)], 0, 0, hp, 0);
        e->MQL(sortie->mqlEne()[static_cast<size_t>(kind)]);
        e->Left(x);
        e->Top(y);
        sortie->grpEne()->Add(e);
        return e;
    }
    // One frame of the player's steps with the given keys held.
    void control(std::initializer_list<int32_t> held) {
        keys.release_all();
        for (int32_t key : held) {
            keys.press(key);
        }
        sortie->MyControl();
    }
};

} // namespace

TEST_F(Rules, CatalogueCutsEverySpriteFromTheSheet) {
    EXPECT_EQ(sortie->sprMy()->PtNoMax(), 4);
    EXPECT_EQ(sortie->sprMy()->Pattern(3).Left(), 144);
    EXPECT_EQ(sortie->sprMy()->Height(2), 36);
    nox::clsNoxPattern& burst = sortie->sprBurst()->Pattern(4);
    EXPECT_EQ(burst.Left(), 184);
    EXPECT_EQ(burst.Top(), 36);
    EXPECT_EQ(burst.Width(), 28);
    EXPECT_EQ(burst.Height(), 28);
    EXPECT_EQ(sortie->sprEne()[0]->Height(0), 79);
    EXPECT_EQ(sortie->sprEne()[5]->Pattern(0).Left(), 64);
    EXPECT_EQ(sortie->sprHit()->Pattern(0).Height(), 24);
    EXPECT_EQ(sortie->sprEneBt()->Pattern(0).Top(), 16);
}

TEST_F(Rules, AircraftStartsCentredLevel) {
    EXPECT_FLOAT_EQ(sortie->chrMy()->Left(), 10);
    EXPECT_FLOAT_EQ(sortie->chrMy()->Top(), 132);
    EXPECT_EQ(sortie->chrMy()->PtNo(), 2);
    EXPECT_EQ(sortie->chrMy()->Hp(), 1);
}

TEST_F(Rules, EnemyKindTopAndHitPointsFollowTheDraws) {
    struct Case {
        float kind, r1, r2;
        const char* sprite_kind;
        int top, hp;
        float vx;
    };
    // 0.25 * 2 = 0.5 and 0.75 * 2 = 1.5 round to the even neighbours 0 and 2.
    const Case cases[] = {{0.25f, 0.0f, 0.0f, "0", 110, 1, -8},
                          {0.5f, 0.5f, 0.5f, "1", 135, 4, -4},
                          {0.75f, 0.999f, 0.999f, "2", 160, 7, -4}};
    for (const Case& c : cases) {
        start({c.kind, 0.0f, c.r1, c.r2});
        sortie->EneAppear();
        ASSERT_EQ(sortie->grpEne()->ItemCount(), 1) << c.kind;
        auto e = enemy(0);
        const size_t kind = static_cast<size_t>(c.sprite_kind[0] - '0');
        EXPECT_EQ(e->Sprite(), sortie->sprEne()[kind + 3]);
        EXPECT_FLOAT_EQ(e->Left(), 512);
        EXPECT_FLOAT_EQ(e->Top(), static_cast<float>(c.top));
        EXPECT_EQ(e->Hp(), c.hp);
        EXPECT_FLOAT_EQ(e->LeftTrans(), c.vx);
        EXPECT_EQ(scripted->draws(), 4);
    }
}

TEST_F(Rules, EnemyEntersInAFifthOfTheFramesAndNeverPastTheCap) {
    start({0.1f, 0.2f}); // 0.2 * 20 = 4: no entry
    sortie->EneAppear();
    EXPECT_EQ(sortie->grpEne()->ItemCount(), 0);
    EXPECT_EQ(scripted->draws(), 2);

    start({0.1f, 0.0f});
    for (int i = 0; i < 100; ++i) {
        add_enemy(0, 200, 100, 1);
    }
    sortie->EneAppear(); // only the kind is drawn
    EXPECT_EQ(scripted->draws(), 1);
    EXPECT_EQ(sortie->grpEne()->ItemCount(), 100);
}

TEST_F(Rules, NewEnemiesFirstMoveFromTheRightEdge) {
    start({0.1f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f, 0.0f});
    sortie->EneAppear();
    sortie->EneAppear();
    sortie->EneMove();
    EXPECT_FLOAT_EQ(enemy(0)->Left(), 504); // kind 0
    EXPECT_FLOAT_EQ(enemy(1)->Left(), 508); // kind 1
}

TEST_F(Rules, EnemyPathsRunTheirWholeCourseAndLeaveTheField) {
    start({0.1f, 0.0f, 0.0f, 0.0f});
    sortie->EneAppear();
    auto e = enemy(0);
    int frames = 0;
    while (sortie->grpEne()->ItemCount() > 0 && frames < 200) {
        sortie->EneMove();
        ++frames;
        if (frames == 74) {
            EXPECT_NEAR(e->Left(), 512 - 4, 0.01);
            EXPECT_FLOAT_EQ(e->Top(), 110);
        }
    }
    // Kind 0 turns back and leaves over the right edge (x above 512) before its list repeats.
    EXPECT_LT(frames, 90);
    EXPECT_GT(e->Left(), 512);
}

TEST_F(Rules, FireHeldShootsInFramesOneFiveNine) {
    std::vector<int> counts;
    for (int frame = 1; frame <= 9; ++frame) {
        control({vk::kZ});
        counts.push_back(sortie->grpMyBt()->ItemCount());
    }
    EXPECT_EQ(counts, (std::vector<int>{3, 3, 3, 3, 6, 6, 6, 6, 9}));
    control({});
    control({vk::kSpace}); // one frame without the button re-arms it: the space bar fires at once
    EXPECT_EQ(sortie->grpMyBt()->ItemCount(), 12);
}

TEST_F(Rules, ShotIsRefusedAtFifteenBulletsButStillWaitsFourFrames) {
    for (int i = 0; i < 5; ++i) {
        sortie->MyShot();
    }
    EXPECT_EQ(sortie->grpMyBt()->ItemCount(), 15);
    control({vk::kZ});
    EXPECT_EQ(sortie->grpMyBt()->ItemCount(), 15);
    EXPECT_EQ(sortie->myShotCt(), 4);
    sortie->grpMyBt()->Remove(0);
    sortie->MyShot(); // 14 in flight: three more
    EXPECT_EQ(sortie->grpMyBt()->ItemCount(), 17);
}

TEST_F(Rules, AircraftStopsAtItsLimits) {
    std::vector<float> xs;
    for (int i = 0; i < 7; ++i) {
        control({vk::kNumpad4});
        xs.push_back(sortie->chrMy()->Left());
    }
    EXPECT_EQ(xs, (std::vector<float>{4, -2, -8, -14, -20, -20, -20}));
    for (int i = 0; i < 100; ++i) {
        control({vk::kRight});
    }
    EXPECT_FLOAT_EQ(sortie->chrMy()->Left(), 460);
    for (int i = 0; i < 100; ++i) {
        control({vk::kUp});
    }
    // A move up is allowed while y is 10 or more: from 132 in 6-pixel steps that stops at 6.
    EXPECT_FLOAT_EQ(sortie->chrMy()->Top(), 6);
    for (int i = 0; i < 100; ++i) {
        control({vk::kNumpad2});
    }
    EXPECT_FLOAT_EQ(sortie->chrMy()->Top(), 258);
}

TEST_F(Rules, DiagonalAndTwoReadersMoveOneStepPerAxis) {
    control({vk::kNumpad4, vk::kLeft}); // keypad 4 and the left arrow together
    EXPECT_FLOAT_EQ(sortie->chrMy()->Left(), 4);
    control({vk::kNumpad6, vk::kNumpad2});
    EXPECT_FLOAT_EQ(sortie->chrMy()->Left(), 10);
    EXPECT_FLOAT_EQ(sortie->chrMy()->Top(), 138);
    joystick.x = 256; // the joystick alone
    control({});
    joystick.x = 32768;
    EXPECT_FLOAT_EQ(sortie->chrMy()->Left(), 4);
}

TEST_F(Rules, TiltLeansAndRelaxesAfterPainting) {
    std::vector<int> patterns;
    for (int i = 0; i < 5; ++i) {
        control({vk::kNumpad8});
        patterns.push_back(sortie->chrMy()->PtNo());
    }
    EXPECT_EQ(patterns, (std::vector<int>{2, 3, 3, 4, 4}));
    EXPECT_EQ(sortie->myTilt(), 4);
    patterns.clear();
    for (int i = 0; i < 6; ++i) {
        control({});
        patterns.push_back(sortie->chrMy()->PtNo());
    }
    EXPECT_EQ(patterns, (std::vector<int>{4, 3, 3, 2, 2, 2}));
    for (int i = 0; i < 5; ++i) {
        control({vk::kNumpad2});
    }
    EXPECT_EQ(sortie->chrMy()->PtNo(), 0);
}

TEST_F(Rules, UpAndDownTogetherMoveDownAndHoldTheTilt) {
    for (int i = 0; i < 4; ++i) {
        control({vk::kNumpad8});
    }
    control({vk::kNumpad8, vk::kNumpad2});
    EXPECT_EQ(sortie->myTilt(), 3); // 4 stays 4 under Up, then Down takes one
    EXPECT_FLOAT_EQ(sortie->chrMy()->Top(), 132 - 4 * 6 + 6);
    control({vk::kNumpad8, vk::kNumpad2});
    EXPECT_EQ(sortie->myTilt(), 3);
}

TEST_F(Rules, BurstFansOutFromTheNose) {
    sortie->MyShot();
    ASSERT_EQ(sortie->grpMyBt()->ItemCount(), 3);
    for (int16_t i = 0; i < 3; ++i) {
        auto b = sortie->grpMyBt()->Item(i);
        EXPECT_FLOAT_EQ(b->Left(), 58);
        EXPECT_FLOAT_EQ(b->Top(), 142);
        EXPECT_FLOAT_EQ(b->TopTrans(), static_cast<float>(1 - i));
        EXPECT_EQ(b->AniSp(), 6);
    }
    for (int i = 0; i < 3; ++i) {
        sortie->MyBtMove();
    }
    EXPECT_FLOAT_EQ(sortie->grpMyBt()->Item(1)->Left(), 94);
    EXPECT_FLOAT_EQ(sortie->grpMyBt()->Item(0)->Top(), 145);
    EXPECT_FLOAT_EQ(sortie->grpMyBt()->Item(2)->Top(), 139);
    int substeps = 3;
    while (sortie->grpMyBt()->ItemCount() > 0) {
        sortie->MyBtMove();
        ++substeps;
    }
    EXPECT_EQ(substeps, 38); // out past x = 512 at x = 514
}

TEST_F(Rules, BulletsTouchingAnEnemyEdgeHitAndTheThirdDestroysIt) {
    auto e = add_enemy(0, 86, 142, 3); // the bullets reach x 70 in one sub-step: 70 + 16 = 86
    sortie->MyShot();
    sortie->MyBtMove();
    for (int16_t i = 0; i < 3; ++i) {
        auto spent = sortie->grpMyBt()->Item(i);
        EXPECT_EQ(spent->Sprite(), sortie->sprHit()) << i;
        EXPECT_EQ(spent->Hp(), 0) << i;
    }
    EXPECT_EQ(e->Hp(), 0);
    EXPECT_EQ(e->Sprite(), sortie->sprBurst());
    EXPECT_EQ(e->Num(), 5);
    sortie->MyBtPaint(); // every flash is painted once and removed
    EXPECT_EQ(sortie->grpMyBt()->ItemCount(), 0);
}

TEST_F(Rules, BulletOneWidthAwayMisses) {
    auto e = add_enemy(0, 87, 142, 3);
    sortie->MyShot();
    sortie->MyBtMove();
    EXPECT_EQ(e->Hp(), 3);
}

TEST_F(Rules, OneBulletPerEnemyTwoOfABurstOnAOneHitPointEnemy) {
    auto e = add_enemy(0, 70, 140, 1);
    sortie->MyShot();
    sortie->MyBtMove();
    EXPECT_EQ(e->Sprite(), sortie->sprBurst());
    // The first bullet destroyed it; the others pass through the explosion.
    EXPECT_EQ(sortie->grpMyBt()->Item(0)->Sprite(), sortie->sprHit());
    EXPECT_EQ(sortie->grpMyBt()->Item(1)->Sprite(), sortie->sprMyBt());
    EXPECT_EQ(sortie->grpMyBt()->Item(2)->Sprite(), sortie->sprMyBt());
}

TEST_F(Rules, ExplosionPlaysPatternsOneToFourThenZeroAndEnds) {
    auto e = add_enemy(0, 300, 100, 1);
    e->ChangeSprite(sortie->sprBurst(), 1);
    e->Hp(0);
    e->Num(5);
    std::vector<int> patterns;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(sortie->grpEne()->ItemCount(), 1);
        sortie->EnePaint();
        patterns.push_back(e->PtNo());
    }
    EXPECT_EQ(patterns, (std::vector<int>{1, 2, 3, 4, 0}));
    EXPECT_EQ(sortie->grpEne()->ItemCount(), 0);
}

TEST_F(Rules, EnemiesOutsideTheFieldAreRetired) {
    add_enemy(0, -40, 100, 1); // wholly past the left edge after its move
    add_enemy(0, 100, 100, 1);
    sortie->grpEne()->Item(0)->LeftTrans(-8);
    sortie->EneMove();
    EXPECT_FALSE(sortie->grpEne()->Enabled(0));
    EXPECT_TRUE(sortie->grpEne()->Enabled(1));
}

TEST_F(Rules, EnemyBulletsFlyOnAndVanishAtTheHitPoint) {
    start({0.5f}); // k = round(0.5 * 4) = 2: level flight
    sortie->EneShot(400, 20);
    auto b = sortie->grpEneBt()->Item(0);
    EXPECT_FLOAT_EQ(b->TopTrans(), 0);
    sortie->EneBtMove();
    sortie->EneBtMove();
    EXPECT_FLOAT_EQ(b->Left(), 392);
    int substeps = 2;
    while (sortie->grpEneBt()->ItemCount() > 0) {
        sortie->EneBtMove();
        ++substeps;
    }
    EXPECT_EQ(substeps, 105);
    EXPECT_FLOAT_EQ(b->Left(), -20);

    // The hit point (10 + 50, 132 + 40) lies on a bullet at (50, 160): it is removed.
    start({0.5f});
    sortie->EneShot(54, 160);
    sortie->EneBtMove();
    EXPECT_EQ(sortie->grpEneBt()->ItemCount(), 0);
}

TEST_F(Rules, EnemyBulletPaintSkipsOnlyBulletsWhollyOutside) {
    start({0.0f});
    sortie->EneShot(600, 20); // k = 0: TopTrans 2
    EXPECT_FLOAT_EQ(sortie->grpEneBt()->Item(0)->TopTrans(), 2);
    sortie->EneBtPaint(); // outside: not painted, no error
    EXPECT_EQ(sortie->grpEneBt()->ItemCount(), 1);
}
