// Sending a crash report through its windows, against a server on 127.0.0.1:
// the user's description reaches the server, the progress window counts and
// aborts, and a server that never answers meets the deadline.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>

#include "app/crash/report_upload.h"
#include "tests/app/loopback_server.h"

namespace {

using testsupport::LoopbackServer;
using namespace std::chrono_literals;

// Answers as a user would, and keeps what the windows were shown.
class ScriptedDialogs : public ReportDialogs {
public:
    int ShowReport(std::string_view, std::string_view, const std::vector<std::string>&) override { return -1; }
    bool AskDetails(std::string* userText) override {
        ++detailsAsked;
        if (!continueDetails) return false;
        *userText = typed;
        return true;
    }
    void OpenProgress(std::string_view text) override {
        ++progressOpened;
        polls = 0;
        lines.emplace_back(text);
    }
    void SetProgressText(std::string_view text) override { lines.emplace_back(text); }
    bool ProgressAborted() override { return abortAfterPolls >= 0 && ++polls > abortAfterPolls; }
    void CloseProgress() override { ++progressClosed; }
    bool AskRetry() override {
        ++retriesAsked;
        if (retryAnswers.empty()) return false;
        const bool retry = retryAnswers.front();
        retryAnswers.pop_front();
        return retry;
    }

    bool continueDetails = true;
    std::string typed = "I clicked the ferris wheel";
    int abortAfterPolls = -1;  // never
    std::deque<bool> retryAnswers;
    int detailsAsked = 0, progressOpened = 0, progressClosed = 0, retriesAsked = 0, polls = 0;
    std::vector<std::string> lines;
};

const CrashUploadFields kFields{{}, "Prod", "1.3", "", "Exception at 0001:00000010", "Exception: ...\r\n"};

TEST(ReportUpload, TheUsersDescriptionIsSentUnderTheProgressWindow) {
    LoopbackServer server({{"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok", 250}}, LoopbackServer::Then::Hold);
    ScriptedDialogs dialogs;
    EXPECT_EQ(UploadReport(server.Url("/post"), kFields, dialogs, {1ms, 100ms, 5s}), UploadOutcome::Sent);
    EXPECT_EQ(dialogs.progressOpened, 1);
    EXPECT_EQ(dialogs.progressClosed, 1);
    EXPECT_EQ(dialogs.retriesAsked, 0);
    EXPECT_NE(server.Request().find("name=\"usertext\"\r\n\r\nI clicked the ferris wheel\r\n"), std::string::npos);
    // A dot a tick while the server takes its time.
    ASSERT_GE(dialogs.lines.size(), 3u);
    EXPECT_EQ(dialogs.lines[0], "Please Wait");
    EXPECT_EQ(dialogs.lines[1], "Please Wait .");
    EXPECT_EQ(dialogs.lines[2], "Please Wait . .");
}

// The upload used to wait for the transfer without end: a server that takes
// the report and never answers held the dying process for ever.
TEST(ReportUpload, AServerThatNeverAnswersMeetsTheDeadlineAndTheRetryBox) {
    LoopbackServer server({}, LoopbackServer::Then::Hold);
    ScriptedDialogs dialogs;
    dialogs.retryAnswers = {true, false};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(UploadReport(server.Url(), kFields, dialogs, {5ms, 1s, 300ms}), UploadOutcome::GaveUp);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 600ms);  // two attempts, each to its deadline
    EXPECT_LT(took, 3s);
    EXPECT_EQ(dialogs.progressOpened, 2);
    EXPECT_EQ(dialogs.retriesAsked, 2);
}

TEST(ReportUpload, AbortInEitherWindowEndsWithoutRetry) {
    LoopbackServer server({}, LoopbackServer::Then::Hold);
    ScriptedDialogs progress;
    progress.abortAfterPolls = 3;
    EXPECT_EQ(UploadReport(server.Url(), kFields, progress, {5ms, 1s, 10s}), UploadOutcome::Aborted);
    EXPECT_EQ(progress.retriesAsked, 0);
    EXPECT_EQ(progress.progressClosed, 1);

    ScriptedDialogs details;
    details.continueDetails = false;
    EXPECT_EQ(UploadReport(server.Url(), kFields, details), UploadOutcome::Aborted);
    EXPECT_EQ(details.progressOpened, 0);
}

// A refused connection is a failure: the retry box, then another attempt.
TEST(ReportUpload, RetryAfterAFailureSendsAgain) {
    ScriptedDialogs dialogs;
    dialogs.retryAnswers = {true};
    const std::string address = "http://127.0.0.1:" + std::to_string(LoopbackServer::ClosedPort()) + "/";
    EXPECT_EQ(UploadReport(address, kFields, dialogs, {5ms, 1s, 5s}), UploadOutcome::GaveUp);
    EXPECT_EQ(dialogs.progressOpened, 2);
    EXPECT_EQ(dialogs.retriesAsked, 2);
}

}  // namespace
