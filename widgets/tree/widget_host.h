#pragma once
// What the widget tree needs of the application it runs in, and the one
// place removed widgets go to be deleted.
//
// Reached through Service<WidgetHost> (foundation/system/service.h): the
// application installs its implementation. The tree asks it for the cursor
// kind, the pause counter and the clipboard (edit fields), and hands it
// every widget that must be deleted later; the screen size is rendering's question (Service<DeviceHost>).
// Deletion is never immediate: a widget removed inside its own callback must
// outlive the callback.
//
// While nothing is installed NullWidgetHost answers (pointer cursor, never
// paused), and removed widgets wait in a list of the widget layer's own,
// which every WidgetManager empties after each fixed update that no other
// call into it encloses, and when it is destroyed. Tests derive their doubles
// from NullWidgetHost.
// Main thread only.

#include <string>
#include <string_view>
#include <vector>

#include "foundation/system/service.h"

class Widget;

class WidgetHost {
public:
    WidgetHost() = default;
    virtual ~WidgetHost() = default;
    WidgetHost(const WidgetHost&) = delete;
    WidgetHost& operator=(const WidgetHost&) = delete;

    // What answers while nothing is installed: a NullWidgetHost.
    static WidgetHost& Fallback();

    // Cursor kinds: 0 pointer, 1 hand, 11 hidden; the others are the application's.
    virtual int GetCursorKind() const = 0;
    virtual void SetCursorKind(int kind) = 0;
    // Widgets do not update while this is above 0. A change is followed by
    // PauseAnswersChanged (below).
    virtual int GetPauseCount() const = 0;
    // Take ownership of a removed widget and delete it at a later, safe point.
    virtual void DeferDelete(Widget* widget) = 0;
    // The widget was added to a tree again, or is being deleted (by anyone,
    // the host included): forget it. Take a widget off the list before
    // deleting it, so this call finds nothing to do.
    virtual void CancelDeferredDelete(Widget* widget) = 0;
    // The desktop clipboard's text for copy and paste; empty when it holds no
    // text or cannot be read. Setting replaces it, or does nothing when the
    // clipboard cannot be opened.
    virtual std::wstring GetClipboardText() = 0;
    virtual void SetClipboardText(std::wstring_view text) = 0;
};

// No application: the pointer cursor (setting a kind does nothing), never
// paused, and a clipboard of its own that only this object sees. Widgets
// handed to it wait in its own list until DeleteDeferred or its end,
// whichever comes first.
class NullWidgetHost : public WidgetHost {
public:
    ~NullWidgetHost() override;

    int GetCursorKind() const override { return 0; }
    void SetCursorKind(int) override {}
    int GetPauseCount() const override { return 0; }
    void DeferDelete(Widget* widget) override { deferred_.push_back(widget); }
    void CancelDeferredDelete(Widget* widget) override;
    std::wstring GetClipboardText() override { return clipboard_; }
    void SetClipboardText(std::wstring_view text) override { clipboard_ = text; }

    // Deletes the waiting widgets in the order they came, one at a time, so
    // a deletion may queue or cancel others.
    void DeleteDeferred();
    const std::vector<Widget*>& Deferred() const { return deferred_; }

private:
    std::vector<Widget*> deferred_;
    // The widgets being deleted, the next one's index, the one being deleted.
    std::vector<Widget*> batch_;
    size_t next_ = 0;
    Widget* deleting_ = nullptr;
    std::wstring clipboard_;
};

// Within an update pass a pause owner's answer is asked once and kept
// (pause_memo.h) until this is called. Whatever may change what IsPaused
// answers calls it: a host whose pause count changes, a menu whose
// activity, pausability or manager changes, a widget given another pause
// owner. Main thread only.
void PauseAnswersChanged();

// Queues a widget for deletion with the installed host, or in the widget
// layer's own list when there is none. Called by the tree only.
void QueueWidgetDeletion(Widget* widget);
// Takes a widget off whichever list holds it.
void CancelWidgetDeletion(Widget* widget);
// Deletes every widget waiting in the widget layer's own list, including
// those queued by the deletions themselves.
void DeleteOrphanedWidgets();
