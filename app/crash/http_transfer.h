#pragma once
// Sends one prepared HTTP/1.1 request and reads the reply on a worker
// thread, so that whoever waits can poll the state and abort.
//
// State codes (GetState): 1 reset, 2 running, then one final code: 0 done
// (status 200 or no status line; body complete or connection closed), 3 the
// status says 404, 4 any other status but 200, 5 aborted, 6 the socket could
// not be made or waiting on it failed, 7 the host did not resolve (or the
// address names no port), 8 the connection failed, 9 sending failed.
// Every wait on the socket lasts at most 100 ms, so Abort takes effect within
// that. Start and Reset end a transfer still running first; the destructor
// aborts and waits for the worker. Body() is read after a final state.
// Start, Reset and Body belong to one thread; GetState and Abort may be
// called from any.

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

#include "app/crash/http_url.h"

class HTTPTransfer {
public:
    enum State : int {
        kDone = 0,
        kReset = 1,
        kRunning = 2,
        kNotFound = 3,
        kBadStatus = 4,
        kAborted = 5,
        kSocketFailed = 6,
        kResolveFailed = 7,
        kConnectFailed = 8,
        kSendFailed = 9,
        kReplyTooLarge = 10
    };
    static constexpr size_t kMaxReplyBody = 1 << 20;

    HTTPTransfer();
    virtual ~HTTPTransfer();
    HTTPTransfer(const HTTPTransfer&) = delete;
    HTTPTransfer& operator=(const HTTPTransfer&) = delete;

    void Start(std::string_view url, std::string request);
    void Reset();
    void Abort();
    int GetState() const { return state_.load(); }
    bool IsFinal() const {
        const int s = GetState();
        return s != kReset && s != kRunning;
    }
    int TransferId() const { return transferId_; }
    const HttpUrl& Url() const { return url_; }
    std::string Body() const;

private:
    void Run();

    int transferId_;
    HttpUrl url_;
    std::string request_;
    std::string body_;
    mutable std::mutex bodyLock_;
    std::atomic<bool> done_{false};
    std::atomic<bool> aborted_{false};
    std::atomic<int> state_{kReset};
    std::thread worker_;
};
