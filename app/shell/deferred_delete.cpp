#include "app/shell/deferred_delete.h"

void DeferredDeleteList::DeleteDue(int depth) {
    for (;;) {
        std::vector<Owned> due;
        for (auto it = entries_.begin(); it != entries_.end();) {
            if (it->depth >= depth) {
                due.push_back(std::move(it->object));
                it = entries_.erase(it);
            } else {
                ++it;
            }
        }
        if (due.empty()) return;
        // Destroyed outside the walk: a destructor may defer more objects.
        due.clear();
    }
}

bool DeferredDeleteList::Cancel(const void* object) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->object.get() == object) {
            (void)it->object.release();
            entries_.erase(it);
            return true;
        }
    }
    return false;
}
