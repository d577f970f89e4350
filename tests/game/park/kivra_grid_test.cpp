// The park grid: entering the tree from its level, spawn spots, starting
// the items, the reachability pass, tile materials, the water background,
// saving, and the park's shared helpers.
#include <gtest/gtest.h>

#include "foundation/expression/constants_map.h"
#include "game/park/grid/kivra_tile.h"
#include "game/park/parkgrid/park_helpers.h"
#include "tests/game/park/park_grid_bench.h"

namespace {

using testsupport::LevelBuilder;
using Lines = std::vector<std::wstring>;

// A building that counts the reachability checks it gets.
class CountedBuilding : public KivraBuilding {
public:
    using KivraBuilding::KivraBuilding;
    void UpdateReachability() override { ++checks; }
    int checks = 0;
};

class CountingPark : public KivraGrid {
public:
    GridItem* CreateItem(std::wstring_view type) override {
        if (type == L"hut") return new CountedBuilding(type);
        return KivraGrid::CreateItem(type);
    }
};

class ParkGrid : public testsupport::ParkGridBench {
protected:
    // A park on water; drawing it once must not fail.
    void EnterOceanPark() {
        Play(LevelBuilder(6, 6, L'_'));
        level->ocean = true;
        grid = new testsupport::OpenParkGrid();
        mgr.AddWidget(grid);
    }
    void DrawOnce() {
        auto target = std::make_unique<ImageSurface>();
        target->Create(64, 64);
        Graphics g(target.get());
        grid->Draw(&g);
    }
};

TEST_F(ParkGrid, EntersTheTreeFromItsLevel) {
    Play(LevelBuilder(12, 12, L'_').Item(L"hut", 5, 5).Item(L"castle", 2, 2).Item(L"walker", 8, 8));
    level->spawn_points = {{1, 2}, {3, 4}};
    auto* park = new KivraGrid();
    mgr.AddWidget(park);
    EXPECT_EQ(park->GetPriority(), -5000);
    EXPECT_TRUE(park->AllowDiagonal());
    EXPECT_NE(dynamic_cast<KivraTile*>(park->GetTileAt(0, 0)), nullptr);
    EXPECT_TRUE(park->IsSpawnSpot(3, 4));
    EXPECT_FALSE(park->IsSpawnSpot(4, 3));
    TilePoint spot;
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(park->GetRandomSpawnSpot(spot));
        EXPECT_TRUE(park->IsSpawnSpot(spot.col, spot.row));
    }
    // The unknown "castle" made nothing; the building is the game's.
    ASSERT_EQ(park->Items().size(), 2u);
    EXPECT_NE(dynamic_cast<KivraBuilding*>(park->Items()[0]), nullptr);
    EXPECT_EQ(dynamic_cast<KivraBuilding*>(park->Items()[1]), nullptr);
    EXPECT_FALSE(park->DrawsOcean());

    // Starting: each once, the first week begun once, the display asked to
    // name the park, the buildings active.
    park->StartItems();
    park->StartItems();
    // A pass with no screen to draw on still orders the items.
    park->MarkDepthDirty();
    park->Draw(nullptr);
    EXPECT_FALSE(park->IsDepthDirty());
    EXPECT_EQ(display.TakeLog(), (Lines{L"week_start_shared", L"request_naming", L"request_naming"}));
    EXPECT_EQ(display.calendarUpdates, 2);
    EXPECT_TRUE(dynamic_cast<KivraBuilding*>(park->Items()[0])->IsActive());

    // Saving drops the visitors, keeps the unknown record and stores the camera.
    park->Move(-300.0f, -200.0f);
    park->SaveToLevel();
    EXPECT_EQ(level->camera_x, 300);
    EXPECT_EQ(level->camera_y, 200);
    ASSERT_EQ(level->items.Size(), 2u);
    EXPECT_EQ(level->items.At(0)->type, L"hut");
    EXPECT_EQ(level->items.At(1)->type, L"castle");
    EXPECT_TRUE(park->GetRandomSpawnSpot(spot));
}

TEST_F(ParkGrid, NoSpawnSpotsNoSpot) {
    EnterPark(LevelBuilder(4, 4), 0);
    TilePoint spot{7, 7};
    EXPECT_FALSE(grid->GetRandomSpawnSpot(spot));
    EXPECT_EQ(spot, (TilePoint{7, 7}));
    grid->AddSpawnSpot({2, 1});
    EXPECT_TRUE(grid->GetRandomSpawnSpot(spot));
    EXPECT_EQ(spot, (TilePoint{2, 1}));
}

// One building re-checked per call; every building once a pass; a pass over
// items that are no buildings ends at once.
TEST_F(ParkGrid, ReachabilityPass) {
    Play(LevelBuilder(12, 12, L'_'));
    auto* park = new CountingPark();
    mgr.AddWidget(park);
    for (int i = 0; i < 5; ++i) park->CreateAndPlaceItem(L"walker", i, 0, 0, L"");
    park->ResetCycle();
    EXPECT_EQ(park->CycleNext(), 0);
    park->CycleNextBuilding();
    EXPECT_EQ(park->CycleNext(), -1);
    EXPECT_EQ(park->CycleStop(), -1);

    std::vector<CountedBuilding*> huts;
    for (int i = 0; i < 3; ++i)
        huts.push_back(dynamic_cast<CountedBuilding*>(park->CreateAndPlaceItem(L"hut", 3 + 3 * i, 6, 0, L"")));
    park->ResetCycle();
    for (int call = 0; call < 3; ++call) park->CycleNextBuilding();
    for (CountedBuilding* hut : huts) EXPECT_EQ(hut->checks, 1);
    EXPECT_EQ(park->CycleNext(), -1);
    park->CycleNextBuilding();  // no pass: nothing
    for (CountedBuilding* hut : huts) EXPECT_EQ(hut->checks, 1);

    // A pass restarted half-way runs a full round from where it stood.
    park->ResetCycle();
    park->CycleNextBuilding();
    park->ResetCycle();
    for (int call = 0; call < 3; ++call) park->CycleNextBuilding();
    EXPECT_EQ(huts[0]->checks + huts[1]->checks + huts[2]->checks, 7);
    EXPECT_EQ(park->CycleNext(), -1);
}

TEST_F(ParkGrid, OnlyAChangeOfWalkabilityStartsAPass) {
    EnterPark(LevelBuilder(6, 6, L'_'), 0);
    ASSERT_EQ(grid->CycleNext(), -1);
    grid->SetTileMaterial({2, 2}, 'X');  // neither walkable
    EXPECT_EQ(grid->CycleNext(), -1);
    grid->SetTileMaterial({2, 2}, 'C');  // now sidewalk
    EXPECT_EQ(grid->CycleNext(), 0);
    Advance();
    EXPECT_EQ(grid->CycleNext(), -1);
    grid->SetTileMaterial({2, 2}, 'B');  // sidewalk still
    EXPECT_EQ(grid->CycleNext(), -1);
    // The marked preview tiles go back to empty ground.
    grid->SetTileMaterial({0, 0}, 'T');
    grid->SetTileMaterial({5, 5}, 'T');
    grid->ClearPreviewTiles();
    EXPECT_EQ(grid->GetTileAt(0, 0)->material, L'_');
    EXPECT_EQ(grid->GetTileAt(5, 5)->material, L'_');
    EXPECT_EQ(grid->GetTileAt(2, 2)->material, L'B');
}

// Water: two successive cels cross-fade, one cel every 20 steps. Without its
// images the park draws the grid alone.
TEST_F(ParkGrid, OceanFadesThroughItsCels) {
    images.Add(L"ocean", 300, 200, 2, 2);
    images.Add(L"sun_shine", 64, 64);
    EnterOceanPark();
    ASSERT_TRUE(grid->DrawsOcean());
    Advance(19);
    EXPECT_EQ(grid->OceanFrame(), 0);
    Advance(1);
    EXPECT_EQ(grid->OceanFrame(), 1);
    Advance(60);
    EXPECT_EQ(grid->OceanFrame(), 0);  // four cels: back to the first
    DrawOnce();
    grid->Draw(nullptr);  // no screen to draw on: the water is not drawn either
}

TEST_F(ParkGrid, AnOceanWithoutItsImagesDrawsTheGridOnly) {
    EnterOceanPark();
    EXPECT_FALSE(grid->DrawsOcean());
    Advance(40);
    EXPECT_EQ(grid->OceanFrame(), 0);
    DrawOnce();
}

// A carried building taken away by anyone else is no longer carried.
TEST_F(ParkGrid, ACarriedBuildingRemovedIsForgotten) {
    EnterPark(LevelBuilder(12, 12, L'_'), 500);
    grid->PreviewNewBuilding(L"hut");
    KivraBuilding* held = grid->GetHeldBuilding();
    ASSERT_NE(held, nullptr);
    held->RemoveSelf();
    EXPECT_EQ(grid->GetHeldBuilding(), nullptr);
    Advance();
    EXPECT_FALSE(grid->TryPlaceHeldItem(true));
    grid->CancelCurrentMode();
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kNone);
    EXPECT_EQ(level->money, 500);
}

TEST_F(ParkGrid, WeekTimerIsAnAnimatableProperty) {
    EnterPark(LevelBuilder(4, 4), 0);
    uint32_t mask = 0;
    float* timer = grid->GetPropertyPtr(L"week_timer", mask);
    ASSERT_NE(timer, nullptr);
    *timer = 12.5f;
    EXPECT_FLOAT_EQ(grid->WeekTimer(), 12.5f);
    EXPECT_FLOAT_EQ(grid->GetProperty(L"week_timer").ToReal(), 12.5f);
}

TEST(ParkHelpers, CountedNamesAndScriptVariables) {
    EXPECT_EQ(FormatCountedNames({{L"bench", 1}, {L"tree", 3}}), L"bench\ntree x3");
    EXPECT_EQ(FormatCountedNames({}), L"");
    EXPECT_EQ(FormatCountedNames({{L"a", 0}}), L"a x0");
    ConstantsMap()[L"park_helpers_probe"] = PropertyValue(1);
    EXPECT_TRUE(IsScriptVariableDefined(L"park_helpers_probe"));
    EXPECT_FALSE(IsScriptVariableDefined(L"park_helpers_absent"));
    EXPECT_FALSE(IsScriptVariableDefined(L"park_helpers_absent"));  // asking inserts nothing
}

}  // namespace
