#include "platform/system/clock.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#define HALVARO_HAS_RDTSC 1
#else
#define HALVARO_HAS_RDTSC 0
#endif

namespace plat {

int64_t PerformanceCounter() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int64_t PerformanceFrequency() { return 1'000'000'000; }

bool HasCycleCounter() { return HALVARO_HAS_RDTSC != 0; }

uint64_t ReadTimeStampCounter() {
#if HALVARO_HAS_RDTSC
    return __rdtsc();
#else
    return static_cast<uint64_t>(PerformanceCounter());
#endif
}

namespace {

id_t CurrentThreadId() { return static_cast<id_t>(syscall(SYS_gettid)); }

}  // namespace

ThreadPriorityBoost::ThreadPriorityBoost() {
    // On Linux a thread's nice value is per thread; lowering it needs a
    // privilege that games do not have, so a refusal is simply accepted.
    errno = 0;
    int current = getpriority(PRIO_PROCESS, CurrentThreadId());
    if (errno != 0) return;
    previous_ = current;
    int wanted = current - 2;
    if (wanted < -20) wanted = -20;
    if (wanted != current && setpriority(PRIO_PROCESS, CurrentThreadId(), wanted) == 0) changed_ = true;
}

ThreadPriorityBoost::~ThreadPriorityBoost() {
    if (changed_) setpriority(PRIO_PROCESS, CurrentThreadId(), previous_);
}

}  // namespace plat
