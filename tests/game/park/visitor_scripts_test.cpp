// The shipped visitor scripts on a small park: a wall with the gate in it,
// a spawn spot outside, a swing inside. A visitor arrives, goes through the
// gate, rides the swing (paying its cost per use), and once the week is
// over walks back out and leaves the park.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "game/park/people/kivra_person.h"
#include "tests/game/park/park_grid_bench.h"
#include "widgets/script/animation_stats.h"

namespace {

using namespace testsupport;

constexpr std::string_view kScriptItems = R"(<items>
  <people><person type="picnicker" path_speed="8" energy="80" search_food_energy="10"/></people>
  <gate><building type="front_gate" capacity="10" appeal="0" timeperuse="10" energyperuse="0">2A1</building></gate>
  <store><building type="swing" capacity="1" appeal="2" timeperuse="40" costperuse="7">A 2</building></store>
</items>)";

class VisitorScripts : public ParkGridBench {
protected:
    VisitorScripts() {
        std::ofstream("properties/items.xml") << kScriptItems;
        items.Load();
        const auto shipped = std::filesystem::path(HALVARO_SOURCE_DIR) / "data/properties/animations_visitors.xml";
        std::filesystem::copy_file(shipped, "properties/animations.xml");
        AnimationStats loaded(false);
        // The wall is column 6; the gate stands in it on row 2.
        EnterPark(LevelBuilder(12, 5).Map(L"SSSSSSXSSSSS SSSSSSXSSSSS SSSSSSSSSSSS SSSSSSXSSSSS SSSSSSXSSSSS"), 0);
        grid->SetWeekTimer(1.0e6f);
    }
    // Steps until the condition holds (at most `limit`); whether it did.
    template <class Condition>
    bool RunUntil(Condition done, int limit = 3000) {
        for (int i = 0; i < limit && !done(); ++i) Advance();
        return done();
    }
};

TEST_F(VisitorScripts, AVisitorComesThroughTheGateRidesAndLeavesAfterTheWeek) {
    KivraBuilding* gate = grid->CreateAndPlaceBuilding(L"front_gate", 6, 2, 0, L"");
    KivraBuilding* swing = grid->CreateAndPlaceBuilding(L"swing", 1, 0, 0, L"");
    ASSERT_TRUE(gate && swing);
    for (KivraBuilding* building : {gate, swing}) grid->MarkItemTiles(true, *building);
    ASSERT_EQ(gate->Doors().size(), 2u);
    grid->AddSpawnSpot({10, 4});
    grid->StartItems();
    auto* fan = dynamic_cast<KivraPerson*>(grid->CreateAndPlaceItem(L"picnicker", 10, 4, 0, L""));
    ASSERT_NE(fan, nullptr);

    // A visitor that gave up leaves the grid and is deleted: every wait ends there.
    const auto gone = [&] { return std::ranges::find(grid->Items(), fan) == grid->Items().end(); };
    // Inside the park (left of the wall) once through the gate.
    ASSERT_TRUE(RunUntil([&] { return gone() || fan->GetGridPosition().col < 6; }) && !gone());
    ASSERT_TRUE(RunUntil([&] { return gone() || fan->GetBuildingInUse() == swing; }) && !gone());
    EXPECT_EQ(swing->GetVacancies(), 0);
    ASSERT_TRUE(RunUntil([&] { return gone() || fan->GetBuildingInUse() == nullptr; }) && !gone());
    EXPECT_EQ(fan->GetLastBuilding(), swing);
    EXPECT_EQ(fan->GetProperty(L"store_count").ToInt(), 1);  // the last of the categories it looks for
    EXPECT_EQ(swing->GetVacancies(), 1);
    const auto& paid = player->payments;
    EXPECT_NE(std::find(paid.begin(), paid.end(), TestParkPlayer::Payment{L"money", 7}), paid.end());

    // The week is over: out through the gate and off the grid.
    grid->SetWeekTimer(0.0f);
    ASSERT_TRUE(RunUntil([&] { return grid->Items().size() == 2; }));
    EXPECT_EQ(gate->GetVacancies(), 10);
}

}  // namespace
