#include "widgets/tree/widget_host.h"

#include <algorithm>
#include <deque>

#include "widgets/tree/widget.h"

namespace {

WidgetHost* gHost = nullptr;

// Removed widgets waiting for deletion while no host is installed.
std::deque<Widget*>& OrphanList() {
    static std::deque<Widget*> list;
    return list;
}

}  // namespace

WidgetHost::WidgetHost() { gHost = this; }

WidgetHost::~WidgetHost() {
    if (gHost == this) gHost = nullptr;
}

WidgetHost* WidgetHost::Get() { return gHost; }

void QueueWidgetDeletion(Widget* widget) {
    if (widget->deletion_queue_ != Widget::DeletionQueue::None) return;
    if (gHost) {
        widget->deletion_queue_ = Widget::DeletionQueue::Host;
        gHost->DeferDelete(widget);
    } else {
        widget->deletion_queue_ = Widget::DeletionQueue::Orphans;
        OrphanList().push_back(widget);
    }
}

void CancelWidgetDeletion(Widget* widget) {
    switch (widget->deletion_queue_) {
        case Widget::DeletionQueue::None:
            return;
        case Widget::DeletionQueue::Host:
            if (gHost) gHost->CancelDeferredDelete(widget);
            break;
        case Widget::DeletionQueue::Orphans: {
            auto& list = OrphanList();
            list.erase(std::remove(list.begin(), list.end(), widget), list.end());
            break;
        }
    }
    widget->deletion_queue_ = Widget::DeletionQueue::None;
}

void DeleteOrphanedWidgets() {
    auto& list = OrphanList();
    // One at a time: a destructor may queue children or cancel a sibling's entry.
    while (!list.empty()) {
        Widget* w = list.front();
        list.pop_front();
        w->deletion_queue_ = Widget::DeletionQueue::None;
        delete w;
    }
}
