#pragma once
// Whether the browser took over a web page the game asked the desktop to
// open: the game losing activation means it did; still inactive 8 seconds
// after opening means it did too; still active after 12 seconds means the
// page did not open. It judges only once the timer has ticked steadily for 5
// seconds: a gap of more than half a second between ticks (a stall, a modal
// box) starts that wait again.
//
// Owns: the pending URL, its close-after wish and when it was opened.
// Threads: the main thread.

#include <cstdint>
#include <string>

struct UrlWatch {
    bool pending = false;
    bool closeAfter = false;
    std::string url;
    uint32_t openedAt = 0;

    enum class Verdict { kWaiting, kOpened, kFailed };
    static constexpr uint32_t kSettleMs = 5000;
    static constexpr uint32_t kOpenedWhileInactiveMs = 8000;
    static constexpr uint32_t kFailedWhileActiveMs = 12000;

    // Judged on each timer tick.
    Verdict Check(uint32_t now, uint32_t activityStart, bool active) const;
};
