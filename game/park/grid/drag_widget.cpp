#include "game/park/grid/drag_widget.h"

#include <algorithm>

#include "foundation/system/service.h"
#include "foundation/values/property_table.h"
#include "rendering/device/device_host.h"
#include "rendering/image/image.h"
#include "widgets/tree/widget_manager.h"

namespace {

int ScreenWidth() { return Service<DeviceHost>::Get().ScreenWidth(); }
int ScreenHeight() { return Service<DeviceHost>::Get().ScreenHeight(); }

// One axis of a drag kept on screen: the position within [low, high], 0
// winning when the widget is smaller than the screen (low > high), as in the
// push. The grab offset is re-based at a bound so the pointer keeps its grip.
int ClampDragAxis(int target, int low, int high, int& grab) {
    const int clamped = std::min(std::max(target, low), high);
    grab -= clamped - target;
    return clamped;
}

// How far into an edge margin a coordinate lies, -1 to 1, away from that edge.
float PushAxis(float at, float innerStart, float innerSize, float margin) {
    float depth = 0.0f;
    if (at < innerStart)
        depth = innerStart - at;
    else if (at > innerStart + innerSize)
        depth = -(at - innerStart - innerSize);
    if (depth == 0.0f) return 0.0f;
    // A margin of nothing pushes at full speed as soon as the pointer is past it.
    if (margin <= 0.0f) return depth > 0.0f ? 1.0f : -1.0f;
    return std::clamp(depth / margin, -1.0f, 1.0f);
}

}  // namespace

DragWidget::DragWidget(int x, int y, Image* image, float opacity, bool keepOnScreen)
    : AnimationWidget(x, y, image, opacity), keepOnScreen_(keepOnScreen) {
    AddPassLines(&draggable_, &pushY_ + 1, UpdatePass::kStep);
    mouseVisible_ = true;
    handCursor_ = true;
    marginX_ = static_cast<float>(width_) * 0.5f;
    marginY_ = static_cast<float>(height_) * 0.5f;
    innerLeft_ = marginX_;
    innerTop_ = marginY_;
}

DragWidget* DragWidget::ParentDragWidget() const { return dynamic_cast<DragWidget*>(parent_); }

// --- Input -------------------------------------------------------------------

void DragWidget::MouseDown(int x, int y, int clickCode) {
    AnimationWidget::MouseDown(x, y, clickCode);
    if (draggable_ && !dragging_ && clickCode == 1) BeginDrag(x, y);
}

void DragWidget::MouseUpAt(int x, int y) {
    AnimationWidget::MouseUpAt(x, y);
    if (dragging_) EndDrag();
}

void DragWidget::MouseDrag(int x, int y) {
    AnimationWidget::MouseDrag(x, y);
    if (dragging_) DragMove(x, y);
}

void DragWidget::MouseMove(int x, int y) {
    AnimationWidget::MouseMove(x, y);
    if (dragging_) DragMove(x, y);
    if (pushable_) SetPushFromPointer(x, y);
}

bool DragWidget::HitTest(float x, float y) {
    if (dragging_) return true;
    if (!AnimationWidget::HitTest(x, y)) return false;
    if (pixelHitTest_ && image_ && image_->IsPlain()) return true;
    const FRect box = BoundingBox();
    return box.x <= x && x <= box.x + box.w && box.y <= y && y <= box.y + box.h;
}

FRect DragWidget::BoundingBox() const {
    FRect box;
    if (image_ && image_->GetCelBox(GetFrame(), &box)) return box;
    return {0.0f, 0.0f, static_cast<float>(width_), static_cast<float>(height_)};
}

// --- Dragging ----------------------------------------------------------------

void DragWidget::BeginDrag(int x, int y) {
    const FRect q = MapRectToParent(FRect(static_cast<float>(x), static_cast<float>(y), 1.0f, 1.0f));
    grabX_ = static_cast<int>(static_cast<float>(static_cast<int>(q.x)) - x_);
    grabY_ = static_cast<int>(static_cast<float>(static_cast<int>(q.y)) - y_);
    dragging_ = true;
}

void DragWidget::EndDrag() {
    if (pushesParent_)
        if (DragWidget* parent = ParentDragWidget()) parent->StopPush();
    dragging_ = false;
}

void DragWidget::DragMove(int x, int y) {
    const FRect q = MapRectToParent(FRect(static_cast<float>(x), static_cast<float>(y), 1.0f, 1.0f));
    const int qx = static_cast<int>(q.x), qy = static_cast<int>(q.y);
    if (keepOnScreen_) {
        const int nx = ClampDragAxis(qx - grabX_, ScreenWidth() - width_, 0, grabX_);
        const int ny = ClampDragAxis(qy - grabY_, ScreenHeight() - height_, 0, grabY_);
        Move(static_cast<float>(nx), static_cast<float>(ny));
    } else {
        Move(static_cast<float>(qx - grabX_), static_cast<float>(qy - grabY_));
    }
    MarkDirty();
    // The pointer where it is in the parent, not where this widget now puts it.
    if (pushesParent_)
        if (DragWidget* parent = ParentDragWidget()) parent->SetPushFromPointer(qx, qy);
}

void DragWidget::SetDraggable(bool draggable, bool endDrag) {
    if (draggable == draggable_) return;
    if (!draggable && dragging_ && endDrag) EndDrag();
    draggable_ = draggable;
}

void DragWidget::SetPushesParent(bool pushesParent) {
    if (!pushesParent)
        if (DragWidget* parent = ParentDragWidget()) parent->StopPush();
    pushesParent_ = pushesParent;
}

void DragWidget::RemovedFromParent(WidgetContainer* parent) {
    if (pushesParent_)
        if (auto* old = dynamic_cast<DragWidget*>(parent)) old->StopPush();
    AnimationWidget::RemovedFromParent(parent);
}

// --- Pushing -----------------------------------------------------------------

void DragWidget::SetPushable(bool pushable) {
    pushable_ = pushable;
    StopPush();
}

void DragWidget::SetPushMargins(float marginX, float marginY) {
    const float screenW = static_cast<float>(ScreenWidth()), screenH = static_cast<float>(ScreenHeight());
    const float hx = std::min(static_cast<float>(width_), screenW) * 0.5f;
    const float hy = std::min(static_cast<float>(height_), screenH) * 0.5f;
    marginX_ = marginX < 0.0f ? hx : std::min(marginX, hx);
    marginY_ = marginY < 0.0f ? hy : std::min(marginY, hy);
    if (keepOnScreen_) {
        // The screen less the margins, seen from the widget.
        innerLeft_ = marginX_ - x_;
        innerTop_ = marginY_ - y_;
        innerWidth_ = screenW - 2.0f * marginX_;
        innerHeight_ = screenH - 2.0f * marginY_;
    } else {
        innerLeft_ = marginX_;
        innerTop_ = marginY_;
        innerWidth_ = static_cast<float>(width_) - 2.0f * marginX_;
        innerHeight_ = static_cast<float>(height_) - 2.0f * marginY_;
    }
}

void DragWidget::SetPushFromPointer(int x, int y) {
    pushX_ = PushAxis(static_cast<float>(x), innerLeft_, innerWidth_, marginX_) * pushSpeed_;
    pushY_ = PushAxis(static_cast<float>(y), innerTop_, innerHeight_, marginY_) * pushSpeed_;
}

void DragWidget::Update() {
    AnimationWidget::Update();
    if (draggable_ && dragging_ && pushesParent_ && manager_) {
        const ScreenPoint pointer = manager_->GetPointerPosition(0);
        const LocalPoint local =
            manager_->ScreenToLocal(this, static_cast<float>(pointer.x), static_cast<float>(pointer.y));
        DragMove(static_cast<int>(local.x), static_cast<int>(local.y));
    }
    if (pushX_ == 0.0f && pushY_ == 0.0f) return;
    if (keepOnScreen_) {
        const float x = std::min(std::max(x_ + pushX_, static_cast<float>(ScreenWidth() - width_)), 0.0f);
        const float y = std::min(std::max(y_ + pushY_, static_cast<float>(ScreenHeight() - height_)), 0.0f);
        Move(x, y);
        // The push zones stay where they are on the screen.
        innerLeft_ = marginX_ - x;
        innerTop_ = marginY_ - y;
    } else {
        Move(x_ + pushX_, y_ + pushY_);
    }
    MarkDirty();
}

// --- Properties ----------------------------------------------------------------

const PropertyTable<DragWidget>& DragWidget::DragProperties() {
    using T = PropertyTable<DragWidget>;
    static const T table{
        T::Value(L"draggable", [](DragWidget& w) { return PropertyValue(w.draggable_); }),
        T::Value(L"dragging", [](DragWidget& w) { return PropertyValue(w.dragging_); }),
        T::Value(L"pushable", [](DragWidget& w) { return PropertyValue(w.pushable_); }),
        T::Value(L"bounding_box_offset_x", [](DragWidget& w) { return PropertyValue(w.BoundingBox().x); }),
        T::Value(L"bounding_box_offset_y", [](DragWidget& w) { return PropertyValue(w.BoundingBox().y); }),
        T::Value(L"bounding_box_width", [](DragWidget& w) { return PropertyValue(w.BoundingBox().w); }),
        T::Value(L"bounding_box_height", [](DragWidget& w) { return PropertyValue(w.BoundingBox().h); }),
        T::Value(L"bounding_box_center_x",
                 [](DragWidget& w) {
                     const FRect b = w.BoundingBox();
                     return PropertyValue(b.x + b.w * 0.5f);
                 }),
        T::Value(L"bounding_box_center_y",
                 [](DragWidget& w) {
                     const FRect b = w.BoundingBox();
                     return PropertyValue(b.y + b.h * 0.5f);
                 }),
    };
    return table;
}

PropertyValue DragWidget::GetProperty(std::wstring_view name) {
    if (auto reader = DragProperties().FindReader(name)) return reader.Read(*this, fieldHandles_);
    return AnimationWidget::GetProperty(name);
}
