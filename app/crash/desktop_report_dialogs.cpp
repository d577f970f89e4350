// The reporter's windows on the desktop: the retry question as a button box,
// the report, details and progress windows as dialog windows of
// platform/window, placed and sized as the reporter has always placed them.
#include <algorithm>
#include <chrono>
#include <thread>

#include "app/crash/report_dialogs.h"
#include "platform/window/dialog_window.h"
#include "platform/window/window.h"

namespace {

constexpr const char* kDetailsPrompt = "Please help out by providing as much information as you can about this crash.";
constexpr const char* kConnectFailureText = "Failed to connect to server.";

// A header above an edit box, as the report and details windows are laid out.
plat::DialogLayout HeaderAndPane(std::string_view title, std::string_view header, plat::EditBox edit) {
    plat::DialogLayout layout;
    layout.title = title;
    layout.text = header;
    layout.textRect = {8, 8, 384, 84};
    layout.textFace = "Arial";
    layout.textPoints = 9;
    layout.boldText = true;
    layout.edit = edit;
    layout.editRect = {8, 92, 384, 168};
    return layout;
}

int RunUntilAnswered(plat::DialogWindow& window) {
    int answer = plat::DialogWindow::kNothing;
    while ((answer = window.Poll()) == plat::DialogWindow::kNothing)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return answer;
}

plat::DialogLayout DetailsWindow() {
    plat::DialogLayout layout = HeaderAndPane("Error Details", kDetailsPrompt, plat::EditBox::kTyped);
    layout.x = layout.y = 80;
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
    int ShowReport(std::string_view header, std::string_view report, const std::vector<std::string>& buttons) override {
        const std::unique_ptr<plat::DialogWindow> window =
            plat::DialogWindow::Open(ReportWindowLayout(header, report, buttons));
        if (!window) return -1;
        const int answer = RunUntilAnswered(*window);
        return answer >= 0 ? answer : -1;
    }

    bool AskDetails(std::string* userText) override {
        const std::unique_ptr<plat::DialogWindow> window = plat::DialogWindow::Open(DetailsWindow());
        if (!window || RunUntilAnswered(*window) != 0) return false;
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

plat::DialogLayout ReportWindowLayout(std::string_view header, std::string_view report,
                                      const std::vector<std::string>& buttons) {
    plat::DialogLayout layout = HeaderAndPane("Fatal Error!", header, plat::EditBox::kReadOnly);
    layout.editText = report;
    const int count = std::max(1, static_cast<int>(buttons.size()));
    const int width = ((49 - count) * 8) / count;
    for (size_t i = 0; i < buttons.size(); ++i)
        layout.buttons.push_back({buttons[i], {8 + static_cast<int>(i) * (width + 8), 268, width, 24}});
    return layout;
}

std::unique_ptr<ReportDialogs> MakeDesktopReportDialogs() { return std::make_unique<DesktopReportDialogs>(); }
