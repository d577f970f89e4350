#pragma once
// The application as the crash reporter sees it: hiding its window, its own
// report header, its name and version, and the clipboard. Forwards to the
// application base, which outlives it; installed by the service wiring.
// Called from the faulting thread.

#include "app/crash/crash_host.h"

class VornAppBase;

class AppCrashHost : public CrashHost {
public:
    explicit AppCrashHost(VornAppBase& app) : app_(app) {}

    void HideMainWindow() override;
    std::string BuildCrashReportHeader() override;
    std::string ProductName() override;
    std::string ProductVersion() override;
    std::map<std::string, std::string> ExtendCrashUpload() override;
    void CopyToClipboard(std::string_view text) override;

private:
    VornAppBase& app_;
};
