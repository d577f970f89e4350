// Moving, turning and removing buildings: every transition of the editing
// tools with the display's callbacks and the building put back; the item
// popup (one at a time) and the camera.
#include <gtest/gtest.h>

#include <functional>

#include "tests/game/park/park_grid_bench.h"

namespace {

using testsupport::LevelBuilder;
using Act = std::function<void()>;

class Editing : public testsupport::ParkGridBench {
protected:
    // A hut at (4, 4) turned to 1 and a stationary bench, started.
    void Enter() {
        EnterPark(LevelBuilder(12, 12, L'_').Item(L"hut", 4, 4, 1).Item(L"bench", 9, 2, 1), 1000);
        grid->StartItems();
        hut = dynamic_cast<KivraBuilding*>(grid->Items()[0]);
        bench = dynamic_cast<KivraBuilding*>(grid->Items()[1]);
        display.TakeLog();
    }
    Act Both(Act a, Act b) {
        return [a, b] { a(), b(); };
    }
    KivraBuilding* hut = nullptr;
    KivraBuilding* bench = nullptr;
};

// From a state reached through the public operations, one event: the mode
// reached, the callbacks run, and where the hut stands afterwards.
TEST_F(Editing, EveryTransitionOfTheTools) {
    const Act none = [] {}, move = [this] { grid->OnMoveSelect(); }, turn = [this] { grid->OnRotateSelect(); };
    const Act remove = [this] { grid->OnRemoveSelect(); }, cancel = [this] { grid->CancelCurrentMode(); };
    const Act clickHut = [this] { grid->OnBuildingClicked(*hut); }, place = [this] { ClickAt({8, 8}); };
    const Act moving = Both(move, clickHut), turning = Both(turn, clickHut);
    const Act carried = Both(moving, [this] { AimAt({8, 8}); });
    const Act clickBench = [this] { grid->OnBuildingClicked(*bench); };
    const Act request = [this] { grid->RequestCancel(), Advance(); };
    const Act carryNew = [this] { grid->PreviewNewBuilding(L"flowers_red"); };
    enum : int32_t { kNone, kNew, kMove, kMoveHeld, kTurn, kTurnHeld, kRemove };
    struct Case {
        const char* name;
        Act from, event;
        int32_t to;
        std::wstring log;  // the callbacks, "; " between them
        TilePoint hutAt{4, 4};
        int32_t hutTurn = 1;
    };
    const Case cases[] = {
        {"choose move", none, move, kMove, L"move_building_select_callback"},
        {"choose rotate", none, turn, kTurn, L"rotate_building_select_callback"},
        {"choose remove", none, remove, kRemove, L"remove_building_select_callback"},
        {"lift", move, clickHut, kMoveHeld, L"move_building_hover_callback"},
        {"lift and turn", turn, clickHut, kTurnHeld, L"rotate_building_hover_callback", {4, 4}, 2},
        {"stationary", move, clickBench, kMove, L""},
        {"moved", moving, place, kMove, L"move_building_place_callback: category=rides", {8, 8}, 1},
        // A turned building goes where it is aimed, too.
        {"turned", turning, place, kTurn, L"rotate_building_place_callback: category=rides", {8, 8}, 2},
        {"move put back", carried, cancel, kMove, L"move_building_cancel_hover_callback"},
        {"turn put back", turning, cancel, kTurn, L"rotate_building_cancel_hover_callback"},
        {"leave move", move, cancel, kNone, L"move_building_cancel_select_callback"},
        {"leave rotate", turn, cancel, kNone, L"rotate_building_cancel_select_callback"},
        {"leave remove", remove, cancel, kNone, L"remove_building_cancel_select_callback"},
        {"ask to remove", remove, clickHut, kRemove, L"confirm_remove_building: building_to_remove="},
        // A cancel asked for while carrying puts the building back, then leaves.
        {"cancel requested", carried, request, kNone,
         L"move_building_cancel_hover_callback; move_building_cancel_select_callback"},
        // A new building carried into the move tool is dropped, never set down unpaid.
        {"tool while carrying", carryNew, move, kMove, L"new_building_cancel_callback; move_building_select_callback"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Enter();
        c.from();
        display.TakeLog();
        c.event();
        EXPECT_EQ(grid->GetEditMode(), c.to);
        std::wstring log;
        for (const std::wstring& line : display.TakeLog()) log += (log.empty() ? L"" : L"; ") + line;
        EXPECT_EQ(log, c.log);
        EXPECT_EQ(grid->Hover().editModeActive, c.to != kNone);
        EXPECT_EQ(grid->Hover().popup, c.to == kNone ? 2 : 1);
        const bool held = c.to == kMoveHeld || c.to == kTurnHeld;
        EXPECT_EQ(grid->GetHeldBuilding(), held ? hut : nullptr);
        EXPECT_EQ(hut->GetGridPosition(), c.hutAt);
        EXPECT_EQ(hut->GetOrientation(), c.hutTurn);
        EXPECT_EQ(grid->GetTileOccupant(c.hutAt), held ? nullptr : hut);  // a lifted building frees its tiles
        EXPECT_EQ(Buildings(), 2);
        EXPECT_EQ(level->money, 1000);
        mgr.RemoveAllWidgets(true, false);
        host.DeleteDeferred();
    }
    // Removing after each confirmation keeps the tool; turning shows 1 from 0 and 3.
    Enter();
    grid->OnRemoveSelect();
    for (KivraBuilding* b : {hut, grid->CreateAndPlaceBuilding(L"hut", 8, 8, 3, L"")}) grid->RemoveBuilding(*b);
    EXPECT_EQ(Buildings(), 1);
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kRemoveSelect);
    grid->OnRotateSelect();
    KivraBuilding* turned = grid->CreateAndPlaceBuilding(L"hut", 8, 8, 3, L"");
    grid->OnBuildingClicked(*turned);
    EXPECT_EQ(turned->GetOrientation(), 1);
}

TEST_F(Editing, OnePopupAtATimeAndTheCamera) {
    Enter();
    auto* other = grid->CreateAndPlaceBuilding(L"hut", 8, 8, 1, L"");
    display.tutorialStep = L"placeflowers";
    grid->ShowItemPopup(*hut);
    AnimationWidget* first = grid->GetPopupWidget();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetLocalVariable(L"step").ToString(), L"placeflowers");
    EXPECT_EQ(first->GetLocalVariable(L"item").ToWidget<KivraBuilding>(), hut);
    display.tutorialStep.reset();
    grid->ShowItemPopup(*other);  // closes the first at once
    ASSERT_NE(grid->GetPopupWidget(), nullptr);
    EXPECT_EQ(first->GetParent(), nullptr);
    EXPECT_EQ(grid->GetPopupWidget()->GetLocalVariable(L"step").ToString(), L"completed");
    grid->HideItemPopup(*hut, true);  // not the popup's building: nothing
    EXPECT_NE(grid->GetPopupWidget(), nullptr);
    grid->RemoveBuilding(*other);  // the popup goes with its building
    EXPECT_EQ(grid->GetPopupWidget(), nullptr);
    EXPECT_EQ(grid->GetPopupBuilding(), nullptr);

    // A second camera move replaces the first and runs its full time, ending
    // with the item centred; CentreOn first moves it under the screen's centre.
    grid->MoveCameraTo(*bench);
    Advance(40);
    grid->MoveCameraTo(*hut);
    Advance(79);
    EXPECT_EQ(grid->CountTweens(L"camera_movement"), 1);
    Advance(2);
    const FRect box = hut->MapRectToScreen({0.0f, 0.0f, static_cast<float>(hut->GetWidth()), 1.0f * hut->GetHeight()});
    EXPECT_NEAR(box.x + box.w * 0.5f, kScreenWidth * 0.5f, 1.5f);
    EXPECT_NEAR(box.y + box.h * 0.5f, kScreenHeight * 0.5f, 1.5f);
    const TilePoint centre =
        grid->ScreenToTile(kScreenWidth * 0.5f - grid->GetX(), kScreenHeight * 0.5f - grid->GetY());
    auto* flowers = grid->CreateAndPlaceBuilding(L"flowers_red", 0, 0, 1, L"");
    grid->CentreOn(*flowers);
    EXPECT_EQ(flowers->GetGridPosition(), centre);
}

}  // namespace
