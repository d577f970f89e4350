// The item popup (the scripted panel a building shows while the pointer
// rests on it; one at a time) and the park's camera. The popup stands in the
// display, over the night's veil and the display's own bars and buttons, and
// follows its building as the park scrolls, where the display finds room
// for it; only a park shown by no display holds it itself, above every
// building.
#include <functional>
#include <utility>

#include "app/player/basic_player_state.h"
#include "foundation/system/service.h"
#include "game/park/buildings/kivra_building.h"
#include "game/park/display/park_display.h"
#include "game/park/parkgrid/kivra_grid.h"
#include "game/park/parkgrid/park_helpers.h"
#include "rendering/device/device_host.h"

namespace {

// Last among the park's children: drawn above every building.
constexpr int kPopupPriority = 1048576;
constexpr float kCameraTime = 80.0f;

// The popup tells the park when it leaves, wherever it stands: in the
// display the park never sees it go.
class ItemCard final : public AnimationWidget {
public:
    explicit ItemCard(std::function<void(Widget*)> gone)
        : AnimationWidget(L"item_popup", 0, 0, false), gone_(std::move(gone)) {}
    void RemovedFromParent(WidgetContainer* parent) override {
        AnimationWidget::RemovedFromParent(parent);
        gone_(this);
    }

private:
    std::function<void(Widget*)> gone_;
};

}  // namespace

KivraBuilding* KivraGrid::GetPopupBuilding() const { return popupBuilding_.Get(); }

void KivraGrid::ShowItemPopup(KivraBuilding& building) {
    if (&building == held_) return;
    if (popupApart_ && popupLeft_ && popupWidget_.Get() != nullptr && popupBuilding_.Get() != &building) {
        nextPopupBuilding_ = &building;
        return;
    }
    popupLeft_ = false;
    if (popupBuilding_.Get() != &building) SetPopupBuilding(&building);
    if (AnimationWidget* popup = popupWidget_.Get()) {
        popup->RunAnimationNamed(L"on_item_popup_show");
        return;
    }
    auto* popup = new ItemCard([park = LiveRef<KivraGrid>(this)](Widget* card) {
        if (KivraGrid* grid = park.Get()) grid->ForgetPopupChild(card);
    });
    auto* player = dynamic_cast<ExtendedPropertyInterface*>(BasicPlayerState::Current());
    popup->SetVariable(L"player_state", PropertyValue::FromPropertyInterface(player));
    popup->SetVariable(L"item", PropertyValue::FromWidget(&building));
    const std::wstring step = TutorialStep();
    popup->SetVariable(L"step", PropertyValue::FromWString(step.empty() ? L"completed" : step));
    popupWidget_ = popup;
    if (ParkDisplay* display = Display()) {
        popup->SetPriority(ParkDisplay::kCardPriority);
        display->Widget().AddWidget(popup);
    } else {
        popup->SetPriority(kPopupPriority);
        AddWidget(popup);
    }
    PlaceItemPopup();
}

void KivraGrid::PlaceItemPopup() {
    // The card the pointer was on its way to has gone: the building the
    // pointer came to rest on shows its own.
    if (KivraBuilding* next = nextPopupBuilding_.Get(); next != nullptr && popupWidget_.Get() == nullptr) {
        nextPopupBuilding_.Reset();
        if (next->IsOver()) ShowItemPopup(*next);
    }
    AnimationWidget* popup = popupWidget_.Get();
    KivraBuilding* building = popupBuilding_.Get();
    if (building == nullptr || popup == nullptr || popup->GetParent() == nullptr) return;
    const FRect box = GetCelBox(*building);
    const FRect screen = building->MapRectToScreen({box.x + box.w * 0.5f, box.y + box.h * 0.5f, 1.0f, 1.0f});
    if (ParkDisplay* display = Display(); display != nullptr && popup->GetParent() == &display->Widget()) {
        const FRect from = building->MapRectToScreen({box.x, box.y, 1.0f, 1.0f});
        const FRect to = building->MapRectToScreen({box.x + box.w, box.y + box.h, 1.0f, 1.0f});
        popupApart_ = display->PlaceCard(*popup, screen, {from.x, from.y, to.x - from.x, to.y - from.y});
        // The pointer has a way to go from the building to a card apart
        // from it: the card's script waits longer for it.
        popup->SetVariable(L"apart", PropertyValue::FromBool(popupApart_));
    } else {
        ParkDisplay::PutCardAt(*popup, screen);
    }
}

void KivraGrid::HideItemPopup(KivraBuilding& building, bool immediately) {
    if (nextPopupBuilding_.Get() == &building) nextPopupBuilding_.Reset();
    AnimationWidget* popup = popupWidget_.Get();
    if (popup == nullptr || popupBuilding_.Get() != &building) return;
    if (immediately) {
        popup->RemoveSelf();
        return;
    }
    popupLeft_ = true;
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
