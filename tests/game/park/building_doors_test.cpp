// A building's doors: where they stand after placing, moving and turning,
// which tiles they link and stamp, and how the door filter finds them.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <vector>

#include "game/park/tasks/composite_filters.h"
#include "game/park/tasks/item_filters.h"
#include "game/park/tasks/tile_filters.h"
#include "tests/game/park/walk_scene.h"

namespace {

using testsupport::LevelBuilder;
using testsupport::TestGrid;

std::multiset<std::pair<int, int>> DoorSpots(const Building& b) {
    std::multiset<std::pair<int, int>> out;
    for (const Door& d : b.Doors()) out.insert({d.col, d.row});
    return out;
}

// Outside the footprint and next to one of its sides (not a corner).
bool BesideASide(const TileRect& r, const Door& d) {
    const int dx = d.col < r.Left() ? d.col - r.Left() : d.col > r.col ? d.col - r.col : 0;
    const int dy = d.row < r.Top() ? d.row - r.Top() : d.row > r.row ? d.row - r.row : 0;
    return (dx == 0) != (dy == 0) && std::abs(dx + dy) == 1;
}

class Doors : public testsupport::WalkBench {};

TEST_F(Doors, StandBesideTheFootprintWhereverItGoesAndTurns) {
    TestGrid* grid = EnterGrid(LevelBuilder(12, 12));
    auto* kiosk = Place<Building>(grid, L"kiosk", {5, 3});
    ASSERT_NE(kiosk, nullptr);
    // Placed: offsets from the far corner, read when it entered the tree at (0, 0).
    EXPECT_EQ(DoorSpots(*kiosk), (std::multiset<std::pair<int, int>>{{4, 1}, {3, 2}, {6, 3}, {5, 4}}));
    EXPECT_EQ(kiosk->GetProperty(L"doors").ToInt(), 4);
    ASSERT_NE(kiosk->FindDoor({6, 3}, 0), nullptr);
    EXPECT_EQ(kiosk->FindDoor({6, 3}, 0)->code, L'3');
    EXPECT_EQ(kiosk->FindDoor({6, 3}, '2'), nullptr);
    // Door tiles are linked beside the four footprint tiles, and stamped.
    EXPECT_EQ(kiosk->LinkedTiles().size(), 8u);
    grid->ResetTileStates();
    EXPECT_EQ(grid->GetTileAt(6, 3)->state, L'3');
    EXPECT_EQ(grid->GetTileAt(5, 3)->state, L'r');

    kiosk->MoveToColRow(7, 6);
    EXPECT_EQ(DoorSpots(*kiosk), (std::multiset<std::pair<int, int>>{{6, 4}, {5, 5}, {8, 6}, {7, 7}}));

    // The plain turn mirrors across the diagonal through the anchor (7, 6):
    // the door below goes to the right, the one on the right below.
    kiosk->RotateFootprint(90);
    EXPECT_EQ(DoorSpots(*kiosk), (std::multiset<std::pair<int, int>>{{8, 6}, {7, 7}, {5, 5}, {6, 4}}));
    EXPECT_EQ(kiosk->FindDoor({7, 7}, 0)->code, L'3');
    for (const Door& d : kiosk->Doors()) EXPECT_TRUE(BesideASide(kiosk->GetFootprintRect(), d));

    // About the centre (6.5, 5.5) a quarter turn takes the right-hand door (8, 6) below, to (6, 7).
    kiosk->RotateFootprintAboutCentre(90);
    EXPECT_EQ(kiosk->FindDoor({6, 7}, 0)->code, L'4');
}

// Random moves and turns of both kinds: every door stays beside a side of
// the footprint, and after a move its tile is linked.
TEST_F(Doors, NoTurnOrMovePutsADoorInsideOrAwayFromTheFootprint) {
    TestGrid* grid = EnterGrid(LevelBuilder(16, 16));
    std::mt19937 rng(7);
    for (const wchar_t* type : {L"kiosk", L"stall"}) {
        auto* b = Place<Building>(grid, type, {8, 8});
        ASSERT_NE(b, nullptr);
        for (int i = 0; i < 200; ++i) {
            const int angle = 90 * static_cast<int>(rng() % 4);
            switch (rng() % 4) {
                case 0: b->RotateFootprint(angle); break;
                case 1: b->RotateFootprintAboutCentre(angle); break;
                case 2: b->SetOrientation(static_cast<int>(rng() % 4)); break;
                default: b->MoveToColRow(4 + static_cast<int>(rng() % 8), 4 + static_cast<int>(rng() % 8));
            }
            for (const Door& d : b->Doors()) {
                ASSERT_TRUE(BesideASide(b->GetFootprintRect(), d)) << "step " << i;
            }
        }
        b->MoveToColRow(8, 8);
        for (const Door& d : b->Doors()) EXPECT_TRUE(grid->GetTileAt(d.col, d.row)->HasItem(b));
        grid->RemoveWidget(b);
    }
}

// A search for one building's doors asks its door tiles alone: after every
// move and turn it finds the tiles, in the order and with the one preferred
// first, that the walk over every tile finds (one that any tile of sidewalk
// may pass is not narrowed).
TEST_F(Doors, ASearchForOneBuildingsDoorsFindsWhatTheWalkOverEveryTileFinds) {
    TestGrid* grid = EnterGrid(LevelBuilder(12, 12));
    Building* built[] = {Place<Building>(grid, L"kiosk", {4, 4}), Place<Building>(grid, L"stall", {8, 8})};
    std::mt19937 rng(11);
    for (int round = 0; round < 40; ++round) {
        const auto doors = [&](int which, TileChar side) -> std::unique_ptr<GridFilter> {
            return std::make_unique<AcceptTileByDoor>(std::make_unique<AcceptItem>(which < 2 ? built[which] : nullptr),
                                                      side);
        };
        for (int i = 0; i < 8; ++i) {
            PreferTileByFilters filter(i != 7);
            filter.AddFilter(doors(i % 3, i < 3 ? '0' : '3'));
            if (i >= 5) filter.AddFilter(i == 5 ? doors(1, '0') : std::make_unique<AcceptTileByMaterial>(L'S'));
            if (i == 6)
                filter.AddFilter(std::make_unique<PreferTileByDistance>(TilePoint{round % 12, 5}, -1.0f, -1.0f));
            std::vector<GridTile*> walked, found;
            for (int32_t col = 0; col < grid->Cols(); ++col)
                for (int32_t row = 0; row < grid->Rows(); ++row)
                    if (GridTile* tile = grid->GetTileAt(col, row); filter.Accept(tile)) {
                        walked.push_back(tile);
                        if (filter.Prefer(tile, walked.front()) == tile) std::swap(walked.front(), walked.back());
                    }
            grid->FindTiles(found, &filter);
            ASSERT_EQ(found, walked) << "round " << round << " filter " << i;
        }
        Building* moved = built[rng() % 2];
        if (rng() % 2)
            moved->RotateFootprintAboutCentre(90 * static_cast<int>(rng() % 4));
        else
            moved->MoveToColRow(2 + static_cast<int>(rng() % 8), 2 + static_cast<int>(rng() % 8));
    }
}

TEST_F(Doors, TheDoorFilterAsksEachBuildingOnTheTile) {
    TestGrid* grid = EnterGrid(LevelBuilder(8, 8));
    // The kiosk's door '1' and the stall's door '2' share the tile (2, 3).
    Place<Building>(grid, L"kiosk", {3, 5});
    Place<Building>(grid, L"stall", {2, 2});
    GridTile* shared = grid->GetTileAt(2, 3);
    ASSERT_EQ(shared->GetItems().size(), 2u);
    struct Row {
        const wchar_t* type;
        TileChar side;
        bool accepted;
    };
    for (const Row& r : {Row{L"kiosk", '0', true}, Row{L"stall", '0', true}, Row{L"kiosk", '1', true},
                         Row{L"kiosk", '2', false}, Row{L"stall", '2', true}, Row{L"hut", '0', false}}) {
        AcceptTileByDoor filter(std::make_unique<AcceptItemByType>(r.type), r.side);
        EXPECT_EQ(filter.Accept(shared), r.accepted) << r.type << " " << static_cast<char>(r.side);
    }
    // A footprint tile is no door.
    AcceptTileByDoor any(std::make_unique<AcceptBuilding>(), '0');
    EXPECT_FALSE(any.Accept(grid->GetTileAt(3, 5)));
    // Doors leave with the tree.
    auto* kiosk = dynamic_cast<Building*>(grid->Items().front());
    ASSERT_NE(kiosk, nullptr);
    kiosk->SetDeleteOnRemoval(false);
    grid->RemoveWidget(kiosk);
    EXPECT_TRUE(kiosk->Doors().empty());
    EXPECT_FALSE(any.Accept(shared) && shared->HasItem(kiosk));
    delete kiosk;
}

}  // namespace
