#include "app/services/app_crash_host.h"

#include "app/shell/vorn_app_base.h"
#include "foundation/system/text.h"
#include "platform/window/window.h"

void AppCrashHost::HideMainWindow() { app_.HideMainWindow(); }

std::string AppCrashHost::BuildCrashReportHeader() { return app_.BuildCrashReportHeader(); }

std::string AppCrashHost::ProductName() { return app_.ProductName(); }

std::string AppCrashHost::ProductVersion() { return app_.ProductVersion(); }

std::map<std::string, std::string> AppCrashHost::ExtendCrashUpload() { return app_.ExtendCrashUpload(); }

void AppCrashHost::CopyToClipboard(std::string_view text) {
    if (plat::WindowSystem* windows = plat::WindowSystem::Instance()) windows->SetClipboardText(text::FromUtf8(text));
}
