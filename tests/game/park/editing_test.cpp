// Moving, turning and removing buildings: every transition of the editing
// tools with the display's callbacks, the building put back by a cancel, the
// item popup (one at a time) and the camera.
#include <gtest/gtest.h>

#include <functional>

#include "tests/game/park/park_grid_bench.h"

namespace {

using testsupport::LevelBuilder;
using Lines = std::vector<std::wstring>;

class Editing : public testsupport::ParkGridBench {
protected:
    // A hut at (4, 4) turned to 1, a bench (stationary) at (9, 2); started.
    void Enter(int32_t money = 1000) {
        EnterPark(LevelBuilder(12, 12, L'_').Item(L"hut", 4, 4, 1).Item(L"bench", 9, 2, 1), money);
        grid->StartItems();
        hut = dynamic_cast<KivraBuilding*>(grid->Items()[0]);
        bench = dynamic_cast<KivraBuilding*>(grid->Items()[1]);
        display.TakeLog();
    }
    void Leave() {
        mgr.RemoveAllWidgets(true, false);
        host.DeleteDeferred();
    }
    KivraBuilding* hut = nullptr;
    KivraBuilding* bench = nullptr;
};

// Every transition of the three tools: from a state reached through the
// public operations, one event, the mode reached and the callbacks run.
TEST_F(Editing, EveryTransitionOfTheTools) {
    using Act = std::function<void()>;
    const auto select = [this](int32_t mode) -> Act {
        return [this, mode] {
            if (mode == KivraGrid::kMoveSelect) grid->OnMoveSelect();
            if (mode == KivraGrid::kRotateSelect) grid->OnRotateSelect();
            if (mode == KivraGrid::kRemoveSelect) grid->OnRemoveSelect();
        };
    };
    const Act none = [] {};
    const Act clickHut = [this] { grid->OnBuildingClicked(*hut); };
    const Act clickBench = [this] { grid->OnBuildingClicked(*bench); };
    const Act cancel = [this] { grid->CancelCurrentMode(); };
    const Act moveHeld = [&] { select(KivraGrid::kMoveSelect)(), clickHut(); };
    const Act rotateHeld = [&] { select(KivraGrid::kRotateSelect)(), clickHut(); };
    const Act place = [this] { ClickAt({8, 8}); };
    const Act carryNew = [this] { grid->PreviewNewBuilding(L"flowers_red"); };
    struct Case {
        const char* name;
        Act from, event;
        int32_t to;
        Lines log;
    };
    const Case cases[] = {
        {"choose move",
         none,
         select(KivraGrid::kMoveSelect),
         KivraGrid::kMoveSelect,
         {L"move_building_select_callback"}},
        {"choose rotate",
         none,
         select(KivraGrid::kRotateSelect),
         KivraGrid::kRotateSelect,
         {L"rotate_building_select_callback"}},
        {"choose remove",
         none,
         select(KivraGrid::kRemoveSelect),
         KivraGrid::kRemoveSelect,
         {L"remove_building_select_callback"}},
        {"lift to move",
         select(KivraGrid::kMoveSelect),
         clickHut,
         KivraGrid::kMoveHeld,
         {L"move_building_hover_callback"}},
        {"lift to turn",
         select(KivraGrid::kRotateSelect),
         clickHut,
         KivraGrid::kRotateHeld,
         {L"rotate_building_hover_callback"}},
        {"a stationary building is no target", select(KivraGrid::kMoveSelect), clickBench, KivraGrid::kMoveSelect, {}},
        {"moved", moveHeld, place, KivraGrid::kMoveSelect, {L"move_building_place_callback: category=rides"}},
        {"turned", rotateHeld, place, KivraGrid::kRotateSelect, {L"rotate_building_place_callback: category=rides"}},
        {"move put back", moveHeld, cancel, KivraGrid::kMoveSelect, {L"move_building_cancel_hover_callback"}},
        {"turn put back", rotateHeld, cancel, KivraGrid::kRotateSelect, {L"rotate_building_cancel_hover_callback"}},
        {"leave move",
         select(KivraGrid::kMoveSelect),
         cancel,
         KivraGrid::kNone,
         {L"move_building_cancel_select_callback"}},
        {"leave rotate",
         select(KivraGrid::kRotateSelect),
         cancel,
         KivraGrid::kNone,
         {L"rotate_building_cancel_select_callback"}},
        {"leave remove",
         select(KivraGrid::kRemoveSelect),
         cancel,
         KivraGrid::kNone,
         {L"remove_building_cancel_select_callback"}},
        {"ask to remove",
         select(KivraGrid::kRemoveSelect),
         clickHut,
         KivraGrid::kRemoveSelect,
         {L"confirm_remove_building: building_to_remove="}},
        {"removed, the tool stays",
         select(KivraGrid::kRemoveSelect),
         [this] { grid->RemoveBuilding(*hut); },
         KivraGrid::kRemoveSelect,
         {L"remove_building_callback"}},
        // A cancel asked for while carrying puts the building back, then leaves.
        {"cancel requested while held",
         moveHeld,
         [this] { grid->RequestCancel(), Advance(); },
         KivraGrid::kNone,
         {L"move_building_cancel_hover_callback", L"move_building_cancel_select_callback"}},
        // A new building carried into the move tool is dropped, never set down unpaid.
        {"a tool while carrying a new one",
         carryNew,
         select(KivraGrid::kMoveSelect),
         KivraGrid::kMoveSelect,
         {L"new_building_cancel_callback", L"move_building_select_callback"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Enter();
        c.from();
        display.TakeLog();
        c.event();
        EXPECT_EQ(grid->GetEditMode(), c.to);
        EXPECT_EQ(display.TakeLog(), c.log);
        EXPECT_EQ(grid->Hover().editModeActive, c.to != KivraGrid::kNone);
        EXPECT_EQ(grid->Hover().popup, c.to == KivraGrid::kNone ? 2 : 1);
        const bool held = c.to == KivraGrid::kMoveHeld || c.to == KivraGrid::kRotateHeld;
        EXPECT_EQ(grid->GetHeldBuilding() != nullptr, held);
        EXPECT_EQ(level->money, 1000);  // editing is free, and so is removing
        Leave();
    }
}

// A lifted building follows the pointer; a cancel puts it back where and as it stood, a second one leaves the tool.
TEST_F(Editing, ACancelPutsTheBuildingBackAsItStood) {
    Enter();
    const TileRect before = hut->GetFootprintRect();
    grid->OnRotateSelect();
    grid->OnBuildingClicked(*hut);
    EXPECT_EQ(hut->GetOrientation(), 2);  // 1 shows 2 while held
    EXPECT_TRUE(hut->IsBeingPlaced());
    AimAt({8, 8});
    EXPECT_NE(hut->GetGridPosition(), (TilePoint{4, 4}));
    grid->CancelRotate();
    EXPECT_EQ(hut->GetFootprintRect(), before);
    EXPECT_EQ(hut->GetOrientation(), 1);
    EXPECT_FALSE(hut->IsBeingPlaced());
    grid->CancelRotate();
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kNone);
    EXPECT_EQ(grid->Hover().fade, 1);
    // Orientations other than 1 turn to 1.
    for (int32_t from : {0, 3, 2}) {
        hut->SetOrientation(from);
        grid->OnRotateSelect();
        grid->OnBuildingClicked(*hut);
        EXPECT_EQ(hut->GetOrientation(), 1) << from;
        grid->CancelRotate();
        grid->CancelRotate();
    }
}

// Removing keeps the tool on for the next building.
TEST_F(Editing, RemovingTwoBuildingsOneConfirmationEach) {
    Enter();
    auto* second = grid->CreateAndPlaceBuilding(L"hut", 8, 8, 1, L"");
    grid->OnRemoveSelect();
    for (KivraBuilding* b : {hut, second}) {
        grid->OnBuildingClicked(*b);
        grid->RemoveBuilding(*b);
    }
    EXPECT_EQ(Buildings(), 1);
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kRemoveSelect);
    EXPECT_EQ(display.TakeLog().size(), 5u);  // select, then confirm and removed twice
}

TEST_F(Editing, OnePopupAtATime) {
    Enter();
    auto* other = grid->CreateAndPlaceBuilding(L"hut", 8, 8, 1, L"");
    display.tutorialStep = L"placeflowers";
    grid->ShowItemPopup(*hut);
    AnimationWidget* first = grid->GetPopupWidget();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetLocalVariable(L"step").ToString(), L"placeflowers");
    EXPECT_EQ(first->GetLocalVariable(L"item").ToWidget<KivraBuilding>(), hut);
    EXPECT_EQ(grid->GetPopupBuilding(), hut);
    EXPECT_EQ(first->GetPriority(), 1048576);

    // Another building's popup closes the first at once.
    display.tutorialStep.reset();
    grid->ShowItemPopup(*other);
    AnimationWidget* second = grid->GetPopupWidget();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(first->GetParent(), nullptr);
    EXPECT_EQ(second->GetLocalVariable(L"step").ToString(), L"completed");
    EXPECT_EQ(grid->GetPopupBuilding(), other);

    // Hiding another building's popup does nothing; the carried building shows none.
    grid->HideItemPopup(*hut, true);
    EXPECT_EQ(grid->GetPopupWidget(), second);
    // The popup's building removed: the popup goes with it.
    grid->OnRemoveSelect();
    EXPECT_EQ(grid->GetPopupWidget(), nullptr);
    EXPECT_EQ(grid->GetPopupBuilding(), nullptr);
    grid->CancelRemove();
    grid->ShowItemPopup(*other);
    grid->RemoveBuilding(*other);
    Advance();
    EXPECT_EQ(grid->GetPopupWidget(), nullptr);
    EXPECT_EQ(grid->GetPopupBuilding(), nullptr);
}

// The camera centres the item's box on the screen; a second move replaces
// the first and runs its full time.
TEST_F(Editing, TheCameraCentresTheItem) {
    Enter();
    grid->MoveCameraTo(*bench);
    Advance(40);
    grid->MoveCameraTo(*hut);
    Advance(79);
    EXPECT_EQ(grid->CountTweens(L"camera_movement"), 1);
    Advance(2);
    EXPECT_EQ(grid->CountTweens(L"camera_movement"), 0);
    const FRect box =
        hut->MapRectToScreen({0.0f, 0.0f, static_cast<float>(hut->GetWidth()), static_cast<float>(hut->GetHeight())});
    EXPECT_NEAR(box.x + box.w * 0.5f, kScreenWidth * 0.5f, 1.5f);
    EXPECT_NEAR(box.y + box.h * 0.5f, kScreenHeight * 0.5f, 1.5f);

    // CentreOn brings the item under the screen's centre first.
    const TilePoint centre =
        grid->ScreenToTile(kScreenWidth * 0.5f - grid->GetX(), kScreenHeight * 0.5f - grid->GetY());
    auto* flowers = grid->CreateAndPlaceBuilding(L"flowers_red", 0, 0, 1, L"");
    grid->CentreOn(*flowers);
    EXPECT_EQ(flowers->GetGridPosition(), centre);
}

}  // namespace
