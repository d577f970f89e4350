#include "app/crash/http_transfer.h"

#include "app/crash/http_reply.h"
#include "platform/crash/tcp_socket.h"

namespace {

std::atomic<int> nextTransferId{1};
constexpr int kWaitMs = 100;

}  // namespace

HTTPTransfer::HTTPTransfer() : transferId_(nextTransferId++) {}

HTTPTransfer::~HTTPTransfer() {
    Abort();
    if (worker_.joinable()) worker_.join();
}

void HTTPTransfer::Abort() {
    aborted_ = true;
    done_ = true;
}

void HTTPTransfer::Reset() {
    if (worker_.joinable()) {
        Abort();
        worker_.join();
    }
    transferId_ = nextTransferId++;
    state_ = kReset;
    done_ = false;
    aborted_ = false;
    url_ = HttpUrl{};
    request_.clear();
    std::lock_guard lock(bodyLock_);
    body_.clear();
}

void HTTPTransfer::Start(std::string_view url, std::string request) {
    Reset();
    url_ = ParseHttpUrl(url);
    request_ = std::move(request);
    state_ = kRunning;
    worker_ = std::thread([this] { Run(); });
}

std::string HTTPTransfer::Body() const {
    std::lock_guard lock(bodyLock_);
    return body_;
}

namespace {

// Waits in steps of at most 100 ms until the socket is ready, a stop is
// asked for, or the wait fails.
enum class Waited { Ready, Stopped, Failed };

Waited WaitReady(plat::TcpSocket& socket, bool forWriting, const std::atomic<bool>& done) {
    while (!done) {
        switch (socket.WaitFor(forWriting, kWaitMs)) {
            case plat::TcpSocket::Wait::Ready: return Waited::Ready;
            case plat::TcpSocket::Wait::Error: return Waited::Failed;
            case plat::TcpSocket::Wait::Timeout: break;
        }
    }
    return Waited::Stopped;
}

}  // namespace

void HTTPTransfer::Run() {
    plat::TcpSocket socket;
    // The outcome is published only at the end, after the body, so that a
    // poller that sees a final state can read the body at once.
    int outcome = kDone;
    auto finish = [this, &outcome](int state) {
        outcome = state;
        done_ = true;
    };
    uint32_t address = 0;
    if (!socket.Open()) {
        finish(kSocketFailed);
    } else if (!aborted_ && (url_.port == 0 || !plat::TcpSocket::ResolveIPv4(url_.host, &address))) {
        finish(kResolveFailed);
    } else if (!aborted_) {
        if (!socket.BeginConnect(address, static_cast<uint16_t>(url_.port))) {
            finish(kConnectFailed);
        } else {
            const Waited waited = WaitReady(socket, true, done_);
            // A refused connection is "writable" too: only the socket's error tells.
            if (waited == Waited::Failed || (waited == Waited::Ready && socket.ConnectError() != 0))
                finish(kConnectFailed);
        }
    }
    std::string_view unsent = request_;
    while (!done_ && !unsent.empty()) {
        const Waited waited = WaitReady(socket, true, done_);
        if (waited == Waited::Stopped) break;
        if (waited == Waited::Failed) {
            finish(kSocketFailed);
            break;
        }
        const long sent = socket.Send(unsent);
        if (sent <= 0) {
            finish(kSendFailed);
            break;
        }
        unsent.remove_prefix(static_cast<size_t>(sent));
    }
    HttpReplyReader reply(kMaxReplyBody);
    while (!done_) {
        const Waited waited = WaitReady(socket, false, done_);
        if (waited == Waited::Stopped) break;
        if (waited == Waited::Failed) {
            finish(kSocketFailed);
            break;
        }
        char buffer[256];
        const long got = socket.Receive(buffer, sizeof buffer);
        if (got <= 0) break;
        const HttpReplyReader::Progress progress = reply.Feed(std::string_view(buffer, static_cast<size_t>(got)));
        if (progress == HttpReplyReader::Progress::NotFound) finish(kNotFound);
        if (progress == HttpReplyReader::Progress::BadStatus) finish(kBadStatus);
        if (progress == HttpReplyReader::Progress::TooLarge) finish(kReplyTooLarge);
        if (progress == HttpReplyReader::Progress::Complete) done_ = true;
    }
    socket.Close();
    {
        std::lock_guard lock(bodyLock_);
        body_ = reply.Body();
    }
    state_ = aborted_ ? kAborted : outcome;
}
