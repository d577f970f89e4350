// The front gate on the shipped park: opening it at the shared price, the
// entrance it lays, the entry fee each visitor pays at its '1' door, and the
// price shared by every gate.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>
#include <vector>

#include "game/data/progress/wrapping_add.h"
#include "game/park/buildings/front_gate.h"
#include "tests/game/park/shipped_park.h"
#include "widgets/script/animation_stats.h"

namespace {

using Lines = std::vector<std::wstring>;

// A visitor standing on a tile of the park.
class StandingVisitor : public GridItem, public BuildingVisitor {
public:
    StandingVisitor() : GridItem(L"picnicker") {}
    int32_t GainHappiness() override { return 0; }
    void BuildingLeaving(KivraBuilding&) override {}
};

class Gate : public testsupport::ShippedPark {
protected:
    Gate() { Define(L"front_gate_animate", {Step(L"log", {{L"text", L"gate"}})}); }

    FrontGate* EnterWithGate() {
        EnterPark();
        return FirstOfType<FrontGate>(L"front_gate");
    }
    int32_t Entering(FrontGate& gate, TilePoint at) {
        auto* visitor = new StandingVisitor();
        grid->AddWidget(visitor);
        visitor->MoveToColRow(at.col, at.row);
        const int32_t money = level->money;
        gate.AddVisitor(visitor);
        Advance(1);
        return level->money - money;
    }
};

TEST_F(Gate, OpeningChargesTheSharedPriceAndLaysTheEntrance) {
    FrontGate* gate = EnterWithGate();
    ASSERT_NE(gate, nullptr);
    EXPECT_FALSE(gate->IsOpen());
    EXPECT_FALSE(gate->GetProperty(L"fully_upgraded").ToBool());
    EXPECT_FLOAT_EQ(gate->red, 0.35f);
    EXPECT_EQ(gate->GetProperty(L"money_to_open").ToInt(), 500);
    EXPECT_TRUE(grid->SpawnSpotList().empty());

    level->money = 499;
    EXPECT_EQ(gate->PurchaseUpgrade(L"open"), nullptr);
    EXPECT_EQ(display.TakeLog(), (Lines{L"show_no_resources_dialog: label=label_open lookup=true resource=money"}));
    level->money = 6000;
    ASSERT_NE(gate->PurchaseUpgrade(L"open"), nullptr);
    EXPECT_TRUE(gate->IsOpen());
    EXPECT_TRUE(gate->GetProperty(L"fully_upgraded").ToBool());
    EXPECT_EQ(level->money, 5500);
    // One gate: the price stays.
    EXPECT_EQ(FrontGate::MoneyToOpen(), 500);

    // The gate at (29, 17) turned 0 lays the tiles of a gate turned 2: its
    // '1' door (30, 15) on the near side, its '2' door (25, 15) on the far one.
    const TilePoint at = gate->GetGridPosition();
    ASSERT_EQ(at, (TilePoint{29, 17}));
    ASSERT_NE(gate->FindDoor({30, 15}, '1'), nullptr);
    ASSERT_NE(gate->FindDoor({25, 15}, '2'), nullptr);
    for (TilePoint tile : {TilePoint{30, 15}, TilePoint{30, 16}, TilePoint{25, 15}, TilePoint{25, 16}})
        EXPECT_EQ(MaterialAt(tile), L'#');
    EXPECT_EQ(MaterialAt({31, 15}), L'@');
    EXPECT_EQ(MaterialAt({31, 16}), L'@');
    EXPECT_EQ(grid->SpawnSpotList(), (std::vector<TilePoint>{{31, 15}, {31, 16}}));
    // The opening shows over the gate, told whose it is.
    AnimationWidget* shown = nullptr;
    for (Widget* child : gate->GetChildren())
        if (auto* w = dynamic_cast<AnimationWidget*>(child); w && w->GetLocalVariable(L"owner").ToWidget() == gate)
            shown = w;
    EXPECT_NE(shown, nullptr);
    Advance(200);
    EXPECT_FLOAT_EQ(gate->blue, 1.0f);
    // Open for good: a second purchase charges nothing.
    EXPECT_EQ(gate->PurchaseUpgrade(L"open"), nullptr);
    EXPECT_EQ(level->money, 5500);
}

TEST_F(Gate, AVisitorAtTheEntryDoorPaysTheFeeOfThatMomentAndEveryEntryAnimates) {
    FrontGate* gate = EnterWithGate();
    grid->SetWeekTimer(100.0f);  // daytime: nobody is let out
    level->ticketprice = 7;
    EXPECT_EQ(Entering(*gate, {30, 15}), 7);
    EXPECT_EQ(Entering(*gate, {25, 15}), 0);  // the way out into the park pays nothing
    // A ride's ticket upgrade raises what the next visitor pays.
    KivraBuilding* pipes = grid->CreateAndPlaceBuilding(L"play_pipes", 4, 22, 1, L"");
    grid->UpdateZones(*pipes, false);  // set down: its own ticket joins the fee
    level->ticketprice = 7;
    ASSERT_NE(pipes->PurchaseUpgrade(L"longer_slide"), nullptr);
    EXPECT_EQ(Entering(*gate, {30, 15}), 8);
    EXPECT_EQ(level->stats.week.visitors, 2);
    EXPECT_EQ(level->stats.allTime.visitors, 2);
    EXPECT_EQ(level->stats.week.money_earned, 15);
    EXPECT_EQ(TakeLog(), (Lines{L"gate", L"gate", L"gate"}));
    EXPECT_EQ(gate->Occupants().size(), 3u);
}

// A save edited to the far end of the numbers: the entry fee a building
// joins, and the visitors counted at the gate, wrap as money does, never
// into undefined arithmetic.
TEST_F(Gate, AFeeAndVisitorCountsAtTheFarEndOfTheNumbersWrap) {
    FrontGate* gate = EnterWithGate();
    grid->SetWeekTimer(100.0f);
    level->ticketprice = INT32_MAX;
    level->stats.week.visitors = INT32_MAX;
    level->stats.allTime.visitors = INT32_MAX;
    KivraBuilding* pipes = grid->CreateAndPlaceBuilding(L"play_pipes", 4, 22, 1, L"");
    grid->UpdateZones(*pipes, false);
    const int32_t fee = level->ticketprice;
    EXPECT_EQ(fee, WrappingAdd(INT32_MAX, pipes->TicketPrice()));
    ASSERT_NE(pipes->PurchaseUpgrade(L"longer_slide"), nullptr);
    EXPECT_EQ(level->ticketprice, WrappingAdd(fee, 1));
    Entering(*gate, {30, 15});
    EXPECT_EQ(level->stats.week.visitors, INT32_MIN);
    EXPECT_EQ(level->stats.allTime.visitors, INT32_MIN);
    grid->RemoveFromZones(*pipes, false);
    EXPECT_EQ(level->ticketprice, INT32_MAX);
}

TEST_F(Gate, ThePriceIsSharedRisesOnlyWhenBoughtAndIsForgottenWithTheLastGateAndEdgeGatesLayWhatTheyCan) {
    FrontGate* first = EnterWithGate();
    ASSERT_EQ(FrontGate::GateCount(), 1);
    auto* second = dynamic_cast<FrontGate*>(grid->CreateAndPlaceBuilding(L"front_gate", 14, 27, 1, L""));
    ASSERT_NE(second, nullptr);
    ASSERT_NE(first->PurchaseUpgrade(L"open"), nullptr);
    // Two gates: the next opening costs the increments more.
    EXPECT_EQ(FrontGate::MoneyToOpen(), 500 + 750);
    EXPECT_EQ(FrontGate::HeartsToOpen(), 0 + 1);
    EXPECT_EQ(second->GetProperty(L"hearts_to_open").ToInt(), 1);
    // A saved open gate coming back opens without a purchase, and without
    // raising the price.
    second->ApplyImprovementStats(second->Upgrades().front());
    EXPECT_TRUE(second->IsOpen());
    EXPECT_EQ(FrontGate::MoneyToOpen(), 500 + 750);
    EXPECT_EQ(level->money, 6000 - 500);
    // Turned 1: spawn below the entry door, the far side four rows above.
    EXPECT_EQ(MaterialAt({13, 29}), L'@');
    EXPECT_EQ(MaterialAt({12, 28}), L'#');
    EXPECT_EQ(MaterialAt({13, 23}), L'#');

    // Near the grid's edge only what lies inside is laid (where a gate turned
    // 3 lays its tiles is the orientation table's business, below).
    auto* edge = dynamic_cast<FrontGate*>(grid->CreateAndPlaceBuilding(L"front_gate", 5, 31, 1, L""));
    ASSERT_NE(edge, nullptr);
    const size_t spots = grid->SpawnSpotList().size();
    edge->OpenGate();
    EXPECT_TRUE(edge->IsOpen());
    EXPECT_EQ(MaterialAt({4, 27}), L'#');
    EXPECT_EQ(MaterialAt({3, 27}), L'#');
    // The near side and the spawn tiles, rows 32 and 33, are outside.
    EXPECT_EQ(grid->SpawnSpotList().size(), spots);

    mgr.RemoveAllWidgets(true, false);
    host.DeleteDeferred();
    EXPECT_EQ(FrontGate::GateCount(), 0);
    EXPECT_EQ(FrontGate::MoneyToOpen(), 0);
    EXPECT_EQ(FrontGate::HeartsToOpen(), 0);
}

// A gate in each orientation, opened in the open park. What it must lay is
// read off its own doors, wherever the grid's rotation put them: the '1' door
// (the way in from outside) and the '2' door (into the park) lie on one line;
// the spawn tiles lie side by side one step beyond the '1' door, the sidewalk
// on that door and its neighbour between them and the gate, and the far
// sidewalk on the '2' door and its neighbour on the same side. Nothing else
// changes.
TEST_F(Gate, EveryOrientationLaysTheSpawnTilesOutsideTheEntryDoorAndTheSidewalkAtBothDoors) {
    EnterPark();
    using Tiles = std::map<std::pair<int32_t, int32_t>, TileChar>;
    const auto materials = [&] {
        Tiles all;
        for (int32_t c = 0; c < 32; ++c)
            for (int32_t r = 0; r < 32; ++r) all[{c, r}] = MaterialAt({c, r});
        return all;
    };
    const TilePoint places[] = {{12, 12}, {24, 12}, {12, 24}, {24, 24}};
    for (int32_t orientation = 0; orientation < 4; ++orientation) {
        SCOPED_TRACE(orientation);
        const TilePoint at = places[orientation];
        auto* gate =
            dynamic_cast<FrontGate*>(grid->CreateAndPlaceBuilding(L"front_gate", at.col, at.row, orientation, L""));
        ASSERT_NE(gate, nullptr);
        ASSERT_EQ(gate->GetOrientation(), orientation);
        const Tiles before = materials();
        const size_t spots = grid->SpawnSpotList().size();
        gate->OpenGate();

        TilePoint in{}, out{};
        for (const Door& door : gate->Doors()) (door.code == L'1' ? out : in) = {door.col, door.row};
        ASSERT_TRUE(in.col == out.col || in.row == out.row);
        const TilePoint away{(out.col > in.col) - (out.col < in.col), (out.row > in.row) - (out.row < in.row)};
        ASSERT_EQ(grid->SpawnSpotList().size(), spots + 2);
        const TilePoint first = grid->SpawnSpotList()[spots], second = grid->SpawnSpotList()[spots + 1];
        const TilePoint beyond{out.col + away.col, out.row + away.row};
        ASSERT_TRUE(first == beyond || second == beyond);
        const TilePoint other = first == beyond ? second : first;
        const TilePoint side{other.col - beyond.col, other.row - beyond.row};
        ASSERT_EQ(std::abs(side.col) + std::abs(side.row), 1);
        ASSERT_EQ(side.col * away.col + side.row * away.row, 0);

        // Every tile the opening changed, and to what (none was sidewalk before).
        Tiles changed;
        for (const auto& [tile, material] : materials())
            if (material != before.at(tile)) changed[tile] = material;
        EXPECT_EQ(changed, (Tiles{{{beyond.col, beyond.row}, L'@'},
                                  {{other.col, other.row}, L'@'},
                                  {{out.col, out.row}, L'#'},
                                  {{out.col + side.col, out.row + side.row}, L'#'},
                                  {{in.col, in.row}, L'#'},
                                  {{in.col + side.col, in.row + side.row}, L'#'}}));
    }
}

// Every shipped park's gate, opened: the visitors' way in (the '1' door) on
// the laid sidewalk beside a spawn tile, the way into the park (the '2'
// door) on the laid far side.
class EveryShippedGate : public testsupport::ShippedPark, public testing::WithParamInterface<const wchar_t*> {
protected:
    EveryShippedGate() : ShippedPark(GetParam()) {
        images.Add(L"front_gate", 264, 228, 1, 2);
        AnimationStats loaded(false);
    }
};

TEST_P(EveryShippedGate, OpensWithTheEntryBesideTheSpawnTilesAndTheWayInOnTheFarSide) {
    EnterPark();
    auto* gate = FirstOfType<FrontGate>(L"front_gate");
    ASSERT_NE(gate, nullptr);
    gate->OpenGate();
    ASSERT_EQ(grid->SpawnSpotList().size(), 2u);
    for (const Door& door : gate->Doors()) {
        SCOPED_TRACE(static_cast<char>(door.code));
        EXPECT_EQ(MaterialAt({door.col, door.row}), L'#');
        bool besideSpawn = false;
        for (const TilePoint& spot : grid->SpawnSpotList())
            besideSpawn |= std::abs(spot.col - door.col) + std::abs(spot.row - door.row) == 1;
        EXPECT_EQ(besideSpawn, door.code == L'1');
    }

    // The shipped welcome at each entry: the gate shows its other cel for a
    // moment and settles on its first, its script done.
    ASSERT_TRUE(AnimationExists(L"front_gate_animate"));
    auto* visitor = new StandingVisitor();
    grid->AddWidget(visitor);
    for (const Door& door : gate->Doors())
        if (door.code == L'1') visitor->MoveToColRow(door.col, door.row);
    ASSERT_EQ(gate->GetFrame(), 0);
    gate->AddVisitor(visitor);
    std::set<int> shown;
    for (int step = 0; step < 60; ++step) {
        Advance();
        shown.insert(gate->GetFrame());
    }
    EXPECT_EQ(shown, (std::set<int>{0, 1}));
    EXPECT_EQ(gate->GetFrame(), 0);
    EXPECT_TRUE(gate->IsScriptDone());
}

INSTANTIATE_TEST_SUITE_P(Levels, EveryShippedGate, testing::Values(L"maple_green", L"saltwind_bay"));

}  // namespace
