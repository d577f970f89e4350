// The park's visitor on the park bench: its state from its type, visits
// with their energy, happiness and hearts, walking's energy, the tutorial's
// pause, and hiding under a building set down on it.
#include <gtest/gtest.h>

#include <utility>

#include "foundation/expression/constants_map.h"
#include "game/park/people/kivra_person.h"
#include "tests/game/park/park_grid_bench.h"

namespace {

using namespace testsupport;

// "hut": a 2 x 2 noisy ride with a door below; "stall": a 1 x 1 snack.
constexpr std::string_view kVisitorItems = R"(<items>
  <people>
    <person type="fan" path_speed="4" energy="60" needed_appeal_level="1.5" preferred_building_category="ride"
            preferred_characteristic="noisy" search_food_energy="30" ride_preference_percentage="40"
            ride_max="2" snack_max="1" restaurant_max="0"/>
  </people>
  <ride><building type="hut" capacity="2" appeal="5" timeperuse="20" energyperuse="-15"
                  characteristic="noisy, dark">AA AA 2_</building></ride>
  <snack><building type="stall" capacity="1" appeal="0" timeperuse="5" energyperuse="40">A</building></snack>
</items>)";

const wchar_t* const kConstants[] = {L"person_happiness_increase_base",
                                     L"person_happiness_increase_category",
                                     L"person_happiness_increase_characteristic",
                                     L"person_happiness_increase_appeal_mult",
                                     L"person_happiness_hungry_mult",
                                     L"appeal_maximum",
                                     L"person_walk_energy_cost"};

class Visitors : public ParkGridBench {
protected:
    Visitors() {
        std::ofstream("properties/items.xml") << kVisitorItems;
        items.Load();
        const float values[] = {6.0f, 10.0f, 5.0f, 3.0f, 0.5f, 12.0f, 50.0f};
        for (size_t i = 0; i < std::size(kConstants); ++i) ConstantsMap()[kConstants[i]] = PropertyValue(values[i]);
        EnterPark(LevelBuilder(14, 14, L'S'), 0);
        // A week running: buildings keep their visitors.
        grid->SetWeekTimer(1.0e6f);
        Define(L"full_happiness_callback", {Step(L"log", {{L"text", L"heart"}})});
    }
    ~Visitors() override {
        for (const wchar_t* name : kConstants) ConstantsMap().erase(name);
    }

    KivraPerson* Fan(TilePoint at) {
        return dynamic_cast<KivraPerson*>(grid->CreateAndPlaceItem(L"fan", at.col, at.row, 0, L""));
    }
    // A fan three visits happy (21.5) inside the hut for a fourth.
    std::pair<KivraPerson*, KivraBuilding*> FanInsideAfterThreeVisits() {
        KivraPerson* fan = Fan({3, 3});
        KivraBuilding* hut = SetDown(L"hut", {8, 8});
        for (int visit = 0; visit < 3; ++visit) {
            fan->EnterBuilding(*hut);
            fan->GainHappiness();
        }
        fan->EnterBuilding(*hut);
        return {fan, hut};
    }
    // A building set down as placing does: its footprint holds its tiles.
    KivraBuilding* SetDown(const wchar_t* type, TilePoint at) {
        KivraBuilding* b = grid->CreateAndPlaceBuilding(type, at.col, at.row, 0, L"");
        grid->MarkItemTiles(true, *b);
        return b;
    }
};

// Four rides of the hut: each costs 15 energy and gives 5 (shared noisy) +
// 10 (favourite) + 6, plus 3 x appeal 5, halved once the visitor is hungry
// (energy after the ride at or below 30): 36, 28.5, 28.5, 28.5.
TEST_F(Visitors, VisitsSpendEnergyAndCashHappinessInAsHearts) {
    KivraPerson* fan = Fan({3, 3});
    ASSERT_NE(fan, nullptr);
    KivraBuilding* hut = SetDown(L"hut", {8, 8});
    EXPECT_EQ(fan->GetProperty(L"ride_max").ToInt(), 2);
    EXPECT_EQ(fan->GetProperty(L"fountain_max").ToInt(), -1);  // no limit for a category never met
    EXPECT_FALSE(fan->GetProperty(L"can_eat").ToBool() || fan->GetProperty(L"wants_to_leave").ToBool());

    const float happiness[] = {36.0f, 64.5f, 93.0f, 21.5f};
    const int hearts[] = {0, 0, 0, 1};
    for (int visit = 0; visit < 4; ++visit) {
        SCOPED_TRACE(visit);
        fan->EnterBuilding(*hut);
        EXPECT_EQ(hut->GetVacancies(), 1);
        EXPECT_FALSE(fan->GetProperty(L"wants_to_leave_building").ToBool());
        Advance(20);
        EXPECT_TRUE(fan->GetProperty(L"wants_to_leave_building").ToBool());
        EXPECT_EQ(fan->GainHappiness(), hearts[visit]);
        EXPECT_FLOAT_EQ(fan->GetHappiness(), happiness[visit]);
        EXPECT_FLOAT_EQ(fan->GetEnergy(), 45.0f - 15.0f * static_cast<float>(visit));
        EXPECT_EQ(hut->GetVacancies(), 2);
        EXPECT_EQ(fan->GetLastBuilding(), hut);
    }
    Advance();
    EXPECT_EQ(TakeLog(), std::vector<std::wstring>{L"heart"});
    EXPECT_EQ(fan->GetProperty(L"ride_count").ToInt(), 4);
    EXPECT_EQ(fan->GetProperty(L"building_count").ToInt(), 4);
    EXPECT_TRUE(fan->HasReachedCategoryLimit(L"ride"));
    EXPECT_FALSE(fan->HasReachedCategoryLimit(L"decoration"));
    // Hungry, with a snack left to eat; energy never leaves 0 .. 100.
    EXPECT_TRUE(fan->GetProperty(L"can_eat").ToBool());
    KivraBuilding* stall = SetDown(L"stall", {2, 10});
    for (int i = 0; i < 4; ++i) {
        fan->EnterBuilding(*stall);
        fan->GainHappiness();
    }
    EXPECT_EQ(fan->GetEnergy(), 100.0f);
    EXPECT_FALSE(fan->GetProperty(L"can_eat").ToBool());
    fan->ChangeEnergy(-1000.0f);
    EXPECT_EQ(fan->GetEnergy(), 0.0f);
    EXPECT_FALSE(fan->GetProperty(L"can_eat").ToBool());  // snack and restaurant used up
    grid->SetWeekTimer(0.0f);
    EXPECT_TRUE(fan->GetProperty(L"wants_to_leave").ToBool());
}

// A visit cut short by the night, or by the player lifting the building,
// cashes its hearts in for the player as leaving does.
TEST_F(Visitors, AVisitCutShortEarnsItsHearts) {
    auto [fan, hut] = FanInsideAfterThreeVisits();
    grid->SetWeekTimer(0.0f);
    Advance();
    EXPECT_EQ(hut->GetVacancies(), 2);
    EXPECT_EQ(level->hearts, 1);
    EXPECT_FLOAT_EQ(fan->GetHappiness(), 21.5f);
    grid->SetWeekTimer(1.0e6f);
    for (int visit = 0; visit < 2; ++visit) {  // hungry now: 28.5 each
        fan->EnterBuilding(*hut);
        fan->GainHappiness();
    }
    fan->EnterBuilding(*hut);
    grid->PickUpItem(*hut);
    EXPECT_EQ(hut->GetVacancies(), 2);
    EXPECT_EQ(level->hearts, 2);
    EXPECT_FLOAT_EQ(fan->GetHappiness(), 7.0f);
}

// Removing the building a visitor is in cuts the visit short too: the
// hearts it cashes in are the player's.
TEST_F(Visitors, RemovingTheBuildingAVisitorIsInEarnsItsHearts) {
    auto [fan, hut] = FanInsideAfterThreeVisits();
    grid->RemoveBuilding(*hut);
    EXPECT_EQ(level->hearts, 1);
    EXPECT_FLOAT_EQ(fan->GetHappiness(), 21.5f);
    Advance();
    EXPECT_EQ(level->hearts, 1);
}

// Walking costs the park's constant divided by 100 per step (50 -> 0.5),
// only while the walk moves it; the tutorial's pause freezes it in place.
TEST_F(Visitors, WalkingDrainsEnergyAndThePauseFreezesIt) {
    KivraPerson* fan = Fan({1, 1});
    fan->FindPathTo({9, 1});
    Advance(3);
    const float walked = 60.0f - fan->GetEnergy();
    EXPECT_GT(walked, 0.0f);
    EXPECT_FLOAT_EQ(walked / 0.5f, std::round(walked / 0.5f));
    player->paused = true;
    const float x = fan->GetX();
    Advance(20);
    EXPECT_EQ(fan->GetX(), x);
    EXPECT_EQ(fan->GetEnergy(), 60.0f - walked);
    EXPECT_EQ(fan->GetClockRate(), 0.0f);
    player->paused = false;
    for (int i = 0; i < 2000 && fan->IsFollowingPath(); ++i) Advance();
    EXPECT_EQ(fan->GetGridPosition(), (TilePoint{9, 1}));
    const float arrived = fan->GetEnergy();
    EXPECT_LT(arrived, 60.0f - walked);
    Advance(30);
    EXPECT_EQ(fan->GetEnergy(), arrived);
}

// A building set down on a visitor hides it while the player still carries
// the building, then it comes out on the door tile, its back to the building.
TEST_F(Visitors, ABuildingSetDownOnAVisitorPushesItOutOfTheDoor) {
    KivraPerson* fan = Fan({7, 7});
    fan->FindPathTo({12, 12});
    KivraBuilding* hut = SetDown(L"hut", {8, 8});
    hut->SetHeld(true);
    Advance(5);
    EXPECT_FALSE(fan->IsVisible());
    EXPECT_TRUE(fan->GetProperty(L"in_limbo").ToBool());
    EXPECT_FALSE(fan->IsFollowingPath());
    EXPECT_EQ(fan->GetCoveringBuilding(), hut);
    hut->SetHeld(false);
    Advance();
    ASSERT_EQ(hut->Doors().size(), 1u);
    const TilePoint door{hut->Doors()[0].col, hut->Doors()[0].row};
    EXPECT_TRUE(fan->IsVisible());
    EXPECT_EQ(fan->GetCoveringBuilding(), nullptr);
    EXPECT_EQ(fan->GetGridPosition(), door);
    EXPECT_FALSE(hut->GetFootprintRect().Covers(fan->GetGridPosition()));
}

// A visitor looks at its tile again only when it moved or a building was
// set down since: one standing on a tile it found clear still hides under a
// building set down there later.
TEST_F(Visitors, AVisitorThatFoundItsTileClearHidesUnderABuildingSetDownLater) {
    KivraPerson* fan = Fan({7, 7});
    Advance(3);
    ASSERT_EQ(fan->GetCoveringBuilding(), nullptr);
    KivraBuilding* hut = SetDown(L"hut", {8, 8});
    hut->SetHeld(true);
    Advance();
    EXPECT_EQ(fan->GetCoveringBuilding(), hut);
    EXPECT_FALSE(fan->IsVisible());
}

// Two faults once kept a place or a visitor for good: a visitor entering one
// building while still inside another kept the first one's place taken, and a
// visitor hidden under a building kept it after the building was removed; it
// now comes out beside it, and forgets it as its last building.
TEST_F(Visitors, ABuildingLeftOrRemovedLetsGoOfItsVisitors) {
    KivraPerson* fan = Fan({7, 7});
    KivraPerson* rider = Fan({2, 2});
    KivraBuilding* hut = SetDown(L"hut", {8, 8});
    KivraBuilding* stall = SetDown(L"stall", {2, 10});
    hut->SetHeld(true);
    rider->EnterBuilding(*stall);
    rider->EnterBuilding(*hut);
    EXPECT_EQ(stall->GetVacancies(), 1);
    EXPECT_EQ(hut->GetVacancies(), 1);
    Advance();
    ASSERT_EQ(fan->GetCoveringBuilding(), hut);
    const TileRect footprint = hut->GetFootprintRect();
    grid->MarkItemTiles(false, *hut);
    grid->RemoveWidget(hut);
    EXPECT_EQ(fan->GetCoveringBuilding(), nullptr);
    EXPECT_TRUE(fan->IsVisible());
    EXPECT_FALSE(footprint.Covers(fan->GetGridPosition()));
    EXPECT_EQ(rider->GetBuildingInUse(), nullptr);
    EXPECT_EQ(rider->GetLastBuilding(), nullptr);
    Advance(10);  // the building is gone now; nothing reads it
    EXPECT_TRUE(fan->IsVisible());
    // Leaving the grid ends the visit too.
    rider->EnterBuilding(*stall);
    EXPECT_EQ(stall->GetVacancies(), 0);
    grid->RemoveWidget(rider);
    EXPECT_EQ(stall->GetVacancies(), 1);
}

}  // namespace
