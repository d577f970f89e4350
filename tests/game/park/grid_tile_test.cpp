#include <gtest/gtest.h>

#include "game/park/grid/grid_tile.h"

namespace {

TEST(GridTile, FramesOfTheBaseVocabulary) {
    const struct {
        TileChar c;
        int material, state;
    } cases[] = {{'S', 0, -1},  {'G', 1, -1},  {'R', 2, -1},  {'s', -1, 0}, {'g', -1, 1},    {'r', -1, 2},
                 {'C', -1, -1}, {'a', -1, -1}, {'_', -1, -1}, {0, -1, -1},  {0x4E00, -1, -1}};
    for (const auto& c : cases) {
        GridTile tile(c.c, 0, 0);
        tile.state = c.c;
        EXPECT_EQ(tile.GetMaterialFrame(), c.material) << c.c;
        EXPECT_EQ(tile.GetStateFrame(), c.state) << c.c;
        EXPECT_FALSE(tile.IsWalkable());
        EXPECT_FALSE(tile.IsBuildable());
        EXPECT_EQ(tile.GetCost(), 1.0f);
    }
}

TEST(GridTile, KeepsEachItemOnceAndIgnoresNone) {
    GridTile tile('S', 0, 0);
    int a = 0, b = 0;
    auto* first = reinterpret_cast<GridItem*>(&a);
    auto* second = reinterpret_cast<GridItem*>(&b);
    tile.AddItem(first);
    tile.AddItem(first);
    tile.AddItem(nullptr);
    tile.AddItem(second);
    EXPECT_EQ(tile.GetItems().size(), 2u);
    tile.RemoveItem(first);
    tile.RemoveItem(first);
    EXPECT_FALSE(tile.HasItem(first));
    EXPECT_TRUE(tile.HasItem(second));
    EXPECT_FALSE(tile.HasItem(nullptr));
}

TEST(GridTile, DistancesFromATileAndItsOwnParentAfterAReset) {
    GridTile a('S', 2, 2);
    a.search = {TileSearch::kClosed, 3.0f, 2.0f, {1, 1}};
    a.ResetSearch();  // no parent for the path search: the tile itself
    EXPECT_EQ(a.search.parent, a.Position());
    const GridTile b('S', 5, 6);
    EXPECT_EQ(TileDistance(a, nullptr), 0.0f);
    EXPECT_FLOAT_EQ(TileDistance(a, &b), 5.0f);
    EXPECT_FLOAT_EQ(TileDistance(a, &a), 0.0f);
    EXPECT_FLOAT_EQ(a.DistanceToPoint({2, 5}, false), 3.0f);
    EXPECT_FLOAT_EQ(a.DistanceToPoint({2, 5}, true), 9.0f);
    EXPECT_FLOAT_EQ(a.DistanceToPoint({5, 6}, false), 5.0f);
    EXPECT_FLOAT_EQ(a.DistanceToPoint({0, 2}, true), 4.0f);
}

}  // namespace
