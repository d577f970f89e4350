// The reminder each step: where its target is on the screen, where the
// reminder may stand, and which way the arrow points.
#include "game/park/people/reminder.h"

#include <algorithm>
#include <cmath>

#include "foundation/system/service.h"
#include "game/park/grid/grid.h"
#include "rendering/device/device_host.h"

namespace {

// Made from its image at scale 1, centred on the reminder's origin.
DynamicWidget* CentredPart(Image* image) {
    auto* part = new DynamicWidget(0, 0, image, 1.0f);
    part->Move(-static_cast<float>(part->GetWidth()) * 0.5f, -static_cast<float>(part->GetHeight()) * 0.5f);
    return part;
}

// Within [lo, hi]; the middle of an interval that is empty.
float ClampOrMiddle(float value, float lo, float hi) {
    if (lo > hi) return (lo + hi) * 0.5f;
    return std::clamp(value, lo, hi);
}

}  // namespace

Reminder::Reminder(float targetX, float targetY, Grid* grid, Image* icon, Image* arrow, std::wstring_view animation)
    : AnimationWidget(animation, 0, 0, false), grid_(grid), targetX_(targetX), targetY_(targetY) {
    const DeviceHost& host = Service<DeviceHost>::Get();
    bounds_ = {0.0f, 0.0f, static_cast<float>(host.ScreenWidth()), static_cast<float>(host.ScreenHeight())};
    DynamicWidget* arrowPart = CentredPart(arrow);
    DynamicWidget* iconPart = CentredPart(icon);
    arrow_ = arrowPart;
    icon_ = iconPart;
    RegisterObject(L"arrow", arrowPart);
    RegisterObject(L"icon", iconPart);
}

Reminder::~Reminder() = default;

void Reminder::Update() {
    AnimationWidget::Update();
    Grid* grid = grid_.Get();
    DynamicWidget* arrow = arrow_.Get();
    DynamicWidget* icon = icon_.Get();
    if (grid == nullptr || arrow == nullptr || icon == nullptr) return;

    FRect target = grid->MapRectToScreen({targetX_, targetY_, 1.0f, 1.0f});
    if (parent_ != nullptr) target = parent_->MapRectFromScreen(target);
    const float px = target.x, py = target.y;
    const float h = static_cast<float>(arrow->GetHeight()) * 0.5f;
    const float x = ClampOrMiddle(px, bounds_.x + h, bounds_.x + bounds_.w - h);
    const float y =
        ClampOrMiddle(py - static_cast<float>(icon->GetHeight()) * 0.5f, bounds_.y + h, bounds_.y + bounds_.h - h);
    Move(x, y);
    MarkDirty();

    const float dx = px - x, dy = py - y;
    const float length = std::sqrt(dx * dx + dy * dy);
    // Standing over the target (the icon's half height away) shows no arrow.
    if (dx * dx + dy * dy < 2.0f * h * h || length <= 0.0f) {
        arrow->SetVisible(false);
        return;
    }
    arrow->SetVisible(true);
    const float nx = dx / length, ny = dy / length;
    float angle = std::acos(std::clamp(ny, -1.0f, 1.0f)) * 180.0f / 3.1415927f;
    if (nx > 0.0f) angle = -angle;
    arrow->SetFloatProperty(L"angle", angle, false);
}
