// Moving, turning and removing buildings: the three tools the player picks
// in the display, each a select mode, and for moving and turning a held mode
// that the placing step (placement.cpp) ends. Nothing here costs money.
#include "foundation/system/log.h"
#include "game/data/progress/goal_display.h"
#include "game/data/progress/kivra_level.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/parkgrid/kivra_grid.h"

namespace {

KIVRA_LEVEL* CurrentParkLevel() {
    ParkPlayer* player = ParkPlayer::Current();
    return player ? player->GetCurrentLevel() : nullptr;
}

}  // namespace

void KivraGrid::EnterEditMode() {
    hover_.popup = 1;
    hover_.fade = 2;
    hover_.editModeActive = true;
    ClosePopupFor(popupBuilding_.Get());
}

void KivraGrid::LeaveEditMode() {
    hover_.popup = 2;
    hover_.fade = 1;
    SetPushable(false);
    hover_.editModeActive = false;
    editMode_ = kNone;
    ShowDoors(false);
}

void KivraGrid::ShowDoors(bool show) {
    if (hover_.showDoors == show) return;
    hover_.showDoors = show;
    MarkTileStatesDirty();
    MarkDirty();
}

void KivraGrid::EndCarrying() {
    // A new building carried into another tool would be set down unpaid, a
    // lifted one left off its tiles: each tool's own cancel ends it first.
    if (held_ != nullptr || editMode_ == kNewBuilding || editMode_ == kSidewalk) CancelCurrentMode();
}

void KivraGrid::SelectTool(int32_t mode, std::wstring_view callback) {
    EndCarrying();
    EnterEditMode();
    editMode_ = mode;
    // Where the doors are decides where a building may go and how it should face.
    ShowDoors(mode == kMoveSelect || mode == kRotateSelect);
    RunCallback(callback);
}

void KivraGrid::OnMoveSelect() { SelectTool(kMoveSelect, L"move_building_select_callback"); }
void KivraGrid::OnRotateSelect() { SelectTool(kRotateSelect, L"rotate_building_select_callback"); }
void KivraGrid::OnRemoveSelect() { SelectTool(kRemoveSelect, L"remove_building_select_callback"); }

void KivraGrid::OnBuildingClicked(KivraBuilding& building) {
    // The press may have started a drag of the park.
    if (editMode_ == kMoveSelect || editMode_ == kRotateSelect || editMode_ == kRemoveSelect) EndDrag();
    if (building.IsStationary()) return;
    switch (editMode_) {
        case kNewBuilding:
        case kMoveHeld:
        case kRotateHeld:
            if (held_ == nullptr) break;
            held_->EndDrag();
            held_->SetDragging(true);
            MarkDepthDirty();
            MarkDirty();
            MoveCameraTo(*held_);
            break;
        case kMoveSelect: OnMoveHover(building); break;
        case kRotateSelect: OnRotateHover(building); break;
        case kRemoveSelect:
            SetDisplayVariable(L"building_to_remove", PropertyValue::FromWidget(&building));
            RunCallback(L"confirm_remove_building");
            break;
        default: break;
    }
}

void KivraGrid::PickUpItem(KivraBuilding& building) {
    remembered_ = building.GetGridPosition();
    rememberedOrientation_ = building.GetOrientation();
    building.LetVisitorsOut();
    building.StopChanges();
    hover_.fade = 1;
    RemoveFromZones(building, true);
    StartHoverFade(building);
    if (manager_ != nullptr) liftedAt_ = manager_->GetPointerPosition(0);
    MarkTileStatesDirty();
    MarkDirty();
    ResetCycle();
    HighlightZoneMembers(held_);
}

void KivraGrid::OnMoveHover(KivraBuilding& building) {
    PickUpItem(building);
    editMode_ = kMoveHeld;
    RunCallback(L"move_building_hover_callback");
}

void KivraGrid::OnRotateHover(KivraBuilding& building) {
    PickUpItem(building);
    editMode_ = kRotateHeld;
    RunCallback(L"rotate_building_hover_callback");
    ToggleHeldOrientation();
}

void KivraGrid::ToggleHeldOrientation() {
    if (held_ != nullptr) held_->SetOrientation(held_->GetOrientation() == 1 ? 2 : 1);
}

void KivraGrid::RestoreHeldItem() {
    if (held_ == nullptr) return;
    held_->SetOrientation(rememberedOrientation_);
    held_->MoveTo(remembered_);
    PlaceBuilding(false);
}

void KivraGrid::CancelHeldOrTool(int32_t select, int32_t held, std::wstring_view tool) {
    const std::wstring name(tool);
    if (editMode_ == select) {
        RunCallback(name + L"_building_cancel_select_callback");
        LeaveEditMode();
    } else if (editMode_ == held) {
        RunCallback(name + L"_building_cancel_hover_callback");
        RestoreHeldItem();
    }
}

void KivraGrid::CancelMove() { CancelHeldOrTool(kMoveSelect, kMoveHeld, L"move"); }
void KivraGrid::CancelRotate() { CancelHeldOrTool(kRotateSelect, kRotateHeld, L"rotate"); }

void KivraGrid::CancelRemove() {
    RunCallback(L"remove_building_cancel_select_callback");
    LeaveEditMode();
}

void KivraGrid::RemoveBuilding(KivraBuilding& building) {
    // The display may hand back a building it kept from another park.
    if (building.GetGrid() != this || &building == held_) {
        LogWrite(L"A building to remove that is not standing on this park was kept", true);
        return;
    }
    if (KIVRA_LEVEL* level = CurrentParkLevel()) level->goals_tracker.OnBuildingRemoved(building);
    // The visits inside end as when the building is lifted: their hearts are earned.
    building.LetVisitorsOut();
    building.RemoveSelf();
    RunCallback(L"remove_building_callback");
    ResetCycle();
}
