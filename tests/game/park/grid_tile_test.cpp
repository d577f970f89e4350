#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <vector>

#include "game/park/buildings/building.h"
#include "game/park/grid/grid_item.h"
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
    GridItem a(L"a"), b(L"b");
    GridItem* first = &a;
    GridItem* second = &b;
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

// The buildings a tile lists are its items that are buildings, in the
// order its items are walked, through any run of arrivals and departures:
// a door search over them finds the building a walk over the items finds.
// The items are those of a set of them kept alongside, in its order.
TEST(GridTile, ListsItsBuildingsInTheOrderOfItsItems) {
    std::vector<std::unique_ptr<GridItem>> pool;
    for (int i = 0; i < 24; ++i) {
        if (i % 3 == 0)
            pool.push_back(std::make_unique<Building>(L"hut"));
        else
            pool.push_back(std::make_unique<GridItem>(L"visitor"));
    }
    GridTile tile('S', 0, 0);
    std::set<GridItem*> model;
    std::mt19937 rng(31);
    for (int round = 0; round < 600; ++round) {
        GridItem* item = pool[rng() % pool.size()].get();
        if (rng() % 2 == 0) {
            tile.AddItem(item);
            model.insert(item);
        } else {
            tile.RemoveItem(item);
            model.erase(item);
        }
        ASSERT_EQ(tile.GetItems(), std::vector<GridItem*>(model.begin(), model.end())) << "round " << round;
        ASSERT_EQ(tile.HasItem(item), model.contains(item)) << "round " << round;
        std::vector<GridItem*> expected;
        for (GridItem* on : tile.GetItems())
            if (on->AsBuilding() != nullptr) expected.push_back(on);
        ASSERT_EQ(tile.GetBuildings(), expected) << "round " << round;
    }
}

// An item that leaves its tiles while destroyed no longer answers as a
// building (its building part is gone by then); it still leaves the list.
TEST(GridTile, AnItemNoLongerABuildingStillLeavesTheList) {
    struct Fading : GridItem {
        Fading() : GridItem(L"fading") {}
        Building* AsBuilding() override { return answers ? &self : nullptr; }
        Building self{L"hut"};
        bool answers = true;
    };
    GridTile tile('S', 0, 0);
    Fading item;
    GridItem visitor(L"visitor");
    tile.AddItem(&item);
    tile.AddItem(&visitor);
    ASSERT_EQ(tile.GetBuildings(), std::vector<GridItem*>{&item});
    item.answers = false;
    tile.RemoveItem(&item);
    EXPECT_TRUE(tile.GetBuildings().empty());
    EXPECT_EQ(tile.GetItems().size(), 1u);
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
