#pragma once
// Objects whose deletion must wait until the loop that removed them is done
// with them: a widget that removes itself from inside its own input handler
// is still on the call stack.
//
// Owns: every object handed to it until it is deleted.
// Promises: an object deferred at nesting depth D is deleted by the first
// DeleteDue called at a depth of D or less, so one deferred inside a nested
// loop goes before that loop returns while one deferred outside survives it.
// Threads: any thread may defer (the loading thread does, when the scripts it
// runs off the tree to find their assets let go of what they made); the list
// is locked for each change, never while an object is deleted.

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

class DeferredDeleteList {
public:
    template <class T>
    void Defer(int depth, std::unique_ptr<T> object) {
        if (!object) return;
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.push_back(Entry{depth, Owned(object.release(), [](void* p) { delete static_cast<T*>(p); })});
    }

    // Deletes every object deferred at `depth` or deeper; an object whose
    // destructor defers another is handled in the same call.
    void DeleteDue(int depth);
    void DeleteAll() { DeleteDue(0); }
    // Hands `object` back to its owner: it is no longer deleted here.
    bool Cancel(const void* object);
    size_t Size() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return entries_.size();
    }

private:
    using Owned = std::unique_ptr<void, void (*)(void*)>;
    struct Entry {
        int depth;
        Owned object;
    };
    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
};
