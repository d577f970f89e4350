// Reachability on the shipped park: the pass re-checks one building per
// update, a building cut off from an open gate shows one unreachable
// indicator, a connection made afterwards shows once, and one connected from
// the start or held shows nothing, and a pass ends once every item is seen.
#include <gtest/gtest.h>

#include "game/park/buildings/front_gate.h"
#include "tests/game/park/shipped_park.h"

namespace {

class Reachability : public testsupport::ShippedPark {
protected:
    static AnimationWidget* Shown(KivraBuilding& b, const wchar_t* id) {
        auto* indicator = b.GetLocalVariable(id).ToWidget<AnimationWidget>();
        return indicator != nullptr && indicator->GetParent() == &b ? indicator : nullptr;
    }
    static AnimationWidget* Unreachable(KivraBuilding& b) { return Shown(b, L"unreachable_display"); }
    static AnimationWidget* Connected(KivraBuilding& b) { return Shown(b, L"reachable_display"); }
    // Long enough for a whole pass over the park's items.
    void Pass() { Advance(static_cast<int>(grid->Items().size()) + 1); }
};

TEST_F(Reachability, ABuildingShowsWhetherAWayLeadsToAnOpenGateUnlessHeldAndThePassEnds) {
    EnterPark();
    auto* gate = FirstOfType<FrontGate>(L"front_gate");
    // Its door on the park's concrete road, which reaches the gate's far side.
    KivraBuilding* castle = grid->CreateAndPlaceBuilding(L"bouncy_castle", 23, 20, 1, L"");
    // Its door (26, 24) on grass, one tile from the road.
    KivraBuilding* house = grid->CreateAndPlaceBuilding(L"playhouse", 27, 24, 3, L"");
    ASSERT_NE(castle->FindDoor({24, 20}, 0), nullptr);
    ASSERT_NE(house->FindDoor({26, 24}, 0), nullptr);
    Pass();
    // The gate is closed: nothing is reachable.
    AnimationWidget* cut = Unreachable(*castle);
    ASSERT_NE(cut, nullptr);
    EXPECT_TRUE(cut->GetLocalVariable(L"do_fade").ToBool());
    EXPECT_FALSE(castle->IsReachable());
    ASSERT_NE(Unreachable(*house), nullptr);
    EXPECT_EQ(Unreachable(*gate), nullptr);

    // Sidewalk painted to the house's door; the gate still closed, so still cut off,
    // and the indicator not told yet is not replaced.
    grid->BeginSidewalk();
    grid->PaintSidewalk({25, 24});
    grid->PaintSidewalk({26, 24});
    grid->CancelSidewalk();
    Pass();
    EXPECT_EQ(Unreachable(*castle), cut);
    EXPECT_EQ(Connected(*castle), nullptr);

    ASSERT_NE(gate->PurchaseUpgrade(L"open"), nullptr);
    Pass();
    EXPECT_TRUE(castle->IsReachable());
    EXPECT_TRUE(cut->GetLocalVariable(L"is_reachable").ToBool());
    AnimationWidget* joined = Connected(*castle);
    ASSERT_NE(joined, nullptr);
    EXPECT_NE(Connected(*house), nullptr);
    Pass();
    EXPECT_EQ(Connected(*castle), joined);  // shown once

    // The way to the house broken: its connection goes, a new cut shows.
    AnimationWidget* houseCut = Unreachable(*house);
    grid->SetSidewalkPaintAdds(false);
    grid->BeginSidewalk();
    grid->PaintSidewalk({25, 24});
    Pass();
    EXPECT_FALSE(house->IsReachable());
    EXPECT_EQ(Connected(*house), nullptr);
    ASSERT_NE(Unreachable(*house), nullptr);
    EXPECT_NE(Unreachable(*house), houseCut);
    EXPECT_EQ(Connected(*castle), joined);

    // Connected from the start: nothing to show.
    KivraBuilding* pipes = grid->CreateAndPlaceBuilding(L"play_pipes", 23, 23, 1, L"");
    Pass();
    EXPECT_TRUE(pipes->IsReachable());
    EXPECT_EQ(Unreachable(*pipes), nullptr);
    EXPECT_EQ(Connected(*pipes), nullptr);
    // The pass is over once every item was visited: it waits for the next change.
    EXPECT_EQ(grid->CycleNext(), -1);

    // The held building shows no indicator.
    AnimationWidget* stillCut = Unreachable(*house);
    ASSERT_NE(stillCut, nullptr);
    house->SetHeld(true);
    house->UpdateReachability();
    EXPECT_TRUE(stillCut->GetLocalVariable(L"is_reachable").ToBool());
    EXPECT_EQ(Connected(*house), nullptr);
}

}  // namespace
