#pragma once
// The crash reporter's windows, one operation each: the "Fatal Error!" report,
// the "Error Details" window where the user describes the crash, the
// "Submitting Report" progress window with its Abort, and the "Connection
// Failed" retry box. The desktop's (DesktopReportDialogs) shows them with
// platform/window; where no window can be shown every question is answered
// as if closed. Called on the faulting thread only.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/dialog_window.h"

class ReportDialogs {
public:
    ReportDialogs() = default;
    virtual ~ReportDialogs() = default;
    ReportDialogs(const ReportDialogs&) = delete;
    ReportDialogs& operator=(const ReportDialogs&) = delete;

    // The button pressed, by index; -1 when closed or not shown.
    virtual int ShowReport(std::string_view header, std::string_view report,
                           const std::vector<std::string>& buttons) = 0;
    // True on "Continue", with what the user typed; false on "Abort" or close.
    virtual bool AskDetails(std::string* userText) = 0;
    // The progress window: opened, its line changed, polled, closed.
    // ProgressAborted keeps the window answering and says whether its Abort
    // (or its close) has been pressed since it opened.
    virtual void OpenProgress(std::string_view text) = 0;
    virtual void SetProgressText(std::string_view text) = 0;
    virtual bool ProgressAborted() = 0;
    virtual void CloseProgress() = 0;
    // True on "Retry".
    virtual bool AskRetry() = 0;
};

// The windows on the desktop.
std::unique_ptr<ReportDialogs> MakeDesktopReportDialogs();

// The "Fatal Error!" window: a fixed 400 x 300 client area at 64,64 whatever
// the report's length, the header above the report's scrolling pane, and the
// buttons sharing the bottom row in equal widths.
plat::DialogLayout ReportWindowLayout(std::string_view header, std::string_view report,
                                      const std::vector<std::string>& buttons);
