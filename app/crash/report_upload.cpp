#include "app/crash/report_upload.h"

#include <string>
#include <thread>

#include "app/crash/http_transfer.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string WaitText(int ticks) {
    std::string text = "Please Wait";
    for (int i = 0; i < ticks % 10; ++i) text += " .";
    return text;
}

// One attempt under the progress window: the transfer's final state, with a
// deadline's abort counted as a failure, not as the user's.
bool Attempt(HTTPTransfer& transfer, ReportDialogs& dialogs, const UploadTiming& timing, bool* userAborted) {
    const Clock::time_point start = Clock::now();
    Clock::time_point nextTick = start + timing.tick;
    int ticks = 0;
    bool late = false;
    while (!transfer.IsFinal()) {
        std::this_thread::sleep_for(timing.poll);
        if (dialogs.ProgressAborted()) transfer.Abort();
        const Clock::time_point now = Clock::now();
        if (now >= nextTick) {
            nextTick += timing.tick;
            dialogs.SetProgressText(WaitText(++ticks));
        }
        if (!late && now - start >= timing.deadline) {
            late = true;
            transfer.Abort();
        }
    }
    const int state = transfer.GetState();
    *userAborted = state == HTTPTransfer::kAborted && !late;
    return state == HTTPTransfer::kDone;
}

}  // namespace

UploadOutcome UploadReport(std::string_view address, CrashUploadFields fields, ReportDialogs& dialogs,
                           const UploadTiming& timing) {
    if (!dialogs.AskDetails(&fields.userText)) return UploadOutcome::Aborted;
    const std::string request = BuildCrashUpload(address, fields);
    HTTPTransfer transfer;
    for (;;) {
        dialogs.OpenProgress(WaitText(0));
        transfer.Start(address, request);
        bool userAborted = false;
        const bool sent = Attempt(transfer, dialogs, timing, &userAborted);
        dialogs.CloseProgress();
        if (sent) return UploadOutcome::Sent;
        if (userAborted) return UploadOutcome::Aborted;
        if (!dialogs.AskRetry()) return UploadOutcome::GaveUp;
    }
}
