#include "widgets/tree/widget_host.h"

#include <algorithm>
#include <deque>

#include "widgets/tree/widget.h"

namespace {

// Removed widgets waiting for deletion while no host is installed.
std::deque<Widget*>& OrphanList() {
    static std::deque<Widget*> list;
    return list;
}

}  // namespace

WidgetHost& WidgetHost::Fallback() {
    static NullWidgetHost none;
    return none;
}

NullWidgetHost::~NullWidgetHost() { DeleteDeferred(); }

void NullWidgetHost::CancelDeferredDelete(Widget* widget) { std::erase(deferred_, widget); }

void NullWidgetHost::DeleteDeferred() {
    while (!deferred_.empty()) {
        Widget* w = deferred_.front();
        deferred_.erase(deferred_.begin());
        delete w;
    }
}

void QueueWidgetDeletion(Widget* widget) {
    if (widget->deletionQueue_ != Widget::DeletionQueue::None) return;
    if (WidgetHost* host = Service<WidgetHost>::Installed()) {
        widget->deletionQueue_ = Widget::DeletionQueue::Host;
        host->DeferDelete(widget);
    } else {
        widget->deletionQueue_ = Widget::DeletionQueue::Orphans;
        OrphanList().push_back(widget);
    }
}

void CancelWidgetDeletion(Widget* widget) {
    switch (widget->deletionQueue_) {
        case Widget::DeletionQueue::None: return;
        case Widget::DeletionQueue::Host:
            if (WidgetHost* host = Service<WidgetHost>::Installed()) host->CancelDeferredDelete(widget);
            break;
        case Widget::DeletionQueue::Orphans: {
            auto& list = OrphanList();
            list.erase(std::remove(list.begin(), list.end(), widget), list.end());
            break;
        }
    }
    widget->deletionQueue_ = Widget::DeletionQueue::None;
}

void DeleteOrphanedWidgets() {
    auto& list = OrphanList();
    // One at a time: a destructor may queue children or cancel a sibling's entry.
    while (!list.empty()) {
        Widget* w = list.front();
        list.pop_front();
        w->deletionQueue_ = Widget::DeletionQueue::None;
        delete w;
    }
}
