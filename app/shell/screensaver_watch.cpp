#include "app/shell/screensaver_watch.h"

#include <algorithm>
#include <cstdint>

bool ScreenSaverWatch::Check(uint32_t now, uint32_t& lastInputTime, ScreenSaverSystem& system) {
    if (!read_ || now - lastRead_ >= kReadEveryMs) {
        read_ = true;
        lastRead_ = now;
        int seconds = 0;
        bool enabled = false;
        if (system.ReadSettings(&seconds, &enabled)) {
            // Two seconds early, so the game is quiet before the saver starts.
            timeoutMs_ = static_cast<uint32_t>(std::max(seconds - 2, 1)) * 1000u;
            systemEnabled_ = enabled;
        } else {
            systemEnabled_ = false;
        }
        if (!systemEnabled_) active_ = false;
    }
    uint32_t desktopInput = 0;
    if (system.LastInputTime(now, &desktopInput)) {
        // A time "after now" is a clock mismatch, not input from the future.
        lastInputTime = static_cast<int32_t>(desktopInput - now) > 0 ? now : desktopInput;
    }
    if (!systemEnabled_) return false;
    const uint32_t idle = now - lastInputTime;
    if (!active_) {
        if (idle > timeoutMs_) active_ = true;
        return false;
    }
    bool running = false;
    if ((!system.IsRunning(&running) || !running) && idle < timeoutMs_) {
        active_ = false;
        return true;
    }
    return false;
}
