#include "app/shell/screensaver_filter.h"

namespace msg = plat::msg;

void ScreensaverFilter::Rearm(int pointerX, int pointerY) {
    armed_ = true;
    restX_ = pointerX;
    restY_ = pointerY;
    moves_ = 0;
}

ScreensaverFilter::Verdict ScreensaverFilter::End(uint32_t now, bool sensitiveToPower) {
    // Powering the monitor down sends activation and move messages of its
    // own; those must not end what the player did not touch.
    if (sensitiveToPower && powered_ && now - lastMonitorPower_ < kPowerGraceMs) return {};
    Verdict v;
    v.end = true;
    return v;
}

ScreensaverFilter::Verdict ScreensaverFilter::Filter(uint32_t message, plat::WParam wParam, bool preview, uint32_t now,
                                                     int pointerX, int pointerY) {
    if (ending_) return {};
    if (!armed_) Rearm(pointerX, pointerY);
    switch (message) {
        case msg::kKeyDown:
        case msg::kSysKeyDown:
        case msg::kLButtonDown:
        case msg::kRButtonDown:
        case msg::kMButtonDown:
            if (preview) return {};
            return End(now, false);
        case msg::kActivate:
        case msg::kActivateApp:
        case kNcActivate:
            if (wParam != 0) return {};
            return End(now, true);
        case msg::kMouseMove: {
            if (preview) return {};
            if (pointerX == restX_ && pointerY == restY_) return {};
            if (++moves_ <= kForgivenMoves) return {true, 0, false};
            return End(now, true);
        }
        case msg::kSysCommand:
            if (wParam == kScMonitorPower) {
                powered_ = true;
                lastMonitorPower_ = now;
                return {};
            }
            if (wParam == kScNextWindow || wParam == kScPrevWindow || wParam == kScScreenSave ||
                (wParam == plat::kScClose && !preview))
                return {true, 0, false};
            return {};
        case msg::kClose: return End(now, true);
        default: return {};
    }
}
