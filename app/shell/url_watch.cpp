#include "app/shell/url_watch.h"

UrlWatch::Verdict UrlWatch::Check(uint32_t now, uint32_t activityStart, bool active) const {
    if (!pending || now - activityStart <= kSettleMs) return Verdict::kWaiting;
    const uint32_t since = now - openedAt;
    if (!active && since > kOpenedWhileInactiveMs) return Verdict::kOpened;
    if (active && since > kFailedWhileActiveMs) return Verdict::kFailed;
    return Verdict::kWaiting;
}
