#include "engine/actor/clsNoxMQL.h"
#include "engine/sys/errors.h"

#include <gtest/gtest.h>

using namespace nox;

TEST(MotionList, NewListAnswersStepZeroWithZerosOnly) {
    clsNoxMQL list;
    EXPECT_EQ(list.MqlMax(), 0);
    EXPECT_EQ(list.MoveCt(0), 0);
    EXPECT_EQ(list.vX(0), 0.0f);
    EXPECT_EQ(list.vY(0), 0.0f);
    EXPECT_EQ(list.IneFlag(0), 0);
    EXPECT_THROW(list.MoveCt(1), SubscriptError);
    EXPECT_THROW(list.vX(-1), SubscriptError);
}

TEST(MotionList, StepsAreHandedOutAsAdded) {
    clsNoxMQL list;
    list.Add(-8, 0, 15, 0);
    list.Add(0, -1, 5, 1);
    list.Add(0.8f, 0, 30, 1);
    EXPECT_EQ(list.MqlMax(), 3);
    EXPECT_EQ(list.vX(0), -8.0f);
    EXPECT_EQ(list.MoveCt(0), 15);
    EXPECT_EQ(list.IneFlag(0), 0);
    EXPECT_EQ(list.vY(1), -1.0f);
    EXPECT_EQ(list.MoveCt(1), 5);
    EXPECT_EQ(list.IneFlag(1), 1);
    EXPECT_EQ(list.vX(2), 0.8f);
    EXPECT_THROW(list.IneFlag(3), SubscriptError);
}
