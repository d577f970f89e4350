// The park's searches as persons run them against the forms they replaced:
// a person's searches ask the tiles' own walkable test instead of naming
// the person as the walker, a door search asks each item whether it is a
// building instead of casting it, and a filter bound to building tiles is
// asked about no other. On random parks (rides set down and taken away
// between searches, ground that is no sidewalk) both forms, and the rules
// written out literally, find the same ways.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "game/park/buildings/building.h"
#include "game/park/people/person.h"
#include "game/park/tasks/composite_filters.h"
#include "game/park/tasks/tile_filters.h"
#include "tests/game/park/park_grid_bench.h"
#include "tests/game/park/path_grid.h"

namespace {

using namespace testsupport;

// The door filter as it was: a cast for each item on the tile.
class CastingDoorFilter : public GridTileFilter {
public:
    bool Accept(GridTile* candidate) override {
        for (GridItem* item : candidate->GetItems())
            if (auto* building = dynamic_cast<Building*>(item))
                if (building->FindDoor(candidate->Position(), 0) != nullptr) return true;
        return false;
    }
};

class ParkSearchEquivalence : public ParkGridBench {};

TEST_F(ParkSearchEquivalence, PersonsSearchesFindTheWaysTheirOwnWalkerTestFound) {
    constexpr int kCols = 18, kRows = 14;
    EnterPark(LevelBuilder(kCols, kRows), 0);
    std::mt19937 rng(4357);
    const auto any = [&] {
        return TilePoint{static_cast<int32_t>(rng() % kCols), static_cast<int32_t>(rng() % kRows)};
    };
    // Some ground that is no sidewalk.
    for (int i = 0; i < 30; ++i) grid->SetTileMaterial(any(), L'_');
    std::vector<KivraBuilding*> huts;
    Person* walker = nullptr;
    while (walker == nullptr) {
        const TilePoint at = any();
        if (grid->IsWalkableAt(at.col, at.row))
            walker = dynamic_cast<Person*>(grid->CreateAndPlaceItem(L"walker", at.col, at.row, 0, L""));
    }
    AcceptTileByDoor doors(nullptr, AcceptTileByDoor::kAnySide);
    CastingDoorFilter castingDoors;
    int found = 0;
    for (int round = 0; round < 120; ++round) {
        SCOPED_TRACE(round);
        // The park changes between searches: a ride set down, or one taken away.
        if (round % 3 != 2 || huts.empty()) {
            const TilePoint at = any();
            if (KivraBuilding* hut = grid->CreateAndPlaceBuilding(L"hut", at.col, at.row, 0, L"")) {
                if (hut->CanPlace()) {
                    grid->MarkItemTiles(true, *hut);
                    huts.push_back(hut);
                } else {
                    grid->RemoveWidget(hut);
                }
            }
        } else {
            KivraBuilding* hut = huts[rng() % huts.size()];
            grid->MarkItemTiles(false, *hut);
            grid->RemoveWidget(hut);
            std::erase(huts, hut);
        }
        for (GridItem* item : grid->Items()) ASSERT_EQ(item->AsBuilding(), dynamic_cast<Building*>(item));
        grid->SetAllowDiagonal(round % 2 == 0);
        const TilePoint start = any(), target = any();
        const auto matches = static_cast<uint32_t>(1 + rng() % 3);

        TilePath byWalker, byTiles;
        grid->FindPathToTile(byWalker, start, target, walker);
        grid->FindPathToTile(byTiles, start, target, nullptr);
        EXPECT_EQ(byTiles, byWalker);
        const PathQuery toTarget{.start = start, .target = target, .walker = walker, .allowDiagonal = round % 2 == 0};
        EXPECT_EQ(byTiles, LiteralFindPath(grid->Tiles(), toTarget));

        grid->FindPathToMatch(byWalker, start, &castingDoors, walker, matches);
        grid->FindPathToMatch(byTiles, start, &doors, nullptr, matches);
        EXPECT_EQ(byTiles, byWalker);
        const PathQuery toDoor{.start = start,
                               .target = std::nullopt,
                               .filter = &castingDoors,
                               .walker = walker,
                               .matchesWanted = matches,
                               .allowDiagonal = round % 2 == 0};
        EXPECT_EQ(byTiles, LiteralFindPath(grid->Tiles(), toDoor));
        // A search asks only building tiles of a filter bound to them, as a
        // composite of all whose member is the door filter is; one of any
        // whose other member takes tiles near the target is not.
        AcceptTileByFilters doorsAll(true), doorsOrNear(false);
        doorsAll.AddFilter(std::make_unique<AcceptTileByDoor>(nullptr, AcceptTileByDoor::kAnySide));
        doorsOrNear.AddFilter(std::make_unique<AcceptTileByDoor>(nullptr, AcceptTileByDoor::kAnySide));
        doorsOrNear.AddFilter(std::make_unique<PreferTileByDistance>(target, 2.0f, -1.0f));
        for (AcceptTileByFilters* composite : {&doorsAll, &doorsOrNear}) {
            PathQuery query = toDoor;
            query.filter = composite;
            grid->FindPathToMatch(byTiles, start, composite, nullptr, matches);
            EXPECT_EQ(byTiles, LiteralFindPath(grid->Tiles(), query));
        }
        ASSERT_TRUE(AllRecordsReset(grid->Tiles()));
        found += !byTiles.empty();
    }
    EXPECT_GT(huts.size(), 5u);
    EXPECT_GT(found, 60) << "most searches find a way";
}

}  // namespace
