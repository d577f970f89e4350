// The ways into and out of the park: a building a script makes stands as a
// placed one does and moves with its tiles, saved records the park cannot
// place come back as they were at every visit, a door on the gate's way in
// is reached, and a script adding items stops within its budget and stacks
// no building on another, adding or moving one.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <limits>

#include "foundation/system/log.h"
#include "foundation/system/text.h"
#include "game/park/buildings/front_gate.h"
#include "game/park/people/person.h"
#include "tests/foundation/test_support.h"
#include "tests/game/park/park_grid_bench.h"
#include "widgets/tree/child_array.h"

namespace {

using namespace testsupport;

constexpr std::string_view kEntryItems = R"(<items>
  <people><person type="walker"/><person type="breeder"/></people>
  <gate><building type="front_gate" capacity="10">2A1</building></gate>
  <rides>
    <building type="hut" capacity="4">AA AA 2_</building>
    <building type="booth" capacity="1">A 2</building>
    <building type="flowers_red" zone_width="1" zone_height="1">A</building>
  </rides>
</items>)";

class ParkEntry : public ParkGridBench {
protected:
    // Loading adds to the catalogue the bench loaded, which has no gate.
    void UseEntryItems() {
        std::ofstream("properties/items.xml") << kEntryItems;
        items.Load();
    }
    void Leave() {
        mgr.RemoveWidget(grid);
        host.DeleteDeferred();
    }
    int Persons() const {
        return static_cast<int>(std::ranges::count_if(
            grid->Items(), [](GridItem* item) { return dynamic_cast<Person*>(item) != nullptr; }));
    }
    KivraBuilding* Add(const wchar_t* type, TilePoint at) {
        return dynamic_cast<KivraBuilding*>(grid->CreateAndPlaceItem(type, at.col, at.row, 0, L""));
    }
    KivraBuilding* On(TilePoint at) const { return grid->GetTileOccupant(at); }
};

TEST_F(ParkEntry, ABuildingAScriptAddsStandsMovesAndLeavesAsAPlacedOne) {
    UseEntryItems();
    EnterPark(LevelBuilder(12, 12, L'_'), 0);
    grid->StartItems();
    KivraBuilding* hut = Add(L"hut", {4, 4});  // as "add-item" makes it
    ASSERT_NE(hut, nullptr);
    EXPECT_EQ(On({4, 4}), hut);
    KivraBuilding* flowers = grid->CreateAndPlaceBuilding(L"flowers_red", 5, 4, 0, L"");
    grid->UpdateZones(*flowers, false);
    EXPECT_EQ(flowers->Neighbours(), std::vector<ZoneBuilding*>{hut});
    grid->RemoveWidget(hut);
    host.DeleteDeferred();
    EXPECT_TRUE(flowers->Neighbours().empty());
    EXPECT_EQ(On({4, 4}), nullptr);
    grid->RemoveFromZones(*flowers, false);

    // "set-origin" and "set-orientation" on a standing building.
    KivraBuilding* moved = Add(L"hut", {4, 4});
    moved->MoveToColRow(8, 9);
    EXPECT_EQ(On({4, 4}), nullptr);
    EXPECT_EQ(On({8, 9}), moved);
    moved->SetOrientation(1);
    const TileRect r = moved->GetFootprintRect();
    for (int32_t col = r.Left() - 1; col <= r.col + 1; ++col)
        for (int32_t row = r.Top() - 1; row <= r.row + 1; ++row)
            EXPECT_EQ(On({col, row}), r.Covers({col, row}) ? moved : nullptr) << col << "," << row;
    grid->RemoveWidget(moved);
    EXPECT_EQ(On({8, 9}), nullptr);
}

// A damaged save with buildings stacked on one tile, and a gate the
// catalogue lacks: what the park cannot place stays in the level once.
TEST_F(ParkEntry, RecordsTheParkCannotPlaceAreKeptOnceAtEveryVisit) {
    LevelBuilder builder(12, 12, L'_');
    builder.Item(L"front_gate", 1, 1).Item(L"hut", 9, 9);
    for (int i = 0; i < 300; ++i) builder.Item(L"flowers_red", 5, 5);
    EnterPark(builder, 0);
    for (int visit = 0; visit < 3; ++visit) {
        SCOPED_TRACE(visit);
        if (visit > 0) mgr.AddWidget(grid = new OpenParkGrid());
        grid->StartItems();
        EXPECT_EQ(Buildings(), 2);
        grid->SaveToLevel();
        Leave();
        EXPECT_EQ(level->items.Size(), 302u);
    }
}

TEST_F(ParkEntry, ADoorOnTheOpenGatesWayInIsReached) {
    UseEntryItems();
    EnterPark(LevelBuilder(12, 5, L'S'), 0);
    auto* gate = dynamic_cast<FrontGate*>(grid->CreateAndPlaceBuilding(L"front_gate", 6, 2, 0, L""));
    KivraBuilding* booth = grid->CreateAndPlaceBuilding(L"booth", 0, 0, 0, L"");
    ASSERT_TRUE(gate && booth);
    gate->OpenGate();
    const auto wayIn = std::ranges::find_if(gate->Doors(), [](const Door& d) { return d.code == '2'; });
    ASSERT_NE(wayIn, gate->Doors().end());
    const Door& door = booth->Doors().front();
    booth->MoveTo({wayIn->col - (door.col - booth->GetGridPosition().col),
                   wayIn->row - (door.row - booth->GetGridPosition().row)});
    ASSERT_EQ(booth->FindDoor({wayIn->col, wayIn->row}, 0), &booth->Doors().front());
    booth->UpdateReachability();
    EXPECT_TRUE(booth->IsReachable());
}

// Each breeder's task adds walkers in a loop that never waits: each item
// is a widget's work, so one update makes no more than the budget allows.
TEST_F(ParkEntry, AScriptAddingItemsStopsWithinTheUpdatesBudget) {
    Define(L"breeder_task_update", {Step(L"loop", {{L"count", L"12000"}},
                                         {Step(L"add-item", {{L"type", L"walker"}, {L"col", L"1"}, {L"row", L"1"}})})});
    UseEntryItems();
    EnterPark(LevelBuilder(8, 8, L'S'), 0);
    grid->StartItems();
    Add(L"breeder", {2, 2});
    const int first = Persons();
    Advance();
    EXPECT_GT(Persons(), first);
    EXPECT_LE(Persons() - first, AnimationWidget::kUpdateBudget / AnimationWidget::kWidgetWork);
    // A run that began below the most widgets stops adding once it reaches them.
    std::vector<std::unique_ptr<Widget>> crowd;
    while (Widget::CountAlive() + 20 < AnimationWidget::kMostWidgets) crowd.push_back(std::make_unique<Widget>());
    const int before = Persons();
    Advance();
    EXPECT_GT(Persons(), before);
    EXPECT_LE(Persons() - before, 20);
    crowd.clear();

    // Each item finds its place among the grid's children without walking
    // over the crowd already there: chunks of 3,000 cost about the same late
    // as early (walking, the late ones cost over twice as much). The
    // process's own time, the quickest of the first three chunks against the
    // quickest of the last three, so that other work on the machine, which
    // slows some chunks, does not count; a chunk first, untimed, leaves the
    // allocator in the state in which it serves the rest. Less the array's own
    // shift (byte by byte under the sanitizers), timed alone at the same size.
    const auto addChunk = [this] {
        const std::clock_t start = std::clock();
        for (int i = 0; i < 3000; ++i) Add(L"walker", {i % 8, i / 8 % 8});
        return std::clock() - start;
    };
    const auto shiftChunk = [this] {
        ChildArray array;
        for (Widget* child : grid->GetChildren()) array.Insert(array.size(), child);
        const std::clock_t start = std::clock();
        for (int i = 0; i < 3000; ++i) array.Insert(0, nullptr);
        return std::clock() - start;
    };
    addChunk();
    std::clock_t early = std::numeric_limits<std::clock_t>::max(), late = early;
    for (int chunk = 0; chunk < 10; ++chunk) {
        const std::clock_t shift = shiftChunk();
        const std::clock_t took = addChunk() - shift;
        if (chunk < 3) early = std::min(early, took);
        if (chunk >= 7) late = std::min(late, took);
    }
    EXPECT_LT(late, early * 17 / 10);
}

// A task adding buildings on one tile stacked them: each one joining the
// zones searched every stacked pair (the second update never ended), and
// removing one cleared the tiles under the rest; a task moving a building
// onto another stacked them as well. The spot taken, each add and each move
// is refused, told once in the log; a move onto tiles of its own is no stack.
TEST_F(ParkEntry, AScriptAddingOrMovingBuildingsOntoATakenTileIsRefused) {
    TempFolder desktop;
    ScopedEnv xdg("XDG_DESKTOP_DIR", desktop.Path().c_str());
    LogSetProductName("StackProbe");
    LogInit(true);
    const AnimationStep add = Step(L"add-item", {{L"type", L"flowers_red"}, {L"col", L"4"}, {L"row", L"4"}});
    const auto moveHut = [](const wchar_t* col, const wchar_t* row) {
        return Step(L"set-origin", {{L"id", L"hut"}, {L"col", col}, {L"row", row}});
    };
    // Flowers left out by an add are told so, and a move of flowers onto a
    // taken tile once more: a refusal of its own kind.
    const AnimationStep moveBloom = Step(L"set-origin", {{L"id", L"bloom"}, {L"col", L"4"}, {L"row", L"4"}});
    Define(
        L"breeder_task_start",
        {Step(L"add-item", {{L"type", L"hut"}, {L"col", L"1"}, {L"row", L"6"}, {L"id", L"hut"}}), moveHut(L"2", L"6"),
         Step(L"add-item", {{L"type", L"flowers_red"}, {L"col", L"6"}, {L"row", L"1"}, {L"id", L"bloom"}})});
    Define(L"breeder_task_update", {Step(L"loop", {{L"count", L"40"}}, {add, moveHut(L"4", L"5"), moveBloom})});
    UseEntryItems();
    EnterPark(LevelBuilder(8, 8, L'S'), 0);
    grid->StartItems();
    Add(L"breeder", {2, 2});
    Advance(3);
    LogDisable();
    LogSetProductName("Halvaro");
    EXPECT_EQ(Buildings(), 3);
    KivraBuilding* hut = On({2, 6});
    ASSERT_NE(hut, nullptr);
    EXPECT_EQ(hut->GetGridPosition(), (TilePoint{2, 6}));
    KivraBuilding* flowers = On({4, 4});
    ASSERT_NE(flowers, nullptr);
    EXPECT_EQ(flowers->GetType(), L"flowers_red");
    EXPECT_FALSE(grid->IsWalkableAt(4, 4));
    grid->RemoveWidget(flowers);
    EXPECT_EQ(Buildings(), 2);
    EXPECT_TRUE(grid->IsWalkableAt(4, 4));
    const std::wstring log = text::FromUtf16LE(ReadBytes(desktop.Path() / "StackProbe.log"));
    for (const std::wstring refusal : {L"\"flowers_red\" at 4,4 would stand on another building: left out",
                                       L"\"hut\" at 4,5 would stand on another building: not moved",
                                       L"\"flowers_red\" at 4,4 would stand on another building: not moved"}) {
        const size_t first = log.find(refusal);
        EXPECT_NE(first, std::wstring::npos) << text::ToUtf8(log);
        EXPECT_EQ(log.find(refusal, first + 1), std::wstring::npos) << text::ToUtf8(log);
    }
}

}  // namespace
