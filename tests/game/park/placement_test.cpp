// Placing buildings: the road from picking a type to the last copy paid
// for, with the display's callbacks in order and the money they cost; the
// refusals, cancelling, and the tutorial's marked tiles.
#include <gtest/gtest.h>

#include <algorithm>

#include "foundation/expression/localization_map.h"
#include "game/park/grid/kivra_tile.h"
#include "rendering/draw/graphics.h"
#include "tests/game/park/park_grid_bench.h"
#include "tests/rendering/graphics_test_support.h"

namespace {

using testsupport::LevelBuilder;
using Lines = std::vector<std::wstring>;
using Payment = testsupport::TestParkPlayer::Payment;

using testsupport::Log;

// A 12 x 12 map of empty ground with the given tiles set.
std::wstring MapWith(std::initializer_list<std::pair<TilePoint, wchar_t>> tiles) {
    std::vector<std::wstring> rows(12, std::wstring(12, L'_'));
    for (const auto& [at, material] : tiles) rows[static_cast<size_t>(at.row)][static_cast<size_t>(at.col)] = material;
    std::wstring text;
    for (const std::wstring& row : rows) text += row + L" ";
    return text;
}

class Placing : public testsupport::ParkGridBench {
protected:
    void SetUp() override {
        LocalizationMap()[L"desc_another"] = L"Another";
        LocalizationMap()[L"label_hut"] = L"Hut";
    }
    void TearDown() override { LocalizationMap().clear(); }
};

TEST_F(Placing, CopiesFollowOneAnotherWhileTheMoneyLasts) {
    EnterPark(LevelBuilder(12, 12, L'_'), 250);
    grid->PreviewNewBuilding(L"hut");
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kNewBuilding);
    KivraBuilding* first = grid->GetHeldBuilding();
    ASSERT_NE(first, nullptr);
    // Carried: held, ignoring the pointer, stamping the placement highlight, on no tile.
    EXPECT_TRUE(first->IsBeingPlaced());
    EXPECT_TRUE(first->IsHeld());
    EXPECT_FALSE(first->IsMouseVisible());
    EXPECT_EQ(first->FootprintState(), L'g');
    EXPECT_TRUE(grid->Hover().showDoors);
    EXPECT_TRUE(grid->IsPushable());
    EXPECT_FALSE(grid->IsDraggable());
    EXPECT_EQ(display.TakeLog(), (Lines{L"new_building_hover_callback: building= cost=100 success=true type=hut"}));
    EXPECT_TRUE(player->payments.empty());

    first->SetOrientation(3);
    ClickAt({5, 5});
    EXPECT_EQ(first->GetGridPosition(), (TilePoint{5, 5}));
    EXPECT_FALSE(first->IsBeingPlaced());
    EXPECT_FALSE(first->IsHeld());
    EXPECT_EQ(first->FootprintState(), L'_');
    EXPECT_EQ(level->money, 150);
    // The next copy is carried from the same place, turned the same way.
    KivraBuilding* second = grid->GetHeldBuilding();
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second, first);
    EXPECT_EQ(second->GetGridPosition(), (TilePoint{5, 5}));
    EXPECT_EQ(second->GetOrientation(), 3);
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kNewBuilding);
    EXPECT_EQ(display.TakeLog(), (Lines{L"new_building_place_callback: category=rides"}));

    ClickAt({8, 8});
    EXPECT_EQ(second->GetGridPosition(), (TilePoint{8, 8}));
    EXPECT_EQ(level->money, 50);
    EXPECT_EQ(grid->GetHeldBuilding(), nullptr);
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kNone);
    EXPECT_TRUE(grid->IsDraggable());
    EXPECT_FALSE(grid->IsPushable());
    EXPECT_FALSE(grid->Hover().showDoors);
    EXPECT_EQ(display.TakeLog(), (Lines{L"new_building_place_and_stop_callback: category=rides label=Another Hut "
                                        L"lookup=false resource=money"}));
    EXPECT_EQ(player->payments, (std::vector<Payment>{{L"money", -100}, {L"money", -100}}));
    EXPECT_EQ(Buildings(), 2);
    // Placed buildings take the pointer again, each by its own setting.
    EXPECT_TRUE(first->IsMouseVisible());
    EXPECT_TRUE(second->IsMouseVisible());
}

// Money for exactly n copies: n placements, the last one ends the mode.
TEST_F(Placing, MoneyForExactlyOneOrTwoCopies) {
    for (int copies : {1, 2}) {
        SCOPED_TRACE(copies);
        EnterPark(LevelBuilder(12, 12, L'_'), 100 * copies);
        grid->PreviewNewBuilding(L"hut");
        for (int i = 0; i < copies; ++i) {
            EXPECT_EQ(grid->GetEditMode(), KivraGrid::kNewBuilding);
            ClickAt({3 + 3 * i, 3});
        }
        EXPECT_EQ(level->money, 0);
        EXPECT_EQ(grid->GetEditMode(), KivraGrid::kNone);
        EXPECT_EQ(grid->GetHeldBuilding(), nullptr);
        EXPECT_EQ(Buildings(), copies);
        const Lines log = display.TakeLog();
        ASSERT_EQ(log.size(), static_cast<size_t>(copies + 1));
        EXPECT_EQ(log.back().substr(0, 36), L"new_building_place_and_stop_callback");
        mgr.RemoveAllWidgets(true, false);
        host.DeleteDeferred();
    }
}

// An unknown type, a person, or too little money: no building, nothing paid.
TEST_F(Placing, AnUnknownTypeOrTooLittleMoneyCreatesNothing) {
    EnterPark(LevelBuilder(12, 12, L'_'), 1000);
    grid->PreviewNewBuilding(L"castle");
    grid->PreviewNewBuilding(L"walker");  // a person, no building
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kNone);
    EXPECT_EQ(grid->Items().size(), 0u);
    EXPECT_TRUE(display.TakeLog().empty());

    level->money = 99;
    grid->PreviewNewBuilding(L"hut");
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kNone);
    EXPECT_EQ(Buildings(), 0);
    EXPECT_EQ(display.TakeLog(),
              (Lines{L"new_building_hover_callback: label=label_hut lookup=true resource=money success=false",
                     L"show_no_resources_dialog"}));
    EXPECT_TRUE(player->payments.empty());
}

TEST_F(Placing, ARefusedSpotChargesNothingAndKeepsTheBuildingCarried) {
    Define(L"cannot_place_callback", {Log(L"refused"), Step(L"persist")});
    Define(L"end_cannot_place_callback", {Log(L"refusal ends")});
    EnterPark(LevelBuilder(12, 12).Map(MapWith({{{5, 5}, L'X'}})), 500);
    grid->PreviewNewBuilding(L"hut");
    display.TakeLog();
    ClickAt({5, 5});  // covers the 'X' at (5, 5)
    KivraBuilding* held = grid->GetHeldBuilding();
    ASSERT_NE(held, nullptr);
    EXPECT_NE(held->GetLocalVariable(L"cannot_place_widget").ToWidget<AnimationWidget>(), nullptr);
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kNewBuilding);
    EXPECT_TRUE(player->payments.empty());
    EXPECT_TRUE(display.TakeLog().empty());
    EXPECT_EQ(Buildings(), 1);

    // Off the bad tile, the next click places it and ends the refusal shown.
    ClickAt({8, 8});
    EXPECT_EQ(TakeLog(), (Lines{L"refused", L"refusal ends"}));
    EXPECT_EQ(held->GetGridPosition(), (TilePoint{8, 8}));
    EXPECT_EQ(player->payments, (std::vector<Payment>{{L"money", -100}}));
}

// A refused spot shows which of its tiles are in the way, and no other;
// a spot that takes the building shows none.
TEST_F(Placing, ARefusedSpotMarksTheTilesInTheWay) {
    EnterPark(LevelBuilder(12, 12).Map(MapWith({{{6, 5}, L'X'}})), 500);
    grid->PreviewNewBuilding(L"hut");
    ClickAt({5, 5});  // set down on columns and rows 4..5
    auto refusing = [this] {
        Advance();
        std::vector<TilePoint> out;
        for (int32_t col = 0; col < 12; ++col)
            for (int32_t row = 0; row < 12; ++row)
                if (dynamic_cast<KivraTile&>(*grid->GetTileAt(col, row)).refusesHeld) out.push_back({col, row});
        return out;
    };
    // Drawn over the carried picture, which hides the tiles it stands on.
    auto marksDrawn = [this] {
        testsupport::RecordingTarget target(800, 600);
        Graphics g(&target);
        grid->GetHeldBuilding()->Draw(&g);
        return std::count_if(target.calls.begin(), target.calls.end(),
                             [](const auto& call) { return call.source.x == 5 * call.source.w; });
    };
    AimAt({6, 6});  // the copy over 5..6: one tile taken, one that takes nothing
    EXPECT_EQ(grid->GetHeldBuilding()->FootprintState(), L'r');
    EXPECT_EQ(refusing(), (std::vector<TilePoint>{{5, 5}, {6, 5}}));
    EXPECT_EQ(marksDrawn(), 2);
    AimAt({9, 9});
    EXPECT_EQ(refusing(), std::vector<TilePoint>{});
    EXPECT_EQ(marksDrawn(), 0);
}

TEST_F(Placing, CancellingChargesNothing) {
    EnterPark(LevelBuilder(12, 12, L'_'), 500);
    grid->PreviewNewBuilding(L"hut");
    ClickAt({5, 5});
    display.TakeLog();
    grid->CancelCurrentMode();
    Advance();
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kNone);
    EXPECT_EQ(grid->GetHeldBuilding(), nullptr);
    EXPECT_EQ(Buildings(), 1);  // the placed one stays, the carried copy is gone
    EXPECT_EQ(level->money, 400);
    EXPECT_EQ(display.TakeLog(), (Lines{L"new_building_cancel_callback"}));
    EXPECT_FALSE(grid->Hover().showDoors);
}

// A cancel asked for while the placing step runs waits for its end: the
// building is placed and paid, then the copy handed over is discarded.
TEST_F(Placing, ACancelRequestedWhilePlacingWaitsForItsEnd) {
    EnterPark(LevelBuilder(12, 12, L'_'), 500);
    grid->PreviewNewBuilding(L"hut");
    display.widget.onRun = [this](std::wstring_view name) {
        if (name == L"new_building_place_callback") grid->RequestCancel();
    };
    ClickAt({5, 5});
    EXPECT_EQ(display.TakeLog(),
              (Lines{L"new_building_hover_callback: building= cost=100 success=true type=hut",
                     L"new_building_place_callback: category=rides", L"new_building_cancel_callback"}));
    EXPECT_FALSE(grid->IsCancelPending());
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kNone);
    Advance();
    EXPECT_EQ(Buildings(), 1);
    EXPECT_EQ(level->money, 400);
}

// The tutorial's placing steps accept only the tiles they marked, and a
// tutorial ends new-building mode after one building.
TEST_F(Placing, TheTutorialWantsItsMarkedTiles) {
    EnterPark(LevelBuilder(12, 12).Map(MapWith({{{6, 3}, L'T'}})), 500);
    display.tutorialStep = L"placeflowers";
    grid->PreviewNewBuilding(L"flowers_red");
    display.TakeLog();
    ClickAt({4, 4});  // buildable, but not marked
    EXPECT_NE(grid->GetHeldBuilding(), nullptr);
    EXPECT_TRUE(player->payments.empty());
    ClickAt({6, 3});
    EXPECT_EQ(grid->GetHeldBuilding(), nullptr);
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kNone);
    EXPECT_EQ(display.TakeLog(),
              (Lines{L"new_building_place_and_stop_callback: category=decorations", L"tutorial_event 31"}));

    // Another step places anywhere, but still one building at a time.
    display.tutorialStep = L"navigate";
    grid->PreviewNewBuilding(L"hut");
    ClickAt({8, 8});
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kNone);
    EXPECT_EQ(Buildings(), 2);
}

// The edit modes placing moves between; moving and rotating cost nothing.
TEST_F(Placing, EditModeTransitions) {
    struct Case {
        const char* name;
        int32_t from;
        int32_t money;
        bool tutorial;
        int32_t to;
        const wchar_t* callback;
    };
    const Case cases[] = {
        {"copy affordable", KivraGrid::kNewBuilding, 300, false, KivraGrid::kNewBuilding,
         L"new_building_place_callback"},
        {"tutorial", KivraGrid::kNewBuilding, 300, true, KivraGrid::kNone, L"new_building_place_and_stop_callback"},
        {"money out", KivraGrid::kNewBuilding, 150, false, KivraGrid::kNone, L"new_building_place_and_stop_callback"},
        {"moved", KivraGrid::kMoveHeld, 300, false, KivraGrid::kMoveSelect, L"move_building_place_callback"},
        {"rotated", KivraGrid::kRotateHeld, 300, false, KivraGrid::kRotateSelect, L"rotate_building_place_callback"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EnterPark(LevelBuilder(12, 12, L'_'), c.money);
        display.tutorialStep = c.tutorial ? std::optional<std::wstring>(L"navigate") : std::nullopt;
        if (c.from == KivraGrid::kNewBuilding) {
            grid->PreviewNewBuilding(L"hut");
        } else {
            KivraBuilding* b = grid->CreateAndPlaceBuilding(L"hut", 5, 5, 1, L"");
            grid->SetEditMode(c.from);
            grid->StartHoverFade(*b);
        }
        display.TakeLog();
        ClickAt({6, 6});
        EXPECT_EQ(grid->GetEditMode(), c.to);
        const Lines log = display.TakeLog();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log[0].substr(0, log[0].find(L':')), c.callback);
        const int32_t charged = c.from == KivraGrid::kNewBuilding ? 100 : 0;
        EXPECT_EQ(level->money, c.money - charged);
        if (c.from != KivraGrid::kNewBuilding) {
            EXPECT_EQ(grid->Hover().fade, 2);
        }
        mgr.RemoveAllWidgets(true, false);
        host.DeleteDeferred();
    }

    // From nothing: new-building mode only for an affordable type; a cancel
    // asked for in mode 0 changes nothing but is forgotten.
    EnterPark(LevelBuilder(12, 12, L'_'), 100);
    display.TakeLog();  // the park left last ended its move tool
    grid->RequestCancel();
    grid->CancelCurrentMode();
    EXPECT_FALSE(grid->IsCancelPending());
    EXPECT_TRUE(display.TakeLog().empty());
    grid->PreviewNewBuilding(L"hut");
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kNewBuilding);
    grid->RequestCancel();
    Advance();  // the next update carries the request out
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kNone);
    EXPECT_EQ(display.TakeLog().back(), L"new_building_cancel_callback");
}

}  // namespace
