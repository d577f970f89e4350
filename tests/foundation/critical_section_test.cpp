#include "foundation/system/critical_section.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

TEST(CriticalSection, IsHeldUntilEveryNestedEnterHasLeft) {
    CriticalSection section;
    std::atomic<bool> otherEntered{false};
    std::thread other;
    {
        ScopedCriticalSection outer(section);
        {
            ScopedCriticalSection inner(section);  // would deadlock on a plain mutex
            section.Enter();
            section.Leave();
        }
        other = std::thread([&] {
            ScopedCriticalSection lock(section);
            otherEntered = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_FALSE(otherEntered);  // the outer hold still excludes it
    }
    other.join();
    EXPECT_TRUE(otherEntered);
}

TEST(CriticalSection, ExcludesOtherThreads) {
    CriticalSection section;
    long counter = 0;  // a plain int: only the lock keeps the increments whole
    constexpr int kThreads = 4, kRounds = 5000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                ScopedCriticalSection lock(section);
                long seen = counter;
                std::this_thread::yield();
                counter = seen + 1;
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(counter, long{kThreads} * kRounds);
}

TEST(CriticalSection, LeavingReleasesForOtherThreads) {
    CriticalSection section;
    bool entered = false;
    { ScopedCriticalSection lock(section); }
    std::thread other([&] {
        std::lock_guard<CriticalSection> guard(section);
        entered = true;
    });
    other.join();
    EXPECT_TRUE(entered);
}

}  // namespace
