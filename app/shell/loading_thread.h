#pragma once
// The resource-loading thread and its progress. The application starts it
// once; it runs the loading body, then marks itself done. The main thread
// meanwhile draws the loading screen at raised priority and throttles itself;
// on its first update after the thread is done it takes its normal priority
// back and handles the completion once.
//
// Owns: the thread, the step counters and the flags.
// Promises: the progress never exceeds 1.0 and reads 1.0 once the completion
// was handled, even when the steps done never reached the total; `Wait`
// returns only after the body has ended (and joins the thread), so it is safe
// to call from the destructor path more than once.
// Threads: the counters and flags are atomics written by the loading thread
// and read by the main thread; everything else is main-thread only.

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace plat {
class ThreadPriorityBoost;
}

// min(done / total, 1.0) while started with a total, 1.0 once handled, else 0.
double LoadingProgress(bool completionHandled, bool started, int totalSteps, int stepsDone);

class LoadingThread {
public:
    LoadingThread();
    ~LoadingThread();
    LoadingThread(const LoadingThread&) = delete;
    LoadingThread& operator=(const LoadingThread&) = delete;

    // Starts `body` on the thread; false (nothing started) when it ran already.
    bool Start(std::function<void()> body);
    // Joins the thread once its body has ended; nothing when none was started.
    void Wait();

    // Main thread: true exactly once, on the first call after the body ended;
    // drops the raised priority and the throttle.
    bool TakeCompletion();

    bool Started() const { return started_; }
    bool Done() const { return done_; }
    bool Throttle() const { return throttle_; }
    bool CompletionHandled() const { return handled_; }

    void SetTotalSteps(int total) { totalSteps_ = total; }
    void AdvanceStep() { ++stepsDone_; }
    int StepsDone() const { return stepsDone_; }
    double Progress() const { return LoadingProgress(handled_, started_, totalSteps_, stepsDone_); }

private:
    std::thread thread_;
    std::unique_ptr<plat::ThreadPriorityBoost> boost_;
    std::atomic<bool> started_{false};
    std::atomic<bool> done_{false};
    std::atomic<bool> throttle_{false};
    std::atomic<bool> handled_{false};
    std::atomic<int> totalSteps_{0};
    std::atomic<int> stepsDone_{0};
};
