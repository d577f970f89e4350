// Opening a web page and watching whether the browser took over: the
// application losing activation while a page is pending means it did.

#include "app/shell/vorn_app_base.h"
#include "platform/system/web_page.h"

namespace {

constexpr uint32_t kWatchQuietMs = 5000;
constexpr uint32_t kInactiveTakenOverMs = 8000;
constexpr uint32_t kActiveFailedMs = 12000;

}  // namespace

bool VornAppBase::OpenUrl(const std::string& url, bool closeAfter) {
    if (urlPending_ && url == url_) return true;
    urlCloseAfter_ = closeAfter;
    urlPending_ = true;
    url_ = url;
    urlOpenedAt_ = Now();
    if (plat::OpenWebPage(url)) return true;
    UrlOpenFailed(url);
    return false;
}

void VornAppBase::UrlOpened() {
    urlPending_ = false;
    if (urlCloseAfter_) Shutdown();
}

void VornAppBase::UrlOpenFailed(const std::string& /*url*/) { urlPending_ = false; }

void VornAppBase::UrlWatchDeactivated() {
    if (urlPending_) UrlOpened();
}

void VornAppBase::UrlWatchTick(uint32_t now, uint32_t activityStart) {
    if (!urlPending_ || now - activityStart <= kWatchQuietMs) return;
    const uint32_t since = now - urlOpenedAt_;
    if (!active_ && since > kInactiveTakenOverMs)
        UrlOpened();
    else if (active_ && since > kActiveFailedMs)
        UrlOpenFailed(url_);
}
