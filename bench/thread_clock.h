#pragma once
// The processor time of the calling thread, for benches that time two paths
// in turn: on a shared machine the wall clock also counts the time the
// thread waited for a processor, which neither path spent.
#include <time.h>

#include <chrono>

struct ThreadClock {
    using duration = std::chrono::nanoseconds;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<ThreadClock>;
    static constexpr bool is_steady = true;

    static time_point now() noexcept {
        timespec t;
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return time_point(duration(static_cast<rep>(t.tv_sec) * 1'000'000'000 + t.tv_nsec));
    }
};
