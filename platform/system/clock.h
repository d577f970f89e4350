#pragma once
// High-resolution clocks for timing and profiling.
//
// The performance counter is a monotonic count with a fixed frequency
// (nanoseconds of the steady clock here); it never goes backwards and is
// safe to read from any thread. The time-stamp counter is the processor's
// cycle counter where the processor has one, otherwise the performance
// counter again, so callers must measure its rate (see MeasureCpuSpeed)
// rather than assume one. Both are free of locks and allocation.

#include <cstdint>

namespace plat {

int64_t PerformanceCounter();
// Counts per second of PerformanceCounter; 0 would mean "no counter".
int64_t PerformanceFrequency();

// True when ReadTimeStampCounter reads a processor cycle counter.
bool HasCycleCounter();
uint64_t ReadTimeStampCounter();

// Raises the calling thread's scheduling priority for its lifetime, as far
// as the system allows an unprivileged process, and restores it afterwards.
class ThreadPriorityBoost {
public:
    ThreadPriorityBoost();
    ~ThreadPriorityBoost();
    ThreadPriorityBoost(const ThreadPriorityBoost&) = delete;
    ThreadPriorityBoost& operator=(const ThreadPriorityBoost&) = delete;

private:
    int previous_ = 0;
    bool changed_ = false;
};

}  // namespace plat
