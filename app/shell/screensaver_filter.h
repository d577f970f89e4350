#pragma once
// In screensaver mode the window procedure first asks this filter: input that
// should end the screen saver ends it, the system commands that would switch
// away are eaten, and the first few jitters of the mouse are forgiven.
//
// Owns: the remembered pointer position, the count of moves seen, the time of
// the last monitor power-down and whether the end is already on its way.
// Promises: the preview (drawn inside another window) is never ended by input;
// within a second of the monitor powering down, activation changes, close
// requests and mouse moves do not end it (powering down sends them).
// Threads: the main thread.

#include <cstdint>

#include "platform/window/messages.h"

class ScreensaverFilter {
public:
    struct Verdict {
        bool handled = false;  // the window procedure returns `result` at once
        plat::LResult result = 0;
        bool end = false;  // end the screen saver: close the main window
    };

    // `preview`: drawn inside another window. `now` in milliseconds;
    // `pointerX/Y` the pointer's desktop position.
    Verdict Filter(uint32_t message, plat::WParam wParam, bool preview, uint32_t now, int pointerX, int pointerY);

    // Forget the moves so far and take the pointer's place as the new rest.
    void Rearm(int pointerX, int pointerY);
    bool Ending() const { return ending_; }
    void SetEnding() { ending_ = true; }

    // System-command values the filter knows.
    static constexpr uint32_t kNcActivate = 0x0086;
    static constexpr plat::WParam kScNextWindow = 0xF040;
    static constexpr plat::WParam kScPrevWindow = 0xF050;
    static constexpr plat::WParam kScScreenSave = 0xF140;
    static constexpr plat::WParam kScMonitorPower = 0xF170;
    static constexpr int kForgivenMoves = 3;
    static constexpr uint32_t kPowerGraceMs = 1000;

private:
    Verdict End(uint32_t now, bool sensitiveToPower);

    bool armed_ = false;
    bool ending_ = false;
    int restX_ = 0;
    int restY_ = 0;
    int moves_ = 0;
    bool powered_ = false;
    uint32_t lastMonitorPower_ = 0;
};
