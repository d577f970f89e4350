#include "app/shell/deferred_delete.h"

void DeferredDeleteList::DeleteDue(int depth) {
    for (;;) {
        std::vector<Owned> due;
        std::unique_lock<std::mutex> lock(mutex_);
        for (auto it = entries_.begin(); it != entries_.end();) {
            if (it->depth >= depth) {
                due.push_back(std::move(it->object));
                it = entries_.erase(it);
            } else {
                ++it;
            }
        }
        lock.unlock();
        if (due.empty()) return;
        // Destroyed outside the walk and the lock: a destructor may defer more.
        due.clear();
    }
}

bool DeferredDeleteList::Cancel(const void* object) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->object.get() == object) {
            (void)it->object.release();
            entries_.erase(it);
            return true;
        }
    }
    return false;
}
