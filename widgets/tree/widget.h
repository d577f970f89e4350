#pragma once
// The interactive element of the user-interface tree: a WidgetContainer with
// an identity, state flags, keyboard tab neighbours and the input and
// lifecycle callbacks the WidgetManager drives.
//
// Promises: ids come from one process-wide counter (the first widget gets 1)
// and are never reused. A widget removed from its parent with its
// delete-on-removal flag set is handed to the deferred deletion of the
// WidgetHost (widget_host.h) and deleted later, never during the removal.
// Deleting a widget that is still in a tree takes it out of the tree first.
//
// The base class carries no property interface: scripted subclasses mix in
// ExtendedPropertyInterface themselves, so their references in PropertyValues
// read as null once they are deleted.
// Callers must not: delete a widget inside its own callback (remove it), or
// leave tab neighbours pointing at widgets that were deleted. Main thread only.

#include <cstddef>
#include <cstdint>

#include "foundation/values/rect.h"
#include "widgets/tree/widget_container.h"

class Widget : public WidgetContainer {
public:
    Widget();
    ~Widget() override;

    virtual void OrderChanged();
    virtual void SetVisible(bool visible);
    virtual void SetDisabled(bool disabled);
    virtual void ShowHandCursor(bool show);
    virtual bool WantsFocus();
    virtual void DrawOverlayPriority(Graphics* g, int priority);
    virtual void DrawOverlay(Graphics* g);
    virtual void GotFocus();
    virtual void LostFocus();
    // One UTF-16 code unit.
    virtual void KeyChar(wchar_t c);
    virtual void KeyDown(int key);
    virtual void KeyUp(int key);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void MouseMove(int x, int y);
    // button: 0 left, 1 right, 2 middle.
    virtual void MouseButtonDown(int x, int y, int button, int clickCount);
    // Click code: > 0 left-button click count, < 0 right-button count, 0 middle.
    virtual void MouseDown(int x, int y, int clickCode);
    virtual void MouseButtonUp(int x, int y, int button, int clickCount);
    virtual void MouseUp(int x, int y, int clickCode);
    virtual void MouseUpAt(int x, int y);
    virtual void MouseDrag(int x, int y);
    virtual void MouseWheel(int notches);
    virtual bool HitTest(float x, float y);
    virtual Rect GetLocalRect() const;
    // Overrides call the base first when joining and last when leaving.
    virtual void AddedToManager(WidgetManager* manager);
    virtual void RemovedFromManager(WidgetManager* manager);
    virtual void AddedToParent(WidgetContainer* parent);
    virtual void RemovedFromParent(WidgetContainer* parent);
    virtual void RemoveSelf();
    // Leaves the tree but survives: the delete flag is cleared for the call only.
    virtual void RemoveSelfKeep();
    virtual bool ContainsPoint(int x, int y) const;

    void Resize(float x, float y, int width, int height);
    void Move(float x, float y);

    int GetId() const { return id_; }
    // How many widgets exist in the process (main thread only).
    static size_t CountAlive();
    bool IsVisible() const { return visible_; }
    bool IsDisabled() const { return disabled_; }
    bool IsMouseVisible() const { return mouseVisible_; }
    void SetMouseVisible(bool on) { mouseVisible_ = on; }
    bool HasFocus() const { return hasFocus_; }
    bool IsDown() const { return isDown_; }
    bool IsOver() const { return isOver_; }
    bool GetHandCursor() const { return handCursor_; }
    void SetHandCursor(bool on) { handCursor_ = on; }
    void SetWantsFocus(bool on) { wantsFocus_ = on; }
    bool GetDeleteOnRemoval() const { return deleteOnRemoval_; }
    void SetDeleteOnRemoval(bool on) { deleteOnRemoval_ = on; }
    bool IsRemovalPending() const { return removalPending_; }
    int GetPointerId() const { return pointerId_; }
    void SetPointerId(int id) { pointerId_ = id; }
    Widget* GetTabPrevious() const { return tabPrevious_; }
    Widget* GetTabNext() const { return tabNext_; }
    void SetTabNeighbours(Widget* previous, Widget* next) {
        tabPrevious_ = previous;
        tabNext_ = next;
    }

protected:
    int id_;
    // The first two beside the id, in the lines every pass reads of a
    // widget: each fixed-step update of a dynamic widget asks for them.
    bool isDown_ = false;
    bool isOver_ = false;
    bool visible_ = true;
    bool mouseVisible_ = false;
    bool disabled_ = false;
    bool hasFocus_ = false;
    bool handCursor_ = false;
    bool wantsFocus_ = false;
    bool deleteOnRemoval_ = true;
    bool removalPending_ = false;
    int pointerId_ = 0;
    Widget* tabPrevious_ = nullptr;
    Widget* tabNext_ = nullptr;

private:
    friend class WidgetContainer;
    friend class WidgetManager;
    friend void QueueWidgetDeletion(Widget*);
    friend void CancelWidgetDeletion(Widget*);
    friend void DeleteOrphanedWidgets();

    enum class DeletionQueue : uint8_t { None, Host, Orphans };

    // Where this widget was put among its parent's children, tried first
    // when it is looked for there; places move as siblings come and go.
    size_t slot_ = 0;
    DeletionQueue deletionQueue_ = DeletionQueue::None;
};
