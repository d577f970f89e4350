#pragma once
// The engine's one lock type: recursive, so a thread that holds it may enter
// it again (the device's drawing calls nest). Every Enter needs one Leave on
// the same thread; prefer ScopedCriticalSection, which cannot forget it.
// CriticalSection also meets the standard BasicLockable requirements, so
// std::lock_guard and std::unique_lock work with it.

#include <mutex>

class CriticalSection {
public:
    CriticalSection() = default;
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter() { mutex_.lock(); }
    void Leave() { mutex_.unlock(); }

    void lock() { Enter(); }
    void unlock() { Leave(); }

private:
    std::recursive_mutex mutex_;
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
