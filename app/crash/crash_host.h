#pragma once
// What the crash reporter asks of the application, when one exists: hide its
// window, a header of its own for the report, the product's name and version
// and extra fields for the upload, and the clipboard.
//
// Reached through Service<CrashHost>: the application base installs its
// implementation; while nothing is installed the report is made without the
// application's parts (no header, no upload: "Send Report" needs an
// application) and NullCrashHost answers. Called from the faulting thread.

#include <map>
#include <string>
#include <string_view>

#include "foundation/system/service.h"

class CrashHost {
public:
    CrashHost() = default;
    virtual ~CrashHost() = default;
    CrashHost(const CrashHost&) = delete;
    CrashHost& operator=(const CrashHost&) = delete;

    static CrashHost& Fallback();

    virtual void HideMainWindow() = 0;
    // Lines ending in "\r\n" appended to the report; empty for none.
    virtual std::string BuildCrashReportHeader() = 0;
    virtual std::string ProductName() = 0;
    virtual std::string ProductVersion() = 0;
    // Form fields sent before the report's own, in key order.
    virtual std::map<std::string, std::string> ExtendCrashUpload() = 0;
    virtual void CopyToClipboard(std::string_view text) = 0;
};

class NullCrashHost : public CrashHost {
public:
    void HideMainWindow() override {}
    std::string BuildCrashReportHeader() override { return {}; }
    std::string ProductName() override { return {}; }
    std::string ProductVersion() override { return {}; }
    std::map<std::string, std::string> ExtendCrashUpload() override { return {}; }
    void CopyToClipboard(std::string_view) override {}
};
