#include "platform/system/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace plat {
namespace {

// A notification on the wire: name length (bytes), name as UTF-32LE,
// wParam, lParam; every number four bytes little-endian.
constexpr uint32_t kMaxNameChars = 256;
constexpr int kReadTimeoutMs = 1000;

void PutU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

uint32_t GetU32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

std::string SafeFileName(std::string_view product) {
    std::string out;
    for (char c : product) out += (c == '/' || c == '\\' || c == '\0') ? '_' : c;
    if (out.empty() || out == "." || out == "..") out = "_" + out;
    return out;
}

bool FillAddress(const std::string& path, sockaddr_un& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Reads exactly `size` bytes, giving up when the peer stalls or leaves.
bool ReadAll(int fd, unsigned char* buffer, size_t size) {
    size_t done = 0;
    while (done < size) {
        pollfd p{fd, POLLIN, 0};
        int r = ::poll(&p, 1, kReadTimeoutMs);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        ssize_t n = ::recv(fd, buffer + done, size - done, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::string InstanceFolder(std::string_view dataFolder) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st;
    if (runtime && *runtime && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode)) return runtime;
    return std::string(dataFolder);
}

SingleInstance::SingleInstance(std::string_view folder, std::string_view product) {
    std::string base(folder);
    for (char& c : base)
        if (c == '\\') c = '/';
    if (!base.empty() && base.back() != '/') base += '/';
    std::string name = SafeFileName(product);
    lockPath_ = base + name + ".lock";
    socketPath_ = base + name + ".sock";

    lockFd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // A lock that cannot even be opened cannot show another copy: run as first.
    if (lockFd_ < 0) {
        lockHeld_ = true;
        return;
    }
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) return;
    lockHeld_ = true;

    sockaddr_un addr;
    if (!FillAddress(socketPath_, addr)) return;
    // Only the lock holder gets here, so a socket file left is a dead copy's.
    ::unlink(socketPath_.c_str());
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 8) != 0 ||
        ::pipe2(wakeFd_, O_CLOEXEC) != 0) {
        ::close(fd);
        return;
    }
    listenFd_ = fd;
    listener_ = std::thread([this] { Listen(); });
}

SingleInstance::~SingleInstance() {
    if (listener_.joinable()) {
        char byte = 0;
        while (::write(wakeFd_[1], &byte, 1) < 0 && errno == EINTR) {}
        listener_.join();
    }
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        ::unlink(socketPath_.c_str());
    }
    for (int fd : wakeFd_)
        if (fd >= 0) ::close(fd);
    // Closing the descriptor releases the lock; the file stays, so that a
    // copy starting now never locks a file about to be unlinked.
    if (lockFd_ >= 0) ::close(lockFd_);
}

void SingleInstance::Listen() {
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeFd_[0], POLLIN, 0}};
        int r = ::poll(fds, 2, -1);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 || fds[1].revents) return;
        if (!(fds[0].revents & POLLIN)) continue;
        int conn = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (conn < 0) continue;
        ReadOne(conn);
        ::close(conn);
    }
}

void SingleInstance::ReadOne(int fd) {
    unsigned char header[4];
    if (!ReadAll(fd, header, 4)) return;
    uint32_t chars = GetU32(header);
    if (chars > kMaxNameChars) return;
    std::string body(size_t(chars) * 4 + 8, '\0');
    auto* bytes = reinterpret_cast<unsigned char*>(body.data());
    if (!ReadAll(fd, bytes, body.size())) return;
    InstanceNotification note;
    for (uint32_t i = 0; i < chars; ++i) note.name += static_cast<wchar_t>(GetU32(bytes + 4 * i));
    note.wParam = GetU32(bytes + 4 * chars);
    note.lParam = static_cast<int32_t>(GetU32(bytes + 4 * chars + 4));
    std::lock_guard lock(mutex_);
    pending_.push_back(std::move(note));
}

bool SingleInstance::Notify(std::wstring_view name, uint32_t wParam, int32_t lParam) const {
    if (lockHeld_ || name.size() > kMaxNameChars) return false;
    sockaddr_un addr;
    if (!FillAddress(socketPath_, addr)) return false;
    std::string message;
    PutU32(message, static_cast<uint32_t>(name.size()));
    for (wchar_t c : name) PutU32(message, static_cast<uint32_t>(c));
    PutU32(message, wParam);
    PutU32(message, static_cast<uint32_t>(lParam));

    // The first copy takes its lock before its socket listens: a copy
    // started just after it may have to wait a moment.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    for (;;) {
        int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return false;
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
            bool ok = WriteAll(fd, message);
            ::close(fd);
            return ok;
        }
        int error = errno;
        ::close(fd);
        if ((error != ENOENT && error != ECONNREFUSED && error != EAGAIN) ||
            std::chrono::steady_clock::now() >= deadline)
            return false;
        ::usleep(20000);
    }
}

size_t SingleInstance::DeliverPending(const Handler& handler) {
    std::deque<InstanceNotification> taken;
    {
        std::lock_guard lock(mutex_);
        taken.swap(pending_);
    }
    for (const auto& note : taken)
        if (handler) handler(note.name, note.wParam, note.lParam);
    return taken.size();
}

}  // namespace plat
