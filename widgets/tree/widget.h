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
    bool IsVisible() const { return visible_; }
    bool IsDisabled() const { return disabled_; }
    bool IsMouseVisible() const { return mouse_visible_; }
    void SetMouseVisible(bool on) { mouse_visible_ = on; }
    bool HasFocus() const { return has_focus_; }
    bool IsDown() const { return is_down_; }
    bool IsOver() const { return is_over_; }
    bool GetHandCursor() const { return hand_cursor_; }
    void SetHandCursor(bool on) { hand_cursor_ = on; }
    void SetWantsFocus(bool on) { wants_focus_ = on; }
    bool GetDeleteOnRemoval() const { return delete_on_removal_; }
    void SetDeleteOnRemoval(bool on) { delete_on_removal_ = on; }
    bool IsRemovalPending() const { return removal_pending_; }
    int GetPointerId() const { return pointer_id_; }
    void SetPointerId(int id) { pointer_id_ = id; }
    Widget* GetTabPrevious() const { return tab_previous_; }
    Widget* GetTabNext() const { return tab_next_; }
    void SetTabNeighbours(Widget* previous, Widget* next) {
        tab_previous_ = previous;
        tab_next_ = next;
    }

protected:
    int id_;
    bool visible_ = true;
    bool mouse_visible_ = false;
    bool disabled_ = false;
    bool has_focus_ = false;
    bool is_down_ = false;
    bool is_over_ = false;
    bool hand_cursor_ = false;
    bool wants_focus_ = false;
    bool delete_on_removal_ = true;
    bool removal_pending_ = false;
    int pointer_id_ = 0;
    Widget* tab_previous_ = nullptr;
    Widget* tab_next_ = nullptr;

private:
    friend class WidgetContainer;
    friend class WidgetManager;
    friend void QueueWidgetDeletion(Widget*);
    friend void CancelWidgetDeletion(Widget*);
    friend void DeleteOrphanedWidgets();

    enum class DeletionQueue : uint8_t { None, Host, Orphans };

    // This widget's node in its parent's child list; valid while parent_ is set.
    ChildList::iterator node_;
    DeletionQueue deletion_queue_ = DeletionQueue::None;
};
