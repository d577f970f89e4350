#include "foundation/system/perf_timer.h"

#include "platform/system/clock.h"

void PerfTimer::Start() {
    running_ = true;
    startCount_ = plat::PerformanceCounter();
}

void PerfTimer::Stop() {
    if (!running_) return;
    UpdateDuration();
    running_ = false;
}

double PerfTimer::GetDuration() {
    if (running_) UpdateDuration();
    return duration_;
}

void PerfTimer::UpdateDuration() {
    int64_t elapsed = plat::PerformanceCounter() - startCount_;
    int64_t frequency = plat::PerformanceFrequency();
    duration_ = frequency > 0 ? static_cast<double>(elapsed) * 1000.0 / static_cast<double>(frequency) : 0.0;
}
