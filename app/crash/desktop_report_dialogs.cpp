// The reporter's windows on the desktop: the report and the retry question
// as button boxes, the details and progress windows as dialog windows of
// platform/window, placed and sized as the reporter has always placed them.
#include <chrono>
#include <thread>

#include "app/crash/report_dialogs.h"
#include "platform/window/dialog_window.h"
#include "platform/window/window.h"

namespace {

constexpr const char* kDetailsPrompt = "Please help out by providing as much information as you can about this crash.";
constexpr const char* kConnectFailureText = "Failed to connect to server.";

plat::DialogLayout DetailsWindow() {
    plat::DialogLayout layout;
    layout.title = "Error Details";
    layout.x = layout.y = 80;
    layout.text = kDetailsPrompt;
    layout.textRect = {8, 8, 384, 84};
    layout.textPoints = 9;
    layout.boldText = true;
    layout.editable = true;
    layout.editRect = {8, 92, 384, 168};
    layout.buttons = {{"Continue", {8, 268, 188, 24}}, {"Abort", {204, 268, 188, 24}}};
    return layout;
}

plat::DialogLayout ProgressWindow(std::string_view text) {
    plat::DialogLayout layout;
    layout.title = "Submitting Report";
    layout.width = 240;
    layout.height = 64;
    layout.text = text;
    layout.textRect = {24, 10, 224, 24};
    layout.textPoints = 10;
    layout.buttons = {{"Abort", {72, 36, 96, 22}}};
    return layout;
}

class DesktopReportDialogs : public ReportDialogs {
public:
    int ShowReport(std::string_view text, const std::vector<std::string>& buttons) override {
        return plat::ShowButtonBox("Fatal Error!", text, buttons);
    }

    bool AskDetails(std::string* userText) override {
        const std::unique_ptr<plat::DialogWindow> window = plat::DialogWindow::Open(DetailsWindow());
        if (!window) return false;
        int answer = plat::DialogWindow::kNothing;
        while ((answer = window->Poll()) == plat::DialogWindow::kNothing)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (answer != 0) return false;
        *userText = window->Edited();
        return true;
    }

    void OpenProgress(std::string_view text) override {
        progress_ = plat::DialogWindow::Open(ProgressWindow(text));
        aborted_ = false;
    }
    void SetProgressText(std::string_view text) override {
        if (progress_) progress_->SetText(text);
    }
    bool ProgressAborted() override {
        if (progress_ && progress_->Poll() != plat::DialogWindow::kNothing) aborted_ = true;
        return aborted_;
    }
    void CloseProgress() override { progress_.reset(); }

    bool AskRetry() override {
        return plat::ShowButtonBox("Connection Failed", kConnectFailureText, {"Retry", "Cancel"}) == 0;
    }

private:
    std::unique_ptr<plat::DialogWindow> progress_;
    bool aborted_ = false;
};

}  // namespace

std::unique_ptr<ReportDialogs> MakeDesktopReportDialogs() { return std::make_unique<DesktopReportDialogs>(); }
