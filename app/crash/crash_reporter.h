#pragma once
// The crash reporter: when a thread faults (bad memory access, illegal
// instruction, arithmetic fault, abort), it writes a report (see
// crash_report.h) to "crash.txt" in the working folder and to stderr, shows it
// in one "Fatal Error!" box and, only when an upload address is configured
// and the application exists, offers "Send Report", which asks the user for
// a description and posts the report under a progress window with a deadline
// (see report_upload.h), offering a retry when that fails. Then the fault
// takes its default course and the process ends.
//
// One CrashReporter is made at start-up and lives until exit: it installs
// the handlers and puts the previous ones back when it ends. The upload
// address is empty (no upload) unless set. Only the first reporter of a
// process installs anything.

#include <string>
#include <string_view>

// The command-line option that raises a crash report at once.
inline constexpr std::wstring_view kCrashOption = L"-crash";

class CrashReporter {
public:
    CrashReporter();
    ~CrashReporter();
    CrashReporter(const CrashReporter&) = delete;
    CrashReporter& operator=(const CrashReporter&) = delete;

    bool Installed() const { return installed_; }
    static void SetUploadAddress(std::string address);
    // What "-crash" does: a fault as if unhandled, reported, and the end of the process.
    [[noreturn]] static void RaiseCrash();

private:
    bool installed_ = false;
};
