#include "platform/crash/tcp_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace plat {

bool TcpSocket::ResolveIPv4(const std::string& host, uint32_t* address) {
    in_addr numeric{};
    if (::inet_pton(AF_INET, host.c_str(), &numeric) == 1) {
        *address = numeric.s_addr;
        return true;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (host.empty() || ::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
    *address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(found);
    return true;
}

bool TcpSocket::Open() {
    Close();
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd_ < 0) error_ = errno;
    return fd_ >= 0;
}

bool TcpSocket::BeginConnect(uint32_t address, uint16_t port) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = address;
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0 || errno == EINPROGRESS) return true;
    error_ = errno;
    return false;
}

int TcpSocket::ConnectError() {
    int pending = 0;
    socklen_t size = sizeof pending;
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &pending, &size) != 0) pending = errno;
    if (pending != 0) error_ = pending;
    return pending;
}

TcpSocket::Wait TcpSocket::WaitFor(bool forWriting, int timeoutMs) {
    // poll, not select: select cannot watch a descriptor numbered 1024 or above.
    pollfd entry{fd_, static_cast<short>(forWriting ? POLLOUT : POLLIN), 0};
    const int result = ::poll(&entry, 1, timeoutMs);
    if (result < 0) {
        if (errno == EINTR) return Wait::Timeout;
        error_ = errno;
        return Wait::Error;
    }
    if (result == 0) return Wait::Timeout;
    if (entry.revents & POLLNVAL) return Wait::Error;
    // An error or a hang-up counts as ready: the connect check, the send or the
    // receive that follows reports what went wrong, with its own error.
    return Wait::Ready;
}

long TcpSocket::Send(std::string_view data) {
    const ssize_t sent = ::send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
    if (sent < 0) error_ = errno;
    return static_cast<long>(sent);
}

long TcpSocket::Receive(char* buffer, size_t size) {
    const ssize_t got = ::recv(fd_, buffer, size, 0);
    if (got < 0) error_ = errno;
    return static_cast<long>(got);
}

void TcpSocket::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace plat
