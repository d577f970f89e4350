// The game's building: statistics from its type, zone sizes and turns,
// occupants and nightfall, doors following the carried building, the
// pointer and hover rules, and its stamps on the tiles.
#include <gtest/gtest.h>

#include "game/park/grid/kivra_tile.h"
#include "tests/game/park/park_grid_bench.h"

namespace {

using testsupport::LevelBuilder;

class Buildings : public testsupport::ParkGridBench {
protected:
    KivraBuilding* Place(const wchar_t* type, TilePoint at) {
        return grid->CreateAndPlaceBuilding(type, at.col, at.row, 0, L"");
    }
};

// A visitor that writes its leaving down; a stubborn one stays put.
class Visitor : public BuildingVisitor {
public:
    Visitor(std::string name, std::vector<std::string>& log, KivraBuilding* building, bool leaves = true)
        : name_(std::move(name)), log_(log), building_(building), leaves_(leaves) {}
    int32_t GainHappiness() override {
        log_.push_back(name_);
        if (leaves_) building_->RemoveVisitor(this);
        return 0;
    }
    void BuildingLeaving(KivraBuilding&) override {}

private:
    std::string name_;
    std::vector<std::string>& log_;
    KivraBuilding* building_;
    bool leaves_;
};

TEST_F(Buildings, StatisticsComeFromTheTypeAndActiveOnceStarted) {
    EnterPark(LevelBuilder(12, 12, L'_'), 0);
    KivraBuilding* hut = Place(L"hut", {5, 5});
    ASSERT_NE(hut, nullptr);
    EXPECT_EQ(hut->Capacity(), 4);
    EXPECT_EQ(hut->GetVacancies(), 4);
    EXPECT_EQ(hut->BuyCost(), 100);
    EXPECT_EQ(hut->TicketPrice(), 3);
    EXPECT_EQ(hut->Category(), L"rides");
    EXPECT_EQ(hut->Characteristics().GetBits(), KivraCharacteristics::kNoisy | KivraCharacteristics::kDark);
    EXPECT_EQ(hut->GetProperty(L"characteristic0").ToString(), L"noisy");
    EXPECT_EQ(hut->GetProperty(L"characteristic1").ToString(), L"dark");
    EXPECT_EQ(hut->GetProperty(L"characteristic2").ToString(), L"none");
    EXPECT_EQ(hut->GetProperty(L"capacity").ToInt(), 4);
    EXPECT_EQ(hut->GetProperty(L"cols").ToInt(), 2);
    EXPECT_EQ(hut->GetProperty(L"doors").ToInt(), 1);
    EXPECT_FALSE(hut->GetProperty(L"stationary").ToBool());
    EXPECT_TRUE(Place(L"bench", {9, 9})->GetProperty(L"stationary").ToBool());
    // The handle follows the vacancies as they change.
    const PropertyValue handle = hut->GetProperty(L"vacancies_ptr");
    EXPECT_NE(handle.ToInt(), 0);
    // Active once the park has started, and so is one placed after.
    EXPECT_FALSE(hut->IsActive());
    grid->StartItems();
    EXPECT_TRUE(hut->IsActive());
    EXPECT_TRUE(Place(L"hut", {9, 5})->IsActive());
}

// No zone size of its own: half the footprint, rounded up; a quarter turn
// swaps the sides, a half turn does not.
TEST_F(Buildings, ZoneSizesAndTurns) {
    EnterPark(LevelBuilder(12, 12, L'_'), 0);
    struct Case {
        const wchar_t* type;
        int32_t width, height;
    };
    for (const Case& c : {Case{L"hut", 1, 1}, Case{L"bench", 2, 1}, Case{L"wide", 2, 2}, Case{L"flowers_red", 1, 3}}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.type)));
        KivraBuilding* b = Place(c.type, {8, 8});
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->ZoneWidth(), c.width);
        EXPECT_EQ(b->ZoneHeight(), c.height);
        b->RotateFootprint(180);
        EXPECT_EQ(b->ZoneWidth(), c.width);
        b->RotateFootprint(90);
        EXPECT_EQ(b->ZoneWidth(), c.height);
        EXPECT_EQ(b->ZoneHeight(), c.width);
        b->RotateFootprintAboutCentre(-90);
        EXPECT_EQ(b->ZoneWidth(), c.width);
        b->RemoveSelf();
    }
    // The zone is the footprint widened on every side.
    KivraBuilding* hut = Place(L"hut", {5, 5});
    EXPECT_EQ(hut->GetZoneRect(), (TileRect{6, 6, 4, 4}));
}

TEST_F(Buildings, OccupantsKeepTheVacanciesAndLeaveAtNightfall) {
    EnterPark(LevelBuilder(12, 12, L'_'), 0);
    KivraBuilding* hut = Place(L"hut", {5, 5});
    std::vector<std::string> left;
    Visitor a("a", left, hut), b("b", left, hut), c("c", left, hut);
    hut->AddVisitor(&a);
    hut->AddVisitor(&b);
    hut->AddVisitor(&a);
    EXPECT_EQ(hut->GetVacancies(), 1);
    hut->RemoveVisitor(&a);  // listed twice: both go
    EXPECT_EQ(hut->GetVacancies(), 3);
    hut->AddVisitor(&c);
    hut->AddVisitor(&a);
    // Over capacity is the caller's business: the count goes below zero.
    for (int i = 0; i < 3; ++i) hut->AddVisitor(&a);
    EXPECT_EQ(hut->GetVacancies(), -2);
    hut->RemoveVisitor(&a);

    grid->SetWeekTimer(5.0f);
    Advance();
    EXPECT_TRUE(left.empty());
    grid->SetWeekTimer(0.0f);
    Advance();
    EXPECT_EQ(left, (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(hut->GetVacancies(), hut->Capacity());

    // A visitor whose visit does not end still leaves: the building never
    // waits on it forever.
    left.clear();
    Visitor stubborn("stubborn", left, hut, false), polite("polite", left, hut);
    hut->AddVisitor(&stubborn);
    hut->AddVisitor(&polite);
    hut->EjectAllVisitors();
    EXPECT_EQ(left, (std::vector<std::string>{"stubborn", "polite"}));
    EXPECT_TRUE(hut->Occupants().empty());
    EXPECT_EQ(hut->GetVacancies(), 4);
}

// The door keeps its offset from the anchor wherever the pointer carries the building.
TEST_F(Buildings, DoorsFollowTheCarriedBuilding) {
    EnterPark(LevelBuilder(12, 12, L'_'), 1000);
    grid->PreviewNewBuilding(L"hut");
    KivraBuilding* hut = grid->GetHeldBuilding();
    ASSERT_NE(hut, nullptr);
    ASSERT_EQ(hut->Doors().size(), 1u);
    const auto offset = [hut] {
        const TilePoint a = hut->GetGridPosition();
        return std::pair{hut->Doors()[0].col - a.col, hut->Doors()[0].row - a.row};
    };
    const auto placed = offset();
    for (TilePoint at : {TilePoint{4, 4}, TilePoint{9, 2}, TilePoint{1, 10}}) {
        AimAt(at);
        EXPECT_EQ(hut->GetGridPosition(), at);
        EXPECT_EQ(offset(), placed);
        // Where it may stand it stamps green, elsewhere red.
        EXPECT_EQ(hut->FootprintState(), L'g');
    }
    AimAt({12, 12});  // half off the grid
    EXPECT_EQ(hut->FootprintState(), L'r');
    EXPECT_EQ(offset(), placed);
    ClickAt({6, 6});
    EXPECT_EQ(offset(), placed);
    // Doors are stamped only while a building is carried (here the next copy).
    const GridTile* door = grid->GetTileAt(hut->Doors()[0].col, hut->Doors()[0].row);
    grid->ResetTileStates();
    EXPECT_EQ(door->state, L'2');
    grid->CancelCurrentMode();
    grid->ResetTileStates();
    EXPECT_EQ(door->state, L'_');
}

TEST_F(Buildings, PointerAndHoverRules) {
    EnterPark(LevelBuilder(12, 12, L'_'), 0);
    KivraBuilding* hut = Place(L"hut", {5, 5});
    KivraBuilding* bench = Place(L"bench", {9, 9});
    // Faded under the pointer only when the park asks it, and never a stationary one.
    grid->HoverSettings().fade = 2;
    hut->MouseEnter();
    bench->MouseEnter();
    EXPECT_TRUE(hut->IsFaded());
    EXPECT_FALSE(bench->IsFaded());
    hut->MouseLeave();
    EXPECT_FALSE(hut->IsFaded());
    grid->HoverSettings().translucent = 2;
    bench->MouseEnter();
    EXPECT_TRUE(bench->IsTranslucent());
    bench->MouseLeave();
    EXPECT_FALSE(bench->IsTranslucent());

    // Mouse modes: 1 forces the pointer on, 2 off, 0 back to the building's own.
    hut->SetMouseDefault(false);
    hut->SetMouseMode(1);
    EXPECT_TRUE(hut->IsMouseVisible());
    hut->SetMouseMode(2);
    EXPECT_FALSE(hut->IsMouseVisible());
    hut->SetMouseDefault(true);
    hut->SetMouseMode(0);
    EXPECT_TRUE(hut->IsMouseVisible());
    // On a grid, pointer input goes to the grid.
    EXPECT_TRUE(hut->PointerToGrid());
    EXPECT_FALSE(hut->IsDraggable());
}

TEST_F(Buildings, FootprintOccupantsAndZoneRings) {
    EnterPark(LevelBuilder(12, 12, L'_'), 0);
    KivraBuilding* hut = Place(L"hut", {5, 5});
    grid->MarkItemTiles(true, *hut);
    EXPECT_EQ(grid->GetTileOccupant({4, 4}), hut);
    EXPECT_EQ(grid->GetTileOccupant({5, 5}), hut);
    EXPECT_EQ(grid->GetTileOccupant({6, 5}), nullptr);
    EXPECT_EQ(grid->GetTileOccupant({-1, 5}), nullptr);
    grid->MarkItemTiles(false, *hut);
    EXPECT_EQ(grid->GetTileOccupant({4, 4}), nullptr);

    // Ring marks: the carried ring 'a' and a highlighted ring '*' meeting show '#'.
    struct Case {
        TileChar before, mark, after;
    };
    for (const Case& c : {Case{'_', '*', '*'}, Case{'a', '*', '#'}, Case{'*', 'a', '#'}, Case{'#', '*', '#'},
                          Case{'#', 'a', '#'}, Case{'#', '_', '_'}, Case{'a', 'a', 'a'}}) {
        auto* ring = dynamic_cast<KivraTile*>(grid->GetTileAt(6, 6));
        auto* inside = dynamic_cast<KivraTile*>(grid->GetTileAt(5, 5));
        ring->overlay = c.before;
        inside->overlay = c.before;
        hut->SetZoneOverlay(c.mark);
        hut->MarkZoneTiles(grid->Tiles());
        EXPECT_EQ(ring->overlay, c.after) << char(c.before) << char(c.mark);
        EXPECT_EQ(inside->overlay, c.before);  // the footprint itself is not ringed
    }
}

// A script may set a building's origin anywhere: at the far ends of the
// numbers its tile walks counted past the largest and never ended, and its
// doors' places overflowed. Off the grid it attaches, occupies and rings
// nothing; half on it, its tiles on the grid as before.
TEST_F(Buildings, AFootprintAnywhereWalksOnlyTheGridsTiles) {
    EnterPark(LevelBuilder(12, 12, L'_'), 0);
    KivraBuilding* hut = Place(L"hut", {5, 5});
    hut->SetZoneOverlay('*');
    constexpr int32_t kFar = 2147483647, kFarBack = -2147483647 - 1;
    for (const TilePoint at : {TilePoint{kFar, kFar}, TilePoint{kFar, 5}, TilePoint{5, kFar}, TilePoint{kFarBack, 5},
                               TilePoint{5, kFarBack}}) {
        hut->MoveToColRow(at.col, at.row);
        grid->MarkItemTiles(true, *hut);
        hut->MarkZoneTiles(grid->Tiles());
        EXPECT_TRUE(hut->LinkedTiles().empty()) << at.col << "," << at.row;
        for (int32_t col = 0; col < 12; ++col)
            for (int32_t row = 0; row < 12; ++row) {
                auto* tile = dynamic_cast<KivraTile*>(grid->GetTileAt(col, row));
                ASSERT_NE(tile, nullptr);
                EXPECT_NE(tile->occupant, hut) << col << "," << row;
                EXPECT_NE(tile->overlay, TileChar('*')) << col << "," << row;
            }
        grid->MarkItemTiles(false, *hut);
    }
    hut->MoveToColRow(0, 0);  // the hut's far corner: the rest of it off the grid
    grid->MarkItemTiles(true, *hut);
    hut->MarkZoneTiles(grid->Tiles());
    EXPECT_EQ(grid->GetTileOccupant({0, 0}), hut);
    EXPECT_EQ(hut->LinkedTiles().size(), 1u);
    EXPECT_EQ(dynamic_cast<KivraTile*>(grid->GetTileAt(1, 1))->overlay, TileChar('*'));
}

}  // namespace
