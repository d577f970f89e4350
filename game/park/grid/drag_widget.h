#pragma once
// DragWidget: the animation widget the player drags with the left button and
// that scrolls ("pushes") while the pointer is near the screen's edges. The
// grid is one (it stays on screen and scrolls under the pointer), and so is
// every grid item (dragged while placed or moved, pushing its grid).
//
// Promises: only a single left click starts a drag and the release ends it.
// Kept on screen, the widget never uncovers the screen: a widget smaller than
// the screen stays at 0 on that axis, and a widget held at a bound follows
// again as soon as the pointer turns back. The push grows with the pointer's
// depth in the edge margin, up to the push speed. A dragged child that pushes
// its parent keeps following the pointer while the parent scrolls, and its
// push stops when its drag ends, it stops pushing or it leaves the parent.
// Screen size comes from Service<DeviceHost>. Main thread only.

#include "foundation/values/rect.h"
#include "widgets/script/animation_widget.h"

template <class Owner>
class PropertyTable;

class DragWidget : public AnimationWidget {
public:
    static constexpr float kDefaultPushSpeed = 5.0f;

    DragWidget(int x, int y, Image* image, float opacity, bool keepOnScreen);

    virtual void SetDraggable(bool draggable, bool endDrag);
    virtual void SetPushesParent(bool pushesParent);
    // (x, y): the pointer in local pixels.
    virtual void BeginDrag(int x, int y);
    virtual void EndDrag();
    virtual void SetPushable(bool pushable);
    // A negative margin means half the widget (or the screen, if smaller).
    virtual void SetPushMargins(float marginX, float marginY);
    virtual void DragMove(int x, int y);
    virtual void SetPushFromPointer(int x, int y);

    void Update() override;
    void MouseMove(int x, int y) override;
    void MouseDown(int x, int y, int clickCode) override;
    void MouseUpAt(int x, int y) override;
    void MouseDrag(int x, int y) override;
    bool HitTest(float x, float y) override;
    void RemovedFromParent(WidgetContainer* parent) override;
    PropertyValue GetProperty(std::wstring_view name) override;

    // The current frame's visible box in local pixels: the image's cel box,
    // or the whole widget without an image or without boxes.
    FRect BoundingBox() const;

    bool IsDraggable() const { return draggable_; }
    bool IsDragging() const { return dragging_; }
    bool IsPushable() const { return pushable_; }
    bool PushesParent() const { return pushesParent_; }
    bool KeepsOnScreen() const { return keepOnScreen_; }
    float GetPushSpeed() const { return pushSpeed_; }
    void SetPushSpeed(float speed) { pushSpeed_ = speed; }
    float GetPushX() const { return pushX_; }
    float GetPushY() const { return pushY_; }
    float GetMarginX() const { return marginX_; }
    float GetMarginY() const { return marginY_; }
    // The rectangle inside the push margins, in local pixels.
    FRect InnerRect() const { return {innerLeft_, innerTop_, innerWidth_, innerHeight_}; }

protected:
    static const PropertyTable<DragWidget>& DragProperties();
    // The parent, when it is a drag widget.
    DragWidget* ParentDragWidget() const;
    void StopPush() { pushX_ = pushY_ = 0.0f; }

    float pushSpeed_ = kDefaultPushSpeed;
    bool keepOnScreen_;
    bool draggable_ = true;
    bool dragging_ = false;
    bool pushesParent_ = false;
    int grabX_ = 0, grabY_ = 0;
    bool pushable_ = false;
    float marginX_ = 0.0f, marginY_ = 0.0f;
    float innerLeft_ = 0.0f, innerTop_ = 0.0f, innerWidth_ = 0.0f, innerHeight_ = 0.0f;
    float pushX_ = 0.0f, pushY_ = 0.0f;
};
