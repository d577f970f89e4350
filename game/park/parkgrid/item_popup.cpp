// The item popup (the scripted panel a building shows while the pointer
// rests on it; one at a time, above the buildings) and the park's camera.
#include "app/player/basic_player_state.h"
#include "foundation/system/service.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "game/park/parkgrid/park_helpers.h"
#include "rendering/device/device_host.h"

namespace {

// Last among the park's children: drawn above every building.
constexpr int kPopupPriority = 1048576;
constexpr float kCameraTime = 80.0f;

}  // namespace

KivraBuilding* KivraGrid::GetPopupBuilding() const { return popupBuilding_.Get(); }

void KivraGrid::ShowItemPopup(KivraBuilding& building) {
    if (&building == held_) return;
    if (popupBuilding_.Get() != &building) SetPopupBuilding(&building);
    if (AnimationWidget* popup = popupWidget_.Get()) {
        popup->RunAnimationNamed(L"on_item_popup_show");
        return;
    }
    const FRect screen = building.MapRectToScreen({GetCelBoxCentreX(building), GetCelBoxCentreY(building), 1.0f, 1.0f});
    const FRect local = MapRectFromScreen(screen);
    auto* popup = new AnimationWidget(L"item_popup", static_cast<int>(local.x), static_cast<int>(local.y), false);
    auto* player = dynamic_cast<ExtendedPropertyInterface*>(BasicPlayerState::Current());
    popup->SetVariable(L"player_state", PropertyValue::FromPropertyInterface(player));
    popup->SetVariable(L"item", PropertyValue::FromWidget(&building));
    const std::wstring step = TutorialStep();
    popup->SetVariable(L"step", PropertyValue::FromWString(step.empty() ? L"completed" : step));
    popup->SetPriority(kPopupPriority);
    popupWidget_ = popup;
    AddWidget(popup);
}

void KivraGrid::HideItemPopup(KivraBuilding& building, bool immediately) {
    AnimationWidget* popup = popupWidget_.Get();
    if (popup == nullptr || popupBuilding_.Get() != &building) return;
    if (immediately)
        popup->RemoveSelf();
    else
        popup->RunAnimationNamed(L"on_item_popup_hide");
}

void KivraGrid::ClosePopupFor(KivraBuilding* building) {
    if (building != nullptr && building == popupBuilding_.Get()) {
        HideItemPopup(*building, true);
        popupBuilding_.Reset();
    }
    MarkTileStatesDirty();
    MarkDirty();
}

void KivraGrid::SetPopupBuilding(KivraBuilding* building) {
    KivraBuilding* previous = popupBuilding_.Get();
    if (previous != nullptr && previous != building) {
        if (previous->IsDragging()) previous->EndDrag();
        ClosePopupFor(previous);
    }
    popupBuilding_ = building;
    MarkTileStatesDirty();
    MarkDirty();
}

void KivraGrid::ForgetPopupChild(Widget* widget) {
    if (widget == nullptr) return;
    if (widget == popupWidget_.Get()) {
        popupWidget_.Reset();
        KivraBuilding* owner = popupBuilding_.Get();
        if (owner != nullptr && !owner->IsDragging()) ClosePopupFor(owner);
    } else if (widget == popupBuilding_.Get()) {
        ClosePopupFor(popupBuilding_.Get());
    }
}

void KivraGrid::MoveCameraTo(GridItem& item) {
    const DeviceHost& host = Service<DeviceHost>::Get();
    const float targetX =
        item.GetX() + GetCelBoxLeft(item) - (static_cast<float>(host.ScreenWidth()) - GetCelBoxWidth(item)) * 0.5f;
    const float targetY =
        item.GetY() + GetCelBoxTop(item) - (static_cast<float>(host.ScreenHeight()) - GetCelBoxHeight(item)) * 0.5f;
    StopTweens(L"camera_movement");
    TweenPropertyPair(L"camera_movement", L"x", L"y", -targetX, -targetY, kCameraTime, L"in_out_quad");
}

void KivraGrid::CentreOn(GridItem& item) {
    const DeviceHost& host = Service<DeviceHost>::Get();
    const TilePoint centre = ScreenToTile(static_cast<float>(host.ScreenWidth()) * 0.5f - x_,
                                          static_cast<float>(host.ScreenHeight()) * 0.5f - y_);
    item.MoveCentreTo(centre);
    MoveCameraTo(item);
}
