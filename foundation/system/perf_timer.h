#pragma once
// An interval timer on the performance counter, used to time frames.
//
// Start begins an interval; GetDuration reads the milliseconds so far while
// running and the final length after Stop. Not thread-safe: one timer
// belongs to one thread (the frame-rate overlay keeps its own on the main
// thread).

#include <cstdint>

class PerfTimer {
public:
    void Start();
    void Stop();
    double GetDuration();
    bool IsRunning() const { return running_; }

private:
    void UpdateDuration();

    int64_t startCount_ = 0;
    double duration_ = 0.0;
    bool running_ = false;
};
