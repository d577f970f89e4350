// The grid task's words table by table, through real scripts on the park
// bench: each row runs one word in a probe task's start script and reads
// the outputs it left in the task's variables.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "game/park/buildings/building.h"
#include "game/park/people/person.h"
#include "game/park/tasks/grid_task.h"
#include "game/park/tasks/task_sequence.h"
#include "tests/game/park/grid_test_support.h"

namespace {

using testsupport::LevelBuilder;
using testsupport::TestGrid;
using Attributes = std::vector<std::pair<std::wstring, std::wstring>>;

// "swing": 2 x 2 with a door on each side ('1' above, '2' left, '3' right,
// '4' below); "kiosk" and "stall": 1 x 1, a door '2' below.
constexpr std::string_view kTaskItems = R"(<items>
  <people><person type="walker" path_speed="4.0" foot_offset="4"/></people>
  <rides><building type="swing">_1__ 2AA_ _AA3 __4_</building></rides>
  <shops><building type="kiosk">A_ 2_</building><building type="stall">A_ 2_</building></shops>
</items>)";

// Ten by eight, sidewalk but for a patch of grass ('G') in the lower left.
constexpr const wchar_t* kMap =
    L"SSSSSSSSSS SSSSSSSSSS SSSSSSSSSS SSSSSSSSSS SSSSSSSSSS GGSSSSSSSS GGSSSSSSSS SSSSSSSSSS";

class GridTaskTest : public testsupport::GridBench {
protected:
    GridTaskTest() {
        std::ofstream("properties/items.xml") << kTaskItems;
        items.Load();
        grid = EnterGrid(LevelBuilder(10, 8).Map(kMap));
        swing = Place<Building>(L"swing", {3, 3});
        kiosk = Place<Building>(L"kiosk", {7, 2});
        stall = Place<Building>(L"stall", {7, 6});
        walker = Place<Person>(L"walker", {0, 0});
        Advance();  // the doors' sides stamped on their tiles
    }
    template <class T>
    T* Place(const wchar_t* type, TilePoint at) {
        T* item = dynamic_cast<T*>(grid->CreateAndPlaceItem(type, at.col, at.row, 0, L""));
        EXPECT_NE(item, nullptr) << type;
        return item;
    }
    // A probe task of `owner` whose start script is the steps; the items are
    // its variables by type ("my_walker", "my_swing", ...).
    GridTask* Run(TaskOwner* owner, std::vector<AnimationStep> steps) {
        Define(L"probe_start", std::move(steps));
        owner->ClearTasks();
        std::unique_ptr<Task> task = owner->CreateTask(L"probe");
        auto* probe = dynamic_cast<GridTask*>(task.get());
        EXPECT_NE(probe, nullptr);
        for (GridItem* item : {static_cast<GridItem*>(swing), static_cast<GridItem*>(kiosk),
                               static_cast<GridItem*>(stall), static_cast<GridItem*>(walker)})
            task->SetVariable(L"my_" + item->GetType(), PropertyValue::FromWidget(item));
        task->SetVariable(L"out", PropertyValue(L"stale"));
        owner->AddTask(std::move(task), 0.5f);
        return probe;
    }
    GridTask* Run(const wchar_t* word, Attributes attributes) { return Run(grid, {Step(word, std::move(attributes))}); }
    // A variable as the tables write it: an item as "type@col,row", absent as "-".
    static std::wstring Out(GridTask* task, const wchar_t* name) {
        auto it = task->Variables().find(name);
        if (it == task->Variables().end()) return L"-";
        if (auto* item = it->second.ToWidget<GridItem>())
            return item->GetType() + L"@" + std::to_wstring(item->GetGridPosition().col) + L"," +
                   std::to_wstring(item->GetGridPosition().row);
        return it->second.ToString();
    }

    ItemStats items;
    TestGrid* grid = nullptr;
    Building *swing = nullptr, *kiosk = nullptr, *stall = nullptr;
    Person* walker = nullptr;
};

struct Row {
    const wchar_t* word;
    Attributes attributes;
    const wchar_t* expected;  // outputs joined by " "
};

TEST_F(GridTaskTest, SearchWordsFollowTheirFiltersAndRemoveTheOutputWhenNothingQualifies) {
    const Row rows[] = {
        // The texts of one attribute are alternatives; every attribute must hold...
        {L"find-item", {{L"type", L"literal(stall, kiosk)"}, {L"_item", L"out"}}, L"kiosk@7,2"},
        {L"find-item", {{L"type", L"literal(stall, kiosk)"}, {L"category", L"rides"}, {L"_item", L"out"}}, L"-"},
        // ...unless the match is any: then every text of every attribute is one.
        {L"find-item",
         {{L"match", L"any"}, {L"type", L"literal(stall, kiosk)"}, {L"category", L"rides"}, {L"_item", L"out"}},
         L"swing@3,3"},
        {L"find-item", {{L"col", L"8"}, {L"row", L"7"}, {L"_item", L"out"}}, L"stall@7,6"},
        {L"find-item", {{L"col", L"8"}, {L"row", L"7"}, {L"category", L"rides"}, {L"_item", L"out"}}, L"swing@3,3"},
        {L"find-item", {{L"col", L"8"}, {L"row", L"7"}, {L"max_distance", L"0.5"}, {L"_item", L"out"}}, L"-"},
        {L"find-item", {{L"action", L"dance"}, {L"_item", L"out"}}, L"-"},
        // Tiles: the nearest grass to a point, a door of one side of one building, a building's door by type.
        {L"find-tile", {{L"material", L"G"}, {L"col", L"5"}, {L"row", L"2"}, {L"_col", L"c"}, {L"_row", L"r"}}, L"1 5"},
        {L"find-tile", {{L"building", L"my_swing"}, {L"door", L"3"}, {L"_col", L"c"}, {L"_row", L"r"}}, L"4 3"},
        {L"find-tile", {{L"type", L"stall"}, {L"_col", L"c"}, {L"_row", L"r"}}, L"7 7"},
        {L"find-tile", {{L"item", L"my_kiosk"}, {L"state", L"2"}, {L"_col", L"c"}, {L"_row", L"r"}}, L"7 3"},
        {L"find-tile", {{L"state", L"z"}, {L"_col", L"c"}, {L"_row", L"r"}}, L"- -"},
    };
    for (const Row& row : rows) {
        GridTask* task = Run(row.word, row.attributes);
        const std::wstring got =
            row.attributes.back().first == L"_item" ? Out(task, L"out") : Out(task, L"c") + L" " + Out(task, L"r");
        EXPECT_EQ(got, row.expected) << row.word << " " << row.attributes.size();
    }
    // With "random" every qualifying item turns up.
    std::set<std::wstring> drawn;
    for (int i = 0; i < 60; ++i)
        drawn.insert(Out(Run(L"find-item", {{L"category", L"shops"}, {L"random", L"1"}, {L"_item", L"out"}}), L"out"));
    EXPECT_EQ(drawn, (std::set<std::wstring>{L"kiosk@7,2", L"stall@7,6"}));
}

TEST_F(GridTaskTest, TilesAreReadAndWrittenWithTheirDoorsAndNotOutsideTheGrid) {
    const Row rows[] = {
        {L"set-tile", {{L"col", L"9"}, {L"row", L"0"}, {L"state", L"q"}, {L"material", L"G"}}, L"q G -"},
        {L"set-tile", {{L"col", L"9"}, {L"row", L"0"}, {L"material", L"R"}}, L"q R -"},
        {L"set-tile", {{L"col", L"99"}, {L"row", L"0"}, {L"state", L"x"}}, L"q R -"},
    };
    const Attributes read = {{L"col", L"9"}, {L"row", L"0"}, {L"_state", L"s"}, {L"_material", L"m"}, {L"_door", L"d"}};
    for (const Row& row : rows) {
        Run(row.word, row.attributes);
        GridTask* task = Run(L"get-tile", read);
        EXPECT_EQ(Out(task, L"s") + L" " + Out(task, L"m") + L" " + Out(task, L"d"), row.expected);
    }
    // The stall's door tile: its side, unless another building is asked about.
    EXPECT_EQ(Out(Run(L"get-tile", {{L"col", L"7"}, {L"row", L"7"}, {L"_door", L"d"}}), L"d"), L"2");
    EXPECT_EQ(
        Out(Run(L"get-tile", {{L"col", L"7"}, {L"row", L"7"}, {L"building", L"my_stall"}, {L"_door", L"d"}}), L"d"),
        L"2");
    EXPECT_EQ(
        Out(Run(L"get-tile", {{L"col", L"7"}, {L"row", L"7"}, {L"building", L"my_kiosk"}, {L"_door", L"d"}}), L"d"),
        L"-");
    GridTask* outside = Run(L"get-tile", {{L"col", L"-1"}, {L"row", L"3"}, {L"_state", L"out"}, {L"_door", L"d"}});
    EXPECT_EQ(Out(outside, L"out") + Out(outside, L"d"), L"--");
}

TEST_F(GridTaskTest, ItemWordsMoveTurnAndReanimateTheItemIdNames) {
    struct ItemRow {
        Attributes attributes;
        const wchar_t* word;
        const wchar_t* expected;  // type@col,row/orientation/action
    };
    const ItemRow rows[] = {
        {{{L"col", L"2"}, {L"row", L"6"}}, L"set-origin", L"walker@2,6/0/"},
        {{{L"orientation", L"3"}}, L"set-orientation", L"walker@2,6/3/"},
        {{{L"offset_cols", L"0"}, {L"offset_rows", L"0"}}, L"set-orientation", L"walker@2,6/2/"},
        {{{L"offset_cols", L"1"}, {L"offset_rows", L"-1"}}, L"set-orientation", L"walker@2,6/0/"},
        {{{L"item", L"my_stall"}}, L"face", L"walker@2,6/1/"},
        {{{L"item", L"my_stall"}, {L"direction", L"away"}}, L"face", L"walker@2,6/3/"},
        {{{L"item", L"nothing"}}, L"face", L"walker@2,6/3/"},
        {{{L"action", L"wave"}}, L"set-action", L"walker@2,6/3/wave"},
    };
    for (const ItemRow& row : rows) {
        Attributes attributes = row.attributes;
        attributes.emplace_back(L"id", L"my_walker");
        Run(row.word, attributes);
        const std::wstring got = Out(Run(L"assign", {{L"name", L"literal(out)"}, {L"value", L"my_walker"}}), L"out") +
                                 L"/" + std::to_wstring(walker->GetOrientation()) + L"/" + walker->GetAction();
        EXPECT_EQ(got, row.expected) << row.word;
    }
    // An item made by name, and one whose type is unknown.
    EXPECT_EQ(
        Out(Run(L"add-item", {{L"type", L"kiosk"}, {L"col", L"9"}, {L"row", L"3"}, {L"id", L"literal(out)"}}), L"out"),
        L"kiosk@9,3");
    EXPECT_EQ(Out(Run(L"add-item", {{L"type", L"ufo"}, {L"id", L"literal(out)"}}), L"out"), L"-");
}

TEST_F(GridTaskTest, APersonWalksToADoorAndTheBuildingAndThePersonFindEachOtherThere) {
    walker->MoveToColRow(1, 7);
    Run(grid, {Step(L"follow-path", {{L"id", L"my_walker"}, {L"type", L"stall"}})});
    for (int i = 0; i < 500 && walker->IsFollowingPath(); ++i) Advance();
    EXPECT_EQ(walker->GetGridPosition(), (TilePoint{7, 7}));
    const Row rows[] = {
        {L"find-nearby", {{L"id", L"my_walker"}, {L"_building", L"out"}}, L"stall@7,6"},
        {L"find-nearby", {{L"id", L"my_walker"}, {L"door", L"1"}, {L"_building", L"out"}}, L"-"},
        {L"find-nearby", {{L"id", L"my_walker"}, {L"category", L"rides"}, {L"_building", L"out"}}, L"-"},
        {L"find-nearby", {{L"id", L"my_stall"}, {L"door", L"2"}, {L"_person", L"out"}}, L"walker@7,7"},
        {L"find-nearby", {{L"id", L"my_stall"}, {L"door", L"3"}, {L"_person", L"out"}}, L"-"},
        {L"find-nearby", {{L"id", L"my_kiosk"}, {L"_person", L"out"}}, L"-"},
    };
    for (const Row& row : rows) EXPECT_EQ(Out(Run(row.word, row.attributes), L"out"), row.expected);
    // Sent on and stopped at once.
    Run(grid, {Step(L"follow-path", {{L"id", L"my_walker"}, {L"building", L"my_swing"}, {L"door", L"1"}}),
               Step(L"stop-following-path", {{L"id", L"my_walker"}})});
    EXPECT_FALSE(walker->IsFollowingPath());
}

TEST_F(GridTaskTest, ItemsMakeGridTasksThatKnowTheirOwnerAndReplayAFailedSearchEveryStep) {
    std::unique_ptr<Task> made = walker->CreateTask(L"probe");
    auto* own = dynamic_cast<GridTask*>(made.get());
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->GetGrid(), grid);
    EXPECT_EQ(own->GetLocalVariable(L"owner").ToWidget<Person>(), walker);

    // Searches for a kiosk in the corner, fails and ends: the sequence plays
    // it again each step until the search succeeds.
    Define(L"seek_update",
           {Step(L"find-item",
                 {{L"type", L"kiosk"}, {L"col", L"9"}, {L"row", L"7"}, {L"max_distance", L"1"}, {L"_item", L"found"}}),
            Step(L"log", {{L"text", L"seek"}, {L"value", L"found.col"}, {L"if", L"exists(found)"}}),
            Step(L"log", {{L"text", L"missed"}, {L"unless", L"exists(found)"}})});
    walker->AddTask(walker->CreateTask(L"seek"), 0.5f);
    Advance(3);
    EXPECT_EQ(TakeLog(), (std::vector<std::wstring>{L"missed", L"missed", L"missed"}));
    Place<Building>(L"kiosk", {9, 7});
    Advance(2);
    EXPECT_EQ(TakeLog(), (std::vector<std::wstring>{L"seek=9", L"seek=9"}));
}

}  // namespace
