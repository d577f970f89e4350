// Message boxes, the screensaver's error file, and what the application
// tells the crash report about itself.

#include <cstdio>
#include <ctime>

#include "app/shell/vorn_app_base.h"
#include "foundation/system/text.h"
#include "foundation/system/track_interface.h"
#include "platform/system/debug_output.h"
#include "platform/system/file_system.h"

namespace {

constexpr const char* kErrorFile = "ScrError.txt";

}  // namespace

void VornAppBase::AppendErrorFile(std::string_view message) {
    // Written new by the first record of a run, then appended.
    FILE* file = plat::OpenFile(kErrorFile, errorFileStarted_ ? "a+" : "w");
    if (!file) {
        plat::WriteToTerminal(std::string(message) + "\n");
        return;
    }
    errorFileStarted_ = true;
    char clock[16] = "";
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local)) std::strftime(clock, sizeof clock, "%H:%M:%S", &local);
    const std::string line = std::string(message) + " " + clock + " " + std::to_string(Now()) + "\n";
    std::fwrite(line.data(), 1, line.size(), file);
    std::fclose(file);
}

void VornAppBase::ResetInputAfterModal() {
    pacer_.ResetTiming();
    ClearKeyStates();
    if (PointerRecord* pointer = widgetManager_->GetPointer(0); pointer && pointer->rawButtons != 0) {
        widgetManager_->ReleaseAllPointers();
        if (windows_) windows_->ReleaseCapture();
    }
}

int VornAppBase::ShowMessageBox(std::wstring_view caption, std::wstring_view message) {
    if (commandLine_.screensaverMode) {
        AppendErrorFile(text::ToUtf8(message));
        return 1;
    }
    // A box cannot show over a full screen.
    if (windows_ && !currentModeWindowed_) windows_->ShowWindow(mainWindow_, plat::ShowCommand::Minimize);
    const int answer = windows_ ? windows_->MessageBox(mainWindow_, message, caption, plat::mb::kOk) : plat::mb::kIdOk;
    ResetInputAfterModal();
    return answer;
}

void VornAppBase::ShowFatalError(std::string_view message) { ShowFatalErrorWide(text::FromUtf8(message)); }

void VornAppBase::ShowFatalErrorWide(std::wstring_view message) {
    if (commandLine_.screensaverMode) {
        AppendErrorFile(text::ToUtf8(message));
        return;
    }
    // For the player, not a diagnostic: the terminal has it too.
    plat::WriteToTerminal(text::ToUtf8(message) + "\n");
    if (windows_ && !currentModeWindowed_) windows_->ShowWindow(mainWindow_, plat::ShowCommand::Minimize);
    if (!shuttingDown_ && windows_ && windows_->Ready())
        windows_->MessageBox(mainWindow_, message, L"FATAL ERROR", plat::mb::kIconError);
    ResetInputAfterModal();
}

std::string VornAppBase::ProgramFilePath() { return plat::CanonicalPath("/proc/self/exe"); }

std::string VornAppBase::GetProductVersion(const std::string& filePath) {
    // Programs here carry no version resource; the build stamps its own
    // version into this program, and any other file has none.
    if (filePath.empty() || plat::CanonicalPath(filePath) != ProgramFilePath()) return {};
    return HALVARO_PRODUCT_VERSION;
}

void VornAppBase::HideMainWindow() {
    if (music_) music_->SetMasterMusicVolume(0.0);
    if (windows_ && mainWindow_ != plat::kNoWindow) windows_->ShowWindow(mainWindow_, plat::ShowCommand::Hide);
    hidden_ = true;
    UpdateCursor();
}

std::string VornAppBase::BuildCrashReportHeader() {
    const uint32_t seconds = (Now() - timeLoaded_) / 1000;
    const bool fullscreen = settings_ && !settings_->Values().windowed;
    std::string header = "Product: " + productName_ + "\r\n";
    header += "Version: " + productVersion_ + "\r\n";
    header += text::Format("Time Loaded: %02u:%02u:%02u", seconds / 3600, seconds / 60 % 60, seconds % 60);
    header += std::string("\r\nFullscreen: ") + (fullscreen ? "Yes" : "No");
    header += text::Format("\r\nPrimary ThreadId: %zX\r\n", std::hash<std::thread::id>{}(primaryThread_));
    return header;
}
