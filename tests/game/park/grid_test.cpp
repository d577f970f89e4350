// The grid in a widget manager: built from the current level, its lookups
// and searches, item placement and removal, tile states, and the level
// round trip with the faults it once had.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/park/base/grid_filter.h"
#include "game/park/base/task_sequence.h"
#include "game/park/grid/grid_footprint.h"
#include "tests/game/park/grid_test_support.h"

namespace testsupport {
namespace {

struct Record {
    std::wstring type;
    int col, row, orientation;
    std::wstring action;
    bool operator==(const Record&) const = default;
};

std::vector<Record> Records(const LEVEL& level) {
    std::vector<Record> out;
    for (const auto& r : level.items) out.push_back({r->type, r->col, r->row, r->orientation, r->action});
    return out;
}

std::vector<std::wstring> Types(const std::vector<GridItem*>& items) {
    std::vector<std::wstring> out;
    for (GridItem* item : items) out.push_back(item->GetType());
    return out;
}

class GridTest : public GridBench {};

TEST_F(GridTest, EnteringBuildsTilesCameraAndItemsInOrder) {
    Grid* grid = EnterGrid(LevelBuilder(6, 4).Item(L"hut", 3, 3).Item(L"walker", 1, 0, 2).Item(L"bench", 5, 1));
    EXPECT_EQ(grid->Cols(), 6);
    EXPECT_EQ(grid->Rows(), 4);
    // A camera of 0 centres the 2048 x 1024 background on the 1024 x 768 screen.
    EXPECT_FLOAT_EQ(grid->GetX(), -512.0f);
    EXPECT_FLOAT_EQ(grid->GetY(), -128.0f);
    for (int col = 0; col < 6; ++col)
        for (int row = 0; row < 4; ++row) {
            const GridTile* tile = grid->GetTileAt(col, row);
            ASSERT_NE(tile, nullptr);
            EXPECT_EQ(tile->Position(), (TilePoint{col, row}));
            EXPECT_EQ(tile->state, L'_');
            EXPECT_EQ(grid->ScreenToTile(grid->TileToScreen(col, row).x, grid->TileToScreen(col, row).y),
                      (TilePoint{col, row}));
        }
    EXPECT_EQ(Types(grid->Items()), (std::vector<std::wstring>{L"hut", L"walker", L"bench"}));
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(grid->Items()[i]->GetPriority(), static_cast<int>(i));

    GridItem& hut = *grid->Items()[0];
    EXPECT_EQ(hut.GetCategory(), L"rides");
    EXPECT_EQ(hut.GetFootprintRect(), (TileRect{3, 3, 2, 2}));
    EXPECT_EQ(hut.LinkedTiles().size(), 4u);
    EXPECT_TRUE(grid->GetTileAt(2, 2)->HasItem(&hut));
    EXPECT_FALSE(grid->GetTileAt(1, 1)->HasItem(&hut));
    // The widget stands on its tile: centred on the tile's point, foot half a tile below it.
    const PixelPoint p = grid->TileToScreen(3, 3);
    EXPECT_FLOAT_EQ(hut.GetX(), p.x - 64.0f);
    EXPECT_FLOAT_EQ(hut.GetY(), p.y - 64.0f + 16.0f);
    EXPECT_EQ(grid->Items()[1]->GetOrientation(), 2);
    EXPECT_EQ(grid->Items()[1]->GetProperty(L"tiles").ToInt(), 1);
}

TEST_F(GridTest, LookupsAnswerAtTheEdges) {
    Grid* grid = EnterGrid(LevelBuilder(5, 4).Map(L"SSSSS SXSSS SSSSS SSSSS"));
    struct Case {
        int col, row, cols, rows;
        bool inside;
    };
    for (const Case& c : std::vector<Case>{{2, 2, 3, 3, true},
                                           {1, 2, 3, 3, false},
                                           {5, 0, 1, 1, false},
                                           {4, 3, 5, 4, true},
                                           {-1, 0, 0, 1, true},  // no columns: the anchor one before the grid
                                           {0, -1, 1, 1, false}})
        EXPECT_EQ(grid->RectInside(c.col, c.row, c.cols, c.rows), c.inside) << c.col << "," << c.row;
    EXPECT_EQ(grid->GetTileAt(5, 0), nullptr);
    EXPECT_EQ(grid->GetTileAt(0, -1), nullptr);
    EXPECT_TRUE(grid->IsWalkableAt(4, 3));
    EXPECT_FALSE(grid->IsWalkableAt(1, 1));
    EXPECT_FALSE(grid->IsWalkableAt(-1, 0));

    GridFootprint footprint;
    footprint.SetBounds(3, 3, 2, 2);
    EXPECT_TRUE(grid->CanPlaceFootprint(footprint));
    footprint.SetBounds(2, 2, 2, 2);  // covers the unbuildable (1, 1)
    EXPECT_FALSE(grid->CanPlaceFootprint(footprint));
    footprint.SetBounds(5, 3, 2, 2);
    EXPECT_FALSE(grid->CanPlaceFootprint(footprint));
}

// Prefers the item further right; accepts walkers only.
class RightmostWalker : public GridItemFilter {
public:
    bool Accept(GridItem* item) override { return item->GetType() == L"walker"; }
    GridItem* Prefer(GridItem* a, GridItem* b) override {
        return a->GetGridPosition().col > b->GetGridPosition().col ? a : nullptr;
    }
};

TEST_F(GridTest, SearchesKeepTheMostPreferredFirst) {
    Grid* grid = EnterGrid(LevelBuilder(8, 2)
                               .Item(L"walker", 1, 0)
                               .Item(L"hut", 4, 1)
                               .Item(L"walker", 6, 0)
                               .Item(L"walker", 2, 1)
                               .Item(L"walker", 7, 1));
    RightmostWalker filter;
    std::vector<GridItem*> found;
    grid->FindItems(found, &filter);
    std::vector<int> cols;
    for (GridItem* item : found) cols.push_back(item->GetGridPosition().col);
    // 6 displaced 1 (to the end), 2 appended, 7 displaced 6 (to the end).
    EXPECT_EQ(cols, (std::vector<int>{7, 1, 2, 6}));
    EXPECT_EQ(grid->FindItem(&filter, false)->GetGridPosition().col, 7);
    EXPECT_NE(grid->FindItem(&filter, true), nullptr);
    grid->FindItems(found, nullptr);
    EXPECT_EQ(found.size(), 5u);

    std::vector<GridTile*> tiles;
    grid->FindTiles(tiles, nullptr);
    ASSERT_EQ(tiles.size(), 16u);
    EXPECT_EQ(tiles[1]->Position(), (TilePoint{0, 1}));
    EXPECT_EQ(tiles[2]->Position(), (TilePoint{1, 0}));
}

TEST_F(GridTest, PlacingRemovingAndStampingStates) {
    TestGrid* grid = EnterGrid(LevelBuilder(6, 6).Item(L"walker", 0, 0));
    GridItem* hut = grid->CreateAndPlaceItem(L"hut", 4, 4, 0, L"");
    ASSERT_NE(hut, nullptr);
    EXPECT_EQ(hut->GetPriority(), 1);
    EXPECT_EQ(hut->GetParent(), grid);
    // A type the catalogue lacks creates nothing.
    EXPECT_EQ(grid->CreateAndPlaceItem(L"ghost", 1, 1, 0, L""), nullptr);
    EXPECT_EQ(grid->Items().size(), 2u);

    hut->GetFootprint()->stampState = L'r';
    grid->MarkTileStatesDirty();
    Advance();
    EXPECT_FALSE(grid->IsTileStatesDirty());
    EXPECT_EQ(grid->GetTileAt(3, 3)->state, L'r');
    EXPECT_EQ(grid->GetTileAt(2, 2)->state, L'_');

    hut->RemoveSelf();
    EXPECT_EQ(grid->Items().size(), 1u);
    EXPECT_FALSE(grid->GetTileAt(3, 3)->HasItem(hut));
    EXPECT_TRUE(grid->IsTileStatesDirty());
    Advance();
    EXPECT_EQ(grid->GetTileAt(3, 3)->state, L'_');

    // Deleted while still on the grid, an item leaves the list and its tiles.
    GridItem* walker = grid->Items()[0];
    GridTile* under = grid->GetTileAt(0, 0);
    delete walker;
    EXPECT_TRUE(grid->Items().empty());
    EXPECT_TRUE(under->GetItems().empty());
}

// Leaving the tree saves, and the saved park comes back once: no lookup
// reached the destroyed tiles, no item from before stayed beside the rebuilt
// ones, and records of unknown types survive the save.
TEST_F(GridTest, SaveRebuildSaveRoundTrip) {
    TestGrid* grid =
        EnterGrid(LevelBuilder(6, 5).Item(L"hut", 3, 3).Item(L"ghost", 0, 0).Item(L"walker", 5, 4, 3, L"wave"));
    grid->CreateAndPlaceItem(L"bench", 2, 0, 1, L"");
    grid->GetTileAt(0, 4)->material = L'C';
    grid->GetTileAt(1, 1)->state = L'g';
    mgr.RemoveWidget(grid);

    const std::vector<Record> saved = Records(*level);
    const std::vector<Record> expected{
        {L"hut", 3, 3, 0, L""}, {L"walker", 5, 4, 3, L"wave"}, {L"bench", 2, 0, 1, L""}, {L"ghost", 0, 0, 0, L""}};
    EXPECT_EQ(saved, expected);
    EXPECT_EQ(level->tiles[0][4], L'C');
    EXPECT_EQ(level->tiles[1][1], L'S');
    EXPECT_EQ(grid->GetTileAt(0, 0), nullptr);
    EXPECT_FALSE(grid->IsWalkableAt(0, 0));
    EXPECT_TRUE(grid->Items().empty());

    mgr.AddWidget(grid);
    ASSERT_EQ(grid->Items().size(), 3u);
    int itemChildren = 0;
    for (Widget* child : grid->GetChildren()) itemChildren += dynamic_cast<GridItem*>(child) != nullptr;
    EXPECT_EQ(itemChildren, 3);
    for (GridItem* item : grid->Items())
        for (GridTile* tile : item->LinkedTiles()) EXPECT_EQ(grid->GetTileAt(tile->Col(), tile->Row()), tile);
    EXPECT_EQ(grid->GetTileAt(0, 4)->material, L'C');
    EXPECT_EQ(grid->GetTileAt(1, 1)->state, L'_');  // states are not saved

    grid->SaveToLevel();
    EXPECT_EQ(Records(*level), expected);
    grid->SaveToLevel();
    EXPECT_EQ(Records(*level), expected);
}

// A damaged save's item off the grid is not placed (at the far end of the
// numbers, the walk over its tiles never ended) and stays in the level,
// after the items placed, through every save.
TEST_F(GridTest, ItemsOffTheGridStayInTheLevelUnplaced) {
    constexpr int kFar = 2147483647;
    TestGrid* grid = EnterGrid(
        LevelBuilder(6, 5).Item(L"hut", kFar, 1).Item(L"hut", 3, 3).Item(L"hut", 1, kFar).Item(L"bench", -1, 0));
    EXPECT_EQ(Types(grid->Items()), std::vector<std::wstring>{L"hut"});
    const std::vector<Record> expected{
        {L"hut", 3, 3, 0, L""}, {L"hut", kFar, 1, 0, L""}, {L"hut", 1, kFar, 0, L""}, {L"bench", -1, 0, 0, L""}};
    grid->SaveToLevel();
    EXPECT_EQ(Records(*level), expected);
    mgr.RemoveWidget(grid);
    mgr.AddWidget(grid);
    EXPECT_EQ(grid->Items().size(), 1u);
    grid->SaveToLevel();
    EXPECT_EQ(Records(*level), expected);
}

// Without a current level the grid is empty; a damaged level's short map
// gives empty tiles; and every lookup, stamp and search on 0 columns is safe.
TEST_F(GridTest, EmptyAndDamagedLevelsAreSafe) {
    auto* bare = new TestGrid();
    mgr.AddWidget(bare);
    EXPECT_EQ(bare->Cols(), 0);
    EXPECT_EQ(bare->GetTileAt(0, 0), nullptr);
    EXPECT_FALSE(bare->RectInside(0, 0, 1, 1));
    EXPECT_EQ(bare->FindTile(nullptr, true), nullptr);
    GridItem* lost = bare->CreateAndPlaceItem(L"hut", 0, 0, 0, L"");
    ASSERT_NE(lost, nullptr);
    EXPECT_TRUE(lost->LinkedTiles().empty());
    lost->GetFootprint()->stampState = L'g';
    bare->ResetTileStates();
    bare->SortItemsByDepth();
    Advance();

    TestGrid* grid = MakeGrid(LevelBuilder(4, 3));
    level->tiles.resize(2);
    level->tiles[1].resize(1);
    level->tiles[0][1] = wchar_t(0x10043);  // wider than a material: would read as 'C' when cut to 16 bits
    mgr.AddWidget(grid);
    EXPECT_EQ(grid->GetTileAt(0, 2)->material, L'S');
    EXPECT_EQ(grid->GetTileAt(0, 1)->material, kEmptyTile);
    EXPECT_EQ(grid->GetTileAt(1, 1)->material, kEmptyTile);
    EXPECT_EQ(grid->GetTileAt(3, 2)->material, kEmptyTile);

    // The bare grid leaving now must not write its empty park into this level.
    mgr.RemoveWidget(bare);
    EXPECT_TRUE(level->items.Empty());
    EXPECT_EQ(level->tiles.size(), 2u);
}

TEST_F(GridTest, DrawsEveryMaterialBeforeAnyStateBatched) {
    std::vector<std::string> draws;
    TestGrid* grid = MakeGrid(LevelBuilder(3, 2));
    grid->drawLog = &draws;
    mgr.AddWidget(grid);
    ImageSurface target;
    target.Create(8, 8);
    Graphics g(&target);
    grid->DrawTiles(g);
    EXPECT_EQ(draws, (std::vector<std::string>{"m+0,0", "m+0,1", "m+1,0", "m+1,1", "m+2,0", "m+2,1", "s+0,0", "s+0,1",
                                               "s+1,0", "s+1,1", "s+2,0", "s+2,1"}));
    EXPECT_FALSE(g.IsBatching());
}

TEST_F(GridTest, GoalsCompleteOnceByTheirComparison) {
    TestGrid* grid = EnterGrid(LevelBuilder(2, 2)
                                   .Goal(L"above5", 5.0f, LEVEL_GOAL::kAbove)
                                   .Goal(L"exactly3", 3.0f, LEVEL_GOAL::kExactly)
                                   .Goal(L"above2.5", 2.5f, LEVEL_GOAL::kAbove)
                                   .Goal(L"below0", 0.0f, LEVEL_GOAL::kBelow)
                                   .Goal(L"odd", 0.0f, 7));
    grid->MarkGoalsDirty();
    Advance();
    EXPECT_EQ(grid->events, (std::vector<std::wstring>{L"below0"}));  // an absent metric reads 0
    player->SetMetric(L"above5", 5, false);
    player->SetMetric(L"exactly3", 2, false);
    player->SetMetric(L"above2.5", 3, false);
    grid->CheckLevelGoals();
    player->SetMetric(L"exactly3", 4, false);  // jumps over 3
    grid->CheckLevelGoals();
    EXPECT_EQ(grid->events, (std::vector<std::wstring>{L"below0", L"above5", L"above2.5"}));
    EXPECT_TRUE(level->goals.At(0)->completed);
    EXPECT_FALSE(level->goals.At(1)->completed);
    EXPECT_FALSE(level->goals.At(4)->completed);
}

}  // namespace
}  // namespace testsupport
