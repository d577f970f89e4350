#pragma once
// The engine's one lock type: recursive, so a thread that holds it may enter
// it again (the device's drawing calls nest). Every Enter needs one Leave on
// the same thread; prefer ScopedCriticalSection, which cannot forget it.
// CriticalSection also meets the standard BasicLockable requirements, so
// std::lock_guard and std::unique_lock work with it.
//
// Entering again is a count on the owning thread: the device's calls nest
// several deep in every draw, and a recursive mutex asked each time cost a
// good part of a small draw's work.

#include <atomic>
#include <mutex>
#include <thread>

class CriticalSection {
public:
    CriticalSection() = default;
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter() {
        const std::thread::id self = std::this_thread::get_id();
        // Only this thread can have written itself here, and only while it holds the mutex.
        if (owner_.load(std::memory_order_relaxed) == self) {
            ++depth_;
            return;
        }
        mutex_.lock();
        owner_.store(self, std::memory_order_relaxed);
        depth_ = 1;
    }
    void Leave() {
        if (--depth_ > 0) return;
        owner_.store(std::thread::id(), std::memory_order_relaxed);
        mutex_.unlock();
    }

    void lock() { Enter(); }
    void unlock() { Leave(); }

private:
    std::mutex mutex_;
    std::atomic<std::thread::id> owner_{};
    int depth_ = 0;  // the owner's Enters not yet left
};

// Holds the section from construction to the end of the scope.
class ScopedCriticalSection {
public:
    explicit ScopedCriticalSection(CriticalSection& section) : section_(section) { section_.Enter(); }
    ~ScopedCriticalSection() { section_.Leave(); }
    ScopedCriticalSection(const ScopedCriticalSection&) = delete;
    ScopedCriticalSection& operator=(const ScopedCriticalSection&) = delete;

private:
    CriticalSection& section_;
};
