#include "app/crash/crash_reporter.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/crash/crash_host.h"
#include "app/crash/crash_report.h"
#include "app/crash/crash_upload.h"
#include "app/crash/http_transfer.h"
#include "platform/window/window.h"

CrashHost& CrashHost::Fallback() {
    static NullCrashHost none;
    return none;
}

namespace {

constexpr const char* kHeaderText = "An unexpected error has occured!";
constexpr const char* kConnectFailureText = "Failed to connect to server.";

// The reporter's one piece of configuration.
std::string& UploadAddress() {
    static std::string address;
    return address;
}

void WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written <= 0) return;
        text.remove_prefix(static_cast<size_t>(written));
    }
}

// A failure to write is ignored: the report still goes to stderr and the box.
void SaveReport(std::string_view text) {
    const int fd = ::open("crash.txt", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return;
    WriteAll(fd, text);
    ::close(fd);
}

// Posts the report until it goes through, the user gives up, or aborts.
void Upload(const CrashReport& report, CrashHost& host) {
    CrashUploadFields fields{
        host.ExtendCrashUpload(), host.ProductName(), host.ProductVersion(), "", report.title, report.text};
    HTTPTransfer transfer;
    for (;;) {
        transfer.Start(UploadAddress(), BuildCrashUpload(UploadAddress(), fields));
        while (!transfer.IsFinal()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const int state = transfer.GetState();
        if (state == HTTPTransfer::kDone || state == HTTPTransfer::kAborted) return;
        if (plat::ShowButtonBox("Connection Failed", kConnectFailureText, {"Retry", "Cancel"}) != 0) return;
    }
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
    SaveReport(report.text);
    WriteAll(STDERR_FILENO, report.text);

    // Sending needs an application (its product and version) and an address.
    const bool offerSend = application && !UploadAddress().empty();
    std::vector<std::string> buttons;
    if (offerSend) buttons.push_back("Send Report");
    buttons.push_back("Close Now");
    const int answer = plat::ShowButtonBox("Fatal Error!", std::string(kHeaderText) + "\n\n" + report.text, buttons);
    if (offerSend && answer == 0) Upload(report, *application);
}

}  // namespace

CrashReporter::CrashReporter() {
    if (!plat::FaultHandlersInstalled()) installed_ = plat::InstallFaultHandlers(Report);
}

CrashReporter::~CrashReporter() {
    if (installed_) plat::RestoreFaultHandlers();
}

void CrashReporter::SetUploadAddress(std::string address) { UploadAddress() = std::move(address); }

void CrashReporter::RaiseCrash() {
    ::raise(SIGSEGV);
    // Only reached when something ignores the signal: end all the same.
    std::abort();
}
