#include "widgets/tree/widget_host.h"

#include <algorithm>
#include <deque>
#include <utility>

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

void NullWidgetHost::CancelDeferredDelete(Widget* widget) {
    if (widget == deleting_) return;  // its own destructor: already off the list
    std::erase(deferred_, widget);
    // Later in the batch being deleted: it must not be deleted again.
    if (auto it = std::find(batch_.begin() + static_cast<std::ptrdiff_t>(next_), batch_.end(), widget);
        it != batch_.end())
        *it = nullptr;
}

// A batch at a time, so many widgets are deleted in linear time; widgets
// queued meanwhile wait for the next batch, after the ones queued before them.
void NullWidgetHost::DeleteDeferred() {
    if (!batch_.empty()) return;  // called from a deletion: the loop below goes on
    while (!deferred_.empty()) {
        batch_.swap(deferred_);
        for (next_ = 0; next_ < batch_.size(); ++next_) {
            deleting_ = std::exchange(batch_[next_], nullptr);
            delete deleting_;
        }
        deleting_ = nullptr;
        next_ = 0;
        batch_.clear();
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
