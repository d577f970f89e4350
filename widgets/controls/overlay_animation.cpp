#include "widgets/controls/overlay_animation.h"

#include "rendering/device/device_host.h"
#include "widgets/tree/widget_manager.h"

OverlayAnimation::OverlayAnimation(std::wstring_view animation) : AnimationWidget(animation, 0, 0, true) {
    overlayThreshold_ = kOverlayPriority;
    priority_ = kOverlayPriority;
    mouseVisible_ = true;
}

void OverlayAnimation::AddedToManager(WidgetManager* manager) {
    AnimationWidget::AddedToManager(manager);
    // The script may have removed it already.
    if (!manager_) return;
    const FRect origin = MapRectToScreen({0.0f, 0.0f, 1.0f, 1.0f});
    const DeviceHost& screen = Service<DeviceHost>::Get();
    Resize(x_ - origin.x, y_ - origin.y, screen.ScreenWidth(), screen.ScreenHeight());
}

void OverlayAnimation::RemovedFromManager(WidgetManager* manager) {
    AnimationWidget::RemovedFromManager(manager);
    // Whatever lay under the pointer beneath the overlay is under it again.
    if (manager) manager->RecheckAllPointers();
}
