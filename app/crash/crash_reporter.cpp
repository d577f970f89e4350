#include "app/crash/crash_reporter.h"

#include "app/crash/crash_host.h"
#include "app/crash/crash_report.h"
#include "app/crash/report_dialogs.h"
#include "app/crash/report_upload.h"
#include "platform/crash/fault_signals.h"
#include "platform/crash/report_output.h"

CrashHost& CrashHost::Fallback() {
    static NullCrashHost none;
    return none;
}

namespace {

constexpr const char* kHeaderText = "An unexpected error has occured!";

// The reporter's one piece of configuration.
std::string& UploadAddress() {
    static std::string address;
    return address;
}

void Report(const plat::FaultInfo& fault) {
    CrashHost* application = Service<CrashHost>::Installed();
    if (application) application->HideMainWindow();
    CrashReportParts parts;
    parts.fault = fault;
    parts.stack = plat::CaptureStack(fault.address);
    if (parts.stack.empty()) parts.chain = plat::WalkFramePointers(fault.address, fault.registers.rbp);
    plat::DescribeSystem(&parts.system);
    if (application) parts.applicationHeader = application->BuildCrashReportHeader();
    const CrashReport report = BuildCrashReport(parts);
    if (application) application->CopyToClipboard(report.text);
    // A failure to write either is ignored: the report still reaches the window.
    plat::WriteReportFile("crash.txt", report.text);
    plat::WriteReportToStandardError(report.text);

    // Sending needs an application (its product and version) and an address.
    const bool offerSend = application && !UploadAddress().empty();
    std::vector<std::string> buttons;
    if (offerSend) buttons.push_back("Send Report");
    buttons.push_back("Close Now");
    const std::unique_ptr<ReportDialogs> dialogs = MakeDesktopReportDialogs();
    const int answer = dialogs->ShowReport(kHeaderText, report.text, buttons);
    if (offerSend && answer == 0) {
        CrashUploadFields fields{application->ExtendCrashUpload(),
                                 application->ProductName(),
                                 application->ProductVersion(),
                                 "",
                                 report.title,
                                 report.text};
        UploadReport(UploadAddress(), std::move(fields), *dialogs);
    }
}

}  // namespace

CrashReporter::CrashReporter() {
    if (!plat::FaultHandlersInstalled()) installed_ = plat::InstallFaultHandlers(Report);
}

CrashReporter::~CrashReporter() {
    if (installed_) plat::RestoreFaultHandlers();
}

void CrashReporter::SetUploadAddress(std::string address) { UploadAddress() = std::move(address); }

void CrashReporter::RaiseCrash() { plat::RaiseAccessViolation(); }
