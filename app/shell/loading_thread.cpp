#include "app/shell/loading_thread.h"

#include <pthread.h>

#include <algorithm>

#include "platform/system/clock.h"

double LoadingProgress(bool completionHandled, bool started, int totalSteps, int stepsDone) {
    if (completionHandled) return 1.0;
    if (!started || totalSteps == 0) return 0.0;
    return std::min(static_cast<double>(stepsDone) / totalSteps, 1.0);
}

LoadingThread::LoadingThread() = default;

LoadingThread::~LoadingThread() { Wait(); }

bool LoadingThread::Start(std::function<void()> body) {
    if (started_) return false;
    throttle_ = true;
    // The main thread draws the loading screen ahead of the loader.
    boost_ = std::make_unique<plat::ThreadPriorityBoost>();
    started_ = true;
    thread_ = std::thread([this, body = std::move(body)] {
        // Named, so a profiler or a debugger tells the loader from the rest.
        pthread_setname_np(pthread_self(), "loading");
        body();
        done_ = true;
    });
    return true;
}

void LoadingThread::Wait() {
    if (thread_.joinable()) thread_.join();
}

bool LoadingThread::TakeCompletion() {
    if (!done_ || handled_) return false;
    boost_.reset();
    handled_ = true;
    throttle_ = false;
    return true;
}
