#pragma once
// The two halves of the link through which a holder hears that a widget it
// keeps a reference to has left the tree: the widget carries a RemovalWidget
// part naming at most one listener; the listener keeps the set of parts it
// watches. Either side may be destroyed first: each destructor unhooks the
// other side, so neither ever touches a freed object. Main thread only.

#include <functional>
#include <set>

class RemovalListener;

class RemovalWidget {
public:
    RemovalWidget() = default;
    // Leaves its listener's set; the listener is not called.
    virtual ~RemovalWidget();
    RemovalWidget(const RemovalWidget&) = delete;
    RemovalWidget& operator=(const RemovalWidget&) = delete;

    // Moves the widget to this listener (null: to none).
    void SetRemovalListener(RemovalListener* listener);
    RemovalListener* GetRemovalListener() const { return removalListener_; }
    // The removal path's report: unhooks from the listener, then tells it.
    void ReportRemoval(int widgetId);

private:
    friend class RemovalListener;
    RemovalListener* removalListener_ = nullptr;
};

class RemovalListener {
public:
    RemovalListener() = default;
    RemovalListener(const RemovalListener&) = delete;
    RemovalListener& operator=(const RemovalListener&) = delete;

    virtual void WidgetRemoved(int widgetId);
    // Clears the listener of every watched widget; the widgets live on.
    virtual ~RemovalListener();

    bool IsWatching(const RemovalWidget* widget) const { return watched_.count(widget) != 0; }
    size_t CountWatched() const { return watched_.size(); }

private:
    friend class RemovalWidget;
    std::set<RemovalWidget*, std::less<>> watched_;
};
