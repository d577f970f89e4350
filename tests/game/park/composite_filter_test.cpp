#include "game/park/tasks/composite_filters.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "game/park/base/filter_subjects.h"
#include "game/park/tasks/filter_distance.h"
#include "game/park/tasks/tile_filters.h"
#include "tests/game/park/tile_grid.h"

namespace {

// Answers as told and counts how often it was asked.
class Scripted : public GridTileFilter {
public:
    Scripted(bool answer, int* asked, int vote = 0) : answer_(answer), asked_(asked), vote_(vote) {}
    bool Accept(GridTile*) override {
        ++*asked_;
        return answer_;
    }
    // vote 1: a, 2: b, 0: neither.
    GridTile* Prefer(GridTile* a, GridTile* b) override { return vote_ == 1 ? a : vote_ == 2 ? b : nullptr; }

private:
    bool answer_;
    int* asked_;
    int vote_;
};

struct CompositeCase {
    bool all;
    std::vector<bool> answers;
    bool accepted;
    int asked;  // members asked before the answer was known
};

class CompositeAccept : public testing::TestWithParam<CompositeCase> {};

TEST_P(CompositeAccept, StopsAtTheFirstAnswerThatDecides) {
    const CompositeCase& c = GetParam();
    GridTile tile('_', 0, 0);
    int asked = 0;
    AcceptTileByFilters composite(c.all);
    for (bool a : c.answers) composite.AddFilter(std::make_unique<Scripted>(a, &asked));
    EXPECT_EQ(composite.Accept(&tile), c.accepted);
    EXPECT_EQ(asked, c.asked);
}

INSTANTIATE_TEST_SUITE_P(Truth, CompositeAccept,
                         testing::Values(CompositeCase{true, {}, true, 0}, CompositeCase{false, {}, false, 0},
                                         CompositeCase{true, {true, true, true}, true, 3},
                                         CompositeCase{true, {true, false, true}, false, 2},
                                         CompositeCase{true, {false, false}, false, 1},
                                         CompositeCase{false, {false, false, false}, false, 3},
                                         CompositeCase{false, {false, true, false}, true, 2},
                                         CompositeCase{false, {true, true}, true, 1}));

struct VoteCase {
    std::vector<int> votes;
    int winner;  // 1 a, 2 b, 0 none
};

class CompositePrefer : public testing::TestWithParam<VoteCase> {};

TEST_P(CompositePrefer, MoreVotesWinATieGivesNone) {
    GridTile a('_', 0, 0), b('_', 1, 0);
    int asked = 0;
    PreferTileByFilters composite(true);
    for (int v : GetParam().votes) composite.AddFilter(std::make_unique<Scripted>(true, &asked, v));
    const int w = GetParam().winner;
    EXPECT_EQ(composite.Prefer(&a, &b), w == 1 ? &a : w == 2 ? &b : nullptr);
    // The accepting composite of the same members has no preference.
    AcceptTileByFilters plain(true);
    for (int v : GetParam().votes) plain.AddFilter(std::make_unique<Scripted>(true, &asked, v));
    EXPECT_EQ(plain.Prefer(&a, &b), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Votes, CompositePrefer,
                         testing::Values(VoteCase{{}, 0}, VoteCase{{0, 0}, 0}, VoteCase{{1}, 1}, VoteCase{{2, 0}, 2},
                                         VoteCase{{1, 2}, 0}, VoteCase{{1, 2, 2}, 2}, VoteCase{{1, 0, 1, 2}, 1}));

// Tells when it is destroyed.
class Watched : public GridItemFilter {
public:
    explicit Watched(bool* gone) : gone_(gone) {}
    ~Watched() override { *gone_ = true; }
    bool Accept(GridItem*) override { return false; }

private:
    bool* gone_;
};

TEST(CompositeFilters, AFilterOfTheWrongKindIsDestroyedNotLeaked) {
    bool gone = false;
    {
        AcceptTileByFilters tiles(false);
        tiles.AddFilter(std::make_unique<Watched>(&gone));
        EXPECT_TRUE(gone);
        EXPECT_EQ(tiles.Count(), 0u);
        // Still the empty any-mode composite: nothing passes.
        GridTile t('_', 0, 0);
        EXPECT_FALSE(tiles.Accept(&t));
    }
    gone = false;
    {
        AcceptItemByFilters items(true);
        items.AddFilter(std::make_unique<Watched>(&gone));
        EXPECT_FALSE(gone);
        EXPECT_EQ(items.Count(), 1u);
    }
    EXPECT_TRUE(gone);  // members go with their composite
    // Added as an item filter, through the composite's interface: taken
    // by an item composite without asking its kind, dropped by a tile one.
    gone = false;
    {
        AcceptTileByFilters tiles(false);
        CompositeFilter& composite = tiles;
        composite.AddItemFilter(std::make_unique<Watched>(&gone));
        composite.AddItemFilter(nullptr);
        EXPECT_TRUE(gone);
        EXPECT_EQ(tiles.Count(), 0u);
    }
    gone = false;
    {
        AcceptItemByFilters items(true);
        CompositeFilter& composite = items;
        composite.AddItemFilter(std::make_unique<Watched>(&gone));
        composite.AddItemFilter(nullptr);
        EXPECT_FALSE(gone);
        EXPECT_EQ(items.Count(), 1u);
        // Empty, the all-mode composite would accept: the refusal is the member's.
        EXPECT_FALSE(items.Accept(nullptr));
    }
    EXPECT_TRUE(gone);
}

struct BoundsCase {
    float max, min, squared;
    bool admitted;
};

class Bounds : public testing::TestWithParam<BoundsCase> {};

TEST_P(Bounds, InclusiveSquaredNegativeMeansNone) {
    const BoundsCase& c = GetParam();
    const DistanceBounds b{c.max, c.min};
    EXPECT_EQ(b.Unbounded() || b.Admits(c.squared), c.admitted);
}

INSTANTIATE_TEST_SUITE_P(Table, Bounds,
                         testing::Values(BoundsCase{-1, -1, 1e9f, true}, BoundsCase{0, -1, 0, true},
                                         BoundsCase{0, -1, 1, false}, BoundsCase{-1, 0, 1e9f, true},
                                         BoundsCase{2, -1, 4, true}, BoundsCase{2, -1, 5, false},
                                         BoundsCase{-1, 2, 3, false}, BoundsCase{-1, 2, 4, true},
                                         BoundsCase{1, 2, 1, false}, BoundsCase{1, 2, 4, false},
                                         BoundsCase{3, 1, 1, true}, BoundsCase{3, 1, 9, true}));

// Distances from a point, squared: straight counts and true diagonals alike.
TEST(TileFilters, DistanceFromAPointBoundsAndPrefers) {
    GridTileColumns tiles = testsupport::MakeTileGrid(6, 6);
    PreferTileByDistance ring({2, 2}, 2.0f, 1.0f);
    int passed = 0;
    for (auto& column : tiles)
        for (auto& t : column) passed += ring.Accept(t.get()) ? 1 : 0;
    EXPECT_EQ(passed, 12);  // d² 1, 2 and 4: four tiles each; (2, 2) itself and d² 5 stay out
    EXPECT_EQ(ring.Prefer(tiles[3][3].get(), tiles[4][2].get()), tiles[3][3].get());
    EXPECT_EQ(ring.Prefer(tiles[4][2].get(), tiles[2][0].get()), nullptr);
}

// A spawn-spot map of one tile.
class OneSpot : public SpawnSpots {
public:
    bool IsSpawnSpot(int32_t col, int32_t row) const override { return col == 1 && row == 2; }
};

TEST(TileFilters, StateMaterialAndSpawnSpotThroughOneComposite) {
    GridTileColumns tiles = testsupport::MakeTileGrid(3, 3, 'C');
    tiles[0][0]->state = 'g';
    tiles[2][1]->material = 'B';
    OneSpot spots;
    AcceptTileByFilters any(false);
    any.AddFilter(std::make_unique<AcceptTileByState>('g'));
    any.AddFilter(std::make_unique<AcceptTileByMaterial>('B'));
    any.AddFilter(std::make_unique<AcceptTileBySpawnSpot>(&spots));
    std::vector<TilePoint> passed;
    for (auto& column : tiles)
        for (auto& t : column)
            if (any.Accept(t.get())) passed.push_back(t->Position());
    EXPECT_EQ(passed, (std::vector<TilePoint>{{0, 0}, {1, 2}, {2, 1}}));
}

}  // namespace
