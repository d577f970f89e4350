// The lists scripts page: stepping against a walk of single steps, sorted
// insertion against a stable sort, peeking, and the properties over records.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "game/data/catalogues/item_types.h"
#include "game/data/progress/stats_query.h"

namespace {

TEST(StatsQuery, SteppingWrapsBothWaysAndCountsWholeTurnsTowardZero) {
    StatsQuery<std::wstring> query;
    EXPECT_EQ(query.Step(5), 0);  // empty: nowhere to go
    EXPECT_EQ(query.index, 0);
    query.entries = {L"a", L"b", L"c"};
    struct Case {
        int32_t from, n, index, turns;
    };
    for (const Case& c : {Case{0, -1, 2, 0}, Case{2, 4, 0, 2}, Case{1, 1, 2, 0}, Case{0, -3, 0, -1}, Case{0, -4, 2, -1},
                          Case{2, 1, 0, 1}, Case{1, 0, 1, 0}}) {
        query.index = c.from;
        EXPECT_EQ(query.Step(c.n), c.turns) << c.from << " by " << c.n;
        EXPECT_EQ(query.index, c.index) << c.from << " by " << c.n;
    }
    // Any step lands where as many single steps do.
    for (int32_t size = 1; size <= 5; ++size) {
        StatsQuery<std::wstring> walked, jumped;
        walked.entries = jumped.entries = std::vector<std::wstring>(static_cast<size_t>(size), L"x");
        for (int32_t n = -12; n <= 12; ++n) {
            for (int32_t from = 0; from < size; ++from) {
                walked.index = jumped.index = from;
                for (int32_t i = 0; i < std::abs(n); ++i) walked.Step(n < 0 ? -1 : 1);
                jumped.Step(n);
                ASSERT_EQ(jumped.index, walked.index) << "size " << size << " from " << from << " by " << n;
                ASSERT_GE(jumped.index, 0);
            }
        }
    }
}

TEST(StatsQuery, SortedInsertionPutsEachNewElementBeforeItsEquals) {
    std::mt19937 random(7);
    std::vector<KIVRA_BUILDING_TYPE> types(60);
    for (size_t i = 0; i < types.size(); ++i) {
        types[i].type = L"t" + std::to_wstring(i);
        types[i].buycost = static_cast<int32_t>(random() % 8);  // many equal costs
    }
    StatsQuery<KIVRA_BUILDING_TYPE*> query;
    for (KIVRA_BUILDING_TYPE& type : types)
        query.InsertSorted(&type, [](const KIVRA_BUILDING_TYPE* t) { return t->buycost; });
    // The oracle: latest first, then a stable sort by cost.
    std::vector<KIVRA_BUILDING_TYPE*> expected;
    for (auto it = types.rbegin(); it != types.rend(); ++it) expected.push_back(&*it);
    std::stable_sort(expected.begin(), expected.end(), [](auto* a, auto* b) { return a->buycost < b->buycost; });
    EXPECT_EQ(query.entries, expected);
}

TEST(StatsQuery, PeeksAroundTheIndexAndAnswersScriptsWithRecords) {
    KIVRA_BUILDING_TYPE a, b, c;
    StatsQuery<KIVRA_BUILDING_TYPE*> query;
    EXPECT_EQ(query.PeekAt(0), nullptr);
    EXPECT_EQ(query.GetProperty(L"current").ToPropertyInterface(), nullptr);
    EXPECT_TRUE(query.GetProperty(L"is_last").ToBool());
    query.entries = {&a, &b, &c};
    query.index = 1;
    EXPECT_EQ(*query.PeekAt(1), &c);
    EXPECT_EQ(*query.PeekAt(-2), &c);
    EXPECT_EQ(*query.PeekAt(5), &a);
    EXPECT_EQ(query.index, 1);
    EXPECT_EQ(query.GetProperty(L"2").ToPropertyInterface(), &c);
    EXPECT_FALSE(query.GetProperty(L"3").ToBool());
    EXPECT_EQ(query.GetProperty(L"size").ToInt(), 3);
    // Run past the end, "current" starts again at the first.
    query.index = 3;
    EXPECT_EQ(query.GetProperty(L"current").ToPropertyInterface(), &a);
    EXPECT_TRUE(query.GetProperty(L"is_first").ToBool());
    query.index = 2;
    EXPECT_TRUE(query.GetProperty(L"is_last").ToBool());
}

}  // namespace
