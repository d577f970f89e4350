#pragma once
// Lets the system's own screen saver run over a windowed game: once the
// player has been idle longer than the system's timeout, the game stops
// updating and drawing until input comes back.
//
// Owns: the timeout last read from the system, whether the system's screen
// saver is enabled, and the "screen saver active" flag.
// Promises: the system's settings are read at most every 10 seconds; the
// flag clears as soon as the system no longer runs its screen saver and the
// player was active within the timeout; with the system's screen saver off
// the flag is always clear.
// Threads: the main thread.

#include <cstdint>

// What the desktop tells about its screen saver. Each answer may be unknown.
class ScreenSaverSystem {
public:
    virtual ~ScreenSaverSystem() = default;
    // The idle time before the screen saver starts, and whether it is enabled.
    virtual bool ReadSettings(int* timeoutSeconds, bool* enabled) = 0;
    // The time (on the caller's clock) of the last input anywhere on the desktop.
    virtual bool LastInputTime(uint32_t now, uint32_t* time) = 0;
    // Whether the screen saver is showing now.
    virtual bool IsRunning(bool* running) = 0;
};

class ScreenSaverWatch {
public:
    static constexpr uint32_t kReadEveryMs = 10000;
    // Until the system says otherwise: a quarter of an hour.
    static constexpr uint32_t kDefaultTimeoutMs = 15 * 60 * 1000;

    // `lastInputTime` is the application's, refreshed from the desktop's when
    // it knows. True when the flag was cleared and the screen must be repainted.
    bool Check(uint32_t now, uint32_t& lastInputTime, ScreenSaverSystem& system);

    bool Active() const { return active_; }
    uint32_t TimeoutMs() const { return timeoutMs_; }

private:
    bool read_ = false;
    uint32_t lastRead_ = 0;
    uint32_t timeoutMs_ = kDefaultTimeoutMs;
    bool systemEnabled_ = false;
    bool active_ = false;
};
