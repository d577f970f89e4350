#pragma once
// Sending a crash report once the user chose "Send Report": the details
// window takes the user's description, then the report is posted (see
// crash_upload.h) under the progress window, which polls the transfer, counts
// the seconds in its line ("Please Wait" and one " ." a second, ten at most)
// and aborts it on its Abort. An attempt that has not ended by the deadline
// is aborted as a failed one: a server that accepts and never answers cannot
// hold the dying process. After a failure the retry box offers another
// attempt.

#include <chrono>
#include <string_view>

#include "app/crash/crash_upload.h"
#include "app/crash/report_dialogs.h"

struct UploadTiming {
    std::chrono::milliseconds poll{20};
    std::chrono::milliseconds tick{1000};
    std::chrono::milliseconds deadline{std::chrono::seconds(30)};
};

enum class UploadOutcome {
    Sent,     // the server took it
    Aborted,  // the user aborted, in the details or the progress window
    GaveUp    // every attempt failed or ran out of time, and the user stopped retrying
};

UploadOutcome UploadReport(std::string_view address, CrashUploadFields fields, ReportDialogs& dialogs,
                           const UploadTiming& timing = {});
