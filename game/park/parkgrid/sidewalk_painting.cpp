// The sidewalk tool (edit mode 7): the tile under the pointer shows whether
// a click would change it, a click or a drag lays the level's sidewalk (or
// clears it) one tile at a time, each laid tile paid at once, and the tool
// ends itself when the money no longer covers a tile.
//
// A tile changes only where the highlight shows 'g' at that moment: never
// under a building, never the fixed tiles ('#', 'X', '@'), never a tile
// already as wanted; and only a tile that changes is paid for.
#include <climits>

#include "foundation/expression/constants_map.h"
#include "foundation/expression/localization_map.h"
#include "game/data/progress/kivra_level.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/display/park_display.h"
#include "game/park/grid/kivra_tile.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "widgets/script/animation_widget.h"

namespace {

KIVRA_LEVEL* PaintedLevel() {
    ParkPlayer* player = ParkPlayer::Current();
    return player ? player->GetCurrentLevel() : nullptr;
}

int32_t TileCost() { return GetConstantInt(L"sidewalk_cost"); }

bool IsTutorialSidewalkStep(const std::wstring& step) {
    return step == L"sidewalk3" || step == L"sidewalk4" || step == L"playpipessidewalk";
}

}  // namespace

TileChar KivraGrid::SidewalkHighlight(TilePoint position) const {
    const auto* tile = dynamic_cast<const KivraTile*>(GetTileAt(position.col, position.row));
    const KIVRA_LEVEL* level = PaintedLevel();
    if (tile == nullptr || level == nullptr || tile->occupant != nullptr) return 'r';
    const TileChar m = tile->material, s = level->sidewalk;
    if (!sidewalkPaintAdds_) return m == s ? 'g' : 'r';
    if (m == s || m == '#' || m == 'X' || m == '@') return 'r';
    return level->money >= TileCost() ? 'g' : 'r';
}

void KivraGrid::BeginSidewalk() {
    if (editMode_ != kNone && editMode_ != kSidewalk) CancelCurrentMode();
    const KIVRA_LEVEL* level = PaintedLevel();
    if (level == nullptr || level->money < TileCost()) {
        SetDisplayVariable(L"lookup", PropertyValue::FromWString(L"true"));
        SetDisplayVariable(L"label", PropertyValue::FromWString(L"label_walkway"));
        SetDisplayVariable(L"resource", PropertyValue::FromWString(L"money"));
        SetDisplayVariable(L"success", PropertyValue::FromBool(false));
        RunCallback(L"paint_sidewalk_callback");
        RunCallback(L"show_no_resources_dialog");
        return;
    }
    hover_.popup = 1;
    hover_.translucent = 0;
    hover_.showDoors = true;
    SetDisplayVariable(L"success", PropertyValue::FromBool(true));
    RunCallback(L"paint_sidewalk_callback");
    SetDraggable(false, false);
    SetPushable(true);
    SetBuildingsMouseMode(2);
    ClosePopupFor(popupBuilding_.Get());
    // No tile is under the pointer yet: the next step finds it and lights it.
    hoverTile_ = {INT32_MIN, INT32_MIN};
    MarkTileStatesDirty();
    MarkDirty();
    editMode_ = kSidewalk;
}

void KivraGrid::FollowSidewalkPointer(float dx, float dy) {
    // The pointer stays over the same point of the screen while the park scrolls.
    sidewalkX_ += dx;
    sidewalkY_ += dy;
    const TilePoint tile = ScreenToTile(static_cast<float>(static_cast<int>(sidewalkX_)),
                                        static_cast<float>(static_cast<int>(sidewalkY_)));
    if (tile == hoverTile_) return;
    hoverTile_ = tile;
    MarkTileStatesDirty();
    MarkDirty();
    if (GetTileAt(tile.col, tile.row) != nullptr) highlightState_ = SidewalkHighlight(tile);
}

void KivraGrid::PaintSidewalk(TilePoint position) {
    const GridTile* tile = GetTileAt(position.col, position.row);
    const bool tutorialTile = tile != nullptr && tile->material == 'T';
    if (TutorialRunning() && IsTutorialSidewalkStep(TutorialStep()) && !tutorialTile) return;
    KIVRA_LEVEL* level = PaintedLevel();
    if (tile == nullptr || level == nullptr || SidewalkHighlight(position) != 'g') return;

    SetTileMaterial(position, sidewalkPaintAdds_ ? level->sidewalk : TileChar('_'));
    highlightState_ = 'r';
    MarkTileStatesDirty();
    MarkDirty();
    ParkDisplay* display = Display();
    if (sidewalkPaintAdds_) {
        const int32_t cost = TileCost();
        if (ParkPlayer* player = ParkPlayer::Current())
            player->ChangeResource(L"money", -cost, true, display ? &display->Widget() : nullptr);
        if (level->money < cost) {
            CancelSidewalk();
            SetDisplayVariable(L"lookup", PropertyValue::FromWString(L"false"));
            SetDisplayVariable(L"label", PropertyValue::FromWString(LocalizationMap()[L"desc_another"] + L" " +
                                                                    LocalizationMap()[L"label_walkway"]));
            SetDisplayVariable(L"resource", PropertyValue::FromWString(L"money"));
            RunCallback(L"show_no_resources_dialog");
        }
    }
    if (tutorialTile && display != nullptr) {
        const int32_t left = display->Widget().GetLocalVariable(L"tiles_highlighted_count").ToInt();
        SetDisplayVariable(L"tiles_highlighted_count", PropertyValue::FromInt(left - 1));
        if (left == 1) TutorialEvent(11);
    }
}

void KivraGrid::CancelSidewalk() {
    RunCallback(L"cancel_sidewalk_callback");
    hover_.popup = 2;
    hover_.translucent = 1;
    hover_.showDoors = false;
    SetDraggable(true, false);
    SetPushable(false);
    SetBuildingsMouseMode(0);
    editMode_ = kNone;
    MarkTileStatesDirty();
    MarkDirty();
    TutorialEvent(12);
}
