#include "engine/actor/clsNoxGroup.h"
#include "engine/sys/numbers.h"

#include <gtest/gtest.h>

#include <vector>

using namespace nox;

namespace {

std::shared_ptr<clsNoxCharacter> tagged(int32_t num) {
    auto c = std::make_shared<clsNoxCharacter>();
    c->Num(num);
    return c;
}

// The Num of every slot's character, -1 for a free slot.
std::vector<int32_t> slots(const clsNoxGroup& g) {
    std::vector<int32_t> nums;
    for (int16_t i = 0; i <= g.Count(); ++i) {
        nums.push_back(g.Enabled(i) ? g.Item(i)->Num() : -1);
    }
    return nums;
}

} // namespace

TEST(Group, NewGroupHasOneFreeSlot) {
    clsNoxGroup g;
    EXPECT_EQ(g.Count(), 0);
    EXPECT_EQ(g.ItemCount(), 0);
    EXPECT_EQ(g.Enabled(0), kFalse);
    EXPECT_EQ(g.Item(0), nullptr);
}

TEST(Group, FreedSlotsAreReusedLowestFirstAndTheArrayGrowsByOne) {
    clsNoxGroup g;
    for (int32_t n = 0; n < 3; ++n) {
        g.Add(tagged(n));
    }
    EXPECT_EQ(g.Count(), 2);
    EXPECT_EQ(g.ItemCount(), 3);
    EXPECT_EQ(g.Enabled(2), kTrue);

    g.Remove(1);
    g.Add(tagged(3));
    EXPECT_EQ(slots(g), (std::vector<int32_t>{0, 3, 2}));
    g.Add(tagged(4));
    EXPECT_EQ(slots(g), (std::vector<int32_t>{0, 3, 2, 4}));

    for (int16_t i = 0; i <= 3; ++i) {
        g.Remove(i);
    }
    EXPECT_EQ(g.ItemCount(), 0);
    EXPECT_EQ(g.Count(), 3);
    g.Add(tagged(5));
    g.Add(tagged(6));
    EXPECT_EQ(slots(g), (std::vector<int32_t>{5, 6, -1, -1}));
}

TEST(Group, RemovingDuringAWalkKeepsTheOtherSlotNumbers) {
    clsNoxGroup g;
    for (int32_t n = 0; n < 5; ++n) {
        g.Add(tagged(n));
    }
    std::vector<int32_t> visited;
    const int16_t last = g.Count();
    for (int16_t i = 0; i <= last; ++i) {
        if (!g.Enabled(i)) {
            continue;
        }
        visited.push_back(g.Item(i)->Num());
        if (i % 2 == 1) {
            g.Remove(i);
        }
    }
    EXPECT_EQ(visited, (std::vector<int32_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(slots(g), (std::vector<int32_t>{0, -1, 2, -1, 4}));
    EXPECT_EQ(g.ItemCount(), 3);
}

TEST(Group, RemovingAFreeSlotChangesNothing) {
    clsNoxGroup g;
    g.Add(tagged(0));
    g.Add(tagged(1));
    g.Remove(0);
    g.Remove(0);
    EXPECT_EQ(g.ItemCount(), 1);
    EXPECT_EQ(slots(g), (std::vector<int32_t>{-1, 1}));
}

TEST(Group, SlotNumbersOutOfRangeRaiseAndLeaveTheGroupUnchanged) {
    clsNoxGroup g;
    g.Add(tagged(7));
    for (int16_t bad : {int16_t{-1}, int16_t{1}, int16_t{32767}}) {
        EXPECT_THROW(g.Item(bad), SubscriptError);
        EXPECT_THROW(g.Enabled(bad), SubscriptError);
        EXPECT_THROW(g.Remove(bad), SubscriptError);
    }
    EXPECT_EQ(g.Count(), 0);
    EXPECT_EQ(g.ItemCount(), 1);
    EXPECT_EQ(g.Item(0)->Num(), 7);
}

TEST(Group, HoldsOneReferencePerSlot) {
    auto shared = tagged(1);
    std::weak_ptr<clsNoxCharacter> watch = shared;
    {
        clsNoxGroup g;
        g.Add(shared);
        g.Add(shared); // the same character twice takes two slots
        EXPECT_EQ(g.ItemCount(), 2);
        EXPECT_EQ(shared.use_count(), 3);
        g.Remove(0);
        EXPECT_EQ(shared.use_count(), 2);
        shared.reset();
        EXPECT_FALSE(watch.expired()); // still held by slot 1
        EXPECT_THROW(g.Add(nullptr), MissingObjectError);
        EXPECT_EQ(g.ItemCount(), 1);
    }
    EXPECT_TRUE(watch.expired()); // destroying the group dropped it
}
