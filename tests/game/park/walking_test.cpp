// Persons walking the park through the step driver: a door found through a
// filter and walked to tile by tile, a way re-planned when a tile of it is
// taken away, a stop where no way remains, and the walk's edges.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>

#include "foundation/values/field_handle.h"
#include "game/park/grid/grid_footprint.h"
#include "game/park/tasks/item_filters.h"
#include "game/park/tasks/tile_filters.h"
#include "tests/game/park/walk_scene.h"

namespace {

using testsupport::LevelBuilder;
using testsupport::TestGrid;

constexpr const wchar_t* kOpenMap = L"SSSSSSSS SSSSSSSS SSSSXXSS SSSSXXSS SSSSSSSS SSSSSSSS";

class Walking : public testsupport::WalkBench {
protected:
    // Steps until the person stops (at most `limit`), the tiles it stood on in order.
    std::vector<TilePoint> WalkUntilStopped(Person* p, int limit = 3000) {
        std::vector<TilePoint> stood{p->GetGridPosition()};
        for (int i = 0; i < limit && p->IsFollowingPath(); ++i) {
            Advance();
            if (p->GetGridPosition() != stood.back()) stood.push_back(p->GetGridPosition());
            EXPECT_LE(p->CountTweens(L"path_tween"), 1);
        }
        return stood;
    }
    static bool Neighbours(TilePoint a, TilePoint b) {
        return std::abs(a.col - b.col) <= 1 && std::abs(a.row - b.row) <= 1 && a != b;
    }
    void ExpectWalkable(TestGrid* grid, const std::vector<TilePoint>& stood) {
        for (size_t i = 1; i < stood.size(); ++i) {
            EXPECT_TRUE(Neighbours(stood[i - 1], stood[i])) << i;
            EXPECT_TRUE(grid->IsWalkableAt(stood[i].col, stood[i].row)) << stood[i].col << "," << stood[i].row;
        }
    }
};

TEST_F(Walking, FindsADoorThroughAFilterAndWalksThereTileByTile) {
    TestGrid* grid = EnterGrid(LevelBuilder(8, 6).Map(kOpenMap));
    grid->SetAllowDiagonal(true);
    auto* kiosk = Place<Building>(grid, L"kiosk", {5, 3});
    auto* walker = Place<Person>(grid, L"walker", {0, 0});
    ASSERT_NE(kiosk, nullptr);
    ASSERT_NE(walker, nullptr);
    // The right-hand door ('3') of the kiosk only.
    AcceptTileByDoor door(std::make_unique<AcceptItemByType>(L"kiosk"), '3');
    TilePath planned;
    grid->FindPathToMatch(planned, {0, 0}, &door, walker, 1);
    ASSERT_FALSE(planned.empty());
    EXPECT_EQ(planned.back(), (TilePoint{6, 3}));

    walker->FindPathToMatch(&door);
    EXPECT_TRUE(walker->GetProperty(L"following_path").ToBool());
    // A waiting script's kept reading follows the walk as the name does.
    const PropertyReading* following = walker->ResolveProperty(L"following_path");
    ASSERT_NE(following, nullptr);
    EXPECT_TRUE(following->read(*walker, following->entry).ToBool());
    const std::vector<TilePoint> stood = WalkUntilStopped(walker);
    EXPECT_FALSE(walker->IsFollowingPath());
    EXPECT_FALSE(following->read(*walker, following->entry).ToBool());
    EXPECT_EQ(stood.back(), (TilePoint{6, 3}));
    EXPECT_EQ(std::vector<TilePoint>(stood.begin() + 1, stood.end()), planned);
    ExpectWalkable(grid, stood);
    // Its one tile is linked, and it faces its last step (down the rows: 2).
    EXPECT_EQ(walker->LinkedTiles().size(), 1u);
    EXPECT_TRUE(grid->GetTileAt(6, 3)->HasItem(walker));
    EXPECT_EQ(walker->GetOrientation(), 2);
}

TEST_F(Walking, ReplansWhenATileOfItsWayIsTakenAndStopsWhenNoWayRemains) {
    TestGrid* grid = EnterGrid(LevelBuilder(8, 6).Map(kOpenMap));
    auto* walker = Place<Person>(grid, L"walker", {0, 2});
    walker->FindPathTo({7, 2});
    Advance(3);
    ASSERT_GE(walker->GetPath().size(), 4u);
    const TilePoint taken = walker->GetPath()[2];
    grid->GetTileAt(taken.col, taken.row)->material = 'X';
    std::vector<TilePoint> stood = WalkUntilStopped(walker);
    EXPECT_EQ(stood.back(), (TilePoint{7, 2}));
    ExpectWalkable(grid, stood);

    // A wall across the park: the walker stops short of it, where it stands.
    walker->FindPathTo({0, 2});
    Advance(3);
    for (int r = 0; r < 6; ++r) grid->GetTileAt(3, r)->material = 'X';
    stood = WalkUntilStopped(walker);
    EXPECT_FALSE(walker->IsFollowingPath());
    EXPECT_GE(stood.back().col, 4);
    const TilePoint rest = walker->GetGridPosition();
    Advance(60);
    EXPECT_EQ(walker->GetGridPosition(), rest);
    EXPECT_EQ(walker->CountTweens(L"path_tween"), 0);
}

// One straight step lasts 100 / path_speed update steps: the pixel length
// of a step equals the unit taken from the tile size.
TEST_F(Walking, StepsLastAsTheSpeedSaysAndTheSpeedCanBeAnimated) {
    TestGrid* grid = EnterGrid(LevelBuilder(8, 6).Map(kOpenMap));
    auto* walker = Place<Person>(grid, L"walker", {0, 0});
    EXPECT_FLOAT_EQ(walker->GetPathSpeed(), 2.0f);
    EXPECT_FLOAT_EQ(walker->GetFootOffset(), 4.0f);
    walker->FindPathTo({3, 0});
    int steps = 0;
    while (walker->IsFollowingPath() && steps < 1000) {
        Advance();
        ++steps;
    }
    EXPECT_GE(steps, 150);
    EXPECT_LE(steps, 156);
    EXPECT_EQ(walker->GetGridPosition(), (TilePoint{3, 0}));

    // "path_speed" is a float property that tweens drive, with a handle.
    walker->TweenPropertyByName(L"faster", L"path_speed", 6.0f, 10.0f, L"", false);
    Advance(12);
    EXPECT_FLOAT_EQ(walker->GetPathSpeed(), 6.0f);
    const int handle = walker->GetProperty(L"path_speed_ptr").ToInt();
    EXPECT_FLOAT_EQ(FieldHandle::ReadReal(handle), 6.0f);
}

TEST_F(Walking, APersonThatCannotMoveEndsItsWalkAtOnce) {
    TestGrid* grid = EnterGrid(LevelBuilder(8, 6).Map(kOpenMap));
    auto* idler = Place<Person>(grid, L"idler", {0, 0});
    // A foot offset of 0 in the type stands a quarter tile higher.
    EXPECT_FLOAT_EQ(idler->GetFootOffset(), static_cast<float>(GridTile::TileStepH()) * 0.25f);
    idler->FindPathTo({3, 0});
    EXPECT_FALSE(idler->IsFollowingPath());
    EXPECT_EQ(idler->CountTweens(L"path_tween"), 0);
    Advance(20);
    EXPECT_EQ(idler->GetGridPosition(), (TilePoint{0, 0}));

    // Speeds that are no number, or below zero, end it the same way.
    auto* walker = Place<Person>(grid, L"walker", {0, 1});
    uint32_t mask = 0;
    for (float bad : {-1.0f, std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
        *walker->GetPropertyPtr(L"path_speed", mask) = bad;
        walker->FindPathTo({3, 1});
        EXPECT_FALSE(walker->IsFollowingPath());
        EXPECT_EQ(walker->GetGridPosition(), (TilePoint{0, 1}));
    }
    // Without the tile images there is no tile step to measure a step by.
    *walker->GetPropertyPtr(L"path_speed", mask) = 2.0f;
    GridTile::ForgetTileImages();
    walker->FindPathTo({3, 1});
    EXPECT_FALSE(walker->IsFollowingPath());
    GridTile::LoadTileImages();
    walker->FindPathTo({3, 1});
    EXPECT_TRUE(walker->IsFollowingPath());
}

TEST_F(Walking, DraggingClearsThePathAndTheDefaultTaskComesFromTypeOrCategory) {
    Define(L"walker_task_update", {Step(L"log", {{L"text", L"walker"}})});
    Define(L"people_task_update", {Step(L"log", {{L"text", L"people"}})});
    TestGrid* grid = EnterGrid(LevelBuilder(8, 6).Map(kOpenMap));
    auto* walker = Place<Person>(grid, L"walker", {0, 0});
    auto* idler = Place<Person>(grid, L"idler", {1, 1});
    grid->StartItems();
    EXPECT_EQ(walker->GetProperty(L"task").ToString(), L"walker_task");
    EXPECT_EQ(idler->GetProperty(L"task").ToString(), L"people_task");

    walker->FindPathTo({5, 0});
    Advance(5);
    ASSERT_TRUE(walker->IsFollowingPath());
    walker->BeginDrag(0, 0);
    EXPECT_FALSE(walker->IsFollowingPath());
    EXPECT_TRUE(walker->GetPath().empty());
    EXPECT_EQ(walker->CountTweens(L"path_tween"), 0);
    walker->EndDrag();
}

}  // namespace
