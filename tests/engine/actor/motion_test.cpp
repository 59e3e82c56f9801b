#include "engine/actor/clsNoxCharacter.h"
#include "engine/sys/errors.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <map>
#include <memory>
#include <vector>

using namespace nox;

namespace {

struct Step {
    float vx, vy;
    int32_t frames;
    int16_t ine_flag;
};

std::shared_ptr<clsNoxMQL> list_of(const std::vector<Step>& steps) {
    auto list = std::make_shared<clsNoxMQL>();
    for (const Step& s : steps) {
        list->Add(s.vx, s.vy, s.frames, s.ine_flag);
    }
    return list;
}

// The three enemy flight paths of the game.
std::shared_ptr<clsNoxMQL> weave_and_turn_back() {
    return list_of({{-8, 0, 15, 0},
                    {0, -1, 5, 1},
                    {0, 1, 10, 1},
                    {0, -1, 5, 1},
                    {0.8f, 0, 30, 1},
                    {0, 0, 20, 1}});
}
std::shared_ptr<clsNoxMQL> dash_and_turn(float vy) {
    return list_of({{-4, 0, 1, 1}, {-0.5f, 0, 16, 1}, {0, 0, 20, 1}, {0, vy, 30, 1}});
}

constexpr float kX0 = 512;
constexpr float kY0 = 135;

struct Point {
    float x, y;
    bool operator==(const Point&) const = default;
};

// Runs a new enemy along a path; the position relative to the entry point
// after each frame number asked for.
std::map<int, Point> fly(std::shared_ptr<clsNoxMQL> path, const std::vector<int>& frames,
                         float* speed_after_last = nullptr) {
    clsNoxCharacter enemy;
    enemy.Left(kX0);
    enemy.Top(kY0);
    enemy.MQL(std::move(path));
    std::map<int, Point> at;
    for (int frame = 1; frame <= frames.back(); ++frame) {
        enemy.MoveMQL();
        at[frame] = {enemy.Left() - kX0, enemy.Top() - kY0};
    }
    if (speed_after_last) {
        *speed_after_last = enemy.LeftTrans();
    }
    std::map<int, Point> asked;
    for (int f : frames) {
        asked[f] = at[f];
    }
    return asked;
}

} // namespace

TEST(CharacterMove, PositionUsesLastFramesVelocity) {
    clsNoxCharacter c;
    c.LeftTrans(2);
    c.LeftAccel(1);
    c.TopTrans(-1);
    std::vector<float> lefts;
    for (int i = 0; i < 3; ++i) {
        c.Move();
        lefts.push_back(c.Left());
    }
    EXPECT_EQ(lefts, (std::vector<float>{2, 5, 9}));
    EXPECT_EQ(c.LeftTrans(), 5.0f);
    EXPECT_EQ(c.Top(), -3.0f);
}

TEST(CharacterMove, FloatOverflowKeepsTheSumsAlreadyMade) {
    clsNoxCharacter c;
    c.LeftTrans(FLT_MAX);
    c.LeftAccel(FLT_MAX);
    c.TopTrans(1);
    c.TopAccel(1);
    EXPECT_THROW(c.Move(), FloatError);
    EXPECT_EQ(c.Left(), FLT_MAX);
    EXPECT_EQ(c.Top(), 1.0f);
    EXPECT_EQ(c.LeftTrans(), FLT_MAX);
    EXPECT_EQ(c.TopTrans(), 1.0f); // never reached
}

TEST(MotionListAttach, ClearFlagReplacesVelocitySetFlagAddsToIt) {
    clsNoxCharacter replaced;
    replaced.LeftTrans(3);
    replaced.TopTrans(3);
    replaced.LeftAccel(0.5f);
    replaced.MQL(list_of({{-8, 0, 15, 0}}));
    EXPECT_EQ(replaced.LeftTrans(), -8.0f);
    EXPECT_EQ(replaced.TopTrans(), 0.0f);
    EXPECT_EQ(replaced.LeftAccel(), 0.5f); // acceleration untouched
    EXPECT_EQ(replaced.MqlCt(), 15);
    EXPECT_EQ(replaced.MqlSeq(), 0);

    clsNoxCharacter added;
    added.LeftTrans(3);
    added.TopTrans(1);
    added.MQL(list_of({{-4, 0, 1, 1}}));
    EXPECT_EQ(added.LeftTrans(), -1.0f);
    EXPECT_EQ(added.TopTrans(), 1.0f);
    EXPECT_EQ(added.LeftAccel(), 0.0f);
}

TEST(MotionListAttach, FrameCountBeyondSixteenBitsRaises) {
    clsNoxCharacter c;
    EXPECT_THROW(c.MQL(list_of({{1, 0, 40000, 0}})), OverflowError);
    EXPECT_EQ(c.MqlCt(), 0);
}

TEST(MotionListTiming, StepsRunForTheirCountsAndRepeat) {
    // vX tells the steps apart: each call moves by the velocity of its current step.
    clsNoxCharacter c;
    c.MQL(list_of({{1, 0, 2, 0}, {10, 0, 3, 0}, {100, 0, 1, 0}}));
    std::vector<int> seq;
    std::vector<float> moved;
    for (int call = 0; call < 12; ++call) {
        const float before = c.Left();
        c.MoveMQL();
        seq.push_back(c.MqlSeq());
        moved.push_back(c.Left() - before);
    }
    EXPECT_EQ(seq, (std::vector<int>{0, 1, 1, 1, 2, 0, 0, 1, 1, 1, 2, 0}));
    EXPECT_EQ(moved, (std::vector<float>{1, 10, 10, 10, 100, 1, 1, 10, 10, 10, 100, 1}));
}

TEST(MotionListTiming, CountsOfOneOrLessLastOneCall) {
    clsNoxCharacter c;
    c.MQL(list_of({{1, 0, 0, 0}, {10, 0, -5, 0}, {100, 0, 2, 0}}));
    std::vector<int> seq;
    for (int call = 0; call < 6; ++call) {
        c.MoveMQL();
        seq.push_back(c.MqlSeq());
    }
    // Step 0 is current only between attaching and the first call.
    EXPECT_EQ(seq, (std::vector<int>{1, 2, 2, 0, 1, 2}));
}

TEST(MotionListTiming, AccelerationStepsLetVelocityCarryOn) {
    clsNoxCharacter c;
    c.MQL(list_of({{2, 0, 1, 0}, {1, 0, 2, 1}, {5, 0, 1, 0}}));
    c.MoveMQL(); // the new acceleration changes the velocity only after this move
    EXPECT_EQ(c.Left(), 2.0f);
    EXPECT_EQ(c.LeftTrans(), 3.0f);
    c.MoveMQL();
    EXPECT_EQ(c.Left(), 5.0f);
    c.MoveMQL(); // a velocity step also clears the acceleration
    EXPECT_EQ(c.Left(), 10.0f);
    EXPECT_EQ(c.LeftTrans(), 5.0f);
    EXPECT_EQ(c.LeftAccel(), 0.0f);
}

TEST(MotionListTiming, EmptyListStandsStill) {
    clsNoxCharacter c;
    c.LeftTrans(3);
    c.TopTrans(4);
    c.LeftAccel(1);
    c.TopAccel(1);
    c.MQL(std::make_shared<clsNoxMQL>());
    EXPECT_EQ(c.LeftTrans(), 0.0f);
    EXPECT_EQ(c.TopTrans(), 0.0f);
    for (int call = 0; call < 10; ++call) {
        c.MoveMQL();
    }
    EXPECT_EQ(c.Left(), 0.0f);
    EXPECT_EQ(c.Top(), 0.0f);
    EXPECT_EQ(c.MqlSeq(), 0);
}

TEST(MotionListTiming, MissingListOrCountUnderflowRaisesBeforeMoving) {
    clsNoxCharacter fresh;
    fresh.LeftTrans(1);
    EXPECT_THROW(fresh.MoveMQL(), MissingObjectError);
    EXPECT_EQ(fresh.Left(), 0.0f);

    clsNoxCharacter c;
    c.MQL(list_of({{1, 0, -32768, 0}}));
    EXPECT_THROW(c.MoveMQL(), OverflowError);
    EXPECT_EQ(c.MqlCt(), -32768);
    EXPECT_EQ(c.Left(), 0.0f);
}

TEST(EnemyPaths, WeaveAndTurnBack) {
    float speed = 0;
    const auto at = fly(weave_and_turn_back(), {1, 14, 24, 25, 34, 44, 45, 64, 74}, &speed);
    EXPECT_EQ(at.at(1), (Point{-8, 0}));
    EXPECT_EQ(at.at(14), (Point{-112, 0}));
    EXPECT_EQ(at.at(24), (Point{-192, -25}));
    EXPECT_EQ(at.at(25).y, -25.0f);
    EXPECT_EQ(at.at(34), (Point{-272, 0}));
    EXPECT_EQ(at.at(44).x, -316.0f);
    EXPECT_EQ(at.at(45).x, -316.0f);
    EXPECT_EQ(at.at(74), (Point{-4, 0}));
    // 0.8 is not exact in float: thirty steps of it leave 16.000002, not 16.
    EXPECT_EQ(speed, 16.000002f);
    EXPECT_NE(speed, 16.0f);
}

TEST(EnemyPaths, DashAndDive) {
    float speed = 0;
    EXPECT_EQ(fly(dash_and_turn(1), {1}, &speed).at(1), (Point{-4, 0}));
    EXPECT_EQ(speed, -4.5f);
    EXPECT_EQ(fly(dash_and_turn(1), {16}, &speed).at(16), (Point{-124, 0}));
    EXPECT_EQ(speed, -12.0f);
    const auto at = fly(dash_and_turn(1), {36, 40, 50});
    EXPECT_EQ(at.at(36), (Point{-364, 0}));
    EXPECT_EQ(at.at(40).y, 6.0f);
    EXPECT_EQ(at.at(50).y, 91.0f);
}

TEST(EnemyPaths, DashAndClimbMirrorsTheDive) {
    EXPECT_EQ(fly(dash_and_turn(-1), {50}).at(50).y, -91.0f);
}
