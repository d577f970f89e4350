#pragma once
// A one-connection HTTP server on 127.0.0.1 (never any other address) for the
// transfer tests: it accepts one client, reads the request (headers and a
// Content-Length body), then plays a script of reply pieces with pauses, and
// closes or holds the connection as told.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

struct ReplyPiece {
    std::string bytes;
    int pauseMsBefore = 0;
};

class LoopbackServer {
public:
    enum class Then { Close, Hold };

    // readRequest false: close the connection as soon as it is accepted.
    LoopbackServer(std::vector<ReplyPiece> reply, Then then, bool readRequest = true)
        : reply_(std::move(reply)), then_(then), readRequest_(readRequest) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof at;
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
            ::listen(listener_, 1) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&at), &size) != 0)
            std::abort();
        port_ = ntohs(at.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackServer() {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }

    int Port() const { return port_; }
    std::string Url(const std::string& path = "/") const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    // What the client sent; read after the transfer ended.
    const std::string& Request() const { return request_; }

    // A port on which nothing listens: bound once, then released.
    static int ClosedPort() {
        LoopbackServer probe({}, Then::Close, false);
        const int port = probe.port_;
        return port;
    }

private:
    bool Readable(int fd, int ms) {
        pollfd entry{fd, POLLIN, 0};
        return ::poll(&entry, 1, ms) > 0;
    }

    void Serve() {
        int client = -1;
        while (!stop_ && client < 0) {
            if (Readable(listener_, 20)) client = ::accept(listener_, nullptr, nullptr);
        }
        if (client < 0) return;
        if (!readRequest_) {
            ::close(client);
            return;
        }
        ReadRequest(client);
        for (const ReplyPiece& piece : reply_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(piece.pauseMsBefore));
            ::send(client, piece.bytes.data(), piece.bytes.size(), MSG_NOSIGNAL);
        }
        if (then_ == Then::Hold) {
            while (!stop_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::close(client);
    }

    void ReadRequest(int client) {
        char buffer[4096];
        size_t headerEnd = std::string::npos;
        size_t wanted = 0;
        while (!stop_) {
            if (headerEnd != std::string::npos && request_.size() >= headerEnd + 4 + wanted) return;
            if (!Readable(client, 20)) continue;
            const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) return;
            request_.append(buffer, static_cast<size_t>(got));
            if (headerEnd == std::string::npos && (headerEnd = request_.find("\r\n\r\n")) != std::string::npos) {
                const size_t length = request_.find("Content-Length: ");
                if (length < headerEnd) wanted = std::strtoul(request_.c_str() + length + 16, nullptr, 10);
            }
        }
    }

    std::vector<ReplyPiece> reply_;
    Then then_;
    bool readRequest_;
    int listener_ = -1;
    int port_ = 0;
    std::string request_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace testsupport
