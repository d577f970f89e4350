// The sidewalk tool on the shipped park, driven by the pointer: entering it,
// the highlight under the pointer, clicks and drags that lay or clear tiles
// and what they cost, the tool ending itself when the money runs out, and
// the tutorial's marked tiles.
#include <gtest/gtest.h>

#include "foundation/expression/localization_map.h"
#include "tests/game/park/shipped_park.h"

namespace {

using Lines = std::vector<std::wstring>;

class Sidewalk : public testsupport::ShippedPark {
protected:
    Sidewalk() {
        LocalizationMap()[L"desc_another"] = L"Another";
        LocalizationMap()[L"label_walkway"] = L"Walkway";
    }
    ~Sidewalk() override { LocalizationMap().clear(); }

    // The middle of the tile, on the screen.
    std::pair<int, int> At(TilePoint tile) const {
        const PixelPoint p = grid->TileToScreen(tile.col, tile.row);
        return {static_cast<int>(grid->GetX() + p.x),
                static_cast<int>(grid->GetY() + p.y + 0.25f * static_cast<float>(GridTile::TileStepH()))};
    }
    void Hover(TilePoint tile) {
        const auto [x, y] = At(tile);
        PointerMove(x + 1, y);
        PointerMove(x, y);
        Advance(1);
    }
    void Click(TilePoint tile) {
        Hover(tile);
        const auto [x, y] = At(tile);
        PointerDown(x, y);
        PointerUp(x, y);
    }
    void Drag(std::initializer_list<TilePoint> tiles) {
        Hover(*tiles.begin());
        auto [x, y] = At(*tiles.begin());
        PointerDown(x, y);
        for (TilePoint tile : tiles) std::tie(x, y) = At(tile), PointerMove(x, y);
        PointerUp(x, y);
    }
};

TEST_F(Sidewalk, ClicksLayPaidTilesOnlyWhereTheyChangeAndTheToolEndsWhenTheMoneyRunsOut) {
    EnterPark();
    level->money = 25;  // two tiles and a half at 10
    grid->BeginSidewalk();
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kSidewalk);
    EXPECT_TRUE(grid->Hover().showDoors);
    EXPECT_EQ(display.TakeLog(), (Lines{L"paint_sidewalk_callback: success=true"}));
    EXPECT_EQ(level->money, 25);  // choosing the tool costs nothing

    Click({3, 3});
    EXPECT_EQ(MaterialAt({3, 3}), L'C');
    EXPECT_EQ(level->money, 15);
    // The same tile again, a fixed tile, a tile under a tree: nothing changes
    // and nothing is paid.
    Click({3, 3});
    Click({0, 3});
    Click({5, 5});
    EXPECT_EQ(MaterialAt({0, 3}), L'X');
    EXPECT_EQ(MaterialAt({5, 5}), L'_');
    EXPECT_EQ(level->money, 15);
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kSidewalk);

    // The last tile paid leaves too little: the tool ends and says why.
    Click({3, 4});
    EXPECT_EQ(MaterialAt({3, 4}), L'C');
    EXPECT_EQ(level->money, 5);
    EXPECT_EQ(level->stats.week.money_spent, 20);
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kNone);
    EXPECT_FALSE(grid->Hover().showDoors);
    EXPECT_EQ(display.TakeLog(),
              (Lines{L"cancel_sidewalk_callback", L"tutorial_event 12",
                     L"show_no_resources_dialog: label=Another Walkway lookup=false resource=money"}));

    // Too little for one tile: the tool does not start.
    grid->BeginSidewalk();
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kNone);
    EXPECT_EQ(display.TakeLog(), (Lines{L"paint_sidewalk_callback: label=label_walkway lookup=true resource=money "
                                        L"success=false",
                                        L"show_no_resources_dialog"}));
}

TEST_F(Sidewalk, DragsLayOrClearEachTileOnceTheHighlightFollowsThePointerAndTheTutorialPaintsItsMarks) {
    level->tiles[10][22] = L'T';
    EnterPark();
    level->money = 1000;
    // The tutorial's step paints only the marked tiles and counts them down.
    display.tutorialStep = L"sidewalk3";
    grid->BeginSidewalk();
    display.TakeLog();
    display.widget.SetVariable(L"tiles_highlighted_count", PropertyValue::FromInt(1));
    grid->PaintSidewalk({11, 22});
    EXPECT_EQ(MaterialAt({11, 22}), L'_');
    grid->PaintSidewalk({10, 22});
    EXPECT_EQ(MaterialAt({10, 22}), L'C');
    EXPECT_EQ(display.TakeLog(), (Lines{L"tutorial_event 11"}));
    EXPECT_EQ(display.widget.GetLocalVariable(L"tiles_highlighted_count").ToInt(), 0);
    display.tutorialStep.reset();
    level->money = 1000;

    const std::initializer_list<TilePoint> row = {{2, 20}, {3, 20}, {4, 20}, {5, 20}, {6, 20}};
    Drag(row);
    for (TilePoint tile : row) EXPECT_EQ(MaterialAt(tile), L'C');
    EXPECT_EQ(level->money, 1000 - 5 * 10);
    Drag({{6, 20}, {5, 20}, {4, 20}});  // back over them: already laid
    EXPECT_EQ(level->money, 950);

    // Resting on a tile (mid-screen, where the park does not scroll): its
    // colour is kept until the pointer enters another.
    Hover({12, 12});
    EXPECT_EQ(grid->HighlightState(), L'g');
    grid->ResetTileStates();
    EXPECT_EQ(grid->GetTileAt(12, 12)->state, L'g');
    level->money = 0;
    Advance(2);
    EXPECT_EQ(grid->HighlightState(), L'g');
    Hover({12, 13});
    EXPECT_EQ(grid->HighlightState(), L'r');

    // Clearing: the level's own sidewalk goes, free; nothing else is touched.
    grid->SetSidewalkPaintAdds(false);
    Hover({8, 20});
    EXPECT_EQ(grid->HighlightState(), L'g');
    Drag({{7, 20}, {8, 20}, {9, 20}});
    EXPECT_EQ(MaterialAt({8, 20}), L'_');
    EXPECT_EQ(MaterialAt({7, 20}), L'_');
    Click({0, 20});
    EXPECT_EQ(MaterialAt({0, 20}), L'X');
    EXPECT_EQ(level->money, 0);
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kSidewalk);
    grid->CancelCurrentMode();
    EXPECT_EQ(grid->GetEditMode(), KivraGrid::kNone);
}

}  // namespace
