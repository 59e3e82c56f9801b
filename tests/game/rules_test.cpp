// The game rules, one step at a time, on a headless game window.

#include "app/frmMain.h"

#include <gtest/gtest.h>

#include <vector>

namespace app {

// Reaches the window's private steps.
struct frmMainProbe {
    static void prepare(frmMain& f) {
        f.SpriteInit();
        f.EneMqlInit();
        f.PlaceMy();
    }
    static void EneAppear(frmMain& f) { f.EneAppear(); }
    static void EneMove(frmMain& f) { f.EneMove(); }
    static void EnePaint(frmMain& f) { f.EnePaint(); }
    static void MyControl(frmMain& f) { f.MyControl(); }
    static void MyShot(frmMain& f) { f.MyShot(); }
    static void MyBtMove(frmMain& f) { f.MyBtMove(); }
    static void MyBtPaint(frmMain& f) { f.MyBtPaint(); }
    static void EneBtMove(frmMain& f) { f.EneBtMove(); }
    static void EneBtPaint(frmMain& f) { f.EneBtPaint(); }
    static void EneShot(frmMain& f, int16_t x, int16_t y) { f.EneShot(x, y); }
};

} // namespace app

using app::frmMain;
using app::frmMainProbe;
using nox::clsNoxCharacter;

namespace {

struct Rules : ::testing::Test {
    platform::FakeClock clock{0, 1};
    platform::FakeKeys keys;
    platform::FakeJoystick joystick;
    platform::NoEvents events;
    platform::RecordingMediaPlayer media;
    nox::ListRnd rnd{{}};
    std::unique_ptr<nox::ListRnd> scripted;
    nox::Rnd* active = &rnd;
    std::unique_ptr<app::Services> services;
    std::unique_ptr<frmMain> game;

    // A game window whose generator hands out exactly `draws`.
    void start(std::vector<float> draws = {}) {
        scripted = std::make_unique<nox::ListRnd>(std::move(draws));
        services = std::make_unique<app::Services>(
            app::Services{clock, keys, joystick, events, media, *scripted, nullptr,
                          [](std::string_view) { return std::string(); }});
        game = std::make_unique<frmMain>(*services);
        game->Form_Load();
        frmMainProbe::prepare(*game);
    }
    void SetUp() override { start(); }

    std::shared_ptr<clsNoxCharacter> enemy(int16_t slot) { return game->grpEne->Item(slot); }
    std::shared_ptr<clsNoxCharacter> add_enemy(int kind, float x, float y, int16_t hp) {
        auto e = std::make_shared<clsNoxCharacter>();
        e->Create(game->sprEne[static_cast<size_t>(kind + 3)], 0, 0, hp, 0);
        e->MQL(game->mqlEne[static_cast<size_t>(kind)]);
        e->Left(x);
        e->Top(y);
        game->grpEne->Add(e);
        return e;
    }
    // One frame of the player's steps with the given keys held.
    void control(std::initializer_list<int> held) {
        keys.release_all();
        for (int vk : held) {
            keys.press(vk);
        }
        frmMainProbe::MyControl(*game);
    }
};

} // namespace

TEST_F(Rules, CatalogueCutsEverySpriteFromTheSheet) {
    EXPECT_EQ(game->sprMy->PtNoMax(), 4);
    EXPECT_EQ(game->sprMy->Pattern(3).Left(), 144);
    EXPECT_EQ(game->sprMy->Height(2), 36);
    nox::clsNoxPattern& burst = game->sprBurst->Pattern(4);
    EXPECT_EQ(burst.Left(), 184);
    EXPECT_EQ(burst.Top(), 36);
    EXPECT_EQ(burst.Width(), 28);
    EXPECT_EQ(burst.Height(), 28);
    EXPECT_EQ(game->sprEne[0]->Height(0), 79);
    EXPECT_EQ(game->sprEne[5]->Pattern(0).Left(), 64);
    EXPECT_EQ(game->sprHit->Pattern(0).Height(), 24);
    EXPECT_EQ(game->sprEneBt->Pattern(0).Top(), 16);
}

TEST_F(Rules, AircraftStartsCentredLevel) {
    EXPECT_FLOAT_EQ(game->chrMy->Left(), 10);
    EXPECT_FLOAT_EQ(game->chrMy->Top(), 132);
    EXPECT_EQ(game->chrMy->PtNo(), 2);
    EXPECT_EQ(game->chrMy->Hp(), 1);
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
        frmMainProbe::EneAppear(*game);
        ASSERT_EQ(game->grpEne->ItemCount(), 1) << c.kind;
        auto e = enemy(0);
        const size_t kind = static_cast<size_t>(c.sprite_kind[0] - '0');
        EXPECT_EQ(e->Sprite(), game->sprEne[kind + 3]);
        EXPECT_FLOAT_EQ(e->Left(), 512);
        EXPECT_FLOAT_EQ(e->Top(), static_cast<float>(c.top));
        EXPECT_EQ(e->Hp(), c.hp);
        EXPECT_FLOAT_EQ(e->LeftTrans(), c.vx);
        EXPECT_EQ(scripted->draws(), 4);
    }
}

TEST_F(Rules, EnemyEntersInAFifthOfTheFramesAndNeverPastTheCap) {
    start({0.1f, 0.2f}); // 0.2 * 20 = 4: no entry
    frmMainProbe::EneAppear(*game);
    EXPECT_EQ(game->grpEne->ItemCount(), 0);
    EXPECT_EQ(scripted->draws(), 2);

    start({0.1f, 0.0f});
    for (int i = 0; i < 100; ++i) {
        add_enemy(0, 200, 100, 1);
    }
    frmMainProbe::EneAppear(*game); // only the kind is drawn
    EXPECT_EQ(scripted->draws(), 1);
    EXPECT_EQ(game->grpEne->ItemCount(), 100);
}

TEST_F(Rules, NewEnemiesFirstMoveFromTheRightEdge) {
    start({0.1f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f, 0.0f});
    frmMainProbe::EneAppear(*game);
    frmMainProbe::EneAppear(*game);
    frmMainProbe::EneMove(*game);
    EXPECT_FLOAT_EQ(enemy(0)->Left(), 504); // kind 0
    EXPECT_FLOAT_EQ(enemy(1)->Left(), 508); // kind 1
}

TEST_F(Rules, EnemyPathsRunTheirWholeCourseAndLeaveTheField) {
    start({0.1f, 0.0f, 0.0f, 0.0f});
    frmMainProbe::EneAppear(*game);
    auto e = enemy(0);
    int frames = 0;
    while (game->grpEne->ItemCount() > 0 && frames < 200) {
        frmMainProbe::EneMove(*game);
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
        control({90});
        counts.push_back(game->grpMyBt->ItemCount());
    }
    EXPECT_EQ(counts, (std::vector<int>{3, 3, 3, 3, 6, 6, 6, 6, 9}));
    control({});
    control({32}); // one frame without the button re-arms it: the space bar fires at once
    EXPECT_EQ(game->grpMyBt->ItemCount(), 12);
}

TEST_F(Rules, ShotIsRefusedAtFifteenBulletsButStillWaitsFourFrames) {
    for (int i = 0; i < 5; ++i) {
        frmMainProbe::MyShot(*game);
    }
    EXPECT_EQ(game->grpMyBt->ItemCount(), 15);
    control({90});
    EXPECT_EQ(game->grpMyBt->ItemCount(), 15);
    EXPECT_EQ(game->myShotCt, 4);
    game->grpMyBt->Remove(0);
    frmMainProbe::MyShot(*game); // 14 in flight: three more
    EXPECT_EQ(game->grpMyBt->ItemCount(), 17);
}

TEST_F(Rules, AircraftStopsAtItsLimits) {
    std::vector<float> xs;
    for (int i = 0; i < 7; ++i) {
        control({100});
        xs.push_back(game->chrMy->Left());
    }
    EXPECT_EQ(xs, (std::vector<float>{4, -2, -8, -14, -20, -20, -20}));
    for (int i = 0; i < 100; ++i) {
        control({39});
    }
    EXPECT_FLOAT_EQ(game->chrMy->Left(), 460);
    for (int i = 0; i < 100; ++i) {
        control({38});
    }
    // A move up is allowed while y is 10 or more: from 132 in 6-pixel steps that stops at 6.
    EXPECT_FLOAT_EQ(game->chrMy->Top(), 6);
    for (int i = 0; i < 100; ++i) {
        control({98});
    }
    EXPECT_FLOAT_EQ(game->chrMy->Top(), 258);
}

TEST_F(Rules, DiagonalAndTwoReadersMoveOneStepPerAxis) {
    control({100, 37}); // keypad 4 and the left arrow together
    EXPECT_FLOAT_EQ(game->chrMy->Left(), 4);
    control({102, 98});
    EXPECT_FLOAT_EQ(game->chrMy->Left(), 10);
    EXPECT_FLOAT_EQ(game->chrMy->Top(), 138);
    joystick.x = 256; // the joystick alone
    control({});
    joystick.x = 32768;
    EXPECT_FLOAT_EQ(game->chrMy->Left(), 4);
}

TEST_F(Rules, TiltLeansAndRelaxesAfterPainting) {
    std::vector<int> patterns;
    for (int i = 0; i < 5; ++i) {
        control({104});
        patterns.push_back(game->chrMy->PtNo());
    }
    EXPECT_EQ(patterns, (std::vector<int>{2, 3, 3, 4, 4}));
    EXPECT_EQ(game->myTilt, 4);
    patterns.clear();
    for (int i = 0; i < 6; ++i) {
        control({});
        patterns.push_back(game->chrMy->PtNo());
    }
    EXPECT_EQ(patterns, (std::vector<int>{4, 3, 3, 2, 2, 2}));
    for (int i = 0; i < 5; ++i) {
        control({98});
    }
    EXPECT_EQ(game->chrMy->PtNo(), 0);
}

TEST_F(Rules, UpAndDownTogetherMoveDownAndHoldTheTilt) {
    for (int i = 0; i < 4; ++i) {
        control({104});
    }
    control({104, 98});
    EXPECT_EQ(game->myTilt, 3); // 4 stays 4 under Up, then Down takes one
    EXPECT_FLOAT_EQ(game->chrMy->Top(), 132 - 4 * 6 + 6);
    control({104, 98});
    EXPECT_EQ(game->myTilt, 3);
}

TEST_F(Rules, BurstFansOutFromTheNose) {
    frmMainProbe::MyShot(*game);
    ASSERT_EQ(game->grpMyBt->ItemCount(), 3);
    for (int16_t i = 0; i < 3; ++i) {
        auto b = game->grpMyBt->Item(i);
        EXPECT_FLOAT_EQ(b->Left(), 58);
        EXPECT_FLOAT_EQ(b->Top(), 142);
        EXPECT_FLOAT_EQ(b->TopTrans(), static_cast<float>(1 - i));
        EXPECT_EQ(b->AniSp(), 6);
    }
    for (int i = 0; i < 3; ++i) {
        frmMainProbe::MyBtMove(*game);
    }
    EXPECT_FLOAT_EQ(game->grpMyBt->Item(1)->Left(), 94);
    EXPECT_FLOAT_EQ(game->grpMyBt->Item(0)->Top(), 145);
    EXPECT_FLOAT_EQ(game->grpMyBt->Item(2)->Top(), 139);
    int substeps = 3;
    while (game->grpMyBt->ItemCount() > 0) {
        frmMainProbe::MyBtMove(*game);
        ++substeps;
    }
    EXPECT_EQ(substeps, 38); // out past x = 512 at x = 514
}

TEST_F(Rules, BulletsTouchingAnEnemyEdgeHitAndTheThirdDestroysIt) {
    auto e = add_enemy(0, 86, 142, 3); // the bullets reach x 70 in one sub-step: 70 + 16 = 86
    frmMainProbe::MyShot(*game);
    frmMainProbe::MyBtMove(*game);
    for (int16_t i = 0; i < 3; ++i) {
        auto spent = game->grpMyBt->Item(i);
        EXPECT_EQ(spent->Sprite(), game->sprHit) << i;
        EXPECT_EQ(spent->Hp(), 0) << i;
    }
    EXPECT_EQ(e->Hp(), 0);
    EXPECT_EQ(e->Sprite(), game->sprBurst);
    EXPECT_EQ(e->Num(), 5);
    frmMainProbe::MyBtPaint(*game); // every flash is painted once and removed
    EXPECT_EQ(game->grpMyBt->ItemCount(), 0);
}

TEST_F(Rules, BulletOneWidthAwayMisses) {
    auto e = add_enemy(0, 87, 142, 3);
    frmMainProbe::MyShot(*game);
    frmMainProbe::MyBtMove(*game);
    EXPECT_EQ(e->Hp(), 3);
}

TEST_F(Rules, OneBulletPerEnemyTwoOfABurstOnAOneHitPointEnemy) {
    auto e = add_enemy(0, 70, 140, 1);
    frmMainProbe::MyShot(*game);
    frmMainProbe::MyBtMove(*game);
    EXPECT_EQ(e->Sprite(), game->sprBurst);
    // The first bullet destroyed it; the others pass through the explosion.
    EXPECT_EQ(game->grpMyBt->Item(0)->Sprite(), game->sprHit);
    EXPECT_EQ(game->grpMyBt->Item(1)->Sprite(), game->sprMyBt);
    EXPECT_EQ(game->grpMyBt->Item(2)->Sprite(), game->sprMyBt);
}

TEST_F(Rules, ExplosionPlaysPatternsOneToFourThenZeroAndEnds) {
    auto e = add_enemy(0, 300, 100, 1);
    e->ChangeSprite(game->sprBurst, 1);
    e->Hp(0);
    e->Num(5);
    std::vector<int> patterns;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(game->grpEne->ItemCount(), 1);
        frmMainProbe::EnePaint(*game);
        patterns.push_back(e->PtNo());
    }
    EXPECT_EQ(patterns, (std::vector<int>{1, 2, 3, 4, 0}));
    EXPECT_EQ(game->grpEne->ItemCount(), 0);
}

TEST_F(Rules, EnemiesOutsideTheFieldAreRetired) {
    add_enemy(0, -40, 100, 1); // wholly past the left edge after its move
    add_enemy(0, 100, 100, 1);
    game->grpEne->Item(0)->LeftTrans(-8);
    frmMainProbe::EneMove(*game);
    EXPECT_FALSE(game->grpEne->Enabled(0));
    EXPECT_TRUE(game->grpEne->Enabled(1));
}

TEST_F(Rules, EnemyBulletsFlyOnAndVanishAtTheHitPoint) {
    start({0.5f}); // k = round(0.5 * 4) = 2: level flight
    frmMainProbe::EneShot(*game, 400, 20);
    auto b = game->grpEneBt->Item(0);
    EXPECT_FLOAT_EQ(b->TopTrans(), 0);
    frmMainProbe::EneBtMove(*game);
    frmMainProbe::EneBtMove(*game);
    EXPECT_FLOAT_EQ(b->Left(), 392);
    int substeps = 2;
    while (game->grpEneBt->ItemCount() > 0) {
        frmMainProbe::EneBtMove(*game);
        ++substeps;
    }
    EXPECT_EQ(substeps, 105);
    EXPECT_FLOAT_EQ(b->Left(), -20);

    // The hit point (10 + 50, 132 + 40) lies on a bullet at (50, 160): it is removed.
    start({0.5f});
    frmMainProbe::EneShot(*game, 54, 160);
    frmMainProbe::EneBtMove(*game);
    EXPECT_EQ(game->grpEneBt->ItemCount(), 0);
}

TEST_F(Rules, EnemyBulletPaintSkipsOnlyBulletsWhollyOutside) {
    start({0.0f});
    frmMainProbe::EneShot(*game, 600, 20); // k = 0: TopTrans 2
    EXPECT_FLOAT_EQ(game->grpEneBt->Item(0)->TopTrans(), 2);
    frmMainProbe::EneBtPaint(*game); // outside: not painted, no error
    EXPECT_EQ(game->grpEneBt->ItemCount(), 1);
}
