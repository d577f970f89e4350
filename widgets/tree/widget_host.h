#pragma once
// What the widget tree needs of the application it runs in, and the one
// place removed widgets go to be deleted.
//
// The application object implements WidgetHost; constructing it makes it
// the process-wide host and destroying it clears that again. The tree asks
// the host for the cursor kind, the pause counter, the screen size, and
// hands it every widget that must be deleted later. Deletion is never
// immediate: a widget removed inside its own callback must outlive the
// callback.
//
// Without a host (tools, tests that do not install one) removed widgets
// wait in a list of the widget layer's own, which every WidgetManager
// empties after each fixed update and when it is destroyed.
// Main thread only.

class Widget;

class WidgetHost {
public:
    WidgetHost();
    virtual ~WidgetHost();
    WidgetHost(const WidgetHost&) = delete;
    WidgetHost& operator=(const WidgetHost&) = delete;

    // The installed host, or null.
    static WidgetHost* Get();

    // Cursor kinds: 0 pointer, 1 hand, 11 hidden; the others are the application's.
    virtual int GetCursor() const = 0;
    virtual void SetCursor(int kind) = 0;
    // Widgets do not update while this is above 0.
    virtual int GetPauseCount() const = 0;
    virtual int GetScreenWidth() const = 0;
    virtual int GetScreenHeight() const = 0;
    // Take ownership of a removed widget and delete it at a later, safe point.
    virtual void DeferDelete(Widget* widget) = 0;
    // The widget was added to a tree again, or is being deleted (by anyone,
    // the host included): forget it. Take a widget off the list before
    // deleting it, so this call finds nothing to do.
    virtual void CancelDeferredDelete(Widget* widget) = 0;
};

// Queues a widget for deletion with the installed host, or in the widget
// layer's own list when there is none. Called by the tree only.
void QueueWidgetDeletion(Widget* widget);
// Takes a widget off whichever list holds it.
void CancelWidgetDeletion(Widget* widget);
// Deletes every widget waiting in the widget layer's own list, including
// those queued by the deletions themselves.
void DeleteOrphanedWidgets();
