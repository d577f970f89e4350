// The grid task's words and the park's, table by table, through real
// scripts on a park: each row runs its steps in a probe task's start script
// and reads what they left in the task's variables, the park and the player.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "foundation/expression/constants_map.h"
#include "game/park/people/kivra_person.h"
#include "game/park/tasks/kivra_grid_task.h"
#include "tests/game/park/park_grid_bench.h"

namespace {

using testsupport::LevelBuilder;
using Attributes = std::vector<std::pair<std::wstring, std::wstring>>;
using Payment = testsupport::TestParkPlayer::Payment;

// "swing": 2 x 2, a door on each side ('1' above, '2' left, '3' right, '4'
// below); "kiosk" and "stall": 1 x 1, a door '2' below; the stall is too
// plain (appeal 0) for the fan.
constexpr std::string_view kItems = R"(<items>
  <people><person type="fan" path_speed="4" energy="20" needed_appeal_level="1.5"/></people>
  <ride><building type="swing" capacity="2" appeal="5">_1__ 2AA_ _AA3 __4_</building></ride>
  <snack><building type="kiosk" capacity="1" appeal="2" costperuse="7">A 2</building>
         <building type="stall" capacity="1" appeal="0">A 2</building></snack>
</items>)";

class GridTaskTest : public testsupport::ParkGridBench {
protected:
    GridTaskTest() {
        std::ofstream("properties/items.xml") << kItems;
        items.Load();
        ConstantsMap()[L"person_happiness_increase_base"] = PropertyValue(150.0f);  // a visit: 1.5 hearts
        Play(LevelBuilder(12, 12, L'S'));
        level->money = 300;
        level->hearts = 10;
        level->spawn_points = {{0, 11}, {5, 11}};
        grid = new testsupport::OpenParkGrid();
        mgr.AddWidget(grid);
        grid->SetWeekTimer(1.0e6f);
        for (auto [type, at] : {std::pair{L"swing", TilePoint{3, 3}}, {L"kiosk", {8, 2}}, {L"stall", {5, 10}}})
            items_[type] = grid->CreateAndPlaceItem(type, at.col, at.row, 0, L"");
        fan = dynamic_cast<KivraPerson*>(items_[L"fan"] = grid->CreateAndPlaceItem(L"fan", 0, 0, 0, L""));
    }
    ~GridTaskTest() override { ConstantsMap().erase(L"person_happiness_increase_base"); }

    // A probe task of `owner` whose start script is the steps; the items are
    // its variables "my_swing", "my_fan"...; the script must run to its end.
    GridTask* Run(TaskOwner* owner, std::vector<AnimationStep> steps) {
        steps.push_back(Step(L"log", {{L"text", L"end"}}));
        Define(L"probe_start", std::move(steps));
        owner->ClearTasks();
        std::unique_ptr<Task> task = owner->CreateTask(L"probe");
        auto* probe = dynamic_cast<KivraGridTask*>(task.get());
        EXPECT_NE(probe, nullptr);
        for (auto& [type, item] : items_) task->SetVariable(L"my_" + type, PropertyValue::FromWidget(item));
        task->SetVariable(L"a", PropertyValue(L"stale"));
        owner->AddTask(std::move(task), 0.5f);
        EXPECT_EQ(TakeLog(), std::vector<std::wstring>{L"end"});
        return probe;
    }
    // One word on the grid's task, its outputs into "a", "b" and "c", as the
    // tables write them: an item "type@col,row", none "-".
    std::wstring Outputs(const wchar_t* word, Attributes attributes) {
        for (const wchar_t* output : {L"_item", L"_building", L"_person", L"_col", L"_state"})
            attributes.emplace_back(output, L"a");
        attributes.insert(attributes.end(), {{L"_row", L"b"}, {L"_material", L"b"}, {L"_door", L"c"}});
        GridTask* task = Run(grid, {Step(word, std::move(attributes))});
        std::wstring text;
        for (const wchar_t* name : {L"a", L"b", L"c"}) {
            const PropertyValue& value = task->GetLocalVariable(name);
            text += text.empty() ? L"" : L" ";
            if (auto* item = value.ToWidget<GridItem>())
                text += item->GetType() + L"@" + At(item->GetGridPosition());
            else
                text += task->Variables().contains(name) ? value.ToString() : L"-";
        }
        return text;
    }

    static std::wstring At(TilePoint at) { return std::to_wstring(at.col) + L"," + std::to_wstring(at.row); }

    std::map<std::wstring, GridItem*> items_;
    KivraPerson* fan = nullptr;
};

struct Row {
    const wchar_t* word;
    Attributes attributes;
    const wchar_t* expected;
};

TEST_F(GridTaskTest, SearchesAndTilesFollowTheirRulesAndRemoveTheirOutputsWhenNothingQualifies) {
    const Row rows[] = {
        // The texts of one attribute are alternatives, and every attribute must hold...
        {L"find-item", {{L"type", L"literal(stall, kiosk)"}}, L"kiosk@8,2 - -"},
        {L"find-item", {{L"type", L"literal(stall, kiosk)"}, {L"category", L"ride"}}, L"- - -"},
        // A list's pieces lose the list reader's spaces, empty ones naming nothing.
        {L"find-item", {{L"type", L"literal(\vswing\f,, )"}}, L"swing@3,3 - -"},
        {L"find-item", {{L"type", L"literal(,\tkiosk\r\n)"}}, L"kiosk@8,2 - -"},
        {L"find-item", {{L"type", L"literal(kio sk, stall x)"}}, L"- - -"},
        // ...unless the match is any.
        {L"find-item",
         {{L"match", L"any"}, {L"type", L"literal(stall, kiosk)"}, {L"category", L"ride"}},
         L"swing@3,3 - -"},
        {L"find-item", {{L"col", L"6"}, {L"row", L"11"}}, L"stall@5,10 - -"},
        {L"find-item", {{L"col", L"6"}, {L"row", L"11"}, {L"category", L"ride"}}, L"swing@3,3 - -"},
        {L"find-item", {{L"col", L"6"}, {L"row", L"11"}, {L"max_distance", L"0.5"}}, L"- - -"},
        // For a visitor only buildings that suit it, unless it seeks a spawn spot.
        {L"find-item", {{L"id", L"my_fan"}, {L"type", L"stall"}}, L"- - -"},
        {L"find-item", {{L"id", L"my_fan"}, {L"type", L"stall"}, {L"spawn_spot", L"1"}}, L"stall@5,10 - -"},
        {L"find-tile", {{L"building", L"my_swing"}, {L"door", L"3"}}, L"4 3 -"},
        // A door of a building that is not there is on no tile.
        {L"find-tile", {{L"building", L"my_gone"}, {L"door", L"3"}}, L"- - -"},
        {L"find-tile", {{L"type", L"stall"}}, L"5 11 -"},
        {L"find-tile", {{L"spawn_spot", L"1"}, {L"col", L"9"}, {L"row", L"9"}}, L"5 11 -"},
        {L"find-tile", {{L"state", L"z"}}, L"- - -"},
        // Tiles written and read back; nothing outside the grid.
        {L"set-tile", {{L"col", L"9"}, {L"row", L"0"}, {L"state", L"q"}, {L"material", L"G"}}, L"stale - -"},
        {L"set-tile", {{L"col", L"9"}, {L"row", L"7"}, {L"state", L"q"}}, L"stale - -"},
        {L"set-tile", {{L"col", L"99"}, {L"row", L"0"}, {L"state", L"x"}}, L"stale - -"},
        {L"get-tile", {{L"col", L"9"}, {L"row", L"0"}}, L"q G -"},
        {L"get-tile", {{L"col", L"8"}, {L"row", L"3"}}, L"_ S 2"},
        {L"get-tile", {{L"col", L"8"}, {L"row", L"3"}, {L"building", L"my_swing"}}, L"_ S -"},
        {L"get-tile", {{L"col", L"-1"}, {L"row", L"3"}}, L"- - -"},
        {L"find-tile", {{L"material", L"G"}}, L"9 0 -"},
        {L"find-tile", {{L"state", L"q"}, {L"item", L"my_stall"}}, L"9 7 -"},
    };
    for (const Row& row : rows) EXPECT_EQ(Outputs(row.word, row.attributes), row.expected) << row.word;
    std::set<std::wstring> drawn;  // with "random", each qualifying item in turn
    for (int i = 0; i < 60; ++i) drawn.insert(Outputs(L"find-item", {{L"category", L"snack"}, {L"random", L"1"}}));
    EXPECT_EQ(drawn, (std::set<std::wstring>{L"kiosk@8,2 - -", L"stall@5,10 - -"}));
}

TEST_F(GridTaskTest, ItemWordsMoveTurnAndReanimateTheItemIdNames) {
    const Row rows[] = {
        {L"set-origin", {{L"col", L"2"}, {L"row", L"6"}}, L"2,6 0 "},
        {L"set-orientation", {{L"orientation", L"3"}}, L"2,6 3 "},
        {L"set-orientation", {{L"offset_cols", L"0"}, {L"offset_rows", L"0"}}, L"2,6 2 "},
        {L"face", {{L"item", L"my_kiosk"}}, L"2,6 0 "},
        {L"face", {{L"item", L"my_kiosk"}, {L"direction", L"away"}}, L"2,6 2 "},
        {L"set-action", {{L"action", L"wave"}}, L"2,6 2 wave"},
    };
    for (Row row : rows) {
        row.attributes.emplace_back(L"id", L"my_fan");
        Outputs(row.word, row.attributes);
        EXPECT_EQ(At(fan->GetGridPosition()) + L" " + std::to_wstring(fan->GetOrientation()) + L" " + fan->GetAction(),
                  row.expected)
            << row.word;
    }
    EXPECT_EQ(Outputs(L"add-item", {{L"type", L"kiosk"}, {L"col", L"9"}, {L"row", L"9"}, {L"id", L"literal(a)"}}),
              L"kiosk@9,9 - -");
    EXPECT_EQ(Outputs(L"add-item", {{L"type", L"ufo"}, {L"id", L"literal(a)"}}), L"- - -");
}

TEST_F(GridTaskTest, AVisitorWalksToADoorThatSuitsItWhereItAndTheBuildingFindEachOther) {
    const Row walks[] = {
        {L"follow-path", {{L"category", L"snack"}}, L"8,3"},  // the kiosk: the stall does not suit
        {L"follow-path", {{L"type", L"stall"}}, L"-"},
        {L"follow-path", {{L"type", L"stall"}, {L"spawn_spot", L"1"}}, L"5,11"},
        {L"follow-path", {{L"spawn_spot", L"1"}}, L"0,11"},
        {L"follow-path", {{L"building", L"my_swing"}, {L"door", L"4"}}, L"3,4"},
    };
    for (Row row : walks) {
        row.attributes.emplace_back(L"id", L"my_fan");
        // The first match, whatever the leap became after the last search.
        Run(grid, {Step(L"set", {{L"id", L"my_fan"}, {L"property", L"leap_num"}, {L"value", L"1"}}),
                   Step(row.word, row.attributes)});
        const TilePoint end = fan->GetPath().empty() ? fan->GetTarget() : fan->GetPath().back();
        EXPECT_EQ(fan->IsFollowingPath() ? At(end) : L"-", row.expected);
    }
    Run(grid, {Step(L"stop-following-path", {{L"id", L"my_fan"}})});
    EXPECT_FALSE(fan->IsFollowingPath());
    fan->MoveToColRow(8, 3);
    const Row nearby[] = {
        {L"find-nearby", {{L"id", L"my_fan"}}, L"kiosk@8,2 - -"},
        {L"find-nearby", {{L"id", L"my_fan"}, {L"door", L"1"}}, L"- - -"},
        {L"find-nearby", {{L"id", L"my_kiosk"}, {L"door", L"2"}}, L"fan@8,3 - -"},
        {L"find-nearby", {{L"id", L"my_kiosk"}, {L"door", L"3"}}, L"- - -"},
        {L"find-nearby", {{L"id", L"my_stall"}}, L"- - -"},
    };
    for (const Row& row : nearby) EXPECT_EQ(Outputs(row.word, row.attributes), row.expected);
}

TEST_F(GridTaskTest, VisitorsPayToEnterEarnHeartsOnLeavingAndSetGoesThroughThePlayer) {
    EXPECT_EQ(Run(fan, {})->GetLocalVariable(L"owner").ToWidget<KivraPerson>(), fan);
    Run(fan, {Step(L"enter-building", {{L"person", L"owner"}, {L"building", L"my_kiosk"}})});
    EXPECT_EQ(fan->GetBuildingInUse(), items_[L"kiosk"]);
    Run(fan, {Step(L"leave-building", {{L"person", L"owner"}})});
    EXPECT_EQ(fan->GetBuildingInUse(), nullptr);
    EXPECT_EQ(fan->GetHappiness(), 50.0f);
    EXPECT_EQ(fan->GetEnergy(), 10.0f);  // the kiosk's default energy per use
    // A person or building that does not resolve: nothing.
    Run(fan, {Step(L"enter-building", {{L"person", L"owner"}, {L"building", L"no_such"}}),
              Step(L"enter-building", {{L"person", L"my_kiosk"}, {L"building", L"my_kiosk"}}),
              Step(L"leave-building", {{L"person", L"my_stall"}})});
    EXPECT_EQ(fan->GetBuildingInUse(), nullptr);

    const Row sets[] = {
        {L"set", {{L"property", L"money"}, {L"value", L"500"}}, L"500 11 10 1"},
        {L"set", {{L"property", L"hearts"}, {L"offset", L"-4"}}, L"500 7 10 1"},
        {L"set", {{L"property", L"fame"}, {L"value", L"9"}}, L"500 7 10 1"},
        // A target too far from the amount for one change gives the largest gain, not a loss.
        {L"set", {{L"property", L"money"}, {L"value", L"-10"}}, L"-10 7 10 1"},
        {L"set", {{L"property", L"money"}, {L"value", L"2147483647"}}, L"2147483637 7 10 1"},
        {L"set", {{L"id", L"my_fan"}, {L"property", L"energy"}, {L"offset", L"-30"}}, L"2147483637 7 0 1"},
        {L"set", {{L"id", L"my_fan"}, {L"property", L"energy"}, {L"value", L"150"}}, L"2147483637 7 100 1"},
        {L"set", {{L"id", L"my_fan"}, {L"property", L"leap_num"}, {L"value", L"4"}}, L"2147483637 7 100 4"},
    };
    for (const Row& row : sets) {
        Outputs(row.word, row.attributes);
        EXPECT_EQ(std::to_wstring(level->money) + L" " + std::to_wstring(level->hearts) + L" " +
                      std::to_wstring(static_cast<int>(fan->GetEnergy())) + L" " +
                      std::to_wstring(static_cast<int>(fan->GetLeap())),
                  row.expected);
    }
    EXPECT_EQ(
        player->payments,
        (std::vector<Payment>{
            {L"money", 7}, {L"hearts", 1}, {L"money", 193}, {L"hearts", -4}, {L"money", -510}, {L"money", INT_MAX}}));
}

TEST_F(GridTaskTest, PlainGridsAndItemsMakeGridTasksAndAFailedSearchIsReplayedEveryStep) {
    Grid plain;
    EXPECT_NE(dynamic_cast<GridTask*>(plain.CreateTask(L"probe").get()), nullptr);
    EXPECT_NE(dynamic_cast<GridTask*>(GridItem(L"kiosk").CreateTask(L"probe").get()), nullptr);
    Define(
        L"seek_update",
        {Step(L"find-item",
              {{L"type", L"kiosk"}, {L"col", L"11"}, {L"row", L"11"}, {L"max_distance", L"1"}, {L"_item", L"found"}}),
         Step(L"log", {{L"text", L"seek"}, {L"value", L"found.col"}, {L"if", L"exists(found)"}}),
         Step(L"log", {{L"text", L"missed"}, {L"unless", L"exists(found)"}})});
    fan->AddTask(fan->CreateTask(L"seek"), 0.9f);
    Advance(2);
    grid->CreateAndPlaceItem(L"kiosk", 11, 11, 0, L"");
    Advance();
    EXPECT_EQ(TakeLog(), (std::vector<std::wstring>{L"missed", L"missed", L"seek=11"}));
}

}  // namespace
