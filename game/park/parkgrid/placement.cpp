// Placing buildings: new-building mode, carrying a building, the test of a
// spot, the placing step shared with moving and rotating, cancelling.
//
// Edit modes (see kivra_grid.h): 0 -> 1 when the first copy is affordable;
// 1 -> 1 while a placed copy leaves money for the next; 1 -> 0 when placing
// in a tutorial, when the money runs out, or on cancel; 3 -> 2 and 5 -> 4
// when a moved or rotated building is placed.
// The editing tools (editing_modes.cpp): any -> 2, 4 or 6 when the move,
// rotate or remove tool is chosen (a carried building or the sidewalk tool
// is cancelled first); 2 -> 3 and 4 -> 5 when a building is clicked; 3 -> 2
// and 5 -> 4 when the carried building is put back by a cancel; 2, 4 and
// 6 -> 0 on cancel. Removing stays in 6.
#include "foundation/expression/localization_map.h"
#include "foundation/system/log.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/progress/kivra_level.h"
#include "game/data/progress/park_hooks.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/display/park_display.h"
#include "game/park/parkgrid/kivra_grid.h"

namespace {

KIVRA_LEVEL* CurrentParkLevel() {
    ParkPlayer* player = ParkPlayer::Current();
    return player ? player->GetCurrentLevel() : nullptr;
}

// The tutorial steps that ask for a building on the tiles they marked.
bool StepWantsTargetTiles(std::wstring_view step) {
    for (std::wstring_view s : {L"place_fun_bounce", L"place_play_pipes", L"place_playhouse", L"placeflowers",
                                L"movecloserplace", L"buycottoncandy"})
        if (step == s) return true;
    return false;
}

// The tutorial's event for a placed building type; 0 for none.
int32_t PlacedEvent(std::wstring_view type) {
    if (type == L"bouncy_castle") return 9;
    if (type == L"flowers_red") return 31;
    if (type == L"play_pipes") return 15;
    if (type == L"playhouse") return 18;
    return 0;
}

// A widget running a script on the building, told whose it is.
AnimationWidget* AttachScript(KivraBuilding& building, std::wstring_view script) {
    auto* widget = new AnimationWidget(script, 0, 0, true);
    widget->SetVariable(L"owner", PropertyValue::FromWidget(&building));
    return widget;
}

}  // namespace

void KivraGrid::PreviewNewBuilding(std::wstring_view type) {
    const auto* record = dynamic_cast<const KIVRA_BUILDING_TYPE*>(FindRecordByName(ItemStats::Current(), type));
    if (record == nullptr) {
        if (unknownPreviews_.emplace(type).second)
            LogWrite(L"No building type \"" + std::wstring(type) + L"\" to place; nothing changes", true);
        return;
    }
    // A building already in hand goes back first: a new one carried would
    // stay on the park unpaid, a lifted one off its tiles.
    EndCarrying();
    const KIVRA_LEVEL* level = CurrentParkLevel();
    const int32_t cost = record->buycost;
    const int32_t money = level ? level->money : 0;
    if (money >= cost) {
        editMode_ = kNewBuilding;
        SetDisplayVariable(L"building", PropertyValue::FromPropertyInterface(record));
        SetDisplayVariable(L"cost", PropertyValue::FromInt(cost));
        SetDisplayVariable(L"type", PropertyValue::FromWString(std::wstring(type)));
        SetDisplayVariable(L"success", PropertyValue::FromBool(true));
        RunCallback(L"new_building_hover_callback");
        HighlightZoneMembers(held_);
        ClosePopupFor(popupBuilding_.Get());
        if (KivraBuilding* building = CreateAndPlaceBuilding(type, 0, 0, 1, L"")) StartHoverFade(*building);
        return;
    }
    SetDisplayVariable(L"lookup", PropertyValue::FromWString(L"true"));
    SetDisplayVariable(L"label", PropertyValue::FromWString(L"label_" + std::wstring(type)));
    SetDisplayVariable(L"resource", PropertyValue::FromWString(L"money"));
    SetDisplayVariable(L"success", PropertyValue::FromBool(false));
    RunCallback(L"new_building_hover_callback");
    RunCallback(L"show_no_resources_dialog");
}

void KivraGrid::StartHoverFade(KivraBuilding& building) {
    held_ = &building;
    liftedAt_.reset();
    building.SetHeld(true);
    building.AddWidget(AttachScript(building, L"hover_fade"));
    building.SetDragging(true);
    building.SetMouseDefault(false);
    building.SetFootprintState('g');
    building.SetZoneOverlay('a');
    building.SetZoneHighlighted(true);
    MarkDepthDirty();
    MarkDirty();
    SetBuildingsMouseMode(2);
    SetDraggable(false, true);
    SetPushable(true);
    hover_.showDoors = true;
    MarkTileStatesDirty();
    MarkDirty();
}

bool KivraGrid::HeldOnTutorialTiles() const {
    const TileRect r = held_->GetFootprintRect();
    for (int32_t col = r.Left(); col <= r.col; ++col)
        for (int32_t row = r.Top(); row <= r.row; ++row) {
            const GridTile* tile = GetTileAt(col, row);
            if (tile == nullptr || tile->material != 'T') return false;
        }
    return true;
}

bool KivraGrid::TutorialWantsOtherTiles() const {
    return held_ != nullptr && TutorialRunning() && StepWantsTargetTiles(TutorialStep()) && !HeldOnTutorialTiles();
}

bool KivraGrid::HeldSpotAccepted() const { return held_ != nullptr && !TutorialWantsOtherTiles() && held_->CanPlace(); }

AnimationWidget* KivraGrid::RefusalShown() const {
    return held_ ? held_->GetLocalVariable(L"cannot_place_widget").ToWidget<AnimationWidget>() : nullptr;
}

void KivraGrid::EndRefusalShown() {
    AnimationWidget* refusal = RefusalShown();
    if (refusal == nullptr) return;
    refusal->RunAnimationNamed(L"end_cannot_place_callback");
    // Forgotten now, though it lives on while the blush fades: a later
    // refusal starts a blush of its own.
    held_->UndefineVariable(L"cannot_place_widget");
    MarkTileStatesDirty();
    MarkDirty();
}

bool KivraGrid::TryPlaceHeldItem(bool notify) {
    if (held_ == nullptr) return false;
    if (HeldSpotAccepted()) {
        PlaceBuilding(notify);
        return true;
    }
    // One blush at a time, each refused click heard.
    if (AnimationWidget* shown = RefusalShown()) {
        shown->RunAnimationNamed(L"cannot_place_callback");
    } else {
        AnimationWidget* refusal = AttachScript(*held_, L"cannot_place_callback");
        held_->RegisterObject(L"cannot_place_widget", refusal);
    }
    // The tiles the tutorial wants light up while the refusal shows.
    MarkTileStatesDirty();
    MarkDirty();
    return false;
}

void KivraGrid::PlaceBuilding(bool notify) {
    if (held_ == nullptr) return;
    KivraBuilding& placed = *held_;
    const std::wstring type = placed.GetType();
    const std::wstring category = placed.GetCategory();
    SetBuildingsMouseMode(0);
    EndRefusalShown();
    UnhighlightZoneMembers(&placed);
    placed.AddWidget(AttachScript(placed, L"hover_unfade"));

    placed.StampMaterialOnTiles(Tiles());
    placed.SetDragging(false);
    placed.MoveTo(placed.GetGridPosition());
    placed.SetMouseDefault(true);
    placed.SetFootprintState('_');
    placed.SetZoneHighlighted(false);
    placed.SetHeld(false);
    ++setDowns_;
    UpdateZones(placed, true);

    hover_.showDoors = false;
    MarkDepthDirty();
    MarkDirty();
    ResetCycle();
    MarkTileStatesDirty();
    MarkDirty();

    KivraBuilding* next = nullptr;
    switch (editMode_) {
        case kNewBuilding: {
            KIVRA_LEVEL* level = CurrentParkLevel();
            if (level != nullptr) level->goals_tracker.OnBuildingChanged(placed);
            const auto* record = dynamic_cast<const KIVRA_BUILDING_TYPE*>(FindRecordByName(ItemStats::Current(), type));
            const int32_t cost = record ? record->buycost : 0;
            if (ParkPlayer* player = ParkPlayer::Current())
                player->ChangeResource(L"money", -cost, true, Display() ? &Display()->Widget() : nullptr);
            if (TutorialRunning()) {
                EndNewBuildingMode();
                if (notify) {
                    SetDisplayVariable(L"category", PropertyValue::FromWString(category));
                    RunCallback(L"new_building_place_and_stop_callback");
                }
            } else if ((level ? level->money : 0) < cost) {
                if (notify) {
                    SetDisplayVariable(L"category", PropertyValue::FromWString(category));
                    SetDisplayVariable(L"label", PropertyValue::FromWString(LocalizationMap()[L"desc_another"] + L" " +
                                                                            LocalizationMap()[L"label_" + type]));
                    SetDisplayVariable(L"resource", PropertyValue::FromWString(L"money"));
                    SetDisplayVariable(L"lookup", PropertyValue::FromWString(L"false"));
                    RunCallback(L"new_building_place_and_stop_callback");
                }
                EndNewBuildingMode();
            } else {
                next = CreateAndPlaceBuilding(type, 0, 0, 1, L"");
                if (next != nullptr) {
                    next->MoveTo(placed.GetGridPosition());
                    next->SetOrientation(placed.GetOrientation());
                    next->SetAction(placed.GetAction());
                    held_ = nullptr;
                    StartHoverFade(*next);
                }
                MarkTileStatesDirty();
                MarkDirty();
                if (notify) {
                    SetDisplayVariable(L"category", PropertyValue::FromWString(next ? next->GetCategory() : category));
                    RunCallback(L"new_building_place_callback");
                }
            }
            break;
        }
        default: {
            // A held building that was being moved or turned: back to choosing the next one.
            const bool moving = editMode_ == kMoveHeld;
            if (notify) {
                SetDisplayVariable(L"category", PropertyValue::FromWString(category));
                RunCallback(moving ? L"move_building_place_callback" : L"rotate_building_place_callback");
            }
            editMode_ = moving ? kMoveSelect : kRotateSelect;
            SetDraggable(true, false);
            hover_.fade = 2;
            ShowDoors(true);
            break;
        }
    }
    if (const int32_t event = PlacedEvent(type); event != 0) TutorialEvent(event);
    if (next == nullptr) held_ = nullptr;
    if (pendingCancel_) CancelCurrentMode();
}

void KivraGrid::EndNewBuildingMode() {
    editMode_ = kNone;
    SetDraggable(true, false);
    SetPushable(false);
}

void KivraGrid::CancelNewBuilding() {
    editMode_ = kNone;
    RunCallback(L"new_building_cancel_callback");
    UnhighlightZoneMembers(held_);
    DropHeldItem();
    hover_.showDoors = false;
    MarkTileStatesDirty();
    MarkDirty();
}

void KivraGrid::DropHeldItem() {
    SetBuildingsMouseMode(0);
    if (KivraBuilding* held = held_) {
        held_ = nullptr;
        held->SetHeld(false);
        held->RemoveSelf();
        MarkTileStatesDirty();
        MarkDirty();
    }
    SetDraggable(true, false);
    SetPushable(false);
}
